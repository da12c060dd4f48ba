#include "game/field/LandingBounce.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/MoveModifier.h"
#include "game/field/Pibble.h"

#include <vector>

namespace game {

namespace {

constexpr int dip = 4;
constexpr float headLag = 0.35f;
constexpr float earsLag = 0.5f;

ui::Modifier* dipDown(int duration) {
    ui::Modifier* move = new ui::MoveModifier(0, 0, 0, dip, duration, true);
    move->addFlags(ui::Modifier::blocking);
    return move;
}

ui::Modifier* dipUp(int duration) {
    ui::Modifier* move = new ui::MoveModifier(0, dip, 0, 0, duration, true);
    move->addFlags(ui::Modifier::blocking);
    return move;
}

// Each goes first in the list, so they are put there last to first to run in the order given.
void putInFront(ui::GameNode& node, const std::vector<ui::Modifier*>& runOrder) {
    for (auto it = runOrder.rbegin(); it != runOrder.rend(); ++it) {
        node.addModifier(*it, false);
    }
}

} // namespace

void addLandingBounce(Pibble& pibble, int duration) {
    const int half = duration / 2;
    const int headDelay = static_cast<int>(static_cast<float>(half) * headLag);
    const int earsDelay = static_cast<int>(static_cast<float>(half) * earsLag);
    putInFront(pibble.layer(pibbleLayer::body), {dipDown(half), dipUp(half)});
    putInFront(pibble.layer(pibbleLayer::head), {new ui::DelayModifier(headDelay), dipDown(half),
                                                 new ui::DelayModifier(headDelay), dipUp(half)});
    putInFront(pibble.layer(pibbleLayer::ears), {new ui::DelayModifier(earsDelay), dipDown(half),
                                                 new ui::DelayModifier(earsDelay), dipUp(half)});
    pibble.addModifier(new ui::DelayModifier(duration), false);
}

} // namespace game
