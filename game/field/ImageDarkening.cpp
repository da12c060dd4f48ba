#include "game/field/ImageDarkening.h"

#include "engine/graphics/MemoryImage32.h"

#include <cstdint>

namespace game {

namespace {

std::uint32_t darkened(std::uint32_t pixel, double amount) {
    std::uint32_t result = pixel & 0xFF000000u;
    for (const int shift : {16, 8, 0}) {
        const double value = static_cast<double>((pixel >> shift) & 0xFFu) - amount;
        if (value > 0.0) {
            result |= static_cast<std::uint32_t>(value) << shift;
        }
    }
    return result;
}

} // namespace

void darkenImage(graphics::MemoryImage32& image, float factor) {
    std::uint32_t* pixels = image.pixels32();
    if (pixels == nullptr) {
        return;
    }
    const double amount = static_cast<double>(factor) * 255.0;
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            // A pixel that stays as it is is not written: the clear margins of a copied strip take no
            // memory until written.
            std::uint32_t& pixel = pixels[image.pixelIndex(x, y)];
            const std::uint32_t value = darkened(pixel, amount);
            if (value != pixel) {
                pixel = value;
            }
        }
    }
    // Written directly: the 16-bit twin and the frame recorder learn of it only this way.
    image.setModified(true);
}

} // namespace game
