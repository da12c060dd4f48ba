#pragma once
// Inside the host only: what the host asks of the X server on SDL's connection (see WindowX11.cpp); where
// the pointer is lies with the window's state (WindowState.h).

#include <SDL.h>

namespace host {

// Waits until the X server has sent the window's connection something (an event SDL has not read yet) or
// the time is up: 1 when something came (or a signal cut the wait short), 0 when the time passed, -1 when
// the window is not on an X server (the caller then waits through SDL).
int waitForDisplayServer(SDL_Window* window, int milliseconds);

// The window's connection to the X server (SDL's own, shared by all its windows) ends the session when it
// breaks, as at the end of a logout, instead of the program. Nothing where the window is not on X.
void watchDisplayConnection(SDL_Window* window);

} // namespace host
