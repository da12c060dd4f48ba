#pragma once
// The file scrambler: an XOR with a pseudo-random byte stream whose key is built at run time.

#include <array>
#include <cstdint>

namespace kernel {

// data[i] ^= key[i mod 256] & 0x7F; its own inverse; bit 7 is never changed; size <= 0 does nothing.
void xorScramble(void* data, std::int32_t size);

// The 256-byte key block, built once (thread-safely) on first use.
const std::array<std::uint8_t, 256>& scrambleKeyBlock();

} // namespace kernel
