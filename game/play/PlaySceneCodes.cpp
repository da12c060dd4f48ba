#include "game/field/GameEvent.h"
#include "game/field/PlayField.h"
#include "game/play/PlayScene.h"

#include <utility>

namespace game {

// A level ended by a code is told as the scene's own test tells it, with an event that carries nothing,
// and only once: neither a second code nor the scene's test ends it again. A code typed while a move runs
// waits for the move's end, as the level's own end waits for rest: cut short, the move would leave its
// holes in the field that ACTION and RELAX play their next level on. The first code typed decides.
void PlayScene::finishLevelNow() {
    endLevelByCode(eventType::levelFinished);
}

void PlayScene::failLevelNow() {
    endLevelByCode(eventType::levelFailed);
}

void PlayScene::endLevelByCode(std::int32_t end) {
    if (levelEndSent || getField() == nullptr) {
        return;
    }
    if (codedEnd == 0) {
        codedEnd = end;
    }
    if (!moveInProgress()) {
        tellCodedEnd();
    }
}

void PlayScene::tellCodedEnd() {
    const std::int32_t end = std::exchange(codedEnd, 0);
    if (end == 0 || levelEndSent || getField() == nullptr) {
        return;
    }
    levelEndSent = true;
    if (end == eventType::levelFinished) {
        onLevelFinished(GameEvent{});
    } else {
        onLevelFailed(GameEvent{});
    }
}

void PlayScene::makeRandomPartyPibble() {
    if (PlayField* field = getField()) {
        field->makeRandomPartyPibble();
    }
}

} // namespace game
