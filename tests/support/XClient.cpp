#include "XClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

namespace testsupport {
namespace {

// Xlib's own handler ends the process on any error; a request to a window that is gone is a finding here.
bool requestFailed = false;

int noteError(Display*, XErrorEvent*) {
    requestFailed = true;
    return 0;
}

// Bottom first.
std::vector<::Window> topLevelWindows(Display* display) {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    std::vector<::Window> windows;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
        windows.assign(children, children + count);
        XFree(children);
    }
    return windows;
}

} // namespace

bool askWindowToClose(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    requestFailed = false;
    const auto previous = XSetErrorHandler(noteError);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    // Waits for the server's answer, so an error has arrived before the handler goes.
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return !requestFailed;
}

std::vector<unsigned long> shownTopLevelWindows(const char* title, const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) {
        return {};
    }
    std::vector<unsigned long> shown;
    for (const ::Window window : topLevelWindows(display)) {
        XWindowAttributes attributes{};
        XTextProperty name{};
        if (XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable &&
            XGetWMName(display, window, &name) != 0) {
            if (name.value != nullptr && std::string(reinterpret_cast<char*>(name.value)) == title) {
                shown.push_back(window);
            }
            XFree(name.value);
        }
    }
    XCloseDisplay(display);
    return shown;
}

bool changeRootProperty(const char* name) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    requestFailed = false;
    const auto previous = XSetErrorHandler(noteError);
    const Atom property = XInternAtom(display, name, False);
    const unsigned char value[] = "1";
    XChangeProperty(display, DefaultRootWindow(display), property, XA_STRING, 8, PropModeReplace, value, 1);
    XSync(display, False);
    Atom type = 0;
    int format = 0;
    unsigned long length = 0;
    unsigned long after = 0;
    unsigned char* held = nullptr;
    const bool read = XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False,
                                         XA_STRING, &type, &format, &length, &after, &held) == Success;
    const bool changed = read && !requestFailed && type == XA_STRING && format == 8 && length == 1 &&
                         held != nullptr && held[0] == value[0];
    XFree(held);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return changed;
}

bool clickInWindow(unsigned long window, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    requestFailed = false;
    const auto previous = XSetErrorHandler(noteError);
    const ::Window root = DefaultRootWindow(display);
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, root, x, y, &rootX, &rootY, &child);
    // The pointer comes to the point first, as it does before a real click: a program may take the place of a
    // press from where the pointer last moved.
    XEvent event{};
    XMotionEvent& motion = event.xmotion;
    motion.type = MotionNotify;
    motion.window = window;
    motion.root = root;
    motion.time = CurrentTime;
    motion.x = x;
    motion.y = y;
    motion.x_root = rootX;
    motion.y_root = rootY;
    motion.same_screen = True;
    XSendEvent(display, window, False, PointerMotionMask, &event);
    event = XEvent{};
    XButtonEvent& button = event.xbutton;
    button.type = ButtonPress;
    button.window = window;
    button.root = root;
    button.time = CurrentTime;
    button.x = x;
    button.y = y;
    button.x_root = rootX;
    button.y_root = rootY;
    button.button = Button1;
    button.same_screen = True;
    XSendEvent(display, window, False, ButtonPressMask, &event);
    button.type = ButtonRelease;
    button.state = Button1Mask;
    XSendEvent(display, window, False, ButtonReleaseMask, &event);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return !requestFailed;
}

bool isAbove(unsigned long upper, unsigned long lower) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    const std::vector<::Window> windows = topLevelWindows(display);
    int upperAt = -1;
    int lowerAt = -1;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        upperAt = windows[i] == upper ? static_cast<int>(i) : upperAt;
        lowerAt = windows[i] == lower ? static_cast<int>(i) : lowerAt;
    }
    XCloseDisplay(display);
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

CoveringWindow::CoveringWindow(int x, int y, int width, int height) {
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) {
        return;
    }
    display = connection;
    const int screen = DefaultScreen(connection);
    window = XCreateSimpleWindow(connection, RootWindow(connection, screen), x, y,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 BlackPixel(connection, screen), WhitePixel(connection, screen));
    XMapRaised(connection, window);
    XSync(connection, False);
}

CoveringWindow::~CoveringWindow() {
    if (display != nullptr) {
        // The window goes with the connection.
        XCloseDisplay(static_cast<Display*>(display));
    }
}

WindowManagerMark::WindowManagerMark(bool leftBehind) {
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) {
        return;
    }
    display = connection;
    const Window root = DefaultRootWindow(connection);
    const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
    Window own = XCreateSimpleWindow(connection, root, 0, 0, 1, 1, 0, 0, 0);
    XChangeProperty(connection, own, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&own), 1);
    XChangeProperty(connection, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&own), 1);
    if (leftBehind) {
        XDestroyWindow(connection, own);
    }
    XSync(connection, False);
}

WindowManagerMark::~WindowManagerMark() {
    if (display != nullptr) {
        auto* connection = static_cast<Display*>(display);
        XDeleteProperty(connection, DefaultRootWindow(connection),
                        XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False));
        XCloseDisplay(connection);
    }
}

} // namespace testsupport
