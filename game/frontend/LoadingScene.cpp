#include "game/frontend/LoadingScene.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/FrameStripImage.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogStrip.h"
#include "game/frontend/TransitionScene.h"
#include "host/System.h"

#include <string>
#include <string_view>
#include <utility>

namespace game {

namespace {

const kernel::ClassRegistrar registerLoadingScene("LoadingScene", LoadingScene::createInstance);

// Stream mode of both tunes: looping, streamed from the file.
constexpr unsigned int musicStreamMode = 0x132;
constexpr int logoFrameMs = 50;
constexpr std::uint8_t jingleVolume = 100;
constexpr std::uint8_t centrePan = 128;

bool hasProfile() {
    const platform::PlayerManager* players = platform::PlayerManager::instance();
    return players != nullptr && players->hasPlayers();
}

// With a player the selection scene follows this one and greets them at once: its fonts read their pixels
// here, while the scene waits for the click, rather than in the first frame that shows them.
void readFontsShownWithAPlayer() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr || !hasProfile()) {
        return;
    }
    for (const char* name : ids::fontsShownWithAPlayer) {
        kernel::Object* font = resources->getResource(name, ids::groupPreloading);
        if (font != nullptr && font->isKindOf(graphics::BitmapFont::classInfo)) {
            static_cast<graphics::BitmapFont*>(font)->readPendingCharset();
        }
    }
}

bool isFullScreen() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr && application->isFullScreen();
}

void setFps(int fps) {
    if (platform::FrameTimer* timer = platform::FrameTimer::instance()) {
        timer->setFps(fps);
    }
}

void pulse(ui::Label* label) {
    if (label != nullptr) {
        label->addModifier(new ui::PulseModifier(255, 0, 600, 600, 0, 300, -1));
    }
}

void showText(ui::Label* label, const kernel::WideString& text) {
    if (label != nullptr) {
        label->setText(text);
    }
}

} // namespace

LoadingScene::LoadingScene(kernel::NodeValue& settings) : PibbleScene(settings) {}

LoadingScene::~LoadingScene() = default;

kernel::Object* LoadingScene::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new LoadingScene(settings.asNode()) : nullptr;
}

// The default tool-tip is left to the scenes that have tool-tips: this one loads as a plain scene.
void LoadingScene::init() {
    ui::Scene::load();
    addPartners();
    findComponents();
    if (logoAnimation) {
        logoAnimation->setCurrentFrame(logoRestingFrame);
    }
}

// The document is optional and dropped once its components are made.
void LoadingScene::addPartners() {
    if (!kernel::fileExists(partnersFile)) {
        return;
    }
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(partnersFile);
    document->load();
    const kernel::SmartPtr<kernel::VectorValue> partners = &document->getVector("partners");
    for (const kernel::SmartPtr<kernel::Value>& declaration : partners->children()) {
        if (declaration) {
            addPartner(*declaration);
        }
    }
}

// A partner button takes its own presses before the scene hears them; nothing is bound to it.
void LoadingScene::addPartner(kernel::Value& declaration) {
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(declaration);
    if (!made || !made->isKindOf(ui::GameNode::classInfo)) {
        return;
    }
    addComponent(static_cast<ui::GameNode*>(made.get()));
    if (made->isKindOf(ui::Button::classInfo)) {
        listenerList().add(static_cast<ui::Button*>(made.get()), true);
    }
}

void LoadingScene::findComponents() {
    logoAnimation = findNamed<ui::Sprite>(ids::spriteLogo);
    loadingBar = findNamed<ui::Sprite>(ids::spriteLoadingBar);
    infoLabel = findNamed<ui::Label>(ids::labelInfo);
    infoBlurLabel = findNamed<ui::Label>(ids::labelInfoBlur);
}

// A declaration without the component (or with one of another kind) leaves the field null, and every
// step that uses it skips it.
template <class T> kernel::SmartPtr<T> LoadingScene::findNamed(const char* name) {
    ui::GameNode* found = findComponent(name);
    if (found == nullptr || !found->isKindOf(T::classInfo)) {
        host::OutputDebugString(("LoadingScene: " + getName() + " has no component " + name + "\n").c_str());
        return nullptr;
    }
    return static_cast<T*>(found);
}

// The rate is lowered first, so the loader thread has the processor while the scene is entered.
void LoadingScene::onEnter() {
    setFps(loadingFps);
    PibbleScene::onEnter();
    requestGroups();
    // The full-screen buttons stay hidden while loading.
    ui::FullScreenHandler::setActive(false, false, nullptr);
    startLoadingMusic();
}

// The selection scene's background and the first start's comic are shown only once the player leaves this
// scene: they are left out here and asked for after the logo's pass (requestGroupsForLeaving).
void LoadingScene::requestGroups() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr) {
        return;
    }
    // A group that is not queued is loaded already (or declared nowhere, which the content check finds):
    // either way the loader has nothing of it for the scene to wait for.
    for (const char* group : ids::frontEndGroups) {
        if (std::string_view(group) != ids::groupSceneSelection) {
            (void)resources->loadGroup(group);
        }
    }
}

// What the player leaves for: the selection scene's background, and on a first start the comic's opening
// (the comic reads its later pages while it is read). Asked of the loader only once the logo's one pass is
// over, so that these full-screen pictures are not decoded while the logo's frames are still held.
void LoadingScene::requestGroupsForLeaving() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr || std::exchange(leavingGroupsRequested, true)) {
        return;
    }
    (void)resources->loadGroup(ids::groupSceneSelection);
    if (!hasProfile()) {
        (void)resources->loadGroup(DialogStrip::openingSection);
    }
    readFontsShownWithAPlayer();
}

// A click during the logo's pass comes before the loader was asked: what is left is read here. The comic
// leads on to the selection scene, whose background is read before it too.
void LoadingScene::loadGroupsForLeaving() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr) {
        return;
    }
    leavingGroupsRequested = true;
    resources->loadGroupNow(ids::groupSceneSelection);
    if (!hasProfile()) {
        resources->loadGroupNow(DialogStrip::openingSection);
    }
    readFontsShownWithAPlayer();
}

void LoadingScene::startLoadingMusic() {
    ui::SoundSystem* sound = ui::SoundSystem::instance();
    const std::string tune = propertyString(ids::musicLoading);
    if (sound != nullptr && !tune.empty()) {
        sound->startMusic(tune, musicStreamMode);
    }
}

float LoadingScene::loadingPercent() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    return resources != nullptr ? static_cast<float>(resources->loadingProgress() * 100.0) : 0.0f;
}

void LoadingScene::onUpdate(std::uint32_t elapsedMs) {
    PibbleScene::onUpdate(elapsedMs);
    if (!loadingFinished) {
        showProgress();
    }
    if (loadingFinished) {
        askFullScreenOnce();
        if (!isLogoPassing()) {
            keepOnlyRestingLogo();
            requestGroupsForLeaving();
        }
    }
}

bool LoadingScene::isLogoPassing() const {
    return logoPass && !logoPass->isFinished() && logoAnimation->getModifierList().contains(logoPass.get());
}

// The bar grows from the left: its declared width is the full bar.
void LoadingScene::showProgress() {
    if (loadingBar) {
        const int shown =
            static_cast<int>(static_cast<float>(loadingBar->getWidth()) / 100.0f * loadingPercent());
        loadingBar->setClipRect(loadingBar->getX(), loadingBar->getY(), shown, loadingBar->getHeight());
    }
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources != nullptr && resources->isLoadingDone()) {
        finishLoading();
    }
}

void LoadingScene::finishLoading() {
    setFps(finishedFps);
    playJingle();
    platform::setApplicationCursor(platform::cursorHand);
    if (loadingBar) {
        loadingBar->setClipRect(nullptr);
    }
    showFinishedTexts();
    loadAlbumOrder();
    pulseInfoLabels();
    playLogoOnce();
    loadingFinished = true;
}

// A jingle that failed to load is skipped.
void LoadingScene::playJingle() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(ids::soundJingle, ids::groupSceneLoad) : nullptr;
    if (found == nullptr || !found->isKindOf(ui::SoundSample::classInfo)) {
        return;
    }
    ui::SoundSample* jingle = static_cast<ui::SoundSample*>(found);
    jingle->setVolume(jingleVolume);
    jingle->play(jingleVolume, centrePan, false);
}

void LoadingScene::showFinishedTexts() {
    const kernel::WideString text = kernel::PropertyStore::getText(ids::textLoadFinished);
    showText(infoLabel.get(), text);
    showText(infoBlurLabel.get(), text);
}

void LoadingScene::loadAlbumOrder() {
    if (AlbumPictures* album = AlbumPictures::instance()) {
        album->loadOrder();
    }
}

void LoadingScene::pulseInfoLabels() {
    pulse(infoLabel.get());
    pulse(infoBlurLabel.get());
}

// One pass from the first frame ends on the last, the resting picture again.
void LoadingScene::playLogoOnce() {
    if (logoAnimation) {
        logoAnimation->setCurrentFrame(0);
        logoPass = new ui::ModifierFrame(logoFrameMs, 1);
        logoAnimation->addModifier(logoPass.get());
    }
}

// The logo plays once a run (the scene is entered once and finishes loading once): after its pass only the
// resting frame is drawn until the scene goes. The sprite keeps a picture of that frame alone, the same
// pixels, and the strip with the other frames goes back to the system. A picture that is not the declared
// cut strip, or a sprite stretched or stopped elsewhere, is kept as it is.
void LoadingScene::keepOnlyRestingLogo() {
    if (!logoPass || isLogoPassing()) {
        return;
    }
    logoPass.reset();
    graphics::ImageBase* shown = logoAnimation->getImage();
    const kernel::Rect* source = logoAnimation->getSourceRect();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (shown == nullptr || source == nullptr ||
        shown->getClassInfo() != &graphics::FrameStripImage::classInfo ||
        logoAnimation->getCurrentFrame() != logoRestingFrame || logoAnimation->getDisplayRect() != nullptr ||
        resources == nullptr || resources->getResource(logoImage, ids::groupSceneLoad) != shown) {
        return;
    }
    const kernel::SmartPtr<graphics::FrameStripImage> resting =
        static_cast<graphics::FrameStripImage*>(shown)->keepingFrameOf(*source);
    if (!resting) {
        return;
    }
    // The sprite takes the picture's size with it; it keeps drawing one frame.
    const int width = logoAnimation->getWidth();
    const int height = logoAnimation->getHeight();
    logoAnimation->setImage(resting.get());
    logoAnimation->setSize(width, height);
    resources->unloadResource(logoImage, ids::groupSceneLoad);
}

// Only on a first start in a window, and only once per run: answering no must not bring it back.
void LoadingScene::askFullScreenOnce() {
    if (fullScreenQuestion || hasProfile() || isFullScreen()) {
        return;
    }
    fullScreenQuestion = true;
    DialogPibble::showYesNo(fullScreenMessage, ids::textFullScreenHeader, this, onFullScreenYes, nullptr,
                            nullptr, this);
}

void LoadingScene::onFullScreenYes(void*, ui::GameNode*) {
    if (platform::Application* application = platform::Application::instance()) {
        application->changeFullScreen(true);
    }
    DialogPibble::closeDialog(fullScreenMessage);
}

// While a dialog of the scene is open the release is its own: the full-screen question must be answerable.
bool LoadingScene::onClick(int x, int y, std::uint32_t) {
    if (hasOpenDialog()) {
        return false;
    }
    if (!loadingFinished || ui::FullScreenHandler::defaultButtonsContain(x, y)) {
        return true;
    }
    platform::setApplicationCursor(platform::cursorArrow);
    loadGroupsForLeaving();
    if (hasProfile()) {
        leaveWithProfile();
    } else {
        leaveOnFirstStart();
    }
    return true;
}

void LoadingScene::leaveWithProfile() {
    ChangeSceneWithTransition(selectionScene);
}

// Plain sprites only: labels draw the preloaded fonts, and a partner's button keeps its looks.
void LoadingScene::dropPictures(ui::GameNode& node) {
    for (ui::GameNode* child = node.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (child->getClassInfo() == &ui::Sprite::classInfo) {
            auto* sprite = static_cast<ui::Sprite*>(child);
            sprite->removeAllModifiers();
            sprite->setImage(nullptr);
        }
        dropPictures(*child);
    }
}

// The jingle may still be playing: it goes with the rest of the group when the selection scene lets go of
// this scene. The full-screen buttons keep their pictures, which they hold themselves.
void LoadingScene::releaseHiddenPictures() {
    setSurfaceImage(nullptr);
    dropPictures(*getContentNode());
    // Pulsing under the comic, the information text would have the screen drawn again there every frame.
    for (ui::Label* label : {infoLabel.get(), infoBlurLabel.get()}) {
        if (label != nullptr) {
            label->removeAllModifiers();
            label->setVisible(false);
        }
    }
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        resources->unloadGroupExcept(ids::groupSceneLoad, ids::soundJingle);
    }
}

// The first start's comic strip leads on to the selection scene itself. Should its declaration make no
// dialog, the first start still goes on there rather than leaving the player on this scene.
void LoadingScene::leaveOnFirstStart() {
    if (DialogPibble::openDialog(ids::dialogStrip, this, true) == nullptr) {
        ChangeSceneWithTransition(selectionScene);
    }
    changeMusic(propertyString(ids::musicSelection));
}

} // namespace game
