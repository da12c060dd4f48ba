#pragma once
// What the plain and the SSE2 forms of the RGB565 group loops share: the walk over locked rows, the group
// tests and the single-pixel rules, which the SIMD forms also use for a row's 0..3 last pixels.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/MemoryImage.h"
#include "engine/graphics/PixelLoopSupport.h"

#include <cstdint>
#include <cstring>

namespace graphics::blit565 {

inline std::uint16_t* pixelsOf(const MemoryImage& image) {
    return static_cast<std::uint16_t*>(image.getPixels());
}

// Pixels from one row to the next; the blits advance the alpha bytes by the same count.
inline int rowStride(const ImageBase& image) {
    return image.getPitch() / 2;
}

// Pixels per group: the group, not the SIMD register, decides the all-0 and all-255 shortcuts.
constexpr int groupSize = 4;

// The four alpha bytes of a group taken as one word.
inline std::uint32_t groupWord(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

constexpr std::uint32_t groupTransparent = 0;
constexpr std::uint32_t groupOpaque = 0xFFFFFFFFu;

// A single pixel: 0 leaves it, 255 copies the source, anything else blends.
inline std::uint16_t alphaSingle(std::uint16_t d, std::uint16_t s, int a) {
    if (a == 0) {
        return d;
    }
    return a == 255 ? s : loops::blend565(d, s, a);
}

inline std::uint16_t alphaBlendSingle(std::uint16_t d, std::uint16_t s, int a, int uniform) {
    if (a == 0 || uniform == 0) {
        return d;
    }
    return loops::blend565(d, s, loops::scaledAlpha(a, uniform));
}

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
    loops::ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    loops::ScopedLock srcLock(src);
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

// memmove: the two rectangles may lie in one image and overlap.
inline void copyRow(const BlitRow& row) {
    std::memmove(row.dst, row.src, sizeof(std::uint16_t) * row.width);
}

// Calls rowOp(pixels, channel bytes, width) for each row; the buffer's rows are its width apart.
template <class RowOp>
void channelRows(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                 int height, RowOp rowOp) {
    loops::ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    loops::ScopedLock channelLock(channel);
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
        rowOp(pixels + d, static_cast<const std::uint8_t*>(channel.data() + c), width);
        d += rowStride(dst);
        c += channel.getWidth();
    }
}

} // namespace graphics::blit565
