// The selection scene's pictures: the title screen behind the main menu, the big mode buttons, the soft
// glows laid behind or over a button, the rows of the player list and the name field, and the visitor that
// flies across the screen when its code is typed.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/FrameBox.h"
#include "tools/mkmedia/PibbleLooks.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/SceneFigures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb disabledGrey = 0xB9B6C4;
constexpr int pressedState = 2;
constexpr int disabledState = 3;

// Every pixel's colour turned to its grey and lifted towards white by `lift`, alpha kept: a picture that
// cannot be used.
void greyOut(Canvas& canvas, float lift) {
    std::uint32_t* pixels = canvas.image().pixels32();
    const int count = canvas.width() * canvas.height();
    for (int i = 0; i < count; ++i) {
        const std::uint32_t pixel = pixels[i];
        const auto level = static_cast<std::uint32_t>(
            (channel(pixel, 16) * 299 + channel(pixel, 8) * 587 + channel(pixel, 0) * 114) / 1000);
        const Rgb grey = level << 16 | level << 8 | level;
        pixels[i] = (pixel & 0xFF000000u) | lighter(grey, lift);
    }
}

// A five-petalled flower with a golden middle.
void daisy(Canvas& canvas, float x, float y, float r, Rgb petals) {
    for (int k = 0; k < 5; ++k) {
        const float a = 2 * pi * static_cast<float>(k) / 5;
        canvas.paint(circle(x + std::cos(a) * r, y + std::sin(a) * r, r * 0.8f), petals);
    }
    canvas.paint(circle(x, y, r * 0.6f), 0xFFB020);
}

// A four-pointed twinkle with a soft glow about it.
void twinkle(Canvas& canvas, float x, float y, float r, Rgb colour, int alpha = 255) {
    canvas.over(circle(x, y, r * 0.6f), colour, alpha / 3, blurOf(r * 0.4f));
    canvas.over(star(x, y, r, r * 0.25f, 4), colour, alpha, 1);
    canvas.over(circle(x, y, r * 0.18f), white, alpha, 1);
}

// ---- The title screen ----

// The looks in the game's colour order, the clown last.
constexpr std::array<const char*, 8> allLooks = {"yellow", "blue",   "red",    "white",
                                                 "green",  "purple", "orange", "clown"};

// A rectangle of the picture: "x y width height".
struct Area {
    float x = 0;
    float y = 0;
    float w = 0;
    float h = 0;
};

constexpr std::size_t sitterCount = 2;

// The entry's "sitters": the rectangles of the two pibbles on their clouds beside the name, the left one
// first, separated by ';'. False unless there are two, each of a size and wholly inside the picture.
bool readSitters(const PictureRequest& request, std::vector<Area>& areas) {
    areas.clear();
    std::istringstream list(request.entry.text("sitters"));
    for (std::string text; std::getline(list, text, ';');) {
        std::istringstream numbers(text);
        Area area;
        if (!(numbers >> area.x >> area.y >> area.w >> area.h) || area.w <= 0 || area.h <= 0 || area.x < 0 ||
            area.y < 0 || area.x + area.w > static_cast<float>(request.width) ||
            area.y + area.h > static_cast<float>(request.height)) {
            return false;
        }
        areas.push_back(area);
    }
    return areas.size() == sitterCount;
}

// A pibble sitting on a small cloud, waving its ears, its eyes on the middle of the screen. The figure,
// its ears, the clouds and their soft shadows, keeps inside its area: the game lays the welcome line
// beside it. The pibble's size follows the narrower of the area's width and height.
void cloudSitter(Canvas& canvas, const char* look, const Area& area, float lookX) {
    const float radius = std::min(area.w / 3.9f, area.h / 3.9f);
    const float cx = area.x + area.w / 2;
    const float cloudBase = area.y + area.h - radius * 0.35f;
    const float cloudH = radius * 1.1f;
    fluffyCloud(canvas, cx, cloudBase, radius * 3.4f, cloudH, white, 0xC9DDF2, 250);
    PibblePose pose = poseOf(look, cx, cloudBase - cloudH * 0.55f, radius);
    pose.mood = Mood::Happy;
    pose.lookX = lookX;
    drawPibbleWithEars(canvas, pose, 0.5f);
    fluffyCloud(canvas, cx, cloudBase + cloudH * 0.08f, radius * 3.0f, cloudH * 0.6f, white, 0xD3E3F4, 255);
}

// A pibble peeking up over the bottom edge, only its head and ears in view.
void peeker(Canvas& canvas, const char* look, float cx, float radius, float lookX, float lookY) {
    PibblePose pose = poseOf(look, cx, heightOf(canvas) + radius * 0.95f, radius);
    pose.lookX = lookX;
    pose.lookY = lookY;
    drawPibbleWithEars(canvas, pose, 0.3f);
}

} // namespace

bool titleScreenKnown(const PictureRequest& request, std::string& error) {
    std::vector<Area> sitters;
    if (!readSitters(request, sitters)) {
        error = "a title screen needs its two \"sitters\" inside it: x y width height; x y width height";
        return false;
    }
    return true;
}

void drawTitleScreen(const PictureRequest& request, int, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    Dice dice(request.seed);
    canvas.revealAll(255);
    canvas.paintGradient(whole(canvas), 0x5EC2FF, 0xE4F7FF, 0, h * 0.72f);
    // Soft rays from behind the name, then the sun's glow there.
    const float titleY = h * 0.105f;
    for (int i = 0; i < 20; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 20 + 0.05f;
        canvas.paintSoft(Shape{{w / 2, titleY},
                               {w / 2 + std::cos(a - 0.06f) * w, titleY + std::sin(a - 0.06f) * w},
                               {w / 2 + std::cos(a + 0.06f) * w, titleY + std::sin(a + 0.06f) * w}},
                         i % 2 == 0 ? 0xFFFBE0 : 0xE8F8FF, 45, 4);
    }
    canvas.paintSoft(ellipse(w / 2, titleY, w * 0.28f, h * 0.11f), 0xFFF6D0, 150, blurOf(h * 0.06f));
    // Clouds high up at the sides, a faint one behind the mode buttons.
    fluffyCloud(canvas, w * 0.07f, h * 0.46f, w * 0.2f, h * 0.08f, white, 0xCFE2F5, 200);
    fluffyCloud(canvas, w * 0.95f, h * 0.42f, w * 0.18f, h * 0.07f, white, 0xCFE2F5, 200);
    fluffyCloud(canvas, w * 0.55f, h * 0.5f, w * 0.22f, h * 0.06f, white, 0xD8E8F6, 120);
    for (int i = 0; i < 14; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(h * 0.3f, h * 0.55f);
        canvas.paint(circle(x, y, h * dice.between(0.004f, 0.008f)), white, 150);
    }
    // Far hills, then the meadow the small buttons stand on.
    const float farTop = h * 0.66f;
    for (const auto& [x, rx, ry] : {std::array<float, 3>{0.12f, 0.34f, 0.2f},
                                    {0.5f, 0.42f, 0.17f},
                                    std::array<float, 3>{0.9f, 0.32f, 0.21f}}) {
        canvas.paintGradient(ellipse(w * x, farTop + h * ry, w * rx, h * ry), 0xB6E89A, 0x8CCB6A,
                             farTop - h * 0.05f, farTop + h * ry);
    }
    const float nearTop = h * 0.79f;
    for (const auto& [x, rx] : {std::array<float, 2>{0.2f, 0.5f}, std::array<float, 2>{0.8f, 0.52f}}) {
        const Shape hill = ellipse(w * x, nearTop + h * 0.4f, w * rx, h * 0.4f);
        canvas.paintSoft(moved(hill, 0, -h * 0.008f), white, 70, blurOf(h * 0.01f));
        canvas.paintGradient(hill, 0x8EDB5E, 0x4FA83A, nearTop, h);
    }
    const Rgb petals[] = {0xFFFFFF, 0xFFD23F, 0xFF8FB8, 0xB779F0};
    for (int i = 0; i < 46; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(nearTop + h * 0.03f, h * 0.99f);
        daisy(canvas, x, y, h * dice.between(0.004f, 0.007f), petals[i % 4]);
    }
    // Two pibbles on clouds beside the name, each looking towards the middle, and the whole family peeking
    // over the bottom edge.
    const std::array<const char*, sitterCount> sitterLooks = {"yellow", "purple"};
    std::vector<Area> sitters;
    readSitters(request, sitters);
    for (std::size_t i = 0; i < sitters.size() && i < sitterLooks.size(); ++i) {
        const Area& area = sitters[i];
        cloudSitter(canvas, sitterLooks[i], area, area.x + area.w / 2 < w / 2 ? 0.8f : -0.8f);
    }
    const float peek = h * 0.042f;
    for (std::size_t i = 0; i < allLooks.size(); ++i) {
        const float x = w * (0.06f + 0.125f * static_cast<float>(i));
        peeker(canvas, allLooks[i], x, peek, x < w / 2 ? 0.6f : -0.6f, -0.8f);
    }
    placeCaption(request, canvas, w / 2, titleY);
}

namespace {

// ---- The mode buttons ----

enum class Mode { Action, Relax, Vib };

bool modeOf(const std::string& name, Mode& mode) {
    if (name == "action") {
        mode = Mode::Action;
    } else if (name == "relax") {
        mode = Mode::Relax;
    } else if (name == "vib") {
        mode = Mode::Vib;
    } else {
        return false;
    }
    return true;
}

Rgb modeColour(Mode mode) {
    switch (mode) {
    case Mode::Action:
        return 0xFF8A5C;
    case Mode::Relax:
        return 0x56C4E8;
    default:
        return 0xFFB930;
    }
}

// A stopwatch: a round face with its hand, the crown on top.
void stopwatch(Canvas& canvas, float cx, float cy, float r) {
    canvas.over(roundedRect(cx - r * 0.2f, cy - r * 1.45f, r * 0.4f, r * 0.4f, r * 0.08f), 0x6A5A7A);
    canvas.over(circle(cx, cy, r * 1.08f), 0x6A5A7A);
    canvas.overGradient(circle(cx, cy, r), white, 0xE8E4F0, cy - r, cy + r);
    for (int k = 0; k < 12; k += 3) {
        const float a = 2 * pi * static_cast<float>(k) / 12;
        canvas.over(circle(cx + std::cos(a) * r * 0.78f, cy + std::sin(a) * r * 0.78f, r * 0.08f), ink);
    }
    canvas.over(stroke(cx, cy, cx + r * 0.45f, cy - r * 0.45f, r * 0.12f), 0xE8323A);
    canvas.over(circle(cx, cy, r * 0.1f), ink);
}

// A "z" of three strokes, `size` across, its top left at (x, y).
void snore(Canvas& canvas, float x, float y, float size, Rgb colour, int alpha) {
    const float t = std::max(1.5f, size * 0.2f);
    canvas.over(stroke(x, y, x + size, y, t), colour, alpha);
    canvas.over(stroke(x + size, y, x, y + size, t), colour, alpha);
    canvas.over(stroke(x, y + size, x + size, y + size, t), colour, alpha);
}

// What a mode's button shows in its window (of the given bounds): a pibble racing the clock, one asleep on
// a cloud, a crowned one in its golden glow.
void drawModePicture(Canvas& canvas, Mode mode, float x, float y, float w, float h) {
    const float cx = x + w / 2;
    const float r = h * 0.27f;
    switch (mode) {
    case Mode::Action: {
        canvas.overGradient(roundedRect(x, y, w, h, 0), 0xFFE2B8, 0xFFF6E6, y, y + h);
        const float ground = y + h * 0.9f;
        canvas.over(ellipse(cx, ground + h * 0.12f, w * 0.7f, h * 0.2f), 0x8EDB5E);
        for (int i = 0; i < 3; ++i) {
            const float ly = y + h * (0.42f + 0.14f * static_cast<float>(i));
            canvas.over(
                stroke(x + w * 0.06f, ly, x + w * (0.3f - 0.05f * static_cast<float>(i)), ly, h * 0.035f),
                white, 230);
        }
        PibblePose pose = poseOf("orange", cx - w * 0.02f, ground, r * 0.88f);
        pose.mood = Mood::Happy;
        pose.lift = h * 0.06f;
        pose.squash = 0.9f;
        pose.lookX = 0.8f;
        drawPibbleWithEars(canvas, pose, 0.9f);
        stopwatch(canvas, x + w * 0.82f, y + h * 0.3f, h * 0.13f);
        break;
    }
    case Mode::Relax: {
        canvas.overGradient(roundedRect(x, y, w, h, 0), 0x9FDCF8, 0xEAF8FF, y, y + h);
        const float base = y + h * 0.98f;
        fluffyCloud(canvas, cx, base, w * 0.9f, h * 0.42f, white, 0xC8DCF0, 255);
        PibblePose pose = poseOf("blue", cx - w * 0.04f, base - h * 0.26f, r);
        pose.squash = 1.1f;
        drawPibbleWithEars(canvas, pose, -0.6f);
        drawEyelids(canvas, pose);
        fluffyCloud(canvas, cx, base + h * 0.04f, w * 0.8f, h * 0.22f, white, 0xD6E6F4, 255);
        for (int i = 0; i < 3; ++i) {
            const float size = h * (0.07f + 0.03f * static_cast<float>(i));
            snore(canvas, x + w * (0.7f + 0.06f * static_cast<float>(i)),
                  y + h * (0.36f - 0.13f * static_cast<float>(i)), size, 0x4A6FA0, 230 - 40 * i);
        }
        break;
    }
    case Mode::Vib: {
        canvas.overGradient(roundedRect(x, y, w, h, 0), 0xB58CF0, 0xF4E6FF, y, y + h);
        const float cy = y + h * 0.52f;
        for (int i = 0; i < 12; ++i) {
            const float a = 2 * pi * static_cast<float>(i) / 12;
            canvas.over(Shape{{cx, cy},
                              {cx + std::cos(a - 0.12f) * w, cy + std::sin(a - 0.12f) * w},
                              {cx + std::cos(a + 0.12f) * w, cy + std::sin(a + 0.12f) * w}},
                        0xFFF3B0, 90);
        }
        canvas.over(circle(cx, cy, r * 1.5f), 0xFFE680, 170, blurOf(r * 0.4f));
        PibblePose pose = poseOf("white", cx, y + h * 0.95f, r);
        pose.mood = Mood::Happy;
        drawPibbleWithEars(canvas, pose, 0.3f);
        const Collectable crown{4, Pattern::Plain, 0, Accessory::Crown, 0xFFC93C};
        drawAccessory(canvas, crown, pose);
        twinkle(canvas, x + w * 0.16f, y + h * 0.22f, h * 0.08f, 0xFFF1A0);
        twinkle(canvas, x + w * 0.86f, y + h * 0.34f, h * 0.06f, 0xFFF1A0);
        twinkle(canvas, x + w * 0.8f, y + h * 0.12f, h * 0.04f, white);
        break;
    }
    }
}

} // namespace

bool modeButtonKnown(const PictureRequest& request, std::string& error) {
    Mode mode = Mode::Vib;
    if (!modeOf(request.entry.text("mode"), mode)) {
        error = "a mode button's mode is action, relax or vib, not \"" + request.entry.text("mode") + "\"";
        return false;
    }
    if (request.width < 60 || request.height < 60) {
        error = "a mode button is at least 60 x 60";
        return false;
    }
    return true;
}

// The card: a glossy body of the mode's colour, its picture in a window over the caption; pressed, the
// whole card sits lower.
void drawModeButton(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    Mode mode = Mode::Vib;
    modeOf(request.entry.text("mode"), mode);
    const Rgb colour = request.colour(modeColour(mode));
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const float drop = std::max(1.0f, std::round(h * 0.06f));
    const float sink = state == pressedState ? drop : 0.0f;
    drawButtonBody(canvas, buttonStateColour(colour, state == disabledState ? 0 : state), state, w * 0.14f);
    const float inset = w * 0.07f;
    const float windowH = (h - drop) * 0.66f;
    const Shape window = roundedRect(inset, inset + sink, w - 2 * inset, windowH, w * 0.09f);
    canvas.over(moved(window, 0, 1), darker(colour, 0.4f), 200, 1);
    Canvas picture(canvas.width(), canvas.height());
    drawModePicture(picture, mode, inset, inset + sink, w - 2 * inset, windowH);
    if (state == 1) {
        picture.over(whole(picture), white, 40);
    }
    picture.clipTo(window);
    canvas.stamp(picture.image(), 0, 0);
    // The window's glassy rim and the light on its upper half.
    canvas.over(roundedRect(inset + w * 0.05f, inset + sink + 3, w - 2 * inset - w * 0.1f, windowH * 0.22f,
                            windowH * 0.11f),
                white, 60);
    const float captionY = inset + sink + windowH + (h - drop - inset - windowH) * 0.5f;
    placeCaption(request, canvas, w / 2, captionY, state == disabledState ? 0.7f : 1.0f);
    if (state == disabledState) {
        greyOut(canvas, 0.25f);
    }
}

// A glow that fades out to the picture's edges: a rounded box ("shape" round, the default) or an ellipse,
// as far in from the edges as "inset" says; "ring" true clears the middle inside the box again, so that a
// glow laid over a button leaves its face to show.
void drawSoftGlow(const PictureRequest& request, int, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const float inset = std::clamp(
        static_cast<float>(request.entry.integer("inset", static_cast<int>(std::min(w, h) * 0.2f))), 1.0f,
        std::min(w, h) / 2 - 1);
    const Rgb colour = request.colour(0xFFE27A);
    const bool oval = request.entry.text("shape") == "ellipse";
    const auto core = [&](float grow) {
        return oval ? ellipse(w / 2, h / 2, w / 2 - inset + grow, h / 2 - inset + grow)
                    : roundedRect(inset - grow, inset - grow, w - 2 * (inset - grow), h - 2 * (inset - grow),
                                  inset + grow);
    };
    const int blur = blurOf(inset * 0.45f);
    canvas.over(core(inset * 0.35f), colour, 150, blur);
    canvas.over(core(0), lighter(colour, 0.5f), 220, blurOf(inset * 0.25f));
    if (request.entry.text("ring") == "true") {
        canvas.erase(core(-inset * 0.3f), 255, blurOf(inset * 0.2f));
    }
}

namespace {

// ---- The list rows ----

struct RowLook {
    Rgb body;
    Rgb rim;
    int shade;
};

RowLook rowLook(int state, int frames) {
    if (frames == 1) {
        return {0xFFFDF6, 0xE7B98A, 70};
    }
    switch (state) {
    case 1:
        return {0xFFF0CF, 0xFF9F43, 60};
    case pressedState:
        return {0xFFE0AE, 0xE57F1F, 100};
    case disabledState:
        return {0xEFECF2, disabledGrey, 40};
    default:
        return {0xFFFAF0, 0xE7C3A0, 60};
    }
}

} // namespace

// Sunk into the dialog: a rim, a pale body shaded along its upper edge as a hollow is, and a lighter lip
// along its lower edge. One frame is an input field; four are a row's button states.
void drawListRow(const PictureRequest& request, int frame, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const RowLook look = rowLook(frame % 4, request.frames);
    const float radius = std::min(h * 0.35f, 12.0f);
    const Shape outer = roundedRect(0.5f, 0.5f, w - 1, h - 1, radius);
    canvas.paintAll(look.rim);
    canvas.fill(outer, request.colour(look.rim));
    canvas.fill(roundedRect(2, 2, w - 4, h - 4, radius - 1.5f), look.body);
    Canvas hollow(canvas.width(), canvas.height());
    hollow.over(roundedRect(2, 2, w - 4, h * 0.3f, radius - 1.5f), darker(look.body, 0.3f), look.shade,
                blurOf(h * 0.12f));
    hollow.over(roundedRect(6, h - 5, w - 12, 1.5f, 0.5f), white, 160);
    hollow.clipTo(roundedRect(2, 2, w - 4, h - 4, radius - 1.5f));
    canvas.stamp(hollow.image(), 0, 0);
}

// A white pibble off on its travels, about the picture's middle: a propeller cap to fly with, a scarf in
// the wind and a suitcase covered in stickers.
void drawVisitor(const PictureRequest& request, int, Canvas& canvas) {
    const float w = widthOf(canvas);
    const float h = heightOf(canvas);
    const float r = std::min(w, h) * 0.26f;
    const std::string lookName = request.entry.text("look", "white");
    const char* look = pibbleLook(lookName) != nullptr ? lookName.c_str() : "white";
    PibblePose pose = poseOf(look, w * 0.44f, h * 0.5f + r * 1.08f, r);
    pose.mood = Mood::Happy;
    pose.lift = 0;
    drawPibbleWithEars(canvas, pose, 0.6f);
    const Collectable cap{4, Pattern::Plain, 0, Accessory::Propeller, request.colour(0x4FB3F6)};
    drawAccessory(canvas, cap, pose);
    const Collectable scarf{4, Pattern::Plain, 0, Accessory::Scarf, 0xFF6B6B};
    drawAccessory(canvas, scarf, pose);
    // The suitcase, held at its right side.
    const float sx = w * 0.62f;
    const float sy = h * 0.55f;
    const float sw = w * 0.3f;
    const float sh = h * 0.24f;
    canvas.over(arcBand(sx + sw / 2, sy, sw * 0.2f, sw * 0.07f, pi, 2 * pi), 0x5A3322);
    canvas.over(roundedRect(sx - 1, sy - 1, sw + 2, sh + 2, sw * 0.14f), 0x5A3322);
    canvas.overGradient(roundedRect(sx, sy, sw, sh, sw * 0.12f), 0xD9955A, 0xA8602E, sy, sy + sh);
    for (const float band : {0.28f, 0.72f}) {
        canvas.over(roundedRect(sx + sw * band - sw * 0.05f, sy, sw * 0.1f, sh, 1), 0x7A4424);
    }
    canvas.over(circle(sx + sw * 0.5f, sy + sh * 0.42f, sh * 0.2f), 0xFFE066);
    canvas.over(star(sx + sw * 0.5f, sy + sh * 0.42f, sh * 0.14f, sh * 0.06f, 5), 0xFF6B6B);
    canvas.over(turned(roundedRect(sx + sw * 0.08f, sy + sh * 0.6f, sw * 0.22f, sh * 0.26f, 2),
                       sx + sw * 0.19f, sy + sh * 0.73f, -0.3f),
                0x7FD9A8);
    canvas.over(roundedRect(sx + sw * 0.08f, sy + sh * 0.12f, sw * 0.84f, sh * 0.14f, sh * 0.07f), white, 60);
}

} // namespace mkmedia
