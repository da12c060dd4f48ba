#include "engine/graphics/PixelLoops565.h"

#include "engine/graphics/PixelLoopSupport.h"
#include "engine/graphics/PixelLoops565Rules.h"

#include <algorithm>
#include <cstring>

namespace graphics {

namespace {

using blit565::pixelsOf;
using blit565::rowStride;
using loops::blend565;
using loops::ScopedLock;

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

// Applies a change to one pixel under the image's lock.
template <class PixelOp> void atPixel(MemoryImage& image, int index, PixelOp op) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    if (std::uint16_t* pixels = pixelsOf(image)) {
        op(pixels[index]);
    }
}

// ---- Fills ----

// Walks the rows of a rectangle of pixels under one lock.
template <class RowOp> void fillRows(MemoryImage& image, int x, int y, int width, int height, RowOp rowOp) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint16_t* pixels = pixelsOf(image);
    if (pixels == nullptr) {
        return;
    }
    int index = image.pixelIndex(x, y);
    for (int row = 0; row < height; ++row) {
        rowOp(pixels + index, width);
        index += rowStride(image);
    }
}

template <class PixelOp> void eachPixel(MemoryImage& image, int x, int y, int width, int height, PixelOp op) {
    fillRows(image, x, y, width, height, [&](std::uint16_t* row, int count) {
        for (int i = 0; i < count; ++i) {
            op(row[i]);
        }
    });
}

// ---- Lines ----

// One lock around the whole line, each point changed in place.
template <class PixelOp> void lineOnPixels(MemoryImage& image, int x1, int y1, int x2, int y2, PixelOp op) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint16_t* pixels = pixelsOf(image);
    if (pixels == nullptr) {
        return;
    }
    loops::walkLine(x1, y1, x2, y2, [&](int x, int y) { op(pixels[image.pixelIndex(x, y)]); });
}

} // namespace

void ChannelToAlpha565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                       int height) {
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock channelLock(channel);
    if (!channelLock) {
        return;
    }
    std::uint8_t* alpha = dst.getAlphaBuffer();
    if (alpha == nullptr) {
        return;
    }
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* from = channel.data() + (cy + row) * channel.getWidth() + cx;
        std::memmove(alpha + alphaIndex(dst, x, y + row), from, width);
    }
}

void CopyAlpha565(MemoryImage& dst, int x, int y, MemoryImage& src, int sx, int sy, int width, int height) {
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock srcLock(src);
    if (!srcLock) {
        return;
    }
    std::uint8_t* to = dst.getAlphaBuffer();
    const std::uint8_t* from = src.getAlphaBuffer();
    if (to == nullptr || from == nullptr) {
        return;
    }
    int d = dst.pixelIndex(x, y);
    int s = src.pixelIndex(sx, sy);
    for (int row = 0; row < height; ++row) {
        std::memmove(to + d, from + s, width);
        d += rowStride(dst);
        s += rowStride(src);
    }
}

void PutPixel565(MemoryImage& image, int x, int y, std::uint16_t color) {
    atPixel(image, image.pixelIndex(x, y), [color](std::uint16_t& pixel) { pixel = color; });
}

void BlendPixel565(MemoryImage& image, int x, int y, std::uint16_t color, int alpha) {
    atPixel(image, image.pixelIndex(x, y),
            [color, alpha](std::uint16_t& pixel) { pixel = blend565(pixel, color, alpha); });
}

void ClearLanePixel565(MemoryImage& image, int x, int y, int lane) {
    atPixel(image, rowStride(image) * y + x,
            [lane](std::uint16_t& pixel) { pixel = clearedLane(pixel, lane); });
}

void Line565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color) {
    lineOnPixels(image, x1, y1, x2, y2, [color](std::uint16_t& pixel) { pixel = color; });
}

void LineAlpha565(MemoryImage& image, int x1, int y1, int x2, int y2, int value) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint8_t* alpha = image.getAlphaBuffer();
    if (alpha == nullptr) {
        return;
    }
    loops::walkLine(x1, y1, x2, y2,
                    [&](int x, int y) { alpha[alphaIndex(image, x, y)] = static_cast<std::uint8_t>(value); });
}

void LineClearLane565(MemoryImage& image, int x1, int y1, int x2, int y2, int lane) {
    lineOnPixels(image, x1, y1, x2, y2, [lane](std::uint16_t& pixel) { pixel = clearedLane(pixel, lane); });
}

void LineBlend565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color, int alpha) {
    lineOnPixels(image, x1, y1, x2, y2,
                 [color, alpha](std::uint16_t& pixel) { pixel = blend565(pixel, color, alpha); });
}

void Fill565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color) {
    fillRows(image, x, y, width, height,
             [color](std::uint16_t* row, int count) { std::fill_n(row, count, color); });
}

void FillBlend565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color, int alpha) {
    eachPixel(image, x, y, width, height,
              [color, alpha](std::uint16_t& pixel) { pixel = blend565(pixel, color, alpha); });
}

void FillAlpha565(MemoryImage& image, int x, int y, int width, int height, int alpha) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint8_t* bytes = image.getAlphaBuffer();
    if (bytes == nullptr) {
        return;
    }
    for (int row = 0; row < height; ++row) {
        std::memset(bytes + alphaIndex(image, x, y + row), alpha & 0xFF, width);
    }
}

void SetLane565(MemoryImage& image, int x, int y, int width, int height, int lane, int value) {
    eachPixel(image, x, y, width, height,
              [lane, value](std::uint16_t& pixel) { pixel = withLane(pixel, lane, value); });
}

} // namespace graphics
