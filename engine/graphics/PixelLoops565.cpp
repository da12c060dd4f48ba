#include "engine/graphics/PixelLoops565.h"

#include "engine/graphics/PixelLoopSupport.h"

#include <algorithm>
#include <cstring>

namespace graphics {

namespace {

using loops::blend565;

// The channel and fill loops of the alpha buffer step its rows by the image width instead of the pitch.
int alphaIndex(const ImageBase& image, int x, int y) {
    return y * image.getWidth() + x;
}

// ---- Pixels and lanes ----

std::uint16_t clearedLane(std::uint16_t pixel, int lane) {
    switch (lane) {
    case 1:
        return pixel & 0x07FF;
    case 2:
        return pixel & 0xF81F;
    case 3:
        return pixel & 0xFFE0;
    default:
        return 0;
    }
}

// The value is in field units; only its low bits that fit the field count.
std::uint16_t withLane(std::uint16_t pixel, int lane, int value) {
    switch (lane) {
    case 1:
        return static_cast<std::uint16_t>((pixel & 0x07FF) | ((value & 0x1F) << 11));
    case 2:
        return static_cast<std::uint16_t>((pixel & 0xF81F) | ((value & 0x3F) << 5));
    case 3:
        return static_cast<std::uint16_t>((pixel & 0xFFE0) | (value & 0x1F));
    default:
        return 0;
    }
}

// Hands body the alpha buffer of the locked image; nothing runs when the lock fails or there is none.
template <class Body> void withAlphaBuffer(MemoryImage& image, Body body) {
    loops::ScopedLock lock(image);
    if (!lock) {
        return;
    }
    if (std::uint8_t* alpha = image.getAlphaBuffer()) {
        body(alpha);
    }
}

} // namespace

void ChannelToAlpha565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                       int height) {
    loops::underLocks(dst, channel, [&] {
        std::uint8_t* alpha = dst.getAlphaBuffer();
        if (alpha == nullptr) {
            return;
        }
        loops::walkRows(alphaIndex(dst, x, y), dst.getWidth(), cy * channel.getWidth() + cx,
                        channel.getWidth(), height,
                        [&](int a, int c) { std::memmove(alpha + a, channel.data() + c, width); });
    });
}

void CopyAlpha565(MemoryImage& dst, int x, int y, MemoryImage& src, int sx, int sy, int width, int height) {
    loops::underLocks(dst, src, [&] {
        std::uint8_t* to = dst.getAlphaBuffer();
        const std::uint8_t* from = src.getAlphaBuffer();
        if (to == nullptr || from == nullptr) {
            return;
        }
        loops::walkBlitRows<std::uint16_t>(dst, x, y, src, sx, sy, height,
                                           [&](int d, int s) { std::memmove(to + d, from + s, width); });
    });
}

void PutPixel565(MemoryImage& image, int x, int y, std::uint16_t color) {
    loops::atPixel<std::uint16_t>(image, image.pixelIndex(x, y), [color](std::uint16_t) { return color; });
}

void BlendPixel565(MemoryImage& image, int x, int y, std::uint16_t color, int alpha) {
    loops::atPixel<std::uint16_t>(image, image.pixelIndex(x, y), [color, alpha](std::uint16_t pixel) {
        return blend565(pixel, color, alpha);
    });
}

void ClearLanePixel565(MemoryImage& image, int x, int y, int lane) {
    loops::atPixel<std::uint16_t>(image, loops::rowStride<std::uint16_t>(image) * y + x,
                                  [lane](std::uint16_t pixel) { return clearedLane(pixel, lane); });
}

void Line565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color) {
    loops::lineOnPixels<std::uint16_t>(image, x1, y1, x2, y2, [color](std::uint16_t) { return color; });
}

void LineAlpha565(MemoryImage& image, int x1, int y1, int x2, int y2, int value) {
    withAlphaBuffer(image, [&](std::uint8_t* alpha) {
        loops::walkLine(x1, y1, x2, y2, [&](int x, int y) {
            alpha[alphaIndex(image, x, y)] = static_cast<std::uint8_t>(value);
        });
    });
}

void LineClearLane565(MemoryImage& image, int x1, int y1, int x2, int y2, int lane) {
    loops::lineOnPixels<std::uint16_t>(image, x1, y1, x2, y2,
                                       [lane](std::uint16_t pixel) { return clearedLane(pixel, lane); });
}

void LineBlend565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color, int alpha) {
    loops::lineOnPixels<std::uint16_t>(
        image, x1, y1, x2, y2, [color, alpha](std::uint16_t pixel) { return blend565(pixel, color, alpha); });
}

void Fill565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color) {
    loops::fillRows<std::uint16_t>(image, x, y, width, height, [color](std::uint16_t* row, int count) {
        std::fill_n(row, count, color);
    });
}

void FillBlend565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color, int alpha) {
    loops::eachPixel<std::uint16_t>(image, x, y, width, height, [color, alpha](std::uint16_t pixel) {
        return blend565(pixel, color, alpha);
    });
}

void FillAlpha565(MemoryImage& image, int x, int y, int width, int height, int alpha) {
    withAlphaBuffer(image, [&](std::uint8_t* bytes) {
        for (int row = 0; row < height; ++row) {
            std::memset(bytes + alphaIndex(image, x, y + row), alpha & 0xFF, width);
        }
    });
}

void SetLane565(MemoryImage& image, int x, int y, int width, int height, int lane, int value) {
    loops::eachPixel<std::uint16_t>(image, x, y, width, height, [lane, value](std::uint16_t pixel) {
        return withLane(pixel, lane, value);
    });
}

} // namespace graphics
