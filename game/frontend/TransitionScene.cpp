#include "game/frontend/TransitionScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/SceneManager.h"

namespace game {

namespace {

constexpr int opaque = 255;
constexpr int clear = 0;

} // namespace

TransitionScene::TransitionScene() : pictures(*getRootNode()) {}

TransitionScene::TransitionScene(kernel::NodeValue& settings)
    : ui::SceneTransition(settings), pictures(*getRootNode()) {
    if (settings.hasChild("time")) {
        duration = settings.getValue("time").asInt();
    }
}

TransitionScene::~TransitionScene() = default;

// The target is entered before either picture is taken, and the full-screen buttons are put on it first,
// so its picture shows what the screen will show once it is current.
void TransitionScene::onEnter() {
    ui::SceneTransition::onEnter();
    enterTarget();
    pictures.fadeOverlay(clear, opaque, duration, this, onBlack);
    pictures.snapshotSource(getSourceScene());
    ui::FullScreenHandler::setActive(true, false, getTargetScene());
    pictures.snapshotTarget(getTargetScene());
}

void TransitionScene::onBlack(void* argument, ui::GameNode*) {
    auto* self = static_cast<TransitionScene*>(argument);
    self->pictures.showTarget(*self->getRootNode());
    self->pictures.fadeOverlay(opaque, clear, self->duration, self, onCleared);
}

void TransitionScene::onCleared(void* argument, ui::GameNode*) {
    static_cast<TransitionScene*>(argument)->finish();
}

void TransitionScene::onLeave() {
    ui::SceneTransition::onLeave();
    setScenes(nullptr, nullptr);
    pictures.release();
}

// Null: the full-screen buttons go to the pending scene, which finishing has just made the target.
void TransitionScene::finish() {
    ui::SceneTransition::finish();
    ui::FullScreenHandler::setActive(true, true, nullptr);
}

void ChangeSceneWithTransition(const std::string& name) {
    ui::SceneManager* manager = ui::SceneManager::instance();
    if (manager == nullptr) {
        return;
    }
    kernel::SmartPtr<TransitionScene> transition(new TransitionScene());
    transition->setDuration(TransitionScene::gameDuration);
    manager->setTransition(transition.get());
    manager->changeScene(name);
}

} // namespace game
