#include "engine/graphics/PolygonMask.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace graphics;
using kernel::Color;
using kernel::SmartPtr;

namespace {

constexpr std::uint32_t background = 0xFF000000;
constexpr std::uint32_t white = 0xFFFFFFFF;

struct Canvas {
    explicit Canvas(int width, int height, std::uint32_t fill = background)
        : image(testsupport::filled32(width, height, fill)), painter(image->createPainter()) {
        painter->setColor(Color(white));
    }
    std::uint32_t at(int x, int y) const { return image->pixels32()[y * image->getWidth() + x]; }
    // Rows holding any pixel other than the background.
    std::vector<int> touchedRows() const {
        std::vector<int> rows;
        for (int y = 0; y < image->getHeight(); ++y) {
            for (int x = 0; x < image->getWidth(); ++x) {
                if (at(x, y) != background) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    }

    SmartPtr<MemoryImage32> image;
    SmartPtr<ImagePainter> painter;
};

std::vector<int> rowRange(int first, int last) {
    std::vector<int> rows;
    for (int y = first; y <= last; ++y) {
        rows.push_back(y);
    }
    return rows;
}

} // namespace

// The coverage itself is checked below; here the painter draws it and is left as it was.
TEST(PolygonMask, SmoothSquareIsFullInsidePartialOnItsSidesAndEmptyOutside) {
    Canvas canvas(32, 32);
    const PointF square[] = {{10.5f, 10.5f}, {20.5f, 10.5f}, {20.5f, 20.5f}, {10.5f, 20.5f}};
    canvas.painter->fillPolygon(square, true);
    EXPECT_EQ(std::tuple(canvas.at(15, 10), canvas.at(15, 9), canvas.at(15, 20)),
              std::tuple(white, background, background));
    EXPECT_NE(canvas.at(10, 15), white);
    EXPECT_NE(canvas.at(10, 15), background);
    EXPECT_EQ(canvas.painter->getAlpha(), 255);
    EXPECT_FALSE(canvas.painter->isPolygonActive());
}

TEST(PolygonMask, CoverageOfSteepAndShallowEdges) {
    struct Case {
        const char* name;
        std::vector<PointF> shape;
        int x, y, coverage;
    };
    const std::vector<PointF> square = {{10.5f, 10.5f}, {20.5f, 10.5f}, {20.5f, 20.5f}, {10.5f, 20.5f}};
    // Both sides slope by 2.5 columns a line.
    const std::vector<PointF> slanted = {{10.0f, 4.5f}, {40.0f, 4.5f}, {50.0f, 8.5f}, {20.0f, 8.5f}};
    const Case cases[] = {
        {"square inside", square, 15, 15, 255},
        {"square left side", square, 10, 15, 127},
        {"square right side", square, 20, 15, 127},
        {"square outside", square, 21, 15, 0},
        {"shallow left, first column", slanted, 10, 4, 85},
        {"shallow left, second column", slanted, 11, 4, 170},
        {"shallow left, covered below", slanted, 12, 4, 255},
        {"shallow right, outermost column", slanted, 40, 4, 85},
        {"shallow right, next column", slanted, 39, 4, 170},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(64, 32);
        PolygonMask mask(*canvas.painter);
        mask.rasterize(c.shape);
        EXPECT_EQ(mask.coverageAt(c.x, c.y), c.coverage);
    }
}

TEST(PolygonMask, SolidSpanCoversEveryColumnItTouches) {
    Canvas canvas(32, 8);
    const PointF shape[] = {{10.2f, 2.0f}, {20.7f, 2.0f}, {20.7f, 6.0f}, {10.2f, 6.0f}};
    canvas.painter->fillPolygon(shape, false);
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(canvas.at(x, 3), x >= 9 && x <= 21 ? white : background) << x;
    }
}

TEST(PolygonMask, ShapesAboveOrAcrossTheEdgesStayInsideTheirRows) {
    struct Case {
        const char* name;
        std::vector<PointF> shape;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"wholly above", {{2.0f, -9.0f}, {12.0f, -9.0f}, {12.0f, 0.4f}, {2.0f, 0.4f}}, {}},
        {"across the right edge",
         {{8.0f, 4.5f}, {30.0f, 4.5f}, {40.0f, 8.5f}, {12.0f, 8.5f}},
         rowRange(4, 7)},
        {"steep across the right edge",
         {{9.5f, 2.5f}, {40.0f, 2.5f}, {40.0f, 5.5f}, {9.5f, 5.5f}},
         rowRange(2, 4)},
        {"across the bottom edge",
         {{4.0f, 10.5f}, {12.0f, 10.5f}, {12.0f, 30.0f}, {4.0f, 30.0f}},
         rowRange(10, 15)},
        {"shallow off the right edge", {{2.0f, 12.5f}, {14.0f, 12.5f}, {60.0f, 20.0f}}, rowRange(12, 13)},
    };
    for (const Case& c : cases) {
        for (const bool smooth : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (smooth ? " smooth" : " solid"));
            Canvas canvas(16, 16);
            canvas.painter->fillPolygon(c.shape, smooth);
            EXPECT_EQ(canvas.touchedRows(), c.rows);
            for (int y = 0; y < 16; ++y) {
                EXPECT_EQ(canvas.at(0, y), background) << y;
            }
        }
    }
}

TEST(PolygonMask, LaneModeScalesTheValueByCoverage) {
    Canvas canvas(32, 8, 0x00112233);
    // A vertical left side at 10.496 leaves coverage 128 in column 10.
    const PointF shape[] = {{10.496f, 2.0f}, {20.5f, 2.0f}, {20.5f, 6.0f}, {10.496f, 6.0f}};
    PolygonMask mask(*canvas.painter);
    mask.setLaneMode(0, 200);
    mask.rasterize(shape);
    ASSERT_EQ(mask.coverageAt(10, 3), 128);
    EXPECT_EQ(canvas.at(10, 3), 0x64112233u);
    EXPECT_EQ(canvas.at(15, 3), 0xC8112233u);
    EXPECT_EQ(canvas.at(15, 7), 0x00112233u);
    EXPECT_TRUE(canvas.image->isModified());

    canvas.painter->fillPolygonLane(2, 0x99, shape, false);
    EXPECT_EQ(canvas.at(15, 3), 0xC8119933u);
}
