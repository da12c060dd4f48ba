#include "engine/graphics/ImageResource.h"
#include "engine/graphics/FontResource.h"
#include "engine/graphics/MemoryImage32.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

std::string pngOf(int width, int height, const std::vector<std::uint32_t>& pixels) {
    testsupport::PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (const std::uint32_t pixel : pixels) {
        picture.samples.insert(picture.samples.end(),
                               {std::uint16_t((pixel >> 16) & 0xFF), std::uint16_t((pixel >> 8) & 0xFF),
                                std::uint16_t(pixel & 0xFF), std::uint16_t(pixel >> 24)});
    }
    return testsupport::encodePng(picture);
}

class ImageResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("mask.png", pngOf(2, 2, {0xFF100000, 0xFF800000, 0xFFFF0000, 0xFF000000}));
        dir.write("pic.png", pngOf(2, 2, {0x400000FF, 0x400000FF, 0x400000FF, 0x400000FF}));
        dir.write("glyphs.png", pngOf(16, 8, std::vector<std::uint32_t>(16 * 8, 0xFFFFFFFF)));
    }

    template <class T> SmartPtr<T> declare(const std::string& declaration) {
        return testsupport::declareResource<T>(dir, declaration);
    }
    template <class T = Image> SmartPtr<T> loaded(const std::string& declaration) {
        SmartPtr<T> resource = declare<T>(declaration);
        resource->load();
        EXPECT_TRUE(resource->isLoaded());
        return resource;
    }

    testsupport::WorkingFolder dir;
};

std::vector<std::uint32_t> pixelsOf(Image& resource) {
    auto* image = static_cast<MemoryImage32*>(resource.get());
    return {image->pixels32(), image->pixels32() + 4};
}

TEST_F(ImageResourceTest, MaskOnlyImageIsColourWithMaskRedAsAlpha) {
    SmartPtr<Image> image = loaded(R"(<Image id="res" mask="mask.png" color="#FF00FF00"/>)");
    ASSERT_FALSE(image->hasError());
    EXPECT_TRUE(image->isOnlyMask());
    EXPECT_EQ(image->fileName(), "mask.png");
    EXPECT_EQ(pixelsOf(*image), (std::vector<std::uint32_t>{0x1000FF00, 0x8000FF00, 0xFF00FF00, 0x0000FF00}));
    EXPECT_TRUE(image->getImage()->isModified());
}

TEST_F(ImageResourceTest, MaskFileGivesAlphaAndAlphaChannelFollowsKey) {
    SmartPtr<Image> image = loaded(R"(<Image id="res" file="pic.png" mask="mask.png"/>)");
    ASSERT_FALSE(image->hasError());
    EXPECT_EQ(pixelsOf(*image), (std::vector<std::uint32_t>{0x100000FF, 0x800000FF, 0xFF0000FF, 0x000000FF}));
    EXPECT_TRUE(image->getImage()->getAlphaMode());
    SmartPtr<Image> opaque = loaded(R"(<Image id="res" file="pic.png" usealphachannel="false"/>)");
    EXPECT_FALSE(opaque->getImage()->getAlphaMode());
}

TEST_F(ImageResourceTest, FileThatIsNoPngIsReadAsJpeg) {
    testsupport::JpegPicture grey;
    grey.width = grey.height = 4;
    grey.components = 1;
    grey.samples.assign(16, 0x80);
    dir.write("photo.png", testsupport::encodeJpeg(grey));
    SmartPtr<Image> image = loaded(R"(<Image id="res" file="photo.png"/>)");
    ASSERT_FALSE(image->hasError());
    EXPECT_EQ(image->getImage()->getWidth(), 4);
}

TEST_F(ImageResourceTest, UnreadableFileEndsLoadedWithError) {
    dir.write("broken.png", "\x89PNG\r\n\x1a\nnot really");
    for (const char* declaration : {R"(<Image id="res" file="absent.png"/>)", R"(<Image id="res"/>)",
                                    R"(<Image id="res" file="broken.png"/>)"}) {
        SmartPtr<Image> image = loaded(declaration);
        EXPECT_TRUE(image->hasError()) << declaration;
        EXPECT_EQ(image->get(), nullptr) << declaration;
    }
    SmartPtr<Image> unmasked = loaded(R"(<Image id="res" file="pic.png" mask="absent.png"/>)");
    EXPECT_FALSE(unmasked->hasError()) << "a missing mask only leaves the alpha as it was";
    EXPECT_EQ(pixelsOf(*unmasked)[0], 0x400000FFu);
}

TEST_F(ImageResourceTest, FontLoadsBitmapFontAndNeedsFormat) {
    dir.write("font.xml",
              R"(<Font><Vector id="charset"><Node id="A" w="9" h="4" width="10"/></Vector></Font>)");
    SmartPtr<Font> font = loaded<Font>(R"(<Font id="res" file="glyphs.png" format="font.xml"/>)");
    ASSERT_FALSE(font->hasError());
    auto* bitmap = static_cast<BitmapFont*>(font->get());
    EXPECT_EQ(bitmap->textWidth(u"A"), 11);
    EXPECT_EQ(bitmap->getChannel(), nullptr);
    font->unload();
    EXPECT_EQ(font->get(), nullptr);
    EXPECT_EQ(font->getImage(), nullptr);

    SmartPtr<Font> keyed = loaded<Font>(R"(<Font id="res" mask="glyphs.png" format="font.xml"/>)");
    EXPECT_NE(static_cast<BitmapFont*>(keyed->get())->getChannel(), nullptr);

    SmartPtr<Font> formatless = loaded<Font>(R"(<Font id="res" file="glyphs.png" size="12" attached="x"/>)");
    EXPECT_TRUE(formatless->hasError());
    EXPECT_EQ(formatless->get(), nullptr);
}

TEST_F(ImageResourceTest, SameOnlyWithinOneClass) {
    SmartPtr<Image> plain = declare<Image>(R"(<Image id="res" file="pic.png" mask="a.png" color="1"/>)");
    SmartPtr<Image> otherMask = declare<Image>(R"(<Image id="res" file="pic.png" mask="b.png" color="1"/>)");
    SmartPtr<Image> otherBoth = declare<Image>(R"(<Image id="res" file="pic.png" mask="b.png" color="2"/>)");
    SmartPtr<Font> font =
        declare<Font>(R"(<Font id="res" file="pic.png" mask="a.png" color="1" format="f"/>)");
    SmartPtr<Font> otherFormat =
        declare<Font>(R"(<Font id="res" file="pic.png" mask="a.png" color="1" format="g"/>)");
    EXPECT_TRUE(plain->isSame(*otherMask));
    EXPECT_FALSE(plain->isSame(*otherBoth));
    EXPECT_FALSE(plain->isSame(*font));
    EXPECT_FALSE(font->isSame(*plain));
    EXPECT_FALSE(font->isSame(*otherFormat));
    EXPECT_FALSE(font->isKindOf(Image::classInfo));
}

} // namespace
