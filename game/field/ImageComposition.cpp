#include "game/field/ImageComposition.h"

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/MemoryImage32.h"

#include <algorithm>
#include <cstdint>

namespace game {

namespace {

std::uint32_t over(std::uint32_t above, std::uint32_t below) {
    const std::uint32_t sa = above >> 24;
    if (sa == 0) {
        return below;
    }
    // Over a clear pixel the weights below give the source itself, to the last bit.
    const std::uint32_t da = below >> 24;
    if (sa == 255 || da == 0) {
        return above;
    }
    // Weights scaled by 255 x 255: the source's share and what shows of the target through it.
    const std::uint32_t sourceWeight = sa * 255;
    const std::uint32_t belowWeight = da * (255 - sa);
    const std::uint32_t total = sourceWeight + belowWeight;
    std::uint32_t result = ((total + 127) / 255) << 24;
    for (const int shift : {16, 8, 0}) {
        const std::uint32_t s = (above >> shift) & 0xFFu;
        const std::uint32_t d = (below >> shift) & 0xFFu;
        result |= ((s * sourceWeight + d * belowWeight + total / 2) / total) << shift;
    }
    return result;
}

} // namespace

void composeOver(graphics::MemoryImage32& target, graphics::ImageBase& source, const kernel::Rect& part,
                 int x, int y) {
    if (source.getPixelFormat()->bytesPerPixel != 4 || target.pixels32() == nullptr) {
        return;
    }
    // The part itself is kept inside the source, then the destination inside the target.
    int left = std::max({part.x, 0, part.x - x});
    int top = std::max({part.y, 0, part.y - y});
    int right = std::min({part.right(), source.getWidth(), part.x + target.getWidth() - x});
    int bottom = std::min({part.bottom(), source.getHeight(), part.y + target.getHeight() - y});
    if (left >= right || top >= bottom) {
        return;
    }
    // A frame of a cut picture is read from its piece: the pixels outside it are 0, which leave the target
    // as it is (unless the source counts as opaque, which needs them all).
    graphics::ImageBase* read = &source;
    int readX = 0;
    int readY = 0;
    const graphics::FramePiece* piece =
        source.getAlphaMode() ? source.findFramePiece(kernel::Rect(left, top, right - left, bottom - top))
                              : nullptr;
    if (piece != nullptr) {
        read = piece->image;
        readX = piece->window.x;
        readY = piece->window.y;
        left = std::max(left, piece->window.x);
        top = std::max(top, piece->window.y);
        right = std::min(right, piece->window.right());
        bottom = std::min(bottom, piece->window.bottom());
    }
    if (read == nullptr || left >= right || top >= bottom || !read->lockForReading()) {
        return;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(read->getPixels());
    if (bytes == nullptr) {
        read->unlock();
        return;
    }
    const std::uint32_t forcedAlpha = source.getAlphaMode() ? 0u : 0xFF000000u;
    std::uint32_t* pixels = target.pixels32();
    for (int sy = top; sy < bottom; ++sy) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            bytes + static_cast<std::ptrdiff_t>(sy - readY) * read->getPitch());
        std::uint32_t* out = pixels + target.pixelIndex(left - part.x + x, sy - part.y + y);
        for (int sx = left; sx < right; ++sx, ++out) {
            // What a clear pixel leaves as it is is not written: the clear margins of a look take no
            // memory until written.
            const std::uint32_t value = over(row[sx - readX] | forcedAlpha, *out);
            if (value != *out) {
                *out = value;
            }
        }
    }
    read->unlock();
    target.setModified(true);
}

} // namespace game
