#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "game/frontend/DialogPibble.h"

#include <cstdint>
#include <string>

namespace ui {
class Button;
class GameNode;
class InputLabel;
} // namespace ui

namespace game {

// Asks for a new player's name. The name field keeps the keyboard whatever is clicked; OK (or Enter) makes
// the player, or makes an existing player of that name current, and closes every dialog of the scene. A
// second or later player is greeted with the comic strip. On the very first start there is nobody to go
// back to: the dialog has no cancel button and its OK button stands in the middle.
class DialogProfileCreate : public DialogPibble {
public:
    // How long one wait for the comic's pages sleeps, and how long the wait lasts at most (ms).
    static constexpr std::uint32_t stripPollMs = 10;
    static constexpr std::uint32_t stripWaitLimitMs = 10000;

    // The dialog's keys; "INPUTLABEL_NAME", "BUTTON_OK" and "BUTTON_CANCEL" are its components.
    explicit DialogProfileCreate(kernel::NodeValue& settings);
    ~DialogProfileCreate() override;

    void show() override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    static void onOk(void* receiver, ui::GameNode* sender);
    static void onTextChanged(void* receiver, ui::GameNode* sender);
    // Tab and Escape would take the keyboard from the name: it is given back at once.
    static void onFocusReleased(void* receiver, ui::GameNode* sender);

    // A name that can never be a player's: "." and "..", which would stand for folders in the paths made
    // from player names.
    static bool isReservedName(const std::string& name);

    ui::InputLabel* getNameInput() const { return inputName.get(); }
    ui::Button* getOkButton() const { return buttonOk.get(); }
    // Null on the first start, when the button is removed.
    ui::Button* getCancelButton() const { return buttonCancel.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void findComponents();
    void bindHandlers();
    void arrangeForFirstPlayer();
    void focusName();
    void textChanged();
    void confirm();
    void createOrSelect(const std::string& name);
    void closeAllAndGreet();
    static void showStripForNewPlayer();

    kernel::SmartPtr<ui::InputLabel> inputName;
    kernel::SmartPtr<ui::Button> buttonOk;
    kernel::SmartPtr<ui::Button> buttonCancel;
};

} // namespace game
