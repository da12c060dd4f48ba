#include "engine/platform/SystemInfo.h"

#include "engine/platform/DirectXProbe.h"
#include "host/System.h"
#include "host/Time.h"

namespace platform {
namespace {

constexpr int maxPasses = 10;
// Waiting for the millisecond clock to move first starts each pass on a tick edge.
constexpr std::uint32_t tickEdgeWait = 2;
constexpr std::uint32_t passLength = 501;
// Cycles of one 500 ms pass per MHz; the extra millisecond of each pass is not divided out.
constexpr std::uint32_t cyclesPerMHz = 500000;
constexpr host::DWORD computerNameBufferSize = 1024;

// The last milliseconds before a pass ends are watched on the clock: a pause may overshoot a little.
constexpr std::uint32_t watchedEnd = 2;

// Waits until the clock is at least span past since (unsigned, so the clock may wrap) and puts the time
// it reached in *reached; false when a pause asked to end.
bool waitUntil(const CpuClocks& clocks, std::uint32_t since, std::uint32_t span, std::uint32_t* reached) {
    std::uint32_t time = clocks.milliseconds();
    while (time - since < span) {
        const std::uint32_t left = span - (time - since);
        if (clocks.pause && left > watchedEnd && !clocks.pause(left - watchedEnd)) {
            return false;
        }
        time = clocks.milliseconds();
    }
    *reached = time;
    return true;
}

// The pass's result, or -1 when it was asked to end.
std::int32_t measurePass(const CpuClocks& clocks) {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    if (!waitUntil(clocks, clocks.milliseconds(), tickEdgeWait, &start)) {
        return -1;
    }
    const std::uint32_t c0 = clocks.cycles();
    if (!waitUntil(clocks, start, passLength, &end)) {
        return -1;
    }
    const std::uint32_t c1 = clocks.cycles();
    return static_cast<std::int32_t>((c1 - c0) / cyclesPerMHz);
}

std::string nameOf(const host::OSVERSIONINFO& version) {
    if (version.dwPlatformId != host::VER_PLATFORM_LINUX) {
        return "Unknown";
    }
    std::string name = host::GetSystemName();
    const std::string release = version.szCSDVersion;
    if (!name.empty() && !release.empty()) {
        name += ' ';
    }
    name += release;
    return name.empty() ? "Unknown" : name;
}

void readProcessor(SystemInfo& record) {
    host::SYSTEM_INFO system;
    host::GetSystemInfo(&system);
    record.cpuType = static_cast<std::int32_t>(system.dwProcessorType);
    record.cpuCount = static_cast<std::int32_t>(system.dwNumberOfProcessors);
}

void readComputerName(SystemInfo& record) {
    char name[computerNameBufferSize] = {};
    host::DWORD size = computerNameBufferSize;
    if (host::GetComputerName(name, &size)) {
        record.computerName.assign(name, size);
    }
}

void readScreen(SystemInfo& record) {
    record.bitDepth = host::GetDeviceCaps(nullptr, host::BITSPIXEL);
    record.screenWidth = host::GetSystemMetrics(host::SM_CXSCREEN);
    record.screenHeight = host::GetSystemMetrics(host::SM_CYSCREEN);
}

} // namespace

CpuClocks systemCpuClocks() {
    return CpuClocks{host::timeGetTime, host::readTimeStampCounter, [](std::uint32_t ms) {
                         host::Sleep(ms);
                         return true;
                     }};
}

SystemInfo::SystemInfo() {
    fill();
}

SystemInfo::SystemInfo(const CpuClocks& clocks) {
    fill(clocks);
}

SystemInfo::SystemInfo(std::int32_t measuredMHz) {
    fillMeasured(measuredMHz);
}

void SystemInfo::fill(const CpuClocks& clocks) {
    fillMeasured(MeasureCpuMHz(clocks));
}

void SystemInfo::fillMeasured(std::int32_t measuredMHz) {
    readProcessor(*this);
    cpuMHz = measuredMHz;
    GetOSName(*this);
    readComputerName(*this);
    directXVersion = GetDirectXVersion();
    readScreen(*this);
}

void GetOSName(SystemInfo& record) {
    host::OSVERSIONINFOEX extended;
    host::OSVERSIONINFO basic;
    const host::OSVERSIONINFO* version = &extended;
    // Systems that know only the basic structure refuse the extended one.
    if (!host::GetVersionEx(&extended)) {
        if (!host::GetVersionEx(&basic)) {
            record.osName = "Unknown";
            record.osBuild = 0;
            return;
        }
        version = &basic;
    }
    record.osCode = otherOsCode;
    record.osName = nameOf(*version);
    record.osBuild = static_cast<std::int32_t>(version->dwBuildNumber);
}

std::int32_t MeasureCpuMHz(const CpuClocks& clocks) {
    const host::HANDLE process = host::GetCurrentProcess();
    const host::DWORD priority = host::GetPriorityClass(process);
    // Without the privilege to raise it the measurement runs at the usual priority, only less steadily.
    host::SetPriorityClass(process, host::HIGH_PRIORITY_CLASS);
    std::int32_t result = 0;
    for (int pass = 0; pass < maxPasses; ++pass) {
        const std::int32_t previous = result;
        const std::int32_t measured = measurePass(clocks);
        if (measured < 0) {
            break;
        }
        result = measured;
        if (result == previous) {
            break;
        }
    }
    if (priority != 0) {
        host::SetPriorityClass(process, priority);
    }
    return result;
}

} // namespace platform
