// The first start's comic: four wordless pages of the pibbles' story on cream paper. They play in a meadow;
// a storm cloud scatters them; they look for each other and line up by colour; together again under a
// rainbow, they cheer at the player. Each page's panels are drawn with the pibbles' own parts; the dots along
// the bottom tell the page, and the band's right end stays free for the dialog's next button.
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/PibbleLooks.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/SceneFigures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb paper = 0xFFF4DE;
constexpr Rgb panelInk = 0x3A2746;
constexpr int pageCount = 4;
// The panels keep above this share of the page's height: below it lie the page's dots and the button.
constexpr float bandTop = 0.87f;
constexpr float gutter = 0.028f;

struct Panel {
    int x;
    int y;
    int w;
    int h;
};

// A scene painted on a canvas of the panel's size: x and y in the panel, w and h its size.
using SceneOf = std::function<void(Canvas& scene, float w, float h)>;

// Cream paper with a faint tooth and slightly darker edges.
void drawPaper(Canvas& page, Dice& dice) {
    page.revealAll(255);
    page.paintAll(paper);
    for (int i = 0; i < 900; ++i) {
        const float x = dice.between(0, static_cast<float>(page.width()));
        const float y = dice.between(0, static_cast<float>(page.height()));
        page.paint(circle(x, y, dice.between(0.4f, 1.1f)), i % 2 == 0 ? 0xF2E2C4 : 0xFFFBF0, 120);
    }
    vignette(page, 0.12f);
}

// The panel's picture inside a rounded ink border, over its soft shadow.
void placePanel(Canvas& page, const Panel& panel, const SceneOf& scene) {
    const float w = static_cast<float>(panel.w);
    const float h = static_cast<float>(panel.h);
    const float radius = std::min(w, h) * 0.05f;
    const float border = std::max(2.0f, static_cast<float>(page.height()) * 0.006f);
    Canvas inner(panel.w, panel.h);
    inner.revealAll(255);
    scene(inner, w, h);
    inner.clipTo(roundedRect(0, 0, w, h, radius));
    const auto px = static_cast<float>(panel.x);
    const auto py = static_cast<float>(panel.y);
    page.paintSoft(roundedRect(px + border, py + border * 2, w, h, radius), 0x6A5040, 90, blurOf(border * 2));
    page.paint(roundedRect(px - border, py - border, w + 2 * border, h + 2 * border, radius + border),
               panelInk);
    page.stamp(inner.image(), panel.x, panel.y);
}

// Which page this is: a dot for each, the current one filled.
void drawPageDots(Canvas& page, int current) {
    const float w = static_cast<float>(page.width());
    const float h = static_cast<float>(page.height());
    const float r = h * 0.014f;
    const float y = h * (bandTop + 1) / 2;
    for (int i = 0; i < pageCount; ++i) {
        const float x = w / 2 + (static_cast<float>(i) - 1.5f) * r * 3.6f;
        page.paint(circle(x, y, r + 1.5f), panelInk);
        page.paint(circle(x, y, r), i + 1 == current ? 0xFF8FB8 : paper);
    }
}

// ---- What the scenes are made of ----

// A sky from `top` to `bottom`, and round hills from `hillTop` down, lit at their tops.
void sky(Canvas& c, float w, float h, Rgb top, Rgb bottom) {
    c.paintGradient(roundedRect(0, 0, w, h, 0), top, bottom, 0, h * 0.75f);
}

void hills(Canvas& c, float w, float h, float hillTop, Rgb light, Rgb dark) {
    c.paintGradient(ellipse(w * 0.2f, hillTop + h * 0.5f, w * 0.6f, h * 0.5f), lighter(light, 0.15f), dark,
                    hillTop, h);
    c.paintGradient(ellipse(w * 0.85f, hillTop + h * 0.56f, w * 0.55f, h * 0.5f), light, dark,
                    hillTop + h * 0.05f, h);
}

void flowers(Canvas& c, Dice& dice, float w, float h, float from, int count) {
    const Rgb petals[] = {0xFFFFFF, 0xFFD23F, 0xFF8FB8, 0xB779F0};
    for (int i = 0; i < count; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(from, h * 0.99f);
        const float r = h * dice.between(0.006f, 0.011f);
        for (int k = 0; k < 5; ++k) {
            const float a = 2 * pi * static_cast<float>(k) / 5;
            c.paint(circle(x + std::cos(a) * r, y + std::sin(a) * r, r * 0.8f), petals[i % 4]);
        }
        c.paint(circle(x, y, r * 0.6f), 0xFFB020);
    }
}

void sun(Canvas& c, float x, float y, float r) {
    c.paintSoft(circle(x, y, r * 2), 0xFFFBE0, 160, blurOf(r));
    c.paint(circle(x, y, r), 0xFFF2B0);
}

// A pibble in a pose of the story, drawn part by part.
struct Actor {
    const char* look;
    float x;      // share of the panel's width
    float ground; // share of the panel's height
    float radius; // share of the panel's height
    Mood mood = Mood::Content;
    float lift = 0; // share of the panel's height
    float squash = 1;
    float lookX = 0;
    float lookY = 0;
    float earLift = 0.2f;
};

PibblePose poseFor(const Actor& actor, float w, float h) {
    PibblePose pose = poseOf(actor.look, w * actor.x, h * actor.ground, h * actor.radius);
    pose.mood = actor.mood;
    pose.lift = h * actor.lift;
    pose.squash = actor.squash;
    pose.lookX = actor.lookX;
    pose.lookY = actor.lookY;
    return pose;
}

void act(Canvas& c, const Actor& actor, float w, float h) {
    drawPibbleWithEars(c, poseFor(actor, w, h), actor.earLift);
}

// Lines of joy beside a happy pibble: it is waving.
void joyLines(Canvas& c, const PibblePose& pose, Rgb colour) {
    const PibbleBody body = bodyOf(pose);
    const float r = body.radius();
    for (const float way : {-1.0f, 1.0f}) {
        const float x = body.cx + way * r * 1.2f;
        const float y = body.cy - r * 0.7f;
        c.over(stroke(x, y + r * 0.3f, x + way * r * 0.35f, y - r * 0.1f, r * 0.1f), colour, 230);
        c.over(stroke(x + way * r * 0.1f, y + r * 0.75f, x + way * r * 0.55f, y + r * 0.6f, r * 0.1f), colour,
               230);
    }
}

// A question mark over a thought bubble's puffs, drawn in strokes.
void wonder(Canvas& c, float x, float y, float size) {
    c.over(circle(x, y, size * 0.75f), white, 240);
    c.over(circle(x - size * 0.7f, y + size * 0.95f, size * 0.16f), white, 240);
    c.over(circle(x - size * 0.95f, y + size * 1.25f, size * 0.09f), white, 240);
    c.over(arcBand(x, y - size * 0.18f, size * 0.24f, size * 0.12f, 1.0f * pi, 2.45f * pi), panelInk);
    c.over(stroke(x + size * 0.02f, y + size * 0.05f, x, y + size * 0.2f, size * 0.12f), panelInk);
    c.over(circle(x, y + size * 0.4f, size * 0.07f), panelInk);
}

void heartAt(Canvas& c, float x, float y, float size, Rgb colour) {
    c.over(heart(x, y, size * 1.15f), darker(colour, 0.35f));
    c.over(heart(x, y, size), colour);
    c.over(circle(x - size * 0.2f, y - size * 0.15f, size * 0.1f), white, 200);
}

void twinkle(Canvas& c, float x, float y, float r, Rgb colour) {
    c.over(circle(x, y, r * 0.6f), colour, 90, blurOf(r * 0.4f));
    c.over(star(x, y, r, r * 0.25f, 4), colour, 255, 1);
    c.over(circle(x, y, r * 0.18f), white, 255, 1);
}

// A beach ball with its coloured segments, turned a little.
void beachBall(Canvas& c, float x, float y, float r) {
    const Rgb segments[] = {0xFF5C8A, 0xFFD23F, 0x3FA7E8, 0xFFFFFF};
    c.over(circle(x, y, r + 1.5f), panelInk);
    for (int i = 0; i < 4; ++i) {
        const float a0 = 0.4f + pi * 0.5f * static_cast<float>(i);
        Shape wedge = {{x, y}};
        for (int k = 0; k <= 8; ++k) {
            const float a = a0 + pi * 0.5f * static_cast<float>(k) / 8;
            wedge.emplace_back(x + std::cos(a) * r, y + std::sin(a) * r);
        }
        c.over(wedge, segments[i]);
    }
    c.over(circle(x, y, r * 0.18f), white);
    c.over(ellipse(x - r * 0.35f, y - r * 0.4f, r * 0.25f, r * 0.15f), white, 150);
}

void butterfly(Canvas& c, float x, float y, float size, Rgb colour) {
    for (const float way : {-1.0f, 1.0f}) {
        c.over(ellipse(x + way * size * 0.45f, y - size * 0.2f, size * 0.45f, size * 0.35f), colour);
        c.over(ellipse(x + way * size * 0.35f, y + size * 0.25f, size * 0.3f, size * 0.25f),
               lighter(colour, 0.3f));
    }
    c.over(stroke(x, y - size * 0.4f, x, y + size * 0.4f, size * 0.12f), panelInk);
}

// A lightning bolt from (x, y) downwards.
void lightning(Canvas& c, float x, float y, float size) {
    const Shape bolt = {{x, y},
                        {x + size * 0.35f, y},
                        {x + size * 0.18f, y + size * 0.42f},
                        {x + size * 0.42f, y + size * 0.42f},
                        {x - size * 0.05f, y + size * 1.1f},
                        {x + size * 0.08f, y + size * 0.58f},
                        {x - size * 0.14f, y + size * 0.58f}};
    c.over(bolt, 0xFFF6A0, 120, blurOf(size * 0.12f));
    c.over(bolt, 0xFFE84A);
}

// A gust: a curling line of the wind.
void gust(Canvas& c, float x, float y, float length, float way) {
    const float t = std::max(1.5f, length * 0.03f);
    c.over(curveBand({x, y}, {x + way * length * 0.5f, y - length * 0.12f}, {x + way * length, y}, t), white,
           170);
    c.over(arcBand(x + way * length, y - length * 0.1f, length * 0.1f, t, way > 0 ? 0.5f * pi : -0.5f * pi,
                   way > 0 ? 2.0f * pi : 1.0f * pi),
           white, 170);
}

void leafFlying(Canvas& c, float x, float y, float size, float turn) {
    c.over(turned(leaf(x - size, y, x + size, y, size * 0.7f), x, y, turn), 0x62B95C);
}

// ---- The pages ----

// They play in a sunny meadow: a beach ball in the air, friends chasing each other, one smelling a flower.
void meadowPlay(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0x6ECBFF, 0xE6F8FF);
    sun(c, w * 0.86f, h * 0.16f, h * 0.07f);
    fluffyCloud(c, w * 0.2f, h * 0.24f, w * 0.18f, h * 0.1f, white, 0xC9DDF2, 240);
    fluffyCloud(c, w * 0.6f, h * 0.16f, w * 0.14f, h * 0.08f, white, 0xC9DDF2, 230);
    hills(c, w, h, h * 0.55f, 0x9EE07A, 0x5DB444);
    flowers(c, dice, w, h, h * 0.62f, 40);
    butterfly(c, w * 0.12f, h * 0.42f, h * 0.025f, 0xFFB347);
    butterfly(c, w * 0.78f, h * 0.4f, h * 0.02f, 0xB779F0);
    beachBall(c, w * 0.52f, h * 0.28f, h * 0.055f);
    const Actor far[] = {{"white", 0.86f, 0.66f, 0.045f, Mood::Happy}, {"green", 0.3f, 0.64f, 0.045f}};
    for (const Actor& actor : far) {
        act(c, actor, w, h);
    }
    Actor sniffer = {"purple", 0.72f, 0.78f, 0.07f, Mood::Content};
    sniffer.lookY = 0.8f;
    sniffer.lookX = -0.6f;
    act(c, sniffer, w, h);
    flowers(c, dice, w, h, h * 0.8f, 3);
    Actor jumper = {"yellow", 0.46f, 0.86f, 0.085f, Mood::Happy};
    jumper.lift = 0.2f;
    jumper.squash = 0.9f;
    jumper.earLift = 0.9f;
    act(c, jumper, w, h);
    Actor watcher = {"blue", 0.62f, 0.9f, 0.08f, Mood::Happy};
    watcher.lookX = -0.5f;
    watcher.lookY = -1;
    act(c, watcher, w, h);
    Actor chased = {"red", 0.12f, 0.92f, 0.08f, Mood::Happy};
    chased.lift = 0.06f;
    chased.lookX = -1;
    act(c, chased, w, h);
    Actor chaser = {"orange", 0.27f, 0.9f, 0.075f, Mood::Happy};
    chaser.lookX = -1;
    chaser.earLift = 0.7f;
    act(c, chaser, w, h);
    Actor clown = {"clown", 0.88f, 0.95f, 0.08f, Mood::Happy};
    act(c, clown, w, h);
}

// A storm cloud rolls in over the meadow; the pibbles look up at it.
void stormComes(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0x69739C, 0xC7CCE0);
    hills(c, w, h, h * 0.6f, 0x83B86A, 0x4E8A3E);
    flowers(c, dice, w, h, h * 0.68f, 18);
    fluffyCloud(c, w * 0.42f, h * 0.4f, w * 1.0f, h * 0.32f, 0x7E7E9C, 0x4A4A66, 255);
    fluffyCloud(c, w * 0.25f, h * 0.3f, w * 0.6f, h * 0.2f, 0x8C8CA8, 0x55557A, 255);
    // The cloud's cross face.
    const float fx = w * 0.42f;
    const float fy = h * 0.3f;
    for (const float way : {-1.0f, 1.0f}) {
        c.over(circle(fx + way * w * 0.07f, fy, h * 0.018f), 0x2A2A40);
        c.over(
            stroke(fx + way * w * 0.035f, fy - h * 0.025f, fx + way * w * 0.11f, fy - h * 0.055f, h * 0.014f),
            0x2A2A40);
    }
    c.over(arcBand(fx, fy + h * 0.07f, w * 0.05f, h * 0.012f, 1.15f * pi, 1.85f * pi), 0x2A2A40);
    lightning(c, w * 0.7f, h * 0.38f, h * 0.16f);
    for (int i = 0; i < 26; ++i) {
        const float x = dice.between(w * 0.05f, w * 0.85f);
        const float y = dice.between(h * 0.42f, h * 0.6f);
        c.over(stroke(x, y, x - h * 0.01f, y + h * 0.04f, 1.5f), 0xC8DCFF, 160);
    }
    for (const float x : {0.22f, 0.52f, 0.8f}) {
        Actor scared = {x < 0.5f ? "green" : (x < 0.7f ? "yellow" : "blue"), x, 0.92f, 0.075f, Mood::Unhappy};
        scared.lookY = -1;
        scared.lookX = x < 0.5f ? 0.5f : -0.3f;
        scared.earLift = -0.7f;
        scared.squash = 1.08f;
        act(c, scared, w, h);
    }
}

// The wind blows them off the meadow, every which way.
void stormScatters(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0x4B4F72, 0x9A9CB8);
    fluffyCloud(c, w * 0.5f, h * 0.16f, w * 1.1f, h * 0.22f, 0x6E6E8C, 0x44445E, 255);
    hills(c, w, h, h * 0.76f, 0x74A85E, 0x3E7A32);
    for (int i = 0; i < 40; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(h * 0.14f, h);
        c.over(stroke(x, y, x - h * 0.015f, y + h * 0.05f, 1.5f), 0xC8DCFF, 140);
    }
    gust(c, w * 0.04f, h * 0.52f, w * 0.32f, 1);
    gust(c, w * 0.5f, h * 0.74f, w * 0.3f, 1);
    gust(c, w * 0.96f, h * 0.36f, w * 0.26f, -1);
    for (int i = 0; i < 7; ++i) {
        leafFlying(c, dice.between(0, w), dice.between(h * 0.25f, h * 0.8f), h * 0.015f, dice.between(0, pi));
    }
    struct Flight {
        const char* look;
        float x;
        float y;
        float radius;
        float squash;
        float lookX;
    };
    const Flight flights[] = {
        {"red", 0.18f, 0.34f, 0.06f, 0.85f, -1},     {"white", 0.75f, 0.5f, 0.065f, 1.2f, 1},
        {"purple", 0.45f, 0.24f, 0.05f, 0.9f, 0.5f}, {"orange", 0.24f, 0.58f, 0.07f, 1.1f, -0.5f},
        {"clown", 0.82f, 0.22f, 0.05f, 0.9f, 1},     {"green", 0.62f, 0.62f, 0.075f, 1.15f, 0.8f}};
    for (const Flight& flight : flights) {
        // Streaks behind it, the way it came from.
        const float r = h * flight.radius;
        const float away = flight.lookX >= 0 ? -1.0f : 1.0f;
        for (int i = 0; i < 3; ++i) {
            const float sy = h * flight.y + r * (0.6f + 0.4f * static_cast<float>(i));
            const float sx = w * flight.x + away * r * (1.2f + 0.15f * static_cast<float>(i % 2));
            c.over(stroke(sx, sy, sx + away * r * 0.9f, sy, std::max(1.5f, r * 0.08f)), white, 190);
        }
        PibblePose pose =
            poseOf(flight.look, w * flight.x, h * flight.y + h * flight.radius * 2, h * flight.radius);
        pose.mood = Mood::Unhappy;
        pose.squash = flight.squash;
        pose.lookX = flight.lookX;
        pose.lookY = -0.5f;
        drawPibblePart(c, pose, PibblePart::Ears, flight.lookX * 0.4f, 0.9f);
        drawPibblePart(c, pose, PibblePart::Feet);
        drawPibblePart(c, pose, PibblePart::Body);
        drawPibblePart(c, pose, PibblePart::Face);
    }
}

// After the rain, one pibble alone wonders where everybody went; the others are far off, looking elsewhere.
void alone(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0xA9B8DC, 0xF6E8DA);
    sun(c, w * 0.1f, h * 0.3f, h * 0.08f);
    hills(c, w, h, h * 0.58f, 0x9ED68A, 0x69B154);
    flowers(c, dice, w, h, h * 0.66f, 16);
    for (const auto& [x, y] : {std::array<float, 2>{0.3f, 0.88f}, std::array<float, 2>{0.72f, 0.92f}}) {
        c.over(ellipse(w * x, h * y, w * 0.07f, h * 0.04f), 0xA8D8F0, 200);
        c.over(ellipse(w * x - w * 0.02f, h * y - h * 0.01f, w * 0.03f, h * 0.012f), white, 150);
    }
    Actor far1 = {"blue", 0.08f, 0.68f, 0.06f};
    far1.lookX = -1;
    act(c, far1, w, h);
    Actor far2 = {"red", 0.93f, 0.7f, 0.06f};
    far2.lookX = 1;
    act(c, far2, w, h);
    Actor lonely = {"yellow", 0.5f, 0.94f, 0.2f, Mood::Unhappy};
    lonely.lookX = -0.8f;
    lonely.earLift = -0.5f;
    act(c, lonely, w, h);
    wonder(c, w * 0.66f, h * 0.3f, h * 0.16f);
}

// Two friends of one colour find each other.
void reunion(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0x8FD6FF, 0xFFF0E0);
    hills(c, w, h, h * 0.55f, 0xA6E58A, 0x6CC256);
    flowers(c, dice, w, h, h * 0.66f, 14);
    Actor left = {"blue", 0.3f, 0.9f, 0.17f, Mood::Happy};
    left.lookX = 1;
    left.lift = 0.06f;
    left.earLift = 0.8f;
    act(c, left, w, h);
    Actor right = {"blue", 0.7f, 0.9f, 0.17f, Mood::Happy};
    right.lookX = -1;
    right.earLift = 0.8f;
    act(c, right, w, h);
    heartAt(c, w * 0.5f, h * 0.3f, h * 0.12f, 0xFF6F91);
    heartAt(c, w * 0.6f, h * 0.14f, h * 0.07f, 0xFF8FB8);
}

// They line up by colour, three in a row, as on the field.
void lineUp(Canvas& c, float w, float h, Dice&) {
    sky(c, w, h, 0x9FE0C8, 0xF2FFF6);
    c.paint(roundedRect(w * 0.08f, h * 0.12f, w * 0.84f, h * 0.8f, h * 0.06f), white, 110);
    const char* rows[] = {"purple", "orange", "green"};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            Actor member = {rows[row], 0.3f + 0.2f * static_cast<float>(column),
                            0.36f + 0.27f * static_cast<float>(row), 0.1f, Mood::Happy};
            act(c, member, w, h);
        }
        twinkle(c, w * 0.88f, h * (0.2f + 0.27f * static_cast<float>(row)), h * 0.05f, 0xFFE066);
    }
}

// Together again under a rainbow, every pibble cheers and waves at the player.
void together(Canvas& c, float w, float h, Dice& dice) {
    sky(c, w, h, 0x74C3FF, 0xFFF0D2);
    sun(c, w * 0.12f, h * 0.15f, h * 0.07f);
    const Rgb bands[] = {0xFF8C8C, 0xFFB46E, 0xFFE27A, 0x9DE38A, 0x86CBFF, 0x9C9CF2, 0xD49CEF};
    const float band = h * 0.035f;
    const float radius = h * 0.78f;
    c.paintSoft(arcBand(w / 2, h * 1.05f, radius - band * 3, band * 9, pi, 2 * pi), white, 60,
                blurOf(h * 0.04f));
    for (std::size_t i = 0; i < std::size(bands); ++i) {
        c.paint(arcBand(w / 2, h * 1.05f, radius - band * static_cast<float>(i), band * 1.15f, pi, 2 * pi),
                bands[i], 200);
    }
    fluffyCloud(c, w * 0.1f, h * 0.7f, w * 0.22f, h * 0.12f, white, 0xC9DDF2, 250);
    fluffyCloud(c, w * 0.9f, h * 0.68f, w * 0.22f, h * 0.12f, white, 0xC9DDF2, 250);
    hills(c, w, h, h * 0.7f, 0x9EE07A, 0x5DB444);
    flowers(c, dice, w, h, h * 0.74f, 36);
    const Rgb party[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838};
    for (int i = 0; i < 70; ++i) {
        const float x = dice.between(0, w);
        const float y = dice.between(0, h * 0.6f);
        const float size = h * dice.between(0.005f, 0.009f);
        c.paint(turned(roundedRect(x - size, y - size * 0.5f, size * 2, size, size * 0.3f), x, y,
                       dice.between(0, pi)),
                party[i % 6], 235);
    }
    const Actor back[] = {{"white", 0.22f, 0.78f, 0.055f, Mood::Happy, 0.04f},
                          {"green", 0.41f, 0.76f, 0.055f, Mood::Happy},
                          {"purple", 0.59f, 0.76f, 0.055f, Mood::Happy, 0.05f},
                          {"orange", 0.78f, 0.78f, 0.055f, Mood::Happy}};
    for (const Actor& actor : back) {
        drawCheerer(c, actor.look, w * actor.x, h * actor.ground, h * actor.radius, h * actor.lift);
    }
    const Actor front[] = {{"yellow", 0.1f, 0.95f, 0.085f, Mood::Happy, 0.05f},
                           {"blue", 0.32f, 0.97f, 0.09f, Mood::Happy},
                           {"red", 0.68f, 0.97f, 0.09f, Mood::Happy, 0.06f},
                           {"clown", 0.9f, 0.95f, 0.085f, Mood::Happy}};
    for (const Actor& actor : front) {
        Actor waving = actor;
        waving.earLift = 0.8f;
        waving.squash = actor.lift > 0 ? 0.94f : 1.04f;
        const PibblePose pose = poseFor(waving, w, h);
        drawPibbleWithEars(c, pose, waving.earLift);
        joyLines(c, pose, white);
    }
    heartAt(c, w * 0.5f, h * 0.86f, h * 0.09f, 0xFF6F91);
    twinkle(c, w * 0.28f, h * 0.42f, h * 0.04f, 0xFFF1A0);
    twinkle(c, w * 0.74f, h * 0.38f, h * 0.05f, 0xFFF1A0);
}

using Painter = void (*)(Canvas& scene, float w, float h, Dice& dice);

struct Layout {
    // Left, top, width and height as shares of the page.
    float x;
    float y;
    float w;
    float h;
    Painter paint;
};

// The panels of each page, in reading order.
std::vector<Layout> layoutOf(int page) {
    constexpr float m = gutter;
    constexpr float bottom = bandTop - gutter;
    constexpr float half = (1 - 3 * m) / 2;
    switch (page) {
    case 1:
        return {{m, m, 1 - 2 * m, bottom - m, meadowPlay}};
    case 2:
        return {{m, m, half, bottom - m, stormComes}, {2 * m + half, m, half, bottom - m, stormScatters}};
    case 3: {
        const float top = (bottom - 2 * m) * 0.46f;
        const float lower = bottom - 2 * m - top;
        return {{m, m, 1 - 2 * m, top, alone},
                {m, 2 * m + top, half, lower, reunion},
                {2 * m + half, 2 * m + top, half, lower, lineUp}};
    }
    case 4:
        return {{m, m, 1 - 2 * m, bottom - m, together}};
    default:
        return {};
    }
}

} // namespace

bool comicPageKnown(const PictureRequest& request, std::string& error) {
    const int page = request.entry.integer("page", -1);
    if (page < 0 || page > pageCount) {
        error = "a comic page is page 1 to " + std::to_string(pageCount) + ", or 0 for the bare paper";
        return false;
    }
    return true;
}

void drawComicPage(const PictureRequest& request, int, Canvas& canvas) {
    const int page = request.entry.integer("page", 0);
    Dice dice(request.seed);
    drawPaper(canvas, dice);
    if (page < 1) {
        return;
    }
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    for (const Layout& layout : layoutOf(page)) {
        const Panel panel{
            static_cast<int>(std::lround(layout.x * w)), static_cast<int>(std::lround(layout.y * h)),
            static_cast<int>(std::lround(layout.w * w)), static_cast<int>(std::lround(layout.h * h))};
        placePanel(canvas, panel,
                   [&](Canvas& scene, float sw, float sh) { layout.paint(scene, sw, sh, dice); });
    }
    drawPageDots(canvas, page);
}

} // namespace mkmedia
