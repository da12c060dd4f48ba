#pragma once
// The machine: processor, memory, computer name, operating-system version, process priority, the debugger
// channel, the processor's cycle counter, the screen's facts and the display probe.

#include "host/Types.h"

#include <cstddef>
#include <string>

namespace host {

constexpr std::uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr std::uint16_t PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr std::uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr std::uint16_t PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr std::uint16_t PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

struct SYSTEM_INFO {
    std::uint16_t wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    DWORD dwPageSize = 0;
    DWORD dwNumberOfProcessors = 0;
    // 0 on processors the platform had no number for.
    DWORD dwProcessorType = 0;
    DWORD dwAllocationGranularity = 0;
};
void GetSystemInfo(SYSTEM_INFO* info);

// Sizes in bytes; the page file is memory plus swap, virtual memory this process's address space.
struct MEMORYSTATUS {
    DWORD dwLength = sizeof(MEMORYSTATUS);
    // Per cent of physical memory in use.
    DWORD dwMemoryLoad = 0;
    std::size_t dwTotalPhys = 0;
    std::size_t dwAvailPhys = 0;
    std::size_t dwTotalPageFile = 0;
    std::size_t dwAvailPageFile = 0;
    std::size_t dwTotalVirtual = 0;
    std::size_t dwAvailVirtual = 0;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

// The process's heap, for HeapCompact.
HANDLE GetProcessHeap();
// Gives the heap's free pages back to the system (the allocator keeps what big temporary buffers, such as a
// decoded file's bytes, leave free); the largest free block left, or 0 when that is not known.
std::size_t HeapCompact(HANDLE heap, DWORD flags);

// size: the buffer's size in characters on entry; on success the name's length (without the terminator).
// A buffer too small fails with ERROR_BUFFER_OVERFLOW and size set to the length needed with the terminator.
BOOL GetComputerName(char* buffer, DWORD* size);

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
// Ours: a value the platform's own families never used, so no code mistakes this system for one of them.
constexpr DWORD VER_PLATFORM_LINUX = 0x4C4E;

// Filled from the kernel: major, minor and build are the release's first three numbers, szCSDVersion is
// the release text itself.
struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
struct OSVERSIONINFOEX : OSVERSIONINFO {
    OSVERSIONINFOEX() { dwOSVersionInfoSize = sizeof(OSVERSIONINFOEX); }
    std::uint16_t wServicePackMajor = 0;
    std::uint16_t wServicePackMinor = 0;
    std::uint16_t wSuiteMask = 0;
    std::uint8_t wProductType = 0;
    std::uint8_t wReserved = 0;
};
// dwOSVersionInfoSize says which of the two structures is passed; any other size fails
// (ERROR_INVALID_PARAMETER).
BOOL GetVersionEx(OSVERSIONINFO* info);
// The system's own name ("Linux"), which the version structure has no room for; empty when unknown.
std::string GetSystemName();

constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x40;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x80;
constexpr DWORD REALTIME_PRIORITY_CLASS = 0x100;
constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x4000;
constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;

// A handle that stands for this process; it is never closed.
HANDLE GetCurrentProcess();
// Classes map onto nice values of the calling thread; 0 on failure.
DWORD GetPriorityClass(HANDLE process);
// Raising the priority needs privilege: without it the call fails (ERROR_ACCESS_DENIED) and nothing changes.
BOOL SetPriorityClass(HANDLE process, DWORD priorityClass);

// Written to stderr only when the environment variable PIBBLES_DEBUG is set: players never see it.
void OutputDebugString(const char* text);

// A problem the player may need to know of later (a save that failed, a damaged or unreadable file): the
// debug output, and a line in the problem log once one is set. Callable from any thread.
void ReportProblem(const char* text);
// The file that ReportProblem appends its lines to, each after the local date and time; made on the first
// line, so a run without problems leaves none. An empty path stops the logging.
void SetProblemLog(const std::string& path);

// The system's text for an error number (errno).
std::string systemErrorText(int error);

// The low 32 bits of the processor's cycle counter (a nanosecond clock where the processor has none).
DWORD readTimeStampCounter();

// Any device context, null included, stands for the screen: the host has one.
using HDC = void*;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
int GetDeviceCaps(HDC dc, int index);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

// True when the display layer (SDL's video) starts with a driver that shows a window. The first real
// answer is kept, and video stays up until the process ends. A test can force false with
// failCall("probeDisplay"). A failure is told on stderr and in the problem log, with the reason.
bool probeDisplay();
// True once probeDisplay has answered false; never starts video itself.
bool displayWasRefused();

namespace testing {
// While on, OutputDebugString also keeps its texts here, whatever the environment says.
void recordDebugOutput(bool on);
// The texts kept since the last call, which clears them.
std::string takeDebugOutput();
} // namespace testing

} // namespace host
