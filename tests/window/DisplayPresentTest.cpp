// Presentation in a real window: what the renderer shows must be the back buffer's pixels.

#include "host/DirectDraw.h"
#include "host/SdlWindow.h"
#include "host/Testing.h"
#include "host/Time.h"
#include "host/Window.h"

#include "DisplaySurfaces.h"
#include "RecordingWindow.h"
#include "XClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace host;

class DisplayPresentTest : public testsupport::RecordingWindowTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "x11", 0);
        unsetenv("PIBBLES_DEPTH");
        host::testing::capturePresentations(true);
        RecordingWindowTest::SetUp();
    }

    void TearDown() override {
        host::testing::capturePresentations(false);
        for (IDirectDrawSurface7* surface : {back, primary}) {
            if (surface) {
                surface->Release();
            }
        }
        if (display) {
            display->Release();
        }
        RecordingWindowTest::TearDown();
        unsetenv("PIBBLES_DEPTH");
    }

    // The surfaces, the display and the window let go, for the next open.
    void closeDisplay() {
        back->Release();
        back = nullptr;
        primary->Release();
        primary = nullptr;
        display->Release();
        display = nullptr;
        DestroyWindow(window);
        window = nullptr;
    }

    // A 640 x 400 game on a 16-bit desktop or a 32-bit one.
    void openAtDepth(bool sixteen, bool fullScreen) {
        if (sixteen) {
            setenv("PIBBLES_DEPTH", "16", 1);
        }
        open(fullScreen, 640, 400);
        unsetenv("PIBBLES_DEPTH");
    }

    // The window, its display and a back buffer of the game's size, as the game sets them up.
    void open(bool fullScreen, int gameWidth = 640, int gameHeight = 480) {
        window = create(fullScreen ? WS_POPUP : WS_CAPTION | WS_SYSMENU);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWDEFAULT);
        // Let the window appear; bounded.
        MSG message;
        for (int i = 0; i < 200 && PeekMessage(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            DispatchMessage(&message);
        }

        display = testsupport::openDisplay();
        ASSERT_NE(display, nullptr);
        DDSURFACEDESC2 mode;
        mode.dwSize = DDSURFACEDESC2_SIZE;
        ASSERT_EQ(display->GetDisplayMode(&mode), DD_OK);
        if (fullScreen) {
            ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
            ASSERT_EQ(
                display->SetDisplayMode(gameWidth, gameHeight, mode.ddpfPixelFormat.dwRGBBitCount, 0, 0),
                DD_OK);
        } else {
            ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        }
        DDSURFACEDESC2 desc = testsupport::surfaceDesc(0x4200);
        ASSERT_EQ(display->CreateSurface(&desc, &primary, nullptr), DD_OK);
        desc = testsupport::surfaceDesc(0x840, static_cast<DWORD>(gameWidth), static_cast<DWORD>(gameHeight));
        ASSERT_EQ(display->CreateSurface(&desc, &back, nullptr), DD_OK);
        ASSERT_EQ(back->bytesPerPixel(), mode.ddpfPixelFormat.dwRGBBitCount / 8);
    }

    // Fills the back buffer with pixel(x, y) (the surface's own format), presents it and reads the window.
    void present(const std::function<std::uint32_t(int, int)>& pixel) {
        DDSURFACEDESC2 desc;
        desc.dwSize = DDSURFACEDESC2_SIZE;
        ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (int y = 0; y < static_cast<int>(desc.dwHeight); ++y) {
            for (int x = 0; x < static_cast<int>(desc.dwWidth); ++x) {
                const std::uint32_t value = pixel(x, y);
                std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &value, bytes);
            }
        }
        ASSERT_EQ(back->Unlock(nullptr), DD_OK);
        RECT game{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
        ASSERT_EQ(primary->Blt(&game, back, &game, DDBLT_WAIT, nullptr), DD_OK);
        ASSERT_TRUE(host::testing::takePresentedPicture(&shown, &shownWidth, &shownHeight));
    }

    std::uint32_t shownAt(int x, int y) const {
        return shown[static_cast<std::size_t>(y) * shownWidth + x] & 0xFFFFFF;
    }

    HWND window = nullptr;
    IDirectDraw7* display = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
    std::vector<std::uint32_t> shown;
    int shownWidth = 0;
    int shownHeight = 0;
};

std::uint32_t pattern32(int x, int y) {
    // The alpha byte is noise: the window must not blend with it.
    return (static_cast<std::uint32_t>(x * 31 + y) & 0xFF) << 24 | ((x * 7 + y * 3) & 0xFF) << 16 |
           ((x ^ y) & 0xFF) << 8 | ((x + y * 5) & 0xFF);
}

TEST_F(DisplayPresentTest, ShowsAThirtyTwoBitBackBufferExactly) {
    ASSERT_NO_FATAL_FAILURE(open(false));
    ASSERT_EQ(back->bytesPerPixel(), 4u) << "an X server of depth 24 is a 32-bit desktop";
    ASSERT_NO_FATAL_FAILURE(present(pattern32));
    ASSERT_EQ(shownWidth, 640);
    ASSERT_EQ(shownHeight, 480);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            wrong += shownAt(x, y) != (pattern32(x, y) & 0xFFFFFF);
        }
    }
    EXPECT_EQ(wrong, 0);
    const SDL_Rect shown = gameAreaOf(window).shown;
    EXPECT_EQ(std::tuple(shown.x, shown.y, shown.w, shown.h), std::tuple(0, 0, 640, 480));
}

TEST_F(DisplayPresentTest, ShowsASixteenBitBackBufferExpanded) {
    setenv("PIBBLES_DEPTH", "16", 1);
    ASSERT_NO_FATAL_FAILURE(open(false));
    ASSERT_EQ(back->bytesPerPixel(), 2u);
    const auto pattern = [](int x, int y) -> std::uint32_t {
        return static_cast<std::uint32_t>(((x + y) & 31) << 11 | ((x * 3 + y) & 63) << 5 | ((x ^ y) & 31));
    };
    ASSERT_NO_FATAL_FAILURE(present(pattern));
    ASSERT_EQ(shownWidth, 640);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const std::uint32_t p = pattern(x, y);
            const int expected[3] = {static_cast<int>((p >> 11) * 255 / 31),
                                     static_cast<int>(((p >> 5) & 63) * 255 / 63),
                                     static_cast<int>((p & 31) * 255 / 31)};
            const std::uint32_t got = shownAt(x, y);
            for (int c = 0; c < 3; ++c) {
                // Renderers expand 5 and 6 bits by rounding or by repeating the top bits: one step apart.
                wrong += std::abs(static_cast<int>((got >> (16 - 8 * c)) & 0xFF) - expected[c]) > 1;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Full screen scales the picture in software into the window's pixels, or through a renderer where one is
// asked for by name (as where a graphics card scales it). Without a window manager (a bare X server) nobody
// makes the X window cover the screen, although SDL counts it as desktop-sized; what is read back is the
// picture as drawn.
class FullScreenPresentTest : public DisplayPresentTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FullScreenPresentTest, ScalesThePictureIntoTheMiddle) {
    if (*GetParam() != '\0') {
        setenv("SDL_RENDER_DRIVER", GetParam(), 1);
    }
    // A wide game, so that a 4:3 screen shows bars.
    ASSERT_NO_FATAL_FAILURE(open(true, 640, 400));
    unsetenv("SDL_RENDER_DRIVER");
    // Four quarters of plain colours: scaling keeps their inner parts exact.
    const std::uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    ASSERT_NO_FATAL_FAILURE(present([&](int x, int y) { return colours[(y >= 200) * 2 + (x >= 320)]; }));
    const double scale = std::min(shownWidth / 640.0, shownHeight / 400.0);
    ASSERT_GE(scale, 1.0);
    const int width = static_cast<int>(std::lround(640 * scale));
    const int height = static_cast<int>(std::lround(400 * scale));
    const int left = (shownWidth - width) / 2;
    const int top = (shownHeight - height) / 2;
    ASSERT_GT(left + top, 0) << "the test needs a screen of another shape than the game's";
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x = left + static_cast<int>(((quarter % 2) * 320 + 160) * scale);
        const int y = top + static_cast<int>(((quarter / 2) * 200 + 100) * scale);
        EXPECT_EQ(shownAt(x, y), colours[quarter]) << quarter;
    }
    // The bars, just outside the picture.
    EXPECT_EQ(shownAt(left > 0 ? left - 1 : shownWidth / 2, top > 0 ? top - 1 : shownHeight / 2), 0u);
    EXPECT_EQ(shownAt(left > 0 ? left + width : shownWidth / 2, top > 0 ? top + height : shownHeight / 2),
              0u);
    // The window layer maps the mouse with the same area (the window has as many pixels as the output).
    const GameArea area = gameAreaOf(window);
    EXPECT_EQ(
        std::tuple(area.gameWidth, area.gameHeight, area.shown.x, area.shown.y, area.shown.w, area.shown.h),
        std::tuple(640, 400, left, top, width, height));

    // A change sent alone joins the picture without a seam: the same as the whole picture scaled again.
    ASSERT_NO_FATAL_FAILURE(present([&](int x, int y) {
        return x >= 300 && x < 340 && y >= 180 && y < 230 ? 0x808080u : colours[(y >= 200) * 2 + (x >= 320)];
    }));
    const std::vector<std::uint32_t> changed = shown;
    host::testing::simulateExposure();
    ASSERT_NO_FATAL_FAILURE(present([&](int x, int y) {
        return x >= 300 && x < 340 && y >= 180 && y < 230 ? 0x808080u : colours[(y >= 200) * 2 + (x >= 320)];
    }));
    EXPECT_TRUE(changed == shown);
}

INSTANTIATE_TEST_SUITE_P(Scaling, FullScreenPresentTest, ::testing::Values("", "software"));

TEST_F(DisplayPresentTest, AWindowShowsAChangeSentAloneInPlace) {
    ASSERT_NO_FATAL_FAILURE(open(false));
    ASSERT_NO_FATAL_FAILURE(present(pattern32));
    const auto changed = [](int x, int y) {
        return x >= 130 && x < 150 && y >= 40 && y < 47 ? 0xFF123456u : pattern32(x, y);
    };
    ASSERT_NO_FATAL_FAILURE(present(changed));
    ASSERT_EQ(host::testing::lastSentRectangles().size(), 1u);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            wrong += shownAt(x, y) != (changed(x, y) & 0xFFFFFF);
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A part that pulses frame after frame over a still picture (a menu's highlight), at both depths, in a window
// and scaled full screen: after each frame the window shows what sending the whole picture again shows.
TEST_F(DisplayPresentTest, APulsingPartShowsAsTheWholePictureFrameAfterFrame) {
    for (const bool sixteen : {false, true}) {
        for (const bool fullScreen : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << (sixteen ? "16" : "32") << " bits, " << (fullScreen ? "full screen" : "window"));
            ASSERT_NO_FATAL_FAILURE(openAtDepth(sixteen, fullScreen));
            ASSERT_EQ(back->bytesPerPixel(), sixteen ? 2u : 4u);
            const std::uint32_t mask = sixteen ? 0xFFFFu : 0xFFFFFFFFu;
            for (int frame = 0; frame < 12; ++frame) {
                const std::uint32_t level = static_cast<std::uint32_t>(frame * 23 % 256);
                const auto picture = [&](int x, int y) {
                    const bool pulsing = x >= 211 && x < 427 && y >= 97 && y < 317 && (x + y) % 3 != 0;
                    return (pulsing ? pattern32(x, y) ^ (level * 0x010101u) : pattern32(x, y)) & mask;
                };
                ASSERT_NO_FATAL_FAILURE(present(picture));
                const std::vector<std::uint32_t> sentInParts = shown;
                host::testing::simulateExposure();
                ASSERT_NO_FATAL_FAILURE(present(picture));
                ASSERT_TRUE(sentInParts == shown) << "frame " << frame;
            }
            closeDisplay();
        }
    }
}

// The host's half of the frame check: after each presentation the window is compared with a whole
// presentation of the picture. Pixels written past the surface's locks, so that the display never heard of
// them, are passed by (what a redraw that no lock told of leaves behind) and found there, in a window and
// scaled full screen, at both depths; the next whole presentation (an exposure) mends them and is found to.
TEST_F(DisplayPresentTest, TheFrameCheckFindsWhatAPresentationPassedBy) {
    host::checkPresentations(true);
    for (const bool sixteen : {false, true}) {
        for (const bool fullScreen : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << (sixteen ? "16" : "32") << " bits, " << (fullScreen ? "full screen" : "window"));
            ASSERT_NO_FATAL_FAILURE(openAtDepth(sixteen, fullScreen));
            const std::uint32_t mask = sixteen ? 0xFFFFu : 0xFFFFFFFFu;
            ASSERT_NO_FATAL_FAILURE(present([&](int x, int y) { return pattern32(x, y) & mask; }));
            RECT found = takePresentationDifference();
            EXPECT_GE(found.left, found.right) << "a whole presentation differs in nothing";

            const int bytes = static_cast<int>(back->bytesPerPixel());
            for (int y = 50; y < 60; ++y) {
                std::memset(back->pixels() + y * back->pitch() + 100 * bytes, 0x5A, 20 * bytes);
            }
            RECT game{0, 0, 640, 400};
            ASSERT_EQ(primary->Blt(&game, back, &game, DDBLT_WAIT, nullptr), DD_OK);
            found = takePresentationDifference();
            EXPECT_TRUE(found.left <= 100 && found.top <= 50 && found.right >= 120 && found.bottom >= 60 &&
                        found.left >= 96 && found.top >= 46 && found.right <= 124 && found.bottom <= 64)
                << found.left << "," << found.top << " - " << found.right << "," << found.bottom;

            host::testing::simulateExposure();
            ASSERT_EQ(primary->Blt(&game, back, &game, DDBLT_WAIT, nullptr), DD_OK);
            found = takePresentationDifference();
            EXPECT_GE(found.left, found.right) << "the exposure sent the whole picture again";
            closeDisplay();
        }
    }
    host::checkPresentations(false);
}

// The X windows titled so, as a desktop tool finds them.
std::string windowsTitled(const char* title) {
    std::string found;
    if (FILE* pipe =
            ::popen(("timeout 10 xdotool search --name '^" + std::string(title) + "$'").c_str(), "r")) {
        char buffer[64];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            found += buffer;
        }
        ::pclose(pipe);
    }
    return found;
}

// The renderer the display puts on the window must keep the window that the desktop first saw, so that a
// close request sent to it by that id reaches the procedure.
TEST_F(DisplayPresentTest, TheWindowFirstSeenIsTheOneThatStays) {
    std::string firstSeen;
    testsupport::reaction = [&](HWND, UINT message, WPARAM) -> LRESULT {
        if (message == WM_CREATE) {
            firstSeen = windowsTitled(testsupport::windowTitle);
        }
        return 0;
    };
    ASSERT_NO_FATAL_FAILURE(open(false));
    testsupport::reaction = nullptr;
    ASSERT_NO_FATAL_FAILURE(present(pattern32));
    ASSERT_FALSE(firstSeen.empty());
    EXPECT_EQ(windowsTitled(testsupport::windowTitle), firstSeen);

    testsupport::seen.clear();
    ASSERT_TRUE(testsupport::askWindowToClose(std::stoul(firstSeen)));
    bool closed = false;
    for (int i = 0; i < 500 && !closed; ++i) {
        MSG message;
        while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
            closed = closed || message.message == WM_CLOSE;
            DispatchMessage(&message);
        }
        Sleep(10);
    }
    EXPECT_TRUE(closed);
}

TEST_F(DisplayPresentTest, ClosingAndReopeningTheDisplayKeepsPresenting) {
    ASSERT_NO_FATAL_FAILURE(open(false));
    ASSERT_NO_FATAL_FAILURE(present(pattern32));
    // As a full-screen toggle does it: display released first, then the surfaces and the window.
    display->Release();
    display = nullptr;
    back->Release();
    primary->Release();
    back = primary = nullptr;
    DestroyWindow(window);
    ASSERT_NO_FATAL_FAILURE(open(true));
    ASSERT_NO_FATAL_FAILURE(present(pattern32));
    EXPECT_GT(shownWidth, 0);
}

} // namespace
