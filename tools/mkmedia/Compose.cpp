#include "tools/mkmedia/Compose.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {

namespace {

std::uint32_t byteOf(float value) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

Layered layeredOf(std::uint32_t pixel) {
    const float a = static_cast<float>(pixel >> 24) / 255.0f;
    return {static_cast<float>(channel(pixel, 16)) * a, static_cast<float>(channel(pixel, 8)) * a,
            static_cast<float>(channel(pixel, 0)) * a, a};
}

std::uint32_t pixelOf(const Layered& colour) {
    if (colour.a <= 0.0f) {
        return 0;
    }
    return byteOf(colour.a * 255) << 24 | byteOf(colour.r / colour.a) << 16 |
           byteOf(colour.g / colour.a) << 8 | byteOf(colour.b / colour.a);
}

void layerOver(Layered& below, Rgb colour, float alpha) {
    const float keep = 1 - alpha;
    below.r = static_cast<float>(channel(colour, 16)) * alpha + below.r * keep;
    below.g = static_cast<float>(channel(colour, 8)) * alpha + below.g * keep;
    below.b = static_cast<float>(channel(colour, 0)) * alpha + below.b * keep;
    below.a = alpha + below.a * keep;
}

void composeOver(graphics::MemoryImage32& target, const graphics::MemoryImage32& source, int x, int y) {
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    const int right = std::min(target.getWidth(), x + source.getWidth());
    const int bottom = std::min(target.getHeight(), y + source.getHeight());
    for (int ty = top; ty < bottom; ++ty) {
        for (int tx = left; tx < right; ++tx) {
            const Layered above = layeredOf(source.pixels32()[source.pixelIndex(tx - x, ty - y)]);
            std::uint32_t& pixel = target.pixels32()[target.pixelIndex(tx, ty)];
            const Layered below = layeredOf(pixel);
            const float keep = 1 - above.a;
            pixel = pixelOf({above.r + below.r * keep, above.g + below.g * keep, above.b + below.b * keep,
                             above.a + below.a * keep});
        }
    }
}

} // namespace mkmedia
