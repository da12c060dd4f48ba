#include "tools/mkmedia/Pibble.h"

#include "tools/mkmedia/PibbleDetails.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb cheek = 0xFF6F91;
constexpr Rgb tear = 0x8FD3FF;
constexpr Rgb clownNose = 0xE8323A;
constexpr int furTufts = 22;

int softness(float radius, float part) {
    return std::max(1, static_cast<int>(radius * part));
}

void drawShadow(Canvas& canvas, const PibblePose& pose, const PibbleBody& body) {
    const float spread = 1.0f / (1.0f + pose.lift / pose.radius);
    const Shape shadow = ellipse(pose.cx, pose.ground, body.rx * 0.85f * spread, body.rx * 0.18f * spread);
    const int strength = static_cast<int>(110 * spread);
    canvas.paintSoft(shadow, 0x2A1C3A, strength, softness(pose.radius, 0.08f));
    canvas.revealSoft(shadow, strength, softness(pose.radius, 0.08f));
}

// The logo's plain pibble: fur, feet and face drawn straight onto an opaque or transparent canvas.

void drawPlainFeet(Canvas& canvas, const PibbleBody& body, Rgb colour) {
    const float footY = body.cy + body.ry * 0.88f;
    for (const float side : {-1.0f, 1.0f}) {
        const Shape foot = ellipse(body.cx + side * body.rx * 0.42f, footY, body.rx * 0.24f, body.ry * 0.14f);
        canvas.fill(foot, darker(colour, 0.25f));
    }
}

// A tuft of three locks on top of the head.
void drawTuft(Canvas& canvas, const PibbleBody& body, Rgb colour, bool layered) {
    const float r = body.radius();
    const float top = body.cy - body.ry * 0.98f;
    for (int pass = 0; pass < 2; ++pass) {
        for (const float lean : {-1.0f, 0.0f, 1.0f}) {
            const float x = body.cx + lean * r * 0.09f;
            const float y = top - (1 - std::abs(lean) * 0.4f) * r * 0.1f;
            if (pass == 0) {
                const Shape lock = ellipse(x, y, r * 0.075f, r * 0.12f);
                layered ? canvas.over(lock, darker(colour, 0.28f)) : canvas.fill(lock, darker(colour, 0.28f));
            } else {
                const Shape lock = ellipse(x, y + r * 0.015f, r * 0.05f, r * 0.095f);
                layered
                    ? canvas.overGradient(lock, lighter(colour, 0.4f), colour, y - r * 0.1f, y + r * 0.1f)
                    : canvas.fillGradient(lock, lighter(colour, 0.4f), colour, y - r * 0.1f, y + r * 0.1f);
            }
        }
    }
}

// Fur: a darker rim of tufts with the shaded body inside it, then soft light from the upper left and a
// tuft of hair on top.
void drawPlainFur(Canvas& canvas, const PibbleBody& body, Rgb colour) {
    canvas.fill(fluffyCircle(body.cx, body.cy, body.rx * 1.035f, body.ry * 1.035f, furTufts, 0.08f, 0.0f),
                darker(colour, 0.28f));
    canvas.fillGradient(fluffyCircle(body.cx, body.cy, body.rx, body.ry, furTufts, 0.08f, 0.0f),
                        lighter(colour, 0.35f), darker(colour, 0.1f), body.cy - body.ry, body.cy + body.ry);
    const float r = body.radius();
    canvas.paintSoft(
        ellipse(body.cx - body.rx * 0.3f, body.cy - body.ry * 0.42f, body.rx * 0.38f, body.ry * 0.26f), white,
        120, softness(r, 0.12f));
    canvas.paintSoft(ellipse(body.cx, body.cy + body.ry * 0.45f, body.rx * 0.55f, body.ry * 0.35f),
                     lighter(colour, 0.5f), 110, softness(r, 0.1f));
    drawTuft(canvas, body, colour, false);
}

// A look's fur is laid over transparency part by part, so its soft edges keep their colour.
void drawLookFur(Canvas& canvas, const PibbleBody& body, const PibblePose& pose) {
    const PibbleLook& look = *pose.look;
    const Rgb colour = look.body;
    const float r = body.radius();
    const Shape outline = furOutline(&look, body);
    canvas.over(furOutline(&look, body, 1.045f), darker(colour, 0.3f));
    canvas.overGradient(outline, lighter(colour, 0.35f), darker(colour, 0.12f), body.cy - body.ry,
                        body.cy + body.ry);
    if (pose.pattern) {
        Canvas layer(canvas.width(), canvas.height());
        pose.pattern(layer);
        stampInside(canvas, layer, outline);
    } else {
        drawMarking(canvas, look, body, outline);
    }
    // Light from the upper left, the belly lit from below, a rim of shade on the lower right.
    Canvas light(canvas.width(), canvas.height());
    light.over(ellipse(body.cx - body.rx * 0.3f, body.cy - body.ry * 0.45f, body.rx * 0.4f, body.ry * 0.27f),
               white, 130, softness(r, 0.14f));
    light.over(ellipse(body.cx, body.cy + body.ry * 0.5f, body.rx * 0.55f, body.ry * 0.3f),
               lighter(colour, 0.55f), 70, softness(r, 0.12f));
    light.over(arcBand(body.cx, body.cy, r * 0.92f, r * 0.2f, 0.05f * pi, 0.55f * pi), darker(colour, 0.35f),
               70, softness(r, 0.1f));
    stampInside(canvas, light, outline);
    if (look.marking != Marking::Sprout || pose.pattern) {
        drawTuft(canvas, body, colour, true);
    }
}

// Feet by look: dark socks for the fox, dark hooves for the lamb, big red shoes for the clown.
void drawLookFeet(Canvas& canvas, const PibbleBody& body, const PibbleLook& look) {
    Rgb colour = darker(look.body, 0.22f);
    float width = 0.26f;
    float length = 0.15f;
    if (look.marking == Marking::Bib) {
        colour = 0x5A3322;
    } else if (look.marking == Marking::Fleece) {
        colour = 0x5E5262;
    } else if (look.marking == Marking::Harlequin) {
        colour = clownNose;
        width = 0.34f;
        length = 0.17f;
    }
    const float footY = body.cy + body.ry * 0.9f;
    for (const float side : {-1.0f, 1.0f}) {
        const float x = body.cx + side * body.rx * (0.42f + (width - 0.26f));
        canvas.over(ellipse(x, footY, body.rx * width * 1.12f, body.ry * length * 1.25f),
                    darker(colour, 0.3f));
        canvas.overGradient(ellipse(x, footY, body.rx * width, body.ry * length), lighter(colour, 0.25f),
                            colour, footY - body.ry * length, footY + body.ry * length);
        canvas.over(ellipse(x - side * body.rx * 0.05f, footY - body.ry * length * 0.45f,
                            body.rx * width * 0.45f, body.ry * length * 0.3f),
                    white, 90);
    }
}

// Shapes of the face: over for a look (its head is a layer of its own), straight fills for the logo.
void put(Canvas& canvas, bool layered, const Shape& shape, Rgb colour, int alpha = 255) {
    layered ? canvas.over(shape, colour, alpha) : canvas.fill(shape, colour, alpha);
}

void drawOpenEye(Canvas& canvas, bool layered, float x, float y, float size, const PibblePose& pose) {
    if (layered) {
        // Small enough for the field's cells: one dark shiny oval with two glints reads better than white,
        // iris and pupil.
        const float rx = size * 0.62f;
        const float ry = size * 0.8f;
        canvas.overGradient(ellipse(x, y, rx, ry), ink, 0x6A5A9A, y - ry * 0.2f, y + ry);
        const float gx = x + pose.lookX * rx * 0.25f;
        const float gy = y + pose.lookY * ry * 0.2f;
        canvas.over(circle(gx - rx * 0.3f, gy - ry * 0.36f, std::max(size * 0.27f, 1.1f)), white);
        canvas.over(circle(gx + rx * 0.35f, gy + ry * 0.38f, std::max(size * 0.12f, 0.6f)), white, 210);
        return;
    }
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
void drawClosedEye(Canvas& canvas, bool layered, float x, float y, float size) {
    put(canvas, layered, arcBand(x, y + size * 0.35f, size * 0.62f, size * 0.22f, 1.15f * pi, 1.85f * pi),
        ink);
}

// Angry brows slant down to the middle, worried ones up to it.
void drawBrows(Canvas& canvas, bool layered, const PibbleFace& face, bool angry) {
    const float s = face.eyeSize;
    for (const float side : {-1.0f, 1.0f}) {
        const float outer = face.cx + side * (face.eyeOffset + s * 0.9f);
        const float inner = face.cx + side * (face.eyeOffset - s * 0.7f);
        const float outerY = face.eyeY - s * (angry ? 1.75f : 1.2f);
        const float innerY = face.eyeY - s * (angry ? 1.1f : 1.75f);
        put(canvas, layered, stroke(outer, outerY, inner, innerY, s * 0.32f), ink);
    }
}

void drawMouth(Canvas& canvas, bool layered, const PibbleBody& body, const PibbleFace& face, Mood mood) {
    const float r = body.radius();
    const float x = face.cx;
    const float y = face.mouthY;
    switch (mood) {
    case Mood::Happy:
        if (layered) {
            // Wide open: a dark mouth with a tongue.
            const Shape mouth = {{x - r * 0.24f, y - r * 0.02f},
                                 {x + r * 0.24f, y - r * 0.02f},
                                 {x + r * 0.17f, y + r * 0.14f},
                                 {x, y + r * 0.22f},
                                 {x - r * 0.17f, y + r * 0.14f}};
            canvas.over(mouth, ink);
            canvas.over(ellipse(x, y + r * 0.14f, r * 0.11f, r * 0.07f), 0xFF7A8A);
        } else {
            canvas.fill(arcBand(x, y, r * 0.22f, r * 0.08f, 0.1f * pi, 0.9f * pi), ink);
        }
        break;
    case Mood::Unhappy:
        put(canvas, layered, arcBand(x, y + r * 0.2f, r * 0.16f, r * 0.065f, 1.2f * pi, 1.8f * pi), ink);
        break;
    case Mood::Stubborn:
        if (layered) {
            // A pout: a wobbly line turned down at the ends.
            put(canvas, layered, arcBand(x, y + r * 0.24f, r * 0.2f, r * 0.075f, 1.3f * pi, 1.7f * pi), ink);
        } else {
            canvas.fill(stroke(x - r * 0.14f, y + r * 0.1f, x + r * 0.14f, y + r * 0.1f, r * 0.065f), ink);
        }
        break;
    case Mood::Content:
        put(canvas, layered, arcBand(x, y, r * 0.16f, r * 0.065f, 0.18f * pi, 0.82f * pi), ink);
        break;
    }
}

// The pale face in the fur, round the eyes and the mouth.
Shape facePatch(const PibbleFace& face, float r) {
    return fluffyCircle(face.cx, face.eyeY + r * 0.17f, r * 0.66f, r * 0.5f, 16, 0.05f, 0.0f);
}

void drawFace(Canvas& canvas, const PibbleBody& body, const PibblePose& pose) {
    const bool layered = pose.look != nullptr;
    const PibbleFace face = faceOf(pose);
    const float r = body.radius();
    if (layered) {
        canvas.over(facePatch(face, r), darker(faceSkin, 0.12f));
        canvas.over(scaled(facePatch(face, r), face.cx, face.eyeY, 0.95f, 0.94f), faceSkin);
    }
    const bool happy = pose.mood == Mood::Happy;
    const bool closed[2] = {pose.leftEyeClosed || happy, pose.rightEyeClosed || happy};
    for (int side = 0; side < 2; ++side) {
        const float x = face.cx + (side == 0 ? -face.eyeOffset : face.eyeOffset);
        if (closed[side]) {
            drawClosedEye(canvas, layered, x, face.eyeY, face.eyeSize);
        } else {
            drawOpenEye(canvas, layered, x, face.eyeY, face.eyeSize, pose);
        }
        const Shape blush =
            ellipse(x + (side == 0 ? -1.0f : 1.0f) * face.eyeSize * 0.5f, face.eyeY + face.eyeSize * 1.45f,
                    face.eyeSize * 0.5f, face.eyeSize * 0.3f);
        if (layered) {
            canvas.over(blush, cheek, 130, softness(r, 0.05f));
        } else {
            canvas.paintSoft(blush, cheek, 150, softness(r, 0.05f));
        }
    }
    if (pose.mood == Mood::Stubborn || pose.mood == Mood::Unhappy) {
        drawBrows(canvas, layered, face, pose.mood == Mood::Stubborn);
    }
    if (layered && pose.mood == Mood::Unhappy) {
        const float x = face.cx + face.eyeOffset + face.eyeSize * 0.2f;
        const float y = face.eyeY + face.eyeSize * 1.5f;
        canvas.over(ellipse(x, y, face.eyeSize * 0.28f, face.eyeSize * 0.4f), tear);
        canvas.over(circle(x - face.eyeSize * 0.08f, y - face.eyeSize * 0.1f, face.eyeSize * 0.1f), white);
    }
    drawMouth(canvas, layered, body, face, pose.mood);
    if (layered && pose.look->marking == Marking::Harlequin) {
        const float y = (face.eyeY + face.mouthY) / 2 - r * 0.04f;
        canvas.over(circle(face.cx, y, r * 0.14f), darker(clownNose, 0.3f));
        canvas.overGradient(circle(face.cx, y, r * 0.12f), lighter(clownNose, 0.3f), clownNose, y - r * 0.12f,
                            y + r * 0.12f);
        canvas.over(circle(face.cx - r * 0.04f, y - r * 0.04f, r * 0.04f), white, 220);
    }
}

} // namespace

PibbleBody bodyOf(const PibblePose& pose) {
    const float squash = std::clamp(pose.squash, 0.6f, 1.6f);
    const float rx = pose.radius * std::sqrt(squash);
    const float ry = pose.radius / std::sqrt(squash);
    return {pose.cx, pose.ground - pose.lift - ry, rx, ry};
}

PibbleFace faceOf(const PibblePose& pose) {
    const PibbleBody body = bodyOf(pose);
    const float r = body.radius();
    return {body.cx + pose.faceTurn * r, body.cy - body.ry * 0.12f, body.rx * 0.34f, r * 0.3f,
            body.cy + body.ry * 0.22f};
}

Shape furOutline(const PibbleLook* look, const PibbleBody& body, float grow) {
    const bool fleece = look != nullptr && look->marking == Marking::Fleece;
    return fluffyCircle(body.cx, body.cy, body.rx * grow, body.ry * grow, fleece ? 13 : furTufts,
                        fleece ? 0.11f : 0.08f, 0.0f);
}

void drawPibble(Canvas& canvas, const PibblePose& pose) {
    drawPibblePart(canvas, pose, PibblePart::Shadow);
    if (pose.look != nullptr) {
        drawPibblePart(canvas, pose, PibblePart::Ears);
    }
    drawPibblePart(canvas, pose, PibblePart::Feet);
    drawPibblePart(canvas, pose, PibblePart::Body);
    drawPibblePart(canvas, pose, PibblePart::Face);
}

void drawPibblePart(Canvas& canvas, const PibblePose& pose, PibblePart part, float earTilt, float earLift) {
    const PibbleBody body = bodyOf(pose);
    switch (part) {
    case PibblePart::Shadow:
        drawShadow(canvas, pose, body);
        break;
    case PibblePart::Ears:
        if (pose.look != nullptr) {
            drawLookEars(canvas, *pose.look, body, earTilt, earLift);
        }
        break;
    case PibblePart::Feet:
        pose.look != nullptr ? drawLookFeet(canvas, body, *pose.look)
                             : drawPlainFeet(canvas, body, pose.body);
        break;
    case PibblePart::Body:
        pose.look != nullptr ? drawLookFur(canvas, body, pose) : drawPlainFur(canvas, body, pose.body);
        break;
    case PibblePart::Face:
        drawFace(canvas, body, pose);
        break;
    }
}

void drawEyelids(Canvas& canvas, const PibblePose& pose) {
    const PibbleFace face = faceOf(pose);
    const float s = face.eyeSize;
    for (const float side : {-1.0f, 1.0f}) {
        const float x = face.cx + side * face.eyeOffset;
        canvas.over(ellipse(x, face.eyeY, s * 0.8f, s * 0.98f), faceSkin, 255, 1);
        // A closed eye at rest: a gentle downward curve with a lash at its outer end.
        canvas.over(arcBand(x, face.eyeY - s * 0.3f, s * 0.58f, s * 0.24f, 0.12f * pi, 0.88f * pi), ink);
        canvas.over(stroke(x + side * s * 0.5f, face.eyeY + s * 0.02f, x + side * s * 0.8f,
                           face.eyeY - s * 0.12f, s * 0.18f),
                    ink);
    }
}

Rgb pibbleColour(std::uint32_t pick) {
    constexpr Rgb colours[] = {0xFFB347, 0xFF8FB8, 0x7FD9A8, 0x7CC8FF, 0xC39BFF, 0xFFE066};
    return colours[pick % std::size(colours)];
}

} // namespace mkmedia
