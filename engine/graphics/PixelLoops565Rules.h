#pragma once
// What the plain and the SSE2 forms of the RGB565 group loops share: the walk over locked rows, the group
// tests and the single-pixel rules, which the SIMD forms also use for a row's 0..3 last pixels.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/MemoryImage.h"
#include "engine/graphics/PixelLoopSupport.h"

#include <cstdint>
#include <cstring>

namespace graphics::blit565 {

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
    loops::withPixels<std::uint16_t>(dst, src, [&](std::uint16_t* dstPixels, const std::uint16_t* srcPixels) {
        const std::uint8_t* alpha = src.getAlphaBuffer();
        if (readsAlpha && alpha == nullptr) {
            return;
        }
        loops::walkBlitRows<std::uint16_t>(dst, dx, dy, src, sx, sy, height, [&](int d, int s) {
            rowOp(BlitRow{dstPixels + d, srcPixels + s, readsAlpha ? alpha + s : nullptr, width});
        });
    });
}

// memmove: the two rectangles may lie in one image and overlap.
inline void copyRow(const BlitRow& row) {
    std::memmove(row.dst, row.src, sizeof(std::uint16_t) * row.width);
}

// Calls rowOp(pixels, channel bytes, width) for each row; the buffer's rows are its width apart.
template <class RowOp>
void channelRows(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                 int height, RowOp rowOp) {
    loops::underLocks(dst, channel, [&] {
        std::uint16_t* pixels = loops::pixelsOf<std::uint16_t>(dst);
        if (pixels == nullptr) {
            return;
        }
        loops::walkRows(dst.pixelIndex(x, y), loops::rowStride<std::uint16_t>(dst),
                        cy * channel.getWidth() + cx, channel.getWidth(), height, [&](int d, int c) {
                            rowOp(pixels + d, static_cast<const std::uint8_t*>(channel.data() + c), width);
                        });
    });
}

} // namespace graphics::blit565
