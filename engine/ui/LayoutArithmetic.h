#pragma once
// Positions and sizes of a text layout, summed in 64 bits and clamped back to the int range: markup can put
// the pen at any int ("[tabs=2147483647][tab]"), fonts and pictures bring sizes of their own, and the layout
// adds widths, heights and gaps to all of them. What is placed ends within the range too.

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ui {

inline int clampToInt(std::int64_t value) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

inline int addClamped(int a, int b) {
    return clampToInt(std::int64_t{a} + b);
}

// Where a thing of the width that should start at x starts so that its right edge stays within the int
// range: every caller adds the two.
inline int placedWithinRange(int x, int width) {
    return static_cast<int>(
        std::min<std::int64_t>(x, std::int64_t{std::numeric_limits<int>::max()} - std::max(width, 0)));
}

} // namespace ui
