#pragma once

#include "engine/ui/SceneTreeComponent.h"

#include <cstdint>

namespace ui {

// Ends the deferred removal of a frame: every dead node of the scene's tree is unlinked, revived and
// released, children before their parent. A node still held elsewhere (a closed dialog kept by its
// scene) can therefore be shown again later.
class SceneCleaner : public SceneTreeComponent {
public:
    using SceneTreeComponent::SceneTreeComponent;

    void onFrame(std::uint32_t ms) override;

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace ui
