#include "engine/platform/DirectXProbe.h"

#include "host/System.h"

namespace platform {

std::int32_t GetDirectXVersion() {
    // Starting the display layer is this system's counterpart of loading the drawing library, the probe's
    // first step; the later steps asked for interfaces that a started display layer always has.
    if (!host::probeDisplay()) {
        host::OutputDebugString("Couldn't LoadLibrary DDraw\r\n");
        return noDirectX;
    }
    return newestDirectX;
}

} // namespace platform
