#include "game/frontend/TransitionPictures.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/platform/Application.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneRenderer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace game {

namespace {

constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;
constexpr std::uint32_t opaqueBlack = 0xFF000000u;

} // namespace

TransitionPictures::TransitionPictures(ui::GameNode& root)
    : sourceSprite(makeScreenSprite(graphics::createImage32(gameWidth(), gameHeight()))),
      targetSprite(makeScreenSprite(graphics::createImage32(gameWidth(), gameHeight()))),
      overlayImage(makeOverlayImage()) {
    overlaySprite = makeScreenSprite(overlayImage.get());
    root.addChild(sourceSprite.get());
    root.addChild(overlaySprite.get());
}

TransitionPictures::~TransitionPictures() = default;

int TransitionPictures::gameWidth() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr && application->getWidth() > 0 ? application->getWidth() : defaultWidth;
}

int TransitionPictures::gameHeight() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr && application->getHeight() > 0 ? application->getHeight() : defaultHeight;
}

kernel::SmartPtr<ui::Sprite> TransitionPictures::makeScreenSprite(graphics::MemoryImage32* image) {
    return kernel::SmartPtr<ui::Sprite>(new ui::Sprite(0, 0, image));
}

kernel::SmartPtr<graphics::MemoryImage32> TransitionPictures::makeOverlayImage() {
    kernel::SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(gameWidth(), gameHeight());
    if (image) {
        const std::size_t count =
            static_cast<std::size_t>(image->getWidth()) * static_cast<std::size_t>(image->getHeight());
        std::fill(image->pixels32(), image->pixels32() + count, opaqueBlack);
    }
    return image;
}

void TransitionPictures::showTarget(ui::GameNode& root) {
    root.addChild(targetSprite.get());
    root.addChild(overlaySprite.get());
}

void TransitionPictures::fadeOverlay(int from, int to, int duration, void* argument,
                                     ui::CallbackModifier::Function then) {
    ui::FadeModifier* fade = new ui::FadeModifier(from, to, duration);
    fade->addFlags(ui::Modifier::blocking);
    overlaySprite->addModifier(fade);
    overlaySprite->addModifier(new ui::CallbackModifier(argument, std::move(then)));
}

void TransitionPictures::release() {
    for (ui::Sprite* sprite : {sourceSprite.get(), targetSprite.get(), overlaySprite.get()}) {
        sprite->setImage(nullptr);
    }
    overlayImage.reset();
}

// The image is handed to the back painter first, so a display of another depth keeps a twin of it; the
// image is marked changed afterwards, so that twin is brought up to date before it is first drawn.
void TransitionPictures::snapshot(ui::Scene* scene, ui::Sprite& sprite) {
    graphics::ImageBase* image = sprite.getImage();
    if (scene == nullptr || image == nullptr) {
        return;
    }
    const platform::Application* application = platform::Application::instance();
    if (graphics::ImagePainter* back = application != nullptr ? application->getBackPainter() : nullptr) {
        back->prepareSource(*image);
    }
    const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    ui::paintSubtree(*scene, *painter, *scene->getRootNode());
    image->setModified(true);
}

} // namespace game
