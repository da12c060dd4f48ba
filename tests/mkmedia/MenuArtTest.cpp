// The menus' art as the game's manifest asks for it: the glint flares up and rests on a frame the game
// holds; the celebration's trophy covers the rectangle its glints blink in and leaves the button's corner to
// the grass; the pause keeps the band of its "continue" text quiet under a bright caption; a slider's groove
// runs between the places its knob's middle can reach; the scroll buttons point up and down and every
// button's states differ; the help's pibbles show their kinds; the pause's chimes are mirror images.
#include "GeneratedMedia.h"

#include "tools/mkmedia/Generators.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

namespace {

using kernel::SmartPtr;
using Picture = SmartPtr<graphics::MemoryImage32>;

const std::set<std::string> chosenKinds = {"pausescene", "celebration", "glint", "slidertrack", "helpicon"};
const std::set<std::string> chosenFonts = {"fonts/paused_64", "fonts/title_44"};
const std::set<std::string> chosenSymbols = {"up", "down", "grip"};

bool chosen(const mkmedia::Entry& entry) {
    return (entry.element == "image" &&
            (chosenKinds.contains(entry.kind()) || chosenSymbols.contains(entry.text("symbol")))) ||
           (entry.element == "font" && chosenFonts.contains(entry.file()));
}

std::uint32_t at(const graphics::MemoryImage32& image, int x, int y) {
    return image.pixels32()[image.pixelIndex(x, y)];
}

int lane(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return lane(at(image, x, y), 24);
}

int brightness(std::uint32_t pixel) {
    return (lane(pixel, 16) * 299 + lane(pixel, 8) * 587 + lane(pixel, 0) * 114) / 1000;
}

// Pixels with some cover in a band of rows: a frame of a strip whose frames lie one below the other.
int coverage(const graphics::MemoryImage32& image, int top, int height) {
    int covered = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            covered += alphaAt(image, x, y) > 0;
        }
    }
    return covered;
}

bool sameRows(const graphics::MemoryImage32& image, int a, int b, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if (at(image, x, a * height + y) != at(image, x, b * height + y)) {
                return false;
            }
        }
    }
    return true;
}

// The manifest's menu pictures with the fonts of their captions, generated once for the suite.
class MenuArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        entries = new std::vector<mkmedia::Entry>;
        ASSERT_TRUE(
            mkmedia::readManifest(std::string(PIBBLES_SOURCE_DIR) + "/media/mkmedia.xml", *entries, error))
            << error;
        std::erase_if(*entries, [](const mkmedia::Entry& entry) { return !chosen(entry); });
        folder = new testsupport::TempDir;
        context = new mkmedia::Context;
        context->outputFolder = folder->path();
        for (const mkmedia::Entry& entry : *entries) {
            if (entry.element == "font") {
                context->fonts[entry.file()] = entry;
            }
        }
        ASSERT_TRUE(mkmedia::generateAll(*entries, *context, error)) << error;
    }
    static void TearDownTestSuite() {
        delete entries;
        delete context;
        delete folder;
    }

    static std::vector<const mkmedia::Entry*> where(const std::string& name, const std::string& value) {
        std::vector<const mkmedia::Entry*> found;
        for (const mkmedia::Entry& entry : *entries) {
            if (entry.element == "image" && entry.text(name) == value) {
                found.push_back(&entry);
            }
        }
        return found;
    }
    static const mkmedia::Entry& one(const std::string& name, const std::string& value) {
        const std::vector<const mkmedia::Entry*> found = where(name, value);
        EXPECT_EQ(found.size(), 1u) << name << " " << value;
        return found.empty() ? entries->front() : *found.front();
    }
    static Picture picture(const mkmedia::Entry& entry) {
        const std::string path = (folder->path() / entry.file()).string();
        Picture image =
            entry.file().ends_with(".jpg") ? graphics::loadJpegImage(path) : graphics::loadPngImage(path);
        EXPECT_TRUE(image) << entry.file();
        return image;
    }
    // Generates one more entry of the given attributes into the suite's folder; false with the message.
    static bool generate(std::map<std::string, std::string> attributes, std::string& error) {
        return mkmedia::generateImage({"image", std::move(attributes)}, *context, error);
    }

    static testsupport::TempDir* folder;
    static mkmedia::Context* context;
    static std::vector<mkmedia::Entry>* entries;
};

testsupport::TempDir* MenuArt::folder = nullptr;
mkmedia::Context* MenuArt::context = nullptr;
std::vector<mkmedia::Entry>* MenuArt::entries = nullptr;

// The game fades the glint in on its first frame, plays the frames once and holds the last before it fades
// out: the glint grows to its brightest and settles to a glint still worth holding.
TEST_F(MenuArt, GlintFlaresUpAndRestsOnItsLastFrame) {
    const mkmedia::Entry& entry = one("kind", "glint");
    const Picture strip = picture(entry);
    ASSERT_TRUE(strip);
    const int frames = entry.integer("frames", 1);
    ASSERT_EQ(frames, 6);
    ASSERT_EQ(strip->getWidth(), entry.integer("width", 0));
    const int height = strip->getHeight() / frames;
    ASSERT_EQ(height, entry.integer("height", 0));
    std::vector<int> covers;
    for (int frame = 0; frame < frames; ++frame) {
        covers.push_back(coverage(*strip, frame * height, height));
        EXPECT_GT(covers.back(), 0) << "frame " << frame;
        EXPECT_FALSE(frame > 0 && sameRows(*strip, frame - 1, frame, height)) << "frame " << frame;
        // Drawn about the middle: the sprite is anchored there.
        EXPECT_GT(alphaAt(*strip, strip->getWidth() / 2, frame * height + height / 2), 200)
            << "frame " << frame;
    }
    const auto brightest = std::max_element(covers.begin(), covers.end()) - covers.begin();
    EXPECT_GT(brightest, 0);
    EXPECT_LT(brightest, frames - 1);
    EXPECT_GT(covers.back(), covers.front()) << "it rests bigger than it starts";
}

// The game end blinks its glints anywhere in its "shine" rectangle: every pixel there is the trophy's gold;
// the corner where the dialog puts its button stays grass.
TEST_F(MenuArt, TheTrophyCoversTheShineAndTheButtonsCornerIsGrass) {
    const mkmedia::Entry& entry = one("kind", "celebration");
    const Picture image = picture(entry);
    ASSERT_TRUE(image);
    std::istringstream shine(entry.text("shine"));
    int sx = 0;
    int sy = 0;
    int sw = 0;
    int sh = 0;
    ASSERT_TRUE(shine >> sx >> sy >> sw >> sh);
    int notGold = 0;
    for (int y = sy; y < sy + sh; ++y) {
        for (int x = sx; x < sx + sw; ++x) {
            const std::uint32_t pixel = at(*image, x, y);
            notGold += !(lane(pixel, 16) >= 150 && lane(pixel, 16) - lane(pixel, 0) >= 40);
        }
    }
    EXPECT_EQ(notGold, 0);
    // Above the trophy the sky is no gold.
    const std::uint32_t sky = at(*image, sx + sw / 2, 8);
    EXPECT_LT(lane(sky, 16) - lane(sky, 0), 40);
    int grass = 0;
    int all = 0;
    for (int y = 412; y < 460; ++y) {
        for (int x = 490; x < 620; ++x) {
            const std::uint32_t pixel = at(*image, x, y);
            grass += lane(pixel, 8) > lane(pixel, 16) && lane(pixel, 8) > lane(pixel, 0);
            ++all;
        }
    }
    EXPECT_GT(grass * 10, all * 8);
}

TEST_F(MenuArt, ACelebrationNeedsAShineItsTrophyFits) {
    std::string error;
    const std::map<std::string, std::string> base = {
        {"file", "images/bad.jpg"}, {"kind", "celebration"}, {"width", "640"}, {"height", "480"}};
    for (const char* shine : {"", "370 98", "370 98 0 72", "1 1 84 72", "600 98 84 72", "370 400 84 72"}) {
        std::map<std::string, std::string> attributes = base;
        attributes["shine"] = shine;
        error.clear();
        EXPECT_FALSE(generate(attributes, error)) << "shine \"" << shine << "\"";
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(folder->path() / "images/bad.jpg"));
}

// The pause's "continue" text (white letters, dark rim) lies in the band below the clouds, which stays dim;
// the caption above is bright.
TEST_F(MenuArt, ThePauseKeepsTheContinueBandDimUnderABrightCaption) {
    const Picture image = picture(one("kind", "pausescene"));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->getWidth(), 640);
    ASSERT_EQ(image->getHeight(), 480);
    int brightest = 0;
    for (int y = 400; y < 450; ++y) {
        for (int x = 140; x < 500; ++x) {
            brightest = std::max(brightest, brightness(at(*image, x, y)));
        }
    }
    EXPECT_LT(brightest, 190);
    int white = 0;
    for (int y = 80; y < 150; ++y) {
        for (int x = 180; x < 460; ++x) {
            white += brightness(at(*image, x, y)) > 240;
        }
    }
    EXPECT_GT(white, 1000) << "the caption";
}

// The knob's middle travels from half a knob in at one end to half a knob in at the other: the groove is
// solid along that stretch and the picture's ends beyond it stay clear.
TEST_F(MenuArt, GroovesRunWhereTheKnobsMiddleGoes) {
    const std::vector<const mkmedia::Entry*> tracks = where("kind", "slidertrack");
    ASSERT_EQ(tracks.size(), 2u);
    for (const mkmedia::Entry* track : tracks) {
        SCOPED_TRACE(track->file());
        const Picture image = picture(*track);
        ASSERT_TRUE(image);
        const bool across = image->getWidth() > image->getHeight();
        const int length = across ? image->getWidth() : image->getHeight();
        const int middle = (across ? image->getHeight() : image->getWidth()) / 2;
        const int knob = track->integer("knob", 0);
        const auto alongAt = [&](int t) {
            return across ? alphaAt(*image, t, middle) : alphaAt(*image, middle, t);
        };
        for (int t = knob / 2; t < length - knob / 2; ++t) {
            EXPECT_EQ(alongAt(t), 255) << "at " << t;
        }
        EXPECT_EQ(alongAt(0), 0);
        EXPECT_EQ(alongAt(length - 1), 0);
    }
    std::string error;
    EXPECT_FALSE(generate({{"file", "images/long.png"},
                           {"kind", "slidertrack"},
                           {"width", "40"},
                           {"height", "20"},
                           {"knob", "40"}},
                          error));
    EXPECT_NE(error.find("knob"), std::string::npos) << error;
}

// The scroll bar's buttons point the way they scroll, the knobs show their ridges or none, and every
// button's four states differ.
TEST_F(MenuArt, ScrollButtonsPointTheirWayAndEveryStateDiffers) {
    // How far the white ink spreads in the upper and in the lower half of the first frame: a chevron is
    // narrow at its point and wide at the ends of its arms.
    const auto spreads = [](const graphics::MemoryImage32& image, int height) {
        int spread[2] = {0, 0};
        for (int y = 0; y < height; ++y) {
            int left = image.getWidth();
            int right = -1;
            for (int x = 0; x < image.getWidth(); ++x) {
                const std::uint32_t pixel = at(image, x, y);
                if (lane(pixel, 24) > 200 && lane(pixel, 16) > 240 && lane(pixel, 8) > 240 &&
                    lane(pixel, 0) > 240) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
            int& half = spread[y < height / 2 ? 0 : 1];
            half = std::max(half, right - left);
        }
        return std::pair{spread[0], spread[1]};
    };
    const Picture up = picture(one("symbol", "up"));
    const Picture down = picture(one("symbol", "down"));
    ASSERT_TRUE(up && down);
    const auto [upTop, upBottom] = spreads(*up, up->getHeight() / 4);
    const auto [downTop, downBottom] = spreads(*down, down->getHeight() / 4);
    EXPECT_LT(upTop, upBottom) << "an up arrow's point stands at its top";
    EXPECT_GT(downTop, downBottom) << "a down arrow's point stands at its bottom";
    for (const char* symbol : {"up", "down", "grip"}) {
        for (const mkmedia::Entry* entry : where("symbol", symbol)) {
            SCOPED_TRACE(entry->file());
            const Picture strip = picture(*entry);
            ASSERT_TRUE(strip);
            ASSERT_EQ(entry->integer("frames", 1), 4);
            const int frame = strip->getHeight() / 4;
            for (int a = 0; a < 4; ++a) {
                for (int b = a + 1; b < 4; ++b) {
                    EXPECT_FALSE(sameRows(*strip, a, b, frame)) << "states " << a << " and " << b;
                }
            }
        }
    }
}

// Each help pibble stands in its square, clear of its corners, and no two kinds look alike; a kind the
// help does not know is refused.
TEST_F(MenuArt, HelpPibblesShowTheirKinds) {
    // The player list's marker is a pibble of the same kind; the help's are those in its folder.
    std::vector<const mkmedia::Entry*> icons = where("kind", "helpicon");
    std::erase_if(icons,
                  [](const mkmedia::Entry* icon) { return !icon->file().starts_with("images/help/"); });
    ASSERT_EQ(icons.size(), 7u);
    std::vector<Picture> pictures;
    for (const mkmedia::Entry* icon : icons) {
        SCOPED_TRACE(icon->file());
        Picture image = picture(*icon);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->getWidth(), icon->integer("width", 0));
        ASSERT_EQ(image->getHeight(), icon->integer("height", 0));
        const int w = image->getWidth();
        const int h = image->getHeight();
        EXPECT_EQ(alphaAt(*image, w / 2, h * 2 / 3), 255) << "the pibble's body";
        if (icon->text("pibble") != "party") {
            EXPECT_EQ(alphaAt(*image, 0, 0) + alphaAt(*image, w - 1, 0), 0) << "the upper corners";
        }
        for (const Picture& other : pictures) {
            EXPECT_NE(std::memcmp(image->pixels32(), other->pixels32(), static_cast<std::size_t>(w * h) * 4),
                      0);
        }
        pictures.push_back(image);
    }
    std::string error;
    EXPECT_FALSE(generate({{"file", "images/ghost.png"}, {"kind", "helpicon"}, {"pibble", "ghost"}}, error));
    EXPECT_NE(error.find("ghost"), std::string::npos) << error;
    EXPECT_FALSE(generate({{"file", "images/wide.png"},
                           {"kind", "helpicon"},
                           {"pibble", "clown"},
                           {"width", "60"},
                           {"height", "40"}},
                          error));
}

// The contact sheet shows the menus once their pieces are made: the sections come with the slider's groove
// and draw whatever else of the menus is there.
TEST(MenuSheet, TheMenusJoinTheSheetWithTheirPieces) {
    testsupport::TempDir dir;
    std::string pibble;
    for (const char* part : {"feet", "body", "head", "ears"}) {
        pibble += std::string("<image file=\"yellow_") + part + ".png\" kind=\"pibble\" part=\"" + part +
                  "\" look=\"yellow\" width=\"100\" height=\"125\"/>";
    }
    const std::string menus =
        R"(<font file="fonts/dialog_18" size="18" color="#4A2C6B" outline="#FFF8E8"/>
           <image file="images/menus/slider_track.png" kind="slidertrack" width="220" height="28" knob="28"/>
           <image file="images/menus/slider_knob.png" kind="button" width="28" height="28" frames="4" symbol="grip"/>
           <image file="images/gameend/background.jpg" kind="celebration" width="640" height="480"
                  shine="370 98 84 72"/>)";
    const auto sheetHeight = [&](const std::string& name, const std::string& entries) {
        const std::string manifest = dir.write(name + ".xml", "<mkmedia>" + entries + "</mkmedia>");
        std::string error;
        EXPECT_TRUE(mkmedia::runManifest(manifest, dir.path() / name, error)) << error;
        const std::string sheet = dir.file(name + ".png");
        EXPECT_TRUE(mkmedia::writeSheetOfManifest(manifest, dir.path() / name, sheet, error)) << error;
        const Picture picture = graphics::loadPngImage(sheet);
        return picture ? picture->getHeight() : 0;
    };
    const int without = sheetHeight("pibbles", pibble);
    const int with = sheetHeight("menus", pibble + menus);
    ASSERT_GT(without, 0);
    EXPECT_GT(with, without + 2 * 480) << "the pause, the game end and the dialogs in place";
}

} // namespace
