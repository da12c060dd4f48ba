#pragma once
// What the pixel loops of both depths share: holding a lock for one loop, the blend rule per field and
// lane, and the Bresenham walk. Internal to the loops; painters call the loops, not these.

#include <cstdint>
#include <cstdlib>

namespace graphics::loops {

// Holds one lock of an image or channel buffer for the span of a loop and releases it only when it was
// taken, so a loop that returns early after a failed lock leaves every count balanced.
template <class Lockable> class ScopedLock {
public:
    explicit ScopedLock(Lockable& target) : target(target), locked(target.lock()) {}
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

} // namespace graphics::loops
