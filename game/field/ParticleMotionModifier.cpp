#include "game/field/ParticleMotionModifier.h"

#include "engine/ui/GameNode.h"

#include <cmath>

namespace game {

ParticleMotionModifier::ParticleMotionModifier(int steps, float x, float y, float vx, float vy, float ax,
                                               float ay, float dx, float dy)
    : ui::PositionModifier(static_cast<int>(x), static_cast<int>(y)), steps(steps), vx(vx), vy(vy), ax(ax),
      ay(ay), dx(dx), dy(dy) {
    currentX = x;
    currentY = y;
}

void ParticleMotionModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    const float t = static_cast<float>(elapsed) / stepMs;
    vx = dampTowardZero(vx + t * ax, t * dx);
    vy = dampTowardZero(vy + t * ay, t * dy);
    currentX += t * vx;
    currentY += t * vy;
    if (applyX) {
        node->setX(static_cast<int>(std::lround(currentX)));
    }
    if (applyY) {
        node->setY(static_cast<int>(std::lround(currentY)));
    }
    if (steps > 0 && --steps == 0) {
        finish();
    }
}

float dampTowardZero(float speed, float damping) {
    if (speed > 0.0f) {
        return speed - damping < 0.0f ? 0.0f : speed - damping;
    }
    return speed + damping > 0.0f ? 0.0f : speed + damping;
}

} // namespace game
