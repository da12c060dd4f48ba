#pragma once
// The generator's own source of random numbers (SplitMix64): the same seed gives the same levels on every
// machine and in every run. The game's generator is left alone: its state belongs to the running game.

#include <cstdint>

namespace mklevels {

class LevelDice {
public:
    explicit LevelDice(std::uint64_t seed) : state(seed) {}

    // A seed made of several numbers, each changing the whole result.
    static std::uint64_t mixed(std::uint64_t seed, std::uint64_t a, std::uint64_t b = 0,
                               std::uint64_t c = 0) {
        LevelDice dice(seed);
        for (const std::uint64_t part : {a, b, c}) {
            dice.state ^= part + 0x9E3779B97F4A7C15ull;
            dice.next();
        }
        return dice.next();
    }

    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to bound - 1; 0 for a bound below 1. The slight lean of the modulo does not matter for placing cells.
    int below(int bound) {
        return bound < 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t state;
};

} // namespace mklevels
