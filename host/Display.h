#pragma once
// The display surface the engine draws on: described, locked for its pixels, unlocked and counted, as the
// engine expects of a DirectDraw 7 surface. A surface here is a block of memory; the real display builds
// on it and presents its pixels.

#include "host/ComObject.h"
#include "host/System.h"
#include "host/Types.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace host {

using HRESULT = LONG;

// Result codes are the platform's numbers (the engine compares against some of them); an HRESULT is a
// signed 32-bit value, so every failure is negative.
constexpr HRESULT makeResult(std::uint32_t code) {
    return static_cast<HRESULT>(code);
}

constexpr HRESULT DD_OK = 0;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = makeResult(0x80004005);
constexpr HRESULT E_NOINTERFACE = makeResult(0x80004002);
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = makeResult(0x80070057);
constexpr HRESULT DDERR_OUTOFMEMORY = makeResult(0x8007000E);
// The primary surface is held exclusively by another program.
constexpr HRESULT DDERR_PRIMARYHELD = makeResult(0x887600E1);
// The display is busy with a mode change; the same request may succeed when made again.
constexpr HRESULT DDERR_DISPLAYBUSY = makeResult(0x887600E6);
// No video memory for the surface (two flavours the engine treats alike: try system memory).
constexpr HRESULT DDERR_NOVIDEOSURFACE = makeResult(0x88760233);
constexpr HRESULT DDERR_NOVIDEOMEMORY = makeResult(0x8876017C);
// The cooperative level already has a window (ignored by the engine in full screen).
constexpr HRESULT DDERR_WINDOWALREADYSET = makeResult(0x8876023B);
// The surface's memory or the device behind it went away; Restore (or re-creation) brings it back.
constexpr HRESULT DDERR_SURFACELOST = makeResult(0x887601C2);
// Ours, within the same family of codes.
constexpr HRESULT DDERR_NOTLOCKED = makeResult(0x887602A8);
constexpr HRESULT DDERR_INVALIDRECT = makeResult(0x88760096);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = makeResult(0x88760091);
constexpr HRESULT DDERR_INVALIDCAPS = makeResult(0x88760064);
constexpr HRESULT DDERR_NOCOOPERATIVELEVEL = makeResult(0x887600D4);
constexpr HRESULT DDERR_UNSUPPORTED = makeResult(0x80004001);
constexpr HRESULT DDERR_DCALREADYCREATED = makeResult(0x8876026C);
constexpr HRESULT DDERR_NODC = makeResult(0x88760219);

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

constexpr DWORD DDPF_ALPHAPIXELS = 0x1;
constexpr DWORD DDPF_RGB = 0x40;

struct DDPIXELFORMAT {
    DWORD dwSize = 32;
    DWORD dwFlags = 0;
    DWORD dwFourCC = 0;
    DWORD dwRGBBitCount = 0;
    DWORD dwRBitMask = 0;
    DWORD dwGBitMask = 0;
    DWORD dwBBitMask = 0;
    DWORD dwRGBAlphaBitMask = 0;
};

constexpr DWORD DDSCAPS_ALPHA = 0x2;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x20;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

struct DDSCAPS2 {
    DWORD dwCaps = 0;
    DWORD dwCaps2 = 0;
    DWORD dwCaps3 = 0;
    DWORD dwCaps4 = 0;
};

constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

// The size the engine writes into dwSize; a description of another size is refused.
constexpr DWORD DDSURFACEDESC2_SIZE = 124;

struct DDSURFACEDESC2 {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwHeight = 0;
    DWORD dwWidth = 0;
    LONG lPitch = 0;
    DWORD dwBackBufferCount = 0;
    void* lpSurface = nullptr;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
};

constexpr DWORD DDLOCK_WAIT = 0x1;

// Blt flags: wait until the blit can be done (it always can here).
constexpr DWORD DDBLT_WAIT = 0x01000000;

class IDirectDrawClipper;

// Counted: made with one reference, destroyed by the Release that drops the last one.
class IDirectDrawSurface7 : private ReferenceCounted {
public:
    virtual ULONG AddRef() { return addReference(); }
    virtual ULONG Release() { return releaseReference(); }
    // Size, pitch and pixel format; lpSurface is left null.
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
    // Locks nest; every lock sees the same pitch. A null rectangle locks the whole surface, another one
    // must lie inside it and lpSurface then points at its top-left pixel. The description is left as it
    // was when the lock fails.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event);
    virtual HRESULT Unlock(RECT* rect);

    // Copies src's srcRect (whole surface when null) to dst (whole surface when null). A memory surface
    // copies between surfaces of its own depth at the same size; the primary surface presents (see
    // DirectDraw.h). fx is not used.
    virtual HRESULT Blt(RECT* dst, IDirectDrawSurface7* src, RECT* srcRect, DWORD flags, void* fx);
    // The surface keeps a reference to the clipper (null removes it).
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper);
    // A device context over the surface's pixels for the text calls of Gdi.h; the surface stays locked
    // until ReleaseDC. One at a time.
    virtual HRESULT GetDC(HDC* dc);
    virtual HRESULT ReleaseDC(HDC dc);
    // DD_OK, or DDERR_SURFACELOST once the display behind the surface was reset; Restore clears it.
    virtual HRESULT IsLost();
    virtual HRESULT Restore();

    // Host side: what the presentation and the tests read.
    DWORD width() const { return surfaceWidth; }
    DWORD height() const { return surfaceHeight; }
    DWORD bytesPerPixel() const { return pixelBytes; }
    LONG pitch() const { return rowBytes; }
    BYTE* pixels() const { return memory.get(); }
    int lockCount() const { return locks.load(); }
    // The part of the pixels that may have been written since the last call, which it forgets: a lock may
    // write its rectangle, a device context or a blit onto the surface all of it; a new surface counts as
    // written whole. Empty (right <= left) when nothing was.
    RECT takeWrittenArea();

protected:
    IDirectDrawSurface7(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch,
                        std::unique_ptr<BYTE[]> memory);
    ~IDirectDrawSurface7() override;

    void describe(DDSURFACEDESC2& desc) const;
    void markWritten(const RECT& area);
    RECT wholeArea() const;

private:
    friend HRESULT createMemorySurface(int, int, int, int, IDirectDrawSurface7**);

    std::atomic<int> locks{0};
    // Guarded by writtenLock: what was written since takeWrittenArea, and what the locks held since the
    // count was last 0 may still write (counted again when the last of them is released).
    std::mutex writtenLock;
    RECT written{};
    RECT lockedArea{};
    DWORD surfaceWidth;
    DWORD surfaceHeight;
    DWORD pixelBytes;
    LONG rowBytes;
    std::unique_ptr<BYTE[]> memory;
    IDirectDrawClipper* clipper = nullptr;
    HDC deviceContext = nullptr;
};

// A surface of zeroed memory with 2 or 4 bytes per pixel. A pitch of 0 packs the rows; a wider pitch pads
// them. *out receives the surface with one reference, or null on failure.
HRESULT createMemorySurface(int width, int height, int bytesPerPixel, int pitch, IDirectDrawSurface7** out);

} // namespace host
