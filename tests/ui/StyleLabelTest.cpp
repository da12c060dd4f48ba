#include "engine/ui/StyleLabel.h"
#include "engine/graphics/DecodeLimits.h"
#include "engine/graphics/MemoryImage32.h"

#include "TestImages.h"
#include "TextResources.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using kernel::SmartPtr;
using kernel::WideString;
using ui::Label;
using ui::StyleLabel;

class StyleLabelTest : public ::testing::Test {
protected:
    // Made without a text, so that blanks reach the parse as written, then given the markup.
    SmartPtr<StyleLabel> styled(int width, const WideString& markup) {
        SmartPtr<StyleLabel> label = resources.make<StyleLabel>(
            R"(<StyleLabel id="w" font="small" section="text" width=")" + std::to_string(width) + "\"/>");
        EXPECT_TRUE(label);
        label->setText(markup);
        return label;
    }

    testsupport::TextResources resources;
};

// Per line, "text@x,y" of each piece.
std::vector<std::string> layoutOf(const StyleLabel& label) {
    std::vector<std::string> result;
    for (const SmartPtr<ui::TextLine>& line : label.getLines()) {
        std::string pieces;
        for (const SmartPtr<Label>& piece : line->pieces) {
            if (!pieces.empty()) {
                pieces += ' ';
            }
            pieces += kernel::narrowString(piece->getText());
            pieces += '@';
            pieces += std::to_string(piece->getX());
            pieces += ',';
            pieces += std::to_string(piece->getY());
        }
        result.push_back(pieces);
    }
    return result;
}

TEST_F(StyleLabelTest, PlacesRunsByMarkup) {
    struct Row {
        int width;
        WideString markup;
        std::vector<std::string> lines;
    };
    // Pieces are one pixel wider than their text: "ab" takes 10, "a" 6; a blank advances 4.
    const std::vector<Row> rows{
        {0, u"ab  cd", {"ab@0,0 cd@18,0"}},
        {0, u"  ab", {"ab@0,0"}},
        {0, u"ab\\ncd", {"ab@0,0", "cd@0,10"}},
        {0, u"ab[br]cd[nosuch=1]ef", {"ab@0,0", "cd@0,10 ef@10,10"}},
        {0, u"a\\[ b", {"a[ b@0,0"}}, // the character after an escaped bracket stays in the run
        {0, u"ab[color=#FF0000 cd", {"ab@0,0"}},
        {0, u"[]ab[=x]cd]", {"ab@0,0 cd]@10,0"}},
        {30, u"[wrapstyle=wordwrap]ab cd ef", {"ab@0,0 cd@14,0", "ef@0,10"}},
        {12, u"[wrapstyle=wordwrap]ab abcd ab", {"ab@0,0", "ab@0,10"}},
        {46, u"[wrapstyle=truncate]ab cd efghij xy", {"ab@0,0 cd@14,0 e...@28,0"}},
        {30, u"[wrapstyle=truncate]ab cd ef", {"ab@0,0 ...@14,0"}},
        {0, u"[tabs=20,40]a[tab]b[tab=1]c", {"a@0,0 b@20,0 c@20,0"}},
        {0, u"[tabs=6]a[tab]b", {"a@0,0 b@6,0"}},
        {0, u"[tabs=40,20]a[tab]b", {"a@0,0 b@40,0"}},
        {0, u"[tabs=0x10,x,010]a[tab=2]b[tab=3]c[tab=0]d[tab=z]e", {"a@0,0 b@8,0 c@14,0 d@20,0 e@26,0"}},
        {50, u"[image=pic,text,right,multi]ab", {"ab@0,0"}},
        {50, u"[image=pic,text,,multi]ab", {"ab@7,0"}},
        {50, u"[image=pic,text,inline,none]ab", {"ab@0,12"}},
        {50, u"ab [image=pic,text,left,none]cd", {"ab@0,0", "cd@0,22"}},
        {50, u"[image=pic,text,,single]\\ncd", {"", "cd@0,12"}},
        {50, u"[image=pic]ab[image=nosuch,text,,multi]cd[image=,,,]", {"ab@0,0 cd@10,0"}},
        {0, u"[font=big,text]a[/font]a[font=nosuch,text]a[/font][font=big]a", {"a@0,0 a@8,0 a@14,0 a@20,0"}},
        {50, u"[alignh=right]ab\\n[/alignh]cd[/alignh][alignh=center]ef", {"ab@40,0", "cd@15,10 ef@25,10"}},
    };
    for (const Row& row : rows) {
        const SmartPtr<StyleLabel> label = styled(row.width, row.markup);
        EXPECT_EQ(layoutOf(*label), row.lines) << kernel::narrowString(row.markup);
    }
}

// A truncated line is closed to further runs, even ones that would fit, but only that line; its alignment
// counts the ellipsis, not the dropped runs.
TEST_F(StyleLabelTest, TruncationEndsOnlyItsLineAndAligns) {
    const struct {
        int width;
        WideString markup;
        std::vector<std::string> lines;
    } rows[] = {
        {56, u"[wrapstyle=truncate]ab cd efghijk a\\nxy", {"ab@0,0 cd@14,0 e...@28,0", "xy@0,10"}},
        {30, u"[wrapstyle=truncate]ab cd ef\\ngh ij kl", {"ab@0,0 ...@14,0", "gh@0,10 ...@14,10"}},
        {48, u"[wrapstyle=truncate][alignh=right]ab cd efghij", {"ab@2,0 cd@16,0 e...@30,0"}},
        {48,
         u"[wrapstyle=truncate][alignh=center]ab cd efghij\\nab",
         {"ab@1,0 cd@15,0 e...@29,0", "ab@19,10"}},
        {30, u"[wrapstyle=truncate][alignh=right]ab cd ef", {"ab@2,0 ...@16,0"}},
        {46, u"[wrapstyle=truncate]ab cd efghij\\nabcdefghijklm", {"ab@0,0 cd@14,0 e...@28,0", "a...@0,10"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(kernel::narrowString(row.markup));
        EXPECT_EQ(layoutOf(*styled(row.width, row.markup)), row.lines);
    }
    const SmartPtr<StyleLabel> relaid = styled(46, u"[wrapstyle=truncate]ab cd efghij");
    relaid->setText(u"abcdefghijklm");
    EXPECT_EQ(layoutOf(*relaid), std::vector<std::string>{"a...@0,0"}) << "a full line of the last layout";
}

TEST_F(StyleLabelTest, MalformedMarkupNeverBreaksTheLayout) {
    for (const WideString markup :
         {u"[", u"[[[", u"]]]", u"[=]", u"[color]a", u"[tab=]", u"[tabs=]", u"[tabs=,,]", u"[font=,]",
          u"[/font][/color][/alignv][/alignh][/wrapstyle]", u"\\[", u"\\", u"[x]\\[",
          u"[image=pic,text,center,none][image=pic,text,right,single]"}) {
        const SmartPtr<StyleLabel> label = styled(20, markup);
        EXPECT_GE(label->getWidth(), 1) << kernel::narrowString(markup);
        EXPECT_GE(label->getHeight(), 1) << kernel::narrowString(markup);
        EXPECT_NE(label->getImage(), nullptr);
    }
    EXPECT_EQ(layoutOf(*styled(0, u"[x]\\[")), std::vector<std::string>{"[@0,0"});
}

// Markup can send the pen to either end of the int range: positions stop there instead of overflowing, a
// piece or picture placed there ends within the range, and the label grows no larger than the largest
// picture.
TEST_F(StyleLabelTest, FarTabStopsClampTheLayout) {
    const struct {
        int width;
        WideString markup;
        std::vector<std::string> lines;
    } rows[] = {
        {0, u"[tabs=2147483647][tab]ab", {"ab@2147483637,0"}},
        {0, u"[tabs=2147483647][tab]ab cd", {"ab@2147483637,0 cd@2147483637,0"}},
        {0, u"[tabs=-2147483648][tab=1]ab cd", {"ab@-2147483648,0 cd@-2147483634,0"}},
        {50, u"[alignh=right][tabs=-2147483648][tab=1]ab", {"ab@-1,0"}},
        {50, u"[wrapstyle=truncate][tabs=2147483647][tab]ab cd", {""}},
        {50, u"[wrapstyle=wordwrap][tabs=2147483600][tab]ab cd", {"", "ab@0,10 cd@14,10"}},
        {50,
         u"[tabs=2147483647][tab][image=pic,text,,multi]ab[image=pic,text,,none]cd",
         {"ab@2147483637,0", "cd@0,22"}},
    };
    for (const auto& row : rows) {
        const SmartPtr<StyleLabel> label = styled(row.width, row.markup);
        EXPECT_EQ(layoutOf(*label), row.lines) << kernel::narrowString(row.markup);
        EXPECT_LE(label->getWidth(), graphics::maxDecodedSide);
        EXPECT_NE(label->getImage(), nullptr);
        for (const SmartPtr<ui::TextLine>& line : label->getLines()) {
            for (const SmartPtr<Label>& piece : line->pieces) {
                EXPECT_LE(std::int64_t{piece->getX()} + piece->getWidth(), INT_MAX)
                    << kernel::narrowString(piece->getText());
            }
        }
        for (const SmartPtr<ui::Sprite>& image : label->getImages()) {
            EXPECT_LE(std::int64_t{image->getX()} + image->getWidth(), INT_MAX);
        }
    }
}

TEST_F(StyleLabelTest, StackedTagsRestoreAndOpenOnesPersist) {
    const SmartPtr<StyleLabel> label = styled(0, u"[color=#FF00FF00]a[/color]b[color=00FF00]c[color=zz]d"
                                                 u"[/color][/color][/color]e[wrapstyle=bogus][/wrapstyle]"
                                                 u"[wrapstyle=wordwrap][alignv=baseline][color=#80112233]");
    std::vector<std::uint32_t> colours;
    for (const SmartPtr<Label>& piece : label->getLines().at(0)->pieces) {
        colours.push_back(piece->getColor());
    }
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{0xFF00FF00, 0, 0x0000FF00, 0, 0}));
    EXPECT_EQ(label->getColor(), 0x80112233u);
    EXPECT_EQ(label->getWrapStyle(), Label::WrapWord);
    EXPECT_EQ(label->getAlignV(), StyleLabel::AlignBaseline);

    label->relayout();
    EXPECT_EQ(label->getLines().at(0)->pieces.at(1)->getColor(), 0x80112233u)
        << "the open colour was restored";
}

TEST_F(StyleLabelTest, PiecesAlignVerticallyByTheirOwnAlignment) {
    const SmartPtr<StyleLabel> label = styled(0, u"[font=big,text]A[/font][alignv=baseline]a[alignv=center]a"
                                                 u"[alignv=bottom]a[br]");
    const std::vector<SmartPtr<Label>>& pieces = label->getLines().at(0)->pieces;
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0]->getFont(), resources.font("big"));
    EXPECT_EQ(pieces[1]->getFont(), resources.font("small"));
    const std::vector<int> ys{pieces[0]->getY(), pieces[1]->getY(), pieces[2]->getY(), pieces[3]->getY()};
    EXPECT_EQ(ys, (std::vector<int>{0, 10 - 6, (14 - 8) / 2, 14 - 8}));
    EXPECT_EQ(label->getHeight(), 14 + 8);
}

TEST_F(StyleLabelTest, AutoFitGrowsToTheWidestLine) {
    const SmartPtr<StyleLabel> label = styled(0, u"ab\\nabcd");
    EXPECT_EQ(label->getWidth(), 18);
    EXPECT_EQ(label->getHeight(), 10 + 8);
}

TEST_F(StyleLabelTest, RendersPiecesAndPicturesWithTheirAlpha) {
    const SmartPtr<StyleLabel> label = styled(30, u"[color=00FF0000]ab[image=pic,text,right,multi]");
    const auto* image = static_cast<graphics::MemoryImage32*>(label->getImage());
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->getAlphaMode());
    EXPECT_TRUE(image->isModified());
    const std::vector<std::uint32_t> row(image->pixels32(), image->pixels32() + 30);
    EXPECT_EQ(row[0], 0xFFFF0000u) << "a glyph";
    EXPECT_EQ(row[8], 0x00FF0000u) << "the piece's own clear colour";
    EXPECT_EQ(row[9], 0u) << "past the piece";
    EXPECT_EQ(row[24], 0xFFFFFFFFu) << "the picture";
}

TEST_F(StyleLabelTest, WithoutFontNothingIsDrawn) {
    const SmartPtr<StyleLabel> label = resources.make<StyleLabel>(
        R"(<StyleLabel id="w" text="ab [font=nosuch,text]cd[image=nosuch,text]"/>)");
    ASSERT_TRUE(label && label->getImage());
    EXPECT_EQ(label->getWidth(), 1);
    EXPECT_EQ(label->getHeight(), 1);
    EXPECT_EQ(layoutOf(*label), std::vector<std::string>{""});
    EXPECT_EQ(testsupport::count(*static_cast<graphics::MemoryImage32*>(label->getImage()), 0), 1);
}

} // namespace
