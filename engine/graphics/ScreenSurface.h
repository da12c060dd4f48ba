#pragma once

#include "engine/kernel/Rect.h"
#include "host/ComObject.h"
#include "host/Display.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace graphics {

// A memory image of either depth over a display surface: its pixels point into the locked surface and are
// never owned. Screen16 and Screen32 are this over the memory image of their depth.
template <class Image> class ScreenSurface : public Image {
public:
    ~ScreenSurface() override {
        // The pixels belong to the surface: the memory image's destruction must find nothing to free.
        this->setPixels(nullptr);
        setSurface(nullptr);
    }

    // The pixel pointer is taken from the lock whatever its result; callers write nothing when it fails. A
    // lock of part of the surface points at the part's corner: the image's pixels start where its first
    // row would.
    bool lock() override {
        if (surface == nullptr) {
            return false;
        }
        const host::RECT area = lockArea();
        const host::HRESULT result =
            surface->Lock(const_cast<host::RECT*>(&area), &surfaceDesc, host::DDLOCK_WAIT, nullptr);
        auto* corner = static_cast<std::uint8_t*>(surfaceDesc.lpSurface);
        const std::ptrdiff_t offset =
            static_cast<std::ptrdiff_t>(area.top) * surfaceDesc.lPitch +
            static_cast<std::ptrdiff_t>(area.left) * (surfaceDesc.ddpfPixelFormat.dwRGBBitCount / 8);
        this->setPixels(corner != nullptr ? corner - offset : nullptr);
        return host::SUCCEEDED(result);
    }
    void limitWrites(const kernel::Rect* area) override {
        limited = area != nullptr;
        if (area != nullptr) {
            limit = *area;
        }
    }
    bool unlock() override { return surface != nullptr && host::SUCCEEDED(surface->Unlock(nullptr)); }

    host::IDirectDrawSurface7* getSurface() const { return surface; }
    // Takes a reference to the new surface and releases the one held before.
    void setSurface(host::IDirectDrawSurface7* value) { host::replaceReference(surface, value); }
    // Clears the description and fills it from the surface again; a failure leaves it cleared.
    void readSurfaceDesc() {
        surfaceDesc = host::DDSURFACEDESC2{};
        surfaceDesc.dwSize = host::DDSURFACEDESC2_SIZE;
        if (surface != nullptr) {
            surface->GetSurfaceDesc(&surfaceDesc);
        }
    }
    const host::DDSURFACEDESC2& getSurfaceDesc() const { return surfaceDesc; }

private:
    // The whole surface, or the part of it writes are limited to (never empty: a lock needs a pixel).
    host::RECT lockArea() const {
        host::RECT whole{0, 0, this->getWidth(), this->getHeight()};
        if (!limited) {
            return whole;
        }
        const host::RECT part{std::max<host::LONG>(limit.x, 0), std::max<host::LONG>(limit.y, 0),
                              std::min<host::LONG>(limit.right(), whole.right),
                              std::min<host::LONG>(limit.bottom(), whole.bottom)};
        return part.left < part.right && part.top < part.bottom ? part : whole;
    }

    host::IDirectDrawSurface7* surface = nullptr;
    bool limited = false;
    kernel::Rect limit;
    host::DDSURFACEDESC2 surfaceDesc;
};

} // namespace graphics
