#include "engine/graphics/ClipBlit.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32Painter.h"
#include "engine/graphics/MemoryImagePainter.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

using namespace graphics;
using kernel::Color;
using kernel::Rect;
using kernel::SmartPtr;

namespace {

// Only the generic ARGB8888 operations of the base: the forms the depth painters leave abstract do nothing.
class GenericPainter : public ImagePainter {
public:
    using ImagePainter::ImagePainter;
    void copyLane(ImageBase&, int, int, int, int, int, int, int) override {}
    void copyChannelToLane(ChannelBuffer&, int, int, int, int, int, int, int) override {}
    void minLane(ImageBase&, int, int, int, int, int, int, int) override {}
    void maxLane(ImageBase&, int, int, int, int, int, int, int) override {}
    void prepareSource(ImageBase&) override {}
};

SmartPtr<ImagePainter> createGenericPainter(ImageBase& target) {
    return new GenericPainter(target);
}

using testsupport::count;
using testsupport::filled16;
using testsupport::filled32;
using testsupport::words;

std::uint32_t pixel(const MemoryImage32& image, int x, int y) {
    return image.pixels32()[y * image.getWidth() + x];
}

std::uint16_t pixel(const MemoryImage& image, int x, int y) {
    return image.pixels16()[y * image.getWidth() + x];
}

SmartPtr<ImagePainter> painterOn(ImageBase& image) {
    return image.createPainter();
}

} // namespace

TEST(Geometry, RoundingGoesToTheNearestIntegerWithHalvesToEven) {
    const std::array<std::pair<float, int>, 7> rounded = {
        {{0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-0.5f, 0}, {-1.5f, -2}, {2.4f, 2}, {-2.6f, -3}}};
    for (const auto& [value, expected] : rounded) {
        EXPECT_EQ(roundToInt(value), expected) << value;
        EXPECT_EQ(PointF(value, value).getRoundedY(), expected) << value;
    }
    EXPECT_EQ(ceilToInt(2.1f), 3);
    EXPECT_EQ(ceilToInt(-2.9f), -2);
}

TEST(ClipBlit, FitsTheBlitIntoSourceTargetAndClip) {
    struct Case {
        const char* name;
        Rect clip;
        int dx, dy, sx, sy, sw, sh;
        bool nothing;
        int wantDx, wantDy, wantSx, wantSy, wantSw, wantSh;
    };
    // Target 10 x 8, source 8 x 6.
    const Case cases[] = {
        {"inside", {0, 0, 10, 8}, 1, 1, 0, 0, 8, 6, false, 1, 1, 0, 0, 8, 6},
        {"negative sx starts further right", {0, 0, 10, 8}, 2, 0, -5, 0, 8, 6, false, 7, 0, 0, 0, 3, 6},
        {"negative dy clips from the top", {0, 0, 10, 8}, 0, -3, 0, 0, 8, 6, false, 0, 0, 0, 3, 8, 3},
        {"negative dx clips from the left", {0, 0, 10, 8}, -2, 0, 0, 0, 8, 6, false, 0, 0, 2, 0, 6, 6},
        {"right edge", {0, 0, 10, 8}, 7, 0, 0, 0, 8, 6, false, 7, 0, 0, 0, 3, 6},
        {"bottom edge", {0, 0, 10, 8}, 0, 5, 0, 0, 8, 6, false, 0, 5, 0, 0, 8, 3},
        {"source rectangle beyond the source", {0, 0, 10, 8}, 0, 0, 6, 4, 5, 5, false, 0, 0, 6, 4, 2, 2},
        {"clip rectangle", {2, 3, 4, 2}, 0, 0, 0, 0, 8, 6, false, 2, 3, 2, 3, 4, 2},
        {"dx at the target width", {0, 0, 10, 8}, 10, 0, 0, 0, 8, 6, true, 0, 0, 0, 0, 0, 0},
        {"dy at the target height", {0, 0, 10, 8}, 0, 8, 0, 0, 8, 6, true, 0, 0, 0, 0, 0, 0},
        {"clipped width 0", {0, 0, 10, 8}, -4, 0, 0, 0, 4, 6, true, 0, 0, 0, 0, 0, 0},
        {"sx at the source width", {0, 0, 10, 8}, 0, 0, 8, 0, 2, 6, true, 0, 0, 0, 0, 0, 0},
        {"left of the clip", {5, 0, 5, 8}, 0, 0, 0, 0, 4, 6, true, 0, 0, 0, 0, 0, 0},
    };
    SmartPtr<MemoryImage32> target = filled32(10, 8, 0);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        painter->setClip(c.clip);
        int dx = c.dx, dy = c.dy, sx = c.sx, sy = c.sy, sw = c.sw, sh = c.sh;
        ASSERT_EQ(ClipBlit(dx, dy, *painter, 8, 6, sx, sy, sw, sh), c.nothing);
        if (!c.nothing) {
            EXPECT_EQ((std::array{dx, dy, sx, sy, sw, sh}),
                      (std::array{c.wantDx, c.wantDy, c.wantSx, c.wantSy, c.wantSw, c.wantSh}));
        }
    }
}

// Source 0x40FF0000 (red, alpha 64) over one opaque blue pixel: each loop leaves its own trace.
TEST(Painter, AlphaAndTheSourceFlagChooseTheLoop) {
    struct Case {
        int alpha;
        bool alphaMode;
        std::uint32_t generic;
        std::uint32_t painter32;
        std::uint16_t painter16;
    };
    const Case cases[] = {
        {0, false, 0xFF0000FF, 0xFF0000FF, 0x001F},   {0, true, 0xFF0000FF, 0xFF0000FF, 0x001F},
        {255, false, 0x40FF0000, 0xFFFF0000, 0xF800}, {255, true, 0xFF3F00BF, 0xFF3E00C0, 0x3817},
        {128, false, 0xFF7F007F, 0x9F7F007F, 0x780F}, {128, true, 0xFF1F00DF, 0xFF1F00DF, 0x181B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alpha " << c.alpha << " flag " << c.alphaMode);
        SmartPtr<MemoryImage32> source = filled32(1, 1, 0x40FF0000);
        source->setAlphaMode(c.alphaMode);

        SmartPtr<MemoryImage32> generic = filled32(1, 1, 0xFF0000FF), target32 = filled32(1, 1, 0xFF0000FF);
        SmartPtr<MemoryImage> target16 = filled16(1, 1, 0x001F);
        for (SmartPtr<ImagePainter> painter :
             {createGenericPainter(*generic), painterOn(*target32), painterOn(*target16)}) {
            painter->setAlpha(c.alpha);
            painter->blit(*source, 0, 0);
        }
        EXPECT_EQ(std::tuple(pixel(*generic, 0, 0), pixel(*target32, 0, 0), pixel(*target16, 0, 0)),
                  std::tuple(c.generic, c.painter32, c.painter16));
    }
}

TEST(Painter, SixteenBitTwinIsConvertedOnceAndAgainOnlyWhenModified) {
    SmartPtr<MemoryImage32> source = filled32(2, 2, 0xFFFF0000);
    SmartPtr<MemoryImage> target = filled16(2, 2, 0);
    SmartPtr<ImagePainter> painter = painterOn(*target);

    painter->blit(*source, 0, 0);
    ImageBase* const twin = source->getTwin();
    ASSERT_NE(twin, source.get());
    EXPECT_EQ(pixel(*target, 1, 1), 0xF800);

    // Unmarked changes stay unseen: the second draw reads the cached twin.
    std::fill_n(source->pixels32(), 4, 0xFF00FF00);
    painter->blit(*source, 0, 0);
    EXPECT_EQ(source->getTwin(), twin);
    EXPECT_EQ(pixel(*target, 1, 1), 0xF800);

    source->setModified(true);
    painter->blit(*source, 0, 0);
    EXPECT_EQ(source->getTwin(), twin);
    EXPECT_FALSE(source->isModified());
    EXPECT_EQ(pixel(*target, 1, 1), 0x07E0);

    // A 16-bit source is its own twin and is read directly.
    SmartPtr<MemoryImage> direct = filled16(2, 2, 0x001F);
    painter->blit(*direct, 0, 0);
    EXPECT_EQ(direct->getTwin(), direct.get());
    EXPECT_EQ(pixel(*target, 0, 0), 0x001F);
}

// A tall strip's twin is converted a band of rows at a time as blits reach them: whatever rows are drawn,
// and whenever the strip changes, each draw shows the strip as it is now (as a twin made afresh shows it).
TEST(Painter, SixteenBitTwinsFollowTheirSourceBandByBand) {
    std::mt19937 random(11);
    SmartPtr<MemoryImage32> strip = filled32(6, 300, 0);
    strip->setAlphaMode(false);
    const auto paintRows = [&](int top, int bottom, std::uint32_t seed) {
        for (int y = top; y < bottom; ++y) {
            std::fill_n(strip->pixels32() + strip->pixelIndex(0, y), 6, seed * 0x9E3779B1u + y * 0x01030507u);
        }
        strip->setModified(true);
    };
    paintRows(0, 300, 1);
    SmartPtr<MemoryImage> target = filled16(6, 300, 0);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    for (int step = 0; step < 300; ++step) {
        if (step % 7 == 3) {
            const int top = static_cast<int>(random() % 300);
            paintRows(top, std::min(300, top + static_cast<int>(random() % 40)),
                      static_cast<std::uint32_t>(step));
        }
        const int top = static_cast<int>(random() % 300);
        const int rows = 1 + static_cast<int>(random() % 60);
        painter->blit(*strip, 0, top, 0, top, 6, rows);
        const SmartPtr<MemoryImage> fresh = createImage16From(*strip);
        for (int y = top; y < std::min(300, top + rows); ++y) {
            for (int x = 0; x < 6; ++x) {
                ASSERT_EQ(pixel(*target, x, y), pixel(*fresh, x, y))
                    << "step " << step << " at " << x << "," << y;
            }
        }
    }
    // A draw that reads the whole twin brings every band up to date.
    painter->copyPixels(*strip, 0, 0, 0, 0, 6, 300);
    EXPECT_EQ(words(*target), words(*SmartPtr<MemoryImage>(createImage16From(*strip))));
}

// A picture left unchanged keeps its content version, which is how a frame at rest is known: reading a
// source must not count as writing it.
TEST(Painter, DrawingChangesTheTargetsContentVersionButNotThoseOfItsSources) {
    const std::pair<const char*, std::function<void(ImagePainter&, ImageBase&, ChannelBuffer&)>> requests[] =
        {
            {"blit", [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.blit(s, 1, 1); }},
            {"scaled",
             [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.drawScaled(s, 0, 0, 8, 8, 0, 0, 5, 6); }},
            {"scaled smooth", [](ImagePainter& p, ImageBase& s,
                                 ChannelBuffer&) { p.drawScaledSmooth(s, 0, 0, 8, 8, 0, 0, 5, 6); }},
            {"turned",
             [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.drawRotated(s, 0.3, 1.0, 2, 2, 4, 4); }},
            {"turned smooth", [](ImagePainter& p, ImageBase& s,
                                 ChannelBuffer&) { p.drawRotatedSmooth(s, 0.3, 1.0, 2, 2, 4, 4); }},
            {"copy",
             [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.copyPixels(s, 0, 0, 0, 0, 8, 8); }},
            {"lane", [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.copyLane(s, 1, 0, 0); }},
            {"lane minimum", [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.minLane(s, 2, 0, 0); }},
            {"lane maximum", [](ImagePainter& p, ImageBase& s, ChannelBuffer&) { p.maxLane(s, 3, 0, 0); }},
            {"through a channel",
             [](ImagePainter& p, ImageBase&, ChannelBuffer& c) { p.fillThroughChannel(c, 0, 0); }},
            {"channel to lane",
             [](ImagePainter& p, ImageBase&, ChannelBuffer& c) { p.copyChannelToLane(c, 0, 0, 0); }},
        };
    SmartPtr<MemoryImage32> source = filled32(8, 8, 0x80FF4020);
    SmartPtr<ChannelBuffer> channel = createImageChannel(*source, 0);
    for (SmartPtr<ImageBase> target :
         {SmartPtr<ImageBase>(filled32(8, 8, 0)), SmartPtr<ImageBase>(filled16(8, 8, 0))}) {
        SmartPtr<ImagePainter> painter = painterOn(*target);
        for (const auto& [name, request] : requests) {
            SCOPED_TRACE(name);
            const std::uint64_t sourceVersion = source->getContentVersion();
            const std::uint64_t channelVersion = channel->getContentVersion();
            const std::uint64_t targetVersion = target->getContentVersion();
            request(*painter, *source, *channel);
            EXPECT_EQ(source->getContentVersion(), sourceVersion);
            EXPECT_EQ(channel->getContentVersion(), channelVersion);
            // The 16-bit painter leaves some of these out (lane bounds, smooth scaling).
            if (target->getPixelFormat()->bytesPerPixel == 4) {
                EXPECT_NE(target->getContentVersion(), targetVersion);
            }
        }
    }
}

TEST(Painter, RectangleOfOneWritesThePixelTwiceThroughTopAndBottom) {
    SmartPtr<MemoryImage32> target = filled32(4, 4, 0xFF0000FF);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    painter->setColor(Color(0xFFFF0000));
    painter->setAlpha(128);
    painter->drawRect(1, 1, 1, 1);
    // One blend at 128 gives 0xFF7F007F; the second one over it gives this.
    EXPECT_EQ(pixel(*target, 1, 1), 0xFFBF003Fu);
    EXPECT_EQ(count(*target, 0xFF0000FF), 15);
}

TEST(Painter, AlphaIsClampedAndZeroDrawsNothing) {
    const std::pair<int, int> clamps[] = {{300, 255}, {255, 255}, {1, 1}, {0, 0}, {-4, 0}};
    SmartPtr<MemoryImage32> target = filled32(4, 4, 0xFF000000);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    for (const auto& [given, stored] : clamps) {
        painter->setAlpha(given);
        EXPECT_EQ(painter->getAlpha(), stored) << given;
    }
    painter->setColor(Color(0xFFFFFFFF));
    painter->setAlpha(-4);
    painter->putPixel(1, 1);
    painter->drawLine(0, 0, 3, 3);
    painter->drawSmoothLine(1.0f, 1.0f, 3.0f, 2.5f);
    painter->fillRect(0, 0, 4, 4);
    painter->clear();
    EXPECT_EQ(count(*target, 0xFF000000), 16);
}

TEST(Painter, PixelsAndLinesWithAnEndOutsideTheClipAreDroppedWhole) {
    const std::function<void(ImagePainter&)> requests[] = {
        [](ImagePainter& p) { p.drawLine(3, 3, 8, 3); },
        [](ImagePainter& p) { p.drawLine(1, 3, 4, 3); },
        [](ImagePainter& p) { p.drawLaneLine(1, 0x55, 3, 3, 3, 9); },
        [](ImagePainter& p) { p.drawSmoothLine(3.0f, 3.0f, 9.0f, 5.0f); },
        [](ImagePainter& p) { p.putPixel(8, 8); },
        [](ImagePainter& p) { p.setLane(0, 0x55, 1, 1); },
        [](ImagePainter& p) { p.drawSpan(3, 9, 3); },
        [](ImagePainter& p) { p.drawLine(3, 3, 7, 3); },
    };
    // The last one lies inside and draws its 5 pixels.
    for (std::size_t i = 0; i < std::size(requests); ++i) {
        SCOPED_TRACE(i);
        SmartPtr<MemoryImage32> target = filled32(10, 10, 0xFF000000);
        SmartPtr<ImagePainter> painter = painterOn(*target);
        painter->setColor(Color(0xFFFFFFFF));
        painter->setClip(2, 2, 6, 6);
        requests[i](*painter);
        EXPECT_EQ(count(*target, 0xFFFFFFFF), i + 1 == std::size(requests) ? 5 : 0);
    }
}

TEST(Painter, OriginMovesDestinationsButNeitherSourcesNorTheClip) {
    SmartPtr<MemoryImage32> source = filled32(3, 1, 0xFF000000);
    source->pixels32()[1] = 0xFF445566;
    SmartPtr<MemoryImage32> target = filled32(8, 8, 0xFF000000);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    painter->setOrigin(3, 2);
    painter->blit(*source, 0, 0, 1, 0, 1, 1);
    EXPECT_EQ(pixel(*target, 3, 2), 0xFF445566u);

    painter->setColor(Color(0xFFFFFFFF));
    painter->moveOrigin(1, 1);
    painter->putPixel(0, 0);
    EXPECT_EQ(pixel(*target, 4, 3), 0xFFFFFFFFu);

    painter->setClip(0, 0, 2, 2);
    painter->putPixel(0, 0);
    painter->fillRect(0, 0, 8, 8);
    EXPECT_EQ(count(*target, 0xFFFFFFFF), 1);
    EXPECT_EQ(painter->getClip(), Rect(0, 0, 2, 2));
}

TEST(Painter, ScaledDrawsWithoutDestinationAreaDrawNothing) {
    SmartPtr<MemoryImage32> source = filled32(4, 4, 0xFFFFFFFF);
    const Rect destinations[] = {{0, 0, 0, 4}, {0, 0, 4, 0}, {2, 2, -3, 4}, {2, 2, 4, -1}, {-9, 0, 4, 4}};
    for (const Rect& d : destinations) {
        SmartPtr<MemoryImage32> target32 = filled32(8, 8, 0xFF000000);
        SmartPtr<MemoryImage> target16 = filled16(8, 8, 0);
        for (ImageBase* target :
             {static_cast<ImageBase*>(target32.get()), static_cast<ImageBase*>(target16.get())}) {
            SmartPtr<ImagePainter> painter = painterOn(*target);
            painter->drawScaled(*source, 0, 0, 4, 4, d.x, d.y, d.w, d.h);
            painter->drawScaledSmooth(*source, 0, 0, 4, 4, d.x, d.y, d.w, d.h);
        }
        EXPECT_EQ(count(*target32, 0xFF000000), 64);
        EXPECT_EQ(count(*target16, 0), 64);
    }
    // Starting above the top edge is drawn clipped.
    SmartPtr<MemoryImage32> target = filled32(8, 8, 0xFF000000);
    painterOn(*target)->drawScaled(*source, 0, 0, 4, 4, 0, -4, 8, 8);
    EXPECT_EQ(count(*target, 0xFFFFFFFF), 32);
}

TEST(Painter, UnturnedRotationDrawsLikeABlitAndAVanishingScaleDrawsNothing) {
    SmartPtr<MemoryImage32> source = filled32(2, 2, 0xFFFFFFFF);
    for (const double scale : {1.0, 0.0, 0.00005, -0.00005}) {
        SCOPED_TRACE(scale);
        const int expected = scale == 1.0 ? 4 : 0;
        SmartPtr<MemoryImage32> target32 = filled32(8, 8, 0xFF000000);
        SmartPtr<MemoryImage> target16 = filled16(8, 8, 0);
        SmartPtr<ImagePainter> painter32 = painterOn(*target32), painter16 = painterOn(*target16);
        painter32->setOrigin(2, 3);
        painter16->setOrigin(2, 3);
        painter32->drawRotated(*source, 0.0, scale, 1, 1, 1, 1);
        painter16->drawRotatedSmooth(*source, 0.0, scale, 1, 1, 1, 1);
        EXPECT_EQ(count(*target32, 0xFFFFFFFF), expected);
        EXPECT_EQ(pixel(*target32, 3, 4), expected ? 0xFFFFFFFFu : 0xFF000000u);
        EXPECT_EQ(count(*target16, 0xFFFF), expected);
    }
}

TEST(Painter, SmoothPolylineSendsRepeatedPointsToThePlainLine) {
    SmartPtr<MemoryImage32> target = filled32(8, 8, 0xFF000000);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    painter->setColor(Color(0xFFFFFFFF));
    const PointF points[] = {{5.0f, 5.0f}, {5.0f, 5.0f}};
    painter->drawPolyline(points, true);
    EXPECT_EQ(pixel(*target, 5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(count(*target, 0xFFFFFFFF), 1);
}

TEST(Painter, SixteenBitChannelToLaneIsClippedToTheChannel) {
    SmartPtr<ChannelBuffer> channel = createImageChannel(*filled32(3, 2, 0x77000000), 0);
    SmartPtr<MemoryImage> target = filled16(6, 4, 0);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    painter->copyChannelToLane(*channel, 0, 1, 1, -1, 0, 10, 10);
    // The 3 x 2 channel read from its column -1 at x = 1: only columns 2 to 4 of rows 1 and 2 are written.
    std::vector<std::uint8_t> expected(24, 0);
    for (const int at : {1 * 6 + 2, 1 * 6 + 3, 1 * 6 + 4, 2 * 6 + 2, 2 * 6 + 3, 2 * 6 + 4}) {
        expected[at] = 0x77;
    }
    EXPECT_EQ(testsupport::alphaPlane(*target), expected);
}

TEST(Painter, SixteenBitColourIsStoredPacked) {
    SmartPtr<MemoryImage> target = filled16(1, 1, 0);
    SmartPtr<ImagePainter> painter = painterOn(*target);
    painter->setColor(Color(0x80FF8040));
    EXPECT_EQ(painter->getColor().value, 0xFC08u);
    painter->putPixel(0, 0);
    EXPECT_EQ(pixel(*target, 0, 0), 0xFC08);
}
