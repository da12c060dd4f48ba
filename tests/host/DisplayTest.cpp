#include "host/DirectDraw.h"
#include "host/Testing.h"
#include "host/Window.h"

#include "DisplaySurfaces.h"
#include "RecordingWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

namespace {

using namespace host;
using testsupport::openDisplay;
using testsupport::surfaceDesc;

// A 640 x 480 window, a display object for it and helpers to make its surfaces.
class DisplayTest : public testsupport::RecordingWindowTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("PIBBLES_DEPTH");
        RecordingWindowTest::SetUp();
        window = RecordingWindowTest::create();
        ASSERT_NE(window, nullptr);
        display = openDisplay();
        ASSERT_NE(display, nullptr);
    }
    void TearDown() override {
        if (display) {
            display->Release();
        }
        RecordingWindowTest::TearDown();
        unsetenv("PIBBLES_DEPTH");
    }

    HRESULT create(DWORD caps, IDirectDrawSurface7** out, DWORD width = 0, DWORD height = 0) {
        DDSURFACEDESC2 desc = surfaceDesc(caps, width, height);
        return display->CreateSurface(&desc, out, nullptr);
    }

    static std::tuple<DWORD, DWORD, DWORD> shape(IDirectDrawSurface7* surface) {
        return {surface->width(), surface->height(), surface->bytesPerPixel()};
    }

    HWND window = nullptr;
    IDirectDraw7* display = nullptr;
};

TEST_F(DisplayTest, ReportsTheDesktopDepthAndTheForcedSixteenBits) {
    DDSURFACEDESC2 mode;
    mode.dwSize = DDSURFACEDESC2_SIZE;
    ASSERT_EQ(display->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);
    setenv("PIBBLES_DEPTH", "16", 1);
    ASSERT_EQ(display->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);

    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(create(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, &back, 64, 32), DD_OK);
    EXPECT_EQ(back->bytesPerPixel(), 2u);
    back->Release();

    void* none = &mode;
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    EXPECT_EQ(first->QueryInterface(IID{}, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    first->Release();
}

TEST_F(DisplayTest, MakesSurfacesByTheirCaps) {
    IDirectDrawSurface7* surface = nullptr;
    EXPECT_EQ(create(0x4200, &surface), DDERR_NOCOOPERATIVELEVEL);
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(create(0, &surface), DDERR_INVALIDCAPS);
    EXPECT_EQ(create(DDSCAPS_OFFSCREENPLAIN, &surface), DDERR_INVALIDPARAMS) << "no width and height";
    EXPECT_EQ(surface, nullptr);

    for (DWORD caps : {0x200u, 0x4200u, 0xA00u, 0xA02u}) {
        ASSERT_EQ(create(caps, &surface), DD_OK) << caps;
        EXPECT_EQ(shape(surface), std::tuple(640u, 480u, 4u));
        surface->Release();
    }
    ASSERT_EQ(create(0x840, &surface, 320, 200), DD_OK);
    DDSURFACEDESC2 desc;
    desc.dwSize = DDSURFACEDESC2_SIZE;
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(std::tuple(desc.dwWidth, desc.dwHeight, desc.lPitch), std::tuple(320u, 200u, 1280));
    surface->Release();

    // Full screen at 16 bits: the game's size and depth, whatever the desktop's.
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(display->SetDisplayMode(320, 240, 16, 0, 0), DD_OK);
    ASSERT_EQ(create(0x4200, &surface), DD_OK);
    EXPECT_EQ(shape(surface), std::tuple(320u, 240u, 2u));
    surface->Release();
}

TEST_F(DisplayTest, ReturnsTheFailureCodesATestForces) {
    IDirectDrawSurface7* surface = nullptr;
    host::testing::failCall("SetCooperativeLevel", 0x8876023B, 1);
    EXPECT_EQ(display->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_WINDOWALREADYSET);
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    host::testing::failCall("SetDisplayMode", 0x88760233, 1);
    EXPECT_EQ(display->SetDisplayMode(640, 480, 32, 0, 0), DDERR_NOVIDEOSURFACE);
    host::testing::failCall("CreateSurface", 0x887600E1, 1);
    EXPECT_EQ(create(0x4200, &surface), DDERR_PRIMARYHELD);
    EXPECT_EQ(surface, nullptr);
    host::testing::failCall("CreateSurface:primary", DDERR_NOVIDEOMEMORY, 1);
    EXPECT_EQ(create(0x4200, &surface), makeResult(0x8876017C));
    ASSERT_EQ(create(0x4200, &surface), DD_OK) << "the failures were used up";
    surface->Release();

    host::testing::failCall("DirectDrawCreate", 0x80004005, 1);
    IDirectDraw* first = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &first, nullptr), E_FAIL);
    EXPECT_EQ(first, nullptr);
}

TEST_F(DisplayTest, NestedLocksSeeTheSamePixels) {
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(create(0x840, &back, 640, 480), DD_OK);
    DDSURFACEDESC2 outer;
    DDSURFACEDESC2 inner;
    outer.dwSize = inner.dwSize = DDSURFACEDESC2_SIZE;
    ASSERT_EQ(back->Lock(nullptr, &outer, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(back->Lock(nullptr, &inner, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(std::tuple(outer.lpSurface, outer.lPitch), std::tuple(inner.lpSurface, inner.lPitch));
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DD_OK);
    EXPECT_EQ(back->Unlock(nullptr), DDERR_NOTLOCKED);
    back->Release();
}

// A surface whose rows are padded: text must never reach the padding.
class TextTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_EQ(createMemorySurface(surfaceWidth, surfaceHeight, GetParam(), surfaceWidth * GetParam() + 16,
                                      &surface),
                  DD_OK);
        std::memset(surface->pixels(), 0x5A, static_cast<std::size_t>(surface->pitch()) * surfaceHeight);
        ASSERT_EQ(surface->GetDC(&dc), DD_OK);
        EXPECT_EQ(surface->lockCount(), 1);
    }
    void TearDown() override {
        EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
        EXPECT_EQ(surface->lockCount(), 0);
        surface->Release();
    }
    std::uint32_t at(int x, int y) const {
        const BYTE* p = surface->pixels() + y * surface->pitch() + x * GetParam();
        std::uint32_t value = 0;
        std::memcpy(&value, p, GetParam());
        return value;
    }
    std::uint32_t native(COLORREF color) const {
        if (GetParam() == 2) {
            return ((GetRValue(color) >> 3) << 11) | ((GetGValue(color) >> 2) << 5) | (GetBValue(color) >> 3);
        }
        return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    std::uint32_t untouched() const { return GetParam() == 2 ? 0x5A5A : 0x5A5A5A5A; }

    static constexpr int surfaceWidth = 30;
    static constexpr int surfaceHeight = 20;
    IDirectDrawSurface7* surface = nullptr;
    HDC dc = nullptr;
};

TEST_P(TextTest, DrawsGlyphsInTheTextColourAndClipsAtTheEdges) {
    const COLORREF ink = RGB(200, 40, 120);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    ASSERT_TRUE(ExtTextOut(dc, 2, 1, 0, nullptr, "A", 1, nullptr));
    for (int row = 0; row < fontCellHeight; ++row) {
        for (int column = 0; column < fontCellWidth; ++column) {
            const bool set = (fontGlyph('A')[row] & (0x80 >> column)) != 0;
            EXPECT_EQ(at(2 + column, 1 + row), set ? native(ink) : untouched()) << column << "," << row;
        }
    }
    // Hanging over the left, right and bottom edges.
    ASSERT_TRUE(ExtTextOut(dc, -4, 12, 0, nullptr, "MW", 2, nullptr));
    ASSERT_TRUE(ExtTextOut(dc, surfaceWidth - 3, surfaceHeight - 6, 0, nullptr, "H#", 2, nullptr));
    int inked = 0;
    for (int y = 0; y < surfaceHeight; ++y) {
        const BYTE* padding = surface->pixels() + y * surface->pitch() + surfaceWidth * GetParam();
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(padding[i], 0x5A) << "row " << y;
        }
        for (int x = 0; x < surfaceWidth; ++x) {
            const std::uint32_t value = at(x, y);
            ASSERT_TRUE(value == untouched() || value == native(ink)) << x << "," << y;
            inked += value == native(ink) && (x < 2 || x >= 10 || y >= 14);
        }
    }
    EXPECT_GT(inked, 10) << "the clipped characters show their visible parts";
}

TEST_P(TextTest, OpaqueModeFillsTheCellsWithTheBackground) {
    SetBkColor(dc, RGB(0, 0, 255));
    SetTextColor(dc, RGB(255, 255, 255));
    ASSERT_EQ(SetBkMode(dc, OPAQUE), OPAQUE);
    ASSERT_TRUE(ExtTextOut(dc, 0, 0, 0, nullptr, " ", 1, nullptr));
    EXPECT_EQ(at(7, 12), native(RGB(0, 0, 255)));
    EXPECT_EQ(at(8, 0), untouched());
    EXPECT_EQ(at(0, 13), untouched());
    EXPECT_FALSE(ExtTextOut(nullptr, 0, 0, 0, nullptr, "x", 1, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Depths, TextTest, ::testing::Values(2, 4));

TEST_F(DisplayTest, PresentingRefusesAWrongBackBufferAndRecoversFromALostDevice) {
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* small = nullptr;
    IDirectDrawSurface7* back = nullptr;
    IDirectDrawSurface7* shallow = nullptr;
    ASSERT_EQ(create(0x4200, &primary), DD_OK);
    ASSERT_EQ(create(0x840, &small, 320, 240), DD_OK);
    ASSERT_EQ(create(0x840, &back, 640, 480), DD_OK);
    ASSERT_EQ(createMemorySurface(640, 480, 2, 0, &shallow), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(display->CreateClipper(0, &clipper, nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, window), DD_OK);
    EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
    clipper->Release();

    RECT game{0, 0, 640, 480};
    EXPECT_EQ(primary->Blt(&game, small, &game, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(primary->Blt(&game, shallow, &game, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(primary->Blt(&game, nullptr, &game, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DD_OK);

    host::testing::simulateRenderReset();
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(primary->IsLost(), DD_OK);
    EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DD_OK);

    // A second display cannot take the window while the first holds it; once the first is released
    // (its surfaces may live on, lost) the window is free again.
    IDirectDraw7* other = openDisplay();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = surfaceDesc(0x4200);
    IDirectDrawSurface7* otherPrimary = nullptr;
    EXPECT_EQ(other->CreateSurface(&desc, &otherPrimary, nullptr), DDERR_PRIMARYHELD);
    display->Release();
    display = nullptr;
    EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DDERR_SURFACELOST);
    ASSERT_EQ(other->CreateSurface(&desc, &otherPrimary, nullptr), DD_OK);
    EXPECT_EQ(otherPrimary->Blt(&game, back, &game, 0, nullptr), DD_OK);
    otherPrimary->Release();
    other->Release();
    for (IDirectDrawSurface7* surface : {primary, small, back, shallow}) {
        surface->Release();
    }
}

TEST_F(DisplayTest, AWindowDestroyedFirstLeavesTheDisplayLost) {
    ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(create(0x4200, &primary), DD_OK);
    ASSERT_EQ(create(0x840, &back, 640, 480), DD_OK);
    ASSERT_TRUE(DestroyWindow(window));
    window = nullptr;
    EXPECT_EQ(primary->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_NE(primary->Restore(), DD_OK);
    display->Release();
    display = nullptr;
    primary->Release();
    back->Release();
}

TEST(MemorySurfaceBlt, CopiesRectanglesOfTheSameSize) {
    IDirectDrawSurface7* from = nullptr;
    IDirectDrawSurface7* to = nullptr;
    ASSERT_EQ(createMemorySurface(4, 4, 2, 0, &from), DD_OK);
    ASSERT_EQ(createMemorySurface(6, 6, 2, 16, &to), DD_OK);
    for (int i = 0; i < 16; ++i) {
        reinterpret_cast<std::uint16_t*>(from->pixels())[i] = static_cast<std::uint16_t>(0x100 + i);
    }
    RECT source{1, 1, 3, 4};
    RECT target{4, 2, 6, 5};
    ASSERT_EQ(to->Blt(&target, from, &source, DDBLT_WAIT, nullptr), DD_OK);
    const auto pixel = [&](int x, int y) {
        return reinterpret_cast<std::uint16_t*>(to->pixels() + y * 16)[x];
    };
    EXPECT_EQ(pixel(4, 2), 0x105);
    EXPECT_EQ(pixel(5, 4), 0x10E);
    EXPECT_EQ(pixel(3, 2), 0);
    EXPECT_EQ(pixel(4, 5), 0);
    RECT wider{3, 2, 6, 5};
    EXPECT_EQ(to->Blt(&wider, from, &source, 0, nullptr), DDERR_UNSUPPORTED);
    RECT outside{4, 4, 6, 7};
    EXPECT_EQ(to->Blt(&outside, from, &source, 0, nullptr), DDERR_INVALIDRECT);
    from->Release();
    to->Release();
}

} // namespace
