#include "engine/ui/RotateScaleModifier.h"

#include "engine/ui/SmoothStep.h"
#include "engine/ui/Sprite.h"

namespace ui {

RotateScaleModifier::RotateScaleModifier(float fromAngle, float toAngle, float fromScale, float toScale,
                                         int duration)
    : fromAngle(fromAngle), toAngle(toAngle), currentAngle(fromAngle), fromScale(fromScale), toScale(toScale),
      currentScale(fromScale), duration(duration) {
    // Over at once, like the move: the time fraction of a zero duration would be 0/0.
    done = duration <= 0;
}

void RotateScaleModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    stepTimed(
        done, elapsedTime, duration, elapsed, [this] { finishAtEnd(); }, [this] { turnAlong(); });
}

void RotateScaleModifier::finishAtEnd() {
    auto& sprite = static_cast<Sprite&>(*node);
    sprite.setScale(toScale);
    sprite.setRotation(toAngle);
    finish();
}

void RotateScaleModifier::turnAlong() {
    const float t = timeFraction(elapsedTime, duration, smooth);
    currentAngle = lerp(fromAngle, toAngle, t);
    currentScale = lerp(fromScale, toScale, t);
    auto& sprite = static_cast<Sprite&>(*node);
    if (applyScale) {
        sprite.setScale(currentScale);
    }
    sprite.setRotation(currentAngle);
}

} // namespace ui
