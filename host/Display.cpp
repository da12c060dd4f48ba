#include "host/Display.h"

#include "host/Testing.h"

#include <cstdint>
#include <limits>
#include <new>

namespace host {
namespace {

// A failure forced by a test: the code it gave, or the call's own code when it gave none or a success.
bool forcedFailure(const char* call, HRESULT defaultCode, HRESULT& result) {
    long code = 0;
    if (!testing::shouldFail(call, &code)) {
        return false;
    }
    result = code < 0 && code != -1 && code >= std::numeric_limits<HRESULT>::min()
                 ? static_cast<HRESULT>(code)
                 : defaultCode;
    return true;
}

bool validDescription(const DDSURFACEDESC2* desc) {
    return desc != nullptr && desc->dwSize == DDSURFACEDESC2_SIZE;
}

} // namespace

IDirectDrawSurface7::IDirectDrawSurface7(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch,
                                         std::unique_ptr<BYTE[]> memory)
    : surfaceWidth(width), surfaceHeight(height), pixelBytes(bytesPerPixel), rowBytes(pitch),
      memory(std::move(memory)) {}

IDirectDrawSurface7::~IDirectDrawSurface7() = default;

ULONG IDirectDrawSurface7::AddRef() {
    return references.fetch_add(1) + 1;
}

ULONG IDirectDrawSurface7::Release() {
    const ULONG remaining = references.fetch_sub(1) - 1;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
}

void IDirectDrawSurface7::describe(DDSURFACEDESC2& desc) const {
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = surfaceWidth;
    desc.dwHeight = surfaceHeight;
    desc.lPitch = rowBytes;
    desc.ddpfPixelFormat = DDPIXELFORMAT{};
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = pixelBytes * 8;
    if (pixelBytes == 2) {
        desc.ddpfPixelFormat.dwRBitMask = 0xF800;
        desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
        desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    } else {
        desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
        desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
        desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    }
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2* desc) {
    HRESULT result = DD_OK;
    if (forcedFailure("GetSurfaceDesc", DDERR_GENERIC, result)) {
        return result;
    }
    if (!validDescription(desc)) {
        return DDERR_INVALIDPARAMS;
    }
    describe(*desc);
    desc->lpSurface = nullptr;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD, HANDLE) {
    HRESULT result = DD_OK;
    if (forcedFailure("Lock", DDERR_SURFACELOST, result)) {
        return result;
    }
    if (!validDescription(desc)) {
        return DDERR_INVALIDPARAMS;
    }
    RECT whole{0, 0, static_cast<LONG>(surfaceWidth), static_cast<LONG>(surfaceHeight)};
    const RECT area = rect ? *rect : whole;
    if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        area.right > whole.right || area.bottom > whole.bottom) {
        return DDERR_INVALIDPARAMS;
    }
    describe(*desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = memory.get() + static_cast<std::ptrdiff_t>(area.top) * rowBytes +
                      static_cast<std::ptrdiff_t>(area.left) * pixelBytes;
    locks.fetch_add(1);
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(RECT*) {
    HRESULT result = DD_OK;
    if (forcedFailure("Unlock", DDERR_GENERIC, result)) {
        return result;
    }
    int held = locks.load();
    do {
        if (held == 0) {
            return DDERR_NOTLOCKED;
        }
    } while (!locks.compare_exchange_weak(held, held - 1));
    return DD_OK;
}

HRESULT createMemorySurface(int width, int height, int bytesPerPixel, int pitch, IDirectDrawSurface7** out) {
    if (out == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *out = nullptr;
    HRESULT result = DD_OK;
    if (forcedFailure("CreateSurface", DDERR_OUTOFMEMORY, result)) {
        return result;
    }
    if (width <= 0 || height <= 0 || (bytesPerPixel != 2 && bytesPerPixel != 4)) {
        return DDERR_INVALIDPARAMS;
    }
    const std::int64_t packed = std::int64_t{width} * bytesPerPixel;
    const std::int64_t rowBytes = pitch == 0 ? packed : pitch;
    // Every byte offset into the surface must fit the 32-bit pitch arithmetic of the drawing code.
    if (rowBytes < packed || rowBytes * height > std::numeric_limits<std::int32_t>::max()) {
        return DDERR_INVALIDPARAMS;
    }
    std::unique_ptr<BYTE[]> memory(new (std::nothrow) BYTE[static_cast<std::size_t>(rowBytes * height)]());
    if (!memory) {
        return DDERR_OUTOFMEMORY;
    }
    *out = new IDirectDrawSurface7(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                   static_cast<DWORD>(bytesPerPixel), static_cast<LONG>(rowBytes),
                                   std::move(memory));
    return DD_OK;
}

} // namespace host
