#pragma once
// Inside the host only: what the display object and the text calls share with the memory surfaces.

#include "host/Display.h"

#include <memory>

namespace host {

// A failure forced by a test (host::testing): the code it gave, or defaultCode when it gave none or a
// success. Codes may be given as the platform writes them (0x887601C2) or as negative values.
bool forcedFailure(const char* call, HRESULT defaultCode, HRESULT& result);

// Zeroed memory for width x height pixels of 2 or 4 bytes. A pitch of 0 packs the rows. No test failure
// is forced here.
HRESULT allocateSurfaceMemory(int width, int height, int bytesPerPixel, int pitch,
                              std::unique_ptr<BYTE[]>& memory, LONG& rowBytes);

// A description the engine filled in: dwSize must be DDSURFACEDESC2_SIZE.
bool validDescription(const DDSURFACEDESC2* desc);

// Size, pitch and RGB format (16 bits are RGB565, any other depth 32-bit RGB), with their flags.
void describePixels(DDSURFACEDESC2& desc, DWORD width, DWORD height, LONG pitch, DWORD bitsPerPixel);

namespace gdi {

struct SurfacePixels {
    BYTE* pixels = nullptr;
    int width = 0;
    int height = 0;
    LONG pitch = 0;
    int bytesPerPixel = 0;
};

// A device context drawing into the pixels until closeContext.
HDC openContext(const SurfacePixels& target);
void closeContext(HDC dc);

} // namespace gdi
} // namespace host
