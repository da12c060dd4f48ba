#pragma once
// The parts of a look that the pibble painter hands out to files of their own: the ears of each look and
// the body markings.

#include "tools/mkmedia/Pibble.h"

namespace mkmedia {

// A look's ears behind the body: tilted outward by `tilt` (radians), raised by `lift` (-1 flat, 1 up).
void drawLookEars(Canvas& canvas, const PibbleLook& look, const PibbleBody& body, float tilt, float lift);

// The look's marking over the fur, kept inside the body's outline, and what grows out of it (a sprout).
void drawMarking(Canvas& canvas, const PibbleLook& look, const PibbleBody& body, const Shape& outline);

// Lays what was drawn on `layer` over the canvas, only inside the outline: patterns on a body.
void stampInside(Canvas& canvas, Canvas& layer, const Shape& outline);

// The outline of the look's fur.
Shape furOutline(const PibbleLook* look, const PibbleBody& body, float grow = 1);

} // namespace mkmedia
