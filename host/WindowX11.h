#pragma once
// Inside the host only: what the host asks of the X server on SDL's connection (see WindowX11.cpp); where
// the pointer is lies with the window's state (WindowState.h).

#include <SDL.h>

#include <type_traits>

namespace host {

// Waits until the X server has sent the window's connection something (an event SDL has not read yet) or
// the time is up: 1 when something came (or a signal cut the wait short), 0 when the time passed, -1 when
// the window is not on an X server (the caller then waits through SDL).
int waitForDisplayServer(SDL_Window* window, int milliseconds);

// The window's connection to the X server (SDL's own, shared by all its windows) ends the session when it
// breaks, as at the end of a logout, instead of the program. Nothing where the window is not on X.
void watchDisplayConnection(SDL_Window* window);

// From video's start on, the display's end never ends the program by itself: a write to a connection whose
// far end has gone fails (EPIPE) instead of raising SIGPIPE, so that the display library finds the
// connection broken as on a read; and any connection to the X server that breaks (SDL's, before its first
// window too, or another the display library opened) ends the session (endSessionWithDisplay) and leaves
// the call of whileDisplayLasts under way on that thread.
void catchEndOfDisplay();

// In a copy of the program that only shows a message box: any connection to the X server that breaks ends
// the process whose call found it broken (the copy, or the display library's fork of it that draws the box)
// at once with the exit code given, running nothing at exit but tell (async-signal-safe; none where null).
void endOnAnyDisplayEnd(void (*tell)(), int exitCode);

// Runs a call into the display library that may reach the X server, unless the display has ended. Should
// the connection break during it, the call is left at once, wherever the library is: in a wait for the
// server that would never end (a window's showing or hiding), or before it makes anything more on the dead
// connection. False when the display has ended, before or during the call. The call must hold nothing
// that needs destroying or releasing: it makes SDL calls and keeps their results, nothing more.
bool leaveOnDisplayEnd(void (*run)(const void*), const void* call);
template <typename Call> bool whileDisplayLasts(const Call& call) {
    return leaveOnDisplayEnd([](const void* pending) { (*static_cast<const Call*>(pending))(); }, &call);
}

} // namespace host
