// Pixels of large pictures in buffers whose clear stretches are never written: the buffers read 0 until
// written, a decoded strip leaves the clear ends of its rows alone and still holds every pixel of its file,
// copies keep them too, and what is drawn from such a strip is what a fully written copy draws, at both
// depths, clipped at the screen's edges, at full and partial alpha.
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/PixelMemory.h"
#include "engine/graphics/PngDecoder.h"

#include "EncodedImages.h"
#include "TempDir.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;
using testsupport::PngPicture;
using testsupport::words;

namespace {

constexpr int frameWidth = 100;
constexpr int frameHeight = 125;
constexpr int frames = 3;

// Frames of a strip: a clear margin all round a blob of random pixels, one row reaching both edges, a clear
// hole inside, and a few pixels clear by their alpha but with a colour, which must survive.
PngPicture stripPicture(int width, int height, std::mt19937& random) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    picture.samples.assign(static_cast<std::size_t>(width) * height * 4, 0);
    const int frameRows = std::min(height, frameHeight);
    for (int top = 0; top + frameRows <= height; top += frameRows) {
        for (int y = frameRows / 4; y < frameRows * 3 / 4; ++y) {
            const bool fullRow = y == frameRows / 2;
            for (int x = fullRow ? 0 : width / 5; x < (fullRow ? width : width * 4 / 5); ++x) {
                const bool hole = x > width / 2 - 3 && x < width / 2 + 3 && !fullRow;
                std::uint16_t* sample = &picture.samples[(static_cast<std::size_t>(top + y) * width + x) * 4];
                for (int lane = 0; lane < 3; ++lane) {
                    sample[lane] = static_cast<std::uint16_t>(random() % 256);
                }
                sample[3] = hole ? 0 : static_cast<std::uint16_t>(random() % 3 == 0 ? 255 : random() % 256);
                if (hole && x % 2 == 0) {
                    std::fill_n(sample, 3, 0);
                }
            }
        }
    }
    return picture;
}

std::vector<std::uint32_t> pixelsOf(const PngPicture& picture) {
    std::vector<std::uint32_t> pixels;
    for (std::size_t i = 0; i < picture.samples.size(); i += 4) {
        const std::uint16_t* s = &picture.samples[i];
        pixels.push_back(std::uint32_t{s[3]} << 24 | std::uint32_t{s[0]} << 16 | std::uint32_t{s[1]} << 8 |
                         s[2]);
    }
    return pixels;
}

std::vector<std::uint32_t> pixelsOf(const MemoryImage32& image) {
    return {image.pixels32(), image.pixels32() + image.getWidth() * image.getHeight()};
}

} // namespace

TEST(PixelMemory, LargeBuffersReadZeroUntilWrittenAndSmallOnesComeFromTheHeap) {
    EXPECT_EQ(allocatePixelMemory(0, true), nullptr);
    freePixelMemory(nullptr, mappedPixelBytes);
    EXPECT_FALSE(isUntouchedZeroMemory(mappedPixelBytes - 1));
    EXPECT_TRUE(isUntouchedZeroMemory(mappedPixelBytes));

    for (const std::size_t bytes :
         {std::size_t{64}, mappedPixelBytes - 1, mappedPixelBytes, std::size_t{1} << 22}) {
        for (const bool cleared : {true, false}) {
            SCOPED_TRACE(testing::Message() << bytes << " bytes, cleared " << cleared);
            auto* memory = static_cast<std::uint8_t*>(allocatePixelMemory(bytes, cleared));
            ASSERT_NE(memory, nullptr);
            if (cleared || isUntouchedZeroMemory(bytes)) {
                EXPECT_EQ(std::count(memory, memory + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
            }
            mapUnwrittenPages(memory, bytes);
            if (cleared) {
                EXPECT_EQ(std::count(memory, memory + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
            }
            memory[0] = 1;
            memory[bytes - 1] = 2;
            EXPECT_EQ(memory[0] + memory[bytes - 1], 3);
            freePixelMemory(memory, bytes);
        }
    }

    // Images: a large buffer at either depth reads 0 and says so; a small one or none does not.
    SmartPtr<MemoryImage32> large = createImage32(frameWidth, frameHeight * frames);
    ASSERT_TRUE(large);
    EXPECT_TRUE(large->hasUntouchedZeroPixels());
    EXPECT_FALSE(SmartPtr<MemoryImage32>(createImage32(8, 8))->hasUntouchedZeroPixels());
    large->freePixels();
    EXPECT_FALSE(large->hasUntouchedZeroPixels());
    EXPECT_TRUE(large->allocate(frameWidth, frameHeight * frames));
    EXPECT_TRUE(large->allocate(300, 300)) << "a new buffer replaces the old one";
    EXPECT_EQ(std::count(large->pixels32(), large->pixels32() + 300 * 300, 0u), 300 * 300);

    const SmartPtr<MemoryImage> twin = createTwinImage16(300, 300);
    ASSERT_TRUE(twin);
    twin->pixels16()[300 * 300 - 1] = 0xFFFF;
    twin->getAlphaBuffer()[300 * 300 - 1] = 0xFF;
    EXPECT_EQ(std::count(twin->getAlphaBuffer(), twin->getAlphaBuffer() + 300 * 300, 0), 300 * 300 - 1);
}

TEST(PixelMemory, ACopiedRowLeavesOnlyItsClearEndsAlone) {
    const std::vector<std::uint8_t> row = {0, 0, 5, 0, 0, 7, 0};
    std::vector<std::uint8_t> target(row.size(), 0xAB);
    copyRowSkippingClearEnds(target.data(), row.data(), row.size());
    EXPECT_EQ(target, (std::vector<std::uint8_t>{0xAB, 0xAB, 5, 0, 0, 7, 0xAB}));

    const std::vector<std::uint8_t> clear(5, 0);
    std::vector<std::uint8_t> untouched(5, 0xCD);
    copyRowSkippingClearEnds(untouched.data(), clear.data(), clear.size());
    EXPECT_EQ(untouched, std::vector<std::uint8_t>(5, 0xCD));

    const std::vector<std::uint8_t> full = {1, 2, 3};
    std::vector<std::uint8_t> copy(3, 0);
    copyRowSkippingClearEnds(copy.data(), full.data(), full.size());
    EXPECT_EQ(copy, full);
}

// A strip large enough for a buffer of its own, the same strip interlaced (read in place), and a small
// picture from the heap: each decodes, from a file and from memory, to exactly the pixels of its file, and a
// copy holds them too.
TEST(PngDecoder, StripsWithClearMarginsDecodeToEveryPixelOfTheFile) {
    std::mt19937 random(7);
    testsupport::TempDir dir;
    PngPicture strip = stripPicture(frameWidth, frameHeight * frames, random);
    PngPicture interlaced = strip;
    interlaced.interlaced = true;
    PngPicture small = stripPicture(20, 12, random);
    for (const PngPicture* picture : {&strip, &interlaced, &small}) {
        SCOPED_TRACE(testing::Message()
                     << picture->width << " x " << picture->height << " interlaced " << picture->interlaced);
        const std::string bytes = testsupport::encodePng(*picture);
        const std::vector<std::uint32_t> expected = pixelsOf(*picture);
        const SmartPtr<MemoryImage32> fromMemory = loadPngImageFromMemory(bytes.data(), bytes.size());
        const SmartPtr<MemoryImage32> fromFile = loadPngImage(dir.write("strip.png", bytes));
        ASSERT_TRUE(fromMemory);
        ASSERT_TRUE(fromFile);
        EXPECT_EQ(pixelsOf(*fromMemory), expected);
        EXPECT_EQ(pixelsOf(*fromFile), expected);
        EXPECT_EQ(fromMemory->hasUntouchedZeroPixels(), picture != &small);

        const SmartPtr<MemoryImage32> copy = createImage32From(*fromFile);
        ASSERT_TRUE(copy);
        EXPECT_EQ(pixelsOf(*copy), expected);
    }
}

TEST(PngDecoder, AStripLeftClearWhereItIsClearDrawsWhatAFullyWrittenCopyDraws) {
    std::mt19937 random(11);
    const std::string bytes = testsupport::encodePng(stripPicture(frameWidth, frameHeight * frames, random));
    SmartPtr<MemoryImage32> strip = loadPngImageFromMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(strip);
    ASSERT_TRUE(strip->hasUntouchedZeroPixels());
    // As a picture resource drawn by its alpha.
    strip->setAlphaMode(true);
    // Every byte written, the clear ones as zeros.
    SmartPtr<MemoryImage32> written = createImage32(strip->getWidth(), strip->getHeight());
    const std::size_t count = static_cast<std::size_t>(strip->getWidth()) * strip->getHeight();
    std::memcpy(written->pixels32(), strip->pixels32(), count * 4);
    written->setAlphaMode(true);
    written->setModified(true);

    struct Place {
        int x, y, frame;
    };
    // Inside, past each edge of a 640 x 480 screen, and at a corner.
    const Place places[] = {{270, 180, 0}, {-37, 200, 1}, {590, 20, 2},
                            {300, -60, 1}, {100, 410, 2}, {-50, -70, 0}};
    for (const int alpha : {255, 140}) {
        for (const Place& place : places) {
            SCOPED_TRACE(testing::Message() << "frame " << place.frame << " at " << place.x << "," << place.y
                                            << " alpha " << alpha);
            const kernel::Rect frame(0, place.frame * frameHeight, frameWidth, frameHeight);
            SmartPtr<MemoryImage32> screen32[2] = {testsupport::filled32(640, 480, 0xFF203040u),
                                                   testsupport::filled32(640, 480, 0xFF203040u)};
            SmartPtr<MemoryImage> screen16[2] = {testsupport::filled16(640, 480, 0x39A7),
                                                 testsupport::filled16(640, 480, 0x39A7)};
            MemoryImage32* sources[2] = {strip.get(), written.get()};
            for (int i = 0; i < 2; ++i) {
                for (ImageBase* target : {static_cast<ImageBase*>(screen32[i].get()),
                                          static_cast<ImageBase*>(screen16[i].get())}) {
                    const SmartPtr<ImagePainter> painter = target->createPainter();
                    painter->setAlpha(alpha);
                    painter->blit(*sources[i], place.x, place.y, frame);
                }
            }
            EXPECT_EQ(words(*screen32[0]), words(*screen32[1]));
            EXPECT_EQ(words(*screen16[0]), words(*screen16[1]));
            EXPECT_NE(words(*screen32[0]), words(*testsupport::filled32(640, 480, 0xFF203040u)))
                << "something of the frame shows";
        }
    }
}
