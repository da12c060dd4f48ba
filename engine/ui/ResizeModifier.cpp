#include "engine/ui/ResizeModifier.h"

#include "engine/ui/SmoothStep.h"
#include "engine/ui/Sprite.h"

namespace ui {

ResizeModifier::ResizeModifier(int fromW, int fromH, int toW, int toH, int duration)
    : fromW(fromW), fromH(fromH), toW(toW), toH(toH), currentW(static_cast<float>(fromW)),
      currentH(static_cast<float>(fromH)), duration(duration) {
    // Over at once, like the move: the time fraction of a zero duration would be 0/0.
    done = duration <= 0;
}

void ResizeModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    stepTimed(
        done, elapsedTime, duration, elapsed, [this] { finishAtEnd(); }, [this] { resizeAlong(); });
}

void ResizeModifier::finishAtEnd() {
    auto& sprite = static_cast<Sprite&>(*node);
    sprite.setDisplayWidth(toW);
    sprite.setDisplayHeight(toH);
    const kernel::Rect* display = sprite.getDisplayRect();
    if (display == nullptr || (display->w == sprite.getWidth() && display->h == sprite.getHeight())) {
        sprite.removeDisplayRect();
    }
    finish();
}

void ResizeModifier::resizeAlong() {
    const float t = timeFraction(elapsedTime, duration, smooth);
    currentW = lerp(static_cast<float>(fromW), static_cast<float>(toW), t);
    currentH = lerp(static_cast<float>(fromH), static_cast<float>(toH), t);
    auto& sprite = static_cast<Sprite&>(*node);
    if (applyW) {
        sprite.setDisplayWidth(graphics::roundToInt(currentW));
    }
    if (applyH) {
        sprite.setDisplayHeight(graphics::roundToInt(currentH));
    }
}

} // namespace ui
