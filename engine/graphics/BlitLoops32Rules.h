#pragma once
// What the plain and the SSE2 forms of the 32-bit painter's loops share: the per-pixel rules, which the
// SIMD forms also use for a row's odd last pixel, and the walk over locked rows.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageBase.h"

#include <algorithm>
#include <cstdint>

namespace graphics::blit32 {

constexpr std::uint32_t alphaMask = 0xFF000000u;
constexpr std::uint32_t rgbMask = 0x00FFFFFFu;
// The copy shortcut's alpha: an opaque source under u = 255 falls one short of 255.
constexpr int fullEffectiveAlpha = 254;

constexpr bool isLane(int lane) {
    return lane >= 0 && lane <= 3;
}
constexpr int laneShift(int lane) {
    return 24 - 8 * lane;
}
constexpr std::uint32_t laneMask(int lane) {
    return 0xFFu << laneShift(lane);
}

inline int effectiveAlpha(std::uint32_t alpha, int uniform) {
    return static_cast<int>(alpha) * uniform >> 8;
}
inline int pixelAlpha(std::uint32_t pixel, int uniform) {
    return effectiveAlpha(pixel >> 24, uniform);
}

inline int laneOf(std::uint32_t pixel, int shift) {
    return static_cast<int>(pixel >> shift & 0xFF);
}

// d + floor((s - d) * e / 256); the signed product is shifted arithmetically, so darker sources round down.
inline std::uint32_t floorLane(std::uint32_t dst, std::uint32_t src, int e, int shift) {
    const int d = laneOf(dst, shift);
    return static_cast<std::uint32_t>(d + ((laneOf(src, shift) - d) * e >> 8)) << shift;
}

inline std::uint32_t floorColor(std::uint32_t dst, std::uint32_t src, int e) {
    return floorLane(dst, src, e, 16) | floorLane(dst, src, e, 8) | floorLane(dst, src, e, 0);
}

inline std::uint32_t floorRgb(std::uint32_t dst, std::uint32_t src, int e) {
    return (dst & alphaMask) | floorColor(dst, src, e);
}

inline std::uint32_t floorArgb(std::uint32_t dst, std::uint32_t src, int e) {
    return floorLane(dst, src, e, 24) | floorColor(dst, src, e);
}

// d + ((s * u) >> 8) - ((d * u) >> 8), each product truncated by itself, saturated to a byte.
inline std::uint32_t pairLane(std::uint32_t dst, std::uint32_t src, int u, int shift) {
    const int d = laneOf(dst, shift);
    const int out = d + (laneOf(src, shift) * u >> 8) - (d * u >> 8);
    return static_cast<std::uint32_t>(std::clamp(out, 0, 255)) << shift;
}

inline std::uint32_t pairArgb(std::uint32_t dst, std::uint32_t src, int u) {
    return pairLane(dst, src, u, 24) | pairLane(dst, src, u, 16) | pairLane(dst, src, u, 8) |
           pairLane(dst, src, u, 0);
}

inline std::uint32_t maskedCopy(std::uint32_t dst, std::uint32_t src) {
    return (dst & alphaMask) | (src & rgbMask);
}

// The odd last pixel has no shortcuts: an opaque source under u = 255 is blended with 254 there.
inline std::uint32_t alphaUniformSingle(std::uint32_t dst, std::uint32_t src, int uniform) {
    return floorRgb(dst, src, pixelAlpha(src, uniform));
}

inline std::uint32_t channelFillSingle(std::uint32_t dst, std::uint8_t coverage, std::uint32_t color,
                                       int uniform) {
    const int e = effectiveAlpha(coverage, uniform);
    return e == 0 ? dst : floorRgb(dst, color, e);
}

inline std::uint32_t withLane(std::uint32_t dst, std::uint32_t value, int lane) {
    return (dst & ~laneMask(lane)) | value << laneShift(lane);
}

// Holds the locks of the two things a loop touches (locked once when they are one image), the second only
// read; ok() is false, with nothing left locked, when either lock fails.
template <class First, class Second> class Locks {
public:
    Locks(First& first, Second& second)
        : first(first), second(second),
          same(static_cast<const void*>(&first) == static_cast<const void*>(&second)) {
        firstLocked = first.lock();
        secondLocked = firstLocked && (same || second.lockForReading());
    }
    ~Locks() {
        if (secondLocked && !same) {
            second.unlock();
        }
        if (firstLocked) {
            first.unlock();
        }
    }
    Locks(const Locks&) = delete;
    Locks& operator=(const Locks&) = delete;

    bool ok() const { return secondLocked; }

private:
    First& first;
    Second& second;
    bool same;
    bool firstLocked = false;
    bool secondLocked = false;
};

inline std::uint32_t* pixelAt(ImageBase& image, int x, int y) {
    return static_cast<std::uint32_t*>(image.getPixels()) + image.pixelIndex(x, y);
}

// Rows step by the pitch in bytes, which may exceed the row's pixels.
inline std::uint32_t* nextRow(std::uint32_t* row, int pitch) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(row) + pitch);
}

// Calls row(destination, source, width) for each row of a rectangle of two locked images. Inlined by force,
// so that the row step is inlined too where the caller is compiled for a wider vector unit.
template <class Row>
[[gnu::always_inline]] inline void walkImages(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy,
                                              int width, int height, Row row) {
    const Locks locks(dst, src);
    if (!locks.ok()) {
        return;
    }
    std::uint32_t* d = pixelAt(dst, dx, dy);
    std::uint32_t* s = pixelAt(src, sx, sy);
    const int dstPitch = dst.getPitch();
    const int srcPitch = src.getPitch();
    for (int y = 0; y < height; ++y) {
        row(d, static_cast<const std::uint32_t*>(s), width);
        d = nextRow(d, dstPitch);
        s = nextRow(s, srcPitch);
    }
}

// Calls row(destination, buffer bytes, width) for each row of a rectangle of a locked image and buffer.
template <class Row>
void walkChannel(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width, int height,
                 Row row) {
    const Locks locks(dst, channel);
    if (!locks.ok()) {
        return;
    }
    std::uint32_t* d = pixelAt(dst, x, y);
    const std::uint8_t* c = channel.data() + cy * channel.getWidth() + cx;
    for (int line = 0; line < height; ++line) {
        row(d, c, width);
        d = nextRow(d, dst.getPitch());
        c += channel.getWidth();
    }
}

} // namespace graphics::blit32
