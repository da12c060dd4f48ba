// A sheet turning over the album's pages, frame by frame: the right page lifts at its outer edge, bends
// over the spine and comes to lie flat on the left ("direction" forward), or the mirror of that
// (backward). Only the sheet is drawn, with the shadow it casts on the pages below; the rest stays clear.
//
// The sheet is hinged at the spine, in the middle of the picture. Every row of it is a curve that leaves
// the spine at one angle and bends further towards the outer edge, the lower rows leading as if the
// corner were held. Seen from straight above, a row is where its points fall across the picture, drawn from
// the spine outwards (each point lies higher than the one before it, so the later covers the earlier),
// shaded by how its paper faces the light.
#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/PibbleFrames.h"
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb sheetShadow = 0x3A2340;
// Points along each row of the sheet, and subpixels per pixel across, for smooth edges.
constexpr int steps = 480;
constexpr int subpixels = 4;
// How far the outer edge runs ahead of the spine, from the top row (least) to the bottom one (most): the
// lower corner leads, so the outer edge curves.
constexpr float leadTop = 0.12f;
constexpr float leadBottom = 0.8f;
// The light comes from above and a little from the left; a flat sheet is lit as the page is.
constexpr float lightX = -0.45f;
constexpr float lightZ = 1.0f;
// The outer edge's last stretch of paper is drawn darker, so the edge reads where the sheet folds over.
constexpr float edgeLine = 0.012f;

// One point of a row: where it lies across the picture, how high it is, and its shade.
struct RowPoint {
    float x;
    float z;
    Rgb colour;
};

// The paper at its angle: the side facing up (the front before the sheet stands upright, its back after)
// lit by how it faces the light, with a gloss where it mirrors the light upwards; the flat sheet is exactly
// the page.
Rgb litPaper(Rgb base, float angle) {
    const float length = std::hypot(lightX, lightZ);
    const float lx = lightX / length;
    const float lz = lightZ / length;
    const bool front = std::cos(angle) >= 0;
    const float nx = front ? -std::sin(angle) : std::sin(angle);
    const float nz = std::abs(std::cos(angle));
    const float lit = std::max(0.0f, nx * lx + nz * lz) / lz;
    const float facing = 2 * (nx * lx + nz * lz) * nz - lz;
    const float gloss = std::pow(std::max(0.0f, facing), 24.0f) * 0.35f * (1 - nz * nz * nz * nz);
    const Rgb shaded = lit >= 1 ? lighter(base, std::min(0.3f, (lit - 1) * 0.8f))
                                : mix(base, darker(paperShade, 0.25f), std::min(0.75f, (1 - lit) * 0.85f));
    return lighter(shaded, gloss);
}

float lift(float u, float lead, float s) {
    return pi * std::pow(u, 1 - lead * s);
}

// The row's points from the spine out, the turn `u` (0 flat right, 1 flat left) and its lead.
std::vector<RowPoint> rowOf(float spine, float width, float u, float lead) {
    std::vector<RowPoint> points;
    points.reserve(steps + 1);
    float x = spine;
    float z = 0;
    const float step = width / steps;
    for (int i = 0; i <= steps; ++i) {
        const float s = static_cast<float>(i) / steps;
        const float angle = lift(u, lead, s);
        // The stretch from this point to the next is coloured as its middle.
        const float middle = (static_cast<float>(i) + 0.5f) / steps;
        Rgb colour = litPaper(pageColour(middle * width, width), lift(u, lead, middle));
        if (s > 1 - edgeLine && u > 0 && u < 1) {
            colour = mix(colour, paperShade, 0.45f);
        }
        points.push_back({x, z, colour});
        x += step * std::cos(angle);
        z += step * std::sin(angle);
    }
    return points;
}

// Where the row's points throw their shadow on the pages below: moved away from the light by their height,
// fainter the higher they are.
void castShadow(const std::vector<RowPoint>& row, std::vector<float>& shadow, float strength) {
    std::fill(shadow.begin(), shadow.end(), 0.0f);
    const int width = static_cast<int>(shadow.size());
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        const float a = row[i].x - row[i].z * lightX * 1.1f;
        const float b = row[i + 1].x - row[i + 1].z * lightX * 1.1f;
        const float amount = strength * std::exp(-row[i].z / 220) * std::min(1.0f, row[i].z / 12);
        const int first = std::max(0, static_cast<int>(std::floor(std::min(a, b))));
        const int last = std::min(width - 1, static_cast<int>(std::ceil(std::max(a, b))));
        for (int x = first; x <= last; ++x) {
            shadow[static_cast<std::size_t>(x)] = std::max(shadow[static_cast<std::size_t>(x)], amount);
        }
    }
}

// The row's points laid across subpixels, the higher over the lower, then averaged into pixels.
void drawRow(Canvas& canvas, int y, const std::vector<RowPoint>& row) {
    const int width = canvas.width() * subpixels;
    std::vector<Rgb> colours(static_cast<std::size_t>(width), 0);
    std::vector<bool> covered(static_cast<std::size_t>(width), false);
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
        const float a = std::min(row[i].x, row[i + 1].x) * subpixels;
        const float b = std::max(row[i].x, row[i + 1].x) * subpixels;
        const int first = std::max(0, static_cast<int>(std::ceil(a - 0.5f)));
        const int last = std::min(width - 1, static_cast<int>(std::floor(b - 0.5f)));
        for (int sub = first; sub <= last; ++sub) {
            colours[static_cast<std::size_t>(sub)] = row[i].colour;
            covered[static_cast<std::size_t>(sub)] = true;
        }
    }
    graphics::MemoryImage32& image = canvas.image();
    for (int x = 0; x < canvas.width(); ++x) {
        int count = 0;
        int sums[3] = {0, 0, 0};
        for (int sub = x * subpixels; sub < (x + 1) * subpixels; ++sub) {
            if (!covered[static_cast<std::size_t>(sub)]) {
                continue;
            }
            ++count;
            sums[0] += channel(colours[static_cast<std::size_t>(sub)], 16);
            sums[1] += channel(colours[static_cast<std::size_t>(sub)], 8);
            sums[2] += channel(colours[static_cast<std::size_t>(sub)], 0);
        }
        if (count == 0) {
            continue;
        }
        const auto alpha = static_cast<std::uint32_t>(255 * count / subpixels);
        const Rgb colour = static_cast<Rgb>(sums[0] / count) << 16 | static_cast<Rgb>(sums[1] / count) << 8 |
                           static_cast<Rgb>(sums[2] / count);
        image.pixels32()[image.pixelIndex(x, y)] = alpha << 24 | colour;
    }
}

} // namespace

bool pageTurnKnown(const PictureRequest& request, std::string& error) {
    const std::string direction = request.entry.text("direction");
    if (direction != "forward" && direction != "backward") {
        error = "a page turn's \"direction\" is forward or backward";
        return false;
    }
    return true;
}

void drawPageTurn(const PictureRequest& request, int frame, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const int h = canvas.height();
    const float spine = w / 2;
    const float t = progress(request, frame);
    // Slow to lift and slow to settle, though never so slow that two frames look the same.
    const float u = 0.75f * (0.5f - 0.5f * std::cos(pi * t)) + 0.25f * t;
    const float lifted = std::sin(pi * t);
    Canvas shadow(canvas.width(), h);
    shadow.paintAll(sheetShadow);
    Canvas sheet(canvas.width(), h);
    // The sheet casts its shadow only while it is off the page.
    const float strength = 150 * std::pow(lifted, 0.5f);
    std::vector<float> cast(static_cast<std::size_t>(canvas.width()), 0.0f);
    graphics::MemoryImage32& shade = shadow.image();
    for (int y = 0; y < h; ++y) {
        const float down = static_cast<float>(y) / static_cast<float>(std::max(1, h - 1));
        const std::vector<RowPoint> row =
            rowOf(spine, spine, u, leadTop + (leadBottom - leadTop) * std::pow(down, 1.6f));
        if (strength > 0) {
            castShadow(row, cast, strength);
            for (int x = 0; x < canvas.width(); ++x) {
                const auto alpha = static_cast<std::uint32_t>(cast[static_cast<std::size_t>(x)]);
                std::uint32_t& pixel = shade.pixels32()[shade.pixelIndex(x, y)];
                pixel = (pixel & 0x00FFFFFFu) | alpha << 24;
            }
        }
        drawRow(sheet, y, row);
    }
    if (strength > 0) {
        blurLane(shade, 0, 3 + static_cast<int>(8 * lifted));
        canvas.stamp(shade, 0, 0);
    }
    canvas.stamp(sheet.image(), 0, 0);
    if (request.entry.text("direction") == "backward") {
        canvas.mirror();
    }
}

} // namespace mkmedia
