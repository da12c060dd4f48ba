#include "game/field/PibbleHoleRiseModifier.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/MoveModifier.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleHoleModifier.h"
#include "game/field/PibbleHoles.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int riseTime = 450;
constexpr int closeAfter = 300;
constexpr int overshoot = 20;
constexpr int climbTime = 200;
constexpr int settleTime = 100;
constexpr int bounce = 4;
constexpr int bounceTime = 50;

void blockingMove(ui::Sprite& part, int fromY, int toY, int duration) {
    part.addModifier(new ui::MoveModifier(0, fromY, 0, toY, duration, false))
        ->addFlags(ui::Modifier::blocking);
}

} // namespace

PibbleHoleRiseModifier::PibbleHoleRiseModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::holeRise, riseTime, Counting::running, true),
      closeTimer(closeAfter) {}

void PibbleHoleRiseModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    if (phase == starting) {
        addType(bit, *pibble);
        open();
        phase = runningOn;
    } else if (phase == runningOn) {
        rise(scaled(elapsed));
    } else {
        standUp();
    }
}

// The parts wait until the hole has opened; all but the feet bounce once they are up.
void PibbleHoleRiseModifier::open() {
    showHole(*pibble, ids::pibbleHoleOpen);
    ui::Sprite& hole = pibble->layer(pibbleLayer::hole);
    for (const int layer : holeParts) {
        ui::Sprite& part = pibble->layer(layer);
        part.addModifier(new ui::DelayModifier(&hole));
        blockingMove(part, PibbleHoleModifier::depth, -overshoot, climbTime);
        blockingMove(part, -overshoot, 0, settleTime);
        if (layer != pibbleLayer::feet) {
            blockingMove(part, 0, bounce, bounceTime);
            blockingMove(part, bounce, 0, bounceTime);
        }
    }
    pibble->setAlpha(255);
}

void PibbleHoleRiseModifier::rise(int dt) {
    timeLeft -= dt;
    closeTimer -= dt;
    if (closeTimer < 1 && !closeStarted) {
        showHole(*pibble, ids::pibbleHoleClose);
        closeStarted = true;
    }
    if (timeLeft < 1) {
        phase = finishing;
    }
}

void PibbleHoleRiseModifier::standUp() {
    for (const int layer : holeParts) {
        pibble->layer(layer).setY(0);
        pibble->layer(layer).setClipRect(nullptr);
    }
    pibble->layer(pibbleLayer::ears).setCurrentFrame(0);
    clearHole(*pibble);
    removeType(bit, *pibble);
    finish();
}

} // namespace game
