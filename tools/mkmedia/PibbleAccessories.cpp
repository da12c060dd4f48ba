// What makes each collectable pibble its own: a pattern over its fur and an accessory in front of its face.
// Everything is placed by the body and the face, so it fits any pose.
#include "tools/mkmedia/PibbleLooks.h"

#include <array>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb gold = 0xFFC93C;
constexpr Rgb leafGreen = 0x4CB548;
// Tall hats lean over to the side by this much (radians): on the board the row below is drawn over the
// one above, and an upright hat would stand in front of the face above it.
constexpr float hatTilt = 0.45f;

// What an accessory is placed by.
struct Frame {
    float cx;
    float cy;
    float r;
    // The top of the head and the face's features.
    float top;
    PibbleFace face;
};

Frame frameOf(const PibblePose& pose) {
    const PibbleBody body = bodyOf(pose);
    return {body.cx, body.cy, body.radius(), body.cy - body.ry, faceOf(pose)};
}

// A part with a darker outline and a top-lit fill.
void outlined(Canvas& canvas, const Shape& shape, Rgb colour, float y0, float y1) {
    canvas.over(shape, darker(colour, 0.45f), 255);
    const float cx = [&] {
        float sum = 0;
        for (const graphics::PointF& point : shape) {
            sum += point.getX();
        }
        return sum / static_cast<float>(shape.size());
    }();
    const float cy = (y0 + y1) / 2;
    canvas.overGradient(scaled(shape, cx, cy, 0.86f, 0.84f), lighter(colour, 0.3f), colour, y0, y1);
}

void flower(Canvas& canvas, float x, float y, float size, Rgb petals) {
    for (int i = 0; i < 5; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 5;
        canvas.over(circle(x + std::cos(a) * size * 0.55f, y + std::sin(a) * size * 0.55f, size * 0.42f),
                    darker(petals, 0.15f));
        canvas.over(circle(x + std::cos(a) * size * 0.52f, y + std::sin(a) * size * 0.52f, size * 0.34f),
                    petals);
    }
    canvas.over(circle(x, y, size * 0.3f), 0xFFC93C);
}

void drawPatternShapes(Canvas& layer, const Collectable& design, const Frame& f) {
    const float r = f.r;
    const Rgb c = design.patternColour;
    switch (design.pattern) {
    case Pattern::Plain:
        break;
    case Pattern::Dots:
        for (int row = -2; row <= 2; ++row) {
            for (int column = -2; column <= 2; ++column) {
                const float x = f.cx + (static_cast<float>(column) + (row % 2 == 0 ? 0.0f : 0.5f)) * r * 0.5f;
                layer.over(circle(x, f.cy + static_cast<float>(row) * r * 0.45f, r * 0.1f), c, 230);
            }
        }
        break;
    case Pattern::Stripes:
        for (int i = -3; i <= 3; ++i) {
            const float y = f.cy + static_cast<float>(i) * r * 0.32f;
            layer.over(roundedRect(f.cx - r * 1.2f, y - r * 0.07f, r * 2.4f, r * 0.14f, r * 0.07f), c, 220);
        }
        break;
    case Pattern::Stars:
    case Pattern::Hearts:
    case Pattern::Flowers:
        for (const auto& spot : {std::array<float, 2>{-0.55f, -0.6f}, std::array<float, 2>{0.5f, -0.65f},
                                 std::array<float, 2>{0.0f, -0.85f}, std::array<float, 2>{-0.85f, 0.15f},
                                 std::array<float, 2>{0.85f, 0.2f}, std::array<float, 2>{-0.45f, 0.8f},
                                 std::array<float, 2>{0.45f, 0.82f}}) {
            const float x = f.cx + spot[0] * r;
            const float y = f.cy + spot[1] * r;
            if (design.pattern == Pattern::Stars) {
                layer.over(star(x, y, r * 0.15f, r * 0.07f, 5), c);
            } else if (design.pattern == Pattern::Hearts) {
                layer.over(heart(x, y, r * 0.26f), c);
            } else {
                flower(layer, x, y, r * 0.2f, c);
            }
        }
        break;
    case Pattern::Checks:
        for (int row = -3; row <= 3; ++row) {
            for (int column = -3; column <= 3; ++column) {
                if ((row + column) % 2 == 0) {
                    const float size = r * 0.36f;
                    layer.over(roundedRect(f.cx + static_cast<float>(column) * size - size / 2,
                                           f.cy + static_cast<float>(row) * size - size / 2, size, size, 1),
                               c, 150);
                }
            }
        }
        break;
    case Pattern::Zigzag:
        for (int band = -2; band <= 2; ++band) {
            const float y = f.cy + static_cast<float>(band) * r * 0.45f;
            for (int i = -4; i < 4; ++i) {
                const float x0 = f.cx + static_cast<float>(i) * r * 0.3f;
                const float dy = (i % 2 == 0 ? 1.0f : -1.0f) * r * 0.1f;
                layer.over(stroke(x0, y - dy, x0 + r * 0.3f, y + dy, r * 0.1f), c, 230);
            }
        }
        break;
    case Pattern::Patches:
        layer.over(fluffyCircle(f.cx - r * 0.7f, f.cy - r * 0.55f, r * 0.4f, r * 0.32f, 5, 0.2f, 0.5f), c,
                   235);
        layer.over(fluffyCircle(f.cx + r * 0.8f, f.cy + r * 0.2f, r * 0.36f, r * 0.42f, 5, 0.2f, 1.5f), c,
                   235);
        layer.over(fluffyCircle(f.cx - r * 0.3f, f.cy + r * 0.9f, r * 0.35f, r * 0.25f, 5, 0.2f, 2.5f), c,
                   235);
        break;
    case Pattern::Freckles:
        for (int i = 0; i < 14; ++i) {
            const float a = static_cast<float>(i) * 2.39996f;
            const float d = r * (0.45f + 0.5f * std::fmod(static_cast<float>(i) * 0.37f, 1.0f));
            layer.over(circle(f.cx + std::cos(a) * d, f.cy + std::sin(a) * d, r * 0.05f), c, 220);
        }
        break;
    case Pattern::Swirls:
        for (const auto& spot : {std::array<float, 2>{-0.55f, -0.55f}, std::array<float, 2>{0.55f, -0.5f},
                                 std::array<float, 2>{-0.75f, 0.45f}, std::array<float, 2>{0.7f, 0.55f}}) {
            const float x = f.cx + spot[0] * r;
            const float y = f.cy + spot[1] * r;
            layer.over(arcBand(x, y, r * 0.17f, r * 0.07f, 0, 1.6f * pi), c, 230);
            layer.over(arcBand(x + r * 0.05f, y, r * 0.07f, r * 0.06f, pi, 2.4f * pi), c, 230);
        }
        break;
    }
}

// Head wear.

void drawBow(Canvas& c, const Frame& f, Rgb colour) {
    const float x = f.cx + f.r * 0.5f;
    const float y = f.top + f.r * 0.18f;
    for (const float side : {-1.0f, 1.0f}) {
        const Shape loop =
            turned(ellipse(x + side * f.r * 0.2f, y, f.r * 0.2f, f.r * 0.13f), x, y, side * 0.35f);
        outlined(c, loop, colour, y - f.r * 0.15f, y + f.r * 0.15f);
    }
    outlined(c, circle(x, y, f.r * 0.09f), colour, y - f.r * 0.1f, y + f.r * 0.1f);
}

void drawCrown(Canvas& c, const Frame& f, Rgb colour, bool small) {
    const float w = f.r * (small ? 0.75f : 0.95f);
    const float h = f.r * (small ? 0.4f : 0.52f);
    const float x = f.cx;
    const float base = f.top + f.r * 0.14f;
    const Shape crown = {{x - w / 2, base}, {x - w / 2, base - h * 0.55f}, {x - w / 4, base - h * 0.3f},
                         {x, base - h},     {x + w / 4, base - h * 0.3f},  {x + w / 2, base - h * 0.55f},
                         {x + w / 2, base}};
    outlined(c, crown, colour, base - h, base);
    const Rgb gems[] = {0xE8323A, 0x3F8FE8, 0x4CB548};
    for (int i = -1; i <= 1; ++i) {
        c.over(circle(x + static_cast<float>(i) * w * 0.28f, base - h * 0.18f, f.r * 0.05f), gems[i + 1]);
    }
    for (const float tip : {-0.5f, 0.0f, 0.5f}) {
        const float ty = tip == 0.0f ? base - h : base - h * 0.55f;
        c.over(circle(x + tip * w, ty, f.r * 0.06f), small ? 0xFF7FB0 : lighter(colour, 0.5f));
    }
}

// Worn at a jaunty angle, its crown leaning into the gap between the faces above.
void drawTopHat(Canvas& c, const Frame& f, Rgb colour) {
    const float brimY = f.top + f.r * 0.12f;
    const auto tilt = [&](const Shape& shape) { return turned(shape, f.cx, brimY, hatTilt); };
    outlined(c, tilt(ellipse(f.cx, brimY, f.r * 0.6f, f.r * 0.13f)), colour, brimY - 3, brimY + 3);
    outlined(c,
             tilt(roundedRect(f.cx - f.r * 0.34f, brimY - f.r * 0.5f, f.r * 0.68f, f.r * 0.52f, f.r * 0.06f)),
             colour, brimY - f.r * 0.5f, brimY);
    c.over(tilt(roundedRect(f.cx - f.r * 0.31f, brimY - f.r * 0.22f, f.r * 0.62f, f.r * 0.14f, 1)), 0xE8403A);
}

// A knitted cap over the crown with a rim and, unless a propeller sits on it, a pompom.
void drawCap(Canvas& c, const Frame& f, Rgb colour, bool pompom) {
    const float rimY = f.top + f.r * 0.34f;
    Shape dome;
    for (int i = 0; i <= 16; ++i) {
        const float a = pi + pi * static_cast<float>(i) / 16;
        dome.emplace_back(f.cx + std::cos(a) * f.r * 0.82f, rimY + std::sin(a) * f.r * 0.6f);
    }
    outlined(c, dome, colour, rimY - f.r * 0.6f, rimY);
    outlined(c, roundedRect(f.cx - f.r * 0.86f, rimY - f.r * 0.12f, f.r * 1.72f, f.r * 0.2f, f.r * 0.08f),
             lighter(colour, 0.35f), rimY - f.r * 0.12f, rimY + f.r * 0.08f);
    for (int i = -3; i <= 3; ++i) {
        const float x = f.cx + static_cast<float>(i) * f.r * 0.2f;
        c.over(stroke(x, rimY - f.r * 0.5f + std::abs(static_cast<float>(i)) * f.r * 0.07f, x,
                      rimY - f.r * 0.15f, f.r * 0.04f),
               darker(colour, 0.15f), 160);
    }
    if (pompom) {
        const float y = rimY - f.r * 0.62f;
        c.over(fluffyCircle(f.cx, y, f.r * 0.17f, f.r * 0.17f, 8, 0.2f, 0), darker(white, 0.2f));
        c.over(fluffyCircle(f.cx, y, f.r * 0.14f, f.r * 0.14f, 8, 0.2f, 0), white);
    }
}

void drawBaseballCap(Canvas& c, const Frame& f, Rgb colour) {
    const float rimY = f.top + f.r * 0.32f;
    Shape dome;
    for (int i = 0; i <= 16; ++i) {
        const float a = pi + pi * static_cast<float>(i) / 16;
        dome.emplace_back(f.cx + std::cos(a) * f.r * 0.78f, rimY + std::sin(a) * f.r * 0.55f);
    }
    outlined(c, dome, colour, rimY - f.r * 0.55f, rimY);
    outlined(c, ellipse(f.cx + f.r * 0.72f, rimY - f.r * 0.02f, f.r * 0.45f, f.r * 0.12f),
             darker(colour, 0.1f), rimY - 3, rimY + 3);
    c.over(circle(f.cx, rimY - f.r * 0.55f, f.r * 0.07f), darker(colour, 0.3f));
}

void drawBandana(Canvas& c, const Frame& f, Rgb colour) {
    drawBaseballCap(c, f, colour);
    const float y = f.top + f.r * 0.25f;
    for (const float lean : {-0.5f, 0.3f}) {
        c.over(turned(leaf(f.cx - f.r * 0.8f, y, f.cx - f.r * 1.2f, y + f.r * 0.35f, f.r * 0.2f),
                      f.cx - f.r * 0.8f, y, lean),
               darker(colour, 0.1f));
    }
    for (const auto& dot : {std::array<float, 2>{-0.4f, 0.05f}, std::array<float, 2>{0.0f, -0.15f},
                            std::array<float, 2>{0.35f, 0.05f}}) {
        c.over(circle(f.cx + dot[0] * f.r, y + dot[1] * f.r, f.r * 0.05f), white);
    }
}

// Close over the crown, where it stays clear of the face above.
void drawHalo(Canvas& c, const Frame& f, Rgb colour) {
    const float y = f.top - f.r * 0.22f;
    c.over(ellipse(f.cx, y, f.r * 0.58f, f.r * 0.2f), lighter(colour, 0.4f), 110, 2);
    const Shape ring = scaled(arcBand(f.cx, y, f.r * 0.48f, f.r * 0.12f, 0, 2 * pi), f.cx, y, 1.0f, 0.3f);
    c.over(ring, darker(colour, 0.25f));
    c.over(scaled(arcBand(f.cx, y, f.r * 0.48f, f.r * 0.07f, 0, 2 * pi), f.cx, y, 1.0f, 0.3f),
           lighter(colour, 0.4f));
}

// A soft toque flopping over to one side, further than a stiff hat, into the gap between the faces above.
void drawChefHat(Canvas& c, const Frame& f, Rgb colour) {
    const float band = f.top + f.r * 0.2f;
    const auto tilt = [&](const Shape& shape) {
        return turned(shape, f.cx - f.r * 0.4f, band, hatTilt * 1.6f);
    };
    for (const auto& puff :
         {std::array<float, 3>{-0.26f, -0.44f, 0.25f}, std::array<float, 3>{0.26f, -0.44f, 0.25f},
          std::array<float, 3>{0.0f, -0.5f, 0.26f}}) {
        const float x = f.cx + puff[0] * f.r;
        const float y = band + puff[1] * f.r;
        outlined(c, tilt(circle(x, y, puff[2] * f.r)), colour, y - puff[2] * f.r, y + puff[2] * f.r);
    }
    outlined(c, tilt(roundedRect(f.cx - f.r * 0.5f, band - f.r * 0.4f, f.r, f.r * 0.45f, f.r * 0.08f)),
             colour, band - f.r * 0.4f, band);
}

// Its tall cone bends over to the side, into the gap between the faces above.
void drawWitchHat(Canvas& c, const Frame& f, Rgb colour) {
    const float brimY = f.top + f.r * 0.14f;
    const auto tilt = [&](const Shape& shape) { return turned(shape, f.cx, brimY, hatTilt); };
    const Shape cone = {{f.cx - f.r * 0.4f, brimY},
                        {f.cx - f.r * 0.08f, brimY - f.r * 0.66f},
                        {f.cx + f.r * 0.5f, brimY - f.r * 0.86f},
                        {f.cx + f.r * 0.16f, brimY - f.r * 0.56f},
                        {f.cx + f.r * 0.4f, brimY}};
    outlined(c, tilt(ellipse(f.cx, brimY, f.r * 0.75f, f.r * 0.14f)), colour, brimY - 3, brimY + 3);
    outlined(c, tilt(cone), colour, brimY - f.r * 0.86f, brimY);
    c.over(tilt(roundedRect(f.cx - f.r * 0.37f, brimY - f.r * 0.22f, f.r * 0.74f, f.r * 0.14f, 1)), 0xFFB347);
    c.over(tilt(roundedRect(f.cx - f.r * 0.08f, brimY - f.r * 0.24f, f.r * 0.16f, f.r * 0.18f, 1)), gold);
}

void drawSailorHat(Canvas& c, const Frame& f, Rgb colour) {
    const float rimY = f.top + f.r * 0.24f;
    Shape dome;
    for (int i = 0; i <= 16; ++i) {
        const float a = pi + pi * static_cast<float>(i) / 16;
        dome.emplace_back(f.cx + std::cos(a) * f.r * 0.62f, rimY + std::sin(a) * f.r * 0.42f);
    }
    outlined(c, dome, colour, rimY - f.r * 0.42f, rimY);
    outlined(c, roundedRect(f.cx - f.r * 0.75f, rimY - f.r * 0.1f, f.r * 1.5f, f.r * 0.2f, f.r * 0.1f),
             colour, rimY - f.r * 0.1f, rimY + f.r * 0.1f);
    c.over(roundedRect(f.cx - f.r * 0.6f, rimY - f.r * 0.2f, f.r * 1.2f, f.r * 0.1f, 1), 0x2E4FA8);
}

void drawPropellerCap(Canvas& c, const Frame& f, Rgb colour) {
    drawCap(c, f, colour, false);
    const float y = f.top - f.r * 0.38f;
    c.over(stroke(f.cx, y, f.cx, y + f.r * 0.2f, f.r * 0.06f), 0x6A6A78);
    c.over(leaf(f.cx, y, f.cx - f.r * 0.5f, y - f.r * 0.06f, f.r * 0.17f), 0x3F8FE8);
    c.over(leaf(f.cx, y, f.cx + f.r * 0.5f, y + f.r * 0.06f, f.r * 0.17f), 0xFFC93C);
    c.over(circle(f.cx, y, f.r * 0.06f), 0xE8403A);
}

void drawFlowerCrown(Canvas& c, const Frame& f, Rgb colour) {
    const Rgb petals[] = {colour, 0xFFB8D8, 0xFFF08A, 0xB8E0FF, colour};
    for (int i = 0; i < 5; ++i) {
        const float a = pi * (1.18f + 0.16f * static_cast<float>(i));
        const float x = f.cx + std::cos(a) * f.r * 0.85f;
        const float y = f.cy + std::sin(a) * f.r * 0.85f;
        c.over(leaf(x, y, x + f.r * 0.2f, y - f.r * 0.05f, f.r * 0.1f), leafGreen);
        flower(c, x, y, f.r * 0.16f, petals[i]);
    }
}

void drawCherries(Canvas& c, const Frame& f, Rgb colour) {
    const float x = f.cx - f.r * 0.5f;
    const float y = f.top + f.r * 0.25f;
    const graphics::PointF joint(x + f.r * 0.05f, y - f.r * 0.4f);
    for (const float side : {-1.0f, 1.0f}) {
        const float bx = x + side * f.r * 0.16f;
        c.over(curveBand(graphics::PointF(bx, y), graphics::PointF(bx, y - f.r * 0.2f), joint, f.r * 0.04f),
               0x4E8A2E);
        outlined(c, circle(bx, y, f.r * 0.15f), colour, y - f.r * 0.15f, y + f.r * 0.15f);
        c.over(circle(bx - f.r * 0.05f, y - f.r * 0.05f, f.r * 0.04f), white, 220);
    }
    c.over(
        leaf(joint.getX(), joint.getY(), joint.getX() + f.r * 0.3f, joint.getY() - f.r * 0.08f, f.r * 0.12f),
        leafGreen);
}

// Face wear.

void drawGlasses(Canvas& c, const Frame& f, Rgb colour, bool dark) {
    const PibbleFace& face = f.face;
    for (const float side : {-1.0f, 1.0f}) {
        const float x = face.cx + side * face.eyeOffset;
        if (dark) {
            const Shape lens = roundedRect(x - face.eyeSize * 1.05f, face.eyeY - face.eyeSize * 0.85f,
                                           face.eyeSize * 2.1f, face.eyeSize * 1.6f, face.eyeSize * 0.6f);
            c.over(lens, colour);
            c.over(stroke(x - face.eyeSize * 0.5f, face.eyeY - face.eyeSize * 0.1f, x - face.eyeSize * 0.1f,
                          face.eyeY - face.eyeSize * 0.5f, face.eyeSize * 0.22f),
                   white, 150);
        } else {
            c.over(circle(x, face.eyeY, face.eyeSize * 1.2f), white, 50);
            c.over(arcBand(x, face.eyeY, face.eyeSize * 1.2f, face.eyeSize * 0.22f, 0, 2 * pi), colour);
        }
    }
    c.over(arcBand(face.cx, face.eyeY + face.eyeSize * 0.1f, face.eyeOffset - face.eyeSize * 1.1f,
                   face.eyeSize * 0.2f, 1.1f * pi, 1.9f * pi),
           colour);
}

void drawEyePatch(Canvas& c, const Frame& f, Rgb colour) {
    const PibbleFace& face = f.face;
    const float x = face.cx - face.eyeOffset;
    c.over(
        stroke(f.cx - f.r * 0.95f, f.cy - f.r * 0.05f, f.cx + f.r * 0.7f, f.top + f.r * 0.15f, f.r * 0.06f),
        colour);
    c.over(ellipse(x, face.eyeY, face.eyeSize * 1.05f, face.eyeSize * 1.15f), colour);
    c.over(ellipse(x - face.eyeSize * 0.3f, face.eyeY - face.eyeSize * 0.4f, face.eyeSize * 0.3f,
                   face.eyeSize * 0.2f),
           white, 70);
}

void drawMonocle(Canvas& c, const Frame& f, Rgb colour) {
    const PibbleFace& face = f.face;
    const float x = face.cx + face.eyeOffset;
    c.over(circle(x, face.eyeY, face.eyeSize * 1.25f), white, 60);
    c.over(arcBand(x, face.eyeY, face.eyeSize * 1.25f, face.eyeSize * 0.25f, 0, 2 * pi), colour);
    c.over(curveBand(graphics::PointF(x + face.eyeSize * 0.9f, face.eyeY + face.eyeSize * 0.9f),
                     graphics::PointF(x + face.eyeSize * 1.6f, face.eyeY + face.eyeSize * 3.0f),
                     graphics::PointF(x + face.eyeSize * 0.2f, face.eyeY + face.eyeSize * 3.2f),
                     f.r * 0.035f),
           colour);
}

void drawMoustache(Canvas& c, const Frame& f, Rgb colour) {
    const PibbleFace& face = f.face;
    const float y = face.mouthY - f.r * 0.08f;
    for (const float side : {-1.0f, 1.0f}) {
        c.over(curveBand(graphics::PointF(face.cx, y),
                         graphics::PointF(face.cx + side * f.r * 0.25f, y + f.r * 0.12f),
                         graphics::PointF(face.cx + side * f.r * 0.42f, y - f.r * 0.06f), f.r * 0.13f),
               colour);
    }
}

void drawMask(Canvas& c, const Frame& f, Rgb colour) {
    const PibbleFace& face = f.face;
    Canvas mask(c.width(), c.height());
    const Shape band =
        roundedRect(face.cx - face.eyeOffset - face.eyeSize * 1.6f, face.eyeY - face.eyeSize * 1.1f,
                    2 * (face.eyeOffset + face.eyeSize * 1.6f), face.eyeSize * 2.1f, face.eyeSize * 0.9f);
    mask.over(band, colour);
    for (const float side : {-1.0f, 1.0f}) {
        mask.erase(
            ellipse(face.cx + side * face.eyeOffset, face.eyeY, face.eyeSize * 0.92f, face.eyeSize * 1.12f));
        mask.over(leaf(face.cx + side * (face.eyeOffset + face.eyeSize * 1.3f), face.eyeY,
                       face.cx + side * (face.eyeOffset + face.eyeSize * 2.6f),
                       face.eyeY + face.eyeSize * 0.8f, face.eyeSize * 0.5f),
                  colour);
    }
    c.stamp(mask.image(), 0, 0);
}

void drawBubble(Canvas& c, const Frame& f, Rgb colour) {
    const float x = f.face.cx + f.r * 0.08f;
    const float y = f.face.mouthY + f.r * 0.16f;
    const float size = f.r * 0.36f;
    c.over(circle(x, y, size), darker(colour, 0.2f), 235);
    c.over(circle(x, y, size * 0.9f), colour, 220);
    c.over(ellipse(x - size * 0.4f, y - size * 0.4f, size * 0.25f, size * 0.15f), white, 200);
}

// Round the neck and on the chest.

// The collar line: a smile-shaped band across the lower body.
Shape collar(const Frame& f, float thickness) {
    return arcBand(f.cx, f.cy - f.r * 0.55f, f.r * 1.12f, thickness, 0.3f * pi, 0.7f * pi);
}

void drawBowTie(Canvas& c, const Frame& f, Rgb colour) {
    const float x = f.cx;
    const float y = f.cy + f.r * 0.58f;
    for (const float side : {-1.0f, 1.0f}) {
        const Shape wing = {
            {x, y}, {x + side * f.r * 0.36f, y - f.r * 0.17f}, {x + side * f.r * 0.36f, y + f.r * 0.17f}};
        outlined(c, wing, colour, y - f.r * 0.17f, y + f.r * 0.17f);
    }
    outlined(c, circle(x, y, f.r * 0.08f), colour, y - 2, y + 2);
}

void drawBell(Canvas& c, const Frame& f, Rgb colour) {
    c.over(collar(f, f.r * 0.12f), 0xE8403A);
    const float y = f.cy + f.r * 0.66f;
    outlined(c, circle(f.cx, y, f.r * 0.15f), colour, y - f.r * 0.15f, y + f.r * 0.15f);
    c.over(stroke(f.cx, y + f.r * 0.02f, f.cx, y + f.r * 0.12f, f.r * 0.04f), darker(colour, 0.5f));
}

void drawScarf(Canvas& c, const Frame& f, Rgb colour) {
    c.over(collar(f, f.r * 0.24f), darker(colour, 0.3f));
    c.over(collar(f, f.r * 0.18f), colour);
    const float x = f.cx + f.r * 0.45f;
    const float y = f.cy + f.r * 0.52f;
    outlined(c, roundedRect(x - f.r * 0.1f, y, f.r * 0.22f, f.r * 0.45f, f.r * 0.05f), colour, y,
             y + f.r * 0.45f);
    for (const float t : {0.15f, 0.3f}) {
        c.over(stroke(x - f.r * 0.08f, y + f.r * t, x + f.r * 0.1f, y + f.r * t, f.r * 0.05f), white, 200);
    }
}

void drawPearls(Canvas& c, const Frame& f, Rgb colour) {
    for (int i = 0; i <= 8; ++i) {
        const float a = pi * (0.28f + 0.055f * static_cast<float>(i));
        const float x = f.cx + std::cos(a) * f.r * 1.12f;
        const float y = f.cy - f.r * 0.55f + std::sin(a) * f.r * 1.12f;
        c.over(circle(x, y, f.r * 0.1f), darker(colour, 0.4f));
        c.over(circle(x - f.r * 0.02f, y - f.r * 0.02f, f.r * 0.07f), colour);
    }
}

void drawMedal(Canvas& c, const Frame& f, Rgb colour) {
    const float y = f.cy + f.r * 0.68f;
    c.over({{f.cx - f.r * 0.22f, y - f.r * 0.35f},
            {f.cx - f.r * 0.05f, y - f.r * 0.35f},
            {f.cx + f.r * 0.02f, y}},
           0x3F6FD6);
    c.over({{f.cx + f.r * 0.22f, y - f.r * 0.35f},
            {f.cx + f.r * 0.05f, y - f.r * 0.35f},
            {f.cx - f.r * 0.02f, y}},
           0xE8403A);
    outlined(c, circle(f.cx, y, f.r * 0.16f), colour, y - f.r * 0.16f, y + f.r * 0.16f);
    c.over(star(f.cx, y, f.r * 0.09f, f.r * 0.04f, 5), darker(colour, 0.35f));
}

void drawTie(Canvas& c, const Frame& f, Rgb colour) {
    const float y = f.cy + f.r * 0.5f;
    const Shape tie = {{f.cx - f.r * 0.07f, y + f.r * 0.08f},
                       {f.cx + f.r * 0.07f, y + f.r * 0.08f},
                       {f.cx + f.r * 0.13f, y + f.r * 0.42f},
                       {f.cx, y + f.r * 0.52f},
                       {f.cx - f.r * 0.13f, y + f.r * 0.42f}};
    outlined(c, tie, colour, y, y + f.r * 0.5f);
    outlined(c, roundedRect(f.cx - f.r * 0.1f, y - f.r * 0.04f, f.r * 0.2f, f.r * 0.14f, f.r * 0.04f), colour,
             y, y + f.r * 0.1f);
    c.over(stroke(f.cx - f.r * 0.08f, y + f.r * 0.25f, f.cx + f.r * 0.08f, y + f.r * 0.18f, f.r * 0.04f),
           white, 170);
}

// On the ears' place.

void drawHeadphones(Canvas& c, const Frame& f, Rgb colour) {
    c.over(arcBand(f.cx, f.cy - f.r * 0.05f, f.r * 1.06f, f.r * 0.12f, 1.08f * pi, 1.92f * pi), colour);
    for (const float side : {-1.0f, 1.0f}) {
        const float x = f.cx + side * f.r * 0.98f;
        const float y = f.cy - f.r * 0.1f;
        outlined(c, roundedRect(x - f.r * 0.14f, y - f.r * 0.25f, f.r * 0.28f, f.r * 0.5f, f.r * 0.12f),
                 colour, y - f.r * 0.25f, y + f.r * 0.25f);
        c.over(circle(x, y, f.r * 0.06f), 0xFF6F91);
    }
}

void drawEarmuffs(Canvas& c, const Frame& f, Rgb colour) {
    c.over(arcBand(f.cx, f.cy - f.r * 0.05f, f.r * 1.04f, f.r * 0.08f, 1.1f * pi, 1.9f * pi), 0xB8B0C8);
    for (const float side : {-1.0f, 1.0f}) {
        const float x = f.cx + side * f.r * 0.95f;
        const float y = f.cy - f.r * 0.1f;
        c.over(fluffyCircle(x, y, f.r * 0.26f, f.r * 0.26f, 10, 0.15f, 0), darker(colour, 0.2f));
        c.over(fluffyCircle(x, y, f.r * 0.22f, f.r * 0.22f, 10, 0.15f, 0), colour);
        c.over(circle(x - f.r * 0.07f, y - f.r * 0.07f, f.r * 0.07f), white, 140);
    }
}

void drawFlowerBehindEar(Canvas& c, const Frame& f, Rgb colour) {
    const float x = f.cx - f.r * 0.62f;
    const float y = f.top + f.r * 0.25f;
    c.over(leaf(x, y, x - f.r * 0.35f, y + f.r * 0.18f, f.r * 0.16f), leafGreen);
    flower(c, x, y, f.r * 0.26f, colour);
}

} // namespace

void drawPattern(Canvas& canvas, const Collectable& design, const PibblePose& pose) {
    drawPatternShapes(canvas, design, frameOf(pose));
}

void drawAccessory(Canvas& c, const Collectable& design, const PibblePose& pose) {
    const Frame f = frameOf(pose);
    const Rgb colour = design.accessoryColour;
    switch (design.accessory) {
    case Accessory::Bow:
        return drawBow(c, f, colour);
    case Accessory::Glasses:
        return drawGlasses(c, f, colour, false);
    case Accessory::BowTie:
        return drawBowTie(c, f, colour);
    case Accessory::Bell:
        return drawBell(c, f, colour);
    case Accessory::Flower:
        return drawFlowerBehindEar(c, f, colour);
    case Accessory::Crown:
        return drawCrown(c, f, colour, false);
    case Accessory::Scarf:
        return drawScarf(c, f, colour);
    case Accessory::TopHat:
        return drawTopHat(c, f, colour);
    case Accessory::Beanie:
        return drawCap(c, f, colour, true);
    case Accessory::Headphones:
        return drawHeadphones(c, f, colour);
    case Accessory::Sunglasses:
        return drawGlasses(c, f, colour, true);
    case Accessory::Moustache:
        return drawMoustache(c, f, colour);
    case Accessory::Cap:
        return drawBaseballCap(c, f, colour);
    case Accessory::Pearls:
        return drawPearls(c, f, colour);
    case Accessory::Bandana:
        return drawBandana(c, f, colour);
    case Accessory::EyePatch:
        return drawEyePatch(c, f, colour);
    case Accessory::Monocle:
        return drawMonocle(c, f, colour);
    case Accessory::Tiara:
        return drawCrown(c, f, colour, true);
    case Accessory::Halo:
        return drawHalo(c, f, colour);
    case Accessory::ChefHat:
        return drawChefHat(c, f, colour);
    case Accessory::WitchHat:
        return drawWitchHat(c, f, colour);
    case Accessory::SailorHat:
        return drawSailorHat(c, f, colour);
    case Accessory::Earmuffs:
        return drawEarmuffs(c, f, colour);
    case Accessory::FlowerCrown:
        return drawFlowerCrown(c, f, colour);
    case Accessory::Medal:
        return drawMedal(c, f, colour);
    case Accessory::Propeller:
        return drawPropellerCap(c, f, colour);
    case Accessory::Bubble:
        return drawBubble(c, f, colour);
    case Accessory::Mask:
        return drawMask(c, f, colour);
    case Accessory::Tie:
        return drawTie(c, f, colour);
    case Accessory::Cherries:
        return drawCherries(c, f, colour);
    }
}

} // namespace mkmedia
