// The selection scene's art as the game's manifest asks for it: each mode button shows its own pibble in
// four states that differ; the glows fade out to their edges, the shine leaves the button's face clear; the
// comic's pages fill the screen, tell different moments, show their page's dot and keep the button's corner
// calm; the visitor stands about its middle, as the game draws it; the name field's font holds what a name
// may have and nothing a file's name cannot; the key tap is short and heard; the contact sheet shows it all.
#include "GeneratedMedia.h"

#include "tools/mkmedia/ContactSheet.h"
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/Pictures.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {

using kernel::SmartPtr;
using Picture = SmartPtr<graphics::MemoryImage32>;

const std::set<std::string> chosenKinds = {"titlescreen", "modebutton", "softglow",
                                           "listrow",     "visitor",    "comicpage"};
const std::set<std::string> chosenFonts = {"fonts/title_64", "fonts/mode_26", "fonts/nameinput_20"};

bool chosen(const mkmedia::Entry& entry) {
    return (entry.element == "image" && chosenKinds.contains(entry.kind())) ||
           (entry.element == "font" && chosenFonts.contains(entry.file())) ||
           (entry.element == "sound" && entry.kind() == "keytap");
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

// The mean difference of the colour lanes over two pictures of one size.
double meanDifference(const graphics::MemoryImage32& a, const graphics::MemoryImage32& b) {
    double sum = 0;
    for (int y = 0; y < a.getHeight(); ++y) {
        for (int x = 0; x < a.getWidth(); ++x) {
            for (const int shift : {16, 8, 0}) {
                sum += std::abs(lane(at(a, x, y), shift) - lane(at(b, x, y), shift));
            }
        }
    }
    return sum / (3.0 * a.getWidth() * a.getHeight());
}

// The selection scene's entries of the game's manifest with the fonts of their captions, generated once.
class SelectionArt : public ::testing::Test {
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
    static Picture picture(const mkmedia::Entry& entry) {
        const std::string path = (folder->path() / entry.file()).string();
        Picture image =
            entry.file().ends_with(".jpg") ? graphics::loadJpegImage(path) : graphics::loadPngImage(path);
        EXPECT_TRUE(image) << entry.file();
        return image;
    }
    static bool generate(std::map<std::string, std::string> attributes, std::string& error) {
        return mkmedia::generateImage({"image", std::move(attributes)}, *context, error);
    }

    static testsupport::TempDir* folder;
    static mkmedia::Context* context;
    static std::vector<mkmedia::Entry>* entries;
};

testsupport::TempDir* SelectionArt::folder = nullptr;
mkmedia::Context* SelectionArt::context = nullptr;
std::vector<mkmedia::Entry>* SelectionArt::entries = nullptr;

// Three cards of the size the scene lays them at, four states one below the other, each state its own
// picture; the rounded corners stay clear; the disabled state is grey; no two modes look alike.
TEST_F(SelectionArt, ModeButtonsShowTheirModesInFourStatesThatDiffer) {
    const std::vector<const mkmedia::Entry*> buttons = where("kind", "modebutton");
    ASSERT_EQ(buttons.size(), 3u);
    std::set<std::string> modes;
    std::vector<Picture> cards;
    for (const mkmedia::Entry* button : buttons) {
        SCOPED_TRACE(button->file());
        modes.insert(button->text("mode"));
        const Picture strip = picture(*button);
        ASSERT_TRUE(strip);
        const int height = button->integer("height", 0);
        ASSERT_EQ(strip->getWidth(), button->integer("width", 0));
        ASSERT_EQ(strip->getHeight(), 4 * height);
        for (int a = 0; a < 4; ++a) {
            EXPECT_EQ(alphaAt(*strip, 0, a * height), 0) << "state " << a << "'s corner";
            EXPECT_EQ(alphaAt(*strip, strip->getWidth() / 2, a * height + height / 3), 255) << "state " << a;
            for (int b = a + 1; b < 4; ++b) {
                EXPECT_FALSE(sameRows(*strip, a, b, height)) << "states " << a << " and " << b;
            }
        }
        int coloured = 0;
        for (int y = 3 * height; y < 4 * height; ++y) {
            for (int x = 0; x < strip->getWidth(); ++x) {
                const std::uint32_t pixel = at(*strip, x, y);
                const int spread = std::max({lane(pixel, 16), lane(pixel, 8), lane(pixel, 0)}) -
                                   std::min({lane(pixel, 16), lane(pixel, 8), lane(pixel, 0)});
                coloured += lane(pixel, 24) > 200 && spread > 12;
            }
        }
        EXPECT_EQ(coloured, 0) << "the disabled state is grey";
        for (const Picture& other : cards) {
            EXPECT_GT(meanDifference(*strip, *other), 8.0);
        }
        cards.push_back(strip);
    }
    EXPECT_EQ(modes, (std::set<std::string>{"action", "relax", "vib"}));
    std::string error;
    EXPECT_FALSE(generate({{"file", "images/odd.png"}, {"kind", "modebutton"}, {"mode", "puzzle"}}, error));
    EXPECT_NE(error.find("puzzle"), std::string::npos) << error;
}

// The glow behind the VIB button is brightest in its middle and gone at its edges; the shine laid over the
// next button leaves the button's face (its middle) clear and glows round it.
TEST_F(SelectionArt, GlowsFadeOutToTheirEdgesAndTheShineLeavesTheFaceClear) {
    const std::vector<const mkmedia::Entry*> glows = where("kind", "softglow");
    ASSERT_EQ(glows.size(), 2u);
    for (const mkmedia::Entry* glow : glows) {
        SCOPED_TRACE(glow->file());
        const Picture image = picture(*glow);
        ASSERT_TRUE(image);
        const int w = image->getWidth();
        const int h = image->getHeight();
        EXPECT_EQ(alphaAt(*image, 0, 0) + alphaAt(*image, w - 1, h - 1), 0) << "corners";
        EXPECT_LT(alphaAt(*image, w / 2, 0), 30) << "the top edge";
        const int inset = glow->integer("inset", 0);
        if (glow->text("ring") == "true") {
            EXPECT_EQ(alphaAt(*image, w / 2, h / 2), 0) << "the button's face";
            EXPECT_GT(alphaAt(*image, w / 2, inset), 150) << "the ring over the button's rim";
        } else {
            EXPECT_GT(alphaAt(*image, w / 2, h / 2), 200);
            EXPECT_GT(alphaAt(*image, w / 2, inset / 2), alphaAt(*image, w / 2, 1)) << "it fades outwards";
        }
    }
}

// The pages fill the screen and tell four different moments; each page's dot is lit; the corner where the
// dialog puts its next button is calm paper on every page; a page beyond the story is refused.
TEST_F(SelectionArt, ComicPagesTellFourMomentsAndKeepTheButtonsCornerFree) {
    std::vector<Picture> pages;
    for (int page = 1; page <= 4; ++page) {
        const std::vector<const mkmedia::Entry*> found = where("page", std::to_string(page));
        ASSERT_EQ(found.size(), 1u) << "page " << page;
        Picture image = picture(*found.front());
        ASSERT_TRUE(image);
        ASSERT_EQ(image->getWidth(), 640);
        ASSERT_EQ(image->getHeight(), 480);
        pages.push_back(image);
    }
    for (std::size_t a = 0; a < pages.size(); ++a) {
        for (std::size_t b = a + 1; b < pages.size(); ++b) {
            EXPECT_GT(meanDifference(*pages[a], *pages[b]), 15.0) << "pages " << a + 1 << " and " << b + 1;
        }
    }
    // The dots stand about the middle of the band below the panels, 4 of them 3.6 radii apart.
    const int radius = static_cast<int>(480 * 0.014f);
    const int dotY = static_cast<int>(480 * (0.87f + 1) / 2);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        for (int dot = 0; dot < 4; ++dot) {
            const int x = 320 + static_cast<int>((static_cast<float>(dot) - 1.5f) * radius * 3.6f);
            const std::uint32_t pixel = at(*pages[page], x, dotY);
            const bool pink = lane(pixel, 16) - lane(pixel, 8) > 60;
            EXPECT_EQ(pink, dot == static_cast<int>(page)) << "page " << page + 1 << ", dot " << dot + 1;
        }
        int darkest = 255;
        for (int y = 410; y < 478; ++y) {
            for (int x = 478; x < 626; ++x) {
                darkest = std::min(darkest, lane(at(*pages[page], x, y), 8));
            }
        }
        EXPECT_GT(darkest, 180) << "page " << page + 1 << ": the button's corner";
    }
    const std::vector<const mkmedia::Entry*> paper = where("page", "0");
    ASSERT_EQ(paper.size(), 1u);
    const Picture bare = picture(*paper.front());
    ASSERT_TRUE(bare);
    int farthest = 0;
    const int middle = lane(at(*bare, 320, 240), 8);
    for (int y = 0; y < 480; y += 3) {
        for (int x = 0; x < 640; x += 3) {
            farthest = std::max(farthest, std::abs(lane(at(*bare, x, y), 8) - middle));
        }
    }
    EXPECT_LT(farthest, 40) << "the bare paper is plain";
    std::string error;
    EXPECT_FALSE(generate({{"file", "images/page_5.jpg"}, {"kind", "comicpage"}, {"page", "5"}}, error));
    EXPECT_FALSE(error.empty());
}

// The game draws the visitor about its middle and doubles it in flight: the figure's bounds are centred in
// the picture, with clear corners and margins to grow into.
TEST_F(SelectionArt, TheVisitorStandsAboutItsMiddle) {
    const std::vector<const mkmedia::Entry*> found = where("kind", "visitor");
    ASSERT_EQ(found.size(), 1u);
    const Picture image = picture(*found.front());
    ASSERT_TRUE(image);
    const int w = image->getWidth();
    const int h = image->getHeight();
    int left = w;
    int right = -1;
    int top = h;
    int bottom = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (alphaAt(*image, x, y) > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, left);
    EXPECT_LE(std::abs((left + right) / 2 - w / 2), w / 10);
    EXPECT_LE(std::abs((top + bottom) / 2 - h / 2), h / 10);
    EXPECT_GT(left, 0);
    EXPECT_LT(right, w - 1);
    EXPECT_GT(right - left, w / 2) << "it fills its picture";
    EXPECT_EQ(alphaAt(*image, w / 2, h / 2), 255);
}

// A list row is a button of four differing states; the name field is the same piece at rest, one frame.
TEST_F(SelectionArt, ListRowsDifferByStateAndTheFieldIsOneFrame) {
    const std::vector<const mkmedia::Entry*> rows = where("kind", "listrow");
    ASSERT_EQ(rows.size(), 2u);
    for (const mkmedia::Entry* row : rows) {
        SCOPED_TRACE(row->file());
        const Picture strip = picture(*row);
        ASSERT_TRUE(strip);
        const int frames = row->integer("frames", 1);
        const int height = row->integer("height", 0);
        ASSERT_EQ(strip->getHeight(), frames * height);
        for (int a = 0; a < frames; ++a) {
            EXPECT_EQ(alphaAt(*strip, strip->getWidth() / 2, a * height + height / 2), 255);
            for (int b = a + 1; b < frames; ++b) {
                EXPECT_FALSE(sameRows(*strip, a, b, height)) << "states " << a << " and " << b;
            }
        }
    }
}

// The title screen carries the game's name in its golden letters at the top middle, and the meadow the
// smaller buttons stand on along the bottom.
TEST_F(SelectionArt, TheTitleScreenHasItsNameAboveAndItsMeadowBelow) {
    const std::vector<const mkmedia::Entry*> found = where("kind", "titlescreen");
    ASSERT_EQ(found.size(), 1u);
    const Picture image = picture(*found.front());
    ASSERT_TRUE(image);
    ASSERT_EQ(image->getWidth(), 640);
    ASSERT_EQ(image->getHeight(), 480);
    int golden = 0;
    for (int y = 10; y < 90; ++y) {
        for (int x = 200; x < 440; ++x) {
            const std::uint32_t pixel = at(*image, x, y);
            golden += lane(pixel, 16) > 220 && lane(pixel, 8) > 170 && lane(pixel, 0) < 120;
        }
    }
    EXPECT_GT(golden, 1500) << "the name's letters";
    int grass = 0;
    for (int y = 390; y < 445; ++y) {
        for (int x = 0; x < 640; x += 2) {
            const std::uint32_t pixel = at(*image, x, y);
            grass += lane(pixel, 8) > lane(pixel, 16) && lane(pixel, 8) > lane(pixel, 0);
        }
    }
    EXPECT_GT(grass, 55 * 320 * 7 / 10);
}

// The rectangles of a title screen's "sitters", "x y width height" each, separated by ';'.
std::vector<std::array<int, 4>> sittersOf(const std::string& text) {
    std::vector<std::array<int, 4>> areas;
    std::istringstream list(text);
    for (std::string one; std::getline(list, one, ';');) {
        std::istringstream numbers(one);
        std::array<int, 4> area{};
        if (numbers >> area[0] >> area[1] >> area[2] >> area[3]) {
            areas.push_back(area);
        }
    }
    return areas;
}

// The title screen as the generator draws it from the entry with the given sitters, the seed kept.
Picture titleScreenWith(const mkmedia::Entry& entry, const std::string& sitters) {
    mkmedia::Entry moved = entry;
    moved.attributes["sitters"] = sitters;
    mkmedia::PictureRequest request(moved);
    request.width = 640;
    request.height = 480;
    request.seed = 7;
    mkmedia::Canvas canvas(request.width, request.height);
    mkmedia::drawTitleScreen(request, 0, canvas);
    return Picture(&canvas.image());
}

// The two pibbles on their clouds beside the name keep inside the rectangles the manifest gives them, ears,
// clouds and soft shadows and all, since the game keeps its welcome line clear of those: the screen drawn
// with them lower down differs from it only inside the rectangles of the two drawings.
TEST_F(SelectionArt, TheTitleScreensPibblesKeepInsideTheirDeclaredRectangles) {
    const std::vector<const mkmedia::Entry*> found = where("kind", "titlescreen");
    ASSERT_EQ(found.size(), 1u);
    const std::vector<std::array<int, 4>> declared = sittersOf(found.front()->text("sitters"));
    ASSERT_EQ(declared.size(), 2u);
    constexpr int drop = 200;
    std::vector<std::array<int, 4>> both = declared;
    std::string lower;
    for (const auto& [x, y, w, h] : declared) {
        both.push_back({x, y + drop, w, h});
        lower += (lower.empty() ? "" : "; ") + std::to_string(x) + " " + std::to_string(y + drop) + " " +
                 std::to_string(w) + " " + std::to_string(h);
    }
    const Picture asDeclared = titleScreenWith(*found.front(), found.front()->text("sitters"));
    const Picture dropped = titleScreenWith(*found.front(), lower);
    int outside = 0;
    int inside = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (at(*asDeclared, x, y) == at(*dropped, x, y)) {
                continue;
            }
            const bool within = std::any_of(both.begin(), both.end(), [&](const std::array<int, 4>& area) {
                return x >= area[0] && y >= area[1] && x < area[0] + area[2] && y < area[1] + area[3];
            });
            (within ? inside : outside) += 1;
            if (!within && outside <= 5) {
                ADD_FAILURE() << "the pibbles reach (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 2 * 2 * 1500) << "each pibble on its cloud is drawn";
}

// A title screen without its two sitters' rectangles inside it is refused, and nothing is written.
TEST_F(SelectionArt, ATitleScreenNeedsItsTwoSittersInsideIt) {
    for (const char* sitters : {"", "20 20 90 90", "20 20 90 90; 520 20 90 90; 300 20 90 90", "20 20 90",
                                "20 20 0 90; 520 20 90 90", "-1 20 90 90; 520 20 90 90",
                                "20 20 90 90; 560 20 90 90", "20 400 90 90; 520 20 90 90"}) {
        std::string error;
        EXPECT_FALSE(generate({{"file", "images/bad_title.jpg"},
                               {"kind", "titlescreen"},
                               {"width", "640"},
                               {"height", "480"},
                               {"sitters", sitters}},
                              error))
            << "sitters \"" << sitters << "\"";
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(folder->path() / "images/bad_title.jpg"));
}

// The name field takes a typed character only when its font has it: letters, digits, the blank and a few
// signs are there; the characters a file's name cannot hold, and anything beyond ASCII, are not.
TEST_F(SelectionArt, TheNameFieldsFontHoldsWhatANameMayHave) {
    const std::string base = (folder->path() / "fonts/nameinput_20").string();
    const Picture charset = graphics::loadPngImage(base + ".png");
    ASSERT_TRUE(charset);
    charset->setAlphaMode(true);
    const SmartPtr<graphics::BitmapFont> font = new graphics::BitmapFont();
    font->load(base + ".xml", charset.get(), kernel::Color(0xFFFFFFFF), false, 0);
    for (const char16_t character : std::u16string(u"azAZ09 -_.!'+Wg")) {
        EXPECT_TRUE(font->hasGlyph(character)) << static_cast<int>(character);
    }
    for (const char16_t character : std::u16string(u"/\\:*?\"<>|%~")) {
        EXPECT_FALSE(font->hasGlyph(character)) << static_cast<int>(character);
    }
    EXPECT_FALSE(font->hasGlyph(static_cast<char16_t>(0xE9)));
    EXPECT_GT(font->textWidth(u"a b"), font->textWidth(u"ab")) << "the blank spaces the words";
}

// A key tap follows quick typing: over in a tenth of a second, and heard.
TEST_F(SelectionArt, TheKeyTapIsShortAndHeard) {
    std::ifstream in(folder->path() / "sounds/key.wav", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::size_t count = (bytes.size() - data - 8) / 2;
    EXPECT_LT(count, 44100u / 10);
    int peak = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::int16_t sample = 0;
        std::memcpy(&sample, bytes.data() + data + 8 + 2 * i, 2);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(peak, 3000);
}

// The contact sheet shows the selection scene once its pieces are made.
TEST(SelectionSheet, TheMenuItsDialogsAndTheComicJoinTheSheet) {
    testsupport::TempDir dir;
    std::string pibble;
    for (const char* part : {"feet", "body", "head", "ears"}) {
        pibble += std::string("<image file=\"yellow_") + part + ".png\" kind=\"pibble\" part=\"" + part +
                  "\" look=\"yellow\" width=\"100\" height=\"125\"/>";
    }
    const std::string selection =
        R"(<font file="fonts/welcome_22" size="22" color="#FFFFFF" outline="#5B2A86"
                 face="DejaVuSansCondensed-Bold.ttf"/>
           <image file="images/selection/mode_action.png" kind="modebutton" mode="action" width="82"
                  height="84" frames="4"/>
           <image file="images/strip/page_1.jpg" kind="comicpage" page="1" width="640" height="480"/>)";
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
    const int with = sheetHeight("selection", pibble + selection);
    ASSERT_GT(without, 0);
    EXPECT_GT(with, without + 3 * 480) << "the menu, the dialogs over it and the comic";
}

} // namespace
