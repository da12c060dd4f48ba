// The album's left pages: scrapbook collages stuck together from the pieces of CollageStickers.h on a
// transparent ground, so that the page's paper shows between them. Page 1 (the statistics) has charts and
// pibbles, pages 2 to 4 (the highscores of the three modes) trophies and rosettes under the mode's name
// (the entry's caption), pages 5 to 34 one of five arrangements each, in a colour theme and with pieces
// chosen by the page; the credits' four pages celebrate, thank, light fireworks and gather everyone for a
// photo.
#include "tools/mkmedia/CollageStickers.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/PolaroidScenes.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr int albumPages = 34;
constexpr int creditsPages = 4;
constexpr int firstPositionPage = 5;

struct Theme {
    Rgb paper;
    Rgb other;
    Rgb tape;
    Rgb accent;
};

constexpr Theme themes[] = {
    {0xFFD6E5, 0xCDEBFF, 0xFF8FB8, 0xFF5C8A}, {0xD8F2C8, 0xFFF1B8, 0x7BD05A, 0xFFC22E},
    {0xE6DAFF, 0xFFE0CC, 0xB779F0, 0xFF9838}, {0xC8F0EA, 0xFFD8D8, 0x2FC2A0, 0xFF6B6B},
    {0xFFF0C8, 0xD8E6FF, 0xFFB347, 0x3FA7E8}, {0xFFE0F0, 0xE0FFE8, 0xFF5C8A, 0x5CC065},
    {0xDDEEFF, 0xFFE8C8, 0x5EB8F5, 0xFF9838}, {0xF0E4D4, 0xE4F4D0, 0xC8906A, 0x7BD05A},
};

constexpr PaperPattern patterns[] = {PaperPattern::Dots,    PaperPattern::Grid,   PaperPattern::Stripes,
                                     PaperPattern::Gingham, PaperPattern::Hearts, PaperPattern::Plain};
constexpr StickerShape shapes[] = {StickerShape::Star,    StickerShape::Heart, StickerShape::Flower,
                                   StickerShape::Sun,     StickerShape::Cloud, StickerShape::Rainbow,
                                   StickerShape::Balloon, StickerShape::Music, StickerShape::Leaf,
                                   StickerShape::Moon};
constexpr Doodle doodles[] = {Doodle::Spiral, Doodle::Arrow,     Doodle::Loops, Doodle::Hearts,
                              Doodle::Stars,  Doodle::Underline, Doodle::Swirl};
constexpr Rgb stickerColours[] = {0xFFC22E, 0xFF5C8A, 0xB779F0, 0x3FA7E8, 0x7BD05A, 0xFF9838};

// A collage's canvas in the units of the album's left picture (200 x 310).
class Collage {
public:
    Collage(Canvas& canvas, std::uint32_t seed)
        : canvas(canvas), dice(seed), kx(static_cast<float>(canvas.width()) / 200),
          ky(static_cast<float>(canvas.height()) / 310), k(std::min(kx, ky)) {}

    // A mirrored collage lays everything out the other way round, so that two pages of one arrangement
    // differ in more than their colours.
    Spot at(float x, float y, float angle = 0) const {
        return mirrored ? Spot{(200 - x) * kx, y * ky, -angle} : Spot{x * kx, y * ky, angle};
    }
    float s(float v) const { return v * k; }
    float tilt(float most) { return dice.between(-most, most); }

    template <typename T, std::size_t N> const T& pick(const T (&list)[N]) {
        return list[dice.next() % static_cast<std::uint32_t>(N)];
    }

    Canvas& canvas;
    Dice dice;
    bool mirrored = false;
    float kx;
    float ky;
    float k;
};

// A banner with swallowtail ends, the caption on it.
void banner(Collage& c, const PictureRequest& request, float y, Rgb colour) {
    Canvas& canvas = c.canvas;
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float w = c.s(150);
    const float h = c.s(30);
    const float top = y * c.ky - h / 2;
    for (const float way : {-1.0f, 1.0f}) {
        const float x0 = cx + way * w * 0.42f;
        const float x1 = cx + way * w * 0.62f;
        canvas.over(Shape{{x0, top + h * 0.3f},
                          {x1, top + h * 0.3f},
                          {x1 - way * h * 0.3f, top + h * 0.8f},
                          {x1, top + h * 1.3f},
                          {x0, top + h * 1.3f}},
                    darker(colour, 0.3f));
    }
    canvas.over(roundedRect(cx - w / 2, top + c.s(2), w, h, c.s(3)), 0x4A3560, 70, 2);
    canvas.overGradient(roundedRect(cx - w / 2, top, w, h, c.s(3)), lighter(colour, 0.25f), colour, top,
                        top + h);
    canvas.over(roundedRect(cx - w / 2 + c.s(4), top + c.s(3), w - c.s(8), c.s(1.2f), 0), 0xFFFFFF, 120);
    placeCaption(request, canvas, cx, top + h / 2);
}

void someStickers(Collage& c, int count, const Rect& area) {
    for (int i = 0; i < count; ++i) {
        sticker(c.canvas,
                c.at(area.x + c.dice.between(0, area.w), area.y + c.dice.between(0, area.h), c.tilt(0.4f)),
                c.s(c.dice.between(20, 30)), c.pick(shapes), c.pick(stickerColours));
    }
}

// ---- The statistics and the highscores ----

void statistics(Collage& c) {
    paperScrap(c.canvas, c.at(100, 150, -0.05f), c.s(170), c.s(250), 0xE4F0FF, PaperPattern::Grid);
    washiTape(c.canvas, c.at(100, 28, 0.08f), c.s(70), c.s(14), 0x5EB8F5);
    barChart(c.canvas, c.at(96, 96, 0.06f), c.s(150), c.s(110), c.dice);
    pieChart(c.canvas, c.at(140, 200, -0.1f), c.s(32));
    pibbleCutOut(c.canvas, c.at(54, 214, -0.12f), c.s(20), 2, Mood::Happy);
    pibbleCutOut(c.canvas, c.at(70, 272, 0.1f), c.s(15), 5, Mood::Content);
    doodle(c.canvas, c.at(120, 262, 0.2f), c.s(40), Doodle::Arrow);
    sticker(c.canvas, c.at(176, 140, 0.3f), c.s(22), StickerShape::Star, 0xFFC22E);
    sticker(c.canvas, c.at(158, 282, -0.2f), c.s(20), StickerShape::Heart, 0xFF5C8A);
    doodle(c.canvas, c.at(26, 152, 0), c.s(30), Doodle::Spiral);
}

struct ModeLook {
    Rgb paper;
    Rgb banner;
    Rgb rosette;
    Rgb emblem;
    int pibble;
    StickerShape extra;
};

// VIB, action and relax: gold and purple, hot reds, calm greens.
constexpr ModeLook modeLooks[] = {
    {0xEEE0FF, 0x8E5ED8, 0x9B6CE0, 0xB779F0, 6, StickerShape::Star},
    {0xFFE0D6, 0xE8503A, 0xFF6B4A, 0xE8403A, 3, StickerShape::Sun},
    {0xDDF5E4, 0x3FB58A, 0x2FC2A0, 0x5CC065, 5, StickerShape::Leaf},
};

void highscores(Collage& c, const PictureRequest& request, int mode) {
    const ModeLook& look = modeLooks[mode];
    paperScrap(c.canvas, c.at(100, 160, 0.04f), c.s(172), c.s(240), look.paper,
               mode == 2 ? PaperPattern::Dots : PaperPattern::Stripes);
    washiTape(c.canvas, c.at(40, 48, -0.6f), c.s(50), c.s(13), look.banner);
    washiTape(c.canvas, c.at(164, 274, -0.6f), c.s(50), c.s(13), look.banner);
    c.canvas.over(circle(100 * c.kx, 128 * c.ky, c.s(58)), 0xFFF2B0, 150, static_cast<int>(c.s(10)));
    laurel(c.canvas, 100 * c.kx, 128 * c.ky, c.s(118), 0x5CAE4A);
    trophy(c.canvas, c.at(100, 124), c.s(92), 0xFFC93C, look.emblem);
    banner(c, request, 36, look.banner);
    rosette(c.canvas, c.at(152, 226, 0.2f), c.s(52), look.rosette);
    pibbleCutOut(c.canvas, c.at(60, 232, -0.1f), c.s(24), look.pibble, Mood::Happy, mode == 0);
    sticker(c.canvas, c.at(30, 178, -0.3f), c.s(24), look.extra, 0xFFC22E);
    sticker(c.canvas, c.at(174, 176, 0.3f), c.s(20), StickerShape::Star, 0xFFC22E);
    doodle(c.canvas, c.at(106, 288, 0), c.s(60), Doodle::Underline, look.banner);
    confetti(c.canvas, {c.s(20), c.s(60), c.s(160), c.s(60)}, 14, c.dice);
}

// ---- The album positions ----

using Arrangement = void (*)(Collage&, const Theme&, int);
constexpr int arrangementCount = 5;

void photoOnTop(Collage& c, const Theme& theme, int i) {
    paperScrap(c.canvas, c.at(98, 108, c.tilt(0.1f)), c.s(150), c.s(150), theme.paper, c.pick(patterns));
    miniPhoto(c.canvas, c.at(102, 102, c.tilt(0.14f)), c.s(116), (i * 7) % 30 + 1, i % 7 + 1);
    washiTape(c.canvas, c.at(104, 40, c.tilt(0.2f)), c.s(54), c.s(13), theme.tape);
    paperScrap(c.canvas, c.at(118, 244, c.tilt(0.08f)), c.s(120), c.s(62), theme.other, PaperPattern::Plain);
    scribble(c.canvas, c.at(124, 244, 0), c.s(90), 3, c.dice);
    pibbleCutOut(c.canvas, c.at(42, 232, c.tilt(0.2f)), c.s(20), (i + 3) % 8 + 1, Mood::Happy);
    someStickers(c, 2, {150, 170, 40, 30});
    doodle(c.canvas, c.at(46, 286, 0), c.s(36), c.pick(doodles), darker(theme.accent, 0.2f));
}

void scrapsAndFriends(Collage& c, const Theme& theme, int i) {
    paperScrap(c.canvas, c.at(80, 100, c.tilt(0.12f)), c.s(130), c.s(120), theme.paper, c.pick(patterns));
    paperScrap(c.canvas, c.at(120, 210, c.tilt(0.12f)), c.s(130), c.s(120), theme.other, c.pick(patterns));
    washiTape(c.canvas, c.at(40, 42, -0.7f), c.s(44), c.s(12), theme.tape);
    washiTape(c.canvas, c.at(176, 258, -0.7f), c.s(44), c.s(12), theme.tape);
    pibbleCutOut(c.canvas, c.at(78, 104, c.tilt(0.15f)), c.s(27), i % 7 + 1, Mood::Content);
    pibbleCutOut(c.canvas, c.at(124, 214, c.tilt(0.15f)), c.s(25), (i + 4) % 7 + 1, Mood::Happy);
    doodle(c.canvas, c.at(150, 96, 0.5f), c.s(44), Doodle::Arrow, darker(theme.accent, 0.2f));
    someStickers(c, 3, {20, 160, 40, 130});
    sticker(c.canvas, c.at(160, 40, c.tilt(0.3f)), c.s(28), c.pick(shapes), theme.accent);
    doodle(c.canvas, c.at(150, 296, 0), c.s(50), Doodle::Underline, darker(theme.accent, 0.2f));
}

void bigPibble(Collage& c, const Theme& theme, int i) {
    // Each time round the arrangement comes with another backing and another sticker over the pibble.
    const int round = i / arrangementCount;
    const float cx = 100 * c.kx;
    const float cy = 130 * c.ky;
    const Shape backings[] = {circle(cx, cy, c.s(74)), fluffyCircle(cx, cy, c.s(76), c.s(76), 14, 0.08f, 0),
                              heart(cx, cy + c.s(8), c.s(156)), star(cx, cy + c.s(6), c.s(86), c.s(62), 9)};
    const Shape& backing = backings[round % 4];
    c.canvas.over(moved(backing, 1.5f, 2.5f), 0x4A3560, 60, 3);
    c.canvas.over(backing, darker(theme.paper, 0.1f));
    c.canvas.over(scaled(backing, cx, cy, 0.9f, 0.9f), theme.paper);
    confetti(c.canvas, {c.s(20), c.s(40), c.s(160), c.s(190)}, 30, c.dice);
    constexpr StickerShape tops[] = {StickerShape::Rainbow, StickerShape::Sun,   StickerShape::Cloud,
                                     StickerShape::Moon,    StickerShape::Music, StickerShape::Balloon};
    sticker(c.canvas, c.at(round % 2 == 0 ? 100 : 150, 56, 0), c.s(round == 0 ? 64 : 46), tops[round % 6],
            theme.accent);
    pibbleCutOut(c.canvas, c.at(100, 132, c.tilt(0.1f)), c.s(40), (i + 1) % 8 + 1, Mood::Happy, i % 2 == 0);
    paperScrap(c.canvas, c.at(100, 258, c.tilt(0.06f)), c.s(150), c.s(56), theme.other, PaperPattern::Plain);
    scribble(c.canvas, c.at(104, 258, 0), c.s(120), 3, c.dice);
    washiTape(c.canvas, c.at(40, 232, -0.5f), c.s(40), c.s(12), theme.tape);
    someStickers(c, 2, {150, 190, 30, 40});
    doodle(c.canvas, c.at(34, 190, 0), c.s(34), c.pick(doodles), darker(theme.accent, 0.2f));
}

void twoPhotos(Collage& c, const Theme& theme, int i) {
    paperScrap(c.canvas, c.at(100, 155, c.tilt(0.05f)), c.s(176), c.s(280), theme.paper, PaperPattern::Plain);
    const float lean = 0.1f + c.dice.between(0, 0.08f);
    miniPhoto(c.canvas, c.at(82, 94, -lean), c.s(100), (i * 11 + 3) % 30 + 1, (i + 2) % 7 + 1);
    miniPhoto(c.canvas, c.at(118, 208, lean), c.s(100), (i * 5 + 17) % 30 + 1, (i + 5) % 7 + 1);
    washiTape(c.canvas, c.at(80, 36, -lean), c.s(46), c.s(12), theme.tape);
    washiTape(c.canvas, c.at(124, 150, lean), c.s(46), c.s(12), theme.tape);
    sticker(c.canvas, c.at(160, 64, c.tilt(0.3f)), c.s(30), c.pick(shapes), theme.accent);
    sticker(c.canvas, c.at(40, 246, c.tilt(0.3f)), c.s(30), c.pick(shapes), c.pick(stickerColours));
    doodle(c.canvas, c.at(46, 290, 0), c.s(40), c.pick(doodles), darker(theme.accent, 0.2f));
    doodle(c.canvas, c.at(170, 120, 0), c.s(28), Doodle::Stars, darker(theme.accent, 0.2f));
}

void stickerSheet(Collage& c, const Theme& theme, int i) {
    paperScrap(c.canvas, c.at(100, 150, c.tilt(0.08f)), c.s(160), c.s(200), theme.other, c.pick(patterns));
    paperScrap(c.canvas, c.at(90, 70, c.tilt(0.1f)), c.s(110), c.s(56), 0xFFFFFF, PaperPattern::Plain);
    scribble(c.canvas, c.at(92, 70, 0), c.s(84), 3, c.dice);
    washiTape(c.canvas, c.at(40, 46, -0.8f), c.s(36), c.s(11), theme.tape);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 2; ++column) {
            const float x = 64 + 72 * static_cast<float>(column) + c.dice.between(-8, 8);
            const float y = 132 + 52 * static_cast<float>(row) + c.dice.between(-6, 6);
            if ((row + column + i) % 3 == 0) {
                pibbleCutOut(c.canvas, c.at(x, y + 4, c.tilt(0.2f)), c.s(17), (i + row * 2 + column) % 8 + 1,
                             (row + column) % 2 == 0 ? Mood::Happy : Mood::Content);
            } else {
                sticker(c.canvas, c.at(x, y, c.tilt(0.3f)), c.s(c.dice.between(30, 38)), c.pick(shapes),
                        c.pick(stickerColours));
            }
        }
    }
    doodle(c.canvas, c.at(160, 280, 0), c.s(40), c.pick(doodles), darker(theme.accent, 0.2f));
    confetti(c.canvas, {c.s(10), c.s(250), c.s(120), c.s(50)}, 12, c.dice);
}

constexpr Arrangement arrangements[arrangementCount] = {photoOnTop, scrapsAndFriends, bigPibble, twoPhotos,
                                                        stickerSheet};

// ---- The credits ----

void celebration(Collage& c) {
    for (int i = 0; i < 6; ++i) {
        const float x0 = 10 + 30 * static_cast<float>(i);
        c.canvas.over(Shape{{c.s(x0), c.s(22 + (i % 2) * 3)},
                            {c.s(x0 + 30), c.s(22 + ((i + 1) % 2) * 3)},
                            {c.s(x0 + 15), c.s(46)}},
                      stickerColours[i % 6]);
    }
    c.canvas.over(curveBand({0, c.s(22)}, {c.s(100), c.s(30)}, {c.s(200), c.s(22)}, c.s(1.5f)), 0x6A4A3A);
    sticker(c.canvas, c.at(36, 90, -0.2f), c.s(40), StickerShape::Balloon, 0xFF5C8A);
    sticker(c.canvas, c.at(166, 84, 0.2f), c.s(40), StickerShape::Balloon, 0x3FA7E8);
    confetti(c.canvas, {c.s(10), c.s(50), c.s(180), c.s(240)}, 50, c.dice);
    pibbleCutOut(c.canvas, c.at(100, 140, 0.05f), c.s(30), 1, Mood::Happy, true);
    pibbleCutOut(c.canvas, c.at(56, 220, -0.12f), c.s(26), 7, Mood::Happy, true);
    pibbleCutOut(c.canvas, c.at(146, 224, 0.12f), c.s(26), 2, Mood::Happy, true);
    doodle(c.canvas, c.at(100, 290, 0), c.s(70), Doodle::Stars, 0xFF5C8A);
}

void thankYou(Collage& c, const PictureRequest& request) {
    Canvas note(static_cast<int>(c.s(168)), static_cast<int>(c.s(200)));
    const float w = static_cast<float>(note.width());
    const float h = static_cast<float>(note.height());
    note.over(roundedRect(0, 0, w, h, 3), 0xFFFFFF);
    for (float y = c.s(40); y < h - c.s(8); y += c.s(16)) {
        note.over(roundedRect(c.s(6), y, w - c.s(12), 1, 0), 0xB8D4F0);
    }
    note.over(roundedRect(c.s(24), 0, 1.2f, h, 0), 0xFF9A9A);
    placeCaption(request, note, w / 2 + c.s(8), c.s(26));
    scribble(note, {w / 2 + c.s(8), c.s(92), 0}, w - c.s(50), 4, c.dice);
    note.over(heart(w * 0.72f, h * 0.8f, c.s(18)), 0xFF5C8A);
    addBorder(note, 0xE8E0D6, 1, 90);
    const Spot spot = c.at(100, 120, -0.05f);
    const Canvas turnedNote = turnedCopy(note, spot.angle);
    c.canvas.stamp(turnedNote.image(), static_cast<int>(spot.x - static_cast<float>(turnedNote.width()) / 2),
                   static_cast<int>(spot.y - static_cast<float>(turnedNote.height()) / 2));
    washiTape(c.canvas, c.at(100, 20, 0.04f), c.s(70), c.s(15), 0xFF8FB8);
    doodle(c.canvas, c.at(56, 250, -0.1f), c.s(60), Doodle::Hearts, 0xFF5C8A);
    pibbleCutOut(c.canvas, c.at(148, 262, 0.15f), c.s(28), 4, Mood::Happy);
    sticker(c.canvas, c.at(26, 200, -0.3f), c.s(26), StickerShape::Heart, 0xFF5C8A);
    sticker(c.canvas, c.at(182, 196, 0.3f), c.s(22), StickerShape::Star, 0xFFC22E);
}

void fireworks(Collage& c) {
    Canvas night(static_cast<int>(c.s(180)), static_cast<int>(c.s(250)));
    const float w = static_cast<float>(night.width());
    const float h = static_cast<float>(night.height());
    night.revealAll(255);
    night.paintGradient(roundedRect(0, 0, w, h, 0), 0x161A48, 0x4A3A88, 0, h);
    for (int i = 0; i < 40; ++i) {
        night.paint(circle(c.dice.between(0, w), c.dice.between(0, h * 0.8f), c.dice.between(0.5f, 1.2f)),
                    0xFFF6C8, static_cast<int>(c.dice.between(120, 255)));
    }
    const Rgb bursts[] = {0xFF5C8A, 0xFFD23F, 0x5EE0F0, 0x9BE05A, 0xC08AFF};
    for (int i = 0; i < 5; ++i) {
        firework(night, c.dice.between(w * 0.18f, w * 0.82f), h * (0.12f + 0.13f * static_cast<float>(i % 3)),
                 c.s(c.dice.between(22, 34)), bursts[i], c.dice);
    }
    night.paint(ellipse(w * 0.3f, h * 1.02f, w * 0.5f, h * 0.16f), 0x1E1E40);
    night.paint(ellipse(w * 0.8f, h * 1.04f, w * 0.5f, h * 0.18f), 0x262650);
    for (int i = 0; i < 3; ++i) {
        PibblePose pose;
        pose.radius = c.s(13);
        pose.cx = w * (0.25f + 0.25f * static_cast<float>(i));
        pose.ground = h * 0.96f;
        pose.lookY = -1;
        pose.mood = i == 1 ? Mood::Happy : Mood::Content;
        drawColourFigure(night, i * 2 + 2, pose);
    }
    night.revealAll(255);
    addBorder(night, 0xFFFFFF, static_cast<int>(c.s(5)), 90);
    const Spot spot = c.at(100, 144, 0.05f);
    const Canvas placedNight = turnedCopy(night, spot.angle);
    c.canvas.stamp(placedNight.image(),
                   static_cast<int>(spot.x - static_cast<float>(placedNight.width()) / 2),
                   static_cast<int>(spot.y - static_cast<float>(placedNight.height()) / 2));
    washiTape(c.canvas, c.at(32, 24, -0.7f), c.s(48), c.s(13), 0xFFC22E);
    washiTape(c.canvas, c.at(170, 266, -0.7f), c.s(48), c.s(13), 0xFFC22E);
    sticker(c.canvas, c.at(174, 30, 0.2f), c.s(26), StickerShape::Star, 0xFFC22E);
    doodle(c.canvas, c.at(60, 292, 0), c.s(60), Doodle::Loops);
}

void groupPhoto(Collage& c) {
    Canvas print(static_cast<int>(c.s(186)), static_cast<int>(c.s(176)));
    const float w = static_cast<float>(print.width());
    const float h = static_cast<float>(print.height());
    print.over(roundedRect(0, 0, w, h, 2), 0xFFFFFF);
    const float inset = c.s(8);
    Canvas photo(static_cast<int>(w - 2 * inset), static_cast<int>(h - 2 * inset - c.s(18)));
    drawPolaroidScene(photo, 1);
    const float pw = static_cast<float>(photo.width());
    const float ph = static_cast<float>(photo.height());
    for (int i = 0; i < 4; ++i) {
        PibblePose pose;
        pose.radius = pw * 0.08f;
        pose.cx = pw * (0.17f + 0.22f * static_cast<float>(i));
        pose.ground = ph * 0.7f;
        pose.mood = i % 2 == 0 ? Mood::Happy : Mood::Content;
        drawColourFigure(photo, i + 1, pose);
    }
    for (int i = 0; i < 3; ++i) {
        PibblePose pose;
        pose.radius = pw * 0.1f;
        pose.cx = pw * (0.26f + 0.24f * static_cast<float>(i));
        pose.ground = ph * 0.95f;
        pose.mood = i == 1 ? Mood::Content : Mood::Happy;
        drawColourFigure(photo, i + 5, pose);
    }
    finishPhoto(photo);
    print.stamp(photo.image(), static_cast<int>(inset), static_cast<int>(inset));
    addBorder(print, 0xE6DED2, 1, 100);
    const Spot spot = c.at(100, 116, -0.06f);
    const Canvas placedPrint = turnedCopy(print, spot.angle);
    c.canvas.stamp(placedPrint.image(),
                   static_cast<int>(spot.x - static_cast<float>(placedPrint.width()) / 2),
                   static_cast<int>(spot.y - static_cast<float>(placedPrint.height()) / 2));
    washiTape(c.canvas, c.at(24, 34, -0.75f), c.s(44), c.s(13), 0x7BD05A);
    washiTape(c.canvas, c.at(176, 30, 0.7f), c.s(44), c.s(13), 0x7BD05A);
    paperScrap(c.canvas, c.at(100, 252, 0.04f), c.s(140), c.s(50), 0xFFF1B8, PaperPattern::Plain);
    scribble(c.canvas, c.at(100, 252, 0.04f), c.s(110), 2, c.dice);
    sticker(c.canvas, c.at(34, 276, -0.2f), c.s(30), StickerShape::Heart, 0xFF5C8A);
    sticker(c.canvas, c.at(172, 284, 0.25f), c.s(26), StickerShape::Star, 0xFFC22E);
}

} // namespace

bool collageKnown(const PictureRequest& request, std::string& error) {
    const int page = request.entry.integer("page", 0);
    const int credits = request.entry.integer("credits", 0);
    const bool isPage = page >= 1 && page <= albumPages;
    const bool isCredits = credits >= 1 && credits <= creditsPages;
    if (isPage == isCredits) {
        error = "a collage is for one \"page\" 1 to " + std::to_string(albumPages) +
                " or one \"credits\" page 1 to " + std::to_string(creditsPages);
        return false;
    }
    return true;
}

void drawCollage(const PictureRequest& request, int, Canvas& canvas) {
    Collage collage(canvas, request.seed);
    const int page = request.entry.integer("page", 0);
    switch (request.entry.integer("credits", 0)) {
    case 1:
        celebration(collage);
        return;
    case 2:
        thankYou(collage, request);
        return;
    case 3:
        fireworks(collage);
        return;
    case 4:
        groupPhoto(collage);
        return;
    default:
        break;
    }
    if (page == 1) {
        statistics(collage);
    } else if (page < firstPositionPage) {
        highscores(collage, request, std::clamp(page - 2, 0, 2));
    } else {
        const int i = page - firstPositionPage;
        const Theme& theme = themes[static_cast<std::size_t>(i * 3) % std::size(themes)];
        collage.mirrored = (i / arrangementCount) % 2 == 1;
        arrangements[static_cast<std::size_t>(i) % std::size(arrangements)](collage, theme, i);
    }
}

} // namespace mkmedia
