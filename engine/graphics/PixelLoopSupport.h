#pragma once
// What the pixel loops of both depths share: holding the locks of one loop and reaching the pixels under
// them, the walk over rows, the blend rule per field and lane, and the Bresenham walk. Internal to the
// loops; painters call the loops, not these.

#include "engine/graphics/ImageBase.h"

#include <cstdint>
#include <cstdlib>

namespace graphics::loops {

// What a loop does with what it locks: a source that is only read keeps its content version.
enum class Access { Write, Read };

// Holds one lock of an image or channel buffer for the span of a loop and releases it only when it was
// taken, so a loop that returns early after a failed lock leaves every count balanced.
template <class Lockable> class ScopedLock {
public:
    explicit ScopedLock(Lockable& target, Access access = Access::Write)
        : target(target), locked(access == Access::Read ? target.lockForReading() : target.lock()) {}
    ~ScopedLock() {
        if (locked) {
            target.unlock();
        }
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

    explicit operator bool() const { return locked; }

private:
    Lockable& target;
    bool locked;
};

// Runs body under the locks of both, taken in this order; nothing runs when either lock fails. The first is
// written, the second only read. One image passed twice is locked twice (the 32-bit painter's own loops
// lock it once, see BlitLoops32Rules.h).
template <class First, class Second, class Body> void underLocks(First& first, Second& second, Body body) {
    ScopedLock firstLock(first);
    if (!firstLock) {
        return;
    }
    ScopedLock secondLock(second, Access::Read);
    if (!secondLock) {
        return;
    }
    body();
}

// The pixels of an image as the loops of its depth address them.
template <class Pixel> Pixel* pixelsOf(const ImageBase& image) {
    return static_cast<Pixel*>(image.getPixels());
}

// Pixels from one row to the next.
template <class Pixel> int rowStride(const ImageBase& image) {
    return image.getPitch() / static_cast<int>(sizeof(Pixel));
}

// Hands body the pixels of the locked image; nothing runs when the lock fails or the image has none.
template <class Pixel, class Body> void withPixels(ImageBase& image, Body body) {
    ScopedLock lock(image);
    if (!lock) {
        return;
    }
    if (Pixel* pixels = pixelsOf<Pixel>(image)) {
        body(pixels);
    }
}

// The same for a destination and a source, locked in that order; both must have pixels.
template <class Pixel, class Body> void withPixels(ImageBase& dst, ImageBase& src, Body body) {
    underLocks(dst, src, [&] {
        Pixel* to = pixelsOf<Pixel>(dst);
        const Pixel* from = pixelsOf<Pixel>(src);
        if (to != nullptr && from != nullptr) {
            body(to, from);
        }
    });
}

// Calls rowOp(d, s) with the index of each row's start in two buffers, each stepped by its own stride.
template <class RowOp> void walkRows(int d, int dStride, int s, int sStride, int height, RowOp rowOp) {
    for (int row = 0; row < height; ++row) {
        rowOp(d, s);
        d += dStride;
        s += sStride;
    }
}

// walkRows over the pixel indices of a blit's destination and source rectangles.
template <class Pixel, class RowOp>
void walkBlitRows(const ImageBase& dst, int dx, int dy, const ImageBase& src, int sx, int sy, int height,
                  RowOp rowOp) {
    walkRows(dst.pixelIndex(dx, dy), rowStride<Pixel>(dst), src.pixelIndex(sx, sy), rowStride<Pixel>(src),
             height, rowOp);
}

// Replaces one pixel by op(pixel) under the image's lock.
template <class Pixel, class PixelOp> void atPixel(ImageBase& image, int index, PixelOp op) {
    withPixels<Pixel>(image, [&](Pixel* pixels) { pixels[index] = op(pixels[index]); });
}

// Calls rowOp(first pixel, width) for each row of a rectangle of the locked image. Inlined by force, lock
// and all, so that the row step is inlined too where the caller is compiled for a wider vector unit.
template <class Pixel, class RowOp>
[[gnu::always_inline]] inline void fillRows(ImageBase& image, int x, int y, int width, int height,
                                            RowOp rowOp) {
    ScopedLock lock(image);
    Pixel* const pixels = lock ? pixelsOf<Pixel>(image) : nullptr;
    if (pixels == nullptr) {
        return;
    }
    int index = image.pixelIndex(x, y);
    const int stride = rowStride<Pixel>(image);
    for (int row = 0; row < height; ++row) {
        rowOp(pixels + index, width);
        index += stride;
    }
}

// Replaces each pixel of a rectangle by op(pixel).
template <class Pixel, class PixelOp>
void eachPixel(ImageBase& image, int x, int y, int width, int height, PixelOp op) {
    fillRows<Pixel>(image, x, y, width, height, [&](Pixel* row, int count) {
        for (int i = 0; i < count; ++i) {
            row[i] = op(row[i]);
        }
    });
}

// d + floor((s - d) * a / 256): the shift of the signed product rounds a darker source towards black.
inline int blendField(int d, int s, int a) {
    return d + (((s - d) * a) >> 8);
}

inline std::uint16_t blend565(std::uint16_t d, std::uint16_t s, int a) {
    const int r = blendField(d >> 11, s >> 11, a);
    const int g = blendField((d >> 5) & 0x3F, (s >> 5) & 0x3F, a);
    const int b = blendField(d & 0x1F, s & 0x1F, a);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

inline int laneOf(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// Blends the RGB lanes; the destination keeps its own alpha byte.
inline std::uint32_t blendArgb(std::uint32_t d, std::uint32_t s, int a) {
    const auto r = static_cast<std::uint32_t>(blendField(laneOf(d, 16), laneOf(s, 16), a));
    const auto g = static_cast<std::uint32_t>(blendField(laneOf(d, 8), laneOf(s, 8), a));
    const auto b = static_cast<std::uint32_t>(blendField(laneOf(d, 0), laneOf(s, 0), a));
    return (d & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

// The source's RGB under the destination's alpha byte.
inline std::uint32_t replaceRgb(std::uint32_t d, std::uint32_t s) {
    return (d & 0xFF000000u) | (s & 0x00FFFFFFu);
}

// The effective alpha of a per-pixel alpha under a uniform one: 255 with 255 gives 254.
inline int scaledAlpha(int a, int uniform) {
    return (a * uniform) >> 8;
}

// Bresenham from (x1, y1) towards (x2, y2). The far end is plotted after the walk rather than inside it,
// so equal end points still plot their one pixel.
template <class Plot> void walkLine(int x1, int y1, int x2, int y2, Plot plot) {
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const int stepX = x2 >= x1 ? 1 : -1;
    const int stepY = y2 >= y1 ? 1 : -1;
    int x = x1;
    int y = y1;
    if (dx >= dy) {
        int e = 2 * dy - dx;
        while (x != x2) {
            plot(x, y);
            if (e >= 0) {
                y += stepY;
                e -= 2 * dx;
            }
            e += 2 * dy;
            x += stepX;
        }
    } else {
        int e = 2 * dx - dy;
        while (y != y2) {
            plot(x, y);
            if (e >= 0) {
                x += stepX;
                e -= 2 * dy;
            }
            e += 2 * dx;
            y += stepY;
        }
    }
    plot(x2, y2);
}

// One lock around the whole line; each point is replaced by op(pixel).
template <class Pixel, class PixelOp>
void lineOnPixels(ImageBase& image, int x1, int y1, int x2, int y2, PixelOp op) {
    withPixels<Pixel>(image, [&](Pixel* pixels) {
        walkLine(x1, y1, x2, y2, [&](int x, int y) {
            Pixel& pixel = pixels[image.pixelIndex(x, y)];
            pixel = op(pixel);
        });
    });
}

} // namespace graphics::loops
