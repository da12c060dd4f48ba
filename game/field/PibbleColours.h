#pragma once

#include <cstdint>
#include <string>

namespace game {

// "Undefined" for colour 0, "Yellow" to "Orange" for 1 to 7, "All" for the clown's 8; empty otherwise.
std::string PibbleColourName(std::int32_t colour);
// The prefix of the colour's part pictures ("PIBBLE_YELLOW" ...); empty for 0 and unknown colours.
std::string pibbleImagePrefix(std::int32_t colour);
// A colour 1 to n from the game's random numbers (1 without a generator).
std::int32_t randomColour(std::int32_t n);

} // namespace game
