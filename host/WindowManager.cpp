// Whether a window manager runs on the X desktop. SDL makes a window full screen by asking the window
// manager (_NET_WM_STATE), and after each such request, when the window is shown and again when it goes,
// it waits up to 100 ms for the window to change; where no manager runs, nothing ever carries the request
// out and both waits run to their end. The full-screen window is borderless and desktop-sized already, so
// on such a desktop it is made without the request and looks the same.
// Kept apart from the other window sources: the X11 headers define names (Window, Bool, None) that clash.

#include "host/SdlWindow.h"
#include "host/Xlib.h"

#include <SDL.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

namespace host {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// A window named by a manager that has ended is gone: asking about it is an error, not the end of the game.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

// The window the property names, or 0 when the window has no such property.
::Window windowProperty(const Xlib& x, Display* display, ::Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    ::Window named = 0;
    if (x.getWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                            &remaining, &data) == Success &&
        data != nullptr && type == XA_WINDOW && format == 32 && count == 1) {
        named = *reinterpret_cast<::Window*>(data);
    }
    if (data != nullptr) {
        x.free(data);
    }
    return named;
}

} // namespace
#endif

bool desktopHasWindowManager() {
#if defined(SDL_VIDEO_DRIVER_X11)
    const char* driver = SDL_GetCurrentVideoDriver();
    const Xlib* x = xlib();
    if (driver == nullptr || SDL_strcmp(driver, "x11") != 0 || x == nullptr) {
        return true;
    }
    Display* display = x->openDisplay(nullptr);
    if (display == nullptr) {
        return true;
    }
    watchConnection(display);
    // A manager that follows the desktop conventions names a window of its own on the root window, and that
    // window names itself: a name left behind by a manager that has ended names a window that is gone.
    const Atom check = x->internAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Xlib::ErrorHandler previous = x->setErrorHandler(ignoreError);
    const ::Window managers = windowProperty(*x, display, x->defaultRoot(display), check);
    const bool runs = managers != 0 && windowProperty(*x, display, managers, check) == managers;
    x->setErrorHandler(previous);
    x->closeDisplay(display);
    return runs;
#else
    return true;
#endif
}

} // namespace host
