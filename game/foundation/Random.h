#pragma once

#include "engine/kernel/Object.h"

#include <cstddef>
#include <cstdint>

namespace game {

// The game's one source of random numbers: a 48-bit linear congruential generator. Every draw of the
// game goes through the global instance, so a given seed replays the same game.
class Random : public kernel::Object {
public:
    explicit Random(std::uint64_t seedValue);
    Random(const Random& other);
    Random& operator=(const Random&) = delete;

    // Seeded with the system time in milliseconds; a second create keeps the first instance.
    static Random* create();
    // Null before create.
    static Random* instance();
    static void destroy();

    // The top bits (1..32) of the next state, read as a signed value.
    virtual std::int32_t next(int bits);
    virtual void setSeed(std::uint64_t value);
    virtual void nextBytes(std::uint8_t* buffer, std::size_t count);
    // 0..bound-1; 0 for a bound of 0 (after one step) and for a negative bound (without a step).
    virtual std::int32_t nextInt(std::int32_t bound);
    virtual std::int32_t nextInt();
    virtual std::int64_t nextLong();
    virtual bool nextBoolean();
    virtual float nextFloat();
    virtual double nextDouble();

    std::uint64_t getSeed() const { return seed; }

private:
    std::int32_t belowPowerOfTwo(std::int32_t bound);
    std::int32_t belowBound(std::int32_t bound);

    std::uint64_t seed = 0;
    std::uint64_t multiplier;
    std::uint64_t mask;
    std::uint64_t addend;
};

} // namespace game
