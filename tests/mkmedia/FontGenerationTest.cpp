#include "GeneratedMedia.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/PngDecoder.h"

#include <algorithm>

using kernel::SmartPtr;

namespace {

SmartPtr<graphics::BitmapFont> loadFont(const std::string& name, SmartPtr<graphics::MemoryImage32>& charset) {
    charset = graphics::loadPngImage(mkmediatest::mediaFile(name + ".png"));
    EXPECT_TRUE(charset);
    if (charset) {
        charset->setAlphaMode(true);
    }
    SmartPtr<graphics::BitmapFont> font = new graphics::BitmapFont();
    font->load(mkmediatest::mediaFile(name + ".xml"), charset.get(), kernel::Color(0xFFFFFFFF), false, 0);
    return font;
}

TEST(FontGenerationTest, EngineMeasuresAndDrawsTheGeneratedFont) {
    SmartPtr<graphics::MemoryImage32> charset;
    SmartPtr<graphics::BitmapFont> font = loadFont("fonts/title", charset);
    ASSERT_TRUE(font->isLoaded());
    EXPECT_GT(font->textWidth(u"Ab"), font->textWidth(u"A"));
    EXPECT_GT(font->textWidth(u"A"), 0);
    EXPECT_GT(font->lineHeight(), 0);
    EXPECT_GT(font->getBaseline(), 0);
    EXPECT_LT(font->getBaseline(), charset->getHeight());

    SmartPtr<graphics::MemoryImage32> target = graphics::createImage32(200, 60);
    font->drawText(*SmartPtr<graphics::ImagePainter>(target->createPainter()), u"Ab", 0, 0);
    const std::uint32_t* pixels = target->pixels32();
    EXPECT_TRUE(
        std::any_of(pixels, pixels + 200 * 60, [](std::uint32_t pixel) { return pixel >> 24 == 255; }));
}

// The ids are single Latin-1 bytes, XML specials escaped, apostrophe included.
TEST(FontGenerationTest, EveryPrintableLatin1CharacterHasItsGlyph) {
    SmartPtr<graphics::MemoryImage32> charset;
    SmartPtr<graphics::BitmapFont> font = loadFont("fonts/small", charset);
    for (int code = 33; code <= 255; ++code) {
        if (code >= 127 && code <= 160) {
            continue;
        }
        // Text is widened from signed bytes, so the upper half arrives as 0xFFxx.
        const auto character = static_cast<char16_t>(static_cast<signed char>(code));
        ASSERT_TRUE(font->hasGlyph(character)) << "code " << code;
        EXPECT_GT(font->glyph(character).width, 0) << "code " << code;
    }
    EXPECT_NE(font->glyph(u'\'').source, font->glyph(u'"').source);
    EXPECT_GT(font->glyph(u'\'').source.w, 0);
    EXPECT_EQ(font->glyph(u'W').source.h, charset->getHeight()) << "glyphs span the charset's one row";
    EXPECT_GT(font->getSpaceWidth(), 0);
}

// A font for markup text spaces its lines by its letters' whole height, so one line's pictures never reach
// into the next's, and may take a narrower blank; the rest of it is the same face.
TEST(FontGenerationTest, MarkupFontsSpaceTheirLinesByTheWholeLetters) {
    testsupport::TempDir dir;
    std::string error;
    ASSERT_TRUE(mkmediatest::generate(
        dir,
        R"(<mkmedia><font file="fonts/plain" size="16" color="#4A2C6B" outline="#FFF8E8"/>
                                         <font file="fonts/markup" size="16" color="#4A2C6B" outline="#FFF8E8"
                                               lineheight="full" space="2"/></mkmedia>)",
        "media", error))
        << error;
    const auto load = [&](const std::string& name, SmartPtr<graphics::MemoryImage32>& charset) {
        charset = graphics::loadPngImage((dir.path() / "media" / (name + ".png")).string());
        SmartPtr<graphics::BitmapFont> font = new graphics::BitmapFont();
        font->load((dir.path() / "media" / (name + ".xml")).string(), charset.get(),
                   kernel::Color(0xFFFFFFFF), false, 0);
        return font;
    };
    SmartPtr<graphics::MemoryImage32> plainCharset;
    SmartPtr<graphics::MemoryImage32> markupCharset;
    const SmartPtr<graphics::BitmapFont> plain = load("fonts/plain", plainCharset);
    const SmartPtr<graphics::BitmapFont> markup = load("fonts/markup", markupCharset);
    ASSERT_TRUE(plain->isLoaded() && markup->isLoaded());
    ASSERT_EQ(markupCharset->getHeight(), plainCharset->getHeight());
    EXPECT_LT(plain->lineHeight(), plainCharset->getHeight()) << "a face's own lines overlap their letters";
    EXPECT_EQ(markup->lineHeight(), markupCharset->getHeight());
    EXPECT_EQ(markup->getSpaceWidth(), 2);
    EXPECT_GT(plain->getSpaceWidth(), 2);
    EXPECT_EQ(markup->textWidth(u"Pibble"), plain->textWidth(u"Pibble"));
}

} // namespace
