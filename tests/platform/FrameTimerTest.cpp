#include "engine/platform/FrameTimer.h"
#include "engine/platform/FrameRateDisplay.h"
#include "host/Time.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using kernel::SmartPtr;
using platform::FrameTimer;
using platform::SceneComponent;

namespace {

using Log = std::vector<std::string>;

// Writes every frame operation as "<name> start", "<name> <dt>", "<name> stop" and "<name> gone".
class Recorder : public SceneComponent {
public:
    Recorder(std::string name, Log& log) : name(std::move(name)), log(log) {}
    ~Recorder() override { log.push_back(name + " gone"); }

    void onStart() override { log.push_back(name + " start"); }
    void onFrame(std::uint32_t ms) override {
        log.push_back(name + " " + std::to_string(ms));
        if (action) {
            std::exchange(action, nullptr)(*this);
        }
    }
    void onStop() override { log.push_back(name + " stop"); }

    std::string name;
    Log& log;
    // Runs once, inside the next onFrame.
    std::function<void(Recorder&)> action;
};

class Display : public platform::FrameRateDisplay {
public:
    bool showsFrameRate() const override { return on; }
    void addDebugLine(const std::string& line) override { lines.push_back(line); }

    bool on = false;
    std::vector<std::string> lines;
};

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::testing::useFakeClock(50000);
        timer = FrameTimer::create();
    }
    void TearDown() override {
        FrameTimer::destroy();
        host::testing::useRealClock();
    }

    SmartPtr<Recorder> listen(const std::string& name) {
        SmartPtr<Recorder> recorder(new Recorder(name, log));
        timer->addListener(recorder.get());
        return recorder;
    }
    // Steps and returns what the listeners wrote during the step.
    Log step() {
        log.clear();
        timer->step();
        return log;
    }

    Log log; // outlives the timer, which writes the last "stop" lines when TearDown destroys it
    FrameTimer* timer = nullptr;
};

TEST_F(FrameTimerTest, PacesToTheFrameTime) {
    struct Case {
        int requested, stored;
        std::uint32_t frameTime, idleBefore, slept, sleeps, dt;
    };
    const Case cases[] = {
        {60, 60, 16, 4, 12, 1, 16}, {60, 60, 16, 16, 0, 0, 16},  {60, 60, 16, 30, 0, 0, 30},
        {0, 0, 0, 0, 0, 0, 0},      {5000, 1000, 1, 0, 1, 1, 1}, {7, 7, 142, 100, 42, 1, 100},
        {-3, 0, 0, 0, 0, 0, 0},     {-3, 0, 0, 5, 0, 0, 5},
    };
    const auto recorder = listen("A");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.requested) + " fps after " + std::to_string(c.idleBefore) + " ms");
        timer->setFps(c.requested);
        EXPECT_EQ(timer->getTargetFps(), c.stored);
        EXPECT_EQ(timer->getFrameTime(), c.frameTime);
        host::testing::advanceFakeClock(c.idleBefore);
        const auto sleptBefore = host::testing::fakeSleptMilliseconds();
        const auto callsBefore = host::testing::fakeSleepCalls();
        const Log written = step();
        EXPECT_EQ(host::testing::fakeSleptMilliseconds() - sleptBefore, c.slept);
        EXPECT_EQ(host::testing::fakeSleepCalls() - callsBefore, c.sleeps);
        EXPECT_EQ(written.back(), "A " + std::to_string(c.dt));
    }
}

TEST_F(FrameTimerTest, StallIsCappedForEveryListener) {
    timer->setFps(60);
    const auto a = listen("A");
    const auto b = listen("B");
    EXPECT_EQ(step(), (Log{"A start", "A 16", "B start", "B 16"}));
    host::testing::advanceFakeClock(500);
    EXPECT_EQ(step(), (Log{"A 100", "B 100"}));
    host::testing::advanceFakeClock(100);
    EXPECT_EQ(step(), (Log{"A 100", "B 100"}));
}

TEST_F(FrameTimerTest, ListenerAddedDuringTheWalkIsTickedInTheSameFrame) {
    timer->setFps(0);
    const auto a = listen("A");
    SmartPtr<Recorder> late(new Recorder("L", log));
    a->action = [&](Recorder&) { timer->addListener(late.get()); };
    EXPECT_EQ(step(), (Log{"A start", "A 0", "L start", "L 0"}));
    EXPECT_TRUE(late->isRegistered());
    EXPECT_EQ(timer->listenerCount(), 2u);
}

TEST_F(FrameTimerTest, RemovalHandsOverToTheSuccessor) {
    timer->setFps(0);
    const auto a = listen("A");
    const auto b = listen("B");
    timer->addListener(a.get());
    SmartPtr<Recorder> successor(new Recorder("S", log));
    a->setSuccessor(successor.get());
    a->setRemoveRequested(true);

    EXPECT_EQ(step(), (Log{"A stop", "B start", "B 0", "S start", "S 0"}));
    EXPECT_FALSE(a->isRegistered());
    EXPECT_EQ(a->getSuccessor(), nullptr);
    EXPECT_EQ(a->referenceCount(), 1); // every entry of A was released
    EXPECT_EQ(timer->listenerCount(), 2u);
    EXPECT_EQ(step(), (Log{"B 0", "S 0"}));
}

TEST_F(FrameTimerTest, ListenerRemovingItselfWhileListedTwice) {
    timer->setFps(0);
    {
        const auto a = listen("A");
        timer->addListener(a.get());
        a->action = [](Recorder& self) { self.setRemoveRequested(true); };
    } // the list now holds the only references
    const auto b = listen("B");
    EXPECT_EQ(step(), (Log{"A start", "A 0", "A stop", "A gone", "B start", "B 0"}));
    EXPECT_EQ(timer->listenerCount(), 1u);
}

TEST_F(FrameTimerTest, DisabledListenerStartsInItsFirstEnabledFrame) {
    timer->setFps(0);
    const auto a = listen("A");
    a->setEnabled(false);
    EXPECT_TRUE(a->isRegistered());
    EXPECT_EQ(step(), Log{});
    EXPECT_EQ(step(), Log{});
    a->setEnabled(true);
    EXPECT_EQ(step(), (Log{"A start", "A 0"}));
    EXPECT_EQ(step(), (Log{"A 0"}));
}

TEST_F(FrameTimerTest, DestroyingTheTimerLetsEveryListenerGoOnce) {
    const auto a = listen("A");
    const auto b = listen("B");
    timer->addListener(a.get());
    EXPECT_EQ(FrameTimer::create(), timer);
    log.clear();
    FrameTimer::destroy();
    EXPECT_EQ(FrameTimer::instance(), nullptr);
    EXPECT_EQ(log, (Log{"A stop", "B stop"}));
    EXPECT_FALSE(a->isRegistered());
    EXPECT_EQ(a->referenceCount(), 1);
}

TEST_F(FrameTimerTest, RateIsMeasuredOverWholeWindowsOnceAsked) {
    timer->setFps(60);
    EXPECT_EQ(timer->getFps(), 0);
    for (int frame = 1; frame <= 62; ++frame) { // 992 ms: the window is not complete
        timer->step();
    }
    EXPECT_EQ(timer->getFps(), 0);
    timer->step(); // 63 frames in 1008 ms is 62.5, truncated
    EXPECT_EQ(timer->getFps(), 62);
    timer->setFps(60);
    EXPECT_EQ(timer->getFps(), 0);
}

TEST_F(FrameTimerTest, FrameRateLineReachesTheDisplayWhileItIsOn) {
    Display display;
    timer->setFrameRateDisplay(&display);
    timer->setFps(60);
    timer->step();
    EXPECT_TRUE(display.lines.empty());
    display.on = true; // switches measuring on without getFps
    for (int frame = 0; frame < 64; ++frame) {
        timer->step();
    }
    EXPECT_EQ(display.lines.front(), "FPS: 0");
    EXPECT_EQ(display.lines.back(), "FPS: 62");
    EXPECT_EQ(display.lines.size(), 64u);
}

// A scene at rest: once the renderer has told of enough quiet frames, the timer ticks only every few frame
// times, and the listeners get all the time that passed, so an animation keeps its speed; input gets its
// tick at once, and a frame that draws ends the rest.
TEST_F(FrameTimerTest, AtRestFramesAreSkippedWithoutSlowingAnimations) {
    timer->setFps(50);
    const auto recorder = listen("A");
    // Runs frame times (steps) and returns the listener's dts and the time that passed.
    const auto run = [&](int frames) {
        std::vector<std::uint32_t> dts;
        const std::uint32_t from = host::timeGetTime();
        for (int frame = 0; frame < frames; ++frame) {
            log.clear();
            const bool ticked = timer->step();
            EXPECT_EQ(ticked, !log.empty());
            for (const std::string& line : log) {
                if (line != "A start") {
                    dts.push_back(static_cast<std::uint32_t>(std::stoul(line.substr(2))));
                }
            }
            if (ticked) {
                timer->noteFrameDrawn(false);
            }
        }
        return std::pair(dts, host::timeGetTime() - from);
    };
    const auto [busy, busyTime] = run(FrameTimer::restAfterFrames);
    EXPECT_EQ(busy.size(), static_cast<std::size_t>(FrameTimer::restAfterFrames));
    EXPECT_EQ(busyTime, FrameTimer::restAfterFrames * 20u);
    ASSERT_TRUE(timer->isResting());

    const auto [resting, restTime] = run(30);
    EXPECT_EQ(restTime, 600u);
    EXPECT_EQ(resting, std::vector<std::uint32_t>(10, FrameTimer::restTickFrames * 20));
    EXPECT_LE(FrameTimer::restTickFrames * 20, 100u) << "a resting tick must not be cut short";

    // Input one frame time after a tick: the next step ticks, with the time since the last tick.
    EXPECT_FALSE(timer->step());
    timer->wake();
    EXPECT_EQ(step(), (Log{"A 40"}));
    EXPECT_TRUE(timer->isResting()) << "input alone draws nothing";
    EXPECT_FALSE(timer->step());

    // A frame that draws ends the rest at once.
    timer->noteFrameDrawn(true);
    EXPECT_FALSE(timer->isResting());
    EXPECT_EQ(step(), (Log{"A 40"}));
    EXPECT_EQ(step(), (Log{"A 20"}));

    // The frame-rate line changes every frame, so it is drawn at the full rate even at rest.
    for (int frame = 0; frame < FrameTimer::restAfterFrames; ++frame) {
        timer->noteFrameDrawn(false);
    }
    Display display;
    display.on = true;
    timer->setFrameRateDisplay(&display);
    EXPECT_EQ(step(), (Log{"A 20"}));
    timer->setFrameRateDisplay(nullptr);
    EXPECT_FALSE(timer->step());
    // A new rate starts afresh, at the full rate.
    timer->setFps(60);
    EXPECT_FALSE(timer->isResting());
}

// The frame-time file as a script reads it.
struct FrameTimes {
    struct Frame {
        double start = 0;
        long long workUs = -1;
        unsigned dt = 0;
    };
    std::vector<Frame> frames;
    std::vector<double> firsts;
    // The number of frame lines before each "first" line.
    std::vector<std::size_t> firstAfter;
    std::vector<std::string> unreadable;
};

FrameTimes readFrameTimes(const std::string& path) {
    FrameTimes times;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind.empty() || kind[0] == '#') {
            continue;
        }
        if (kind == "frame") {
            FrameTimes::Frame frame;
            if (words >> frame.start >> frame.workUs >> frame.dt && (words >> std::ws).eof()) {
                times.frames.push_back(frame);
                continue;
            }
        } else if (kind == "first") {
            double at = 0;
            if (words >> at && (words >> std::ws).eof()) {
                times.firsts.push_back(at);
                times.firstAfter.push_back(times.frames.size());
                continue;
            }
        }
        times.unreadable.push_back(line);
    }
    return times;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The timer as the game makes it, with the frame-time file asked for through the environment.
class FrameTimesTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::testing::useFakeClock(50000);
        path = dir.file("frames.txt");
        setenv(FrameTimer::frameTimesVariable, path.c_str(), 1);
        timer = FrameTimer::create();
        unsetenv(FrameTimer::frameTimesVariable);
        timer->setFps(60);
        timer->addListener(recorder.get());
    }
    void TearDown() override {
        FrameTimer::destroy();
        host::testing::useRealClock();
    }
    // Steps with the frame time gone by in between, so each tick gets 16 ms, or more when asked.
    void steps(int count, std::uint32_t idle = 16) {
        for (int i = 0; i < count; ++i) {
            host::testing::advanceFakeClock(idle);
            timer->step();
        }
    }

    testsupport::TempDir dir;
    std::string path;
    Log log;
    SmartPtr<Recorder> recorder{new Recorder("A", log)};
    FrameTimer* timer = nullptr;
};

TEST_F(FrameTimesTest, OneLinePerFrameWithTheFirstFrameMarkedAndCompleteAtTheEnd) {
    ASSERT_TRUE(timer->isRecordingFrameTimes());
    const double before = wallSeconds();
    steps(1);
    // The first frame is in the file at once, while the game still runs.
    FrameTimes running = readFrameTimes(path);
    ASSERT_EQ(running.frames.size(), 1u);
    ASSERT_EQ(running.firsts.size(), 1u);

    steps(4);
    steps(1, 250); // a stall: the tick gets the capped dt, and the file says so
    FrameTimer::destroy();
    const double after = wallSeconds();

    const FrameTimes times = readFrameTimes(path);
    EXPECT_TRUE(times.unreadable.empty()) << times.unreadable.front();
    ASSERT_EQ(times.frames.size(), 6u);
    Log ticks;
    for (const FrameTimes::Frame& frame : times.frames) {
        EXPECT_GE(frame.start, before - 0.001);
        EXPECT_LE(frame.start, after + 0.001);
        EXPECT_GE(frame.workUs, 0);
        ticks.push_back("A " + std::to_string(frame.dt));
    }
    EXPECT_EQ(ticks, (Log{"A 16", "A 16", "A 16", "A 16", "A 16", "A 100"}));
    for (std::size_t i = 1; i < times.frames.size(); ++i) {
        EXPECT_GE(times.frames[i].start, times.frames[i - 1].start);
    }
    ASSERT_EQ(times.firsts.size(), 1u);
    EXPECT_EQ(times.firstAfter.front(), 1u) << "written once, right after the first frame";
    EXPECT_GE(times.firsts.front(), times.frames.front().start);
    EXPECT_LE(times.firsts.front(), times.frames[1].start + 0.001);
}

TEST_F(FrameTimesTest, AFileThatCannotBeWrittenLeavesTheTimerRunningWithout) {
    steps(2);
    EXPECT_FALSE(timer->recordFrameTimes(dir.file("missing/folder/frames.txt")));
    EXPECT_FALSE(timer->isRecordingFrameTimes());
    steps(2);
    EXPECT_EQ(readFrameTimes(path).frames.size(), 2u) << "the earlier file was completed";

    // A new file starts afresh, with its own first frame.
    const std::string again = dir.file("again.txt");
    ASSERT_TRUE(timer->recordFrameTimes(again));
    steps(3);
    timer->stopRecordingFrameTimes();
    steps(1);
    const FrameTimes times = readFrameTimes(again);
    EXPECT_EQ(times.frames.size(), 3u);
    EXPECT_EQ(times.firsts.size(), 1u);
    EXPECT_TRUE(times.unreadable.empty());
}

TEST_F(FrameTimesTest, AListenerMayEndTheRecordingDuringItsTick) {
    steps(2);
    recorder->action = [this](Recorder&) { timer->stopRecordingFrameTimes(); };
    steps(2);
    EXPECT_FALSE(timer->isRecordingFrameTimes());
    EXPECT_EQ(readFrameTimes(path).frames.size(), 2u);
}

TEST(FrameTimesUnasked, NoFileWithoutTheEnvironmentsRequest) {
    unsetenv(FrameTimer::frameTimesVariable);
    FrameTimer* timer = FrameTimer::create();
    EXPECT_FALSE(timer->isRecordingFrameTimes());
    FrameTimer::destroy();
    setenv(FrameTimer::frameTimesVariable, "", 1);
    timer = FrameTimer::create();
    EXPECT_FALSE(timer->isRecordingFrameTimes()) << "an empty name asks for nothing";
    FrameTimer::destroy();
    unsetenv(FrameTimer::frameTimesVariable);
}

} // namespace
