// The AVX2 forms of the 32-bit loops that gain most from 256-bit registers. The blend runs the SSE2 form's
// steps (BlitLoops32.cpp explains them) on eight pixels at a time from each row's start, so that the pairs
// stay, and the row's last 1..7 pixels in one masked step whose unused lanes are neither read nor written.
// There an odd last pixel's partner lane holds a transparent zero, so the pair shortcuts pass it by and it
// takes the single-pixel rule, as in the plain form.
//
// Only the functions below the pragma are compiled for AVX2. The headers come before it: an inline function
// they define is shared with the rest of the program, which keeps one copy of it, and that copy must run on
// any processor.

#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/BlitLoops32Rules.h"
#include "engine/graphics/PixelLoopSupport.h"
#include "engine/graphics/PixelLoopsArgb.h"

#if defined(__SSE2__)

#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace graphics::avx2 {

using namespace blit32;

namespace {

__m256i splat(std::uint32_t value) {
    return _mm256_set1_epi32(static_cast<int>(value));
}

__m256i load8(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
void store8(std::uint32_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The lanes of the first 1..7 pixels, for a masked step: unused lanes are neither read nor written.
__m256i firstLanes(int count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
__m256i maskedLoad(const std::uint32_t* p, __m256i lanes) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), lanes);
}
void maskedStore(std::uint32_t* p, __m256i lanes, __m256i v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), lanes, v);
}

template <class Step> void blendRow(std::uint32_t* d, const std::uint32_t* s, int width, Step step) {
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        store8(d + i, step(load8(d + i), load8(s + i)));
    }
    if (i < width) {
        const __m256i lanes = firstLanes(width - i);
        maskedStore(d + i, lanes, step(maskedLoad(d + i, lanes), maskedLoad(s + i, lanes)));
    }
}

__m256i keepDstAlpha(__m256i d, __m256i rgb) {
    return _mm256_or_si256(_mm256_and_si256(d, splat(alphaMask)), _mm256_and_si256(rgb, splat(rgbMask)));
}

bool allZero(__m256i v) {
    return _mm256_testz_si256(v, v) != 0;
}

__m256i bothOfPair(__m256i mask) {
    return _mm256_and_si256(mask, _mm256_shuffle_epi32(mask, _MM_SHUFFLE(2, 3, 0, 1)));
}

__m256i effectiveAlphas(__m256i alphas, __m256i uniform) {
    return _mm256_srli_epi16(_mm256_mullo_epi16(alphas, uniform), 8);
}

__m256i floorSum(__m256i shifted, __m256i d, __m256i s, __m256i e) {
    return _mm256_add_epi16(shifted, _mm256_mullo_epi16(_mm256_sub_epi16(s, d), e));
}

__m256i floorColors(__m256i d, __m256i s, __m256i e) {
    const __m256i lowBytes = splat(0x00FF00FF);
    const __m256i dRedBlue = _mm256_and_si256(d, lowBytes);
    const __m256i redBlue = floorSum(_mm256_slli_epi16(dRedBlue, 8), dRedBlue, _mm256_and_si256(s, lowBytes),
                                     _mm256_or_si256(e, _mm256_slli_epi32(e, 16)));
    const __m256i alphaGreen =
        floorSum(_mm256_andnot_si256(lowBytes, d), _mm256_srli_epi16(d, 8), _mm256_srli_epi16(s, 8), e);
    return _mm256_or_si256(_mm256_srli_epi16(redBlue, 8), _mm256_andnot_si256(lowBytes, alphaGreen));
}

__m256i withPairCopies(__m256i e, __m256i full) {
    return _mm256_add_epi32(e, _mm256_and_si256(bothOfPair(full), splat(256 - fullEffectiveAlpha)));
}

// Function objects rather than lambdas: a lambda without captures also gets a plain function beside it,
// which would not be compiled for AVX2.
struct FullAlphaStep {
    [[gnu::always_inline]] __m256i operator()(__m256i d, __m256i s) const {
        const __m256i e = _mm256_subs_epu16(_mm256_srli_epi32(s, 24), splat(1));
        if (allZero(e)) {
            return d;
        }
        const __m256i full = _mm256_cmpeq_epi32(e, splat(fullEffectiveAlpha));
        const int fullMask = _mm256_movemask_epi8(full);
        if (fullMask == -1) {
            return keepDstAlpha(d, s);
        }
        return floorColors(d, s, fullMask == 0 ? e : withPairCopies(e, full));
    }
};

struct PartialAlphaStep {
    __m256i uniform;

    [[gnu::always_inline]] __m256i operator()(__m256i d, __m256i s) const {
        const __m256i e = effectiveAlphas(_mm256_srli_epi32(s, 24), uniform);
        if (allZero(e)) {
            return d;
        }
        return floorColors(d, s, e);
    }
};

template <class Step>
void blendRows(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
               Step step) {
    walkImages(dst, dx, dy, src, sx, sy, width, height,
               [step](std::uint32_t* d, const std::uint32_t* s, int w) { blendRow(d, s, w, step); });
}

} // namespace

void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha) {
    if (alpha == 255) {
        blendRows(dst, dx, dy, src, sx, sy, width, height, FullAlphaStep{});
    } else {
        blendRows(dst, dx, dy, src, sx, sy, width, height,
                  PartialAlphaStep{_mm256_set1_epi16(static_cast<short>(alpha))});
    }
}

// Each pixel is read for its alpha byte, and filling a pixel twice changes nothing, so the ends of a row are
// overlapping full steps rather than masked ones where that can be: a masked access that straddles two cache
// lines is slow, and so is a load from a masked store's span until the store is done. For the same reason the
// overlapping steps load both their spans before they store.
void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
    const __m256i rgb = splat(color & rgbMask);
    const auto fill = [rgb](__m256i pixels) {
        return _mm256_or_si256(_mm256_and_si256(pixels, splat(alphaMask)), rgb);
    };
    const __m128i rgb4 = _mm256_castsi256_si128(rgb);
    const auto fill4 = [rgb4](__m128i pixels) {
        return _mm_or_si128(_mm_and_si128(pixels, _mm_set1_epi32(static_cast<int>(alphaMask))), rgb4);
    };
    loops::fillRows<std::uint32_t>(image, x, y, width, height, [&](std::uint32_t* row, int count) {
        if (count < 4) {
            for (int i = 0; i < count; ++i) {
                row[i] = (row[i] & alphaMask) | (color & rgbMask);
            }
        } else if (count < 8) {
            auto* const first = reinterpret_cast<__m128i*>(row);
            auto* const last = reinterpret_cast<__m128i*>(row + count - 4);
            const __m128i a = _mm_loadu_si128(first), b = _mm_loadu_si128(last);
            _mm_storeu_si128(first, fill4(a));
            _mm_storeu_si128(last, fill4(b));
        } else if (count < 16) {
            const __m256i a = load8(row), b = load8(row + count - 8);
            store8(row, fill(a));
            store8(row + count - 8, fill(b));
        } else {
            // The first eight, then the step from the first 32-byte boundary past the row's start, after
            // which every step is aligned.
            int i = 8 - static_cast<int>(reinterpret_cast<std::uintptr_t>(row) % 32 / sizeof(std::uint32_t));
            const __m256i a = load8(row), b = load8(row + i);
            store8(row, fill(a));
            store8(row + i, fill(b));
            for (i += 8; i + 8 <= count; i += 8) {
                store8(row + i, fill(load8(row + i)));
            }
            if (i < count) {
                const __m256i lanes = firstLanes(count - i);
                maskedStore(row + i, lanes, fill(maskedLoad(row + i, lanes)));
            }
        }
    });
}

} // namespace graphics::avx2

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
