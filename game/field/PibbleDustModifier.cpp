#include "game/field/PibbleDustModifier.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int dustFrames = 10;
constexpr int frameDelay = 35;

} // namespace

PibbleDustModifier::PibbleDustModifier(Pibble* pibble, int x, int y, int startDelay)
    : PibbleModifier(pibble, animationBit::dust, startDelay + dustFrames * frameDelay, Counting::none, false),
      x(x), y(y), startDelay(startDelay) {}

void PibbleDustModifier::onStart() {
    pibble->loadOnce(pibbleLayer::dust, ids::pibbleDust, dustFrames);
    ui::Sprite& dust = pibble->layer(pibbleLayer::dust);
    dust.setCurrentFrame(0);
    if (startDelay > 0) {
        dust.addModifier(new ui::DelayModifier(startDelay));
    }
    dust.addModifier(new ui::ModifierFrame(frameDelay, 1));
    pibble->addDustPoint(this, x, y);
}

void PibbleDustModifier::onEnd() {
    pibble->removeDustPoint(this);
}

} // namespace game
