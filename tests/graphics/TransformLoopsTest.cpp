// The rotated and scaled loops, nearest and bilinear (smooth), and the painter's draws through them.

#include "engine/graphics/TransformLoops.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/SmartPtr.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace graphics;
using kernel::Rect;

namespace {

using testsupport::filled32;
using testsupport::Image16;
using testsupport::Image32;
using testsupport::pattern32;
using testsupport::row32;
using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t untouched = 0x5A102030u;
const Rect everywhere{0, 0, 1000, 1000};

Image32 blank32(int width, int height) {
    return filled32(width, height, untouched);
}

Pixels pixels(const Image32& image) {
    return testsupport::words(*image);
}

// A colour under the untouched alpha byte, as the copy member leaves it.
std::uint32_t copied(std::uint32_t colour) {
    return (untouched & 0xFF000000u) | (colour & 0xFFFFFFu);
}

std::uint32_t grey(std::uint32_t level) {
    return copied(level * 0x010101u);
}

// The sub-rectangle as an image of its own.
Image32 extract(const Image32& src, const Rect& r) {
    Image32 part = blank32(r.w, r.h);
    for (int y = 0; y < r.h; ++y) {
        for (int x = 0; x < r.w; ++x) {
            part->pixels32()[y * r.w + x] = src->pixels32()[src->pixelIndex(r.x + x, r.y + y)];
        }
    }
    return part;
}

// A 12 x 10 destination after a stretched copy; the first count pixels when count is given.
Pixels stretched(const Image32& src, const Rect& source, const Rect& target, bool smooth = false,
                 const Rect& clip = everywhere, std::size_t count = 120) {
    Image32 dst = blank32(12, 10);
    StretchArgbCopy(*dst, clip, target, *src, source, smooth);
    const Pixels all = pixels(dst);
    return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count)};
}

// One draw through each member of a family, smooth or not, on a fresh destination.
std::vector<Pixels> allMembers(const Image32& src, bool smooth, bool rotated) {
    std::vector<Pixels> results;
    for (int member = 0; member < 3; ++member) {
        Image32 dst = filled32(16, 16, untouched);
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

TEST(TransformLoops, StretchOfASubRectangleEqualsStretchingItsExtract) {
    const Image32 src = pattern32(9, 7);
    struct Case {
        Rect source;
        Rect target;
    };
    for (const Case& c : {Case{{3, 2, 4, 3}, {1, 1, 10, 7}}, Case{{5, 4, 4, 3}, {2, 3, 3, 2}},
                          Case{{1, 3, 7, 3}, {0, 0, 11, 5}}, Case{{8, 6, 1, 1}, {4, 4, 3, 3}}}) {
        EXPECT_EQ(stretched(src, c.source, c.target),
                  stretched(extract(src, c.source), {0, 0, c.source.w, c.source.h}, c.target))
            << c.source.x << "," << c.source.y;
    }
}

TEST(TransformLoops, StretchClippedAtEachEdgeMatchesTheUnclippedDrawInsideTheClip) {
    const Image32 src = pattern32(5, 4);
    const Rect source{1, 1, 4, 3};
    const Rect target{-2, -1, 15, 12};
    const Pixels whole = stretched(src, source, target);
    for (const Rect& clip : {Rect{3, 0, 12, 10}, Rect{0, 4, 12, 10}, Rect{0, 0, 7, 10}, Rect{0, 0, 12, 6},
                             Rect{2, 3, 5, 4}, Rect{-5, -5, 30, 30}}) {
        const Pixels part = stretched(src, source, target, false, clip);
        for (int i = 0; i < 120; ++i) {
            const bool inside =
                i % 12 >= clip.x && i % 12 < clip.right() && i / 12 >= clip.y && i / 12 < clip.bottom();
            EXPECT_EQ(part[i], inside ? whole[i] : untouched)
                << "clip " << clip.x << "," << clip.y << " pixel " << i;
        }
    }
}

TEST(TransformLoops, SourceRectangleRunningPastTheSourceIsHeldToIt) {
    const Image32 src = pattern32(4, 3);
    EXPECT_EQ(stretched(src, {2, 1, 10, 10}, {0, 0, 9, 8}), stretched(src, {2, 1, 2, 2}, {0, 0, 9, 8}));
    EXPECT_EQ(stretched(src, {-3, -2, 5, 4}, {1, 1, 6, 6}), stretched(src, {0, 0, 2, 2}, {1, 1, 6, 6}));
}

// 16 / (2^24 + 1) rounds up to exactly 2^-20 in single precision, so the unheld walk would reach column 16;
// with the smooth sampling the last pixels stand on the last column.
TEST(TransformLoops, WideTargetsLastPixelsStayInTheSource) {
    const Image32 src = pattern32(16, 1);
    for (const bool smooth : {false, true}) {
        Image32 dst = blank32(4, 1);
        StretchArgbCopy(*dst, everywhere, {4 - (1 << 24) - 1, 0, (1 << 24) + 1, 1}, *src, {0, 0, 16, 1},
                        smooth);
        EXPECT_EQ(pixels(dst), Pixels(4, copied(src->pixels32()[15]))) << smooth;
    }
}

// 1:1 draws copy the colour; 32-bit destinations keep their alpha byte, 16-bit alpha bytes stay as they were.
TEST(TransformLoops, IdentityStretchAndRotationEqualTheCopy) {
    const Image32 src32 = pattern32(5, 3);
    Image16 src16(createImage16(5, 3));
    std::generate_n(src16->pixels16(), 15,
                    [i = 0]() mutable { return static_cast<std::uint16_t>(i++ * 4099 + 7); });
    for (int draw = 0; draw < 2; ++draw) {
        Image32 dst32 = blank32(8, 6);
        Image16 dst16(createImage16(8, 6));
        std::fill_n(dst16->getAlphaBuffer(), 48, 0x33);
        if (draw == 0) {
            StretchArgbCopy(*dst32, everywhere, {2, 1, 5, 3}, *src32, {0, 0, 5, 3});
            Stretch565Copy(*dst16, everywhere, {2, 1, 5, 3}, *src16, {0, 0, 5, 3});
        } else {
            RotateArgbCopy(*dst32, everywhere, 2, 1, 2, 1, *src32, 0.0, 1.0);
            Rotate565Copy(*dst16, everywhere, 2, 1, 2, 1, *src16, 0.0, 1.0);
        }
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
                const int s = (y - 1) * 5 + (x - 2);
                const std::uint32_t want32 = inside ? copied(src32->pixels32()[s]) : untouched;
                EXPECT_EQ(dst32->pixels32()[y * 8 + x], want32) << draw << ": " << x << "," << y;
                EXPECT_EQ(dst16->pixels16()[y * 8 + x], inside ? src16->pixels16()[s] : 0)
                    << draw << ": " << x << "," << y;
                EXPECT_EQ(dst16->getAlphaBuffer()[y * 8 + x], 0x33);
            }
        }
    }
}

// Worked by hand: the inverse steps are exactly (A, B) = (-1, 0) or (1, 0) in 20-bit fixed point, the walk
// samples at pixel corners, so one source row or column falls just outside the box.
TEST(TransformLoops, QuarterTurnsPlaceEachPixelWhereWorkedOut) {
    const Image32 src = pattern32(3, 2);
    struct Placed {
        int dx, dy, sx, sy;
    };
    struct Case {
        double angle;
        int x, y;
        std::vector<Placed> placed;
    };
    const double quarter = std::numbers::pi / 2;
    for (const Case& c : {Case{quarter, 1, 5, {{1, 3, 2, 0}, {2, 3, 2, 1}, {1, 4, 1, 0}, {2, 4, 1, 1}}},
                          Case{-quarter, 5, 2, {{4, 2, 0, 1}, {4, 3, 1, 1}, {4, 4, 2, 1}}}}) {
        Image32 dst = blank32(8, 8);
        RotateArgbCopy(*dst, everywhere, c.x, c.y, 0, 0, *src, c.angle, 1.0);
        Pixels want(64, untouched);
        for (const Placed& p : c.placed) {
            want[p.dy * 8 + p.dx] = copied(src->pixels32()[p.sy * 3 + p.sx]);
        }
        EXPECT_EQ(pixels(dst), want) << c.angle;
    }
}

TEST(TransformLoops, DegenerateDrawsLeaveTheDestinationAlone) {
    const Image32 src = pattern32(4, 4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double scale : {0.0, 1e-9, 1e-300, nan, 1e300}) {
        Image32 dst = blank32(6, 6);
        RotateArgbAlphaBlend(*dst, everywhere, 1, 1, 2, 2, *src, 0.3, scale, 200);
        if (!(scale >= 1)) {
            EXPECT_EQ(pixels(dst), Pixels(36, untouched)) << scale;
        }
    }
    // clang-format off
    const std::pair<Rect, Rect> draws[] = {{{1, 1, 0, 3}, {0, 0, 4, 4}}, {{1, 1, 3, 0}, {0, 0, 4, 4}},
        {{1, 1, -3, 3}, {0, 0, 4, 4}}, {{1, 1, 3, 3}, {1, 1, 0, 2}}, {{1, 1, 3, 3}, {5, 0, 2, 2}},
        {{12, 2, 3, 3}, {0, 0, 4, 4}}};
    // clang-format on
    for (const auto& [target, source] : draws) {
        EXPECT_EQ(stretched(src, source, target), Pixels(120, untouched)) << target.w << "," << source.w;
    }
}

TEST(TransformLoops, NothingIsWrittenWhenALockFails) {
    kernel::SmartPtr<testsupport::Unlockable<MemoryImage32>> locked(
        new testsupport::Unlockable<MemoryImage32>);
    locked->allocate(4, 4);
    std::fill_n(locked->pixels32(), 16, untouched);
    const Image32 src = pattern32(4, 4);
    Image32 dst = blank32(4, 4);
    StretchArgbCopy(*dst, everywhere, {0, 0, 4, 4}, *locked, {0, 0, 4, 4});
    RotateArgbCopy(*locked, everywhere, 0, 0, 0, 0, *src, 0.0, 1.0);
    EXPECT_EQ(pixels(dst), Pixels(16, untouched));
    EXPECT_EQ(Pixels(locked->pixels32(), locked->pixels32() + 16), Pixels(16, untouched));
}

// One pixel through each blending member: the shift rounds towards the darker side, and the effective
// alpha of 255 under 255 is 254.
TEST(TransformLoops, PixelStepsFollowTheBlendRules) {
    struct Case565 {
        void (*draw)(MemoryImage&, const Rect&, const Rect&, MemoryImage&, const Rect&, int);
        std::uint16_t s, d;
        int uniform;
        std::uint16_t want;
    };
    for (const Case565& c :
         {Case565{Stretch565Blend, 0xFFFF, 0, 128, 0x7BEF}, Case565{Stretch565Blend, 0, 0xFFFF, 64, 0xBDF7},
          Case565{Stretch565AlphaBlend, 0xFFFF, 0, 255, 0xF7DE}}) {
        Image16 src = testsupport::filled16(1, 1, c.s), dst = testsupport::filled16(1, 1, c.d);
        src->getAlphaBuffer()[0] = 255;
        c.draw(*dst, everywhere, {0, 0, 1, 1}, *src, {0, 0, 1, 1}, c.uniform);
        EXPECT_EQ(dst->pixels16()[0], c.want) << std::hex << c.s << " " << c.uniform;
    }
    struct CaseArgb {
        void (*draw)(ImageBase&, const Rect&, const Rect&, ImageBase&, const Rect&, int, bool);
        std::uint32_t s, d;
        int uniform;
        std::uint32_t want;
    };
    for (const CaseArgb& c : {CaseArgb{StretchArgbBlend, 0xFFFF8000, 0x200080FF, 128, 0x207F807F},
                              CaseArgb{StretchArgbAlphaBlend, 0xFFFFFFFF, 0x10000000, 255, 0x10FDFDFD}}) {
        // A one-pixel source weighs the pixel with itself, so both samplings give the same.
        for (const bool smooth : {false, true}) {
            Image32 src = filled32(1, 1, c.s), dst = filled32(1, 1, c.d);
            c.draw(*dst, everywhere, {0, 0, 1, 1}, *src, {0, 0, 1, 1}, c.uniform, smooth);
            EXPECT_EQ(dst->pixels32()[0], c.want) << std::hex << c.s << " " << c.uniform << " " << smooth;
        }
    }
}

// Half a pixel in: 255 * 128 >> 8 = 127; two thirds in (weight 170): 43350 >> 8 = 169. The last pixels take
// the clamped right neighbour, itself.
TEST(SmoothTransform, TwoPixelsStretchIntoARampOfTheWeights) {
    const Image32 src = row32({0xFF000000, 0xFFFFFFFF});
    EXPECT_EQ(stretched(src, {0, 0, 2, 1}, {0, 0, 4, 1}, true, everywhere, 4),
              (Pixels{grey(0), grey(127), grey(255), grey(255)}));
    EXPECT_EQ(stretched(src, {0, 0, 2, 1}, {0, 0, 3, 1}, true, everywhere, 3),
              (Pixels{grey(0), grey(169), grey(255)}));
    // Falling, the signed product's shift rounds down: -43350 >> 8 = -170, not -169.
    EXPECT_EQ(stretched(row32({0xFFFFFFFF, 0xFF000000}), {0, 0, 2, 1}, {0, 0, 3, 1}, true, everywhere, 3),
              (Pixels{grey(255), grey(85), grey(0)}));
    // The nearest pixel for comparison.
    EXPECT_EQ(stretched(src, {0, 0, 2, 1}, {0, 0, 4, 1}, false, everywhere, 4),
              (Pixels{grey(0), grey(0), grey(255), grey(255)}));
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
    EXPECT_EQ(pixels(over), (Pixels{0xFF000000, 0xFF7D7D7D, 0xFFFDFDFD, 0xFFFDFDFD}));
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
    const Image32 inside = extract(src, inner);
    for (const Rect& target : {Rect{0, 0, 12, 9}, Rect{1, 2, 7, 5}, Rect{-3, -1, 17, 13}}) {
        const Pixels drawn = stretched(src, inner, target, true);
        EXPECT_EQ(drawn, stretched(inside, {0, 0, inner.w, inner.h}, target, true)) << target.w;
        for (const std::uint32_t p : drawn) {
            EXPECT_TRUE(p == untouched || (p & 0xFFFF00u) == 0) << std::hex << p;
        }
    }
}

// Identity positions carry no fraction; scale 2 unturned walks the same positions as a stretch to twice the
// size.
TEST(SmoothTransform, UnturnedRotationMatchesTheNearestAndTheStretch) {
    const Image32 src = pattern32(5, 4);
    for (const Rect& clip : {everywhere, Rect{3, 2, 4, 3}}) {
        Image32 nearest = blank32(12, 10);
        Image32 smooth = blank32(12, 10);
        RotateArgbCopy(*nearest, clip, 2, 3, 1, 2, *src, 0.0, 1.0, false);
        RotateArgbCopy(*smooth, clip, 2, 3, 1, 2, *src, 0.0, 1.0, true);
        EXPECT_EQ(pixels(smooth), pixels(nearest));
    }
    Image32 turned = blank32(12, 10);
    RotateArgbCopy(*turned, everywhere, 0, 0, 0, 0, *src, 0.0, 2.0, true);
    EXPECT_EQ(pixels(turned), stretched(src, {0, 0, 5, 4}, {0, 0, 10, 8}, true));
}

// Under the address sanitizer: positions on the last column and row with fractions left over, at large
// scales, and source rectangles against the image's right and bottom edges. (Wide targets are above.)
TEST(SmoothTransform, LargeScalesAndEdgeRectanglesReadOnlyTheSource) {
    const Image32 src = pattern32(3, 2);
    for (const double angle : {0.0, 0.3, 1.5707963267948966, 3.14159, -2.2}) {
        for (const double scale : {0.4, 3.0, 37.5}) {
            Image32 dst = blank32(64, 64);
            RotateArgbAlphaBlend(*dst, everywhere, 20, 20, 1, 1, *src, angle, scale, 255, true);
            RotateArgbCopy(*dst, Rect{0, 0, 64, 64}, 10, 40, 3, 2, *src, angle, scale, true);
        }
    }
    const std::uint32_t corner = src->pixels32()[5];
    Image32 dst = blank32(64, 64);
    StretchArgbCopy(*dst, everywhere, {0, 0, 64, 64}, *src, {2, 1, 1, 1}, true);
    EXPECT_EQ(pixels(dst), Pixels(64 * 64, copied(corner)));
    for (const Rect& source : {Rect{1, 1, 2, 1}, Rect{2, 0, 1, 2}, Rect{1, 0, 5, 5}}) {
        StretchArgbBlend(*dst, everywhere, {3, 0, 61, 64}, *src, source, 77, true);
        StretchArgbAlphaBlend(*dst, everywhere, {0, 5, 64, 59}, *src, source, 255, true);
    }
}

TEST(SmoothTransform, PainterDrawsSmoothOnlyOnThirtyTwoBitImages) {
    const Image32 src = row32({0xFF000000, 0xFFFFFFFF});
    src->setAlphaMode(false);
    const auto painter = [](ImageBase& target) {
        return kernel::SmartPtr<ImagePainter>(target.createPainter());
    };
    Image32 plain = blank32(4, 2), smooth = blank32(4, 2);
    painter(*plain)->drawScaled(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    painter(*smooth)->drawScaledSmooth(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    const Pixels rest(4, untouched);
    Pixels want = {grey(0), grey(0), grey(255), grey(255)};
    want.insert(want.end(), rest.begin(), rest.end());
    EXPECT_EQ(pixels(plain), want);
    want[1] = grey(127);
    EXPECT_EQ(pixels(smooth), want);

    // The rotated form, through the origin and at half alpha (the blend member).
    Image32 turnedPlain = filled32(4, 2, 0xFF000000), turnedSmooth = filled32(4, 2, 0xFF000000);
    for (Image32* target : {&turnedPlain, &turnedSmooth}) {
        kernel::SmartPtr<ImagePainter> p = painter(**target);
        p->setOrigin(0, 1);
        p->setAlpha(128);
        target == &turnedPlain ? p->drawRotated(*src, 0.0, 2.0, 0, -1, 0, 0)
                               : p->drawRotatedSmooth(*src, 0.0, 2.0, 0, -1, 0, 0);
    }
    EXPECT_EQ(turnedPlain->pixels32()[1], 0xFF000000u);
    EXPECT_EQ(turnedSmooth->pixels32()[1], 0xFF3F3F3Fu); // 127 * 128 >> 8
    EXPECT_EQ(turnedSmooth->pixels32()[2], 0xFF7F7F7Fu);
    // The vanishing-scale guard holds for the smooth form too.
    Image32 guarded = blank32(4, 2);
    painter(*guarded)->drawRotatedSmooth(*src, 0.0, 0.00005, 0, 0, 0, 0);
    EXPECT_EQ(pixels(guarded), Pixels(8, untouched));

    // 16 bits: the smooth scaled draw does nothing, the smooth rotated one draws as the plain one.
    Image16 target16 = testsupport::filled16(4, 2, 0x1234), plain16 = testsupport::filled16(4, 2, 0x1234);
    painter(*target16)->drawScaledSmooth(*src, 0, 0, 2, 1, 0, 0, 4, 1);
    EXPECT_EQ(testsupport::count(*target16, 0x1234), 8);
    painter(*target16)->drawRotatedSmooth(*src, 0.0, 2.0, 0, 0, 0, 0);
    painter(*plain16)->drawRotated(*src, 0.0, 2.0, 0, 0, 0, 0);
    EXPECT_EQ(testsupport::words(*target16), testsupport::words(*plain16));
    EXPECT_EQ(target16->pixels16()[1], 0);
    EXPECT_EQ(target16->pixels16()[2], 0xFFFF);
}
