#pragma once
// Inside the host only (host/*.cpp): what the display needs of the window layer. The window layer owns the
// SDL window; the display draws into it and says where the game's picture lies in it, so that mouse
// positions can be given back in game coordinates.

#include "host/Window.h"

#include <SDL.h>

#include <functional>
#include <string>

namespace host {

// Where the game's picture (gameWidth x gameHeight) is shown inside the window's client area, in window
// pixels. A windowed window shows it 1:1 at (0, 0); the full-screen window is desktop-sized and shows it
// scaled and centred.
struct GameArea {
    int gameWidth = 640;
    int gameHeight = 480;
    SDL_Rect shown{0, 0, 640, 480};
};

// Starts SDL's video when it is not up yet (shared with probeDisplay). False when it cannot start: where
// SDL_VIDEODRIVER names no driver, only a driver that shows a window is taken, never SDL's fall-back on one
// that shows nothing (offscreen, dummy), so that the game never runs unseen.
bool ensureVideo();
// Why the last start of video failed, as a player is told it.
std::string videoFailure();
// True once the display's connection has ended (endSessionWithDisplay): nothing is drawn or shown on it.
bool displayLost();

// The display's side: whether it will put a renderer on a window of the kind, and whether that renderer will
// be OpenGL. Only a full-screen picture is scaled by a renderer, and only where a graphics card does it (or
// a renderer was asked for by name, SDL_RENDER_DRIVER); never on drivers without a screen.
bool displayUsesRenderer(bool fullScreen);
bool displayDrawsWithOpenGl(bool fullScreen);

// False only where SDL draws on an X desktop on which no window manager runs: nothing would carry out a
// full-screen request there, and SDL would wait for it each time a full-screen window is shown or goes.
bool desktopHasWindowManager();

// The SDL window behind a handle; null for null, a destroyed or an unknown handle.
SDL_Window* sdlWindowOf(HWND window);
// The one game window, null when none exists.
HWND currentWindow();
// True for a window made with WS_POPUP: borderless and desktop-sized (SDL_WINDOW_FULLSCREEN_DESKTOP where a
// window manager runs).
bool isFullScreenWindow(HWND window);

// "Screen" positions of the game window (GetCursorPos, ClientToScreen) are the window's position on the
// desktop plus game coordinates, so that ScreenToClient gives game coordinates back, also outside the window.
//
// Set by the display whenever it changes how the picture is placed; kept until the window is destroyed.
// Until set, a windowed window shows the game at 1:1 at (0, 0), and the full-screen window shows it scaled
// to fit (aspect kept) and centred.
//
// Mouse events and GetCursorPos are mapped with it. If the display uses SDL_RenderSetLogicalSize instead,
// SDL itself rewrites mouse events to logical coordinates; the window layer notices a logical size on the
// window's renderer and then maps only GetCursorPos (which SDL does not rewrite). Either way works, but the
// area must be set for GetCursorPos to be right.
void setGameArea(HWND window, const GameArea& area);
GameArea gameAreaOf(HWND window);

// Called once when the window is being destroyed, after WM_DESTROY has reached the procedure and before
// the SDL window goes, so that the display can free its renderer and textures first. One hook per window;
// setting another replaces it.
void setWindowDestroyHook(HWND window, std::function<void()> hook);

} // namespace host
