#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/PlayScene.h"
#include "host/Window.h"

namespace game {

void PlayScene::onCloseRequest() {
    if (isDialogOpen(ids::textQuit)) {
        return;
    }
    DialogPibble::showYesNo(ids::textQuit, ids::textQuitHeader, this, confirmQuit, nullptr, nullptr, this);
}

void PlayScene::confirmQuit(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    DialogPibble::closeDialog(ids::textQuit);
    self->keepGameForQuit();
    host::PostQuitMessage(0);
}

// An idle game is saved; a level just finished is carried on to the next and saved as if the player had
// continued; a lost game leaves no save. A move in progress saves nothing new.
void PlayScene::keepGameForQuit() {
    PlayField* field = getField();
    PibblePlayer* player = currentPlayer();
    if (field == nullptr || player == nullptr) {
        return;
    }
    if (field->state() == fieldState::idle) {
        saveGame();
        player->setGamemodeSaveFlag(gameMode);
        return;
    }
    if (field->state() != fieldState::levelOver || !isDialogOpen(ids::dialogLevelEnd)) {
        return;
    }
    if (levelEndKind() == levelEndFailed) {
        DeleteSavegame(player->getName(), gameMode);
        return;
    }
    if (levelEndKind() != levelEndFinished) {
        return;
    }
    const std::int32_t score = field->getScore();
    LevelFile* next = advanceLevelForQuit();
    // The catalogue had no level to go on with (or the game is complete): nothing to save.
    if (next == nullptr || next->rowCount() == 0 || next->columnCount() == 0) {
        return;
    }
    field->restart(next);
    field->setScore(score);
    field->storeToLevel();
    saveGame();
    player->setGamemodeSaveFlag(gameMode);
}

} // namespace game
