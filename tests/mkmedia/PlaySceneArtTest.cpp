// The play scene's art as the game's manifest asks for it: the hint bubble's pieces join the dialog
// frame's without a seam wherever a dialog painter puts them side by side, the right column is the left
// one mirrored, the tails reach out to where the hint dialog expects its target, and every floater holds
// its whole caption about its middle.
#include "GeneratedMedia.h"

#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

using kernel::SmartPtr;
using Picture = SmartPtr<graphics::MemoryImage32>;

// Soft shadows may differ by a step or two where a corner's blur reaches the edge of its piece.
constexpr int seamTolerance = 2;

bool chosen(const mkmedia::Entry& entry) {
    return entry.element == "image" && (entry.kind() == "frame" || entry.kind() == "floater");
}

// The manifest's frame pieces and floaters, generated once for the suite; keyed by "part" or "text".
class PlaySceneArt : public ::testing::Test {
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
        ASSERT_TRUE(mkmedia::generateAll(entries, context, error)) << error;
        pieces = new std::map<std::string, Picture>;
        floaters = new std::map<std::string, Picture>;
        for (const mkmedia::Entry& entry : entries) {
            Picture image = graphics::loadPngImage((folder->path() / entry.file()).string());
            ASSERT_TRUE(image) << entry.file();
            (entry.kind() == "frame" ? *pieces
                                     : *floaters)[entry.text(entry.kind() == "frame" ? "part" : "text")] =
                image;
        }
    }
    static void TearDownTestSuite() {
        delete pieces;
        delete floaters;
        delete folder;
    }

    static const graphics::MemoryImage32& piece(const std::string& part) {
        const auto found = pieces->find(part);
        EXPECT_NE(found, pieces->end()) << part;
        return *found->second;
    }

    static testsupport::TempDir* folder;
    static std::map<std::string, Picture>* pieces;
    static std::map<std::string, Picture>* floaters;
};

testsupport::TempDir* PlaySceneArt::folder = nullptr;
std::map<std::string, Picture>* PlaySceneArt::pieces = nullptr;
std::map<std::string, Picture>* PlaySceneArt::floaters = nullptr;

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return static_cast<int>(at(image, x, y) >> 24);
}

// How far two pixels differ as they would show: each channel weighted by its alpha.
int difference(std::uint32_t a, std::uint32_t b) {
    int largest = std::abs(static_cast<int>(a >> 24) - static_cast<int>(b >> 24));
    for (const int shift : {16, 8, 0}) {
        const int one = static_cast<int>((a >> shift) & 0xFF) * static_cast<int>(a >> 24) / 255;
        const int two = static_cast<int>((b >> shift) & 0xFF) * static_cast<int>(b >> 24) / 255;
        largest = std::max(largest, std::abs(one - two));
    }
    return largest;
}

// The largest difference between a run of pixels of each picture, stepping (dx, dy) from the starts.
int runDifference(const graphics::MemoryImage32& a, int ax, int ay, const graphics::MemoryImage32& b, int bx,
                  int by, int count, int dx, int dy) {
    int largest = 0;
    for (int i = 0; i < count; ++i) {
        largest =
            std::max(largest, difference(at(a, ax + i * dx, ay + i * dy), at(b, bx + i * dx, by + i * dy)));
    }
    return largest;
}

int columnDifference(const graphics::MemoryImage32& a, int ax, int ay, const graphics::MemoryImage32& b,
                     int bx, int by, int count) {
    return runDifference(a, ax, ay, b, bx, by, count, 0, 1);
}

int rowDifference(const graphics::MemoryImage32& a, int ax, int ay, const graphics::MemoryImage32& b, int bx,
                  int by, int count) {
    return runDifference(a, ax, ay, b, bx, by, count, 1, 0);
}

// Where the painter lays one piece against another, the last column or row of the one runs on into the
// first of the other; a straight piece that is tiled must not change along its length.
TEST_F(PlaySceneArt, BubblePiecesJoinTheDialogFrame) {
    const auto& top = piece("top");
    const auto& left = piece("left");
    const auto& right = piece("right");
    const auto& bottom = piece("bottom");
    const auto& edge = piece("left_edge");
    for (const char* part : {"left_top", "left_arrowup"}) {
        EXPECT_LE(columnDifference(piece(part), 139, 0, top, 0, 0, 24), seamTolerance) << part << " into top";
        EXPECT_LE(rowDifference(piece(part), 124, 23, edge, 124, 0, 16), seamTolerance)
            << part << " into edge";
    }
    for (const char* part : {"left_bottom", "left_arrowdown"}) {
        const int y = piece(part).getHeight() - 24;
        EXPECT_LE(columnDifference(piece(part), 139, y, bottom, 0, 0, 24), seamTolerance) << part;
        EXPECT_LE(rowDifference(edge, 124, 0, piece(part), 124, 0, 16), seamTolerance)
            << part << " below edge";
    }
    EXPECT_LE(rowDifference(piece("left_arrowup"), 124, 99, edge, 124, 0, 16), seamTolerance);
    for (int y = 1; y < edge.getHeight(); ++y) {
        EXPECT_EQ(rowDifference(edge, 0, 0, edge, 0, y, 140), 0) << "the edge tiles, row " << y;
    }
    EXPECT_LE(rowDifference(edge, 124, 0, left, 0, 0, 16), seamTolerance) << "the frame's own left border";

    const auto& barLeft = piece("bar_bottomleft");
    const auto& barMiddle = piece("bar_bottom");
    const auto& barRight = piece("bar_bottomright");
    EXPECT_LE(rowDifference(left, 0, 7, barLeft, 0, 0, 24), seamTolerance) << "bar below the left piece";
    EXPECT_LE(rowDifference(right, 0, 7, barRight, 0, 0, 24), seamTolerance) << "bar below the right piece";
    EXPECT_LE(columnDifference(barLeft, 119, 0, barMiddle, 0, 0, 60), seamTolerance);
    EXPECT_LE(columnDifference(barMiddle, 7, 0, barRight, 0, 0, 60), seamTolerance);
    // The bar's border is the last 14 rows of the frame's bottom, and nothing below it.
    EXPECT_LE(columnDifference(bottom, 0, 10, barMiddle, 0, 0, 14), seamTolerance);
    for (int y = 14; y < 60; ++y) {
        EXPECT_EQ(alphaAt(barMiddle, 4, y), 0) << "row " << y;
        EXPECT_EQ(alphaAt(barLeft, 10, y), 0) << "row " << y;
        EXPECT_EQ(alphaAt(barRight, 4, y), 0) << "row " << y;
    }
}

TEST_F(PlaySceneArt, RightColumnIsTheLeftOneMirrored) {
    for (const char* name : {"top", "edge", "bottom", "arrowup", "arrowdown"}) {
        const auto& leftPiece = piece(std::string("left_") + name);
        const auto& rightPiece = piece(std::string("right_") + name);
        ASSERT_EQ(leftPiece.getWidth(), rightPiece.getWidth()) << name;
        ASSERT_EQ(leftPiece.getHeight(), rightPiece.getHeight()) << name;
        const int w = leftPiece.getWidth();
        int unlike = 0;
        for (int y = 0; y < leftPiece.getHeight(); ++y) {
            for (int x = 0; x < w; ++x) {
                unlike += at(leftPiece, x, y) != at(rightPiece, w - 1 - x, y);
            }
        }
        EXPECT_EQ(unlike, 0) << name;
    }
}

// The tails end where the hint dialog's target stands beside them: filled up to near the tip, nothing
// past it, and transparent in the column's free part away from the tail.
TEST_F(PlaySceneArt, TailsPointOutOfTheBubble) {
    const struct {
        const char* part;
        int tipX;
        int tipY;
        int stepX;
        int stepY;
    } tails[] = {
        {"left_arrowup", 104, 67, -1, 0}, {"left_arrowdown", 104, 41, -1, 0},
        {"right_arrowup", 35, 67, 1, 0},  {"right_arrowdown", 35, 41, 1, 0},
        {"bar_bottomleft", 60, 20, 0, 1},
    };
    const std::uint32_t body = at(piece("center"), 0, 0) & 0xFFFFFFu;
    for (const auto& tail : tails) {
        const auto& image = piece(tail.part);
        const int inX = tail.tipX - tail.stepX * 5;
        const int inY = tail.tipY - tail.stepY * 5;
        EXPECT_GT(alphaAt(image, inX, inY), 200) << tail.part << " just inside the tip";
        EXPECT_LT(alphaAt(image, tail.tipX + tail.stepX * 5, tail.tipY + tail.stepY * 5), 40)
            << tail.part << " past the tip";
        const int midX = tail.stepY != 0 ? tail.tipX : (tail.stepX < 0 ? 125 : 14);
        const int midY = tail.stepY != 0 ? 8 : tail.tipY - 4;
        EXPECT_EQ(at(image, midX, midY) & 0xFFFFFFu, body) << tail.part << ": the body runs into the tail";
        EXPECT_EQ(alphaAt(image, tail.stepY != 0 ? 100 : 60, tail.stepY != 0 ? 40 : 10), 0) << tail.part;
    }
}

TEST_F(PlaySceneArt, FloatersHoldTheirCaptionAboutTheMiddle) {
    ASSERT_GE(floaters->size(), 10u);
    for (const auto& [text, image] : *floaters) {
        const int w = image->getWidth();
        const int h = image->getHeight();
        int left = w;
        int right = -1;
        int topRow = h;
        int bottomRow = -1;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (alphaAt(*image, x, y) > 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    topRow = std::min(topRow, y);
                    bottomRow = std::max(bottomRow, y);
                }
            }
        }
        ASSERT_GE(right, 0) << text;
        EXPECT_GT(left, 0) << text;
        EXPECT_LT(right, w - 1) << text;
        EXPECT_GT(topRow, 0) << text;
        EXPECT_LT(bottomRow, h - 1) << text;
        EXPECT_LE(std::abs((left + right) - (w - 1)), 4) << text << " is centred across";
        EXPECT_LE(std::abs((topRow + bottomRow) - (h - 1)), 6) << text << " is centred down";
        for (int x = 0; x < w; ++x) {
            EXPECT_LT(alphaAt(*image, x, 0) + alphaAt(*image, x, h - 1), 16) << text << " column " << x;
        }
    }
}

} // namespace
