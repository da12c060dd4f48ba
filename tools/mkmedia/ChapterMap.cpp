// The VIB chapter map's landscape: a soft sky along the top over a rolling meadow, and about each
// chapter's spot a patch of that chapter's scenery (its level background's number), drawn from the top of
// the map down so that nearer patches lie over farther ones; every spot on a pale clearing.
#include "tools/mkmedia/ChapterMap.h"

#include "tools/mkmedia/Dice.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb bark = 0x8A5A3A;
// The sceneries whose regions reach beyond their patch: peaks on the horizon, a rainbow over the meadow.
constexpr int snowfieldScenery = 6;
constexpr int rainbowScenery = 10;

// The map is drawn for 640 x 480 and scaled to the canvas.
class MapPainter {
public:
    MapPainter(Canvas& canvas, std::uint32_t seed)
        : c(canvas), sx(static_cast<float>(canvas.width()) / 640),
          sy(static_cast<float>(canvas.height()) / 480), dice(seed) {}

    float X(float x) const { return x * sx; }
    float Y(float y) const { return y * sy; }
    float S(float size) const { return size * std::min(sx, sy); }
    int soft(float size) const { return std::max(1, static_cast<int>(S(size))); }

    // A patch of ground with a bumpy edge, a faint shadow below it and its colour darkening downwards.
    void patch(float x, float y, float rx, float ry, Rgb top, Rgb bottom) {
        const float turn = dice.between(0, 2 * pi);
        c.paintSoft(fluffyCircle(X(x), Y(y + ry * 0.12f), S(rx), S(ry), 11, 0.05f, turn),
                    darker(bottom, 0.3f), 60, soft(6));
        c.paintSoft(fluffyCircle(X(x), Y(y), S(rx), S(ry), 11, 0.05f, turn), bottom, 255, soft(3));
        c.paintGradient(fluffyCircle(X(x), Y(y), S(rx * 0.94f), S(ry * 0.9f), 11, 0.05f, turn), top, bottom,
                        Y(y - ry), Y(y + ry));
    }

    // A dome standing on the line y: a hill, a dune, a gumdrop.
    void dome(float x, float y, float rx, float ry, Rgb top, Rgb bottom) {
        Shape shape;
        for (int i = 0; i <= 32; ++i) {
            const float a = pi + pi * static_cast<float>(i) / 32;
            shape.emplace_back(X(x) + S(rx) * std::cos(a), Y(y) + S(ry) * std::sin(a));
        }
        c.paintGradient(shape, top, bottom, Y(y - ry), Y(y));
        c.paint(scaled(shape, X(x - rx * 0.3f), Y(y - ry * 0.6f), 0.3f, 0.2f), white, 70);
    }

    void roundTree(float x, float ground, float size, Rgb leaves) {
        c.paintSoft(ellipse(X(x), Y(ground), S(size * 0.45f), S(size * 0.12f)), 0x2E4A2A, 60, soft(2));
        c.paint(roundedRect(X(x) - S(size * 0.07f), Y(ground) - S(size * 0.5f), S(size * 0.14f),
                            S(size * 0.5f), S(size * 0.04f)),
                bark);
        const float cy = Y(ground) - S(size * 0.72f);
        c.paint(fluffyCircle(X(x), cy + S(size * 0.03f), S(size * 0.42f), S(size * 0.38f), 7, 0.1f, 0.3f),
                darker(leaves, 0.25f));
        c.paint(fluffyCircle(X(x), cy, S(size * 0.4f), S(size * 0.36f), 7, 0.1f, 0.3f), leaves);
        c.paint(circle(X(x) - S(size * 0.13f), cy - S(size * 0.12f), S(size * 0.13f)), lighter(leaves, 0.35f),
                170);
    }

    void pine(float x, float ground, float size, bool snowy) {
        c.paintSoft(ellipse(X(x), Y(ground), S(size * 0.3f), S(size * 0.08f)), 0x2E4A2A, 60, soft(2));
        c.paint(roundedRect(X(x) - S(size * 0.05f), Y(ground) - S(size * 0.16f), S(size * 0.1f),
                            S(size * 0.16f), 0),
                bark);
        for (int tier = 0; tier < 3; ++tier) {
            const float base = Y(ground) - S(size * (0.12f + 0.24f * static_cast<float>(tier)));
            const float half = S(size * (0.34f - 0.08f * static_cast<float>(tier)));
            const float tip = base - S(size * 0.38f);
            const Shape tierShape = {{X(x) - half, base}, {X(x), tip}, {X(x) + half, base}};
            c.paint(tierShape, tier % 2 == 0 ? 0x3E9A55 : 0x48A85E);
            if (snowy) {
                c.paint(Shape{{X(x) - half * 0.45f, tip + (base - tip) * 0.45f},
                              {X(x), tip},
                              {X(x) + half * 0.45f, tip + (base - tip) * 0.45f}},
                        0xF6FAFF);
            }
        }
    }

    void flowers(float x, float y, float rx, float ry, int count, const Rgb* colours, int colourCount) {
        for (int i = 0; i < count; ++i) {
            const float a = dice.between(0, 2 * pi);
            const float d = std::sqrt(dice.between(0, 1));
            const float fx = X(x + std::cos(a) * rx * d);
            const float fy = Y(y + std::sin(a) * ry * d);
            const Rgb colour = colours[dice.next() % static_cast<std::uint32_t>(colourCount)];
            for (int petal = 0; petal < 5; ++petal) {
                const float pa = 2 * pi * static_cast<float>(petal) / 5;
                c.paint(circle(fx + std::cos(pa) * S(2.2f), fy + std::sin(pa) * S(2.2f), S(1.8f)), colour);
            }
            c.paint(circle(fx, fy, S(1.4f)), 0xFFE66B);
        }
    }

    void cloud(float x, float y, float size) {
        const float k = S(size);
        c.paintSoft(roundedRect(X(x) - k * 0.9f, Y(y) + k * 0.1f, k * 1.8f, k * 0.45f, k * 0.22f), 0x9AB5D6,
                    60, soft(3));
        for (const Shape& puff : {circle(X(x) - k * 0.55f, Y(y) + k * 0.1f, k * 0.38f),
                                  circle(X(x) - k * 0.1f, Y(y) - k * 0.15f, k * 0.5f),
                                  circle(X(x) + k * 0.45f, Y(y) + k * 0.05f, k * 0.4f),
                                  roundedRect(X(x) - k * 0.9f, Y(y), k * 1.75f, k * 0.45f, k * 0.22f)}) {
            c.paint(puff, white, 235);
        }
    }

    // A clearing under a chapter's spot, so its photo or button stands out from the scenery: a little
    // lighter ground with a soft rim.
    void clearing(float x, float y) {
        c.paintSoft(ellipse(X(x), Y(y + 3), S(34), S(19)), 0x3A3020, 45, soft(4));
        c.paintSoft(ellipse(X(x), Y(y), S(32), S(18)), 0xFFF6DC, 120, soft(3));
        c.paint(ellipse(X(x), Y(y), S(27), S(14)), 0xFFF8E6, 70);
    }

    Canvas& c;
    float sx;
    float sy;
    Dice dice;
};

// ---- The sky and the meadow ----

void drawSky(MapPainter& m) {
    Canvas& c = m.c;
    const float w = static_cast<float>(c.width());
    const float h = static_cast<float>(c.height());
    c.revealAll(255);
    c.paintGradient(roundedRect(0, 0, w, h, 0), 0x86CFFF, 0xE4F6FF, 0, m.Y(120));
    c.paintSoft(circle(m.X(470), m.Y(26), m.S(40)), 0xFFFBE0, 180, m.soft(10));
    c.paint(circle(m.X(470), m.Y(26), m.S(17)), 0xFFF3C0, 235);
    m.cloud(250, 34, 30);
    m.cloud(400, 58, 22);
    m.cloud(610, 40, 26);
}

void drawMeadow(MapPainter& m) {
    Canvas& c = m.c;
    Shape land;
    land.emplace_back(m.X(-2), m.Y(482));
    for (float x = -2; x <= 642; x += 4) {
        land.emplace_back(m.X(x), m.Y(84 + 8 * std::sin(x / 55) + 5 * std::sin(x / 23 + 1)));
    }
    land.emplace_back(m.X(642), m.Y(482));
    c.paintSoft(moved(land, 0, m.Y(-3)), 0xF4FFE8, 200, m.soft(3));
    c.paintGradient(land, 0xB9EE94, 0x74C95A, m.Y(80), m.Y(480));
    // Light and shade rolling over the meadow.
    for (int i = 0; i < 9; ++i) {
        const float x = m.dice.between(0, 640);
        const float y = m.dice.between(120, 470);
        c.paintSoft(ellipse(m.X(x), m.Y(y), m.S(m.dice.between(50, 90)), m.S(m.dice.between(16, 30))),
                    i % 2 == 0 ? 0xD4F7B4 : 0x62B84E, 70, m.soft(12));
    }
}

// ---- One region per scenery ----

void blossomRegion(MapPainter& m, float x, float y) {
    m.patch(x + 10, y - 4, 92, 52, 0xE2F8C8, 0xB5E79A);
    const Rgb pinks[] = {0xFF9EC8, 0xFFC4DE, 0xFFFFFF};
    m.flowers(x + 10, y, 80, 40, 26, pinks, 3);
    m.roundTree(x - 52, y - 22, 44, 0xFFB3D4);
    m.roundTree(x + 60, y - 34, 38, 0xFFC6DF);
    m.roundTree(x - 30, y + 40, 34, 0xFFA9CD);
}

void sunsetRegion(MapPainter& m, float x, float y) {
    // The sun going down behind a golden hill.
    m.c.paintSoft(circle(m.X(x + 70), m.Y(y - 8), m.S(34)), 0xFFE3A0, 200, m.soft(8));
    m.c.paint(circle(m.X(x + 70), m.Y(y - 8), m.S(20)), 0xFF9E48);
    m.c.paint(circle(m.X(x + 64), m.Y(y - 14), m.S(8)), 0xFFC27A, 180);
    m.patch(x + 10, y + 10, 96, 44, 0xFFE3A3, 0xF4B05C);
    m.dome(x + 75, y + 14, 44, 22, 0xFFD27F, 0xEFA24E);
    const Rgb warm[] = {0xFF7F50, 0xFFB347, 0xFFE066};
    m.flowers(x - 10, y + 20, 70, 22, 16, warm, 3);
}

void forestRegion(MapPainter& m, float x, float y) {
    m.patch(x, y + 6, 92, 56, 0xA2E08C, 0x5FB658);
    m.pine(x - 58, y - 8, 46, false);
    m.roundTree(x + 52, y - 22, 42, 0x6CCB5F);
    m.pine(x + 70, y + 30, 40, false);
    m.roundTree(x - 48, y + 44, 36, 0x58B852);
    m.pine(x - 26, y - 38, 34, false);
}

void dunesRegion(MapPainter& m, float x, float y) {
    m.patch(x - 4, y + 4, 96, 52, 0xFCE6B4, 0xEDB86C);
    m.dome(x - 48, y - 10, 44, 20, 0xFBDDA2, 0xEBB067);
    m.dome(x + 50, y + 26, 40, 17, 0xFBDDA2, 0xE8A95F);
    Canvas& c = m.c;
    const auto cactus = [&](float cx, float ground, float size) {
        const float t = m.S(size * 0.2f);
        c.paint(roundedRect(m.X(cx) - t / 2, m.Y(ground) - m.S(size), t, m.S(size), t / 2), 0x4FAE5A);
        c.paint(roundedRect(m.X(cx) - m.S(size * 0.42f), m.Y(ground) - m.S(size * 0.72f), m.S(size * 0.14f),
                            m.S(size * 0.34f), m.S(size * 0.07f)),
                0x4FAE5A);
        c.paint(roundedRect(m.X(cx) - m.S(size * 0.42f), m.Y(ground) - m.S(size * 0.44f), m.S(size * 0.42f),
                            m.S(size * 0.13f), m.S(size * 0.06f)),
                0x4FAE5A);
        c.paint(
            roundedRect(m.X(cx) - t * 0.2f, m.Y(ground) - m.S(size * 0.95f), t * 0.25f, m.S(size * 0.8f), t),
            0x7ACB6E, 200);
    };
    cactus(x - 66, y + 30, 34);
    cactus(x + 64, y - 14, 28);
}

// Snowy peaks on the horizon above the snowfield, drawn before the meadow hides their feet.
void snowPeaks(MapPainter& m, float x, float y) {
    Canvas& c = m.c;
    const float peaks[][3] = {{-44, -146, 62}, {26, -158, 70}, {98, -132, 56}};
    for (const auto& peak : peaks) {
        const float px = x + peak[0];
        const float py = y + peak[1];
        const float half = peak[2];
        const float foot = py + half * 1.3f;
        const Shape mountain = {{m.X(px - half * 1.3f), m.Y(foot)},
                                {m.X(px - 7), m.Y(py + 5)},
                                {m.X(px), m.Y(py)},
                                {m.X(px + 7), m.Y(py + 5)},
                                {m.X(px + half * 1.3f), m.Y(foot)}};
        c.paintGradient(mountain, 0xC4D3EE, 0xA3B6DC, m.Y(py), m.Y(foot));
        // The snow cap ends in soft waves part of the way down.
        Shape cap = {{m.X(px - 7), m.Y(py + 5)}, {m.X(px), m.Y(py)}, {m.X(px + 7), m.Y(py + 5)}};
        const float capY = py + half * 0.42f;
        const float capHalf = half * 1.3f * 0.42f;
        for (int i = 0; i <= 6; ++i) {
            const float t = static_cast<float>(i) / 6;
            const float wx = px + capHalf - 2 * capHalf * t;
            cap.emplace_back(m.X(wx), m.Y(capY + (i % 2 == 0 ? 0.0f : 5.0f)));
        }
        c.paint(cap, 0xFAFCFF);
        c.paint(Shape{{m.X(px), m.Y(py)},
                      {m.X(px + capHalf * 0.9f), m.Y(capY)},
                      {m.X(px + capHalf * 0.3f), m.Y(capY + 4)}},
                0xDCE6F6, 160);
    }
}

void snowRegion(MapPainter& m, float x, float y) {
    Canvas& c = m.c;
    m.patch(x + 8, y + 4, 96, 50, 0xFFFFFF, 0xDCE8F8);
    m.pine(x - 46, y + 20, 40, true);
    m.pine(x + 62, y + 46, 32, true);
    // A snowman.
    const float sx = x - 28;
    const float ground = y + 48;
    c.paint(circle(m.X(sx), m.Y(ground - 9), m.S(10)), 0xF4F8FF);
    c.paint(circle(m.X(sx), m.Y(ground - 24), m.S(7)), 0xFFFFFF);
    c.paint(
        Shape{{m.X(sx), m.Y(ground - 25)}, {m.X(sx + 7), m.Y(ground - 23.5f)}, {m.X(sx), m.Y(ground - 22)}},
        0xFF8A2B);
    c.paint(circle(m.X(sx - 2.5f), m.Y(ground - 27), m.S(1.2f)), 0x3A2746);
    c.paint(circle(m.X(sx + 2.5f), m.Y(ground - 27), m.S(1.2f)), 0x3A2746);
}

void autumnRegion(MapPainter& m, float x, float y) {
    m.patch(x + 6, y - 2, 90, 40, 0xF8D58A, 0xE4A055);
    m.roundTree(x - 34, y - 28, 36, 0xF08A3C);
    m.roundTree(x + 56, y - 24, 36, 0xE8603C);
    m.roundTree(x + 14, y - 42, 28, 0xF7C04A);
    Canvas& c = m.c;
    const float px = x - 10;
    const float py = y + 32;
    c.paint(ellipse(m.X(px), m.Y(py), m.S(9), m.S(7)), 0xF08C2E);
    c.paint(ellipse(m.X(px - 3), m.Y(py), m.S(4), m.S(6.5f)), 0xF7A445, 200);
    c.paint(roundedRect(m.X(px) - m.S(1.2f), m.Y(py) - m.S(10), m.S(2.4f), m.S(4), m.S(1)), 0x5E8A2E);
}

void candyRegion(MapPainter& m, float x, float y) {
    m.patch(x + 4, y + 2, 94, 42, 0xFFE0EF, 0xFFB3D6);
    m.dome(x - 60, y + 30, 24, 18, 0xB9EFD6, 0x7FD8B0);
    m.dome(x + 62, y + 20, 22, 17, 0xFFD77A, 0xF5B041);
    m.dome(x + 44, y - 16, 18, 14, 0xC9B4FF, 0x9F86F0);
    Canvas& c = m.c;
    const auto lollipop = [&](float lx, float ground, float size, Rgb colour) {
        c.paint(roundedRect(m.X(lx) - m.S(1.4f), m.Y(ground) - m.S(size), m.S(2.8f), m.S(size), m.S(1)),
                0xFFF4EA);
        const float cy = m.Y(ground) - m.S(size);
        c.paint(circle(m.X(lx), cy, m.S(size * 0.36f)), colour);
        c.paint(arcBand(m.X(lx), cy, m.S(size * 0.2f), m.S(size * 0.09f), 0, 1.6f * pi), white, 200);
    };
    lollipop(x - 40, y - 26, 30, 0xFF6FA8);
    lollipop(x + 80, y - 2, 24, 0x7FC8FF);
}

void lagoonRegion(MapPainter& m, float x, float y) {
    // The water lies beside the spot, up and to the right; the spot is on its sandy shore.
    const float wx = x + 70;
    const float wy = y - 28;
    m.patch(wx - 10, wy + 8, 100, 52, 0xFBEAC0, 0xEFCB86);
    Canvas& c = m.c;
    c.paintGradient(fluffyCircle(m.X(wx), m.Y(wy), m.S(74), m.S(36), 9, 0.04f, 0.7f), 0x8BE8EC, 0x35B2CF,
                    m.Y(wy - 36), m.Y(wy + 36));
    for (int i = 0; i < 5; ++i) {
        const float rx = wx - 40 + 20 * static_cast<float>(i);
        const float ry = wy - 14 + 9 * static_cast<float>(i % 3);
        c.paint(arcBand(m.X(rx), m.Y(ry), m.S(7), m.S(1.4f), 1.15f * pi, 1.85f * pi), white, 170);
    }
    c.paint(ellipse(m.X(wx + 30), m.Y(wy + 14), m.S(7), m.S(4)), 0x5CC46A);
    c.paint(circle(m.X(wx + 33), m.Y(wy + 12), m.S(2)), 0xFF9EC8);
}

// A hill where it is always night: a violet patch beside the spot, a dark dome behind it under a crescent
// moon, fireflies glowing over both.
void nightRegion(MapPainter& m, float x, float y) {
    Canvas& c = m.c;
    // A pocket of night sky over the hill, with its own stars.
    c.paintSoft(ellipse(m.X(x + 70), m.Y(y - 34), m.S(76), m.S(52)), 0x2C3272, 210, m.soft(16));
    for (int i = 0; i < 10; ++i) {
        const float a = m.dice.between(pi * 1.05f, pi * 1.95f);
        const float d = m.dice.between(0.35f, 0.85f);
        c.paint(star(m.X(x + 70 + std::cos(a) * 70 * d), m.Y(y - 20 + std::sin(a) * 52 * d), m.S(3.2f),
                     m.S(0.9f), 4),
                0xFFF6C8, 220);
    }
    m.patch(x + 22, y + 4, 96, 48, 0x7C76D0, 0x4A4AA0);
    m.dome(x + 66, y + 8, 48, 44, 0x5A58B4, 0x3C3D8E);
    const float mx = m.X(x + 92);
    const float my = m.Y(y - 56);
    c.paintSoft(circle(mx, my, m.S(22)), 0xFFF6C8, 130, m.soft(6));
    c.paint(circle(mx, my, m.S(12)), 0xFFF0B0);
    c.paint(circle(mx + m.S(5.5f), my - m.S(2.5f), m.S(10)), lighter(0x86CFFF, 0.2f));
    for (int i = 0; i < 14; ++i) {
        const float a = m.dice.between(0, 2 * pi);
        const float d = std::sqrt(m.dice.between(0.15f, 1));
        const float fx = m.X(x + 30 + std::cos(a) * 86 * d);
        const float fy = m.Y(y + 2 + std::sin(a) * 42 * d);
        c.paintSoft(circle(fx, fy, m.S(4)), 0xFFF3A0, 150, m.soft(2));
        c.paint(circle(fx, fy, m.S(1.3f)), 0xFFFDE0);
    }
}

// The rainbow arching over the meadow behind its hill, its feet in clouds.
void rainbowArc(MapPainter& m, float x, float y) {
    Canvas& c = m.c;
    constexpr Rgb bands[] = {0xFF6B6B, 0xFFA94D, 0xFFE066, 0x7BD05A, 0x5EB8F5, 0xA872E3};
    const float cx = m.X(x + 6);
    const float cy = m.Y(y + 26);
    for (int i = 0; i < 6; ++i) {
        const float r = m.S(124 - 8.5f * static_cast<float>(i));
        c.paint(arcBand(cx, cy, r, m.S(9), pi * 1.02f, pi * 1.98f), bands[i], 185);
    }
    m.cloud(x - 104, y + 18, 26);
    m.cloud(x + 112, y + 18, 22);
}

void rainbowRegion(MapPainter& m, float x, float y) {
    m.patch(x + 4, y + 16, 86, 42, 0xC8F2A8, 0x7DD068);
    const Rgb bright[] = {0xFF6B6B, 0xFFE066, 0x5EB8F5, 0xA872E3};
    m.flowers(x + 4, y + 20, 70, 26, 18, bright, 4);
}

void meadowRegion(MapPainter& m, float x, float y) {
    m.patch(x, y, 80, 40, 0xC9F2A6, 0x86D46A);
}

void drawRegion(MapPainter& m, int scenery, float x, float y) {
    switch (scenery) {
    case 1:
        blossomRegion(m, x, y);
        break;
    case 2:
        sunsetRegion(m, x, y);
        break;
    case 3:
        lagoonRegion(m, x, y);
        break;
    case 4:
        forestRegion(m, x, y);
        break;
    case 5:
        dunesRegion(m, x, y);
        break;
    case 6:
        snowRegion(m, x, y);
        break;
    case 7:
        autumnRegion(m, x, y);
        break;
    case 8:
        candyRegion(m, x, y);
        break;
    case 9:
        nightRegion(m, x, y);
        break;
    case 10:
        rainbowRegion(m, x, y);
        break;
    default:
        meadowRegion(m, x, y);
        break;
    }
}

} // namespace

std::vector<graphics::PointF> pointListOf(const std::string& text) {
    std::vector<graphics::PointF> points;
    std::istringstream pairs(text);
    for (std::string pair; std::getline(pairs, pair, ';');) {
        std::istringstream numbers(pair);
        float x = 0;
        float y = 0;
        if (numbers >> x >> y) {
            points.emplace_back(x, y);
        }
    }
    return points;
}

std::vector<graphics::PointF> walkedCurve(const std::vector<graphics::PointF>& points, int steps) {
    if (points.size() < 2) {
        return points;
    }
    const int last = static_cast<int>(points.size()) - 1;
    const auto slope = [&](int i) {
        if (i == 0 || i == last) {
            return graphics::PointF{};
        }
        const graphics::PointF& before = points[static_cast<std::size_t>(i - 1)];
        const graphics::PointF& after = points[static_cast<std::size_t>(i + 1)];
        return graphics::PointF{after.getX() - before.getX(), after.getY() - before.getY()};
    };
    std::vector<graphics::PointF> curve{points.front()};
    for (int i = 0; i < last; ++i) {
        const graphics::PointF& a = points[static_cast<std::size_t>(i)];
        const graphics::PointF& b = points[static_cast<std::size_t>(i + 1)];
        const graphics::PointF m0 = slope(i);
        const graphics::PointF m1 = slope(i + 1);
        for (int k = 1; k <= steps; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(steps);
            const float h00 = 2 * t * t * t - 3 * t * t + 1;
            const float h10 = t * t * t - 2 * t * t + t;
            const float h01 = -2 * t * t * t + 3 * t * t;
            const float h11 = t * t * t - t * t;
            curve.emplace_back(h00 * a.getX() + h10 * m0.getX() + h01 * b.getX() + h11 * m1.getX(),
                               h00 * a.getY() + h10 * m0.getY() + h01 * b.getY() + h11 * m1.getY());
        }
    }
    return curve;
}

void drawChapterLandscape(Canvas& canvas, const std::vector<int>& sceneries,
                          const std::vector<graphics::PointF>& spots) {
    MapPainter m(canvas, 0x3A9u);
    const std::size_t count = std::min(spots.size(), sceneries.size());
    drawSky(m);
    for (std::size_t i = 0; i < count; ++i) {
        if (sceneries[i] == snowfieldScenery) {
            snowPeaks(m, spots[i].getX(), spots[i].getY());
        }
    }
    drawMeadow(m);
    for (std::size_t i = 0; i < count; ++i) {
        if (sceneries[i] == rainbowScenery) {
            rainbowArc(m, spots[i].getX(), spots[i].getY());
        }
    }
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return spots[a].getY() < spots[b].getY(); });
    for (const std::size_t i : order) {
        drawRegion(m, sceneries[i], spots[i].getX(), spots[i].getY());
    }
    for (const graphics::PointF& spot : spots) {
        m.clearing(spot.getX(), spot.getY());
    }
}

} // namespace mkmedia
