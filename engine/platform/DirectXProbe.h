#pragma once

#include <cstdint>

namespace platform {

// Display-layer version codes: 0x100 x major + minor.
constexpr std::int32_t noDirectX = 0;
// The newest release the probe tells apart. A display layer that starts here offers all that the engine
// asks of any release, so it is reported as this one.
constexpr std::int32_t newestDirectX = 0x801;

// noDirectX when no display can be started, else newestDirectX. A failing step writes its message to the
// debugger channel and ends the probe; nothing is shown to the player.
std::int32_t GetDirectXVersion();

} // namespace platform
