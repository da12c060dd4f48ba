#include "engine/ui/RectModifier.h"

#include "engine/graphics/PointF.h"
#include "engine/ui/SmoothStep.h"
#include "engine/ui/Sprite.h"

namespace ui {

namespace {

int between(int a, int b, float t) {
    return graphics::roundToInt(lerp(static_cast<float>(a), static_cast<float>(b), t));
}

} // namespace

RectModifier::RectModifier(int fromX, int fromY, int fromW, int fromH, int toX, int toY, int toW, int toH,
                           int duration, bool smooth)
    : from(fromX, fromY, fromW, fromH), to(toX, toY, toW, toH), duration(duration), smooth(smooth),
      done(duration <= 0) {}

void RectModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    stepTimed(
        done, elapsedTime, duration, elapsed, [this] { finishAtEnd(); }, [this] { clipAlong(); });
}

void RectModifier::finishAtEnd() {
    static_cast<Sprite&>(*node).setClipRect(to.x, to.y, to.w, to.h);
    finish();
}

void RectModifier::clipAlong() {
    const float t = timeFraction(elapsedTime, duration, smooth);
    static_cast<Sprite&>(*node).setClipRect(between(from.x, to.x, t), between(from.y, to.y, t),
                                            between(from.w, to.w, t), between(from.h, to.h, t));
}

} // namespace ui
