#include "game/field/PibbleStubbornModifier.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int cloudFrames = 10;
constexpr int frameDelay = 100;
constexpr int passes = 2;

} // namespace

PibbleStubbornModifier::PibbleStubbornModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::stubborn, cloudFrames * frameDelay * passes, Counting::none,
                     false) {}

void PibbleStubbornModifier::onStart() {
    pibble->setStyle(headStyle::normal);
    pibble->loadOnce(pibbleLayer::stubborn, ids::pibbleStubborn, cloudFrames);
    ui::Sprite& cloud = pibble->layer(pibbleLayer::stubborn);
    cloud.setCurrentFrame(0);
    cloud.addModifier(new ui::ModifierFrame(frameDelay, passes));
}

} // namespace game
