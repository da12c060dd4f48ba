#pragma once
// Inside the host only: the libX11 functions the host calls itself (asking the server where the pointer
// is, waiting on SDL's connection, looking for a window manager). Included only by the sources kept apart
// for it: the X11 headers define names (Window, Bool, None) that clash with the host's own.

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
namespace host {

struct Xlib {
    using OpenDisplay = Display* (*)(const char*);
    using CloseDisplay = int (*)(Display*);
    using InternAtom = Atom (*)(Display*, const char*, Bool);
    using DefaultRoot = ::Window (*)(Display*);
    using GetWindowProperty = int (*)(Display*, ::Window, Atom, long, long, Bool, Atom, Atom*, int*,
                                      unsigned long*, unsigned long*, unsigned char**);
    using Free = int (*)(void*);
    using ErrorHandler = int (*)(Display*, XErrorEvent*);
    using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
    using QueryPointer = Bool (*)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*,
                                  unsigned int*);
    using EventsQueued = int (*)(Display*, int);
    using ConnectionNumber = int (*)(Display*);
    using IOErrorHandler = int (*)(Display*);
    using SetIOErrorHandler = IOErrorHandler (*)(IOErrorHandler);
    using IOErrorExitHandler = void (*)(Display*, void*);
    using SetIOErrorExitHandler = void (*)(Display*, IOErrorExitHandler, void*);

    OpenDisplay openDisplay = nullptr;
    CloseDisplay closeDisplay = nullptr;
    InternAtom internAtom = nullptr;
    DefaultRoot defaultRoot = nullptr;
    GetWindowProperty getWindowProperty = nullptr;
    Free free = nullptr;
    SetErrorHandler setErrorHandler = nullptr;
    QueryPointer queryPointer = nullptr;
    EventsQueued eventsQueued = nullptr;
    ConnectionNumber connectionNumber = nullptr;
    SetIOErrorHandler setIOErrorHandler = nullptr;
    // Only in libX11 1.7 and later; null before.
    SetIOErrorExitHandler setIOErrorExitHandler = nullptr;
};

// Looked up once, at run time: libX11 is SDL's dependency, not one the host links itself. Null when the
// library or any of the functions is missing (but the optional one).
const Xlib* xlib();

// A connection to the X server whose breaking ends the session (endSessionWithDisplay) instead of the
// program: libX11 would otherwise exit at once, from inside the first call that finds it broken. Before
// libX11 1.7 it still does.
void watchConnection(Display* display);

} // namespace host
#endif
