#pragma once
// What the illustrated scenes share (the pause, the celebration, the title screen and the comic's pages):
// fluffy clouds, pibbles of the game's looks posed part by part, cheering ones, and a dimmed edge.

#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Pibble.h"

namespace mkmedia {

// A fluffy cloud: a flat base under a row of round puffs, the highest in the middle, shaded from `light`
// at its top to `shade` at its base, over a soft shadow of itself.
void fluffyCloud(Canvas& canvas, float cx, float base, float w, float h, Rgb light, Rgb shade, int alpha);

// The round body of a pibble of one of the game's looks ("yellow" ... "clown"), its feet on `ground`.
PibblePose poseOf(const char* look, float cx, float ground, float radius);

// A pibble drawn part by part, its ears streaming up as much as `earLift` says (-1 laid flat, 1 up).
void drawPibbleWithEars(Canvas& canvas, const PibblePose& pose, float earLift);

// A happy pibble cheering: up in the air by `lift` with its ears streaming and joy lines at its sides, or
// bouncing on the ground.
void drawCheerer(Canvas& canvas, const char* look, float cx, float ground, float radius, float lift);

// Every pixel darkened towards the edges by up to `strength` (0..1), alpha kept: a dimmed, quiet picture.
void vignette(Canvas& canvas, float strength);

} // namespace mkmedia
