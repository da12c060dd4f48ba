// The level-end dialog's pictures: the big carrot the header's letters jump out of (its front, and its
// back that shows where the front is cut away), the carrot's outline after each of its thirteen bites,
// the crumbs the bites throw, and the white bar behind the explanation of a lost level.
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;

constexpr Rgb carrotRim = 0xB0460C;
constexpr Rgb carrotLight = 0xFFB957;
constexpr Rgb carrotDark = 0xEC6814;
constexpr Rgb ridgeColour = 0xC7560F;
constexpr Rgb leafRim = 0x2E7424;
constexpr Rgb leafLight = 0x8ADB5E;
constexpr Rgb leafDark = 0x49A236;

// The dialog puts the carrot's middle at x 320 and throws the crumbs of bite n from x 530 - 30 n: the
// bites eat the carrot from its tip on the right towards its leaves, a step of 30 pixels at a time.
constexpr int bites = 13;
constexpr float firstBiteFromMiddle = 210;
constexpr float biteStep = 30;
// A bite takes the carrot up to a little left of where its crumbs fly from.
constexpr float biteReach = 14;
constexpr int crumbKinds = 3;

// The carrot lies across the picture: its leaves at the left, the thick crown end next to them and the
// tip at the right, the letters' slot along its middle. Sizes are parts of the picture's, so any size
// draws the same carrot.
class CarrotShape {
public:
    explicit CarrotShape(const Canvas& canvas)
        : w(static_cast<float>(canvas.width())), h(static_cast<float>(canvas.height())), crownX(w * 0.21f),
          tipX(w * 0.982f), middleY(h * 0.5f), radius(h * 0.4f), capRadius(h * 0.16f) {}

    // How far the body reaches above and below its middle line: full at the crown and narrowing all the
    // way into the tip.
    float halfHeight(float x) const {
        const float t = std::clamp((x - crownX) / (tipX - crownX), 0.0f, 1.0f);
        return radius * std::pow(1.0f - t * t, 0.85f);
    }
    // The tip droops a little.
    float centreY(float x) const {
        const float t = std::clamp((x - crownX) / (tipX - crownX), 0.0f, 1.0f);
        return middleY + h * 0.03f * t * t * t;
    }

    // The body's outline drawn `inset` pixels inside itself.
    Shape body(float inset) const {
        Shape shape;
        const float r = radius - inset;
        const float cap = capRadius - inset * 0.6f;
        for (int i = 0; i <= 24; ++i) {
            const float a = pi / 2 + pi * static_cast<float>(i) / 24;
            shape.emplace_back(crownX + cap * std::cos(a), middleY + r * std::sin(a));
        }
        const float end = tipX - inset * 1.6f;
        for (float x = crownX + 3; x < end; x += 3) {
            shape.emplace_back(x, centreY(x) - std::max(0.3f, halfHeight(x) - inset));
        }
        shape.emplace_back(end, centreY(end));
        for (float x = end - 3; x > crownX; x -= 3) {
            shape.emplace_back(x, centreY(x) + std::max(0.3f, halfHeight(x) - inset));
        }
        return shape;
    }

    // The groove the letters sit in: a long capsule along the middle line, ending while the body is still
    // thick round it.
    Shape slot(float inset) const {
        const float half = slotHalf() - inset;
        return roundedRect(slotLeft() + inset, middleY - half, slotRight() - slotLeft() - 2 * inset, 2 * half,
                           half);
    }

    float slotLeft() const { return crownX + capRadius * 0.1f; }
    float slotHalf() const { return h * 0.15f; }
    float slotRight() const {
        float x = slotLeft();
        while (x < tipX && halfHeight(x) > slotHalf() + h * 0.11f) {
            x += 1;
        }
        return x + slotHalf() * 0.6f;
    }

    // Where bite n's mouthfuls reach to, in the picture's pixels.
    float biteEdge(int n) const {
        return w / 2 + firstBiteFromMiddle - biteStep * static_cast<float>(n) - biteReach;
    }

    float w;
    float h;
    float crownX;
    float tipX;
    float middleY;
    float radius;
    float capRadius;
};

// Five leaves fanning out of the crown to the left, the middle ones longest, each with a pale rib.
void drawLeaves(Canvas& canvas, const CarrotShape& carrot) {
    const float baseX = carrot.crownX - carrot.capRadius * 0.3f;
    const float y = carrot.middleY;
    const float reach = carrot.crownX * 0.88f;
    const float spread[] = {-1.1f, -0.58f, -0.08f, 0.42f, 0.95f};
    const float length[] = {0.82f, 1.0f, 0.98f, 0.88f, 0.72f};
    for (int i = 0; i < 5; ++i) {
        const float a = pi + spread[i];
        const float x2 = baseX + std::cos(a) * reach * length[i];
        const float y2 = y + std::sin(a) * reach * length[i] * 1.05f;
        const float width = carrot.h * (i == 1 ? 0.22f : 0.18f);
        canvas.over(leaf(baseX, y, x2, y2, width + 3), leafRim);
        canvas.overGradient(leaf(baseX, y, x2, y2, width), leafLight, leafDark, y - reach * 0.6f,
                            y + reach * 0.6f);
        canvas.over(stroke(baseX - 4, y + (y2 - y) * 0.06f, (baseX + x2) / 2, (y + y2) / 2, 1.6f),
                    lighter(leafLight, 0.45f), 170);
    }
}

// Short dark creases across the skin above and below the slot, as a carrot has.
void drawRidges(Canvas& canvas, const CarrotShape& carrot) {
    const float step = carrot.w * 0.075f;
    for (float x = carrot.crownX + step * 0.6f; x < carrot.tipX - step * 0.5f; x += step) {
        for (const float side : {-1.0f, 1.0f}) {
            const float at = x + (side > 0 ? step * 0.45f : 0.0f);
            const float r = carrot.halfHeight(at);
            if (r < carrot.h * 0.1f) {
                continue;
            }
            const float edge = carrot.centreY(at) + side * (r - 2.5f);
            const float depth = std::min(r * 0.3f, carrot.h * 0.08f);
            canvas.over(curveBand({at, edge}, {at + depth * 0.45f, edge - side * depth * 0.6f},
                                  {at + depth * 0.2f, edge - side * depth}, 2.2f),
                        ridgeColour, 190);
        }
    }
}

// The front and the back are the same carrot; the back's slot lies deeper in shadow, as the groove the
// letters stand in once the front is cut away in front of them.
void drawWholeCarrot(Canvas& canvas, bool back) {
    const CarrotShape carrot(canvas);
    drawLeaves(canvas, carrot);
    canvas.over(carrot.body(0), carrotRim);
    const float top = carrot.middleY - carrot.radius;
    const float bottom = carrot.middleY + carrot.radius;
    canvas.overGradient(carrot.body(2.5f), carrotLight, carrotDark, top, bottom);
    // A warm shade along the underside and the light along the top.
    canvas.over(moved(carrot.body(carrot.h * 0.1f), 0, carrot.h * 0.1f), darker(carrotDark, 0.06f), 70,
                static_cast<int>(carrot.h * 0.04f));
    drawRidges(canvas, carrot);
    const float glossY = carrot.middleY - carrot.radius * 0.66f;
    canvas.over(curveBand({carrot.crownX + carrot.w * 0.03f, glossY + 2}, {carrot.w * 0.5f, glossY - 3},
                          {carrot.tipX - carrot.w * 0.22f,
                           carrot.centreY(carrot.tipX - carrot.w * 0.22f) -
                               carrot.halfHeight(carrot.tipX - carrot.w * 0.22f) * 0.6f},
                          carrot.h * 0.05f),
                white, 120, 2);
    const Rgb grooveTop = back ? 0xC2500C : 0xD65F12;
    const Rgb grooveBottom = back ? 0xEC8A3C : 0xF7A04E;
    // The slot's lower lip catches the light.
    canvas.over(moved(carrot.slot(-1.5f), 0, 2.0f), 0xFFD9A0, 130, 1);
    canvas.over(carrot.slot(-1.5f), 0xC9560E);
    canvas.overGradient(carrot.slot(1.0f), grooveTop, grooveBottom, carrot.middleY - carrot.slotHalf(),
                        carrot.middleY + carrot.slotHalf());
    // A glint on the crown.
    canvas.over(ellipse(carrot.crownX + carrot.w * 0.01f, carrot.middleY - carrot.radius * 0.7f,
                        carrot.h * 0.035f, carrot.h * 0.02f),
                white, 200, 1);
}

// What a bite takes: everything right of its edge, the edge itself a row of round mouthfuls that meet in
// points, as front teeth leave it. The rows alternate from bite to bite, so no two edges look alike. The
// last bite takes what is left, leaves and all: nothing of the carrot stays over the field.
void takeBite(Canvas& canvas, const CarrotShape& carrot, int n) {
    if (n >= bites - 1) {
        canvas.erase(Shape{{-1, -1}, {carrot.w + 1, -1}, {carrot.w + 1, carrot.h + 1}, {-1, carrot.h + 1}});
        return;
    }
    const float tooth = carrot.h * 0.17f;
    const float centres = carrot.biteEdge(n) + tooth * 0.75f;
    canvas.erase(
        Shape{{centres, -1}, {carrot.w + 1, -1}, {carrot.w + 1, carrot.h + 1}, {centres, carrot.h + 1}});
    const float step = tooth * 1.7f;
    const float shift = n % 2 == 0 ? 0.0f : step * 0.5f;
    for (float y = carrot.middleY - carrot.radius - step + shift; y < carrot.middleY + carrot.radius + step;
         y += step) {
        canvas.erase(circle(centres, y, tooth));
    }
}

// A chunk of carrot turning over as it flies: an uneven lump, a pale bitten core, or a few small bits.
void drawCrumbFrame(Canvas& canvas, int kind, int frame) {
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = static_cast<float>(canvas.height()) / 2;
    const float size = static_cast<float>(std::min(canvas.width(), canvas.height())) / 22;
    const float turn = 2 * pi * static_cast<float>(frame) / 6;
    if (kind == 2) {
        const float bits[][3] = {{0.0f, 5.5f, 3.0f}, {2.1f, 5.0f, 2.4f}, {4.2f, 5.8f, 2.7f}};
        for (int i = 0; i < 3; ++i) {
            const float a = bits[i][0] + turn;
            const float x = cx + std::cos(a) * bits[i][1] * size;
            const float y = cy + std::sin(a) * bits[i][1] * size;
            canvas.over(circle(x, y, (bits[i][2] + 1) * size), carrotRim);
            canvas.over(circle(x, y, bits[i][2] * size), i == 1 ? 0xFFC77A : 0xF5862C);
        }
        return;
    }
    const float lump[][2] = {{0.0f, 7.5f}, {1.1f, 6.2f}, {2.0f, 7.8f},
                             {3.0f, 6.0f}, {4.1f, 7.2f}, {5.2f, 5.8f}};
    Shape outer;
    Shape inner;
    for (const auto& corner : lump) {
        const float a = corner[0] + turn;
        const float r = corner[1] * size * (kind == 1 ? 0.85f : 1.0f);
        outer.emplace_back(cx + std::cos(a) * (r + size), cy + std::sin(a) * (r + size));
        inner.emplace_back(cx + std::cos(a) * r, cy + std::sin(a) * r);
    }
    canvas.over(outer, kind == 1 ? 0xD0701E : carrotRim);
    canvas.overGradient(inner, kind == 1 ? 0xFFE2A6 : carrotLight, kind == 1 ? 0xFFB556 : carrotDark,
                        cy - 8 * size, cy + 8 * size);
    // The bitten face: a paler patch that turns with the lump.
    const float a = turn + 0.6f;
    canvas.over(circle(cx + std::cos(a) * 2.5f * size, cy + std::sin(a) * 2.5f * size, 2.6f * size),
                kind == 1 ? 0xFFF3D4 : 0xFFCF8A, 200);
}

} // namespace

bool carrotKnown(const PictureRequest& request, std::string& error) {
    const std::string part = request.entry.text("part");
    if (request.entry.kind() == "carrot" && part != "front" && part != "back") {
        error = "a carrot's part is front or back";
        return false;
    }
    const int bite = request.entry.integer("bite", -1);
    if (request.entry.kind() == "carrotbite" && (bite < 0 || bite >= bites)) {
        error = "a bite is 0 to " + std::to_string(bites - 1);
        return false;
    }
    const int crumb = request.entry.integer("crumb", -1);
    if (request.entry.kind() == "crumb" && (crumb < 0 || crumb >= crumbKinds)) {
        error = "a crumb is 0 to " + std::to_string(crumbKinds - 1);
        return false;
    }
    return true;
}

void drawCarrot(const PictureRequest& request, int, Canvas& canvas) {
    drawWholeCarrot(canvas, request.entry.text("part") == "back");
}

// White where the carrot is left after bites 0 to n, its coverage in the alpha lane: the dialog takes
// this lane for the eaten carrot's own.
void drawCarrotBite(const PictureRequest& request, int, Canvas& canvas) {
    drawWholeCarrot(canvas, false);
    std::uint32_t* pixels = canvas.image().pixels32();
    const int count = canvas.width() * canvas.height();
    for (int i = 0; i < count; ++i) {
        pixels[i] = (pixels[i] & 0xFF000000u) == 0 ? 0 : (pixels[i] & 0xFF000000u) | white;
    }
    const CarrotShape carrot(canvas);
    takeBite(canvas, carrot, request.entry.integer("bite", 0));
}

void drawCrumb(const PictureRequest& request, int frame, Canvas& canvas) {
    drawCrumbFrame(canvas, request.entry.integer("crumb", 0), frame);
}

// A band of soft white across the picture, fading out at its top and bottom.
void drawWhiteBar(const PictureRequest& request, int, Canvas& canvas) {
    const Rgb colour = request.colour(0xFFFDF4);
    const int h = canvas.height();
    const int fade = std::max(1, h / 5);
    canvas.paintAll(colour);
    for (int y = 0; y < h; ++y) {
        const float edge = static_cast<float>(std::min(y, h - 1 - y)) / static_cast<float>(fade);
        const float t = std::clamp(edge, 0.0f, 1.0f);
        const int alpha = static_cast<int>(std::lround(220 * t * t * (3 - 2 * t)));
        canvas.reveal(roundedRect(0, static_cast<float>(y), static_cast<float>(canvas.width()), 1, 0), alpha);
    }
}

} // namespace mkmedia
