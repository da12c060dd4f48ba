// The album's art as the game's manifest asks for it: the book frames the pages where the album dialog
// lays them, the turning sheet lies flat on one page at its first frame and on the other at its last (and
// is then that page), the curled corners sit in the pages' corners, the ribbon's button states differ, every
// collectable's photo is its own, its flash-lit twin is brighter but still the same picture, and no two
// collages are alike.
#include "GeneratedMedia.h"

#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

namespace {

using kernel::SmartPtr;
using Picture = SmartPtr<graphics::MemoryImage32>;

constexpr int pageLeft = 40;
constexpr int pageTop = 40;
constexpr int pageRight = 520;
constexpr int pageBottom = 380;
constexpr int spine = 280;
constexpr int turnWidth = 480;
constexpr int turnHeight = 340;
constexpr int turnFrames = 16;
// A soft edge may differ by a step or two where the sheet's smoothing meets the page's columns.
constexpr int paperTolerance = 3;

bool chosen(const mkmedia::Entry& entry) {
    static const std::set<std::string> kinds = {"book",     "ribbon",   "pagecorner", "checkmark",
                                                "polaroid", "pageturn", "collage"};
    return entry.element == "font" || (entry.element == "image" && kinds.contains(entry.kind()));
}

// The manifest's album pictures, generated once for the suite; keyed by their file.
class AlbumArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<mkmedia::Entry> entries;
        std::string error;
        ASSERT_TRUE(
            mkmedia::readManifest(std::string(PIBBLES_SOURCE_DIR) + "/media/mkmedia.xml", entries, error))
            << error;
        std::erase_if(entries, [](const mkmedia::Entry& entry) { return !chosen(entry); });
        folder = new testsupport::TempDir;
        mkmedia::Context context;
        context.outputFolder = folder->path();
        for (const mkmedia::Entry& entry : entries) {
            if (entry.element == "font") {
                context.fonts[entry.file()] = entry;
            }
        }
        ASSERT_TRUE(mkmedia::generateAll(entries, context, error)) << error;
        pictures = new std::map<std::string, Picture>;
        for (const mkmedia::Entry& entry : entries) {
            if (entry.element == "image") {
                Picture image = graphics::loadPngImage((folder->path() / entry.file()).string());
                ASSERT_TRUE(image) << entry.file();
                (*pictures)[entry.file()] = image;
            }
        }
    }
    static void TearDownTestSuite() {
        delete pictures;
        delete folder;
    }

    static const graphics::MemoryImage32& picture(const std::string& file) {
        const auto found = pictures->find("images/album/" + file);
        EXPECT_NE(found, pictures->end()) << file;
        return *found->second;
    }
    static std::string photo(int number, bool light) {
        return "collectables/picture_" + std::to_string(number) + (light ? "_light" : "") + ".png";
    }

    static testsupport::TempDir* folder;
    static std::map<std::string, Picture>* pictures;
};

testsupport::TempDir* AlbumArt::folder = nullptr;
std::map<std::string, Picture>* AlbumArt::pictures = nullptr;

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return static_cast<int>(at(image, x, y) >> 24);
}

int channelOf(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// The largest difference of a colour channel or the alpha.
int difference(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (const int shift : {24, 16, 8, 0}) {
        largest = std::max(largest, std::abs(channelOf(a, shift) - channelOf(b, shift)));
    }
    return largest;
}

int brightness(std::uint32_t pixel) {
    return (channelOf(pixel, 16) * 299 + channelOf(pixel, 8) * 587 + channelOf(pixel, 0) * 114) / 1000;
}

// The mean difference of two same-sized rectangles, colour weighted by alpha.
double meanDifference(const graphics::MemoryImage32& a, int ax, int ay, const graphics::MemoryImage32& b,
                      int bx, int by, int w, int h) {
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = at(a, ax + x, ay + y);
            const std::uint32_t q = at(b, bx + x, by + y);
            for (const int shift : {16, 8, 0}) {
                sum += std::abs(channelOf(p, shift) * channelOf(p, 24) -
                                channelOf(q, shift) * channelOf(q, 24)) /
                       255.0;
            }
            sum += std::abs(channelOf(p, 24) - channelOf(q, 24));
        }
    }
    return sum / (w * h * 4.0);
}

TEST_F(AlbumArt, BookFramesThePagesWhereTheDialogLaysThem) {
    const auto& book = picture("book.png");
    ASSERT_EQ(book.getWidth(), 560);
    ASSERT_EQ(book.getHeight(), 420);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{559, 0}, std::pair{0, 419}, std::pair{559, 419}}) {
        EXPECT_EQ(alphaAt(book, x, y), 0) << "outside the cover at " << x << ", " << y;
    }
    EXPECT_EQ(alphaAt(book, 20, 210), 255) << "the cover round the pages";
    EXPECT_EQ(alphaAt(book, 280, 20), 255);
    for (int y = pageTop; y < pageBottom; y += 17) {
        for (int x = pageLeft; x < pageRight; x += 13) {
            ASSERT_EQ(alphaAt(book, x, y), 255) << "the pages are opaque at " << x << ", " << y;
        }
    }
    const std::uint32_t middle = at(book, 400, 200);
    EXPECT_LT(brightness(at(book, spine, 200)) + 20, brightness(middle)) << "the spine lies in shade";
    EXPECT_GT(brightness(middle), 225) << "the paper is pale";
    for (int d = 1; d < 200; d += 7) {
        EXPECT_LE(difference(at(book, spine - d, 200), at(book, spine - 1 + d, 200)), 2)
            << "the pages mirror each other about the spine, " << d << " out";
    }
}

// The album swaps the page for the sheet and back: at rest the sheet must be the page it covers.
TEST_F(AlbumArt, TurningSheetLiesFlatOnOnePageThenTheOther) {
    const auto& book = picture("book.png");
    for (const char* file : {"turn_forward.png", "turn_backward.png"}) {
        const auto& strip = picture(file);
        ASSERT_EQ(strip.getWidth(), turnWidth) << file;
        ASSERT_EQ(strip.getHeight(), turnHeight * turnFrames) << file;
        const bool forward = std::string(file) == "turn_forward.png";
        for (const int frame : {0, turnFrames - 1}) {
            const bool onRight = (frame == 0) == forward;
            const int top = frame * turnHeight;
            int worst = 0;
            for (int y = 0; y < turnHeight; y += 5) {
                for (int x = 0; x < turnWidth; x += 3) {
                    const bool covered = (x >= turnWidth / 2) == onRight;
                    if (covered) {
                        worst = std::max(
                            worst, difference(at(strip, x, top + y), at(book, pageLeft + x, pageTop + y)));
                    } else {
                        ASSERT_EQ(alphaAt(strip, x, top + y), 0) << file << " frame " << frame << " at " << x;
                    }
                }
            }
            EXPECT_LE(worst, paperTolerance) << file << " frame " << frame << " is the page it lies on";
        }
        for (int frame = 1; frame < turnFrames; ++frame) {
            EXPECT_GT(meanDifference(strip, 0, (frame - 1) * turnHeight, strip, 0, frame * turnHeight,
                                     turnWidth, turnHeight),
                      1.0)
                << file << " frame " << frame << " moves on";
        }
    }
    const auto& forward = picture("turn_forward.png");
    const auto& backward = picture("turn_backward.png");
    for (int y = 0; y < turnHeight * turnFrames; y += 11) {
        for (int x = 0; x < turnWidth; x += 7) {
            ASSERT_EQ(at(forward, x, y), at(backward, turnWidth - 1 - x, y))
                << "backward is the mirror at " << x << ", " << y;
        }
    }
    // Halfway the sheet stands up over the spine, leaving most of both pages clear.
    const int middle = turnFrames / 2 * turnHeight;
    EXPECT_EQ(alphaAt(forward, 20, middle + 170), 0);
    EXPECT_LT(alphaAt(forward, 460, middle + 170), 128);
}

// Each corner's outer corner is the page's own; the corner opposite it stays clear.
TEST_F(AlbumArt, CornersCurlUpFromThePagesCorners) {
    const auto& left = picture("corner_left.png");
    const auto& right = picture("corner_right.png");
    ASSERT_EQ(left.getWidth(), 60);
    ASSERT_EQ(left.getHeight(), 60);
    EXPECT_EQ(alphaAt(left, 0, 59), 255);
    EXPECT_GT(brightness(at(left, 0, 59)), 180) << "paper shows in the corner";
    EXPECT_EQ(alphaAt(left, 59, 0), 0);
    EXPECT_EQ(alphaAt(left, 2, 2), 0);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            ASSERT_EQ(at(left, x, y), at(right, 59 - x, y)) << "the right corner mirrors the left at " << x;
        }
    }
}

TEST_F(AlbumArt, RibbonButtonShowsItsStates) {
    const auto& ribbon = picture("bookmarker.png");
    const auto& button = picture("button_bookmarker.png");
    // Short enough to end above the right page's titles.
    constexpr int h = 44;
    ASSERT_EQ(ribbon.getWidth(), 36);
    ASSERT_EQ(ribbon.getHeight(), h);
    ASSERT_EQ(button.getHeight(), 4 * h);
    EXPECT_EQ(meanDifference(ribbon, 0, 0, button, 0, 0, 36, h), 0) << "at rest the button is the ribbon";
    for (int state = 1; state < 4; ++state) {
        EXPECT_GT(meanDifference(button, 0, 0, button, 0, state * h, 36, h), 1.0) << "state " << state;
    }
    const std::uint32_t disabled = at(button, 14, 3 * h + 24);
    const int spread = std::max({channelOf(disabled, 16), channelOf(disabled, 8), channelOf(disabled, 0)}) -
                       std::min({channelOf(disabled, 16), channelOf(disabled, 8), channelOf(disabled, 0)});
    EXPECT_LT(spread, 40) << "disabled, the ribbon is grey";
    EXPECT_EQ(alphaAt(ribbon, 14, 24), 255);
    EXPECT_EQ(alphaAt(ribbon, 15, h - 1), 0) << "the swallowtail's notch";
}

// The photo lies in the same white card on every polaroid; each collectable's photo is its own; the flash
// brightens a photo without making it another.
TEST_F(AlbumArt, PhotosShareTheirCardAndDifferInTheirPicture) {
    const auto& blank = picture("polaroid.png");
    ASSERT_EQ(blank.getWidth(), 150);
    ASSERT_EQ(blank.getHeight(), 170);
    const int photoX = 20;
    const int photoY = 20;
    const int photoSide = 110;
    for (int n = 1; n <= 30; ++n) {
        const auto& shot = picture(photo(n, false));
        for (const auto& [x, y] : {std::pair{8, 8}, std::pair{75, 150}, std::pair{141, 80}}) {
            EXPECT_EQ(at(shot, x, y), at(blank, x, y))
                << "the card of photo " << n << " at " << x << ", " << y;
        }
        EXPECT_GT(meanDifference(shot, photoX, photoY, blank, photoX, photoY, photoSide, photoSide), 8)
            << n << " is no blank";
        for (int other = 1; other < n; ++other) {
            EXPECT_GT(meanDifference(shot, photoX, photoY, picture(photo(other, false)), photoX, photoY,
                                     photoSide, photoSide),
                      8)
                << n << " and " << other << " look alike";
        }
        const auto& light = picture(photo(n, true));
        double sum = 0;
        double sumLight = 0;
        double products = 0;
        double squares = 0;
        double squaresLight = 0;
        int count = 0;
        for (int y = photoY; y < photoY + photoSide; y += 2) {
            for (int x = photoX; x < photoX + photoSide; x += 2) {
                const double a = brightness(at(shot, x, y));
                const double b = brightness(at(light, x, y));
                sum += a;
                sumLight += b;
                products += a * b;
                squares += a * a;
                squaresLight += b * b;
                ++count;
            }
        }
        const double meanShot = sum / count;
        const double meanLight = sumLight / count;
        const double correlation = (products / count - meanShot * meanLight) /
                                   std::sqrt((squares / count - meanShot * meanShot) *
                                             (squaresLight / count - meanLight * meanLight));
        EXPECT_GT(meanLight - meanShot, 0.4 * (255 - meanShot)) << "photo " << n << " is washed bright";
        EXPECT_GT(meanLight, 190) << "photo " << n;
        EXPECT_GT(correlation, 0.6) << "photo " << n << " is still the same picture";
    }
}

TEST_F(AlbumArt, CollagesAreAllDifferentAndLeaveThePageShowing) {
    std::vector<std::string> files;
    for (int page = 1; page <= 34; ++page) {
        files.push_back("pages/left_" + std::to_string(page) + ".png");
    }
    for (int page = 1; page <= 4; ++page) {
        files.push_back("credits/left_" + std::to_string(page) + ".png");
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& collage = picture(files[i]);
        ASSERT_EQ(collage.getWidth(), 200) << files[i];
        ASSERT_EQ(collage.getHeight(), 310) << files[i];
        int covered = 0;
        for (int y = 0; y < 310; y += 2) {
            for (int x = 0; x < 200; x += 2) {
                covered += alphaAt(collage, x, y) > 0;
            }
        }
        const double share = covered / (100.0 * 155.0);
        EXPECT_GT(share, 0.3) << files[i] << " is mostly empty";
        EXPECT_LT(share, 0.97) << files[i] << " hides the page";
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_GT(meanDifference(collage, 0, 0, picture(files[j]), 0, 0, 200, 310), 10)
                << files[i] << " and " << files[j] << " look alike";
        }
    }
}

} // namespace
