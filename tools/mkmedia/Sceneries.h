#pragma once
// The sceneries of the backgrounds: a soft sky and a land of round shapes, drawn before the pale panes
// where a level's pibbles stand. Each level background picks one by its number ("scenery" in the manifest):
//   0 meadow   1 blossom   2 sunset   3 lagoon    (sky, clouds, bubbles and round hills)
//   4 forest   5 dunes     6 snowfield 7 autumn   8 candy   9 night   10 rainbow
// A background without a number takes one of the first four by its file name.

#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Dice.h"

#include <optional>

namespace mkmedia {

inline constexpr int classicSceneries = 4;
inline constexpr int sceneryCount = 11;

// Draws the scenery over the whole canvas; `skyTop` replaces the colour at the top of its sky. A number
// outside 0 to sceneryCount - 1 is taken modulo the first four.
void drawScenery(Canvas& canvas, int number, std::optional<Rgb> skyTop, Dice& dice);

} // namespace mkmedia
