#pragma once
// Asks an X window to close as a window manager's close button does. Kept apart from the driver, as the X
// headers define names that clash with everything else.

namespace e2e {

// False when the display cannot be opened.
bool askWindowToClose(unsigned long window);

} // namespace e2e
