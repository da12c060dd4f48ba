// The ears of each look. Every ear is drawn pointing up from its root on the body's upper outline, then
// turned about the root: outward by the look's lean and the tilt, toward upright by the lift.
#include "tools/mkmedia/PibbleDetails.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb innerPink = 0xFFB3C4;
constexpr Rgb ivory = 0xFFF1D0;
constexpr Rgb glowYellow = 0xFFF08A;

struct Ear {
    float rootX;
    float rootY;
    float r;
    float side;
    float lean;
    // Above 1 the ear is drawn out along its length, as when it streams up in a fall.
    float stretch;
};

// `spread` is where the root sits on the outline (radians from the top); `lean` the ear's rest angle.
Ear earAt(const PibbleBody& body, float side, float spread, float lean, float tilt, float lift) {
    const float r = body.radius();
    const float rootX = body.cx + side * body.rx * std::sin(spread);
    const float rootY = body.cy - body.ry * std::cos(spread);
    // Lifting brings the ear toward upright (or, at -1, lays it along the body).
    const float rest = lean + tilt;
    const float angle = lift >= 0 ? rest * (1 - 0.75f * lift) : rest + (pi * 0.5f - rest) * -lift * 0.6f;
    return {rootX, rootY, r, side, side * angle, 1 + 0.22f * std::max(lift, 0.0f)};
}

Shape place(const Ear& ear, const Shape& upright) {
    return turned(scaled(upright, ear.rootX, ear.rootY, 2 - ear.stretch, ear.stretch), ear.rootX, ear.rootY,
                  ear.lean);
}

// An outlined, shaded ear with an inner part.
void drawEarShape(Canvas& canvas, const Ear& ear, const Shape& outer, const Shape& inner, Rgb colour,
                  Rgb inside) {
    canvas.over(place(ear, outer), darker(colour, 0.3f));
    canvas.overGradient(place(ear, scaled(outer, ear.rootX, ear.rootY - ear.r * 0.1f, 0.82f, 0.9f)),
                        lighter(colour, 0.3f), colour, ear.rootY - ear.r, ear.rootY);
    if (!inner.empty()) {
        canvas.over(place(ear, inner), inside);
    }
}

void drawRound(Canvas& canvas, const Ear& ear, const PibbleLook& look) {
    const float r = ear.r;
    const float cy = ear.rootY - r * 0.2f;
    drawEarShape(canvas, ear, circle(ear.rootX, cy, r * 0.3f), circle(ear.rootX, cy + r * 0.03f, r * 0.16f),
                 look.body, lighter(look.accent, 0.6f));
}

void drawBunny(Canvas& canvas, const Ear& ear, const PibbleLook& look) {
    const float r = ear.r;
    const float length = r * 0.95f;
    const float cy = ear.rootY - length * 0.55f;
    drawEarShape(canvas, ear, ellipse(ear.rootX, cy, r * 0.2f, length * 0.55f),
                 ellipse(ear.rootX, cy + length * 0.05f, r * 0.09f, length * 0.4f), look.body, innerPink);
}

// A short horn curving outward, ivory with two rings.
void drawHorn(Canvas& canvas, const Ear& ear) {
    const float r = ear.r;
    Shape horn;
    const int steps = 10;
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float half = r * 0.14f * (1 - t);
        const float x = ear.rootX + ear.side * r * 0.14f * t * t;
        const float y = ear.rootY - r * 0.5f * t;
        horn.emplace_back(x - half, y);
        horn.insert(horn.begin(), graphics::PointF(x + half, y));
    }
    const Shape placed = place(ear, horn);
    canvas.over(scaled(placed, ear.rootX, ear.rootY, 1.18f, 1.1f), darker(ivory, 0.4f));
    canvas.overGradient(placed, 0xFFFFFF, ivory, ear.rootY - r * 0.5f, ear.rootY);
    for (const float t : {0.35f, 0.6f}) {
        const float y = ear.rootY - r * 0.5f * t;
        const float half = r * 0.14f * (1 - t);
        const float x = ear.rootX + ear.side * r * 0.14f * t * t;
        canvas.over(place(ear, stroke(x - half, y, x + half, y, r * 0.04f)), darker(ivory, 0.25f));
    }
}

void drawFloppy(Canvas& canvas, const Ear& ear) {
    const float r = ear.r;
    const float cy = ear.rootY - r * 0.32f;
    drawEarShape(canvas, ear, ellipse(ear.rootX, cy, r * 0.17f, r * 0.36f),
                 ellipse(ear.rootX, cy + r * 0.04f, r * 0.08f, r * 0.24f), 0x6E6070, 0xC9A3B4);
}

void drawLeafEar(Canvas& canvas, const Ear& ear, const PibbleLook& look) {
    const float r = ear.r;
    const Rgb colour = mix(look.body, 0x3FA34D, 0.5f);
    const Shape shape = leaf(ear.rootX, ear.rootY + r * 0.05f, ear.rootX, ear.rootY - r * 0.78f, r * 0.42f);
    canvas.over(place(ear, scaled(shape, ear.rootX, ear.rootY, 1.2f, 1.06f)), darker(colour, 0.35f));
    canvas.overGradient(place(ear, shape), lighter(colour, 0.35f), colour, ear.rootY - r * 0.8f, ear.rootY);
    canvas.over(place(ear, stroke(ear.rootX, ear.rootY, ear.rootX, ear.rootY - r * 0.62f, r * 0.04f)),
                lighter(colour, 0.55f));
    for (const float t : {0.3f, 0.5f}) {
        const float y = ear.rootY - r * 0.78f * t;
        for (const float s : {-1.0f, 1.0f}) {
            canvas.over(place(ear, stroke(ear.rootX, y, ear.rootX + s * r * 0.1f, y - r * 0.1f, r * 0.03f)),
                        lighter(colour, 0.45f), 200);
        }
    }
}

// A bendy stalk ending in a glowing bobble.
void drawAntenna(Canvas& canvas, const Ear& ear, const PibbleLook& look) {
    const float r = ear.r;
    const graphics::PointF root(ear.rootX, ear.rootY);
    const graphics::PointF bend(ear.rootX - ear.side * r * 0.12f, ear.rootY - r * 0.42f);
    const graphics::PointF tip(ear.rootX + ear.side * r * 0.08f, ear.rootY - r * 0.72f);
    canvas.over(place(ear, curveBand(root, bend, tip, r * 0.09f)), darker(look.body, 0.35f));
    const float bx = tip.getX();
    const float by = tip.getY();
    canvas.over(place(ear, circle(bx, by, r * 0.2f)), glowYellow, 110,
                std::max(1, static_cast<int>(r * 0.08f)));
    canvas.over(place(ear, circle(bx, by, r * 0.14f)), darker(look.accent, 0.2f));
    canvas.overGradient(place(ear, circle(bx, by, r * 0.115f)), 0xFFFFFF, look.accent, by - r * 0.12f,
                        by + r * 0.12f);
}

// Tall and pointed with dark tips and a pale inside.
void drawFox(Canvas& canvas, const Ear& ear, const PibbleLook& look) {
    const float r = ear.r;
    const float x = ear.rootX;
    const float y = ear.rootY + r * 0.05f;
    const Shape outer = {{x - r * 0.25f, y}, {x - r * 0.12f, y - r * 0.45f}, {x - r * 0.03f, y - r * 0.76f},
                         {x, y - r * 0.8f},  {x + r * 0.03f, y - r * 0.76f}, {x + r * 0.12f, y - r * 0.45f},
                         {x + r * 0.25f, y}};
    drawEarShape(canvas, ear, outer, {}, look.body, look.body);
    const Shape inner = {{x - r * 0.13f, y - r * 0.05f}, {x, y - r * 0.55f}, {x + r * 0.13f, y - r * 0.05f}};
    canvas.over(place(ear, inner), 0xFFF4E6);
    const Shape tip = {{x - r * 0.09f, y - r * 0.56f},
                       {x - r * 0.03f, y - r * 0.76f},
                       {x, y - r * 0.82f},
                       {x + r * 0.03f, y - r * 0.76f},
                       {x + r * 0.09f, y - r * 0.56f}};
    canvas.over(place(ear, tip), 0x4A2A1E);
}

// Puffs of clown hair in three colours on each side.
void drawPompoms(Canvas& canvas, const Ear& ear) {
    const float r = ear.r;
    const Rgb colours[2][3] = {{0xFF5C8A, 0xFFCC30, 0x3A86DE}, {0x72C850, 0x8A5AD0, 0xF27E22}};
    const Rgb* set = colours[ear.side < 0 ? 0 : 1];
    const float places[3][3] = {{0.02f, -0.34f, 0.24f}, {0.24f, -0.14f, 0.22f}, {-0.18f, -0.12f, 0.2f}};
    for (int i = 0; i < 3; ++i) {
        const float x = ear.rootX + ear.side * places[i][0] * r;
        const float y = ear.rootY + places[i][1] * r;
        const float size = places[i][2] * r;
        const Shape puff = fluffyCircle(x, y, size, size, 9, 0.18f, static_cast<float>(i));
        canvas.over(place(ear, scaled(puff, x, y, 1.12f, 1.12f)), darker(set[i], 0.3f));
        canvas.overGradient(place(ear, puff), lighter(set[i], 0.4f), set[i], y - size, y + size);
    }
}

} // namespace

void drawLookEars(Canvas& canvas, const PibbleLook& look, const PibbleBody& body, float tilt, float lift) {
    // Where each shape sits and how far it leans at rest. The board draws each row over the one above it,
    // so whatever stands up leans out into the gaps between the faces of that row, never across them.
    float spread = 0.7f;
    float lean = 0.35f;
    switch (look.ears) {
    case EarShape::Round:
        spread = 0.78f;
        lean = 0.45f;
        break;
    case EarShape::Bunny:
        spread = 0.6f;
        lean = 0.5f;
        break;
    case EarShape::Horns:
        spread = 0.55f;
        lean = 0.3f;
        break;
    case EarShape::Floppy:
        spread = 0.95f;
        lean = 2.4f;
        break;
    case EarShape::Leaf:
        spread = 0.65f;
        lean = 0.75f;
        break;
    case EarShape::Antennae:
        spread = 0.58f;
        lean = 0.5f;
        break;
    case EarShape::Fox:
        spread = 0.62f;
        lean = 0.32f;
        break;
    case EarShape::Pompoms:
        spread = 0.78f;
        lean = 0.25f;
        break;
    }
    for (const float side : {-1.0f, 1.0f}) {
        const Ear ear = earAt(body, side, spread, lean, tilt, lift);
        switch (look.ears) {
        case EarShape::Round:
            drawRound(canvas, ear, look);
            break;
        case EarShape::Bunny:
            drawBunny(canvas, ear, look);
            break;
        case EarShape::Horns:
            drawHorn(canvas, ear);
            break;
        case EarShape::Floppy:
            drawFloppy(canvas, ear);
            break;
        case EarShape::Leaf:
            drawLeafEar(canvas, ear, look);
            break;
        case EarShape::Antennae:
            drawAntenna(canvas, ear, look);
            break;
        case EarShape::Fox:
            drawFox(canvas, ear, look);
            break;
        case EarShape::Pompoms:
            drawPompoms(canvas, ear);
            break;
        }
    }
}

} // namespace mkmedia
