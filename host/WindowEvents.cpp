#include "host/WindowEvents.h"

#include <cmath>

namespace host {
namespace {

constexpr LPARAM HTCLIENT = 1;

bool forWindow(Uint32 windowId, const EventContext& context) {
    // Keyboard events carry no window while SDL has not seen the focus arrive (a window manager that
    // lets the pointer choose the focus); the one window is theirs.
    return context.window != nullptr && (windowId == 0 || windowId == context.windowId);
}

MSG message(const EventContext& context, const SDL_Event& event, UINT code, WPARAM wParam, LPARAM lParam) {
    MSG result;
    result.hwnd = context.window;
    result.message = code;
    result.wParam = wParam;
    result.lParam = lParam;
    result.time = event.common.timestamp;
    return result;
}

WPARAM keyFlags(Uint32 buttons, Uint16 mods) {
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK) {
        flags |= MK_LBUTTON;
    }
    if (buttons & SDL_BUTTON_RMASK) {
        flags |= MK_RBUTTON;
    }
    if (buttons & SDL_BUTTON_MMASK) {
        flags |= MK_MBUTTON;
    }
    if (mods & KMOD_SHIFT) {
        flags |= MK_SHIFT;
    }
    if (mods & KMOD_CTRL) {
        flags |= MK_CONTROL;
    }
    return flags;
}

MSG mouseMessage(const EventContext& context, const SDL_Event& event, UINT code, WPARAM flags, int x, int y) {
    const SDL_Point game =
        context.eventsInGameCoordinates ? SDL_Point{x, y} : gameFromWindow(context.area, x, y);
    MSG result = message(context, event, code, flags, MAKELPARAM(game.x, game.y));
    result.pt = POINT{game.x + context.windowPosition.x, game.y + context.windowPosition.y};
    return result;
}

void translateMotion(const SDL_Event& event, const EventContext& context, std::vector<MSG>& out) {
    // While a button is held the pointer is captured and may be outside: the platform asks for no cursor
    // then.
    if (event.motion.state == 0) {
        out.push_back(message(context, event, WM_SETCURSOR, reinterpret_cast<WPARAM>(context.window),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    }
    out.push_back(mouseMessage(context, event, WM_MOUSEMOVE, keyFlags(event.motion.state, context.keyMods),
                               event.motion.x, event.motion.y));
}

void translateButton(const SDL_Event& event, const EventContext& context, std::vector<MSG>& out) {
    UINT down = 0;
    switch (event.button.button) {
    case SDL_BUTTON_LEFT:
        down = WM_LBUTTONDOWN;
        break;
    case SDL_BUTTON_RIGHT:
        down = WM_RBUTTONDOWN;
        break;
    case SDL_BUTTON_MIDDLE:
        down = WM_MBUTTONDOWN;
        break;
    default:
        return;
    }
    const bool pressed = event.type == SDL_MOUSEBUTTONDOWN;
    const Uint32 mask = SDL_BUTTON(event.button.button);
    const Uint32 buttons = pressed ? (context.mouseButtons | mask) : (context.mouseButtons & ~mask);
    // The even clicks of a series are the double clicks; the third starts a new pair.
    const bool doubleClick =
        pressed && context.doubleClicks && event.button.clicks >= 2 && event.button.clicks % 2 == 0;
    const UINT code = !pressed ? down + 1 : doubleClick ? down + 2 : down;
    out.push_back(mouseMessage(context, event, code, keyFlags(buttons, context.keyMods), event.button.x,
                               event.button.y));
}

void translateKey(const SDL_Event& event, const EventContext& context, std::vector<MSG>& out) {
    const SDL_Keycode key = event.key.keysym.sym;
    const WPARAM virtualKey = virtualKeyOf(key);
    if (virtualKey == 0) {
        return;
    }
    const Uint16 mods = event.key.keysym.mod;
    const bool pressed = event.type == SDL_KEYDOWN;
    const bool alt = (mods & KMOD_ALT) != 0;
    const bool isAltKey = key == SDLK_LALT || key == SDLK_RALT;
    // Alt combinations (not with Control, which the platform treats as plain keys), the Alt key itself
    // and F10 belong to the system menu's keys.
    const bool system = ((alt || isAltKey) && !(mods & KMOD_CTRL)) || key == SDLK_F10;
    const UINT code = system ? (pressed ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (pressed ? WM_KEYDOWN : WM_KEYUP);
    LPARAM lParam = 1 | (static_cast<LPARAM>(event.key.keysym.scancode & 0xFF) << 16);
    if (alt) {
        lParam |= LPARAM{1} << 29;
    }
    if (!pressed || event.key.repeat) {
        lParam |= LPARAM{1} << 30;
    }
    if (!pressed) {
        lParam |= LPARAM{1} << 31;
    }
    out.push_back(message(context, event, code, virtualKey, lParam));
}

// Typed text as single-byte characters; control characters come from their keys instead (TranslateMessage),
// so that they are never doubled.
void translateText(const SDL_Event& event, const EventContext& context, std::vector<MSG>& out) {
    const auto* text = reinterpret_cast<const unsigned char*>(event.text.text);
    std::size_t i = 0;
    while (i < sizeof(event.text.text) && text[i] != 0) {
        const unsigned char lead = text[i];
        int length = 1;
        Uint32 codePoint = lead;
        if (lead >= 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0x80) {
            ++i; // a stray continuation byte
            continue;
        }
        for (int k = 1; k < length; ++k) {
            if (i + k >= sizeof(event.text.text) || (text[i + k] & 0xC0) != 0x80) {
                return;
            }
            codePoint = (codePoint << 6) | (text[i + k] & 0x3F);
        }
        i += static_cast<std::size_t>(length);
        if (codePoint >= 0x20 && codePoint != 0x7F && codePoint <= 0xFF) {
            out.push_back(message(context, event, WM_CHAR, codePoint, 1));
        }
    }
}

void translateWindowEvent(const SDL_Event& event, const EventContext& context, std::vector<MSG>& out) {
    const LPARAM size = MAKELPARAM(context.area.gameWidth, context.area.gameHeight);
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back(message(context, event, WM_SETFOCUS, 0, 0));
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out.push_back(message(context, event, WM_KILLFOCUS, 0, 0));
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        out.push_back(message(context, event, WM_SIZE, SIZE_MINIMIZED, 0));
        break;
    case SDL_WINDOWEVENT_RESTORED:
        out.push_back(message(context, event, WM_SIZE, SIZE_RESTORED, size));
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        // The engine answers a maximise by switching to full screen; the full-screen window itself is
        // reported as maximised by some window managers, which must not switch back.
        if (!context.fullScreen) {
            out.push_back(message(context, event, WM_SIZE, SIZE_MAXIMIZED, size));
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        out.push_back(message(context, event, WM_PAINT, 0, 0));
        break;
    case SDL_WINDOWEVENT_MOVED:
        out.push_back(
            message(context, event, WM_MOVE, 0, MAKELPARAM(event.window.data1, event.window.data2)));
        break;
    default:
        break;
    }
}

} // namespace

SDL_Point gameFromWindow(const GameArea& area, int x, int y) {
    if (area.shown.w <= 0 || area.shown.h <= 0) {
        return SDL_Point{x, y};
    }
    const double gx = std::floor(static_cast<double>(x - area.shown.x) * area.gameWidth / area.shown.w);
    const double gy = std::floor(static_cast<double>(y - area.shown.y) * area.gameHeight / area.shown.h);
    return SDL_Point{static_cast<int>(gx), static_cast<int>(gy)};
}

WPARAM virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + static_cast<WPARAM>(key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + static_cast<WPARAM>(key - SDLK_0);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
    }
    switch (key) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    default:
        return 0;
    }
}

std::vector<MSG> translateEvent(const SDL_Event& event, const EventContext& context) {
    std::vector<MSG> out;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (forWindow(event.motion.windowID, context)) {
            translateMotion(event, context, out);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (forWindow(event.button.windowID, context)) {
            translateButton(event, context, out);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (forWindow(event.key.windowID, context)) {
            translateKey(event, context, out);
        }
        break;
    case SDL_TEXTINPUT:
        if (forWindow(event.text.windowID, context)) {
            translateText(event, context, out);
        }
        break;
    case SDL_WINDOWEVENT:
        // There is one game window at a time, so closing any of them, also one that a full-screen switch
        // has replaced meanwhile, asks the game to close. Other events of a window already destroyed are
        // dropped here.
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (context.window != nullptr) {
                out.push_back(message(context, event, WM_CLOSE, 0, 0));
            }
        } else if (context.window != nullptr && event.window.windowID == context.windowId) {
            translateWindowEvent(event, context, out);
        }
        break;
    case SDL_QUIT:
        // SDL's quit request, from outside the window, is a request to close, which the game may answer
        // with a question; never an immediate end. (The system's signals end the session instead.)
        if (context.window != nullptr) {
            out.push_back(message(context, event, WM_CLOSE, 0, 0));
        }
        break;
    default:
        break;
    }
    return out;
}

void followEvent(EventContext& context, const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        context.mouseButtons = event.motion.state;
        break;
    case SDL_MOUSEBUTTONDOWN:
        context.mouseButtons |= SDL_BUTTON(event.button.button);
        break;
    case SDL_MOUSEBUTTONUP:
        context.mouseButtons &= ~SDL_BUTTON(event.button.button);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        context.keyMods = event.key.keysym.mod;
        break;
    default:
        break;
    }
}

} // namespace host
