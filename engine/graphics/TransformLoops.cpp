#include "engine/graphics/TransformLoops.h"

#include "engine/graphics/PixelLoopSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace graphics {

namespace {

using loops::ScopedLock;

constexpr int fractionBits = 20;
// The bilinear weights keep only the top 8 of the position's fraction bits.
constexpr int weightShift = fractionBits - 8;
constexpr double fixedOne = 1048576.0;
// Fixed-point values the walks may reach; far below the 64-bit limit so that no sum of steps overflows.
constexpr double fixedLimit = 0x1p62;
// Truncated coordinates are held in 64 bits and clamped well inside them: anything that far away lies
// outside every image.
constexpr double coordinateLimit = 0x1p40;

// The pixel steps: each draws source pixel srcIndex onto destination pixel dstIndex.

// The two images' pixels, which every step draws between; not ready when either image has none.
template <class Pixel> class StepPixels {
public:
    StepPixels(ImageBase& dst, ImageBase& src)
        : dst(loops::pixelsOf<Pixel>(dst)), src(loops::pixelsOf<Pixel>(src)) {}
    bool ready() const { return dst != nullptr && src != nullptr; }

protected:
    Pixel* dst;
    const Pixel* src;
};

class Copy565 : public StepPixels<std::uint16_t> {
public:
    Copy565(MemoryImage& dst, MemoryImage& src) : StepPixels(dst, src) {}
    void operator()(int dstIndex, int srcIndex) const { dst[dstIndex] = src[srcIndex]; }
};

class Blend565 : public StepPixels<std::uint16_t> {
public:
    Blend565(MemoryImage& dst, MemoryImage& src, int alpha) : StepPixels(dst, src), alpha(alpha) {}
    void operator()(int dstIndex, int srcIndex) const {
        dst[dstIndex] = loops::blend565(dst[dstIndex], src[srcIndex], alpha);
    }

private:
    int alpha;
};

// The source's alpha byte lies at the same index as its pixel.
class AlphaBlend565 : public StepPixels<std::uint16_t> {
public:
    AlphaBlend565(MemoryImage& dst, MemoryImage& src, int alpha)
        : StepPixels(dst, src), srcAlpha(src.getAlphaBuffer()), alpha(alpha) {}
    bool ready() const { return StepPixels::ready() && srcAlpha != nullptr; }
    void operator()(int dstIndex, int srcIndex) const {
        const int e = loops::scaledAlpha(srcAlpha[srcIndex], alpha);
        if (e != 0) {
            dst[dstIndex] = loops::blend565(dst[dstIndex], src[srcIndex], e);
        }
    }

private:
    const std::uint8_t* srcAlpha;
    int alpha;
};

// The ARGB steps also draw a pixel handed to them by value (put), which is how a weighted pixel that is
// no single source pixel reaches them.

// Only the RGB travels: the destination keeps its alpha byte.
class CopyArgb : public StepPixels<std::uint32_t> {
public:
    using StepPixels::StepPixels;
    void operator()(int dstIndex, int srcIndex) const { put(dstIndex, src[srcIndex]); }
    void put(int dstIndex, std::uint32_t pixel) const {
        dst[dstIndex] = loops::replaceRgb(dst[dstIndex], pixel);
    }
};

class BlendArgb : public StepPixels<std::uint32_t> {
public:
    BlendArgb(ImageBase& dst, ImageBase& src, int alpha) : StepPixels(dst, src), alpha(alpha) {}
    void operator()(int dstIndex, int srcIndex) const { put(dstIndex, src[srcIndex]); }
    void put(int dstIndex, std::uint32_t pixel) const {
        dst[dstIndex] = loops::blendArgb(dst[dstIndex], pixel, alpha);
    }

private:
    int alpha;
};

class AlphaBlendArgb : public StepPixels<std::uint32_t> {
public:
    AlphaBlendArgb(ImageBase& dst, ImageBase& src, int alpha) : StepPixels(dst, src), alpha(alpha) {}
    void operator()(int dstIndex, int srcIndex) const { put(dstIndex, src[srcIndex]); }
    void put(int dstIndex, std::uint32_t pixel) const {
        const int e = loops::scaledAlpha(static_cast<int>(pixel >> 24), alpha);
        if (e != 0) {
            dst[dstIndex] = loops::blendArgb(dst[dstIndex], pixel, e);
        }
    }

private:
    int alpha;
};

// Half-open pixel bounds in 64 bits, so that no edge sum overflows whatever the caller passes.
struct Box {
    std::int64_t left;
    std::int64_t top;
    std::int64_t right;
    std::int64_t bottom;

    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
    bool isEmpty() const { return width() <= 0 || height() <= 0; }
};

Box boxOf(const kernel::Rect& rect) {
    return {rect.x, rect.y, std::int64_t{rect.x} + rect.w, std::int64_t{rect.y} + rect.h};
}

Box intersect(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Besides the clip, the image's own bounds: a clip reaching past the image must not write past it.
Box clipToImage(const Box& area, const kernel::Rect& clip, const ImageBase& image) {
    return intersect(intersect(area, boxOf(clip)), {0, 0, image.getWidth(), image.getHeight()});
}

// The samplings: how a walk turns its fixed-point position (u, v), lying in source pixel (column, row),
// into a call of the pixel step. Both are built from the step, the source and the bounds the position's
// neighbours are held to.

template <class Step> class Nearest {
public:
    Nearest(const Step& step, ImageBase& src, const Box&) : step(step), srcWidth(src.getWidth()) {}
    void operator()(int dstIndex, std::int64_t column, std::int64_t row, std::int64_t, std::int64_t) const {
        step(dstIndex, static_cast<int>(row * srcWidth + column));
    }

private:
    const Step& step;
    std::int64_t srcWidth;
};

int weightOf(std::int64_t position) {
    return static_cast<int>((position >> weightShift) & 0xFF);
}

// Each lane of the four pixels around the position (p00 p10 over p01 p11), weighted along the row first.
std::uint32_t weighFour(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11, int fx,
                        int fy) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int top = loops::blendField(loops::laneOf(p00, shift), loops::laneOf(p10, shift), fx);
        const int bottom = loops::blendField(loops::laneOf(p01, shift), loops::laneOf(p11, shift), fx);
        result |= static_cast<std::uint32_t>(loops::blendField(top, bottom, fy)) << shift;
    }
    return result;
}

// The right and lower neighbours are held to the bounds' last column and row, so a position on the last
// column or row reads nothing beyond it (a source rectangle never takes colour from pixels outside it).
template <class Step> class Bilinear {
public:
    Bilinear(const Step& step, ImageBase& src, const Box& bounds)
        : step(step), src(loops::pixelsOf<std::uint32_t>(src)), srcWidth(src.getWidth()),
          lastColumn(bounds.right - 1), lastRow(bounds.bottom - 1) {}
    void operator()(int dstIndex, std::int64_t column, std::int64_t row, std::int64_t u,
                    std::int64_t v) const {
        const std::int64_t nextColumn = std::min(column + 1, lastColumn);
        const std::uint32_t* upper = src + row * srcWidth;
        const std::uint32_t* lower = src + std::min(row + 1, lastRow) * srcWidth;
        step.put(dstIndex, weighFour(upper[column], upper[nextColumn], lower[column], lower[nextColumn],
                                     weightOf(u), weightOf(v)));
    }

private:
    const Step& step;
    const std::uint32_t* src;
    std::int64_t srcWidth;
    std::int64_t lastColumn;
    std::int64_t lastRow;
};

// Truncation towards zero that stays defined for values no int holds (and for NaN).
std::int64_t truncClamped(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::clamp(value, -coordinateLimit, coordinateLimit));
}

// Rotation: where the source's pixel (0, 0) lands, and the inverse mapping back into the source.

// The fixed-point source position (u, v) of the area's first pixel; it advances by (stepU, stepV) along a
// row and by (rowU, rowV) from one row to the next.
struct RotatedWalk {
    std::int64_t u;
    std::int64_t v;
    std::int64_t stepU;
    std::int64_t stepV;
    std::int64_t rowU;
    std::int64_t rowV;
};

// Pixels whose position falls outside the source are left alone.
template <class Draw>
void walkRotated(ImageBase& dst, const Box& area, RotatedWalk walk, int srcWidth, int srcHeight,
                 const Draw& draw) {
    for (auto y = static_cast<int>(area.top); y < area.bottom; ++y) {
        std::int64_t u = walk.u;
        std::int64_t v = walk.v;
        int dstIndex = dst.pixelIndex(static_cast<int>(area.left), y);
        for (auto x = area.left; x < area.right; ++x, ++dstIndex) {
            const std::int64_t column = u >> fractionBits;
            const std::int64_t row = v >> fractionBits;
            if (column >= 0 && column < srcWidth && row >= 0 && row < srcHeight) {
                draw(dstIndex, column, row, u, v);
            }
            u += walk.stepU;
            v += walk.stepV;
        }
        walk.u += walk.rowU;
        walk.v += walk.rowV;
    }
}

struct Turn {
    double cosine;
    double sine;
    double scale;
};

struct Pivot {
    std::int64_t x;
    std::int64_t y;
};

Pivot findPivot(int x, int y, int px, int py, const Turn& turn) {
    const double turnedX = (px * turn.cosine + py * turn.sine) * turn.scale;
    const double turnedY = (py * turn.cosine - px * turn.sine) * turn.scale;
    return {std::int64_t{x} + px - truncClamped(turnedX), std::int64_t{y} + py - truncClamped(turnedY)};
}

// The forward mapping of the four source corners, in single precision: the box's edges follow its rounding.
Box boundCorners(const Pivot& pivot, int width, int height, const Turn& turn) {
    const auto c = static_cast<float>(turn.cosine);
    const auto n = static_cast<float>(turn.sine);
    const auto s = static_cast<float>(turn.scale);
    float minX = 2147483648.0f;
    float minY = 2147483648.0f;
    float maxX = -2147483648.0f;
    float maxY = -2147483648.0f;
    const std::pair<int, int> corners[] = {{0, 0}, {width, 0}, {0, height}, {width, height}};
    for (const auto& [cx, cy] : corners) {
        const float fx = static_cast<float>(cx);
        const float fy = static_cast<float>(cy);
        const float mappedX = static_cast<float>(pivot.x) + s * (fx * c + fy * n);
        const float mappedY = static_cast<float>(pivot.y) + s * (fy * c - fx * n);
        minX = std::min(minX, mappedX);
        maxX = std::max(maxX, mappedX);
        minY = std::min(minY, mappedY);
        maxY = std::max(maxY, mappedY);
    }
    const std::int64_t left = truncClamped(minX);
    const std::int64_t top = truncClamped(minY);
    return {left, top, left + truncClamped(maxX - minX), top + truncClamped(maxY - minY)};
}

// The inverse steps are rounded to 20 fraction bits once, in double precision; the walk is then exact
// integer arithmetic. Gives up (false) when the walk could overflow 64 bits, which only absurd scales do.
bool setUpRotatedWalk(const Box& area, const Pivot& pivot, double angle, double scale, RotatedWalk& walk) {
    const double a = std::trunc(std::sin(-angle) / scale * fixedOne);
    const double b = std::trunc(std::cos(-angle) / scale * fixedOne);
    const double dx = static_cast<double>(area.left - pivot.x);
    const double dy = static_cast<double>(area.top - pivot.y);
    const double reach = (std::abs(dx) + static_cast<double>(area.width()) + std::abs(dy) +
                          static_cast<double>(area.height())) *
                         (std::abs(a) + std::abs(b));
    if (!(reach < fixedLimit)) {
        return false;
    }
    const auto stepA = static_cast<std::int64_t>(a);
    const auto stepB = static_cast<std::int64_t>(b);
    const std::int64_t startX = area.left - pivot.x;
    const std::int64_t startY = area.top - pivot.y;
    walk = {startX * stepB + startY * stepA, -startX * stepA + startY * stepB, stepB, -stepA, stepA, stepB};
    return true;
}

template <template <class> class Sampling, class Step, class Image, class... Alpha>
void rotate(Image& dst, const kernel::Rect& clip, int x, int y, int px, int py, Image& src, double angle,
            double scale, Alpha... alpha) {
    if (!std::isfinite(angle) || !std::isfinite(scale)) {
        return;
    }
    const ScopedLock dstLock(dst);
    const ScopedLock srcLock(src, loops::Access::Read);
    const Step step(dst, src, alpha...);
    if (!dstLock || !srcLock || !step.ready()) {
        return;
    }
    const Turn turn{std::cos(angle), std::sin(angle), scale};
    const Pivot pivot = findPivot(x, y, px, py, turn);
    const Box area = clipToImage(boundCorners(pivot, src.getWidth(), src.getHeight(), turn), clip, dst);
    RotatedWalk walk{};
    if (area.isEmpty() || !setUpRotatedWalk(area, pivot, angle, scale, walk)) {
        return;
    }
    const Sampling<Step> draw(step, src, {0, 0, src.getWidth(), src.getHeight()});
    walkRotated(dst, area, walk, src.getWidth(), src.getHeight(), draw);
}

template <class Step, class... Alpha>
void rotateArgb(bool smooth, ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                ImageBase& src, double angle, double scale, Alpha... alpha) {
    if (smooth) {
        rotate<Bilinear, Step>(dst, clip, x, y, px, py, src, angle, scale, alpha...);
    } else {
        rotate<Nearest, Step>(dst, clip, x, y, px, py, src, angle, scale, alpha...);
    }
}

// Scaling: the source rectangle comes from authored data, so it is held to the source image first.

struct StretchedWalk {
    std::int64_t u;
    std::int64_t v;
    std::int64_t stepX;
    std::int64_t stepY;
};

// Source pixels per destination pixel in 20 fraction bits; the ratio is taken in single precision.
std::int64_t stretchStep(std::int64_t sourceSize, std::int32_t targetSize) {
    const float ratio = static_cast<float>(sourceSize) / static_cast<float>(targetSize);
    return static_cast<std::int64_t>(ratio * 1048576.0f);
}

// Starts from the source rectangle's own corner, not from twice it, and a clipped area part of the way in.
StretchedWalk setUpStretchedWalk(const Box& area, const kernel::Rect& target, const Box& source) {
    const std::int64_t stepX = stretchStep(source.width(), target.w);
    const std::int64_t stepY = stretchStep(source.height(), target.h);
    return {(source.left << fractionBits) + (area.left - target.x) * stepX,
            (source.top << fractionBits) + (area.top - target.y) * stepY, stepX, stepY};
}

// A single-precision step may round up by a hair, so the last pixels of a wide target are held to the
// source rectangle's last column and row rather than reaching the next ones.
template <class Draw>
void walkStretched(ImageBase& dst, const Box& area, const StretchedWalk& walk, const Box& source,
                   const Draw& draw) {
    std::int64_t v = walk.v;
    for (auto y = static_cast<int>(area.top); y < area.bottom; ++y, v += walk.stepY) {
        const std::int64_t row = std::min(v >> fractionBits, source.bottom - 1);
        std::int64_t u = walk.u;
        int dstIndex = dst.pixelIndex(static_cast<int>(area.left), y);
        for (auto x = area.left; x < area.right; ++x, ++dstIndex, u += walk.stepX) {
            draw(dstIndex, std::min(u >> fractionBits, source.right - 1), row, u, v);
        }
    }
}

template <template <class> class Sampling, class Step, class Image, class... Alpha>
void stretch(Image& dst, const kernel::Rect& clip, const kernel::Rect& target, Image& src,
             const kernel::Rect& sourceRect, Alpha... alpha) {
    const ScopedLock dstLock(dst);
    const ScopedLock srcLock(src, loops::Access::Read);
    const Step step(dst, src, alpha...);
    if (!dstLock || !srcLock || !step.ready()) {
        return;
    }
    const Box area = clipToImage(boxOf(target), clip, dst);
    const Box source = intersect(boxOf(sourceRect), {0, 0, src.getWidth(), src.getHeight()});
    if (area.isEmpty() || source.isEmpty()) {
        return;
    }
    const Sampling<Step> draw(step, src, source);
    walkStretched(dst, area, setUpStretchedWalk(area, target, source), source, draw);
}

template <class Step, class... Alpha>
void stretchArgb(bool smooth, ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target,
                 ImageBase& src, const kernel::Rect& source, Alpha... alpha) {
    if (smooth) {
        stretch<Bilinear, Step>(dst, clip, target, src, source, alpha...);
    } else {
        stretch<Nearest, Step>(dst, clip, target, src, source, alpha...);
    }
}

} // namespace

void Rotate565Copy(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py, MemoryImage& src,
                   double angle, double scale) {
    rotate<Nearest, Copy565>(dst, clip, x, y, px, py, src, angle, scale);
}

void Rotate565Blend(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                    MemoryImage& src, double angle, double scale, int alpha) {
    rotate<Nearest, Blend565>(dst, clip, x, y, px, py, src, angle, scale, alpha);
}

void Rotate565AlphaBlend(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                         MemoryImage& src, double angle, double scale, int alpha) {
    rotate<Nearest, AlphaBlend565>(dst, clip, x, y, px, py, src, angle, scale, alpha);
}

void RotateArgbCopy(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py, ImageBase& src,
                    double angle, double scale, bool smooth) {
    rotateArgb<CopyArgb>(smooth, dst, clip, x, y, px, py, src, angle, scale);
}

void RotateArgbBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py, ImageBase& src,
                     double angle, double scale, int alpha, bool smooth) {
    rotateArgb<BlendArgb>(smooth, dst, clip, x, y, px, py, src, angle, scale, alpha);
}

void RotateArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                          ImageBase& src, double angle, double scale, int alpha, bool smooth) {
    rotateArgb<AlphaBlendArgb>(smooth, dst, clip, x, y, px, py, src, angle, scale, alpha);
}

void Stretch565Copy(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                    const kernel::Rect& source) {
    stretch<Nearest, Copy565>(dst, clip, target, src, source);
}

void Stretch565Blend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                     const kernel::Rect& source, int alpha) {
    stretch<Nearest, Blend565>(dst, clip, target, src, source, alpha);
}

void Stretch565AlphaBlend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target,
                          MemoryImage& src, const kernel::Rect& source, int alpha) {
    stretch<Nearest, AlphaBlend565>(dst, clip, target, src, source, alpha);
}

void StretchArgbCopy(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                     const kernel::Rect& source, bool smooth) {
    stretchArgb<CopyArgb>(smooth, dst, clip, target, src, source);
}

void StretchArgbBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                      const kernel::Rect& source, int alpha, bool smooth) {
    stretchArgb<BlendArgb>(smooth, dst, clip, target, src, source, alpha);
}

void StretchArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target,
                           ImageBase& src, const kernel::Rect& source, int alpha, bool smooth) {
    stretchArgb<AlphaBlendArgb>(smooth, dst, clip, target, src, source, alpha);
}

} // namespace graphics
