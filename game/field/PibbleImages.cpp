#include "game/field/PibbleImages.h"

#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32.h"
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
    kernel::SmartPtr<graphics::ImageBase> withPibble;
};

// A picture made from a part is kept cut into frames as the part is; the whole copy it was made in goes.
kernel::SmartPtr<graphics::ImageBase> cutLikePart(graphics::MemoryImage32& made,
                                                  const graphics::ImageBase& part) {
    kernel::SmartPtr<graphics::ImageBase> cut = graphics::FrameStripImage::cutLike(made, part);
    return cut ? cut : kernel::SmartPtr<graphics::ImageBase>(&made);
}

std::map<std::string, kernel::SmartPtr<graphics::ImageBase>>& darkenedImages() {
    static std::map<std::string, kernel::SmartPtr<graphics::ImageBase>> images;
    return images;
}

std::map<std::int32_t, ShineFrames>& shineFrames() {
    static std::map<std::int32_t, ShineFrames> frames;
    return frames;
}

// A look is known by its size and, for each part, the picture's address and content version and the
// frame; versions are never handed out twice, so a new picture at a freed one's address cannot pass for it.
using LookKey = std::vector<std::uint64_t>;

std::map<LookKey, kernel::SmartPtr<graphics::MemoryImage32>>& composedLooks() {
    static std::map<LookKey, kernel::SmartPtr<graphics::MemoryImage32>> looks;
    return looks;
}

// A level shows a few dozen looks. Once the cache holds this many, or twice what pibbles showed at the last
// sweep, the looks no pibble shows any more are let go: the cache stays near what is shown, and a field
// that shows many looks is not swept at every new one.
constexpr std::size_t keptLooks = 64;

std::size_t& sweepAt() {
    static std::size_t size = keptLooks;
    return size;
}

// Only the cache holds the looks no pibble shows.
void dropUnusedLooks() {
    std::erase_if(composedLooks(), [](const auto& entry) { return entry.second->referenceCount() == 1; });
    sweepAt() = std::max(keptLooks, 2 * composedLooks().size());
}

LookKey lookKey(const std::vector<PibblePart>& parts, int width, int height) {
    LookKey key{static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height)};
    key.reserve(2 + parts.size() * 6);
    for (const PibblePart& part : parts) {
        key.push_back(reinterpret_cast<std::uintptr_t>(part.image));
        key.push_back(part.image->getContentVersion());
        for (const int value : {part.frame.x, part.frame.y, part.frame.w, part.frame.h}) {
            key.push_back(static_cast<std::uint32_t>(value));
        }
    }
    return key;
}

graphics::MemoryImage32* keepLook(LookKey key, const kernel::SmartPtr<graphics::MemoryImage32>& look) {
    if (!look) {
        return nullptr;
    }
    if (composedLooks().size() >= sweepAt()) {
        dropUnusedLooks();
    }
    composedLooks()[std::move(key)] = look;
    return look.get();
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
    const kernel::SmartPtr<graphics::ImageBase> kept = cutLikePart(*copy, *original);
    darkenedImages()[name] = kept;
    return kept.get();
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
    made.withPibble = cutLikePart(*copy, strip);
    return made.withPibble.get();
}

graphics::MemoryImage32* composedPibble(const std::vector<PibblePart>& parts, int width, int height) {
    LookKey key = lookKey(parts, width, height);
    const auto known = composedLooks().find(key);
    if (known != composedLooks().end()) {
        return known->second.get();
    }
    kernel::SmartPtr<graphics::MemoryImage32> look = graphics::createImage32(width, height);
    if (!look || look->pixels32() == nullptr) {
        return nullptr;
    }
    for (const PibblePart& part : parts) {
        composeOver(*look, *part.image, part.frame, 0, 0);
    }
    look->setAlphaMode(true);
    look->setModified(true);
    return keepLook(std::move(key), look);
}

// Kept under a key no composed look has: a look always carries its alpha flag.
graphics::MemoryImage32* blankPibblePicture(int width, int height) {
    LookKey key{static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), ~std::uint64_t{0}};
    const auto known = composedLooks().find(key);
    if (known != composedLooks().end()) {
        return known->second.get();
    }
    return keepLook(std::move(key), graphics::createImage32(width, height));
}

void clearPibbleImageCaches() {
    darkenedImages().clear();
    shineFrames().clear();
    composedLooks().clear();
    sweepAt() = keptLooks;
}

} // namespace game
