// What a blend by the source's own alpha may leave out: the clear margins of a sprite. The bounds of an
// image's visible pixels, and the painters' blits cut to them drawing exactly what the loops draw over the
// whole rectangle, at both depths, at full and partial alpha.
#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/PixelLoops565.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <random>

using namespace graphics;
using kernel::Rect;
using kernel::SmartPtr;
using testsupport::filled16;
using testsupport::filled32;
using testsupport::words;

namespace {

// Random colours and alphas inside clear margins of the given widths; a third of the inner pixels opaque,
// so the loops' pair and group shortcuts all take part.
SmartPtr<MemoryImage32> sprite(int width, int height, int left, int top, int right, int bottom,
                               std::mt19937& random) {
    SmartPtr<MemoryImage32> image = filled32(width, height, 0x00FFFFFFu);
    for (int y = top; y < height - bottom; ++y) {
        for (int x = left; x < width - right; ++x) {
            const std::uint32_t colour = random() & 0x00FFFFFFu;
            const std::uint32_t alpha = random() % 3 == 0 ? 255u : random() % 256;
            image->pixels32()[image->pixelIndex(x, y)] = alpha << 24 | colour;
        }
    }
    image->setAlphaMode(true);
    image->setModified(true);
    return image;
}

SmartPtr<MemoryImage32> noise32(int width, int height, std::mt19937& random) {
    SmartPtr<MemoryImage32> image = filled32(width, height, 0);
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = random();
    }
    return image;
}

SmartPtr<MemoryImage> noise16(int width, int height, std::mt19937& random) {
    SmartPtr<MemoryImage> image = filled16(width, height, 0);
    for (int i = 0; i < width * height; ++i) {
        image->pixels16()[i] = static_cast<std::uint16_t>(random());
    }
    return image;
}

} // namespace

TEST(AlphaBounds, HoldEveryVisiblePixelAndFollowTheContent) {
    SmartPtr<MemoryImage32> image = filled32(9, 7, 0x00FF00FFu);
    EXPECT_TRUE(image->alphaBounds().isEmpty());

    image->pixels32()[image->pixelIndex(2, 5)] = 0x01000000u;
    image->pixels32()[image->pixelIndex(6, 1)] = 0xFF000000u;
    image->setModified(true);
    EXPECT_EQ(image->alphaBounds(), Rect(2, 1, 5, 5));

    // Worked out again only after a change the image knows of.
    image->pixels32()[image->pixelIndex(8, 6)] = 0x80000000u;
    EXPECT_EQ(image->alphaBounds(), Rect(2, 1, 5, 5));
    image->setModified(true);
    EXPECT_EQ(image->alphaBounds(), Rect(2, 1, 7, 6));

    // A 16-bit image has no alpha byte in its pixels: all of it counts.
    EXPECT_EQ(filled16(4, 3, 0)->alphaBounds(), Rect(0, 0, 4, 3));
}

// Margins of 0 to 5 pixels put the cut at every offset within a group of four; odd and even widths, blits
// clipped by the target's edges and by a clip rectangle, frames taken out of a taller picture.
TEST(AlphaBounds, BlitsCutToTheVisiblePixelsDrawWhatTheWholeBlitDraws) {
    std::mt19937 random(29);
    struct Place {
        int dx, dy;
        Rect source;
        Rect clip;
    };
    const Place places[] = {
        {3, 2, Rect(0, 0, 23, 40), Rect(0, 0, 64, 48)},   {-5, -3, Rect(0, 0, 23, 40), Rect(0, 0, 64, 48)},
        {50, 20, Rect(0, 0, 23, 40), Rect(0, 0, 64, 48)}, {7, 5, Rect(0, 20, 23, 20), Rect(0, 0, 64, 48)},
        {4, 4, Rect(3, 1, 17, 30), Rect(9, 6, 13, 31)},
    };
    int checked = 0;
    for (int left = 0; left <= 5; ++left) {
        for (int right = 0; right <= 5; right += 1) {
            const SmartPtr<MemoryImage32> source =
                sprite(23, 40, left, 1 + right % 3, right, left % 4, random);
            for (const Place& place : places) {
                for (const int alpha : {255, 200}) {
                    SCOPED_TRACE(testing::Message() << "margins " << left << "," << right << " at "
                                                    << place.dx << "," << place.dy << " alpha " << alpha);
                    const Rect& s = place.source;
                    // The whole rectangle, placed and clipped as the painter places it, drawn by the loops.
                    int dx = place.dx, dy = place.dy, sx = s.x, sy = s.y, sw = s.w, sh = s.h;
                    const int x0 = std::max({dx, place.clip.x, 0});
                    const int y0 = std::max({dy, place.clip.y, 0});
                    const int x1 = std::min({dx + sw, place.clip.right(), 64});
                    const int y1 = std::min({dy + sh, place.clip.bottom(), 48});
                    sx += x0 - dx;
                    sy += y0 - dy;
                    sw = x1 - x0;
                    sh = y1 - y0;

                    const SmartPtr<MemoryImage32> background32 = noise32(64, 48, random);
                    SmartPtr<MemoryImage32> cut32 = createImage32From(*background32);
                    SmartPtr<MemoryImage32> whole32 = createImage32From(*background32);
                    const SmartPtr<ImagePainter> painter32 = cut32->createPainter();
                    painter32->setClip(place.clip);
                    painter32->setAlpha(alpha);
                    painter32->blit(*source, place.dx, place.dy, s);
                    BlitAlphaUniform32(*whole32, x0, y0, *source, sx, sy, sw, sh, alpha);
                    EXPECT_EQ(words(*cut32), words(*whole32));

                    const SmartPtr<MemoryImage> background16 = noise16(64, 48, random);
                    SmartPtr<MemoryImage> cut16 = createImage16(64, 48);
                    SmartPtr<MemoryImage> whole16 = createImage16(64, 48);
                    std::copy_n(background16->pixels16(), 64 * 48, cut16->pixels16());
                    std::copy_n(background16->pixels16(), 64 * 48, whole16->pixels16());
                    const SmartPtr<ImagePainter> painter16 = cut16->createPainter();
                    painter16->setClip(place.clip);
                    painter16->setAlpha(alpha);
                    painter16->blit(*source, place.dx, place.dy, s);
                    const SmartPtr<MemoryImage> twin = createImage16From(*source);
                    if (alpha == 255) {
                        Blit565Alpha(*whole16, x0, y0, *twin, sx, sy, sw, sh);
                    } else {
                        Blit565AlphaBlend(*whole16, x0, y0, *twin, sx, sy, sw, sh, alpha);
                    }
                    EXPECT_EQ(words(*cut16), words(*whole16));
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 6 * 6 * 5 * 2);
}

// Nothing visible to draw: the target is not even locked, so its content version stays; a clear margin
// that the clip leaves alone draws nothing either.
TEST(AlphaBounds, AClearSourceLeavesTheTargetAsItIs) {
    SmartPtr<MemoryImage32> clear = filled32(8, 8, 0x00FFFFFFu);
    clear->setAlphaMode(true);
    std::mt19937 random(3);
    SmartPtr<MemoryImage32> edged = sprite(8, 8, 0, 0, 4, 0, random);
    for (SmartPtr<ImageBase> target :
         {SmartPtr<ImageBase>(filled32(8, 8, 0xFF102030u)), SmartPtr<ImageBase>(filled16(8, 8, 0x1234))}) {
        const SmartPtr<ImagePainter> painter = target->createPainter();
        const std::uint64_t version = target->getContentVersion();
        painter->blit(*clear, 0, 0);
        painter->setClip(Rect(4, 0, 4, 8));
        painter->blit(*edged, 0, 0);
        EXPECT_EQ(target->getContentVersion(), version);
        painter->resetClip();
        painter->blit(*edged, 0, 0);
        EXPECT_NE(target->getContentVersion(), version);
    }
}
