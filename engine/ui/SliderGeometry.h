#pragma once

#include "engine/graphics/PointF.h"

#include <cmath>
#include <limits>

namespace ui {

// Truncation towards zero that stays defined for any float: NaN gives 0 and values beyond the int range
// saturate, so a value set from outside (or a range of zero width) never reaches an undefined conversion.
inline int truncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr float lowest = static_cast<float>(std::numeric_limits<int>::min());
    // The largest float below 2^31; int max itself is not representable and would round up out of range.
    constexpr float highest = 2147483520.0f;
    if (value <= lowest) {
        return std::numeric_limits<int>::min();
    }
    if (value >= highest) {
        return static_cast<int>(highest);
    }
    return static_cast<int>(value);
}

// The point of the segment from a to b that lies closest to p. A segment of zero length is its start point,
// where the general formula would divide zero by zero.
inline graphics::PointF projectOntoSegment(graphics::PointF a, graphics::PointF b, graphics::PointF p) {
    const float abX = b.getX() - a.getX();
    const float abY = b.getY() - a.getY();
    const float t1 = (p.getX() - a.getX()) * abX + (p.getY() - a.getY()) * abY;
    if (t1 < 0.0f) {
        return a;
    }
    const float t2 = (p.getX() - b.getX()) * -abX + (p.getY() - b.getY()) * -abY;
    if (t2 < 0.0f) {
        return b;
    }
    const float total = t1 + t2;
    if (total == 0.0f) {
        return a;
    }
    return graphics::PointF(a.getX() + abX * t1 / total, a.getY() + abY * t1 / total);
}

} // namespace ui
