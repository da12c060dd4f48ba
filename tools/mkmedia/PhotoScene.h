#pragma once
// The painter of the collectables' photos: a photo's canvas with the pieces its little worlds are drawn
// from (skies, hills, clouds, trees, the sea, buildings, ...), placed and sized in parts of the photo's
// width and height so that they fit a photo of any size. Seeded, so the same photo is drawn every time.

#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Dice.h"

#include <algorithm>
#include <cstdint>

namespace mkmedia {

class PhotoScene {
public:
    PhotoScene(Canvas& photo, std::uint32_t seed) : c(photo), dice(seed) {}

    // Parts of the width, of the height, of the shorter side; a blur of a part of the shorter side.
    float x(float f) const { return f * static_cast<float>(c.width()); }
    float y(float f) const { return f * static_cast<float>(c.height()); }
    float s(float f) const { return f * static_cast<float>(std::min(c.width(), c.height())); }
    int blur(float f) const { return std::max(1, static_cast<int>(s(f))); }

    // The whole photo from `top` at the top to `bottom` at `to`, and a band across it.
    void sky(Rgb top, Rgb bottom, float to = 1);
    void band(float from, float to, Rgb top, Rgb bottom);
    void sun(float cx, float cy, float r, Rgb colour);
    void moon(float cx, float cy, float r, Rgb colour, Rgb sky);
    void stars(int count, float bottom, Rgb colour = 0xFFF6C8);
    void cloud(float cx, float cy, float size, Rgb colour = 0xFFFFFF, int alpha = 240);
    // Round hills along the row, their tops at about `top`.
    void hills(float top, Rgb colour, int count);
    void flowers(int count, float from, float to, const Rgb* colours, int colourCount);
    void pine(float cx, float base, float height, Rgb colour, bool snowy);
    void roundTree(float cx, float base, float height, Rgb leaves);
    void fence(float top, float bottom, Rgb colour);
    void waves(float top, float bottom, Rgb colour, int alpha);
    void confetti(int count, float bottom);
    void bunting(float top, float sag);
    void balloon(float cx, float cy, float r, Rgb colour);
    void snowfall(int count, float bottom);
    void building(float left, float width, float top, Rgb colour, Rgb windows, float lit);
    // Curtains drawn back at both sides, folds shaded.
    void curtains(Rgb colour);
    void beams(float cx, float cy, const Rgb* colours, int count, int alpha);
    void rays(float cx, float cy, Rgb colour, int alpha);
    void checks(float top, float bottom, Rgb a, Rgb b, float size);
    void leaves(int count, float bottom, const Rgb* colours, int colourCount);

    Canvas& c;
    // For what is scattered: stars, flowers, confetti, snow.
    Dice dice;
};

} // namespace mkmedia
