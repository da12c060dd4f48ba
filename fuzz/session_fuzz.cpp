// Feeds arbitrary bytes to the session record as its existing "gd.xml": a run with one session merges
// itself into the file, as at the end of every game.

#include "engine/platform/DataGathering.h"
#include "engine/platform/SystemInfo.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Measured once, with a cycle counter that stands still so that the clock measurement ends at once.
const platform::SystemInfo& machine() {
    static const platform::SystemInfo info(platform::CpuClocks{[] {
                                                                   static std::uint32_t ms = 0;
                                                                   return ms++;
                                                               },
                                                               [] { return 0u; },
                                                               {}});
    return info;
}

platform::DataGathering::Sources fixedSources() {
    return {[] { return std::int32_t{1000000}; }, [] { return machine(); }};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The record publishes its file's name in a registry of this process's own, and measures no display.
    static const bool prepared = [] {
        setenv("XDG_CONFIG_HOME", fuzzing::scratch().path().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        return true;
    }();
    static_cast<void>(prepared);
    const std::string file = fuzzing::scratch().file("gd.xml");
    if (!fuzzing::writeFile(file, {reinterpret_cast<const char*>(data), size})) {
        return 0;
    }
    platform::DataGathering* record = platform::DataGathering::create("pibbles", file, fixedSources());
    record->startSession(1, 1);
    record->endSession();
    // A write that fails is an outcome like any other here; only a crash is a find.
    (void)platform::DataGathering::destroy();
    return 0;
}
