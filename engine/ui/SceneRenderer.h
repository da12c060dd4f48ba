#pragma once

#include "engine/graphics/RecordingPainter.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/FrameRecorder.h"
#include "engine/ui/SceneTreeComponent.h"

#include <cstdint>

namespace ui {

class Scene;

// Paints the current scene into the back buffer once per frame: its background, then its tree. Invisible
// and dead subtrees are left out; suspended nodes are painted.
//
// A scene at rest draws much the same picture frame after frame. Each frame is therefore first only written
// down; on a back buffer nobody touched since the last frame, only the area its drawing differs in from the
// last one is drawn again, and a frame that draws the same draws nothing. A node's paint must therefore
// give the same result when run twice. While frames keep differing from the one before everywhere, the
// next is drawn whole at once, without being written down first. The area drawn again never starts or ends
// a blit's row between the two pixels of a pair (see FrameRecorder), so it gives the whole drawing's pixels.
class SceneRenderer : public SceneTreeComponent {
public:
    explicit SceneRenderer(GameNode* root);
    ~SceneRenderer() override;

    // Nothing without an application to paint on.
    void onFrame(std::uint32_t ms) override;

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void drawFrame(graphics::ImagePainter& painter);
    void paintFrame(graphics::ImagePainter& painter);
    FrameRecorder& recorderFor(graphics::ImagePainter& painter);

    kernel::SmartPtr<FrameRecorder> recorder;
    // What the last frame drew, and the back buffer's content version right after.
    graphics::RecordingPainter::Recording lastDrawn;
    std::uint64_t versionDrawn = 0;
    // How many frames in a row differed from the one before everywhere.
    int wholeFrames = 0;
};

// A frame as a scene's renderer paints it: the current scene's background, the root's tree and the manager's
// tool-tip over them.
void paintScreen(GameNode& root, graphics::ImagePainter& painter);

// The scene's background, then the node's subtree as the renderer paints it; the game draws scenes into
// pictures of its own with it.
void paintSubtree(Scene& scene, graphics::ImagePainter& painter, GameNode& node);

} // namespace ui
