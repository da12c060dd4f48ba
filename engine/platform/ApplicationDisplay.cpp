// The display half of the Application: choosing the depth, the surfaces with their fall-backs, presenting
// the back buffer and closing everything again.

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"
#include "engine/platform/Application.h"
#include "host/Gdi.h"
#include "host/Time.h"

namespace platform {
namespace {

constexpr host::DWORD cooperativeNormal = host::DDSCL_NORMAL;
constexpr host::DWORD cooperativeFullScreen = host::DDSCL_EXCLUSIVE | host::DDSCL_FULLSCREEN;

constexpr host::DWORD capsPrimaryVideo = host::DDSCAPS_PRIMARYSURFACE | host::DDSCAPS_VIDEOMEMORY;
constexpr host::DWORD capsPrimarySystem = host::DDSCAPS_PRIMARYSURFACE | host::DDSCAPS_SYSTEMMEMORY;
constexpr host::DWORD capsPrimarySystemAlpha = capsPrimarySystem | host::DDSCAPS_ALPHA;
constexpr host::DWORD capsPrimary = host::DDSCAPS_PRIMARYSURFACE;
constexpr host::DWORD capsBackBuffer = host::DDSCAPS_OFFSCREENPLAIN | host::DDSCAPS_SYSTEMMEMORY;

// A desktop of this depth cannot hold a window: the game then runs full screen at 2 bytes per pixel.
constexpr int unusableDesktopBytes = 3;
constexpr int fallbackBytes = 2;

constexpr int debugTextX = 10;
constexpr int debugTextTop = 10;
constexpr int debugLineStep = 18;
constexpr host::COLORREF debugTextColour = host::RGB(0, 0, 0);
// Below this sum of the text colour's bytes the text counts as dark and gets a white outline.
constexpr int darkTextLimit = 408;

host::DDSURFACEDESC2 emptyDescription() {
    host::DDSURFACEDESC2 desc;
    desc.dwSize = host::DDSURFACEDESC2_SIZE;
    return desc;
}

host::IDirectDrawSurface7* surfaceOf(const graphics::ImageBase* image) {
    if (image == nullptr) {
        return nullptr;
    }
    if (image->isKindOf(graphics::Screen16::classInfo)) {
        return static_cast<const graphics::Screen16*>(image)->getSurface();
    }
    if (image->isKindOf(graphics::Screen32::classInfo)) {
        return static_cast<const graphics::Screen32*>(image)->getSurface();
    }
    return nullptr;
}

host::COLORREF outlineColourOf(host::COLORREF text) {
    const int sum = host::GetRValue(text) + host::GetGValue(text) + host::GetBValue(text);
    return sum < darkTextLimit ? host::RGB(255, 255, 255) : host::RGB(0, 0, 0);
}

void drawOutlinedLine(host::HDC dc, int x, int y, const std::string& line, host::COLORREF text) {
    const auto count = static_cast<host::UINT>(line.size());
    host::SetTextColor(dc, outlineColourOf(text));
    host::ExtTextOut(dc, x - 1, y - 1, 0, nullptr, line.c_str(), count, nullptr);
    host::ExtTextOut(dc, x + 1, y + 1, 0, nullptr, line.c_str(), count, nullptr);
    host::ExtTextOut(dc, x + 1, y - 1, 0, nullptr, line.c_str(), count, nullptr);
    host::ExtTextOut(dc, x - 1, y + 1, 0, nullptr, line.c_str(), count, nullptr);
    host::SetTextColor(dc, text);
    host::ExtTextOut(dc, x, y, 0, nullptr, line.c_str(), count, nullptr);
}

// background: null for a transparent background, else the colour behind the text.
void drawTextLines(host::IDirectDrawSurface7* surface, const std::vector<std::string>& lines,
                   host::COLORREF text, const host::COLORREF* background) {
    host::HDC dc = nullptr;
    if (host::FAILED(surface->GetDC(&dc))) {
        return;
    }
    if (background != nullptr) {
        host::SetBkMode(dc, host::OPAQUE);
        host::SetBkColor(dc, *background);
    } else {
        host::SetBkMode(dc, host::TRANSPARENT);
    }
    int y = debugTextTop;
    for (const std::string& line : lines) {
        drawOutlinedLine(dc, debugTextX, y, line, text);
        y += debugLineStep;
    }
    surface->ReleaseDC(dc);
}

} // namespace

host::HRESULT Application::createDisplay() {
    if (const host::HRESULT result = createDirectDraw(); host::FAILED(result)) {
        return result;
    }
    const int desktopBytes = desktopBytesPerPixel();
    if (fullScreen) {
        if (desktopBytes == unusableDesktopBytes) {
            requestedBytesPerPixel = fallbackBytes;
        }
        const bool takeDesktop =
            requestedBytesPerPixel == 0 || requestedBytesPerPixel == unusableDesktopBytes;
        bytesPerPixel = takeDesktop ? desktopBytes : requestedBytesPerPixel;
        return setUpFullScreenDisplay();
    }
    if (desktopBytes == unusableDesktopBytes) {
        return switchToFullScreenWindow();
    }
    bytesPerPixel = desktopBytes;
    return setUpWindowedDisplay();
}

host::HRESULT Application::createDirectDraw() {
    host::IDirectDraw* first = nullptr;
    host::HRESULT result = host::DirectDrawCreate(nullptr, &first, nullptr);
    if (host::FAILED(result)) {
        return result;
    }
    result = first->QueryInterface(host::IID_IDirectDraw7, reinterpret_cast<void**>(&directDraw));
    first->Release();
    return result;
}

int Application::desktopBytesPerPixel() {
    host::DDSURFACEDESC2 desc = emptyDescription();
    if (host::FAILED(directDraw->GetDisplayMode(&desc))) {
        return 0;
    }
    return static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
}

host::HRESULT Application::switchToFullScreenWindow() {
    recreating = true;
    closeDisplay();
    fullScreen = true;
    windowHandle = createWindow();
    recreating = false;
    return createDisplay();
}

host::HRESULT Application::setUpWindowedDisplay() {
    if (host::FAILED(directDraw->SetCooperativeLevel(windowHandle, cooperativeNormal))) {
        return host::E_FAIL;
    }
    if (const host::HRESULT result = createWindowedSurfaces(); host::FAILED(result)) {
        return result;
    }
    attachClipper();
    return host::DD_OK;
}

void Application::attachClipper() {
    host::IDirectDrawClipper* clipper = nullptr;
    if (host::FAILED(directDraw->CreateClipper(0, &clipper, nullptr))) {
        return;
    }
    clipper->SetHWnd(0, windowHandle);
    if (host::IDirectDrawSurface7* primary = surfaceOf(frontImage.get())) {
        primary->SetClipper(clipper);
    }
    // The primary surface keeps its own reference.
    clipper->Release();
}

host::HRESULT Application::setUpFullScreenDisplay() {
    const host::HRESULT level = directDraw->SetCooperativeLevel(windowHandle, cooperativeFullScreen);
    if (host::FAILED(level) && level != host::DDERR_WINDOWALREADYSET) {
        return level;
    }
    const auto bits = static_cast<host::DWORD>(bytesPerPixel * 8);
    const auto modeWidth = static_cast<host::DWORD>(width);
    const auto modeHeight = static_cast<host::DWORD>(height);
    if (const host::HRESULT mode = directDraw->SetDisplayMode(modeWidth, modeHeight, bits, 0, 0);
        host::FAILED(mode)) {
        return mode;
    }
    if (host::SUCCEEDED(createFullScreenSurfaces(2))) {
        return host::DD_OK;
    }
    if (host::SUCCEEDED(createFullScreenSurfaces(1))) {
        return host::DD_OK;
    }
    return createWindowedSurfaces();
}

host::HRESULT Application::createPrimarySurface(host::DWORD caps, host::IDirectDrawSurface7** surface) {
    host::DDSURFACEDESC2 desc = emptyDescription();
    desc.dwFlags = host::DDSD_CAPS;
    desc.ddsCaps.dwCaps = caps;
    return directDraw->CreateSurface(&desc, surface, nullptr);
}

host::HRESULT Application::tryWindowedPrimary(host::IDirectDrawSurface7** surface) {
    host::HRESULT result = createPrimarySurface(capsPrimaryVideo, surface);
    if (result == host::DDERR_PRIMARYHELD) {
        // The box and the quit do not end the attempt: the tries below still run, and when they fail too
        // the "Error" box follows.
        host::MessageBox(nullptr, displayHeldText, displayHeldCaption, host::MB_OK);
        host::PostQuitMessage(0);
    }
    if (result == host::DDERR_NOVIDEOSURFACE || result == host::DDERR_NOVIDEOMEMORY) {
        result = createPrimarySurface(capsPrimarySystem, surface);
        if (result == host::DDERR_NOVIDEOSURFACE) {
            result = createPrimarySurface(capsPrimarySystemAlpha, surface);
        }
    }
    if (host::FAILED(result)) {
        result = createPrimarySurface(capsPrimary, surface);
    }
    return result;
}

host::HRESULT Application::tryFullScreenPrimary(host::IDirectDrawSurface7** surface) {
    const host::HRESULT result = createPrimarySurface(capsPrimaryVideo, surface);
    if (result == host::DDERR_DISPLAYBUSY) {
        return createPrimarySurface(capsPrimaryVideo, surface);
    }
    if (result == host::DDERR_NOVIDEOSURFACE || result == host::DDERR_NOVIDEOMEMORY) {
        return createPrimarySurface(capsPrimarySystem, surface);
    }
    return result;
}

host::HRESULT Application::createWindowedSurfaces() {
    host::IDirectDrawSurface7* primary = nullptr;
    if (const host::HRESULT result = tryWindowedPrimary(&primary); host::FAILED(result)) {
        return result;
    }
    return createScreenImages(primary);
}

host::HRESULT Application::createFullScreenSurfaces(int backBufferCount) {
    // The back buffer is an offscreen surface of its own, not part of a flip chain, so the count asks for
    // nothing: a second try with one buffer repeats the first.
    (void)backBufferCount;
    host::IDirectDrawSurface7* primary = nullptr;
    if (const host::HRESULT result = tryFullScreenPrimary(&primary); host::FAILED(result)) {
        return result;
    }
    return createScreenImages(primary);
}

// Takes over the caller's reference to the primary surface: the screen images hold their own.
host::HRESULT Application::createScreenImages(host::IDirectDrawSurface7* primary) {
    frontImage = createScreenImage(primary);
    primary->Release();
    if (!frontImage) {
        return host::E_FAIL;
    }
    host::DDSURFACEDESC2 desc = emptyDescription();
    desc.dwFlags = host::DDSD_CAPS | host::DDSD_WIDTH | host::DDSD_HEIGHT;
    desc.dwWidth = static_cast<host::DWORD>(width);
    desc.dwHeight = static_cast<host::DWORD>(height);
    desc.ddsCaps.dwCaps = capsBackBuffer;
    host::IDirectDrawSurface7* back = nullptr;
    if (const host::HRESULT result = directDraw->CreateSurface(&desc, &back, nullptr); host::FAILED(result)) {
        return result;
    }
    backImage = createScreenImage(back);
    back->Release();
    // The back buffer has the primary's depth, so this fails only where the front image already did.
    return backImage ? host::DD_OK : host::E_FAIL;
}

graphics::ImageBase* Application::createScreenImage(host::IDirectDrawSurface7* surface) {
    switch (bytesPerPixel) {
    case 2:
        return graphics::createScreen16(surface);
    case 4:
        return graphics::createScreen32(surface);
    default:
        return nullptr;
    }
}

void Application::present() {
    host::RECT source{0, 0, width, height};
    host::RECT destination;
    host::GetClientRect(windowHandle, &destination);
    host::POINT origin;
    host::ClientToScreen(windowHandle, &origin);
    host::OffsetRect(&destination, origin.x, origin.y);
    if (minimised) {
        // Nothing is drawn and the debug lines wait: they all appear in the first frame after the restore.
        host::Sleep(1);
        return;
    }
    host::IDirectDrawSurface7* primary = surfaceOf(frontImage.get());
    host::IDirectDrawSurface7* back = surfaceOf(backImage.get());
    if (showFps && back != nullptr) {
        drawDebugLines(back);
        // Drawn past the image: its next painting must not take the text for its own picture.
        backImage->markChanged();
    }
    debugLines.clear();
    if (primary == nullptr || back == nullptr) {
        return;
    }
    const host::DWORD flags = fullScreen ? host::DDBLT_WAIT : 0;
    if (primary->Blt(&destination, back, &source, flags, nullptr) == host::DDERR_SURFACELOST) {
        restoreDisplay();
    }
}

void Application::drawDebugLines(host::IDirectDrawSurface7* surface) {
    drawTextLines(surface, debugLines, debugTextColour, nullptr);
}

void Application::restoreDisplay() {
    recreating = true;
    closeDisplay();
    recreating = false;
    createWindowAndDisplay();
    showWindow();
}

void Application::closeDisplay() {
    if (directDraw != nullptr) {
        directDraw->SetCooperativeLevel(windowHandle, cooperativeNormal);
        directDraw->Release();
        directDraw = nullptr;
    }
    backImage.reset();
    frontImage.reset();
    backPainter.reset();
    host::UnregisterClass(title.c_str(), host::GetModuleHandle(nullptr));
    if (windowHandle != nullptr) {
        host::DestroyWindow(windowHandle);
        windowHandle = nullptr;
    }
}

} // namespace platform
