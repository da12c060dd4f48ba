#include "engine/graphics/TransformLoops.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/kernel/SmartPtr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace graphics;
using kernel::Rect;

namespace {

using Image16 = kernel::SmartPtr<MemoryImage>;
using Image32 = kernel::SmartPtr<MemoryImage32>;

constexpr std::uint32_t untouched = 0x5A0000FFu;
const Rect everywhere{0, 0, 1000, 1000};

// Every pixel distinct, with an alpha byte of its own.
Image32 pattern32(int width, int height) {
    Image32 image(createImage32(width, height));
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = (static_cast<std::uint32_t>(i * 37 + 1) << 24) | (i * 0x010203u + 0x102030u);
    }
    return image;
}

Image32 blank32(int width, int height) {
    Image32 image(createImage32(width, height));
    std::fill_n(image->pixels32(), width * height, untouched);
    return image;
}

std::vector<std::uint32_t> pixels(const Image32& image) {
    const std::uint32_t* p = image->pixels32();
    return {p, p + image->getWidth() * image->getHeight()};
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

std::vector<std::uint32_t> stretched(const Image32& src, const Rect& source, const Rect& target,
                                     const Rect& clip = everywhere) {
    Image32 dst = blank32(12, 10);
    StretchArgbCopy(*dst, clip, target, *src, source);
    return pixels(dst);
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
    const std::vector<std::uint32_t> whole = stretched(src, source, target);
    for (const Rect& clip : {Rect{3, 0, 12, 10}, Rect{0, 4, 12, 10}, Rect{0, 0, 7, 10}, Rect{0, 0, 12, 6},
                             Rect{2, 3, 5, 4}, Rect{-5, -5, 30, 30}}) {
        const std::vector<std::uint32_t> part = stretched(src, source, target, clip);
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

// 16 / (2^24 + 1) rounds up to exactly 2^-20 in single precision, so the unheld walk would reach column 16.
TEST(TransformLoops, WideTargetsLastPixelsStayInTheSource) {
    const Image32 src = pattern32(16, 1);
    Image32 dst = blank32(4, 1);
    StretchArgbCopy(*dst, everywhere, {4 - (1 << 24) - 1, 0, (1 << 24) + 1, 1}, *src, {0, 0, 16, 1});
    const std::uint32_t last = (untouched & 0xFF000000u) | (src->pixels32()[15] & 0xFFFFFFu);
    EXPECT_EQ(pixels(dst), std::vector<std::uint32_t>(4, last));
}

// 1:1 draws copy the colour; 32-bit destinations keep their alpha byte, 16-bit alpha bytes stay as they were.
TEST(TransformLoops, IdentityStretchAndRotationEqualTheCopy) {
    const Image32 src32 = pattern32(5, 3);
    Image16 src16(createImage16(5, 3));
    for (int i = 0; i < 15; ++i) {
        src16->pixels16()[i] = static_cast<std::uint16_t>(i * 4099 + 7);
    }
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
                const std::uint32_t want32 =
                    inside ? (untouched & 0xFF000000u) | (src32->pixels32()[s] & 0xFFFFFFu) : untouched;
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
        std::vector<std::uint32_t> want(64, untouched);
        for (const Placed& p : c.placed) {
            want[p.dy * 8 + p.dx] =
                (untouched & 0xFF000000u) | (src->pixels32()[p.sy * 3 + p.sx] & 0xFFFFFFu);
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
            EXPECT_EQ(pixels(dst), std::vector<std::uint32_t>(36, untouched)) << scale;
        }
    }
    for (const auto& [target, source] : {std::pair{Rect{1, 1, 0, 3}, Rect{0, 0, 4, 4}},
                                         {Rect{1, 1, 3, 0}, Rect{0, 0, 4, 4}},
                                         {Rect{1, 1, -3, 3}, Rect{0, 0, 4, 4}},
                                         {Rect{1, 1, 3, 3}, Rect{1, 1, 0, 2}},
                                         {Rect{1, 1, 3, 3}, Rect{5, 0, 2, 2}},
                                         {Rect{12, 2, 3, 3}, Rect{0, 0, 4, 4}}}) {
        EXPECT_EQ(stretched(src, source, target), std::vector<std::uint32_t>(120, untouched))
            << target.w << "," << source.w;
    }
}

namespace {

class Unlockable : public MemoryImage32 {
public:
    bool lock() override { return false; }
};

} // namespace

TEST(TransformLoops, NothingIsWrittenWhenALockFails) {
    kernel::SmartPtr<Unlockable> locked(new Unlockable);
    locked->allocate(4, 4);
    std::fill_n(locked->pixels32(), 16, untouched);
    const Image32 src = pattern32(4, 4);
    Image32 dst = blank32(4, 4);
    StretchArgbCopy(*dst, everywhere, {0, 0, 4, 4}, *locked, {0, 0, 4, 4});
    RotateArgbCopy(*locked, everywhere, 0, 0, 0, 0, *src, 0.0, 1.0);
    EXPECT_EQ(pixels(dst), std::vector<std::uint32_t>(16, untouched));
    EXPECT_EQ(std::vector<std::uint32_t>(locked->pixels32(), locked->pixels32() + 16),
              std::vector<std::uint32_t>(16, untouched));
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
        Image16 src(createImage16(1, 1));
        Image16 dst(createImage16(1, 1));
        src->pixels16()[0] = c.s;
        src->getAlphaBuffer()[0] = 255;
        dst->pixels16()[0] = c.d;
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
            Image32 src(createImage32(1, 1));
            Image32 dst(createImage32(1, 1));
            src->pixels32()[0] = c.s;
            dst->pixels32()[0] = c.d;
            c.draw(*dst, everywhere, {0, 0, 1, 1}, *src, {0, 0, 1, 1}, c.uniform, smooth);
            EXPECT_EQ(dst->pixels32()[0], c.want) << std::hex << c.s << " " << c.uniform << " " << smooth;
        }
    }
}
