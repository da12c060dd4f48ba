#include "game/field/PibbleLookModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleColours.h"
#include "game/field/PibbleImages.h"
#include "game/foundation/GameIds.h"

#include <string>

namespace game {

namespace {

constexpr int shakeFrames = 10;
constexpr int frameDelay = 50;
constexpr int passes = 2;

} // namespace

PibbleLookModifier::PibbleLookModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::look, shakeFrames * frameDelay * passes, Counting::none, false) {}

void PibbleLookModifier::onStart() {
    shake(pibbleLayer::ears, ids::pibbleEarsShakeNo);
    shake(pibbleLayer::head, ids::pibbleHeadShakeNo);
}

// A part without shaking pictures (a collectable pibble's) keeps its own and stands still.
void PibbleLookModifier::shake(int layer, const char* part) {
    const std::string prefix = pibbleImagePrefix(pibble->getColour());
    graphics::ImageBase* image = pibble->hasCollectable() || prefix.empty()
                                     ? nullptr
                                     : darkenedPibbleImage(prefix + part, pibble->darkFactor());
    if (image == nullptr) {
        return;
    }
    ui::Sprite& sprite = pibble->layer(layer);
    sprite.setImage(image);
    sprite.setupFrames(shakeFrames, false, true);
    sprite.addModifier(new ui::ModifierFrame(frameDelay, passes));
}

void PibbleLookModifier::onEnd() {
    for (const int layer : {pibbleLayer::ears, pibbleLayer::head}) {
        pibble->layer(layer).removeAllModifiers();
        pibble->layer(layer).setPosition(0, 0);
    }
    pibble->setLookDirty();
}

} // namespace game
