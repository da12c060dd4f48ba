#include "engine/ui/MoveModifier.h"

#include "engine/ui/GameNode.h"
#include "engine/ui/SmoothStep.h"

namespace ui {

MoveModifier::MoveModifier(int fromX, int fromY, int toX, int toY, int duration, bool smooth)
    : PositionModifier(fromX, fromY), toX(toX), toY(toY), duration(duration), smooth(smooth) {
    done = duration <= 0;
}

void MoveModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    stepTimed(
        done, elapsedTime, duration, elapsed, [this] { finishAtEnd(); }, [this] { moveAlong(); });
}

void MoveModifier::finishAtEnd() {
    node->setX(toX);
    node->setY(toY);
    finish();
}

void MoveModifier::moveAlong() {
    const float t = timeFraction(elapsedTime, duration, smooth);
    currentX = lerp(static_cast<float>(fromX), static_cast<float>(toX), t);
    currentY = lerp(static_cast<float>(fromY), static_cast<float>(toY), t);
    if (applyX) {
        node->setX(static_cast<int>(currentX));
    }
    if (applyY) {
        node->setY(static_cast<int>(currentY));
    }
}

} // namespace ui
