#include "game/frontend/FailedSaveNotice.h"

#include "game/foundation/GameIds.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/DialogPibble.h"

#include <utility>

namespace game {

namespace {

using Step = void (*)();

// One box at a time, so one step waits at most.
Step& waitingStep() {
    static Step step = nullptr;
    return step;
}

void onNoticeClosed(void* /*target*/, ui::GameNode* /*sender*/) {
    DialogPibble::closeDialog(ids::textSaveFailed);
    if (const Step step = std::exchange(waitingStep(), nullptr)) {
        step();
    }
}

} // namespace

void leaveAfterFailedSaveNotice(Step step) {
    PibbleScene* scene = PibbleScene::current();
    if (scene == nullptr || !scene->gameSaveFailed()) {
        step();
        return;
    }
    if (scene->isDialogOpen(ids::textSaveFailed)) {
        return;
    }
    waitingStep() = step;
    if (DialogPibble::showMessage(ids::textSaveFailed, ids::textSaveFailedHeader, nullptr, onNoticeClosed,
                                  scene) == nullptr) {
        waitingStep() = nullptr;
        step();
    }
}

bool failedSaveNoticeOpen() {
    const PibbleScene* scene = PibbleScene::current();
    return scene != nullptr && scene->isDialogOpen(ids::textSaveFailed);
}

} // namespace game
