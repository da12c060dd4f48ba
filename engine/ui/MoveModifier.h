#pragma once

#include "engine/ui/PositionModifier.h"

namespace ui {

// Moves a node in a straight line over a duration, linearly or eased. The end position is set by the
// update after the time has run out, which also finishes it; a duration of 0 is over at once.
class MoveModifier : public PositionModifier {
public:
    MoveModifier(int fromX, int fromY, int toX, int toY, int duration, bool smooth);

    void update(std::uint32_t elapsed) override;

    void setSmooth(bool value) { smooth = value; }

    static constexpr kernel::ClassInfo classInfo{&PositionModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void finishAtEnd();
    void moveAlong();

    int toX;
    int toY;
    int elapsedTime = 0;
    int duration;
    bool smooth;
};

} // namespace ui
