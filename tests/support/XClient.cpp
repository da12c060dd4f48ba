#include "XClient.h"

#include <X11/Xlib.h>

namespace testsupport {
namespace {

// Xlib's own handler ends the process on any error; a request to a window that is gone is a finding here.
bool requestFailed = false;

int noteError(Display*, XErrorEvent*) {
    requestFailed = true;
    return 0;
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

} // namespace testsupport
