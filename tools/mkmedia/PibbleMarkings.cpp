// The body markings: each look's own, so that its kind reads by shape as well as by hue. They lie in the
// parts of the fur that the face leaves free: the crown, the sides and the belly.
#include "tools/mkmedia/PibbleDetails.h"

#include <array>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;

// Tiger stripes: three on the crown, two on each side.
void drawStripes(Canvas& layer, const PibbleLook& look, const PibbleBody& b) {
    const float r = b.radius();
    for (const float x : {-0.52f, -0.22f, 0.22f, 0.52f}) {
        const float reach = std::abs(x) < 0.3f ? 0.34f : 0.26f;
        layer.over(leaf(b.cx + x * r, b.cy - b.ry * 1.08f, b.cx + x * r * 0.85f, b.cy - b.ry * (1.0f - reach),
                        r * 0.15f),
                   look.accent);
    }
    for (const float side : {-1.0f, 1.0f}) {
        for (const float y : {0.05f, 0.38f}) {
            layer.over(leaf(b.cx + side * b.rx * 1.08f, b.cy + y * r, b.cx + side * b.rx * 0.66f,
                            b.cy + (y + 0.06f) * r, r * 0.15f),
                       look.accent);
        }
    }
}

// A white fluffy tummy.
void drawTummy(Canvas& layer, const PibbleBody& b) {
    const float r = b.radius();
    const float cy = b.cy + b.ry * 0.72f;
    layer.over(fluffyCircle(b.cx, cy, r * 0.58f, r * 0.42f, 12, 0.1f, 0.3f), white, 240);
}

// Dark round spots, as a ladybird's.
void drawSpots(Canvas& layer, const PibbleLook& look, const PibbleBody& b) {
    const float r = b.radius();
    const float spots[][3] = {{-0.5f, -0.62f, 0.15f}, {0.44f, -0.7f, 0.12f}, {0.02f, -0.9f, 0.09f},
                              {-0.86f, 0.12f, 0.14f}, {0.84f, 0.28f, 0.16f}, {-0.42f, 0.84f, 0.11f},
                              {0.4f, 0.86f, 0.09f}};
    for (const auto& spot : spots) {
        layer.over(circle(b.cx + spot[0] * b.rx, b.cy + spot[1] * b.ry, spot[2] * r), look.accent, 230);
    }
}

// Fleece: little curls all over.
void drawCurls(Canvas& layer, const PibbleLook& look, const PibbleBody& b) {
    const float r = b.radius();
    const float curls[][2] = {{-0.55f, -0.55f}, {0.0f, -0.72f}, {0.55f, -0.5f}, {-0.8f, 0.1f},
                              {0.8f, 0.15f},    {-0.5f, 0.72f}, {0.05f, 0.86f}, {0.55f, 0.7f}};
    for (int i = 0; i < static_cast<int>(std::size(curls)); ++i) {
        const float x = b.cx + curls[i][0] * b.rx;
        const float y = b.cy + curls[i][1] * b.ry;
        const float turn = static_cast<float>(i) * 1.3f;
        layer.over(arcBand(x, y, r * 0.12f, r * 0.055f, turn, turn + 1.5f * pi), look.accent, 220);
    }
}

// A little sprout of two leaves on top of the head, short enough to stay below the face of the pibble
// above.
void drawSprout(Canvas& canvas, const PibbleLook& look, const PibbleBody& b) {
    const float r = b.radius();
    const float baseY = b.cy - b.ry * 0.92f;
    const graphics::PointF base(b.cx, baseY);
    const graphics::PointF top(b.cx + r * 0.06f, baseY - r * 0.3f);
    const Rgb stem = darker(look.accent, 0.1f);
    canvas.over(curveBand(base, graphics::PointF(b.cx - r * 0.08f, baseY - r * 0.2f), top, r * 0.08f), stem);
    for (const float side : {-1.0f, 1.0f}) {
        const float tipX = top.getX() + side * r * 0.38f;
        const float tipY = top.getY() - r * 0.14f + side * r * 0.04f;
        const Shape blade = leaf(top.getX(), top.getY(), tipX, tipY, r * 0.24f);
        canvas.over(scaled(blade, top.getX(), top.getY(), 1.15f, 1.25f), darker(look.accent, 0.3f));
        canvas.overGradient(blade, lighter(look.accent, 0.45f), look.accent, tipY - r * 0.1f,
                            tipY + r * 0.1f);
    }
}

// A sprinkle of little stars, as a night sky.
void drawStars(Canvas& layer, const PibbleLook& look, const PibbleBody& b) {
    const float r = b.radius();
    const float stars[][3] = {{-0.48f, -0.62f, 0.15f}, {0.38f, -0.74f, 0.11f}, {-0.84f, 0.2f, 0.12f},
                              {0.86f, 0.08f, 0.14f},   {-0.3f, 0.86f, 0.1f},   {0.5f, 0.78f, 0.12f}};
    for (const auto& s : stars) {
        layer.over(star(b.cx + s[0] * b.rx, b.cy + s[1] * b.ry, s[2] * r, s[2] * r * 0.45f, 5), look.accent);
    }
    for (const auto& dot : {std::array<float, 2>{0.05f, -0.9f}, std::array<float, 2>{-0.7f, -0.2f},
                            std::array<float, 2>{0.7f, 0.5f}}) {
        layer.over(circle(b.cx + dot[0] * b.rx, b.cy + dot[1] * b.ry, r * 0.045f), look.accent);
    }
}

// A fox's white cheeks and chin, pointed at the sides.
void drawBib(Canvas& layer, const PibbleBody& b) {
    const float r = b.radius();
    for (const float side : {-1.0f, 1.0f}) {
        layer.over(leaf(b.cx + side * b.rx * 1.05f, b.cy + r * 0.08f, b.cx - side * r * 0.15f,
                        b.cy + b.ry * 0.95f, r * 0.7f),
                   white, 245);
    }
    layer.over(ellipse(b.cx, b.cy + b.ry * 0.78f, r * 0.5f, r * 0.3f), white, 245);
}

// A clown's suit of diamonds in every colour.
void drawHarlequin(Canvas& layer, const PibbleBody& b) {
    const float r = b.radius();
    constexpr Rgb colours[] = {0xFFCC30, 0x3A86DE, 0xEC4F48, 0x72C850, 0x6234AE, 0xF27E22};
    const float size = r * 0.48f;
    int index = 0;
    for (int row = -3; row <= 3; ++row) {
        for (int column = -3; column <= 3; ++column) {
            const float x = b.cx + static_cast<float>(column) * size + (row % 2 == 0 ? 0.0f : size / 2);
            const float y = b.cy + static_cast<float>(row) * size * 0.9f;
            const Shape diamond = {
                {x, y - size * 0.42f}, {x + size * 0.3f, y}, {x, y + size * 0.42f}, {x - size * 0.3f, y}};
            layer.over(diamond, colours[index++ % std::size(colours)], 230);
        }
    }
}

} // namespace

void stampInside(Canvas& canvas, Canvas& layer, const Shape& outline) {
    layer.clipTo(outline);
    canvas.stamp(layer.image(), 0, 0);
}

void drawMarking(Canvas& canvas, const PibbleLook& look, const PibbleBody& body, const Shape& outline) {
    Canvas layer(canvas.width(), canvas.height());
    switch (look.marking) {
    case Marking::Stripes:
        drawStripes(layer, look, body);
        break;
    case Marking::Tummy:
        drawTummy(layer, body);
        break;
    case Marking::Spots:
        drawSpots(layer, look, body);
        break;
    case Marking::Fleece:
        drawCurls(layer, look, body);
        break;
    case Marking::Sprout:
        drawSprout(canvas, look, body);
        return;
    case Marking::Stars:
        drawStars(layer, look, body);
        break;
    case Marking::Bib:
        drawBib(layer, body);
        break;
    case Marking::Harlequin:
        drawHarlequin(layer, body);
        break;
    }
    stampInside(canvas, layer, outline);
}

} // namespace mkmedia
