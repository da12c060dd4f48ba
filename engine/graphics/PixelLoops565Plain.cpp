// The integer forms of the RGB565 group loops: the reference the SIMD forms are held to, and the loops
// themselves on processors without SSE2.

#include "engine/graphics/PixelLoops565.h"
#include "engine/graphics/PixelLoops565Rules.h"

namespace graphics::plain {

using namespace blit565;
using loops::blend565;
using loops::scaledAlpha;

namespace {

// Groups of four from the row's start, then the 0..3 pixels left over. Which pixels share a group decides
// whether an opaque pixel is copied or blended, so this split is part of the result, not only of speed.
template <class Group, class Single> void groupedRow(int width, Group group, Single single) {
    int x = 0;
    for (; x + groupSize <= width; x += groupSize) {
        group(x);
    }
    for (; x < width; ++x) {
        single(x);
    }
}

void alphaGroup(const BlitRow& row, int x) {
    const std::uint32_t word = groupWord(row.alpha + x);
    if (word == groupTransparent) {
        return;
    }
    if (word == groupOpaque) {
        std::memmove(row.dst + x, row.src + x, groupSize * sizeof(std::uint16_t));
        return;
    }
    for (int i = x; i < x + groupSize; ++i) {
        row.dst[i] = blend565(row.dst[i], row.src[i], row.alpha[i]);
    }
}

void alphaRow(const BlitRow& row) {
    groupedRow(
        row.width, [&](int x) { alphaGroup(row, x); },
        [&](int x) { row.dst[x] = alphaSingle(row.dst[x], row.src[x], row.alpha[x]); });
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
    for (int i = x; i < x + groupSize; ++i) {
        row.dst[i] = blend565(row.dst[i], row.src[i], scaledAlpha(row.alpha[i], uniform));
    }
}

void alphaBlendRow(const BlitRow& row, int uniform) {
    groupedRow(
        row.width, [&](int x) { alphaBlendGroup(row, x, uniform); },
        [&](int x) { row.dst[x] = alphaBlendSingle(row.dst[x], row.src[x], row.alpha[x], uniform); });
}

// One colour through a row of channel bytes: groups of four zero bytes are skipped, like the blits' groups.
void channelFillRow(std::uint16_t* dst, const std::uint8_t* bytes, int width, std::uint16_t color,
                    int uniform) {
    groupedRow(
        width,
        [&](int x) {
            if (groupWord(bytes + x) == groupTransparent) {
                return;
            }
            for (int i = x; i < x + groupSize; ++i) {
                dst[i] = blend565(dst[i], color, scaledAlpha(bytes[i], uniform));
            }
        },
        [&](int x) { dst[x] = alphaBlendSingle(dst[x], color, bytes[x], uniform); });
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

void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha) {
    channelRows(
        dst, x, y, channel, cx, cy, width, height,
        [=](std::uint16_t* d, const std::uint8_t* c, int w) { channelFillRow(d, c, w, color, alpha); });
}

} // namespace graphics::plain
