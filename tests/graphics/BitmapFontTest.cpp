#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"

#include "TempDir.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace graphics;
using kernel::Color;
using kernel::SmartPtr;

namespace {

constexpr const char* glyphA = R"(<Node id="A" x="0" y="0" w="9" h="4" width="10" offsetx="3"/>)";

std::string formatFile(const std::string& info, const std::string& glyphs) {
    return "<Font><Node id=\"charsetinfo\" " + info + "/><Vector id=\"charset\">" + glyphs +
           "</Vector></Font>";
}

// A 16 x 8 charset whose pixels are all the given value.
SmartPtr<MemoryImage32> charset(std::uint32_t pixel) {
    SmartPtr<MemoryImage32> image = testsupport::filled32(16, 8, pixel);
    image->setAlphaMode(true);
    return image;
}

class BitmapFontTest : public ::testing::Test {
protected:
    SmartPtr<BitmapFont> loadFont(const std::string& format, ImageBase* image = nullptr, bool keyed = false) {
        SmartPtr<BitmapFont> font = new BitmapFont();
        font->load(dir.write("font.xml", format), image ? image : glyphs.get(), Color(0xFF112233), keyed, 0);
        return font;
    }

    testsupport::TempDir dir;
    SmartPtr<MemoryImage32> glyphs = charset(0x80FF0000);
};

std::uint32_t pixelAt(const MemoryImage32& image, int x, int y) {
    return image.pixels32()[y * image.getWidth() + x];
}

TEST_F(BitmapFontTest, MeasuresPadsFirstOffsetAndLastGlyphEdge) {
    SmartPtr<BitmapFont> font = loadFont(formatFile(R"(sidepad="2" charspacing="1")", glyphA));
    EXPECT_EQ(font->textWidth(u""), 4);
    EXPECT_EQ(font->textWidth(u"A"), 13);
    EXPECT_EQ(font->textWidth(u"AA"), 24);
    EXPECT_EQ(font->textWidth(u"A~A"), 24) << "a character without a glyph adds nothing, not even spacing";
}

TEST_F(BitmapFontTest, BlankAdvancesBySpaceWidthAndSpacing) {
    SmartPtr<BitmapFont> font = loadFont(formatFile(R"(spacewidth="5" charspacing="1")", glyphA));
    EXPECT_EQ(font->textWidth(u"A A"), (10 - 3 + 1) + (5 + 1) + (10 + 1 + 1));
    EXPECT_TRUE(font->hasGlyph(u' '));
    EXPECT_FALSE(font->hasGlyph(u'B'));
}

TEST_F(BitmapFontTest, CharacterPicksGlyphByLowByte) {
    SmartPtr<BitmapFont> font = loadFont(formatFile("", glyphA));
    EXPECT_TRUE(font->hasGlyph(u'\u0141'));
    EXPECT_EQ(font->textWidth(u"\u0141"), font->textWidth(u"A"));

    SmartPtr<MemoryImage32> wide = createImage32(20, 8);
    SmartPtr<MemoryImage32> plain = createImage32(20, 8);
    font->drawText(*SmartPtr<ImagePainter>(wide->createPainter()), u"\u0141", 1, 2);
    font->drawText(*SmartPtr<ImagePainter>(plain->createPainter()), u"A", 1, 2);
    EXPECT_NE(pixelAt(*plain, 1, 2), 0u);
    EXPECT_TRUE(std::equal(wide->pixels32(), wide->pixels32() + 160, plain->pixels32()));
}

TEST_F(BitmapFontTest, SecondDoubleQuoteEntryDefinesApostrophe) {
    SmartPtr<BitmapFont> font = loadFont(formatFile("", R"(<Node id="&quot;" w="2" h="2" width="3"/>)"
                                                        R"(<Node id="&quot;" w="1" h="2" width="7"/>)"));
    EXPECT_EQ(font->glyph(u'"').width, 3);
    EXPECT_EQ(font->glyph(u'\'').width, 7);
}

TEST_F(BitmapFontTest, LineHeightFallsBackToLastGlyphHeight) {
    const std::string glyphs = std::string(glyphA) + R"(<Node id="B" w="2" h="7" width="3"/>)";
    EXPECT_EQ(loadFont(formatFile("", glyphs))->lineHeight(), 7);
    EXPECT_EQ(loadFont(formatFile(R"(lineheight="15")", glyphs))->lineHeight(), 15);
}

TEST_F(BitmapFontTest, DrawRaisesAlphaOf32BitTargetOnlyAndRestoresPainterAlpha) {
    SmartPtr<BitmapFont> font = loadFont(formatFile("", glyphA));
    SmartPtr<MemoryImage32> target = createImage32(20, 8);
    SmartPtr<ImagePainter> painter = target->createPainter();
    painter->setFont(font.get());
    painter->setAlpha(200);
    painter->drawText(u"A", 0, 0);
    EXPECT_EQ(painter->getAlpha(), 200);
    EXPECT_GE(pixelAt(*target, 8, 3) >> 24, 0x80u);
    EXPECT_EQ(pixelAt(*target, 9, 3), 0u) << "outside the glyph's 9 columns";

    SmartPtr<MemoryImage> target16 = createImage16(20, 8);
    SmartPtr<ImagePainter> painter16 = target16->createPainter();
    painter16->drawText(u"A", 0, 0);
    EXPECT_EQ(target16->pixels16()[0], 0) << "no font, no text";
    painter16->setFont(font.get());
    painter16->drawText(u"A", 0, 0);
    EXPECT_NE(target16->pixels16()[0], 0);
    EXPECT_EQ(*std::max_element(target16->getAlphaBuffer(), target16->getAlphaBuffer() + 160), 0);
}

TEST_F(BitmapFontTest, ColourKeyedFontDrawsInPainterColour) {
    SmartPtr<MemoryImage32> mask = charset(0xFFFFFFFF);
    SmartPtr<BitmapFont> keyed = loadFont(formatFile("", glyphA), mask.get(), true);
    ASSERT_NE(keyed->getChannel(), nullptr);
    EXPECT_EQ(keyed->effectiveColor(Color(0xFF00FF00)).value, 0xFF00FF00u);
    EXPECT_EQ(loadFont(formatFile("", glyphA))->effectiveColor(Color(0xFF00FF00)).value, 0xFF112233u);

    SmartPtr<MemoryImage32> target = createImage32(20, 8);
    SmartPtr<ImagePainter> painter = target->createPainter();
    painter->setColor(Color(0xFF00FF00));
    keyed->drawText(*painter, u"A", 0, 0);
    // Full coverage at full alpha blends as 254 of 255.
    EXPECT_EQ(pixelAt(*target, 4, 3) & 0xFFFFFF, 0x00FD00u);
    EXPECT_EQ(pixelAt(*target, 4, 3) >> 24, 0xFFu);
}

TEST_F(BitmapFontTest, GlyphRectangleIsClippedToCharset) {
    SmartPtr<BitmapFont> font =
        loadFont(formatFile("", R"(<Node id="A" x="#c" y="-3" w="40" h="90" width="4"/>)"
                                R"(<Node id="B" x="99" w="5" h="5" width="4"/>)"));
    EXPECT_EQ(font->glyph(u'A').source, kernel::Rect(12, 0, 4, 8));
    EXPECT_TRUE(font->glyph(u'B').source.isEmpty());
    SmartPtr<MemoryImage32> target = createImage32(64, 64);
    font->drawText(*SmartPtr<ImagePainter>(target->createPainter()), u"AB", 0, 0);
    EXPECT_NE(pixelAt(*target, 3, 7), 0u);
    EXPECT_EQ(pixelAt(*target, 4, 0), 0u);
}

TEST_F(BitmapFontTest, MissingOrBrokenFormatFileLeavesEmptyFont) {
    const std::string bad[] = {"", "<Font><Node id=\"charsetinfo\" sidepad=", "not xml <<>> at all",
                               formatFile("sidepad=\"#zz\"", "<Integer id=\"x\">4</Integer>")};
    for (const std::string& format : bad) {
        SmartPtr<BitmapFont> font = loadFont(format);
        EXPECT_FALSE(font->isLoaded()) << format;
        EXPECT_FALSE(font->hasGlyph(u'D')) << format;
        EXPECT_EQ(font->textWidth(u"A A"), 0) << format;
        EXPECT_EQ(font->lineHeight(), 0) << format;
    }
    SmartPtr<BitmapFont> missing = new BitmapFont();
    missing->load(dir.file("absent.xml"), nullptr, Color(), true, 0);
    SmartPtr<MemoryImage32> target = createImage32(4, 4);
    missing->drawText(*SmartPtr<ImagePainter>(target->createPainter()), u"AB", 0, 0);
    EXPECT_EQ(missing->getSidePad(), 0);
}

} // namespace
