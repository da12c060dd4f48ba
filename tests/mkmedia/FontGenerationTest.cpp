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

} // namespace
