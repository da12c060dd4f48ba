#pragma once
// The rounded box that panels, the dialog frame and the hint bubble are drawn as: a soft shadow, a
// coloured rim and a pale body. One "edge" thickness sets the border, so pieces cut from boxes of the same
// edge join wherever they meet.

#include "tools/mkmedia/Canvas.h"

#include <vector>

namespace mkmedia {

// The dialog frame's rim when its entry gives no colour; the hint bubble takes the same.
inline constexpr Rgb frameRimColour = 0xFF9F43;
// The dialog frame's corners are this many pixels square; its border is cut to this edge.
inline constexpr int frameEdge = 24;

struct Box {
    float x;
    float y;
    float w;
    float h;
    // The edge's thickness, which sets margin, rim and corner radius, so that every box of the same edge
    // has the same border whatever its size.
    float edge;
};

// The border of an edge: the margin left outside the rim for the shadow, the rim's width, the corner
// radius and the shadow's blur.
struct BoxLook {
    float margin;
    float rim;
    float radius;
    int blur;
};

BoxLook boxLookOf(float edge);
// The pale body inside a rim of the colour.
Rgb paleOf(Rgb colour);

// Shadow, rim and body of the box; a shaded body brightens towards the top.
void drawBox(Canvas& canvas, const Box& box, Rgb rim, Rgb body, bool shaded);

// One part of a frame: the outer edge of its rim, the body inside the rim and the shape its shadow falls
// from.
struct FramedShape {
    Shape outline;
    Shape body;
    Shape shadow;
};

// The parts of a box with the look's corner radius.
FramedShape boxShapes(const Box& box, const BoxLook& look);
// A part of any outline: the shadow falls from it as from a box; the body is given.
FramedShape framedShape(Shape outline, Shape body, const BoxLook& look);

// A frame of several parts drawn as one: every shadow first, then every rim, then every body, so that
// where the parts overlap no rim runs between them.
void drawFramed(Canvas& canvas, const std::vector<FramedShape>& parts, const BoxLook& look, Rgb rim,
                Rgb body);

} // namespace mkmedia
