// The AVX-512 form of the fill: byte-masked stores write each pixel's three colour bytes and leave its alpha
// byte unread and unwritten, so the fill only stores, as a fill of whole pixels does. The stores are of
// 16 bytes, eight to a step, which drained faster than wider ones when measured; a row first steps to a
// 16-byte boundary, since a store across two cache lines costs about two.
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

// The colour bytes of four pixels, the alpha bytes being every fourth.
constexpr __mmask16 colorBytes = 0x7777;

// The colour bytes of the first 0..4 pixels.
__mmask16 colorBytesOf(int pixels) {
    return static_cast<__mmask16>(colorBytes & ((1u << (4 * pixels)) - 1));
}

void store4(std::uint32_t* p, __mmask16 bytes, __m128i color) {
    _mm_mask_storeu_epi8(p, bytes, color);
}

} // namespace

void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
    const __m128i colors = _mm_set1_epi32(static_cast<int>(color));
    loops::fillRows<std::uint32_t>(image, x, y, width, height, [colors](std::uint32_t* row, int count) {
        const auto toBoundary = static_cast<int>((0u - reinterpret_cast<std::uintptr_t>(row)) % 16 / 4);
        int i = std::min(count, toBoundary);
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
    });
}

} // namespace graphics::avx512

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
