#pragma once
// Threads and named mutexes, as the engine uses them.

#include "host/Types.h"

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
// the thread. WaitForSingleObject on the handle waits for the thread to end.
HANDLE CreateThread(void* securityAttributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD creationFlags, DWORD* threadId);
// Only a thread's suspension of itself is supported (the engine suspends nothing else). Returns the
// previous suspend count, or 0xFFFFFFFF on failure. A resume that came while the thread was still running
// is kept, so the thread's next suspension returns at once: a wake-up is never lost.
DWORD SuspendThread(HANDLE thread);
// Returns the previous suspend count: 0 when the thread was running, 1 when this call resumed it;
// 0xFFFFFFFF on failure.
DWORD ResumeThread(HANDLE thread);
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();

// A named mutex with the same name in this process is the same mutex (GetLastError then says
// ERROR_ALREADY_EXISTS); a name held by another process also reports ERROR_ALREADY_EXISTS, through a lock
// file in $XDG_RUNTIME_DIR (else /tmp). The owner can take it again; each take needs its release.
HANDLE CreateMutex(void* securityAttributes, BOOL initialOwner, const char* name);
// FALSE (ERROR_NOT_OWNER) when the calling thread does not own the mutex; nothing changes then.
BOOL ReleaseMutex(HANDLE mutex);
// Mutex: take it within the time-out. Thread: wait for it to end.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);

} // namespace host
