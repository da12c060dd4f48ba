#include "host/Display.h"

#include "host/DirectDraw.h"
#include "host/DisplayInternal.h"
#include "host/Testing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace host {

bool forcedFailure(const char* call, HRESULT defaultCode, HRESULT& result) {
    long code = 0;
    if (!testing::shouldFail(call, &code)) {
        return false;
    }
    const long long value = code;
    if (value < -1 && value >= std::numeric_limits<HRESULT>::min()) {
        result = static_cast<HRESULT>(value);
    } else if (value > std::numeric_limits<HRESULT>::max() && value <= 0xFFFFFFFFLL) {
        // Written as the platform writes it (0x8876....): the same 32 bits.
        result = static_cast<HRESULT>(static_cast<std::uint32_t>(value));
    } else {
        result = defaultCode;
    }
    return true;
}

bool validDescription(const DDSURFACEDESC2* desc) {
    return desc != nullptr && desc->dwSize == DDSURFACEDESC2_SIZE;
}

HRESULT allocateSurfaceMemory(int width, int height, int bytesPerPixel, int pitch,
                              std::unique_ptr<BYTE[]>& memory, LONG& rowBytes) {
    if (width <= 0 || height <= 0 || (bytesPerPixel != 2 && bytesPerPixel != 4)) {
        return DDERR_INVALIDPARAMS;
    }
    const std::int64_t packed = std::int64_t{width} * bytesPerPixel;
    const std::int64_t row = pitch == 0 ? packed : pitch;
    // Every byte offset into the surface must fit the 32-bit pitch arithmetic of the drawing code.
    if (row < packed || row * height > std::numeric_limits<std::int32_t>::max()) {
        return DDERR_INVALIDPARAMS;
    }
    memory.reset(new (std::nothrow) BYTE[static_cast<std::size_t>(row * height)]());
    if (!memory) {
        return DDERR_OUTOFMEMORY;
    }
    rowBytes = static_cast<LONG>(row);
    return DD_OK;
}

IDirectDrawSurface7::IDirectDrawSurface7(DWORD width, DWORD height, DWORD bytesPerPixel, LONG pitch,
                                         std::unique_ptr<BYTE[]> memory)
    : surfaceWidth(width), surfaceHeight(height), pixelBytes(bytesPerPixel), rowBytes(pitch),
      memory(std::move(memory)) {
    written = wholeArea();
}

RECT IDirectDrawSurface7::wholeArea() const {
    return RECT{0, 0, static_cast<LONG>(surfaceWidth), static_cast<LONG>(surfaceHeight)};
}

namespace {

void unite(RECT& into, const RECT& area) {
    if (area.right <= area.left || area.bottom <= area.top) {
        return;
    }
    if (into.right <= into.left || into.bottom <= into.top) {
        into = area;
        return;
    }
    into = RECT{std::min(into.left, area.left), std::min(into.top, area.top),
                std::max(into.right, area.right), std::max(into.bottom, area.bottom)};
}

} // namespace

void IDirectDrawSurface7::markWritten(const RECT& area) {
    const std::lock_guard guard(writtenLock);
    unite(written, area);
}

RECT IDirectDrawSurface7::takeWrittenArea() {
    const std::lock_guard guard(writtenLock);
    return std::exchange(written, RECT{});
}

IDirectDrawSurface7::~IDirectDrawSurface7() {
    if (deviceContext) {
        gdi::closeContext(deviceContext);
    }
    if (clipper) {
        clipper->Release();
    }
}

void describePixels(DDSURFACEDESC2& desc, DWORD width, DWORD height, LONG pitch, DWORD bitsPerPixel) {
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.lPitch = pitch;
    desc.ddpfPixelFormat = DDPIXELFORMAT{};
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = bitsPerPixel;
    if (bitsPerPixel == 16) {
        desc.ddpfPixelFormat.dwRBitMask = 0xF800;
        desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
        desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    } else {
        desc.ddpfPixelFormat.dwRBitMask = 0x00FF0000;
        desc.ddpfPixelFormat.dwGBitMask = 0x0000FF00;
        desc.ddpfPixelFormat.dwBBitMask = 0x000000FF;
    }
}

void IDirectDrawSurface7::describe(DDSURFACEDESC2& desc) const {
    describePixels(desc, surfaceWidth, surfaceHeight, rowBytes, pixelBytes * 8);
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
    {
        const std::lock_guard guard(writtenLock);
        unite(written, area);
        unite(lockedArea, area);
    }
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
    if (held == 1) {
        // What was written under the locks after the area was last taken.
        const std::lock_guard guard(writtenLock);
        unite(written, lockedArea);
        lockedArea = RECT{};
    }
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Blt(RECT* dst, IDirectDrawSurface7* src, RECT* srcRect, DWORD, void*) {
    HRESULT result = DD_OK;
    if (forcedFailure("Blt", DDERR_GENERIC, result)) {
        return result;
    }
    if (src == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (src->pixelBytes != pixelBytes) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    const auto inside = [](const RECT& r, const IDirectDrawSurface7& s) {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
               r.right <= static_cast<LONG>(s.surfaceWidth) && r.bottom <= static_cast<LONG>(s.surfaceHeight);
    };
    const RECT from =
        srcRect ? *srcRect
                : RECT{0, 0, static_cast<LONG>(src->surfaceWidth), static_cast<LONG>(src->surfaceHeight)};
    const RECT to =
        dst ? *dst : RECT{0, 0, static_cast<LONG>(surfaceWidth), static_cast<LONG>(surfaceHeight)};
    if (!inside(from, *src) || !inside(to, *this)) {
        return DDERR_INVALIDRECT;
    }
    if (from.right - from.left != to.right - to.left || from.bottom - from.top != to.bottom - to.top) {
        // Memory surfaces copy; they do not stretch.
        return DDERR_UNSUPPORTED;
    }
    const std::size_t rowLength = static_cast<std::size_t>(to.right - to.left) * pixelBytes;
    const int rows = to.bottom - to.top;
    // Through a copy, so that a surface may blit onto itself.
    std::vector<BYTE> copy(rowLength * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y) {
        std::memcpy(copy.data() + rowLength * y,
                    src->memory.get() + static_cast<std::ptrdiff_t>(from.top + y) * src->rowBytes +
                        static_cast<std::ptrdiff_t>(from.left) * pixelBytes,
                    rowLength);
    }
    for (int y = 0; y < rows; ++y) {
        std::memcpy(memory.get() + static_cast<std::ptrdiff_t>(to.top + y) * rowBytes +
                        static_cast<std::ptrdiff_t>(to.left) * pixelBytes,
                    copy.data() + rowLength * y, rowLength);
    }
    markWritten(to);
    return DD_OK;
}

HRESULT IDirectDrawSurface7::SetClipper(IDirectDrawClipper* value) {
    replaceReference(clipper, value);
    return DD_OK;
}

HRESULT IDirectDrawSurface7::GetDC(HDC* dc) {
    HRESULT result = DD_OK;
    if (forcedFailure("GetDC", DDERR_GENERIC, result)) {
        return result;
    }
    if (dc == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *dc = nullptr;
    if (deviceContext) {
        return DDERR_DCALREADYCREATED;
    }
    deviceContext = gdi::openContext(gdi::SurfacePixels{memory.get(), static_cast<int>(surfaceWidth),
                                                        static_cast<int>(surfaceHeight), rowBytes,
                                                        static_cast<int>(pixelBytes)});
    locks.fetch_add(1);
    markWritten(wholeArea());
    *dc = deviceContext;
    return DD_OK;
}

HRESULT IDirectDrawSurface7::ReleaseDC(HDC dc) {
    if (dc == nullptr || dc != deviceContext) {
        return DDERR_NODC;
    }
    gdi::closeContext(deviceContext);
    deviceContext = nullptr;
    locks.fetch_sub(1);
    markWritten(wholeArea());
    return DD_OK;
}

HRESULT IDirectDrawSurface7::IsLost() {
    return DD_OK;
}

HRESULT IDirectDrawSurface7::Restore() {
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
    std::unique_ptr<BYTE[]> memory;
    LONG rowBytes = 0;
    result = allocateSurfaceMemory(width, height, bytesPerPixel, pitch, memory, rowBytes);
    if (FAILED(result)) {
        return result;
    }
    *out = new IDirectDrawSurface7(static_cast<DWORD>(width), static_cast<DWORD>(height),
                                   static_cast<DWORD>(bytesPerPixel), rowBytes, std::move(memory));
    return DD_OK;
}

} // namespace host
