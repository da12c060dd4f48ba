#include "game/foundation/Random.h"

#include "host/Time.h"

#include <utility>

namespace game {

namespace {
Random* theRandom = nullptr;
}

Random::Random(std::uint64_t seedValue) : multiplier(0x5DEECE66DULL), mask((1ULL << 48) - 1), addend(11) {
    setSeed(seedValue);
}

Random::Random(const Random& other)
    : kernel::Object(other), seed(other.seed), multiplier(other.multiplier), mask(other.mask),
      addend(other.addend) {}

Random* Random::create() {
    if (theRandom == nullptr) {
        theRandom = new Random(static_cast<std::uint64_t>(host::timeGetTime()));
        theRandom->addRef();
    }
    return theRandom;
}

Random* Random::instance() {
    return theRandom;
}

void Random::destroy() {
    if (Random* random = std::exchange(theRandom, nullptr)) {
        random->release();
    }
}

void Random::setSeed(std::uint64_t value) {
    seed = (value ^ multiplier) & mask;
}

// The product wraps modulo 2^64 before the mask, as unsigned arithmetic does.
std::int32_t Random::next(int bits) {
    seed = (seed * multiplier + addend) & mask;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(seed >> (48 - bits)));
}

void Random::nextBytes(std::uint8_t* buffer, std::size_t count) {
    std::size_t i = 0;
    while (i < count) {
        std::int32_t value = next(32);
        for (int inGroup = 0; inGroup < 4 && i < count; ++inGroup, ++i) {
            buffer[i] = static_cast<std::uint8_t>(value);
            value >>= 8;
        }
    }
}

std::int32_t Random::nextInt(std::int32_t bound) {
    if (bound < 0) {
        return 0;
    }
    // Also true for 0, which therefore draws once and gives 0.
    if ((bound & -bound) == bound) {
        return belowPowerOfTwo(bound);
    }
    return belowBound(bound);
}

std::int32_t Random::belowPowerOfTwo(std::int32_t bound) {
    const std::int64_t product = static_cast<std::int64_t>(bound) * next(31);
    return static_cast<std::int32_t>(product >> 31);
}

// Draws that fall into the incomplete last block of the range would favour the small values; the test
// sum wraps to a negative number exactly for them. It is formed unsigned so the wrap is well defined.
std::int32_t Random::belowBound(std::int32_t bound) {
    std::int32_t bits = 0;
    std::int32_t val = 0;
    do {
        bits = next(31);
        val = bits % bound;
    } while (static_cast<std::int32_t>(static_cast<std::uint32_t>(bits) - static_cast<std::uint32_t>(val) +
                                       static_cast<std::uint32_t>(bound - 1)) < 0);
    return val;
}

std::int32_t Random::nextInt() {
    return next(32);
}

std::int64_t Random::nextLong() {
    const std::uint64_t high = static_cast<std::uint64_t>(static_cast<std::int64_t>(next(32))) << 32;
    const std::uint64_t low = static_cast<std::uint64_t>(static_cast<std::int64_t>(next(32)));
    return static_cast<std::int64_t>(high + low);
}

bool Random::nextBoolean() {
    return next(1) != 0;
}

float Random::nextFloat() {
    return static_cast<float>(next(24) / 16777216.0);
}

double Random::nextDouble() {
    const std::int64_t high = static_cast<std::int64_t>(next(26)) << 27;
    const std::int64_t low = next(27);
    return static_cast<double>(high + low) / 9007199254740992.0;
}

} // namespace game
