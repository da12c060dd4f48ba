#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogProgress.h"
#include "game/frontend/FailedSaveNotice.h"
#include "game/play/PlayScene.h"
#include "host/Window.h"

namespace game {

// Asked again while the player is being told that the game could not be saved, the close goes through: the
// player has said yes and has been told.
void PlayScene::onCloseRequest() {
    if (failedSaveNoticeOpen()) {
        host::PostQuitMessage(0);
        return;
    }
    if (isDialogOpen(ids::textQuit)) {
        return;
    }
    DialogPibble::showYesNo(ids::textQuit, ids::textQuitHeader, this, confirmQuit, nullptr, nullptr, this);
}

void PlayScene::confirmQuit(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    DialogPibble::closeDialog(ids::textQuit);
    self->keepGameForQuit();
    leaveAfterFailedSaveNotice([] { host::PostQuitMessage(0); });
}

// An idle game is saved; a level just finished is carried on to the next and saved as if the player had
// continued; a lost game leaves no save. A move in progress saves nothing new. The chapter chosen on an open
// chapter map is saved now, not at the exit, where a failed save could no longer be told.
void PlayScene::keepGameForQuit() {
    PlayField* field = getField();
    PibblePlayer* player = currentPlayer();
    if (field == nullptr || player == nullptr) {
        return;
    }
    if (isDialogOpen(ids::dialogProgress) && pendingChapter() != 0) {
        DialogProgress::startPendingChapter();
        // Nothing is left for the exit to commit.
        setProgressMapChapter(0, false);
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
        deleteSavedGame();
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
