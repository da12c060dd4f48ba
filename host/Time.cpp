#include "host/Time.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include <sys/time.h>

namespace host {
namespace {

std::atomic<bool> fakeClockOn{false};
std::atomic<DWORD> fakeNow{0};
std::atomic<DWORD> fakeSlept{0};
std::atomic<DWORD> fakeCalls{0};

void fill(SYSTEMTIME* out, const std::tm& parts, long milliseconds) {
    out->wYear = static_cast<std::uint16_t>(parts.tm_year + 1900);
    out->wMonth = static_cast<std::uint16_t>(parts.tm_mon + 1);
    out->wDayOfWeek = static_cast<std::uint16_t>(parts.tm_wday);
    out->wDay = static_cast<std::uint16_t>(parts.tm_mday);
    out->wHour = static_cast<std::uint16_t>(parts.tm_hour);
    out->wMinute = static_cast<std::uint16_t>(parts.tm_min);
    // A leap second (60) is shown as 59, as the platform never reports 60.
    out->wSecond = static_cast<std::uint16_t>(parts.tm_sec > 59 ? 59 : parts.tm_sec);
    out->wMilliseconds = static_cast<std::uint16_t>(milliseconds);
}

void currentTime(SYSTEMTIME* out, bool local) {
    if (out == nullptr) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::time_t seconds = now.tv_sec;
    std::tm parts{};
    if (local) {
        localtime_r(&seconds, &parts);
    } else {
        gmtime_r(&seconds, &parts);
    }
    fill(out, parts, now.tv_nsec / 1000000);
}

} // namespace

DWORD timeGetTime() {
    if (fakeClockOn.load(std::memory_order_acquire)) {
        return fakeNow.load(std::memory_order_acquire);
    }
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<DWORD>(static_cast<std::uint64_t>(ms));
}

MMRESULT timeBeginPeriod(UINT) {
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT) {
    return TIMERR_NOERROR;
}

void Sleep(DWORD milliseconds) {
    if (fakeClockOn.load(std::memory_order_acquire)) {
        fakeNow.fetch_add(milliseconds, std::memory_order_acq_rel);
        fakeSlept.fetch_add(milliseconds, std::memory_order_relaxed);
        fakeCalls.fetch_add(1, std::memory_order_relaxed);
        // Other threads may be spinning on this one's progress: give them the processor.
        std::this_thread::yield();
        return;
    }
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    timespec wait{};
    wait.tv_sec = static_cast<time_t>(milliseconds / 1000);
    wait.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    timespec rest{};
    while (nanosleep(&wait, &rest) != 0 && errno == EINTR) {
        wait = rest;
    }
}

void GetSystemTime(SYSTEMTIME* time) {
    currentTime(time, false);
}

void GetLocalTime(SYSTEMTIME* time) {
    currentTime(time, true);
}

namespace testing {

void useFakeClock(DWORD start) {
    fakeNow.store(start, std::memory_order_release);
    fakeSlept.store(0, std::memory_order_relaxed);
    fakeCalls.store(0, std::memory_order_relaxed);
    fakeClockOn.store(true, std::memory_order_release);
}

void advanceFakeClock(DWORD milliseconds) {
    fakeNow.fetch_add(milliseconds, std::memory_order_acq_rel);
}

void useRealClock() {
    fakeClockOn.store(false, std::memory_order_release);
}

bool fakeClockRuns() {
    return fakeClockOn.load(std::memory_order_acquire);
}

DWORD fakeSleptMilliseconds() {
    return fakeSlept.load(std::memory_order_relaxed);
}

DWORD fakeSleepCalls() {
    return fakeCalls.load(std::memory_order_relaxed);
}

} // namespace testing

} // namespace host
