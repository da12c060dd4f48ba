#pragma once
// Inside the host and its tests only: how one SDL event becomes the window messages the engine expects.
// The translation is a pure function of the event and what is known about the window at the time, so that
// it can be checked without a display.

#include "host/SdlWindow.h"
#include "host/Window.h"

#include <SDL.h>

#include <vector>

namespace host {

// What the translation needs to know about the window and the input state before the event.
struct EventContext {
    HWND window = nullptr;
    Uint32 windowId = 0;
    SDL_Point windowPosition{0, 0};
    bool fullScreen = false;
    // The class asked for double clicks (CS_DBLCLKS).
    bool doubleClicks = true;
    GameArea area;
    // SDL already rewrote mouse positions to the renderer's logical size.
    bool eventsInGameCoordinates = false;
    // SDL_BUTTON masks and key modifiers as they were before this event (see followEvent).
    Uint32 mouseButtons = 0;
    Uint16 keyMods = 0;
};

// The messages for one event, in order; none for events of other windows or of no interest. WM_PAINT
// stands for "the window needs painting"; the queue coalesces it.
std::vector<MSG> translateEvent(const SDL_Event& event, const EventContext& context);
// Keeps the buttons and modifiers of the context up to date after the event.
void followEvent(EventContext& context, const SDL_Event& event);

// Window pixels to game coordinates (floor), and the virtual-key code of an SDL key (0: none).
SDL_Point gameFromWindow(const GameArea& area, int x, int y);
WPARAM virtualKeyOf(SDL_Keycode key);

namespace testing {
// Puts an event into SDL's own queue (starting video if needed); the next PeekMessage translates it.
bool pushSdlEvent(const SDL_Event& event);
} // namespace testing

} // namespace host
