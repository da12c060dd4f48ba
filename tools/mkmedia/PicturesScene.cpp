// The scene pictures: backgrounds, the animated logo and the window icon.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

struct Scenery {
    Rgb skyTop;
    Rgb skyBottom;
    Rgb farHills;
    Rgb nearHills;
};

constexpr Scenery sceneries[] = {
    {0x6ECBFF, 0xDDF5FF, 0xA6E58A, 0x74CC5C},
    {0xB59CFF, 0xFFDDF2, 0xFFB3D5, 0xF58BBB},
    {0xFFAE73, 0xFFF2C4, 0xFFD873, 0xF2B447},
    {0x63D8C0, 0xE3FFF5, 0x8FE3B4, 0x4FC193},
};

// "scenery" picks one by its number; without it the file's name does.
Scenery sceneryFor(const PictureRequest& request) {
    const int chosen = request.entry.integer("scenery", -1);
    const std::size_t index = chosen >= 0 ? static_cast<std::size_t>(chosen) : request.seed;
    Scenery scenery = sceneries[index % std::size(sceneries)];
    scenery.skyTop = request.colour(scenery.skyTop);
    return scenery;
}

void drawSky(Canvas& canvas, const Scenery& scenery) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    canvas.revealAll(255);
    canvas.paintGradient(roundedRect(0, 0, w, h, 0), scenery.skyTop, scenery.skyBottom, 0, h * 0.8f);
    canvas.paintSoft(circle(w * 0.82f, h * 0.14f, h * 0.16f), 0xFFFBE0, 200,
                     std::max(2, canvas.height() / 16));
    canvas.paint(circle(w * 0.82f, h * 0.14f, h * 0.085f), 0xFFF6C8, 230);
}

// A cloud: a row of overlapping puffs on a flat base, with a faint shadow beneath.
void drawCloud(Canvas& canvas, float x, float y, float size) {
    const Shape puffs[] = {
        circle(x - size * 0.55f, y + size * 0.1f, size * 0.38f),
        circle(x - size * 0.1f, y - size * 0.15f, size * 0.5f),
        circle(x + size * 0.45f, y + size * 0.05f, size * 0.4f),
        roundedRect(x - size * 0.9f, y, size * 1.75f, size * 0.45f, size * 0.22f),
    };
    for (const Shape& puff : puffs) {
        canvas.paint(puff, 0x9AB5D6, 50);
    }
    for (const Shape& puff : puffs) {
        Shape raised = puff;
        for (graphics::PointF& point : raised) {
            point.setY(point.getY() - size * 0.08f);
        }
        canvas.paint(raised, 0xFFFFFF, 235);
    }
}

void drawClouds(Canvas& canvas, Dice& dice) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const int count = 3 + static_cast<int>(dice.next() % 3);
    for (int i = 0; i < count; ++i) {
        const float x = w * (static_cast<float>(i) + dice.between(0.2f, 0.8f)) / static_cast<float>(count);
        drawCloud(canvas, x, h * dice.between(0.1f, 0.38f), h * dice.between(0.06f, 0.1f));
    }
}

// Two rows of round hills; each gets a soft light along its top.
void drawHills(Canvas& canvas, const Scenery& scenery, Dice& dice) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const struct {
        Rgb colour;
        float top;
        int count;
    } rows[] = {{scenery.farHills, 0.7f, 3}, {scenery.nearHills, 0.8f, 4}};
    for (const auto& row : rows) {
        for (int i = 0; i < row.count; ++i) {
            // Centred on the bottom edge, neighbours overlapping, so no sky shows below them.
            const float cx =
                w * (static_cast<float>(i) + dice.between(0.3f, 0.7f)) / static_cast<float>(row.count);
            const float rx = w / static_cast<float>(row.count) * dice.between(0.8f, 1.1f);
            const float ry = h * (1 - row.top) * dice.between(0.85f, 1.15f);
            const float cy = h;
            const Shape hill = ellipse(cx, cy, rx, ry);
            canvas.paintGradient(hill, lighter(row.colour, 0.25f), darker(row.colour, 0.15f), cy - ry, h);
            canvas.paintSoft(ellipse(cx - rx * 0.2f, cy - ry * 0.9f, rx * 0.35f, ry * 0.05f), 0xFFFFFF, 80,
                             std::max(2, canvas.height() / 60));
        }
    }
}

// Soap bubbles: a faint body, a brighter rim and a glint.
void drawBubbles(Canvas& canvas, Dice& dice) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
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

// A few pibbles sitting on the hills, when the entry asks for them.
void drawResidents(Canvas& canvas, const PictureRequest& request, Dice& dice) {
    const int count = std::clamp(request.entry.integer("creatures", 0), 0, 12);
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    for (int i = 0; i < count; ++i) {
        PibblePose pose;
        pose.radius = h * dice.between(0.045f, 0.07f);
        pose.cx = w * (static_cast<float>(i) + dice.between(0.25f, 0.75f)) / static_cast<float>(count);
        pose.ground = h * dice.between(0.88f, 0.96f);
        pose.lookX = dice.between(-1, 1);
        pose.body = pibbleColour(dice.next());
        drawPibble(canvas, pose);
    }
}

// A pale, soft-edged pane that keeps the scenery behind the pibbles quiet, with a faint shadow below it.
void drawPane(Canvas& canvas, float x, float y, float w, float h) {
    const float radius = std::min(w, h) * 0.12f;
    const int soft = std::max(2, canvas.height() / 60);
    canvas.paintSoft(roundedRect(x, y + h * 0.015f, w, h, radius), 0x1E3050, 60, soft * 3);
    canvas.paintSoft(roundedRect(x, y, w, h, radius), 0xFFFFFF, 120, soft);
    canvas.paint(roundedRect(x, y, w, h, radius), 0xFFFFFF, 90);
    // A brighter rim along the top, as light falling on glass.
    canvas.paintSoft(roundedRect(x + radius, y + soft, w - 2 * radius, h * 0.05f, radius * 0.5f), 0xFFFFFF,
                     70, soft);
}

// The areas a level's field and queue cover, "x y width height" each, separated by ';'. A malformed area is
// left out.
void drawClearings(Canvas& canvas, const PictureRequest& request) {
    std::istringstream areas(request.entry.text("clearing"));
    for (std::string area; std::getline(areas, area, ';');) {
        std::istringstream numbers(area);
        float x = 0;
        float y = 0;
        float w = 0;
        float h = 0;
        if (numbers >> x >> y >> w >> h && w > 0 && h > 0) {
            drawPane(canvas, x, y, w, h);
        }
    }
}

struct LogoKey {
    float lift;
    float squash;
    bool wink;
    float lookX;
};

// The logo's entrance: the pibble drops in, bounces twice, looks about, winks and comes to rest on
// frame 12.
constexpr LogoKey logoKeys[] = {
    {1.7f, 0.8f, false, 0.0f},  {1.0f, 0.86f, false, 0.0f}, {0.3f, 0.92f, false, 0.0f},
    {0.0f, 1.38f, false, 0.0f}, {0.55f, 0.9f, false, 0.0f}, {0.75f, 0.95f, false, 0.0f},
    {0.4f, 0.95f, false, 0.0f}, {0.0f, 1.22f, false, 0.0f}, {0.12f, 0.97f, false, -0.7f},
    {0.0f, 1.06f, false, 0.7f}, {0.0f, 1.0f, true, 0.3f},   {0.0f, 1.0f, true, 0.0f},
    {0.0f, 1.0f, false, 0.0f},
};
constexpr int restingFrame = static_cast<int>(std::size(logoKeys)) - 1;

LogoKey logoKey(int frame, int frames) {
    if (frames <= restingFrame) {
        // Fewer frames than the entrance has: sample it so the last frame still rests.
        return frames == 1 ? logoKeys[restingFrame] : logoKeys[frame * restingFrame / (frames - 1)];
    }
    if (frame <= restingFrame) {
        return logoKeys[frame];
    }
    // After the entrance: breathing, with a blink now and then.
    const int beat = frame - restingFrame;
    const float breath = 1.0f + 0.035f * std::sin(static_cast<float>(beat) * pi / 3);
    return {0.0f, breath, beat % 7 == 4, 0.0f};
}

} // namespace

void drawBackground(const PictureRequest& request, int, Canvas& canvas) {
    const Scenery scenery = sceneryFor(request);
    Dice dice(request.seed);
    drawSky(canvas, scenery);
    drawClouds(canvas, dice);
    drawBubbles(canvas, dice);
    drawHills(canvas, scenery, dice);
    drawResidents(canvas, request, dice);
    drawClearings(canvas, request);
    if (request.caption) {
        placeCaption(request, canvas, static_cast<float>(canvas.width()) / 2,
                     static_cast<float>(canvas.height()) * 0.2f);
    }
}

void drawLogo(const PictureRequest& request, int frame, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float captionHeight = request.caption ? static_cast<float>(request.caption->getHeight()) : 0.0f;
    const float stage = static_cast<float>(canvas.height()) - captionHeight * 0.85f;
    const LogoKey key = logoKey(frame, request.frames);
    PibblePose pose;
    pose.radius = std::min(w * 0.3f, stage * 0.36f);
    pose.cx = w / 2;
    pose.ground = stage - pose.radius * 0.12f;
    pose.lift = key.lift * pose.radius;
    pose.squash = key.squash;
    pose.rightEyeClosed = key.wink;
    pose.lookX = key.lookX;
    pose.body = request.colour(0xFFB347);
    canvas.paintAll(darker(pose.body, 0.3f));
    drawPibble(canvas, pose);
    if (request.caption) {
        placeCaption(request, canvas, w / 2, stage + captionHeight * 0.3f);
    }
}

// A pibble's face filling the icon; SDL shows it in the window's title bar and task list.
void drawIcon(const PictureRequest& request, int, Canvas& canvas) {
    const float size = static_cast<float>(std::min(canvas.width(), canvas.height()));
    PibblePose pose;
    pose.radius = size * 0.42f;
    pose.cx = static_cast<float>(canvas.width()) / 2;
    pose.ground = static_cast<float>(canvas.height()) / 2 + size * 0.46f;
    pose.body = request.colour(0xFFB347);
    canvas.paintAll(darker(pose.body, 0.3f));
    drawPibble(canvas, pose);
}

} // namespace mkmedia
