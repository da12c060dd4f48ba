#include "engine/graphics/PixelFormat.h"

#include <bit>

namespace graphics {
namespace {

void shiftAndLoss(std::uint32_t mask, std::int32_t& shift, std::int32_t& loss) {
    shift = 0;
    loss = 8;
    if (mask == 0) {
        return;
    }
    shift = std::countr_zero(mask);
    const int highest = 31 - std::countl_zero(mask);
    loss = 8 - (highest - shift + 1);
}

std::uint32_t packChannel(std::uint32_t value, std::int32_t loss, std::int32_t shift, std::uint32_t mask) {
    // A loss above 8 (an empty mask) leaves nothing of the value; shifting by it would be undefined.
    const std::uint32_t reduced = loss >= 8 ? 0 : (value & 0xFF) >> loss;
    return (reduced << shift) & mask;
}

} // namespace

void PixelFormat::computeShifts(PixelFormat& format) {
    shiftAndLoss(format.maskA, format.shiftA, format.lossA);
    shiftAndLoss(format.maskR, format.shiftR, format.lossR);
    shiftAndLoss(format.maskG, format.shiftG, format.lossG);
    shiftAndLoss(format.maskB, format.shiftB, format.lossB);
}

std::uint32_t PixelFormat::pack(std::uint32_t argb) const {
    return packChannel(argb >> 8, lossG, shiftG, maskG) | packChannel(argb >> 16, lossR, shiftR, maskR) |
           packChannel(argb >> 24, lossA, shiftA, maskA) | packChannel(argb, lossB, shiftB, maskB);
}

PixelFormat PixelFormat::rgb565() {
    PixelFormat format;
    format.bytesPerPixel = 2;
    format.maskR = 0xF800;
    format.maskG = 0x07E0;
    format.maskB = 0x001F;
    computeShifts(format);
    return format;
}

PixelFormat PixelFormat::argb8888() {
    PixelFormat format;
    format.bytesPerPixel = 4;
    format.maskA = 0xFF000000;
    format.maskR = 0x00FF0000;
    format.maskG = 0x0000FF00;
    format.maskB = 0x000000FF;
    computeShifts(format);
    return format;
}

} // namespace graphics
