#include "game/field/PibbleUnhappyModifier.h"

#include "engine/ui/Scene.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameUtilities.h"

namespace game {

namespace {

constexpr int sulkTime = 5000;
constexpr int shakeTime = 100;
constexpr int shakeRange = 4;
constexpr int shakeSteps = 10;

} // namespace

PibbleUnhappyModifier::PibbleUnhappyModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::look, sulkTime, Counting::none, false) {}

void PibbleUnhappyModifier::onStart() {
    pibble->setStyle(headStyle::unhappy);
    shakeHead();
}

void PibbleUnhappyModifier::shakeHead() {
    scatterNode(&pibble->layer(pibbleLayer::head), shakeTime, shakeRange, shakeSteps, true);
}

void PibbleUnhappyModifier::onRun(int /*dt*/) {
    ui::Sprite& head = pibble->layer(pibbleLayer::head);
    if (head.getModifierList().empty()) {
        shakeHead();
    }
    pibble->layer(pibbleLayer::ears).setPosition(head.getX(), head.getY());
}

bool PibbleUnhappyModifier::clockRuns() const {
    const ui::Scene* scene = currentScene();
    return scene == nullptr || scene->getOpenDialogs().empty();
}

void PibbleUnhappyModifier::onEnd() {
    const bool stoppedEarly = timeLeft >= 1;
    if (stoppedEarly && pibble->getStyle() == headStyle::unhappy) {
        pibble->setStyle(headStyle::normal);
    }
    for (const int layer : {pibbleLayer::head, pibbleLayer::ears}) {
        pibble->layer(layer).removeAllModifiers();
        pibble->layer(layer).setPosition(0, 0);
    }
}

} // namespace game
