#pragma once
// The kinds of pibble the art knows: the seven colours and the clown, each with its own ears and marking,
// and the thirty collectable pibbles, each a colour's pibble with a pattern and an accessory of its own.

#include "tools/mkmedia/Pibble.h"

#include <string>

namespace mkmedia {

// "yellow", "blue", "red", "white", "green", "purple", "orange" (the game's colours 1 to 7) and "clown"
// (8); null for any other name.
const PibbleLook* pibbleLook(const std::string& name);
// The look of a colour 1 to 8; colours out of range give the clown's.
const PibbleLook& lookOfColour(int colour);

enum class Pattern {
    Plain,
    Dots,
    Stripes,
    Stars,
    Hearts,
    Checks,
    Zigzag,
    Patches,
    Freckles,
    Swirls,
    Flowers
};
enum class Accessory {
    Bow,
    Glasses,
    BowTie,
    Bell,
    Flower,
    Crown,
    Scarf,
    TopHat,
    Beanie,
    Headphones,
    Sunglasses,
    Moustache,
    Cap,
    Pearls,
    Bandana,
    EyePatch,
    Monocle,
    Tiara,
    Halo,
    ChefHat,
    WitchHat,
    SailorHat,
    Earmuffs,
    FlowerCrown,
    Medal,
    Propeller,
    Bubble,
    Mask,
    Tie,
    Cherries,
};

struct Collectable {
    // The game's colour 1 to 7: the collectable's "colorid".
    int colour;
    Pattern pattern;
    Rgb patternColour;
    Accessory accessory;
    Rgb accessoryColour;
};

inline constexpr int collectableCount = 30;
// Collectables 1 to collectableCount; null for any other number.
const Collectable* collectable(int number);

// A collectable's pattern over its fur (the colour's own marking gives way to it) and its accessory, which
// belongs in front of the face.
void drawPattern(Canvas& canvas, const Collectable& design, const PibblePose& pose);
void drawAccessory(Canvas& canvas, const Collectable& design, const PibblePose& pose);

} // namespace mkmedia
