#pragma once

#include "tools/mkmedia/Canvas.h"

#include <functional>

namespace mkmedia {

// What the face shows.
enum class Mood { Content, Happy, Unhappy, Stubborn };

// The ear shapes and body markings that tell the colours apart without their hue.
enum class EarShape { Round, Bunny, Horns, Floppy, Leaf, Antennae, Fox, Pompoms };
enum class Marking { Stripes, Tummy, Spots, Fleece, Sprout, Stars, Bib, Harlequin };

// One kind of pibble: its fur, its ears and its marking. `accent` colours the marking and the ears'
// insides.
struct PibbleLook {
    const char* name;
    Rgb body;
    Rgb accent;
    EarShape ears;
    Marking marking;
};

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
    // The game's pibbles: ears, marking and a pale face; without a look, the plain pibble of the logo.
    const PibbleLook* look = nullptr;
    // The face turned aside (a head shake), in parts of the radius.
    float faceTurn = 0;
    // Drawn over the fur in place of the look's marking, on a layer that is then kept inside the outline:
    // a collectable pibble's pattern.
    std::function<void(Canvas& layer)> pattern;
};

// Where the body lies: an ellipse standing on the ground.
struct PibbleBody {
    float cx;
    float cy;
    float rx;
    float ry;

    float radius() const { return rx < ry ? rx : ry; }
};
PibbleBody bodyOf(const PibblePose& pose);

// Where the face's features lie, the face turned as the pose says.
struct PibbleFace {
    float cx;
    float eyeY;
    float eyeOffset;
    float eyeSize;
    float mouthY;
};
PibbleFace faceOf(const PibblePose& pose);

// The pieces a pibble is drawn from, each alone on the canvas where it lies in the whole pibble. The
// ears stand behind the body; `earTilt` turns them outward (radians), `earLift` raises them (-1 laid flat,
// 1 streaming up).
enum class PibblePart { Shadow, Ears, Feet, Body, Face };
void drawPibblePart(Canvas& canvas, const PibblePose& pose, PibblePart part, float earTilt = 0,
                    float earLift = 0);

// Drawn with its soft ground shadow; on a transparent canvas it reveals its own shape.
void drawPibble(Canvas& canvas, const PibblePose& pose);

// Lids over open eyes, in the colour of the face around them.
void drawEyelids(Canvas& canvas, const PibblePose& pose);

// The pale skin of the face around the eyes, the same on every look, so that a shared overlay can close
// the eyes of any pibble.
inline constexpr Rgb faceSkin = 0xFFF1DC;
// The dark line work of faces and accessories.
inline constexpr Rgb ink = 0x3A2746;

// The pibble colours the pictures pick from, by a number derived from the file's name.
Rgb pibbleColour(std::uint32_t pick);

} // namespace mkmedia
