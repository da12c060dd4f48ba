#include "game/field/HitMask.h"

#include "engine/graphics/ImageBase.h"

#include <cstdint>

namespace game {

namespace {

constexpr std::uint32_t threshold = 128;

} // namespace

bool maskAllows(graphics::ImageBase& mask, int x, int y) {
    if (x < 0 || y < 0 || x >= mask.getWidth() || y >= mask.getHeight() ||
        mask.getPixelFormat()->bytesPerPixel != 4 || !mask.lockForReading()) {
        return false;
    }
    // The mask's own row length: a mask of another width than its sprite is read where it lies, never
    // sheared into the next row or past its last one.
    const auto* bytes = static_cast<const std::uint8_t*>(mask.getPixels());
    bool allows = false;
    if (bytes != nullptr) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(bytes + static_cast<std::ptrdiff_t>(y) * mask.getPitch());
        allows = (row[x] & 0xFFu) > threshold;
    }
    mask.unlock();
    return allows;
}

} // namespace game
