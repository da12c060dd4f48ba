#include "game/field/SparkleEffect.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ResourceManager.h"
#include "game/field/OneShotTimer.h"
#include "game/field/ParticleEmitter.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

constexpr int sparkleFrames = 14;
constexpr int redLane = 1;
constexpr int alphaLane = 0;
constexpr kernel::Rect sparkleArea(-10, -10, 20, 20);

graphics::ImageBase* sparkleImage() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(ids::imageSparkle, ids::groupScenePlay) : nullptr;
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

// The colour everywhere, the shape as alpha. Blending the colour through the shape would keep the fresh
// picture's alpha of 0 and draw nothing.
kernel::SmartPtr<graphics::MemoryImage32> tinted(graphics::ImageBase& shape, std::uint32_t colour) {
    kernel::SmartPtr<graphics::MemoryImage32> image =
        graphics::createImage32(shape.getWidth(), shape.getHeight());
    if (!image) {
        return nullptr;
    }
    shape.lockForReading();
    const kernel::SmartPtr<graphics::ChannelBuffer> lane = graphics::createImageChannel(shape, redLane);
    shape.unlock();
    const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    painter->setColor(kernel::Color(colour | 0xFF000000u));
    painter->fillRect(0, 0, image->getWidth(), image->getHeight());
    if (lane) {
        painter->copyChannelToLane(*lane, alphaLane, 0, 0);
    }
    image->setAlphaMode(true);
    image->setModified(true);
    return image;
}

} // namespace

ParticleEmitter* SparkleEffect::spawn(ui::GameNode* parent, ParticleParams* params, std::uint32_t colour) {
    graphics::ImageBase* shape = sparkleImage();
    if (parent == nullptr || shape == nullptr) {
        return nullptr;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> image = tinted(*shape, colour);
    if (!image) {
        return nullptr;
    }
    kernel::SmartPtr<ParticleEmitter> emitter = new ParticleEmitter(sparkleArea, params);
    kernel::SmartPtr<OneShotTimer> prototype = new OneShotTimer(0, 0, image.get());
    prototype->setupFrames(sparkleFrames, true, true);
    emitter->addPrototype(prototype.get());
    parent->addChild(emitter.get());
    emitter->setEmitting(true);
    return emitter.get();
}

} // namespace game
