// The scene pictures: backgrounds, the animated logo and the window icon.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/Sceneries.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// "scenery" picks one by its number; without it the file's name picks one of the first four.
int sceneryOf(const PictureRequest& request) {
    const int chosen = request.entry.integer("scenery", -1);
    return chosen >= 0 ? chosen : static_cast<int>(request.seed % classicSceneries);
}

// The "color" of the entry, when it gives one, is the colour at the top of the sky.
std::optional<Rgb> skyTopOf(const PictureRequest& request) {
    Rgb colour = 0;
    if (parseRgb(request.entry.text("color"), colour)) {
        return colour;
    }
    return std::nullopt;
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
    Dice dice(request.seed);
    drawScenery(canvas, sceneryOf(request), skyTopOf(request), dice);
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
