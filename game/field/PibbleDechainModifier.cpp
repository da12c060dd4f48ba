#include "game/field/PibbleDechainModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

namespace game {

namespace {

constexpr int chainFrames = 7;
// The first frame is the whole chain, which the pibble showed until now.
constexpr int breakingFrames = chainFrames - 1;

} // namespace

PibbleDechainModifier::PibbleDechainModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::dechain, breakingFrames * propertyInt(ids::cfgDechainFrameDelay),
                     Counting::running, true) {}

void PibbleDechainModifier::onStart() {
    pibble->loadOnce(pibbleLayer::dechain, ids::pibbleDechain, chainFrames);
    ui::Sprite& chain = pibble->layer(pibbleLayer::dechain);
    chain.setCurrentFrame(1);
    chain.addModifier(new ui::ModifierFrame(propertyInt(ids::cfgDechainFrameDelay), 1));
}

void PibbleDechainModifier::onEnd() {
    pibble->layer(pibbleLayer::dechain).removeAllModifiers();
    pibble->layer(pibbleLayer::dechain).setImage(nullptr);
}

} // namespace game
