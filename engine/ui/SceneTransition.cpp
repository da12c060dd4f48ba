#include "engine/ui/SceneTransition.h"

#include "engine/ui/SceneManager.h"

#include <utility>

namespace ui {

SceneTransition::SceneTransition() = default;

SceneTransition::SceneTransition(kernel::NodeValue& settings) : Scene(settings) {}

void SceneTransition::onEnter() {
    if (source) {
        source->listenerList().setActive(false);
    }
    Scene::onEnter();
}

void SceneTransition::setScenes(Scene* from, Scene* to) {
    source = from;
    target = to;
    targetEntered = false;
}

void SceneTransition::enterTarget() {
    if (!target) {
        return;
    }
    target->onEnter();
    targetEntered = true;
    target->listenerList().setActive(false);
}

void SceneTransition::leaveEnteredTarget() {
    if (!target || !std::exchange(targetEntered, false)) {
        return;
    }
    target->onLeave();
    target->setState(State::NotCurrent);
}

void SceneTransition::finish() {
    SceneManager* manager = SceneManager::instance();
    if (!target || manager == nullptr) {
        return;
    }
    manager->setNextScene(target.get());
    // Entered early, the target has heard the window all through the transition while its widgets took
    // nothing: a click made on the fading picture must not press the button under it once they take input
    // again (a mode started that way answers a close with its quit question).
    target->getInputDispatcher()->clearEvents();
    if (reactivateTarget) {
        target->listenerList().setActive(true);
    }
}

} // namespace ui
