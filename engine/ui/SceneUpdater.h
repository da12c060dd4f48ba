#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"
#include "engine/ui/GameNode.h"

#include <cstdint>

namespace ui {

// Updates a scene's tree once per frame: the root always, then every subtree that is neither suspended
// nor dead, each node before its children.
class SceneUpdater : public platform::SceneComponent {
public:
    explicit SceneUpdater(GameNode* root);

    void onFrame(std::uint32_t ms) override;

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    kernel::SmartPtr<GameNode> root;
};

} // namespace ui
