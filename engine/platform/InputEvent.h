#pragma once

#include <cstdint>

namespace platform {

// One queued window message. For mouse messages lParam holds the client x in its low 16 bits and y in
// its high 16 bits.
struct InputEvent {
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;
};

} // namespace platform
