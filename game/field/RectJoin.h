#pragma once

#include "engine/kernel/Rect.h"

namespace game {

// The smallest rectangle holding both; an empty one adds nothing (the engine's union would stretch the
// result to an empty rectangle's corner, which for a sprite off the screen is the corner of the board).
inline kernel::Rect joinRects(const kernel::Rect& a, const kernel::Rect& b) {
    if (b.isEmpty()) {
        return a;
    }
    if (a.isEmpty()) {
        return b;
    }
    kernel::Rect both;
    kernel::Rect::unionOf(a, b, both);
    return both;
}

} // namespace game
