#include "game/frontend/DialogProfileCreate.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/InputLabel.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/DialogStrip.h"
#include "host/System.h"
#include "host/Time.h"

namespace game {

namespace {

const kernel::ClassRegistrar registerDialogProfileCreate("DialogProfileCreate",
                                                         DialogProfileCreate::createInstance);

platform::PlayerManager* players() {
    return platform::PlayerManager::instance();
}

bool hasPlayers() {
    return players() != nullptr && players()->hasPlayers();
}

void report(const char* what) {
    host::ReportProblem((std::string("DialogProfileCreate: ") + what + "\n").c_str());
}

// Waits for the group while the loader works on it. Resources that fail to load count as loaded, so the
// wait ends; a loader that never finishes (or never started) is given up on after the limit, and the pages
// it has not loaded show blank.
void loadAndWait(const char* group) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr || !resources->loadGroup(group)) {
        return;
    }
    constexpr std::uint32_t polls = DialogProfileCreate::stripWaitLimitMs / DialogProfileCreate::stripPollMs;
    for (std::uint32_t poll = 0; poll < polls && !resources->isLoadingDone(); ++poll) {
        host::Sleep(DialogProfileCreate::stripPollMs);
    }
}

} // namespace

DialogProfileCreate::DialogProfileCreate(kernel::NodeValue& settings) : DialogPibble(settings) {
    findComponents();
    bindHandlers();
    enableButton(buttonOk.get(), false);
    if (hasPlayers()) {
        enableButton(buttonCancel.get(), true);
    } else {
        arrangeForFirstPlayer();
    }
}

DialogProfileCreate::~DialogProfileCreate() = default;

kernel::Object* DialogProfileCreate::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogProfileCreate(settings.asNode()) : nullptr;
}

void DialogProfileCreate::findComponents() {
    inputName = findComponentAs<ui::InputLabel>(ids::inputLabelName);
    buttonOk = findComponentAs<ui::Button>(ids::buttonOk);
    buttonCancel = findComponentAs<ui::Button>(ids::buttonCancel);
}

// The cancel button closes the dialog through its name, so it is handed the dialog as a node.
void DialogProfileCreate::bindHandlers() {
    bindCallback(ids::buttonOk, this, onOk, listenerList());
    bindCallback(ids::inputLabelName, this, onTextChanged, listenerList());
    if (inputName) {
        inputName->bindKeyAction(ui::InputLabel::EnterAction, this, onOk);
        inputName->bindKeyAction(ui::InputLabel::TabAction, this, onFocusReleased);
        inputName->bindKeyAction(ui::InputLabel::EscapeAction, this, onFocusReleased);
    }
    if (hasPlayers()) {
        bindCallback(ids::buttonCancel, static_cast<ui::GameNode*>(this), closeSelf, listenerList());
    }
}

void DialogProfileCreate::arrangeForFirstPlayer() {
    if (buttonCancel) {
        buttonCancel->kill();
        buttonCancel.reset();
    }
    if (buttonOk) {
        buttonOk->setX(getWidth() / 2);
        buttonOk->setAnchor(ui::Sprite::Top);
    }
}

void DialogProfileCreate::show() {
    DialogPibble::show();
    focusName();
}

void DialogProfileCreate::focusName() {
    if (inputName) {
        inputName->setFocused(true);
    }
}

// The field takes the focus first: whatever the press lands on, the keyboard stays with the name.
bool DialogProfileCreate::onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    focusName();
    return DialogPibble::onLeftButtonDown(x, y, keyFlags, doubleClick);
}

bool DialogProfileCreate::onLeftButtonUp(int x, int y, std::uint32_t keyFlags) {
    focusName();
    return DialogPibble::onLeftButtonUp(x, y, keyFlags);
}

void DialogProfileCreate::onOk(void* receiver, ui::GameNode*) {
    static_cast<DialogProfileCreate*>(receiver)->confirm();
}

void DialogProfileCreate::onTextChanged(void* receiver, ui::GameNode*) {
    static_cast<DialogProfileCreate*>(receiver)->textChanged();
}

void DialogProfileCreate::onFocusReleased(void* receiver, ui::GameNode*) {
    static_cast<DialogProfileCreate*>(receiver)->focusName();
}

bool DialogProfileCreate::isReservedName(const std::string& name) {
    return name == "." || name == "..";
}

// A name cannot start with a lone blank: it is taken back at once, and the change that makes reports
// itself through this same handler.
void DialogProfileCreate::textChanged() {
    if (!inputName) {
        return;
    }
    inputName->setDirty(true);
    if (inputName->getText() == u" ") {
        inputName->setText(kernel::WideString(), true);
        return;
    }
    enableButton(buttonOk.get(), !inputName->getText().empty());
    playSound(ids::soundKey, ids::groupSounds);
}

// Closing every dialog of the scene lets the cleaner free this one after the frame; it is held until the
// steps after that are done.
void DialogProfileCreate::confirm() {
    const kernel::SmartPtr<DialogProfileCreate> keep(this);
    if (!inputName || inputName->getText().empty() || players() == nullptr) {
        focusName();
        return;
    }
    const std::string name = narrow(inputName->getText());
    if (isReservedName(name)) {
        showMessage(ids::textProfileNameInvalid, "", nullptr, nullptr, currentScene());
        focusName();
        return;
    }
    createOrSelect(name);
    closeAllAndGreet();
    if (players()->getPlayerCount() > 1) {
        showStripForNewPlayer();
    }
    focusName();
}

// An existing name (compared as the file names they make) just becomes current.
void DialogProfileCreate::createOrSelect(const std::string& name) {
    if (!players()->nameExists(name)) {
        players()->addPlayer(new PibblePlayer(name));
    }
    if (!players()->selectPlayer(name)) {
        report("the current profile could not be written");
    }
    if (!players()->saveAll()) {
        report("the players could not be written");
    }
}

void DialogProfileCreate::closeAllAndGreet() {
    if (ui::Scene* scene = currentScene()) {
        scene->removeAllDialogs();
    }
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->updateWelcomeText();
    }
    closeSelf(static_cast<ui::GameNode*>(this), nullptr);
}

void DialogProfileCreate::showStripForNewPlayer() {
    loadAndWait(DialogStrip::openingSection);
    openDialog(ids::dialogStrip, currentScene(), true);
}

} // namespace game
