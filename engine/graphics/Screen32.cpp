#include "engine/graphics/Screen32.h"

namespace graphics {

Screen32::~Screen32() {
    // The pixels belong to the surface: the memory image's destruction must find nothing to free.
    setPixels(nullptr);
    setSurface(nullptr);
}

bool Screen32::lock() {
    if (surface == nullptr) {
        return false;
    }
    host::RECT whole{0, 0, getWidth(), getHeight()};
    const host::HRESULT result = surface->Lock(&whole, &surfaceDesc, host::DDLOCK_WAIT, nullptr);
    setPixels(surfaceDesc.lpSurface);
    return host::SUCCEEDED(result);
}

bool Screen32::unlock() {
    return surface != nullptr && host::SUCCEEDED(surface->Unlock(nullptr));
}

void Screen32::setSurface(host::IDirectDrawSurface7* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    if (surface != nullptr) {
        surface->Release();
    }
    surface = value;
}

void Screen32::readSurfaceDesc() {
    surfaceDesc = host::DDSURFACEDESC2{};
    surfaceDesc.dwSize = host::DDSURFACEDESC2_SIZE;
    if (surface != nullptr) {
        surface->GetSurfaceDesc(&surfaceDesc);
    }
}

} // namespace graphics
