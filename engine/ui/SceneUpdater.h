#pragma once

#include "engine/ui/SceneTreeComponent.h"

#include <cstdint>

namespace ui {

// Updates a scene's tree once per frame: the root always, then every subtree that is neither suspended
// nor dead, each node before its children.
class SceneUpdater : public SceneTreeComponent {
public:
    using SceneTreeComponent::SceneTreeComponent;

    void onFrame(std::uint32_t ms) override;

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace ui
