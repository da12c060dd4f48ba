// The pibbles' pictures: each part of a pibble and each overlay in frames of 100 x 125 with the feet at
// (48, 101), everything inside rows 0..110, and the sparkle. Plain stand-ins in the pibble's look, enough
// for the game to compose and animate every kind of pibble.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"

#include <cmath>
#include <numbers>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr float feetX = 48;
constexpr float feetY = 101;
constexpr float radius = 34;
constexpr float bodyY = feetY - radius;
constexpr Rgb gold = 0xFFD23F;
constexpr Rgb white = 0xFFFFFF;

PibblePose poseOf(const PictureRequest& request) {
    PibblePose pose;
    pose.cx = feetX;
    pose.ground = feetY;
    pose.radius = radius;
    pose.body = request.colour(0xFFB347);
    return pose;
}

// 0 at the first frame, 1 at the last.
float progress(const PictureRequest& request, int frame) {
    return request.frames > 1 ? static_cast<float>(frame) / static_cast<float>(request.frames - 1) : 0.0f;
}

Shape star(float cx, float cy, float outer, float inner, int points, float turn) {
    Shape shape;
    for (int i = 0; i < points * 2; ++i) {
        const float r = i % 2 == 0 ? outer : inner;
        const float a = turn + pi * static_cast<float>(i) / static_cast<float>(points) - pi / 2;
        shape.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return shape;
}

void drawHead(const PictureRequest& request, Canvas& canvas, Mood mood) {
    PibblePose pose = poseOf(request);
    pose.mood = mood;
    drawPibblePart(canvas, pose, PibblePart::Face);
}

// Ears at rest, twitched outward, laid flat.
void drawEars(const PictureRequest& request, int frame, Canvas& canvas) {
    const float tilt = frame == 1 ? 0.25f : 0.0f;
    const float droop = frame == 2 ? 1.0f : 0.0f;
    drawPibblePart(canvas, poseOf(request), PibblePart::Ears, tilt, droop);
}

// A collectable pibble's fur carries spots of its own.
void drawBody(const PictureRequest& request, Canvas& canvas) {
    const PibblePose pose = poseOf(request);
    drawPibblePart(canvas, pose, PibblePart::Body);
    if (request.entry.text("pattern") != "spots") {
        return;
    }
    Dice dice(request.seed);
    for (int i = 0; i < 4; ++i) {
        const float a = dice.between(0, 2 * pi);
        const float d = dice.between(radius * 0.45f, radius * 0.75f);
        canvas.paint(circle(feetX + d * std::cos(a), bodyY + d * std::sin(a), dice.between(3, 6)),
                     darker(pose.body, 0.3f), 200);
    }
}

void drawPartyHat(const PictureRequest& request, Canvas& canvas) {
    const Rgb colour = request.colour(0xFFB347);
    const float baseY = bodyY - radius * 0.9f;
    const Shape cone = {{feetX - 11, baseY}, {feetX + 11, baseY}, {feetX + 2, baseY - 26}};
    canvas.fill(cone, mix(colour, white, 0.35f));
    canvas.fill(stroke(feetX - 7, baseY - 9, feetX + 7, baseY - 9, 3), darker(colour, 0.35f));
    canvas.fill(circle(feetX + 2, baseY - 27, 4), gold);
}

// Rays turning about the pibble, one star of thin points.
void drawPartyBack(const PictureRequest& request, int frame, Canvas& canvas) {
    const Rgb colour = lighter(request.colour(0xFFB347), 0.4f);
    const float turn = 2 * pi / 12 * progress(request, frame);
    canvas.fill(star(feetX, bodyY, 46, 8, 12, turn), colour, 150);
}

// A soft ring around the body, which it leaves uncovered.
void drawGlowRing(Canvas& canvas, Rgb colour, float grow, int alpha) {
    const Shape ring = arcBand(feetX, bodyY, radius + 5 + grow, 7, 0, 2 * pi);
    canvas.paintSoft(ring, colour, alpha, 3);
    canvas.revealSoft(ring, alpha, 3);
}

void drawBurst(Canvas& canvas, Rgb colour, float t) {
    const float outer = radius * (0.6f + 0.7f * t);
    const Shape burst = star(feetX, bodyY, outer, outer * 0.55f, 8, t);
    const int alpha = static_cast<int>(230 * (1 - 0.6f * t));
    canvas.fill(burst, colour, alpha);
}

void drawDust(const PictureRequest& request, int frame, Canvas& canvas) {
    const float t = progress(request, frame);
    const int alpha = static_cast<int>(200 * (1 - t));
    for (const float side : {-1.0f, 0.0f, 1.0f}) {
        const float x = feetX + side * (10 + 22 * t);
        const Shape puff = circle(x, feetY - 4 - 6 * t, 5 + 8 * t);
        canvas.paintSoft(puff, 0xD8CBB8, alpha, 2);
        canvas.revealSoft(puff, alpha, 2);
    }
}

void drawSwoosh(const PictureRequest& request, int frame, Canvas& canvas) {
    const float a = 2 * pi * progress(request, frame);
    canvas.fill(arcBand(feetX, bodyY, radius + 4, 4, a, a + 2.2f), white, 180);
}

void drawBlink(Canvas& canvas) {
    // Lids over both eyes, where the face puts them, with the closed eye's curve.
    const float eyeY = bodyY - radius * 0.12f;
    for (const float side : {-1.0f, 1.0f}) {
        const float x = feetX + side * radius * 0.34f;
        canvas.fill(ellipse(x, eyeY, radius * 0.3f, radius * 0.34f), 0xF2D9C4);
        canvas.fill(arcBand(x, eyeY + radius * 0.1f, radius * 0.19f, radius * 0.065f, 1.15f * pi, 1.85f * pi),
                    0x3A2746);
    }
}

// Frame 0: a chain across the body; then its links fly apart and fall.
void drawChain(const PictureRequest& request, int frame, Canvas& canvas) {
    const float t = progress(request, frame);
    for (int link = 0; link < 7; ++link) {
        const float offset = static_cast<float>(link - 3);
        const float x = feetX + offset * 9 * (1 + t);
        const float y = bodyY + 10 + offset * offset * 1.2f + 30 * t * t;
        canvas.fill(arcBand(x, y, 5, 2.5f, 0, 2 * pi), 0x8C8C9A, static_cast<int>(255 * (1 - 0.5f * t)));
    }
}

// Steam puffs over an angry head.
void drawSteam(const PictureRequest& request, int frame, Canvas& canvas) {
    const float t = progress(request, frame);
    for (const float side : {-1.0f, 1.0f}) {
        const Shape puff = circle(feetX + side * 24, bodyY - radius - 6 - 8 * std::fmod(t * 2, 1.0f), 6);
        canvas.paintSoft(puff, 0xE8E8F0, 200, 2);
        canvas.revealSoft(puff, 200, 2);
    }
}

void drawClownGlow(const PictureRequest& request, int frame, Canvas& canvas) {
    const float t = progress(request, frame);
    const Rgb colours[] = {0xFF6F91, 0xFFD23F, 0x7FD9A8, 0x7CC8FF};
    drawGlowRing(canvas, colours[frame % 4], 6 * std::sin(t * pi), static_cast<int>(200 * std::sin(t * pi)));
}

} // namespace

void drawPibblePicture(const PictureRequest& request, int frame, Canvas& canvas) {
    const std::string part = request.entry.text("part");
    const Rgb colour = request.colour(0xFFB347);
    const float t = progress(request, frame);
    if (part == "shadow") {
        drawPibblePart(canvas, poseOf(request), PibblePart::Shadow);
    } else if (part == "feet") {
        drawPibblePart(canvas, poseOf(request), PibblePart::Feet);
    } else if (part == "body") {
        drawBody(request, canvas);
    } else if (part == "ears") {
        drawEars(request, frame, canvas);
    } else if (part == "head") {
        drawHead(request, canvas, Mood::Content);
    } else if (part == "head_happy") {
        drawHead(request, canvas, Mood::Happy);
    } else if (part == "head_unhappy") {
        drawHead(request, canvas, Mood::Unhappy);
    } else if (part == "head_stubborn") {
        drawHead(request, canvas, Mood::Stubborn);
    } else if (part == "party") {
        drawPartyHat(request, canvas);
    } else if (part == "partyback") {
        drawPartyBack(request, frame, canvas);
    } else if (part == "vibstatic") {
        const Shape ring = ellipse(feetX, feetY, radius + 4, 9);
        canvas.paintSoft(ring, gold, 220, 3);
        canvas.revealSoft(ring, 220, 3);
    } else if (part == "vibshine" || part == "combomatch") {
        drawGlowRing(canvas, part == "vibshine" ? gold : white, 4 * std::sin(t * pi), 200);
    } else if (part == "vibmatch" || part == "stubbornmatch") {
        drawBurst(canvas, part == "vibmatch" ? gold : 0x9A8FA8, t);
    } else if (part == "dust") {
        drawDust(request, frame, canvas);
    } else if (part == "swoosh") {
        drawSwoosh(request, frame, canvas);
    } else if (part == "blink") {
        drawBlink(canvas);
    } else if (part == "dechain") {
        drawChain(request, frame, canvas);
    } else if (part == "stubborn") {
        drawSteam(request, frame, canvas);
    } else if (part == "clownglow") {
        drawClownGlow(request, frame, canvas);
    } else {
        canvas.fill(circle(feetX, bodyY, radius), colour);
    }
}

// A four-pointed star that grows and shrinks over the frames, white on transparent: the game takes its
// shape from the red lane.
void drawSparkle(const PictureRequest& request, int frame, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float size = std::sin(pi * (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
    const float outer = std::min(w, h) * 0.48f * size;
    canvas.fill(star(w / 2, h / 2, outer, outer * 0.3f, 4, 0), white);
}

} // namespace mkmedia
