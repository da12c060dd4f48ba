#include "game/foundation/PibbleScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/Application.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/ToolTip.h"
#include "game/foundation/GameUtilities.h"
#include "host/Window.h"

namespace game {

namespace {

const kernel::ClassRegistrar registerPibbleScene("PibbleScene", PibbleScene::createInstance);

PibbleScene::PauseOnFocusLossHook pauseOnFocusLoss = nullptr;

constexpr int focusFadeMs = 100;

void fadeMusicTowards(float target) {
    if (ui::SoundSystem* sound = ui::SoundSystem::instance()) {
        sound->setMusicFade(sound->musicFadeLevel(), target, focusFadeMs);
    }
}

} // namespace

void PibbleScene::setPauseOnFocusLossHook(PauseOnFocusLossHook hook) {
    pauseOnFocusLoss = hook;
}

PibbleScene::PibbleScene(kernel::NodeValue& settings) : ui::Scene(settings) {}

// A scene freed while it is entered must not stay behind as a listener of the application.
PibbleScene::~PibbleScene() {
    listenToApplication(false);
}

PibbleScene* PibbleScene::current() {
    ui::Scene* scene = currentScene();
    return scene != nullptr && scene->isKindOf(classInfo) ? static_cast<PibbleScene*>(scene) : nullptr;
}

kernel::Object* PibbleScene::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PibbleScene(settings.asNode()) : nullptr;
}

void PibbleScene::onEnter() {
    ui::Scene::onEnter();
    listenToApplication(true);
    ui::FullScreenHandler::setActive(true, true, nullptr);
}

void PibbleScene::onLeave() {
    listenToApplication(false);
    ui::Scene::onLeave();
}

void PibbleScene::listenToApplication(bool listen) {
    platform::Application* application = platform::Application::instance();
    platform::EventDispatcher* dispatcher =
        application != nullptr ? application->getEventDispatcher() : nullptr;
    if (dispatcher == nullptr) {
        return;
    }
    if (listen) {
        dispatcher->addListener(this);
    } else {
        dispatcher->removeListener(this);
    }
}

void PibbleScene::createDefaultToolTip() {
    installDefaultToolTip();
    ui::Scene::load();
}

// A declaration that is missing or builds no tool-tip installs nothing, and the next load tries again.
void PibbleScene::installDefaultToolTip() {
    ui::SceneManager* manager = ui::SceneManager::instance();
    ui::DialogManager* dialogs = ui::DialogManager::instance();
    if (manager == nullptr || dialogs == nullptr || manager->toolTip() != nullptr) {
        return;
    }
    const kernel::SmartPtr<kernel::Object> made = dialogs->createObject(ids::defaultToolTip);
    if (made && made->isKindOf(ui::ToolTip::classInfo)) {
        manager->setToolTip(static_cast<ui::ToolTip*>(made.get()));
    }
}

void PibbleScene::onAppEvent(std::uint32_t message, std::uint32_t, std::uint32_t) {
    if (message == host::WM_KILLFOCUS) {
        onFocusLost();
    } else if (message == host::WM_SETFOCUS) {
        onFocusGained();
    }
}

// A dialog already open (the menu, a question) keeps the game still, so no pause is put over it.
void PibbleScene::onFocusLost() {
    if (pauseOnFocusLoss != nullptr && !hasOpenDialog()) {
        pauseOnFocusLoss(*this);
    }
    fadeMusicTowards(0.0f);
}

// While the pause is open the music stays faded: the pause and the play scene bring it back.
void PibbleScene::onFocusGained() {
    if (!isDialogOpen(pauseDialogName)) {
        fadeMusicTowards(1.0f);
    }
}

} // namespace game
