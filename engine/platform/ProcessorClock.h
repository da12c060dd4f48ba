#pragma once

#include "engine/platform/SystemInfo.h"
#include "host/Types.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// The processor's clock, measured once on a thread of its own from the moment this is made: the
// measurement takes one to five seconds, which the game spends loading and playing rather than closing.
// Its pauses wait on this object, so that asking for the result ends them.
class ProcessorClock {
public:
    explicit ProcessorClock(CpuClocks clocks = systemCpuClocks());
    ~ProcessorClock();
    ProcessorClock(const ProcessorClock&) = delete;
    ProcessorClock& operator=(const ProcessorClock&) = delete;

    // The result in MHz (measured here and now when no thread could be started). A measurement that pauses
    // and is still running is ended at once and its complete passes count (0 when none has ended yet): the
    // result is asked for when the game closes, which must not wait seconds for it.
    std::int32_t megahertz();

private:
    static host::DWORD measure(void* self);
    bool pause(std::uint32_t ms);

    CpuClocks clocks;
    host::HANDLE thread = nullptr;
    std::int32_t result = 0;
    bool done = false;
    std::mutex lock;
    std::condition_variable stopped;
    bool stopping = false;
};

} // namespace platform
