#include "engine/platform/FrameTimer.h"

#include "engine/kernel/SingleInstance.h"
#include "engine/platform/FrameRateDisplay.h"
#include "host/Time.h"

#include <algorithm>
#include <climits>
#include <string>

namespace platform {
namespace {

FrameTimer* theTimer = nullptr;

constexpr int highestRate = 1000;

} // namespace

FrameTimer::FrameTimer() : now(host::timeGetTime()), lastStepTime(now), windowStart(now) {}

FrameTimer* FrameTimer::create() {
    return kernel::createSingleInstance(theTimer, [] { return new FrameTimer(); });
}

FrameTimer* FrameTimer::instance() {
    return theTimer;
}

void FrameTimer::destroy() {
    kernel::destroySingleInstance(theTimer);
}

void FrameTimer::step() {
    // The raised timer resolution is held only for the step, so the pacing sleep is accurate to a
    // millisecond without keeping the whole system at that resolution.
    host::timeBeginPeriod(1);
    showFrameRate();
    const std::uint32_t elapsed = waitForFrameTime();
    // A long stall (a window drag, a modal box) must not throw every animation far ahead at once.
    const std::uint32_t dt = std::min(elapsed, longestTick);
    ++frameCount;
    measureRate();
    notifyAll(dt);
    lastStepTime = now;
    host::timeEndPeriod(1);
}

void FrameTimer::setFps(int n) {
    // A negative rate would give a negative frame time that reads as a sleep of weeks: run unpaced instead.
    framesPerSecond = std::clamp(n, 0, highestRate);
    frameTime = framesPerSecond == 0 ? 0 : static_cast<std::uint32_t>(1000 / framesPerSecond);
    frameCount = 0;
    windowStartFrames = 0;
    measuredFps = 0;
    now = host::timeGetTime();
    lastStepTime = now;
    windowStart = now;
}

int FrameTimer::getFps() {
    if (measureWindow == 0) {
        measureWindow = windowLength;
    }
    return measuredFps;
}

void FrameTimer::showFrameRate() {
    if (display == nullptr || !display->showsFrameRate()) {
        return;
    }
    if (measureWindow == 0) {
        measureWindow = windowLength;
    }
    display->addDebugLine("FPS: " + std::to_string(measuredFps));
}

std::uint32_t FrameTimer::waitForFrameTime() {
    now = host::timeGetTime();
    std::uint32_t elapsed = now - lastStepTime;
    // One sleep at most and no busy wait: a step that wakes a little early simply runs.
    if (elapsed < frameTime) {
        host::Sleep(frameTime - elapsed);
        now = host::timeGetTime();
        elapsed = now - lastStepTime;
    }
    return elapsed;
}

void FrameTimer::measureRate() {
    const std::uint32_t windowTime = now - windowStart;
    if (measureWindow == 0 || windowTime < measureWindow) {
        return;
    }
    const std::uint32_t frames = frameCount - windowStartFrames;
    const double rate = static_cast<double>(frames) * (1000.0f / static_cast<double>(windowTime));
    measuredFps = rate >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rate);
    windowStartFrames = frameCount;
    windowStart = now;
}

} // namespace platform
