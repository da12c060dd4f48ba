// The AVX-512 form of the fill: byte-masked stores write each pixel's three colour bytes and leave its alpha
// byte unread and unwritten, so the fill only stores, as a fill of whole pixels does. A row of some length
// takes stores of 16 bytes, eight to a step, which drained faster than wider ones when measured, after a
// first step to a 16-byte boundary, since a store across two cache lines costs about two.
//
// Only the functions below the pragma are compiled for AVX-512, for the reason PixelLoops32Avx2.cpp gives.

#include "engine/graphics/PixelLoopSupport.h"
#include "engine/graphics/PixelLoopsArgb.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)

#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,avx512f,avx512bw,avx512vl"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl")
#endif

namespace graphics::avx512 {

namespace {

// The colour bytes of eight pixels, the alpha bytes being every fourth.
constexpr std::uint32_t colorBytes = 0x77777777u;

// The colour bytes of the first 0..7 pixels.
std::uint32_t colorBytesOf(int pixels) {
    return colorBytes & ((1u << (4 * pixels)) - 1);
}

void store4(std::uint32_t* p, std::uint32_t bytes, __m128i colors) {
    _mm_mask_storeu_epi8(p, static_cast<__mmask16>(bytes), colors);
}
void store8(std::uint32_t* p, std::uint32_t bytes, __m256i colors) {
    _mm256_mask_storeu_epi8(p, bytes, colors);
}

// A short row, a glyph's say, takes 32-byte stores from where it starts: there fewer stores beat aligned
// ones.
void fillShortRow(std::uint32_t* row, int count, __m256i colors) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        store8(row + i, colorBytes, colors);
    }
    if (i < count) {
        store8(row + i, colorBytesOf(count - i), colors);
    }
}

void fillRow(std::uint32_t* row, int count, __m128i colors) {
    int i = std::min(count, static_cast<int>((0u - reinterpret_cast<std::uintptr_t>(row)) % 16 / 4));
    if (i > 0) {
        store4(row, colorBytesOf(i), colors);
    }
    for (; i + 32 <= count; i += 32) {
#pragma GCC unroll 8
        for (int step = 0; step < 32; step += 4) {
            store4(row + i + step, colorBytes, colors);
        }
    }
    for (; i + 4 <= count; i += 4) {
        store4(row + i, colorBytes, colors);
    }
    if (i < count) {
        store4(row + i, colorBytesOf(count - i), colors);
    }
}

} // namespace

void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
    constexpr int shortRow = 32;
    const __m256i colors = _mm256_set1_epi32(static_cast<int>(color));
    loops::fillRows<std::uint32_t>(image, x, y, width, height, [colors](std::uint32_t* row, int count) {
        if (count < shortRow) {
            fillShortRow(row, count, colors);
        } else {
            fillRow(row, count, _mm256_castsi256_si128(colors));
        }
    });
}

} // namespace graphics::avx512

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
