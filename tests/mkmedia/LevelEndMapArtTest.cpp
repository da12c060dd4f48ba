// The level end's and the chapter map's art as the game's manifest asks for it: the bites eat the carrot from
// its tip, each past where the dialog throws its crumbs from; the crumbs turn; the trails run through their
// walks' points inside their pictures; a new chapter's sparkle ends on an empty frame the sprite may stay
// on; the bubbles point at the player beside them; a photo shows its states; the caption's glow lines up
// with the caption.
#include "GeneratedMedia.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

using kernel::SmartPtr;
using Picture = SmartPtr<graphics::MemoryImage32>;

// The dialog puts the carrot's middle at x 320 and throws the crumbs of bite n from x 530 - 30 n.
constexpr int carrotMiddle = 320;
constexpr int firstCrumbX = 530;
constexpr int crumbStep = 30;
constexpr int bites = 13;

const std::set<std::string> chosenKinds = {"carrot",         "carrotbite",   "crumb",       "trail",
                                           "chaptersparkle", "speechbubble", "chapterphoto"};
const std::set<std::string> chosenFonts = {"fonts/caption_36", "fonts/caption_36_glow"};

bool chosen(const mkmedia::Entry& entry) {
    return (entry.element == "image" && chosenKinds.contains(entry.kind())) ||
           (entry.element == "font" && chosenFonts.contains(entry.file()));
}

// The manifest's level-end and map pictures and the caption's fonts, generated once for the suite.
class LevelEndMapArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        entries = new std::vector<mkmedia::Entry>;
        ASSERT_TRUE(
            mkmedia::readManifest(std::string(PIBBLES_SOURCE_DIR) + "/media/mkmedia.xml", *entries, error))
            << error;
        std::erase_if(*entries, [](const mkmedia::Entry& entry) { return !chosen(entry); });
        folder = new testsupport::TempDir;
        mkmedia::Context context;
        context.outputFolder = folder->path();
        ASSERT_TRUE(mkmedia::generateAll(*entries, context, error)) << error;
    }
    static void TearDownTestSuite() {
        delete entries;
        delete folder;
    }

    static std::vector<const mkmedia::Entry*> ofKind(const std::string& kind) {
        std::vector<const mkmedia::Entry*> found;
        for (const mkmedia::Entry& entry : *entries) {
            if (entry.element == "image" && entry.kind() == kind) {
                found.push_back(&entry);
            }
        }
        return found;
    }
    static const mkmedia::Entry& one(const std::string& kind, const std::string& name,
                                     const std::string& value) {
        for (const mkmedia::Entry* entry : ofKind(kind)) {
            if (entry->text(name) == value) {
                return *entry;
            }
        }
        ADD_FAILURE() << "no " << kind << " with " << name << " " << value;
        return entries->front();
    }
    static Picture picture(const mkmedia::Entry& entry) {
        Picture image = graphics::loadPngImage((folder->path() / entry.file()).string());
        EXPECT_TRUE(image) << entry.file();
        return image;
    }

    static testsupport::TempDir* folder;
    static std::vector<mkmedia::Entry>* entries;
};

testsupport::TempDir* LevelEndMapArt::folder = nullptr;
std::vector<mkmedia::Entry>* LevelEndMapArt::entries = nullptr;

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return static_cast<int>(at(image, x, y) >> 24);
}

// The pixels of a frame of a strip whose frames lie one below the other.
int coverage(const graphics::MemoryImage32& image, int top = 0, int height = -1) {
    int covered = 0;
    const int bottom = height < 0 ? image.getHeight() : top + height;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            covered += alphaAt(image, x, y) > 0;
        }
    }
    return covered;
}

bool sameFrames(const graphics::MemoryImage32& image, int a, int b, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if (at(image, x, a * height + y) != at(image, x, b * height + y)) {
                return false;
            }
        }
    }
    return true;
}

// Each bite leaves no more than the front covers and takes the carrot from the tip up to, and past, where the
// dialog throws its crumbs from; every bite takes some more, and the last one the rest.
TEST_F(LevelEndMapArt, BitesEatTheCarrotFromItsTip) {
    const Picture front = picture(one("carrot", "part", "front"));
    ASSERT_TRUE(front);
    const int left = carrotMiddle - front->getWidth() / 2;
    int before = coverage(*front);
    for (int n = 0; n < bites; ++n) {
        SCOPED_TRACE("bite " + std::to_string(n));
        const Picture mask = picture(one("carrotbite", "bite", std::to_string(n)));
        ASSERT_TRUE(mask);
        ASSERT_EQ(mask->getWidth(), front->getWidth());
        ASSERT_EQ(mask->getHeight(), front->getHeight());
        const int crumbs = firstCrumbX - crumbStep * n - left;
        int outside = 0;
        int pastCrumbs = 0;
        for (int y = 0; y < mask->getHeight(); ++y) {
            for (int x = 0; x < mask->getWidth(); ++x) {
                outside += alphaAt(*mask, x, y) > alphaAt(*front, x, y) + 2;
                pastCrumbs += x >= crumbs && alphaAt(*mask, x, y) > 0;
            }
        }
        EXPECT_EQ(outside, 0) << "pixels the carrot does not cover";
        EXPECT_EQ(pastCrumbs, 0) << "carrot left right of x " << crumbs;
        const int remaining = coverage(*mask);
        EXPECT_LT(remaining, before);
        before = remaining;
    }
    const Picture first = picture(one("carrotbite", "bite", "0"));
    EXPECT_GT(coverage(*first) * 10, coverage(*front) * 9) << "the first bite takes only the tip";
    EXPECT_EQ(before, 0) << "the last bite leaves part of the carrot (its leaves) over the field";
}

TEST_F(LevelEndMapArt, CrumbsTurnOverTheirFramesWithinThem) {
    const std::vector<const mkmedia::Entry*> crumbs = ofKind("crumb");
    ASSERT_EQ(crumbs.size(), 3u);
    for (const mkmedia::Entry* crumb : crumbs) {
        SCOPED_TRACE(crumb->file());
        const Picture strip = picture(*crumb);
        ASSERT_TRUE(strip);
        const int frames = crumb->integer("frames", 1);
        ASSERT_EQ(frames, 6);
        const int height = strip->getHeight() / frames;
        ASSERT_EQ(height * frames, strip->getHeight());
        for (int frame = 0; frame < frames; ++frame) {
            EXPECT_GT(coverage(*strip, frame * height, height), 0) << "frame " << frame;
            EXPECT_FALSE(sameFrames(*strip, frame, (frame + 1) % frames, height)) << "frame " << frame;
            for (int i = 0; i < strip->getWidth(); ++i) {
                EXPECT_EQ(alphaAt(*strip, i, frame * height), 0) << "frame " << frame << " touches its top";
                EXPECT_EQ(alphaAt(*strip, i, frame * height + height - 1), 0) << "frame " << frame;
            }
        }
    }
}

// A trail passes by each point of its walk and keeps off its picture's edges, so the map's reveal shows it
// whole.
TEST_F(LevelEndMapArt, TrailsRunThroughTheirPointsInsideTheirPictures) {
    const std::vector<const mkmedia::Entry*> trails = ofKind("trail");
    ASSERT_EQ(trails.size(), 10u);
    for (const mkmedia::Entry* trail : trails) {
        SCOPED_TRACE(trail->file());
        const Picture image = picture(*trail);
        ASSERT_TRUE(image);
        std::istringstream place(trail->text("at"));
        int ax = 0;
        int ay = 0;
        ASSERT_TRUE(place >> ax >> ay);
        std::istringstream pairs(trail->text("points"));
        for (std::string pair; std::getline(pairs, pair, ';');) {
            std::istringstream numbers(pair);
            int px = 0;
            int py = 0;
            ASSERT_TRUE(numbers >> px >> py);
            int strongest = 0;
            for (int dy = -4; dy <= 4; ++dy) {
                for (int dx = -4; dx <= 4; ++dx) {
                    const int x = px - ax + dx;
                    const int y = py - ay + dy;
                    if (x >= 0 && y >= 0 && x < image->getWidth() && y < image->getHeight()) {
                        strongest = std::max(strongest, alphaAt(*image, x, y));
                    }
                }
            }
            EXPECT_GT(strongest, 100) << "at" << pair;
        }
        const int w = image->getWidth();
        const int h = image->getHeight();
        for (int x = 0; x < w; ++x) {
            EXPECT_LT(alphaAt(*image, x, 0) + alphaAt(*image, x, h - 1), 24) << "column " << x;
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_LT(alphaAt(*image, 0, y) + alphaAt(*image, w - 1, y), 24) << "row " << y;
        }
    }
}

// The sprite stays on the last frame once the sparkle has played, over the chapter's button.
TEST_F(LevelEndMapArt, ChapterSparkleBurstsAndEndsEmpty) {
    const std::vector<const mkmedia::Entry*> sparkles = ofKind("chaptersparkle");
    ASSERT_EQ(sparkles.size(), 1u);
    const Picture strip = picture(*sparkles.front());
    ASSERT_TRUE(strip);
    const int frames = sparkles.front()->integer("frames", 1);
    const int height = strip->getHeight() / frames;
    EXPECT_GT(coverage(*strip, 0, height), 0);
    EXPECT_GT(coverage(*strip, height, height), coverage(*strip, 0, height)) << "the burst spreads";
    EXPECT_EQ(coverage(*strip, (frames - 1) * height, height), 0);
}

// The bubble left of the player points right at it from its lower corner, the one right of it the other way.
TEST_F(LevelEndMapArt, BubblesPointAtThePlayerBesideThem) {
    const Picture left = picture(one("speechbubble", "side", "left"));
    const Picture right = picture(one("speechbubble", "side", "right"));
    ASSERT_TRUE(left && right);
    ASSERT_EQ(left->getWidth(), right->getWidth());
    ASSERT_EQ(left->getHeight(), right->getHeight());
    const int w = left->getWidth();
    const int h = left->getHeight();
    int unlike = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unlike += at(*left, x, y) != at(*right, w - 1 - x, y);
        }
    }
    EXPECT_EQ(unlike, 0);
    // The tail reaches into the lower corner towards the player; the far side's corner stays clear.
    EXPECT_GT(alphaAt(*left, w - 8, h - 8), 200);
    EXPECT_LT(alphaAt(*left, 6, h - 4), 40);
    // The body, where the label goes, is the bubble's pale fill.
    EXPECT_EQ(alphaAt(*left, w / 2, h / 2), 255);
}

int saturation(const graphics::MemoryImage32& image, int frame, int height) {
    long total = 0;
    for (int y = frame * height; y < (frame + 1) * height; ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            const std::uint32_t pixel = at(image, x, y);
            const int r = static_cast<int>((pixel >> 16) & 0xFF);
            const int g = static_cast<int>((pixel >> 8) & 0xFF);
            const int b = static_cast<int>(pixel & 0xFF);
            total +=
                static_cast<long>(std::max({r, g, b}) - std::min({r, g, b})) * static_cast<long>(pixel >> 24);
        }
    }
    return static_cast<int>(total / 255);
}

TEST_F(LevelEndMapArt, PhotosShowTheirButtonStates) {
    const std::vector<const mkmedia::Entry*> photos = ofKind("chapterphoto");
    ASSERT_EQ(photos.size(), 10u);
    std::set<std::uint64_t> looks;
    for (const mkmedia::Entry* photo : photos) {
        SCOPED_TRACE(photo->file());
        const Picture strip = picture(*photo);
        ASSERT_TRUE(strip);
        ASSERT_EQ(photo->integer("frames", 1), 4);
        const int height = strip->getHeight() / 4;
        for (int state = 1; state < 4; ++state) {
            EXPECT_FALSE(sameFrames(*strip, 0, state, height)) << "state " << state;
        }
        EXPECT_LT(saturation(*strip, 3, height), saturation(*strip, 0, height)) << "disabled is paler";
        std::uint64_t sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < strip->getWidth(); ++x) {
                sum = sum * 31 + at(*strip, x, y);
            }
        }
        looks.insert(sum);
    }
    EXPECT_EQ(looks.size(), photos.size()) << "every chapter's photo is its own";
}

// The glow is laid behind the caption in the same place with the same text, so its letters advance as the
// caption's do and each haze stands about its letter.
TEST_F(LevelEndMapArt, CaptionGlowLinesUpWithTheCaption) {
    std::map<std::string, SmartPtr<graphics::BitmapFont>> fonts;
    std::map<std::string, Picture> charsets;
    int glow = 0;
    for (const mkmedia::Entry& entry : *entries) {
        if (entry.element != "font") {
            continue;
        }
        glow = std::max(glow, entry.integer("glow", 0));
        Picture& charset = charsets[entry.file()];
        charset = graphics::loadPngImage((folder->path() / (entry.file() + ".png")).string());
        ASSERT_TRUE(charset) << entry.file();
        charset->setAlphaMode(true);
        SmartPtr<graphics::BitmapFont> font = new graphics::BitmapFont();
        font->load((folder->path() / (entry.file() + ".xml")).string(), charset.get(),
                   kernel::Color(0xFFFFFFFF), false, 0);
        fonts[entry.file()] = font;
    }
    ASSERT_EQ(fonts.size(), 2u);
    ASSERT_GT(glow, 0);
    const graphics::BitmapFont& plain = *fonts["fonts/caption_36"];
    const graphics::BitmapFont& haze = *fonts["fonts/caption_36_glow"];
    EXPECT_EQ(plain.lineHeight(), haze.lineHeight());
    for (char16_t c = u'!'; c <= u'~'; ++c) {
        EXPECT_EQ(plain.glyph(c).width, haze.glyph(c).width) << static_cast<char>(c);
        EXPECT_EQ(plain.glyph(c).offsetx - 2 * glow, haze.glyph(c).offsetx) << static_cast<char>(c);
    }
}

} // namespace
