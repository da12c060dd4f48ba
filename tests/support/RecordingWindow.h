#pragma once
// A window class whose procedure records every message it is given and lets the test act inside it, for the
// window tests on SDL's dummy driver and in a real X server.

#include "host/Testing.h"
#include "host/Window.h"

#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace testsupport {

constexpr const char* windowTitle = "PibblesWindowTest";

// What the procedure saw, in order.
inline std::vector<host::MSG> seen;
// Called inside the procedure; a result other than 0 is returned instead of the default handling's.
inline std::function<host::LRESULT(host::HWND, host::UINT, host::WPARAM)> reaction;

inline host::LRESULT recordingProcedure(host::HWND window, host::UINT message, host::WPARAM wParam,
                                        host::LPARAM lParam) {
    seen.push_back({window, message, wParam, lParam, 0, {}});
    if (const host::LRESULT result = reaction ? reaction(window, message, wParam) : 0; result != 0) {
        return result;
    }
    return host::DefWindowProc(window, message, wParam, lParam);
}

inline std::vector<host::UINT> codes(const std::vector<host::MSG>& messages) {
    std::vector<host::UINT> result;
    for (const host::MSG& message : messages) {
        result.push_back(message.message);
    }
    return result;
}

// Registers the recording class for each test and destroys its windows and the class afterwards.
class RecordingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::testing::clearMessages();
        seen.clear();
        reaction = nullptr;
        host::WNDCLASS windowClass;
        windowClass.style = host::CS_HREDRAW | host::CS_VREDRAW | host::CS_DBLCLKS;
        windowClass.lpfnWndProc = recordingProcedure;
        windowClass.hInstance = host::GetModuleHandle(nullptr);
        windowClass.lpszClassName = windowTitle;
        ASSERT_NE(host::RegisterClass(&windowClass), 0);
    }
    void TearDown() override {
        reaction = nullptr;
        while (host::HWND window = host::FindWindow(nullptr, windowTitle)) {
            if (!host::DestroyWindow(window)) {
                break;
            }
        }
        host::UnregisterClass(windowTitle, host::GetModuleHandle(nullptr));
        host::testing::clearFailures();
        host::testing::clearMessages();
    }

    // Windows are found by title across processes within the runtime folder: a folder of its own keeps
    // the windows of test runs in parallel apart.
    RuntimeDir runtime;

    // A 640 x 480 window at (100, 100); a pop-up one is the full-screen window.
    static host::HWND create(host::DWORD style = host::WS_CAPTION | host::WS_SYSMENU) {
        return host::CreateWindowEx(style == host::WS_POPUP ? host::WS_EX_TOPMOST : 0, windowTitle,
                                    windowTitle, style, 100, 100, 640, 480, nullptr, nullptr,
                                    host::GetModuleHandle(nullptr), nullptr);
    }
};

} // namespace testsupport
