#pragma once

#include "engine/platform/ListenerList.h"

#include <cstdint>

namespace platform {

class FrameRateDisplay;

// Paces the main loop to a target rate and ticks the frame listeners once per step.
class FrameTimer : public ListenerList {
public:
    // Starts at 50 frames per second with the rate not yet measured.
    static FrameTimer* create();
    static FrameTimer* instance();
    static void destroy();

    // One frame: waits out the rest of the frame time, then ticks every listener.
    void step();
    // 0 (or less) runs unpaced; rates from 1000 up are held at 1000. Restarts the counting.
    void setFps(int n);
    // The rate measured over the last complete window; the first call switches measuring on.
    int getFps();

    int getTargetFps() const { return framesPerSecond; }
    std::uint32_t getFrameTime() const { return frameTime; }

    // Not owned; null shows nothing. The display must outlive the timer or be unset first.
    void setFrameRateDisplay(FrameRateDisplay* target) { display = target; }

    static constexpr kernel::ClassInfo classInfo{&ListenerList::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    FrameTimer();

    void showFrameRate();
    std::uint32_t waitForFrameTime();
    void measureRate();

    static constexpr std::uint32_t longestTick = 100;
    static constexpr std::uint32_t windowLength = 1000;

    FrameRateDisplay* display = nullptr;
    int measuredFps = 0;
    int framesPerSecond = 50;
    std::uint32_t frameCount = 0;
    std::uint32_t now;
    std::uint32_t lastStepTime;
    std::uint32_t measureWindow = 0;
    std::uint32_t windowStart;
    std::uint32_t windowStartFrames = 0;
    std::uint32_t frameTime = 20;
};

} // namespace platform
