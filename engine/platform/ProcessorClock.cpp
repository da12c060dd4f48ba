#include "engine/platform/ProcessorClock.h"

#include "host/Threads.h"

#include <utility>

namespace platform {

ProcessorClock::ProcessorClock(CpuClocks clocks) : clocks(std::move(clocks)) {
    thread = host::CreateThread(nullptr, 0, &ProcessorClock::measure, this, 0, nullptr);
}

ProcessorClock::~ProcessorClock() {
    megahertz();
}

host::DWORD ProcessorClock::measure(void* self) {
    auto& clock = *static_cast<ProcessorClock*>(self);
    clock.result = MeasureCpuMHz(clock.clocks);
    return 0;
}

// The thread's end, seen through the wait, publishes its result.
std::int32_t ProcessorClock::megahertz() {
    if (done) {
        return result;
    }
    if (thread != nullptr) {
        host::WaitForSingleObject(thread, host::INFINITE);
        host::CloseHandle(thread);
        thread = nullptr;
    } else {
        result = MeasureCpuMHz(clocks);
    }
    done = true;
    return result;
}

} // namespace platform
