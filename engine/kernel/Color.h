#pragma once

#include "engine/kernel/Object.h"

#include <cstdint>

namespace kernel {

// One colour 0xAARRGGBB. Lanes are numbered by position, not by byte order in memory:
// lane 0 alpha (bits 24..31), 1 red, 2 green, 3 blue. It keeps Object's class record.
class Color : public Object {
public:
    explicit Color(std::uint32_t value = 0) : value(value) {}

    std::uint8_t component(int lane) const {
        return lane < 0 || lane > 3 ? 0 : static_cast<std::uint8_t>(value >> (24 - 8 * lane));
    }
    // A lane outside 0..3 changes nothing.
    void setComponent(int lane, std::uint8_t byte);

    std::uint32_t value;
};

} // namespace kernel
