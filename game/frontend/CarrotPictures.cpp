#include "game/frontend/CarrotPictures.h"

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/Path.h"
#include "engine/ui/PathModifier.h"

namespace game {

namespace {

constexpr int alphaLane = 0;
constexpr int screenHeight = 480;

constexpr int crumbFrames = 6;
constexpr int crumbFrameMs = 50;
constexpr int crumbFadeMs = 150;
constexpr int crumbFallMs = 1000;
// The curve: up to its peak and down past the bottom edge, sideways by the direction's multiple.
constexpr int crumbPeakY = 110;
constexpr int crumbPeakDx = 70;
constexpr int crumbEndDx = 160;
constexpr int crumbSmoothSteps = 10;

} // namespace

kernel::SmartPtr<graphics::MemoryImage32>
carrotWithLetters(graphics::ImageBase& front, int width, int height,
                  const std::vector<kernel::SmartPtr<ui::Sprite>>& letters, int offsetX, int offsetY) {
    const kernel::SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(width, height);
    if (!image) {
        return nullptr;
    }
    const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    painter->copyPixels(front, 0, 0, 0, 0, front.getWidth(), front.getHeight());
    for (const kernel::SmartPtr<ui::Sprite>& letter : letters) {
        if (graphics::ImageBase* picture = letter->getImage()) {
            painter->blit(*picture, letter->getX() + offsetX, letter->getY() + offsetY);
        }
    }
    // Its surroundings are transparent from the start, not only after the first bite.
    image->setAlphaMode(true);
    image->setModified(true);
    return image;
}

// The masks are needed one bite at a time, and of each only its alpha: they are not kept.
kernel::SmartPtr<graphics::ChannelBuffer> readBiteMask(const std::string& name, const std::string& section) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr ? resources->getLoadedResource(name, section) : nullptr;
    kernel::SmartPtr<graphics::ChannelBuffer> channel;
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        auto& mask = static_cast<graphics::ImageBase&>(*found);
        mask.lockForReading();
        channel = graphics::createImageChannel(mask, alphaLane);
        mask.unlock();
    }
    if (resources != nullptr) {
        resources->unloadResource(name, section);
    }
    return channel;
}

void takeBite(graphics::ImageBase& carrot, graphics::ChannelBuffer& mask) {
    const kernel::SmartPtr<graphics::ImagePainter> painter = carrot.createPainter();
    painter->copyChannelToLane(mask, alphaLane, 0, 0);
    carrot.setAlphaMode(true);
    carrot.setModified(true);
}

// The curve is smoothed into a path of its own: its three corners stay out of the crumb's way.
kernel::SmartPtr<ui::Sprite> throwCrumb(ui::GameNode& parent, graphics::ImageBase& image, int x, int y,
                                        int direction, int delayMs) {
    const kernel::SmartPtr<ui::Sprite> crumb = new ui::Sprite(x, y, &image);
    parent.addChild(crumb.get());
    crumb->setupFrames(crumbFrames, false, true);
    crumb->setAlpha(0);
    const kernel::SmartPtr<ui::Path> corners = new ui::Path();
    corners->addPoint(x, y);
    corners->addPoint(x + crumbPeakDx * direction, crumbPeakY);
    corners->addPoint(x + crumbEndDx * direction, screenHeight + crumb->getHeight());
    const kernel::SmartPtr<ui::Path> curve = new ui::Path();
    curve->interpolate(*corners, 0, corners->getPointCount() - 1, crumbSmoothSteps, true);
    crumb->addModifier(new ui::DelayModifier(delayMs));
    crumb->addModifier(new ui::ModifierFrame(crumbFrameMs, -1));
    crumb->addModifier(new ui::FadeModifier(0, 255, crumbFadeMs));
    crumb->addModifier(new ui::PathModifier(curve.get(), crumbFallMs, false, 0));
    return crumb;
}

} // namespace game
