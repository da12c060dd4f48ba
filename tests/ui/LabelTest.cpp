#include "engine/ui/Label.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/PropertyStore.h"

#include "TestImages.h"
#include "TextResources.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using kernel::SmartPtr;
using kernel::WideString;
using ui::Label;

class LabelTest : public ::testing::Test {
protected:
    // Laid out once at the given width; the width is left as the layout made it.
    SmartPtr<Label> laidOut(const WideString& text, int width, int style) {
        SmartPtr<Label> label = new Label(resources.font("small"), 0, 0, width, 0, style);
        label->setText(text);
        return label;
    }

    testsupport::TextResources resources;
};

TEST_F(LabelTest, LaysOutByWrapStyle) {
    struct Row {
        WideString text;
        int width;
        int style;
        std::vector<WideString> lines;
    };
    const std::vector<Row> rows{
        {u"ab\\ncd", 0, Label::WrapNone, {u"ab", u"cd"}},
        {u"ab\n\ncd\n", 0, Label::WrapNone, {u"ab", u"", u"cd", u""}},
        {u"abcdef", 25, Label::WrapTruncate, {u"abcdef"}}, // exactly as wide as the label
        {u"abcdefg\nab", 25, Label::WrapTruncate, {u"ab...", u"ab"}},
        {u"abcdef", 13, Label::WrapTruncate, {u"..."}}, // only the ellipsis fits
        {u"abcdef", 12, Label::WrapTruncate, {u""}},    // not even the ellipsis fits
        {u"ab cd ef", 21, Label::WrapWord, {u"ab", u"cd ef"}},
        {u"abcdefgh", 10, Label::WrapWord, {u"ab", u"cd", u"ef", u"gh"}},
        {u"  abcdefgh", 10, Label::WrapWord, {u"", u"ab", u"cd", u"ef", u"gh"}},
        {u"ab\n\ncd", 10, Label::WrapWord, {u"ab", u"", u"cd"}},
        {u"abc de", 3, Label::WrapWord, {u"a", u"b", u"c", u"d", u"e"}}, // narrower than one glyph
        {u"ab cd", 9, Label::WrapWord, {u"ab", u"cd"}}, // a first word exactly as wide as the label
    };
    for (const Row& row : rows) {
        const SmartPtr<Label> label = laidOut(row.text, row.width, row.style);
        EXPECT_EQ(label->getLines(), row.lines) << kernel::narrowString(row.text) << " at " << row.width;
        if (row.style == Label::WrapTruncate) {
            for (const WideString& line : label->getLines()) {
                EXPECT_LE(resources.font("small")->textWidth(line), row.width);
            }
        }
    }
}

TEST_F(LabelTest, AutoFitCentresLinesOnTheWidestAndFitsTheLabel) {
    const SmartPtr<Label> label = new Label(resources.font("small"), 7, 0, 0, 0, Label::WrapNone);
    label->setAlignH(Label::AlignCenter);
    label->setText(u"ab\nabcd");
    ASSERT_EQ(label->getPositions().size(), 2u);
    EXPECT_EQ(label->getPositions()[0], graphics::PointF(4, 0)); // -(9 / 2) shifted by the widest's 8
    EXPECT_EQ(label->getPositions()[1], graphics::PointF(0, 10));
    EXPECT_EQ(label->getTextBounds(), kernel::Rect(-8, 0, 17, 1 + 10 + 8));
    EXPECT_EQ(label->getWidth(), 18);
    EXPECT_EQ(label->getHeight(), 19);
    ASSERT_NE(label->getImage(), nullptr);
    EXPECT_TRUE(label->getImage()->getAlphaMode());
    EXPECT_TRUE(label->getImage()->isModified());
}

TEST_F(LabelTest, FixedSizeAlignsInsideTheLabel) {
    const SmartPtr<Label> label = laidOut(u"ab", 30, Label::WrapNone);
    label->setAutoFit(false);
    label->setSize(30, 40);
    for (const auto& [alignV, alignH, x, y] : {std::tuple{Label::AlignTop, Label::AlignLeft, 0, 0},
                                               std::tuple{Label::AlignMiddle, Label::AlignCenter, 10, 16},
                                               std::tuple{Label::AlignBottom, Label::AlignRight, 21, 32}}) {
        label->setAlignV(alignV);
        label->setAlignH(alignH);
        label->relayout();
        EXPECT_EQ(label->getPositions().at(0), graphics::PointF(x, y)) << alignV;
    }
    EXPECT_EQ(label->getWidth(), 30) << "without auto-fit the setters only store";
}

TEST_F(LabelTest, AlignSettersFitTheOtherDimensionAsDefined) {
    const SmartPtr<Label> label = laidOut(u"ab", 0, Label::WrapNone);
    label->setSize(50, 50);
    label->setAlignV(Label::AlignTop);
    EXPECT_EQ(label->getWidth(), 10);
    EXPECT_EQ(label->getHeight(), 50);
    label->setSize(50, 50);
    label->setAlignH(Label::AlignLeft);
    EXPECT_EQ(label->getWidth(), 50);
    EXPECT_EQ(label->getHeight(), 9);
}

TEST_F(LabelTest, SameTextAgainIsNotLaidOutAgain) {
    const SmartPtr<Label> label = laidOut(u"abcdefgh", 10, Label::WrapWord);
    label->setWidth(100);
    label->setText(u"abcdefgh");
    EXPECT_EQ(label->getLines().size(), 4u);
    label->setText(u"");
    EXPECT_EQ(label->getImage(), nullptr) << "an empty text has no image";
}

TEST_F(LabelTest, SettingsKeysInOrder) {
    kernel::PropertyStore::create()->textMapLookup("TEXT_ID") = u"stored";
    struct Row {
        std::string attributes;
        int style;
        bool autoFit;
        WideString text;
    };
    const std::vector<Row> rows{
        {R"(wrapstyle="truncate" text="a")", Label::WrapTruncate, false, u"a"},
        {R"(wrapstyle="wordwrap" autofitsize="true" value="v")", Label::WrapWord, true, u"v"},
        {R"(wrapstyle="other" autofitsize="false" value="v" textid="TEXT_ID")", Label::WrapNone, false, u"v"},
        {R"(textid="TEXT_ID")", Label::WrapNone, true, u"stored"},
    };
    for (const Row& row : rows) {
        const SmartPtr<Label> label =
            resources.make<Label>(R"(<Label id="w" font="small" section="text" )" + row.attributes + "/>");
        ASSERT_TRUE(label);
        EXPECT_EQ(label->getWrapStyle(), row.style) << row.attributes;
        EXPECT_EQ(label->isAutoFit(), row.autoFit) << row.attributes;
        EXPECT_EQ(label->getText(), row.text) << row.attributes;
    }
    kernel::PropertyStore::destroy();
}

TEST_F(LabelTest, BufferIsClearedToDrawingColourAndPaintedAboveTheTopPad) {
    const SmartPtr<Label> label = resources.make<Label>(
        R"(<Label id="w" font="small" section="text" x="1" y="5" color="#40102030" text="a"/>)");
    ASSERT_TRUE(label && label->getImage());
    const auto* buffer = static_cast<graphics::MemoryImage32*>(label->getImage());
    EXPECT_EQ(buffer->pixels32()[4], 0x40102030u) << "beside the glyph: the colour with its alpha byte";
    EXPECT_EQ(buffer->pixels32()[0] >> 24, 0xFFu);

    const SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(20, 20);
    label->paint(*SmartPtr<graphics::ImagePainter>(screen->createPainter()));
    EXPECT_NE(screen->pixels32()[3 * 20 + 1], 0u) << "drawn from y 5 - top pad 2";
    EXPECT_EQ(screen->pixels32()[2 * 20 + 1], 0u);
}

TEST_F(LabelTest, UnbufferedPaintsFromTheConstructionX) {
    const SmartPtr<Label> label = resources.make<Label>(
        R"(<Label id="w" font="small" section="text" x="2" y="3" buffer="false" color="#FFFFFFFF" text="a"/>)");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->getImage(), nullptr);
    label->setX(10);
    const SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(20, 20);
    label->paint(*SmartPtr<graphics::ImagePainter>(screen->createPainter()));
    EXPECT_NE(screen->pixels32()[3 * 20 + 2], 0u);
    EXPECT_EQ(screen->pixels32()[3 * 20 + 10], 0u);
}

TEST_F(LabelTest, WithoutFontNothingIsLaidOutOrDrawn) {
    for (const char* buffer : {"true", "false"}) {
        const SmartPtr<Label> label =
            resources.make<Label>(std::string(R"(<Label id="w" text="ab\ncd" buffer=")") + buffer + "\"/>");
        ASSERT_TRUE(label);
        label->setWrapStyle(Label::WrapWord);
        label->relayout();
        EXPECT_TRUE(label->getLines().empty());
        EXPECT_EQ(label->getImage(), nullptr);
        const SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(4, 4);
        label->paint(*SmartPtr<graphics::ImagePainter>(screen->createPainter()));
        EXPECT_EQ(testsupport::count(*screen, 0), 16);
    }
}

} // namespace
