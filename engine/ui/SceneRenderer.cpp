#include "engine/ui/SceneRenderer.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/RecordingPainter.h"
#include "engine/platform/Application.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"

namespace ui {

namespace {

graphics::ImagePainter* backPainter() {
    platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getBackPainter() : nullptr;
}

Scene* currentScene() {
    SceneManager* manager = SceneManager::instance();
    return manager != nullptr ? manager->currentScene() : nullptr;
}

} // namespace

SceneRenderer::SceneRenderer(GameNode* root) : SceneTreeComponent(root) {}

SceneRenderer::~SceneRenderer() = default;

void SceneRenderer::onFrame(std::uint32_t ms) {
    (void)ms;
    graphics::ImagePainter* painter = backPainter();
    if (painter == nullptr || !root) {
        return;
    }
    graphics::RecordingPainter& frame = recorderFor(*painter);
    graphics::ImageBase& back = *painter->getImage();
    frame.begin();
    paintFrame(frame);
    kernel::Rect area(0, 0, back.getWidth(), back.getHeight());
    if (back.getContentVersion() == versionDrawn) {
        area = frame.changedArea(lastDrawn);
        if (area.isEmpty()) {
            return;
        }
    }
    back.limitWrites(&area);
    frame.beginForwarding(area);
    paintFrame(frame);
    back.limitWrites(nullptr);
    frame.swapRecording(lastDrawn);
    versionDrawn = back.getContentVersion();
}

void SceneRenderer::paintFrame(graphics::ImagePainter& painter) {
    if (Scene* scene = currentScene()) {
        paintSubtree(*scene, painter, *root);
    } else {
        root->paintTree(painter);
    }
}

// The back painter is made again with the display (a full-screen switch, a lost surface).
graphics::RecordingPainter& SceneRenderer::recorderFor(graphics::ImagePainter& painter) {
    if (!recorder || &recorder->getTarget() != &painter) {
        recorder = new graphics::RecordingPainter(painter);
        lastDrawn = {};
    }
    return *recorder;
}

void paintSubtree(Scene& scene, graphics::ImagePainter& painter, GameNode& node) {
    scene.paint(painter);
    node.paintTree(painter);
}

} // namespace ui
