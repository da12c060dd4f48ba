#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// The two clocks the processor measurement reads: milliseconds and processor cycles (both wrap at 32
// bits), and how it lets time pass. Tests give their own, so that none waits out the seconds a real
// measurement takes.
struct CpuClocks {
    std::function<std::uint32_t()> milliseconds;
    std::function<std::uint32_t()> cycles;
    // Lets up to the given milliseconds pass without using the processor; false when the measurement is to
    // end at once. Without it the measurement watches the clock for the whole pass.
    std::function<bool(std::uint32_t)> pause;
};
// timeGetTime, the processor's cycle counter (which counts at its rated clock whether the processor works or
// sleeps) and Sleep.
CpuClocks systemCpuClocks();

// The family codes name releases of the platform the engine was first written for; every other system,
// this one included, gets this code.
constexpr std::int32_t otherOsCode = -1;

// The machine the program runs on, as the session record stores it.
struct SystemInfo {
    std::string computerName;
    std::string osName;
    std::int32_t osBuild = 0;
    std::int32_t osCode = otherOsCode;
    std::int32_t cpuType = 0;
    std::int32_t cpuMHz = 0;
    std::int32_t cpuCount = 0;
    std::int32_t directXVersion = 0;
    std::int32_t bitDepth = 0;
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;

    // Filled at once; measuring the processor takes one to five seconds on the real clocks.
    SystemInfo();
    explicit SystemInfo(const CpuClocks& clocks);
    // With the processor's clock measured already (ProcessorClock).
    explicit SystemInfo(std::int32_t measuredMHz);

    void fill(const CpuClocks& clocks = systemCpuClocks());
    void fillMeasured(std::int32_t measuredMHz);
};

// osName, osBuild and osCode: the system's name and kernel release, or "Unknown" with build 0.
void GetOSName(SystemInfo& record);

// The processor's clock in MHz, counted over passes of 501 ms at high priority: at most ten passes, ending
// early when a pass repeats the previous result. The bulk of each pass is paused through, the clock is
// watched only near its ends. When a pause asks to end, the last complete pass counts (0 before the first).
std::int32_t MeasureCpuMHz(const CpuClocks& clocks = systemCpuClocks());

} // namespace platform
