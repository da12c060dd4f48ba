// How the recorder tells which requests' pixels depend on where their rows are cut, and how far an area
// grows so that drawing it again splits no pair.

#include "engine/ui/FrameRecorder.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/Color.h"

#include <gtest/gtest.h>

namespace {

using kernel::Rect;
using kernel::SmartPtr;
using Rows = ui::FrameRecorder::Rows;

SmartPtr<graphics::MemoryImage32> opaqueImage(int width, int height, bool ownAlpha) {
    SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(width, height);
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 40503);
    }
    image->setAlphaMode(ownAlpha);
    return image;
}

class FrameRecorderTest : public ::testing::Test {
protected:
    SmartPtr<graphics::MemoryImage32> target = graphics::createImage32(320, 240);
    SmartPtr<graphics::ImagePainter> painter = target->createPainter();
    SmartPtr<ui::FrameRecorder> recorder = new ui::FrameRecorder(*painter);
    SmartPtr<graphics::MemoryImage32> plain = opaqueImage(60, 30, false);
    SmartPtr<graphics::MemoryImage32> withAlpha = opaqueImage(60, 30, true);
};

TEST_F(FrameRecorderTest, BlitsPairTheirRowsUnderFullAlphaWithTheirOwnAndUnderPartialAlphaWithout) {
    recorder->begin();
    recorder->setOrigin(3, 2);
    recorder->blit(*plain, 10, 10);
    recorder->blit(*withAlpha, 10, 40);
    recorder->setAlpha(200);
    recorder->blit(*plain, 10, 70);
    recorder->blit(*withAlpha, 10, 100);
    recorder->setAlpha(255);
    // Reaching past the picture's edge; clipped on the left; a fill; text, which the recorder does not know.
    recorder->blit(*withAlpha, 10, 130, -2, 0, 62, 30);
    recorder->setClip(Rect(20, 0, 300, 240));
    recorder->blit(*withAlpha, 10, 160);
    recorder->fillRect(0, 0, 5, 5);
    recorder->drawText(u"text", 0, 0);
    const Rows expected[] = {Rows::Any,     Rows::Paired, Rows::Paired, Rows::Any,
                             Rows::Unknown, Rows::Paired, Rows::Any,    Rows::Unknown};
    ASSERT_EQ(recorder->getRecording().steps.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(recorder->rowsOf(i).rows, expected[i]) << "request " << i;
    }
    EXPECT_EQ(recorder->rowsOf(1).start, 13);
    // The clip starts the rows.
    EXPECT_EQ(recorder->rowsOf(5).start, 20);
    recorder->begin();
    EXPECT_EQ(recorder->rowsOf(0).rows, Rows::Unknown);
}

// A side that would split a pair moves out by a pixel, unless it cuts other rows evenly, where the area
// takes in the odd rows whole; rows blended by the painter's alpha may be cut anywhere.
TEST_F(FrameRecorderTest, AnAreaGrowsUntilItsSidesSplitNoPair) {
    recorder->begin();
    recorder->blit(*withAlpha, 11, 20);
    recorder->blit(*withAlpha, 90, 20);
    recorder->blit(*withAlpha, 101, 40);
    // Rows below the area do not count.
    recorder->blit(*withAlpha, 100, 100);
    EXPECT_EQ(recorder->withWholePairs(Rect(40, 20, 80, 50)), Rect(39, 20, 122, 50));
    EXPECT_EQ(recorder->withWholePairs(Rect(41, 20, 79, 50)), Rect(41, 20, 120, 50));
    recorder->begin();
    recorder->setAlpha(128);
    recorder->blit(*withAlpha, 11, 20);
    EXPECT_EQ(recorder->withWholePairs(Rect(40, 20, 80, 50)), Rect(40, 20, 80, 50));
    EXPECT_TRUE(recorder->withWholePairs(Rect()).isEmpty());
}

// The scene renderer's promise at both depths: a frame drawn again only within the widened area over the
// frame before gives the pixels of the frame drawn whole. Pictures by their own alpha, opaque but for a few
// clear pixels, stand at every column parity; the 16-bit loops copy an opaque four where they blend the
// opaque pixels of a mixed four, so there the area grows to whole fours.
TEST(FrameRecorderDepths, AFrameDrawnAgainWithinTheWidenedAreaIsTheWholeFrame) {
    SmartPtr<graphics::MemoryImage32> sprite = opaqueImage(23, 12, true);
    for (int i = 0; i < 23 * 12; i += 7) {
        sprite->pixels32()[i] &= 0x00FFFFFFu;
    }
    const auto makeTarget = [](bool sixteen) -> SmartPtr<graphics::ImageBase> {
        if (sixteen) {
            return graphics::createImage16(160, 60);
        }
        return graphics::createImage32(160, 60);
    };
    const auto draw = [&](graphics::ImagePainter& painter, int shift) {
        painter.setColor(kernel::Color(0xFF336699u));
        painter.fillRect(0, 0, 160, 60);
        for (int i = 0; i < 6; ++i) {
            painter.blit(*sprite, 3 + i * 25 + (i == 2 ? shift : 0), 5 + i * 7);
        }
    };
    const auto pixelsOf = [](graphics::ImageBase& image) {
        image.lockForReading();
        const auto* bytes = static_cast<const std::uint8_t*>(image.getPixels());
        std::vector<std::uint8_t> copy(bytes, bytes + image.pixelIndex(0, image.getHeight()) *
                                                          image.getPixelFormat()->bytesPerPixel);
        image.unlock();
        return copy;
    };
    for (const bool sixteen : {false, true}) {
        SCOPED_TRACE(sixteen ? "16 bits" : "32 bits");
        SmartPtr<graphics::ImageBase> before = makeTarget(sixteen);
        SmartPtr<graphics::ImageBase> whole = makeTarget(sixteen);
        SmartPtr<graphics::ImagePainter> beforePainter = before->createPainter();
        SmartPtr<graphics::ImagePainter> wholePainter = whole->createPainter();
        SmartPtr<ui::FrameRecorder> recorder = new ui::FrameRecorder(*beforePainter);
        draw(*beforePainter, 0);
        draw(*wholePainter, 1);
        // The third picture moved a pixel: the area that changed cuts the pictures beside it.
        recorder->begin();
        draw(*recorder, 1);
        const Rect area = recorder->withWholePairs(Rect(53, 0, 26, 60));
        recorder->beginForwarding(area);
        draw(*recorder, 1);
        EXPECT_TRUE(pixelsOf(*before) == pixelsOf(*whole)) << "area " << area.x << " + " << area.w;
    }
}

TEST_F(FrameRecorderTest, SixteenBitRowsGoInFoursAndOnlyForAPictureByItsOwnAlphaUnderFullAlpha) {
    SmartPtr<graphics::ImageBase> screen = graphics::createImage16(320, 240);
    SmartPtr<graphics::ImagePainter> screenPainter = screen->createPainter();
    SmartPtr<ui::FrameRecorder> sixteen = new ui::FrameRecorder(*screenPainter);
    sixteen->begin();
    sixteen->blit(*plain, 10, 10);
    sixteen->blit(*withAlpha, 10, 40);
    sixteen->setAlpha(200);
    sixteen->blit(*plain, 10, 70);
    sixteen->blit(*withAlpha, 10, 100);
    sixteen->fillRect(0, 0, 5, 5);
    const Rows expected[] = {Rows::Any, Rows::Paired, Rows::Any, Rows::Any, Rows::Any};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(sixteen->rowsOf(i).rows, expected[i]) << "request " << i;
    }
    EXPECT_EQ(sixteen->rowsOf(1).group, 4);
    // Cut one, two or three pixels into a four, a side moves out to the four's edge.
    EXPECT_EQ(sixteen->withWholePairs(Rect(13, 40, 20, 10)), Rect(10, 40, 24, 10));
    EXPECT_EQ(sixteen->withWholePairs(Rect(14, 40, 20, 10)), Rect(14, 40, 20, 10));
}

// A picture drawn on in part and telling so (a dialog's buffer whose small button pulses) changes a blit of
// it only there, a few pixels wider for the loops that treat neighbouring pixels together; a change it does
// not tell, or a blit that differs otherwise too, changes the blit's whole area.
TEST_F(FrameRecorderTest, ABlitOfAPictureChangedInPartChangesOnlyThatPart) {
    SmartPtr<graphics::MemoryImage32> page = opaqueImage(100, 80, true);
    const auto record = [&](int x, graphics::RecordingPainter::Recording& into) {
        recorder->begin();
        recorder->setOrigin(3, 2);
        recorder->setClip(Rect(0, 0, 300, 75));
        recorder->blit(*page, x, 10);
        recorder->swapRecording(into);
    };
    const auto drawOn = [&](const Rect& part, bool tell) {
        const std::uint64_t from = page->getContentVersion();
        const SmartPtr<graphics::ImagePainter> pagePainter = page->createPainter();
        pagePainter->setColor(kernel::Color(0xFF20A040u));
        pagePainter->fillRect(part.x, part.y, part.w, part.h);
        page->setModified(true);
        if (tell) {
            page->notePartChanged(from, part);
        }
    };
    graphics::RecordingPainter::Recording before;
    graphics::RecordingPainter::Recording now;
    record(20, before);

    // The page lies at (23, 12) and is clipped at row 75.
    drawOn(Rect(50, 30, 10, 6), true);
    record(20, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), Rect(73 - 4, 42, 10 + 8, 6));
    // Two changes between frames join; one reaching past the clip is cut to it.
    recorder->swapRecording(before);
    drawOn(Rect(0, 0, 2, 2), true);
    drawOn(Rect(90, 70, 10, 10), true);
    record(20, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), Rect(23, 12, 100, 63));
    recorder->swapRecording(before);
    // Drawn again with nothing changed: nothing.
    record(20, now);
    recorder->swapRecording(now);
    EXPECT_TRUE(recorder->changedArea(before).isEmpty());
    recorder->swapRecording(before);

    // Untold, or told after an untold change: the whole blit. Moved as well: both places.
    const Rect whole(23, 12, 100, 63);
    drawOn(Rect(50, 30, 10, 6), false);
    record(20, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), whole);
    recorder->swapRecording(before);
    drawOn(Rect(50, 30, 10, 6), false);
    drawOn(Rect(50, 30, 10, 6), true);
    record(20, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), whole);
    recorder->swapRecording(before);
    drawOn(Rect(50, 30, 10, 6), true);
    record(21, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), Rect(23, 12, 101, 63));
    recorder->swapRecording(before);
    // Only the last few changes are kept: a frame that missed more of them draws the whole blit.
    for (int i = 0; i < 6; ++i) {
        drawOn(Rect(i, 0, 1, 1), true);
    }
    record(21, now);
    recorder->swapRecording(now);
    EXPECT_EQ(recorder->changedArea(before), Rect(24, 12, 100, 63));
}

} // namespace
