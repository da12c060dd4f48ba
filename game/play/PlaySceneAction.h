#pragma once

#include "game/play/PlayScene.h"

namespace game {

// The play scene of the ACTION mode.
class PlaySceneAction : public PlayScene {
public:
    explicit PlaySceneAction(kernel::NodeValue& settings);

    void onEnter() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
