#include "tools/mkmedia/PhotoScene.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb confettiColours[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838};

} // namespace

void PhotoScene::sky(Rgb top, Rgb bottom, float to) {
    c.revealAll(255);
    c.paintGradient(roundedRect(0, 0, x(1), y(1), 0), top, bottom, 0, y(to));
}

void PhotoScene::band(float from, float to, Rgb top, Rgb bottom) {
    c.paintGradient(roundedRect(-1, y(from), x(1) + 2, y(to - from) + 1, 0), top, bottom, y(from), y(to));
}

void PhotoScene::sun(float cx, float cy, float r, Rgb colour) {
    c.paintSoft(circle(x(cx), y(cy), s(r * 1.7f)), lighter(colour, 0.5f), 150, blur(r * 0.6f));
    c.paint(circle(x(cx), y(cy), s(r)), colour);
    c.paint(circle(x(cx) - s(r * 0.3f), y(cy) - s(r * 0.3f), s(r * 0.45f)), lighter(colour, 0.5f), 150);
}

void PhotoScene::moon(float cx, float cy, float r, Rgb colour, Rgb sky) {
    c.paintSoft(circle(x(cx), y(cy), s(r * 1.6f)), colour, 70, blur(r * 0.5f));
    c.paint(circle(x(cx), y(cy), s(r)), colour);
    c.paint(circle(x(cx) + s(r * 0.45f), y(cy) - s(r * 0.2f), s(r * 0.85f)), sky);
}

void PhotoScene::stars(int count, float bottom, Rgb colour) {
    for (int i = 0; i < count; ++i) {
        const float r = s(dice.between(0.008f, 0.02f));
        const float px = x(dice.between(0, 1));
        const float py = y(dice.between(0, bottom));
        c.paint(i % 4 == 0 ? star(px, py, r * 2.4f, r * 0.7f, 4) : circle(px, py, r), colour,
                static_cast<int>(dice.between(150, 255)));
    }
}

void PhotoScene::cloud(float cx, float cy, float size, Rgb colour, int alpha) {
    const float k = s(size);
    const Shape puffs[] = {circle(x(cx) - k * 0.55f, y(cy) + k * 0.1f, k * 0.38f),
                           circle(x(cx) - k * 0.1f, y(cy) - k * 0.15f, k * 0.5f),
                           circle(x(cx) + k * 0.45f, y(cy) + k * 0.05f, k * 0.4f),
                           roundedRect(x(cx) - k * 0.9f, y(cy), k * 1.75f, k * 0.45f, k * 0.22f)};
    for (const Shape& puff : puffs) {
        c.paint(moved(puff, 0, k * 0.08f), darker(colour, 0.15f), alpha / 4);
    }
    for (const Shape& puff : puffs) {
        c.paint(puff, colour, alpha);
    }
}

void PhotoScene::hills(float top, Rgb colour, int count) {
    for (int i = 0; i < count; ++i) {
        const float cx = x((static_cast<float>(i) + dice.between(0.2f, 0.8f)) / static_cast<float>(count));
        const float rx = x(1.0f / static_cast<float>(count) * dice.between(0.8f, 1.2f));
        const float ry = y(1 - top) * dice.between(0.8f, 1.1f);
        c.paintGradient(ellipse(cx, y(1), rx, ry), lighter(colour, 0.2f), darker(colour, 0.12f), y(1) - ry,
                        y(1));
    }
}

void PhotoScene::flowers(int count, float from, float to, const Rgb* colours, int colourCount) {
    for (int i = 0; i < count; ++i) {
        const float fx = x(dice.between(0.02f, 0.98f));
        const float fy = y(dice.between(from, to));
        const float r = s(dice.between(0.012f, 0.022f));
        const Rgb petal = colours[dice.next() % static_cast<std::uint32_t>(colourCount)];
        for (int k = 0; k < 5; ++k) {
            const float a = 2 * pi * static_cast<float>(k) / 5;
            c.paint(circle(fx + std::cos(a) * r, fy + std::sin(a) * r, r * 0.8f), petal);
        }
        c.paint(circle(fx, fy, r * 0.6f), 0xFFD23F);
    }
}

void PhotoScene::pine(float cx, float base, float height, Rgb colour, bool snowy) {
    const float h = y(height);
    const float w = h * 0.55f;
    c.paint(roundedRect(x(cx) - w * 0.08f, y(base) - h * 0.18f, w * 0.16f, h * 0.2f, 0), 0x7A5234);
    for (int tier = 0; tier < 3; ++tier) {
        const float top = y(base) - h + h * 0.24f * static_cast<float>(tier);
        const float spread = w * (0.3f + 0.17f * static_cast<float>(tier));
        const float bottom = top + h * 0.42f;
        const Shape tri = {{x(cx), top}, {x(cx) + spread, bottom}, {x(cx) - spread, bottom}};
        c.paintGradient(tri, lighter(colour, 0.15f), darker(colour, 0.2f), top, bottom);
        if (snowy) {
            c.paint(Shape{{x(cx), top},
                          {x(cx) + spread * 0.45f, top + h * 0.2f},
                          {x(cx) - spread * 0.45f, top + h * 0.2f}},
                    white, 230);
        }
    }
}

void PhotoScene::roundTree(float cx, float base, float height, Rgb leaves) {
    const float h = y(height);
    c.paint(roundedRect(x(cx) - h * 0.06f, y(base) - h * 0.45f, h * 0.12f, h * 0.45f, h * 0.03f), 0x8A5A3A);
    const float cy = y(base) - h * 0.65f;
    for (const auto& puff : {std::pair{-0.18f, 0.05f}, std::pair{0.18f, 0.05f}, std::pair{0.0f, -0.12f}}) {
        c.paintGradient(circle(x(cx) + h * puff.first, cy + h * puff.second, h * 0.26f),
                        lighter(leaves, 0.2f), darker(leaves, 0.15f), cy - h * 0.35f, cy + h * 0.3f);
    }
}

void PhotoScene::fence(float top, float bottom, Rgb colour) {
    const float h = y(bottom - top);
    for (float px = s(0.03f); px < x(1); px += s(0.09f)) {
        const Shape post = {{px, y(top) + h * 0.15f},
                            {px + s(0.03f), y(top)},
                            {px + s(0.06f), y(top) + h * 0.15f},
                            {px + s(0.06f), y(bottom)},
                            {px, y(bottom)}};
        c.paint(post, colour);
        c.paint(roundedRect(px + s(0.045f), y(top) + h * 0.2f, s(0.012f), h * 0.8f, 0),
                darker(colour, 0.12f));
    }
    for (const float rail : {0.35f, 0.72f}) {
        c.paint(roundedRect(0, y(top) + h * rail, x(1), h * 0.1f, 0), darker(colour, 0.06f));
    }
}

void PhotoScene::waves(float top, float bottom, Rgb colour, int alpha) {
    for (float py = y(top) + s(0.03f); py < y(bottom); py += s(0.05f)) {
        for (float px = dice.between(0, s(0.1f)); px < x(1); px += s(dice.between(0.14f, 0.24f))) {
            c.paint(arcBand(px, py + s(0.02f), s(0.03f), s(0.008f), 1.2f * pi, 1.8f * pi), colour, alpha);
        }
    }
}

void PhotoScene::confetti(int count, float bottom) {
    for (int i = 0; i < count; ++i) {
        const float px = x(dice.between(0, 1));
        const float py = y(dice.between(0, bottom));
        const float size = s(dice.between(0.012f, 0.022f));
        c.paint(turned(roundedRect(px - size, py - size * 0.5f, size * 2, size, size * 0.3f), px, py,
                       dice.between(0, pi)),
                confettiColours[i % 6]);
    }
}

void PhotoScene::bunting(float top, float sag) {
    const int flags = 7;
    for (int i = 0; i < flags; ++i) {
        const float t0 = static_cast<float>(i) / flags;
        const float t1 = static_cast<float>(i + 1) / flags;
        const auto at = [&](float t) { return y(top) + y(sag) * std::sin(pi * t); };
        c.paint(Shape{{x(t0), at(t0)}, {x(t1), at(t1)}, {x((t0 + t1) / 2), at((t0 + t1) / 2) + s(0.1f)}},
                confettiColours[i % 6]);
    }
    c.paint(curveBand({0, y(top)}, {x(0.5f), y(top) + y(sag) * 2}, {x(1), y(top)}, s(0.008f)), 0x6A4A3A);
}

void PhotoScene::balloon(float cx, float cy, float r, Rgb colour) {
    c.paint(curveBand({x(cx), y(cy) + s(r)}, {x(cx) - s(r * 0.5f), y(cy) + s(r * 2)},
                      {x(cx), y(cy) + s(r * 3.4f)}, s(0.006f)),
            0x8A8A9A);
    c.paintGradient(ellipse(x(cx), y(cy), s(r * 0.85f), s(r)), lighter(colour, 0.35f), darker(colour, 0.1f),
                    y(cy) - s(r), y(cy) + s(r));
    c.paint(ellipse(x(cx) - s(r * 0.3f), y(cy) - s(r * 0.35f), s(r * 0.2f), s(r * 0.3f)), white, 150);
}

void PhotoScene::snowfall(int count, float bottom) {
    for (int i = 0; i < count; ++i) {
        c.paint(circle(x(dice.between(0, 1)), y(dice.between(0, bottom)), s(dice.between(0.008f, 0.018f))),
                white, 220);
    }
}

void PhotoScene::building(float left, float width, float top, Rgb colour, Rgb windows, float lit) {
    c.paint(roundedRect(x(left), y(top), x(width), y(1 - top) + 1, 0), colour);
    c.paint(roundedRect(x(left), y(top), x(width) * 0.15f, y(1 - top) + 1, 0), darker(colour, 0.12f));
    for (float wy = y(top) + s(0.03f); wy < y(0.9f); wy += s(0.07f)) {
        for (float wx = x(left) + s(0.03f); wx < x(left + width) - s(0.04f); wx += s(0.06f)) {
            if (dice.between(0, 1) < lit) {
                c.paint(roundedRect(wx, wy, s(0.03f), s(0.04f), 1), windows);
            }
        }
    }
}

void PhotoScene::curtains(Rgb colour) {
    for (const float side : {0.0f, 1.0f}) {
        for (int fold = 0; fold < 4; ++fold) {
            const float f = static_cast<float>(fold) * 0.05f;
            const float px = side == 0 ? x(f) : x(1 - f - 0.06f);
            c.paintGradient(roundedRect(px, -2, x(0.07f), y(1) + 4, x(0.03f)),
                            lighter(colour, fold % 2 == 0 ? 0.15f : 0), darker(colour, 0.3f), 0, y(1));
        }
    }
    c.paint(roundedRect(-2, -2, x(1) + 4, y(0.09f), 0), darker(colour, 0.15f));
    for (float px = 0; px < x(1); px += s(0.1f)) {
        c.paint(circle(px + s(0.05f), y(0.09f), s(0.05f)), darker(colour, 0.15f));
    }
}

void PhotoScene::beams(float cx, float cy, const Rgb* colours, int count, int alpha) {
    for (int i = 0; i < count; ++i) {
        const float a = pi * (0.25f + 0.5f * (static_cast<float>(i) + 0.5f) / static_cast<float>(count));
        const float reach = s(1.4f);
        c.paintSoft(Shape{{x(cx), y(cy)},
                          {x(cx) + std::cos(a - 0.08f) * reach, y(cy) + std::sin(a - 0.08f) * reach},
                          {x(cx) + std::cos(a + 0.08f) * reach, y(cy) + std::sin(a + 0.08f) * reach}},
                    colours[i % count], alpha, blur(0.02f));
    }
}

void PhotoScene::rays(float cx, float cy, Rgb colour, int alpha) {
    for (int i = 0; i < 12; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 12;
        const float reach = s(1.2f);
        c.paint(Shape{{x(cx), y(cy)},
                      {x(cx) + std::cos(a - 0.1f) * reach, y(cy) + std::sin(a - 0.1f) * reach},
                      {x(cx) + std::cos(a + 0.1f) * reach, y(cy) + std::sin(a + 0.1f) * reach}},
                colour, alpha);
    }
}

void PhotoScene::checks(float top, float bottom, Rgb a, Rgb b, float size) {
    const float cell = s(size);
    int row = 0;
    for (float py = y(top); py < y(bottom); py += cell, ++row) {
        int column = 0;
        for (float px = 0; px < x(1); px += cell, ++column) {
            c.paint(roundedRect(px, py, cell + 0.5f, std::min(cell, y(bottom) - py) + 0.5f, 0),
                    (row + column) % 2 == 0 ? a : b);
        }
    }
}

void PhotoScene::leaves(int count, float bottom, const Rgb* colours, int colourCount) {
    for (int i = 0; i < count; ++i) {
        const float px = x(dice.between(0, 1));
        const float py = y(dice.between(0, bottom));
        const float a = dice.between(0, 2 * pi);
        const float l = s(dice.between(0.025f, 0.04f));
        c.paint(leaf(px, py, px + std::cos(a) * l, py + std::sin(a) * l, l * 0.55f),
                colours[dice.next() % static_cast<std::uint32_t>(colourCount)]);
    }
}

} // namespace mkmedia
