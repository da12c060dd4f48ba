#include "game/field/PibbleComboGlowModifier.h"

#include "engine/ui/FadeModifier.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int fadeTime = 150;

} // namespace

PibbleComboGlowModifier::PibbleComboGlowModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::comboGlow, 2 * fadeTime, Counting::effect, true) {}

void PibbleComboGlowModifier::onStart() {
    pibble->loadOnce(pibbleLayer::comboMatch, ids::pibbleComboMatch, 1);
    ui::Sprite& glow = pibble->layer(pibbleLayer::comboMatch);
    glow.setAlpha(0);
    glow.addModifier(new ui::FadeModifier(0, 255, fadeTime))->addFlags(ui::Modifier::blocking);
    glow.addModifier(new ui::FadeModifier(255, 0, fadeTime));
}

} // namespace game
