#pragma once

#include <cstdint>

namespace graphics {

// Where each channel of a native pixel lies: bit masks in the order A, R, G, B, the bits an 8-bit
// channel value loses to fit its mask, and the index of the mask's lowest bit.
struct PixelFormat {
    std::uint32_t bytesPerPixel = 0;
    std::uint32_t maskA = 0, maskR = 0, maskG = 0, maskB = 0;
    std::int32_t lossA = 8, lossR = 8, lossG = 8, lossB = 8;
    std::int32_t shiftA = 0, shiftR = 0, shiftG = 0, shiftB = 0;

    // Fills the losses and shifts from the masks; an empty mask gives loss 8 and shift 0.
    static void computeShifts(PixelFormat& format);

    // The native pixel of an 0xAARRGGBB colour.
    std::uint32_t pack(std::uint32_t argb) const;

    static PixelFormat rgb565();
    static PixelFormat argb8888();
};

} // namespace graphics
