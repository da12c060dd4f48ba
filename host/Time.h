#pragma once
// Time: a millisecond clock that wraps at 32 bits, the timer-resolution calls and Sleep.

#include "host/Types.h"

namespace host {

using MMRESULT = UINT;
constexpr MMRESULT TIMERR_NOERROR = 0;

// Milliseconds from a steady clock, truncated to 32 bits (it wraps; subtract as unsigned).
DWORD timeGetTime();
// The platform raised its timer resolution with these; here they change nothing and succeed.
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);
// Sleep(0) gives up the rest of the time slice.
void Sleep(DWORD milliseconds);

struct SYSTEMTIME {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};
// The current time in UTC.
void GetSystemTime(SYSTEMTIME* time);
// The current local time.
void GetLocalTime(SYSTEMTIME* time);

namespace testing {
// A clock for tests: timeGetTime returns the fake time, and Sleep advances it at once instead of waiting.
// Every thread sees the same fake time.
void useFakeClock(DWORD start);
void advanceFakeClock(DWORD milliseconds);
void useRealClock();
bool fakeClockRuns();
// The total of the Sleep calls made while the fake clock ran, and their number.
DWORD fakeSleptMilliseconds();
DWORD fakeSleepCalls();
} // namespace testing

} // namespace host
