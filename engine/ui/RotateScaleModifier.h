#pragma once

#include "engine/ui/Modifier.h"

namespace ui {

// Turns and scales a sprite over a duration. The end step writes the end scale whether or not the scale
// is applied along the way.
class RotateScaleModifier : public Modifier {
public:
    RotateScaleModifier(float fromAngle, float toAngle, float fromScale, float toScale, int duration);

    void update(std::uint32_t elapsed) override;

    void setAppliesScale(bool value) { applyScale = value; }
    void setSmooth(bool value) { smooth = value; }
    float getCurrentAngle() const { return currentAngle; }
    float getCurrentScale() const { return currentScale; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void finishAtEnd();
    void turnAlong();

    float fromAngle;
    float toAngle;
    float currentAngle;
    float fromScale;
    float toScale;
    float currentScale;
    bool applyScale = true;
    bool done = false;
    int elapsedTime = 0;
    int duration;
    bool smooth = false;
};

} // namespace ui
