#pragma once

#include "host/Threads.h"

namespace kernel {

// Holds one level of a recursive named mutex for a scope. Waits are bounded (10000 ms); after a time-out
// the holder goes on as if it held the mutex, and the release then fails harmlessly.
class MutexLock {
public:
    static constexpr host::DWORD waitMilliseconds = 10000;

    explicit MutexLock(host::HANDLE mutex) : mutex(mutex) { lock(); }
    ~MutexLock() { unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void lock() {
        if (!held) {
            host::WaitForSingleObject(mutex, waitMilliseconds);
            held = true;
        }
    }
    void unlock() {
        if (held) {
            host::ReleaseMutex(mutex);
            held = false;
        }
    }

private:
    host::HANDLE mutex;
    bool held = false;
};

} // namespace kernel
