#include "engine/graphics/PixelLoopsArgb.h"

#include "engine/graphics/PixelLoopSupport.h"
#include "engine/graphics/SimdLevel.h"

#include <algorithm>
#include <cstring>

namespace graphics {

namespace {

using loops::blendArgb;
using loops::replaceRgb;
using loops::scaledAlpha;

int alphaOf(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

// ---- Rectangle blits ----

// Walks the rows of a blit, handing each row's first destination and source pixel to the row step.
template <class RowOp>
void blitRows(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int height, RowOp rowOp) {
    loops::withPixels<std::uint32_t>(dst, src, [&](std::uint32_t* dstPixels, const std::uint32_t* srcPixels) {
        loops::walkBlitRows<std::uint32_t>(dst, dx, dy, src, sx, sy, height,
                                           [&](int d, int s) { rowOp(dstPixels + d, srcPixels + s); });
    });
}

template <class PixelOp>
void blitPixels(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                PixelOp op) {
    blitRows(dst, dx, dy, src, sx, sy, height, [&](std::uint32_t* to, const std::uint32_t* from) {
        for (int x = 0; x < width; ++x) {
            to[x] = op(to[x], from[x]);
        }
    });
}

// Opaque pixels are copied because the blend rule stops one step short of the source at 255.
std::uint32_t alphaPixel(std::uint32_t d, std::uint32_t s) {
    const int a = alphaOf(s);
    if (a == 0) {
        return d;
    }
    return a == 255 ? replaceRgb(d, s) : blendArgb(d, s, a);
}

std::uint32_t uniformPixel(std::uint32_t d, std::uint32_t s, int uniform) {
    return uniform == 255 ? replaceRgb(d, s) : blendArgb(d, s, uniform);
}

std::uint32_t alphaUniformPixel(std::uint32_t d, std::uint32_t s, int uniform) {
    const int e = scaledAlpha(alphaOf(s), uniform);
    return e == 0 ? d : blendArgb(d, s, e);
}

// ---- Pixels and lanes ----

// Lane 0 is alpha, then red, green and blue; a lane outside 0..3 is taken as blue.
int laneShift(int lane) {
    switch (lane) {
    case 0:
        return 24;
    case 1:
        return 16;
    case 2:
        return 8;
    default:
        return 0;
    }
}

std::uint32_t withLane(std::uint32_t pixel, int lane, int value) {
    const int shift = laneShift(lane);
    return (pixel & ~(0xFFu << shift)) | ((static_cast<std::uint32_t>(value) & 0xFFu) << shift);
}

} // namespace

void BlitArgbCopy(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    blitRows(dst, dx, dy, src, sx, sy, height, [width](std::uint32_t* to, const std::uint32_t* from) {
        std::memmove(to, from, sizeof(std::uint32_t) * width);
    });
}

void BlitArgbAlpha(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height) {
    blitPixels(dst, dx, dy, src, sx, sy, width, height, alphaPixel);
}

void BlitArgbBlend(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha) {
    if (alpha == 0) {
        return;
    }
    blitPixels(dst, dx, dy, src, sx, sy, width, height,
               [alpha](std::uint32_t d, std::uint32_t s) { return uniformPixel(d, s, alpha); });
}

void BlitArgbAlphaBlend(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha) {
    blitPixels(dst, dx, dy, src, sx, sy, width, height,
               [alpha](std::uint32_t d, std::uint32_t s) { return alphaUniformPixel(d, s, alpha); });
}

void CopyRectArgb(ImageBase& dst, int x, int y, ImageBase& src, int sx, int sy, int width, int height) {
    loops::withPixels<std::uint32_t>(dst, src, [&](std::uint32_t* to, const std::uint32_t* from) {
        loops::walkRows(y * dst.getWidth() + x, dst.getWidth(), sy * src.getWidth() + sx, src.getWidth(),
                        height,
                        [&](int d, int s) { std::memmove(to + d, from + s, sizeof(std::uint32_t) * width); });
    });
}

void PutPixelArgb(ImageBase& image, int x, int y, std::uint32_t color) {
    loops::atPixel<std::uint32_t>(image, image.pixelIndex(x, y),
                                  [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void BlendPixelArgb(ImageBase& image, int x, int y, std::uint32_t color, int alpha) {
    loops::atPixel<std::uint32_t>(image, image.pixelIndex(x, y), [color, alpha](std::uint32_t pixel) {
        return blendArgb(pixel, color, alpha);
    });
}

void SetLanePixelArgb(ImageBase& image, int x, int y, int lane, int value) {
    loops::atPixel<std::uint32_t>(image, image.pixelIndex(x, y), [lane, value](std::uint32_t pixel) {
        return withLane(pixel, lane, value);
    });
}

void LineArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color) {
    loops::lineOnPixels<std::uint32_t>(image, x1, y1, x2, y2,
                                       [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void LineSetLaneArgb(ImageBase& image, int x1, int y1, int x2, int y2, int lane, int value) {
    loops::lineOnPixels<std::uint32_t>(
        image, x1, y1, x2, y2, [lane, value](std::uint32_t pixel) { return withLane(pixel, lane, value); });
}

void LineBlendArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color, int alpha) {
    loops::lineOnPixels<std::uint32_t>(image, x1, y1, x2, y2, [color, alpha](std::uint32_t pixel) {
        return blendArgb(pixel, color, alpha);
    });
}

void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
#if defined(__SSE2__)
    switch (simdLevel()) {
    case SimdLevel::Avx512:
        avx512::FillArgb(image, x, y, width, height, color);
        return;
    case SimdLevel::Avx2:
        avx2::FillArgb(image, x, y, width, height, color);
        return;
    case SimdLevel::Sse2:
        break;
    }
#endif
    plain::FillArgb(image, x, y, width, height, color);
}

void plain::FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
    loops::eachPixel<std::uint32_t>(image, x, y, width, height,
                                    [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void FillBlendArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color, int alpha) {
    loops::eachPixel<std::uint32_t>(image, x, y, width, height, [color, alpha](std::uint32_t pixel) {
        return blendArgb(pixel, color, alpha);
    });
}

void SetLaneArgb(ImageBase& image, int x, int y, int width, int height, int lane, int value) {
    loops::eachPixel<std::uint32_t>(image, x, y, width, height, [lane, value](std::uint32_t pixel) {
        return withLane(pixel, lane, value);
    });
}

void SpanArgb(ImageBase& image, int x1, int x2, int y, std::uint32_t color) {
    if (x2 <= x1) {
        return;
    }
    loops::withPixels<std::uint32_t>(image, [&](std::uint32_t* pixels) {
        std::uint32_t* span = pixels + image.pixelIndex(x1, y);
        // One value for the whole span, so every pixel takes the first one's alpha byte.
        std::fill_n(span, x2 - x1, replaceRgb(span[0], color));
    });
}

} // namespace graphics
