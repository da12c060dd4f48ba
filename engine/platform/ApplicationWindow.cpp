// The window procedure of the Application: every message goes to the event listeners first, then the
// procedure's own handling.

#include "engine/platform/Application.h"

#include "engine/platform/FrameTimer.h"

namespace platform {
namespace {

// Taken here and kept from the default handling.
constexpr host::UINT reservedMessage = 0x2000000;

} // namespace

host::LRESULT Application::windowProc(host::HWND window, host::UINT message, host::WPARAM wParam,
                                      host::LPARAM lParam) {
    if (Application* application = instance()) {
        return application->handleMessage(window, message, wParam, lParam);
    }
    return host::DefWindowProc(window, message, wParam, lParam);
}

host::LRESULT Application::handleMessage(host::HWND window, host::UINT message, host::WPARAM wParam,
                                         host::LPARAM lParam) {
    // Input (or any other message) gets its frame at once, also while the frame timer rests.
    if (FrameTimer* timer = FrameTimer::instance()) {
        timer->wake();
    }
    if (eventDispatcher) {
        eventDispatcher->dispatch(message, static_cast<std::uint32_t>(wParam),
                                  static_cast<std::uint32_t>(lParam));
    }
    switch (message) {
    case host::WM_CREATE:
    case host::WM_ERASEBKGND:
    case reservedMessage:
        return 0;
    case host::WM_DESTROY:
        // The old window of a re-creation goes too; only a real close ends the program.
        if (!recreating) {
            host::PostQuitMessage(0);
        }
        return 0;
    case host::WM_MOVE:
        updateClientRect();
        return 0;
    case host::WM_SIZE:
        return onSize(wParam);
    case host::WM_SETFOCUS:
        hasFocus = true;
        break;
    case host::WM_KILLFOCUS:
        onKillFocus(window);
        break;
    case host::WM_PAINT:
        present();
        break;
    case host::WM_CLOSE:
        if (onClose()) {
            return 0;
        }
        break;
    case host::WM_ENDSESSION:
        if (wParam != host::FALSE && onEndSession()) {
            return 0;
        }
        break;
    case host::WM_SETCURSOR:
        applyCursor();
        return 0;
    case host::WM_NCCALCSIZE:
        updateClientRect();
        break;
    case host::WM_KEYDOWN:
        onKeyDown(wParam);
        break;
    case host::WM_SYSKEYDOWN:
        if (wParam == host::VK_RETURN) {
            toggleFullScreen();
        }
        break;
    case host::WM_SYSCOMMAND:
        // Alt alone would open the system menu and stall the game until the next key.
        if (wParam == host::SC_KEYMENU) {
            return 0;
        }
        break;
    case host::WM_LBUTTONDOWN:
        host::SetCapture(window);
        setCursorShape(2);
        break;
    case host::WM_LBUTTONUP:
        host::ReleaseCapture();
        break;
    default:
        break;
    }
    return host::DefWindowProc(window, message, wParam, lParam);
}

host::LRESULT Application::onSize(host::WPARAM kind) {
    switch (kind) {
    case host::SIZE_MINIMIZED:
        // The listeners hear of it before anything changes, so they can silence the game first.
        notifyListeners(EventDispatcher::minimised, 0);
        host::InvalidateRect(windowHandle, nullptr, host::TRUE);
        minimised = true;
        break;
    case host::SIZE_MAXIMIZED:
        // The game has one size: a maximise request switches to full screen instead.
        toggleFullScreen();
        minimised = !fullScreen;
        break;
    case host::SIZE_RESTORED:
        notifyListeners(EventDispatcher::restored, 0);
        minimised = false;
        break;
    default:
        break;
    }
    return 0;
}

void Application::onKillFocus(host::HWND window) {
    if (fullScreen) {
        // A full-screen window that loses the focus would cover the desktop, so it steps aside.
        minimised = true;
        host::PostMessage(window, host::WM_SYSCOMMAND, host::SC_MINIMIZE, 0);
    }
    hasFocus = false;
}

bool Application::onClose() {
    return closeRequestHandler && closeRequestHandler();
}

bool Application::onEndSession() {
    return endRequestHandler && endRequestHandler();
}

} // namespace platform
