#pragma once

#include "engine/ui/Modifier.h"

namespace ui {

// The base of the modifiers that move a node: where the motion starts, where it stands now, and which
// axes it may change.
class PositionModifier : public Modifier {
public:
    PositionModifier(int fromX, int fromY);

    bool appliesX() const { return applyX; }
    bool appliesY() const { return applyY; }
    void setAppliesX(bool value) { applyX = value; }
    void setAppliesY(bool value) { applyY = value; }
    bool isDone() const { return done; }
    int getFromX() const { return fromX; }
    int getFromY() const { return fromY; }
    float getCurrentX() const { return currentX; }
    float getCurrentY() const { return currentY; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    int fromX;
    int fromY;
    float currentX;
    float currentY;
    bool applyX = true;
    bool applyY = true;
    bool done = false;
};

} // namespace ui
