#pragma once
// For tests against another thread: waits (yielding) until the condition holds, false after ten seconds.

#include <chrono>
#include <thread>

namespace testsupport {

template <typename Condition> bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

} // namespace testsupport
