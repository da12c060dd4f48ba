#pragma once
// The frame the engine's dialog painter builds from nine pieces, as the contact sheet shows the dialogs.

#include "tools/mkmedia/Canvas.h"

#include <vector>

namespace mkmedia {

// The nine pieces in row order (top left, top, top right, left, centre, right, bottom left, bottom, bottom
// right) at the size given, laid as the engine's dialog painter lays them: the centre first, tiled from the
// left piece's width and the top piece's height; then the edges, tiled between the corners; the corners
// last. Each piece replaces what lies under it, alpha and all, on a picture that starts transparent.
Canvas paintedFrame(const std::vector<Canvas>& pieces, int width, int height);

} // namespace mkmedia
