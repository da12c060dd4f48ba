#pragma once

#include "tools/mkmedia/Canvas.h"

namespace mkmedia {

// What the face shows.
enum class Mood { Content, Happy, Unhappy, Stubborn };

// A pibble in one pose: a round fluffy creature with big eyes.
struct PibblePose {
    float cx = 0;
    // Where its feet touch the ground; the body squashes down onto it.
    float ground = 0;
    float radius = 10;
    // Above 1 wider and flatter (landing), below 1 taller and narrower (jumping).
    float squash = 1;
    // How far up it is off the ground, which shrinks and lightens its shadow.
    float lift = 0;
    bool leftEyeClosed = false;
    bool rightEyeClosed = false;
    // Where the pupils look, -1..1 of their room.
    float lookX = 0;
    float lookY = 0;
    Rgb body = 0xFFB347;
    Mood mood = Mood::Content;
};

// The pieces a pibble is drawn from, each alone on the canvas where it lies in the whole pibble. The
// ears stand behind the body; `earTilt` turns them outward (radians), `earDroop` lays them flat (0..1).
enum class PibblePart { Shadow, Ears, Feet, Body, Face };
void drawPibblePart(Canvas& canvas, const PibblePose& pose, PibblePart part, float earTilt = 0,
                    float earDroop = 0);

// Drawn with its soft ground shadow; on a transparent canvas it reveals its own shape.
void drawPibble(Canvas& canvas, const PibblePose& pose);

// The pibble colours the pictures pick from, by a number derived from the file's name.
Rgb pibbleColour(std::uint32_t pick);

} // namespace mkmedia
