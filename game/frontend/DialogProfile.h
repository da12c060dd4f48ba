#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogPibble.h"

#include <array>
#include <cstdint>
#include <string>

namespace ui {
class Button;
class GameNode;
class Label;
class Sprite;
} // namespace ui

namespace game {

// The player list: one row per player (at most five are listed), a marker beside the current player's
// row, and buttons to take the current player, make a new one and delete one after a question. A click on
// a row makes its player current; a click on an empty row makes a new player.
class DialogProfile : public DialogPibble {
public:
    static constexpr int rowCount = ids::profileRows;

    // The dialog's keys; "INPUT_MARKER", "BUTTON_OK", "BUTTON_NEW", "BUTTON_DEL", "BUTTON_INPUT_1".."5" and
    // "LABEL_INPUT_1".."5" are its components.
    explicit DialogProfile(kernel::NodeValue& settings);
    ~DialogProfile() override;

    void show() override;
    void hide() override;

    static void onOk(void* receiver, ui::GameNode* sender);
    static void onNew(void* receiver, ui::GameNode* sender);
    static void onDelete(void* receiver, ui::GameNode* sender);
    static void onRow(void* receiver, ui::GameNode* sender);
    // The yes of the delete question: the selected row's player goes, a neighbour becomes current.
    static void onDeleteYes(void* receiver, ui::GameNode* sender);

    // The rows again from the player list, the buttons' states and the marker's place.
    void refresh();

    int getSelectedRow() const { return selectedRow; }
    // Null when the declaration lacks the component or the row is out of range.
    ui::Button* getRowButton(int row) const;
    ui::Label* getRowLabel(int row) const;
    ui::Sprite* getInputMarker() const { return inputMarker.get(); }
    ui::Button* getNewButton() const { return buttonNew.get(); }
    ui::Button* getDeleteButton() const { return buttonDel.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void findComponents();
    void bindHandlers();
    int rowOf(const ui::GameNode* sender) const;
    void selectRow(int row);
    void openCreate();
    void askDelete();
    void deleteSelected();
    void chooseNeighbourOfSelected();
    void showRows();
    void placeMarker();

    kernel::SmartPtr<ui::Sprite> inputMarker;
    kernel::SmartPtr<ui::Button> buttonOk;
    kernel::SmartPtr<ui::Button> buttonNew;
    kernel::SmartPtr<ui::Button> buttonDel;
    std::array<kernel::SmartPtr<ui::Button>, rowCount> inputButtons;
    std::array<kernel::SmartPtr<ui::Label>, rowCount> inputLabels;
    std::int32_t selectedRow = 0;
};

} // namespace game
