// The 32-bit painter's loops. Where SSE2 is available the blends treat two pairs per 128-bit register,
// then a leftover pair in the low half, then the odd last pixel with the integer rule: the plain forms'
// grouping, so that the pair shortcuts and the single-pixel rule fall on the same pixels. The per-pixel-alpha
// blend also comes in AVX2 (PixelLoops32Avx2.cpp), which its public form calls where the processor has it.

#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/BlitLoops32Rules.h"
#include "engine/graphics/SimdLevel.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace graphics {

using namespace blit32;

namespace {

bool overlap(const std::uint32_t* d, const std::uint32_t* s, int width) {
    const auto at = [](const std::uint32_t* p) { return reinterpret_cast<std::uintptr_t>(p); };
    return at(d) < at(s + width) && at(s) < at(d + width);
}

// Rows of one image may overlap, and take memmove; so do long rows, which the C library copies faster with
// the widest registers the processor has. Other rows are copied with 16-byte-aligned stores, four registers a
// step: for rows of a few hundred pixels that costs less than a call to the general copy.
void copyRow(std::uint32_t* d, const std::uint32_t* s, int width) {
#if defined(__SSE2__)
    constexpr int longRow = 512;
    if (width < longRow && !overlap(d, s, width)) {
        int i = 0;
        for (; i < width && reinterpret_cast<std::uintptr_t>(d + i) % 16 != 0; ++i) {
            d[i] = s[i];
        }
        const auto load = [s](int at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)); };
        const auto store = [d](int at, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(d + at), v); };
        for (; i + 16 <= width; i += 16) {
            const __m128i a = load(i), b = load(i + 4), c = load(i + 8), e = load(i + 12);
            store(i, a);
            store(i + 4, b);
            store(i + 8, c);
            store(i + 12, e);
        }
        for (; i + 4 <= width; i += 4) {
            store(i, load(i));
        }
        for (; i < width; ++i) {
            d[i] = s[i];
        }
        return;
    }
#endif
    std::memmove(d, s, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

} // namespace

void BlitCopy32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    walkImages(dst, dx, dy, src, sx, sy, width, height, copyRow);
}

void BlitLane32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                int lane) {
    if (!isLane(lane)) {
        return;
    }
    const std::uint32_t mask = laneMask(lane);
    walkImages(dst, dx, dy, src, sx, sy, width, height,
               [mask](std::uint32_t* d, const std::uint32_t* s, int w) {
                   for (int i = 0; i < w; ++i) {
                       d[i] = (d[i] & ~mask) | (s[i] & mask);
                   }
               });
}

namespace {

// Replaces the destination's lane by the source's where replace(source lane, destination lane) holds.
template <class Replace>
void laneCompare(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                 int lane, Replace replace) {
    if (!isLane(lane)) {
        return;
    }
    const std::uint32_t mask = laneMask(lane);
    walkImages(dst, dx, dy, src, sx, sy, width, height, [=](std::uint32_t* d, const std::uint32_t* s, int w) {
        for (int i = 0; i < w; ++i) {
            if (replace(s[i] & mask, d[i] & mask)) {
                d[i] = (d[i] & ~mask) | (s[i] & mask);
            }
        }
    });
}

} // namespace

void LaneMin32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
               int lane) {
    laneCompare(dst, dx, dy, src, sx, sy, width, height, lane,
                [](std::uint32_t s, std::uint32_t d) { return s < d; });
}

void LaneMax32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
               int lane) {
    laneCompare(dst, dx, dy, src, sx, sy, width, height, lane,
                [](std::uint32_t s, std::uint32_t d) { return s > d; });
}

#if defined(__SSE2__)

namespace {

__m128i load4(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__m128i load2(const std::uint32_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}
void store4(std::uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
void store2(std::uint32_t* p, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}

// Each buffer byte alone in its 32-bit lane, lined up with the pixel it covers.
__m128i widenBytes(__m128i bytes) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
}

__m128i load4(const std::uint8_t* p) {
    std::int32_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return widenBytes(_mm_cvtsi32_si128(bytes));
}

__m128i load2(const std::uint8_t* p) {
    std::uint16_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return widenBytes(_mm_cvtsi32_si128(bytes));
}

// A leftover pair runs through the four-pixel step with zeros in the high half, which the store drops.
template <class Source, class Step, class Single>
void simdRow(std::uint32_t* d, const Source* s, int width, Step step, Single single) {
    int i = 0;
    // Unrolled: counting and branching are a fair share of a four-pixel step.
#pragma GCC unroll 4
    for (; i + 4 <= width; i += 4) {
        store4(d + i, step(load4(d + i), load4(s + i)));
    }
    if (i + 2 <= width) {
        store2(d + i, step(load2(d + i), load2(s + i)));
        i += 2;
    }
    if (i < width) {
        d[i] = single(d[i], s[i]);
    }
}

__m128i keepDstAlpha(__m128i d, __m128i rgb) {
    return _mm_or_si128(_mm_and_si128(d, _mm_set1_epi32(static_cast<int>(alphaMask))),
                        _mm_and_si128(rgb, _mm_set1_epi32(static_cast<int>(rgbMask))));
}

bool allZero(__m128i v) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(v, _mm_setzero_si128())) == 0xFFFF;
}

// A 32-bit lane stays set only when the other pixel of its pair is set too: the shortcuts are the pair's.
__m128i bothOfPair(__m128i mask) {
    return _mm_and_si128(mask, _mm_shuffle_epi32(mask, _MM_SHUFFLE(2, 3, 0, 1)));
}

// (a * u) >> 8 for alphas alone in their 32-bit lanes; a * u fits a 16-bit word unsigned.
__m128i effectiveAlphas(__m128i alphas, __m128i uniform) {
    return _mm_srli_epi16(_mm_mullo_epi16(alphas, uniform), 8);
}

// d + floor((s - d) * e / 256) = ((d << 8) + (s - d) * e) >> 8, per 16-bit word: the sum lies in 0..65280 for
// e up to 256, so working modulo 2^16, with one multiply of the signed difference, still gives it exactly,
// and the result is the sum's high byte. `shifted` is d << 8.
__m128i floorSum(__m128i shifted, __m128i d, __m128i s, __m128i e) {
    return _mm_add_epi16(shifted, _mm_mullo_epi16(_mm_sub_epi16(s, d), e));
}

// The floor rule on the colour lanes of four pixels, each with the e alone in its own 32-bit lane. Red and
// blue are the low bytes of the pixel's two words and green and alpha the high bytes, split with masks and
// shifts rather than unpacked, which would crowd the one port that shuffles. The alpha's e is 0, so d's
// alpha stays.
__m128i floorColors(__m128i d, __m128i s, __m128i e) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i dRedBlue = _mm_and_si128(d, lowBytes);
    const __m128i redBlue = floorSum(_mm_slli_epi16(dRedBlue, 8), dRedBlue, _mm_and_si128(s, lowBytes),
                                     _mm_or_si128(e, _mm_slli_epi32(e, 16)));
    const __m128i alphaGreen =
        floorSum(_mm_andnot_si128(lowBytes, d), _mm_srli_epi16(d, 8), _mm_srli_epi16(s, 8), e);
    return _mm_or_si128(_mm_srli_epi16(redBlue, 8), _mm_andnot_si128(lowBytes, alphaGreen));
}

// d + ((s * u) >> 8) - ((d * u) >> 8) per word, each product truncated by itself.
__m128i pairWords(__m128i d, __m128i s, __m128i uniform) {
    const __m128i sourcePart = _mm_srli_epi16(_mm_mullo_epi16(s, uniform), 8);
    const __m128i destinationPart = _mm_srli_epi16(_mm_mullo_epi16(d, uniform), 8);
    return _mm_sub_epi16(_mm_add_epi16(d, sourcePart), destinationPart);
}

// A pair whose two e are 254 is copied: raised to 256, e blends to the source exactly.
__m128i withPairCopies(__m128i e, __m128i full) {
    return _mm_add_epi32(e, _mm_and_si128(bothOfPair(full), _mm_set1_epi32(256 - fullEffectiveAlpha)));
}

// The steps below are inlined by force: each is called from two places per row and would otherwise stay a
// call per four pixels. Skipping an all-transparent register only saves time (e = 0 leaves a pixel as it
// is); the copy at e = 254 differs from blending and is decided per pair.

[[gnu::always_inline]] inline __m128i uniformStep(__m128i d, __m128i s, __m128i uniform) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(pairWords(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), uniform),
                            pairWords(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), uniform));
}

// Under u = 255, (a * 255) >> 8 is a - 1 for every a above 0, and only then can e reach 254. A register of
// four opaque pixels, common inside a sprite, is copied outright; the pair selection runs only where some
// of the four are opaque.
[[gnu::always_inline]] inline __m128i fullAlphaStep(__m128i d, __m128i s) {
    const __m128i e = _mm_subs_epu16(_mm_srli_epi32(s, 24), _mm_set1_epi32(1));
    if (allZero(e)) {
        return d;
    }
    const __m128i full = _mm_cmpeq_epi32(e, _mm_set1_epi32(fullEffectiveAlpha));
    const int fullMask = _mm_movemask_epi8(full);
    if (fullMask == 0xFFFF) {
        return keepDstAlpha(d, s);
    }
    return floorColors(d, s, fullMask == 0 ? e : withPairCopies(e, full));
}

[[gnu::always_inline]] inline __m128i partialAlphaStep(__m128i d, __m128i s, __m128i uniform) {
    const __m128i e = effectiveAlphas(_mm_srli_epi32(s, 24), uniform);
    if (allZero(e)) {
        return d;
    }
    return floorColors(d, s, e);
}

[[gnu::always_inline]] inline __m128i channelFillStep(__m128i d, __m128i coverage, __m128i color,
                                                      __m128i uniform) {
    const __m128i e = effectiveAlphas(coverage, uniform);
    if (allZero(e)) {
        return d;
    }
    return floorColors(d, color, e);
}

} // namespace

void BlitMasked32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    walkImages(dst, dx, dy, src, sx, sy, width, height, [](std::uint32_t* d, const std::uint32_t* s, int w) {
        simdRow(d, s, w, keepDstAlpha, maskedCopy);
    });
}

void BlitUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha) {
    const __m128i uniform = _mm_set1_epi16(static_cast<short>(alpha));
    const auto step = [uniform](__m128i d, __m128i s) { return uniformStep(d, s, uniform); };
    const auto single = [alpha](std::uint32_t d, std::uint32_t s) { return floorArgb(d, s, alpha); };
    walkImages(dst, dx, dy, src, sx, sy, width, height,
               [&](std::uint32_t* d, const std::uint32_t* s, int w) { simdRow(d, s, w, step, single); });
}

namespace {

template <class Step>
void alphaUniformRows(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                      int alpha, Step step) {
    const auto single = [alpha](std::uint32_t d, std::uint32_t s) { return alphaUniformSingle(d, s, alpha); };
    walkImages(dst, dx, dy, src, sx, sy, width, height,
               [&](std::uint32_t* d, const std::uint32_t* s, int w) { simdRow(d, s, w, step, single); });
}

} // namespace

void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha) {
    if (simdLevel() >= SimdLevel::Avx2) {
        avx2::BlitAlphaUniform32(dst, dx, dy, src, sx, sy, width, height, alpha);
    } else {
        sse2::BlitAlphaUniform32(dst, dx, dy, src, sx, sy, width, height, alpha);
    }
}

void sse2::BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width,
                              int height, int alpha) {
    if (alpha == 255) {
        alphaUniformRows(dst, dx, dy, src, sx, sy, width, height, alpha,
                         [](__m128i d, __m128i s) { return fullAlphaStep(d, s); });
        return;
    }
    const __m128i uniform = _mm_set1_epi16(static_cast<short>(alpha));
    alphaUniformRows(dst, dx, dy, src, sx, sy, width, height, alpha,
                     [uniform](__m128i d, __m128i s) { return partialAlphaStep(d, s, uniform); });
}

void ChannelFill32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                   int height, std::uint32_t color, int alpha) {
    const __m128i uniform = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i colors = _mm_set1_epi32(static_cast<int>(color));
    const auto step = [=](__m128i d, __m128i c) { return channelFillStep(d, c, colors, uniform); };
    const auto single = [=](std::uint32_t d, std::uint8_t c) {
        return channelFillSingle(d, c, color, alpha);
    };
    walkChannel(dst, x, y, channel, cx, cy, width, height,
                [&](std::uint32_t* d, const std::uint8_t* c, int w) { simdRow(d, c, w, step, single); });
}

void ChannelToLane32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                     int height, int lane) {
    if (!isLane(lane)) {
        return;
    }
    const __m128i keep = _mm_set1_epi32(static_cast<int>(~laneMask(lane)));
    const __m128i shift = _mm_cvtsi32_si128(laneShift(lane));
    const auto step = [=](__m128i d, __m128i c) {
        return _mm_or_si128(_mm_and_si128(d, keep), _mm_sll_epi32(c, shift));
    };
    const auto single = [lane](std::uint32_t d, std::uint8_t c) { return withLane(d, c, lane); };
    walkChannel(dst, x, y, channel, cx, cy, width, height,
                [&](std::uint32_t* d, const std::uint8_t* c, int w) { simdRow(d, c, w, step, single); });
}

#else

void BlitMasked32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    plain::BlitMasked32(dst, dx, dy, src, sx, sy, width, height);
}

void BlitUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha) {
    plain::BlitUniform32(dst, dx, dy, src, sx, sy, width, height, alpha);
}

void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha) {
    plain::BlitAlphaUniform32(dst, dx, dy, src, sx, sy, width, height, alpha);
}

void ChannelFill32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                   int height, std::uint32_t color, int alpha) {
    plain::ChannelFill32(dst, x, y, channel, cx, cy, width, height, color, alpha);
}

void ChannelToLane32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                     int height, int lane) {
    plain::ChannelToLane32(dst, x, y, channel, cx, cy, width, height, lane);
}

#endif

} // namespace graphics
