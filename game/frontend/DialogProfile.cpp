#include "game/frontend/DialogProfile.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/Player.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleScene.h"
#include "host/System.h"

#include <algorithm>

namespace game {

namespace {

const kernel::ClassRegistrar registerDialogProfile("DialogProfile", DialogProfile::createInstance);

platform::PlayerManager* players() {
    return platform::PlayerManager::instance();
}

int playerCount() {
    return players() != nullptr ? players()->getPlayerCount() : 0;
}

// A players file may list more players than there are rows: only the first rows' worth are shown.
int listedCount() {
    return std::min(playerCount(), DialogProfile::rowCount);
}

platform::Player* playerAt(int index) {
    return players()->getPlayers()[static_cast<std::size_t>(index)].get();
}

std::string nameOfPlayer(int index) {
    return playerAt(index)->getName();
}

void updateWelcomeText() {
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->updateWelcomeText();
    }
}

std::string numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

} // namespace

DialogProfile::DialogProfile(kernel::NodeValue& settings) : DialogPibble(settings) {
    findComponents();
    bindHandlers();
    refresh();
}

DialogProfile::~DialogProfile() = default;

kernel::Object* DialogProfile::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogProfile(settings.asNode()) : nullptr;
}

void DialogProfile::findComponents() {
    inputMarker = findComponentAs<ui::Sprite>(ids::inputMarker);
    buttonOk = findComponentAs<ui::Button>(ids::buttonOk);
    buttonNew = findComponentAs<ui::Button>(ids::buttonNew);
    buttonDel = findComponentAs<ui::Button>(ids::buttonDelete);
    for (int row = 0; row < rowCount; ++row) {
        inputButtons[row] = findComponentAs<ui::Button>(numbered(ids::buttonInputPrefix, row + 1));
        inputLabels[row] = findComponentAs<ui::Label>(numbered(ids::labelInputPrefix, row + 1));
    }
}

void DialogProfile::bindHandlers() {
    bindCallback(ids::buttonOk, this, onOk, listenerList());
    bindCallback(ids::buttonNew, this, onNew, listenerList());
    bindCallback(ids::buttonDelete, this, onDelete, listenerList());
    for (int row = 0; row < rowCount; ++row) {
        bindCallback(numbered(ids::buttonInputPrefix, row + 1), this, onRow, listenerList());
    }
}

ui::Button* DialogProfile::getRowButton(int row) const {
    return row >= 0 && row < rowCount ? inputButtons[row].get() : nullptr;
}

ui::Label* DialogProfile::getRowLabel(int row) const {
    return row >= 0 && row < rowCount ? inputLabels[row].get() : nullptr;
}

void DialogProfile::show() {
    DialogPibble::show();
    playSound(ids::soundDialogAppears, ids::groupSounds);
}

void DialogProfile::hide() {
    playSound(ids::soundDialogDisappears, ids::groupSounds);
    DialogPibble::hide();
}

void DialogProfile::onOk(void* receiver, ui::GameNode* sender) {
    updateWelcomeText();
    closeSelf(static_cast<ui::GameNode*>(static_cast<DialogProfile*>(receiver)), sender);
}

void DialogProfile::onNew(void* receiver, ui::GameNode*) {
    static_cast<DialogProfile*>(receiver)->openCreate();
}

void DialogProfile::onDelete(void* receiver, ui::GameNode*) {
    static_cast<DialogProfile*>(receiver)->askDelete();
}

void DialogProfile::onRow(void* receiver, ui::GameNode* sender) {
    auto* dialog = static_cast<DialogProfile*>(receiver);
    dialog->selectRow(dialog->rowOf(sender));
}

void DialogProfile::onDeleteYes(void* receiver, ui::GameNode*) {
    static_cast<DialogProfile*>(receiver)->deleteSelected();
}

int DialogProfile::rowOf(const ui::GameNode* sender) const {
    for (int row = 0; row < rowCount; ++row) {
        if (sender != nullptr && inputButtons[row].get() == sender) {
            return row;
        }
    }
    return -1;
}

// A row without a player makes a new one, as far as there is room for one.
void DialogProfile::selectRow(int row) {
    if (row < 0) {
        return;
    }
    if (row < listedCount()) {
        selectedRow = row;
        if (!players()->selectPlayer(nameOfPlayer(row))) {
            host::ReportProblem("DialogProfile: the current profile could not be written\n");
        }
    } else {
        openCreate();
    }
    refresh();
}

void DialogProfile::openCreate() {
    if (playerCount() < rowCount) {
        openDialog(ids::dialogProfileCreate, currentScene(), true);
    }
}

void DialogProfile::askDelete() {
    showYesNo(ids::textProfileDelete, ids::textProfileDeleteHeader, this, onDeleteYes, nullptr, nullptr,
              currentScene());
}

// At least one player always remains, so there is always a neighbour to become current.
void DialogProfile::deleteSelected() {
    if (listedCount() < 2 || selectedRow >= listedCount()) {
        return;
    }
    const std::string name = nameOfPlayer(selectedRow);
    if (playerAt(selectedRow) == players()->getCurrentPlayer()) {
        chooseNeighbourOfSelected();
    }
    if (!players()->deletePlayer(name)) {
        host::ReportProblem("DialogProfile: the player list could not be written\n");
    }
    refresh();
    updateWelcomeText();
    if (ui::Scene* scene = currentScene()) {
        scene->removeDialog(ids::textProfileDelete);
    }
}

// The row below, or the row above when the last row goes.
void DialogProfile::chooseNeighbourOfSelected() {
    ++selectedRow;
    if (selectedRow >= listedCount()) {
        selectedRow = listedCount() - 2;
    }
    if (!players()->selectPlayer(nameOfPlayer(selectedRow))) {
        host::ReportProblem("DialogProfile: the current profile could not be written\n");
    }
}

void DialogProfile::refresh() {
    showRows();
    enableButton(buttonNew.get(), playerCount() < rowCount);
    enableButton(buttonDel.get(), playerCount() >= 2);
    placeMarker();
}

// The selected row follows the current player; one listed beyond the rows leaves the selection on a
// shown row.
void DialogProfile::showRows() {
    for (const kernel::SmartPtr<ui::Label>& label : inputLabels) {
        if (label) {
            label->setText(kernel::WideString());
        }
    }
    const platform::Player* current = players() != nullptr ? players()->getCurrentPlayer() : nullptr;
    for (int row = 0; row < listedCount(); ++row) {
        if (inputLabels[row]) {
            inputLabels[row]->setText(widen(nameOfPlayer(row)));
        }
        if (playerAt(row) == current) {
            selectedRow = row;
        }
    }
    selectedRow = std::clamp(selectedRow, 0, std::max(listedCount() - 1, 0));
}

void DialogProfile::placeMarker() {
    const ui::Button* row = inputButtons[selectedRow].get();
    if (!inputMarker || row == nullptr) {
        return;
    }
    inputMarker->setPosition(row->getX() + propertyInt(ids::cfgInputLabelOffsetX),
                             row->getY() + propertyInt(ids::cfgInputLabelOffsetY));
}

} // namespace game
