#include "game/frontend/LoadingTransitionScene.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/SceneManager.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int opaque = 255;
constexpr int clear = 0;
constexpr int maxDots = 3;
constexpr int dotInterval = 400;
constexpr int labelFadeIn = 600;
constexpr int labelRightMargin = 45;
constexpr int labelBaseline = 460;
// A plain RGB value with a zero alpha byte: a label takes only the colour's RGB for its glyphs, whose
// coverage gives the text its alpha, and the zero byte keeps the space between the glyphs clear. An
// opaque colour would fill the label's whole rectangle.
constexpr std::uint32_t loadingTextColour = 0xFF8400u;

graphics::BitmapFont* loadingFont() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(ids::fontLoadingText, ids::groupPreloading) : nullptr;
    return found != nullptr && found->isKindOf(graphics::BitmapFont::classInfo)
               ? static_cast<graphics::BitmapFont*>(found)
               : nullptr;
}

} // namespace

LoadingTransitionScene::LoadingTransitionScene() : pictures(*getRootNode()) {}

LoadingTransitionScene::LoadingTransitionScene(kernel::NodeValue& settings)
    : ui::SceneTransition(settings), pictures(*getRootNode()) {
    if (settings.hasChild("time")) {
        duration = settings.getValue("time").asInt();
    }
}

LoadingTransitionScene::~LoadingTransitionScene() = default;

// The target is entered only behind the black, once the resources it needs have been loaded.
void LoadingTransitionScene::onEnter() {
    ui::SceneTransition::onEnter();
    pictures.fadeOverlay(clear, opaque, duration, this, onBlack);
    pictures.snapshotSource(getSourceScene());
}

void LoadingTransitionScene::onLeave() {
    ui::SceneTransition::onLeave();
    setScenes(nullptr, nullptr);
    pictures.release();
}

void LoadingTransitionScene::onBlack(void* argument, ui::GameNode*) {
    auto* self = static_cast<LoadingTransitionScene*>(argument);
    self->waitingForLoad = true;
    self->showLoadingLabel();
}

// The first dot step puts its blocking delay in front of the fade-in, so the text appears a moment after
// the screen has gone black; when the loader is already done, it is still fading in as the black clears.
void LoadingTransitionScene::showLoadingLabel() {
    loadingLabel = new ui::Label(loadingFont(), 0, 0, 0, 0, ui::Label::WrapNone);
    stepDots();
    loadingLabel->setColor(loadingTextColour);
    loadingLabel->setAnchor(ui::Sprite::BottomLeft);
    placeLoadingLabel();
    loadingLabel->addModifier(new ui::FadeModifier(clear, opaque, labelFadeIn));
    loadingLabel->setAlpha(clear);
    pictures.getOverlaySprite()->insertAfter(loadingLabel.get());
}

// Placed by the bare text, so the dots grow to the right without moving it.
void LoadingTransitionScene::placeLoadingLabel() {
    const graphics::BitmapFont* font = loadingLabel->getFont();
    const int width = font != nullptr ? font->textWidth(loadingLabel->getText()) : 0;
    loadingLabel->setPosition(TransitionPictures::gameWidth() - width - labelRightMargin, labelBaseline);
}

void LoadingTransitionScene::stepDots() {
    if (dotCount >= maxDots) {
        dotCount = 0;
        loadingLabel->setText(kernel::PropertyStore::getText(ids::textLoadTransition));
    } else {
        ++dotCount;
        loadingLabel->setText(loadingLabel->getText() + u".");
    }
    loadingLabel->addModifier(new ui::DelayModifier(dotInterval));
    loadingLabel->addModifier(new ui::CallbackModifier(this, onDotStep));
}

void LoadingTransitionScene::onDotStep(void* argument, ui::GameNode*) {
    static_cast<LoadingTransitionScene*>(argument)->stepDots();
}

void LoadingTransitionScene::onUpdate(std::uint32_t elapsedMs) {
    ui::SceneTransition::onUpdate(elapsedMs);
    if (waitingForLoad && loadingDone()) {
        waitingForLoad = false;
        enterLoadedTarget();
    }
}

bool LoadingTransitionScene::loadingDone() const {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    return resources == nullptr || resources->isLoadingDone();
}

void LoadingTransitionScene::enterLoadedTarget() {
    enterTarget();
    ui::FullScreenHandler::setActive(true, false, getTargetScene());
    pictures.snapshotTarget(getTargetScene());
    pictures.showTarget(*getRootNode());
    pictures.fadeOverlay(opaque, clear, duration, this, onCleared);
}

void LoadingTransitionScene::onCleared(void* argument, ui::GameNode*) {
    static_cast<LoadingTransitionScene*>(argument)->finish();
}

void LoadingTransitionScene::finish() {
    ui::SceneTransition::finish();
    ui::FullScreenHandler::setActive(true, true, nullptr);
}

void StartPlayScene(const std::string& name) {
    ui::SceneManager* manager = ui::SceneManager::instance();
    if (manager == nullptr) {
        return;
    }
    kernel::SmartPtr<LoadingTransitionScene> transition(new LoadingTransitionScene());
    transition->setDuration(TransitionScene::gameDuration);
    manager->setTransition(transition.get());
    manager->changeScene(name);
}

} // namespace game
