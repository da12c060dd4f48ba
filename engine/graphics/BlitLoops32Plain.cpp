// The integer forms of the 32-bit painter's loops: the reference the SIMD forms are held to, and the loops
// themselves on processors without SSE2.

#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/BlitLoops32Rules.h"

namespace graphics::plain {

using namespace blit32;

namespace {

// Pairs from the row's first pixel, then the odd last pixel: some rules differ between the two.
template <class Source, class Pair, class Single>
void pairRow(std::uint32_t* d, const Source* s, int width, Pair pair, Single single) {
    int i = 0;
    for (; i + 2 <= width; i += 2) {
        pair(d + i, s + i);
    }
    if (i < width) {
        d[i] = single(d[i], s[i]);
    }
}

// Both pixels of a pair treated alike by a per-pixel rule.
template <class Source, class Single> auto bothPixels(Single single) {
    return [single](std::uint32_t* d, const Source* s) {
        d[0] = single(d[0], s[0]);
        d[1] = single(d[1], s[1]);
    };
}

void alphaUniformPair(std::uint32_t* d, const std::uint32_t* s, int alpha) {
    const int e0 = pixelAlpha(s[0], alpha);
    const int e1 = pixelAlpha(s[1], alpha);
    if (e0 == 0 && e1 == 0) {
        return;
    }
    if (e0 == fullEffectiveAlpha && e1 == fullEffectiveAlpha) {
        d[0] = maskedCopy(d[0], s[0]);
        d[1] = maskedCopy(d[1], s[1]);
        return;
    }
    d[0] = floorRgb(d[0], s[0], e0);
    d[1] = floorRgb(d[1], s[1], e1);
}

void channelFillPair(std::uint32_t* d, const std::uint8_t* c, std::uint32_t color, int alpha) {
    const int e0 = effectiveAlpha(c[0], alpha);
    const int e1 = effectiveAlpha(c[1], alpha);
    if (e0 == 0 && e1 == 0) {
        return;
    }
    d[0] = floorRgb(d[0], color, e0);
    d[1] = floorRgb(d[1], color, e1);
}

} // namespace

void BlitCopy32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    const auto copy = [](std::uint32_t, std::uint32_t s) { return s; };
    walkImages(dst, dx, dy, src, sx, sy, width, height, [&](std::uint32_t* d, const std::uint32_t* s, int w) {
        pairRow(d, s, w, bothPixels<std::uint32_t>(copy), copy);
    });
}

void BlitMasked32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    walkImages(dst, dx, dy, src, sx, sy, width, height, [](std::uint32_t* d, const std::uint32_t* s, int w) {
        pairRow(d, s, w, bothPixels<std::uint32_t>(maskedCopy), maskedCopy);
    });
}

void BlitUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha) {
    const auto pair = [alpha](std::uint32_t d, std::uint32_t s) { return pairArgb(d, s, alpha); };
    const auto single = [alpha](std::uint32_t d, std::uint32_t s) { return floorArgb(d, s, alpha); };
    walkImages(dst, dx, dy, src, sx, sy, width, height, [&](std::uint32_t* d, const std::uint32_t* s, int w) {
        pairRow(d, s, w, bothPixels<std::uint32_t>(pair), single);
    });
}

void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha) {
    const auto pair = [alpha](std::uint32_t* d, const std::uint32_t* s) { alphaUniformPair(d, s, alpha); };
    const auto single = [alpha](std::uint32_t d, std::uint32_t s) { return alphaUniformSingle(d, s, alpha); };
    walkImages(dst, dx, dy, src, sx, sy, width, height,
               [&](std::uint32_t* d, const std::uint32_t* s, int w) { pairRow(d, s, w, pair, single); });
}

void ChannelFill32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                   int height, std::uint32_t color, int alpha) {
    const auto pair = [=](std::uint32_t* d, const std::uint8_t* c) { channelFillPair(d, c, color, alpha); };
    const auto single = [=](std::uint32_t d, std::uint8_t c) {
        return channelFillSingle(d, c, color, alpha);
    };
    walkChannel(dst, x, y, channel, cx, cy, width, height,
                [&](std::uint32_t* d, const std::uint8_t* c, int w) { pairRow(d, c, w, pair, single); });
}

void ChannelToLane32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                     int height, int lane) {
    if (!isLane(lane)) {
        return;
    }
    const auto single = [lane](std::uint32_t d, std::uint8_t c) { return withLane(d, c, lane); };
    walkChannel(dst, x, y, channel, cx, cy, width, height,
                [&](std::uint32_t* d, const std::uint8_t* c, int w) {
                    pairRow(d, c, w, bothPixels<std::uint8_t>(single), single);
                });
}

} // namespace graphics::plain
