#include "game/field/PibbleHoles.h"

#include "engine/ui/ModifierFrame.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleImages.h"

namespace game {

namespace {

constexpr int holeFrames = 4;
constexpr int frameDelay = 25;

} // namespace

void showHole(Pibble& pibble, const char* picture) {
    ui::Sprite& hole = pibble.layer(pibbleLayer::hole);
    hole.removeAllModifiers();
    hole.setImage(pibbleImage(picture));
    if (hole.getImage() != nullptr) {
        hole.setupFrames(holeFrames, false, true);
    }
    hole.addModifier(new ui::ModifierFrame(frameDelay, 1));
}

void clearHole(Pibble& pibble) {
    ui::Sprite& hole = pibble.layer(pibbleLayer::hole);
    hole.removeAllModifiers();
    hole.setImage(nullptr);
}

} // namespace game
