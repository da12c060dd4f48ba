#include "game/field/PibbleVibMatchModifier.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int burstFrames = 6;
constexpr int runTime = 600;
constexpr int holdTime = 450;
constexpr int fadeTime = 150;

} // namespace

PibbleVibMatchModifier::PibbleVibMatchModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::vibMatch, runTime, Counting::effect, true) {}

void PibbleVibMatchModifier::onStart() {
    pibble->loadOnce(pibbleLayer::vibMatch, ids::pibbleVibMatch, burstFrames);
    ui::Sprite& burst = pibble->layer(pibbleLayer::vibMatch);
    burst.setAlpha(255);
    burst.setCurrentFrame(0);
    burst.addModifier(new ui::ModifierFrame(50, 2));
    burst.addModifier(new ui::DelayModifier(holdTime));
    burst.addModifier(new ui::FadeModifier(255, 0, fadeTime));
}

} // namespace game
