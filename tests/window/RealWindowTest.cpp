// The window in a real X server: input made by xdotool must reach the window procedure as the platform's
// messages. Runs under xvfb-run (see CMakeLists.txt); there is no window manager.

#include "host/Messages.h"
#include "host/SdlWindow.h"
#include "host/Time.h"

#include "RecordingWindow.h"
#include "XClient.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <vector>

namespace {

using namespace host;
using testsupport::reaction;
using testsupport::seen;

// Every external command is bounded, so a stuck X server fails the test instead of hanging it.
int run(const std::string& command) {
    const int status = std::system(("timeout 10 " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool isKeyOrChar(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

using Key = std::pair<UINT, WPARAM>;

class RealWindow : public testsupport::RecordingWindowTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "x11", 0);
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through CTest: the suite needs xvfb-run";
        ASSERT_EQ(run("xdotool version"), 0) << "xdotool is missing: run scripts/setup";
        RecordingWindowTest::SetUp();
    }

    static HWND open(DWORD style) {
        const HWND window = create(style);
        if (window != nullptr) {
            ShowWindow(window, SW_SHOWDEFAULT);
        }
        return window;
    }

    // Runs the engine's loop until the procedure has seen what is wanted (at most about five seconds).
    static bool pumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 500; ++i) {
            MSG message;
            while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessage(&message);
            }
            if (done()) {
                return true;
            }
            Sleep(10);
        }
        return false;
    }

    static bool sawMessage(UINT code, LPARAM lParam) {
        return std::any_of(seen.begin(), seen.end(),
                           [&](const MSG& m) { return m.message == code && m.lParam == lParam; });
    }
    static const MSG* find(UINT code) {
        const auto found =
            std::find_if(seen.begin(), seen.end(), [&](const MSG& m) { return m.message == code; });
        return found != seen.end() ? &*found : nullptr;
    }

    static bool moveTo(int screenX, int screenY) {
        return run("xdotool mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY)) ==
               0;
    }
    // Moves the pointer over a client position and waits for the move to arrive.
    static bool pointAt(HWND window, int x, int y) {
        POINT screen{x, y};
        ClientToScreen(window, &screen);
        return moveTo(screen.x, screen.y) &&
               pumpUntil([&] { return sawMessage(WM_MOUSEMOVE, MAKELPARAM(x, y)); });
    }
    static std::pair<int, int> cursorIn(HWND window) {
        POINT cursor{};
        EXPECT_TRUE(GetCursorPos(&cursor) && ScreenToClient(window, &cursor));
        return {cursor.x, cursor.y};
    }

    static bool focus() {
        return run(std::string("xdotool search --sync --name '^") + testsupport::windowTitle +
                   "$' windowfocus --sync") == 0 &&
               pumpUntil([] { return find(WM_SETFOCUS) != nullptr; });
    }

    // The key and character messages the procedure saw after the keys were typed, once the last key's
    // release has arrived.
    static std::vector<Key> type(const std::string& keys, WPARAM lastKey) {
        seen.clear();
        EXPECT_EQ(run("xdotool key --delay 20 " + keys), 0) << keys;
        pumpUntil([&] {
            return std::any_of(seen.begin(), seen.end(), [&](const MSG& m) {
                return (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) && m.wParam == lastKey;
            });
        });
        std::vector<Key> got;
        for (const MSG& message : seen) {
            if (isKeyOrChar(message.message)) {
                got.emplace_back(message.message, message.wParam);
            }
        }
        return got;
    }
};

TEST_F(RealWindow, MouseInputArrivesInClientCoordinates) {
    const HWND window = open(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pumpUntil([] { return find(WM_PAINT) != nullptr; })) << "the window never showed";
    ASSERT_TRUE(focus());

    ASSERT_TRUE(pointAt(window, 50, 60));
    const MSG* move = find(WM_MOUSEMOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->wParam, 0u);
    EXPECT_EQ((move - 1)->message, WM_SETCURSOR) << "the cursor is asked for before each move";

    const LPARAM at = MAKELPARAM(50, 60);
    struct Click {
        const char* command;
        std::vector<Key> expected;
    };
    const std::vector<Click> clicks = {
        {"click 1", {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}},
        {"click --repeat 2 --delay 80 3",
         {{WM_RBUTTONDOWN, MK_RBUTTON},
          {WM_RBUTTONUP, 0},
          {WM_RBUTTONDBLCLK, MK_RBUTTON},
          {WM_RBUTTONUP, 0}}},
        {"keydown shift click 2 keyup shift",
         {{WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT}, {WM_MBUTTONUP, MK_SHIFT}}},
    };
    for (const Click& click : clicks) {
        SCOPED_TRACE(click.command);
        seen.clear();
        ASSERT_EQ(run(std::string("xdotool ") + click.command), 0);
        std::vector<Key> got;
        pumpUntil([&] {
            got.clear();
            for (const MSG& m : seen) {
                if (m.message >= WM_LBUTTONDOWN && m.message <= WM_MBUTTONDBLCLK) {
                    EXPECT_EQ(m.lParam, at);
                    got.emplace_back(m.message, m.wParam);
                }
            }
            return got.size() >= click.expected.size();
        });
        EXPECT_EQ(got, click.expected);
    }

    EXPECT_EQ(cursorIn(window), std::pair(50, 60));
    // Left of the window the position goes negative.
    POINT outside{-30, 10};
    ClientToScreen(window, &outside);
    ASSERT_TRUE(moveTo(outside.x, outside.y));
    EXPECT_EQ(cursorIn(window), std::pair(-30, 10));
    // Back over the window, read as soon as the move is made: SDL's position is not yet current then.
    POINT inside{120, 90};
    ClientToScreen(window, &inside);
    ASSERT_TRUE(moveTo(inside.x, inside.y));
    EXPECT_EQ(cursorIn(window), std::pair(120, 90));
    // Read again once the moves have been taken from the queue, with nothing new arrived.
    pumpUntil([&] { return sawMessage(WM_MOUSEMOVE, MAKELPARAM(120, 90)); });
    EXPECT_EQ(cursorIn(window), std::pair(120, 90));
}

TEST_F(RealWindow, KeysBecomeVirtualKeysAndCharacters) {
    const HWND window = open(WS_CAPTION | WS_SYSMENU);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(focus());
    struct Typing {
        const char* keys;
        WPARAM last;
        std::vector<Key> expected;
    };
    // clang-format off
    const std::vector<Typing> typings = {
        {"a", 'A', {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}}},
        // xdotool lets go of the keys in the order it pressed them.
        {"shift+b", 'B',
         {{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'B'}, {WM_CHAR, 'B'}, {WM_KEYUP, VK_SHIFT}, {WM_KEYUP, 'B'}}},
        {"Return BackSpace Tab Escape space", VK_SPACE,
         {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN},
          {WM_KEYDOWN, VK_BACK}, {WM_CHAR, 8}, {WM_KEYUP, VK_BACK},
          {WM_KEYDOWN, VK_TAB}, {WM_CHAR, 9}, {WM_KEYUP, VK_TAB},
          {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}, {WM_KEYUP, VK_ESCAPE},
          {WM_KEYDOWN, VK_SPACE}, {WM_CHAR, ' '}, {WM_KEYUP, VK_SPACE}}},
        {"Left Home F9 Delete 7", '7',
         {{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}, {WM_KEYDOWN, VK_HOME}, {WM_KEYUP, VK_HOME},
          {WM_KEYDOWN, VK_F9}, {WM_KEYUP, VK_F9}, {WM_KEYDOWN, VK_DELETE}, {WM_KEYUP, VK_DELETE},
          {WM_KEYDOWN, '7'}, {WM_CHAR, '7'}, {WM_KEYUP, '7'}}},
        {"F10", VK_F10, {{WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}}},
        // Enter let go after Alt is a plain key again.
        {"alt+Return", VK_RETURN,
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_RETURN}, {WM_SYSKEYUP, VK_MENU},
          {WM_KEYUP, VK_RETURN}}},
    };
    // clang-format on
    for (const Typing& typing : typings) {
        SCOPED_TRACE(typing.keys);
        EXPECT_EQ(type(typing.keys, typing.last), typing.expected);
    }
}

// Between frames the game's loop waits on the X connection: a move of the pointer or a window manager's
// close request ends the wait at once (a wait of a minute that ran out would fail), and takes nothing: the
// message pump reads them afterwards.
TEST_F(RealWindow, TheWaitBetweenFramesEndsWhenTheServerSendsSomething) {
    const HWND window = open(WS_CAPTION | WS_SYSMENU);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pumpUntil([] { return find(WM_PAINT) != nullptr; }));
    POINT screen{30, 40};
    ClientToScreen(window, &screen);
    ASSERT_TRUE(moveTo(screen.x, screen.y));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_TRUE(pumpUntil([] { return sawMessage(WM_MOUSEMOVE, MAKELPARAM(30, 40)); }));

    unsigned long id = 0;
    if (FILE* pipe = ::popen(
            ("timeout 10 xdotool search --name '^" + std::string(testsupport::windowTitle) + "$'").c_str(),
            "r")) {
        ASSERT_EQ(std::fscanf(pipe, "%lu", &id), 1);
        ::pclose(pipe);
    }
    seen.clear();
    ASSERT_TRUE(testsupport::askWindowToClose(id));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_TRUE(pumpUntil([] { return find(WM_CLOSE) != nullptr; }));
}

// Alt+Enter as the engine handles it: the procedure destroys its own window and makes the full-screen one.
TEST_F(RealWindow, FullScreenSwitchFromInsideTheProcedure) {
    HWND fullScreen = nullptr;
    reaction = [&](HWND window, UINT message, WPARAM wParam) -> LRESULT {
        if (message == WM_SYSKEYDOWN && wParam == VK_RETURN && fullScreen == nullptr) {
            EXPECT_TRUE(DestroyWindow(window));
            fullScreen = open(WS_POPUP);
        }
        return 0;
    };
    const HWND windowed = open(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ASSERT_NE(windowed, nullptr);
    ASSERT_TRUE(focus());
    seen.clear();
    ASSERT_EQ(run("xdotool key alt+Return"), 0);
    ASSERT_TRUE(pumpUntil([&] { return fullScreen != nullptr; }));
    ASSERT_TRUE(pumpUntil([&] {
        int width = 0;
        SDL_GetWindowSize(sdlWindowOf(fullScreen), &width, nullptr);
        return width == 1024 && find(WM_PAINT) != nullptr;
    })) << "the full-screen window never covered the screen";
    for (const MSG& message : seen) {
        if (message.hwnd == windowed) {
            EXPECT_TRUE(message.message == WM_SYSKEYDOWN || message.message == WM_DESTROY) << message.message;
        }
    }
    RECT client;
    ASSERT_TRUE(GetClientRect(fullScreen, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);

    // The picture shown at its own size in the middle of the 1024 x 768 screen.
    setGameArea(fullScreen, GameArea{640, 480, SDL_Rect{192, 144, 640, 480}});
    ASSERT_TRUE(moveTo(202, 164));
    EXPECT_TRUE(pumpUntil([] { return sawMessage(WM_MOUSEMOVE, MAKELPARAM(10, 20)); }));
    ASSERT_TRUE(moveTo(100, 100));
    EXPECT_TRUE(pumpUntil([] { return sawMessage(WM_MOUSEMOVE, MAKELPARAM(-92, -44)); }));
    EXPECT_EQ(cursorIn(fullScreen), std::pair(-92, -44));
    for (const MSG& message : seen) {
        EXPECT_FALSE(message.message == WM_SIZE && message.wParam == SIZE_MAXIMIZED);
    }
}

// With no window manager on the desktop nobody would carry out a full-screen request (SDL waits for one
// each time the window is shown and again when it goes): the window is borderless and covers the desktop
// by itself. Where a manager runs, the request is made as before.
TEST_F(RealWindow, FullScreenIsAskedOfAWindowManagerOnlyWhereOneRuns) {
    struct Case {
        const char* desktop;
        int manager; // 0: none, 1: one runs, 2: one has ended and left its mark behind
        bool asked;
    };
    for (const Case& c :
         {Case{"no manager", 0, false}, Case{"a manager", 1, true}, Case{"an ended manager", 2, false}}) {
        SCOPED_TRACE(c.desktop);
        std::unique_ptr<testsupport::WindowManagerMark> mark;
        if (c.manager != 0) {
            mark = std::make_unique<testsupport::WindowManagerMark>(c.manager == 2);
            ASSERT_TRUE(mark->made());
        }
        EXPECT_EQ(desktopHasWindowManager(), c.asked);
        const HWND window = open(WS_POPUP);
        ASSERT_NE(window, nullptr);
        SDL_Window* sdl = sdlWindowOf(window);
        const Uint32 flags = SDL_GetWindowFlags(sdl);
        EXPECT_EQ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP, c.asked);
        EXPECT_NE(flags & SDL_WINDOW_BORDERLESS, 0u);
        int x = -1;
        int y = -1;
        int width = 0;
        int height = 0;
        SDL_GetWindowPosition(sdl, &x, &y);
        SDL_GetWindowSize(sdl, &width, &height);
        EXPECT_EQ(std::tuple(x, y, width, height), std::tuple(0, 0, 1024, 768));
        EXPECT_TRUE(pumpUntil([] { return find(WM_PAINT) != nullptr; }));
        EXPECT_TRUE(DestroyWindow(window));
        seen.clear();
    }
}

} // namespace
