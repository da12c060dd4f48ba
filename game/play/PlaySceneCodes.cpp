#include "game/field/GameEvent.h"
#include "game/field/PlayField.h"
#include "game/play/PlayScene.h"

namespace game {

// A level ended by a code is told as the scene's own test tells it, with an event that carries nothing,
// and only once: neither a second code nor the scene's test ends it again.
void PlayScene::finishLevelNow() {
    if (levelEndSent || getField() == nullptr) {
        return;
    }
    levelEndSent = true;
    onLevelFinished(GameEvent{});
}

void PlayScene::failLevelNow() {
    if (levelEndSent || getField() == nullptr) {
        return;
    }
    levelEndSent = true;
    onLevelFailed(GameEvent{});
}

void PlayScene::makeRandomPartyPibble() {
    if (PlayField* field = getField()) {
        field->makeRandomPartyPibble();
    }
}

} // namespace game
