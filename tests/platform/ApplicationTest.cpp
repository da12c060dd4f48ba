#include "engine/platform/Application.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"
#include "engine/platform/AppEventListener.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/SceneComponent.h"
#include "host/DirectDraw.h"
#include "host/Messages.h"
#include "host/Testing.h"
#include "host/Time.h"
#include "host/Window.h"

#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using platform::Application;
using platform::EventDispatcher;

namespace {

struct Event {
    std::uint32_t message;
    std::uint32_t wParam;
    bool minimisedThen;
};

// Keeps the application's private events with the minimised flag as it stood when each arrived.
class Recorder : public platform::AppEventListener {
public:
    void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t) override {
        if (message >= EventDispatcher::fullScreenChanged || message == host::WM_SIZE) {
            events.push_back({message, wParam, Application::instance()->isMinimised()});
        }
    }
    std::vector<Event> events;
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::testing::clearFailures();
        host::testing::clearMessages();
    }
    void TearDown() override {
        if (Application* app = Application::instance()) {
            app->getEventDispatcher()->removeListener(&recorder);
        }
        platform::closeApplicationDisplay();
        Application::destroy();
        host::testing::clearFailures();
        host::testing::clearMessages();
        ::unsetenv("PIBBLES_DEPTH");
    }

    Application* create(bool fullScreen = false) {
        Application* app = Application::create("Pibbles test", 640, 480, fullScreen, 0, 101);
        app->getEventDispatcher()->addListener(&recorder);
        return app;
    }
    static host::LRESULT send(host::UINT message, host::WPARAM wParam, host::LPARAM lParam = 0) {
        return Application::windowProc(Application::instance()->getWindowHandle(), message, wParam, lParam);
    }
    // Empties the queue; true when it held the quit message or (with wanted) that message.
    static bool drainFor(host::UINT wanted = host::WM_QUIT, host::WPARAM wParam = 0) {
        bool found = false;
        host::MSG msg;
        while (host::PeekMessage(&msg, nullptr, 0, 0, host::PM_REMOVE)) {
            found = found || (msg.message == wanted && (wanted == host::WM_QUIT || msg.wParam == wParam));
            if (msg.message == host::WM_QUIT) {
                break;
            }
        }
        return found;
    }
    static std::string stderrOf(const std::function<void()>& action) {
        ::testing::internal::CaptureStderr();
        action();
        return ::testing::internal::GetCapturedStderr();
    }

    Recorder recorder;
};

TEST_F(ApplicationTest, DesktopDepthChoosesTheScreensAndThePainter) {
    for (const int bytes : {4, 2}) {
        SCOPED_TRACE(bytes);
        if (bytes == 2) {
            platform::closeApplicationDisplay();
            Application::destroy();
            host::testing::clearMessages();
            ::setenv("PIBBLES_DEPTH", "16", 1);
        }
        Application* app = create();
        ASSERT_NE(app->getWindowHandle(), nullptr);
        EXPECT_EQ(app->getBytesPerPixel(), bytes);
        const kernel::ClassInfo& screen =
            bytes == 4 ? graphics::Screen32::classInfo : graphics::Screen16::classInfo;
        ASSERT_NE(app->getBackImage(), nullptr);
        EXPECT_TRUE(app->getBackImage()->isKindOf(screen) && app->getFrontImage()->isKindOf(screen));
        EXPECT_EQ(app->getBackImage()->getWidth(), 640);
        EXPECT_EQ(app->getBackImage()->getHeight(), 480);
        EXPECT_NE(app->getBackPainter(), nullptr);
        EXPECT_FALSE(drainFor());
    }
}

// The primary surface's fall-backs, windowed and full screen. Full screen tries its own chain twice (two
// back buffers, then one) before the windowed chain. The primary surfaces fail with the codes of a row, one
// try after the other, and the try after the last of them succeeds: so a row whose last failure is the last
// try of the chains ends in the "Error" box, and one a failure shorter makes the display. A held primary in
// the windowed chain warns and quits, and the tries after it still run.
TEST_F(ApplicationTest, PrimarySurfaceFallsBackByTheFailureCode) {
    enum Outcome { Made, MadeWarned, Failed, FailedWarned };
    struct Row {
        bool fullScreen;
        std::vector<host::HRESULT> failures;
        Outcome outcome;
    };
    constexpr host::HRESULT held = host::DDERR_PRIMARYHELD;
    constexpr host::HRESULT busy = host::DDERR_DISPLAYBUSY;
    constexpr host::HRESULT noSurface = host::DDERR_NOVIDEOSURFACE;
    constexpr host::HRESULT noMemory = host::DDERR_NOVIDEOMEMORY;
    constexpr host::HRESULT other = host::E_FAIL;
    const std::vector<Row> rows = {
        // Windowed: 0x4200, then 0xA00 and (after another 0x88760233) 0xA02 on no video surface or memory,
        // then 0x200.
        {false, {held}, MadeWarned},
        {false, {held, held}, FailedWarned},
        // A held primary goes straight to the last try.
        {false, {held, noSurface}, FailedWarned},
        {false, {busy}, Made},
        {false, {busy, busy}, Failed},
        {false, {other}, Made},
        {false, {other, other}, Failed},
        {false, {noSurface, noSurface, noSurface}, Made},
        {false, {noSurface, noSurface, noSurface, noSurface}, Failed},
        {false, {noMemory, noMemory}, Made},
        {false, {noMemory, noMemory, noMemory}, Failed},
        // 0xA02 follows a 0xA00 that failed for want of a video surface, whatever the first failure was.
        {false, {noSurface, noMemory}, Made},
        {false, {noSurface, noMemory, noMemory}, Failed},
        {false, {noMemory, noSurface, noSurface}, Made},
        {false, {noMemory, noSurface, noSurface, noSurface}, Failed},
        // Full screen: 0x4200, then once more on a busy display, or 0xA00 on no video surface or memory.
        {true, {held, held}, Made},
        {true, {held, held, held}, MadeWarned},
        {true, {held, held, held, held}, FailedWarned},
        {true, {other, other, other}, Made},
        {true, {other, other, other, other}, Failed},
        {true, {busy, busy, busy, busy, busy}, Made},
        {true, {busy, busy, busy, busy, busy, busy}, Failed},
        {true, {noSurface, noSurface, noSurface, noSurface, noSurface, noSurface, noSurface}, Made},
        {true,
         {noSurface, noSurface, noSurface, noSurface, noSurface, noSurface, noSurface, noSurface},
         Failed},
        {true, {noMemory, noMemory, noMemory, noMemory, noMemory, noMemory}, Made},
        {true, {noMemory, noMemory, noMemory, noMemory, noMemory, noMemory, noMemory}, Failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows.data());
        // The primary surfaces fail with the first code as often as it leads, then with the second.
        const auto firstRun =
            static_cast<int>(std::find_if(row.failures.begin(), row.failures.end(),
                                          [&](host::HRESULT code) { return code != row.failures.front(); }) -
                             row.failures.begin());
        host::testing::failCall("CreateSurface:primary", static_cast<long>(row.failures.front()), firstRun);
        const auto rest = static_cast<int>(row.failures.size()) - firstRun;
        if (rest > 0) {
            ASSERT_TRUE(std::all_of(row.failures.begin() + firstRun, row.failures.end(),
                                    [&](host::HRESULT code) { return code == row.failures.back(); }));
            host::testing::failCall("CreateSurface", static_cast<long>(row.failures.back()), rest);
        }
        const std::string out = stderrOf([&] { create(row.fullScreen); });
        const bool made = row.outcome == Made || row.outcome == MadeWarned;
        const bool warned = row.outcome == MadeWarned || row.outcome == FailedWarned;
        EXPECT_EQ(Application::instance()->getBackPainter() != nullptr, made);
        EXPECT_EQ(out.find("Something went wrong with creating the game-window.\nThis game will quit now.") !=
                      std::string::npos,
                  !made);
        EXPECT_EQ(out.find("Error") != std::string::npos, !made);
        EXPECT_EQ(out.find("Warning") != std::string::npos, warned) << out;
        EXPECT_EQ(out.find("(DirectX is already being used by different game)") != std::string::npos, warned);
        EXPECT_EQ(drainFor(), !made || warned);
        // Presenting without a display must not touch anything.
        Application::instance()->present();
        TearDown();
        SetUp();
    }
}

TEST_F(ApplicationTest, FullScreenToggleRecreatesWithoutQuitAndTellsListeners) {
    Application* app = create();
    app->toggleFullScreen();
    EXPECT_TRUE(app->isFullScreen());
    EXPECT_NE(app->getBackPainter(), nullptr);
    app->toggleFullScreen();
    EXPECT_FALSE(app->isFullScreen());
    EXPECT_NE(app->getBackPainter(), nullptr);
    EXPECT_FALSE(drainFor());
    std::vector<std::uint32_t> states;
    for (const Event& event : recorder.events) {
        if (event.message == EventDispatcher::fullScreenChanged) {
            states.push_back(event.wParam);
        }
    }
    EXPECT_EQ(states, (std::vector<std::uint32_t>{1, 0}));
    EXPECT_TRUE(app->getEventDispatcher()->hasListener(&recorder));
    app->changeFullScreen(false);
    EXPECT_EQ(states.size(), 2u);
}

TEST_F(ApplicationTest, MinimiseAndRestoreTellListenersFirst) {
    Application* app = create();
    recorder.events.clear();
    EXPECT_EQ(send(host::WM_SIZE, host::SIZE_MINIMIZED), 0);
    EXPECT_TRUE(app->isMinimised());
    send(host::WM_SIZE, host::SIZE_RESTORED);
    EXPECT_FALSE(app->isMinimised());
    ASSERT_EQ(recorder.events.size(), 4u);
    EXPECT_EQ(recorder.events[0].message, host::WM_SIZE);
    EXPECT_EQ(recorder.events[1].message, EventDispatcher::minimised);
    EXPECT_FALSE(recorder.events[1].minimisedThen);
    EXPECT_EQ(recorder.events[3].message, EventDispatcher::restored);
    EXPECT_TRUE(recorder.events[3].minimisedThen);
}

TEST_F(ApplicationTest, MaximiseAndAltEnterSwitchToFullScreen) {
    Application* app = create();
    send(host::WM_SIZE, host::SIZE_MAXIMIZED);
    EXPECT_TRUE(app->isFullScreen());
    EXPECT_FALSE(app->isMinimised());
    send(host::WM_SYSKEYDOWN, host::VK_RETURN);
    EXPECT_FALSE(app->isFullScreen());
    EXPECT_EQ(send(host::WM_SYSCOMMAND, host::SC_KEYMENU), 0);
    EXPECT_FALSE(drainFor());
}

TEST_F(ApplicationTest, FocusLossInFullScreenMinimises) {
    Application* app = create(true);
    send(host::WM_KILLFOCUS, 0);
    EXPECT_TRUE(app->isMinimised());
    EXPECT_FALSE(app->isFocused());
    EXPECT_TRUE(drainFor(host::WM_SYSCOMMAND, host::SC_MINIMIZE));
    send(host::WM_SETFOCUS, 0);
    EXPECT_TRUE(app->isFocused());
}

TEST_F(ApplicationTest, CursorShapesAndButtonCapture) {
    Application* app = create();
    const host::HCURSOR arrow = host::LoadCursor(nullptr, host::MAKEINTRESOURCE(host::IDC_ARROW));
    EXPECT_EQ(app->getCursor(), arrow);
    app->setCursorShape(0);
    EXPECT_EQ(app->getCursor(), nullptr);
    app->setCursorShape(7);
    EXPECT_EQ(app->getCursor(), arrow);
    app->setCursorShape(3);
    EXPECT_EQ(app->getCursor(), host::LoadCursor(nullptr, host::MAKEINTRESOURCE(host::IDC_HAND)));
    send(host::WM_LBUTTONDOWN, host::MK_LBUTTON);
    EXPECT_EQ(app->getCursor(), arrow);
    // SetCapture answers with the window that held the capture before.
    EXPECT_EQ(host::SetCapture(app->getWindowHandle()), app->getWindowHandle());
    send(host::WM_LBUTTONUP, 0);
    EXPECT_EQ(host::SetCapture(app->getWindowHandle()), nullptr);
    host::ReleaseCapture();
}

TEST_F(ApplicationTest, DebugLinesWaitWhileMinimisedAndDrawWithF9) {
    Application* app = create();
    send(host::WM_KEYDOWN, host::VK_F9);
    ASSERT_TRUE(app->isShowingFps());
    host::testing::capturePresentations(true);
    send(host::WM_SIZE, host::SIZE_MINIMIZED);
    app->addDebugLine("FPS: 60");
    app->present();
    EXPECT_EQ(app->getDebugLines().size(), 1u);
    EXPECT_FALSE(host::testing::takePresentedPicture(nullptr, nullptr, nullptr));

    send(host::WM_SIZE, host::SIZE_RESTORED);
    app->addDebugLine("second");
    app->present();
    EXPECT_TRUE(app->getDebugLines().empty());
    std::vector<std::uint32_t> pixels;
    int width = 0;
    ASSERT_TRUE(host::testing::takePresentedPicture(&pixels, &width, nullptr));
    host::testing::capturePresentations(false);
    // The white outline of the first line lies in the rows from y = 9 on; black text alone would not show.
    bool outlined = false;
    for (int y = 9; y < 9 + 13 + 2 && !outlined; ++y) {
        for (int x = 9; x < 80 && !outlined; ++x) {
            outlined = (pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF) == 0xFFFFFF;
        }
    }
    EXPECT_TRUE(outlined);
    send(host::WM_KEYDOWN, host::VK_F9);
    EXPECT_FALSE(app->isShowingFps());
}

TEST_F(ApplicationTest, FrameTimerMadeLaterWritesItsRateLine) {
    Application* app = create();
    platform::FrameTimer* timer = platform::FrameTimer::create();
    host::testing::useFakeClock(1000);
    timer->addListener(app);
    timer->step();
    send(host::WM_KEYDOWN, host::VK_F9);
    send(host::WM_SIZE, host::SIZE_MINIMIZED);
    timer->step();
    EXPECT_EQ(app->getDebugLines(), (std::vector<std::string>{"FPS: 0"}));
    platform::FrameTimer::destroy();
    host::testing::useRealClock();
}

// Counts the frame timer's ticks.
class TickCounter : public platform::SceneComponent {
public:
    void onFrame(std::uint32_t) override { ++ticks; }
    int ticks = 0;
};

// A close request, or the system's request to end (a real SIGTERM), that arrives while the frame timer waits
// between frames, resting or not, reaches the game's loop before another tick: the loop reads it, the window
// closes (no scene takes either request here) and the loop ends. (A frame time of a second: the wait is cut
// short by the request, never by the time.)
TEST_F(ApplicationTest, ACloseRequestDuringTheFrameWaitEndsTheLoopWithoutAnotherTick) {
    for (const auto& [resting, signal] : {std::pair{false, false}, {true, false}, {false, true}}) {
        SCOPED_TRACE(std::string(resting ? "resting" : "ticking every frame") + (signal ? ", SIGTERM" : ""));
        Application* app = create();
        platform::FrameTimer* timer = platform::FrameTimer::create();
        const kernel::SmartPtr<TickCounter> counter(new TickCounter());
        timer->addListener(counter.get());
        drainFor();
        timer->setFps(1);
        for (int frame = 0; resting && frame < platform::FrameTimer::restAfterFrames; ++frame) {
            timer->noteFrameDrawn(false);
        }
        EXPECT_EQ(timer->isResting(), resting);
        timer->wake();
        // The loop found the queue empty and went into its frame step; the request comes meanwhile.
        if (signal) {
            ASSERT_EQ(std::raise(SIGTERM), 0);
        } else {
            ASSERT_TRUE(host::testing::requestCloseFromOutside());
        }
        EXPECT_FALSE(timer->step());

        // The game's loop goes on: the queue first, a frame when it is empty.
        host::MSG message{};
        int steps = 0;
        while (message.message != host::WM_QUIT && steps < 3) {
            if (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
                host::TranslateMessage(&message);
                host::DispatchMessage(&message);
            } else {
                EXPECT_FALSE(timer->step());
                ++steps;
            }
        }
        EXPECT_EQ(message.message, host::WM_QUIT);
        EXPECT_EQ(steps, 0);
        EXPECT_EQ(counter->ticks, 0);
        // This process's window is gone (another test's running beside it may have the same title).
        host::RECT area{};
        EXPECT_FALSE(host::GetClientRect(app->getWindowHandle(), &area));
        platform::FrameTimer::destroy();
        platform::closeApplicationDisplay();
        Application::destroy();
        host::testing::clearMessages();
    }
}

TEST_F(ApplicationTest, LostSurfaceRecreatesDisplay) {
    Application* app = create();
    host::testing::failCall("Blt", static_cast<long>(host::DDERR_SURFACELOST), 1);
    // Held, so the new image cannot take the old one's address.
    const kernel::SmartPtr<graphics::ImageBase> before(app->getBackImage());
    app->present();
    EXPECT_NE(app->getBackImage(), nullptr);
    EXPECT_NE(app->getBackImage(), before.get());
    EXPECT_FALSE(drainFor());
}

TEST_F(ApplicationTest, CloseGoesToHandlerElseEndsProgram) {
    Application* app = create();
    app->setCloseRequestHandler([] { return true; });
    EXPECT_EQ(send(host::WM_CLOSE, 0), 0);
    EXPECT_NE(app->getWindowHandle(), nullptr);
    EXPECT_FALSE(drainFor());
    app->setCloseRequestHandler(nullptr);
    send(host::WM_CLOSE, 0);
    EXPECT_TRUE(drainFor());
}

// The check keeps its mutex for the life of the process, so every run needs a name of its own.
std::string uniqueName(const std::string& stem) {
    static int runs = 0;
    return stem + " " + std::to_string(::getpid()) + "-" + std::to_string(++runs);
}

TEST(ApplicationSingleInstance, SecondProcessIsRefused) {
    testsupport::RuntimeDir runtime;
    const std::string name = uniqueName("Pibbles instance");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // Forked before the mutex exists, so the child knows it only through the lock the parent holds.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char go = 0;
        (void)!::read(ready[0], &go, 1);
        ::_exit(Application::checkSingleInstance(name) ? 1 : 0);
    }
    EXPECT_FALSE(Application::checkSingleInstance(name));
    (void)!::write(ready[1], "g", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(ApplicationSingleInstance, NoDisplayShowsWarning) {
    testsupport::RuntimeDir runtime;
    host::testing::failCall("probeDisplay");
    ::testing::internal::CaptureStderr();
    const bool refused = Application::checkSingleInstance(uniqueName("Pibbles no display"));
    const std::string out = ::testing::internal::GetCapturedStderr();
    host::testing::clearFailures();
    EXPECT_TRUE(refused);
    EXPECT_NE(out.find("Warning"), std::string::npos);
    EXPECT_NE(out.find("Unable to play the game. Possibly another game is running."), std::string::npos);
}

} // namespace
