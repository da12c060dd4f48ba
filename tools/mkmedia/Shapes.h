#pragma once
// Outlines of the rounded shapes the pictures are made of, as polygons for the engine's polygon fill.

#include "engine/graphics/PointF.h"

#include <vector>

namespace mkmedia {

using Shape = std::vector<graphics::PointF>;

Shape ellipse(float cx, float cy, float rx, float ry);
Shape circle(float cx, float cy, float radius);
// The radius is bounded by half the shorter side.
Shape roundedRect(float x, float y, float w, float h, float radius);
// A ring of fur: the radius swells `tufts` times around the circle by `depth` of itself.
Shape fluffyCircle(float cx, float cy, float rx, float ry, int tufts, float depth, float turn);
// A thick arc from angle a0 to a1 (radians, 0 to the right, growing clockwise on screen), with round ends.
Shape arcBand(float cx, float cy, float radius, float thickness, float a0, float a1);
// A thick straight stroke with round ends.
Shape stroke(float x1, float y1, float x2, float y2, float thickness);
// A star of `points` tips between the outer and inner radius; the first tip points up, turned by `turn`.
Shape star(float cx, float cy, float outer, float inner, int points, float turn = 0);
// A heart whose widest part is `size` across, its point at the bottom.
Shape heart(float cx, float cy, float size);
// A pointed leaf from (x1, y1) to (x2, y2), `width` across its middle.
Shape leaf(float x1, float y1, float x2, float y2, float width);
// A thick band along a quadratic curve from a through control point c to b, with round ends.
Shape curveBand(graphics::PointF a, graphics::PointF c, graphics::PointF b, float thickness);

// The shape turned by the angle (radians, clockwise on screen) about (cx, cy).
Shape turned(Shape shape, float cx, float cy, float angle);
Shape moved(Shape shape, float dx, float dy);
// The shape scaled about (cx, cy).
Shape scaled(Shape shape, float cx, float cy, float sx, float sy);

} // namespace mkmedia
