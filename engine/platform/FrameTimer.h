#pragma once

#include "engine/platform/ListenerList.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class FrameRateDisplay;
class FrameTimesFile;

// Paces the main loop to a target rate and ticks the frame listeners once per step.
//
// A scene at rest draws nothing frame after frame, and ticking it at the full rate only costs processor
// time. Once the renderer has told of restAfterFrames quiet frames in a row, the timer rests: a step whose
// frame time is up ticks only when restTickFrames frame times have passed since the last tick, or at once
// when input arrived (wake); the listeners get the whole time since their last tick, so animations keep
// their speed. The first frame that draws again ends the rest.
//
// On request the timer writes how long each frame kept the main thread busy, for the benchmarks that
// watch the running game: a text file with a line "frame <start> <work> <dt>" per frame (the wall-clock
// seconds at which the frame's work began, the work in microseconds: the listeners' tick, the pacing
// sleep left out; and the frame's dt in ms), and once, after the first frame, "first <seconds>": the
// wall-clock moment the first frame had been presented. Lines starting with '#' are comments.
class FrameTimer : public ListenerList {
public:
    // Names the frame-time file; read once, when the timer is made.
    static constexpr const char* frameTimesVariable = "PIBBLES_FRAME_TIMES";

    // Starts at 50 frames per second with the rate not yet measured, writing the frame times when the
    // environment asks for them.
    static FrameTimer* create();
    static FrameTimer* instance();
    static void destroy();

    // Quiet frames in a row before the timer rests, and the frame times between its ticks while it rests
    // (their time stays within the longest tick a listener is given).
    static constexpr int restAfterFrames = 30;
    static constexpr std::uint32_t restTickFrames = 3;

    // One frame: waits out the rest of the frame time, then ticks every listener, unless the timer rests.
    // A message arriving for the main loop during the wait (a close request, input) ends the step at once
    // without a tick, so the loop reads it first; the next step waits what is left of the frame time.
    // True when the listeners were ticked.
    bool step();
    // Told by the renderer after each frame: whether it drew anything.
    void noteFrameDrawn(bool drewSomething);
    // Input arrived: the next step ticks, rest or not.
    void wake() { woken = true; }
    bool isResting() const { return quietFrames >= restAfterFrames; }
    // 0 (or less) runs unpaced; rates from 1000 up are held at 1000. Restarts the counting.
    void setFps(int n);
    // The rate measured over the last complete window; the first call switches measuring on.
    int getFps();

    int getTargetFps() const { return framesPerSecond; }
    std::uint32_t getFrameTime() const { return frameTime; }

    // Not owned; null shows nothing. The display must outlive the timer or be unset first.
    void setFrameRateDisplay(FrameRateDisplay* target) { display = target; }

    // Starts the frame-time file afresh at the path (an earlier one is completed first); false, and no
    // file, when it cannot be written.
    bool recordFrameTimes(const std::string& path);
    // Completes and closes the file; the timer's end does the same.
    void stopRecordingFrameTimes();
    bool isRecordingFrameTimes() const { return frameTimes != nullptr; }

    static constexpr kernel::ClassInfo classInfo{&ListenerList::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    FrameTimer();
    ~FrameTimer() override;

    void showFrameRate();
    // False when messages arrived for the main loop before the frame time was up.
    bool waitForFrameTime();
    bool skipsWhileResting();
    void measureRate();

    static constexpr std::uint32_t longestTick = 100;
    static constexpr std::uint32_t windowLength = 1000;

    FrameRateDisplay* display = nullptr;
    std::unique_ptr<FrameTimesFile> frameTimes;
    int measuredFps = 0;
    int framesPerSecond = 50;
    std::uint32_t frameCount = 0;
    std::uint32_t now;
    std::uint32_t lastStepTime;
    // The last step that ticked the listeners; equal to lastStepTime unless frames were skipped.
    std::uint32_t lastTickTime;
    int quietFrames = 0;
    bool woken = false;
    std::uint32_t measureWindow = 0;
    std::uint32_t windowStart;
    std::uint32_t windowStartFrames = 0;
    std::uint32_t frameTime = 20;
};

} // namespace platform
