#include "game/field/PibbleImages.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/SmartPtr.h"
#include "game/field/ImageComposition.h"
#include "game/field/ImageDarkening.h"
#include "game/foundation/GameIds.h"

#include <algorithm>
#include <map>

namespace game {

namespace {

struct ShineFrames {
    kernel::SmartPtr<graphics::ImageBase> strip;
    kernel::SmartPtr<graphics::MemoryImage32> withPibble;
};

std::map<std::string, kernel::SmartPtr<graphics::ImageBase>>& darkenedImages() {
    static std::map<std::string, kernel::SmartPtr<graphics::ImageBase>> images;
    return images;
}

std::map<std::int32_t, ShineFrames>& shineFrames() {
    static std::map<std::int32_t, ShineFrames> frames;
    return frames;
}

} // namespace

graphics::ImageBase* pibbleImage(const std::string& name) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr ? resources->getResource(name, ids::groupPibbles) : nullptr;
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

graphics::ImageBase* darkenedPibbleImage(const std::string& name, float factor) {
    if (factor <= 0.0f) {
        return pibbleImage(name);
    }
    const auto cached = darkenedImages().find(name);
    if (cached != darkenedImages().end()) {
        return cached->second.get();
    }
    graphics::ImageBase* original = pibbleImage(name);
    if (original == nullptr) {
        return nullptr;
    }
    original->lockForReading();
    kernel::SmartPtr<graphics::MemoryImage32> copy = graphics::createImage32From(*original);
    original->unlock();
    if (!copy) {
        return nullptr;
    }
    darkenImage(*copy, factor);
    copy->setAlphaMode(true);
    darkenedImages()[name] = copy.get();
    return copy.get();
}

graphics::ImageBase* vibShineWithPibble(std::int32_t colour, graphics::ImageBase& strip, int frames,
                                        graphics::ImageBase& composed) {
    ShineFrames& made = shineFrames()[colour];
    if (made.withPibble && made.strip.get() == &strip) {
        return made.withPibble.get();
    }
    strip.lockForReading();
    kernel::SmartPtr<graphics::MemoryImage32> copy = graphics::createImage32From(strip);
    strip.unlock();
    if (!copy) {
        return nullptr;
    }
    copy->setAlphaMode(strip.getAlphaMode());
    const int frameHeight = frames > 0 ? strip.getHeight() / frames : 0;
    // Kept inside its own frame, whatever the two sizes.
    const kernel::Rect pibble(0, 0, composed.getWidth(), std::min(composed.getHeight(), frameHeight));
    for (int frame = 0; frame < frames && frameHeight > 0; ++frame) {
        composeOver(*copy, composed, pibble, 0, frame * frameHeight);
    }
    made.strip = &strip;
    made.withPibble = copy;
    return copy.get();
}

void clearPibbleImageCaches() {
    darkenedImages().clear();
    shineFrames().clear();
}

} // namespace game
