#include "engine/platform/Application.h"

#include "engine/platform/DirectXProbe.h"
#include "engine/platform/FrameTimer.h"
#include "host/System.h"
#include "host/Threads.h"

#include <utility>

namespace platform {
namespace {

Application* theApplication = nullptr;

constexpr host::UINT windowClassStyle = host::CS_HREDRAW | host::CS_VREDRAW | host::CS_DBLCLKS;
constexpr host::DWORD windowedStyle =
    host::WS_CAPTION | host::WS_SYSMENU | host::WS_MINIMIZEBOX | host::WS_MAXIMIZEBOX;
constexpr int windowedStartX = 100;
constexpr int windowedStartY = 100;
constexpr host::WPARAM frameRateKey = 120;

// The system cursor by shape number; 0 has no cursor, so the pointer is hidden over the window.
std::uintptr_t cursorIdOf(int shape) {
    switch (shape) {
    case 0:
        return 0;
    case 1:
        return host::IDC_APPSTARTING;
    case 3:
        return host::IDC_HAND;
    case 4:
        return host::IDC_HELP;
    case 5:
        return host::IDC_WAIT;
    case 6:
        return host::IDC_IBEAM;
    default:
        return host::IDC_ARROW;
    }
}

host::HCURSOR loadSystemCursor(std::uintptr_t id) {
    return id == 0 ? nullptr : host::LoadCursor(nullptr, host::MAKEINTRESOURCE(id));
}

host::RECT adjustedClientRect(int width, int height, host::DWORD style, host::DWORD exStyle) {
    host::RECT rect{0, 0, width, height};
    host::AdjustWindowRectEx(&rect, style, host::FALSE, exStyle);
    return rect;
}

} // namespace

bool Application::checkSingleInstance(const std::string& name) {
    // Deliberately never closed: holding the mutex is what tells a second copy that this one runs.
    const host::HANDLE mutex = host::CreateMutex(nullptr, host::TRUE, name.c_str());
    if (host::GetLastError() == host::ERROR_ALREADY_EXISTS) {
        host::ReleaseMutex(mutex);
        if (const host::HWND running = host::FindWindow(nullptr, name.c_str())) {
            host::ShowWindow(running, host::SW_RESTORE);
            host::SetForegroundWindow(running);
        }
        return true;
    }
    if (GetDirectXVersion() == noDirectX) {
        host::MessageBox(nullptr, displayHeldText, displayHeldCaption, host::MB_OK);
        return true;
    }
    return false;
}

Application* Application::create(const std::string& title, int width, int height, bool fullScreen,
                                 int requestedBytesPerPixel, int iconId) {
    if (theApplication != nullptr) {
        return theApplication;
    }
    // Published before the window exists: the procedure already runs inside window creation.
    theApplication = new Application();
    theApplication->addRef();
    theApplication->setIconId(iconId);
    theApplication->initialise(title, 0, 0, width, height, fullScreen, requestedBytesPerPixel);
    theApplication->fitWindowToClient();
    theApplication->showWindow();
    if (FrameTimer* timer = FrameTimer::instance()) {
        timer->setFrameRateDisplay(theApplication);
    }
    return theApplication;
}

Application* Application::instance() {
    return theApplication;
}

void Application::destroy() {
    if (Application* application = std::exchange(theApplication, nullptr)) {
        if (FrameTimer* timer = FrameTimer::instance()) {
            timer->setFrameRateDisplay(nullptr);
        }
        application->release();
    }
}

Application::~Application() {
    // A display still open here would leave a window behind whose procedure finds no application.
    if (windowHandle != nullptr || directDraw != nullptr) {
        closeDisplay();
    }
}

void closeApplicationDisplay() {
    if (Application* application = Application::instance()) {
        application->closeDisplay();
    }
}

void setApplicationCursor(int shape) {
    if (Application* application = Application::instance()) {
        application->setCursorShape(shape);
    }
}

void Application::onStart() {
    // The frame timer is made after the application, so the frame-rate line is connected when the
    // application first runs as one of its listeners.
    if (FrameTimer* timer = FrameTimer::instance()) {
        timer->setFrameRateDisplay(this);
    }
}

void Application::onFrame(std::uint32_t ms) {
    (void)ms;
    present();
}

void Application::initialise(const std::string& newTitle, int x, int y, int newWidth, int newHeight,
                             bool fullScreenState, int requestedBytes) {
    setTitle(newTitle);
    setWindowX(x);
    setWindowY(y);
    setWidth(newWidth);
    setHeight(newHeight);
    setFullScreen(fullScreenState);
    setRequestedBytesPerPixel(requestedBytes);
    createWindowAndDisplay();
}

void Application::createWindowAndDisplay() {
    createEventDispatcher();
    windowHandle = createWindow();
    if (host::FAILED(createDisplay())) {
        failDisplay();
        return;
    }
    createBackPainter();
}

void Application::failDisplay() {
    host::MessageBox(nullptr, "Something went wrong with creating the game-window.\nThis game will quit now.",
                     "Error", host::MB_OK);
    host::PostQuitMessage(0);
}

void Application::showWindow() {
    if (windowHandle != nullptr) {
        host::ShowWindow(windowHandle, host::SW_SHOWDEFAULT);
    }
}

void Application::fitWindowToClient() {
    if (windowHandle == nullptr) {
        return;
    }
    const host::RECT rect = fullScreen
                                ? adjustedClientRect(width, height, host::WS_POPUP, host::WS_EX_TOPMOST)
                                : adjustedClientRect(width, height, windowedStyle, 0);
    windowX = (host::GetDeviceCaps(nullptr, host::HORZRES) - width) / 2;
    windowY = (host::GetDeviceCaps(nullptr, host::VERTRES) - height) / 2;
    // The outer corner goes where a centred client area's corner would be, so the frame pushes the client
    // area right and down; the game has always been placed this way.
    host::MoveWindow(windowHandle, windowX, windowY, rect.right - rect.left, rect.bottom - rect.top,
                     host::FALSE);
}

void Application::onKeyDown(host::WPARAM key) {
    if (key == frameRateKey) {
        showFps = !showFps;
    }
}

void Application::changeFullScreen(bool state) {
    if (state == fullScreen) {
        return;
    }
    fullScreen = state;
    restoreDisplay();
    // Handed straight to the listeners: a posted message would reach them a frame late, after they have
    // already drawn for the old window.
    notifyListeners(EventDispatcher::fullScreenChanged, state ? 1 : 0);
}

void Application::toggleFullScreen() {
    changeFullScreen(!fullScreen);
}

void Application::minimise() {
    host::PostMessage(windowHandle, host::WM_SYSCOMMAND, host::SC_MINIMIZE, 0);
}

void Application::updateClientRect() {
    // Nothing to keep: the presentation works the client rectangle out anew each frame.
}

void Application::setCursorShape(int shape) {
    const host::HCURSOR cursor = loadSystemCursor(cursorIdOf(shape));
    if (cursor != windowClass.hCursor) {
        windowClass.hCursor = cursor;
        host::SetCursor(cursor);
    }
}

void Application::applyCursor() {
    host::SetCursor(windowClass.hCursor);
}

host::HWND Application::createWindow() {
    return fullScreen ? createFullScreenWindow() : createWindowedWindow();
}

host::HWND Application::createWindowedWindow() {
    const host::HINSTANCE module = host::GetModuleHandle(nullptr);
    host::WNDCLASS windowedClass;
    windowedClass.style = windowClassStyle;
    windowedClass.lpfnWndProc = &Application::windowProc;
    windowedClass.hInstance = module;
    if (iconId != 0) {
        windowedClass.hIcon =
            host::LoadIcon(module, host::MAKEINTRESOURCE(static_cast<std::uintptr_t>(iconId)));
    }
    windowClass.hCursor = loadSystemCursor(host::IDC_ARROW);
    windowedClass.hCursor = windowClass.hCursor;
    setCursorShape(cursorArrow);
    windowedClass.lpszMenuName = "";
    windowedClass.lpszClassName = title.c_str();
    host::RegisterClass(&windowedClass);
    const host::HWND window =
        host::CreateWindowEx(0, title.c_str(), title.c_str(), windowedStyle, windowedStartX, windowedStartY,
                             width, height, host::GetDesktopWindow(), nullptr, module, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    centreWindow(window, windowedStyle, 0);
    return window;
}

void Application::centreWindow(host::HWND window, host::DWORD style, host::DWORD exStyle) {
    const host::RECT rect = adjustedClientRect(width, height, style, exStyle);
    const int screenWidth = host::GetDeviceCaps(nullptr, host::HORZRES);
    const int screenHeight = host::GetDeviceCaps(nullptr, host::VERTRES);
    // A third from the top rather than half: the window sits a little high, where the eye expects it.
    host::MoveWindow(window, (screenWidth - rect.left - rect.right) / 2,
                     (screenHeight - rect.top - rect.bottom) / 3, rect.right - rect.left,
                     rect.bottom - rect.top, host::TRUE);
}

host::HWND Application::createFullScreenWindow() {
    const host::HINSTANCE module = host::GetModuleHandle(nullptr);
    windowClass = host::WNDCLASSEX();
    windowClass.style = windowClassStyle;
    windowClass.lpfnWndProc = &Application::windowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = loadSystemCursor(host::IDC_ARROW);
    windowClass.lpszClassName = title.c_str();
    host::RegisterClassEx(&windowClass);
    return host::CreateWindowEx(host::WS_EX_TOPMOST, title.c_str(), title.c_str(), host::WS_POPUP, 0, 0,
                                width, height, nullptr, nullptr, module, nullptr);
}

void Application::createEventDispatcher() {
    if (!eventDispatcher) {
        eventDispatcher = new EventDispatcher();
    }
}

void Application::createBackPainter() {
    backPainter = backImage ? backImage->createPainter() : nullptr;
}

void Application::notifyListeners(std::uint32_t event, std::uint32_t wParam) {
    if (eventDispatcher) {
        eventDispatcher->dispatch(event, wParam, 0);
    }
}

} // namespace platform
