#pragma once

namespace ui {

// The ease of the motion modifiers: slow at both ends, 0.5 at the middle.
inline float smoothStep(float t) {
    return (3.0f - 2.0f * t) * t * t;
}

inline float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

// The time fraction of a timed modifier, eased when smooth. A duration of 0 or less counts as already
// over: elapsed / duration would be 0/0 in the first update.
inline float timeFraction(int elapsed, int duration, bool smooth) {
    const float t = duration > 0 ? static_cast<float>(elapsed) / static_cast<float>(duration) : 1.0f;
    return smooth ? smoothStep(t) : t;
}

} // namespace ui
