#include "game/field/PibbleAlphaModifier.h"

#include "engine/ui/PulseModifier.h"
#include "game/field/Pibble.h"

namespace game {

PibbleAlphaModifier::PibbleAlphaModifier(Pibble* pibble, int from, int to, int duration)
    : PibbleModifier(pibble, animationBit::alpha, duration, Counting::none, false), from(from), to(to),
      duration(duration) {}

void PibbleAlphaModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    if (phase == starting) {
        addType(bit, *pibble);
        if (pibble->hasModifierType(animationBit::vibShine)) {
            pibble->layer(pibbleLayer::vibStatic).removeAllModifiers();
        }
        phase = runningOn;
    } else if (phase == runningOn) {
        fadeStep(scaled(elapsed));
    } else {
        endFade();
    }
}

// A duration below 1 ms is over at once.
void PibbleAlphaModifier::fadeStep(int dt) {
    const float t = duration < 1 ? 1.0f : static_cast<float>(elapsedTime) / static_cast<float>(duration);
    pibble->setAlpha(static_cast<int>(static_cast<float>(from) + static_cast<float>(to - from) * t));
    elapsedTime += dt;
    if (elapsedTime >= duration) {
        phase = finishing;
    }
}

void PibbleAlphaModifier::endFade() {
    pibble->setAlpha(to);
    ui::Sprite& glow = pibble->layer(pibbleLayer::vibStatic);
    if (pibble->hasModifierType(animationBit::vibShine) && glow.getAlpha() == 255) {
        glow.addModifier(new ui::PulseModifier(255, 0, 400, 400, 0, 0, -1));
    }
    removeType(bit, *pibble);
    finish();
}

} // namespace game
