#pragma once

#include "engine/graphics/MemoryImage.h"
#include "host/Display.h"

namespace graphics {

// A 16-bit image over a display surface: its pixels point into the locked surface and are never owned.
class Screen16 : public MemoryImage {
public:
    ~Screen16() override;

    // The pixel pointer is taken from the lock whatever its result; callers write nothing when it fails.
    bool lock() override;
    bool unlock() override;

    host::IDirectDrawSurface7* getSurface() const { return surface; }
    // Takes a reference to the new surface and releases the one held before.
    void setSurface(host::IDirectDrawSurface7* value);
    // Clears the description and fills it from the surface again; a failure leaves it cleared.
    void readSurfaceDesc();
    const host::DDSURFACEDESC2& getSurfaceDesc() const { return surfaceDesc; }

    static constexpr kernel::ClassInfo classInfo{&MemoryImage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    host::IDirectDrawSurface7* surface = nullptr;
    host::DDSURFACEDESC2 surfaceDesc;
};

} // namespace graphics
