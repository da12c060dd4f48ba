#pragma once
// Narrow names and keys, 16-bit displayed texts.

#include <string>
#include <string_view>

namespace kernel {

// Displayed text: 16-bit units.
using WideString = std::u16string;

// Keeps the low byte of each unit.
std::string narrowString(std::u16string_view text);
// Each byte becomes one unit as a signed 8-bit value: bytes 0x80..0xFF become 0xFF80..0xFFFF.
WideString widenString(std::string_view text);

} // namespace kernel
