#pragma once
// Positions and sizes of a text layout, summed in 64 bits and clamped back to the int range: markup can put
// the pen at any int ("[tabs=2147483647][tab]"), fonts and pictures bring sizes of their own, and the layout
// adds widths, heights and gaps to all of them.

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

} // namespace ui
