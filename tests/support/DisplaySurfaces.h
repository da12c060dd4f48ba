#pragma once
// The display object as the game opens it (the first interface, asked for the seventh) and surface
// descriptions by caps and size.

#include "host/DirectDraw.h"

namespace testsupport {

inline host::IDirectDraw7* openDisplay() {
    host::IDirectDraw* first = nullptr;
    if (host::DirectDrawCreate(nullptr, &first, nullptr) != host::DD_OK) {
        return nullptr;
    }
    void* seventh = nullptr;
    const host::HRESULT result = first->QueryInterface(host::IID_IDirectDraw7, &seventh);
    first->Release();
    return result == host::DD_OK ? static_cast<host::IDirectDraw7*>(seventh) : nullptr;
}

// Without a size the description asks for none (a primary surface takes the display's).
inline host::DDSURFACEDESC2 surfaceDesc(host::DWORD caps, host::DWORD width = 0, host::DWORD height = 0) {
    host::DDSURFACEDESC2 desc;
    desc.dwSize = host::DDSURFACEDESC2_SIZE;
    desc.dwFlags = host::DDSD_CAPS | (width ? host::DDSD_WIDTH | host::DDSD_HEIGHT : 0);
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

} // namespace testsupport
