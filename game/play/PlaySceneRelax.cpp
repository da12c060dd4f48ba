#include "game/play/PlaySceneRelax.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneRelax", PlaySceneRelax::createInstance);

} // namespace

PlaySceneRelax::PlaySceneRelax(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneRelax::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneRelax(settings.asNode()) : nullptr;
}

void PlaySceneRelax::onEnter() {
    gameMode = gameModeRelax;
    hintEnabled = true;
    PlayScene::onEnter();
}

} // namespace game
