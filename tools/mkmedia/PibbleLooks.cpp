#include "tools/mkmedia/PibbleLooks.h"

#include <iterator>

namespace mkmedia {

namespace {

// The colours' hues follow the game's particle colours, softened; each colour also has ears and a marking
// that no other has. Their lightness steps from white and yellow down through orange, green, blue and red
// to purple, so that a board of seven colours still sorts itself for a player who does not see hues.
constexpr PibbleLook looks[] = {
    {"yellow", 0xFFCC30, 0xC8621A, EarShape::Round, Marking::Stripes},
    {"blue", 0x3A86DE, 0xFFFFFF, EarShape::Bunny, Marking::Tummy},
    {"red", 0xEC4F48, 0x8E1F2A, EarShape::Horns, Marking::Spots},
    {"white", 0xF7F4EF, 0xD5CBC0, EarShape::Floppy, Marking::Fleece},
    {"green", 0x72C850, 0x4CB548, EarShape::Leaf, Marking::Sprout},
    {"purple", 0x6234AE, 0xFFF0A0, EarShape::Antennae, Marking::Stars},
    {"orange", 0xF27E22, 0xFFFFFF, EarShape::Fox, Marking::Bib},
    {"clown", 0xFFF3F7, 0xFF6F91, EarShape::Pompoms, Marking::Harlequin},
};

using enum Pattern;
using enum Accessory;

// Collectable n has colour (n - 1) mod 7 + 1; within a colour no two share a pattern, and no accessory
// comes twice.
constexpr Collectable collectables[collectableCount] = {
    {1, Dots, 0xFF8FB8, Bow, 0xFF5C8A},
    {2, Stripes, 0xFFFFFF, Glasses, 0x3A2746},
    {3, Hearts, 0xFFE3E0, BowTie, 0x2E3A8C},
    {4, Patches, 0x7A5A48, Bell, 0xFFC93C},
    {5, Freckles, 0x3E8E3A, Flower, 0xFF7FB0},
    {6, Plain, 0, Crown, 0xFFC93C},
    {7, Zigzag, 0xFFE7C2, Scarf, 0x3FA7D6},
    {1, Checks, 0xF2A93B, TopHat, 0x2E2A3A},
    {2, Stars, 0xFFF6B0, Beanie, 0xFF6B6B},
    {3, Plain, 0, Headphones, 0x3A3A48},
    {4, Dots, 0x9AD0F5, Sunglasses, 0x22202A},
    {5, Stripes, 0xC9F2B0, Moustache, 0x4A2E22},
    {6, Hearts, 0xFFB8E0, Cap, 0x3FB57A},
    {7, Dots, 0xFFF0D8, Pearls, 0xFFFFFF},
    {1, Swirls, 0xFFF3B8, Bandana, 0xE8403A},
    {2, Patches, 0x2F6FA8, EyePatch, 0x22202A},
    {3, Freckles, 0xB02E2E, Monocle, 0xE0B040},
    {4, Stars, 0xF7C8E0, Tiara, 0xB8E6FF},
    {5, Plain, 0, Halo, 0xFFE36A},
    {6, Checks, 0xC9A6F2, ChefHat, 0xFFFFFF},
    {7, Stars, 0xFFE08A, WitchHat, 0x4B3A7A},
    {1, Hearts, 0xFF8C6B, SailorHat, 0xFFFFFF},
    {2, Zigzag, 0xD8F0FF, Earmuffs, 0xFF8FB8},
    {3, Stripes, 0xFFC2B8, FlowerCrown, 0xFFFFFF},
    {4, Swirls, 0x8FA8D8, Medal, 0xFFC93C},
    {5, Dots, 0xFFF59A, Propeller, 0xE8403A},
    {6, Zigzag, 0x7C4FC0, Bubble, 0xFF9EC8},
    {7, Checks, 0xD9661E, Mask, 0x2E2A3A},
    {1, Patches, 0xB8862E, Tie, 0x3F6FD6},
    {2, Flowers, 0xFFFFFF, Cherries, 0xE8323A},
};

} // namespace

const PibbleLook* pibbleLook(const std::string& name) {
    for (const PibbleLook& look : looks) {
        if (name == look.name) {
            return &look;
        }
    }
    return nullptr;
}

const PibbleLook& lookOfColour(int colour) {
    return colour >= 1 && colour <= static_cast<int>(std::size(looks)) ? looks[colour - 1] : looks[7];
}

const Collectable* collectable(int number) {
    return number >= 1 && number <= collectableCount ? &collectables[number - 1] : nullptr;
}

} // namespace mkmedia
