#include "game/field/PingPongTween.h"

#include "engine/ui/GameNode.h"
#include "engine/ui/SmoothStep.h"

namespace game {

PingPongTween::PingPongTween(int firstX, int firstY, int secondX, int secondY, int travel, int hold,
                             bool smooth)
    : ui::PositionModifier(firstX, firstY), secondX(secondX), secondY(secondY), travel(travel), hold(hold),
      smooth(smooth) {}

void PingPongTween::setSecondPoint(int x, int y) {
    secondX = x;
    secondY = y;
}

// The way there and the rest at its end run in one frame when the way ends in it, so the end point is
// shown in the frame the way reaches it.
void PingPongTween::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    const int dt = static_cast<int>(elapsed);
    // Travel 0 would divide by zero: it never leaves the end points.
    if (travel <= 0) {
        done = true;
    }
    if (!done) {
        travelAlong(dt);
    }
    if (done) {
        restAtEnd(dt);
    }
}

void PingPongTween::travelAlong(int dt) {
    const float t = static_cast<float>(elapsedTime) / static_cast<float>(travel);
    const float s = smooth ? ui::smoothStep(t) : t;
    const float fx = static_cast<float>(fromX);
    const float fy = static_cast<float>(fromY);
    const float sx = static_cast<float>(secondX);
    const float sy = static_cast<float>(secondY);
    if (towardsSecond) {
        place(ui::lerp(fx, sx, s), ui::lerp(fy, sy, s));
    } else {
        place(ui::lerp(sx, fx, s), ui::lerp(sy, fy, s));
    }
    elapsedTime += dt;
    if (elapsedTime >= travel) {
        done = true;
        elapsedTime = 0;
    }
}

// The hold applies only at the first point: at the second the way back begins at once.
void PingPongTween::restAtEnd(int dt) {
    if (towardsSecond) {
        place(static_cast<float>(secondX), static_cast<float>(secondY));
        towardsSecond = false;
        done = false;
        return;
    }
    place(static_cast<float>(fromX), static_cast<float>(fromY));
    elapsedTime += dt;
    if (elapsedTime >= hold) {
        towardsSecond = true;
        done = false;
        elapsedTime = 0;
    }
}

void PingPongTween::place(float x, float y) {
    currentX = x;
    currentY = y;
    if (applyX) {
        node->setX(static_cast<int>(x));
    }
    if (applyY) {
        node->setY(static_cast<int>(y));
    }
}

} // namespace game
