#include "GeneratedMedia.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <SDL.h>

#include <algorithm>

using kernel::SmartPtr;

namespace {

SmartPtr<graphics::MemoryImage32> png(const std::string& name) {
    SmartPtr<graphics::MemoryImage32> image = graphics::loadPngImage(mkmediatest::mediaFile(name));
    EXPECT_TRUE(image) << name;
    return image;
}

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return static_cast<int>(at(image, x, y) >> 24);
}

bool sameRect(const graphics::MemoryImage32& image, int x1, int y1, int x2, int y2, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(image, x1 + x, y1 + y) != at(image, x2 + x, y2 + y)) {
                return false;
            }
        }
    }
    return true;
}

TEST(ImageGenerationTest, PicturesDecodeAtTheirDeclaredSizes) {
    const struct {
        const char* file;
        int width;
        int height;
    } expected[] = {
        {"images/back.png", 320, 240},
        {"images/logo.png", 160 * 13, 140},
        {"images/bar.png", 200, 20},
        {"images/frame_t.png", 16, 24},
        {"images/frame_l.png", 24, 16},
        {"images/button.png", 120, 4 * 32},
        {"images/fsh_quit.png", 20, 80},
        {"images/panel.png", 100, 80},
        {"images/mystery.png", 40, 30},
        {"images/sparkle.png", 24 * 14, 24},
        {"images/particle.png", 16, 16},
        {"images/partystar.png", 64, 64},
        {"images/pibble_ears.png", 100, 3 * 125},
        {"images/round.png", 48, 4 * 48},
        {"images/floater.png", 120, 60},
        {"images/lock.png", 48, 48},
        {"images/timebar.png", 200, 10},
        {"images/bubble.png", 140, 100},
        {"images/book.png", 280, 210},
        {"images/ribbon.png", 18, 4 * 32},
        {"images/corner.png", 30, 30},
        {"images/check.png", 16, 16},
        {"images/photo.png", 75, 85},
        {"images/turn.png", 120, 4 * 85},
        {"images/collage.png", 100, 155},
        {"images/arrow.png", 40, 4 * 40},
    };
    for (const auto& picture : expected) {
        SmartPtr<graphics::MemoryImage32> image = png(picture.file);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->getWidth(), picture.width) << picture.file;
        EXPECT_EQ(image->getHeight(), picture.height) << picture.file;
    }
    SmartPtr<graphics::MemoryImage32> jpeg =
        graphics::loadJpegImage(mkmediatest::mediaFile("images/back.jpg"));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->getWidth(), 640);
    EXPECT_EQ(jpeg->getHeight(), 480);
}

// The entrance moves the pibble; the resting frame 12 and the frames before it differ.
TEST(ImageGenerationTest, LogoFramesAnimate) {
    SmartPtr<graphics::MemoryImage32> logo = png("images/logo.png");
    ASSERT_TRUE(logo);
    EXPECT_FALSE(sameRect(*logo, 0, 0, 12 * 160, 0, 160, 140));
    EXPECT_FALSE(sameRect(*logo, 11 * 160, 0, 12 * 160, 0, 160, 140));
    EXPECT_EQ(alphaAt(*logo, 12 * 160 + 80, 60), 255) << "the resting pibble stands in the middle";
    EXPECT_EQ(alphaAt(*logo, 12 * 160, 0), 0) << "around it the logo is transparent";
}

TEST(ImageGenerationTest, ButtonStatesDifferAndEdgesAreSoft) {
    SmartPtr<graphics::MemoryImage32> button = png("images/button.png");
    ASSERT_TRUE(button);
    for (int state = 1; state < 4; ++state) {
        EXPECT_FALSE(sameRect(*button, 0, 0, 0, state * 32, 120, 32)) << "state " << state;
    }
    EXPECT_LT(alphaAt(*button, 0, 0), 64);
    EXPECT_EQ(alphaAt(*button, 60, 12), 255);
}

// The dialog painter tiles the straight pieces, so they may not change along their length.
TEST(ImageGenerationTest, FramePiecesTileSeamlessly) {
    SmartPtr<graphics::MemoryImage32> top = png("images/frame_t.png");
    SmartPtr<graphics::MemoryImage32> left = png("images/frame_l.png");
    SmartPtr<graphics::MemoryImage32> corner = png("images/frame_tl.png");
    SmartPtr<graphics::MemoryImage32> centre = png("images/frame_c.png");
    ASSERT_TRUE(top && left && corner && centre);
    for (int x = 1; x < 16; ++x) {
        EXPECT_TRUE(sameRect(*top, 0, 0, x, 0, 1, 24)) << "top column " << x;
    }
    for (int y = 1; y < 16; ++y) {
        EXPECT_TRUE(sameRect(*left, 0, 0, 0, y, 24, 1)) << "left row " << y;
    }
    EXPECT_NE(at(*top, 0, 23), at(*top, 0, 0)) << "the top piece runs from outside to inside";
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(at(*corner, 23, y), at(*top, 0, y)) << "the corner runs on into the top piece, row " << y;
        EXPECT_EQ(at(*corner, y, 23), at(*left, y, 0)) << "and into the left piece, column " << y;
    }
    EXPECT_EQ(alphaAt(*corner, 0, 0), 0);
    EXPECT_EQ(alphaAt(*corner, 23, 23), 255);
    EXPECT_EQ(at(*top, 0, 23), at(*centre, 8, 8)) << "the top piece's inner edge is the centre's colour";
    EXPECT_EQ(at(*left, 23, 0), at(*centre, 8, 8));
}

// A round button shows its symbol in every state and is round: its corners stay clear.
TEST(ImageGenerationTest, SymbolButtonsAreRound) {
    SmartPtr<graphics::MemoryImage32> button = png("images/round.png");
    ASSERT_TRUE(button);
    for (int state = 0; state < 4; ++state) {
        EXPECT_LT(alphaAt(*button, 3, state * 48 + 3), 64) << "state " << state;
        EXPECT_EQ(alphaAt(*button, 24, state * 48 + 22), 255) << "state " << state;
        if (state > 0) {
            EXPECT_FALSE(sameRect(*button, 0, 0, 0, state * 48, 48, 48)) << "state " << state;
        }
    }
}

// The end colour takes over from left to right, and the opacity fades the whole bar.
TEST(ImageGenerationTest, BarRunsIntoItsEndColourAndFades) {
    SmartPtr<graphics::MemoryImage32> bar = png("images/timebar.png");
    ASSERT_TRUE(bar);
    const std::uint32_t start = at(*bar, 8, 5);
    const std::uint32_t end = at(*bar, 191, 5);
    EXPECT_LT((start >> 16) & 0xFF, (end >> 16) & 0xFF) << "green at the start, yellow at the end";
    EXPECT_NEAR(alphaAt(*bar, 100, 5), 128, 2);
    EXPECT_EQ(alphaAt(*bar, 0, 0), 0);
}

TEST(ImageGenerationTest, UnknownKindFallsBackToATile) {
    SmartPtr<graphics::MemoryImage32> tile = png("images/mystery.png");
    ASSERT_TRUE(tile);
    EXPECT_EQ(alphaAt(*tile, 20, 15), 255);
    EXPECT_LT(alphaAt(*tile, 0, 0), 255);
}

// The sparkle is 14 frames side by side, each its own, whose red lane is the shape's strength; a particle and
// the party star are opaque in the middle and all but transparent at the corners.
TEST(ImageGenerationTest, SparklesLieInTheirRedLaneAndStarsInTheMiddle) {
    SmartPtr<graphics::MemoryImage32> sparkle = png("images/sparkle.png");
    ASSERT_TRUE(sparkle);
    EXPECT_EQ(sparkle->getWidth(), 14 * 24);
    EXPECT_EQ((at(*sparkle, 7 * 24 + 12, 12) >> 16) & 0xFF, 255u);
    EXPECT_EQ((at(*sparkle, 7 * 24, 0) >> 16) & 0xFF, 0u);
    for (int frame = 1; frame < 14; ++frame) {
        EXPECT_FALSE(sameRect(*sparkle, (frame - 1) * 24, 0, frame * 24, 0, 24, 24)) << "frame " << frame;
    }
    for (const char* name : {"images/particle.png", "images/partystar.png"}) {
        SmartPtr<graphics::MemoryImage32> star = png(name);
        ASSERT_TRUE(star);
        EXPECT_EQ(alphaAt(*star, star->getWidth() / 2, star->getHeight() / 2), 255) << name;
        EXPECT_LT(alphaAt(*star, 0, 0), 8) << name;
    }
}

// SDL reads the window icon; its corners are transparent and its middle is not.
TEST(ImageGenerationTest, IconIsA32BitBmpWithAlpha) {
    SDL_Surface* loaded = SDL_LoadBMP(mkmediatest::mediaFile("icon.bmp").c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    SDL_Surface* icon = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->w, 32);
    EXPECT_EQ(icon->h, 32);
    const auto* pixels = static_cast<const std::uint32_t*>(icon->pixels);
    const int stride = icon->pitch / 4;
    EXPECT_EQ(pixels[0] >> 24, 0u);
    EXPECT_EQ(pixels[16 * stride + 16] >> 24, 255u);
    SDL_FreeSurface(icon);
}

} // namespace
