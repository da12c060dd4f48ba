#pragma once
// The display surface the engine draws on: described, locked for its pixels, unlocked and counted, as the
// engine expects of a DirectDraw 7 surface. A surface here is a block of memory; the real display builds
// on it and presents its pixels.

#include "host/Types.h"

#include <atomic>
#include <memory>

namespace host {

using HRESULT = LONG;
using ULONG = std::uint32_t;

constexpr HRESULT DD_OK = 0;
// Our own codes; the engine only tests their sign.
constexpr HRESULT DDERR_GENERIC = -100;
constexpr HRESULT DDERR_INVALIDPARAMS = -101;
constexpr HRESULT DDERR_OUTOFMEMORY = -102;
constexpr HRESULT DDERR_SURFACELOST = -103;
constexpr HRESULT DDERR_NOTLOCKED = -104;

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

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

constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
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
    void* lpSurface = nullptr;
    DDPIXELFORMAT ddpfPixelFormat;
};

constexpr DWORD DDLOCK_WAIT = 0x1;

// Counted: made with one reference, destroyed by the Release that drops the last one.
class IDirectDrawSurface7 {
public:
    IDirectDrawSurface7(const IDirectDrawSurface7&) = delete;
    IDirectDrawSurface7& operator=(const IDirectDrawSurface7&) = delete;

    virtual ULONG AddRef();
    virtual ULONG Release();
    // Size, pitch and pixel format; lpSurface is left null.
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
    // Locks nest; every lock sees the same pitch. A null rectangle locks the whole surface, another one
    // must lie inside it and lpSurface then points at its top-left pixel. The description is left as it
    // was when the lock fails.
    virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event);
    virtual HRESULT Unlock(RECT* rect);

    // Host side: what the presentation and the tests read.
    DWORD width() const { return surfaceWidth; }
    DWORD height() const { return surfaceHeight; }
    DWORD bytesPerPixel() const { return pixelBytes; }
    LONG pitch() const { return rowBytes; }
    BYTE* pixels() const { return memory.get(); }
    int lockCount() const { return locks.load(); }

protected:
    IDirectDrawSurface7(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch,
                        std::unique_ptr<BYTE[]> memory);
    virtual ~IDirectDrawSurface7();

    void describe(DDSURFACEDESC2& desc) const;

private:
    friend HRESULT createMemorySurface(int, int, int, int, IDirectDrawSurface7**);

    std::atomic<ULONG> references{1};
    std::atomic<int> locks{0};
    DWORD surfaceWidth;
    DWORD surfaceHeight;
    DWORD pixelBytes;
    LONG rowBytes;
    std::unique_ptr<BYTE[]> memory;
};

// A surface of zeroed memory with 2 or 4 bytes per pixel. A pitch of 0 packs the rows; a wider pitch pads
// them. *out receives the surface with one reference, or null on failure.
HRESULT createMemorySurface(int width, int height, int bytesPerPixel, int pitch, IDirectDrawSurface7** out);

} // namespace host
