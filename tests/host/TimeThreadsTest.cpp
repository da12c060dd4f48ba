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

#include <sched.h>
#include <sys/mman.h>
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

// Runs the callable on a host thread made with the flags; the callable must outlive the thread.
template <class Body> host::HANDLE start(Body& body, host::DWORD flags = 0, host::DWORD* id = nullptr) {
    const auto run = [](void* parameter) -> host::DWORD {
        (*static_cast<Body*>(parameter))();
        return 0;
    };
    return host::CreateThread(nullptr, 0, run, &body, flags, id);
}

// Waits for the thread's end and closes its handle; true when it ended in time and the handle closed.
bool join(host::HANDLE thread) {
    return thread != nullptr && host::WaitForSingleObject(thread, 10000) == host::WAIT_OBJECT_0 &&
           host::CloseHandle(thread);
}

struct MutexTry {
    host::DWORD waitResult = 0;
    host::BOOL releaseResult = host::TRUE;
    host::DWORD releaseError = 0;
};

// Another thread tries the mutex for 50 ms and, when that times out, to release it.
MutexTry runTry(host::HANDLE mutex) {
    MutexTry attempt;
    auto body = [&] {
        attempt.waitResult = host::WaitForSingleObject(mutex, 50);
        if (attempt.waitResult == host::WAIT_TIMEOUT) {
            attempt.releaseResult = host::ReleaseMutex(mutex);
            attempt.releaseError = host::GetLastError();
        }
    };
    EXPECT_TRUE(join(start(body)));
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

TEST(HostTime, FakeClockIsAdvancedBySleepAndWrapsAsUnsignedSubtractionExpects) {
    FakeClock clock(1000);
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

    host::testing::useFakeClock(0xFFFFFFF0u);
    host::Sleep(0x20);
    EXPECT_EQ(host::timeGetTime(), 0x10u);
    EXPECT_EQ(host::timeGetTime() - 0xFFFFFFF0u, 0x20u);
}

TEST(HostTime, FakeClockIsSharedByEveryThread) {
    FakeClock clock(500);
    host::DWORD seen = 0;
    auto body = [&] {
        host::Sleep(100);
        seen = host::timeGetTime();
    };
    ASSERT_TRUE(join(start(body)));
    EXPECT_EQ(seen, 600u);
    EXPECT_EQ(host::timeGetTime(), 600u);
}

TEST(HostTime, SystemTimeFieldsAreSane) {
    host::SYSTEMTIME utc;
    host::GetSystemTime(&utc);
    // The year agrees with the C library's UTC (both taken within a second or two of each other).
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    EXPECT_LE(std::abs(parts.tm_year + 1900 - utc.wYear), 1);
    host::SYSTEMTIME local;
    host::GetLocalTime(&local);
    for (const host::SYSTEMTIME& time : {utc, local}) {
        EXPECT_TRUE(time.wMonth >= 1 && time.wMonth <= 12 && time.wDay >= 1 && time.wDay <= 31 &&
                    time.wDayOfWeek <= 6 && time.wHour <= 23 && time.wMinute <= 59 && time.wSecond <= 59 &&
                    time.wMilliseconds <= 999)
            << time.wYear << "-" << time.wMonth << "-" << time.wDay << " " << time.wHour << ":"
            << time.wMinute;
    }
}

TEST(HostThreads, ThreadRunsAndIsWaitedFor) {
    host::DWORD id = 0, ranAs = 0;
    auto body = [&] { ranAs = host::GetCurrentThreadId(); };
    ASSERT_TRUE(join(start(body, 0, &id)));
    EXPECT_NE(id, 0u);
    EXPECT_EQ(ranAs, id);
    EXPECT_NE(id, host::GetCurrentThreadId());
}

TEST(HostThreads, SuspendingAnotherThreadFails) {
    std::atomic<bool> stop{false};
    auto body = [&] {
        while (!stop) {
            host::Sleep(1);
        }
    };
    const host::HANDLE thread = start(body);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(host::SuspendThread(thread), 0xFFFFFFFFu);
    EXPECT_NE(host::GetLastError(), 0u);
    // The main thread was not started by CreateThread: nothing could resume it.
    EXPECT_EQ(host::SuspendThread(host::GetCurrentThread()), 0xFFFFFFFFu);
    stop = true;
    EXPECT_TRUE(join(thread));
    // The pseudo-handle needs no closing, and closing it harms nothing.
    EXPECT_TRUE(host::CloseHandle(host::GetCurrentThread()));
}

TEST(HostThreads, CreatedSuspendedRunsOnResume) {
    std::atomic<bool> ran{false};
    auto body = [&] { ran = true; };
    const host::HANDLE thread = start(body, host::CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(host::WaitForSingleObject(thread, 50), host::WAIT_TIMEOUT);
    EXPECT_FALSE(ran);
    EXPECT_EQ(host::ResumeThread(thread), 1u);
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    EXPECT_TRUE(ran);
    // A finished thread has nothing to resume.
    EXPECT_EQ(host::ResumeThread(thread), 0u);
    host::CloseHandle(thread);
}

TEST(HostThreads, FailuresCanBeForced) {
    host::testing::failCall("CreateThread", host::ERROR_NOT_ENOUGH_MEMORY, 1);
    auto nothing = [] {};
    EXPECT_EQ(start(nothing), nullptr);
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
    const std::filesystem::path lockFile = runtime.file("pibbles-mutex-Game%204BD6%2Fx%5Cy" + suffix);
    EXPECT_TRUE(std::filesystem::exists(lockFile));

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
    host::HANDLE same = host::CreateMutex(nullptr, host::FALSE, name.c_str());
    host::CloseHandle(again);
    EXPECT_TRUE(std::filesystem::exists(lockFile)) << "a handle of this process is still open";
    host::CloseHandle(same);
    EXPECT_FALSE(std::filesystem::exists(lockFile)) << "the last holder removes the lock file";
}

// Two processes take and give up one name as fast as they can, so its lock file is removed and made
// anew all the time; still the name never has two holders at once.
TEST(HostMutex, RemovedLockFilesNeverLetTwoProcessesHoldTheName) {
    testsupport::RuntimeDir runtime;
    const std::string name = uniqueName("churn");
    void* shared = ::mmap(nullptr, sizeof(std::atomic<int>) * 2, PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* holders = new (shared) std::atomic<int>[2] {};
    auto churn = [&] {
        for (int i = 0; i < 3000; ++i) {
            host::HANDLE mutex = host::CreateMutex(nullptr, host::FALSE, name.c_str());
            if (mutex != nullptr && host::GetLastError() == 0) {
                if (holders[0].fetch_add(1) != 0) {
                    holders[1].fetch_add(1);
                }
                sched_yield();
                holders[0].fetch_sub(1);
            }
            host::CloseHandle(mutex);
        }
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        churn();
        ::_exit(0);
    }
    churn();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(holders[1].load(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(runtime.path()));
    ::munmap(shared, sizeof(std::atomic<int>) * 2);
}
