#pragma once

#include <cstdint>

namespace platform {

// Sees every window message, and the application's private events, as the window procedure receives
// them and before the procedure's own handling.
class AppEventListener {
public:
    virtual ~AppEventListener() = default;

    virtual void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) = 0;
};

} // namespace platform
