#pragma once
// Waiting for the message queue: the main loop rests between frames without missing what arrives.

#include "host/Threads.h"
#include "host/Types.h"

namespace host {

// Any input or other message for the queue (the queue does not tell kinds apart: any mask wakes on all).
constexpr DWORD QS_ALLINPUT = 0x04FF;

// Waits until the queue has something for PeekMessage (input, a close request, a posted message, a paint,
// a quit) or the time is up, without taking anything from it: WAIT_OBJECT_0 + count when messages wait,
// WAIT_TIMEOUT when the time passed. Only the queue is waited for: count must be 0 (anything else fails).
// Under the tests' fake clock it sleeps the whole time, as Sleep does, and reports the timeout.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);

namespace testing {
// Puts a close request from outside the window (SDL's quit request) into SDL's queue, as from any thread;
// the next PeekMessage reads it as WM_CLOSE. False without video.
bool requestCloseFromOutside();
} // namespace testing

} // namespace host
