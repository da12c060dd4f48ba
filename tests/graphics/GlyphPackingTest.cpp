// A font's charset packed to the rows its glyphs use: a charset strip written as a real PNG file with its
// format file, loaded through the font resource, draws every glyph exactly as the glyph's box of the
// decoded charset draws it (32-bit and 16-bit targets, clipped at the edges, with the painter's alpha,
// colour-keyed), from an image that is smaller than the charset. A font declared "ondemand" holds no pixels
// until it is first drawn and then draws every glyph as the font loaded whole does.
#include "engine/graphics/GlyphPacking.h"
#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/FontResource.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/PngDecoder.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

constexpr int stripHeight = 24;
constexpr int glyphCount = 60;
constexpr char firstCode = 'A';

// Glyph boxes side by side, each with clear rows above and below its letter (some wholly clear, one
// holding a single row) and clear pixels inside it, in colours and alphas of all kinds.
struct Strip {
    int width = 0;
    std::vector<std::uint32_t> pixels;
    std::string format;
};

Strip makeStrip(bool colourKeyed) {
    std::mt19937 random(29);
    std::vector<int> widths;
    Strip strip;
    for (int i = 0; i < glyphCount; ++i) {
        widths.push_back(3 + static_cast<int>(random() % 19));
        strip.width += widths.back();
    }
    strip.pixels.assign(static_cast<std::size_t>(strip.width) * stripHeight, 0);
    std::string glyphs;
    int x = 0;
    for (int i = 0; i < glyphCount; ++i) {
        const int top = static_cast<int>(random() % 10);
        const int rows = i % 17 == 5   ? 0
                         : i % 13 == 7 ? 1
                                       : 1 + static_cast<int>(random() % (stripHeight - top));
        for (int y = top; y < top + rows; ++y) {
            for (int column = 0; column < widths[i]; ++column) {
                const std::uint32_t alpha = random() % 4 == 0 ? 0 : random() % 3 == 0 ? 255 : random() % 256;
                // A colour-keyed charset takes its alpha from the file's red lane.
                const std::uint32_t colour = colourKeyed ? alpha << 16 | 0xFFFFu : random() & 0xFFFFFFu;
                strip.pixels[static_cast<std::size_t>(y) * strip.width + x + column] = alpha << 24 | colour;
            }
        }
        glyphs += "<Node id=\"" + std::string(1, static_cast<char>(firstCode + i)) + "\" x=\"" +
                  std::to_string(x) + "\" y=\"0\" w=\"" + std::to_string(widths[i]) + "\" h=\"" +
                  std::to_string(stripHeight) + "\" width=\"" + std::to_string(widths[i]) + "\"/>";
        x += widths[i];
    }
    strip.format = R"(<Font><Node id="charsetinfo" spacewidth="5" lineheight="26"/><Vector id="charset">)" +
                   glyphs + "</Vector></Font>";
    return strip;
}

SmartPtr<MemoryImage32> image32From(const Strip& strip) {
    SmartPtr<MemoryImage32> image = createImage32(strip.width, stripHeight);
    std::copy(strip.pixels.begin(), strip.pixels.end(), image->pixels32());
    return image;
}

std::string pngOf(const Strip& strip) {
    testsupport::PngPicture picture;
    picture.width = strip.width;
    picture.height = stripHeight;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (const std::uint32_t pixel : strip.pixels) {
        picture.samples.insert(picture.samples.end(),
                               {std::uint16_t((pixel >> 16) & 0xFF), std::uint16_t((pixel >> 8) & 0xFF),
                                std::uint16_t(pixel & 0xFF), std::uint16_t(pixel >> 24)});
    }
    return testsupport::encodePng(picture);
}

// A target that is not blank, with alphas of all kinds, so that a clear pixel drawn over it would show.
template <class Image> SmartPtr<Image> background(Image* made) {
    SmartPtr<Image> target = made;
    SmartPtr<ImagePainter> painter = target->createPainter();
    for (int y = 0; y < target->getHeight(); ++y) {
        for (int x = 0; x < target->getWidth(); ++x) {
            painter->setColor(kernel::Color(static_cast<std::uint32_t>((x * 37 + y * 11) % 256) << 24 |
                                            static_cast<std::uint32_t>(x * 2654435761u + y * 40503u) >> 8));
            painter->fillRect(x, y, 1, 1);
        }
    }
    return target;
}

template <class Image> std::vector<std::uint32_t> contents(const Image& image) {
    std::vector<std::uint32_t> values;
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if constexpr (std::is_same_v<Image, MemoryImage>) {
                const std::size_t at = static_cast<std::size_t>(y) * image.getWidth() + x;
                values.push_back(image.pixels16()[at] | std::uint32_t{image.getAlphaBuffer()[at]} << 16);
            } else {
                values.push_back(image.pixels32()[image.pixelIndex(x, y)]);
            }
        }
    }
    return values;
}

class GlyphPackingTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        strip = makeStrip(keyed());
        dir.write("charset.png", pngOf(strip));
        dir.write("charset.xml", strip.format);
        resource = testsupport::declareResource<Font>(
            dir, keyed() ? R"(<Font id="res" mask="charset.png" color="#FF20C040" format="charset.xml"/>)"
                         : R"(<Font id="res" file="charset.png" format="charset.xml"/>)");
        resource->load();
        ASSERT_FALSE(resource->hasError());
        font = static_cast<BitmapFont*>(resource->get());
        charset = loadPngImage("charset.png");
        ASSERT_TRUE(charset);
        if (keyed()) {
            // As the font resource makes a colour-keyed charset: the colour everywhere, the file's red lane
            // as alpha.
            SmartPtr<ChannelBuffer> red = createImageChannel(*charset, 1);
            SmartPtr<ImagePainter> painter = charset->createPainter();
            painter->setColor(kernel::Color(0xFF20C040));
            painter->clear();
            painter->copyChannelToLane(*red, 0, 0, 0);
            channel = createImageChannel(*charset, 0);
        }
        charset->setAlphaMode(true);
    }
    bool keyed() const { return GetParam(); }

    // The glyph of the code drawn at (x, y) by the font, and from its box of the decoded charset as a font
    // that keeps the charset draws it.
    template <class Image> void expectSameGlyph(Image* made, char16_t code, int x, int y, int alpha) {
        SmartPtr<Image> drawnByFont = background(made);
        SmartPtr<Image> drawnFromBox = background(static_cast<Image*>(createImageLike(*made)));
        SmartPtr<ImagePainter> painter = drawnByFont->createPainter();
        painter->setColor(kernel::Color(0xFF3366CC));
        painter->setAlpha(alpha);
        font->drawText(*painter, std::u16string(1, code), x, y);

        SmartPtr<ImagePainter> reference = drawnFromBox->createPainter();
        reference->setColor(kernel::Color(0xFF3366CC));
        reference->setAlpha(alpha);
        const kernel::Rect& box = font->glyph(code).source;
        if (channel) {
            reference->fillThroughChannel(*channel, x, y, box);
        } else {
            reference->blit(*charset, x, y, box);
        }
        reference->maxLane(*charset, 0, x, y, box);
        ASSERT_EQ(contents(*drawnByFont), contents(*drawnFromBox))
            << "glyph " << static_cast<char>(code) << " at " << x << "," << y << " alpha " << alpha;
    }
    static ImageBase* createImageLike(const MemoryImage32& image) {
        return createImage32(image.getWidth(), image.getHeight());
    }
    static ImageBase* createImageLike(const MemoryImage& image) {
        return createImage16(image.getWidth(), image.getHeight());
    }

    testsupport::WorkingFolder dir;
    Strip strip;
    SmartPtr<Font> resource;
    BitmapFont* font = nullptr;
    SmartPtr<MemoryImage32> charset;
    SmartPtr<ChannelBuffer> channel;
};

TEST_P(GlyphPackingTest, TheFontHoldsASmallerImageInPlaceOfTheCharset) {
    ASSERT_TRUE(font->isPacked());
    const ImageBase* packed = font->getImage();
    EXPECT_EQ(resource->getImage(), packed) << "the resource lets the decoded charset go";
    EXPECT_LE(std::int64_t{packed->getWidth()} * packed->getHeight() * 10,
              std::int64_t{strip.width} * stripHeight * 9);
    EXPECT_EQ(font->getChannel() != nullptr, keyed());
    EXPECT_EQ(font->charsetHeight(), stripHeight) << "a label lays the letters out by the charset's height";
    // What the format file says stays: sizes, advances and the width of a text.
    const BitmapFont::Glyph& first = font->glyph(firstCode);
    EXPECT_EQ(first.source.h, stripHeight);
    EXPECT_EQ(font->textWidth(u"AB"),
              first.width + std::max(font->glyph(u'B').source.w, font->glyph(u'B').width) + 1);
}

TEST_P(GlyphPackingTest, EveryGlyphDrawsAsItsBoxOfTheCharsetDraws) {
    for (int i = 0; i < glyphCount; ++i) {
        const auto code = static_cast<char16_t>(firstCode + i);
        SCOPED_TRACE(static_cast<char>(code));
        // Inside, cut at each edge of the target, and with the painter's alpha.
        for (const auto& [x, y, alpha] :
             {std::tuple{5, 3, 255}, std::tuple{-7, -9, 255}, std::tuple{30, 20, 255}, std::tuple{6, 5, 150},
              std::tuple{-2, 17, 90}}) {
            expectSameGlyph(createImage32(40, 32), code, x, y, alpha);
            expectSameGlyph(createImage16(40, 32), code, x, y, alpha);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OwnColoursAndColourKeyed, GlyphPackingTest, ::testing::Bool());

// A charset drawn by plain copy writes its clear pixels too, and one with nothing to gain keeps its image.
TEST(GlyphPacking, OnlyACharsetDrawnByItsAlphaWithRowsToSaveIsPacked) {
    testsupport::WorkingFolder dir;
    const Strip strip = makeStrip(false);
    const std::string format = dir.write("charset.xml", strip.format);
    SmartPtr<MemoryImage32> charset = image32From(strip);
    charset->setAlphaMode(false);
    SmartPtr<BitmapFont> copied = new BitmapFont();
    copied->load(format, charset.get(), kernel::Color(0), false, 0);
    EXPECT_FALSE(copied->isPacked());
    EXPECT_EQ(copied->getImage(), charset.get());
    EXPECT_EQ(copied->glyph(firstCode).drawn, copied->glyph(firstCode).source);

    SmartPtr<MemoryImage32> full = createImage32(strip.width, stripHeight);
    std::fill(full->pixels32(), full->pixels32() + strip.width * stripHeight, 0xFF808080u);
    full->setAlphaMode(true);
    SmartPtr<BitmapFont> solid = new BitmapFont();
    solid->load(format, full.get(), kernel::Color(0), false, 0);
    EXPECT_FALSE(solid->isPacked());
    EXPECT_EQ(solid->getImage(), full.get());
}

// Boxes that share their pixels are kept once; a clear box is drawn from nothing.
TEST(GlyphPacking, EqualBoxesShareTheirRowsAndAClearBoxKeepsNone) {
    SmartPtr<MemoryImage32> charset = createImage32(40, 10);
    for (int x = 0; x < 10; ++x) {
        charset->pixels32()[charset->pixelIndex(x, 4)] = 0xFF000000u | static_cast<std::uint32_t>(x);
    }
    charset->setAlphaMode(true);
    const PackedCharset packed = packCharset(*charset, {{0, 0, 10, 10}, {20, 0, 10, 10}, {0, 0, 10, 10}});
    ASSERT_TRUE(packed.image);
    ASSERT_EQ(packed.boxes.size(), 3u);
    EXPECT_EQ(packed.boxes[0].drawn, packed.boxes[2].drawn);
    EXPECT_EQ(packed.boxes[0].drawn.h, 1);
    EXPECT_EQ(packed.boxes[0].top, 4);
    EXPECT_TRUE(packed.boxes[1].drawn.isEmpty());
    EXPECT_TRUE(packed.image->getAlphaMode());
    const kernel::Rect& row = packed.boxes[0].drawn;
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(packed.image->pixels32()[packed.image->pixelIndex(row.x + x, row.y)],
                  0xFF000000u | static_cast<std::uint32_t>(x));
    }
    // A box reaching past the charset is not packed at all.
    EXPECT_FALSE(packCharset(*charset, {{35, 0, 10, 10}}).image);
}

// The same charset declared twice, once read whole at load and once on demand.
class OnDemandFontTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        strip = makeStrip(keyed());
        dir.write("charset.png", pngOf(strip));
        dir.write("charset.xml", strip.format);
        whole = declared("");
        lazy = declared(R"( ondemand="true")");
        ASSERT_TRUE(whole && lazy);
        ASSERT_FALSE(whole->hasError() || lazy->hasError());
    }
    bool keyed() const { return GetParam(); }
    SmartPtr<Font> declared(const std::string& extra) {
        SmartPtr<Font> font = testsupport::declareResource<Font>(
            dir, (keyed() ? R"(<Font id="res" mask="charset.png" color="#FF20C040" format="charset.xml")"
                          : R"(<Font id="res" file="charset.png" format="charset.xml")") +
                     extra + "/>");
        if (font) {
            font->load();
        }
        return font;
    }
    static BitmapFont& bitmap(Font& resource) { return *static_cast<BitmapFont*>(resource.get()); }

    // Every glyph alone and a text of them all, inside, cut at each edge and with the painter's alpha.
    template <class Image> std::vector<std::uint32_t> drawings(BitmapFont& font, Image* made) {
        std::vector<std::uint32_t> all;
        std::u16string text;
        for (int i = 0; i < glyphCount; ++i) {
            text += static_cast<char16_t>(firstCode + i);
        }
        std::vector<std::u16string> texts{text, u"A B"};
        for (int i = 0; i < glyphCount; ++i) {
            texts.emplace_back(1, static_cast<char16_t>(firstCode + i));
        }
        const SmartPtr<Image> pattern = background(made);
        for (const std::u16string& shown : texts) {
            for (const auto& [x, y, alpha] : {std::tuple{5, 3, 255}, std::tuple{-7, -9, 255},
                                              std::tuple{30, 20, 255}, std::tuple{-2, 17, 90}}) {
                SmartPtr<Image> target = background(static_cast<Image*>(createLike(*pattern)));
                SmartPtr<ImagePainter> painter = target->createPainter();
                painter->setColor(kernel::Color(0xFF3366CC));
                painter->setAlpha(alpha);
                font.drawText(*painter, shown, x, y);
                const std::vector<std::uint32_t> values = contents(*target);
                all.insert(all.end(), values.begin(), values.end());
            }
        }
        return all;
    }
    static ImageBase* createLike(const MemoryImage32& image) {
        return createImage32(image.getWidth(), image.getHeight());
    }
    static ImageBase* createLike(const MemoryImage& image) {
        return createImage16(image.getWidth(), image.getHeight());
    }

    testsupport::WorkingFolder dir;
    Strip strip;
    SmartPtr<Font> whole;
    SmartPtr<Font> lazy;
};

TEST_P(OnDemandFontTest, ItHoldsNoPixelsUntilDrawnAndThenDrawsEveryGlyphAsTheWholeFont) {
    BitmapFont& reference = bitmap(*whole);
    BitmapFont& font = bitmap(*lazy);
    EXPECT_TRUE(lazy->isOnDemand());
    EXPECT_TRUE(font.isCharsetPending());
    EXPECT_EQ(font.getImage(), nullptr);
    EXPECT_EQ(font.getChannel(), nullptr);
    EXPECT_EQ(lazy->getImage(), nullptr) << "the resource keeps no charset either";
    // Laying text out needs no pixels: every measure is there already.
    EXPECT_EQ(font.charsetHeight(), reference.charsetHeight());
    EXPECT_EQ(font.lineHeight(), reference.lineHeight());
    EXPECT_EQ(font.textWidth(u"AB CD"), reference.textWidth(u"AB CD"));
    for (int i = 0; i < glyphCount; ++i) {
        const auto code = static_cast<char16_t>(firstCode + i);
        EXPECT_EQ(font.glyph(code).source, reference.glyph(code).source) << static_cast<char>(code);
        EXPECT_EQ(font.glyph(code).width, reference.glyph(code).width) << static_cast<char>(code);
    }

    // The first drawing, at either depth, reads the pixels; both depths then draw what the whole font draws.
    EXPECT_EQ(drawings(font, createImage16(40, 32)), drawings(reference, createImage16(40, 32)));
    EXPECT_FALSE(font.isCharsetPending());
    EXPECT_EQ(font.isPacked(), reference.isPacked());
    EXPECT_EQ(font.getChannel() != nullptr, keyed());
    EXPECT_EQ(drawings(font, createImage32(40, 32)), drawings(reference, createImage32(40, 32)));
    for (int i = 0; i < glyphCount; ++i) {
        const auto code = static_cast<char16_t>(firstCode + i);
        EXPECT_EQ(font.glyph(code).drawn, reference.glyph(code).drawn) << static_cast<char>(code);
    }
}

// A label keeps its font after the resource is let go (a group unloaded): it still reads its pixels.
TEST_P(OnDemandFontTest, ItStillReadsItsPixelsAfterTheResourceWent) {
    const SmartPtr<BitmapFont> font = &bitmap(*lazy);
    lazy->unload();
    EXPECT_EQ(lazy->get(), nullptr);
    EXPECT_EQ(drawings(*font, createImage32(40, 32)), drawings(bitmap(*whole), createImage32(40, 32)));
    EXPECT_FALSE(font->isCharsetPending());
}

// A charset that is gone, broken or of another size by the first drawing leaves the font drawing nothing;
// one broken at load is the load's error, as for a font read whole.
TEST_P(OnDemandFontTest, ACharsetThatChangedOrWentDrawsNothingAndABrokenOneIsALoadError) {
    const SmartPtr<BitmapFont> empty = new BitmapFont();
    const std::vector<std::uint32_t> untouched = drawings(*empty, createImage32(40, 32));
    for (const std::string& change : {std::string("gone"), std::string("broken"), std::string("smaller")}) {
        SCOPED_TRACE(change);
        dir.write("charset.png", pngOf(strip));
        SmartPtr<Font> resource = declared(R"( ondemand="true")");
        ASSERT_FALSE(resource->hasError());
        BitmapFont& font = bitmap(*resource);
        if (change == "gone") {
            std::filesystem::remove("charset.png");
        } else if (change == "broken") {
            dir.write("charset.png", "not a picture");
        } else {
            Strip narrower = strip;
            narrower.width -= 1;
            narrower.pixels.resize(static_cast<std::size_t>(narrower.width) * stripHeight);
            dir.write("charset.png", pngOf(narrower));
        }
        EXPECT_EQ(drawings(font, createImage32(40, 32)), untouched);
        EXPECT_FALSE(font.isCharsetPending());
        EXPECT_EQ(font.getImage(), nullptr);
        EXPECT_EQ(font.textWidth(u"AB"), bitmap(*whole).textWidth(u"AB"));
    }
    dir.write("charset.png", "not a picture");
    SmartPtr<Font> broken = declared(R"( ondemand="true")");
    EXPECT_TRUE(broken->hasError());
    EXPECT_EQ(broken->get(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(OwnColoursAndColourKeyed, OnDemandFontTest, ::testing::Bool());

} // namespace
