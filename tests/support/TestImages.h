#pragma once
// Images made for the graphics tests, and their stored pixels read back (row padding included).

#include "engine/graphics/ImageFactory.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace testsupport {

using Image32 = kernel::SmartPtr<graphics::MemoryImage32>;
using Image16 = kernel::SmartPtr<graphics::MemoryImage>;

inline Image32 filled32(int width, int height, std::uint32_t value) {
    Image32 image(graphics::createImage32(width, height));
    std::fill_n(image->pixels32(), width * height, value);
    return image;
}

inline Image16 filled16(int width, int height, std::uint16_t value) {
    Image16 image(graphics::createImage16(width, height));
    std::fill_n(image->pixels16(), width * height, value);
    return image;
}

// The pixels row by row; any left over stay zero.
inline Image32 image32Of(int width, int height, const std::vector<std::uint32_t>& pixels) {
    Image32 image(graphics::createImage32(width, height));
    std::copy_n(pixels.begin(), std::min<std::size_t>(pixels.size(), width * height), image->pixels32());
    return image;
}

inline Image32 row32(const std::vector<std::uint32_t>& pixels) {
    return image32Of(static_cast<int>(pixels.size()), 1, pixels);
}

// Every pixel and every lane distinct, with an alpha byte of its own.
inline Image32 pattern32(int width, int height) {
    Image32 image(graphics::createImage32(width, height));
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = (static_cast<std::uint32_t>(i * 53 + 9) << 24) | (i * 0x0B1D07u + 0x301020u);
    }
    return image;
}

// The blend rule, lane by lane: d + floor((s - d) * a / 256). The 32-bit form keeps the destination's alpha.
inline int blendLane(int d, int s, int a) {
    const int delta = (s - d) * a;
    return d + (delta >= 0 ? delta / 256 : -((-delta + 255) / 256));
}

inline std::uint16_t blend565(std::uint16_t d, std::uint16_t s, int a) {
    return static_cast<std::uint16_t>(blendLane(d >> 11, s >> 11, a) << 11 |
                                      blendLane((d >> 5) & 63, (s >> 5) & 63, a) << 5 |
                                      blendLane(d & 31, s & 31, a));
}

inline std::uint32_t blendArgb(std::uint32_t d, std::uint32_t s, int a) {
    std::uint32_t out = d & 0xFF000000u;
    for (const int shift : {16, 8, 0}) {
        out |= static_cast<std::uint32_t>(blendLane(d >> shift & 0xFF, s >> shift & 0xFF, a)) << shift;
    }
    return out;
}

// An image whose every lock is refused.
template <class Image> class Unlockable : public Image {
public:
    bool lock() override { return false; }
};

inline std::vector<std::uint32_t> words(const graphics::MemoryImage32& image) {
    return {image.pixels32(), image.pixels32() + image.getPitch() / 4 * image.getHeight()};
}

inline std::vector<std::uint16_t> words(const graphics::MemoryImage& image) {
    return {image.pixels16(), image.pixels16() + image.getPitch() / 2 * image.getHeight()};
}

// The alpha plane of a 16-bit image, whose rows are as long as its pixel rows.
inline std::vector<std::uint8_t> alphaPlane(const graphics::MemoryImage& image) {
    return {image.getAlphaBuffer(), image.getAlphaBuffer() + image.getPitch() / 2 * image.getHeight()};
}

inline int count(const graphics::MemoryImage32& image, std::uint32_t value) {
    const std::uint32_t* first = image.pixels32();
    return static_cast<int>(std::count(first, first + image.getPitch() / 4 * image.getHeight(), value));
}

inline int count(const graphics::MemoryImage& image, std::uint16_t value) {
    const std::uint16_t* first = image.pixels16();
    return static_cast<int>(std::count(first, first + image.getPitch() / 2 * image.getHeight(), value));
}

} // namespace testsupport
