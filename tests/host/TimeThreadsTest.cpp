#include "host/Testing.h"
#include "host/Threads.h"
#include "host/Time.h"

#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A name no other test run uses, so runs in parallel do not meet each other's mutexes.
std::string uniqueName(const char* what) {
    return std::string("pibbles-test-") + what + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(std::time(nullptr));
}

struct FakeClock {
    explicit FakeClock(host::DWORD start) { host::testing::useFakeClock(start); }
    ~FakeClock() { host::testing::useRealClock(); }
};

struct MutexTry {
    host::HANDLE mutex;
    host::DWORD waitResult = 0;
    host::BOOL releaseResult = host::TRUE;
    host::DWORD releaseError = 0;
};

// Another thread tries the mutex for 50 ms (a time-out is expected) and then to release it.
host::DWORD tryFromOtherThread(void* parameter) {
    auto* attempt = static_cast<MutexTry*>(parameter);
    attempt->waitResult = host::WaitForSingleObject(attempt->mutex, 50);
    if (attempt->waitResult == host::WAIT_TIMEOUT) {
        attempt->releaseResult = host::ReleaseMutex(attempt->mutex);
        attempt->releaseError = host::GetLastError();
    }
    return 0;
}

MutexTry runTry(host::HANDLE mutex) {
    MutexTry attempt{mutex};
    host::HANDLE thread = host::CreateThread(nullptr, 0, tryFromOtherThread, &attempt, 0, nullptr);
    EXPECT_NE(thread, nullptr);
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    host::CloseHandle(thread);
    return attempt;
}

} // namespace

TEST(HostTime, RealClockAdvancesAndSleepWaits) {
    EXPECT_EQ(host::timeBeginPeriod(1), host::TIMERR_NOERROR);
    const host::DWORD start = host::timeGetTime();
    host::Sleep(0);
    host::Sleep(20);
    const host::DWORD elapsed = host::timeGetTime() - start;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(host::timeEndPeriod(1), host::TIMERR_NOERROR);
}

TEST(HostTime, FakeClockIsAdvancedBySleep) {
    FakeClock clock(1000);
    EXPECT_EQ(host::timeGetTime(), 1000u);
    host::Sleep(16);
    host::Sleep(0);
    host::Sleep(4);
    EXPECT_EQ(host::timeGetTime(), 1020u);
    EXPECT_EQ(host::testing::fakeSleptMilliseconds(), 20u);
    EXPECT_EQ(host::testing::fakeSleepCalls(), 3u);
    host::testing::advanceFakeClock(5);
    EXPECT_EQ(host::timeGetTime(), 1025u);
    // Advancing by hand is no sleep.
    EXPECT_EQ(host::testing::fakeSleptMilliseconds(), 20u);
}

TEST(HostTime, FakeClockWrapsAsUnsignedSubtractionExpects) {
    FakeClock clock(0xFFFFFFF0u);
    const host::DWORD before = host::timeGetTime();
    host::Sleep(0x20);
    const host::DWORD after = host::timeGetTime();
    EXPECT_EQ(after, 0x10u);
    EXPECT_LT(after, before);
    EXPECT_EQ(after - before, 0x20u);
}

TEST(HostTime, FakeClockIsSharedByEveryThread) {
    FakeClock clock(500);
    host::DWORD seen = 0;
    host::HANDLE thread = host::CreateThread(
        nullptr, 0,
        [](void* parameter) -> host::DWORD {
            host::Sleep(100);
            *static_cast<host::DWORD*>(parameter) = host::timeGetTime();
            return 0;
        },
        &seen, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    host::CloseHandle(thread);
    EXPECT_EQ(seen, 600u);
    EXPECT_EQ(host::timeGetTime(), 600u);
}

TEST(HostTime, SystemTimeFieldsAreSane) {
    host::SYSTEMTIME utc;
    host::GetSystemTime(&utc);
    EXPECT_GE(utc.wYear, 2024);
    EXPECT_LT(utc.wYear, 2200);
    EXPECT_GE(utc.wMonth, 1);
    EXPECT_LE(utc.wMonth, 12);
    EXPECT_GE(utc.wDay, 1);
    EXPECT_LE(utc.wDay, 31);
    EXPECT_LE(utc.wDayOfWeek, 6);
    EXPECT_LE(utc.wHour, 23);
    EXPECT_LE(utc.wMinute, 59);
    EXPECT_LE(utc.wSecond, 59);
    EXPECT_LE(utc.wMilliseconds, 999);

    // The year agrees with the C library's UTC (both taken within a second or two of each other).
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    EXPECT_LE(std::abs(parts.tm_year + 1900 - utc.wYear), 1);

    host::SYSTEMTIME local;
    host::GetLocalTime(&local);
    EXPECT_GE(local.wMonth, 1);
    EXPECT_LE(local.wMonth, 12);
    EXPECT_LE(local.wHour, 23);
}

TEST(HostThreads, ThreadRunsAndIsWaitedFor) {
    std::atomic<int> ran{0};
    host::DWORD id = 0;
    host::HANDLE thread = host::CreateThread(
        nullptr, 0,
        [](void* parameter) -> host::DWORD {
            static_cast<std::atomic<int>*>(parameter)->store(host::GetCurrentThreadId());
            return 0;
        },
        &ran, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    EXPECT_EQ(static_cast<host::DWORD>(ran.load()), id);
    EXPECT_NE(id, host::GetCurrentThreadId());
    EXPECT_TRUE(host::CloseHandle(thread));
}

TEST(HostThreads, SuspendingAnotherThreadFails) {
    std::atomic<bool> stop{false};
    host::HANDLE thread = host::CreateThread(
        nullptr, 0,
        [](void* parameter) -> host::DWORD {
            while (!static_cast<std::atomic<bool>*>(parameter)->load()) {
                host::Sleep(1);
            }
            return 0;
        },
        &stop, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(host::SuspendThread(thread), 0xFFFFFFFFu);
    EXPECT_NE(host::GetLastError(), 0u);
    // The main thread was not started by CreateThread: nothing could resume it.
    EXPECT_EQ(host::SuspendThread(host::GetCurrentThread()), 0xFFFFFFFFu);
    stop = true;
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    EXPECT_TRUE(host::CloseHandle(thread));
    // The pseudo-handle needs no closing, and closing it harms nothing.
    EXPECT_TRUE(host::CloseHandle(host::GetCurrentThread()));
}

TEST(HostThreads, CreatedSuspendedRunsOnResume) {
    std::atomic<bool> ran{false};
    host::HANDLE thread = host::CreateThread(
        nullptr, 0,
        [](void* parameter) -> host::DWORD {
            static_cast<std::atomic<bool>*>(parameter)->store(true);
            return 0;
        },
        &ran, host::CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(host::WaitForSingleObject(thread, 50), host::WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(host::ResumeThread(thread), 1u);
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
    // A finished thread has nothing to resume.
    EXPECT_EQ(host::ResumeThread(thread), 0u);
    host::CloseHandle(thread);
}

TEST(HostThreads, FailuresCanBeForced) {
    host::testing::failCall("CreateThread", host::ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(host::CreateThread(
                  nullptr, 0, [](void*) -> host::DWORD { return 0; }, nullptr, 0, nullptr),
              nullptr);
    EXPECT_EQ(host::GetLastError(), host::ERROR_NOT_ENOUGH_MEMORY);

    host::testing::failCall("CreateMutex", host::ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(host::CreateMutex(nullptr, host::FALSE, "anything"), nullptr);
    EXPECT_EQ(host::GetLastError(), host::ERROR_ACCESS_DENIED);

    // Each failure was for one call only.
    host::HANDLE mutex = host::CreateMutex(nullptr, host::FALSE, nullptr);
    EXPECT_NE(mutex, nullptr);
    host::CloseHandle(mutex);
    host::testing::clearFailures();
}

TEST(HostThreads, ClosedHandlesAreRefused) {
    host::HANDLE mutex = host::CreateMutex(nullptr, host::FALSE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(host::WaitForSingleObject(host::GetCurrentThread(), 0), host::WAIT_FAILED);
    EXPECT_EQ(host::ResumeThread(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(host::GetLastError(), host::ERROR_INVALID_HANDLE);
    EXPECT_EQ(host::SuspendThread(mutex), 0xFFFFFFFFu);
    EXPECT_EQ(host::GetLastError(), host::ERROR_INVALID_HANDLE);
    host::CloseHandle(mutex);
}

TEST(HostMutex, OwnerTakesItAgainAndOthersTimeOut) {
    host::HANDLE mutex = host::CreateMutex(nullptr, host::TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(host::GetLastError(), 0u);
    // Initially owned, then taken twice more: three releases are due.
    EXPECT_EQ(host::WaitForSingleObject(mutex, 0), host::WAIT_OBJECT_0);
    EXPECT_EQ(host::WaitForSingleObject(mutex, host::INFINITE), host::WAIT_OBJECT_0);

    MutexTry attempt = runTry(mutex);
    EXPECT_EQ(attempt.waitResult, host::WAIT_TIMEOUT);
    EXPECT_FALSE(attempt.releaseResult);
    EXPECT_EQ(attempt.releaseError, host::ERROR_NOT_OWNER);

    EXPECT_TRUE(host::ReleaseMutex(mutex));
    EXPECT_TRUE(host::ReleaseMutex(mutex));
    // Still owned once: the other thread's failed release changed nothing.
    EXPECT_EQ(runTry(mutex).waitResult, host::WAIT_TIMEOUT);
    EXPECT_TRUE(host::ReleaseMutex(mutex));

    EXPECT_FALSE(host::ReleaseMutex(mutex));
    EXPECT_EQ(host::GetLastError(), host::ERROR_NOT_OWNER);

    // Free now: another thread takes it (and ends without releasing it, which this test does not need).
    EXPECT_EQ(runTry(mutex).waitResult, host::WAIT_OBJECT_0);
    EXPECT_TRUE(host::CloseHandle(mutex));
}

TEST(HostMutex, SameNameIsTheSameMutex) {
    testsupport::RuntimeDir runtime;
    const std::string name = uniqueName("same");
    host::HANDLE first = host::CreateMutex(nullptr, host::FALSE, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(host::GetLastError(), 0u);
    host::SetLastError(77);
    host::HANDLE second = host::CreateMutex(nullptr, host::TRUE, name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(host::GetLastError(), host::ERROR_ALREADY_EXISTS);
    EXPECT_NE(first, second);

    // The initial ownership asked for by the second call was ignored: the mutex exists already.
    EXPECT_FALSE(host::ReleaseMutex(second));
    // Taken through one handle, released through the other.
    EXPECT_EQ(host::WaitForSingleObject(first, 0), host::WAIT_OBJECT_0);
    EXPECT_EQ(runTry(second).waitResult, host::WAIT_TIMEOUT);
    EXPECT_TRUE(host::ReleaseMutex(second));
    EXPECT_FALSE(host::ReleaseMutex(first));

    // One handle closed, the mutex lives on; both closed, the name is new again.
    host::CloseHandle(first);
    host::HANDLE third = host::CreateMutex(nullptr, host::FALSE, name.c_str());
    EXPECT_EQ(host::GetLastError(), host::ERROR_ALREADY_EXISTS);
    host::CloseHandle(third);
    host::CloseHandle(second);
    host::HANDLE fourth = host::CreateMutex(nullptr, host::FALSE, name.c_str());
    EXPECT_EQ(host::GetLastError(), 0u);
    host::CloseHandle(fourth);
}

TEST(HostMutex, UnnamedMutexesAreAlwaysNew) {
    host::HANDLE a = host::CreateMutex(nullptr, host::TRUE, nullptr);
    EXPECT_EQ(host::GetLastError(), 0u);
    host::HANDLE b = host::CreateMutex(nullptr, host::FALSE, "");
    EXPECT_EQ(host::GetLastError(), 0u);
    // b is another mutex: a thread may take it while a is owned here.
    EXPECT_EQ(runTry(b).waitResult, host::WAIT_OBJECT_0);
    EXPECT_TRUE(host::ReleaseMutex(a));
    host::CloseHandle(a);
    host::CloseHandle(b);
}

TEST(HostMutex, NameHeldByAnotherProcessExists) {
    testsupport::RuntimeDir runtime;
    const std::string suffix = uniqueName("process");
    const std::string name = "Game 4BD6/x\\y" + suffix;
    int ready[2];
    int finish[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(finish), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child: hold the mutex until the parent says so. Only async-signal-safe calls and the host's
        // own after fork; no test assertions here.
        ::close(ready[0]);
        ::close(finish[1]);
        host::HANDLE mine = host::CreateMutex(nullptr, host::TRUE, name.c_str());
        const char status = mine != nullptr && host::GetLastError() == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &status, 1);
        char done = 0;
        (void)!::read(finish[0], &done, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(finish[0]);
    char status = 0;
    ASSERT_EQ(::read(ready[0], &status, 1), 1);
    EXPECT_EQ(status, 'y');
    // Every byte outside letters, digits and "._-" is escaped in the lock file's name.
    EXPECT_TRUE(std::filesystem::exists(runtime.file("pibbles-mutex-Game%204BD6%2Fx%5Cy" + suffix)));

    host::HANDLE theirs = host::CreateMutex(nullptr, host::TRUE, name.c_str());
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(host::GetLastError(), host::ERROR_ALREADY_EXISTS);
    // Existing elsewhere, not created here: no initial ownership, but the handle works.
    EXPECT_FALSE(host::ReleaseMutex(theirs));
    EXPECT_EQ(host::WaitForSingleObject(theirs, 0), host::WAIT_OBJECT_0);
    EXPECT_TRUE(host::ReleaseMutex(theirs));
    host::CloseHandle(theirs);

    const char done = 'x';
    ASSERT_EQ(::write(finish[1], &done, 1), 1);
    int childStatus = 0;
    ASSERT_EQ(::waitpid(child, &childStatus, 0), child);
    EXPECT_TRUE(WIFEXITED(childStatus));
    ::close(ready[0]);
    ::close(finish[1]);

    host::HANDLE again = host::CreateMutex(nullptr, host::FALSE, name.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(host::GetLastError(), 0u);
    host::CloseHandle(again);
}
