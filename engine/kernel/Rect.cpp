#include "engine/kernel/Rect.h"

#include <algorithm>

namespace kernel {

void Rect::setLeft(std::int32_t v) {
    w = right() - v;
    x = v;
}

void Rect::setTop(std::int32_t v) {
    h = bottom() - v;
    y = v;
}

bool Rect::intersects(const Rect& other) const {
    return intersects(other.x, other.y, other.w, other.h);
}

bool Rect::intersects(std::int32_t ox, std::int32_t oy, std::int32_t ow, std::int32_t oh) const {
    if (isEmpty() || ow < 1 || oh < 1) {
        return false;
    }
    return ox + ow > x && oy + oh > y && ox < right() && oy < bottom();
}

void Rect::intersect(const Rect& a, const Rect& b, Rect& out) {
    const std::int32_t left = std::max(a.x, b.x);
    const std::int32_t top = std::max(a.y, b.y);
    out.set(left, top, std::min(a.right(), b.right()) - left, std::min(a.bottom(), b.bottom()) - top);
}

void Rect::unionOf(const Rect& a, const Rect& b, Rect& out) {
    const std::int32_t left = std::min(a.x, b.x);
    const std::int32_t top = std::min(a.y, b.y);
    out.set(left, top, std::max(a.right(), b.right()) - left, std::max(a.bottom(), b.bottom()) - top);
}

} // namespace kernel
