#pragma once
// The field's sources of random numbers.

#include <cstdint>

namespace game {

class Random;

// The game's generator; before it exists (a field made without the game around it), a fixed stand-in, so
// the rules never go without draws.
Random& fieldRandom();
// A draw below the bound (0 for a bound below 1) from the C runtime's generator, which orders the cells of
// a new clown or party pibble and the pibbles of a party match.
std::int32_t runtimeDraw(std::int32_t bound);

} // namespace game
