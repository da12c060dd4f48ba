#include "game/field/PibbleClownGlowModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

namespace game {

namespace {

constexpr int glowFrames = 13;

} // namespace

PibbleClownGlowModifier::PibbleClownGlowModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::clownGlow, glowFrames * propertyInt(ids::cfgClownGlowFrameDelay),
                     Counting::effect, true) {}

// The glow's picture goes at the end, and a party pibble never had one: it is taken here when missing.
void PibbleClownGlowModifier::onStart() {
    pibble->loadOnce(pibbleLayer::clownGlow, ids::pibbleClownGlow, glowFrames);
    ui::Sprite& glow = pibble->layer(pibbleLayer::clownGlow);
    glow.setCurrentFrame(0);
    glow.addModifier(new ui::ModifierFrame(propertyInt(ids::cfgClownGlowFrameDelay), 1));
}

void PibbleClownGlowModifier::onEnd() {
    pibble->layer(pibbleLayer::clownGlow).removeAllModifiers();
    pibble->layer(pibbleLayer::clownGlow).setImage(nullptr);
}

} // namespace game
