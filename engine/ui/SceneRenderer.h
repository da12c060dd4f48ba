#pragma once

#include "engine/ui/SceneTreeComponent.h"

#include <cstdint>

namespace graphics {
class ImagePainter;
}

namespace ui {

class Scene;

// Paints the current scene into the back buffer once per frame: its background, then its tree. Invisible
// and dead subtrees are left out; suspended nodes are painted.
class SceneRenderer : public SceneTreeComponent {
public:
    using SceneTreeComponent::SceneTreeComponent;

    // Nothing without an application to paint on.
    void onFrame(std::uint32_t ms) override;

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

// The scene's background, then the node's subtree as the renderer paints it; the game draws scenes into
// pictures of its own with it.
void paintSubtree(Scene& scene, graphics::ImagePainter& painter, GameNode& node);

} // namespace ui
