#include "engine/kernel/Scrambler.h"

#include <mutex>
#include <utility>

namespace kernel {
namespace {

// Files scrambled by one build are readable only by a build with the same seed.
constexpr std::uint32_t scramblerSeed = 0x50494242;

// The 48-bit linear congruential generator that feeds the key.
class DescramblerRandom {
public:
    explicit DescramblerRandom(std::uint32_t seed) : state((seed ^ multiplier) & mask) {}

    // Bits 16..47 of the new state: the low bits of such a generator repeat too soon to be used.
    std::uint32_t next() {
        // Unsigned arithmetic wraps modulo 2^64, which keeps the 48 bits that the mask leaves correct.
        state = (state * multiplier + addend) & mask;
        return static_cast<std::uint32_t>(state >> 16);
    }

private:
    static constexpr std::uint64_t multiplier = 0x5DEECE66DULL;
    static constexpr std::uint64_t addend = 11;
    static constexpr std::uint64_t mask = (std::uint64_t{1} << 48) - 1;

    std::uint64_t state;
};

using KeyBlock = std::array<std::uint8_t, 256>;

KeyBlock drawKey(DescramblerRandom& random) {
    KeyBlock key{};
    for (std::size_t i = 0; i < key.size(); i += 4) {
        const std::uint32_t word = random.next();
        for (std::size_t b = 0; b < 4; ++b) {
            key[i + b] = static_cast<std::uint8_t>(word >> (8 * b));
        }
    }
    return key;
}

KeyBlock identityBlock() {
    KeyBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i);
    }
    return block;
}

// Only swaps are made, so the block stays a permutation of 0..255.
void scheduleKey(KeyBlock& block, const KeyBlock& key) {
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < block.size(); ++i) {
        j = static_cast<std::uint8_t>(j + block[i] + key[i]);
        std::swap(block[i], block[j]);
    }
}

KeyBlock buildKeyBlock() {
    DescramblerRandom random(scramblerSeed);
    const KeyBlock key = drawKey(random);
    KeyBlock block = identityBlock();
    scheduleKey(block, key);
    return block;
}

} // namespace

const std::array<std::uint8_t, 256>& scrambleKeyBlock() {
    // Built under call_once: the loader thread and the main thread may both descramble first.
    static std::once_flag built;
    static KeyBlock block;
    std::call_once(built, [] { block = buildKeyBlock(); });
    return block;
}

void xorScramble(void* data, std::int32_t size) {
    if (data == nullptr || size <= 0) {
        return;
    }
    const KeyBlock& block = scrambleKeyBlock();
    auto* bytes = static_cast<std::uint8_t*>(data);
    for (std::int32_t i = 0; i < size; ++i) {
        bytes[i] ^= block[static_cast<std::size_t>(i) & 0xFF] & 0x7F;
    }
}

} // namespace kernel
