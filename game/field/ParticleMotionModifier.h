#pragma once

#include "engine/ui/PositionModifier.h"

#include <cstdint>

namespace game {

// Flies a particle: per step of 20 ms the acceleration is added to the speed, the damping taken off it
// toward 0, and the speed added to the position; a frame of dt ms counts as dt / 20 steps. The node
// stands at the position rounded to whole pixels. A step count of -1 flies for ever; otherwise the
// modifier finishes after that many updates.
class ParticleMotionModifier : public ui::PositionModifier {
public:
    static constexpr float stepMs = 20.0f;

    ParticleMotionModifier(int steps, float x, float y, float vx, float vy, float ax, float ay, float dx,
                           float dy);

    void update(std::uint32_t elapsed) override;

    float getSpeedX() const { return vx; }
    float getSpeedY() const { return vy; }

    static constexpr kernel::ClassInfo classInfo{&ui::PositionModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int steps;
    float vx;
    float vy;
    float ax;
    float ay;
    float dx;
    float dy;
};

// The speed brought toward 0 by the damping, never past it.
float dampTowardZero(float speed, float damping);

} // namespace game
