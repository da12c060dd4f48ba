#include "game/field/PibbleHupModifier.h"

#include "game/field/FieldSounds.h"
#include "game/field/LandingBounce.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <cmath>
#include <numbers>

namespace game {

PibbleHupModifier::PibbleHupModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::hop, 0, Counting::none, true),
      duration(propertyInt(ids::cfgHupDuration)), height(propertyInt(ids::cfgHupHeight)) {}

void PibbleHupModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    switch (phase) {
    case starting:
        startX = pibble->getX();
        startY = pibble->getY();
        addType(bit, *pibble);
        phase = running;
        return;
    case running:
        phase = runningOn;
        takeOff();
        return;
    case runningOn:
        step(scaled(elapsed));
        return;
    case ending:
        standAtStart();
        phase = finishing;
        if (bounceAtEnd) {
            addLandingBounce(*pibble, propertyInt(ids::cfgHupBounce));
        }
        return;
    default:
        standAtStart();
        removeType(bit, *pibble);
        finish();
        return;
    }
}

void PibbleHupModifier::takeOff() {
    if (bounceAtStart) {
        addLandingBounce(*pibble, propertyInt(ids::cfgHupBounce));
    }
    if (soundOn) {
        playFieldSound(ids::soundJumpHup);
    }
}

// As a jump's step whose start and target are the same place; a duration below 1 ms is over at once.
void PibbleHupModifier::step(int dt) {
    const float t = duration < 1 ? 1.0f : static_cast<float>(elapsedTime) / static_cast<float>(duration);
    pibble->setPosition(startX, startY);
    pibble->setDepthOffset(
        static_cast<int>(std::sin(std::numbers::pi_v<float> * t) * static_cast<float>(height)));
    elapsedTime += dt;
    if (elapsedTime >= duration) {
        elapsedTime = duration;
        phase = ending;
    }
    // It never moves sideways.
    pibble->setDirection(direction::none);
}

void PibbleHupModifier::standAtStart() {
    pibble->setPosition(startX, startY);
    pibble->setDepthOffset(0);
    pibble->setDirection(direction::none);
}

} // namespace game
