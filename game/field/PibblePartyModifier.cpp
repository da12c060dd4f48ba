#include "game/field/PibblePartyModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/field/PingPongTween.h"

namespace game {

namespace {

constexpr int hatDrop = 4;
constexpr int hatTravel = 200;
constexpr int streamerDelay = 50;
constexpr int lastUpdate = 5;

} // namespace

PibblePartyModifier::PibblePartyModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::party, 0, Counting::none, false) {}

void PibblePartyModifier::update(std::uint32_t /*elapsed*/) {
    ++updates;
    if (pibble == nullptr || updates >= lastUpdate) {
        finish();
        return;
    }
    if (phase == starting) {
        addType(bit, *pibble);
        phase = running;
    } else if (phase == running) {
        pibble->layer(pibbleLayer::partyHat)
            .addModifier(new PingPongTween(0, 0, 0, hatDrop, hatTravel, 0, false));
        pibble->layer(pibbleLayer::partyBack).addModifier(new ui::ModifierFrame(streamerDelay, -1));
        phase = runningOn;
    }
}

} // namespace game
