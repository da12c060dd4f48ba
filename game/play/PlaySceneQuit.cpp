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

#include <utility>

namespace game {

namespace {

// A move that has not ended after this long never will (its field stands still): the leave goes on with
// what the field stored at the move's start, so a quit never hangs.
constexpr std::int64_t moveEndWaitLimitMs = 30000;

} // namespace

// Asked again while the player is being told that the game could not be saved, the close goes through: the
// player has said yes and has been told. Once yes was said, the quit waits for the move and asks no more.
void PlayScene::onCloseRequest() {
    if (failedSaveNoticeOpen()) {
        host::PostQuitMessage(0);
        return;
    }
    if (isLeavingAfterMove() || isDialogOpen(ids::textQuit)) {
        return;
    }
    DialogPibble::showYesNo(ids::textQuit, ids::textQuitHeader, this, confirmQuit, nullptr, nullptr, this);
}

void PlayScene::confirmQuit(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    DialogPibble::closeDialog(ids::textQuit);
    self->leaveAfterMove(&PlayScene::keepGameForQuit, [] { host::PostQuitMessage(0); });
}

void PlayScene::leaveGame(void (*step)()) {
    leaveAfterMove(&PlayScene::keepMoveEnd, step);
}

bool PlayScene::moveInProgress() const {
    const PlayField* field = getField();
    if (field == nullptr) {
        return false;
    }
    const std::int32_t state = field->state();
    return state > fieldState::idle && state < fieldState::levelOver;
}

// Kept at a move's end, the game holds what the move won. Until then the move runs on while no click
// reaches the field: the buttons and a second close do nothing, and as under an open dialog neither the
// mode's clocks nor the level's end go on.
void PlayScene::leaveAfterMove(Keep keep, void (*step)()) {
    if (isLeavingAfterMove()) {
        return;
    }
    pendingLeave = {keep, step, 0};
    if (!moveInProgress() && !levelEndUntold()) {
        takePendingLeave();
        return;
    }
    runMoveWithoutInput();
}

// A level that is over is told (its level-end dialog opens) a moment later; a leave in that moment waits for
// it, so a finished level is carried on as when the dialog stands open.
bool PlayScene::levelEndUntold() const {
    const PlayField* field = getField();
    return field != nullptr && field->state() == fieldState::levelOver && !levelEndSent &&
           !isDialogOpen(ids::dialogLevelEnd);
}

void PlayScene::awaitMoveEnd(std::uint32_t elapsedMs) {
    pendingLeave.waitedMs += elapsedMs;
    if (pendingLeave.waitedMs > moveEndWaitLimitMs) {
        takePendingLeave();
    } else if (moveInProgress()) {
        runMoveWithoutInput();
    } else if (levelEndUntold()) {
        runMoveWithoutInput();
        checkLevelEnd(elapsedMs);
    } else {
        takePendingLeave();
    }
}

// A paused field holds its falling pibbles in the air, so the pause that any open dialog puts on the field is
// lifted (a collectable's photo ends its own freeze); the field then takes no click.
void PlayScene::runMoveWithoutInput() {
    PlayField* field = getField();
    if (field == nullptr || field->isFrozen()) {
        return;
    }
    if (field->isPauseRequested()) {
        field->resume();
    }
    field->disableInput();
}

void PlayScene::takePendingLeave() {
    const PendingLeave leave = std::exchange(pendingLeave, PendingLeave{});
    (this->*leave.keep)();
    leaveAfterFailedSaveNotice(leave.step);
}

// An idle game is saved; a level just finished is carried on to the next and saved as if the player had
// continued; a lost game leaves no save; before the first GO there is nothing new to save. A move that
// never ended keeps the position the field stored at its start. The chapter chosen on an open chapter map
// is saved now, not at the exit, where a failed save could no longer be told.
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
    if (field->state() == fieldState::idle || moveInProgress()) {
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

// The menu saved the game as it opened; a save made while a move ran holds the move's start, so the end of
// the move is saved now.
void PlayScene::keepMoveEnd() {
    if (savedMoveStart) {
        saveGame();
    }
}

} // namespace game
