#include "engine/graphics/PixelLoopsArgb.h"

#include "engine/graphics/PixelLoopSupport.h"

#include <algorithm>
#include <cstring>

namespace graphics {

namespace {

using loops::blendArgb;
using loops::replaceRgb;
using loops::scaledAlpha;
using loops::ScopedLock;

std::uint32_t* pixelsOf(const ImageBase& image) {
    return static_cast<std::uint32_t*>(image.getPixels());
}

int rowStride(const ImageBase& image) {
    return image.getPitch() / 4;
}

int alphaOf(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

// ---- Rectangle blits ----

// Walks the rows of a blit, handing each row's first destination and source pixel to the row step.
template <class RowOp>
void blitRows(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int height, RowOp rowOp) {
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock srcLock(src);
    if (!srcLock) {
        return;
    }
    std::uint32_t* dstPixels = pixelsOf(dst);
    const std::uint32_t* srcPixels = pixelsOf(src);
    if (dstPixels == nullptr || srcPixels == nullptr) {
        return;
    }
    int d = dst.pixelIndex(dx, dy);
    int s = src.pixelIndex(sx, sy);
    for (int row = 0; row < height; ++row) {
        rowOp(dstPixels + d, srcPixels + s);
        d += rowStride(dst);
        s += rowStride(src);
    }
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

template <class PixelOp> void atPixel(ImageBase& image, int x, int y, PixelOp op) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    if (std::uint32_t* pixels = pixelsOf(image)) {
        std::uint32_t& pixel = pixels[image.pixelIndex(x, y)];
        pixel = op(pixel);
    }
}

// ---- Fills ----

template <class PixelOp> void eachPixel(ImageBase& image, int x, int y, int width, int height, PixelOp op) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint32_t* pixels = pixelsOf(image);
    if (pixels == nullptr) {
        return;
    }
    int index = image.pixelIndex(x, y);
    for (int row = 0; row < height; ++row) {
        for (int i = index; i < index + width; ++i) {
            pixels[i] = op(pixels[i]);
        }
        index += rowStride(image);
    }
}

// ---- Lines ----

template <class PixelOp> void lineOnPixels(ImageBase& image, int x1, int y1, int x2, int y2, PixelOp op) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint32_t* pixels = pixelsOf(image);
    if (pixels == nullptr) {
        return;
    }
    loops::walkLine(x1, y1, x2, y2, [&](int x, int y) {
        std::uint32_t& pixel = pixels[image.pixelIndex(x, y)];
        pixel = op(pixel);
    });
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
    ScopedLock dstLock(dst);
    if (!dstLock) {
        return;
    }
    ScopedLock srcLock(src);
    if (!srcLock) {
        return;
    }
    std::uint32_t* to = pixelsOf(dst);
    const std::uint32_t* from = pixelsOf(src);
    if (to == nullptr || from == nullptr) {
        return;
    }
    for (int row = 0; row < height; ++row) {
        std::memmove(to + (y + row) * dst.getWidth() + x, from + (sy + row) * src.getWidth() + sx,
                     sizeof(std::uint32_t) * width);
    }
}

void PutPixelArgb(ImageBase& image, int x, int y, std::uint32_t color) {
    atPixel(image, x, y, [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void BlendPixelArgb(ImageBase& image, int x, int y, std::uint32_t color, int alpha) {
    atPixel(image, x, y, [color, alpha](std::uint32_t pixel) { return blendArgb(pixel, color, alpha); });
}

void SetLanePixelArgb(ImageBase& image, int x, int y, int lane, int value) {
    atPixel(image, x, y, [lane, value](std::uint32_t pixel) { return withLane(pixel, lane, value); });
}

void LineArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color) {
    lineOnPixels(image, x1, y1, x2, y2, [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void LineSetLaneArgb(ImageBase& image, int x1, int y1, int x2, int y2, int lane, int value) {
    lineOnPixels(image, x1, y1, x2, y2,
                 [lane, value](std::uint32_t pixel) { return withLane(pixel, lane, value); });
}

void LineBlendArgb(ImageBase& image, int x1, int y1, int x2, int y2, std::uint32_t color, int alpha) {
    lineOnPixels(image, x1, y1, x2, y2,
                 [color, alpha](std::uint32_t pixel) { return blendArgb(pixel, color, alpha); });
}

void FillArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color) {
    eachPixel(image, x, y, width, height, [color](std::uint32_t pixel) { return replaceRgb(pixel, color); });
}

void FillBlendArgb(ImageBase& image, int x, int y, int width, int height, std::uint32_t color, int alpha) {
    eachPixel(image, x, y, width, height,
              [color, alpha](std::uint32_t pixel) { return blendArgb(pixel, color, alpha); });
}

void SetLaneArgb(ImageBase& image, int x, int y, int width, int height, int lane, int value) {
    eachPixel(image, x, y, width, height,
              [lane, value](std::uint32_t pixel) { return withLane(pixel, lane, value); });
}

void SpanArgb(ImageBase& image, int x1, int x2, int y, std::uint32_t color) {
    if (x2 <= x1) {
        return;
    }
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    std::uint32_t* pixels = pixelsOf(image);
    if (pixels == nullptr) {
        return;
    }
    std::uint32_t* span = pixels + image.pixelIndex(x1, y);
    // One value for the whole span, so every pixel takes the first one's alpha byte.
    std::fill_n(span, x2 - x1, replaceRgb(span[0], color));
}

} // namespace graphics
