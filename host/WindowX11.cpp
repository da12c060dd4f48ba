// What the host asks of the X server directly, on SDL's own connection to it: where the pointer is, and the
// wait between frames.
//
// The pointer: SDL keeps the desktop-wide position in a cache that only raw input events refresh, and
// events sent through the XTEST extension (or a pointer that has left the window) do not always produce
// them; the game reads the pointer outside its window every frame. Inside the window SDL's own position is
// current once SDL has read what the server sent.
//
// The wait: SDL's own wait reads the connection and runs its whole event pump on every pass, as often as
// the game's message pump does; this one only flushes what is still to be sent and sleeps in poll() until
// the server writes, leaving every event to the next message pump.
//
// Kept apart from the other window sources: the X11 headers define names (Window, Bool, None) that clash.

#include "host/WindowX11.h"

#include "host/WindowState.h"

#include <SDL_syswm.h>

#include <poll.h>

namespace host {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

struct X11Calls {
    using QueryPointer = Bool (*)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*,
                                  unsigned int*);
    using EventsQueued = int (*)(Display*, int);
    using ConnectionNumber = int (*)(Display*);
    QueryPointer query = nullptr;
    EventsQueued queued = nullptr;
    ConnectionNumber connection = nullptr;
};

// Looked up at run time: libX11 is SDL's dependency, not one the host links itself.
const X11Calls& x11() {
    static const X11Calls calls = [] {
        X11Calls found;
        if (void* library = SDL_LoadObject("libX11.so.6")) {
            found.query =
                reinterpret_cast<X11Calls::QueryPointer>(SDL_LoadFunction(library, "XQueryPointer"));
            found.queued =
                reinterpret_cast<X11Calls::EventsQueued>(SDL_LoadFunction(library, "XEventsQueued"));
            found.connection =
                reinterpret_cast<X11Calls::ConnectionNumber>(SDL_LoadFunction(library, "XConnectionNumber"));
        }
        return found;
    }();
    return calls;
}

// The window's connection; null when the window is not on an X server.
Display* displayOf(SDL_Window* window, ::Window* xWindow = nullptr) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    if (xWindow != nullptr) {
        *xWindow = info.info.x11.window;
    }
    return info.info.x11.display;
}

} // namespace
#endif

bool pointerInWindow(SDL_Window* window, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
    const X11Calls& calls = x11();
    ::Window xWindow = 0;
    Display* display = calls.query != nullptr ? displayOf(window, &xWindow) : nullptr;
    if (display == nullptr) {
        return false;
    }
    // Over the window with no button held, the window's own motion events (test input makes them too) keep
    // SDL's position current once the events that arrived are read: the server is asked only when the
    // pointer is elsewhere or captured, since a question waits for its answer and the game asks every
    // frame. The main loop has just read the events (its wait between frames ends when one arrives), so
    // SDL reads again only when the connection holds events it has not seen; they stay queued for the next
    // message pump. A look at the connection is a read that does not wait, a pump far more.
    constexpr int queuedAfterReading = 1;
    if (calls.queued == nullptr || calls.queued(display, queuedAfterReading) > 0) {
        SDL_PumpEvents();
    }
    if (SDL_GetMouseFocus() == window && SDL_GetMouseState(x, y) == 0) {
        return true;
    }
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    unsigned int mask = 0;
    return calls.query(display, xWindow, &root, &child, &rootX, &rootY, x, y, &mask) != 0;
#else
    (void)window;
    (void)x;
    (void)y;
    return false;
#endif
}

int waitForDisplayServer(SDL_Window* window, int milliseconds) {
#if defined(SDL_VIDEO_DRIVER_X11)
    const X11Calls& calls = x11();
    Display* display = calls.queued != nullptr && calls.connection != nullptr ? displayOf(window) : nullptr;
    if (display == nullptr) {
        return -1;
    }
    // Sends what is buffered (the server must see it before the game rests) and reads without waiting.
    constexpr int queuedAfterFlush = 2;
    if (calls.queued(display, queuedAfterFlush) > 0) {
        return 1;
    }
    pollfd connection{calls.connection(display), POLLIN, 0};
    // A signal ends the wait too (-1, EINTR): the next pump turns a termination request into a close.
    return ::poll(&connection, 1, milliseconds) == 0 ? 0 : 1;
#else
    (void)window;
    (void)milliseconds;
    return -1;
#endif
}

} // namespace host
