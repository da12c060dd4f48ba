#include "host/System.h"

#include "host/SdlWindow.h"
#include "host/Testing.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <sstream>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace host {
namespace {

// The screen reported when no display can be started: the game's own size, in the depth it prefers.
constexpr int fallbackWidth = 640;
constexpr int fallbackHeight = 480;
constexpr int fallbackDepth = 32;

// "Key:   1234 kB" from /proc/meminfo, in bytes; 0 when the key is missing.
std::size_t meminfoBytes(const char* key) {
    std::ifstream file("/proc/meminfo");
    std::string line;
    const std::size_t keyLength = std::strlen(key);
    while (std::getline(file, line)) {
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength && line[keyLength] == ':') {
            std::istringstream fields(line.substr(keyLength + 1));
            unsigned long long kilobytes = 0;
            fields >> kilobytes;
            return static_cast<std::size_t>(kilobytes * 1024ULL);
        }
    }
    return 0;
}

// This process's address space: its limit when one is set, else what the architecture gives user code.
std::size_t addressSpaceSize() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        return static_cast<std::size_t>(limit.rlim_cur);
    }
    if constexpr (sizeof(void*) == 8) {
        return static_cast<std::size_t>(1) << 47;
    }
    return static_cast<std::size_t>(3) << 30;
}

std::size_t addressSpaceUsed() {
    std::ifstream file("/proc/self/statm");
    unsigned long long pages = 0;
    file >> pages;
    return static_cast<std::size_t>(pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE)));
}

// The leading numbers of a release text such as "6.1.0-18-amd64".
void parseRelease(const char* release, DWORD numbers[3]) {
    const char* cursor = release;
    for (int i = 0; i < 3; ++i) {
        numbers[i] = 0;
        if (*cursor < '0' || *cursor > '9') {
            return;
        }
        char* end = nullptr;
        numbers[i] = static_cast<DWORD>(std::strtoul(cursor, &end, 10));
        cursor = end;
        if (*cursor != '.') {
            return;
        }
        ++cursor;
    }
}

// Nice values that the priority classes set; reading maps a nice value back to the class whose band holds
// it.
int niceOf(DWORD priorityClass) {
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS:
        return 19;
    case BELOW_NORMAL_PRIORITY_CLASS:
        return 10;
    case NORMAL_PRIORITY_CLASS:
        return 0;
    case ABOVE_NORMAL_PRIORITY_CLASS:
        return -5;
    case HIGH_PRIORITY_CLASS:
        return -10;
    case REALTIME_PRIORITY_CLASS:
        return -20;
    default:
        return INT_MIN;
    }
}

DWORD classOf(int nice) {
    if (nice >= 15) {
        return IDLE_PRIORITY_CLASS;
    }
    if (nice >= 5) {
        return BELOW_NORMAL_PRIORITY_CLASS;
    }
    if (nice > -5) {
        return NORMAL_PRIORITY_CLASS;
    }
    if (nice > -10) {
        return ABOVE_NORMAL_PRIORITY_CLASS;
    }
    if (nice > -20) {
        return HIGH_PRIORITY_CLASS;
    }
    return REALTIME_PRIORITY_CLASS;
}

std::atomic<bool> displayRefused{false};

HandleObject& currentProcess() {
    static HandleObject process;
    return process;
}

struct DebugRecord {
    std::mutex lock;
    bool on = false;
    std::string texts;
};

DebugRecord& debugRecord() {
    static DebugRecord record;
    return record;
}

struct Screen {
    int width = fallbackWidth;
    int height = fallbackHeight;
    int depth = fallbackDepth;
};

Screen desktopScreen() {
    Screen screen;
    SDL_DisplayMode mode{};
    if (probeDisplay() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        screen.width = mode.w;
        screen.height = mode.h;
        // Bytes, not SDL's bits: a depth-24 X11 desktop has 4 bytes per pixel and draws as a 32-bit one.
        screen.depth = SDL_BYTESPERPIXEL(mode.format) * 8;
    }
    if (const char* forced = std::getenv("PIBBLES_DEPTH")) {
        const int depth = std::atoi(forced);
        if (depth == 16 || depth == 32) {
            screen.depth = depth;
        }
    }
    return screen;
}

} // namespace

void GetSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) {
        return;
    }
    *info = SYSTEM_INFO{};
#if defined(__x86_64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    info->dwProcessorType = PROCESSOR_AMD_X8664;
#elif defined(__i386__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#elif defined(__aarch64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#elif defined(__arm__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
#endif
    const long pageSize = sysconf(_SC_PAGESIZE);
    info->dwPageSize = pageSize > 0 ? static_cast<DWORD>(pageSize) : 4096;
    info->dwAllocationGranularity = std::max<DWORD>(info->dwPageSize, 65536);
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    info->dwNumberOfProcessors = processors > 0 ? static_cast<DWORD>(processors) : 1;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (status == nullptr) {
        return;
    }
    *status = MEMORYSTATUS{};
    struct sysinfo facts {};
    if (sysinfo(&facts) == 0) {
        const std::size_t unit = facts.mem_unit ? facts.mem_unit : 1;
        status->dwTotalPhys = static_cast<std::size_t>(facts.totalram) * unit;
        // Free memory alone leaves out the caches the kernel gives back on demand.
        const std::size_t available = meminfoBytes("MemAvailable");
        status->dwAvailPhys = available ? std::min(available, status->dwTotalPhys)
                                        : static_cast<std::size_t>(facts.freeram) * unit;
        status->dwTotalPageFile = status->dwTotalPhys + static_cast<std::size_t>(facts.totalswap) * unit;
        status->dwAvailPageFile = status->dwAvailPhys + static_cast<std::size_t>(facts.freeswap) * unit;
    }
    if (status->dwTotalPhys > 0) {
        const auto used = static_cast<unsigned long long>(status->dwTotalPhys - status->dwAvailPhys);
        status->dwMemoryLoad = static_cast<DWORD>(used * 100ULL / status->dwTotalPhys);
    }
    status->dwTotalVirtual = addressSpaceSize();
    const std::size_t used = addressSpaceUsed();
    status->dwAvailVirtual = used < status->dwTotalVirtual ? status->dwTotalVirtual - used : 0;
}

HANDLE GetProcessHeap() {
    // Stands for the allocator's heap; like the platform's, it is never closed.
    static HandleObject heap;
    return &heap;
}

std::size_t HeapCompact(HANDLE heap, DWORD) {
    if (heap == GetProcessHeap()) {
        malloc_trim(0);
    }
    return 0;
}

BOOL GetComputerName(char* buffer, DWORD* size) {
    if (size == nullptr || (buffer == nullptr && *size > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (testing::failsWithLastError("GetComputerName", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof(name) - 1) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const auto length = static_cast<DWORD>(std::strlen(name));
    if (*size < length + 1) {
        *size = length + 1;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(buffer, name, length + 1);
    *size = length;
    return TRUE;
}

BOOL GetVersionEx(OSVERSIONINFO* info) {
    if (info == nullptr || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFO) &&
                            info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEX))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (testing::failsWithLastError("GetVersionEx", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    utsname names{};
    if (uname(&names) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD numbers[3];
    parseRelease(names.release, numbers);
    info->dwMajorVersion = numbers[0];
    info->dwMinorVersion = numbers[1];
    info->dwBuildNumber = numbers[2];
    info->dwPlatformId = VER_PLATFORM_LINUX;
    std::snprintf(info->szCSDVersion, sizeof(info->szCSDVersion), "%s", names.release);
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEX)) {
        auto* extended = static_cast<OSVERSIONINFOEX*>(info);
        extended->wServicePackMajor = 0;
        extended->wServicePackMinor = 0;
        extended->wSuiteMask = 0;
        extended->wProductType = 0;
    }
    return TRUE;
}

std::string GetSystemName() {
    utsname names{};
    if (uname(&names) != 0) {
        return {};
    }
    return names.sysname;
}

HANDLE GetCurrentProcess() {
    return &currentProcess();
}

DWORD GetPriorityClass(HANDLE process) {
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // -1 is a valid nice value, so only errno tells a failure apart.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    return classOf(nice);
}

BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) {
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const int nice = niceOf(priorityClass);
    if (nice == INT_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (testing::failsWithLastError("SetPriorityClass", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    if (setpriority(PRIO_PROCESS, 0, nice) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

void OutputDebugString(const char* text) {
    if (text == nullptr) {
        return;
    }
    {
        DebugRecord& record = debugRecord();
        std::lock_guard guard(record.lock);
        if (record.on) {
            record.texts += text;
        }
    }
    if (std::getenv("PIBBLES_DEBUG") != nullptr) {
        std::fputs(text, stderr);
    }
}

namespace {

struct ProblemLog {
    std::mutex lock;
    std::string path;
};

ProblemLog& problemLog() {
    static ProblemLog log;
    return log;
}

// The XSI and the GNU strerror_r return different things; each overload reads its own.
[[maybe_unused]] const char* errorMessage(int result, const char* buffer) {
    return result == 0 ? buffer : "unknown error";
}
[[maybe_unused]] const char* errorMessage(const char* result, const char*) {
    return result != nullptr ? result : "unknown error";
}

} // namespace

void ReportProblem(const char* text) {
    if (text == nullptr) {
        return;
    }
    OutputDebugString(text);
    ProblemLog& log = problemLog();
    std::lock_guard guard(log.lock);
    if (log.path.empty()) {
        return;
    }
    std::FILE* file = std::fopen(log.path.c_str(), "a");
    if (file == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = {};
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
    }
    std::fputs(stamp, file);
    std::fputs(text, file);
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n') {
        std::fputc('\n', file);
    }
    std::fclose(file);
}

void SetProblemLog(const std::string& path) {
    ProblemLog& log = problemLog();
    std::lock_guard guard(log.lock);
    log.path.clear();
    for (const char c : path) {
        log.path += c == '\\' ? '/' : c;
    }
}

std::string systemErrorText(int error) {
    char buffer[256] = {};
    return errorMessage(::strerror_r(error, buffer, sizeof buffer), buffer);
}

DWORD readTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
    return static_cast<DWORD>(__rdtsc());
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto nanoseconds =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000000ULL + static_cast<std::uint64_t>(now.tv_nsec);
    return static_cast<DWORD>(nanoseconds);
#endif
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
    case HORZRES:
        return desktopScreen().width;
    case VERTRES:
        return desktopScreen().height;
    case BITSPIXEL:
        return desktopScreen().depth;
    default:
        return 0;
    }
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return desktopScreen().width;
    case SM_CYSCREEN:
        return desktopScreen().height;
    default:
        return 0;
    }
}

bool probeDisplay() {
    if (testing::shouldFail("probeDisplay")) {
        displayRefused = true;
        return false;
    }
    static std::mutex lock;
    static int started = -1;
    std::lock_guard guard(lock);
    // Video is never shut down and started again: some drivers do not survive a second start in one
    // process, and the window is made on this same subsystem later. It is started as the window starts it,
    // without SDL's own signal handlers: they would turn the system's request to end into a quit, which the
    // window takes for its close button.
    if (started < 0) {
        started = ensureVideo() ? 1 : 0;
        if (started == 0) {
            // The player's box says only that the game cannot play; the terminal and the log say why.
            const std::string why = "The display could not be started: " + videoFailure() + "\n";
            std::fputs(why.c_str(), stderr);
            ReportProblem(why.c_str());
        }
    }
    displayRefused = started == 0;
    return started == 1;
}

bool displayWasRefused() {
    return displayRefused;
}

namespace testing {

void recordDebugOutput(bool on) {
    DebugRecord& record = debugRecord();
    std::lock_guard guard(record.lock);
    record.on = on;
    if (!on) {
        record.texts.clear();
    }
}

std::string takeDebugOutput() {
    DebugRecord& record = debugRecord();
    std::lock_guard guard(record.lock);
    std::string texts;
    texts.swap(record.texts);
    return texts;
}

} // namespace testing

} // namespace host
