#include "engine/ui/SceneManager.h"

#include "engine/platform/Application.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneTransition.h"
#include "engine/ui/ToolTip.h"
#include "host/System.h"

#include <iterator>
#include <utility>

namespace ui {

namespace {
SceneManager* theSceneManager = nullptr;
}

SceneManager* SceneManager::create() {
    if (theSceneManager == nullptr) {
        theSceneManager = new SceneManager();
        theSceneManager->addRef();
        installCloseHandler(true);
    }
    return theSceneManager;
}

SceneManager* SceneManager::instance() {
    return theSceneManager;
}

void SceneManager::destroy() {
    if (SceneManager* manager = std::exchange(theSceneManager, nullptr)) {
        installCloseHandler(false);
        manager->release();
    }
}

SceneManager::~SceneManager() {
    previous.reset();
    current.reset();
    next.reset();
    transition.reset();
    setToolTip(nullptr);
    registry.clear();
}

void SceneManager::installCloseHandler(bool install) {
    platform::Application* application = platform::Application::instance();
    if (application == nullptr) {
        return;
    }
    if (install) {
        application->setCloseRequestHandler([] { return forwardToCurrentScene(&Scene::onCloseRequest); });
        application->setEndRequestHandler([] { return forwardToCurrentScene(&Scene::onEndRequest); });
    } else {
        application->setCloseRequestHandler(nullptr);
        application->setEndRequestHandler(nullptr);
    }
}

// Without a current scene the window closes as any window does.
bool SceneManager::forwardToCurrentScene(void (Scene::*request)()) {
    const kernel::SmartPtr<Scene> scene = theSceneManager != nullptr ? theSceneManager->current : nullptr;
    if (!scene) {
        return false;
    }
    (scene.get()->*request)();
    return true;
}

void SceneManager::onStart() {
    if (theSceneManager == this) {
        installCloseHandler(true);
    }
}

void SceneManager::registerScene(const std::string& name, Scene* scene) {
    if (scene != nullptr) {
        registry[name] = scene;
    }
}

// Looks without inserting: the registry holds a scene in every entry.
Scene* SceneManager::findScene(const std::string& name) const {
    const auto found = registry.find(name);
    return found != registry.end() ? found->second.get() : nullptr;
}

void SceneManager::changeScene(const std::string& name) {
    Scene* scene = findScene(name);
    if (scene == nullptr) {
        host::OutputDebugString(("SceneManager: no scene registered as " + name + "\n").c_str());
        return;
    }
    setNextScene(scene);
}

void SceneManager::setNextScene(Scene* scene) {
    next = scene;
}

void SceneManager::setTransition(SceneTransition* scene) {
    transition = scene;
}

void SceneManager::setToolTip(ToolTip* tip) {
    if (tip == installedToolTip.get()) {
        return;
    }
    Scene* searched = next ? next.get() : current.get();
    if (tip != nullptr && searched != nullptr) {
        tip->setRoot(searched->getRootNode());
    }
    listToolTipEverywhere(tip);
    // The tree and the node held by a tool-tip that no longer runs would keep dialogs that hold it alive.
    if (installedToolTip) {
        installedToolTip->setRoot(nullptr);
    }
    installedToolTip = tip;
}

void SceneManager::listToolTipEverywhere(ToolTip* tip) {
    for (const auto& [name, scene] : registry) {
        scene->listenToToolTip(tip);
        for (const auto& [key, dialog] : scene->getDialogs()) {
            dialog->listenToToolTip(tip);
        }
    }
}

void SceneManager::onFrame(std::uint32_t ms) {
    dropDeadScenes();
    if (!current) {
        if (!next) {
            return;
        }
        switchScenes();
    } else if (current->getState() == Scene::State::Current) {
        if (next) {
            switchScenes();
            return;
        }
        leavePreviousScene();
    }
    // A current scene in another state keeps running and a pending switch waits for it.
    runCurrentScene(ms);
}

void SceneManager::dropDeadScenes() {
    for (auto entry = registry.begin(); entry != registry.end();) {
        const Scene& scene = *entry->second;
        if (scene.isDead() && scene.getState() != Scene::State::Current) {
            entry = registry.erase(entry);
        } else {
            ++entry;
        }
    }
}

void SceneManager::switchScenes() {
    kernel::SmartPtr<SceneTransition> handingOver = transition;
    const bool transitionWasCurrent = handingOver && handingOver.get() == current.get();
    kernel::SmartPtr<Scene> entering;
    if (!handingOver || transitionWasCurrent) {
        entering = next;
        transition.reset();
    } else {
        handingOver->setScenes(current.get(), next.get());
        entering = handingOver;
    }
    previous = std::move(current);
    current = entering;
    next.reset();
    // A transition has entered its target already, through enterTarget.
    if (!transitionWasCurrent) {
        entering->onEnter();
    }
    entering->setState(Scene::State::Current);
}

// A scene changed to itself is current again, not left.
void SceneManager::leavePreviousScene() {
    if (!previous || previous == current || previous->getState() != Scene::State::Current) {
        return;
    }
    const kernel::SmartPtr<Scene> leaving = previous;
    leaving->onLeave();
    leaving->setState(Scene::State::NotCurrent);
}

void SceneManager::leaveEnteredScenes() {
    // Held: a scene's leave may run game code that changes the manager's pointers.
    const kernel::SmartPtr<Scene> leaving = current;
    if (!leaving) {
        return;
    }
    if (leaving->isKindOf(SceneTransition::classInfo)) {
        static_cast<SceneTransition&>(*leaving).leaveEnteredTarget();
    }
    if (leaving->getState() == Scene::State::Current) {
        leaving->onLeave();
        leaving->setState(Scene::State::NotCurrent);
    }
    leavePreviousScene();
}

void SceneManager::runCurrentScene(std::uint32_t ms) {
    // Held for the frame: the scene's own code may drop every other reference to it.
    const kernel::SmartPtr<Scene> scene = current;
    scene->getInputDispatcher()->onFrame(ms);
    scene->onUpdate(ms);
    scene->getSceneUpdater()->onFrame(ms);
    // The tip settles before the frame is drawn, and the renderer paints it over the finished scene; held
    // through the drawing, as the tip's own painting may run game code.
    const kernel::SmartPtr<ToolTip> tip = installedToolTip;
    if (tip) {
        tip->update(ms);
    }
    scene->getSceneRenderer()->onFrame(ms);
    scene->getSceneCleaner()->onFrame(ms);
}

void RegisterScene(const std::string& name, Scene* scene) {
    SceneManager* manager = SceneManager::instance();
    if (manager == nullptr || scene == nullptr) {
        return;
    }
    scene->setName(name);
    manager->registerScene(name, scene);
}

} // namespace ui
