// The hint's speech bubble: frame pieces that take the place of the dialog frame's left or right column,
// or of its bottom row, so that a dialog painter builds from them and the frame's other pieces a bubble
// whose tail points at a pibble beside it, or down at the time bar below it. Every piece is cut from a box
// of the frame's own edge, so rim, body and shadow run on into the frame's pieces without a seam.
#include "tools/mkmedia/FrameBox.h"
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

namespace {

// A column piece holds the bubble's border in its inner 16 columns; the tail reaches out into the rest.
constexpr float columnBorder = 16;
// The bottom row of the time bar's bubble: its border in the top 14 rows, the tail below them.
constexpr float barBorder = 14;
// Tighter than the frame's own corners: a column's border is narrower than the frame's 24, and the curve
// and its shadow must be straight again where the frame's top and bottom pieces take over.
constexpr float cornerRadius = 8;
// Room around a piece while it is drawn, so that blurs near its sides see the box run on.
constexpr int pad = 32;
// The tail's tip lies this far out from the column piece's inner side.
constexpr float tipReach = 36;

enum class Piece { Top, Edge, Bottom, ArrowUp, ArrowDown, BarLeft, BarMiddle, BarRight };

struct BubblePart {
    const char* name;
    Piece piece;
    // The right column's pieces are the left column's, mirrored.
    bool mirrored;
};

constexpr BubblePart bubbleParts[] = {
    {"left_top", Piece::Top, false},
    {"left_edge", Piece::Edge, false},
    {"left_bottom", Piece::Bottom, false},
    {"left_arrowup", Piece::ArrowUp, false},
    {"left_arrowdown", Piece::ArrowDown, false},
    {"right_top", Piece::Top, true},
    {"right_edge", Piece::Edge, true},
    {"right_bottom", Piece::Bottom, true},
    {"right_arrowup", Piece::ArrowUp, true},
    {"right_arrowdown", Piece::ArrowDown, true},
    {"bar_bottomleft", Piece::BarLeft, false},
    {"bar_bottom", Piece::BarMiddle, false},
    {"bar_bottomright", Piece::BarRight, false},
};

const BubblePart* bubblePart(const std::string& name) {
    for (const BubblePart& part : bubbleParts) {
        if (name == part.name) {
            return &part;
        }
    }
    return nullptr;
}

// Where a tail leaves the bubble (the two ends of its base, inside the body) and where its tip lies.
struct Tail {
    graphics::PointF baseStart;
    graphics::PointF tip;
    graphics::PointF baseEnd;
};

// A quadratic curve from a to b bowed through c, without its last point.
void addCurve(Shape& shape, graphics::PointF a, graphics::PointF c, graphics::PointF b, int steps) {
    for (int i = 0; i < steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        const float u = 1 - t;
        shape.emplace_back(u * u * a.getX() + 2 * u * t * c.getX() + t * t * b.getX(),
                           u * u * a.getY() + 2 * u * t * c.getY() + t * t * b.getY());
    }
}

// The sides of a tail curve in a little towards its middle, so it tapers to its tip like a drawn one.
graphics::PointF bowed(graphics::PointF from, graphics::PointF to, graphics::PointF middle) {
    constexpr float bow = 0.3f;
    const float mx = (from.getX() + to.getX()) / 2;
    const float my = (from.getY() + to.getY()) / 2;
    return {mx + (middle.getX() - mx) * bow, my + (middle.getY() - my) * bow};
}

// The tail's control polygon: base start, the first side's bow, the tip, the second side's bow, base end.
Shape tailControls(const Tail& tail) {
    const graphics::PointF middle((tail.baseStart.getX() + tail.tip.getX() + tail.baseEnd.getX()) / 3,
                                  (tail.baseStart.getY() + tail.tip.getY() + tail.baseEnd.getY()) / 3);
    return {tail.baseStart, bowed(tail.baseStart, tail.tip, middle), tail.tip,
            bowed(tail.tip, tail.baseEnd, middle), tail.baseEnd};
}

// The two curved sides of a control polygon, closed along the base.
Shape tailOutline(const Shape& controls) {
    constexpr int steps = 16;
    Shape shape;
    addCurve(shape, controls[0], controls[1], controls[2], steps);
    addCurve(shape, controls[2], controls[3], controls[4], steps);
    shape.push_back(controls[4]);
    return shape;
}

float signedArea(const Shape& shape) {
    float area = 0;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const graphics::PointF& a = shape[i];
        const graphics::PointF& b = shape[(i + 1) % shape.size()];
        area += a.getX() * b.getY() - b.getX() * a.getY();
    }
    return area / 2;
}

// The polygon moved inwards by `distance` along each side, corners mitred (a sharp tip keeps its point).
// Moving a tail's few control points rather than its curves keeps the sides from crossing near the tip.
Shape inset(const Shape& shape, float distance) {
    const std::size_t count = shape.size();
    // With the y axis pointing down, a positive area runs clockwise on screen and the inside lies to the
    // right of each side.
    const float side = signedArea(shape) > 0 ? 1.0f : -1.0f;
    const auto inwardNormal = [&](const graphics::PointF& a, const graphics::PointF& b) {
        const float dx = b.getX() - a.getX();
        const float dy = b.getY() - a.getY();
        const float length = std::max(0.0001f, std::hypot(dx, dy));
        return graphics::PointF(-dy / length * side, dx / length * side);
    };
    Shape result;
    for (std::size_t i = 0; i < count; ++i) {
        const graphics::PointF& before = shape[(i + count - 1) % count];
        const graphics::PointF& at = shape[i];
        const graphics::PointF& after = shape[(i + 1) % count];
        const graphics::PointF n1 = inwardNormal(before, at);
        const graphics::PointF n2 = inwardNormal(at, after);
        const float join = std::max(0.05f, 1 + n1.getX() * n2.getX() + n1.getY() * n2.getY());
        result.emplace_back(at.getX() + distance * (n1.getX() + n2.getX()) / join,
                            at.getY() + distance * (n1.getY() + n2.getY()) / join);
    }
    return result;
}

// What a piece shows, in its own coordinates: the box it is cut from (which may reach far past it) and the
// tail, if any.
struct Layout {
    Box box;
    std::vector<Tail> tails;
    // The time bar's pieces end their border here, as the frame's bottom piece ends its margin; below it
    // only the tail shows.
    float border = 0;
};

// The tails of the column pieces, leaving the border between two rows and pointing out to the tip. The hint
// dialog stands its target's feet 63 columns in from the bubble's side and 112 rows below its top, or 14
// above its bottom: the tips point at the pibble's face from a little way off.
Tail columnTail(float width, float from, float to, float tipY) {
    const float inside = width - columnBorder + 10;
    return {{inside, from}, {width - tipReach, tipY}, {inside, to}};
}

Layout layoutOf(Piece piece, float w, float h, float edge) {
    const float far = 2 * pad;
    // A left column piece: the box's left side lies 16 columns in from the piece's right side.
    const float columnX = w - columnBorder;
    const float columnW = columnBorder + far;
    switch (piece) {
    case Piece::Top:
        return {{columnX, 0, columnW, h + far, edge}, {}};
    case Piece::Edge:
        return {{columnX, -far, columnW, h + 2 * far, edge}, {}};
    case Piece::Bottom:
        return {{columnX, -far, columnW, h + far, edge}, {}};
    case Piece::ArrowUp:
        return {{columnX, 0, columnW, h + far, edge}, {columnTail(w, 45, 80, 67)}};
    case Piece::ArrowDown:
        return {{columnX, -far, columnW, h + far, edge}, {columnTail(w, h - 78, h - 45, h - 59)}};
    case Piece::BarLeft: {
        const float middle = std::round(w / 2);
        const float inside = barBorder - 10;
        const Tail down{{middle - 13, inside}, {middle, barBorder + 6}, {middle + 13, inside}};
        return {{0, -far, w + far, barBorder + far, edge}, {down}, barBorder};
    }
    case Piece::BarMiddle:
        return {{-far, -far, w + 2 * far, barBorder + far, edge}, {}, barBorder};
    case Piece::BarRight:
        return {{-far, -far, w + far, barBorder + far, edge}, {}, barBorder};
    }
    return {{0, 0, w, h, edge}, {}};
}

Box movedBox(Box box, float dx, float dy) {
    box.x += dx;
    box.y += dy;
    return box;
}

Tail movedTail(const Tail& tail, float dx, float dy) {
    const auto shift = [&](const graphics::PointF& p) {
        return graphics::PointF(p.getX() + dx, p.getY() + dy);
    };
    return {shift(tail.baseStart), shift(tail.tip), shift(tail.baseEnd)};
}

// Clears the rows below the border but for the columns of the tails and their shadows.
void clearBelowBorder(Canvas& piece, const Layout& layout) {
    const float w = static_cast<float>(piece.width());
    const float below = static_cast<float>(piece.height()) - layout.border;
    float from = 0;
    for (const Tail& tail : layout.tails) {
        const float left = std::min(tail.baseStart.getX(), tail.baseEnd.getX()) - static_cast<float>(pad) / 4;
        piece.erase(roundedRect(from, layout.border, left - from, below, 0));
        from = std::max(tail.baseStart.getX(), tail.baseEnd.getX()) + static_cast<float>(pad) / 4;
    }
    piece.erase(roundedRect(from, layout.border, w - from, below, 0));
}

} // namespace

bool isBubblePart(const std::string& part) {
    return bubblePart(part) != nullptr;
}

void drawBubblePiece(const PictureRequest& request, int, Canvas& canvas) {
    const BubblePart* part = bubblePart(request.entry.text("part"));
    if (part == nullptr) {
        return;
    }
    const Rgb rim = request.colour(frameRimColour);
    BoxLook look = boxLookOf(frameEdge);
    look.radius = cornerRadius;
    const Layout layout = layoutOf(part->piece, static_cast<float>(canvas.width()),
                                   static_cast<float>(canvas.height()), frameEdge);
    std::vector<FramedShape> shapes = {boxShapes(movedBox(layout.box, pad, pad), look)};
    for (const Tail& tail : layout.tails) {
        const Shape controls = tailControls(movedTail(tail, pad, pad));
        Shape outline = tailOutline(controls);
        Shape body = tailOutline(inset(controls, look.rim));
        shapes.push_back(framedShape(std::move(outline), std::move(body), look));
    }
    Canvas whole(canvas.width() + 2 * pad, canvas.height() + 2 * pad);
    drawFramed(whole, shapes, look, rim, paleOf(rim));
    Canvas piece = whole.cut(pad, pad, canvas.width(), canvas.height());
    if (layout.border > 0) {
        clearBelowBorder(piece, layout);
    }
    if (part->mirrored) {
        piece.mirror();
    }
    canvas.copyFrom(piece, 0, 0);
}

} // namespace mkmedia
