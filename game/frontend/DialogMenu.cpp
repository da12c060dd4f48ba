#include "game/frontend/DialogMenu.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Button.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/TransitionScene.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogMenu", DialogMenu::createInstance);

// Handlers get the menu as the node closeSelf reads its receiver as.
void* receiverOf(DialogMenu* menu) {
    return static_cast<ui::GameNode*>(menu);
}

} // namespace

DialogMenu::DialogMenu(kernel::NodeValue& settings) : DialogPibble(settings) {
    helpButton = bindButton(ids::buttonHelp, onHelp);
    albumButton = bindButton(ids::buttonAlbum, onAlbum);
    settingsButton = bindButton(ids::buttonSettings, onSettings);
    quitButton = bindButton(ids::buttonQuit, onQuit);
    continueButton = bindButton(ids::buttonContinue, onContinue);
}

kernel::Object* DialogMenu::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogMenu(settings.asNode()) : nullptr;
}

ui::Button* DialogMenu::bindButton(const char* name, ui::WidgetCallback::Function handler) {
    ui::GameNode* bound = bindCallback(name, receiverOf(this), handler, listenerList());
    return bound != nullptr && bound->isKindOf(ui::Button::classInfo) ? static_cast<ui::Button*>(bound)
                                                                      : nullptr;
}

void DialogMenu::show() {
    shown = true;
    DialogPibble::show();
    playSound(ids::soundDialogAppears, ids::groupSounds);
}

// A menu closed already is not hidden again: its closing sound plays once.
void DialogMenu::hide() {
    if (!shown) {
        return;
    }
    shown = false;
    playSound(ids::soundDialogDisappears, ids::groupSounds);
    DialogPibble::hide();
}

DialogMenu* DialogMenu::shownMenu(void* receiver) {
    if (receiver == nullptr) {
        return nullptr;
    }
    auto* menu = static_cast<DialogMenu*>(static_cast<ui::GameNode*>(receiver));
    return menu->shown ? menu : nullptr;
}

void DialogMenu::closeAndOpen(void* receiver, const char* dialogName) {
    if (shownMenu(receiver) == nullptr) {
        return;
    }
    closeSelf(receiver, nullptr);
    openDialog(dialogName, nullptr, true);
}

void DialogMenu::onHelp(void* menu, ui::GameNode* /*sender*/) {
    closeAndOpen(menu, ids::dialogHelp);
}

void DialogMenu::onSettings(void* menu, ui::GameNode* /*sender*/) {
    closeAndOpen(menu, ids::dialogSettings);
}

void DialogMenu::onAlbum(void* menu, ui::GameNode* /*sender*/) {
    AlbumPictures* album = AlbumPictures::instance();
    if (shownMenu(menu) != nullptr && album != nullptr) {
        album->openAtContents();
    }
}

// The question's no is the box's own default: it closes, and the game is back with no dialog open.
void DialogMenu::onQuit(void* menu, ui::GameNode* sender) {
    if (shownMenu(menu) == nullptr) {
        return;
    }
    closeSelf(menu, sender);
    showYesNo(ids::textQuit, ids::textQuitHeader, nullptr, onQuitYes, nullptr, nullptr, currentScene());
}

void DialogMenu::onContinue(void* menu, ui::GameNode* sender) {
    if (shownMenu(menu) != nullptr) {
        closeSelf(menu, sender);
    }
}

// What the play scene keeps of the game when it is left is its own business (it lets a move in progress
// end and tells of a failed save before the way back).
void DialogMenu::onQuitYes(void* /*box*/, ui::GameNode* /*sender*/) {
    closeDialog(ids::textQuit);
    const auto back = [] { ChangeSceneWithTransition(ids::sceneSelection); };
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->leaveGame(back);
    } else {
        back();
    }
}

} // namespace game
