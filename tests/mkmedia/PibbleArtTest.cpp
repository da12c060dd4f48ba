// The pibbles' art as the game's manifest asks for it: every strip moves from frame to frame, everything
// stays in the rows the game repaints, and the hit mask is plain white or nothing.
#include "GeneratedMedia.h"

#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>

namespace {

using kernel::SmartPtr;

constexpr int frameWidth = 100;
constexpr int frameHeight = 125;

// What all pibbles share, every colour's ears (each colour has its own shape) and all strips of two
// colours: the other colours' strips come from the same painters.
bool chosen(const mkmedia::Entry& entry) {
    const std::string look = entry.text("look");
    return entry.element == "image" && entry.kind() == "pibble" && entry.text("collectable").empty() &&
           (look.empty() || look == "yellow" || look == "clown" || entry.text("part") == "ears" ||
            entry.text("part") == "partymatch");
}

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

bool sameFrame(const graphics::MemoryImage32& image, int a, int b) {
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            if (at(image, x, a * frameHeight + y) != at(image, x, b * frameHeight + y)) {
                return false;
            }
        }
    }
    return true;
}

TEST(PibbleArtTest, StripsMoveAndStayInTheRowsTheGameRepaints) {
    std::vector<mkmedia::Entry> entries;
    std::string error;
    ASSERT_TRUE(mkmedia::readManifest(std::string(PIBBLES_SOURCE_DIR) + "/media/mkmedia.xml", entries, error))
        << error;
    std::erase_if(entries, [](const mkmedia::Entry& entry) { return !chosen(entry); });
    ASSERT_GT(entries.size(), 40u);
    testsupport::TempDir dir;
    mkmedia::Context context;
    context.outputFolder = dir.path();
    ASSERT_TRUE(mkmedia::generateAll(entries, context, error)) << error;
    for (const mkmedia::Entry& entry : entries) {
        const std::string part = entry.text("part");
        const int frames = entry.integer("frames", 1);
        SmartPtr<graphics::MemoryImage32> image =
            graphics::loadPngImage((dir.path() / entry.file()).string());
        ASSERT_TRUE(image) << entry.file();
        ASSERT_EQ(image->getWidth(), frameWidth) << entry.file();
        ASSERT_EQ(image->getHeight(), frameHeight * frames) << entry.file();
        // Dust is drawn at its own point and repainted 62 rows about it; a party burst is a sprite of its
        // own.
        const int firstRow = part == "dust" ? 101 - 62 : 0;
        const int lastRow = part == "dust" || part == "partymatch" ? frameHeight - 1 : 101 + 10;
        int strays = 0;
        int drawn = 0;
        for (int frame = 0; frame < frames; ++frame) {
            for (int y = 0; y < frameHeight; ++y) {
                for (int x = 0; x < frameWidth; ++x) {
                    const std::uint32_t pixel = at(*image, x, frame * frameHeight + y);
                    strays += (y < firstRow || y > lastRow) && pixel >> 24 != 0;
                    drawn += pixel >> 24 != 0;
                    if (part == "hitmask") {
                        ASSERT_TRUE(pixel == 0 || pixel == 0xFFFFFFFFu)
                            << "the hit mask at " << x << "," << y;
                    }
                }
            }
            EXPECT_TRUE(frame == 0 || !sameFrame(*image, frame - 1, frame))
                << entry.file() << ": frame " << frame << " is its predecessor again";
        }
        EXPECT_EQ(strays, 0) << entry.file() << " draws outside rows " << firstRow << ".." << lastRow;
        EXPECT_GT(drawn, 0) << entry.file() << " is empty";
    }
}

} // namespace
