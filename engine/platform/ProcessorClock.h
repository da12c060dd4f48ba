#pragma once

#include "engine/platform/SystemInfo.h"
#include "host/Types.h"

#include <cstdint>

namespace platform {

// The processor's clock, measured once on a thread of its own from the moment this is made: the
// measurement spins for one to five seconds, which the game spends loading rather than closing.
class ProcessorClock {
public:
    explicit ProcessorClock(CpuClocks clocks = systemCpuClocks());
    ~ProcessorClock();
    ProcessorClock(const ProcessorClock&) = delete;
    ProcessorClock& operator=(const ProcessorClock&) = delete;

    // The result in MHz, waiting for the measurement when it is still running (measured here and now when
    // no thread could be started).
    std::int32_t megahertz();

private:
    static host::DWORD measure(void* self);

    CpuClocks clocks;
    host::HANDLE thread = nullptr;
    std::int32_t result = 0;
    bool done = false;
};

} // namespace platform
