#pragma once

#include "game/play/PlayScene.h"

namespace game {

// The play scene of the VIB mode.
class PlaySceneVIB : public PlayScene {
public:
    explicit PlaySceneVIB(kernel::NodeValue& settings);

    void onEnter() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
