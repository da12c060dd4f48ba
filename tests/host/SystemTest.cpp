#include "host/System.h"

#include "host/Testing.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

class HostSystem : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        unsetenv("PIBBLES_DEPTH");
    }
    void TearDown() override {
        host::testing::clearFailures();
        unsetenv("PIBBLES_DEPTH");
    }
};

TEST_F(HostSystem, ProcessorAndMemoryAreReported) {
    host::SYSTEM_INFO info;
    host::GetSystemInfo(&info);
    EXPECT_GE(info.dwNumberOfProcessors, 1u);
#if defined(__x86_64__)
    EXPECT_EQ(info.dwProcessorType, host::PROCESSOR_AMD_X8664);
    EXPECT_EQ(info.wProcessorArchitecture, host::PROCESSOR_ARCHITECTURE_AMD64);
#endif

    host::MEMORYSTATUS memory;
    host::GlobalMemoryStatus(&memory);
    EXPECT_GT(memory.dwTotalPhys, 0u);
    EXPECT_LE(memory.dwAvailPhys, memory.dwTotalPhys);
    EXPECT_GE(memory.dwTotalPageFile, memory.dwTotalPhys);
    EXPECT_LE(memory.dwMemoryLoad, 100u);
}

TEST_F(HostSystem, ComputerNameTellsTheSizeItNeeds) {
    char expected[256] = {};
    ASSERT_EQ(gethostname(expected, sizeof(expected) - 1), 0);
    const auto length = static_cast<host::DWORD>(std::strlen(expected));

    char small[1] = {'x'};
    host::DWORD size = sizeof(small);
    EXPECT_FALSE(host::GetComputerName(small, &size));
    EXPECT_EQ(host::GetLastError(), host::ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, length + 1);

    std::string name(size, '?');
    EXPECT_TRUE(host::GetComputerName(name.data(), &size));
    EXPECT_EQ(size, length);
    EXPECT_STREQ(name.c_str(), expected);

    EXPECT_FALSE(host::GetComputerName(name.data(), nullptr));
    EXPECT_EQ(host::GetLastError(), host::ERROR_INVALID_PARAMETER);
}

TEST_F(HostSystem, VersionComesFromTheKernelRelease) {
    utsname names{};
    ASSERT_EQ(uname(&names), 0);

    host::OSVERSIONINFOEX extended;
    ASSERT_TRUE(host::GetVersionEx(&extended));
    EXPECT_EQ(extended.dwPlatformId, host::VER_PLATFORM_LINUX);
    EXPECT_STREQ(extended.szCSDVersion, names.release);
    const std::string release =
        std::to_string(extended.dwMajorVersion) + "." + std::to_string(extended.dwMinorVersion) + ".";
    EXPECT_EQ(std::string(names.release).rfind(release, 0), 0u) << names.release;
    EXPECT_EQ(host::GetSystemName(), names.sysname);

    host::OSVERSIONINFO basic;
    EXPECT_TRUE(host::GetVersionEx(&basic));
    EXPECT_EQ(basic.dwBuildNumber, extended.dwBuildNumber);

    basic.dwOSVersionInfoSize = 12;
    EXPECT_FALSE(host::GetVersionEx(&basic));
    EXPECT_EQ(host::GetLastError(), host::ERROR_INVALID_PARAMETER);
}

TEST_F(HostSystem, PriorityClassRoundTripsOrFailsCleanly) {
    const host::HANDLE process = host::GetCurrentProcess();
    const host::DWORD before = host::GetPriorityClass(process);
    ASSERT_NE(before, 0u);
    // A raise needs privilege; when it is granted, reading gives back the class that was set.
    if (host::SetPriorityClass(process, host::HIGH_PRIORITY_CLASS)) {
        EXPECT_EQ(host::GetPriorityClass(process), host::HIGH_PRIORITY_CLASS);
    } else {
        EXPECT_EQ(host::GetLastError(), host::ERROR_ACCESS_DENIED);
        EXPECT_EQ(host::GetPriorityClass(process), before);
    }
    host::SetPriorityClass(process, before);

    host::testing::failCall("SetPriorityClass");
    EXPECT_FALSE(host::SetPriorityClass(process, host::NORMAL_PRIORITY_CLASS));
    EXPECT_FALSE(host::SetPriorityClass(process, 12345));
    EXPECT_EQ(host::GetLastError(), host::ERROR_INVALID_PARAMETER);
}

TEST_F(HostSystem, DisplayProbeAndScreenFacts) {
    EXPECT_TRUE(host::probeDisplay());
    EXPECT_GT(host::GetSystemMetrics(host::SM_CXSCREEN), 0);
    EXPECT_GT(host::GetSystemMetrics(host::SM_CYSCREEN), 0);
    // The dummy driver's desktop has 4 bytes per pixel, whatever SDL says its bit count is.
    EXPECT_EQ(host::GetDeviceCaps(nullptr, host::BITSPIXEL), 32);
    setenv("PIBBLES_DEPTH", "16", 1);
    EXPECT_EQ(host::GetDeviceCaps(nullptr, host::BITSPIXEL), 16);

    host::testing::failCall("probeDisplay");
    EXPECT_FALSE(host::probeDisplay());
    EXPECT_EQ(host::GetSystemMetrics(host::SM_CXSCREEN), 640);
    EXPECT_EQ(host::GetSystemMetrics(host::SM_CYSCREEN), 480);
    unsetenv("PIBBLES_DEPTH");
    EXPECT_EQ(host::GetDeviceCaps(nullptr, host::BITSPIXEL), 32);
    host::testing::clearFailures();
    EXPECT_TRUE(host::probeDisplay());
}

TEST_F(HostSystem, CycleCounterMoves) {
    const host::DWORD first = host::readTimeStampCounter();
    host::DWORD later = first;
    for (int i = 0; i < 1000000 && later == first; ++i) {
        later = host::readTimeStampCounter();
    }
    EXPECT_NE(later, first);
}

// Problems reach the log file only once one is set, each on its own stamped line, from the first problem on.
TEST_F(HostSystem, ProblemsGoToTheProblemLog) {
    const testsupport::TempDir dir;
    const std::string log = dir.file("log\\run.log");
    host::ReportProblem("before any log\n");
    host::SetProblemLog(log);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "log"));
    std::filesystem::create_directory(dir.path() / "log");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "log/run.log"));
    host::ReportProblem("Saving \"a.xml\" failed: No space left on device\n");
    host::ReportProblem("no line end");
    host::SetProblemLog("");
    host::ReportProblem("after the log\n");

    const std::string text = testsupport::TempDir::read((dir.path() / "log/run.log").string());
    EXPECT_TRUE(
        std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Saving "a.xml" failed: No )"
                                          R"(space left on device\n\S+ \S+ no line end\n)")))
        << text;
}

} // namespace
