#pragma once

#include "engine/ui/Modifier.h"

namespace ui {

// Stretches a sprite's drawn size over a duration, keeping its anchor in place. At the end a sprite that
// is back at its natural size loses its display rectangle, so it is drawn unstretched again.
class ResizeModifier : public Modifier {
public:
    ResizeModifier(int fromW, int fromH, int toW, int toH, int duration);

    void update(std::uint32_t elapsed) override;

    void setAppliesW(bool value) { applyW = value; }
    void setAppliesH(bool value) { applyH = value; }
    void setSmooth(bool value) { smooth = value; }
    float getCurrentW() const { return currentW; }
    float getCurrentH() const { return currentH; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void finishAtEnd();
    void resizeAlong();

    int fromW;
    int fromH;
    int toW;
    int toH;
    float currentW;
    float currentH;
    bool applyW = true;
    bool applyH = true;
    bool done = false;
    int elapsedTime = 0;
    int duration;
    bool smooth = false;
};

} // namespace ui
