// The label drawn as one sprite per character: where each letter stands by the font's pads, offsets and
// spacing, blanks and missing glyphs, lines, and when the letters are built.
#include "game/field/SpriteLabel.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/NodeValue.h"

#include "FieldWorld.h"
#include "TempDir.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Place = std::pair<int, int>;

// A colour-keyed font with a side pad of 2, a top pad of 1, a spacing of 1 and blanks 5 wide: 'a' is 6
// wide and advances 6, 'b' is 8 wide, advances 7 and stands 2 to the right, 'c' is 5 wide, advances 5 and
// stands 1 to the right. Lines are 12 apart.
class SpriteLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        font = makeFont();
        label = new game::SpriteLabel(settings);
        label->setBuffered(false);
        label->setFont(font.get());
    }
    kernel::SmartPtr<graphics::BitmapFont> makeFont() const {
        const std::string format =
            dir.write("font.xml",
                      R"(<Font><Node id="charsetinfo" sidepad="2" toppad="1" charspacing="1" spacewidth="5")"
                      R"( lineheight="12" /><Vector id="charset">)"
                      R"(<Node id="a" x="0" y="0" w="6" h="10" width="6" offsetx="0" />)"
                      R"(<Node id="b" x="6" y="0" w="8" h="10" width="7" offsetx="2" />)"
                      R"(<Node id="c" x="14" y="0" w="5" h="10" width="5" offsetx="1" />)"
                      "</Vector></Font>");
        const kernel::SmartPtr<graphics::BitmapFont> made = new graphics::BitmapFont();
        made->load(format, testsupport::filled32(19, 10, 0xFFFFFFFFu).get(), kernel::Color(0xFFFFFFFFu), true,
                   kernel::modeFile);
        EXPECT_TRUE(made->isLoaded());
        return made;
    }
    void paint() {
        const kernel::SmartPtr<graphics::MemoryImage32> target = graphics::createImage32(8, 8);
        const kernel::SmartPtr<graphics::ImagePainter> painter = target->createPainter();
        label->paint(*painter);
    }
    std::vector<Place> places() const {
        std::vector<Place> found;
        for (const kernel::SmartPtr<ui::Sprite>& letter : label->glyphs()) {
            found.emplace_back(letter->getX(), letter->getY());
        }
        return found;
    }
    std::vector<int> widths() const {
        std::vector<int> found;
        for (const kernel::SmartPtr<ui::Sprite>& letter : label->glyphs()) {
            found.push_back(letter->getWidth());
        }
        return found;
    }
    // Letters let go of are killed and wait for the scene's cleaner.
    std::size_t liveChildren() const {
        std::size_t count = 0;
        for (const ui::GameNode* child = label->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            count += child->isDead() ? 0 : 1;
        }
        return count;
    }

    fieldtest::FieldWorld world;
    testsupport::TempDir dir;
    kernel::NodeValue settings{"label", "SpriteLabel"};
    kernel::SmartPtr<graphics::BitmapFont> font;
    kernel::SmartPtr<game::SpriteLabel> label;
};

// The pen starts at the side pad and above by the top pad, as the font draws.
TEST_F(SpriteLabelTest, EachLetterStandsWhereTheFontWouldDrawIt) {
    struct Case {
        const char16_t* text;
        std::vector<Place> places;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {u"", {}, {}},
        {u"a", {{2, -1}}, {6}},
        {u"ab", {{2, -1}, {11, -1}}, {6, 8}},
        {u"ba", {{2, -1}, {8, -1}}, {8, 6}},                 // the first letter without its offset
        {u"a  b", {{2, -1}, {23, -1}}, {6, 8}},              // each blank advances 5 + 1, and draws nothing
        {u"  ", {}, {}},                                     //
        {u" b", {{10, -1}}, {8}},                            // after a blank the offset counts
        {u"a?b", {{2, -1}, {11, -1}}, {6, 8}},               // no glyph: skipped, no advance
        {u"ab\nc", {{2, -1}, {11, -1}, {2, 11}}, {6, 8, 5}}, // each line's first letter without its offset
        {u"c\nbc", {{2, -1}, {2, 11}, {9, 11}}, {5, 8, 5}}};
    for (const Case& one : cases) {
        SCOPED_TRACE(kernel::narrowString(one.text));
        label->setText(one.text);
        paint();
        EXPECT_EQ(places(), one.places);
        EXPECT_EQ(widths(), one.widths);
        EXPECT_EQ(liveChildren(), one.places.size()) << "the letters are the label's children";
    }
}

TEST_F(SpriteLabelTest, ACentredLabelsLettersStandAboutItsMiddle) {
    label->setAnchor(ui::Sprite::Center);
    label->setText(u"ab");
    label->layoutGlyphs();
    const int halfWidth = label->getWidth() / 2;
    const int halfHeight = label->getHeight() / 2;
    ASSERT_GT(halfWidth, 0);
    EXPECT_EQ(places(),
              (std::vector<Place>{{2 - halfWidth, -1 - halfHeight}, {11 - halfWidth, -1 - halfHeight}}));
}

TEST_F(SpriteLabelTest, LettersAreBuiltAtTheNextPaintOrWhenAsked) {
    EXPECT_TRUE(label->needsLayout());
    label->setText(u"ab");
    EXPECT_TRUE(label->glyphs().empty()) << "not before the paint";
    paint();
    EXPECT_FALSE(label->needsLayout());
    EXPECT_EQ(label->glyphs().size(), 2u);
    paint();
    EXPECT_EQ(label->glyphs().size(), 2u) << "a paint without a change keeps them";

    label->setText(u"abc");
    EXPECT_TRUE(label->needsLayout());
    EXPECT_EQ(label->glyphs().size(), 2u) << "the old letters until the paint";
    paint();
    EXPECT_EQ(label->glyphs().size(), 3u);
    EXPECT_EQ(liveChildren(), 3u);

    label->setFont(makeFont().get());
    EXPECT_TRUE(label->needsLayout());
    paint();
    EXPECT_EQ(label->glyphs().size(), 3u);

    // Built when asked, and the next paint keeps them.
    const kernel::SmartPtr<game::SpriteLabel> asked = new game::SpriteLabel(settings);
    asked->setFont(font.get());
    asked->setText(u"ba");
    asked->layoutGlyphs();
    EXPECT_FALSE(asked->needsLayout());
    ASSERT_EQ(asked->glyphs().size(), 2u);
    const ui::Sprite* first = asked->glyphs()[0].get();
    const kernel::SmartPtr<graphics::MemoryImage32> target = graphics::createImage32(8, 8);
    asked->paint(*kernel::SmartPtr<graphics::ImagePainter>(target->createPainter()));
    ASSERT_EQ(asked->glyphs().size(), 2u);
    EXPECT_EQ(asked->glyphs()[0].get(), first);
}

TEST_F(SpriteLabelTest, WithoutAFontThereAreNoLetters) {
    label->setText(u"ab");
    paint();
    ASSERT_EQ(label->glyphs().size(), 2u);
    label->setFont(nullptr);
    paint();
    EXPECT_TRUE(label->glyphs().empty());
    label->setText(u"abc");
    label->layoutGlyphs();
    EXPECT_TRUE(label->glyphs().empty());
    EXPECT_FALSE(label->needsLayout());
}

// A party match shows dozens of floaters at once: a letter's picture is drawn once per font, character and
// colour and shared by every letter that shows it.
TEST_F(SpriteLabelTest, LettersOfOneFontCharacterAndColourShareTheirPicture) {
    const auto picture = [](const game::SpriteLabel& owner, std::size_t i) {
        return static_cast<graphics::MemoryImage32*>(owner.glyphs()[i]->getImage());
    };
    // The character as the font draws it in that colour, into a picture of the glyph's size.
    const auto drawn = [](graphics::BitmapFont& with, std::uint32_t colour) {
        const kernel::SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(6, 10);
        const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
        painter->setColor(kernel::Color(colour));
        painter->setFont(&with);
        painter->drawText(u"a", -with.getSidePad(), 0);
        return testsupport::words(*image);
    };
    label->setColor(0xFF2040A0u);
    label->setText(u"abca");
    label->layoutGlyphs();
    ASSERT_EQ(label->glyphs().size(), 4u);
    EXPECT_EQ(picture(*label, 3), picture(*label, 0));
    EXPECT_NE(picture(*label, 1), picture(*label, 0));
    EXPECT_EQ(testsupport::words(*picture(*label, 0)), drawn(*font, 0xFF2040A0u));
    EXPECT_TRUE(picture(*label, 0)->getAlphaMode());

    const kernel::SmartPtr<game::SpriteLabel> same = new game::SpriteLabel(settings);
    same->setFont(font.get());
    same->setColor(0xFF2040A0u);
    same->setText(u"a");
    same->layoutGlyphs();
    EXPECT_EQ(picture(*same, 0), picture(*label, 0));

    // Another colour, or the same font's glyphs from another charset, draw a picture of their own.
    same->setColor(0xFF00FF00u);
    same->layoutGlyphs();
    EXPECT_NE(picture(*same, 0), picture(*label, 0));
    EXPECT_EQ(testsupport::words(*picture(*same, 0)), drawn(*font, 0xFF00FF00u));
    const kernel::SmartPtr<graphics::BitmapFont> other = makeFont();
    same->setFont(other.get());
    same->setColor(0xFF2040A0u);
    same->layoutGlyphs();
    EXPECT_NE(picture(*same, 0), picture(*label, 0));
    EXPECT_EQ(testsupport::words(*picture(*same, 0)), drawn(*other, 0xFF2040A0u));
}

TEST_F(SpriteLabelTest, LayingOutAgainReplacesTheLetters) {
    label->setText(u"ab");
    label->layoutGlyphs();
    label->setText(u"c");
    label->layoutGlyphs();
    EXPECT_EQ(places(), (std::vector<Place>{{2, -1}}));
    EXPECT_EQ(liveChildren(), 1u);
}

} // namespace
