// Feeds arbitrary bytes to the PNG and JPEG readers, as a damaged or hostile picture file would.

#include "engine/graphics/DecodeLimits.h"
#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A result must be a whole picture within the limits; reaching its last pixel lets the address sanitizer
// check that the pixels really are that large.
void checkResult(graphics::MemoryImage32* decoded) {
    const kernel::SmartPtr<graphics::MemoryImage32> image(decoded);
    if (!image) {
        return;
    }
    const int width = image->getWidth();
    const int height = image->getHeight();
    if (width <= 0 || height <= 0 || width > graphics::maxDecodedSide || height > graphics::maxDecodedSide ||
        image->pixels32() == nullptr) {
        std::abort();
    }
    volatile std::uint32_t last = image->pixels32()[image->pixelIndex(width - 1, height - 1)];
    (void)last;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkResult(graphics::loadPngImageFromMemory(data, size));
    checkResult(graphics::loadJpegImage(data, size));
    return 0;
}
