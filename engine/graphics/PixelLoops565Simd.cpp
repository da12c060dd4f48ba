// The RGB565 group loops. Where SSE2 is available a 128-bit register holds two groups of four pixels, a
// leftover group runs in its low half, and the 0..3 last pixels take the integer rules: the plain forms'
// grouping, so that the group shortcuts and the single-pixel rules fall on the same pixels. Alphas are
// 0..255.

#include "engine/graphics/PixelLoops565.h"
#include "engine/graphics/PixelLoops565Rules.h"

#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace graphics {

using namespace blit565;

void Blit565Copy(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, false, copyRow);
}

#if defined(__SSE2__)

namespace {

// The pixel count of one step: two groups, or the leftover group in the low half.
template <int N> using Step = std::integral_constant<int, N>;

template <int N> __m128i loadPixels(const std::uint16_t* p) {
    if constexpr (N == 8) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    } else {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }
}

template <int N> void storePixels(std::uint16_t* p, __m128i v) {
    if constexpr (N == 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    }
}

// The step's alpha bytes packed in the low bytes, one 32-bit lane per group, the rest zero.
template <int N> __m128i loadBytes(const std::uint8_t* p) {
    if constexpr (N == 8) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    } else {
        std::int32_t word;
        std::memcpy(&word, p, sizeof word);
        return _mm_cvtsi32_si128(word);
    }
}

// Each alpha byte alone in the 16-bit word of its pixel.
__m128i widen(__m128i bytes) {
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

// Groups of four from the row's start, eight pixels per register, then the 0..3 single pixels.
template <class GroupStep, class Single> void simdRow(int width, GroupStep step, Single single) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        step(i, Step<8>{});
    }
    if (i + groupSize <= width) {
        step(i, Step<groupSize>{});
        i += groupSize;
    }
    for (; i < width; ++i) {
        single(i);
    }
}

// True when all the step's N alpha bytes are 0. Skipping such a step only saves time: a = 0 leaves every
// field as it is.
template <int N> bool allTransparent(__m128i bytes) {
    constexpr int stepBytes = (1 << N) - 1;
    return (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())) & stepBytes) == stepBytes;
}

// The fields of eight pixels: red and blue shifted down to 0..31, green left in place (a multiple of 32),
// where a high multiply by 8a floors the product in one step.
struct Fields {
    __m128i red, green, blue;
};

Fields fieldsOf(__m128i p) {
    return {_mm_srli_epi16(p, 11), _mm_and_si128(p, _mm_set1_epi16(0x07E0)),
            _mm_and_si128(p, _mm_set1_epi16(0x001F))};
}

struct Alphas {
    __m128i a, a8;
};

Alphas alphasOf(__m128i a) {
    return {a, _mm_slli_epi16(a, 3)};
}

// floor((s - d) * a / 256) for fields of at most 31: the product fits a signed word.
__m128i floorDelta(__m128i d, __m128i s, __m128i a) {
    return _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), a), 8);
}

// d + floor((s - d) * a / 256) per field. The three floored changes are added to the whole pixel at once:
// each field's result stays within its range, so the sum modulo 2^16 is exactly the recombined pixel. For
// green, (32 (s - d)) * 8a / 65536 is (s - d) * a / 256, and the high multiply rounds it down.
[[gnu::always_inline]] inline __m128i blendPixels(__m128i d, const Fields& s, const Alphas& a) {
    const Fields f = fieldsOf(d);
    const __m128i red = floorDelta(f.red, s.red, a.a);
    const __m128i green = _mm_mulhi_epi16(_mm_sub_epi16(s.green, f.green), a.a8);
    const __m128i blue = floorDelta(f.blue, s.blue, a.a);
    return _mm_add_epi16(_mm_add_epi16(d, _mm_slli_epi16(red, 11)),
                         _mm_add_epi16(_mm_slli_epi16(green, 5), blue));
}

__m128i select(__m128i mask, __m128i whenSet, __m128i otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
}

// (a * u) >> 8 per word: a * u is at most 65025 and fits a word unsigned.
__m128i effectiveAlphas(__m128i bytes, __m128i uniform) {
    return _mm_srli_epi16(_mm_mullo_epi16(widen(bytes), uniform), 8);
}

// A group whose four alpha bytes are 255 is copied, while 255 in a mixed group is blended: the copy is
// chosen per group, by the 32-bit lane of its four bytes, and spread over its four pixels.
template <int N> [[gnu::always_inline]] inline void alphaStep(const BlitRow& row, int i) {
    const __m128i bytes = loadBytes<N>(row.alpha + i);
    if (allTransparent<N>(bytes)) {
        return;
    }
    constexpr int stepBytes = (1 << N) - 1;
    const __m128i opaqueGroups = _mm_cmpeq_epi32(bytes, _mm_set1_epi32(-1));
    const int opaqueBytes = _mm_movemask_epi8(opaqueGroups) & stepBytes;
    const __m128i s = loadPixels<N>(row.src + i);
    if (opaqueBytes == stepBytes) {
        storePixels<N>(row.dst + i, s);
        return;
    }
    __m128i out = blendPixels(loadPixels<N>(row.dst + i), fieldsOf(s), alphasOf(widen(bytes)));
    if (opaqueBytes != 0) {
        out = select(_mm_unpacklo_epi32(opaqueGroups, opaqueGroups), s, out);
    }
    storePixels<N>(row.dst + i, out);
}

// No copy shortcut: an opaque group is blended at its effective alpha like any other.
template <int N>
[[gnu::always_inline]] inline void alphaBlendStep(const BlitRow& row, int i, __m128i uniform) {
    const __m128i bytes = loadBytes<N>(row.alpha + i);
    if (allTransparent<N>(bytes)) {
        return;
    }
    const __m128i d = loadPixels<N>(row.dst + i);
    storePixels<N>(row.dst + i, blendPixels(d, fieldsOf(loadPixels<N>(row.src + i)),
                                            alphasOf(effectiveAlphas(bytes, uniform))));
}

template <int N>
[[gnu::always_inline]] inline void channelFillStep(std::uint16_t* dst, const std::uint8_t* bytes, int i,
                                                   const Fields& color, __m128i uniform) {
    const __m128i coverage = loadBytes<N>(bytes + i);
    if (allTransparent<N>(coverage)) {
        return;
    }
    storePixels<N>(dst + i,
                   blendPixels(loadPixels<N>(dst + i), color, alphasOf(effectiveAlphas(coverage, uniform))));
}

} // namespace

void Blit565Alpha(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height) {
    blitRows(dst, dx, dy, src, sx, sy, width, height, true, [](const BlitRow& row) {
        simdRow(
            row.width, [&](int i, auto n) { alphaStep<decltype(n)::value>(row, i); },
            [&](int i) { row.dst[i] = alphaSingle(row.dst[i], row.src[i], row.alpha[i]); });
    });
}

// The same blend at every pixel: no shortcut, so the grouping cannot show.
void Blit565Blend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
                  int alpha) {
    const Alphas uniform = alphasOf(_mm_set1_epi16(static_cast<short>(alpha)));
    blitRows(dst, dx, dy, src, sx, sy, width, height, false, [&](const BlitRow& row) {
        simdRow(
            row.width,
            [&](int i, auto n) {
                constexpr int N = decltype(n)::value;
                const __m128i d = loadPixels<N>(row.dst + i);
                storePixels<N>(row.dst + i, blendPixels(d, fieldsOf(loadPixels<N>(row.src + i)), uniform));
            },
            [&](int i) { row.dst[i] = loops::blend565(row.dst[i], row.src[i], alpha); });
    });
}

void Blit565AlphaBlend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width,
                       int height, int alpha) {
    const __m128i uniform = _mm_set1_epi16(static_cast<short>(alpha));
    blitRows(dst, dx, dy, src, sx, sy, width, height, true, [&](const BlitRow& row) {
        simdRow(
            row.width, [&](int i, auto n) { alphaBlendStep<decltype(n)::value>(row, i, uniform); },
            [&](int i) { row.dst[i] = alphaBlendSingle(row.dst[i], row.src[i], row.alpha[i], alpha); });
    });
}

void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha) {
    const __m128i uniform = _mm_set1_epi16(static_cast<short>(alpha));
    const Fields colors = fieldsOf(_mm_set1_epi16(static_cast<short>(color)));
    channelRows(
        dst, x, y, channel, cx, cy, width, height, [&](std::uint16_t* d, const std::uint8_t* c, int w) {
            simdRow(
                w, [&](int i, auto n) { channelFillStep<decltype(n)::value>(d, c, i, colors, uniform); },
                [&](int i) { d[i] = alphaBlendSingle(d[i], color, c[i], alpha); });
        });
}

#else

void Blit565Alpha(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height) {
    plain::Blit565Alpha(dst, dx, dy, src, sx, sy, width, height);
}

void Blit565Blend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
                  int alpha) {
    plain::Blit565Blend(dst, dx, dy, src, sx, sy, width, height, alpha);
}

void Blit565AlphaBlend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width,
                       int height, int alpha) {
    plain::Blit565AlphaBlend(dst, dx, dy, src, sx, sy, width, height, alpha);
}

void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha) {
    plain::ChannelFill565(dst, x, y, channel, cx, cy, width, height, color, alpha);
}

#endif

} // namespace graphics
