// What the host asks of the X server directly, on SDL's own connection to it: where the pointer is, and the
// wait between frames; what becomes of the game when the connection breaks; and the table of the libX11
// functions the host calls (Xlib.h).
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
// The connection's end: at a logout the X server ends with the session, often before any signal reaches
// the game, and libX11's own answer is to end the program at the first call that finds the connection
// broken, losing the game in progress; a write that finds it broken would end it sooner still, by SIGPIPE.
// The host ends the session instead, and the call into the display library under way is left where it found
// the connection broken: SDL waits for the server to confirm a window's showing or hiding in a loop that a
// broken connection never ends, and a new window, cursor or picture on a dead connection stops the program
// in libX11 (it has no resource ids left to give).
//
// Kept apart from the other window sources: the X11 headers define names (Window, Bool, None) that clash.

#include "host/WindowX11.h"

#include "host/WindowState.h"
#include "host/Xlib.h"

#include <poll.h>
#include <setjmp.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <type_traits>
#include <utility>

namespace host {

#if defined(SDL_VIDEO_DRIVER_X11)
const Xlib* xlib() {
    static const Xlib functions = [] {
        Xlib found;
        if (void* library = SDL_LoadObject("libX11.so.6")) {
            const auto load = [library](auto& call, const char* name) {
                call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(
                    SDL_LoadFunction(library, name));
                return call != nullptr;
            };
            if (!(load(found.openDisplay, "XOpenDisplay") && load(found.closeDisplay, "XCloseDisplay") &&
                  load(found.internAtom, "XInternAtom") && load(found.defaultRoot, "XDefaultRootWindow") &&
                  load(found.getWindowProperty, "XGetWindowProperty") && load(found.free, "XFree") &&
                  load(found.setErrorHandler, "XSetErrorHandler") &&
                  load(found.setIOErrorHandler, "XSetIOErrorHandler") &&
                  load(found.queryPointer, "XQueryPointer") && load(found.eventsQueued, "XEventsQueued") &&
                  load(found.connectionNumber, "XConnectionNumber"))) {
                found.openDisplay = nullptr;
            }
            load(found.setIOErrorExitHandler, "XSetIOErrorExitHandler");
        }
        return found;
    }();
    return functions.openDisplay != nullptr ? &functions : nullptr;
}

namespace {

// Where the call of whileDisplayLasts under way on this thread is left; null outside one.
thread_local sigjmp_buf* leaveDisplayCall = nullptr;

// The process whose display's end ends the session: set as video starts, before any connection exists.
pid_t sessionProcess = 0;

// In a copy that shows a message box: run as a connection's end ends the process, with that exit code.
void (*tellDisplayEnd)() = nullptr;
int displayEndExit = 1;

// Called by libX11 for any connection that breaks, on the thread whose call found it broken, just before
// the connection's exit handler. libX11 holds the connection for that thread then (its user lock; within a
// wait for an event, the wait's lock as well): it stays held when the call is left, as nothing more is
// asked of the display and no other thread of the program uses it. Outside such a call this returns, and
// the exit handler decides: a watched connection's returns, libX11's own ends the program.
int onConnectionBroken(Display* display) {
    // A fork of the program has this handler and the way out of the call under way too: the display
    // library's fork that draws a message box where no copy could be started for it (MessageBox), with a
    // connection of its own. Taken, the way would run it on as a second game. It ends at once instead,
    // without the program's exit handlers (the lock files are the program's), and the program's call of the
    // box returns.
    if (::getpid() != sessionProcess) {
        ::_exit(1);
    }
    std::fprintf(stderr, "The connection to the X server %s has ended\n", DisplayString(display));
    endSessionWithDisplay();
    if (sigjmp_buf* way = std::exchange(leaveDisplayCall, nullptr)) {
        siglongjmp(*way, 1);
    }
    return 0;
}

// Returns: libX11 then marks the connection as broken, and every later call on it does nothing.
void onWatchedConnectionBroken(Display*, void*) {
    endSessionWithDisplay();
}

} // namespace

void watchConnection(Display* display) {
    const Xlib* x = xlib();
    if (x == nullptr || x->setIOErrorExitHandler == nullptr || display == nullptr) {
        return;
    }
    x->setIOErrorExitHandler(display, onWatchedConnectionBroken, nullptr);
}

namespace {

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

bool pointerInWindow(SDL_Window* window, int* pointerX, int* pointerY) {
#if defined(SDL_VIDEO_DRIVER_X11)
    const Xlib* x = xlib();
    ::Window xWindow = 0;
    Display* display = x != nullptr ? displayOf(window, &xWindow) : nullptr;
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
    if (x->eventsQueued(display, queuedAfterReading) > 0) {
        SDL_PumpEvents();
    }
    if (SDL_GetMouseFocus() == window && SDL_GetMouseState(pointerX, pointerY) == 0) {
        return true;
    }
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    unsigned int mask = 0;
    return x->queryPointer(display, xWindow, &root, &child, &rootX, &rootY, pointerX, pointerY, &mask) != 0;
#else
    (void)window;
    (void)pointerX;
    (void)pointerY;
    return false;
#endif
}

void watchDisplayConnection(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    watchConnection(displayOf(window));
#else
    (void)window;
#endif
}

namespace {

// Does nothing, so that the write that raised it fails with EPIPE. A handler, not the signal ignored: a
// program started from the game gets the default back.
void onBrokenPipe(int) {}

} // namespace

void catchEndOfDisplay() {
    struct sigaction inherited {};
    if (::sigaction(SIGPIPE, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_DFL) {
        struct sigaction action {};
        action.sa_handler = onBrokenPipe;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGPIPE, &action, nullptr);
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    sessionProcess = ::getpid();
    if (const Xlib* x = xlib()) {
        x->setIOErrorHandler(onConnectionBroken);
    }
#endif
}

void endOnAnyDisplayEnd(void (*tell)(), int exitCode) {
#if defined(SDL_VIDEO_DRIVER_X11)
    tellDisplayEnd = tell;
    displayEndExit = exitCode;
    if (const Xlib* x = xlib()) {
        x->setIOErrorHandler([](Display*) -> int {
            if (tellDisplayEnd != nullptr) {
                tellDisplayEnd();
            }
            ::_exit(displayEndExit);
        });
    }
#else
    (void)tell;
    (void)exitCode;
#endif
}

bool leaveOnDisplayEnd(void (*run)(const void*), const void* call) {
    if (displayLost()) {
        return false;
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    // A call made inside another one is left with the outer one.
    if (leaveDisplayCall == nullptr) {
        // Nothing this frame keeps changes between sigsetjmp and the jump back to it.
        sigjmp_buf way;
        if (sigsetjmp(way, 0) == 0) {
            leaveDisplayCall = &way;
            run(call);
        }
        leaveDisplayCall = nullptr;
        return !displayLost();
    }
#endif
    run(call);
    return !displayLost();
}

int waitForDisplayServer(SDL_Window* window, int milliseconds) {
#if defined(SDL_VIDEO_DRIVER_X11)
    const Xlib* x = xlib();
    Display* display = x != nullptr ? displayOf(window) : nullptr;
    if (display == nullptr) {
        return -1;
    }
    // Sends what is buffered (the server must see it before the game rests) and reads without waiting.
    constexpr int queuedAfterFlush = 2;
    if (x->eventsQueued(display, queuedAfterFlush) > 0) {
        return 1;
    }
    pollfd connection{x->connectionNumber(display), POLLIN, 0};
    // A signal ends the wait too (-1, EINTR): the next pump turns a termination request into a close.
    return ::poll(&connection, 1, milliseconds) == 0 ? 0 : 1;
#else
    (void)window;
    (void)milliseconds;
    return -1;
#endif
}

} // namespace host
