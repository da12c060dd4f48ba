#pragma once

#include <cstdint>

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

// One frame of a timed modifier that runs to a fixed end: it moves along, then its clock advances, clamped
// at the duration. The end values are set by the frame after the time has run out, which also finishes it.
template <typename FinishAtEnd, typename MoveAlong>
void stepTimed(bool& done, int& elapsedTime, int duration, std::uint32_t elapsed, FinishAtEnd finishAtEnd,
               MoveAlong moveAlong) {
    if (done) {
        finishAtEnd();
        return;
    }
    moveAlong();
    elapsedTime += static_cast<int>(elapsed);
    if (elapsedTime >= duration) {
        done = true;
        elapsedTime = duration;
    }
}

} // namespace ui
