// The message queue: SDL's events translated into messages, posted messages, the quit request and the
// pending paint, handed out in the platform's order.

#include "host/Messages.h"
#include "host/Time.h"
#include "host/Window.h"
#include "host/WindowEvents.h"
#include "host/WindowState.h"
#include "host/WindowX11.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <deque>
#include <mutex>

namespace host {
namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

struct MessageQueue {
    std::mutex lock;
    std::deque<MSG> messages;
    bool quitPending = false;
    int quitCode = 0;
    HWND paintPending = nullptr;
    // A close request that found no window: its window was destroyed before the request was handled (the
    // engine replaces its window for a full-screen switch), so the next window gets it.
    bool closeForNextWindow = false;
    // The input state followed across events (buttons, modifiers).
    EventContext input;
};

MessageQueue& queue() {
    static MessageQueue state;
    return state;
}

// Set by the signal handler (on whichever thread the signal lands), taken by the pump on the main thread.
std::atomic<bool> endOfSessionRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onEndOfSessionSignal(int /*signal*/) {
    endOfSessionRequested.store(true);
}

// Set once, when the display's connection has ended; never cleared.
std::atomic<bool> displayEnded{false};

// Handed to the window that is there; without one the request waits for the next window.
void passOnEndOfSession(MessageQueue& q, const EventContext& context) {
    if (context.window == nullptr || !endOfSessionRequested.exchange(false)) {
        return;
    }
    MSG message;
    message.hwnd = context.window;
    message.message = WM_ENDSESSION;
    message.wParam = TRUE;
    message.time = SDL_GetTicks();
    q.messages.push_back(message);
}

bool inRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    return (window == nullptr || message.hwnd == window) && inRange(message.message, filterMin, filterMax);
}

// The window's close button, or a request from outside (a signal).
bool isCloseRequest(const SDL_Event& event) {
    return event.type == SDL_QUIT ||
           (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
}

// Drains SDL's queue into ours. Called on the main thread only, as SDL requires.
void pumpEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    answerRequests();
    // SDL handles the events it read before a break on the dead connection (asking it, say, for the name
    // of a root window's property that changed): an end found inside the pump leaves it at once.
    whileDisplayLasts([] { SDL_PumpEvents(); });
    MessageQueue& q = queue();
    SDL_Event events[64];
    int count = 0;
    while ((count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        // Looked up per batch: a window may have come or gone since the last pump.
        EventContext context = q.input;
        if (const WindowRecord* record = currentRecord(); record != nullptr && !record->destroying) {
            describeWindow(*record, context);
        } else {
            context.window = nullptr;
        }
        std::lock_guard guard(q.lock);
        for (int i = 0; i < count; ++i) {
            if (context.window == nullptr && isCloseRequest(events[i])) {
                q.closeForNextWindow = true;
            }
            for (const MSG& message : translateEvent(events[i], context)) {
                if (message.message == WM_PAINT) {
                    q.paintPending = message.hwnd;
                } else {
                    q.messages.push_back(message);
                }
            }
            followEvent(context, events[i]);
        }
        q.input.mouseButtons = context.mouseButtons;
        q.input.keyMods = context.keyMods;
    }
    if (endOfSessionRequested.load()) {
        EventContext context;
        if (const WindowRecord* record = currentRecord(); record != nullptr && !record->destroying) {
            describeWindow(*record, context);
        }
        std::lock_guard guard(q.lock);
        passOnEndOfSession(q, context);
    }
}

// Something PeekMessage would hand out at once, without asking SDL.
bool queueHolds() {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    return !q.messages.empty() || q.quitPending || q.paintPending != nullptr || endOfSessionRequested.load();
}

} // namespace

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* /*handles*/, BOOL /*waitAll*/, DWORD milliseconds,
                                DWORD wakeMask) {
    if (count != 0) {
        return WAIT_FAILED;
    }
    if (testing::fakeClockRuns() || wakeMask == 0 || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        Sleep(milliseconds);
        return WAIT_TIMEOUT;
    }
    if (queueHolds()) {
        return WAIT_OBJECT_0;
    }
    // A connection that has ended reads as ready at once, for ever: the rest of the program's life is slept.
    if (displayLost()) {
        Sleep(milliseconds);
        return WAIT_TIMEOUT;
    }
    const int timeout =
        milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, INT_MAX));
    // Events SDL has read already but the queue has not taken yet.
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
        return WAIT_OBJECT_0;
    }
    const WindowRecord* record = currentRecord();
    if (const int waited = record != nullptr ? waitForDisplayServer(record->sdl, timeout) : -1; waited >= 0) {
        return waited > 0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    // Elsewhere SDL waits: it reads what arrives into its own queue and only looks (a null event takes
    // nothing), so the events stay in order for the next PeekMessage; its wait ends as soon as one arrives.
    const DWORD start = timeGetTime();
    int arrived = 0;
    whileDisplayLasts([&arrived, timeout] { arrived = SDL_WaitEventTimeout(nullptr, timeout); });
    if (arrived == 1) {
        return WAIT_OBJECT_0;
    }
    // SDL says 0 on an error too: the rest of the time is slept, so a failing wait never spins.
    const DWORD passed = timeGetTime() - start;
    if (milliseconds != INFINITE && passed < milliseconds) {
        Sleep(milliseconds - passed);
    }
    return WAIT_TIMEOUT;
}

// Restarted system calls: a signal landing on a thread in the middle of a read must not fail that read.
// Only a signal that still has its default action is taken over: one the program was started with ignored
// (nohup, a shell's background job) stays ignored, and one with a handler of its own keeps it.
void catchEndOfSession() {
    struct sigaction action {};
    action.sa_handler = onEndOfSessionSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction inherited {};
        if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_DFL) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

void endSessionWithDisplay() {
    displayEnded.store(true);
    endOfSessionRequested.store(true);
}

bool displayLost() {
    return displayEnded.load();
}

// A request to end that the window had not handled yet is the process's still: it waits for the next
// window as one that came with no window does.
void forgetMessagesOf(HWND window) {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    std::erase_if(q.messages, [&q, window](const MSG& message) {
        if (message.hwnd != window) {
            return false;
        }
        q.closeForNextWindow = q.closeForNextWindow || message.message == WM_CLOSE;
        if (message.message == WM_ENDSESSION && message.wParam != FALSE) {
            endOfSessionRequested.store(true);
        }
        return true;
    });
    if (q.paintPending == window) {
        q.paintPending = nullptr;
    }
}

void passOnCloseRequest(HWND window) {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    if (!q.closeForNextWindow) {
        return;
    }
    q.closeForNextWindow = false;
    MSG message;
    message.hwnd = window;
    message.message = WM_CLOSE;
    message.time = SDL_GetTicks();
    q.messages.push_back(message);
}

void requestPaint(HWND window) {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    q.paintPending = window;
}

BOOL PeekMessage(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (message == nullptr) {
        return FALSE;
    }
    pumpEvents();
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    for (auto it = q.messages.begin(); it != q.messages.end(); ++it) {
        if (matches(*it, window, filterMin, filterMax)) {
            *message = *it;
            if (remove & PM_REMOVE) {
                q.messages.erase(it);
            }
            return TRUE;
        }
    }
    // WM_QUIT only after everything else that was queued, then a paint, as the platform orders them.
    if (q.quitPending && inRange(WM_QUIT, filterMin, filterMax)) {
        *message = MSG{};
        message->message = WM_QUIT;
        message->wParam = static_cast<WPARAM>(q.quitCode);
        message->time = SDL_GetTicks();
        if (remove & PM_REMOVE) {
            q.quitPending = false;
        }
        return TRUE;
    }
    if (q.paintPending != nullptr && (window == nullptr || window == q.paintPending) &&
        inRange(WM_PAINT, filterMin, filterMax)) {
        *message = MSG{};
        message->hwnd = q.paintPending;
        message->message = WM_PAINT;
        message->time = SDL_GetTicks();
        if (remove & PM_REMOVE) {
            q.paintPending = nullptr;
        }
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    if (message == nullptr) {
        return FALSE;
    }
    switch (message->message) {
    case WM_KEYDOWN:
        break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
    // Typed text arrives from SDL as text already; only the keys that make control characters are left.
    switch (message->wParam) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: {
        MSG character = *message;
        character.message = WM_CHAR;
        MessageQueue& q = queue();
        std::lock_guard guard(q.lock);
        // Next in line, before anything that arrived after the key.
        q.messages.push_front(character);
        break;
    }
    default:
        break;
    }
    return TRUE;
}

LRESULT DispatchMessage(const MSG* message) {
    if (message == nullptr) {
        return 0;
    }
    const WindowRecord* record = windowRecord(message->hwnd);
    if (record == nullptr) {
        return 0;
    }
    // Copied out: the procedure may destroy the window (and make another) before it returns.
    const WNDPROC procedure = record->procedure;
    return procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessage(HWND window, UINT code, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && windowRecord(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG message;
    message.hwnd = window;
    message.message = code;
    message.wParam = wParam;
    message.lParam = lParam;
    message.time = SDL_GetTicks();
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    q.messages.push_back(message);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    q.quitPending = true;
    q.quitCode = exitCode;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            DestroyWindow(window);
        }
        return 0;
    case WM_SYSCOMMAND:
        // The low four bits are the platform's own.
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            if (SDL_Window* sdl = sdlWindowOf(window)) {
                whileDisplayLasts([sdl] { SDL_MinimizeWindow(sdl); });
            }
        }
        return 0;
    default:
        return 0;
    }
}

namespace testing {

void clearMessages() {
    MessageQueue& q = queue();
    std::lock_guard guard(q.lock);
    q.messages.clear();
    q.quitPending = false;
    q.quitCode = 0;
    q.paintPending = nullptr;
    q.closeForNextWindow = false;
    q.input = EventContext{};
    endOfSessionRequested.store(false);
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        whileDisplayLasts([] { SDL_PumpEvents(); });
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

bool requestCloseFromOutside() {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_PushEvent(&quit) == 1;
}

bool pushSdlEvent(const SDL_Event& event) {
    SDL_Event copy = event;
    return ensureVideo() && SDL_PushEvent(&copy) == 1;
}

} // namespace testing

} // namespace host
