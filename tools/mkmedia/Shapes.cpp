#include "tools/mkmedia/Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// Enough vertices that a curve stays smooth at its size, few enough that small shapes stay cheap.
int segmentsFor(float radius) {
    return std::clamp(static_cast<int>(radius * 1.5f), 12, 160);
}

void addArc(Shape& shape, float cx, float cy, float rx, float ry, float a0, float a1, int segments) {
    for (int i = 0; i <= segments; ++i) {
        const float a = a0 + (a1 - a0) * static_cast<float>(i) / static_cast<float>(segments);
        shape.emplace_back(cx + rx * std::cos(a), cy + ry * std::sin(a));
    }
}

} // namespace

Shape ellipse(float cx, float cy, float rx, float ry) {
    Shape shape;
    const int segments = segmentsFor(std::max(rx, ry));
    for (int i = 0; i < segments; ++i) {
        const float a = 2.0f * pi * static_cast<float>(i) / static_cast<float>(segments);
        shape.emplace_back(cx + rx * std::cos(a), cy + ry * std::sin(a));
    }
    return shape;
}

Shape circle(float cx, float cy, float radius) {
    return ellipse(cx, cy, radius, radius);
}

Shape roundedRect(float x, float y, float w, float h, float radius) {
    const float r = std::clamp(radius, 0.0f, std::min(w, h) / 2.0f);
    if (r < 0.5f) {
        return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    }
    Shape shape;
    const int segments = std::max(3, segmentsFor(r) / 4);
    addArc(shape, x + w - r, y + r, r, r, -pi / 2, 0.0f, segments);
    addArc(shape, x + w - r, y + h - r, r, r, 0.0f, pi / 2, segments);
    addArc(shape, x + r, y + h - r, r, r, pi / 2, pi, segments);
    addArc(shape, x + r, y + r, r, r, pi, 1.5f * pi, segments);
    return shape;
}

Shape fluffyCircle(float cx, float cy, float rx, float ry, int tufts, float depth, float turn) {
    Shape shape;
    const int segments = std::max(segmentsFor(std::max(rx, ry)) * 2, tufts * 8);
    for (int i = 0; i < segments; ++i) {
        const float a = 2.0f * pi * static_cast<float>(i) / static_cast<float>(segments);
        // |sin| gives rounded tufts that meet in small notches, like fur seen from afar.
        const float swell =
            1.0f - depth + depth * std::abs(std::sin(a * static_cast<float>(tufts) / 2 + turn));
        shape.emplace_back(cx + rx * swell * std::cos(a), cy + ry * swell * std::sin(a));
    }
    return shape;
}

Shape arcBand(float cx, float cy, float radius, float thickness, float a0, float a1) {
    Shape shape;
    const float half = thickness / 2;
    const int segments = segmentsFor(radius);
    const int capSegments = std::max(4, segmentsFor(half) / 2);
    addArc(shape, cx, cy, radius + half, radius + half, a0, a1, segments);
    addArc(shape, cx + radius * std::cos(a1), cy + radius * std::sin(a1), half, half, a1, a1 + pi,
           capSegments);
    addArc(shape, cx, cy, radius - half, radius - half, a1, a0, segments);
    addArc(shape, cx + radius * std::cos(a0), cy + radius * std::sin(a0), half, half, a0 + pi, a0 + 2 * pi,
           capSegments);
    return shape;
}

Shape stroke(float x1, float y1, float x2, float y2, float thickness) {
    const float a = std::atan2(y2 - y1, x2 - x1);
    const float half = thickness / 2;
    const int capSegments = std::max(4, segmentsFor(half) / 2);
    Shape shape;
    addArc(shape, x2, y2, half, half, a - pi / 2, a + pi / 2, capSegments);
    addArc(shape, x1, y1, half, half, a + pi / 2, a + 1.5f * pi, capSegments);
    return shape;
}

} // namespace mkmedia
