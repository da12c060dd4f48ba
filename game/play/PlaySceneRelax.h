#pragma once

#include "game/play/PlayScene.h"

namespace game {

// The play scene of the RELAX mode.
class PlaySceneRelax : public PlayScene {
public:
    explicit PlaySceneRelax(kernel::NodeValue& settings);

    void onEnter() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
