#include "engine/graphics/SmoothLines.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <vector>

using namespace graphics;

namespace {

struct Plot {
    int x, y, alpha;
    friend bool operator==(const Plot&, const Plot&) = default;
};

std::vector<Plot> plots;

void record(ImageBase&, int x, int y, std::uint32_t color, int alpha) {
    EXPECT_EQ(color, 0x123456u);
    plots.push_back({x, y, alpha});
}

using Line = void (*)(ImageBase&, float, float, float, float, std::uint32_t, PlotPixel);

struct Case {
    const char* what;
    Line line;
    float x1, y1, x2, y2;
    std::vector<Plot> want;
};

// Alphas: trunc((1 - f) * 255) and trunc(f * 255), so f = 0.25 gives 191 and 63, f = 0.5 gives 127 twice.
// clang-format off
const std::vector<Case> cases = {
    {"equal end points", LineSmooth, 3.3f, 4.4f, 3.3f, 4.4f, {}},
    {"equal end points, edge", LineSmoothEdge, 3.3f, 4.4f, 3.3f, 4.4f, {}},
    {"horizontal", LineSmooth, 2, 3.25f, 4, 3.25f,
     {{2, 3, 191}, {2, 4, 63}, {3, 3, 191}, {3, 4, 63}, {4, 3, 191}, {4, 4, 63}}},
    {"horizontal, reversed", LineSmooth, 4, 3.25f, 2, 3.25f,
     {{2, 3, 191}, {2, 4, 63}, {3, 3, 191}, {3, 4, 63}, {4, 3, 191}, {4, 4, 63}}},
    {"from left of column 0", LineSmooth, -3, 5.5f, 2, 5.5f,
     {{1, 5, 127}, {1, 6, 127}, {2, 5, 127}, {2, 6, 127}}},
    {"along row 0", LineSmooth, 2, 0.5f, 6, 0.5f, {}},
    {"along column 0", LineSmooth, 0.4f, 2, 0.4f, 6, {}},
    {"along the last row", LineSmooth, 2, 9.5f, 3, 9.5f, {{2, 9, 127}, {3, 9, 127}}},
    {"steep, inner gradient", LineSmooth, 3, 1, 4, 5,
     {{2, 1, 191}, {3, 1, 63}, {2, 2, 127}, {3, 2, 127}, {2, 3, 63}, {3, 3, 191}, {3, 4, 255}, {4, 4, 0},
      {3, 5, 191}, {4, 5, 63}}},
    {"edge, flat", LineSmoothEdge, 2, 3.25f, 4, 3.25f, {{2, 4, 191}, {3, 4, 191}, {4, 4, 191}}},
    {"edge, flat, reversed", LineSmoothEdge, 4, 3.25f, 2, 3.25f, {{2, 3, 63}, {3, 3, 63}, {4, 3, 63}}},
    {"edge, inner gradient", LineSmoothEdge, 2, 3, 6, 5,
     {{2, 3, 127}, {3, 4, 255}, {4, 4, 127}, {5, 5, 255}, {6, 5, 127}}},
    {"edge, inner gradient, reversed", LineSmoothEdge, 6, 5, 2, 3, {}},
};
// clang-format on

} // namespace

TEST(SmoothLines, PlotsTheWorkedOutPixelsAndAlphas) {
    const testsupport::Image32 image = testsupport::filled32(10, 10, 0);
    for (const Case& c : cases) {
        plots.clear();
        c.line(*image, c.x1, c.y1, c.x2, c.y2, 0x123456u, record);
        EXPECT_EQ(plots, c.want) << c.what;
    }
}
