#include "engine/graphics/PixelLoops565.h"

#include "engine/graphics/PixelLoopSupport.h"

#include <algorithm>
#include <cstring>

namespace graphics {

namespace {

using loops::blend565;
using loops::scaledAlpha;
using loops::ScopedLock;

std::uint16_t* pixelsOf(const MemoryImage& image) {
    return static_cast<std::uint16_t*>(image.getPixels());
}

// Pixels from one row to the next; the blits advance the alpha bytes by the same count.
int rowStride(const ImageBase& image) {
    return image.getPitch() / 2;
}

// The channel and fill loops of the alpha buffer step its rows by the image width instead of the pitch.
int alphaIndex(const ImageBase& image, int x, int y) {
    return y * image.getWidth() + x;
}

// ---- Rectangle blits ----

// One row of a blit at its first pixel; alpha holds the source's alpha bytes where the member reads them.
struct BlitRow {
    std::uint16_t* dst;
    const std::uint16_t* src;
    const std::uint8_t* alpha;
    int width;
};

// Walks the rows of a blit. The source's alpha bytes share the source's pixel index and row stride.
template <class RowOp>
void blitRows(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
              bool readsAlpha, RowOp rowOp) {
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock srcLock(src);
    if (!srcLock) {
        return;
    }
    std::uint16_t* dstPixels = pixelsOf(dst);
    const std::uint16_t* srcPixels = pixelsOf(src);
    const std::uint8_t* alpha = src.getAlphaBuffer();
    if (dstPixels == nullptr || srcPixels == nullptr || (readsAlpha && alpha == nullptr)) {
        return;
    }
    int d = dst.pixelIndex(dx, dy);
    int s = src.pixelIndex(sx, sy);
    for (int row = 0; row < height; ++row) {
        rowOp(BlitRow{dstPixels + d, srcPixels + s, readsAlpha ? alpha + s : nullptr, width});
        d += rowStride(dst);
        s += rowStride(src);
    }
}

// Groups of four from the row's start, then the 0..3 pixels left over. Which pixels share a group decides
// whether an opaque pixel is copied or blended, so this split is part of the result, not only of speed.
template <class Group, class Single> void groupedRow(int width, Group group, Single single) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        group(x);
    }
    for (; x < width; ++x) {
        single(x);
    }
}

// The four alpha bytes of a group taken as one word, the way the SIMD step tests them.
std::uint32_t groupWord(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

constexpr std::uint32_t groupTransparent = 0;
constexpr std::uint32_t groupOpaque = 0xFFFFFFFFu;

void copyRow(const BlitRow& row) {
    std::memmove(row.dst, row.src, sizeof(std::uint16_t) * row.width);
}

void alphaGroup(const BlitRow& row, int x) {
    const std::uint32_t word = groupWord(row.alpha + x);
    if (word == groupTransparent) {
        return;
    }
    if (word == groupOpaque) {
        std::memmove(row.dst + x, row.src + x, 4 * sizeof(std::uint16_t));
        return;
    }
    for (int i = x; i < x + 4; ++i) {
        row.dst[i] = blend565(row.dst[i], row.src[i], row.alpha[i]);
    }
}

void alphaSingle(const BlitRow& row, int x) {
    const int a = row.alpha[x];
    if (a == 0) {
        return;
    }
    row.dst[x] = a == 255 ? row.src[x] : blend565(row.dst[x], row.src[x], a);
}

void alphaRow(const BlitRow& row) {
    groupedRow(
        row.width, [&](int x) { alphaGroup(row, x); }, [&](int x) { alphaSingle(row, x); });
}

// No shortcut at any alpha, so the grouping cannot show and a plain walk gives the same pixels.
void blendRow(const BlitRow& row, int alpha) {
    for (int x = 0; x < row.width; ++x) {
        row.dst[x] = blend565(row.dst[x], row.src[x], alpha);
    }
}

// Without a copy shortcut even an opaque group is blended, at the effective alpha 254.
void alphaBlendGroup(const BlitRow& row, int x, int uniform) {
    if (groupWord(row.alpha + x) == groupTransparent) {
        return;
    }
    for (int i = x; i < x + 4; ++i) {
        row.dst[i] = blend565(row.dst[i], row.src[i], scaledAlpha(row.alpha[i], uniform));
    }
}

void alphaBlendSingle(const BlitRow& row, int x, int uniform) {
    const int a = row.alpha[x];
    if (a == 0 || uniform == 0) {
        return;
    }
    row.dst[x] = blend565(row.dst[x], row.src[x], scaledAlpha(a, uniform));
}

void alphaBlendRow(const BlitRow& row, int uniform) {
    groupedRow(
        row.width, [&](int x) { alphaBlendGroup(row, x, uniform); },
        [&](int x) { alphaBlendSingle(row, x, uniform); });
}

// ---- Channel buffers ----

// One colour through a row of channel bytes: groups of four zero bytes are skipped, like the blits' groups.
void channelFillRow(std::uint16_t* dst, const std::uint8_t* bytes, int width, std::uint16_t color,
                    int uniform) {
    groupedRow(
        width,
        [&](int x) {
            if (groupWord(bytes + x) == groupTransparent) {
                return;
            }
            for (int i = x; i < x + 4; ++i) {
                dst[i] = blend565(dst[i], color, scaledAlpha(bytes[i], uniform));
            }
        },
        [&](int x) {
            if (bytes[x] == 0 || uniform == 0) {
                return;
            }
            dst[x] = blend565(dst[x], color, scaledAlpha(bytes[x], uniform));
        });
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

void Blit565Copy(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, false, copyRow);
}

void Blit565Alpha(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, true, alphaRow);
}

void Blit565Blend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
                  int alpha) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, false,
             [alpha](const BlitRow& row) { blendRow(row, alpha); });
}

void Blit565AlphaBlend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width,
                       int height, int alpha) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, true,
             [alpha](const BlitRow& row) { alphaBlendRow(row, alpha); });
}

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

void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha) {
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock channelLock(channel);
    if (!channelLock) {
        return;
    }
    std::uint16_t* pixels = pixelsOf(dst);
    if (pixels == nullptr) {
        return;
    }
    int d = dst.pixelIndex(x, y);
    int c = cy * channel.getWidth() + cx;
    for (int row = 0; row < height; ++row) {
        channelFillRow(pixels + d, channel.data() + c, width, color, alpha);
        d += rowStride(dst);
        c += channel.getWidth();
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
