// The album's book: the open scrapbook with its padded cover, the satin ribbon that marks a page (and the
// same ribbon as a button), the pages' lifted corners and the check mark of a collectable waiting to go on
// the field. The book is drawn at the album dialog's size and scaled to any other.
#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb leather = 0xB83E67;
constexpr Rgb stitching = 0xFFE3C2;
constexpr Rgb brass = 0xF2BE4A;
constexpr Rgb bookShadow = 0x3A2340;
constexpr Rgb satin = 0x2FB7A8;
constexpr Rgb greyed = 0xB9B6C4;
// The stack of sheets below the two open ones shows at the pages' outer sides and bottom.
constexpr int stackedSheets = 3;

enum ButtonState { Normal = 0, Over = 1, Pressed = 2, Disabled = 3 };

// The book's own coordinates (560 x 420) on a canvas of any size.
struct BookScale {
    float sx;
    float sy;

    float x(float value) const { return value * sx; }
    float y(float value) const { return value * sy; }
    Shape rect(float x0, float y0, float x1, float y1, float radius) const {
        return roundedRect(x(x0), y(y0), x(x1 - x0), y(y1 - y0), radius * std::min(sx, sy));
    }
};

struct CoverBox {
    float left = 6;
    float top = 8;
    float right = 554;
    float bottom = 410;
    float radius = 26;
};

// Points every `step` along a closed outline, with the direction it runs there.
struct Dash {
    float x;
    float y;
    float angle;
};

std::vector<Dash> alongOutline(const Shape& outline, float step) {
    std::vector<Dash> dashes;
    float carried = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const graphics::PointF& a = outline[i];
        const graphics::PointF& b = outline[(i + 1) % outline.size()];
        const float length = std::hypot(b.getX() - a.getX(), b.getY() - a.getY());
        const float angle = std::atan2(b.getY() - a.getY(), b.getX() - a.getX());
        float at = carried;
        while (at < length) {
            const float t = at / length;
            dashes.push_back(
                {a.getX() + (b.getX() - a.getX()) * t, a.getY() + (b.getY() - a.getY()) * t, angle});
            at += step;
        }
        carried = at - length;
    }
    return dashes;
}

// Running stitches along the outline: each a short cream stroke over a darker hole.
void drawStitches(Canvas& canvas, const Shape& outline, float size) {
    for (const Dash& dash : alongOutline(outline, size * 2.2f)) {
        const float dx = std::cos(dash.angle) * size * 0.5f;
        const float dy = std::sin(dash.angle) * size * 0.5f;
        canvas.over(stroke(dash.x - dx, dash.y - dy + size * 0.2f, dash.x + dx, dash.y + dy + size * 0.2f,
                           size * 0.42f),
                    darker(leather, 0.4f), 110);
        canvas.over(stroke(dash.x - dx, dash.y - dy, dash.x + dx, dash.y + dy, size * 0.34f), stitching, 235);
    }
}

// A brass cap over the cover's top left corner, turned to sit on any corner.
Shape cornerCap(const CoverBox& cover, float reach) {
    Shape cap;
    const float r = cover.radius;
    cap.emplace_back(cover.left, cover.top + reach);
    constexpr int steps = 10;
    for (int i = 0; i <= steps; ++i) {
        const float a = pi + 0.5f * pi * static_cast<float>(i) / steps;
        cap.emplace_back(cover.left + r + r * std::cos(a), cover.top + r + r * std::sin(a));
    }
    cap.emplace_back(cover.left + reach, cover.top);
    return cap;
}

void drawCornerCaps(Canvas& canvas, const CoverBox& cover, const BookScale& scale) {
    const float reach = 46;
    const float cx = (cover.left + cover.right) / 2;
    const float cy = (cover.top + cover.bottom) / 2;
    for (const float mx : {1.0f, -1.0f}) {
        for (const float my : {1.0f, -1.0f}) {
            Shape cap = scaled(cornerCap(cover, reach), cx, cy, mx, my);
            for (graphics::PointF& point : cap) {
                point = graphics::PointF(scale.x(point.getX()), scale.y(point.getY()));
            }
            const float top = scale.y(my > 0 ? cover.top : cover.bottom - reach);
            canvas.over(moved(cap, 0, scale.y(2)), bookShadow, 90, 2);
            canvas.over(cap, 0xA8711C);
            canvas.overGradient(scaled(cap, scale.x(cx - mx * (cx - cover.left - 12)),
                                       scale.y(cy - my * (cy - cover.top - 12)), 0.88f, 0.88f),
                                lighter(brass, 0.45f), darker(brass, 0.08f), top, top + scale.y(reach));
            const float rx = scale.x(cx - mx * (cx - cover.left - 14));
            const float ry = scale.y(cy - my * (cy - cover.top - 14));
            canvas.over(circle(rx, ry + scale.y(0.6f), scale.x(3.4f)), 0x8A5A14, 160);
            canvas.over(circle(rx, ry, scale.x(3.0f)), lighter(brass, 0.2f));
            canvas.over(circle(rx - scale.x(0.8f), ry - scale.y(0.8f), scale.x(1.3f)), 0xFFF6D8);
        }
    }
}

// Soft leather: a rounded cover shaded from the top, flecked, with a padded swell along its sides.
void drawCover(Canvas& canvas, const BookScale& scale, std::uint32_t seed) {
    const CoverBox cover;
    const Shape outline = scale.rect(cover.left, cover.top, cover.right, cover.bottom, cover.radius);
    canvas.over(moved(outline, 0, scale.y(6)), bookShadow, 130, static_cast<int>(scale.y(6)));
    canvas.over(outline, darker(leather, 0.45f));
    const Shape body =
        scale.rect(cover.left + 2, cover.top + 2, cover.right - 2, cover.bottom - 2, cover.radius - 2);
    canvas.overGradient(body, lighter(leather, 0.18f), darker(leather, 0.12f), scale.y(cover.top),
                        scale.y(cover.bottom));
    Dice dice(seed);
    for (int i = 0; i < 900; ++i) {
        const float x = dice.between(cover.left + 8, cover.right - 8);
        const float y = dice.between(cover.top + 8, cover.bottom - 8);
        const bool light = dice.next() % 2 == 0;
        canvas.over(circle(scale.x(x), scale.y(y), scale.x(dice.between(0.5f, 1.4f))),
                    light ? lighter(leather, 0.3f) : darker(leather, 0.3f), 40);
    }
    // The padding swells towards the light at the top and left and falls into shade along the bottom and
    // right; the cover's edge rounds off into darker leather.
    canvas.over(scale.rect(cover.left + 16, cover.top + 3, cover.right - 16, cover.top + 16, 7), 0xFFFFFF, 70,
                static_cast<int>(scale.y(5)));
    canvas.over(scale.rect(cover.left + 3, cover.top + 16, cover.left + 14, cover.bottom - 16, 6), 0xFFFFFF,
                45, static_cast<int>(scale.y(4)));
    canvas.over(scale.rect(cover.left + 16, cover.bottom - 15, cover.right - 16, cover.bottom - 3, 7),
                darker(leather, 0.5f), 80, static_cast<int>(scale.y(5)));
    canvas.over(scale.rect(cover.right - 14, cover.top + 16, cover.right - 3, cover.bottom - 16, 6),
                darker(leather, 0.5f), 55, static_cast<int>(scale.y(4)));
    // The spine's crease where the two halves meet.
    canvas.over(scale.rect(spineX - 7, cover.top + 2, spineX + 7, cover.bottom - 2, 3),
                darker(leather, 0.35f), 120, static_cast<int>(scale.x(3)));
    canvas.over(scale.rect(spineX - 1, cover.top + 2, spineX + 1, cover.bottom - 2, 1), darker(leather, 0.5f),
                160);
    drawStitches(canvas, scale.rect(cover.left + 11, cover.top + 11, cover.right - 11, cover.bottom - 11, 17),
                 std::max(1.5f, scale.x(3.2f)));
    drawCornerCaps(canvas, cover, scale);
}

// The sheets below the open ones, stepping out at the outer sides and down at the bottom.
void drawStack(Canvas& canvas, const BookScale& scale) {
    for (int k = stackedSheets; k >= 1; --k) {
        const float step = 2.2f * static_cast<float>(k);
        const Rgb edge = mix(paper, paperShade, 0.55f);
        const Rgb sheet = mix(paper, paperShade, 0.12f + 0.05f * static_cast<float>(k));
        canvas.over(scale.rect(pageLeft - step, pageTop + 1, spineX, pageBottom + step, 3), edge);
        canvas.over(scale.rect(spineX, pageTop + 1, pageRight + step, pageBottom + step, 3), edge);
        canvas.over(scale.rect(pageLeft - step + 1, pageTop + 1, spineX, pageBottom + step - 1, 3), sheet);
        canvas.over(scale.rect(spineX, pageTop + 1, pageRight + step - 1, pageBottom + step - 1, 3), sheet);
    }
}

// The two open pages, column by column in the page's paper.
void drawPages(Canvas& canvas, const BookScale& scale) {
    const int left = static_cast<int>(std::lround(scale.x(pageLeft)));
    const int right = static_cast<int>(std::lround(scale.x(pageRight)));
    const int top = static_cast<int>(std::lround(scale.y(pageTop)));
    const int bottom = static_cast<int>(std::lround(scale.y(pageBottom)));
    const float spine = scale.x(spineX);
    const float width = scale.x(pageWidth);
    // Pixel by pixel, so that each column is exactly its distance's colour: the turning sheet matches it.
    graphics::MemoryImage32& image = canvas.image();
    for (int x = left; x < right; ++x) {
        const float middle = static_cast<float>(x) + 0.5f;
        const Rgb colour = pageColour(std::abs(middle - spine) / scale.sx, width / scale.sx);
        for (int y = top; y < bottom; ++y) {
            image.pixels32()[image.pixelIndex(x, y)] = 0xFF000000u | colour;
        }
    }
}

// ---- The ribbon ----

Rgb ribbonColour(Rgb base, int state) {
    switch (state) {
    case Over:
        return lighter(base, 0.2f);
    case Pressed:
        return darker(base, 0.12f);
    case Disabled:
        return greyed;
    default:
        return base;
    }
}

// A satin ribbon hanging from the top of the picture, its end cut in a swallowtail; pressed, it is pulled
// up a little.
void drawRibbonState(Canvas& canvas, Rgb base, int state) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const Rgb colour = ribbonColour(base, state);
    const float width = w * 0.6f;
    const float left = w * 0.42f - width / 2;
    const float lift = state == Pressed ? h * 0.05f : 0.0f;
    const float end = h * 0.97f - lift;
    const float notch = end - width * 0.5f;
    const Shape ribbon = {
        {left, 0}, {left + width, 0}, {left + width, end}, {left + width / 2, notch}, {left, end}};
    canvas.over(moved(ribbon, w * 0.07f, h * 0.03f), bookShadow, state == Pressed ? 60 : 90,
                std::max(1, static_cast<int>(w * 0.06f)));
    Canvas cloth(canvas.width(), canvas.height());
    cloth.over(ribbon, darker(colour, 0.3f));
    // Satin: dark at the edges, a bright sheen a little left of the middle.
    constexpr int bands = 12;
    for (int i = 0; i < bands; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / bands;
        const float sheen = std::exp(-std::pow((t - 0.38f) / 0.16f, 2.0f));
        const float edge = std::pow(std::abs(t - 0.5f) * 2, 3.0f);
        const Rgb band = lighter(darker(colour, 0.28f * edge), 0.5f * sheen);
        cloth.over(roundedRect(left + width * static_cast<float>(i) / bands, 0, width / bands + 0.6f, h, 0),
                   band);
    }
    cloth.clipTo(scaled(ribbon, left + width / 2, h / 2, 0.9f, 1.0f));
    canvas.stamp(cloth.image(), 0, 0);
    // Where it comes over the book's top edge it folds into shade.
    canvas.over(roundedRect(left, 0, width, h * 0.09f, 0), darker(colour, 0.45f), 150, 1);
    canvas.over(roundedRect(left, h * 0.09f, width, h * 0.025f, 0), lighter(colour, 0.5f), 120);
    if (state == Over) {
        canvas.over(star(left + width * 0.38f, end - width * 0.95f, width * 0.32f, width * 0.09f, 4),
                    0xFFFFFF, 230);
    }
}

// ---- The page corners ----

// The flap of a corner folded up along the line from (0, h - fold) to (fold, h), curled: its tip drawn in
// towards the fold and its free sides bowed.
Shape flapOutline(float h, float fold) {
    const graphics::PointF a(0, h - fold);
    const graphics::PointF b(fold, h);
    const graphics::PointF tip(fold * 0.78f, h - fold * 0.78f);
    Shape shape;
    constexpr int steps = 12;
    // From a out to the tip, bowed up and out; back from the tip to b.
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float bow = std::sin(pi * t) * fold * 0.1f;
        shape.emplace_back(a.getX() + (tip.getX() - a.getX()) * t + bow * 0.4f,
                           a.getY() + (tip.getY() - a.getY()) * t - bow);
    }
    for (int i = 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float bow = std::sin(pi * t) * fold * 0.1f;
        shape.emplace_back(tip.getX() + (b.getX() - tip.getX()) * t + bow,
                           tip.getY() + (b.getY() - tip.getY()) * t - bow * 0.4f);
    }
    return shape;
}

// The lower left corner of a page curling up: the sheet below shows in the corner it leaves, the flap
// shows the paper's back shaded round its curl and casts a soft shadow on the page.
void drawLeftCorner(Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float fold = std::min(w, h) * 0.74f;
    const Shape uncovered = {{0, h - fold}, {fold, h}, {0, h}};
    const Shape flap = flapOutline(h, fold);
    // The corner's paper is the page's near its outer edge.
    const Rgb page = pageColour(pageWidth - 6, pageWidth);
    Canvas below(canvas.width(), canvas.height());
    below.over(uncovered, mix(page, paperShade, 0.16f));
    below.over(stroke(0, h - fold, fold, h, fold * 0.22f), bookShadow, 70,
               std::max(1, static_cast<int>(fold / 14)));
    below.clipTo(uncovered);
    canvas.over(moved(flap, fold * 0.05f, -fold * 0.02f), bookShadow, 80,
                std::max(1, static_cast<int>(fold / 12)));
    canvas.stamp(below.image(), 0, 0);
    // The back of the paper: bright along the curl's ridge by the fold, shading off towards the tip.
    Canvas back(canvas.width(), canvas.height());
    constexpr int bands = 14;
    for (int i = 0; i < bands; ++i) {
        const float t0 = static_cast<float>(i) / bands;
        const float t1 = static_cast<float>(i + 1) / bands + 0.02f;
        const float ridge = std::exp(-std::pow((t0 - 0.18f) / 0.14f, 2.0f));
        const Rgb colour = lighter(mix(paper, paperShade, 0.08f + 0.3f * t0 * t0), 0.55f * ridge);
        // A band parallel to the fold, t along the way from the fold to the flap's tip: the fold line run
        // on past both ends, moved out along its normal (1, -1) / sqrt 2.
        const float d0 = t0 * fold * 0.3f;
        const float d1 = t1 * fold * 0.3f;
        const Shape band = {{-fold + d0, h - 2 * fold - d0},
                            {2 * fold + d0, h + fold - d0},
                            {2 * fold + d1, h + fold - d1},
                            {-fold + d1, h - 2 * fold - d1}};
        back.over(band, colour);
    }
    back.clipTo(flap);
    canvas.stamp(back.image(), 0, 0);
    canvas.over(stroke(0, h - fold, fold, h, std::max(1.0f, fold / 40)), 0xFFFFFF, 160);
}

} // namespace

bool pageCornerKnown(const PictureRequest& request, std::string& error) {
    const std::string side = request.entry.text("side");
    if (side != "left" && side != "right") {
        error = "a page corner's \"side\" is left or right";
        return false;
    }
    return true;
}

void drawBook(const PictureRequest& request, int, Canvas& canvas) {
    const BookScale scale{static_cast<float>(canvas.width()) / bookWidth,
                          static_cast<float>(canvas.height()) / bookHeight};
    drawCover(canvas, scale, request.seed);
    drawStack(canvas, scale);
    drawPages(canvas, scale);
}

void drawRibbon(const PictureRequest& request, int frame, Canvas& canvas) {
    drawRibbonState(canvas, request.colour(satin), request.frames > 1 ? frame % 4 : Normal);
}

void drawPageCorner(const PictureRequest& request, int, Canvas& canvas) {
    drawLeftCorner(canvas);
    if (request.entry.text("side") == "right") {
        canvas.mirror();
    }
}

// A bold green tick with a dark rim and a glint, on a soft shadow.
void drawCheckMark(const PictureRequest& request, int, Canvas& canvas) {
    const float s = static_cast<float>(std::min(canvas.width(), canvas.height())) / 32;
    const Rgb green = request.colour(0x4CC24A);
    const graphics::PointF a(6 * s, 16.5f * s);
    const graphics::PointF b(12.5f * s, 23 * s);
    const graphics::PointF c(26 * s, 8 * s);
    const auto tick = [&](float thickness, float dy) {
        return std::pair{stroke(a.getX(), a.getY() + dy, b.getX(), b.getY() + dy, thickness),
                         stroke(b.getX(), b.getY() + dy, c.getX(), c.getY() + dy, thickness)};
    };
    const auto [shadowA, shadowB] = tick(8.5f * s, 1.5f * s);
    canvas.over(shadowA, bookShadow, 90, std::max(1, static_cast<int>(s * 1.5f)));
    canvas.over(shadowB, bookShadow, 90, std::max(1, static_cast<int>(s * 1.5f)));
    const auto [rimA, rimB] = tick(8 * s, 0);
    canvas.over(rimA, darker(green, 0.5f));
    canvas.over(rimB, darker(green, 0.5f));
    const auto [fillA, fillB] = tick(5 * s, 0);
    canvas.overGradient(fillA, lighter(green, 0.35f), green, 8 * s, 24 * s);
    canvas.overGradient(fillB, lighter(green, 0.35f), green, 8 * s, 24 * s);
    canvas.over(
        stroke(b.getX() + 1.2f * s, b.getY() - 3.2f * s, c.getX() - 1.5f * s, c.getY() + 0.6f * s, 1.4f * s),
        0xFFFFFF, 150);
}

} // namespace mkmedia
