// The VIB chapter map's pictures: the landscape, the dotted trails between the chapters, the little photos
// of finished chapters, the player's pibble and its smile, the shine about it, the sparkle of a chapter
// appearing and the speech bubble beside the player.
#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/ChapterMap.h"
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/FrameBox.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/Sceneries.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb gold = 0xFFD84A;

enum ButtonState { Normal = 0, Over = 1, Pressed = 2, Disabled = 3 };

// The number list of an attribute: "1 2 4 ...".
std::vector<int> numbersOf(const std::string& text) {
    std::vector<int> numbers;
    std::istringstream in(text);
    for (int value = 0; in >> value;) {
        numbers.push_back(value);
    }
    return numbers;
}

// Every pixel's colour moved towards its grey by `amount` (0..1), alpha kept.
void desaturate(Canvas& canvas, float amount) {
    std::uint32_t* pixels = canvas.image().pixels32();
    const int count = canvas.width() * canvas.height();
    for (int i = 0; i < count; ++i) {
        const Rgb colour = pixels[i] & 0xFFFFFFu;
        const int grey =
            (channel(colour, 16) * 299 + channel(colour, 8) * 587 + channel(colour, 0) * 114) / 1000;
        const auto level = static_cast<Rgb>(grey);
        pixels[i] = (pixels[i] & 0xFF000000u) | mix(colour, level << 16 | level << 8 | level, amount);
    }
}

// A four-pointed glint.
Shape glint(float x, float y, float size) {
    return star(x, y, size, size * 0.28f, 4);
}

// ---- The trail ----

// Round stepping stones every few pixels along the curve, over a faint sandy band that joins them.
void drawTrail(Canvas& canvas, const std::vector<graphics::PointF>& curve) {
    Canvas band(canvas.width(), canvas.height());
    for (std::size_t i = 1; i < curve.size(); ++i) {
        band.over(stroke(curve[i - 1].getX(), curve[i - 1].getY(), curve[i].getX(), curve[i].getY(), 11),
                  0xF2DFAE);
    }
    std::uint32_t* pixels = band.image().pixels32();
    for (int i = 0; i < band.width() * band.height(); ++i) {
        const std::uint32_t alpha = (pixels[i] >> 24) * 110 / 255;
        pixels[i] = alpha == 0 ? 0 : (pixels[i] & 0xFFFFFFu) | alpha << 24;
    }
    canvas.stamp(band.image(), 0, 0);
    constexpr float spacing = 12;
    float ahead = spacing / 2;
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const float dx = curve[i].getX() - curve[i - 1].getX();
        const float dy = curve[i].getY() - curve[i - 1].getY();
        const float length = std::hypot(dx, dy);
        float along = ahead;
        for (; along <= length; along += spacing) {
            const float x = curve[i - 1].getX() + dx * along / length;
            const float y = curve[i - 1].getY() + dy * along / length;
            canvas.over(ellipse(x, y + 1.6f, 4.2f, 3.4f), 0x5A4226, 80, 1);
            canvas.over(ellipse(x, y, 4.2f, 3.5f), 0xC0915A);
            canvas.over(ellipse(x, y - 0.4f, 3.2f, 2.6f), 0xFFF4D8);
            canvas.over(circle(x - 1.1f, y - 1.3f, 1.0f), white, 200);
        }
        ahead = along - length;
    }
}

// ---- The photos of finished chapters ----

// The chapter's scenery, small, on a white card.
Canvas photoCard(int scenery, std::uint32_t seed, int width, int height) {
    const int border = std::max(2, width / 15);
    const int bottom = border * 2;
    const int photoW = width - 2 * border;
    const int photoH = height - border - bottom;
    Canvas scene(photoW * 2, photoH * 2);
    Dice dice(seed);
    drawScenery(scene, scenery, std::nullopt, dice);
    Canvas photo = shrunk(scene, 2);
    finishPhoto(photo);
    Canvas card(width, height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    card.over(roundedRect(0, 0, w, h, 2.5f), 0xE3DCCF);
    card.overGradient(roundedRect(0.8f, 0.8f, w - 1.6f, h - 1.6f, 2), white, 0xF6F1E6, 0, h);
    card.stamp(photo.image(), border, border);
    card.over(
        roundedRect(static_cast<float>(border), static_cast<float>(border), static_cast<float>(photoW), 1, 0),
        0x000000, 40);
    return card;
}

} // namespace

void drawChapterPhoto(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const int scenery = request.entry.integer("scenery", 0);
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const int cardW = canvas.width() * 5 / 6;
    const int cardH = canvas.height() * 5 / 6;
    Canvas card = photoCard(scenery, request.seed, cardW, cardH);
    if (state == Disabled) {
        desaturate(card, 0.35f);
    }
    // Every other chapter leans the other way, as photos pinned up by hand.
    const Canvas turned = turnedCopy(card, scenery % 2 == 0 ? -0.06f : 0.06f);
    const float sink = state == Pressed ? 1.5f : 0.0f;
    const float cx = w / 2;
    const float cy = h / 2 + sink;
    const float cw = static_cast<float>(cardW);
    const float ch = static_cast<float>(cardH);
    if (state == Over) {
        canvas.over(roundedRect(cx - cw / 2 - 3, cy - ch / 2 - 3, cw + 6, ch + 6, 6), gold, 200, 3);
    }
    canvas.over(roundedRect(cx - cw / 2 + 1, cy - ch / 2 + 2.5f - sink, cw, ch, 3), 0x2A2040,
                state == Pressed ? 60 : 100, 2);
    canvas.stamp(turned.image(), static_cast<int>(std::lround(cx - static_cast<float>(turned.width()) / 2)),
                 static_cast<int>(std::lround(cy - static_cast<float>(turned.height()) / 2)));
    if (state == Over) {
        canvas.over(roundedRect(cx - cw / 2, cy - ch / 2, cw, ch * 0.45f, 3), white, 50);
    }
}

// ---- The player's pibble ----

namespace {

PibblePose headPose(const Canvas& canvas, bool happy, float squash) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    PibblePose pose;
    pose.radius = std::min(w, h) * 0.34f;
    pose.cx = w / 2;
    pose.ground = h - pose.radius * 0.25f;
    pose.squash = squash;
    pose.lookY = 0.3f;
    pose.mood = happy ? Mood::Happy : Mood::Content;
    return pose;
}

} // namespace

// The yellow pibble; four frames make it a button (normal, over with a glow behind it, pressed squashed a
// little, disabled as normal).
void drawPlayerFigure(const PictureRequest& request, int frame, Canvas& canvas) {
    const bool happy = request.entry.text("mood") == "happy";
    const int state = request.frames == 4 ? frame % 4 : Normal;
    const PibblePose pose = headPose(canvas, happy, state == Pressed ? 1.1f : 1.0f);
    if (state == Over) {
        const PibbleBody body = bodyOf(pose);
        canvas.over(circle(body.cx, body.cy, body.radius() * 1.25f), 0xFFF2B0, 230, 4);
    }
    drawColourFigure(canvas, 1, pose);
}

// ---- The shine about the player and the sparkle of a new chapter ----

// Rays turning about the middle, one ray's step over the whole strip so that it loops, with glints
// twinkling between them.
void drawPlayerShine(const PictureRequest& request, int frame, Canvas& canvas) {
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = static_cast<float>(canvas.height()) / 2;
    const float r = static_cast<float>(std::min(canvas.width(), canvas.height())) / 2;
    const float phase = static_cast<float>(frame) / static_cast<float>(std::max(1, request.frames));
    constexpr int rays = 12;
    canvas.over(circle(cx, cy, r * 0.52f), 0xFFF0A0, 170, static_cast<int>(r * 0.12f));
    for (int i = 0; i < rays; ++i) {
        const float a = 2 * pi * (static_cast<float>(i) + phase) / rays;
        const float spread = i % 2 == 0 ? 0.09f : 0.06f;
        const float reach = r * (i % 2 == 0 ? 0.97f : 0.8f);
        const Shape ray = {{cx + std::cos(a - spread) * r * 0.35f, cy + std::sin(a - spread) * r * 0.35f},
                           {cx + std::cos(a) * reach, cy + std::sin(a) * reach},
                           {cx + std::cos(a + spread) * r * 0.35f, cy + std::sin(a + spread) * r * 0.35f}};
        canvas.over(ray, gold, 170, 2);
        canvas.over(scaled(ray, cx, cy, 0.92f, 0.92f), 0xFFF8D8, 150, 1);
    }
    canvas.over(arcBand(cx, cy, r * 0.48f, r * 0.05f, 0, 2 * pi), white, 150, 1);
    for (int i = 0; i < 6; ++i) {
        const float a = 2 * pi * (static_cast<float>(i) + 0.5f) / 6 + 0.3f;
        const float twinkle = 0.5f + 0.5f * std::sin(2 * pi * phase * 2 + static_cast<float>(i) * 1.7f);
        const float d = r * (0.68f + 0.1f * static_cast<float>(i % 2));
        canvas.over(glint(cx + std::cos(a) * d, cy + std::sin(a) * d, r * (0.06f + 0.07f * twinkle)), white,
                    static_cast<int>(120 + 130 * twinkle));
    }
}

// A glow that bursts into a ring of glints and fades away; the last frame is empty, so the sprite may stay
// on it.
void drawChapterSparkle(const PictureRequest& request, int frame, Canvas& canvas) {
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = static_cast<float>(canvas.height()) / 2;
    const float r = static_cast<float>(std::min(canvas.width(), canvas.height())) / 2;
    const float t = static_cast<float>(frame) / static_cast<float>(std::max(1, request.frames - 1));
    const float fade = 1 - t * t;
    if (fade <= 0.01f) {
        return;
    }
    canvas.over(circle(cx, cy, r * (0.2f + 0.3f * t)), 0xFFF4B8, static_cast<int>(230 * fade * (1 - t)),
                static_cast<int>(r * 0.1f));
    canvas.over(arcBand(cx, cy, r * (0.15f + 0.75f * t), r * (0.12f * (1 - t) + 0.02f), 0, 2 * pi), gold,
                static_cast<int>(220 * fade), 1);
    for (int i = 0; i < 8; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 8 + 0.2f;
        const float d = r * (0.2f + 0.7f * std::sqrt(t)) * (i % 2 == 0 ? 1.0f : 0.8f);
        canvas.over(glint(cx + std::cos(a) * d, cy + std::sin(a) * d, r * (0.2f - 0.1f * t)),
                    i % 2 == 0 ? white : 0xFFE98A, static_cast<int>(255 * fade));
    }
}

// ---- The speech bubble ----

// The bubble stands on the "side" of the player given, its tail reaching out of its lower corner on the
// other side towards the player; its body lies about the picture's middle, where the label is put.
void drawMapBubble(const PictureRequest& request, int, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float tailRoom = w * 0.12f;
    const BoxLook look = boxLookOf(14);
    const Box body{tailRoom, 0, w - 2 * tailRoom, h - tailRoom * 0.6f, 14};
    std::vector<FramedShape> parts = {boxShapes(body, look)};
    const float baseTop = body.h * 0.45f;
    const float baseBottom = body.h - look.margin - look.rim - 2;
    const float inner = body.x + body.w - look.margin - look.rim - 3;
    const Shape tailOutline = {{inner - 6, baseTop}, {w - 2, h - 3}, {inner - 14, baseBottom + look.rim}};
    const Shape tailBody = {{inner - 8, baseTop + look.rim},
                            {w - 2 - look.rim * 1.6f, h - 3 - look.rim * 1.2f},
                            {inner - 14, baseBottom}};
    parts.push_back(framedShape(tailOutline, tailBody, look));
    drawFramed(canvas, parts, look, frameRimColour, paleOf(frameRimColour));
    if (request.entry.text("side") == "right") {
        canvas.mirror();
    }
}

bool chapterMapKnown(const PictureRequest& request, std::string& error) {
    const std::string kind = request.entry.kind();
    if (kind == "chaptermap") {
        const std::size_t spots = pointListOf(request.entry.text("spots")).size();
        if (spots == 0 || spots != numbersOf(request.entry.text("sceneries")).size()) {
            error = "a map gives as many \"sceneries\" as \"spots\"";
            return false;
        }
    }
    if (kind == "trail" && (pointListOf(request.entry.text("points")).size() < 2 ||
                            pointListOf(request.entry.text("at")).size() != 1)) {
        error = "a trail needs two \"points\" or more and the place it is drawn \"at\"";
        return false;
    }
    if (kind == "speechbubble" && request.entry.text("side") != "left" &&
        request.entry.text("side") != "right") {
        error = "a speech bubble's side is left or right";
        return false;
    }
    return true;
}

void drawChapterMap(const PictureRequest& request, int, Canvas& canvas) {
    drawChapterLandscape(canvas, numbersOf(request.entry.text("sceneries")),
                         pointListOf(request.entry.text("spots")));
}

// "points" in the screen's pixels, "at" the screen place of the picture's top-left corner.
void drawTrailPicture(const PictureRequest& request, int, Canvas& canvas) {
    const graphics::PointF at = pointListOf(request.entry.text("at")).front();
    std::vector<graphics::PointF> curve = walkedCurve(pointListOf(request.entry.text("points")));
    for (graphics::PointF& point : curve) {
        point = {point.getX() - at.getX(), point.getY() - at.getY()};
    }
    drawTrail(canvas, curve);
}

} // namespace mkmedia
