#pragma once
// Inside the window layer only: the live window, shared by the window calls and the message queue.

#include "host/SdlWindow.h"
#include "host/WindowEvents.h"

#include <SDL.h>

#include <functional>
#include <string>

namespace host {

struct WindowRecord {
    HWND handle = nullptr;
    SDL_Window* sdl = nullptr;
    std::string title;
    std::string className;
    WNDPROC procedure = nullptr;
    UINT classStyle = 0;
    DWORD style = 0;
    // The size asked for at creation: the game size of the full-screen window.
    int width = 0;
    int height = 0;
    bool fullScreen = false;
    bool destroying = false;
    bool hasArea = false;
    GameArea area;
    std::function<void()> destroyHook;
};

// The live window with that handle, else null. Never hold the pointer across a call of the procedure:
// the procedure may destroy the window.
WindowRecord* windowRecord(HWND window);
WindowRecord* currentRecord();
// The game area in force: the display's, else the default for the kind of window.
GameArea effectiveArea(const WindowRecord& record);
// The window facts the event translation needs (the input state is the queue's).
void describeWindow(const WindowRecord& record, EventContext& context);

// The pointer's position relative to the window's client area, asked of the display server where SDL's own
// answer may be stale; false when that is not possible (the caller then asks SDL).
bool pointerInWindow(SDL_Window* window, int* x, int* y);

// Requests from other processes to the window of this one (see WindowRequests.cpp): the current window
// listens under its title while it lives, and the requests are answered when messages are pumped.
void listenForRequests(HWND window, const std::string& title);
void stopListening();
void answerRequests();
// The caller's side: a handle for the window of that title in another process (null when there is none),
// which ShowWindow with SW_RESTORE and SetForegroundWindow pass on to that process.
HWND findWindowElsewhere(const char* title);
bool isWindowElsewhere(HWND window);
BOOL restoreWindowElsewhere(HWND window);
BOOL raiseWindowElsewhere(HWND window);

// The picture of an icon from LoadIcon, read anew for the window being made; the caller frees it. Null for no
// icon.
SDL_Surface* loadIconPicture(HICON icon);

// From the start of video on, a request of the system to end the program (SIGTERM, SIGINT, SIGHUP: a
// logout, a shutdown, a kill, Ctrl+C in its terminal) reaches the current window as WM_ENDSESSION with
// wParam TRUE (the next one made, when there is none). The program ends itself, keeping what it must;
// a request made while one waits is the same request. A signal the program was started with ignored, or
// handled otherwise, is left as it was.
void catchEndOfSession();
// Under the sanitizers, a fork made while the program's other threads run is told on stderr: such a child can
// hang for good at its first allocation. Nothing in other builds.
void watchForks();
// Shows a message box by a copy of the program, started from the program's file (the path given) with
// arguments that make it show the box and nothing else, and waits until the copy has ended. True when the
// copy came to show the box, however it ended then; false when no copy could be started or the one started
// never came to show it: the caller then shows the box itself.
bool showBoxInCopy(const std::string& program, bool warning, const char* caption, const char* text);
// The display's end (its server gone, as at a logout) is the session's end too: from then on nothing is
// asked of the display, and the request to end reaches the window as a signal's does. Callable from inside
// the display library, on the thread whose call found the connection broken.
void endSessionWithDisplay();

// Queued messages of a destroyed window are dropped, as is its pending paint; a close request among them
// is kept for the next window, which passOnCloseRequest hands it to once made, and so is a request to end,
// which the next window gets as one that found no window.
void forgetMessagesOf(HWND window);
void passOnCloseRequest(HWND window);
void requestPaint(HWND window);

} // namespace host
