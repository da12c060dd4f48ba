#include "tools/mkmedia/PolaroidScenes.h"

#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/PhotoScene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb confettiColours[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838};

// ---- The thirty backdrops ----

void meadow(PhotoScene& p) {
    p.sky(0x7ECFFF, 0xE0F6FF, 0.7f);
    p.sun(0.82f, 0.16f, 0.08f, 0xFFE27A);
    p.cloud(0.28f, 0.2f, 0.14f);
    p.hills(0.6f, 0xA6E58A, 3);
    p.hills(0.74f, 0x74CC5C, 4);
    constexpr Rgb petals[] = {0xFF8FB8, 0xFFFFFF, 0xFFE066};
    p.flowers(16, 0.78f, 0.98f, petals, 3);
}

void library(PhotoScene& p) {
    p.sky(0xF2DDBA, 0xE2C69C);
    const Rgb spines[] = {0xD9534F, 0x3FA7D6, 0x7BD05A, 0xFFC22E, 0x8E6FD8, 0xFF9838, 0x2FB7A8};
    for (int shelf = 0; shelf < 3; ++shelf) {
        const float top = 0.06f + 0.24f * static_cast<float>(shelf);
        float px = 0.04f;
        int i = shelf * 3;
        while (px < 0.94f) {
            const float w = p.dice.between(0.045f, 0.075f);
            const float h = p.dice.between(0.14f, 0.19f);
            const Rgb colour = spines[i++ % 7];
            p.c.paint(roundedRect(p.x(px), p.y(top + 0.2f - h), p.x(w) - 1, p.y(h), 1), colour);
            p.c.paint(roundedRect(p.x(px), p.y(top + 0.2f - h * 0.8f), p.x(w) - 1, p.y(0.015f), 0),
                      lighter(colour, 0.5f));
            px += w;
        }
        p.c.paint(roundedRect(0, p.y(top + 0.2f), p.x(1), p.y(0.035f), 0), 0x8A5A3A);
    }
    p.band(0.8f, 1.0f, 0xC08A5A, 0x9A6A40);
    p.c.paint(ellipse(p.x(0.5f), p.y(0.93f), p.x(0.42f), p.y(0.07f)), 0xC84E5A);
}

void partyRoom(PhotoScene& p) {
    p.sky(0xFFD6E5, 0xFFEAF2);
    for (int i = 0; i < 30; ++i) {
        p.c.paint(circle(p.x(p.dice.between(0, 1)), p.y(p.dice.between(0, 0.8f)), p.s(0.015f)), 0xFFFFFF,
                  160);
    }
    p.bunting(0.06f, 0.08f);
    p.balloon(0.14f, 0.36f, 0.08f, 0xFF5C8A);
    p.balloon(0.86f, 0.32f, 0.08f, 0x3FA7E8);
    p.band(0.8f, 1.0f, 0xF2B8CC, 0xE39AB4);
    p.confetti(22, 0.95f);
}

void farm(PhotoScene& p) {
    p.sky(0x8AD4FF, 0xE6F7FF, 0.6f);
    p.cloud(0.7f, 0.16f, 0.12f);
    p.hills(0.62f, 0x9ADB70, 3);
    const float bx = p.x(0.06f);
    const float by = p.y(0.34f);
    const float bw = p.x(0.3f);
    p.c.paint(
        Shape{{bx - p.s(0.02f), by + p.y(0.12f)}, {bx + bw / 2, by}, {bx + bw + p.s(0.02f), by + p.y(0.12f)}},
        0x8A2F2A);
    p.c.paint(roundedRect(bx, by + p.y(0.11f), bw, p.y(0.3f), 0), 0xD9483E);
    p.c.paint(roundedRect(bx + bw * 0.3f, by + p.y(0.24f), bw * 0.4f, p.y(0.17f), 0), 0xFFF1DC);
    p.c.paint(stroke(bx + bw * 0.3f, by + p.y(0.24f), bx + bw * 0.7f, by + p.y(0.41f), p.s(0.015f)),
              0xD9483E);
    p.c.paint(stroke(bx + bw * 0.7f, by + p.y(0.24f), bx + bw * 0.3f, by + p.y(0.41f), p.s(0.015f)),
              0xD9483E);
    p.band(0.74f, 1.0f, 0x8ED46A, 0x6EBE4E);
    p.fence(0.64f, 0.8f, 0xFFFFFF);
}

void garden(PhotoScene& p) {
    p.sky(0xFFE9C8, 0xFFF8EA, 0.6f);
    p.fence(0.42f, 0.66f, 0xFFFFFF);
    // Flowering bushes, so the garden's green pibble stands out from them.
    for (int i = 0; i < 5; ++i) {
        const float cx = 0.1f + 0.2f * static_cast<float>(i);
        p.c.paintGradient(circle(p.x(cx), p.y(0.66f), p.s(0.14f)), 0xF7B8D2, 0xE48AB2, p.y(0.52f), p.y(0.8f));
        for (int k = 0; k < 4; ++k) {
            p.c.paint(circle(p.x(cx) + p.s(p.dice.between(-0.09f, 0.09f)),
                             p.y(0.62f) + p.s(p.dice.between(-0.05f, 0.06f)), p.s(0.018f)),
                      0xFFFFFF, 220);
        }
    }
    const Rgb tulips[] = {0xFF5C6E, 0xFFC22E, 0xFF8FB8, 0xB779F0};
    for (int i = 0; i < 8; ++i) {
        const float tx = p.x(0.06f + 0.12f * static_cast<float>(i));
        const float ty = p.y(0.62f + 0.05f * static_cast<float>(i % 2));
        p.c.paint(stroke(tx, ty, tx, p.y(0.82f), p.s(0.012f)), 0x3A9A48);
        p.c.paint(Shape{{tx - p.s(0.03f), ty - p.s(0.04f)},
                        {tx - p.s(0.01f), ty - p.s(0.01f)},
                        {tx, ty - p.s(0.045f)},
                        {tx + p.s(0.01f), ty - p.s(0.01f)},
                        {tx + p.s(0.03f), ty - p.s(0.04f)},
                        {tx + p.s(0.025f), ty + p.s(0.01f)},
                        {tx - p.s(0.025f), ty + p.s(0.01f)}},
                  tulips[i % 4]);
    }
    p.band(0.8f, 1.0f, 0x86D065, 0x62B24A);
}

void castle(PhotoScene& p) {
    p.sky(0xC6B5F5, 0xFBEFFF, 0.7f);
    p.cloud(0.18f, 0.18f, 0.1f);
    const Rgb wall = 0xF7D2E4;
    p.c.paint(roundedRect(p.x(0.2f), p.y(0.36f), p.x(0.6f), p.y(0.5f), 0), wall);
    for (const float tx : {0.14f, 0.43f, 0.72f}) {
        const float top = tx == 0.43f ? 0.2f : 0.28f;
        p.c.paint(roundedRect(p.x(tx), p.y(top), p.x(0.14f), p.y(0.6f), 0), darker(wall, 0.05f));
        p.c.paint(Shape{{p.x(tx - 0.02f), p.y(top)},
                        {p.x(tx + 0.07f), p.y(top - 0.14f)},
                        {p.x(tx + 0.16f), p.y(top)}},
                  0x8E6FD8);
        p.c.paint(stroke(p.x(tx + 0.07f), p.y(top - 0.14f), p.x(tx + 0.07f), p.y(top - 0.22f), p.s(0.008f)),
                  0x6A4A3A);
        p.c.paint(Shape{{p.x(tx + 0.07f), p.y(top - 0.22f)},
                        {p.x(tx + 0.14f), p.y(top - 0.195f)},
                        {p.x(tx + 0.07f), p.y(top - 0.17f)}},
                  0xFFC22E);
        p.c.paint(roundedRect(p.x(tx + 0.05f), p.y(top + 0.1f), p.x(0.04f), p.y(0.07f), p.x(0.02f)),
                  0x6A4A8A);
    }
    p.c.paint(roundedRect(p.x(0.42f), p.y(0.6f), p.x(0.16f), p.y(0.26f), p.x(0.08f)), 0x8A5A3A);
    p.hills(0.8f, 0x9FD68A, 3);
}

void autumn(PhotoScene& p) {
    p.sky(0xFFD9A0, 0xFFF1D6, 0.7f);
    p.roundTree(0.14f, 0.8f, 0.62f, 0xF08A3A);
    p.roundTree(0.86f, 0.8f, 0.7f, 0xD9533A);
    p.roundTree(0.5f, 0.72f, 0.4f, 0xF2B33A);
    p.band(0.78f, 1.0f, 0xD9A060, 0xB77C44);
    constexpr Rgb fallen[] = {0xF08A3A, 0xD9533A, 0xF2B33A, 0xA8552E};
    p.leaves(24, 0.98f, fallen, 4);
}

void stage(PhotoScene& p) {
    p.sky(0x3A1F4A, 0x5A2E66);
    p.c.paintSoft(Shape{{p.x(0.42f), 0}, {p.x(0.58f), 0}, {p.x(0.82f), p.y(0.92f)}, {p.x(0.18f), p.y(0.92f)}},
                  0xFFF3C4, 110, p.blur(0.04f));
    p.band(0.8f, 1.0f, 0xB8763E, 0x8A5428);
    for (int i = 1; i < 6; ++i) {
        p.c.paint(roundedRect(0, p.y(0.8f + 0.04f * static_cast<float>(i)), p.x(1), 1, 0), 0x6E4020, 120);
    }
    p.c.paintSoft(ellipse(p.x(0.5f), p.y(0.9f), p.x(0.3f), p.y(0.06f)), 0xFFF3C4, 120, p.blur(0.03f));
    p.curtains(0xD93A4E);
}

void snowyHills(PhotoScene& p) {
    p.sky(0xBFE3FF, 0xF2FAFF, 0.7f);
    p.hills(0.56f, 0xE8F2FF, 3);
    p.pine(0.12f, 0.72f, 0.38f, 0x3E8E5A, true);
    p.pine(0.88f, 0.7f, 0.44f, 0x3E8E5A, true);
    p.pine(0.72f, 0.66f, 0.26f, 0x4FA06A, true);
    p.hills(0.76f, 0xFFFFFF, 3);
    p.snowfall(30, 0.9f);
}

void disco(PhotoScene& p) {
    p.sky(0x2B1B4F, 0x4A2A78);
    constexpr Rgb lights[] = {0xFF5C8A, 0x3FD0E8, 0xFFD23F, 0x9BE05A, 0xC08AFF};
    p.beams(0.5f, 0.08f, lights, 5, 90);
    p.c.paint(circle(p.x(0.5f), p.y(0.1f), p.s(0.07f)), 0xC8D0E0);
    for (int i = 0; i < 10; ++i) {
        p.c.paint(roundedRect(p.x(0.45f) + p.s(0.025f) * static_cast<float>(i % 4),
                              p.y(0.06f) + p.s(0.025f) * static_cast<float>(i / 4), p.s(0.02f), p.s(0.02f),
                              0),
                  i % 3 == 0 ? 0xFFFFFF : 0x8E98B0);
    }
    const Rgb floor[] = {0xFF5C8A, 0x3FD0E8, 0xFFD23F, 0xC08AFF};
    int k = 0;
    for (float py = p.y(0.78f); py < p.y(1); py += p.s(0.08f)) {
        for (float px = 0; px < p.x(1); px += p.s(0.1f)) {
            p.c.paint(roundedRect(px + 1, py + 1, p.s(0.1f) - 2, p.s(0.08f) - 2, 1), floor[k++ % 4], 210);
        }
        ++k;
    }
}

void beach(PhotoScene& p) {
    p.sky(0x6FD0FF, 0xD8F4FF, 0.55f);
    p.sun(0.2f, 0.16f, 0.08f, 0xFFE066);
    p.cloud(0.72f, 0.2f, 0.1f);
    p.band(0.5f, 0.72f, 0x3FB4E0, 0x2A8EC8);
    p.waves(0.5f, 0.7f, 0xFFFFFF, 150);
    p.band(0.7f, 1.0f, 0xF8E0A8, 0xEAC27E);
    const float ux = p.x(0.8f);
    p.c.paint(stroke(ux, p.y(0.45f), ux + p.s(0.04f), p.y(0.92f), p.s(0.015f)), 0x8A6A4A);
    for (int i = 0; i < 4; ++i) {
        const float a0 = pi + pi * static_cast<float>(i) / 4;
        const float a1 = pi + pi * static_cast<float>(i + 1) / 4;
        const float r = p.s(0.2f);
        p.c.paint(Shape{{ux, p.y(0.45f)},
                        {ux + std::cos(a0) * r, p.y(0.45f) + std::sin(a0) * r * 0.55f},
                        {ux + std::cos(a1) * r, p.y(0.45f) + std::sin(a1) * r * 0.55f}},
                  i % 2 == 0 ? 0xFF5C6E : 0xFFFFFF);
    }
    p.c.paint(star(p.x(0.14f), p.y(0.9f), p.s(0.035f), p.s(0.015f), 5), 0xFF9A6B);
}

void cityDay(PhotoScene& p) {
    p.sky(0x9ED8FF, 0xE8F7FF, 0.6f);
    p.cloud(0.3f, 0.14f, 0.1f);
    const Rgb blocks[] = {0xFFC2A8, 0xA8D8C8, 0xF7E08A, 0xC8B8F0, 0xFFB8C8};
    float px = -0.02f;
    for (int i = 0; px < 1; ++i) {
        const float w = p.dice.between(0.16f, 0.24f);
        p.building(px, w, p.dice.between(0.28f, 0.5f), blocks[i % 5], 0xFFFFFF, 0.85f);
        px += w;
    }
    p.band(0.8f, 1.0f, 0xC8C8D0, 0xA8A8B4);
    for (float lx = p.s(0.04f); lx < p.x(1); lx += p.s(0.16f)) {
        p.c.paint(roundedRect(lx, p.y(0.9f), p.s(0.08f), p.s(0.012f), 1), 0xFFFFFF, 200);
    }
}

void sportsField(PhotoScene& p) {
    p.sky(0x8AD4FF, 0xE0F4FF, 0.5f);
    p.band(0.32f, 0.46f, 0x6E7CA8, 0x58668E);
    for (int i = 0; i < 40; ++i) {
        p.c.paint(circle(p.x(p.dice.between(0, 1)), p.y(p.dice.between(0.34f, 0.45f)), p.s(0.012f)),
                  confettiColours[i % 6], 200);
    }
    for (int i = 0; i < 6; ++i) {
        const float top = 0.46f + 0.09f * static_cast<float>(i);
        p.band(top, top + 0.09f, i % 2 == 0 ? 0x7ED05A : 0x6CC04A, i % 2 == 0 ? 0x7ED05A : 0x6CC04A);
    }
    p.c.paint(arcBand(p.x(0.5f), p.y(0.92f), p.s(0.3f), p.s(0.012f), pi, 2 * pi), 0xFFFFFF, 220);
    const float gx = p.x(0.08f);
    p.c.paint(roundedRect(gx, p.y(0.5f), p.s(0.012f), p.y(0.22f), 0), 0xFFFFFF);
    p.c.paint(roundedRect(gx + p.s(0.2f), p.y(0.5f), p.s(0.012f), p.y(0.22f), 0), 0xFFFFFF);
    p.c.paint(roundedRect(gx, p.y(0.5f), p.s(0.212f), p.s(0.012f), 0), 0xFFFFFF);
    const float bx = p.x(0.84f);
    const float by = p.y(0.88f);
    p.c.paint(circle(bx, by, p.s(0.045f)), 0xFFFFFF);
    p.c.paint(star(bx, by, p.s(0.02f), p.s(0.012f), 5), 0x2A2A3A);
}

void sunsetSea(PhotoScene& p) {
    p.sky(0xB08AE0, 0xFFC08A, 0.55f);
    p.sun(0.5f, 0.5f, 0.13f, 0xFFE08A);
    p.band(0.5f, 0.8f, 0xF28A7A, 0x8A5AB0);
    for (int i = 0; i < 7; ++i) {
        const float w = 0.24f - 0.025f * static_cast<float>(i);
        p.c.paint(roundedRect(p.x(0.5f - w / 2), p.y(0.53f + 0.035f * static_cast<float>(i)), p.x(w),
                              p.s(0.012f), 2),
                  0xFFE0A0, 200);
    }
    p.band(0.8f, 1.0f, 0xF2C48A, 0xD9A468);
}

void desert(PhotoScene& p) {
    p.sky(0xFFD89A, 0xFFF6DC, 0.6f);
    p.sun(0.76f, 0.2f, 0.1f, 0xFFB84A);
    p.hills(0.6f, 0xF2C27A, 2);
    p.hills(0.78f, 0xE8AE5E, 3);
    const auto cactus = [&](float cx, float base, float h) {
        const float w = p.s(0.05f);
        const Rgb green = 0x5AAE5A;
        p.c.paint(roundedRect(p.x(cx) - w / 2, p.y(base - h), w, p.y(h), w / 2), green);
        p.c.paint(roundedRect(p.x(cx) - w * 1.6f, p.y(base - h * 0.7f), w * 0.7f, p.y(h * 0.35f), w * 0.35f),
                  green);
        p.c.paint(roundedRect(p.x(cx) - w * 1.6f, p.y(base - h * 0.42f), w * 1.4f, w * 0.6f, w * 0.3f),
                  green);
        p.c.paint(roundedRect(p.x(cx) + w * 0.9f, p.y(base - h * 0.85f), w * 0.7f, p.y(h * 0.4f), w * 0.35f),
                  green);
        p.c.paint(roundedRect(p.x(cx) + w * 0.2f, p.y(base - h * 0.5f), w * 1.4f, w * 0.6f, w * 0.3f), green);
        p.c.paint(roundedRect(p.x(cx) - w * 0.15f, p.y(base - h) + w * 0.3f, w * 0.3f, p.y(h) - w, w * 0.15f),
                  lighter(green, 0.3f), 160);
    };
    cactus(0.14f, 0.86f, 0.4f);
    cactus(0.84f, 0.8f, 0.28f);
}

void island(PhotoScene& p) {
    p.sky(0x7FD6FF, 0xE6FAFF, 0.5f);
    p.cloud(0.5f, 0.14f, 0.12f);
    p.band(0.46f, 1.0f, 0x4FD0D8, 0x2A9EC8);
    p.waves(0.48f, 1.0f, 0xFFFFFF, 120);
    p.c.paint(Shape{{p.x(0.62f), p.y(0.46f)}, {p.x(0.66f), p.y(0.32f)}, {p.x(0.72f), p.y(0.46f)}}, 0xFFFFFF);
    p.c.paint(roundedRect(p.x(0.6f), p.y(0.46f), p.x(0.14f), p.y(0.03f), p.y(0.015f)), 0x8A5A3A);
    p.c.paint(ellipse(p.x(0.12f), p.y(0.6f), p.x(0.2f), p.y(0.06f)), 0xF6DCA0);
    p.c.paint(
        curveBand({p.x(0.1f), p.y(0.58f)}, {p.x(0.06f), p.y(0.4f)}, {p.x(0.14f), p.y(0.28f)}, p.s(0.025f)),
        0x9A6A40);
    for (int i = 0; i < 5; ++i) {
        const float a = pi * (0.9f + 0.3f * static_cast<float>(i));
        p.c.paint(leaf(p.x(0.14f), p.y(0.28f), p.x(0.14f) + std::cos(a) * p.s(0.16f),
                       p.y(0.28f) + std::sin(a) * p.s(0.1f) + p.s(0.04f), p.s(0.05f)),
                  0x3FAE5A);
    }
    p.band(0.82f, 1.0f, 0xF6DCA0, 0xEAC27E);
}

void parlour(PhotoScene& p) {
    p.sky(0xFFF1E0, 0xFFE6D2);
    for (float px = 0; px < p.x(1); px += p.s(0.1f)) {
        p.c.paint(roundedRect(px, 0, p.s(0.05f), p.y(0.72f), 0), 0xF8C8C8, 140);
    }
    const Rect frame{p.x(0.32f), p.y(0.1f), p.x(0.36f), p.y(0.3f)};
    p.c.paint(roundedRect(frame.x, frame.y, frame.w, frame.h, 2), 0xC8962E);
    p.c.paintGradient(roundedRect(frame.x + p.s(0.025f), frame.y + p.s(0.025f), frame.w - p.s(0.05f),
                                  frame.h - p.s(0.05f), 1),
                      0x9ED8FF, 0xA8E08A, frame.y, frame.y + frame.h);
    p.c.paint(roundedRect(0, p.y(0.7f), p.x(1), p.y(0.04f), 0), 0xFFFFFF);
    p.band(0.74f, 1.0f, 0xA87048, 0x8A5A3A);
    const float lx = p.x(0.86f);
    p.c.paint(stroke(lx, p.y(0.42f), lx, p.y(0.76f), p.s(0.015f)), 0x6A4A3A);
    p.c.paint(Shape{{lx - p.s(0.08f), p.y(0.44f)},
                    {lx - p.s(0.05f), p.y(0.3f)},
                    {lx + p.s(0.05f), p.y(0.3f)},
                    {lx + p.s(0.08f), p.y(0.44f)}},
              0xFFD98A);
}

void starryNight(PhotoScene& p) {
    p.sky(0x1B2A5E, 0x4A5AA8);
    p.stars(46, 0.75f);
    p.moon(0.78f, 0.2f, 0.1f, 0xFFF3C4, 0x22336A);
    p.hills(0.74f, 0x2E3E7A, 3);
    p.hills(0.84f, 0x3A4C8E, 4);
}

void aboveClouds(PhotoScene& p) {
    p.sky(0xFFE3A0, 0xFFF8E8, 0.8f);
    p.rays(0.5f, 0.3f, 0xFFFFFF, 50);
    p.sun(0.5f, 0.3f, 0.12f, 0xFFF3B0);
    for (int i = 0; i < 6; ++i) {
        p.cloud(0.1f + 0.18f * static_cast<float>(i), 0.86f + 0.05f * static_cast<float>(i % 2), 0.22f);
    }
    p.cloud(0.15f, 0.5f, 0.09f);
    p.cloud(0.84f, 0.42f, 0.1f);
}

void kitchen(PhotoScene& p) {
    p.sky(0xFFFFFF, 0xF2F6FF);
    p.checks(0, 0.62f, 0xFFFFFF, 0xBFDDF5, 0.1f);
    p.c.paint(roundedRect(0, p.y(0.2f), p.x(1), p.y(0.03f), 0), 0xB87A48);
    for (int i = 0; i < 3; ++i) {
        const float jx = p.x(0.2f + 0.28f * static_cast<float>(i));
        p.c.paint(roundedRect(jx - p.s(0.05f), p.y(0.1f), p.s(0.1f), p.y(0.1f), p.s(0.02f)),
                  confettiColours[i * 2], 220);
        p.c.paint(roundedRect(jx - p.s(0.055f), p.y(0.08f), p.s(0.11f), p.y(0.03f), 1), 0xFFFFFF);
    }
    p.c.paint(roundedRect(0, p.y(0.62f), p.x(1), p.y(0.06f), 0), 0xD9A468);
    p.band(0.68f, 1.0f, 0xF0E2C8, 0xE0CCA8);
    p.checks(0.82f, 1.0f, 0xFFFFFF, 0xE0D0F0, 0.09f);
    const float px = p.x(0.84f);
    p.c.paint(ellipse(px, p.y(0.6f), p.s(0.09f), p.s(0.03f)), 0xC88A48);
    p.c.paint(ellipse(px, p.y(0.58f), p.s(0.08f), p.s(0.025f)), 0xF2C27A);
}

void halloween(PhotoScene& p) {
    p.sky(0x3A2260, 0x8A4A9A);
    p.stars(20, 0.6f);
    p.moon(0.24f, 0.22f, 0.13f, 0xFFE08A, 0x3A2260);
    for (int i = 0; i < 3; ++i) {
        const float bx = p.x(0.6f + 0.13f * static_cast<float>(i));
        const float by = p.y(0.16f + 0.08f * static_cast<float>(i % 2));
        const float b = p.s(0.035f);
        p.c.paint(Shape{{bx - b * 1.6f, by - b * 0.4f},
                        {bx - b * 0.6f, by - b * 0.1f},
                        {bx, by - b * 0.5f},
                        {bx + b * 0.6f, by - b * 0.1f},
                        {bx + b * 1.6f, by - b * 0.4f},
                        {bx + b * 0.8f, by + b * 0.5f},
                        {bx, by + b * 0.2f},
                        {bx - b * 0.8f, by + b * 0.5f}},
                  0x1E1030);
    }
    p.hills(0.76f, 0x2A1A40, 3);
    for (const float cx : {0.12f, 0.86f}) {
        const float px = p.x(cx);
        const float py = p.y(0.88f);
        const float r = p.s(0.07f);
        p.c.paintGradient(ellipse(px, py, r * 1.2f, r), 0xFFA040, 0xE0701A, py - r, py + r);
        p.c.paint(arcBand(px, py, r * 0.5f, r * 0.12f, 1.3f * pi, 1.7f * pi), 0xC05A10);
        p.c.paint(roundedRect(px - r * 0.1f, py - r * 1.3f, r * 0.2f, r * 0.4f, 1), 0x3A8A3A);
        p.c.paint(Shape{{px - r * 0.5f, py - r * 0.3f},
                        {px - r * 0.2f, py - r * 0.3f},
                        {px - r * 0.35f, py - r * 0.55f}},
                  0xFFE860);
        p.c.paint(Shape{{px + r * 0.2f, py - r * 0.3f},
                        {px + r * 0.5f, py - r * 0.3f},
                        {px + r * 0.35f, py - r * 0.55f}},
                  0xFFE860);
        p.c.paint(arcBand(px, py, r * 0.45f, r * 0.15f, 0.2f * pi, 0.8f * pi), 0xFFE860);
    }
}

void harbour(PhotoScene& p) {
    p.sky(0x86D2FF, 0xE8F8FF, 0.5f);
    p.cloud(0.62f, 0.14f, 0.1f);
    p.band(0.5f, 0.8f, 0x3AA8DA, 0x2A84BA);
    p.waves(0.52f, 0.8f, 0xFFFFFF, 140);
    const float lx = p.x(0.12f);
    for (int i = 0; i < 4; ++i) {
        p.c.paint(roundedRect(lx - p.s(0.04f), p.y(0.2f + 0.08f * static_cast<float>(i)), p.s(0.08f),
                              p.y(0.08f), 0),
                  i % 2 == 0 ? 0xFFFFFF : 0xE8403A);
    }
    p.c.paint(Shape{{lx - p.s(0.05f), p.y(0.2f)}, {lx, p.y(0.12f)}, {lx + p.s(0.05f), p.y(0.2f)}}, 0x3A3A5A);
    p.c.paintSoft(circle(lx, p.y(0.17f), p.s(0.04f)), 0xFFF0A0, 220, p.blur(0.02f));
    const float sx = p.x(0.72f);
    p.c.paint(Shape{{sx - p.s(0.12f), p.y(0.56f)},
                    {sx + p.s(0.12f), p.y(0.56f)},
                    {sx + p.s(0.08f), p.y(0.62f)},
                    {sx - p.s(0.08f), p.y(0.62f)}},
              0xE8403A);
    p.c.paint(Shape{{sx, p.y(0.28f)}, {sx, p.y(0.54f)}, {sx + p.s(0.11f), p.y(0.54f)}}, 0xFFFFFF);
    p.c.paint(
        Shape{{sx - p.s(0.01f), p.y(0.32f)}, {sx - p.s(0.01f), p.y(0.54f)}, {sx - p.s(0.09f), p.y(0.54f)}},
        0xFFF6D8);
    p.band(0.8f, 1.0f, 0xC8965E, 0xA8784A);
    for (float bx = 0; bx < p.x(1); bx += p.s(0.12f)) {
        p.c.paint(roundedRect(bx, p.y(0.8f), 1, p.y(0.2f), 0), 0x7A5234, 160);
    }
}

void winterSnowman(PhotoScene& p) {
    p.sky(0x9FB4D8, 0xDCE6F5, 0.7f);
    p.pine(0.9f, 0.7f, 0.42f, 0x3A7A5A, true);
    p.pine(0.7f, 0.64f, 0.3f, 0x467E62, true);
    p.hills(0.72f, 0xF4F8FF, 3);
    const float sx = p.x(0.16f);
    p.c.paint(circle(sx, p.y(0.82f), p.s(0.1f)), 0xFFFFFF);
    p.c.paint(circle(sx, p.y(0.66f), p.s(0.07f)), 0xFFFFFF);
    p.c.paint(circle(sx - p.s(0.022f), p.y(0.65f), p.s(0.01f)), 0x2A2A3A);
    p.c.paint(circle(sx + p.s(0.022f), p.y(0.65f), p.s(0.01f)), 0x2A2A3A);
    p.c.paint(Shape{{sx, p.y(0.67f)}, {sx + p.s(0.06f), p.y(0.68f)}, {sx, p.y(0.69f)}}, 0xFF8A2A);
    p.c.paint(roundedRect(sx - p.s(0.07f), p.y(0.715f), p.s(0.14f), p.s(0.025f), 2), 0xE8403A);
    p.snowfall(40, 1.0f);
}

void blossom(PhotoScene& p) {
    p.sky(0xCDEBFF, 0xFFF2F8, 0.7f);
    p.c.paint(
        curveBand({p.x(0.22f), p.y(0.85f)}, {p.x(0.18f), p.y(0.5f)}, {p.x(0.3f), p.y(0.3f)}, p.s(0.06f)),
        0x7A5234);
    p.c.paint(
        curveBand({p.x(0.24f), p.y(0.5f)}, {p.x(0.4f), p.y(0.38f)}, {p.x(0.55f), p.y(0.3f)}, p.s(0.03f)),
        0x7A5234);
    for (int i = 0; i < 9; ++i) {
        const float cx = p.dice.between(0.05f, 0.75f);
        const float cy = p.dice.between(0.08f, 0.38f);
        p.c.paintGradient(circle(p.x(cx), p.y(cy), p.s(p.dice.between(0.1f, 0.15f))), 0xFFD6E8, 0xFFA8CC,
                          p.y(cy - 0.15f), p.y(cy + 0.15f));
    }
    p.band(0.8f, 1.0f, 0x9ADB80, 0x7CC464);
    constexpr Rgb petals[] = {0xFFB8D6, 0xFFD6E8, 0xFFFFFF};
    p.leaves(22, 1.0f, petals, 3);
}

void podium(PhotoScene& p) {
    p.sky(0x5A7ADA, 0xA8C0FF, 0.8f);
    p.rays(0.5f, 0.9f, 0xFFFFFF, 35);
    p.confetti(36, 0.7f);
    const struct {
        float x;
        float top;
        Rgb colour;
    } steps[] = {{0.06f, 0.8f, 0xC8D0E0}, {0.3f, 0.72f, 0xFFD23F}, {0.7f, 0.84f, 0xE0A070}};
    for (const auto& step : steps) {
        const float w = step.x == 0.3f ? 0.4f : 0.24f;
        p.c.paintGradient(roundedRect(p.x(step.x), p.y(step.top), p.x(w), p.y(1 - step.top) + 2, 2),
                          lighter(step.colour, 0.3f), darker(step.colour, 0.1f), p.y(step.top), p.y(1));
    }
}

void balloonSky(PhotoScene& p) {
    p.sky(0x6EC8FF, 0xDDF3FF);
    p.cloud(0.8f, 0.16f, 0.1f);
    constexpr Rgb colours[] = {0xFF5C8A, 0xFFC22E, 0x7BD05A, 0xB779F0, 0x3FA7E8};
    p.balloon(0.14f, 0.22f, 0.07f, colours[0]);
    p.balloon(0.3f, 0.12f, 0.06f, colours[1]);
    p.balloon(0.7f, 0.34f, 0.06f, colours[2]);
    p.balloon(0.88f, 0.44f, 0.07f, colours[3]);
    p.balloon(0.12f, 0.52f, 0.05f, colours[4]);
    p.cloud(0.5f, 0.9f, 0.3f);
    p.cloud(0.15f, 0.95f, 0.2f);
    p.cloud(0.85f, 0.95f, 0.2f);
}

void candyLand(PhotoScene& p) {
    p.sky(0xFFB8DA, 0xFFF0F6, 0.7f);
    p.hills(0.62f, 0xFFD0E6, 3);
    p.hills(0.78f, 0xC8E8FF, 3);
    for (const float cx : {0.12f, 0.88f}) {
        const float px = p.x(cx);
        p.c.paint(stroke(px, p.y(0.4f), px, p.y(0.86f), p.s(0.02f)), 0xFFFFFF);
        const float r = p.s(0.09f);
        p.c.paint(circle(px, p.y(0.4f), r), cx < 0.5f ? 0xFF5C8A : 0x7BD05A);
        p.c.paint(arcBand(px, p.y(0.4f), r * 0.55f, r * 0.25f, 0, 1.5f * pi), 0xFFFFFF, 220);
    }
    constexpr Rgb drops[] = {0xFF5C8A, 0xFFC22E, 0x7BD05A, 0x3FA7E8};
    for (int i = 0; i < 12; ++i) {
        p.c.paint(ellipse(p.x(p.dice.between(0.05f, 0.95f)), p.y(p.dice.between(0.86f, 0.98f)), p.s(0.02f),
                          p.s(0.012f)),
                  drops[i % 4]);
    }
}

void cityNight(PhotoScene& p) {
    p.sky(0x20204A, 0x5A3A7A, 0.8f);
    p.stars(24, 0.4f);
    p.moon(0.84f, 0.14f, 0.07f, 0xFFF0C0, 0x232450);
    const Rgb blocks[] = {0x2E2E5A, 0x3A3268, 0x283858};
    float px = -0.02f;
    for (int i = 0; px < 1; ++i) {
        const float w = p.dice.between(0.14f, 0.22f);
        p.building(px, w, p.dice.between(0.32f, 0.55f), blocks[i % 3], 0xFFE07A, 0.55f);
        px += w;
    }
    p.band(0.82f, 1.0f, 0x3A3A58, 0x2A2A40);
}

void rainbowHills(PhotoScene& p) {
    p.sky(0x8ADAFF, 0xEAF9FF, 0.7f);
    constexpr Rgb arcs[] = {0xFF5C6E, 0xFF9838, 0xFFD84A, 0x7BD05A, 0x5EB8F5, 0xA872E3};
    for (int i = 0; i < 6; ++i) {
        p.c.paint(arcBand(p.x(0.5f), p.y(0.8f), p.s(0.52f - 0.045f * static_cast<float>(i)), p.s(0.048f), pi,
                          2 * pi),
                  arcs[i], 200);
    }
    p.cloud(0.1f, 0.7f, 0.16f);
    p.cloud(0.9f, 0.7f, 0.16f);
    p.hills(0.78f, 0x86D468, 4);
}

void picnic(PhotoScene& p) {
    p.sky(0x9ADCFF, 0xEAF8FF, 0.6f);
    p.roundTree(0.84f, 0.74f, 0.66f, 0x5CB85A);
    p.hills(0.66f, 0x9ADB70, 3);
    p.band(0.74f, 1.0f, 0x86CF60, 0x6EB84A);
    const Shape blanket = {{p.x(0.02f), p.y(0.82f)},
                           {p.x(0.98f), p.y(0.82f)},
                           {p.x(1.1f), p.y(1.02f)},
                           {p.x(-0.1f), p.y(1.02f)}};
    Canvas pattern(p.c.width(), p.c.height());
    pattern.revealAll(0);
    PhotoScene checked(pattern, 1);
    checked.checks(0.8f, 1.02f, 0xE8403A, 0xFFFFFF, 0.07f);
    pattern.reveal(blanket);
    p.c.stamp(pattern.image(), 0, 0);
    const float bx = p.x(0.14f);
    p.c.paint(arcBand(bx, p.y(0.8f), p.s(0.06f), p.s(0.015f), pi, 2 * pi), 0x9A6A3A);
    p.c.paint(roundedRect(bx - p.s(0.08f), p.y(0.8f), p.s(0.16f), p.s(0.09f), 3), 0xC8904A);
    p.c.paint(circle(p.x(0.62f), p.y(0.88f), p.s(0.025f)), 0xE8323A);
    p.c.paint(circle(p.x(0.66f), p.y(0.89f), p.s(0.025f)), 0xE8323A);
}

using Backdrop = void (*)(PhotoScene&);

struct SceneKind {
    Backdrop draw;
    float ground;
};

// By collectable: each backdrop suits its pibble's accessory (a bow in the meadow, glasses among books,
// a bell on the farm, a witch's hat on Halloween, ...).
constexpr SceneKind scenes[] = {
    {meadow, 0.92f},    {library, 0.92f},   {partyRoom, 0.9f},      {farm, 0.92f},         {garden, 0.93f},
    {castle, 0.93f},    {autumn, 0.9f},     {stage, 0.9f},          {snowyHills, 0.92f},   {disco, 0.9f},
    {beach, 0.92f},     {cityDay, 0.9f},    {sportsField, 0.9f},    {sunsetSea, 0.92f},    {desert, 0.93f},
    {island, 0.93f},    {parlour, 0.92f},   {starryNight, 0.93f},   {aboveClouds, 0.9f},   {kitchen, 0.94f},
    {halloween, 0.9f},  {harbour, 0.92f},   {winterSnowman, 0.93f}, {blossom, 0.92f},      {podium, 0.74f},
    {balloonSky, 0.9f}, {candyLand, 0.92f}, {cityNight, 0.92f},     {rainbowHills, 0.92f}, {picnic, 0.92f},
};

const SceneKind& sceneOf(int collectable) {
    return collectable >= 1 && collectable <= static_cast<int>(std::size(scenes)) ? scenes[collectable - 1]
                                                                                  : scenes[0];
}

} // namespace

void drawPolaroidScene(Canvas& photo, int collectable) {
    PhotoScene scene(photo, static_cast<std::uint32_t>(collectable) * 7919u);
    sceneOf(collectable).draw(scene);
}

float groundOf(int collectable) {
    return sceneOf(collectable).ground;
}

} // namespace mkmedia
