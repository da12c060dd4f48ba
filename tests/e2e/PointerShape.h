#pragma once
// The pointer's shape as the X server shows it now, asked through the XFixes extension. Kept apart from the
// driver's other sources: the X headers define names (Window, Bool, None) that clash with everything else.

namespace e2e {

// The server's number of the shape shown now, the same for every showing of one shape; 0 when the display
// or the extension cannot be reached.
unsigned long pointerShape();

} // namespace e2e
