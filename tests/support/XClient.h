#pragma once
// Requests to X windows made as a window manager or a desktop tool makes them, for the tests that run in a
// virtual X server. Kept apart from the tests' other sources: the X headers define names (Window, Bool,
// None) that clash with everything else.

#include <vector>

namespace testsupport {

// Asks the window to close as a window manager's close button does. False when the display cannot be
// reached or no such window exists (any more).
bool askWindowToClose(unsigned long window);

// A left click at a point of the window, handed to the window itself as a program that drives one window
// among several hands it: it reaches that window whatever lies above it there, so copies of the game side
// by side each get their own. False when the display cannot be reached or the window is gone.
bool clickInWindow(unsigned long window, int x, int y);

// True when the first top-level window is stacked above the second (both must exist).
bool isAbove(unsigned long upper, unsigned long lower);

// The top-level windows with the title that are shown, whatever the title's encoding (xdotool finds only
// plain-text ones), on the display named (DISPLAY's by default). None too when the display cannot be
// reached.
std::vector<unsigned long> shownTopLevelWindows(const char* title, const char* display = nullptr);

// Sets a property of the root window, as the desktop's programs set and delete theirs, and waits until the
// server has told every client that follows the root's properties. False when the display cannot be reached
// or the property, read back, does not hold the value set.
bool changeRootProperty(const char* name);

// A plain top-level window of the test's own over the rectangle, above all others while it lives.
class CoveringWindow {
public:
    CoveringWindow(int x, int y, int width, int height);
    ~CoveringWindow();
    CoveringWindow(const CoveringWindow&) = delete;
    CoveringWindow& operator=(const CoveringWindow&) = delete;

    // 0 when the display cannot be reached.
    unsigned long id() const { return window; }

private:
    void* display = nullptr;
    unsigned long window = 0;
};

// Marks the desktop as a window manager following the desktop conventions marks it
// (_NET_SUPPORTING_WM_CHECK on the root window, naming a window of its own that names itself), without
// managing anything; or, when left behind, as a manager that has ended leaves it: the root names a window
// that is gone. The mark goes with this object.
class WindowManagerMark {
public:
    explicit WindowManagerMark(bool leftBehind = false);
    ~WindowManagerMark();
    WindowManagerMark(const WindowManagerMark&) = delete;
    WindowManagerMark& operator=(const WindowManagerMark&) = delete;

    bool made() const { return display != nullptr; }

private:
    void* display = nullptr;
};

} // namespace testsupport
