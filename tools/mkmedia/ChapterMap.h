#pragma once
// What the VIB chapter map's pictures share: the lists of points their entries give, and the curve the
// map walks the player's head along, so that the drawn trail is the way the head goes.

#include "engine/graphics/PointF.h"
#include "tools/mkmedia/Canvas.h"

#include <string>
#include <vector>

namespace mkmedia {

// "x y; x y; ..." as points; a malformed pair is left out.
std::vector<graphics::PointF> pointListOf(const std::string& text);

// The points joined by the map's curve: each stretch between two points a cubic whose slope at a point is
// the step from the point before it to the point after it, flat at both ends, sampled `steps` times.
std::vector<graphics::PointF> walkedCurve(const std::vector<graphics::PointF>& points, int steps = 10);

// The landscape behind the chapters: about each chapter's spot a region of its scenery (the level
// backgrounds' numbers, Sceneries.h), every spot on a small clearing. Both lists are in chapter order.
void drawChapterLandscape(Canvas& canvas, const std::vector<int>& sceneries,
                          const std::vector<graphics::PointF>& spots);

} // namespace mkmedia
