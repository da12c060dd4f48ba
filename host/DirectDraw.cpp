#include "host/DirectDraw.h"

#include "host/ComObject.h"
#include "host/DisplayInternal.h"
#include "host/Presenter.h"
#include "host/SdlWindow.h"
#include "host/System.h"
#include "host/Testing.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

namespace host {
namespace {

bool forcedSurfaceFailure(const char* specific, HRESULT defaultCode, HRESULT& result) {
    return forcedFailure(specific, defaultCode, result) ||
           forcedFailure("CreateSurface", defaultCode, result);
}

class MemorySurface final : public IDirectDrawSurface7 {
public:
    MemorySurface(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch, std::unique_ptr<BYTE[]> memory)
        : IDirectDrawSurface7(width, height, bytesPerPixel, pitch, std::move(memory)) {}
};

// The window: its own memory (for a screen image over it) and a Blt that presents.
class PrimarySurface final : public IDirectDrawSurface7 {
public:
    PrimarySurface(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch, std::unique_ptr<BYTE[]> memory,
                   std::shared_ptr<Presenter> presenter)
        : IDirectDrawSurface7(width, height, bytesPerPixel, pitch, std::move(memory)),
          presenter(std::move(presenter)) {}

    // The destination rectangle is not used: where the picture goes in the window is the presenter's
    // choice (all of the client area, or scaled and centred in full screen).
    HRESULT Blt(RECT*, IDirectDrawSurface7* src, RECT* srcRect, DWORD, void*) override {
        HRESULT result = DD_OK;
        if (forcedFailure("Blt", DDERR_GENERIC, result)) {
            return result;
        }
        if (src == nullptr || src == this) {
            return DDERR_INVALIDPARAMS;
        }
        if (src->bytesPerPixel() != bytesPerPixel()) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        const RECT from = srcRect
                              ? *srcRect
                              : RECT{0, 0, static_cast<LONG>(src->width()), static_cast<LONG>(src->height())};
        if (from.left < 0 || from.top < 0 || from.left >= from.right || from.top >= from.bottom ||
            from.right > static_cast<LONG>(src->width()) || from.bottom > static_cast<LONG>(src->height())) {
            return DDERR_INVALIDRECT;
        }
        return presenter->present(*src, from);
    }

    HRESULT IsLost() override { return presenter->lost() ? DDERR_SURFACELOST : DD_OK; }

    HRESULT Restore() override {
        HRESULT result = DD_OK;
        if (forcedFailure("Restore", DDERR_GENERIC, result)) {
            return result;
        }
        return presenter->restore();
    }

private:
    std::shared_ptr<Presenter> presenter;
};

class Clipper final : public ComObject<IDirectDrawClipper> {
public:
    HRESULT SetHWnd(DWORD, HWND value) override {
        window = value;
        return DD_OK;
    }
    HRESULT GetHWnd(HWND* value) override {
        if (value == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *value = window;
        return DD_OK;
    }

private:
    HWND window = nullptr;
};

void describeMode(DDSURFACEDESC2& desc, DWORD width, DWORD height, DWORD bits) {
    describePixels(desc, width, height, static_cast<LONG>(width * (bits / 8)), bits);
    desc.lpSurface = nullptr;
}

// IDirectDraw and IDirectDraw7 share the one count.
class DirectDraw final : public ComObject<IDirectDraw, IDirectDraw7> {
public:
    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *out = nullptr;
        HRESULT result = DD_OK;
        if (forcedFailure("QueryInterface", E_NOINTERFACE, result)) {
            return result;
        }
        if (!(iid == IID_IDirectDraw7)) {
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<IDirectDraw7*>(this);
        return DD_OK;
    }

    HRESULT SetCooperativeLevel(HWND handle, DWORD flags) override {
        HRESULT result = DD_OK;
        if (forcedFailure("SetCooperativeLevel", DDERR_GENERIC, result)) {
            return result;
        }
        const bool full = (flags & DDSCL_FULLSCREEN) != 0;
        const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        const bool normal = (flags & DDSCL_NORMAL) != 0;
        if (full != exclusive || normal == full) {
            return DDERR_INVALIDPARAMS;
        }
        // The game's window, also one made as the display ended, with no SDL window behind it: the presenter
        // then shows nothing, and the end of the session keeps the game.
        if ((handle != nullptr && handle != currentWindow()) || (full && handle == nullptr)) {
            return DDERR_INVALIDPARAMS;
        }
        if (full && levelSet && fullScreen && handle == window) {
            return DDERR_WINDOWALREADYSET;
        }
        if (handle != window) {
            presenter->close(false);
        }
        window = handle;
        fullScreen = full;
        levelSet = true;
        if (!full) {
            // Leaving full screen gives the desktop its own mode back.
            modeWidth = modeHeight = modeBits = 0;
        }
        return DD_OK;
    }

    HRESULT GetDisplayMode(DDSURFACEDESC2* desc) override {
        HRESULT result = DD_OK;
        if (forcedFailure("GetDisplayMode", DDERR_GENERIC, result)) {
            return result;
        }
        if (!validDescription(desc)) {
            return DDERR_INVALIDPARAMS;
        }
        if (modeBits != 0) {
            describeMode(*desc, modeWidth, modeHeight, modeBits);
        } else {
            describeMode(*desc, static_cast<DWORD>(GetDeviceCaps(nullptr, HORZRES)),
                         static_cast<DWORD>(GetDeviceCaps(nullptr, VERTRES)),
                         static_cast<DWORD>(GetDeviceCaps(nullptr, BITSPIXEL)));
        }
        return DD_OK;
    }

    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits, DWORD, DWORD) override {
        HRESULT result = DD_OK;
        if (forcedFailure("SetDisplayMode", DDERR_GENERIC, result)) {
            return result;
        }
        if (!levelSet || !fullScreen) {
            return DDERR_NOCOOPERATIVELEVEL;
        }
        if (width == 0 || height == 0 || width > 16384 || height > 16384) {
            return DDERR_INVALIDPARAMS;
        }
        if (bits != 16 && bits != 32) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        modeWidth = width;
        modeHeight = height;
        modeBits = bits;
        return DD_OK;
    }

    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void* outer) override {
        if (out == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *out = nullptr;
        if (!validDescription(desc) || (desc->dwFlags & DDSD_CAPS) == 0 || outer != nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        const DWORD caps = desc->ddsCaps.dwCaps;
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            return createPrimary(caps, out);
        }
        if (caps & DDSCAPS_OFFSCREENPLAIN) {
            return createOffscreen(*desc, out);
        }
        HRESULT result = DD_OK;
        if (forcedFailure("CreateSurface", DDERR_OUTOFMEMORY, result)) {
            return result;
        }
        return DDERR_INVALIDCAPS;
    }

    HRESULT CreateClipper(DWORD, IDirectDrawClipper** out, void* outer) override {
        if (out == nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *out = nullptr;
        HRESULT result = DD_OK;
        if (forcedFailure("CreateClipper", DDERR_GENERIC, result)) {
            return result;
        }
        if (outer != nullptr) {
            return DDERR_INVALIDPARAMS;
        }
        *out = new Clipper;
        return DD_OK;
    }

private:
    ~DirectDraw() override { presenter->close(false); }

    int displayBytes() const {
        const int bits = modeBits != 0 ? static_cast<int>(modeBits) : GetDeviceCaps(nullptr, BITSPIXEL);
        return bits / 8;
    }

    HRESULT createPrimary(DWORD caps, IDirectDrawSurface7** out) {
        HRESULT result = DD_OK;
        if (forcedSurfaceFailure("CreateSurface:primary", DDERR_GENERIC, result)) {
            return result;
        }
        constexpr DWORD allowed = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY |
                                  DDSCAPS_ALPHA | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_FRONTBUFFER;
        if (caps & ~allowed) {
            return DDERR_INVALIDCAPS;
        }
        if (!levelSet || window == nullptr) {
            return DDERR_NOCOOPERATIVELEVEL;
        }
        const int bytes = displayBytes();
        if (bytes != 2 && bytes != 4) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        int width = static_cast<int>(modeWidth);
        int height = static_cast<int>(modeHeight);
        if (modeBits == 0) {
            RECT client;
            GetClientRect(window, &client);
            width = client.right - client.left;
            height = client.bottom - client.top;
        }
        result = presenter->open(window);
        if (FAILED(result)) {
            return result;
        }
        std::unique_ptr<BYTE[]> memory;
        LONG pitch = 0;
        result = allocateSurfaceMemory(std::max(width, 1), std::max(height, 1), bytes, 0, memory, pitch);
        if (FAILED(result)) {
            return result;
        }
        *out = new PrimarySurface(static_cast<DWORD>(std::max(width, 1)),
                                  static_cast<DWORD>(std::max(height, 1)), static_cast<DWORD>(bytes), pitch,
                                  std::move(memory), presenter);
        return DD_OK;
    }

    HRESULT createOffscreen(const DDSURFACEDESC2& desc, IDirectDrawSurface7** out) {
        HRESULT result = DD_OK;
        if (forcedSurfaceFailure("CreateSurface:offscreen", DDERR_OUTOFMEMORY, result)) {
            return result;
        }
        constexpr DWORD allowed = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
        if (desc.ddsCaps.dwCaps & ~allowed) {
            return DDERR_INVALIDCAPS;
        }
        if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            desc.dwWidth > 65535 || desc.dwHeight > 65535) {
            return DDERR_INVALIDPARAMS;
        }
        if (!levelSet) {
            return DDERR_NOCOOPERATIVELEVEL;
        }
        int bytes = displayBytes();
        if (desc.dwFlags & DDSD_PIXELFORMAT) {
            bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        }
        if (bytes != 2 && bytes != 4) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        std::unique_ptr<BYTE[]> memory;
        LONG pitch = 0;
        result = allocateSurfaceMemory(static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), bytes,
                                       0, memory, pitch);
        if (FAILED(result)) {
            return result;
        }
        *out = new MemorySurface(desc.dwWidth, desc.dwHeight, static_cast<DWORD>(bytes), pitch,
                                 std::move(memory));
        return DD_OK;
    }

    std::shared_ptr<Presenter> presenter = std::make_shared<Presenter>();
    HWND window = nullptr;
    bool levelSet = false;
    bool fullScreen = false;
    DWORD modeWidth = 0;
    DWORD modeHeight = 0;
    DWORD modeBits = 0;
};

} // namespace

HRESULT DirectDrawCreate(GUID* device, IDirectDraw** out, void* outer) {
    if (out == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *out = nullptr;
    HRESULT result = DD_OK;
    if (forcedFailure("DirectDrawCreate", DDERR_GENERIC, result)) {
        return result;
    }
    // Only the default display exists.
    if (device != nullptr || outer != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (!ensureVideo()) {
        return DDERR_GENERIC;
    }
    *out = static_cast<IDirectDraw*>(new DirectDraw);
    return DD_OK;
}

} // namespace host
