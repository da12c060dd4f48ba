#include "game/field/PibbleJumpModifier.h"

#include "engine/ui/FadeModifier.h"
#include "game/field/FieldSounds.h"
#include "game/field/LandingBounce.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleDustModifier.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace game {

namespace {

constexpr int copyAlpha = 200;
constexpr int copyFadeTime = 300;

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

PibbleJumpModifier::PibbleJumpModifier(Pibble* pibble, int toX, int toY, const Options& options)
    : PibbleModifier(pibble, options.secondKind ? animationBit::jumpSecond : animationBit::jump, 0,
                     Counting::running, true),
      toX(toX), toY(toY), duration(propertyInt(ids::cfgJumpDuration)),
      height(propertyInt(ids::cfgJumpHeight)), options(options) {
    if (options.trail) {
        trailInterval = propertyInt(ids::cfgJumpTrailInterval);
    }
}

std::int32_t PibbleJumpModifier::directionOf(int dx, int dy) {
    // Indexed by the signs of dy (up, level, down) and dx (left, none, right).
    static constexpr std::int32_t codes[3][3] = {
        {direction::upLeft, direction::up, direction::upRight},
        {direction::left, direction::none, direction::right},
        {direction::downLeft, direction::down, direction::downRight}};
    return codes[sign(dy) + 1][sign(dx) + 1];
}

const char* PibbleJumpModifier::soundOf(int fromY, int toY) {
    if (fromY < toY) {
        return ids::soundJumpDown;
    }
    if (toY < 0) {
        return ids::soundJumpOffScreen;
    }
    return toY == fromY ? ids::soundJumpHorizontal : nullptr;
}

bool PibbleJumpModifier::standsStill() const {
    const PlayField* field = liveField();
    return field != nullptr &&
           (field->isPaused() || field->state() == fieldState::partyMatch || field->hasEffectAnimations());
}

void PibbleJumpModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    if (standsStill()) {
        return;
    }
    switch (phase) {
    case starting:
        // Where the pibble stands when the jump begins, so a jump queued behind another starts where that
        // one landed.
        fromX = lastX = lastTrailX = pibble->getX();
        fromY = lastY = pibble->getY();
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
        phase = finishing;
        land();
        return;
    default:
        removeType(bit, *pibble);
        finish();
        return;
    }
}

void PibbleJumpModifier::takeOff() {
    if (soundOn) {
        if (const char* sound = soundOf(fromY, toY)) {
            playFieldSound(sound, true);
        }
    }
    if (options.bounceAtStart) {
        addLandingBounce(*pibble, propertyInt(ids::cfgJumpBounce));
    }
    if (options.dustAtStart) {
        startDust(fromX, fromY);
    }
}

// A duration below 1 ms (a missing tuning value) is over at once rather than dividing by zero.
void PibbleJumpModifier::step(int dt) {
    const float t = duration < 1 ? 1.0f : static_cast<float>(elapsedTime) / static_cast<float>(duration);
    const int x = static_cast<int>(static_cast<float>(fromX) + static_cast<float>(toX - fromX) * t);
    const int y = static_cast<int>(static_cast<float>(fromY) + static_cast<float>(toY - fromY) * t);
    const int lift = static_cast<int>(std::sin(std::numbers::pi_v<float> * t) * static_cast<float>(height));
    pibble->setPosition(x, y);
    pibble->setDepthOffset(lift);
    elapsedTime += dt;
    if (elapsedTime >= duration) {
        elapsedTime = duration;
        phase = ending;
        if (options.dustAtEnd) {
            startDust(toX, toY);
        }
    }
    pibble->setDirection(directionOf(x - lastX, y - lastY));
    lastX = x;
    lastY = y;
    if (options.trail && std::abs(x - lastTrailX) > trailInterval && std::abs(toX - x) >= trailInterval) {
        leaveCopy(x, pibble->getDrawnY());
        lastTrailX = x;
    }
}

// A copy of the pibble as it looks, fading where it was; it dies when faded.
void PibbleJumpModifier::leaveCopy(int x, int y) {
    PlayField* field = liveField();
    if (field == nullptr) {
        return;
    }
    const kernel::SmartPtr<ui::Sprite> copy = new ui::Sprite(x, y, &pibble->getComposedImage());
    copy->setAnchorPoint(Pibble::anchorX, Pibble::anchorY);
    copy->setAlpha(copyAlpha);
    copy->addModifier(new ui::FadeModifier(copyAlpha, 0, copyFadeTime))->addFlags(ui::Modifier::killNode);
    field->addChild(copy.get());
}

void PibbleJumpModifier::land() {
    pibble->setPosition(toX, toY);
    pibble->setDepthOffset(0);
    pibble->setDirection(direction::none);
    if (options.bounceAtEnd) {
        addLandingBounce(*pibble, propertyInt(ids::cfgJumpBounce));
    }
}

// In front of the jump, which would otherwise hold it back; one cloud at a time, also while the one made
// has not run yet.
void PibbleJumpModifier::startDust(int x, int y) {
    if (pibble->hasModifierType(animationBit::dust)) {
        return;
    }
    for (ui::Modifier* modifier : pibble->getModifierList().items()) {
        if (modifier->isKindOf(PibbleDustModifier::classInfo)) {
            return;
        }
    }
    pibble->addModifier(new PibbleDustModifier(pibble, x, y), false);
}

} // namespace game
