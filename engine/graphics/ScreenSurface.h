#pragma once

#include "host/ComObject.h"
#include "host/Display.h"

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

    // The pixel pointer is taken from the lock whatever its result; callers write nothing when it fails.
    bool lock() override {
        if (surface == nullptr) {
            return false;
        }
        host::RECT whole{0, 0, this->getWidth(), this->getHeight()};
        const host::HRESULT result = surface->Lock(&whole, &surfaceDesc, host::DDLOCK_WAIT, nullptr);
        this->setPixels(surfaceDesc.lpSurface);
        return host::SUCCEEDED(result);
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
    host::IDirectDrawSurface7* surface = nullptr;
    host::DDSURFACEDESC2 surfaceDesc;
};

} // namespace graphics
