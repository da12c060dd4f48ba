#include "engine/graphics/ImageChannel.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"
#include "engine/kernel/SmartPtr.h"
#include "host/Display.h"
#include "host/Testing.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

using testsupport::count;
using testsupport::image32Of;
using testsupport::words;

const auto alphaOf = testsupport::alphaPlane;

struct SurfaceHolder {
    host::IDirectDrawSurface7* surface = nullptr;
    SurfaceHolder(int width, int height, int bytes, int pitch) {
        EXPECT_EQ(host::createMemorySurface(width, height, bytes, pitch, &surface), host::DD_OK);
    }
    ~SurfaceHolder() {
        host::testing::clearFailures();
        EXPECT_EQ(surface->Release(), 0u);
    }
    int references() {
        surface->AddRef();
        return static_cast<int>(surface->Release());
    }
};

} // namespace

TEST(Images, ConversionTo16BitsPacksRgb565AndKeepsAlphaBytes) {
    SmartPtr<MemoryImage> image(createImage16From(*image32Of(2, 2, {0x80FF8040, 0xFFFFFFFF, 0, 0x12345678})));
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->getAlphaMode());
    EXPECT_EQ(words(*image), (std::vector<std::uint16_t>{0xFC08, 0xFFFF, 0x0000, 0x32AF}));
    EXPECT_EQ(alphaOf(*image), (std::vector<std::uint8_t>{0x80, 0xFF, 0x00, 0x12}));
    EXPECT_FALSE(SmartPtr<MemoryImage>(createImage16From(*image)));
}

// The conversion's own RGB565 loop against the format's general packing, on every channel value; a part of
// the rows converts only those.
TEST(Images, ConversionTo16BitsAgreesWithTheFormatsPackingOnEveryValue) {
    SmartPtr<MemoryImage32> image = createImage32(256, 3);
    for (int x = 0; x < 256; ++x) {
        const auto v = static_cast<std::uint32_t>(x);
        image->pixels32()[image->pixelIndex(x, 0)] = v << 24 | v << 16 | (255 - v) << 8 | (v * 7 & 0xFF);
        image->pixels32()[image->pixelIndex(x, 1)] = (255 - v) << 24 | (v * 3 & 0xFF) << 16 | v << 8 | v;
        image->pixels32()[image->pixelIndex(x, 2)] = 0xFF000000u | v * 0x010101u;
    }
    SmartPtr<MemoryImage> converted(createImage16From(*image));
    ASSERT_TRUE(converted);
    const PixelFormat format = PixelFormat::rgb565();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 256; ++x) {
            const std::uint32_t source = image->pixels32()[image->pixelIndex(x, y)];
            ASSERT_EQ(converted->pixels16()[converted->pixelIndex(x, y)], format.pack(source))
                << x << "," << y;
            ASSERT_EQ(converted->getAlphaBuffer()[y * 256 + x], source >> 24) << x << "," << y;
        }
    }

    SmartPtr<MemoryImage> middle(createImage16(256, 3));
    convertImage32To16Rows(*image, *middle, 1, 2);
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(middle->pixels16()[middle->pixelIndex(x, 0)], 0u);
        EXPECT_EQ(middle->pixels16()[middle->pixelIndex(x, 1)],
                  converted->pixels16()[converted->pixelIndex(x, 1)]);
        EXPECT_EQ(middle->pixels16()[middle->pixelIndex(x, 2)], 0u);
    }
}

// Lanes count from alpha; a buffer of an unknown lane holds the alpha bytes, a view of one reads 0.
TEST(Images, ChannelBuffersAndViewsPickTheirLane) {
    auto image = image32Of(2, 1, {0x11223344, 0xAABBCCDD});
    for (const int lane : {0, 1, 2, 3, 7, -1}) {
        const int known = lane >= 0 && lane <= 3 ? lane : 0;
        SmartPtr<ChannelBuffer> buffer(createImageChannel(*image, lane));
        ASSERT_TRUE(buffer);
        EXPECT_EQ(buffer->getWidth(), 2);
        EXPECT_EQ(buffer->data()[0], 0x11 * (known + 1)) << lane;
        EXPECT_EQ(buffer->data()[1], 0xAA + 0x11 * known) << lane;
        SmartPtr<ImageChannel> view(image->createChannelView(lane));
        EXPECT_EQ(view->get(0, 0), lane == known ? 0x11 * (known + 1) : 0) << lane;
        EXPECT_EQ(image->referenceCount(), 2);
    }
    EXPECT_EQ(image->referenceCount(), 1);
    SmartPtr<MemoryImage> image16(createImage16(2, 1));
    EXPECT_FALSE(SmartPtr<ChannelBuffer>(createImageChannel(*image16, 0)));
    EXPECT_EQ(image16->createChannelView(0), nullptr);
}

TEST(Images, NewImagesAreZeroedWithAlphaModeOff) {
    SmartPtr<MemoryImage32> image32(createImage32(3, 2));
    SmartPtr<MemoryImage> image16(createImage16(3, 2));
    ASSERT_TRUE(image32 && image16);
    EXPECT_EQ(words(*image32), std::vector<std::uint32_t>(6, 0));
    EXPECT_EQ(words(*image16), std::vector<std::uint16_t>(6, 0));
    EXPECT_EQ(alphaOf(*image16), std::vector<std::uint8_t>(6, 0));
    EXPECT_FALSE(image32->getAlphaMode() || image16->getAlphaMode() || image32->isModified());
    EXPECT_EQ(image32->getTwin(), image32.get());
}

TEST(Images, SizesThatAreNotPositiveOrTooLargeGiveNoImage) {
    // 65536 x 65536 wraps to 0 in 32 bits; the others pass the 32-bit byte range.
    const int sizes[][2] = {{0, 1}, {1, 0}, {-1, 5}, {5, -1}, {65536, 65536}, {INT_MAX, 2}, {0x40000000, 1}};
    for (const auto& size : sizes) {
        EXPECT_FALSE(SmartPtr<MemoryImage32>(createImage32(size[0], size[1]))) << size[0] << "x" << size[1];
        EXPECT_FALSE(SmartPtr<MemoryImage>(createImage16(size[0], size[1]))) << size[0] << "x" << size[1];
    }
}

TEST(Images, CopiedImageIsIndependentOfItsSource) {
    auto source = image32Of(2, 1, {1, 2});
    SmartPtr<MemoryImage32> copy(createImage32From(*source));
    ASSERT_TRUE(copy);
    source->pixels32()[0] = 9;
    copy->pixels32()[1] = 7;
    EXPECT_EQ(words(*copy), (std::vector<std::uint32_t>{1, 7}));
    EXPECT_EQ(words(*source), (std::vector<std::uint32_t>{9, 2}));
}

namespace {
struct TrackedImage : MemoryImage32 {
    int* destroyed;
    explicit TrackedImage(int* destroyed) : destroyed(destroyed) {}
    ~TrackedImage() override { ++*destroyed; }
};
} // namespace

TEST(Images, TwinIsCountedUnlessItIsTheImageItself) {
    int destroyed = 0;
    SmartPtr<MemoryImage32> image(createImage32(1, 1));
    SmartPtr<TrackedImage> first(new TrackedImage(&destroyed));
    image->setTwin(first.get());
    image->setTwin(first.get());
    EXPECT_EQ(first->referenceCount(), 2);
    first = nullptr;
    image->setTwin(image.get());
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(image->referenceCount(), 1);

    // A twin held only by the image goes with it, once.
    image->setTwin(new TrackedImage(&destroyed));
    image = nullptr;
    EXPECT_EQ(destroyed, 2);
}

TEST(Images, ScreensReadTheirSurfaceAndStepWholePaddedRows) {
    SurfaceHolder surface16(5, 3, 2, 16);
    SurfaceHolder surface32(5, 3, 4, 24);
    {
        SmartPtr<Screen16> screen16(createScreen16(surface16.surface));
        SmartPtr<Screen32> screen32(createScreen32(surface32.surface));
        ASSERT_TRUE(screen16 && screen32);
        EXPECT_EQ(surface16.references(), 2);
        EXPECT_EQ(screen16->getPitch(), 16);
        EXPECT_EQ(screen16->pixelIndex(2, 1), 10);
        EXPECT_EQ(screen32->pixelIndex(2, 1), 8);
        EXPECT_EQ(screen16->getPixelFormat()->maskG, 0x07E0u);
        EXPECT_EQ(screen16->getAlphaBuffer(), nullptr);

        ASSERT_TRUE(screen16->lock());
        ASSERT_TRUE(screen16->lock());
        EXPECT_EQ(screen16->getPixels(), surface16.surface->pixels());
        screen16->pixels16()[screen16->pixelIndex(2, 1)] = 0xBEEF;
        EXPECT_TRUE(screen16->unlock());
        EXPECT_TRUE(screen16->unlock());
        EXPECT_FALSE(screen16->unlock());
        std::uint16_t written;
        std::memcpy(&written, surface16.surface->pixels() + 16 + 4, 2);
        EXPECT_EQ(written, 0xBEEF);

        // A surface of the other depth makes no screen.
        EXPECT_FALSE(SmartPtr<Screen16>(createScreen16(surface32.surface)));
        EXPECT_FALSE(SmartPtr<Screen32>(createScreen32(nullptr)));
    }
    // The screens gave back their references without freeing the surfaces' pixels.
    EXPECT_EQ(surface16.references(), 1);
    EXPECT_EQ(surface32.references(), 1);
}

TEST(Images, SurfaceFailuresBecomeResults) {
    SurfaceHolder surface(4, 4, 4, 0);
    host::testing::failCall("GetSurfaceDesc", -1, 1);
    EXPECT_FALSE(SmartPtr<Screen32>(createScreen32(surface.surface)));
    EXPECT_EQ(surface.references(), 1);

    SmartPtr<Screen32> screen(createScreen32(surface.surface));
    ASSERT_TRUE(screen);
    host::testing::failCall("Lock", -1, 1);
    EXPECT_FALSE(screen->lock());
    EXPECT_EQ(surface.surface->lockCount(), 0);
    EXPECT_TRUE(screen->lock());
    EXPECT_TRUE(screen->unlock());

    host::IDirectDrawSurface7* none = nullptr;
    EXPECT_EQ(host::createMemorySurface(4, 4, 3, 0, &none), host::DDERR_INVALIDPARAMS);
    EXPECT_EQ(host::createMemorySurface(4, 4, 2, 6, &none), host::DDERR_INVALIDPARAMS);
    EXPECT_EQ(host::createMemorySurface(65536, 65536, 4, 0, &none), host::DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);
}

TEST(ImageChannel, FillsOnlyInsideTheView) {
    auto image = image32Of(2, 2, {0x11223344, 0x11223344, 0x11223344, 0x11223344});
    SmartPtr<ImageChannel> red(image->createChannelView(1));
    red->fillRect(2, 0, 5, 5, 0xFF);
    red->fillRect(-5, -5, 5, 10, 0xFF);
    red->fillRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0xFF);
    EXPECT_EQ(count(*image, 0x11223344u), 4);
    red->fillRect(-1, 1, 2, 9, 0xAB);
    EXPECT_EQ(words(*image), (std::vector<std::uint32_t>{0x11223344, 0x11223344, 0x11AB3344, 0x11223344}));
    red->fill(0);
    EXPECT_EQ(count(*image, 0x11003344u), 4);
}

TEST(ImageChannel, CopyAndMaxChangeOnlyTheChosenLane) {
    auto source = image32Of(2, 1, {0x01020304, 0x05060708});
    auto target = image32Of(2, 1, {0xA0A0A0A0, 0x00000000});
    SmartPtr<ImageChannel> from(source->createChannelView(2));
    SmartPtr<ImageChannel> to(target->createChannelView(2));
    to->copy(*from, 0, 0);
    EXPECT_EQ(words(*target), (std::vector<std::uint32_t>{0xA0A003A0, 0x00000700}));

    // Offsets past the edges write only where source and target overlap.
    to->copy(*from, 1, 0);
    to->copyRect(*from, -1, 0, 0, 0, INT_MAX, INT_MAX);
    EXPECT_EQ(words(*target), (std::vector<std::uint32_t>{0xA0A007A0, 0x00000300}));

    target->pixels32()[0] = 0x00000500;
    target->pixels32()[1] = 0x00000500;
    to->max(*from, 0, 0);
    EXPECT_EQ(target->pixels32()[0], 0x00000500u);
    EXPECT_EQ(target->pixels32()[1], 0x00000700u);
}
