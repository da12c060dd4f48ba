#pragma once
// The ARGB8888 pixel loops of 32-bit images. Callers clip first: every rectangle lies inside both images.
// The blends keep the destination's alpha byte. Each loop locks the images it touches and writes nothing
// when a lock fails.

#include "engine/graphics/ImageBase.h"

#include <cstdint>

namespace graphics {

// The whole pixel, alpha included.
void BlitArgbCopy(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
void BlitArgbAlpha(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
void BlitArgbBlend(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha);
void BlitArgbAlphaBlend(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha);
// Rows addressed by the images' widths (memory images), alpha bytes included.
void CopyRectArgb(ImageBase& dst, int x, int y, ImageBase& src, int sx, int sy, int width, int height);

// Replaces the RGB and keeps the pixel's alpha byte.
void PutPixelArgb(ImageBase& image, int x, int y, std::uint32_t color);
void BlendPixelArgb(ImageBase& image, int x, int y, std::uint32_t color, int alpha);
void SetLanePixelArgb(ImageBase& image, int x, int y, int lane, int value);

void LineArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color);
void LineSetLaneArgb(ImageBase& image, int x1, int y1, int x2, int y2, int lane, int value);
void LineBlendArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color, int alpha);

// Keeps each pixel's own alpha byte.
void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color);
void FillBlendArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color, int alpha);
void SetLaneArgb(ImageBase& image, int x, int y, int width, int height, int lane, int value);
// x2 is exclusive; the whole span takes the alpha byte of its first pixel.
void SpanArgb(ImageBase& image, int x1, int x2, int y, std::uint32_t color);

// The fill's forms: the plain one is the reference the tests hold the others to, and the public fill calls
// the one of the highest level the processor runs (see SimdLevel.h).
namespace plain {
void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color);
} // namespace plain
#if defined(__SSE2__)
namespace avx2 {
void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color);
} // namespace avx2
namespace avx512 {
void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color);
} // namespace avx512
#endif

} // namespace graphics
