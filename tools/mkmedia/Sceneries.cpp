#include "tools/mkmedia/Sceneries.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

struct Palette {
    Rgb skyTop;
    Rgb skyBottom;
    Rgb farHills;
    Rgb nearHills;
};

// The land of each scenery, by its number.
constexpr Palette palettes[sceneryCount] = {
    {0x6ECBFF, 0xDDF5FF, 0xA6E58A, 0x74CC5C}, {0xB59CFF, 0xFFDDF2, 0xFFB3D5, 0xF58BBB},
    {0xFFAE73, 0xFFF2C4, 0xFFD873, 0xF2B447}, {0x63D8C0, 0xE3FFF5, 0x8FE3B4, 0x4FC193},
    {0x8CDCC8, 0xF0FFF2, 0x9ED98E, 0x62B95C}, {0x86D2F2, 0xFFF1D8, 0xF8D79C, 0xEDB266},
    {0x9CCBF2, 0xF2FAFF, 0xDDEBF8, 0xF6FAFF}, {0xFFB58C, 0xFFF0DA, 0xF3C06A, 0xE2954C},
    {0xFFA8D8, 0xFFF2FA, 0xB9EFD6, 0xFFBEDD}, {0x2C3272, 0x8A79C2, 0x5A5CB0, 0x41468F},
    {0x7FD0FF, 0xFFF4E4, 0xAEE8A2, 0x7ED27B},
};

int softness(const Canvas& canvas, int part) {
    return std::max(2, canvas.height() / part);
}

// The upper half of an ellipse standing on the line y: a cap, a dune, a gumdrop.
Shape dome(float cx, float y, float rx, float ry) {
    Shape shape;
    const int segments = 48;
    for (int i = 0; i <= segments; ++i) {
        const float a = pi + pi * static_cast<float>(i) / segments;
        shape.emplace_back(cx + rx * std::cos(a), y + ry * std::sin(a));
    }
    return shape;
}

Shape triangle(float cx, float bottom, float width, float height) {
    return {{cx - width / 2, bottom}, {cx, bottom - height}, {cx + width / 2, bottom}};
}

void drawSkyGradient(Canvas& canvas, const Palette& palette) {
    canvas.revealAll(255);
    canvas.paintGradient(roundedRect(0, 0, widthOf(canvas), heightOf(canvas), 0), palette.skyTop,
                         palette.skyBottom, 0, heightOf(canvas) * 0.8f);
}

void drawSky(Canvas& canvas, const Palette& palette) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSkyGradient(canvas, palette);
    canvas.paintSoft(circle(w * 0.82f, h * 0.14f, h * 0.16f), 0xFFFBE0, 200, softness(canvas, 16));
    canvas.paint(circle(w * 0.82f, h * 0.14f, h * 0.085f), 0xFFF6C8, 230);
}

// A cloud: a row of overlapping puffs on a flat base, with a faint shadow beneath.
void drawCloud(Canvas& canvas, float x, float y, float size, Rgb colour = 0xFFFFFF, Rgb shadow = 0x9AB5D6,
               int alpha = 235) {
    const Shape puffs[] = {
        circle(x - size * 0.55f, y + size * 0.1f, size * 0.38f),
        circle(x - size * 0.1f, y - size * 0.15f, size * 0.5f),
        circle(x + size * 0.45f, y + size * 0.05f, size * 0.4f),
        roundedRect(x - size * 0.9f, y, size * 1.75f, size * 0.45f, size * 0.22f),
    };
    for (const Shape& puff : puffs) {
        canvas.paint(puff, shadow, 50);
    }
    for (const Shape& puff : puffs) {
        canvas.paint(moved(puff, 0, -size * 0.08f), colour, alpha);
    }
}

void drawClouds(Canvas& canvas, Dice& dice, Rgb colour = 0xFFFFFF, Rgb shadow = 0x9AB5D6, int alpha = 235) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const int count = 3 + static_cast<int>(dice.next() % 3);
    for (int i = 0; i < count; ++i) {
        const float x = w * (static_cast<float>(i) + dice.between(0.2f, 0.8f)) / static_cast<float>(count);
        drawCloud(canvas, x, h * dice.between(0.1f, 0.38f), h * dice.between(0.06f, 0.1f), colour, shadow,
                  alpha);
    }
}

// Two rows of round shapes standing on the bottom edge, their tops about at the two heights (shares of the
// picture's), neighbours overlapping, so no sky shows below them; each gets a soft light along its top.
// `flatten` makes them wider and lower: dunes rather than hills.
void drawRoundLand(Canvas& canvas, const Palette& palette, Dice& dice, float farTop, float nearTop,
                   float flatten) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const struct {
        Rgb colour;
        float top;
        int count;
    } rows[] = {{palette.farHills, farTop, 3}, {palette.nearHills, nearTop, 4}};
    for (const auto& row : rows) {
        for (int i = 0; i < row.count; ++i) {
            const float cx =
                w * (static_cast<float>(i) + dice.between(0.3f, 0.7f)) / static_cast<float>(row.count);
            const float rx = w / static_cast<float>(row.count) * dice.between(0.8f, 1.1f) * (1 + flatten);
            const float ry = h * (1 - row.top) * dice.between(0.85f, 1.15f) * (1 - flatten * 0.3f);
            const float cy = h;
            const Shape hill = ellipse(cx, cy, rx, ry);
            canvas.paintGradient(hill, lighter(row.colour, 0.25f), darker(row.colour, 0.15f), cy - ry, h);
            canvas.paintSoft(ellipse(cx - rx * 0.2f, cy - ry * 0.9f, rx * 0.35f, ry * 0.05f), 0xFFFFFF, 80,
                             softness(canvas, 60));
        }
    }
}

void drawHills(Canvas& canvas, const Palette& palette, Dice& dice) {
    drawRoundLand(canvas, palette, dice, 0.7f, 0.8f, 0);
}

// Soap bubbles: a faint body, a brighter rim and a glint.
void drawBubbles(Canvas& canvas, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const int count = 10 + static_cast<int>(dice.next() % 8);
    for (int i = 0; i < count; ++i) {
        const float r = h * dice.between(0.015f, 0.06f);
        const float x = dice.between(r, w - r);
        const float y = dice.between(r, h * 0.75f);
        canvas.paint(circle(x, y, r), 0xFFFFFF, 50);
        canvas.paint(arcBand(x, y, r, std::max(1.0f, r * 0.12f), 0, 2 * pi), 0xFFFFFF, 140);
        canvas.paint(arcBand(x, y, r * 0.68f, std::max(1.0f, r * 0.14f), 1.1f * pi, 1.4f * pi), 0xFFFFFF,
                     210);
    }
}

// Small glowing dots: fireflies, pollen, starlight.
void drawGlowDots(Canvas& canvas, Dice& dice, int count, float top, float bottom, Rgb colour) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    for (int i = 0; i < count; ++i) {
        const float x = dice.between(0, w);
        const float y = h * dice.between(top, bottom);
        const float r = h * dice.between(0.004f, 0.008f);
        canvas.paintSoft(circle(x, y, r * 2.5f), colour, 120, softness(canvas, 120));
        canvas.paint(circle(x, y, r), lighter(colour, 0.6f), 230);
    }
}

// A round tree: a trunk and a canopy of three soft puffs, lit from the top left.
void drawRoundTree(Canvas& canvas, float x, float ground, float size, Rgb leaves) {
    const Rgb bark = 0x9A6A48;
    const float trunkWidth = size * 0.28f;
    const float trunkHeight = size * 0.9f;
    canvas.paintGradient(
        roundedRect(x - trunkWidth / 2, ground - trunkHeight, trunkWidth, trunkHeight, trunkWidth * 0.4f),
        lighter(bark, 0.15f), darker(bark, 0.15f), ground - trunkHeight, ground);
    const float top = ground - trunkHeight - size * 0.55f;
    const Shape puffs[] = {
        fluffyCircle(x - size * 0.45f, top + size * 0.25f, size * 0.55f, size * 0.5f, 7, 0.1f, 0.3f),
        fluffyCircle(x + size * 0.45f, top + size * 0.25f, size * 0.55f, size * 0.5f, 7, 0.1f, 1.1f),
        fluffyCircle(x, top - size * 0.15f, size * 0.7f, size * 0.65f, 8, 0.1f, 0.7f),
    };
    for (const Shape& puff : puffs) {
        canvas.paintGradient(puff, lighter(leaves, 0.25f), darker(leaves, 0.12f), top - size * 0.8f,
                             top + size * 0.8f);
    }
    canvas.paintSoft(ellipse(x - size * 0.25f, top - size * 0.35f, size * 0.28f, size * 0.16f), 0xFFFFFF, 90,
                     softness(canvas, 80));
}

// A snowy pine: three tiers, each with a cap of snow.
void drawPine(Canvas& canvas, float x, float ground, float size) {
    const Rgb needles = 0x3E9A86;
    canvas.paint(
        roundedRect(x - size * 0.08f, ground - size * 0.35f, size * 0.16f, size * 0.35f, size * 0.04f),
        0x8A5E44);
    for (int tier = 0; tier < 3; ++tier) {
        const float bottom = ground - size * (0.25f + 0.42f * static_cast<float>(tier));
        const float width = size * (1.1f - 0.25f * static_cast<float>(tier));
        const float height = size * 0.7f;
        canvas.paintGradient(triangle(x, bottom, width, height), lighter(needles, 0.2f),
                             darker(needles, 0.15f), bottom - height, bottom);
        canvas.paint(triangle(x, bottom - height * 0.55f, width * 0.42f, height * 0.45f), 0xFFFFFF, 235);
    }
}

void drawForest(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    drawClouds(canvas, dice);
    // A far tree line, blue with distance, and the wood's floor below it.
    const Rgb far = mix(palette.farHills, palette.skyTop, 0.35f);
    canvas.paint(roundedRect(0, h * 0.64f, w, h * 0.4f, 0), darker(far, 0.05f));
    for (int i = 0; i < 10; ++i) {
        const float cx = w * (static_cast<float>(i) + dice.between(0.2f, 0.8f)) / 10;
        const float r = h * dice.between(0.08f, 0.12f);
        canvas.paintGradient(fluffyCircle(cx, h * 0.64f, r, r * 0.9f, 9, 0.08f, dice.between(0, pi)),
                             lighter(far, 0.2f), darker(far, 0.05f), h * 0.64f - r, h * 0.64f + r);
    }
    drawHills(canvas, palette, dice);
    const Rgb leaves[] = {0x56B85C, 0x6CC46A, 0x4AA85A};
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 2; ++i) {
            const float inward = static_cast<float>(i) * w * 0.09f + dice.between(0, w * 0.02f);
            const float x = side == 0 ? w * 0.05f + inward : w * 0.95f - inward;
            drawRoundTree(canvas, x, h * (0.97f - 0.06f * static_cast<float>(i)),
                          h * (0.11f - 0.02f * static_cast<float>(i)), leaves[(i + side) % 3]);
        }
    }
    // Toadstools in the grass at both sides.
    for (const float x : {w * 0.16f, w * 0.86f}) {
        const float size = h * 0.03f;
        const float ground = h * 0.985f;
        canvas.paint(
            roundedRect(x - size * 0.35f, ground - size * 1.2f, size * 0.7f, size * 1.2f, size * 0.3f),
            0xFFF3DE);
        canvas.paintGradient(dome(x, ground - size, size * 1.1f, size), 0xFF7A7A, 0xE2454F, ground - size * 2,
                             ground - size);
        for (const float dx : {-0.5f, 0.0f, 0.5f}) {
            canvas.paint(circle(x + size * dx, ground - size * (1.45f + (dx == 0 ? 0.25f : 0)), size * 0.16f),
                         0xFFFFFF);
        }
    }
    drawGlowDots(canvas, dice, 14, 0.45f, 0.9f, 0xFFF3A0);
}

// A round cactus with two arms and a flower on top.
void drawCactus(Canvas& canvas, float x, float ground, float size, bool armLeftHigh) {
    const Rgb green = 0x5DBB67;
    const float width = size * 0.32f;
    const float top = ground - size;
    const float armHigh = top + size * (armLeftHigh ? 0.3f : 0.45f);
    const float armLow = top + size * (armLeftHigh ? 0.45f : 0.3f);
    const Shape parts[] = {
        roundedRect(x - width / 2, top, width, size, width / 2),
        stroke(x, armHigh + size * 0.12f, x - width * 1.1f, armHigh + size * 0.12f, width * 0.6f),
        stroke(x - width * 1.1f, armHigh + size * 0.12f, x - width * 1.1f, armHigh - size * 0.1f,
               width * 0.6f),
        stroke(x, armLow + size * 0.12f, x + width * 1.1f, armLow + size * 0.12f, width * 0.6f),
        stroke(x + width * 1.1f, armLow + size * 0.12f, x + width * 1.1f, armLow - size * 0.08f,
               width * 0.6f),
    };
    for (const Shape& part : parts) {
        canvas.paintGradient(part, lighter(green, 0.2f), darker(green, 0.12f), top, ground);
    }
    for (const float dx : {-0.22f, 0.0f, 0.22f}) {
        canvas.paint(stroke(x + width * dx, top + width * 0.4f, x + width * dx, ground - width * 0.2f, 1.5f),
                     lighter(green, 0.35f), 160);
    }
    canvas.paint(star(x, top + width * 0.05f, width * 0.45f, width * 0.2f, 5, 0.3f), 0xFF8FB8);
    canvas.paint(circle(x, top + width * 0.05f, width * 0.12f), 0xFFE37A);
}

void drawDunes(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    const int clouds = 2;
    for (int i = 0; i < clouds; ++i) {
        drawCloud(canvas,
                  w * dice.between(0.1f + 0.4f * static_cast<float>(i), 0.4f + 0.4f * static_cast<float>(i)),
                  h * dice.between(0.12f, 0.3f), h * dice.between(0.05f, 0.07f), 0xFFFFFF, 0xE0B48A, 220);
    }
    // Far dunes, pale with the haze, then the near ones.
    const Palette haze{palette.skyTop, palette.skyBottom, mix(palette.farHills, palette.skyBottom, 0.4f),
                       palette.farHills};
    drawRoundLand(canvas, haze, dice, 0.5f, 0.58f, 0.6f);
    drawRoundLand(canvas, palette, dice, 0.62f, 0.72f, 0.9f);
    drawCactus(canvas, w * 0.07f, h * 0.97f, h * 0.2f, true);
    drawCactus(canvas, w * 0.935f, h * 0.985f, h * 0.16f, false);
    for (int i = 0; i < 8; ++i) {
        const float x = dice.between(0, w);
        const float r = h * dice.between(0.006f, 0.012f);
        canvas.paint(ellipse(x, h * dice.between(0.9f, 0.99f), r * 1.6f, r), darker(palette.nearHills, 0.2f),
                     180);
    }
}

void drawSnowman(Canvas& canvas, float x, float ground, float size) {
    const Rgb snow = 0xFFFFFF;
    const Rgb shade = 0xC9DDF2;
    canvas.paintGradient(circle(x, ground - size * 0.42f, size * 0.42f), snow, shade, ground - size * 0.84f,
                         ground);
    canvas.paintGradient(circle(x, ground - size * 1.05f, size * 0.3f), snow, shade, ground - size * 1.35f,
                         ground - size * 0.75f);
    canvas.paint(
        roundedRect(x - size * 0.32f, ground - size * 0.86f, size * 0.64f, size * 0.1f, size * 0.05f),
        0xF2545B);
    canvas.paint(roundedRect(x + size * 0.1f, ground - size * 0.86f, size * 0.1f, size * 0.28f, size * 0.04f),
                 0xF2545B);
    for (const float dx : {-0.1f, 0.1f}) {
        canvas.paint(circle(x + size * dx, ground - size * 1.12f, size * 0.035f), 0x2A2440);
    }
    canvas.paint(triangle(x + size * 0.12f, ground - size * 1.0f, size * 0.08f, size * 0.2f), 0xFF9A3C);
}

void drawSnowfield(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    drawClouds(canvas, dice);
    drawHills(canvas, palette, dice);
    drawPine(canvas, w * 0.05f, h * 0.98f, h * 0.15f);
    drawPine(canvas, w * 0.13f, h * 0.9f, h * 0.1f);
    drawPine(canvas, w * 0.95f, h * 0.98f, h * 0.16f);
    drawPine(canvas, w * 0.87f, h * 0.91f, h * 0.1f);
    drawSnowman(canvas, w * 0.21f, h * 0.995f, h * 0.07f);
    for (int i = 0; i < 70; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h);
        const float r = h * dice.between(0.0025f, 0.007f);
        canvas.paint(circle(x, y, r), 0xFFFFFF, 170 + static_cast<int>(dice.next() % 70));
    }
    for (int i = 0; i < 10; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h * 0.7f);
        const float r = h * dice.between(0.01f, 0.018f);
        canvas.paint(star(x, y, r, r * 0.35f, 6, dice.between(0, pi)), 0xFFFFFF, 220);
    }
}

void drawPumpkin(Canvas& canvas, float x, float ground, float size) {
    const Rgb orange = 0xF59A3A;
    for (const float dx : {-0.35f, 0.35f, 0.0f}) {
        canvas.paintGradient(ellipse(x + size * dx, ground - size * 0.45f, size * 0.42f, size * 0.45f),
                             lighter(orange, 0.2f), darker(orange, 0.15f), ground - size * 0.9f, ground);
    }
    canvas.paint(stroke(x, ground - size * 0.85f, x + size * 0.08f, ground - size * 1.08f, size * 0.12f),
                 0x6D8A3A);
}

void drawAutumn(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    drawClouds(canvas, dice);
    drawHills(canvas, palette, dice);
    const Rgb leafColours[] = {0xF28C38, 0xE65C3A, 0xF6C445, 0xD9713A};
    drawRoundTree(canvas, w * 0.06f, h * 0.97f, h * 0.11f, leafColours[0]);
    drawRoundTree(canvas, w * 0.15f, h * 0.9f, h * 0.08f, leafColours[2]);
    drawRoundTree(canvas, w * 0.94f, h * 0.97f, h * 0.11f, leafColours[1]);
    drawRoundTree(canvas, w * 0.85f, h * 0.91f, h * 0.08f, leafColours[0]);
    drawPumpkin(canvas, w * 0.22f, h * 0.995f, h * 0.05f);
    drawPumpkin(canvas, w * 0.78f, h * 0.995f, h * 0.04f);
    for (int i = 0; i < 26; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h * 0.9f);
        const float length = h * dice.between(0.025f, 0.04f);
        const float angle = dice.between(0, 2 * pi);
        const float dx = std::cos(angle) * length / 2;
        const float dy = std::sin(angle) * length / 2;
        const Rgb colour = leafColours[dice.next() % std::size(leafColours)];
        canvas.paint(leaf(x - dx, y - dy, x + dx, y + dy, length * 0.5f), colour, 225);
        canvas.paint(stroke(x - dx * 0.8f, y - dy * 0.8f, x + dx * 0.8f, y + dy * 0.8f, 1.0f),
                     darker(colour, 0.25f), 150);
    }
}

// A lollipop: a striped stick and a disc with a swirl, glossy on its top left.
void drawLollipop(Canvas& canvas, float x, float ground, float size, Rgb colour) {
    canvas.paint(stroke(x, ground, x, ground - size * 1.4f, size * 0.12f), 0xFFF8F0);
    const float cy = ground - size * 1.5f;
    canvas.paintGradient(circle(x, cy, size * 0.5f), lighter(colour, 0.2f), darker(colour, 0.1f),
                         cy - size * 0.5f, cy + size * 0.5f);
    for (int ring = 1; ring <= 3; ++ring) {
        const float r = size * 0.12f * static_cast<float>(ring);
        canvas.paint(arcBand(x, cy, r, size * 0.06f, static_cast<float>(ring) * 1.3f,
                             static_cast<float>(ring) * 1.3f + 1.5f * pi),
                     0xFFFFFF, 200);
    }
    canvas.paintSoft(ellipse(x - size * 0.18f, cy - size * 0.22f, size * 0.14f, size * 0.08f), 0xFFFFFF, 170,
                     softness(canvas, 120));
}

void drawCandy(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    drawClouds(canvas, dice, 0xFFEAF5, 0xE7A8CB, 240);
    drawHills(canvas, palette, dice);
    const Rgb sprinkles[] = {0xFF6F9F, 0x6FC8FF, 0xFFD35C, 0x8EE08A, 0xB48CFF, 0xFFFFFF};
    for (int i = 0; i < 40; ++i) {
        const float x = dice.between(0, w);
        const float y = h * dice.between(0.05f, 0.98f);
        const float length = h * dice.between(0.008f, 0.014f);
        const float angle = dice.between(0, pi);
        canvas.paint(stroke(x, y, x + std::cos(angle) * length, y + std::sin(angle) * length, h * 0.006f),
                     sprinkles[dice.next() % std::size(sprinkles)], 230);
    }
    drawLollipop(canvas, w * 0.06f, h * 0.99f, h * 0.1f, 0xFF7FB6);
    drawLollipop(canvas, w * 0.15f, h * 0.99f, h * 0.07f, 0x7FD2FF);
    drawLollipop(canvas, w * 0.94f, h * 0.99f, h * 0.1f, 0xB49CFF);
    drawLollipop(canvas, w * 0.85f, h * 0.99f, h * 0.07f, 0xFFC65C);
}

void drawMoon(Canvas& canvas, float x, float y, float r) {
    const Rgb moon = 0xFFF2C6;
    canvas.paintSoft(circle(x, y, r * 1.9f), 0xFFF4D0, 70, softness(canvas, 14));
    canvas.paintGradient(circle(x, y, r), lighter(moon, 0.3f), darker(moon, 0.05f), y - r, y + r);
    const float craters[][3] = {
        {-0.35f, -0.2f, 0.18f}, {0.3f, 0.25f, 0.22f}, {0.05f, -0.45f, 0.1f}, {-0.2f, 0.4f, 0.12f}};
    for (const auto& crater : craters) {
        canvas.paint(circle(x + r * crater[0], y + r * crater[1], r * crater[2]), darker(moon, 0.08f), 150);
    }
}

void drawNight(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSkyGradient(canvas, palette);
    for (int i = 0; i < 80; ++i) {
        const float r = h * dice.between(0.0015f, 0.004f);
        canvas.paint(circle(dice.between(0, w), h * dice.between(0, 0.75f), r), 0xFFF8DC,
                     120 + static_cast<int>(dice.next() % 120));
    }
    for (int i = 0; i < 14; ++i) {
        const float x = dice.between(0, w);
        const float y = h * dice.between(0.02f, 0.6f);
        const float r = h * dice.between(0.008f, 0.016f);
        canvas.paintSoft(circle(x, y, r * 1.6f), 0xFFF3B0, 80, softness(canvas, 120));
        canvas.paint(star(x, y, r, r * 0.45f, 5, dice.between(0, pi)), 0xFFF6C8, 235);
    }
    drawMoon(canvas, w * 0.82f, h * 0.15f, h * 0.085f);
    drawClouds(canvas, dice, 0xA9A8E6, 0x23285C, 150);
    drawHills(canvas, palette, dice);
    drawGlowDots(canvas, dice, 16, 0.62f, 0.97f, 0xFFE55C);
}

void drawRainbow(Canvas& canvas, const Palette& palette, Dice& dice) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    drawSky(canvas, palette);
    const Rgb bands[] = {0xFF8C8C, 0xFFB46E, 0xFFE27A, 0x9DE38A, 0x86CBFF, 0x9C9CF2, 0xD49CEF};
    const float radius = h * 0.62f;
    const float band = h * 0.028f;
    const float cx = w / 2;
    const float cy = h * 0.95f;
    canvas.paintSoft(arcBand(cx, cy, radius - band * 3, band * 9, pi, 2 * pi), 0xFFFFFF, 60,
                     softness(canvas, 40));
    for (std::size_t i = 0; i < std::size(bands); ++i) {
        canvas.paint(arcBand(cx, cy, radius - band * static_cast<float>(i), band * 1.15f, pi, 2 * pi),
                     bands[i], 190);
    }
    drawClouds(canvas, dice);
    drawBubbles(canvas, dice);
    drawHills(canvas, palette, dice);
    for (const float x : {cx - radius + band * 3, cx + radius - band * 3}) {
        drawCloud(canvas, x, h * 0.88f, h * 0.12f);
    }
    for (int i = 0; i < 12; ++i) {
        const float r = h * dice.between(0.008f, 0.016f);
        canvas.paint(star(dice.between(0, w), h * dice.between(0.03f, 0.6f), r, r * 0.3f, 4), 0xFFFFFF, 230);
    }
}

} // namespace

void drawScenery(Canvas& canvas, int number, std::optional<Rgb> skyTop, Dice& dice) {
    const int chosen = number >= 0 && number < sceneryCount ? number : std::abs(number % classicSceneries);
    Palette palette = palettes[chosen];
    palette.skyTop = skyTop.value_or(palette.skyTop);
    switch (chosen) {
    case 4:
        drawForest(canvas, palette, dice);
        break;
    case 5:
        drawDunes(canvas, palette, dice);
        break;
    case 6:
        drawSnowfield(canvas, palette, dice);
        break;
    case 7:
        drawAutumn(canvas, palette, dice);
        break;
    case 8:
        drawCandy(canvas, palette, dice);
        break;
    case 9:
        drawNight(canvas, palette, dice);
        break;
    case 10:
        drawRainbow(canvas, palette, dice);
        break;
    default:
        drawSky(canvas, palette);
        drawClouds(canvas, dice);
        drawBubbles(canvas, dice);
        drawHills(canvas, palette, dice);
        break;
    }
}

} // namespace mkmedia
