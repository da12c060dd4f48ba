#include "engine/ui/WidgetSupport.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/Sprite.h"

#include <cstdint>

namespace ui {

namespace {

constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;
// A mask pixel hits when its blue lane is above this.
constexpr std::uint32_t maskThreshold = 128;

kernel::Object* findResource(const std::string& name, const std::string& section) {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    return manager != nullptr ? manager->getResource(name, section) : nullptr;
}

// The mask is read by its own row length and size, so a mask that does not match the widget's frame
// never reads outside its pixels: a point beyond it misses. A mask that is not 32-bit cannot be read
// lane by lane and narrows nothing.
bool maskHits(graphics::ImageBase& mask, int localX, int localY) {
    if (mask.getPixelFormat()->bytesPerPixel != 4) {
        return true;
    }
    if (localX >= mask.getWidth() || localY >= mask.getHeight() || !mask.lockForReading()) {
        return false;
    }
    bool hit = false;
    if (const auto* pixels = static_cast<const std::uint32_t*>(mask.getPixels())) {
        hit = (pixels[mask.pixelIndex(localX, localY)] & 0xFFu) > maskThreshold;
    }
    mask.unlock();
    return hit;
}

} // namespace

std::string settingText(const kernel::NodeValue& settings, const char* key) {
    return kernel::narrowString(settings.getValue(key).text());
}

void readSettingText(const kernel::NodeValue& settings, const char* key, std::string& target) {
    if (settings.hasChild(key)) {
        target = settingText(settings, key);
    }
}

graphics::ImageBase* findImage(const std::string& name, const std::string& section) {
    kernel::Object* found = findResource(name, section);
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

void playWidgetSound(const std::string& name, const std::string& section) {
    if (name.empty() || !soundIsUp) {
        return;
    }
    kernel::Object* found = findResource(name, section);
    if (found != nullptr && found->isKindOf(SoundSample::classInfo)) {
        static_cast<SoundSample*>(found)->play(fullVolume, centrePan, false);
    }
}

// The offset is truncated here while painting rounds it, so odd sizes with a centre anchor hit one pixel
// apart from where they are drawn; the game's layouts are made for this.
bool hitsWidget(const Sprite& widget, graphics::ImageBase* mask, int x, int y) {
    const graphics::PointF& anchor = widget.getAnchorPoint();
    const int localX = x - static_cast<int>(static_cast<float>(widget.getAbsoluteX()) - anchor.getX());
    const int localY = y - static_cast<int>(static_cast<float>(widget.getAbsoluteY()) - anchor.getY());
    if (localX < 0 || localX >= widget.getWidth() || localY < 0 || localY >= widget.getHeight()) {
        return false;
    }
    return mask == nullptr || maskHits(*mask, localX, localY);
}

} // namespace ui
