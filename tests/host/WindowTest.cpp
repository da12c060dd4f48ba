#include "host/Window.h"

#include "host/Messages.h"
#include "host/SdlWindow.h"
#include "host/System.h"
#include "host/Time.h"
#include "host/WindowEvents.h"
#include "host/WindowState.h"

#include "RecordingWindow.h"
#include "TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace host;
using testsupport::codes;
using testsupport::reaction;
using testsupport::seen;
using testsupport::windowTitle;

// Set for the copy of this program that the test of signals ignored from the start spawns.
constexpr const char* ignoredSignalsCopy = "HOST_TESTS_SIGNALS_IGNORED_COPY";

// The tests of the system's requests to end, and of a broken connection, expect the dispositions a test
// runner starts them with. Run by hand under nohup, the hangup would come ignored, and the window layer
// rightly leaves it so.
[[maybe_unused]] const bool defaultDispositions = [] {
    if (std::getenv(ignoredSignalsCopy) == nullptr) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
            std::signal(signal, SIG_DFL);
        }
    }
    return true;
}();

const HWND testWindow = reinterpret_cast<HWND>(std::uintptr_t{0x4321});
constexpr Uint32 testWindowId = 7;

using Expected = std::tuple<UINT, WPARAM, LPARAM>;

EventContext context(Uint32 buttons = 0, Uint16 mods = 0, bool fullScreen = false) {
    EventContext result;
    result.window = testWindow;
    result.windowId = testWindowId;
    result.mouseButtons = buttons;
    result.keyMods = mods;
    result.fullScreen = fullScreen;
    return result;
}

EventContext scaled() {
    EventContext result = context();
    result.area = GameArea{640, 480, SDL_Rect{160, 0, 960, 720}};
    return result;
}

EventContext withoutDoubleClicks() {
    EventContext result = context();
    result.doubleClicks = false;
    return result;
}

SDL_Event event(Uint32 type) {
    SDL_Event made{};
    made.type = type;
    return made;
}

SDL_Event motion(int x, int y, Uint32 state = 0, Uint32 windowId = testWindowId) {
    SDL_Event made = event(SDL_MOUSEMOTION);
    made.motion.windowID = windowId, made.motion.x = x, made.motion.y = y, made.motion.state = state;
    return made;
}

SDL_Event button(bool down, Uint8 which, Uint8 clicks, int x = 5, int y = 6) {
    SDL_Event made = event(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
    made.button.windowID = testWindowId, made.button.button = which, made.button.clicks = clicks;
    made.button.x = x, made.button.y = y;
    return made;
}

SDL_Event key(bool down, SDL_Keycode sym, Uint16 mod = 0, Uint8 repeat = 0, Uint32 windowId = testWindowId) {
    SDL_Event made = event(down ? SDL_KEYDOWN : SDL_KEYUP);
    made.key.windowID = windowId, made.key.keysym.sym = sym, made.key.keysym.mod = mod,
    made.key.repeat = repeat;
    return made;
}

SDL_Event text(const char* utf8, Uint32 windowId = testWindowId) {
    SDL_Event made = event(SDL_TEXTINPUT);
    made.text.windowID = windowId;
    std::strncpy(made.text.text, utf8, sizeof(made.text.text) - 1);
    return made;
}

SDL_Event windowEvent(Uint8 kind, int data1 = 0, int data2 = 0, Uint32 windowId = testWindowId) {
    SDL_Event made = event(SDL_WINDOWEVENT);
    made.window.windowID = windowId, made.window.event = kind, made.window.data1 = data1;
    made.window.data2 = data2;
    return made;
}

constexpr LPARAM cursorParameter = MAKELPARAM(1, WM_MOUSEMOVE);
constexpr LPARAM keyUpBits = (LPARAM{1} << 30) | (LPARAM{1} << 31) | 1;
constexpr LPARAM repeatBits = (LPARAM{1} << 30) | 1;
constexpr LPARAM altBits = (LPARAM{1} << 29) | 1;
const WPARAM selfParameter = reinterpret_cast<WPARAM>(testWindow);
const LPARAM sizeParameter = MAKELPARAM(640, 480);

struct Case {
    const char* name;
    SDL_Event event;
    EventContext context;
    std::vector<Expected> expected;
};

TEST(WindowTranslation, EventsBecomeThePlatformsMessages) {
    const LPARAM at = MAKELPARAM(5, 6);
    const LPARAM altUp = keyUpBits | (LPARAM{1} << 29);
    // clang-format off
    const std::vector<Case> cases = {
        {"move", motion(10, 20), context(), {{WM_SETCURSOR, selfParameter, cursorParameter}, {WM_MOUSEMOVE, 0, MAKELPARAM(10, 20)}}},
        {"drag left of the window, shift held", motion(-5, -3, SDL_BUTTON_LMASK), context(0, KMOD_LSHIFT),
         {{WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, LPARAM{0xFFFDFFFB}}}},
        {"all buttons and control", motion(1, 2, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK | SDL_BUTTON_MMASK),
         context(0, KMOD_RCTRL), {{WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(1, 2)}}},
        {"scaled picture", motion(160 + 300, 150), scaled(),
         {{WM_SETCURSOR, selfParameter, cursorParameter}, {WM_MOUSEMOVE, 0, MAKELPARAM(200, 100)}}},
        {"scaled, on the side bar", motion(100, 719), scaled(),
         {{WM_SETCURSOR, selfParameter, cursorParameter}, {WM_MOUSEMOVE, 0, MAKELPARAM(-40, 479)}}},
        {"motion of another window", motion(1, 1, 0, testWindowId + 1), context(), {}},
        {"left down, right held", button(true, SDL_BUTTON_LEFT, 1), context(SDL_BUTTON_RMASK, KMOD_LCTRL),
         {{WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, at}}},
        {"left double", button(true, SDL_BUTTON_LEFT, 2), context(), {{WM_LBUTTONDBLCLK, MK_LBUTTON, at}}},
        {"left third click", button(true, SDL_BUTTON_LEFT, 3), context(), {{WM_LBUTTONDOWN, MK_LBUTTON, at}}},
        {"left fourth click", button(true, SDL_BUTTON_LEFT, 4), context(), {{WM_LBUTTONDBLCLK, MK_LBUTTON, at}}},
        {"left up", button(false, SDL_BUTTON_LEFT, 2), context(SDL_BUTTON_LMASK), {{WM_LBUTTONUP, 0, at}}},
        {"double without the class style", button(true, SDL_BUTTON_LEFT, 2), withoutDoubleClicks(),
         {{WM_LBUTTONDOWN, MK_LBUTTON, at}}},
        {"right double", button(true, SDL_BUTTON_RIGHT, 2), context(), {{WM_RBUTTONDBLCLK, MK_RBUTTON, at}}},
        {"right up", button(false, SDL_BUTTON_RIGHT, 1), context(SDL_BUTTON_RMASK), {{WM_RBUTTONUP, 0, at}}},
        {"middle down", button(true, SDL_BUTTON_MIDDLE, 1, -2, 3), context(), {{WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(-2, 3)}}},
        {"side button", button(true, SDL_BUTTON_X1, 1), context(), {}},
        {"letter", key(true, SDLK_q), context(), {{WM_KEYDOWN, 'Q', 1}}},
        {"letter up", key(false, SDLK_q), context(), {{WM_KEYUP, 'Q', keyUpBits}}},
        {"repeat", key(true, SDLK_z, 0, 1), context(), {{WM_KEYDOWN, 'Z', repeatBits}}},
        {"digit", key(true, SDLK_7), context(), {{WM_KEYDOWN, '7', 1}}},
        {"F1", key(true, SDLK_F1), context(), {{WM_KEYDOWN, VK_F1, 1}}},
        {"F12", key(true, SDLK_F12), context(), {{WM_KEYDOWN, VK_F12, 1}}},
        {"down", key(true, SDLK_DOWN), context(), {{WM_KEYDOWN, VK_DOWN, 1}}},
        {"page down", key(true, SDLK_PAGEDOWN), context(), {{WM_KEYDOWN, VK_NEXT, 1}}},
        {"insert", key(true, SDLK_INSERT), context(), {{WM_KEYDOWN, VK_INSERT, 1}}},
        {"keypad enter", key(true, SDLK_KP_ENTER), context(), {{WM_KEYDOWN, VK_RETURN, 1}}},
        {"pause", key(true, SDLK_PAUSE), context(), {{WM_KEYDOWN, VK_PAUSE, 1}}},
        {"right control", key(true, SDLK_RCTRL, KMOD_RCTRL), context(), {{WM_KEYDOWN, VK_CONTROL, 1}}},
        {"unmapped key", key(true, SDLK_F13), context(), {}},
        {"key without window", key(true, SDLK_a, 0, 0, 0), context(), {{WM_KEYDOWN, 'A', 1}}},
        {"key of another window", key(true, SDLK_a, 0, 0, testWindowId + 1), context(), {}},
        {"alt down", key(true, SDLK_LALT, KMOD_LALT), context(), {{WM_SYSKEYDOWN, VK_MENU, altBits}}},
        {"alt up", key(false, SDLK_LALT), context(), {{WM_SYSKEYUP, VK_MENU, keyUpBits}}},
        {"alt+enter", key(true, SDLK_RETURN, KMOD_LALT), context(), {{WM_SYSKEYDOWN, VK_RETURN, altBits}}},
        {"alt+enter up", key(false, SDLK_RETURN, KMOD_RALT), context(), {{WM_SYSKEYUP, VK_RETURN, altUp}}},
        {"F10", key(true, SDLK_F10), context(), {{WM_SYSKEYDOWN, VK_F10, 1}}},
        {"control+alt is plain", key(true, SDLK_a, KMOD_LALT | KMOD_LCTRL), context(), {{WM_KEYDOWN, 'A', altBits}}},
        {"text", text("a\xc3\xa9\xe2\x82\xac" "B"), context(), {{WM_CHAR, 'a', 1}, {WM_CHAR, 0xE9, 1}, {WM_CHAR, 'B', 1}}},
        {"control characters come from keys", text("\r\t\b\x1b\x7f"), context(), {}},
        {"focus in", windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), context(), {{WM_SETFOCUS, 0, 0}}},
        {"focus out", windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), context(), {{WM_KILLFOCUS, 0, 0}}},
        {"focus of a gone window", windowEvent(SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, testWindowId - 1), context(), {}},
        {"minimised", windowEvent(SDL_WINDOWEVENT_MINIMIZED), context(), {{WM_SIZE, SIZE_MINIMIZED, 0}}},
        {"restored", windowEvent(SDL_WINDOWEVENT_RESTORED), context(), {{WM_SIZE, SIZE_RESTORED, sizeParameter}}},
        {"maximised", windowEvent(SDL_WINDOWEVENT_MAXIMIZED), context(), {{WM_SIZE, SIZE_MAXIMIZED, sizeParameter}}},
        {"full screen never maximises", windowEvent(SDL_WINDOWEVENT_MAXIMIZED), context(0, 0, true), {}},
        {"full screen restored", windowEvent(SDL_WINDOWEVENT_RESTORED), context(0, 0, true), {{WM_SIZE, SIZE_RESTORED, sizeParameter}}},
        {"exposed", windowEvent(SDL_WINDOWEVENT_EXPOSED), context(), {{WM_PAINT, 0, 0}}},
        {"moved", windowEvent(SDL_WINDOWEVENT_MOVED, 30, -40), context(), {{WM_MOVE, 0, MAKELPARAM(30, -40)}}},
        {"shown", windowEvent(SDL_WINDOWEVENT_SHOWN), context(), {}},
        {"close", windowEvent(SDL_WINDOWEVENT_CLOSE), context(), {{WM_CLOSE, 0, 0}}},
        {"close of a replaced window", windowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, testWindowId - 1), context(), {{WM_CLOSE, 0, 0}}},
        {"quit asks to close", event(SDL_QUIT), context(), {{WM_CLOSE, 0, 0}}},
        {"quit without a window", event(SDL_QUIT), EventContext{}, {}},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<Expected> got;
        for (const MSG& message : translateEvent(test.event, test.context)) {
            EXPECT_EQ(message.hwnd, test.context.window);
            got.emplace_back(message.message, message.wParam, message.lParam);
        }
        EXPECT_EQ(got, test.expected);
    }
}

TEST(WindowTranslation, ButtonsAndModifiersAreFollowedAcrossEvents) {
    EventContext state = context();
    followEvent(state, key(true, SDLK_LSHIFT, KMOD_LSHIFT));
    followEvent(state, button(true, SDL_BUTTON_LEFT, 1));
    followEvent(state, button(true, SDL_BUTTON_RIGHT, 1));
    std::vector<MSG> got = translateEvent(button(false, SDL_BUTTON_LEFT, 1), state);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, MK_RBUTTON | MK_SHIFT);
    followEvent(state, key(false, SDLK_LSHIFT, 0));
    followEvent(state, motion(0, 0, 0));
    got = translateEvent(button(true, SDL_BUTTON_MIDDLE, 1), state);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, MK_MBUTTON);
}

constexpr UINT pingMessage = 0x8001;

class HostWindow : public testsupport::RecordingWindowTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        RecordingWindowTest::SetUp();
    }

    // The client area's width and height; -1 for a window that is gone.
    static std::pair<int, int> clientSize(HWND window) {
        RECT client{};
        return GetClientRect(window, &client) ? std::pair(client.right, client.bottom) : std::pair(-1, -1);
    }

    // Everything the queue holds now, translated and dispatched like the engine's main loop does.
    static std::vector<MSG> drain() {
        std::vector<MSG> taken;
        MSG message;
        for (int i = 0; i < 100 && PeekMessage(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            taken.push_back(message);
            if (message.message == WM_QUIT) {
                break;
            }
            TranslateMessage(&message);
            DispatchMessage(&message);
        }
        return taken;
    }
};

TEST_F(HostWindow, TheProcedureSeesTheWindowBeingCreated) {
    HWND duringCreate = nullptr;
    SDL_Window* sdlDuringCreate = nullptr;
    reaction = [&](HWND window, UINT message, WPARAM) -> LRESULT {
        if (message == WM_CREATE) {
            duringCreate = currentWindow();
            sdlDuringCreate = sdlWindowOf(window);
        }
        return 0;
    };
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_NCCALCSIZE, WM_CREATE}));
    EXPECT_EQ(seen[1].hwnd, window);
    EXPECT_EQ(duringCreate, window);
    EXPECT_NE(sdlDuringCreate, nullptr);
    EXPECT_EQ(FindWindow(nullptr, windowTitle), window);
    EXPECT_EQ(FindWindow(nullptr, "another game"), nullptr);

    // One window at a time.
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(clientSize(window), std::pair(640, 480));
}

TEST_F(HostWindow, ARefusedCreationLeavesNoWindow) {
    reaction = [](HWND, UINT message, WPARAM) -> LRESULT { return message == WM_CREATE ? -1 : 0; };
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_NCCALCSIZE, WM_CREATE, WM_DESTROY}));
    EXPECT_EQ(FindWindow(nullptr, windowTitle), nullptr);

    reaction = nullptr;
    host::testing::failCall("CreateWindowEx", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(create(), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    host::testing::failCall("RegisterClass", ERROR_ACCESS_DENIED, 1);
    WNDCLASS other;
    other.lpfnWndProc = testsupport::recordingProcedure;
    other.lpszClassName = "other";
    EXPECT_EQ(RegisterClass(&other), 0);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

// The full-screen switch: the procedure destroys its own window while handling a key, then makes the new
// one, and the queue must not hand the old window's messages to anyone.
TEST_F(HostWindow, DestroyingFromInsideTheProcedureDeliversDestroyAtOnce) {
    bool destroyedInside = false;
    HWND replacement = nullptr;
    reaction = [&](HWND window, UINT message, WPARAM) -> LRESULT {
        if (message == pingMessage) {
            const std::size_t before = seen.size();
            EXPECT_TRUE(DestroyWindow(window));
            destroyedInside = seen.size() == before + 1 && seen.back().message == WM_DESTROY;
            replacement = create(WS_POPUP);
        }
        return 0;
    };
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessage(window, pingMessage, 0, 0));
    ASSERT_TRUE(PostMessage(window, pingMessage + 1, 0, 0));
    seen.clear();
    const std::vector<MSG> taken = drain();

    EXPECT_TRUE(destroyedInside);
    ASSERT_NE(replacement, nullptr);
    EXPECT_NE(replacement, window);
    EXPECT_TRUE(isFullScreenWindow(replacement));
    EXPECT_EQ(codes(seen), (std::vector<UINT>{pingMessage, WM_DESTROY, WM_NCCALCSIZE, WM_CREATE}));
    EXPECT_EQ(codes(taken), (std::vector<UINT>{pingMessage})) << "the old window's later message is dropped";
    EXPECT_EQ(clientSize(window), std::pair(-1, -1));
    EXPECT_FALSE(PostMessage(window, pingMessage, 0, 0));
    EXPECT_EQ(DefWindowProc(window, WM_CLOSE, 0, 0), 0);
}

TEST_F(HostWindow, QuitComesAfterEverythingQueued) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessage(window, pingMessage, 1, 0));
    PostQuitMessage(3);
    ASSERT_TRUE(PostMessage(nullptr, pingMessage, 2, 0));

    MSG message;
    ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    const std::vector<MSG> taken = drain();
    ASSERT_EQ(codes(taken), (std::vector<UINT>{pingMessage, pingMessage, WM_QUIT}));
    EXPECT_EQ(taken[1].wParam, 2u);
    EXPECT_EQ(taken[2].wParam, 3u);
    EXPECT_EQ(taken[2].hwnd, nullptr);
    EXPECT_FALSE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(HostWindow, ClosingDestroysTheWindowWithoutQuitting) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(host::testing::pushSdlEvent(
        windowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, SDL_GetWindowID(sdlWindowOf(window)))));
    seen.clear();
    const std::vector<MSG> taken = drain();

    EXPECT_EQ(codes(taken), (std::vector<UINT>{WM_CLOSE}));
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(FindWindow(nullptr, windowTitle), nullptr);
}

// A close request, or the system's request to end, must outlive the window it was made for when the engine
// replaces that window (a full-screen switch) before the request is handled: the new window gets it.
TEST_F(HostWindow, ACloseOrEndRequestPassesToTheWindowThatReplacesItsOwn) {
    for (const UINT request : {WM_CLOSE, WM_ENDSESSION}) {
        for (const bool queuedAlready : {true, false}) {
            SCOPED_TRACE(request == WM_CLOSE ? "close" : "end");
            SCOPED_TRACE(queuedAlready ? "translated before the switch" : "not yet taken from outside");
            const HWND window = create();
            ASSERT_NE(window, nullptr);
            drain();
            if (request == WM_CLOSE) {
                ASSERT_TRUE(host::testing::pushSdlEvent(
                    windowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, SDL_GetWindowID(sdlWindowOf(window)))));
            } else {
                ASSERT_EQ(std::raise(SIGTERM), 0);
            }
            MSG message;
            if (queuedAlready) {
                ASSERT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_NOREMOVE));
                ASSERT_EQ(message.message, request);
            }
            ASSERT_TRUE(DestroyWindow(window));
            const HWND replacement = create(WS_POPUP);
            ASSERT_NE(replacement, nullptr);
            seen.clear();
            drain();
            EXPECT_EQ(codes(seen), (std::vector<UINT>{request, WM_DESTROY}));
            EXPECT_EQ(FindWindow(nullptr, windowTitle), nullptr);
        }
    }
}

// The system's requests to end the program (a shutdown's SIGTERM, Ctrl+C's SIGINT, a logout's SIGHUP) end
// nothing by themselves: each reaches the window as the session's end, which wakes the wait for messages
// and whose default handling closes the window. Two before the queue is read are one request; one that
// finds no window waits for the next. The display's probe starts video before the first window, as at the
// game's start.
TEST_F(HostWindow, TheSystemsRequestToEndReachesTheWindowAsTheEndOfTheSession) {
    ASSERT_TRUE(probeDisplay());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const HWND window = create();
        ASSERT_NE(window, nullptr);
        drain();
        ASSERT_EQ(std::raise(signal), 0);
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
        seen.clear();
        const std::vector<MSG> taken = drain();
        ASSERT_EQ(codes(taken), (std::vector<UINT>{WM_ENDSESSION}));
        EXPECT_EQ(taken[0].wParam, WPARAM{TRUE});
        EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_ENDSESSION, WM_DESTROY}));
        EXPECT_EQ(FindWindow(nullptr, windowTitle), nullptr);
    }
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(drain().empty());
    ASSERT_NE(create(), nullptr);
    seen.clear();
    drain();
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_ENDSESSION, WM_DESTROY}));
}

// A program started with a signal ignored (by nohup, or as a shell's background job) keeps it ignored once
// video starts: the hangup of a closed terminal or a Ctrl+C meant for another program ends nothing, while
// the signals left at their default still reach the window. Run in a copy of this test started so.
TEST_F(HostWindow, ASignalIgnoredFromTheStartStaysIgnored) {
    if (std::getenv(ignoredSignalsCopy) == nullptr) {
        std::string program = "/proc/self/exe";
        std::string filter = "--gtest_filter=HostWindow.ASignalIgnoredFromTheStartStaysIgnored";
        char* const arguments[] = {program.data(), filter.data(), nullptr};
        std::string mark = std::string(ignoredSignalsCopy) + "=1";
        std::vector<char*> variables{mark.data()};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            variables.push_back(*variable);
        }
        variables.push_back(nullptr);
        // Ignored here only while the copy starts, which inherits that as from nohup.
        const auto hangupBefore = std::signal(SIGHUP, SIG_IGN);
        const auto interruptBefore = std::signal(SIGINT, SIG_IGN);
        pid_t copy = 0;
        const int spawned = ::posix_spawn(&copy, arguments[0], nullptr, nullptr, arguments, variables.data());
        std::signal(SIGHUP, hangupBefore);
        std::signal(SIGINT, interruptBefore);
        ASSERT_EQ(spawned, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(copy, &status, 0), copy);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see the copy's output above";
        return;
    }
    ASSERT_TRUE(probeDisplay());
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    drain();
    for (const int signal : {SIGHUP, SIGINT}) {
        ASSERT_EQ(std::raise(signal), 0);
    }
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_TRUE(drain().empty());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    seen.clear();
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{WM_ENDSESSION}));
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_ENDSESSION, WM_DESTROY}));
}

// Once video has started, a write to a connection whose far end has gone (the X server's, at its end) fails
// with EPIPE instead of ending the program, so that the display library finds the connection broken. The
// signal is caught rather than ignored: a program started from the game gets its default back.
TEST_F(HostWindow, AWriteToABrokenConnectionFailsInsteadOfEndingTheProgram) {
    ASSERT_TRUE(probeDisplay());
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    ::close(ends[1]);
    const char byte = 0;
    EXPECT_EQ(::write(ends[0], &byte, 1), -1);
    EXPECT_EQ(errno, EPIPE);
    ::close(ends[0]);
    struct sigaction caught {};
    ASSERT_EQ(::sigaction(SIGPIPE, nullptr, &caught), 0);
    EXPECT_NE(caught.sa_handler, SIG_IGN);
}

// The main loop's wait between frames ends as soon as something arrives for the queue, and takes nothing:
// what arrived is read afterwards, in the order it came.
TEST_F(HostWindow, TheWaitForMessagesEndsWhenOneArrivesAndTakesNothing) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    drain();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT), WAIT_TIMEOUT) << "nothing came";

    // Already in SDL's queue when the wait begins.
    ASSERT_TRUE(host::testing::pushSdlEvent(key(true, SDLK_a, 0, 0, 0)));
    ASSERT_TRUE(host::testing::pushSdlEvent(
        windowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, SDL_GetWindowID(sdlWindowOf(window)))));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0)
        << "the first wait took nothing";
    seen.clear();
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE}));
    EXPECT_EQ(codes(seen), (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE, WM_DESTROY}));

    // Posted, a quit and a paint count as much as input.
    const HWND second = create();
    ASSERT_NE(second, nullptr);
    drain();
    ASSERT_TRUE(PostMessage(second, pingMessage, 0, 0));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    drain();
    PostQuitMessage(0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{WM_QUIT}));
    InvalidateRect(second, nullptr, TRUE);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    drain();

    // A request from outside (a signal's quit) made by another thread while the main thread waits.
    std::thread requester([] { EXPECT_TRUE(host::testing::requestCloseFromOutside()); });
    const DWORD woken = MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT);
    requester.join();
    EXPECT_EQ(woken, WAIT_OBJECT_0);
    seen.clear();
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{WM_CLOSE}));

    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_FAILED) << "the queue alone";
}

// Under the tests' clock the wait is a Sleep: the time passes at once, whatever waits.
TEST_F(HostWindow, TheWaitForMessagesSleepsUnderTheFakeClock) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessage(window, pingMessage, 0, 0));
    host::testing::useFakeClock(1000);
    const DWORD result = MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    const DWORD after = timeGetTime();
    host::testing::useRealClock();
    EXPECT_EQ(result, WAIT_TIMEOUT);
    EXPECT_EQ(after, 1020u);
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{pingMessage}));
}

// A second process knows the window only by its title, and asks it to come forward; the window's process
// carries the requests out when it pumps its messages.
TEST_F(HostWindow, AnotherProcessFindsTheWindowAndBringsItForward) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Forked before the window exists; only the host's calls and async-signal-safe ones from here.
        char go = 0;
        (void)!::read(ready[0], &go, 1);
        const HWND found = FindWindow(nullptr, windowTitle);
        const bool asked = found != nullptr && ShowWindow(found, SW_RESTORE) && SetForegroundWindow(found);
        const bool othersUnknown =
            FindWindow(nullptr, "another game") == nullptr && FindWindow(windowTitle, windowTitle) == nullptr;
        ::_exit(asked && othersUnknown && !DestroyWindow(found) ? 0 : 1);
    }
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SDL_GetWindowFlags(sdlWindowOf(window)) & SDL_WINDOW_SHOWN, 0u);
    // Pumps that find nobody calling leave the listener ready for the caller that comes later.
    for (int pump = 0; pump < 3; ++pump) {
        drain();
    }
    ASSERT_EQ(::write(ready[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(ready[0]);
    ::close(ready[1]);
    drain();
    EXPECT_NE(SDL_GetWindowFlags(sdlWindowOf(window)) & SDL_WINDOW_SHOWN, 0u);
}

TEST_F(HostWindow, TranslateAddsCharactersOnceEach) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    for (const SDL_Event& pushed :
         {key(true, SDLK_RETURN, 0, 0, 0), text("\r", 0), key(true, SDLK_a, 0, 0, 0), text("a", 0),
          key(true, SDLK_BACKSPACE, 0, 0, 0), key(true, SDLK_ESCAPE, 0, 0, 0), key(true, SDLK_TAB, 0, 1, 0),
          key(true, SDLK_RETURN, KMOD_LALT, 0, 0)}) {
        ASSERT_TRUE(host::testing::pushSdlEvent(pushed));
    }
    const std::vector<MSG> taken = drain();

    std::vector<std::pair<UINT, WPARAM>> got;
    for (const MSG& message : taken) {
        EXPECT_EQ(message.hwnd, window);
        got.emplace_back(message.message, message.wParam);
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYDOWN, 'A'},          {WM_CHAR, 'a'},
        {WM_KEYDOWN, VK_BACK},   {WM_CHAR, 8},  {WM_KEYDOWN, VK_ESCAPE},    {WM_CHAR, 27},
        {WM_KEYDOWN, VK_TAB},    {WM_CHAR, 9},  {WM_SYSKEYDOWN, VK_RETURN},
    };
    EXPECT_EQ(got, expected);
}

TEST_F(HostWindow, PaintsAreCoalescedAndComeLast) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(InvalidateRect(window, nullptr, TRUE));
    ASSERT_TRUE(InvalidateRect(window, nullptr, TRUE));
    ASSERT_TRUE(PostMessage(window, pingMessage, 0, 0));
    EXPECT_EQ(codes(drain()), (std::vector<UINT>{pingMessage, WM_PAINT}));
}

TEST_F(HostWindow, CursorPositionsAreInGameCoordinates) {
    const HWND window = create(WS_POPUP);
    ASSERT_NE(window, nullptr);
    // The picture at 1.5 times its size, centred between bars 160 pixels wide.
    setGameArea(window, GameArea{640, 480, SDL_Rect{160, 0, 960, 720}});
    EXPECT_EQ(clientSize(window), std::pair(640, 480));
    // The dummy driver's pointer rests on the window's corner: on the left bar, outside the picture.
    POINT point{}, corner{};
    ASSERT_TRUE(GetCursorPos(&point) && ScreenToClient(window, &point));
    EXPECT_EQ(std::pair(point.x, point.y), std::pair(-107, 0));
    ASSERT_TRUE(ClientToScreen(window, &corner) && ScreenToClient(window, &corner));
    EXPECT_EQ(std::pair(corner.x, corner.y), std::pair(0, 0));
    EXPECT_FALSE(MoveWindow(nullptr, 0, 0, 1, 1, FALSE));
    EXPECT_TRUE(MoveWindow(window, 5, 5, 10, 10, FALSE));
}

TEST_F(HostWindow, CursorsAreTheSystemsAndNoneHidesThePointer) {
    const std::vector<std::uintptr_t> ids = {IDC_ARROW, IDC_IBEAM,       IDC_WAIT,
                                             IDC_HAND,  IDC_APPSTARTING, IDC_HELP};
    std::vector<HCURSOR> cursors;
    for (const std::uintptr_t id : ids) {
        const HCURSOR cursor = LoadCursor(nullptr, MAKEINTRESOURCE(id));
        ASSERT_NE(cursor, nullptr) << id;
        EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(id)), cursor);
        for (const HCURSOR other : cursors) {
            EXPECT_NE(other, cursor);
        }
        cursors.push_back(cursor);
    }
    EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(12345)), nullptr);

    ASSERT_NE(create(), nullptr);
    SetCursor(cursors[0]);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_EQ(SetCursor(nullptr), cursors[0]);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SetCursor(cursors[3]);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

// The icon file is read for each window made with the icon and nothing of it is kept: the leak check at
// the end of the run sees the rest.
TEST_F(HostWindow, WindowsTakeTheirIconFromTheIconFile) {
    const testsupport::TempDir folder;
    std::filesystem::create_directories(folder.path() / "media");
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_EQ(SDL_SaveBMP(picture, folder.file("media/icon.bmp").c_str()), 0);
    SDL_FreeSurface(picture);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const HICON icon = LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(101));
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(101)), icon);
    WNDCLASS iconic;
    iconic.lpfnWndProc = testsupport::recordingProcedure;
    iconic.hIcon = icon;
    iconic.lpszClassName = "iconic";
    ASSERT_NE(RegisterClass(&iconic), 0);
    const HWND window = CreateWindowEx(0, "iconic", "iconic", WS_CAPTION, 0, 0, 64, 64, nullptr, nullptr,
                                       GetModuleHandle(nullptr), nullptr);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(UnregisterClass("iconic", nullptr));
    EXPECT_TRUE(DestroyWindow(window));
    std::filesystem::current_path(previous);
}

TEST_F(HostWindow, MessageBoxesGoToStderrWithoutADisplay) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(nullptr, "Something broke.", "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Something broke.\n");
}

// A message box's copy counts as a shown box only on its own word that it came to show it (the second
// argument names the descriptor for its words: S about to show the box, D its display ended, K the process
// drawing it was ended by a signal): a program in its place that ends at once or takes the arguments for its
// own, as the dynamic loader does, or a copy failed before its box, is no shown box and the caller shows the
// box itself; one that came to show it is, however it ended then, and is never shown again.
TEST(MessageBoxCopy, OnlyACopyThatCameToShowItsBoxIsAShownBox) {
    struct StandIn {
        const char* does;
        // Null for no program at all.
        const char* script;
        bool shown;
    };
    const StandIn standIns[] = {
        {"is missing", nullptr, false},
        {"ends at once", "exit 0", false},
        {"refuses the arguments as the dynamic loader does", "exit 127", false},
        {"fails before its box", "printf S >&\"$2\"; exit 1", false},
        {"shows its box, closed", "printf '%s\\n' \"$@\" > arguments; printf S >&\"$2\"; exit 0", true},
        {"shows its box, ended by a signal", "printf S >&\"$2\"; kill -KILL $$", true},
        {"shows its box in a fork, ended with its display",
         "printf S >&\"$2\"; (printf D >&\"$2\"; exit 3); exit 3", true},
        {"shows its box in a fork, which a signal ended", "printf S >&\"$2\"; printf K >&\"$2\"; exit 1",
         true},
    };
    const testsupport::TempDir folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    for (const StandIn& standIn : standIns) {
        std::string program = folder.file("missing");
        if (standIn.script != nullptr) {
            program = folder.write("copy", std::string("#!/bin/bash\n") + standIn.script + "\n");
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        }
        EXPECT_EQ(showBoxInCopy(program, true, "Warning", "Mind the gap."), standIn.shown) << standIn.does;
    }
    std::filesystem::current_path(previous);
    std::ifstream given(folder.file("arguments"));
    std::vector<std::string> arguments;
    for (std::string argument; std::getline(given, argument);) {
        arguments.push_back(argument);
    }
    ASSERT_EQ(arguments.size(), 5u);
    EXPECT_EQ(arguments[0], "--message-box");
    EXPECT_EQ(std::vector(arguments.begin() + 2, arguments.end()),
              (std::vector<std::string>{"warning", "Warning", "Mind the gap."}));
}

// The copy's words go only to a descriptor named by digits alone. This program is such a copy; without a
// display its box fails at once, after its first word, and its standard input is a file open for writing.
// Its PATH holds no zenity, the display library's next way, which where installed fails without a display
// too, but with an exit code the library takes for a box shown.
TEST(MessageBoxCopy, WordsGoOnlyToADescriptorNamedByDigits) {
    const testsupport::TempDir folder;
    const std::string heard = folder.file("heard");
    std::string path = "PATH=" + folder.path().string();
    std::vector<char*> variables{path.data()};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!std::string_view(*variable).starts_with("DISPLAY=") &&
            !std::string_view(*variable).starts_with("WAYLAND_DISPLAY=") &&
            !std::string_view(*variable).starts_with("PATH=")) {
            variables.push_back(*variable);
        }
    }
    variables.push_back(nullptr);
    for (const char* named : {"0", "", " 0", "+0", "-0", "0x0", "0 "}) {
        std::string program = "/proc/self/exe";
        std::string option = "--message-box";
        std::string descriptor = named;
        std::string kind = "error";
        std::string caption = "Error";
        std::string text = "Nothing to show.";
        char* const arguments[] = {program.data(), option.data(),  descriptor.data(),
                                   kind.data(),    caption.data(), text.data(),
                                   nullptr};
        const int input = ::open(heard.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(input, 0);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, input, 0);
        pid_t copy = 0;
        const int spawned =
            ::posix_spawn(&copy, arguments[0], &actions, nullptr, arguments, variables.data());
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(input);
        ASSERT_EQ(spawned, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(copy, &status, 0), copy);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << '"' << named << '"';
        EXPECT_EQ(testsupport::TempDir::read(heard), std::string_view(named) == "0" ? "S" : "")
            << '"' << named << '"';
    }
}

} // namespace
