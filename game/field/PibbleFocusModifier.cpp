#include "game/field/PibbleFocusModifier.h"

#include "engine/platform/PointerPosition.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/MoveModifier.h"
#include "game/field/FieldSounds.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int liftTime = 200;
constexpr int earDelay = 30;
constexpr int prickedEars = 1;
constexpr int partsAtRest[] = {pibbleLayer::vibStatic, pibbleLayer::body, pibbleLayer::head,
                               pibbleLayer::ears, pibbleLayer::feet};

void lift(Pibble& pibble, int layer, int height, bool blocking) {
    ui::Modifier* move =
        pibble.layer(layer).addModifier(new ui::MoveModifier(0, 0, 0, -height, liftTime, true));
    if (blocking) {
        move->addFlags(ui::Modifier::blocking);
    }
}

void prick(Pibble& pibble) {
    ui::Sprite& ears = pibble.layer(pibbleLayer::ears);
    ears.setCurrentFrame(prickedEars);
    ears.addModifier(new ui::ModifierFrame(earDelay, 1));
}

void rest(Pibble& pibble) {
    for (const int layer : partsAtRest) {
        ui::Sprite& part = pibble.layer(layer);
        part.removeAllModifiers();
        part.setY(0);
    }
    pibble.layer(pibbleLayer::ears).setCurrentFrame(0);
}

} // namespace

PibbleFocusModifier::PibbleFocusModifier(Pibble* first, Pibble* second)
    : PibbleModifier(first, animationBit::focus, 0, Counting::none, false), second(second) {}

PibbleFocusModifier::~PibbleFocusModifier() = default;

void PibbleFocusModifier::update(std::uint32_t /*elapsed*/) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    switch (phase) {
    case starting:
        straightenUp();
        phase = running;
        return;
    case running:
        prickEars();
        phase = runningOn;
        return;
    case runningOn:
        if (pibble->containsPoint(platform::pointerX, platform::pointerY)) {
            return;
        }
        settle();
        return;
    default:
        settle();
        return;
    }
}

void PibbleFocusModifier::straightenUp() {
    if (soundOn) {
        playFieldSound(ids::soundFocus);
    }
    addType(bit, *pibble);
    lift(*pibble, pibbleLayer::vibStatic, 2, true);
    lift(*pibble, pibbleLayer::body, 1, true);
    lift(*pibble, pibbleLayer::head, 2, true);
    lift(*pibble, pibbleLayer::ears, 2, false);
    if (second) {
        addType(bit, *second);
        lift(*second, pibbleLayer::body, 1, true);
        lift(*second, pibbleLayer::head, 2, true);
        lift(*second, pibbleLayer::ears, 2, false);
    }
}

void PibbleFocusModifier::prickEars() {
    if (!pibble->isVib()) {
        prick(*pibble);
    }
    if (second) {
        prick(*second);
    }
}

void PibbleFocusModifier::settle() {
    rest(*pibble);
    removeType(bit, *pibble);
    if (second) {
        rest(*second);
        removeType(bit, *second);
    }
    finish();
}

} // namespace game
