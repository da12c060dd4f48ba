#pragma once
// The pieces the album's scrapbook collages are stuck together from: scraps of patterned paper, washi
// tape, little photos, pibble cut-outs and stickers with a white edge, doodles in pen, confetti, and the
// trophies, rosettes and charts of the statistics and highscore pages. Each is placed by its middle, turned
// by an angle (radians, clockwise).

#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/Dice.h"

namespace mkmedia {

inline constexpr Rgb penInk = 0x5A3E78;
inline constexpr Rgb gold = 0xFFC93C;

enum class PaperPattern { Plain, Dots, Stripes, Grid, Gingham, Hearts };
enum class StickerShape { Star, Heart, Flower, Sun, Cloud, Rainbow, Balloon, Music, Leaf, Moon };
enum class Doodle { Spiral, Arrow, Loops, Hearts, Stars, Underline, Swirl };

struct Spot {
    float x;
    float y;
    float angle = 0;
};

// A scrap of paper w x h in the colour, patterned in a lighter or darker shade of it, on a soft shadow.
void paperScrap(Canvas& canvas, const Spot& at, float w, float h, Rgb colour, PaperPattern pattern);
// A strip of translucent tape, its ends torn in zigzags.
void washiTape(Canvas& canvas, const Spot& at, float length, float width, Rgb colour);
// A small polaroid of a collectable's backdrop with a pibble of a colour 1 to 8 in it.
void miniPhoto(Canvas& canvas, const Spot& at, float width, int backdrop, int colour);
// A pibble of a colour 1 to 8 cut out with a white edge; `hat` puts a party hat on it.
void pibbleCutOut(Canvas& canvas, const Spot& at, float radius, int colour, Mood mood, bool hat = false);
// A collectable pibble cut out the same way.
void collectableCutOut(Canvas& canvas, const Spot& at, float radius, int number);
void sticker(Canvas& canvas, const Spot& at, float size, StickerShape shape, Rgb colour);
void doodle(Canvas& canvas, const Spot& at, float size, Doodle kind, Rgb ink = penInk);
// A few lines of pretend handwriting, `lines` of them, `width` long.
void scribble(Canvas& canvas, const Spot& at, float width, int lines, Dice& dice, Rgb ink = penInk);
void confetti(Canvas& canvas, const Rect& area, int count, Dice& dice);

// Rewards and figures.
void trophy(Canvas& canvas, const Spot& at, float size, Rgb metal, Rgb emblem);
void rosette(Canvas& canvas, const Spot& at, float size, Rgb colour);
void laurel(Canvas& canvas, float cx, float cy, float size, Rgb leaves);
void barChart(Canvas& canvas, const Spot& at, float w, float h, Dice& dice);
void pieChart(Canvas& canvas, const Spot& at, float radius);
void firework(Canvas& canvas, float cx, float cy, float radius, Rgb colour, Dice& dice);

} // namespace mkmedia
