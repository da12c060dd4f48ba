#include "tools/mkmedia/CollageStickers.h"

#include "tools/mkmedia/PolaroidScenes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb shade = 0x4A3560;
constexpr Rgb bright[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838, 0x2FC2A0};

// The layer laid onto the canvas with its middle at the spot, turned by the spot's angle.
void stampAt(Canvas& canvas, const Canvas& layer, const Spot& at) {
    const Canvas placed = std::abs(at.angle) > 0.001f ? turnedCopy(layer, at.angle) : layer;
    canvas.stamp(placed.image(), static_cast<int>(std::lround(at.x - static_cast<float>(placed.width()) / 2)),
                 static_cast<int>(std::lround(at.y - static_cast<float>(placed.height()) / 2)));
}

// A shape given about (0, 0) moved to the spot and turned with it.
Shape placed(const Shape& local, const Spot& at) {
    return turned(moved(local, at.x, at.y), at.x, at.y, at.angle);
}

int side(float size) {
    return std::max(8, static_cast<int>(std::ceil(size)));
}

void drawPatternOn(Canvas& layer, const Spot& at, float w, float h, Rgb colour, PaperPattern pattern) {
    const Rgb ink = channel(colour, 16) + channel(colour, 8) + channel(colour, 0) > 600
                        ? darker(colour, 0.12f)
                        : lighter(colour, 0.35f);
    const float reach = std::max(w, h);
    const float step = std::max(6.0f, reach / 9);
    switch (pattern) {
    case PaperPattern::Plain:
        break;
    case PaperPattern::Dots:
        for (float y = -reach; y < reach; y += step) {
            for (float x = -reach; x < reach; x += step) {
                const float offset = std::fmod(std::abs(y / step), 2.0f) < 1 ? 0 : step / 2;
                layer.over(placed(circle(x + offset, y, step * 0.16f), at), ink);
            }
        }
        break;
    case PaperPattern::Stripes:
        for (float x = -reach * 1.5f; x < reach * 1.5f; x += step) {
            layer.over(
                placed(turned(roundedRect(x, -reach * 1.5f, step * 0.4f, reach * 3, 0), x, 0, 0.5f), at),
                ink);
        }
        break;
    case PaperPattern::Grid:
        for (float v = -reach; v < reach; v += step * 0.7f) {
            layer.over(placed(roundedRect(v, -reach, 1, reach * 2, 0), at), ink, 200);
            layer.over(placed(roundedRect(-reach, v, reach * 2, 1, 0), at), ink, 200);
        }
        break;
    case PaperPattern::Gingham:
        for (float v = -reach; v < reach; v += step) {
            layer.over(placed(roundedRect(v, -reach, step / 2, reach * 2, 0), at), ink, 110);
            layer.over(placed(roundedRect(-reach, v, reach * 2, step / 2, 0), at), ink, 110);
        }
        break;
    case PaperPattern::Hearts:
        for (float y = -reach; y < reach; y += step * 1.3f) {
            for (float x = -reach; x < reach; x += step * 1.3f) {
                const float offset = std::fmod(std::abs(y / (step * 1.3f)), 2.0f) < 1 ? 0 : step * 0.65f;
                layer.over(placed(heart(x + offset, y, step * 0.5f), at), ink);
            }
        }
        break;
    }
}

// Outlined shapes on a layer of their own: the shape in ink with a smaller copy cut out of it.
void outline(Canvas& canvas, const Shape& shape, const Shape& inner, Rgb ink, int alpha = 230) {
    Canvas layer(canvas.width(), canvas.height());
    layer.over(shape, ink, alpha);
    layer.erase(inner);
    canvas.stamp(layer.image(), 0, 0);
}

void partyHat(Canvas& canvas, const PibblePose& pose, Rgb colour) {
    const PibbleBody body = bodyOf(pose);
    const float r = body.radius();
    const float bx = body.cx + r * 0.2f;
    const float by = body.cy - body.ry * 0.82f;
    const Shape cone =
        turned(Shape{{bx - r * 0.38f, by}, {bx + r * 0.38f, by}, {bx, by - r * 1.05f}}, bx, by, 0.25f);
    canvas.over(scaled(cone, bx, by - r * 0.4f, 1.15f, 1.08f), darker(colour, 0.4f));
    canvas.overGradient(cone, lighter(colour, 0.35f), colour, by - r, by);
    Canvas stripes(canvas.width(), canvas.height());
    for (int i = 0; i < 3; ++i) {
        const float y = by - r * (0.22f + 0.3f * static_cast<float>(i));
        stripes.over(stroke(bx - r, y + r * 0.12f, bx + r, y - r * 0.12f, r * 0.1f), white, 220);
    }
    stripes.clipTo(cone);
    canvas.stamp(stripes.image(), 0, 0);
    const graphics::PointF tip = turned(Shape{{bx, by - r * 1.05f}}, bx, by, 0.25f).front();
    canvas.over(fluffyCircle(tip.getX(), tip.getY(), r * 0.17f, r * 0.17f, 8, 0.2f, 0), gold);
}

void drawStickerShape(Canvas& layer, float cx, float cy, float size, StickerShape shape, Rgb colour) {
    const float r = size / 2;
    switch (shape) {
    case StickerShape::Star:
        layer.over(star(cx, cy, r, r * 0.48f, 5), darker(colour, 0.3f));
        layer.overGradient(star(cx, cy + r * 0.04f, r * 0.84f, r * 0.4f, 5), lighter(colour, 0.4f), colour,
                           cy - r, cy + r);
        layer.over(circle(cx - r * 0.2f, cy - r * 0.15f, r * 0.12f), white, 200);
        break;
    case StickerShape::Heart:
        layer.over(heart(cx, cy, size), darker(colour, 0.3f));
        layer.overGradient(heart(cx, cy - r * 0.02f, size * 0.86f), lighter(colour, 0.35f), colour, cy - r,
                           cy + r);
        layer.over(ellipse(cx - r * 0.35f, cy - r * 0.3f, r * 0.16f, r * 0.1f), white, 200);
        break;
    case StickerShape::Flower:
        for (int i = 0; i < 6; ++i) {
            const float a = 2 * pi * static_cast<float>(i) / 6;
            layer.over(circle(cx + std::cos(a) * r * 0.55f, cy + std::sin(a) * r * 0.55f, r * 0.42f), colour);
        }
        layer.over(circle(cx, cy, r * 0.34f), 0xFFD23F);
        layer.over(circle(cx - r * 0.08f, cy - r * 0.08f, r * 0.12f), white, 180);
        break;
    case StickerShape::Sun:
        for (int i = 0; i < 10; ++i) {
            const float a = 2 * pi * static_cast<float>(i) / 10;
            layer.over(Shape{{cx + std::cos(a - 0.18f) * r * 0.6f, cy + std::sin(a - 0.18f) * r * 0.6f},
                             {cx + std::cos(a) * r, cy + std::sin(a) * r},
                             {cx + std::cos(a + 0.18f) * r * 0.6f, cy + std::sin(a + 0.18f) * r * 0.6f}},
                       0xFFB833);
        }
        layer.overGradient(circle(cx, cy, r * 0.62f), 0xFFEA80, 0xFFC93C, cy - r, cy + r);
        layer.over(circle(cx - r * 0.2f, cy - r * 0.08f, r * 0.07f), ink);
        layer.over(circle(cx + r * 0.2f, cy - r * 0.08f, r * 0.07f), ink);
        layer.over(arcBand(cx, cy + r * 0.05f, r * 0.22f, r * 0.07f, 0.15f * pi, 0.85f * pi), ink);
        break;
    case StickerShape::Cloud:
        for (const auto& puff : {std::pair{-0.45f, 0.1f}, std::pair{0.0f, -0.15f}, std::pair{0.45f, 0.08f}}) {
            layer.over(circle(cx + puff.first * r, cy + puff.second * r, r * 0.45f), 0xEAF4FF);
        }
        layer.over(roundedRect(cx - r * 0.85f, cy, r * 1.7f, r * 0.48f, r * 0.24f), 0xEAF4FF);
        layer.over(circle(cx - r * 0.18f, cy + r * 0.08f, r * 0.06f), ink);
        layer.over(circle(cx + r * 0.18f, cy + r * 0.08f, r * 0.06f), ink);
        layer.over(ellipse(cx - r * 0.38f, cy + r * 0.2f, r * 0.1f, r * 0.06f), 0xFF8FB8, 180);
        layer.over(ellipse(cx + r * 0.38f, cy + r * 0.2f, r * 0.1f, r * 0.06f), 0xFF8FB8, 180);
        break;
    case StickerShape::Rainbow:
        for (int i = 0; i < 5; ++i) {
            layer.over(arcBand(cx, cy + r * 0.35f, r * (0.85f - 0.13f * static_cast<float>(i)), r * 0.14f, pi,
                               2 * pi),
                       bright[(i * 3) % 7]);
        }
        for (const float end : {-0.7f, 0.7f}) {
            layer.over(circle(cx + end * r - r * 0.12f, cy + r * 0.38f, r * 0.2f), white);
            layer.over(circle(cx + end * r + r * 0.12f, cy + r * 0.38f, r * 0.18f), white);
        }
        break;
    case StickerShape::Balloon:
        layer.over(curveBand({cx, cy + r * 0.55f}, {cx + r * 0.3f, cy + r * 0.8f}, {cx - r * 0.1f, cy + r},
                             r * 0.05f),
                   0x8A8A9A);
        layer.overGradient(ellipse(cx, cy - r * 0.12f, r * 0.55f, r * 0.68f), lighter(colour, 0.35f), colour,
                           cy - r, cy + r * 0.6f);
        layer.over(
            Shape{{cx - r * 0.08f, cy + r * 0.62f}, {cx + r * 0.08f, cy + r * 0.62f}, {cx, cy + r * 0.5f}},
            colour);
        layer.over(ellipse(cx - r * 0.2f, cy - r * 0.35f, r * 0.1f, r * 0.18f), white, 170);
        break;
    case StickerShape::Music:
        layer.over(turned(ellipse(cx - r * 0.3f, cy + r * 0.5f, r * 0.3f, r * 0.22f), cx - r * 0.3f,
                          cy + r * 0.5f, -0.4f),
                   colour);
        layer.over(stroke(cx - r * 0.04f, cy + r * 0.45f, cx - r * 0.04f, cy - r * 0.75f, r * 0.12f), colour);
        layer.over(curveBand({cx - r * 0.04f, cy - r * 0.75f}, {cx + r * 0.5f, cy - r * 0.5f},
                             {cx + r * 0.35f, cy - r * 0.05f}, r * 0.14f),
                   colour);
        break;
    case StickerShape::Leaf:
        layer.overGradient(leaf(cx - r * 0.75f, cy + r * 0.55f, cx + r * 0.75f, cy - r * 0.55f, r * 0.9f),
                           lighter(colour, 0.3f), colour, cy - r, cy + r);
        layer.over(stroke(cx - r * 0.7f, cy + r * 0.5f, cx + r * 0.55f, cy - r * 0.4f, r * 0.06f),
                   darker(colour, 0.3f));
        break;
    case StickerShape::Moon:
        layer.over(circle(cx - r * 0.05f, cy, r * 0.75f), 0xFFE27A);
        layer.erase(circle(cx + r * 0.3f, cy - r * 0.2f, r * 0.62f));
        layer.over(star(cx + r * 0.45f, cy + r * 0.35f, r * 0.25f, r * 0.1f, 5), 0xFFE27A);
        break;
    }
}

} // namespace

void paperScrap(Canvas& canvas, const Spot& at, float w, float h, Rgb colour, PaperPattern pattern) {
    const Shape sheet = placed(roundedRect(-w / 2, -h / 2, w, h, 1.5f), at);
    canvas.over(moved(sheet, 1.5f, 2.5f), shade, 70, 3);
    canvas.over(sheet, colour);
    Canvas layer(canvas.width(), canvas.height());
    drawPatternOn(layer, at, w, h, colour, pattern);
    layer.clipTo(sheet);
    canvas.stamp(layer.image(), 0, 0);
}

void washiTape(Canvas& canvas, const Spot& at, float length, float width, Rgb colour) {
    Shape strip;
    constexpr int teeth = 5;
    for (int i = 0; i <= teeth; ++i) {
        strip.emplace_back(length / 2 + (i % 2 == 0 ? 0.0f : 1.6f),
                           -width / 2 + width * static_cast<float>(i) / teeth);
    }
    for (int i = 0; i <= teeth; ++i) {
        strip.emplace_back(-length / 2 - (i % 2 == 0 ? 0.0f : 1.6f),
                           width / 2 - width * static_cast<float>(i) / teeth);
    }
    const Shape tape = placed(strip, at);
    canvas.over(moved(tape, 0.5f, 1), shade, 30, 1);
    canvas.over(tape, colour, 190);
    Canvas stripes(canvas.width(), canvas.height());
    for (float x = -length / 2; x < length / 2 + width; x += width * 0.7f) {
        stripes.over(placed(stroke(x, -width, x - width, width, width * 0.18f), at), white, 120);
    }
    stripes.clipTo(tape);
    canvas.stamp(stripes.image(), 0, 0);
}

void miniPhoto(Canvas& canvas, const Spot& at, float width, int backdrop, int colour) {
    Canvas card(side(width), side(width * 1.13f));
    const Rect place =
        drawPolaroidCard(card, {0, 0, static_cast<float>(card.width()), static_cast<float>(card.height())});
    Canvas photo(static_cast<int>(std::lround(place.w)), static_cast<int>(std::lround(place.h)));
    drawPolaroidScene(photo, backdrop);
    PibblePose pose;
    pose.radius = place.w * 0.22f;
    pose.cx = place.w * 0.5f;
    pose.ground = place.h * groundOf(backdrop);
    drawColourFigure(photo, colour, pose);
    finishPhoto(photo);
    card.stamp(photo.image(), static_cast<int>(std::lround(place.x)), static_cast<int>(std::lround(place.y)));
    stampAt(canvas, card, at);
}

void pibbleCutOut(Canvas& canvas, const Spot& at, float radius, int colour, Mood mood, bool hat) {
    Canvas layer(side(radius * 5), side(radius * 5));
    PibblePose pose;
    pose.radius = radius;
    pose.cx = static_cast<float>(layer.width()) / 2;
    pose.ground = static_cast<float>(layer.height()) / 2 + radius * 1.05f;
    pose.mood = mood;
    pose.lookX = 0.2f;
    drawColourFigure(layer, colour, pose, false);
    if (hat) {
        partyHat(layer, pose, bright[static_cast<std::size_t>(colour) % std::size(bright)]);
    }
    addBorder(layer, white, std::max(2, static_cast<int>(radius * 0.12f)), 90);
    stampAt(canvas, layer, at);
}

void collectableCutOut(Canvas& canvas, const Spot& at, float radius, int number) {
    const Collectable* design = collectable(number);
    if (design == nullptr) {
        return;
    }
    Canvas layer(side(radius * 5), side(radius * 5));
    PibblePose pose;
    pose.radius = radius;
    pose.cx = static_cast<float>(layer.width()) / 2;
    pose.ground = static_cast<float>(layer.height()) / 2 + radius * 1.05f;
    pose.lookX = -0.2f;
    drawCollectableFigure(layer, *design, pose, false);
    addBorder(layer, white, std::max(2, static_cast<int>(radius * 0.12f)), 90);
    stampAt(canvas, layer, at);
}

void sticker(Canvas& canvas, const Spot& at, float size, StickerShape shape, Rgb colour) {
    Canvas layer(side(size * 1.5f), side(size * 1.5f));
    drawStickerShape(layer, static_cast<float>(layer.width()) / 2, static_cast<float>(layer.height()) / 2,
                     size, shape, colour);
    addBorder(layer, white, std::max(2, static_cast<int>(size * 0.09f)), 80);
    stampAt(canvas, layer, at);
}

void doodle(Canvas& canvas, const Spot& at, float size, Doodle kind, Rgb ink) {
    const float pen = std::max(1.2f, size * 0.045f);
    Canvas layer(canvas.width(), canvas.height());
    const auto line = [&](float x1, float y1, float x2, float y2) {
        layer.over(placed(stroke(x1, y1, x2, y2, pen), at), ink);
    };
    switch (kind) {
    case Doodle::Spiral: {
        float px = 0;
        float py = 0;
        for (int i = 1; i < 60; ++i) {
            const float a = static_cast<float>(i) * 0.32f;
            const float r = size * 0.5f * static_cast<float>(i) / 60;
            const float x = std::cos(a) * r;
            const float y = std::sin(a) * r;
            line(px, py, x, y);
            px = x;
            py = y;
        }
        break;
    }
    case Doodle::Arrow: {
        const graphics::PointF from(-size / 2, size * 0.2f);
        const graphics::PointF to(size / 2, -size * 0.1f);
        layer.over(placed(curveBand(from, {0, -size * 0.45f}, to, pen), at), ink);
        line(to.getX(), to.getY(), to.getX() - size * 0.2f, to.getY() - size * 0.08f);
        line(to.getX(), to.getY(), to.getX() - size * 0.1f, to.getY() + size * 0.17f);
        break;
    }
    case Doodle::Loops:
    case Doodle::Underline: {
        const bool loops = kind == Doodle::Loops;
        float px = -size / 2;
        float py = 0;
        for (int i = 1; i <= 60; ++i) {
            const float t = static_cast<float>(i) / 60;
            const float a = t * 2 * pi * (loops ? 5 : 3);
            const float x = -size / 2 + size * t + (loops ? -std::sin(a) * size * 0.06f : 0);
            const float y = (loops ? std::cos(a) : std::sin(a)) * size * (loops ? 0.1f : 0.05f);
            line(px, py, x, y);
            px = x;
            py = y;
        }
        break;
    }
    case Doodle::Hearts:
        for (int i = 0; i < 3; ++i) {
            const float x = -size * 0.35f + size * 0.35f * static_cast<float>(i);
            const float y = (i == 1 ? -size * 0.1f : size * 0.05f);
            const float s = size * (i == 1 ? 0.34f : 0.24f);
            outline(layer, placed(heart(x, y, s), at), placed(heart(x, y - s * 0.02f, s - pen * 2.6f), at),
                    ink, 255);
        }
        break;
    case Doodle::Stars:
        for (int i = 0; i < 3; ++i) {
            const float x = -size * 0.35f + size * 0.35f * static_cast<float>(i);
            const float y = (i == 1 ? size * 0.12f : -size * 0.08f);
            const float r = size * (i == 1 ? 0.2f : 0.14f);
            // Too small a star to outline is filled.
            const Shape inner = r * 0.45f - pen > r * 0.22f
                                    ? placed(star(x, y, r - pen * 1.8f, r * 0.45f - pen, 5), at)
                                    : Shape{};
            outline(layer, placed(star(x, y, r, r * 0.45f, 5), at), inner, ink, 255);
        }
        layer.over(placed(circle(size * 0.5f, size * 0.25f, pen), at), ink);
        layer.over(placed(circle(-size * 0.5f, size * 0.2f, pen), at), ink);
        break;
    case Doodle::Swirl:
        layer.over(placed(arcBand(0, 0, size * 0.3f, pen, 0.2f * pi, 1.9f * pi), at), ink);
        layer.over(placed(arcBand(size * 0.12f, -size * 0.05f, size * 0.15f, pen, 1.0f * pi, 2.6f * pi), at),
                   ink);
        layer.over(placed(curveBand({size * 0.28f, size * 0.1f}, {size * 0.5f, size * 0.35f},
                                    {size * 0.2f, size * 0.45f}, pen),
                          at),
                   ink);
        break;
    }
    canvas.stamp(layer.image(), 0, 0);
}

void scribble(Canvas& canvas, const Spot& at, float width, int lines, Dice& dice, Rgb ink) {
    // Drawn whole on a layer of its own, so that where the pen crosses its own line it does not darken.
    Canvas layer(canvas.width(), canvas.height());
    const float gap = 9;
    for (int line = 0; line < lines; ++line) {
        const float y = (static_cast<float>(line) - static_cast<float>(lines - 1) / 2) * gap;
        const float end = line == lines - 1 ? width * dice.between(0.4f, 0.75f) : width;
        float x = -width / 2;
        while (x < -width / 2 + end) {
            const float word = dice.between(9, 22);
            const float phase = dice.between(0, 2 * pi);
            // Joined-up letters: small loops running along the line, now and then a taller stroke.
            float px = x;
            float py = y;
            for (float t = 0.6f; t < word; t += 0.6f) {
                const float a = t * 1.8f + phase;
                const float tall = std::max(0.0f, std::sin(t * 0.5f + phase) - 0.8f) * 12;
                const float wx = x + t - std::sin(a) * 0.9f;
                const float wy = y - (std::cos(a) * 0.5f + 0.5f) * (1.8f + tall);
                layer.over(placed(stroke(px, py, wx, wy, 0.9f), at), ink);
                px = wx;
                py = wy;
            }
            x += word + dice.between(4, 7);
        }
    }
    canvas.stamp(layer.image(), 0, 0);
}

void confetti(Canvas& canvas, const Rect& area, int count, Dice& dice) {
    for (int i = 0; i < count; ++i) {
        const float x = area.x + dice.between(0, area.w);
        const float y = area.y + dice.between(0, area.h);
        const float size = dice.between(1.6f, 3.2f);
        const Rgb colour = bright[static_cast<std::size_t>(i) % std::size(bright)];
        if (i % 3 == 0) {
            canvas.over(circle(x, y, size * 0.8f), colour);
        } else {
            canvas.over(turned(roundedRect(x - size, y - size * 0.45f, size * 2, size * 0.9f, 0.5f), x, y,
                               dice.between(0, pi)),
                        colour);
        }
    }
}

void trophy(Canvas& canvas, const Spot& at, float size, Rgb metal, Rgb emblem) {
    Canvas layer(side(size * 1.4f), side(size * 1.4f));
    const float cx = static_cast<float>(layer.width()) / 2;
    const float top = static_cast<float>(layer.height()) / 2 - size * 0.5f;
    const float r = size / 2;
    const Rgb rim = darker(metal, 0.35f);
    for (const float way : {-1.0f, 1.0f}) {
        layer.over(arcBand(cx + way * r * 0.62f, top + r * 0.42f, r * 0.24f, r * 0.1f,
                           way > 0 ? -0.5f * pi : 0.5f * pi, way > 0 ? 0.5f * pi : 1.5f * pi),
                   rim);
    }
    Shape bowl;
    bowl.emplace_back(cx - r * 0.7f, top);
    bowl.emplace_back(cx + r * 0.7f, top);
    for (int i = 0; i <= 12; ++i) {
        const float a = pi * static_cast<float>(i) / 12;
        bowl.emplace_back(cx + std::cos(a) * r * 0.7f, top + r * 0.3f + std::sin(a) * r * 0.62f);
    }
    layer.over(scaled(bowl, cx, top + r * 0.5f, 1.08f, 1.06f), rim);
    layer.overGradient(bowl, lighter(metal, 0.4f), darker(metal, 0.1f), top, top + r);
    layer.over(roundedRect(cx - r * 0.1f, top + r * 0.85f, r * 0.2f, r * 0.38f, 0), darker(metal, 0.1f));
    layer.over(roundedRect(cx - r * 0.35f, top + r * 1.18f, r * 0.7f, r * 0.14f, r * 0.05f), metal);
    layer.overGradient(roundedRect(cx - r * 0.55f, top + r * 1.3f, r * 1.1f, r * 0.42f, r * 0.06f), 0x8A5A3A,
                       0x5E3A24, top + r * 1.3f, top + r * 1.72f);
    layer.over(roundedRect(cx - r * 0.3f, top + r * 1.4f, r * 0.6f, r * 0.2f, r * 0.03f),
               lighter(metal, 0.3f));
    layer.over(star(cx, top + r * 0.42f, r * 0.3f, r * 0.13f, 5), emblem);
    layer.over(roundedRect(cx - r * 0.5f, top + r * 0.08f, r * 0.12f, r * 0.6f, r * 0.06f), white, 140);
    stampAt(canvas, layer, at);
}

void rosette(Canvas& canvas, const Spot& at, float size, Rgb colour) {
    Canvas layer(side(size * 1.3f), side(size * 1.5f));
    const float cx = static_cast<float>(layer.width()) / 2;
    const float cy = static_cast<float>(layer.height()) / 2 - size * 0.2f;
    const float r = size / 2;
    for (const float way : {-1.0f, 1.0f}) {
        const Shape tail = {{cx + way * r * 0.1f, cy},
                            {cx + way * r * 0.55f, cy + r * 1.3f},
                            {cx + way * r * 0.35f, cy + r * 1.15f},
                            {cx + way * r * 0.2f, cy + r * 1.35f},
                            {cx - way * r * 0.15f, cy + r * 0.2f}};
        layer.over(tail, darker(colour, way > 0 ? 0.1f : 0.2f));
    }
    constexpr int petals = 16;
    for (int i = 0; i < petals; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / petals;
        layer.over(circle(cx + std::cos(a) * r * 0.72f, cy + std::sin(a) * r * 0.72f, r * 0.26f),
                   i % 2 == 0 ? colour : lighter(colour, 0.25f));
    }
    layer.over(circle(cx, cy, r * 0.62f), darker(colour, 0.25f));
    layer.overGradient(circle(cx, cy, r * 0.54f), 0xFFFFFF, 0xF2ECE0, cy - r, cy + r);
    layer.over(star(cx, cy, r * 0.38f, r * 0.17f, 5), gold);
    layer.over(star(cx, cy, r * 0.3f, r * 0.13f, 5), lighter(gold, 0.3f));
    stampAt(canvas, layer, at);
}

void laurel(Canvas& canvas, float cx, float cy, float size, Rgb leaves) {
    const float r = size / 2;
    const float length = r * 0.3f;
    for (const float way : {1.0f, -1.0f}) {
        // Each branch climbs from the bottom round one side; its leaves point up along it, in and out by
        // turns.
        for (int i = 0; i < 8; ++i) {
            const float t = static_cast<float>(i) / 8;
            const float a = pi * (0.5f + way * (0.1f + 0.72f * t));
            const float x = cx + std::cos(a) * r;
            const float y = cy + std::sin(a) * r;
            const float tx = -std::sin(a) * way;
            const float ty = std::cos(a) * way;
            const float out = i % 2 == 0 ? 0.5f : -0.5f;
            canvas.over(leaf(x, y, x + (tx + std::cos(a) * out) * length,
                             y + (ty + std::sin(a) * out) * length, length * 0.5f),
                        i % 2 == 0 ? leaves : lighter(leaves, 0.2f));
        }
    }
}

void barChart(Canvas& canvas, const Spot& at, float w, float h, Dice& dice) {
    Canvas card(side(w), side(h));
    card.over(roundedRect(0, 0, w, h, 4), 0xFFFFFF);
    for (float y = h * 0.25f; y < h * 0.86f; y += h * 0.12f) {
        card.over(roundedRect(w * 0.12f, y, w * 0.8f, 1, 0), 0xD8E4F0);
    }
    card.over(stroke(w * 0.12f, h * 0.14f, w * 0.12f, h * 0.86f, 1.5f), penInk);
    card.over(stroke(w * 0.12f, h * 0.86f, w * 0.92f, h * 0.86f, 1.5f), penInk);
    constexpr int bars = 5;
    const float slot = w * 0.78f / bars;
    for (int i = 0; i < bars; ++i) {
        const float bh = h * dice.between(0.25f, 0.66f);
        const float x = w * 0.15f + slot * static_cast<float>(i) + slot * 0.15f;
        const Rgb colour = lookOfColour(i + 1).body;
        card.overGradient(roundedRect(x, h * 0.86f - bh, slot * 0.7f, bh, 2), lighter(colour, 0.25f),
                          darker(colour, 0.1f), h * 0.86f - bh, h * 0.86f);
        card.over(circle(x + slot * 0.35f, h * 0.86f - bh - slot * 0.2f, slot * 0.22f), colour);
        card.over(circle(x + slot * 0.28f, h * 0.86f - bh - slot * 0.22f, slot * 0.05f + 0.4f), ink);
        card.over(circle(x + slot * 0.42f, h * 0.86f - bh - slot * 0.22f, slot * 0.05f + 0.4f), ink);
    }
    addBorder(card, 0xE6DED2, 1, 80);
    stampAt(canvas, card, at);
}

void pieChart(Canvas& canvas, const Spot& at, float radius) {
    Canvas layer(side(radius * 2.6f), side(radius * 2.6f));
    const float cx = static_cast<float>(layer.width()) / 2;
    const float cy = static_cast<float>(layer.height()) / 2;
    constexpr float shares[] = {0.3f, 0.22f, 0.18f, 0.16f, 0.14f};
    float start = -pi / 2;
    for (int i = 0; i < 5; ++i) {
        const float end = start + 2 * pi * shares[i];
        Shape wedge = {{cx, cy}};
        for (int k = 0; k <= 16; ++k) {
            const float a = start + (end - start) * static_cast<float>(k) / 16;
            wedge.emplace_back(cx + std::cos(a) * radius, cy + std::sin(a) * radius);
        }
        const Rgb colour = lookOfColour(i + 2).body;
        layer.over(i == 0 ? moved(wedge, std::cos((start + end) / 2) * radius * 0.1f,
                                  std::sin((start + end) / 2) * radius * 0.1f)
                          : wedge,
                   colour);
        start = end;
    }
    layer.over(circle(cx - radius * 0.3f, cy - radius * 0.35f, radius * 0.2f), white, 90, 2);
    addBorder(layer, white, std::max(2, static_cast<int>(radius * 0.1f)), 80);
    stampAt(canvas, layer, at);
}

void firework(Canvas& canvas, float cx, float cy, float radius, Rgb colour, Dice& dice) {
    canvas.over(circle(cx, cy, radius * 0.7f), colour, 40, std::max(2, static_cast<int>(radius * 0.2f)));
    constexpr int rays = 16;
    for (int i = 0; i < rays; ++i) {
        const float a = 2 * pi * (static_cast<float>(i) + dice.between(-0.2f, 0.2f)) / rays;
        const float r0 = radius * 0.25f;
        const float r1 = radius * dice.between(0.75f, 1.0f);
        canvas.over(stroke(cx + std::cos(a) * r0, cy + std::sin(a) * r0, cx + std::cos(a) * r1,
                           cy + std::sin(a) * r1, std::max(1.2f, radius * 0.06f)),
                    lighter(colour, 0.2f), 230);
        canvas.over(circle(cx + std::cos(a) * (r1 + radius * 0.1f), cy + std::sin(a) * (r1 + radius * 0.1f),
                           std::max(1.0f, radius * 0.05f)),
                    lighter(colour, 0.6f));
    }
    canvas.over(circle(cx, cy, std::max(1.5f, radius * 0.08f)), white);
}

} // namespace mkmedia
