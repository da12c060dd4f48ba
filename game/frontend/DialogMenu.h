#pragma once

#include "game/frontend/DialogPibble.h"

namespace ui {
class Button;
class GameNode;
} // namespace ui

namespace game {

// The menu over a play scene: help, the album, the settings, quitting to the selection scene after a
// question, and going on with the game. Help, settings and quit close the menu before their own dialog
// opens; the album opens over it. Once closed, the menu's buttons do nothing more, so a second click that
// was already on its way cannot open or close anything twice.
class DialogMenu : public DialogPibble {
public:
    // The dialog's keys; the five buttons are found and bound here.
    explicit DialogMenu(kernel::NodeValue& settings);

    // Each with the dialog sound.
    void show() override;
    void hide() override;
    bool isShown() const { return shown; }

    // The buttons' handlers; the receiver is the menu.
    static void onHelp(void* menu, ui::GameNode* sender);
    static void onAlbum(void* menu, ui::GameNode* sender);
    static void onSettings(void* menu, ui::GameNode* sender);
    static void onQuit(void* menu, ui::GameNode* sender);
    static void onContinue(void* menu, ui::GameNode* sender);
    // The quit question's yes: the question closes and the game fades to the selection scene.
    static void onQuitYes(void* box, ui::GameNode* sender);

    ui::Button* getHelpButton() const { return helpButton; }
    ui::Button* getAlbumButton() const { return albumButton; }
    ui::Button* getSettingsButton() const { return settingsButton; }
    ui::Button* getQuitButton() const { return quitButton; }
    ui::Button* getContinueButton() const { return continueButton; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The menu a handler was bound for, while it is still shown; null once it has closed.
    static DialogMenu* shownMenu(void* receiver);
    // Closes the menu, then opens the named dialog over the game, taking all input.
    static void closeAndOpen(void* receiver, const char* dialogName);
    ui::Button* bindButton(const char* name, ui::WidgetCallback::Function handler);

    ui::Button* helpButton = nullptr;
    ui::Button* albumButton = nullptr;
    ui::Button* settingsButton = nullptr;
    ui::Button* quitButton = nullptr;
    ui::Button* continueButton = nullptr;
    bool shown = false;
};

} // namespace game
