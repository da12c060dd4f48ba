#pragma once
// Threads and named mutexes, as the engine uses them.

#include "host/Types.h"

#include <cstddef>

namespace host {

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD ERROR_NOT_OWNER = 288;
constexpr DWORD CREATE_SUSPENDED = 0x4;

// Starts a thread running start(parameter); the handle stays valid until CloseHandle, which does not stop
// the thread. WaitForSingleObject on the handle waits for the thread to end. With CREATE_SUSPENDED the thread
// waits for a ResumeThread before it starts. Fails (null) when host::testing::failCall("CreateThread").
// A closed handle is refused by every call here (ERROR_INVALID_HANDLE), never touched.
HANDLE CreateThread(void* securityAttributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD creationFlags, DWORD* threadId);
// Only a thread's suspension of itself is supported (the engine suspends nothing else), through its own
// handle or GetCurrentThread(), and only for threads started by CreateThread (nothing could resume another).
// Returns the previous suspend count, or 0xFFFFFFFF on failure (ERROR_NOT_SUPPORTED). A resume that came
// while the thread was still running is kept, so the thread's next suspension returns at once: a wake-up is
// never lost. Several such resumes count as one.
DWORD SuspendThread(HANDLE thread);
// Returns the previous suspend count: 0 when the thread was running (or has ended), 1 when this call
// resumed it; 0xFFFFFFFF on failure.
DWORD ResumeThread(HANDLE thread);
// A pseudo-handle meaning "the calling thread"; closing it does nothing.
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();

// A named mutex with the same name in this process is the same mutex (GetLastError then says
// ERROR_ALREADY_EXISTS); a name held by another process also reports ERROR_ALREADY_EXISTS, through a lock
// file in $XDG_RUNTIME_DIR (else /tmp), locked while this process has a handle to the mutex open (unless
// another process held it first) and removed when the last such handle closes or the process ends
// normally. The owner can take it again; each take needs its release. initialOwner
// is ignored when the mutex exists already. No name (null or empty): always a new mutex. Fails (null) when
// host::testing::failCall("CreateMutex"). A thread that ends while owning a mutex leaves it owned.
HANDLE CreateMutex(void* securityAttributes, BOOL initialOwner, const char* name);
// FALSE (ERROR_NOT_OWNER) when the calling thread does not own the mutex; nothing changes then.
BOOL ReleaseMutex(HANDLE mutex);
// Mutex: take it within the time-out. Thread: wait for it to end. Time-outs run on the real clock, also
// while the fake clock of host::testing is on. WAIT_FAILED (ERROR_INVALID_HANDLE) for any other handle.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

} // namespace host
