#pragma once
// What the album's pictures share: the book's geometry, the paper of its pages, the polaroid card, a
// collectable pibble posed anywhere, and the few picture operations the album needs (turning, shrinking
// and washing out a picture, and the white border of a sticker).

#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/PibbleLooks.h"

namespace mkmedia {

// The album dialog's book at its own size; the pages' inner area is where the dialog places its pages
// and the turning sheet.
inline constexpr float bookWidth = 560;
inline constexpr float bookHeight = 420;
inline constexpr float pageLeft = 40;
inline constexpr float pageTop = 40;
inline constexpr float pageRight = 520;
inline constexpr float pageBottom = 380;
inline constexpr float spineX = 280;
inline constexpr float pageWidth = spineX - pageLeft;

inline constexpr Rgb paper = 0xFFF7E6;
inline constexpr Rgb paperShade = 0xC9A983;

// The colour of a page's paper `fromSpine` pixels out from the spine of a page `width` wide: the spine's
// soft shadow, a faint shade along the outer edge. The book and the turning sheet both use it, so a sheet
// lying flat is the page it covers.
Rgb pageColour(float fromSpine, float width);

// A polaroid card over the rectangle: soft shadow, white frame and the photo's place, which it returns.
// The frame is the same on every card of the same size.
struct Rect {
    float x;
    float y;
    float w;
    float h;
};
Rect drawPolaroidCard(Canvas& canvas, const Rect& card);
// A glossy sheen and a soft vignette over a photo on a canvas of its own.
void finishPhoto(Canvas& photo);

// Collectable pibble `design` in the pose: its shadow on the ground (unless left out), its colour's ears and
// feet, its pattern and its accessory.
void drawCollectableFigure(Canvas& canvas, const Collectable& design, PibblePose pose, bool grounded = true);
// A pibble of a colour 1 to 8 in the pose.
void drawColourFigure(Canvas& canvas, int colour, PibblePose pose, bool grounded = true);

// A copy of the picture turned by the angle (radians, clockwise) about its centre, on a canvas grown to
// hold it.
Canvas turnedCopy(const Canvas& picture, float angle);
// The picture shrunk by a whole factor, each pixel the mean of the square it covers.
Canvas shrunk(const Canvas& picture, int factor);
// Every colour moved towards white by `amount` (0..1), alpha kept.
void washOut(Canvas& canvas, float amount);
// A border of `colour`, `width` pixels wide, round whatever the canvas shows, and below it a soft shadow
// of `shadow` strength (0 for none): a sticker's white edge.
void addBorder(Canvas& canvas, Rgb colour, int width, int shadow = 0);

} // namespace mkmedia
