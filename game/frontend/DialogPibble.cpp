#include "game/frontend/DialogPibble.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Scene.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/frontend/DialogHint.h"
#include "host/System.h"

namespace game {

namespace {

const kernel::ClassRegistrar registerDialogPibble("DialogPibble", DialogPibble::createInstance);

constexpr int gameWidth = 640;
constexpr int gameHeight = 480;

ui::Scene* sceneOrCurrent(ui::Scene* scene) {
    return scene != nullptr ? scene : currentScene();
}

// A box whose declaration lacks a component still opens; the gap in the data is reported.
ui::GameNode* findPart(ui::Dialog& dialog, const char* name) {
    ui::GameNode* found = dialog.findComponent(name);
    if (found == nullptr) {
        host::OutputDebugString(("DialogPibble: box " + dialog.getName() + " has no " + name + "\n").c_str());
    }
    return found;
}

ui::Label* findLabel(ui::Dialog& dialog, const char* name) {
    ui::GameNode* found = findPart(dialog, name);
    return found != nullptr && found->isKindOf(ui::Label::classInfo) ? static_cast<ui::Label*>(found)
                                                                     : nullptr;
}

void moveDown(ui::GameNode* node, int distance) {
    if (node != nullptr) {
        node->setY(node->getY() + distance);
    }
}

// The receiver closeSelf reads as a node: the dialog passed exactly as the GameNode it will be read as.
void* receiverOf(ui::Dialog* dialog) {
    return static_cast<ui::GameNode*>(dialog);
}

// A button left without a handler closes its own box. It gets the box as its receiver even when the
// caller named another target, since closeSelf takes the receiver's name for the box's key.
void bindButton(ui::Dialog& dialog, const char* name, void* target, DialogPibble::Handler handler) {
    if (handler == nullptr) {
        dialog.bindCallback(name, receiverOf(&dialog), DialogPibble::closeSelf, dialog.listenerList());
        return;
    }
    dialog.bindCallback(name, target != nullptr ? target : receiverOf(&dialog), handler,
                        dialog.listenerList());
}

// The box's declaration is made afresh under the message key, replacing any box of the same message.
ui::Dialog* createBox(ui::Scene& scene, const char* declaration, const std::string& messageKey) {
    scene.removeDialog(messageKey);
    return scene.createDialog(declaration, true, messageKey);
}

// The change of the label's height that the text causes.
int setTextAndMeasure(ui::Label* label, const std::string& textKey) {
    if (label == nullptr) {
        return 0;
    }
    const int before = label->getHeight();
    label->setText(textKey.empty() ? kernel::WideString() : kernel::PropertyStore::getText(textKey));
    return label->getHeight() - before;
}

// Without a header the message moves up into its place; returns how far.
int dropHeader(ui::Label* message, ui::Label* header) {
    if (header == nullptr) {
        return 0;
    }
    int gap = 0;
    if (message != nullptr) {
        gap = message->getY() - header->getY();
        message->setY(header->getY());
    }
    header->kill();
    return gap;
}

} // namespace

// The fallback Node stands for settings that were no Node at all: none is kept then.
DialogPibble::DialogPibble(kernel::NodeValue& settings)
    : ui::Dialog(settings), settingsNode(&settings != &kernel::DUMMY_NODE() ? &settings : nullptr) {
    if (settings.hasChild("autocenter")) {
        autoCenter = settings.getValue("autocenter").asBool();
    }
}

DialogPibble::~DialogPibble() {
    settingsNode.reset();
}

kernel::Object* DialogPibble::createInstance(kernel::Value& settings) {
    return new DialogPibble(settings.asNode());
}

void DialogPibble::show() {
    ui::Dialog::activate();
    if (autoCenter) {
        centre();
    }
}

void DialogPibble::hide() {
    ui::Dialog::deactivate();
}

// Integer division truncates toward zero, so a dialog larger than the game area starts off-screen.
void DialogPibble::centre() {
    setPosition((gameWidth - getWidth()) / 2, (gameHeight - getHeight()) / 2);
}

ui::Dialog* DialogPibble::openDialog(const std::string& name, ui::Scene* scene, bool exclusive) {
    ui::Scene* target = sceneOrCurrent(scene);
    if (target == nullptr) {
        return nullptr;
    }
    ui::Dialog* dialog = target->createDialog(name, exclusive);
    target->showDialog(dialog);
    return dialog;
}

void DialogPibble::closeDialog(const std::string& key) {
    if (ui::Scene* scene = currentScene()) {
        scene->removeDialog(key);
    }
}

ui::Dialog* DialogPibble::showMessage(const std::string& messageKey, const std::string& headerKey,
                                      void* target, Handler handler, ui::Scene* scene) {
    ui::Scene* owner = sceneOrCurrent(scene);
    ui::Dialog* dialog = owner != nullptr ? createBox(*owner, ids::dialogMessage, messageKey) : nullptr;
    if (dialog == nullptr) {
        return nullptr;
    }
    ui::Label* message = findLabel(*dialog, ids::boxMessage);
    ui::Label* header = findLabel(*dialog, ids::boxHeader);
    int growth = setTextAndMeasure(message, messageKey);
    if (!headerKey.empty()) {
        setTextAndMeasure(header, headerKey);
    } else {
        growth -= dropHeader(message, header);
    }
    dialog->setHeight(dialog->getHeight() + growth);
    bindButton(*dialog, ids::buttonOk, target, handler);
    moveDown(findPart(*dialog, ids::buttonOk), growth);
    owner->showDialog(dialog);
    return dialog;
}

// Unlike the message box, the question box grows by the message's whole height: its declaration leaves
// the message out of the box's height.
ui::Dialog* DialogPibble::showYesNo(const std::string& messageKey, const std::string& headerKey,
                                    void* yesTarget, Handler yesHandler, void* noTarget, Handler noHandler,
                                    ui::Scene* scene) {
    ui::Scene* owner = sceneOrCurrent(scene);
    ui::Dialog* dialog = owner != nullptr ? createBox(*owner, ids::dialogYesNo, messageKey) : nullptr;
    if (dialog == nullptr) {
        return nullptr;
    }
    bindButton(*dialog, ids::buttonYes, yesTarget, yesHandler);
    bindButton(*dialog, ids::buttonNo, noTarget, noHandler);
    ui::Label* message = findLabel(*dialog, ids::boxMessage);
    setTextAndMeasure(message, messageKey);
    setTextAndMeasure(findLabel(*dialog, ids::boxHeader), headerKey);
    const int height = message != nullptr ? message->getHeight() : 0;
    moveDown(findPart(*dialog, ids::buttonNo), height);
    moveDown(findPart(*dialog, ids::buttonYes), height);
    dialog->setHeight(dialog->getHeight() + height);
    owner->showDialog(dialog);
    return dialog;
}

// The kind is stored between creation and showing: the level-end dialog's constructor clears it and its
// showing reads it.
ui::Dialog* DialogPibble::openHint(const std::string& key, ui::GameNode* target, ui::Scene* scene) {
    ui::Scene* owner = sceneOrCurrent(scene);
    ui::Dialog* dialog = owner != nullptr ? owner->createDialog(ids::dialogHint, true) : nullptr;
    if (dialog == nullptr || !dialog->isKindOf(DialogHint::classInfo)) {
        return dialog;
    }
    auto* hint = static_cast<DialogHint*>(dialog);
    hint->setTarget(target);
    hint->setHintText(key);
    owner->showDialog(hint);
    return hint;
}

ui::Dialog* DialogPibble::openLevelEnd(int kind, ui::Scene* scene) {
    ui::Scene* owner = sceneOrCurrent(scene);
    ui::Dialog* dialog = owner != nullptr ? owner->createDialog(ids::dialogLevelEnd, true) : nullptr;
    if (dialog == nullptr) {
        return nullptr;
    }
    setLevelEndKind(kind);
    owner->showDialog(dialog);
    return dialog;
}

void DialogPibble::closeSelf(void* receiver, ui::GameNode*) {
    if (receiver != nullptr) {
        closeDialog(static_cast<ui::GameNode*>(receiver)->getName());
    }
}

void showNode(ui::GameNode* node, bool visible) {
    if (node != nullptr) {
        node->setVisible(visible);
    }
}

void enableButton(ui::Button* button, bool enabled) {
    if (button != nullptr) {
        button->setEnabled(enabled);
    }
}

} // namespace game
