#pragma once
// The display object the engine sets its screen up with, shaped as DirectDraw 7: a cooperative level for
// the game window, the display mode, the primary surface (the window itself: a Blt to it presents), memory
// surfaces for the back buffer, and a clipper. Presentation goes through an SDL renderer made for the
// window; full screen shows the game picture scaled to fit the desktop-sized window and centred.

#include "host/Display.h"
#include "host/Gdi.h"
#include "host/Types.h"
#include "host/Window.h"

#include <cstdint>
#include <vector>

namespace host {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
};
using IID = GUID;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}

// Our own identifier for the version-7 interface; only its identity matters.
inline constexpr IID IID_IDirectDraw7{
    0x70696262, 0x6c65, 0x0007, {0x64, 0x69, 0x73, 0x70, 0x6c, 0x61, 0x79, 0x37}};

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x4;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

class IDirectDraw7;

// Bound to the window whose client area limits the primary surface's blits. Counted.
class IDirectDrawClipper {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
    virtual HRESULT GetHWnd(HWND* window) = 0;

protected:
    virtual ~IDirectDrawClipper() = default;
};

// The first interface DirectDrawCreate gives; it only leads to IDirectDraw7. It shares one count with
// the IDirectDraw7 it gives.
class IDirectDraw {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IDirectDraw() = default;
};

class IDirectDraw7 {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // DDSCL_NORMAL (windowed) or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN for the window. Full screen makes the
    // window cover the desktop; the picture is scaled into it. A second full-screen call for the same
    // window answers DDERR_WINDOWALREADYSET (harmless).
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // The desktop: its size and depth (GetDeviceCaps), or the mode set by SetDisplayMode.
    virtual HRESULT GetDisplayMode(DDSURFACEDESC2* desc) = 0;
    // Full screen only; the desktop keeps its own mode, the game's size and depth (16 or 32 bits) are
    // those of the surfaces made afterwards.
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;
    // DDSD_CAPS with ddsCaps.dwCaps: DDSCAPS_PRIMARYSURFACE (alone or with video or system memory) for the
    // window, DDSCAPS_OFFSCREENPLAIN (optionally with system memory) plus DDSD_WIDTH/HEIGHT for a memory
    // surface in the display's depth. The cooperative level must be set first.
    virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, void* outer) = 0;

protected:
    virtual ~IDirectDraw7() = default;
};

// device: null for the default display (the only one). outer must be null.
//
// Tests force failures (host::testing::failCall) of "DirectDrawCreate", "QueryInterface",
// "SetCooperativeLevel", "GetDisplayMode", "SetDisplayMode", "CreateClipper", "Blt", "Restore" and
// "CreateSurface" (any surface; "CreateSurface:primary" and "CreateSurface:offscreen" for one kind), with
// the code the test gives, written either way (0x887600E1 or its negative value).
HRESULT DirectDrawCreate(GUID* device, IDirectDraw** out, void* outer);

// The frame check: while on, each presentation into the window's own pixels also compares them with what
// presenting the whole picture would have left there (black bars, the picture in its place, scaled where it
// is). Where a graphics card scales the picture, nothing is compared.
void checkPresentations(bool on);
// Where the window differed after the presentations since the last call (picture pixels, the bars counting
// as the whole picture; empty when it did not), which it forgets.
RECT takePresentationDifference();
// The smallest rectangle holding every pixel in which two pictures of one size and depth differ as the
// screen shows them; empty (right <= left) when none does.
RECT differingPixels(const BYTE* first, LONG firstPitch, const BYTE* second, LONG secondPitch, int width,
                     int height, int bytesPerPixel);

namespace testing {
// While on, every presentation that sends something also reads the window's whole picture back
// (0xAARRGGBB per pixel).
void capturePresentations(bool on);
// The last picture read back since capturing was turned on; false when there is none.
bool takePresentedPicture(std::vector<std::uint32_t>* pixels, int* width, int* height);
// The rectangles of the window that the last presentation sent (window pixels): none when nothing had
// changed since the one before.
std::vector<RECT> lastSentRectangles();
// Posts the event SDL sends when the renderer's device was reset: every primary surface made before it is
// lost until restored.
void simulateRenderReset();
// Posts the event SDL sends when a window was uncovered: the next presentation sends the whole picture.
void simulateExposure();
} // namespace testing

} // namespace host
