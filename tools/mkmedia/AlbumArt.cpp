#include "tools/mkmedia/AlbumArt.h"

#include "tools/mkmedia/Compose.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {

namespace {

constexpr Rgb cardShadow = 0x4A3560;

std::uint32_t& pixelAt(Canvas& canvas, int x, int y) {
    return canvas.image().pixels32()[canvas.image().pixelIndex(x, y)];
}

// The picture's pixel as a premultiplied colour; outside it, nothing.
Layered sample(const Canvas& picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) {
        return {};
    }
    return layeredOf(picture.pixel(x, y));
}

Layered blend(const Layered& a, const Layered& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

} // namespace

Rgb pageColour(float fromSpine, float width) {
    const float d = std::max(0.0f, fromSpine);
    const float spine = 0.34f * std::exp(-d / 6) + 0.14f * std::exp(-d / 30);
    const float edge = 0.1f * std::exp(-std::max(0.0f, width - d) / 5);
    return mix(paper, paperShade, spine + edge);
}

Rect drawPolaroidCard(Canvas& canvas, const Rect& card) {
    // Whole pixels, so the photo's edges are crisp.
    const float margin = std::max(2.0f, std::round(card.w * 0.02f));
    const Rect body{card.x + margin, card.y + std::round(margin * 0.7f), card.w - 2 * margin,
                    card.h - std::round(margin * 2.4f)};
    const Shape outline = roundedRect(body.x, body.y, body.w, body.h, margin * 0.6f);
    canvas.over(moved(outline, 0, margin * 0.6f), cardShadow, 110, static_cast<int>(margin));
    canvas.over(outline, 0xE2DCD4);
    canvas.overGradient(
        roundedRect(body.x + 0.6f, body.y + 0.6f, body.w - 1.2f, body.h - 1.2f, margin * 0.5f), 0xFFFFFF,
        0xF3EFE8, body.y, body.y + body.h);
    const float inset = std::round(body.w * 0.075f);
    const float side = body.w - 2 * inset;
    const Rect photo{body.x + inset, body.y + inset, side, side};
    // The photo sits a little into the card.
    canvas.over(roundedRect(photo.x - 1, photo.y - 1, photo.w + 2, photo.h + 2, 1), 0xCFC7BC);
    return photo;
}

void finishPhoto(Canvas& photo) {
    const float w = static_cast<float>(photo.width());
    const float h = static_cast<float>(photo.height());
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            const float dx = (static_cast<float>(x) + 0.5f) / w * 2 - 1;
            const float dy = (static_cast<float>(y) + 0.5f) / h * 2 - 1;
            const float dark = std::clamp((dx * dx + dy * dy - 0.55f) * 0.16f, 0.0f, 0.2f);
            std::uint32_t& pixel = pixelAt(photo, x, y);
            pixel = (pixel & 0xFF000000u) | darker(pixel & 0xFFFFFFu, dark);
        }
    }
    // A band of gloss across the upper left, as light on the print.
    const Shape band = turned(roundedRect(-w * 0.3f, h * 0.12f, w * 1.6f, h * 0.16f, 0), w / 2, h / 2, -0.6f);
    photo.over(band, 0xFFFFFF, 38, std::max(2, photo.width() / 24));
    photo.revealAll(255);
}

namespace {

void drawFigure(Canvas& canvas, const PibblePose& pose, bool grounded) {
    if (grounded) {
        drawPibblePart(canvas, pose, PibblePart::Shadow);
    }
    for (const PibblePart part : {PibblePart::Ears, PibblePart::Feet, PibblePart::Body, PibblePart::Face}) {
        drawPibblePart(canvas, pose, part);
    }
}

} // namespace

void drawCollectableFigure(Canvas& canvas, const Collectable& design, PibblePose pose, bool grounded) {
    pose.look = &lookOfColour(design.colour);
    pose.body = pose.look->body;
    if (design.pattern != Pattern::Plain) {
        const PibblePose plain = pose;
        pose.pattern = [&design, plain](Canvas& layer) { drawPattern(layer, design, plain); };
    }
    drawFigure(canvas, pose, grounded);
    drawAccessory(canvas, design, pose);
}

void drawColourFigure(Canvas& canvas, int colour, PibblePose pose, bool grounded) {
    pose.look = &lookOfColour(colour);
    pose.body = pose.look->body;
    drawFigure(canvas, pose, grounded);
}

Canvas turnedCopy(const Canvas& picture, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float w = static_cast<float>(picture.width());
    const float h = static_cast<float>(picture.height());
    const int outW = static_cast<int>(std::ceil(std::abs(w * c) + std::abs(h * s))) + 2;
    const int outH = static_cast<int>(std::ceil(std::abs(w * s) + std::abs(h * c))) + 2;
    Canvas out(outW, outH);
    const float ox = static_cast<float>(outW) / 2;
    const float oy = static_cast<float>(outH) / 2;
    for (int y = 0; y < outH; ++y) {
        for (int x = 0; x < outW; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - ox;
            const float dy = static_cast<float>(y) + 0.5f - oy;
            // Back into the picture: the inverse turn.
            const float sx = dx * c + dy * s + w / 2 - 0.5f;
            const float sy = -dx * s + dy * c + h / 2 - 0.5f;
            const int x0 = static_cast<int>(std::floor(sx));
            const int y0 = static_cast<int>(std::floor(sy));
            const float fx = sx - static_cast<float>(x0);
            const float fy = sy - static_cast<float>(y0);
            const Layered top = blend(sample(picture, x0, y0), sample(picture, x0 + 1, y0), fx);
            const Layered bottom = blend(sample(picture, x0, y0 + 1), sample(picture, x0 + 1, y0 + 1), fx);
            pixelAt(out, x, y) = pixelOf(blend(top, bottom, fy));
        }
    }
    return out;
}

Canvas shrunk(const Canvas& picture, int factor) {
    const int f = std::max(1, factor);
    Canvas out(std::max(1, picture.width() / f), std::max(1, picture.height() / f));
    const float count = static_cast<float>(f * f);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            Layered sum;
            for (int j = 0; j < f; ++j) {
                for (int i = 0; i < f; ++i) {
                    const Layered one = sample(picture, x * f + i, y * f + j);
                    sum = {sum.r + one.r, sum.g + one.g, sum.b + one.b, sum.a + one.a};
                }
            }
            pixelAt(out, x, y) = pixelOf({sum.r / count, sum.g / count, sum.b / count, sum.a / count});
        }
    }
    return out;
}

void washOut(Canvas& canvas, float amount) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            std::uint32_t& pixel = pixelAt(canvas, x, y);
            pixel = (pixel & 0xFF000000u) | lighter(pixel & 0xFFFFFFu, amount);
        }
    }
}

void addBorder(Canvas& canvas, Rgb colour, int width, int shadow) {
    const int w = canvas.width();
    const int h = canvas.height();
    Canvas edge(w, h);
    const float reach = static_cast<float>(width) + 0.5f;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float most = 0;
            for (int j = -width - 1; j <= width + 1; ++j) {
                for (int i = -width - 1; i <= width + 1; ++i) {
                    const int sx = x + i;
                    const int sy = y + j;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) {
                        continue;
                    }
                    const float weight = std::clamp(
                        reach - std::hypot(static_cast<float>(i), static_cast<float>(j)), 0.0f, 1.0f);
                    most = std::max(most, static_cast<float>(canvas.pixel(sx, sy) >> 24) * weight);
                }
            }
            const auto alpha = static_cast<std::uint32_t>(std::lround(most));
            pixelAt(edge, x, y) = alpha == 0 ? 0 : alpha << 24 | colour;
        }
    }
    Canvas result(w, h);
    if (shadow > 0) {
        Canvas dark(w, h);
        dark.copyFrom(edge, 0, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                std::uint32_t& pixel = pixelAt(dark, x, y);
                // Every pixel takes the colour, so the blur spreads it and not black.
                const std::uint32_t alpha = (pixel >> 24) * static_cast<std::uint32_t>(shadow) / 255;
                pixel = alpha << 24 | cardShadow;
            }
        }
        blurLane(dark.image(), 0, std::max(1, width / 2 + 1));
        result.stamp(dark.image(), 1, std::max(1, width / 2 + 1));
    }
    result.stamp(edge.image(), 0, 0);
    result.stamp(canvas.image(), 0, 0);
    canvas.copyFrom(result, 0, 0);
}

} // namespace mkmedia
