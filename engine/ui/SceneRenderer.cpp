#include "engine/ui/SceneRenderer.h"

#include "engine/graphics/ImagePainter.h"
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

void SceneRenderer::onFrame(std::uint32_t ms) {
    (void)ms;
    graphics::ImagePainter* painter = backPainter();
    if (painter == nullptr || !root) {
        return;
    }
    if (Scene* scene = currentScene()) {
        paintSubtree(*scene, *painter, *root);
    } else {
        root->paintTree(*painter);
    }
}

void paintSubtree(Scene& scene, graphics::ImagePainter& painter, GameNode& node) {
    scene.paint(painter);
    node.paintTree(painter);
}

} // namespace ui
