#include "engine/ui/SceneRenderer.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/RecordingPainter.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/FrameCheck.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/ToolTip.h"

namespace ui {

namespace {

graphics::ImagePainter* backPainter() {
    platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getBackPainter() : nullptr;
}

// Frames in a row that differed from the one before everywhere, after which frames are drawn whole at once.
constexpr int framesBeforeDrawingWhole = 2;

// A scene that draws nothing frame after frame lets the frame timer rest.
void noteFrameDrawn(bool drewSomething) {
    if (platform::FrameTimer* timer = platform::FrameTimer::instance()) {
        timer->noteFrameDrawn(drewSomething);
    }
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
    drawFrame(*painter);
    // From the very state the frame was drawn from: what runs after it (the presentation, typed codes) may
    // change the scene before the check could draw it.
    FrameCheck::frameDrawn(*root);
}

void SceneRenderer::drawFrame(graphics::ImagePainter& painter) {
    FrameRecorder& frame = recorderFor(painter);
    graphics::ImageBase& back = *painter.getImage();
    const kernel::Rect whole(0, 0, back.getWidth(), back.getHeight());
    kernel::Rect area = whole;
    const bool writtenDownFirst =
        back.getContentVersion() == versionDrawn && wholeFrames < framesBeforeDrawingWhole;
    if (writtenDownFirst) {
        frame.begin();
        paintFrame(frame);
        area = frame.changedArea(lastDrawn);
        if (area.isEmpty()) {
            wholeFrames = 0;
            noteFrameDrawn(false);
            return;
        }
    }
    noteFrameDrawn(true);
    const kernel::Rect drawn = writtenDownFirst ? frame.withWholePairs(area) : area;
    back.limitWrites(&drawn);
    frame.beginForwarding(drawn);
    paintFrame(frame);
    back.limitWrites(nullptr);
    // While frames keep differing everywhere (play in full swing), writing the next one down first would
    // only tell again that it must be drawn whole: it is drawn at once, one walk of the tree instead of two.
    // A single such frame (a blink starting) does not count, so a scene at rest keeps drawing nothing.
    const kernel::Rect differing = writtenDownFirst ? area : frame.changedArea(lastDrawn);
    wholeFrames = differing == whole ? wholeFrames + 1 : 0;
    frame.swapRecording(lastDrawn);
    versionDrawn = back.getContentVersion();
}

void SceneRenderer::paintFrame(graphics::ImagePainter& painter) {
    paintScreen(*root, painter);
}

// The back painter is made again with the display (a full-screen switch, a lost surface).
FrameRecorder& SceneRenderer::recorderFor(graphics::ImagePainter& painter) {
    if (!recorder || &recorder->getTarget() != &painter) {
        recorder = new FrameRecorder(painter);
        lastDrawn = {};
    }
    return *recorder;
}

// The manager's tool-tip is painted over the scene as part of the frame, so a tip at rest draws nothing.
void paintScreen(GameNode& root, graphics::ImagePainter& painter) {
    if (Scene* scene = currentScene()) {
        paintSubtree(*scene, painter, root);
    } else {
        root.paintTree(painter);
    }
    SceneManager* manager = SceneManager::instance();
    if (ToolTip* tip = manager != nullptr ? manager->toolTip() : nullptr) {
        tip->paintShown(painter);
    }
}

void paintSubtree(Scene& scene, graphics::ImagePainter& painter, GameNode& node) {
    scene.paint(painter);
    node.paintTree(painter);
}

} // namespace ui
