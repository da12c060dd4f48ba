#include "engine/platform/SystemInfo.h"
#include "engine/platform/DirectXProbe.h"
#include "engine/platform/ProcessorClock.h"

#include "host/System.h"
#include "host/Testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// A millisecond clock that moves one tick per reading, and a cycle counter that runs at a given rate per
// pass (one entry per pass; the last one repeats). Nothing waits for real.
struct FakeMachine {
    std::uint32_t now = 0;
    std::uint32_t cycleBase = 0;
    std::vector<std::uint32_t> mhzPerPass;
    int cycleReadings = 0;

    platform::CpuClocks clocks() {
        return platform::CpuClocks{[this] { return now++; }, [this] { return cycles(); }};
    }
    std::uint32_t cycles() {
        const std::size_t pass = static_cast<std::size_t>(cycleReadings++ / 2);
        const std::uint32_t mhz = mhzPerPass[std::min(pass, mhzPerPass.size() - 1)];
        return cycleBase + now * mhz * 1000u;
    }
    int passes() const { return cycleReadings / 2; }
};

class PlatformSystemInfo : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 0); }
    void TearDown() override {
        host::testing::clearFailures();
        host::testing::recordDebugOutput(false);
    }
};

TEST_F(PlatformSystemInfo, ProbeReportsTheDisplayLayer) {
    host::testing::recordDebugOutput(true);
    EXPECT_EQ(platform::GetDirectXVersion(), 0x801);
    EXPECT_EQ(host::testing::takeDebugOutput(), "");

    host::testing::failCall("probeDisplay");
    EXPECT_EQ(platform::GetDirectXVersion(), 0);
    EXPECT_EQ(host::testing::takeDebugOutput(), "Couldn't LoadLibrary DDraw\r\n");
}

// Passes run until two agree, ten at most. Each pass spans 501 ms of cycles, divided as 500 ms: 2000 MHz
// reads as 2004. The counters may wrap within a pass, and the process's priority is back afterwards.
TEST_F(PlatformSystemInfo, MeasurementEndsOnTwoEqualPassesOrAfterTen) {
    struct Case {
        std::vector<std::uint32_t> mhzPerPass;
        std::uint32_t now, cycleBase;
        int expected, passes;
    };
    std::vector<std::uint32_t> drifting;
    for (std::uint32_t mhz = 1000; mhz < 1012; ++mhz) {
        drifting.push_back(mhz);
    }
    const Case cases[] = {
        {{2000}, 0, 0, 2004, 2},
        {{1000, 1500, 1500}, 0, 0, 1503, 3},
        // The tenth pass counts at 1009 MHz.
        {drifting, 0, 0, 1011, 10},
        {{3000}, 0xFFFFFF00u, 0xFFFFFFFFu - 0x1000u, 3006, 2},
    };
    const host::DWORD priority = host::GetPriorityClass(host::GetCurrentProcess());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        FakeMachine machine{c.now, c.cycleBase, c.mhzPerPass};
        EXPECT_EQ(platform::MeasureCpuMHz(machine.clocks()), c.expected);
        EXPECT_EQ(machine.passes(), c.passes);
        EXPECT_EQ(host::GetPriorityClass(host::GetCurrentProcess()), priority);
    }
}

// Measured on a thread of its own from the start, the result waits for it; without a thread it is measured
// when asked for.
TEST_F(PlatformSystemInfo, TheProcessorClockIsMeasuredOnAThreadAndKept) {
    FakeMachine machine;
    machine.mhzPerPass = {2000};
    platform::ProcessorClock clock(machine.clocks());
    EXPECT_EQ(clock.megahertz(), 2004);
    EXPECT_EQ(clock.megahertz(), 2004);
    EXPECT_EQ(machine.passes(), 2) << "measured once";

    host::testing::failCall("CreateThread");
    FakeMachine threadless;
    threadless.mhzPerPass = {1500};
    platform::ProcessorClock fallback(threadless.clocks());
    EXPECT_EQ(threadless.passes(), 0);
    EXPECT_EQ(fallback.megahertz(), 1503);
}

// Most of each pass is paused through rather than watched; a pause that asks to end stops the measurement,
// and the passes complete by then count.
TEST_F(PlatformSystemInfo, PausesPassTheTimeAndMayEndTheMeasurement) {
    FakeMachine machine;
    machine.mhzPerPass = {2000, 1500};
    int pauses = 0;
    platform::CpuClocks clocks = machine.clocks();
    std::uint32_t reads = 0;
    clocks.milliseconds = [&] {
        ++reads;
        return machine.now++;
    };
    clocks.pause = [&](std::uint32_t ms) {
        if (++pauses == 2) {
            return false;
        }
        machine.now += ms;
        return true;
    };
    EXPECT_EQ(platform::MeasureCpuMHz(clocks), 2004);
    EXPECT_EQ(pauses, 2);
    EXPECT_LT(reads, 20u) << "the clock is watched only near the ends of a pass";
}

// The result is asked for when the game closes: a measurement still under way ends then, with no pass
// complete here (the millisecond clock hardly moves, so the first pass would outlast the test).
TEST_F(PlatformSystemInfo, AskingForTheClockEndsAMeasurementStillUnderWay) {
    FakeMachine machine;
    machine.mhzPerPass = {2000};
    platform::CpuClocks clocks = machine.clocks();
    clocks.pause = [](std::uint32_t) { return true; };
    platform::ProcessorClock clock(clocks);
    EXPECT_EQ(clock.megahertz(), 0);
    EXPECT_EQ(clock.megahertz(), 0);
}

// The other fields are the host's answers as they are; the measured and composed ones are checked here.
TEST_F(PlatformSystemInfo, FillGathersTheMachine) {
    FakeMachine machine;
    machine.mhzPerPass = {2500};
    const platform::SystemInfo info(machine.clocks());
    EXPECT_EQ(info.cpuMHz, 2505);
    host::OSVERSIONINFO version;
    ASSERT_TRUE(host::GetVersionEx(&version));
    EXPECT_EQ(info.osName, host::GetSystemName() + " " + version.szCSDVersion);
    EXPECT_EQ(info.osCode, platform::otherOsCode);
    EXPECT_EQ(info.directXVersion, 0x801);
    EXPECT_FALSE(info.computerName.empty());
    EXPECT_GT(info.cpuCount * info.screenWidth * info.screenHeight * info.bitDepth, 0);
}

TEST_F(PlatformSystemInfo, FailedQueriesLeaveTheDocumentedValues) {
    FakeMachine machine;
    machine.mhzPerPass = {1};
    platform::SystemInfo record(machine.clocks());
    host::OSVERSIONINFO basic;
    ASSERT_TRUE(host::GetVersionEx(&basic));

    // Only the extended structure refused: the basic one still gives the name.
    host::testing::failCall("GetVersionEx", -1, 1);
    platform::GetOSName(record);
    EXPECT_EQ(record.osName, host::GetSystemName() + " " + basic.szCSDVersion);
    EXPECT_EQ(record.osBuild, static_cast<std::int32_t>(basic.dwBuildNumber));

    host::testing::failCall("GetVersionEx");
    platform::GetOSName(record);
    EXPECT_EQ(record.osName, "Unknown");
    EXPECT_EQ(record.osBuild, 0);

    host::testing::failCall("GetComputerName");
    platform::SystemInfo nameless(machine.clocks());
    EXPECT_EQ(nameless.computerName, "");
}

} // namespace
