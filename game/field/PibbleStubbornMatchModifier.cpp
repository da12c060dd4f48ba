#include "game/field/PibbleStubbornMatchModifier.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int burstFrames = 6;
constexpr int runTime = 800;
constexpr int holdTime = 600;
constexpr int fadeTime = 200;

} // namespace

PibbleStubbornMatchModifier::PibbleStubbornMatchModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::stubbornMatch, runTime, Counting::effect, true) {}

void PibbleStubbornMatchModifier::onStart() {
    pibble->loadOnce(pibbleLayer::stubbornMatch, ids::pibbleStubbornMatch, burstFrames);
    ui::Sprite& burst = pibble->layer(pibbleLayer::stubbornMatch);
    burst.setAlpha(255);
    burst.setCurrentFrame(0);
    burst.addModifier(new ui::ModifierFrame(50, 2));
    burst.addModifier(new ui::DelayModifier(holdTime));
    burst.addModifier(new ui::FadeModifier(255, 0, fadeTime));
}

} // namespace game
