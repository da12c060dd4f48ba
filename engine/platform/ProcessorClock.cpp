#include "engine/platform/ProcessorClock.h"

#include "host/Threads.h"

#include <chrono>
#include <utility>

namespace platform {

ProcessorClock::ProcessorClock(CpuClocks clocks) : clocks(std::move(clocks)) {
    if (this->clocks.pause) {
        this->clocks.pause = [this](std::uint32_t ms) { return pause(ms); };
    }
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

bool ProcessorClock::pause(std::uint32_t ms) {
    std::unique_lock guard(lock);
    return !stopped.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stopping; });
}

// The thread's end, seen through the wait, publishes its result.
std::int32_t ProcessorClock::megahertz() {
    if (done) {
        return result;
    }
    if (thread != nullptr) {
        {
            std::lock_guard guard(lock);
            stopping = true;
        }
        stopped.notify_all();
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
