#pragma once
// Requests to X windows made as a window manager or a desktop tool makes them, for the tests that run in a
// virtual X server. Kept apart from the tests' other sources: the X headers define names (Window, Bool,
// None) that clash with everything else.

namespace testsupport {

// Asks the window to close as a window manager's close button does. False when the display cannot be
// reached or no such window exists (any more).
bool askWindowToClose(unsigned long window);

} // namespace testsupport
