#include "game/play/PlaySceneAction.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneAction", PlaySceneAction::createInstance);

} // namespace

PlaySceneAction::PlaySceneAction(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneAction::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneAction(settings.asNode()) : nullptr;
}

void PlaySceneAction::onEnter() {
    gameMode = gameModeAction;
    hintEnabled = true;
    PlayScene::onEnter();
}

} // namespace game
