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

Shape star(float cx, float cy, float outer, float inner, int points, float turn) {
    Shape shape;
    for (int i = 0; i < points * 2; ++i) {
        const float r = i % 2 == 0 ? outer : inner;
        const float a = turn + pi * static_cast<float>(i) / static_cast<float>(points) - pi / 2;
        shape.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return shape;
}

Shape heart(float cx, float cy, float size) {
    // The classic parametric heart, scaled so that it is `size` wide.
    Shape shape;
    const int segments = segmentsFor(size) * 2;
    const float unit = size / 32.0f;
    for (int i = 0; i < segments; ++i) {
        const float t = 2.0f * pi * static_cast<float>(i) / static_cast<float>(segments);
        const float s = std::sin(t);
        const float x = 16 * s * s * s;
        const float y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        shape.emplace_back(cx + x * unit, cy - (y + 2) * unit);
    }
    return shape;
}

Shape leaf(float x1, float y1, float x2, float y2, float width) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float length = std::max(0.001f, std::hypot(dx, dy));
    // The normal, scaled to half the width.
    const float nx = -dy / length * width / 2;
    const float ny = dx / length * width / 2;
    Shape shape;
    const int segments = std::max(6, segmentsFor(length / 2));
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= segments; ++i) {
            const float t = static_cast<float>(side == 0 ? i : segments - i) / static_cast<float>(segments);
            const float bulge = std::sin(pi * t) * (side == 0 ? 1.0f : -1.0f);
            shape.emplace_back(x1 + dx * t + nx * bulge, y1 + dy * t + ny * bulge);
        }
    }
    return shape;
}

Shape curveBand(graphics::PointF a, graphics::PointF c, graphics::PointF b, float thickness) {
    const auto at = [&](float t) {
        const float u = 1 - t;
        return graphics::PointF(u * u * a.getX() + 2 * u * t * c.getX() + t * t * b.getX(),
                                u * u * a.getY() + 2 * u * t * c.getY() + t * t * b.getY());
    };
    const float length = std::hypot(c.getX() - a.getX(), c.getY() - a.getY()) +
                         std::hypot(b.getX() - c.getX(), b.getY() - c.getY());
    const int segments = std::max(4, segmentsFor(length / 2));
    const float half = thickness / 2;
    Shape left;
    Shape right;
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(segments);
        const graphics::PointF p = at(t);
        const graphics::PointF q = at(std::min(1.0f, t + 0.01f));
        const graphics::PointF o = at(std::max(0.0f, t - 0.01f));
        const float tx = q.getX() - o.getX();
        const float ty = q.getY() - o.getY();
        const float norm = std::max(0.0001f, std::hypot(tx, ty));
        left.emplace_back(p.getX() - ty / norm * half, p.getY() + tx / norm * half);
        right.emplace_back(p.getX() + ty / norm * half, p.getY() - tx / norm * half);
    }
    // Round caps: from one side round the end to the other, both ways sweeping through the direction the
    // band leaves in.
    const auto direction = [&](float t0, float t1) {
        const graphics::PointF p = at(t0);
        const graphics::PointF q = at(t1);
        return std::atan2(q.getY() - p.getY(), q.getX() - p.getX());
    };
    const float endAngle = direction(0.99f, 1.0f);
    const float startAngle = direction(0.0f, 0.01f);
    const int capSegments = std::max(4, segmentsFor(half) / 2);
    Shape shape = left;
    addArc(shape, b.getX(), b.getY(), half, half, endAngle + pi / 2, endAngle - pi / 2, capSegments);
    shape.insert(shape.end(), right.rbegin(), right.rend());
    addArc(shape, a.getX(), a.getY(), half, half, startAngle - pi / 2, startAngle - 1.5f * pi, capSegments);
    return shape;
}

Shape turned(Shape shape, float cx, float cy, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (graphics::PointF& point : shape) {
        const float x = point.getX() - cx;
        const float y = point.getY() - cy;
        point = graphics::PointF(cx + x * c - y * s, cy + x * s + y * c);
    }
    return shape;
}

Shape moved(Shape shape, float dx, float dy) {
    for (graphics::PointF& point : shape) {
        point = graphics::PointF(point.getX() + dx, point.getY() + dy);
    }
    return shape;
}

Shape scaled(Shape shape, float cx, float cy, float sx, float sy) {
    for (graphics::PointF& point : shape) {
        point = graphics::PointF(cx + (point.getX() - cx) * sx, cy + (point.getY() - cy) * sy);
    }
    return shape;
}

} // namespace mkmedia
