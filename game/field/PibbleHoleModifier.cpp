#include "game/field/PibbleHoleModifier.h"

#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/MoveModifier.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleHoles.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int holeTime = 450;
constexpr int swooshFrames = 10;
constexpr int swooshDelay = 40;
constexpr int hopHeight = 20;
constexpr int hopTime = 100;
constexpr int fallTime = 200;
// The ears stay flat on the way down.
constexpr int flatEars = 2;
constexpr int screenWidth = 640;

void blockingMove(ui::Sprite& part, int fromY, int toY, int duration) {
    part.addModifier(new ui::MoveModifier(0, fromY, 0, toY, duration, false))
        ->addFlags(ui::Modifier::blocking);
}

} // namespace

PibbleHoleModifier::PibbleHoleModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::hole, holeTime, Counting::running, true) {}

void PibbleHoleModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    if (phase == starting) {
        addType(bit, *pibble);
        open();
        phase = runningOn;
    } else if (phase == runningOn) {
        fall(scaled(elapsed));
    } else {
        vanish();
    }
}

// The parts are cut at the ground line, so below it they are inside the hole.
void PibbleHoleModifier::open() {
    showHole(*pibble, ids::pibbleHoleOpen);
    pibble->loadOnce(pibbleLayer::swoosh, ids::pibbleSwoosh, swooshFrames);
    ui::Sprite& swoosh = pibble->layer(pibbleLayer::swoosh);
    swoosh.setAlpha(255);
    swoosh.setCurrentFrame(0);
    swoosh.addModifier(new ui::ModifierFrame(swooshDelay, 1))->addFlags(ui::Modifier::blocking);
    swoosh.addModifier(new ui::FadeModifier(255, 0, 0));
    const int ground = pibble->getAbsoluteY();
    for (const int layer : holeParts) {
        ui::Sprite& part = pibble->layer(layer);
        part.setY(0);
        blockingMove(part, 0, -hopHeight, hopTime);
        blockingMove(part, -hopHeight, depth, fallTime);
        part.setClipRect(0, 0, screenWidth, ground);
    }
}

void PibbleHoleModifier::fall(int dt) {
    ui::Sprite& ears = pibble->layer(pibbleLayer::ears);
    ears.setCurrentFrame(flatEars);
    timeLeft -= dt;
    if (ears.getModifierList().empty() && !closeStarted) {
        showHole(*pibble, ids::pibbleHoleClose);
        closeStarted = true;
    }
    if (timeLeft < 1) {
        phase = finishing;
    }
}

void PibbleHoleModifier::vanish() {
    pibble->setAlpha(0);
    for (const int layer : holeParts) {
        pibble->layer(layer).setY(depth);
    }
    clearHole(*pibble);
    removeType(bit, *pibble);
    finish();
}

} // namespace game
