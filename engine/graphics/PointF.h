#pragma once

#include <cmath>
#include <span>

namespace graphics {

// Nearest integer, halves to even (the rounding of the default floating-point environment).
inline int roundToInt(float value) {
    return static_cast<int>(std::nearbyint(value));
}

// The smallest integer not below the value.
inline int ceilToInt(float value) {
    return static_cast<int>(std::ceil(value));
}

// A point of two floats: positions in motion and the end points of lines and polygons.
class PointF {
public:
    constexpr PointF() = default;
    constexpr PointF(float x, float y) : x(x), y(y) {}

    constexpr float getX() const { return x; }
    constexpr void setX(float value) { x = value; }
    constexpr float getY() const { return y; }
    constexpr void setY(float value) { y = value; }
    int getRoundedX() const { return roundToInt(x); }
    int getRoundedY() const { return roundToInt(y); }

    friend constexpr bool operator==(const PointF&, const PointF&) = default;

private:
    float x = 0.0f;
    float y = 0.0f;
};

// A polygon's vertices in order; the last one joins the first.
using Polygon = std::span<const PointF>;

} // namespace graphics
