// The host's threads and mutexes as the resource loader uses them, under ThreadSanitizer.

#include "host/Threads.h"
#include "host/Time.h"

#include "Eventually.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

using testsupport::eventually;

// The loader's wake-up: up to ten attempts, 10 ms apart.
void wake(host::HANDLE thread) {
    host::SetLastError(0);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const host::DWORD previous = host::ResumeThread(thread);
        if (previous == 0 || previous == 1 || host::GetLastError() == 0) {
            return;
        }
        host::Sleep(10);
    }
}

// A worker that does the work it finds and suspends itself when there is none.
struct Loader {
    host::HANDLE thread = nullptr;
    std::atomic<bool> running{true};
    std::atomic<int> work{0};
    std::atomic<int> done{0};
    std::atomic<bool> ended{false};
    bool suspendThroughPseudoHandle = false;
};

host::DWORD loaderLoop(void* parameter) {
    auto& loader = *static_cast<Loader*>(parameter);
    while (loader.running.load()) {
        if (loader.work.load() > 0) {
            loader.work.fetch_sub(1);
            loader.done.fetch_add(1);
            continue;
        }
        host::SuspendThread(loader.suspendThroughPseudoHandle ? host::GetCurrentThread() : loader.thread);
    }
    loader.ended = true;
    return 0;
}

// A loader whose worker is started suspended, so that its handle is stored before the worker reads it.
// It is stopped at the end of the test, also when the test failed early; a worker that does not end then
// keeps its state (leaked), so that it never touches freed memory.
class RunningLoader {
public:
    explicit RunningLoader(bool suspendThroughPseudoHandle) : loader(std::make_unique<Loader>()) {
        loader->suspendThroughPseudoHandle = suspendThroughPseudoHandle;
        loader->thread =
            host::CreateThread(nullptr, 0, loaderLoop, loader.get(), host::CREATE_SUSPENDED, nullptr);
        if (loader->thread) {
            resumedAtStart = host::ResumeThread(loader->thread);
        }
    }
    ~RunningLoader() {
        if (loader->thread == nullptr) {
            return;
        }
        const bool ended = closed ? eventually([&] { return loader->ended.load(); }) : shutDown();
        if (!ended) {
            (void)loader.release();
        }
    }
    RunningLoader(const RunningLoader&) = delete;
    RunningLoader& operator=(const RunningLoader&) = delete;

    Loader& operator*() const { return *loader; }
    Loader* operator->() const { return loader.get(); }

    // Stops the worker, waits for its end and closes its handle; true when it ended.
    bool shutDown() {
        loader->running = false;
        wake(loader->thread);
        const bool ended = host::WaitForSingleObject(loader->thread, 10000) == host::WAIT_OBJECT_0;
        closeHandle();
        return ended && loader->ended.load();
    }

    // The handle goes; the worker may still use its copy of it.
    void closeHandle() {
        closed = true;
        EXPECT_TRUE(host::CloseHandle(loader->thread));
    }

    host::DWORD resumedAtStart = 0;

private:
    std::unique_ptr<Loader> loader;
    bool closed = false;
};

void runRounds(bool throughPseudoHandle) {
    RunningLoader loader(throughPseudoHandle);
    ASSERT_NE(loader->thread, nullptr);
    ASSERT_EQ(loader.resumedAtStart, 1u);
    constexpr int rounds = 2000;
    int given = 0;
    for (int round = 0; round < rounds; ++round) {
        // One piece or a few, waited for at once or not: the resume lands before, during and after the
        // worker's check of the counter.
        const int pieces = 1 + round % 3;
        for (int piece = 0; piece < pieces; ++piece) {
            loader->work.fetch_add(1);
            ++given;
            wake(loader->thread);
        }
        if (round % 4 != 0) {
            ASSERT_TRUE(eventually([&] { return loader->done.load() == given; }))
                << "round " << round << ": " << loader->done.load() << " of " << given << " done";
        }
    }
    ASSERT_TRUE(eventually([&] { return loader->done.load() == given; }));
    EXPECT_EQ(loader->work.load(), 0);
    EXPECT_TRUE(loader.shutDown());
}

struct Counter {
    std::string name;
    int value = 0; // guarded by the named mutex only
    int failures = 0;
};

host::DWORD countUnderMutex(void* parameter) {
    auto& counter = *static_cast<Counter*>(parameter);
    host::HANDLE mutex = host::CreateMutex(nullptr, host::FALSE, counter.name.c_str());
    for (int i = 0; i < 2000; ++i) {
        if (host::WaitForSingleObject(mutex, 10000) != host::WAIT_OBJECT_0) {
            ++counter.failures;
            continue;
        }
        // Now and then taken again by the owner, as the resource manager's nested operations do.
        const bool nested = i % 7 == 0 && host::WaitForSingleObject(mutex, 10000) == host::WAIT_OBJECT_0;
        ++counter.value;
        if (nested) {
            host::ReleaseMutex(mutex);
        }
        host::ReleaseMutex(mutex);
    }
    host::CloseHandle(mutex);
    return 0;
}

} // namespace

TEST(ThreadsTsan, NoWakeUpIsLostThroughTheOwnHandleOrThePseudoHandle) {
    runRounds(false);
    runRounds(true);
}

TEST(ThreadsTsan, ResumeBeforeTheFirstSuspensionIsKept) {
    struct Shared {
        std::atomic<bool> go{false};
        std::atomic<bool> passed{false};
    } shared;
    host::HANDLE thread = host::CreateThread(
        nullptr, 0,
        [](void* parameter) -> host::DWORD {
            auto& state = *static_cast<Shared*>(parameter);
            while (!state.go.load()) {
                std::this_thread::yield();
            }
            // The resume came while this thread ran: the suspension returns at once.
            host::SuspendThread(host::GetCurrentThread());
            state.passed = true;
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(host::ResumeThread(thread), 0u);
    // Several resumes while running are one: the previous count stays 0.
    EXPECT_EQ(host::ResumeThread(thread), 0u);
    shared.go = true;
    EXPECT_EQ(host::WaitForSingleObject(thread, 10000), host::WAIT_OBJECT_0);
    EXPECT_TRUE(shared.passed.load());
    host::CloseHandle(thread);
}

TEST(ThreadsTsan, NamedMutexSerialisesTwoThreads) {
    testsupport::RuntimeDir runtime;
    Counter counter;
    counter.name = "pibbles-tsan-counter-" + std::to_string(::getpid());
    // Held open here too, so both threads meet the same mutex whichever opens it first.
    host::HANDLE mine = host::CreateMutex(nullptr, host::FALSE, counter.name.c_str());
    ASSERT_NE(mine, nullptr);
    host::HANDLE first = host::CreateThread(nullptr, 0, countUnderMutex, &counter, 0, nullptr);
    host::HANDLE second = host::CreateThread(nullptr, 0, countUnderMutex, &counter, 0, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(host::WaitForSingleObject(first, 10000), host::WAIT_OBJECT_0);
    EXPECT_EQ(host::WaitForSingleObject(second, 10000), host::WAIT_OBJECT_0);
    host::CloseHandle(first);
    host::CloseHandle(second);
    ASSERT_EQ(host::WaitForSingleObject(mine, 0), host::WAIT_OBJECT_0);
    EXPECT_EQ(counter.value, 4000);
    EXPECT_EQ(counter.failures, 0);
    host::ReleaseMutex(mine);
    host::CloseHandle(mine);
}

TEST(ThreadsTsan, HandleClosedWhileTheThreadRuns) {
    RunningLoader loader(false);
    ASSERT_NE(loader->thread, nullptr);
    // As at program exit: stop, wake and close at once without waiting. The worker may still suspend
    // itself through the closed handle, which fails instead of touching the freed handle.
    loader->running = false;
    wake(loader->thread);
    loader.closeHandle();
    EXPECT_TRUE(eventually([&] { return loader->ended.load(); }));
}
