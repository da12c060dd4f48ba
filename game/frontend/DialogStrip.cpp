#include "game/frontend/DialogStrip.h"

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameUtilities.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/LoadingScene.h"
#include "game/frontend/TransitionScene.h"

#include <algorithm>

namespace game {

namespace {

const kernel::ClassRegistrar registerDialogStrip("DialogStrip", DialogStrip::createInstance);

constexpr int opaque = 255;
constexpr int transparent = 0;
constexpr std::uint32_t opaqueBlack = 0xFF000000u;

// Each fade holds back the step after it until the black has reached its end.
void addFade(ui::Sprite& sprite, int from, int to) {
    ui::Modifier* fade = sprite.addModifier(new ui::FadeModifier(from, to, DialogStrip::fadeMs));
    fade->addFlags(ui::Modifier::blocking);
}

} // namespace

DialogStrip::DialogStrip(kernel::NodeValue& settings) : ui::Dialog(settings) {
    for (int n = 1; n <= pageCount; ++n) {
        pages.push_back(ids::stripPagePrefix + std::to_string(n));
    }
    findComponents();
    bindNextButton();
    showPage();
    // The comic appears as a whole out of the first full black, so it is drawn through its buffer with one
    // alpha for everything on it.
    setAlpha(transparent);
    makeSurfaceWhenBare();
    setUseBuffer(true);
    blackOverlay = makeScreenSprite(opaqueBlack);
    blackOverlay->setAlpha(transparent);
}

// The black may still carry a step that calls back into this dialog: it goes first.
DialogStrip::~DialogStrip() {
    if (blackOverlay) {
        blackOverlay->removeAllModifiers();
        blackOverlay->kill();
        blackOverlay.reset();
    }
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        resources->unloadGroup(ids::groupStrip);
    }
    pages.clear();
}

kernel::Object* DialogStrip::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogStrip(settings.asNode()) : nullptr;
}

void DialogStrip::findComponents() {
    pageSprite = findComponentAs<ui::Sprite>(ids::spriteStrip);
    nextButton = findComponentAs<ui::Button>(ids::buttonNext);
    nextShine = findComponentAs<ui::Sprite>(ids::buttonNextShine);
}

// The button hears a press before the dialog's own listener: a press on it turns one page on its
// release, and the dialog never sees that press while the button can still take it.
void DialogStrip::bindNextButton() {
    bindCallback(ids::buttonNext, this, onNext, listenerList());
    if (nextButton) {
        nextButton->joinGroup(listenerList(), nextButton.get(), true);
        nextButton->setEnabled(false);
    }
}

// The buffer is built over the frame or the background; a declaration with neither gets a black one of the
// comic's size, so that the pages are drawn at all.
void DialogStrip::makeSurfaceWhenBare() {
    if (getPainter() != nullptr || getSurfaceImage() != nullptr || getWidth() <= 0 || getHeight() <= 0) {
        return;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> surface =
        graphics::createImage32(getWidth(), getHeight());
    if (!surface) {
        return;
    }
    for (int y = 0; y < surface->getHeight(); ++y) {
        std::fill_n(surface->pixels32() + surface->pixelIndex(0, y), surface->getWidth(), opaqueBlack);
    }
    setSurfaceImage(surface.get());
}

std::string DialogStrip::pageSection(int index) {
    return std::string(ids::groupStrip) + "page" + std::to_string(index + 1);
}

// A page the loader has not read yet is read here (one it is reading is waited for); a page that failed to
// load shows as a blank page.
void DialogStrip::showPage() {
    if (!pageSprite || page < 0 || page >= static_cast<int>(pages.size())) {
        return;
    }
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr
            ? resources->getLoadedResource(pages[static_cast<std::size_t>(page)], ids::groupStrip)
            : nullptr;
    pageSprite->setImage(found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
                             ? static_cast<graphics::ImageBase*>(found)
                             : nullptr);
    letGoOfPage(page - 1);
}

// Asked while the page before it is read, so the turn finds it decoded.
void DialogStrip::readPageAhead() const {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources != nullptr && page + 1 < static_cast<int>(pages.size())) {
        (void)resources->loadGroup(pageSection(page + 1));
    }
}

void DialogStrip::letGoOfPage(int index) const {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources != nullptr && index >= 0 && index < static_cast<int>(pages.size())) {
        resources->unloadResource(pages[static_cast<std::size_t>(index)], ids::groupStrip);
    }
}

// From its first full black on, the comic covers the loading scene until the transition to the selection
// scene has taken its picture: that scene is not seen again and need not keep its pictures.
void DialogStrip::releaseSceneBehind() const {
    if (shownOverLoadingScene() && getSurfaceImage() != nullptr) {
        static_cast<LoadingScene*>(currentScene())->releaseHiddenPictures();
    }
}

void DialogStrip::activate() {
    ui::Dialog::activate();
    addChild(blackOverlay.get());
    fadeOut();
}

bool DialogStrip::acceptsNext() const {
    const bool overlayIdle = !blackOverlay || blackOverlay->getModifierList().empty();
    return nextButton && nextButton->isEnabled() && getAlpha() == opaque && getModifierList().empty() &&
           overlayIdle;
}

bool DialogStrip::onLeftButtonDown(int, int, std::uint32_t, bool) {
    if (acceptsNext()) {
        next();
    }
    return false;
}

void DialogStrip::onNext(void* receiver, ui::GameNode*) {
    if (receiver != nullptr) {
        static_cast<DialogStrip*>(receiver)->next();
    }
}

// The last page over the loading scene goes on to the selection scene with the comic still standing; over
// any other scene the comic fades away and closes.
void DialogStrip::next() {
    setNextOffered(false);
    if (page < pageCount - 1 || !shownOverLoadingScene()) {
        ++page;
        fadeOut();
        return;
    }
    // The transition fades through a black of its own: the comic's, clear from here on, lets go of its
    // picture rather than stand beside the transition's.
    if (blackOverlay) {
        blackOverlay->setImage(nullptr);
    }
    ChangeSceneWithTransition(ids::sceneSelection);
}

bool DialogStrip::shownOverLoadingScene() {
    const ui::Scene* scene = currentScene();
    return scene != nullptr && scene->getClassInfo() == &LoadingScene::classInfo;
}

void DialogStrip::fadeOut() {
    if (!blackOverlay) {
        return;
    }
    blackOverlay->removeAllModifiers();
    blackOverlay->setAlpha(transparent);
    addFade(*blackOverlay, transparent, opaque);
    blackOverlay->addModifier(new ui::CallbackModifier(
        this, [](void* strip, ui::GameNode*) { static_cast<DialogStrip*>(strip)->atFullBlack(); }));
}

// Past the last page the comic turns invisible under the black, which then fades away over the scene.
void DialogStrip::atFullBlack() {
    if (page < pageCount) {
        setAlpha(opaque);
        if (page == 0) {
            releaseSceneBehind();
        }
        showPage();
        readPageAhead();
    } else {
        setAlpha(transparent);
    }
    fadeIn();
}

void DialogStrip::fadeIn() {
    blackOverlay->setAlpha(opaque);
    addFade(*blackOverlay, opaque, transparent);
    blackOverlay->addModifier(new ui::CallbackModifier(
        this, [](void* strip, ui::GameNode*) { static_cast<DialogStrip*>(strip)->afterFadeIn(); }));
}

void DialogStrip::afterFadeIn() {
    if (page < pageCount) {
        setNextOffered(true);
    } else {
        DialogPibble::closeDialog(getName());
    }
}

void DialogStrip::setNextOffered(bool offered) {
    if (nextButton) {
        nextButton->setEnabled(offered);
    }
    if (!nextShine) {
        return;
    }
    nextShine->removeAllModifiers();
    if (offered) {
        nextShine->addModifier(new ui::PulseModifier(opaque, transparent, 200, 200, 0, 0, -1));
    }
}

} // namespace game
