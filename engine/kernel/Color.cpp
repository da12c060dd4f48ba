#include "engine/kernel/Color.h"

namespace kernel {

void Color::setComponent(int lane, std::uint8_t byte) {
    if (lane < 0 || lane > 3) {
        return;
    }
    const int shift = 24 - 8 * lane;
    value = (value & ~(0xFFu << shift)) | (static_cast<std::uint32_t>(byte) << shift);
}

} // namespace kernel
