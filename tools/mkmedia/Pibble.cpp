#include "tools/mkmedia/Pibble.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb ink = 0x3A2746;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb cheek = 0xFF6F91;

struct Body {
    float cx;
    float cy;
    float rx;
    float ry;
};

Body bodyOf(const PibblePose& pose) {
    const float squash = std::clamp(pose.squash, 0.6f, 1.6f);
    const float rx = pose.radius * std::sqrt(squash);
    const float ry = pose.radius / std::sqrt(squash);
    return {pose.cx, pose.ground - pose.lift - ry, rx, ry};
}

int softness(float radius, float part) {
    return std::max(1, static_cast<int>(radius * part));
}

void drawShadow(Canvas& canvas, const PibblePose& pose, const Body& body) {
    const float spread = 1.0f / (1.0f + pose.lift / pose.radius);
    const Shape shadow = ellipse(pose.cx, pose.ground, body.rx * 0.85f * spread, body.rx * 0.18f * spread);
    const int strength = static_cast<int>(110 * spread);
    canvas.paintSoft(shadow, 0x2A1C3A, strength, softness(pose.radius, 0.08f));
    canvas.revealSoft(shadow, strength, softness(pose.radius, 0.08f));
}

void drawFeet(Canvas& canvas, const Body& body, Rgb colour) {
    const float footY = body.cy + body.ry * 0.88f;
    for (const float side : {-1.0f, 1.0f}) {
        const Shape foot = ellipse(body.cx + side * body.rx * 0.42f, footY, body.rx * 0.24f, body.ry * 0.14f);
        canvas.fill(foot, darker(colour, 0.25f));
    }
}

// Fur: a darker rim of tufts with the shaded body inside it, then soft light
// from the upper left and a tuft of hair on top.
void drawFur(Canvas& canvas, const Body& body, Rgb colour) {
    constexpr int tufts = 22;
    canvas.fill(fluffyCircle(body.cx, body.cy, body.rx * 1.035f, body.ry * 1.035f, tufts, 0.08f, 0.0f),
                darker(colour, 0.28f));
    canvas.fillGradient(fluffyCircle(body.cx, body.cy, body.rx, body.ry, tufts, 0.08f, 0.0f),
                        lighter(colour, 0.35f), darker(colour, 0.1f), body.cy - body.ry, body.cy + body.ry);
    const float r = std::min(body.rx, body.ry);
    canvas.paintSoft(
        ellipse(body.cx - body.rx * 0.3f, body.cy - body.ry * 0.42f, body.rx * 0.38f, body.ry * 0.26f), white,
        120, softness(r, 0.12f));
    canvas.paintSoft(ellipse(body.cx, body.cy + body.ry * 0.45f, body.rx * 0.55f, body.ry * 0.35f),
                     lighter(colour, 0.5f), 110, softness(r, 0.1f));
    const float top = body.cy - body.ry * 0.98f;
    for (const float lean : {-1.0f, 0.0f, 1.0f}) {
        const float x = body.cx + lean * r * 0.09f;
        const float y = top - (1 - std::abs(lean) * 0.4f) * r * 0.1f;
        canvas.fill(ellipse(x, y, r * 0.075f, r * 0.12f), darker(colour, 0.28f));
    }
    for (const float lean : {-1.0f, 0.0f, 1.0f}) {
        const float x = body.cx + lean * r * 0.09f;
        const float y = top - (1 - std::abs(lean) * 0.4f) * r * 0.1f;
        canvas.fillGradient(ellipse(x, y + r * 0.015f, r * 0.05f, r * 0.095f), lighter(colour, 0.4f), colour,
                            y - r * 0.1f, y + r * 0.1f);
    }
}

void drawOpenEye(Canvas& canvas, float x, float y, float size, const PibblePose& pose) {
    const float rx = size * 0.8f;
    const float ry = size;
    canvas.fill(ellipse(x, y, rx * 1.12f, ry * 1.1f), ink);
    canvas.fillGradient(ellipse(x, y, rx, ry), white, 0xE4ECF7, y - ry, y + ry);
    const float px = x + pose.lookX * rx * 0.35f;
    const float py = y + pose.lookY * ry * 0.3f + ry * 0.12f;
    canvas.fill(ellipse(px, py, rx * 0.58f, ry * 0.6f), ink);
    canvas.fill(circle(px - rx * 0.22f, py - ry * 0.25f, rx * 0.22f), white);
    canvas.fill(circle(px + rx * 0.2f, py + ry * 0.22f, rx * 0.1f), white);
}

// A closed eye is a happy upward curve.
void drawClosedEye(Canvas& canvas, float x, float y, float size) {
    canvas.fill(arcBand(x, y + size * 0.35f, size * 0.62f, size * 0.22f, 1.15f * pi, 1.85f * pi), ink);
}

// Angry brows slanting down to the middle.
void drawBrows(Canvas& canvas, float cx, float eyeY, float eyeOffset, float eyeSize) {
    for (const float side : {-1.0f, 1.0f}) {
        const float outer = cx + side * (eyeOffset + eyeSize * 0.9f);
        const float inner = cx + side * (eyeOffset - eyeSize * 0.7f);
        canvas.fill(stroke(outer, eyeY - eyeSize * 1.75f, inner, eyeY - eyeSize * 1.1f, eyeSize * 0.32f),
                    ink);
    }
}

void drawMouth(Canvas& canvas, const Body& body, Mood mood) {
    const float r = std::min(body.rx, body.ry);
    const float y = body.cy + body.ry * 0.22f;
    switch (mood) {
    case Mood::Happy:
        canvas.fill(arcBand(body.cx, y, r * 0.22f, r * 0.08f, 0.1f * pi, 0.9f * pi), ink);
        break;
    case Mood::Unhappy:
        canvas.fill(arcBand(body.cx, y + r * 0.2f, r * 0.16f, r * 0.065f, 1.2f * pi, 1.8f * pi), ink);
        break;
    case Mood::Stubborn:
        canvas.fill(stroke(body.cx - r * 0.14f, y + r * 0.1f, body.cx + r * 0.14f, y + r * 0.1f, r * 0.065f),
                    ink);
        break;
    case Mood::Content:
        canvas.fill(arcBand(body.cx, y, r * 0.16f, r * 0.065f, 0.18f * pi, 0.82f * pi), ink);
        break;
    }
}

void drawFace(Canvas& canvas, const Body& body, const PibblePose& pose) {
    const float r = std::min(body.rx, body.ry);
    const float eyeY = body.cy - body.ry * 0.12f;
    const float eyeSize = r * 0.3f;
    const float eyeOffset = body.rx * 0.34f;
    const bool happy = pose.mood == Mood::Happy;
    const bool closed[2] = {pose.leftEyeClosed || happy, pose.rightEyeClosed || happy};
    for (int side = 0; side < 2; ++side) {
        const float x = body.cx + (side == 0 ? -eyeOffset : eyeOffset);
        if (closed[side]) {
            drawClosedEye(canvas, x, eyeY, eyeSize);
        } else {
            drawOpenEye(canvas, x, eyeY, eyeSize, pose);
        }
        canvas.paintSoft(ellipse(x + (side == 0 ? -1.0f : 1.0f) * eyeSize * 0.5f, eyeY + eyeSize * 1.45f,
                                 eyeSize * 0.5f, eyeSize * 0.3f),
                         cheek, 150, softness(r, 0.05f));
    }
    if (pose.mood == Mood::Stubborn) {
        drawBrows(canvas, body.cx, eyeY, eyeOffset, eyeSize);
    }
    drawMouth(canvas, body, pose.mood);
}

// A shape turned by the angle about (cx, cy).
Shape turned(Shape shape, float cx, float cy, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (graphics::PointF& point : shape) {
        const float x = point.getX() - cx;
        const float y = point.getY() - cy;
        point = graphics::PointF(cx + x * c - y * s, cy + x * s + y * c);
    }
    return shape;
}

// Two long ears from the top of the head, each turned about its root.
void drawEars(Canvas& canvas, const Body& body, Rgb colour, float tilt, float droop) {
    const float r = std::min(body.rx, body.ry);
    for (const float side : {-1.0f, 1.0f}) {
        const float rootX = body.cx + side * body.rx * 0.55f;
        const float rootY = body.cy - body.ry * 0.7f;
        const float length = r * 0.5f;
        const float lean = side * (0.35f + tilt + droop * 0.9f);
        const Shape ear = turned(ellipse(rootX, rootY - length * 0.8f, r * 0.2f, length), rootX, rootY, lean);
        canvas.fill(ear, darker(colour, 0.2f));
        const Shape inner =
            turned(ellipse(rootX, rootY - length * 0.8f, r * 0.1f, length * 0.7f), rootX, rootY, lean);
        canvas.fill(inner, mix(colour, cheek, 0.45f));
    }
}

} // namespace

void drawPibble(Canvas& canvas, const PibblePose& pose) {
    const Body body = bodyOf(pose);
    drawShadow(canvas, pose, body);
    drawFeet(canvas, body, pose.body);
    drawFur(canvas, body, pose.body);
    drawFace(canvas, body, pose);
}

void drawPibblePart(Canvas& canvas, const PibblePose& pose, PibblePart part, float earTilt, float earDroop) {
    const Body body = bodyOf(pose);
    switch (part) {
    case PibblePart::Shadow:
        drawShadow(canvas, pose, body);
        break;
    case PibblePart::Ears:
        drawEars(canvas, body, pose.body, earTilt, earDroop);
        break;
    case PibblePart::Feet:
        drawFeet(canvas, body, pose.body);
        break;
    case PibblePart::Body:
        drawFur(canvas, body, pose.body);
        break;
    case PibblePart::Face:
        drawFace(canvas, body, pose);
        break;
    }
}

Rgb pibbleColour(std::uint32_t pick) {
    constexpr Rgb colours[] = {0xFFB347, 0xFF8FB8, 0x7FD9A8, 0x7CC8FF, 0xC39BFF, 0xFFE066};
    return colours[pick % std::size(colours)];
}

} // namespace mkmedia
