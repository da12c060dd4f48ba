#include "game/play/PlaySceneVIB.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneVIB", PlaySceneVIB::createInstance);

} // namespace

PlaySceneVIB::PlaySceneVIB(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneVIB::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneVIB(settings.asNode()) : nullptr;
}

void PlaySceneVIB::onEnter() {
    gameMode = gameModeVib;
    hintEnabled = true;
    PlayScene::onEnter();
}

} // namespace game
