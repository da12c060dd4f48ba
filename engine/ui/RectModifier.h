#pragma once

#include "engine/kernel/Rect.h"
#include "engine/ui/Modifier.h"

namespace ui {

// Moves a sprite's clip rectangle from one rectangle to another over a duration, linearly or eased (a
// wipe or a reveal). A duration of 0 is over at once.
class RectModifier : public Modifier {
public:
    RectModifier(int fromX, int fromY, int fromW, int fromH, int toX, int toY, int toW, int toH, int duration,
                 bool smooth);

    void update(std::uint32_t elapsed) override;

    void setSmooth(bool value) { smooth = value; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void finishAtEnd();
    void clipAlong();

    kernel::Rect from;
    kernel::Rect to;
    int elapsedTime = 0;
    int duration;
    bool smooth;
    bool done;
};

} // namespace ui
