// The overlays and effects every pibble shares (shadow, dust, holes, swoosh, bursts, blink, chain, anger,
// glow and the hit mask), the party bursts of each colour, and the play scene's sparkle, particles and
// party star.
#include "tools/mkmedia/PibbleFrames.h"
#include "tools/mkmedia/PibbleLooks.h"

#include <cmath>
#include <numbers>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb gold = 0xFFD23F;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb steel = 0x8E93A6;
constexpr Rgb angry = 0xE8323A;
constexpr Rgb rainbow[] = {0xFF5C6E, 0xFF9838, 0xFFD84A, 0x7BD05A, 0x5EB8F5, 0xA872E3};

int alphaOf(float amount) {
    return static_cast<int>(std::clamp(amount, 0.0f, 1.0f) * 255.0f);
}

// Soft clouds kicked up at the feet, rolling out to both sides as they grow and thin out.
void drawDust(Canvas& canvas, float t) {
    const int alpha = alphaOf(0.95f * (1 - t * t));
    const float puffs[][3] = {{0, 0, 1.0f}, {7, -2.5f, 0.8f}, {13, 0.5f, 0.65f}, {3, -5.5f, 0.6f}};
    for (const float side : {-1.0f, 1.0f}) {
        const float x0 = pibbleFeetX + side * (9 + 20 * std::sqrt(t));
        const float y0 = pibbleFeetY - 3 - 7 * t;
        for (const auto& puff : puffs) {
            const float x = x0 + side * puff[0] * (0.6f + 0.6f * t);
            const float y = y0 + puff[1] * (0.7f + 0.5f * t);
            const float size = (5 + 6 * t) * puff[2];
            canvas.over(circle(x, y + 1.2f, size), 0x9C8466, alpha * 2 / 3, 1);
            canvas.over(circle(x, y, size), 0xEFE5D3, alpha, 1);
            canvas.over(circle(x - size * 0.3f, y - size * 0.3f, size * 0.5f), 0xFFFAF0, alpha / 2, 1);
        }
    }
}

// A hole at the feet, open by `size` (0..1), with a rim of earth.
void drawHole(Canvas& canvas, float size) {
    if (size <= 0.01f) {
        return;
    }
    const float x = pibbleFeetX;
    const float y = pibbleFeetY;
    canvas.over(ellipse(x, y, 27 * size, 7.5f * size), 0x7A5A3C, 255, 1);
    canvas.overGradient(ellipse(x, y + 0.5f * size, 23 * size, 5.6f * size), 0x0E0806, 0x3A2618, y - 6 * size,
                        y + 6 * size);
    for (int i = 0; i < 6; ++i) {
        const float a = pi * (0.1f + 0.16f * static_cast<float>(i));
        const float cx = x + std::cos(a) * 28 * size * (i % 2 == 0 ? 1.0f : -1.0f);
        const float cy = y + std::sin(a) * 5 * size;
        canvas.over(circle(cx, cy, 1.8f * size), 0x9A7A55);
    }
}

// Rings whirling down into the hole, with streaks on both sides: pale blue with a darker edge, so they
// show on light ground too.
void drawSwoosh(Canvas& canvas, float t) {
    const int alpha = alphaOf(1 - t * t);
    const auto swish = [&](const Shape& shape) {
        canvas.over(shape, 0x5C9CD6, alpha * 2 / 3, 1);
        canvas.over(shape, 0xE6F6FF, alpha);
    };
    for (int j = 0; j < 2; ++j) {
        const float a0 = 2 * pi * (t * 1.3f + static_cast<float>(j) * 0.5f);
        const float cy = pibbleCentreY - 8 + 26 * t + static_cast<float>(j) * 8;
        const float radius = 28 - 9 * t;
        const Shape swirl = arcBand(pibbleFeetX, cy, radius, 4.5f - 2.5f * t, a0, a0 + 2.4f);
        swish(scaled(swirl, pibbleFeetX, cy, 1.0f, 0.35f));
    }
    for (const float side : {-1.0f, 1.0f}) {
        for (int k = 0; k < 2; ++k) {
            const float x = pibbleFeetX + side * (25 + static_cast<float>(k) * 5);
            const float y0 = 44 + 40 * t + static_cast<float>(k) * 6;
            swish(stroke(x, y0, x - side * 2, y0 + 18 * (1 - t) + 4, 2.6f));
        }
    }
}

// A golden star burst behind a VIB pibble, turning one point over the strip so that it loops.
void drawVibBurst(Canvas& canvas, float c) {
    const float cy = pibbleCentreY - 4;
    const float pulse = std::sin(2 * pi * c);
    canvas.over(circle(pibbleFeetX, cy, 30), lighter(gold, 0.5f), 170, 6);
    canvas.over(star(pibbleFeetX, cy, 42 + 3 * pulse, 18, 8, 2 * pi / 8 * c), gold, 210, 1);
    canvas.over(star(pibbleFeetX, cy, 30 - 2 * pulse, 14, 8, 2 * pi / 8 * (c + 0.5f)), lighter(gold, 0.55f),
                230, 1);
    canvas.over(circle(pibbleFeetX, cy, 16), white, 200, 3);
}

// Grey smoke bursting out as a stubborn pibble goes, with chips of stone.
void drawStubbornBurst(Canvas& canvas, float t) {
    const float cy = pibbleCentreY - 2;
    const int alpha = alphaOf(1 - t * t);
    for (int i = 0; i < 8; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 8 + 0.3f;
        const float d = 12 + 22 * t;
        const float size = 7 + 5 * t - static_cast<float>(i % 2) * 2;
        canvas.over(circle(pibbleFeetX + std::cos(a) * d, cy + std::sin(a) * d * 0.85f, size), 0x6E667A,
                    alpha, 2);
        canvas.over(circle(pibbleFeetX + std::cos(a) * d - 1, cy + std::sin(a) * d * 0.85f - 1, size * 0.7f),
                    0xA39BAE, alpha, 1);
    }
    for (int i = 0; i < 6; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 6 + 0.8f;
        const float d = 8 + 36 * t;
        const float x = pibbleFeetX + std::cos(a) * d;
        const float y = cy + std::sin(a) * d + 12 * t * t;
        canvas.over(turned(Shape{{x - 2.5f, y}, {x, y - 2}, {x + 2.5f, y + 1}, {x - 0.5f, y + 2.5f}}, x, y,
                           3 * t + a),
                    0x5A5262, alpha);
    }
}

// A soft ring of light behind a pibble of a long combo.
void drawComboGlow(Canvas& canvas) {
    const float cy = pibbleCentreY - 2;
    canvas.over(circle(pibbleFeetX, cy, pibbleRadius + 9), lighter(gold, 0.6f), 200, 6);
    canvas.over(arcBand(pibbleFeetX, cy, pibbleRadius + 6, 3, 0, 2 * pi), white, 220, 1);
}

// One link of a chain: a ring seen face on, or the bar of one seen from the side.
void drawLink(Canvas& canvas, float x, float y, float angle, bool flat, int alpha) {
    const Shape outer = flat ? roundedRect(x - 4.2f, y - 1.3f, 8.4f, 2.6f, 1.3f)
                             : Shape(arcBand(x, y, 3.2f, 2.0f, 0, 2 * pi));
    const Shape body = turned(flat ? outer : scaled(outer, x, y, 1.25f, 0.8f), x, y, angle);
    canvas.over(body, darker(steel, 0.45f), alpha);
    canvas.over(scaled(body, x, y, 0.8f, 0.7f), lighter(steel, 0.25f), alpha);
}

} // namespace

// The sizes are those of the padlock on a chained pibble, times `scale`.
void drawPadlock(Canvas& canvas, float x, float y, float open, int alpha, float scale) {
    Canvas lock(canvas.width(), canvas.height());
    const float s = scale;
    const float lift = open * 3 * s;
    const float top = y - 4 * s - lift;
    lock.over(arcBand(x, top, 3.4f * s, 1.8f * s, pi, 2 * pi), steel);
    lock.over(stroke(x - 3.4f * s, top, x - 3.4f * s, y - 1 * s - lift, 1.8f * s), steel);
    lock.over(stroke(x + 3.4f * s, top, x + 3.4f * s, y - 1 * s, 1.8f * s), steel);
    lock.over(roundedRect(x - 5.5f * s, y - 2 * s, 11 * s, 8.5f * s, 2 * s), 0xB07A10);
    lock.overGradient(roundedRect(x - 4.7f * s, y - 1.3f * s, 9.4f * s, 7 * s, 1.6f * s), 0xFFE58A, gold,
                      y - 2 * s, y + 6 * s);
    lock.over(circle(x, y + 1.6f * s, 1.2f * s), 0x5A3A10);
    lock.over(stroke(x, y + 2 * s, x, y + 4 * s, 1 * s), 0x5A3A10);
    if (alpha < 255) {
        lock.erase(
            roundedRect(0, 0, static_cast<float>(canvas.width()), static_cast<float>(canvas.height()), 0),
            255 - alpha);
    }
    canvas.stamp(lock.image(), 0, 0);
}

namespace {

// Frame 0: a chain round the belly held by a padlock. Then the lock springs open and drops, and the two
// halves of the chain swing apart and fall.
void drawChain(Canvas& canvas, int frame, int frames) {
    const float t = frame == 0 ? 0.0f : static_cast<float>(frame) / static_cast<float>(frames - 1);
    const int alpha = alphaOf(1 - t * t * 0.9f);
    const float cx = pibbleFeetX;
    const float cy = pibbleCentreY - 22;
    const float radius = 34;
    constexpr int links = 9;
    for (int i = 0; i < links; ++i) {
        const float u = static_cast<float>(i) / (links - 1);
        const float a = pi * (0.3f + 0.4f * u);
        float x = cx + std::cos(a) * radius;
        float y = cy + std::sin(a) * radius;
        float angle = a + pi / 2;
        if (frame > 0) {
            // Each half swings out from its far end and drops.
            const float side = u < 0.5f ? -1.0f : 1.0f;
            const float pivotX = cx + std::cos(pi * (side < 0 ? 0.7f : 0.3f)) * radius;
            const float pivotY = cy + std::sin(pi * (side < 0 ? 0.7f : 0.3f)) * radius;
            const float swing = side * 0.9f * t;
            const Shape moved1 = turned(Shape{{x, y}}, pivotX, pivotY, -swing);
            x = moved1.front().getX() + side * 14 * t;
            y = moved1.front().getY() + 14 * t * t;
            angle -= swing;
        }
        if (std::abs(u - 0.5f) < 0.06f && frame == 0) {
            continue;
        }
        drawLink(canvas, x, y, angle, i % 2 == 1, alpha);
    }
    const float lockY = cy + radius + 1 + 16 * t * t;
    drawPadlock(canvas, cx, lockY, std::min(1.0f, t * 3), alpha);
    canvas.fadeRows(pibbleLastRow - 3, pibbleLastRow + 1);
}

// The anger mark: four bent strokes round a point, their corners facing it, as a throbbing vein.
void drawAngerMark(Canvas& canvas, float x, float y, float size, int alpha) {
    for (int i = 0; i < 4; ++i) {
        const float a = pi / 2 * static_cast<float>(i) + pi / 4;
        const float cx = x + std::cos(a) * size * 0.62f;
        const float cy = y + std::sin(a) * size * 0.62f;
        // The corner's two arms run away from the middle, bowed outward.
        const graphics::PointF one(cx + std::cos(a + pi / 4) * size * 0.55f,
                                   cy + std::sin(a + pi / 4) * size * 0.55f);
        const graphics::PointF two(cx + std::cos(a - pi / 4) * size * 0.55f,
                                   cy + std::sin(a - pi / 4) * size * 0.55f);
        const graphics::PointF bend(cx - std::cos(a) * size * 0.15f, cy - std::sin(a) * size * 0.15f);
        canvas.over(curveBand(one, bend, two, size * 0.36f), darker(angry, 0.35f), alpha);
        canvas.over(curveBand(one, bend, two, size * 0.2f), lighter(angry, 0.1f), alpha);
    }
}

// A grumpy pibble steams: puffs rise from both sides of its head and an anger mark throbs above it, twice
// over the strip.
void drawSteam(Canvas& canvas, float c) {
    for (const float side : {-1.0f, 1.0f}) {
        for (int k = 0; k < 2; ++k) {
            const float p = std::fmod(c * 2 + static_cast<float>(k) * 0.5f + (side > 0 ? 0.25f : 0.0f), 1.0f);
            const float x = pibbleFeetX + side * (21 + 7 * p);
            const float y = pibbleCentreY - 14 - 26 * p;
            const float size = 3 + 4 * p;
            const int alpha = alphaOf(1.2f * (1 - p));
            canvas.over(circle(x, y, size + 0.9f), 0x8C8AA6, alpha * 2 / 3, 1);
            canvas.over(circle(x, y, size), 0xF6F4FA, alpha);
        }
    }
    const float beat = 0.5f + 0.5f * std::sin(2 * pi * c * 2);
    drawAngerMark(canvas, pibbleFeetX + 17, pibbleCentreY - 25, 6.5f + 2 * beat, 255);
}

// A rainbow ring spreads from the body as a clown or party pibble appears, with stars flying out.
void drawClownGlow(Canvas& canvas, float t) {
    const float cy = pibbleCentreY - 2;
    const int alpha = alphaOf(std::sin(pi * std::min(1.0f, t * 1.1f)));
    const float radius = pibbleRadius + 4 + 16 * t;
    const float thickness = 6 - 3 * t;
    const int segments = static_cast<int>(std::size(rainbow));
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * pi * static_cast<float>(i) / static_cast<float>(segments) + t * 1.5f;
        canvas.over(arcBand(pibbleFeetX, cy, radius, thickness, a0,
                            a0 + 2 * pi / static_cast<float>(segments) + 0.05f),
                    rainbow[i], alpha, 1);
    }
    for (int i = 0; i < 8; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 8 + 0.2f;
        const float d = pibbleRadius + 2 + 26 * t;
        canvas.over(star(pibbleFeetX + std::cos(a) * d, cy + std::sin(a) * d, 4 - 2 * t, 1.6f, 5, t * 3),
                    rainbow[i % segments], alpha);
    }
    canvas.fadeRows(pibbleLastRow - 4, pibbleLastRow + 1);
}

// White and opaque where a click takes the pibble (its body and feet), transparent black elsewhere, with
// no soft edge, so that every byte lane tells the same.
void drawHitMask(Canvas& canvas) {
    Canvas shape(canvas.width(), canvas.height());
    shape.over(ellipse(pibbleFeetX, pibbleCentreY, pibbleRadius + 2, pibbleRadius + 1), white);
    shape.over(roundedRect(pibbleFeetX - pibbleRadius, pibbleCentreY, 2 * pibbleRadius, pibbleRadius + 3, 6),
               white);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = (shape.pixel(x, y) >> 24) >= 128;
            canvas.image().pixels32()[canvas.image().pixelIndex(x, y)] = inside ? 0xFFFFFFFFu : 0u;
        }
    }
}

// Fireworks of a party colour: a flash and a ring of sparks with trails, centred in the frame.
void drawPartyBurst(Canvas& canvas, const PibbleLook& look, float t) {
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = static_cast<float>(canvas.height()) / 2;
    // White fireworks are tinged silver-blue, so that they show on the pale panes of the field.
    const Rgb colour = look.marking == Marking::Fleece ? 0xD8E4FF : look.body;
    const int alpha = alphaOf(1 - t * t * t);
    canvas.over(circle(cx, cy, 10 + 8 * t), lighter(colour, 0.35f), alphaOf(0.6f * (1 - t)), 4);
    canvas.over(circle(cx, cy, 6 * (1 - t) + 1), white, alphaOf(1 - t));
    constexpr int sparks = 12;
    for (int i = 0; i < sparks; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / sparks;
        const float d = 6 + 36 * std::sqrt(t);
        const float x = cx + std::cos(a) * d;
        const float y = cy + std::sin(a) * d + 6 * t * t;
        const float tail = d * 0.45f;
        canvas.over(stroke(x - std::cos(a) * tail, y - std::sin(a) * tail, x, y, 3 * (1 - t) + 1),
                    darker(colour, 0.15f), alpha * 3 / 4);
        canvas.over(star(x, y, 6 - 2.5f * t, 2.2f, 4, a), darker(colour, 0.3f), alpha);
        canvas.over(star(x, y, 4.5f - 2 * t, 1.6f, 4, a), i % 2 == 0 ? white : lighter(colour, 0.4f), alpha);
    }
    for (int i = 0; i < sparks; ++i) {
        const float a = 2 * pi * (static_cast<float>(i) + 0.5f) / sparks;
        const float d = 4 + 22 * std::sqrt(t);
        canvas.over(circle(cx + std::cos(a) * d, cy + std::sin(a) * d + 8 * t * t, 1.6f),
                    darker(colour, 0.1f), alpha);
    }
}

} // namespace

bool drawPibbleEffect(const PictureRequest& request, const std::string& part, int frame, Canvas& canvas) {
    const float t = progress(request, frame);
    const float c = cycle(request, frame);
    const PibblePose plain = standingPibble(nullptr);
    if (part == "shadow") {
        drawPibblePart(canvas, plain, PibblePart::Shadow);
    } else if (part == "dust") {
        drawDust(canvas, (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
    } else if (part == "hole_open") {
        drawHole(canvas, static_cast<float>(frame + 1) / static_cast<float>(request.frames));
    } else if (part == "hole_close") {
        drawHole(canvas,
                 static_cast<float>(request.frames - frame) / static_cast<float>(request.frames) - 0.1f);
    } else if (part == "swoosh") {
        drawSwoosh(canvas, t);
    } else if (part == "vibmatch") {
        drawVibBurst(canvas, c);
    } else if (part == "stubbornmatch") {
        drawStubbornBurst(canvas, (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
    } else if (part == "combomatch") {
        drawComboGlow(canvas);
    } else if (part == "blink") {
        drawEyelids(canvas, plain);
    } else if (part == "dechain") {
        drawChain(canvas, frame, request.frames);
    } else if (part == "stubborn") {
        drawSteam(canvas, c);
    } else if (part == "clownglow") {
        drawClownGlow(canvas, (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
    } else if (part == "hitmask") {
        drawHitMask(canvas);
        return true;
    } else if (part == "partymatch") {
        const PibbleLook* look = pibbleLook(request.entry.text("look"));
        drawPartyBurst(canvas, look != nullptr ? *look : lookOfColour(1),
                       (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
        return true;
    } else {
        return false;
    }
    canvas.fadeRows(pibbleLastRow + 1, pibbleLastRow + 1);
    return true;
}

// A twinkle that flares up and fades over the frames, white on transparent with its colour
// premultiplied: the game takes the shape's strength from the red lane.
void drawSparkle(const PictureRequest& request, int frame, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    // Quick to flare up, slow to fade, so that no two frames are alike.
    const float size = std::sin(
        pi * std::pow((static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames), 0.75f));
    const float outer = std::min(w, h) * 0.48f * size;
    canvas.over(circle(w / 2, h / 2, outer * 0.45f), white, alphaOf(0.6f * size),
                std::max(1, static_cast<int>(outer / 5)));
    canvas.over(star(w / 2, h / 2, outer * 0.5f, outer * 0.16f, 4, pi / 4), white, 170);
    canvas.over(star(w / 2, h / 2, outer, outer * 0.26f, 4), white);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            std::uint32_t& pixel = canvas.image().pixels32()[canvas.image().pixelIndex(x, y)];
            const std::uint32_t alpha = pixel >> 24;
            pixel = alpha << 24 | alpha << 16 | alpha << 8 | alpha;
        }
    }
}

// A small glowing star of a colour ("look"; the clown's is every colour), flung out of a match.
void drawParticle(const PictureRequest& request, int, Canvas& canvas) {
    const PibbleLook* look = pibbleLook(request.entry.text("look"));
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float size = std::min(w, h) / 2;
    const bool clown = look != nullptr && look->marking == Marking::Harlequin;
    const Rgb colour = look == nullptr ? gold : look->marking == Marking::Fleece ? 0xFFF8E8 : look->body;
    canvas.over(circle(w / 2, h / 2, size * 0.7f), lighter(colour, 0.3f), 120,
                std::max(1, static_cast<int>(size / 4)));
    const Shape shape = star(w / 2, h / 2 + size * 0.06f, size * 0.88f, size * 0.5f, 5);
    canvas.over(shape, darker(colour, 0.35f));
    if (clown) {
        for (int i = 0; i < 5; ++i) {
            const float a = 2 * pi * static_cast<float>(i) / 5 - pi / 2;
            canvas.over(
                {{w / 2, h / 2},
                 {w / 2 + std::cos(a - 0.63f) * size * 0.6f, h / 2 + std::sin(a - 0.63f) * size * 0.6f},
                 {w / 2 + std::cos(a) * size * 0.78f, h / 2 + std::sin(a) * size * 0.78f},
                 {w / 2 + std::cos(a + 0.63f) * size * 0.6f, h / 2 + std::sin(a + 0.63f) * size * 0.6f}},
                rainbow[i]);
        }
    } else {
        canvas.overGradient(scaled(shape, w / 2, h / 2, 0.78f, 0.78f), lighter(colour, 0.5f), colour, 0, h);
    }
    canvas.over(circle(w / 2 - size * 0.15f, h / 2 - size * 0.15f, size * 0.16f), white, 220);
}

// The big golden star that flies to a party pibble: a rounded star with a happy face and a glow.
void drawPartyStar(const PictureRequest&, int, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float cx = w / 2;
    const float cy = h / 2 + h * 0.03f;
    const float r = std::min(w, h) * 0.46f;
    canvas.over(circle(cx, cy, r * 0.8f), lighter(gold, 0.5f), 150, std::max(1, static_cast<int>(r / 6)));
    const Shape outer = star(cx, cy, r, r * 0.5f, 5);
    canvas.over(outer, 0xC77A0A, 255, 0);
    canvas.overGradient(scaled(outer, cx, cy, 0.86f, 0.86f), 0xFFF3A0, gold, cy - r, cy + r * 0.8f);
    canvas.over(scaled(star(cx - r * 0.12f, cy - r * 0.2f, r * 0.5f, r * 0.26f, 5), cx - r * 0.12f,
                       cy - r * 0.2f, 0.6f, 0.45f),
                white, 120, std::max(1, static_cast<int>(r / 16)));
    const float eyeY = cy - r * 0.02f;
    for (const float side : {-1.0f, 1.0f}) {
        canvas.over(ellipse(cx + side * r * 0.17f, eyeY, r * 0.07f, r * 0.1f), ink);
        canvas.over(circle(cx + side * r * 0.17f - r * 0.02f, eyeY - r * 0.04f, r * 0.028f), white);
        canvas.over(ellipse(cx + side * r * 0.3f, eyeY + r * 0.13f, r * 0.08f, r * 0.045f), 0xFF7F6A, 160);
    }
    canvas.over(arcBand(cx, eyeY + r * 0.08f, r * 0.12f, r * 0.045f, 0.15f * pi, 0.85f * pi), ink);
}

} // namespace mkmedia
