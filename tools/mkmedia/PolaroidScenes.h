#pragma once
// The backdrops of the collectable pibbles' photos: each of the thirty stands in a little world of its
// own that suits it (a meadow, a beach, snow, a starry night, a stage, a kitchen, ...).

#include "tools/mkmedia/Canvas.h"

namespace mkmedia {

// Fills the photo with the backdrop of collectable 1 to 30 (any other number gives a plain meadow). The
// pibble then stands on its ground, at `groundOf` of the photo's height.
void drawPolaroidScene(Canvas& photo, int collectable);
float groundOf(int collectable);

} // namespace mkmedia
