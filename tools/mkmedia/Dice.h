#pragma once

#include <cstdint>

namespace mkmedia {

// A small seeded generator for the scattered details of a picture: the same seed always gives the same
// picture, on every machine.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {
        // xorshift never leaves 0.
        state = state == 0 ? 1 : state;
    }

    std::uint32_t next() {
        // xorshift32: enough for placing bubbles and clouds.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [low, high).
    float between(float low, float high) {
        return low + (high - low) * static_cast<float>(next() >> 8) / static_cast<float>(1u << 24);
    }

private:
    std::uint32_t state;
};

} // namespace mkmedia
