#pragma once

#include <cstdint>

namespace kernel {

// An integer rectangle covering columns x..x+w-1 and rows y..y+h-1. Sizes may be negative
// (the intersection of disjoint rectangles); callers test the result with isEmpty.
struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;

    constexpr Rect() = default;
    constexpr Rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) : x(x), y(y), w(w), h(h) {}

    void set(std::int32_t newX, std::int32_t newY, std::int32_t newW, std::int32_t newH) {
        x = newX;
        y = newY;
        w = newW;
        h = newH;
    }

    // One past the last covered column and row.
    constexpr std::int32_t right() const { return x + w; }
    constexpr std::int32_t bottom() const { return y + h; }
    constexpr std::int32_t centerX() const { return x + w / 2; }
    constexpr std::int32_t centerY() const { return y + h / 2; }

    // Move one edge and keep the opposite one.
    void setLeft(std::int32_t v);
    void setTop(std::int32_t v);
    void setRight(std::int32_t v) { w = v - x; }
    void setBottom(std::int32_t v) { h = v - y; }

    constexpr bool isEmpty() const { return w < 1 || h < 1; }

    // Rectangles that only touch along an edge do not intersect; an empty one intersects nothing.
    bool intersects(const Rect& other) const;
    bool intersects(std::int32_t ox, std::int32_t oy, std::int32_t ow, std::int32_t oh) const;

    // Not clamped: disjoint rectangles give a zero or negative size.
    static void intersect(const Rect& a, const Rect& b, Rect& out);
    // Empty rectangles are not skipped: they still widen the union to their corner.
    static void unionOf(const Rect& a, const Rect& b, Rect& out);
    void unite(const Rect& other, Rect& out) const { unionOf(*this, other, out); }
    // The smallest rectangle holding both, where an empty one adds nothing (unionOf would stretch the result
    // to its corner, for a rectangle off the screen somewhere far away): for gathering areas one by one.
    static Rect joined(const Rect& a, const Rect& b) {
        if (b.isEmpty()) {
            return a;
        }
        if (a.isEmpty()) {
            return b;
        }
        Rect both;
        unionOf(a, b, both);
        return both;
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

} // namespace kernel
