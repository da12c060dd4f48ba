#include "game/field/PibbleVibShineModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"

namespace game {

namespace {

constexpr int shineFrames = 8;
constexpr int frameDelay = 100;

} // namespace

PibbleVibShineModifier::PibbleVibShineModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::vibShine, shineFrames * frameDelay, Counting::none, false) {}

void PibbleVibShineModifier::onStart() {
    ui::Sprite& shine = pibble->layer(pibbleLayer::vibShine);
    shine.setCurrentFrame(0);
    shine.addModifier(new ui::ModifierFrame(frameDelay, 1));
}

} // namespace game
