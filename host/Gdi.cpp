#include "host/Gdi.h"

#include "host/DisplayInternal.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

namespace host {
namespace {

struct DeviceContext {
    gdi::SurfacePixels target;
    int backgroundMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
};

// Contexts alive now: a handle that is not one of them is refused rather than followed.
std::mutex& contextsLock() {
    static std::mutex lock;
    return lock;
}
std::set<DeviceContext*>& contexts() {
    static std::set<DeviceContext*> live;
    return live;
}

DeviceContext* contextOf(HDC dc) {
    std::lock_guard guard(contextsLock());
    auto it = contexts().find(static_cast<DeviceContext*>(dc));
    return it == contexts().end() ? nullptr : *it;
}

// Colours as the surface stores them: RGB565, or XRGB8888 with an opaque alpha byte.
std::uint32_t nativeColor(const gdi::SurfacePixels& target, COLORREF color) {
    const std::uint32_t r = GetRValue(color);
    const std::uint32_t g = GetGValue(color);
    const std::uint32_t b = GetBValue(color);
    if (target.bytesPerPixel == 2) {
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    }
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

struct Clip {
    int left;
    int top;
    int right;
    int bottom;
};

Clip intersect(const Clip& a, const Clip& b) {
    return Clip{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

void putPixel(const gdi::SurfacePixels& target, int x, int y, std::uint32_t value) {
    BYTE* at = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch +
               static_cast<std::ptrdiff_t>(x) * target.bytesPerPixel;
    if (target.bytesPerPixel == 2) {
        const auto pixel = static_cast<std::uint16_t>(value);
        std::memcpy(at, &pixel, sizeof pixel);
    } else {
        std::memcpy(at, &value, sizeof value);
    }
}

void fill(const gdi::SurfacePixels& target, const Clip& area, std::uint32_t value) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            putPixel(target, x, y, value);
        }
    }
}

// Stores the colour's RGB in one of the context's colours; the colour it held before, or CLR_INVALID.
COLORREF replaceColor(HDC dc, COLORREF DeviceContext::*colour, COLORREF color) {
    DeviceContext* context = contextOf(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    return std::exchange(context->*colour, color & 0x00FFFFFF);
}

} // namespace

namespace gdi {

HDC openContext(const SurfacePixels& target) {
    auto* context = new DeviceContext{target};
    std::lock_guard guard(contextsLock());
    contexts().insert(context);
    return context;
}

void closeContext(HDC dc) {
    auto* context = static_cast<DeviceContext*>(dc);
    {
        std::lock_guard guard(contextsLock());
        if (contexts().erase(context) == 0) {
            return;
        }
    }
    delete context;
}

} // namespace gdi

int SetBkMode(HDC dc, int mode) {
    DeviceContext* context = contextOf(dc);
    if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int previous = context->backgroundMode;
    context->backgroundMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return replaceColor(dc, &DeviceContext::textColor, color);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    return replaceColor(dc, &DeviceContext::backgroundColor, color);
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx) {
    DeviceContext* context = contextOf(dc);
    if (context == nullptr || (text == nullptr && count > 0)) {
        return FALSE;
    }
    const gdi::SurfacePixels& target = context->target;
    Clip clip{0, 0, target.width, target.height};
    if (rect) {
        const Clip given{rect->left, rect->top, rect->right, rect->bottom};
        if (options & ETO_OPAQUE) {
            fill(target, intersect(clip, given), nativeColor(target, context->backgroundColor));
        }
        if (options & ETO_CLIPPED) {
            clip = intersect(clip, given);
        }
    }
    const std::uint32_t ink = nativeColor(target, context->textColor);
    const std::uint32_t paper = nativeColor(target, context->backgroundColor);
    // Positions are kept in 64 bits: a long text far off the surface must not wrap around onto it.
    long long penX = x;
    for (UINT i = 0; i < count; ++i) {
        const long long advance = dx ? dx[i] : fontCellWidth;
        if (penX >= clip.right && advance >= 0) {
            break;
        }
        if (penX + fontCellWidth > clip.left && penX < clip.right) {
            const int cellX = static_cast<int>(penX);
            const Clip cell{std::max(clip.left, cellX), static_cast<int>(std::max<long long>(clip.top, y)),
                            std::min(clip.right, cellX + fontCellWidth),
                            static_cast<int>(std::min<long long>(clip.bottom, 1LL * y + fontCellHeight))};
            if (context->backgroundMode == OPAQUE) {
                fill(target, cell, paper);
            }
            const BYTE* glyph = fontGlyph(static_cast<unsigned char>(text[i]));
            for (int row = cell.top; row < cell.bottom; ++row) {
                const BYTE bits = glyph[row - y];
                for (int column = cell.left; column < cell.right; ++column) {
                    if (bits & (0x80 >> (column - cellX))) {
                        putPixel(target, column, row, ink);
                    }
                }
            }
        }
        penX += advance;
    }
    return TRUE;
}

} // namespace host
