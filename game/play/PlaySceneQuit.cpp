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

void quitProgram() {
    host::PostQuitMessage(0);
}

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
    self->leaveAfterMove(&PlayScene::keepGameForQuit, quitProgram);
}

// Nobody may be there to answer when the system ends the program: the game is kept as a yes to the quit
// question keeps it (after the move in progress), and a save that failed is told in the log only. A way
// back to the selection that waits for its move ends the program instead, with the game kept as for a quit.
void PlayScene::onEndRequest() {
    if (failedSaveNoticeOpen()) {
        quitProgram();
        return;
    }
    if (isLeavingAfterMove()) {
        pendingLeave.keep = &PlayScene::keepGameForQuit;
        pendingLeave.step = quitProgram;
        pendingLeave.unattended = true;
        return;
    }
    if (isDialogOpen(ids::textQuit)) {
        DialogPibble::closeDialog(ids::textQuit);
    }
    leaveAfterMove(&PlayScene::keepGameForQuit, quitProgram, true);
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
// reaches the field: the buttons and a second close do nothing, and as under an open dialog the mode's
// clocks stand still; the level's end is decided once the move is over. A move that has just ended still
// has its possible moves to be counted (the field's rescan): the leave waits for that count too, or a level
// the move won would be kept as not yet over.
void PlayScene::leaveAfterMove(Keep keep, void (*step)(), bool unattended) {
    if (isLeavingAfterMove()) {
        return;
    }
    const PlayField* field = getField();
    const bool countPending =
        field != nullptr && field->state() == fieldState::idle && field->isRescanPending();
    pendingLeave = {keep, step, 0, unattended, moveInProgress() || countPending};
    awaitMoveEnd(0);
}

// A level that is over is told (its level-end dialog opens) a moment later; a leave in that moment waits for
// it, so a finished level is carried on as when the dialog stands open.
bool PlayScene::levelEndUntold() const {
    const PlayField* field = getField();
    return field != nullptr && field->state() == fieldState::levelOver && !levelEndSent &&
           !isDialogOpen(ids::dialogLevelEnd);
}

// Idle again after a move, the field counts its possible moves (once its last animations have run) before
// the level's end can be decided.
bool PlayScene::fieldSettling() const {
    const PlayField* field = getField();
    return field != nullptr && field->state() == fieldState::idle &&
           (field->animationsRunning() || field->isRescanPending());
}

// Once the move has ended, the level's end is decided as on any rest (a code typed meanwhile first), and a
// level that ends is told before the game is kept: a won level is then carried on, a lost game ended.
void PlayScene::awaitMoveEnd(std::uint32_t elapsedMs) {
    pendingLeave.waitedMs += elapsedMs;
    if (pendingLeave.waitedMs > moveEndWaitLimitMs) {
        takePendingLeave();
        return;
    }
    runMoveWithoutInput();
    if (moveInProgress() || (pendingLeave.afterMove && fieldSettling()) || changingLevel()) {
        return;
    }
    tellCodedEnd();
    checkLevelEnd(elapsedMs);
    if (!levelEndUntold()) {
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
    if (leave.unattended) {
        leave.step();
    } else {
        leaveAfterFailedSaveNotice(leave.step);
    }
}

// An idle game is saved, and so is the next level waiting for its GO; a level that has ended is kept as its
// dialog tells it; before the game's first GO there is nothing new to save. A move that never ended keeps the
// position the field stored at its start. The chapter chosen on an open chapter map is saved now, not at the
// exit, where a failed save could no longer be told.
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
    const std::int32_t state = field->state();
    if (state == fieldState::idle || moveInProgress() ||
        (played && (state == fieldState::loaded || state == fieldState::ready))) {
        saveGame();
        player->setGamemodeSaveFlag(gameMode);
        return;
    }
    keepLevelEnd();
}

// The menu saved the game as it opened; a save made while a move ran holds the move's start, so the end of
// the move is saved now, or the level's end that the move brought is kept.
void PlayScene::keepMoveEnd() {
    const PlayField* field = getField();
    if (field != nullptr && field->state() == fieldState::levelOver) {
        keepLevelEnd();
    } else if (savedMoveStart) {
        saveGame();
    }
}

// With its level-end dialog open, a finished level is carried on to the next and saved as if the player had
// continued; a lost game leaves no save.
void PlayScene::keepLevelEnd() {
    PlayField* field = getField();
    PibblePlayer* player = currentPlayer();
    if (field == nullptr || player == nullptr || field->state() != fieldState::levelOver ||
        !isDialogOpen(ids::dialogLevelEnd)) {
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
