#include "engine/graphics/Screen16.h"

namespace graphics {

Screen16::~Screen16() {
    // The pixels belong to the surface: the memory image's destruction must find nothing to free.
    setPixels(nullptr);
    setAlphaBuffer(nullptr);
    setSurface(nullptr);
}

bool Screen16::lock() {
    if (surface == nullptr) {
        return false;
    }
    host::RECT whole{0, 0, getWidth(), getHeight()};
    const host::HRESULT result = surface->Lock(&whole, &surfaceDesc, host::DDLOCK_WAIT, nullptr);
    setPixels(surfaceDesc.lpSurface);
    return host::SUCCEEDED(result);
}

bool Screen16::unlock() {
    return surface != nullptr && host::SUCCEEDED(surface->Unlock(nullptr));
}

void Screen16::setSurface(host::IDirectDrawSurface7* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    if (surface != nullptr) {
        surface->Release();
    }
    surface = value;
}

void Screen16::readSurfaceDesc() {
    surfaceDesc = host::DDSURFACEDESC2{};
    surfaceDesc.dwSize = host::DDSURFACEDESC2_SIZE;
    if (surface != nullptr) {
        surface->GetSurfaceDesc(&surfaceDesc);
    }
}

} // namespace graphics
