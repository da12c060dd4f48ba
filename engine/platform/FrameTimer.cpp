#include "engine/platform/FrameTimer.h"

#include "engine/kernel/SingleInstance.h"
#include "engine/platform/FrameRateDisplay.h"
#include "host/Files.h"
#include "host/Messages.h"
#include "host/System.h"
#include "host/Time.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

FrameTimer* theTimer = nullptr;

constexpr int highestRate = 1000;

} // namespace

// The frame-time file. A frame adds one short line to a large buffer, which reaches the file once a second
// (so the file can be read while the game runs) and when the file is closed: no frame pays for a write of
// its own, and the file is complete when the game ends normally.
class FrameTimesFile {
public:
    using Steady = std::chrono::steady_clock;
    using Wall = std::chrono::system_clock;

    explicit FrameTimesFile(std::FILE* file) : file(file), lastFlush(Steady::now()) {
        std::setvbuf(file, nullptr, _IOFBF, bufferSize);
        write("# frame <start: wall-clock s> <main thread's work: us> <dt: ms>; first <wall-clock s of the "
              "first frame presented>\n");
    }
    ~FrameTimesFile() { host::fclose(file); }
    FrameTimesFile(const FrameTimesFile&) = delete;
    FrameTimesFile& operator=(const FrameTimesFile&) = delete;

    void beginFrame() {
        wallStart = Wall::now();
        workStart = Steady::now();
    }
    void endFrame(std::uint32_t dt) {
        const Steady::time_point workEnd = Steady::now();
        const auto work = std::chrono::duration_cast<std::chrono::microseconds>(workEnd - workStart);
        const auto start =
            std::chrono::duration_cast<std::chrono::microseconds>(wallStart.time_since_epoch());
        char line[80];
        const int length = std::snprintf(line, sizeof line, "frame %lld.%06lld %lld %u\n",
                                         static_cast<long long>(start.count() / 1000000),
                                         static_cast<long long>(start.count() % 1000000),
                                         static_cast<long long>(work.count()), static_cast<unsigned>(dt));
        writeLine(line, length);
        if (!firstWritten) {
            firstWritten = true;
            writeFirstFrame();
        }
        if (workEnd - lastFlush >= flushEvery) {
            std::fflush(file);
            lastFlush = workEnd;
        }
    }

private:
    static constexpr std::size_t bufferSize = 1 << 16;
    static constexpr Steady::duration flushEvery = std::chrono::seconds(1);

    void write(const char* text) { host::fwrite(text, 1, std::char_traits<char>::length(text), file); }
    void writeLine(const char* line, int length) {
        if (length > 0) {
            host::fwrite(line, 1, static_cast<std::size_t>(length), file);
        }
    }
    // The moment the first frame was on the screen: its tick, presentation included, has just ended.
    void writeFirstFrame() {
        const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(Wall::now().time_since_epoch());
        char line[64];
        const int length = std::snprintf(line, sizeof line, "first %lld.%09lld\n",
                                         static_cast<long long>(now.count() / 1000000000),
                                         static_cast<long long>(now.count() % 1000000000));
        writeLine(line, length);
        // A script waiting for the first frame sees it at once.
        std::fflush(file);
        lastFlush = Steady::now();
    }

    std::FILE* file;
    Steady::time_point lastFlush;
    Steady::time_point workStart;
    Wall::time_point wallStart;
    bool firstWritten = false;
};

FrameTimer::FrameTimer() : now(host::timeGetTime()), lastStepTime(now), lastTickTime(now), windowStart(now) {
    if (const char* path = std::getenv(frameTimesVariable); path != nullptr && path[0] != '\0') {
        recordFrameTimes(path);
    }
}

FrameTimer::~FrameTimer() = default;

FrameTimer* FrameTimer::create() {
    return kernel::createSingleInstance(theTimer, [] { return new FrameTimer(); });
}

FrameTimer* FrameTimer::instance() {
    return theTimer;
}

void FrameTimer::destroy() {
    kernel::destroySingleInstance(theTimer);
}

bool FrameTimer::step() {
    // The raised timer resolution is held only for the step, so the pacing wait is accurate to a
    // millisecond without keeping the whole system at that resolution.
    host::timeBeginPeriod(1);
    if (!waitForFrameTime()) {
        // Messages arrived first (a close request, input): the loop reads them before any tick, and the
        // next step waits out the rest of this frame's time.
        host::timeEndPeriod(1);
        return false;
    }
    if (skipsWhileResting()) {
        lastStepTime = now;
        host::timeEndPeriod(1);
        return false;
    }
    woken = false;
    showFrameRate();
    // A long stall (a window drag, a modal box) must not throw every animation far ahead at once.
    const std::uint32_t dt = std::min(now - lastTickTime, longestTick);
    ++frameCount;
    measureRate();
    if (frameTimes) {
        frameTimes->beginFrame();
        notifyAll(dt);
        // A listener may have stopped the recording during its tick.
        if (frameTimes) {
            frameTimes->endFrame(dt);
        }
    } else {
        notifyAll(dt);
    }
    lastStepTime = now;
    lastTickTime = now;
    host::timeEndPeriod(1);
    return true;
}

// The frame-rate line changes by itself, so it keeps the timer from resting.
bool FrameTimer::skipsWhileResting() {
    if (!isResting() || woken || (display != nullptr && display->showsFrameRate())) {
        return false;
    }
    return now - lastTickTime < restTickFrames * frameTime;
}

void FrameTimer::noteFrameDrawn(bool drewSomething) {
    quietFrames = drewSomething ? 0 : std::min(quietFrames + 1, restAfterFrames);
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
    lastTickTime = now;
    windowStart = now;
    quietFrames = 0;
}

bool FrameTimer::recordFrameTimes(const std::string& path) {
    frameTimes.reset();
    std::FILE* file = host::fopen(path.c_str(), "w");
    if (file == nullptr) {
        host::OutputDebugString(
            ("FrameTimer: the frame-time file \"" + path + "\" cannot be written\n").c_str());
        return false;
    }
    frameTimes = std::make_unique<FrameTimesFile>(file);
    return true;
}

void FrameTimer::stopRecordingFrameTimes() {
    frameTimes.reset();
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

bool FrameTimer::waitForFrameTime() {
    now = host::timeGetTime();
    const std::uint32_t elapsed = now - lastStepTime;
    // One wait at most and no busy wait: a step that wakes a little early simply runs.
    if (elapsed >= frameTime) {
        return true;
    }
    const bool messages = host::MsgWaitForMultipleObjects(0, nullptr, host::FALSE, frameTime - elapsed,
                                                          host::QS_ALLINPUT) == host::WAIT_OBJECT_0;
    now = host::timeGetTime();
    return !messages;
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
