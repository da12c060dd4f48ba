// The bilinear (smooth) forms of the ARGB rotated and scaled loops, and the painter's smooth draws.

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/TransformLoops.h"
#include "engine/kernel/SmartPtr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace graphics;
using kernel::Rect;

namespace {

using Image32 = kernel::SmartPtr<MemoryImage32>;

constexpr std::uint32_t background = 0x5A102030u;
const Rect everywhere{0, 0, 1000, 1000};

Image32 filled32(int width, int height, std::uint32_t value) {
    Image32 image(createImage32(width, height));
    std::fill_n(image->pixels32(), width * height, value);
    return image;
}

Image32 row32(const std::vector<std::uint32_t>& values) {
    Image32 image(createImage32(static_cast<int>(values.size()), 1));
    std::copy(values.begin(), values.end(), image->pixels32());
    return image;
}

// Every pixel and every lane distinct.
Image32 pattern32(int width, int height) {
    Image32 image(createImage32(width, height));
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = (static_cast<std::uint32_t>(i * 53 + 9) << 24) | (i * 0x0B1D07u + 0x301020u);
    }
    return image;
}

std::vector<std::uint32_t> pixels(const Image32& image) {
    const std::uint32_t* p = image->pixels32();
    return {p, p + image->getWidth() * image->getHeight()};
}

// A grey value under the background's alpha byte, as the copy member leaves it.
std::uint32_t grey(std::uint32_t level) {
    return (background & 0xFF000000u) | level * 0x010101u;
}

std::vector<std::uint32_t> stretchCopy(const Image32& src, const Rect& source, const Rect& target,
                                       bool smooth, const Rect& clip = everywhere) {
    Image32 dst = filled32(12, 9, background);
    StretchArgbCopy(*dst, clip, target, *src, source, smooth);
    return pixels(dst);
}

// One draw through each member of a family, smooth or not, on a fresh destination.
std::vector<std::vector<std::uint32_t>> allMembers(const Image32& src, bool smooth, bool rotated) {
    std::vector<std::vector<std::uint32_t>> results;
    for (int member = 0; member < 3; ++member) {
        Image32 dst = filled32(16, 16, background);
        const Rect target{-2, 1, 15, 11};
        const Rect source{0, 0, src->getWidth(), src->getHeight()};
        if (rotated) {
            if (member == 0) {
                RotateArgbCopy(*dst, everywhere, 3, 2, 1, 2, *src, 0.7, 2.3, smooth);
            } else if (member == 1) {
                RotateArgbBlend(*dst, everywhere, 3, 2, 1, 2, *src, 0.7, 2.3, 100, smooth);
            } else {
                RotateArgbAlphaBlend(*dst, everywhere, 3, 2, 1, 2, *src, 0.7, 2.3, 200, smooth);
            }
        } else if (member == 0) {
            StretchArgbCopy(*dst, everywhere, target, *src, source, smooth);
        } else if (member == 1) {
            StretchArgbBlend(*dst, everywhere, target, *src, source, 100, smooth);
        } else {
            StretchArgbAlphaBlend(*dst, everywhere, target, *src, source, 200, smooth);
        }
        results.push_back(pixels(dst));
    }
    return results;
}

} // namespace

// Half a pixel in: 255 * 128 >> 8 = 127; two thirds in (weight 170): 43350 >> 8 = 169. The last pixels take
// the clamped right neighbour, itself.
TEST(SmoothTransform, TwoPixelsStretchIntoARampOfTheWeights) {
    const Image32 src = row32({0xFF000000, 0xFFFFFFFF});
    const std::vector<std::uint32_t> four = stretchCopy(src, {0, 0, 2, 1}, {0, 0, 4, 1}, true);
    EXPECT_EQ(std::vector<std::uint32_t>(four.begin(), four.begin() + 4),
              (std::vector<std::uint32_t>{grey(0), grey(127), grey(255), grey(255)}));
    const std::vector<std::uint32_t> three = stretchCopy(src, {0, 0, 2, 1}, {0, 0, 3, 1}, true);
    EXPECT_EQ(std::vector<std::uint32_t>(three.begin(), three.begin() + 3),
              (std::vector<std::uint32_t>{grey(0), grey(169), grey(255)}));
    // Falling, the signed product's shift rounds down: -43350 >> 8 = -170, not -169.
    const std::vector<std::uint32_t> falling =
        stretchCopy(row32({0xFFFFFFFF, 0xFF000000}), {0, 0, 2, 1}, {0, 0, 3, 1}, true);
    EXPECT_EQ(std::vector<std::uint32_t>(falling.begin(), falling.begin() + 3),
              (std::vector<std::uint32_t>{grey(255), grey(85), grey(0)}));
    // The nearest pixel for comparison.
    const std::vector<std::uint32_t> nearest = stretchCopy(src, {0, 0, 2, 1}, {0, 0, 4, 1}, false);
    EXPECT_EQ(std::vector<std::uint32_t>(nearest.begin(), nearest.begin() + 4),
              (std::vector<std::uint32_t>{grey(0), grey(0), grey(255), grey(255)}));
}

// Blue lanes 0, 1 over 0, 255 weighed at the middle: along the rows first, 0 and 127, then 63; columns first
// would give 0 and 128, then 64.
TEST(SmoothTransform, FourNeighboursAreWeighedInEveryLane) {
    Image32 src(createImage32(2, 2));
    const std::uint32_t values[] = {0xFF000000, 0xFF000001, 0xFF000000, 0xFF0000FF};
    std::copy(std::begin(values), std::end(values), src->pixels32());
    Image32 dst = filled32(4, 4, 0xFF000000);
    StretchArgbCopy(*dst, everywhere, {0, 0, 4, 4}, *src, {0, 0, 2, 2}, true);
    EXPECT_EQ(dst->pixels32()[1 * 4 + 1], 0xFF00003Fu);
    EXPECT_EQ(dst->pixels32()[2 * 4 + 1], 0xFF00007Fu); // 255 * 128 >> 8
    EXPECT_EQ(dst->pixels32()[1 * 4 + 2], 0xFF000080u); // 1 + (254 * 128 >> 8)
    EXPECT_EQ(dst->pixels32()[3 * 4 + 3], 0xFF0000FFu);

    // Alpha 0 and 255 weighed to 127, under uniform 255 gives 126; white over black: 255 * 126 >> 8 = 125.
    const Image32 fading = row32({0x00FFFFFF, 0xFFFFFFFF});
    Image32 over = filled32(4, 1, 0xFF000000);
    StretchArgbAlphaBlend(*over, everywhere, {0, 0, 4, 1}, *fading, {0, 0, 2, 1}, 255, true);
    EXPECT_EQ(pixels(over), (std::vector<std::uint32_t>{0xFF000000, 0xFF7D7D7D, 0xFFFDFDFD, 0xFFFDFDFD}));
}

TEST(SmoothTransform, AFlatSourceDrawsAsTheNearestPixel) {
    const Image32 flat = filled32(3, 3, 0x80336699);
    for (const bool rotated : {false, true}) {
        EXPECT_EQ(allMembers(flat, true, rotated), allMembers(flat, false, rotated)) << rotated;
    }
    // And the smooth draws do weigh a patterned source.
    const Image32 patterned = pattern32(3, 3);
    for (const bool rotated : {false, true}) {
        EXPECT_NE(allMembers(patterned, true, rotated), allMembers(patterned, false, rotated)) << rotated;
    }
}

// The source rectangle sits inside a bright frame; its right and lower neighbours are held to the rectangle,
// so not one weighed pixel takes any of the frame.
TEST(SmoothTransform, SourceRectangleNeverTakesColourFromOutsideIt) {
    Image32 src = filled32(7, 6, 0xFFFFFFFF);
    const Rect inner{2, 1, 3, 3};
    for (int y = inner.y; y < inner.bottom(); ++y) {
        for (int x = inner.x; x < inner.right(); ++x) {
            src->pixels32()[y * 7 + x] = 0xFF000000 | static_cast<std::uint32_t>(x * 16 + y);
        }
    }
    Image32 inside(createImage32(inner.w, inner.h));
    for (int y = 0; y < inner.h; ++y) {
        for (int x = 0; x < inner.w; ++x) {
            inside->pixels32()[y * inner.w + x] = src->pixels32()[(inner.y + y) * 7 + inner.x + x];
        }
    }
    for (const Rect& target : {Rect{0, 0, 12, 9}, Rect{1, 2, 7, 5}, Rect{-3, -1, 17, 13}}) {
        const std::vector<std::uint32_t> drawn = stretchCopy(src, inner, target, true);
        EXPECT_EQ(drawn, stretchCopy(inside, {0, 0, inner.w, inner.h}, target, true)) << target.w;
        for (const std::uint32_t p : drawn) {
            EXPECT_TRUE(p == background || (p & 0xFFFF00u) == 0) << std::hex << p;
        }
    }
}

// Identity positions carry no fraction; scale 2 unturned walks the same positions as a stretch to twice the
// size.
TEST(SmoothTransform, UnturnedRotationMatchesTheNearestAndTheStretch) {
    const Image32 src = pattern32(5, 4);
    for (const Rect& clip : {everywhere, Rect{3, 2, 4, 3}}) {
        Image32 nearest = filled32(12, 9, background);
        Image32 smooth = filled32(12, 9, background);
        RotateArgbCopy(*nearest, clip, 2, 3, 1, 2, *src, 0.0, 1.0, false);
        RotateArgbCopy(*smooth, clip, 2, 3, 1, 2, *src, 0.0, 1.0, true);
        EXPECT_EQ(pixels(smooth), pixels(nearest));
    }
    Image32 turned = filled32(12, 9, background);
    RotateArgbCopy(*turned, everywhere, 0, 0, 0, 0, *src, 0.0, 2.0, true);
    EXPECT_EQ(pixels(turned), stretchCopy(src, {0, 0, 5, 4}, {0, 0, 10, 8}, true));
}

// Under the address sanitizer: positions on the last column and row with fractions left over, at large
// scales, and source rectangles against the image's right and bottom edges.
TEST(SmoothTransform, LargeScalesAndEdgeRectanglesReadOnlyTheSource) {
    const Image32 src = pattern32(3, 2);
    for (const double angle : {0.0, 0.3, 1.5707963267948966, 3.14159, -2.2}) {
        for (const double scale : {0.4, 3.0, 37.5}) {
            Image32 dst = filled32(64, 64, background);
            RotateArgbAlphaBlend(*dst, everywhere, 20, 20, 1, 1, *src, angle, scale, 255, true);
            RotateArgbCopy(*dst, Rect{0, 0, 64, 64}, 10, 40, 3, 2, *src, angle, scale, true);
        }
    }
    const std::uint32_t corner = src->pixels32()[5];
    Image32 dst = filled32(64, 64, background);
    StretchArgbCopy(*dst, everywhere, {0, 0, 64, 64}, *src, {2, 1, 1, 1}, true);
    EXPECT_EQ(pixels(dst),
              std::vector<std::uint32_t>(64 * 64, (background & 0xFF000000u) | (corner & 0xFFFFFFu)));
    for (const Rect& source : {Rect{1, 1, 2, 1}, Rect{2, 0, 1, 2}, Rect{1, 0, 5, 5}}) {
        StretchArgbBlend(*dst, everywhere, {3, 0, 61, 64}, *src, source, 77, true);
        StretchArgbAlphaBlend(*dst, everywhere, {0, 5, 64, 59}, *src, source, 255, true);
    }
    // A single-precision step that rounds up by a hair runs the last pixels onto the last column.
    const Image32 wide = pattern32(16, 1);
    Image32 strip = filled32(4, 1, background);
    StretchArgbCopy(*strip, everywhere, {4 - (1 << 24) - 1, 0, (1 << 24) + 1, 1}, *wide, {0, 0, 16, 1}, true);
    EXPECT_EQ(strip->pixels32()[3], (background & 0xFF000000u) | (wide->pixels32()[15] & 0xFFFFFFu));
}

TEST(SmoothTransform, PainterDrawsSmoothOnlyOnThirtyTwoBitImages) {
    const Image32 src = row32({0xFF000000, 0xFFFFFFFF});
    src->setAlphaMode(false);

    Image32 plain = filled32(4, 2, background);
    Image32 smooth = filled32(4, 2, background);
    kernel::SmartPtr<ImagePainter>(plain->createPainter())->drawScaled(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    kernel::SmartPtr<ImagePainter> painter(smooth->createPainter());
    painter->drawScaledSmooth(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    EXPECT_EQ(pixels(plain), (std::vector<std::uint32_t>{grey(0), grey(0), grey(255), grey(255), background,
                                                         background, background, background}));
    EXPECT_EQ(pixels(smooth), (std::vector<std::uint32_t>{grey(0), grey(127), grey(255), grey(255),
                                                          background, background, background, background}));

    // The rotated form, through the origin and at half alpha (the blend member).
    Image32 turnedPlain = filled32(4, 2, 0xFF000000);
    Image32 turnedSmooth = filled32(4, 2, 0xFF000000);
    for (Image32* target : {&turnedPlain, &turnedSmooth}) {
        kernel::SmartPtr<ImagePainter> p((*target)->createPainter());
        p->setOrigin(0, 1);
        p->setAlpha(128);
        if (target == &turnedPlain) {
            p->drawRotated(*src, 0.0, 2.0, 0, -1, 0, 0);
        } else {
            p->drawRotatedSmooth(*src, 0.0, 2.0, 0, -1, 0, 0);
        }
    }
    EXPECT_EQ(turnedPlain->pixels32()[1], 0xFF000000u);
    EXPECT_EQ(turnedSmooth->pixels32()[1], 0xFF3F3F3Fu); // 127 * 128 >> 8
    EXPECT_EQ(turnedSmooth->pixels32()[2], 0xFF7F7F7Fu);
    // The vanishing-scale guard holds for the smooth form too.
    Image32 untouched = filled32(4, 2, background);
    kernel::SmartPtr<ImagePainter>(untouched->createPainter())
        ->drawRotatedSmooth(*src, 0.0, 0.00005, 0, 0, 0, 0);
    EXPECT_EQ(pixels(untouched), std::vector<std::uint32_t>(8, background));

    // 16 bits: the smooth scaled draw does nothing, the smooth rotated one draws as the plain one.
    kernel::SmartPtr<MemoryImage> target16(createImage16(4, 2));
    std::fill_n(target16->pixels16(), 8, 0x1234);
    kernel::SmartPtr<ImagePainter> painter16(target16->createPainter());
    painter16->drawScaledSmooth(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    EXPECT_EQ(std::count(target16->pixels16(), target16->pixels16() + 8, 0x1234), 8);
    painter16->drawRotatedSmooth(*src, 0.0, 2.0, 0, 0, 0, 0);
    const std::vector<std::uint16_t> smoothRow(target16->pixels16(), target16->pixels16() + 8);
    std::fill_n(target16->pixels16(), 8, 0x1234);
    painter16->drawRotated(*src, 0.0, 2.0, 0, 0, 0, 0);
    EXPECT_EQ(smoothRow, std::vector<std::uint16_t>(target16->pixels16(), target16->pixels16() + 8));
    EXPECT_EQ(smoothRow[1], 0);
    EXPECT_EQ(smoothRow[2], 0xFFFF);
}
