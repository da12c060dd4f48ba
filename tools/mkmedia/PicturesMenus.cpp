// The menus' pictures: the pause screen, the celebration at the end of the VIB game with the glint that
// blinks on its trophy, the groove of the settings' sliders and of the help's scroll bar, and the pibbles
// the help shows beside its text.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/FrameBox.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/PibbleLooks.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/SceneFigures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;

// ---- The pause screen ----

// A "z" of three strokes, `size` across, its top left at (x, y).
void drawSnore(Canvas& canvas, float x, float y, float size, int alpha) {
    const float t = std::max(1.5f, size * 0.2f);
    const Rgb ink = 0xF2EEFF;
    canvas.paint(stroke(x, y, x + size, y, t), ink, alpha);
    canvas.paint(stroke(x + size, y, x, y + size, t), ink, alpha);
    canvas.paint(stroke(x, y + size, x + size, y + size, t), ink, alpha);
}

// A pibble fast asleep, its lids down, sunk a little into the cloud it lies on; its snores rise to the
// side it faces.
void drawSleeper(Canvas& canvas, const char* look, float cx, float cloudTop, float radius, float snoreSide) {
    PibblePose pose = poseOf(look, cx, cloudTop + radius * 0.2f, radius);
    pose.squash = 1.08f;
    drawPibbleWithEars(canvas, pose, -0.6f);
    drawEyelids(canvas, pose);
    const float top = pose.ground - radius * 2.1f;
    for (int i = 0; i < 3; ++i) {
        const float step = static_cast<float>(i);
        const float size = radius * (0.26f + 0.1f * step);
        drawSnore(canvas, cx + snoreSide * radius * (0.6f + 0.42f * step) - (snoreSide < 0 ? size : 0),
                  top - radius * 0.62f * step, size, 230 - 50 * i);
    }
}

// A cloud (its middle and base in parts of the picture, its width in parts of the picture's width) and the
// one or two pibbles asleep on it, placed off its middle by parts of the width.
struct Sleepers {
    float cloudX;
    float cloudBase;
    float cloudWidth;
    const char* looks[2];
    float offsets[2];
};

} // namespace

void drawPauseScene(const PictureRequest& request, int, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    Dice dice(request.seed);
    canvas.revealAll(255);
    canvas.paintGradient(whole(canvas), 0x2F366C, 0x9C8FCB, 0, h);
    canvas.paintSoft(ellipse(w * 0.5f, h * 1.02f, w * 0.75f, h * 0.3f), 0xF4C8DC, 80, blurOf(h * 0.08f));
    for (int i = 0; i < 90; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h * 0.62f);
        const float r = h * dice.between(0.0015f, 0.0035f);
        const int alpha = 90 + static_cast<int>(dice.next() % 130);
        canvas.paint(i % 9 == 0 ? star(x, y, r * 3.2f, r * 0.8f, 4) : circle(x, y, r), 0xFFF8E0, alpha);
    }
    // A crescent moon in its glow: a disc with most of it cut away on a layer of its own.
    const float moonX = w * 0.86f;
    const float moonY = h * 0.14f;
    const float moonR = h * 0.055f;
    canvas.paintSoft(circle(moonX, moonY, moonR * 2.2f), 0xFFF1C8, 60, blurOf(moonR));
    Canvas moon(canvas.width(), canvas.height());
    moon.over(circle(moonX, moonY, moonR), 0xFFF1C8);
    moon.erase(circle(moonX + moonR * 0.45f, moonY - moonR * 0.25f, moonR * 0.86f));
    canvas.stamp(moon.image(), 0, 0);
    // Far clouds drifting behind, faint.
    for (int i = 0; i < 5; ++i) {
        const float cx = w * (0.08f + 0.21f * static_cast<float>(i)) + dice.between(-20, 20);
        fluffyCloud(canvas, cx, h * dice.between(0.46f, 0.56f), w * dice.between(0.16f, 0.22f),
                    h * dice.between(0.07f, 0.1f), 0xB9B2E6, 0x7A70B2, 110);
    }
    // The caption over a soft glow.
    canvas.paintSoft(ellipse(w * 0.5f, h * 0.235f, w * 0.3f, h * 0.085f), white, 50, blurOf(h * 0.05f));
    placeCaption(request, canvas, w * 0.5f, h * 0.235f);
    // The sleepers on their clouds; the band below them is left calm for the "continue" text.
    const Sleepers groups[] = {
        {0.2f, 0.8f, 0.3f, {"yellow", "purple"}, {-0.05f, 0.07f}},
        {0.52f, 0.73f, 0.34f, {"blue", "clown"}, {-0.06f, 0.06f}},
        {0.82f, 0.8f, 0.28f, {"green", nullptr}, {0.0f, 0.0f}},
    };
    const float cloudHeight = h * 0.17f;
    for (const Sleepers& group : groups) {
        const float cx = w * group.cloudX;
        const float base = h * group.cloudBase;
        fluffyCloud(canvas, cx, base, w * group.cloudWidth, cloudHeight, 0xFFFFFF, 0xB3ABDD, 255);
        const float top = base - cloudHeight * 0.55f;
        for (int i = 0; i < 2; ++i) {
            if (group.looks[i] != nullptr) {
                drawSleeper(canvas, group.looks[i], cx + w * group.offsets[i], top, h * 0.056f,
                            i == 0 && group.looks[1] != nullptr ? -1.0f : 1.0f);
            }
        }
        // The near puffs tuck the sleepers' feet into the cloud.
        fluffyCloud(canvas, cx, base + cloudHeight * 0.05f, w * group.cloudWidth * 0.9f, cloudHeight * 0.62f,
                    0xFFFFFF, 0xC3BCE6, 255);
    }
    vignette(canvas, 0.35f);
}

namespace {

// ---- The celebration ----

// The rectangle of the entry's "shine": "x y width height".
struct Area {
    float x = 0;
    float y = 0;
    float w = 0;
    float h = 0;
};

bool readArea(const std::string& text, Area& area) {
    std::istringstream numbers(text);
    return static_cast<bool>(numbers >> area.x >> area.y >> area.w >> area.h) && area.w > 0 && area.h > 0;
}

// The trophy is placed by its cup, which covers the shine rectangle with room to spare: the cup's rounded
// corners must not leave the rectangle's corners on the sky. The cup's middle, its top and bottom rows, its
// half widths there, the radius of its lower corners, and the row the plinth stands on.
struct Trophy {
    float cx;
    float top;
    float bottom;
    float halfTop;
    float halfBottom;
    float corner;
    float base;
};

Trophy trophyOver(const Area& shine) {
    Trophy trophy;
    trophy.cx = shine.x + shine.w / 2;
    trophy.top = shine.y - shine.h * 0.14f;
    trophy.bottom = shine.y + shine.h * 1.2f;
    trophy.halfTop = shine.w * 0.5f + shine.h * 0.2f;
    trophy.halfBottom = shine.w * 0.5f + shine.h * 0.1f;
    trophy.corner = shine.h * 0.38f;
    trophy.base = trophy.bottom + shine.h * 1.2f;
    return trophy;
}

// The cup: straight sides narrowing a little, its lower corners rounded.
Shape cupOf(const Trophy& t) {
    Shape cup = {{t.cx - t.halfTop, t.top}, {t.cx + t.halfTop, t.top}};
    const float sideBottom = t.bottom - t.corner;
    const auto halfAt = [&](float y) {
        return t.halfTop + (t.halfBottom - t.halfTop) * (y - t.top) / (t.bottom - t.top);
    };
    for (int i = 0; i <= 8; ++i) {
        const float a = 0.5f * pi * static_cast<float>(i) / 8;
        cup.emplace_back(t.cx + halfAt(sideBottom) - t.corner + std::cos(a) * t.corner,
                         sideBottom + std::sin(a) * t.corner);
    }
    for (int i = 0; i <= 8; ++i) {
        const float a = 0.5f * pi + 0.5f * pi * static_cast<float>(i) / 8;
        cup.emplace_back(t.cx - halfAt(sideBottom) + t.corner + std::cos(a) * t.corner,
                         sideBottom + std::sin(a) * t.corner);
    }
    return cup;
}

// A golden cup on a stem and a two-step plinth, lit from the left, a star on its front; drawn on its own
// layer, whose shading keeps to the cup.
void drawTrophy(Canvas& canvas, const Trophy& t) {
    constexpr Rgb gold = 0xF5B82E;
    constexpr Rgb deep = 0xB9780F;
    constexpr Rgb pale = 0xFFE89A;
    Canvas layer(canvas.width(), canvas.height());
    const float r = t.halfTop;
    for (const float way : {-1.0f, 1.0f}) {
        const float hx = t.cx + way * (t.halfTop * 0.92f);
        const float hy = t.top + (t.bottom - t.top) * 0.36f;
        const float a0 = way > 0 ? -0.55f * pi : 0.55f * pi;
        const float a1 = way > 0 ? 0.55f * pi : 1.45f * pi;
        layer.over(arcBand(hx, hy, r * 0.42f, r * 0.2f, a0, a1), deep);
        layer.over(arcBand(hx, hy, r * 0.42f, r * 0.11f, a0, a1), gold);
    }
    const float stemTop = t.bottom - r * 0.05f;
    const float plate = t.base - r * 0.62f;
    layer.overGradient(Shape{{t.cx - r * 0.16f, stemTop},
                             {t.cx + r * 0.16f, stemTop},
                             {t.cx + r * 0.1f, plate - r * 0.2f},
                             {t.cx + r * 0.3f, plate},
                             {t.cx - r * 0.3f, plate},
                             {t.cx - r * 0.1f, plate - r * 0.2f}},
                       gold, deep, stemTop, plate);
    layer.over(ellipse(t.cx, stemTop + (plate - stemTop) * 0.42f, r * 0.2f, r * 0.09f), pale);
    layer.overGradient(roundedRect(t.cx - r * 0.62f, plate, r * 1.24f, r * 0.16f, r * 0.05f), pale, gold,
                       plate, plate + r * 0.16f);
    const float plinth = plate + r * 0.14f;
    layer.overGradient(roundedRect(t.cx - r * 0.78f, plinth, r * 1.56f, t.base - plinth, r * 0.08f), 0x9A6440,
                       0x5E3A24, plinth, t.base);
    layer.overGradient(roundedRect(t.cx - r * 0.44f, plinth + (t.base - plinth) * 0.25f, r * 0.88f,
                                   (t.base - plinth) * 0.42f, r * 0.04f),
                       pale, gold, plinth, t.base);
    // The cup, lit from the left: a bright band, the darker far side, the rim and the star.
    const Shape cup = cupOf(t);
    layer.over(scaled(cup, t.cx, (t.top + t.bottom) / 2, 1.06f, 1.04f), deep);
    Canvas shine(canvas.width(), canvas.height());
    shine.overGradient(cup, 0xFFD45A, darker(gold, 0.08f), t.top, t.bottom);
    shine.over(roundedRect(t.cx + r * 0.35f, t.top - 2, r, t.bottom - t.top + 4, 0), deep, 120,
               blurOf(r * 0.2f));
    shine.over(roundedRect(t.cx - r * 0.68f, t.top + 4, r * 0.3f, (t.bottom - t.top) * 0.8f, r * 0.15f),
               white, 120, blurOf(r * 0.06f));
    shine.clipTo(cup);
    layer.stamp(shine.image(), 0, 0);
    layer.over(ellipse(t.cx, t.top, t.halfTop * 1.02f, r * 0.17f), pale);
    layer.over(ellipse(t.cx, t.top + r * 0.02f, t.halfTop * 0.86f, r * 0.11f), deep);
    const float starY = (t.top + t.bottom) / 2 + r * 0.06f;
    layer.over(star(t.cx, starY, r * 0.36f, r * 0.16f, 5), deep);
    layer.over(star(t.cx, starY - 1, r * 0.3f, r * 0.13f, 5), pale);
    canvas.stamp(layer.image(), 0, 0);
}

// A hill: the upper half of an ellipse about (cx, cy).
struct Dome {
    float cx;
    float cy;
    float rx;
    float ry;
};

// The row of the grass at x: the top of the highest dome there, or the fallback where none is.
float groundAt(const std::vector<Dome>& domes, float x, float fallback) {
    float ground = fallback;
    for (const Dome& dome : domes) {
        const float d = (x - dome.cx) / dome.rx;
        if (d * d < 1) {
            ground = std::min(ground, dome.cy - dome.ry * std::sqrt(1 - d * d));
        }
    }
    return ground;
}

// A cheering pibble: its look, where it stands, how far below the grass line of the hills (a part of the
// picture's height: nearer pibbles stand lower), its size and how high it is jumping (parts of the height).
struct Cheerer {
    const char* look;
    float x;
    float depth;
    float radius;
    float lift;
};

} // namespace

bool celebrationKnown(const PictureRequest& request, std::string& error) {
    Area shine;
    if (!readArea(request.entry.text("shine"), shine)) {
        error = "a celebration needs its \"shine\": x y width height";
        return false;
    }
    const Trophy trophy = trophyOver(shine);
    if (trophy.cx - trophy.halfTop * 1.6f < 0 ||
        trophy.cx + trophy.halfTop * 1.6f > static_cast<float>(request.width) || trophy.top < 0 ||
        trophy.base > static_cast<float>(request.height)) {
        error = "the trophy over the shine does not fit the picture";
        return false;
    }
    return true;
}

void drawCelebration(const PictureRequest& request, int, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    Dice dice(request.seed);
    Area shine;
    readArea(request.entry.text("shine"), shine);
    const Trophy trophy = trophyOver(shine);
    const float glowY = (trophy.top + trophy.bottom) / 2;
    canvas.revealAll(255);
    canvas.paintGradient(whole(canvas), 0x74C3FF, 0xFFF0D2, 0, h * 0.72f);
    // Rays from behind the cup, then the rainbow arching over it.
    for (int i = 0; i < 18; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 18 + 0.1f;
        const float reach = w;
        canvas.paintSoft(
            Shape{{trophy.cx, glowY},
                  {trophy.cx + std::cos(a - 0.07f) * reach, glowY + std::sin(a - 0.07f) * reach},
                  {trophy.cx + std::cos(a + 0.07f) * reach, glowY + std::sin(a + 0.07f) * reach}},
            i % 2 == 0 ? 0xFFF6C8 : 0xFFE07A, 55, 3);
    }
    const Rgb bands[] = {0xFF8C8C, 0xFFB46E, 0xFFE27A, 0x9DE38A, 0x86CBFF, 0x9C9CF2, 0xD49CEF};
    const float band = h * 0.03f;
    const float arcX = trophy.cx - w * 0.04f;
    const float arcY = h * 1.1f;
    const float radius = arcY - h * 0.22f;
    canvas.paintSoft(arcBand(arcX, arcY, radius - band * 3, band * 9, pi, 2 * pi), white, 60,
                     blurOf(h * 0.04f));
    for (std::size_t i = 0; i < std::size(bands); ++i) {
        canvas.paint(arcBand(arcX, arcY, radius - band * static_cast<float>(i), band * 1.15f, pi, 2 * pi),
                     bands[i], 190);
    }
    canvas.paintSoft(circle(trophy.cx, glowY, h * 0.17f), 0xFFF3B0, 140, blurOf(h * 0.06f));
    for (const auto& [x, y, size] :
         {std::tuple{0.1f, 0.36f, 0.2f}, std::tuple{0.9f, 0.3f, 0.17f}, std::tuple{0.58f, 0.07f, 0.12f}}) {
        fluffyCloud(canvas, w * x, h * y, w * size, h * size * 0.5f, white, 0xC9DDF2, 240);
    }
    // Balloons tied at the left, streamers and confetti in the air, all behind the trophy.
    const Rgb party[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838};
    for (int i = 0; i < 3; ++i) {
        const float bx = w * (0.05f + 0.055f * static_cast<float>(i));
        const float by = h * (0.5f - 0.06f * static_cast<float>(i % 2));
        const float br = h * 0.045f;
        canvas.paint(curveBand({bx, by + br}, {bx + br * 0.6f, by + br * 2.5f}, {w * 0.1f, h * 0.74f}, 1.5f),
                     0x8A8A9A);
        canvas.paintGradient(ellipse(bx, by, br * 0.85f, br), lighter(party[i], 0.35f),
                             darker(party[i], 0.1f), by - br, by + br);
        canvas.paint(ellipse(bx - br * 0.3f, by - br * 0.35f, br * 0.2f, br * 0.3f), white, 150);
    }
    for (int i = 0; i < 6; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(h * 0.05f, h * 0.45f);
        const float reach = h * dice.between(0.08f, 0.14f);
        canvas.paint(
            curveBand({x, y}, {x + reach * 0.8f, y + reach * 0.4f}, {x + reach * 0.2f, y + reach}, 2.2f),
            party[i % 6], 220);
    }
    for (int i = 0; i < 140; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h * 0.68f);
        const float size = h * dice.between(0.005f, 0.009f);
        canvas.paint(turned(roundedRect(x - size, y - size * 0.5f, size * 2, size, size * 0.3f), x, y,
                            dice.between(0, pi)),
                     party[i % 6], 235);
    }
    // The hills: the far ones, the one the trophy stands on and the near one at the left.
    const std::vector<Dome> far = {{w * 0.12f, h * 0.86f, w * 0.3f, h * 0.26f},
                                   {w * 0.55f, h * 0.9f, w * 0.4f, h * 0.28f},
                                   {w * 0.95f, h * 0.84f, w * 0.3f, h * 0.25f}};
    for (const Dome& dome : far) {
        canvas.paintGradient(ellipse(dome.cx, dome.cy, dome.rx, dome.ry), 0xB9E89A, 0x8CCB6A,
                             dome.cy - dome.ry, dome.cy);
    }
    const float hillTop = trophy.base - h * 0.006f;
    const std::vector<Dome> near = {{trophy.cx + w * 0.03f, hillTop + h * 0.62f, w * 0.55f, h * 0.62f},
                                    {w * 0.1f, h * 1.14f, w * 0.42f, h * 0.42f}};
    for (const Dome& dome : near) {
        canvas.paintSoft(ellipse(dome.cx, dome.cy - h * 0.01f, dome.rx, dome.ry), 0xFFFFFF, 60,
                         blurOf(h * 0.01f));
        canvas.paintGradient(ellipse(dome.cx, dome.cy, dome.rx, dome.ry), 0x8EDB5E, 0x4FA83A,
                             dome.cy - dome.ry, h);
    }
    const Rgb petals[] = {0xFFFFFF, 0xFFD23F, 0xFF8FB8, 0xB779F0};
    for (int i = 0; i < 40; ++i) {
        const float x = dice.between(0, w);
        const float y = std::max(groundAt(near, x, h), h * 0.8f) + dice.between(h * 0.02f, h * 0.12f);
        const float r = h * dice.between(0.004f, 0.007f);
        for (int k = 0; k < 5; ++k) {
            const float a = 2 * pi * static_cast<float>(k) / 5;
            canvas.paint(circle(x + std::cos(a) * r, y + std::sin(a) * r, r * 0.8f), petals[i % 4]);
        }
        canvas.paint(circle(x, y, r * 0.6f), 0xFFB020);
    }
    drawTrophy(canvas, trophy);
    // The cheering pibbles on the slopes, the bottom right corner left to the dialog's button.
    const Cheerer cheerers[] = {{"yellow", trophy.cx - w * 0.17f, 0.0f, 0.068f, 0.07f},
                                {"red", trophy.cx + w * 0.18f, 0.0f, 0.062f, 0.05f},
                                {"blue", trophy.cx - w * 0.29f, 0.0f, 0.062f, 0.0f},
                                {"green", trophy.cx + w * 0.3f, 0.0f, 0.058f, 0.0f},
                                {"white", w * 0.1f, 0.0f, 0.066f, 0.04f},
                                {"purple", w * 0.24f, 0.0f, 0.074f, 0.0f},
                                {"orange", trophy.cx - w * 0.05f, 0.2f, 0.08f, 0.06f},
                                {"clown", w * 0.36f, 0.19f, 0.078f, 0.0f}};
    for (const Cheerer& cheerer : cheerers) {
        const float radius = h * cheerer.radius;
        const float ground = groundAt(near, cheerer.x, h) + radius * 0.25f + h * cheerer.depth;
        drawCheerer(canvas, cheerer.look, cheerer.x, std::min(ground, h * 0.97f), radius, h * cheerer.lift);
    }
    placeCaption(request, canvas, w * 0.25f, h * 0.12f);
}

namespace {

// ---- The glint ----

// How far the glint has flared on each frame (it turns a little from frame to frame as well): it flares
// up, then settles to the size it rests at while the game holds its last frame.
constexpr float glintFlare[] = {0.3f, 0.6f, 0.9f, 1.0f, 0.82f, 0.68f};

} // namespace

void drawGlint(const PictureRequest& request, int frame, Canvas& canvas) {
    const float cx = widthOf(canvas) / 2;
    const float cy = heightOf(canvas) / 2;
    const float r = std::min(cx, cy);
    const int steps = static_cast<int>(std::size(glintFlare));
    const int index = request.frames <= 1 ? steps - 1 : frame * (steps - 1) / (request.frames - 1);
    const float flare = glintFlare[std::clamp(index, 0, steps - 1)];
    const float turn = 0.06f * static_cast<float>(frame);
    canvas.over(circle(cx, cy, r * 0.45f * flare), 0xFFF0A0, 150, blurOf(r * 0.2f));
    // A warm rim round the rays, so the glint shows on the trophy's gold as well as on the sky.
    canvas.over(star(cx, cy, r * 1.02f * flare, r * 0.26f * flare, 4, turn), 0xC86A10, 150,
                blurOf(r * 0.08f));
    canvas.over(star(cx, cy, r * 0.62f * flare, r * 0.14f * flare, 4, turn + pi / 4), 0xFFF6C8, 200, 1);
    canvas.over(star(cx, cy, r * 0.98f * flare, r * 0.2f * flare, 4, turn), 0xFFE98A, 255, 1);
    canvas.over(star(cx, cy, r * 0.8f * flare, r * 0.15f * flare, 4, turn), white, 255, 1);
    canvas.over(circle(cx, cy, r * 0.16f * flare), white, 255, 1);
}

namespace {

// ---- The slider's groove ----

bool horizontal(const PictureRequest& request) {
    return request.width >= request.height;
}

// The knob's length along the groove; without one, a knob as long as the groove is wide.
int knobLength(const PictureRequest& request) {
    return request.entry.integer("knob", horizontal(request) ? request.height : request.width);
}

} // namespace

bool sliderTrackKnown(const PictureRequest& request, std::string& error) {
    const int length = horizontal(request) ? request.width : request.height;
    const int knob = knobLength(request);
    if (knob < 1 || knob >= length) {
        error =
            "the knob of " + std::to_string(knob) + " pixels leaves no groove in " + std::to_string(length);
        return false;
    }
    return true;
}

// The groove the knob's middle travels, from half a knob in at one end to half a knob in at the other; sunk
// into the dialog, its inside shaded from its upper side, and its rim in the dialog frame's colour.
void drawSliderTrack(const PictureRequest& request, int, Canvas& canvas) {
    const bool across = horizontal(request);
    const float length = across ? widthOf(canvas) : heightOf(canvas);
    const float breadth = across ? heightOf(canvas) : widthOf(canvas);
    const float knob = static_cast<float>(knobLength(request));
    const float thickness = std::max(4.0f, std::round(breadth * 0.46f));
    const float start = knob / 2 - thickness / 2;
    const float end = length - knob / 2 + thickness / 2;
    const float side = (breadth - thickness) / 2;
    const Rgb rim = request.colour(frameRimColour);
    const auto groove = [&](float inset) {
        return across ? roundedRect(start + inset, side + inset, end - start - 2 * inset,
                                    thickness - 2 * inset, thickness / 2 - inset)
                      : roundedRect(side + inset, start + inset, thickness - 2 * inset,
                                    end - start - 2 * inset, thickness / 2 - inset);
    };
    canvas.paintAll(darker(rim, 0.3f));
    canvas.revealSoft(moved(groove(-1), 0, 1), 90, 1);
    canvas.fill(groove(0), darker(rim, 0.15f));
    const float rimWidth = std::max(1.0f, std::round(thickness * 0.16f));
    if (across) {
        canvas.fillGradient(groove(rimWidth), 0xD9BEA4, 0xF6EADC, side, side + thickness);
    } else {
        canvas.fill(groove(rimWidth), 0xEBDACA);
        canvas.paint(roundedRect(side + rimWidth, start + thickness / 2, 1.5f, end - start - thickness, 0.5f),
                     0xD2BCA6, 200);
    }
    // The light along the lower lip of a groove cut into the dialog.
    canvas.paint(across ? roundedRect(start + thickness / 2, side + thickness - rimWidth - 1.5f,
                                      end - start - thickness, 1.5f, 0.5f)
                        : roundedRect(side + thickness - rimWidth - 1.5f, start + thickness / 2, 1.5f,
                                      end - start - thickness, 0.5f),
                 white, 140);
}

namespace {

// ---- The help's pibbles ----

// The pibble frames the help's pictures are composed from, as the game's pictures are: 100 x 125, the feet
// at (48, 101), nothing below row 110.
constexpr int pibbleFrameWidth = 100;
constexpr int pibbleFrameHeight = 125;
constexpr int pibbleFeetX = 48;
constexpr int pibbleLastRow = 110;
// The square about the feet that holds the whole pibble, ears and all.
constexpr int pibbleSquare = 84;
constexpr float stubbornDarkening = 0.25f;

// One of the game's pibble pictures, drawn as the manifest's entry for it draws it: a colour's part
// ("look"), a collectable's part, or a shared part (neither).
Canvas pibblePart(const std::string& look, const std::string& part, int frames = 1, int collectable = 0) {
    Entry entry{"image", {{"kind", "pibble"}, {"part", part}}};
    std::string file = "images/pibbles/";
    if (collectable > 0) {
        entry.attributes["collectable"] = std::to_string(collectable);
        file += "collectable_" + std::to_string(collectable) + "_";
    } else if (!look.empty()) {
        entry.attributes["look"] = look;
        file += look + "_";
    }
    entry.attributes["file"] = file + part + ".png";
    PictureRequest request(entry);
    request.width = pibbleFrameWidth;
    request.height = pibbleFrameHeight;
    request.frames = frames;
    request.seed = stableHash(entry.file());
    Canvas canvas(pibbleFrameWidth, pibbleFrameHeight);
    drawPibblePicture(request, 0, canvas);
    return canvas;
}

// As the game darkens a stubborn pibble's parts: every colour channel less the factor, alpha kept.
Canvas darkened(Canvas canvas, float factor) {
    std::uint32_t* pixels = canvas.image().pixels32();
    const int count = canvas.width() * canvas.height();
    for (int i = 0; i < count; ++i) {
        pixels[i] = (pixels[i] & 0xFF000000u) | darker(pixels[i] & 0xFFFFFFu, factor);
    }
    return canvas;
}

// The picture at another size, each pixel the mean of the source's area it covers, colours weighed by their
// alpha so that transparent pixels lend no colour to the edges.
Canvas resampled(const Canvas& source, int width, int height) {
    Canvas result(width, height);
    const float sx = static_cast<float>(source.width()) / static_cast<float>(width);
    const float sy = static_cast<float>(source.height()) / static_cast<float>(height);
    std::uint32_t* out = result.image().pixels32();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (int v = static_cast<int>(y * sy);
                 v < std::min(source.height(), static_cast<int>(std::ceil((y + 1) * sy))); ++v) {
                const float cover = std::min<float>(v + 1, (y + 1) * sy) - std::max<float>(v, y * sy);
                for (int u = static_cast<int>(x * sx);
                     u < std::min(source.width(), static_cast<int>(std::ceil((x + 1) * sx))); ++u) {
                    const float weight =
                        cover * (std::min<float>(u + 1, (x + 1) * sx) - std::max<float>(u, x * sx));
                    const std::uint32_t pixel = source.pixel(u, v);
                    const double alpha = static_cast<double>(pixel >> 24) / 255.0 * weight;
                    sum[0] += alpha;
                    sum[1] += channel(pixel, 16) * alpha;
                    sum[2] += channel(pixel, 8) * alpha;
                    sum[3] += channel(pixel, 0) * alpha;
                    area += weight;
                }
            }
            if (sum[0] <= 0 || area <= 0) {
                continue;
            }
            const auto lane = [&](int i) { return static_cast<std::uint32_t>(std::lround(sum[i] / sum[0])); };
            const auto alpha = static_cast<std::uint32_t>(std::lround(255.0 * sum[0] / area));
            out[result.image().pixelIndex(x, y)] = alpha << 24 | lane(1) << 16 | lane(2) << 8 | lane(3);
        }
    }
    return result;
}

const char* const helpKinds[] = {"plain", "clown", "party", "stubborn", "chained", "vib", "collectable"};

bool helpKindKnown(const std::string& kind) {
    return std::find(std::begin(helpKinds), std::end(helpKinds), kind) != std::end(helpKinds);
}

// The pibble the entry names, in a frame of the game's pibbles, laid together as the game lays its parts.
Canvas helpPibble(const PictureRequest& request) {
    const std::string kind = request.entry.text("pibble");
    const std::string look = kind == "clown" ? "clown" : request.entry.text("look", "blue");
    const int number = kind == "collectable" ? std::max(1, request.entry.integer("collectable", 1)) : 0;
    const float dark = kind == "stubborn" ? stubbornDarkening : 0.0f;
    Canvas figure(pibbleFrameWidth, pibbleFrameHeight);
    if (kind == "party") {
        figure.stamp(pibblePart(look, "partyback", 23).image(), 0, 0);
    } else if (kind == "vib") {
        figure.stamp(pibblePart(look, "vibstatic").image(), 0, 0);
    }
    figure.stamp(pibblePart("", "shadow").image(), 0, 0);
    for (const char* part : {"ears", "feet", "body", "head"}) {
        const std::string name = std::string(part) == "head" && kind == "stubborn" ? "head_stubborn" : part;
        const int frames = number == 0 && name == "ears" ? 3 : 1;
        Canvas piece = pibblePart(number > 0 ? "" : look, name, frames, number);
        figure.stamp((dark > 0 ? darkened(piece, dark) : piece).image(), 0, 0);
    }
    if (kind == "party") {
        figure.stamp(pibblePart(look, "party").image(), 0, 0);
    } else if (kind == "chained") {
        figure.stamp(pibblePart("", "dechain", 7).image(), 0, 0);
    }
    return figure;
}

} // namespace

bool helpIconKnown(const PictureRequest& request, std::string& error) {
    if (!helpKindKnown(request.entry.text("pibble"))) {
        error = "no help pibble \"" + request.entry.text("pibble") + "\"";
        return false;
    }
    if (request.width != request.height || request.width > pibbleSquare) {
        error = "a help pibble is square and at most " + std::to_string(pibbleSquare) + " pixels";
        return false;
    }
    return true;
}

// The pibble shrunk from the square of its frame that holds it, about its feet and down to its last row.
void drawHelpIcon(const PictureRequest& request, int, Canvas& canvas) {
    const Canvas figure = helpPibble(request);
    const Canvas square =
        figure.cut(pibbleFeetX - pibbleSquare / 2, pibbleLastRow - pibbleSquare, pibbleSquare, pibbleSquare);
    canvas.copyFrom(resampled(square, canvas.width(), canvas.height()), 0, 0);
}

} // namespace mkmedia
