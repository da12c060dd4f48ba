#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/SimdLevel.h"
#include "engine/kernel/SmartPtr.h"

#include "LoopDifferential.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

using ImageLoop = void (*)(ImageBase&, int, int, ImageBase&, int, int, int, int, int);
using ChannelLoop = void (*)(ImageBase&, int, int, ChannelBuffer&, int, int, int, int, std::uint32_t, int);

// The loops that have both forms, under one signature: the last argument is the alpha or the lane.
struct Forms {
    const char* name;
    ImageLoop copy, masked, uniform, alphaUniform;
    ChannelLoop channelFill, channelToLane;
};

template <auto Loop>
void withoutAlpha(ImageBase& d, int dx, int dy, ImageBase& s, int sx, int sy, int w, int h, int) {
    Loop(d, dx, dy, s, sx, sy, w, h);
}

template <auto Loop>
void withoutColor(ImageBase& d, int x, int y, ChannelBuffer& c, int cx, int cy, int w, int h, std::uint32_t,
                  int lane) {
    Loop(d, x, y, c, cx, cy, w, h, lane);
}

// clang-format off
const Forms simdForms{"public", withoutAlpha<BlitCopy32>, withoutAlpha<BlitMasked32>, BlitUniform32,
                      BlitAlphaUniform32, ChannelFill32, withoutColor<ChannelToLane32>};
const Forms plainForms{"plain", withoutAlpha<plain::BlitCopy32>, withoutAlpha<plain::BlitMasked32>,
                       plain::BlitUniform32, plain::BlitAlphaUniform32, plain::ChannelFill32,
                       withoutColor<plain::ChannelToLane32>};
// clang-format on

// The forms of the loop that comes in several instruction sets; the public one calls the highest the
// processor runs, and each that it runs is held to the plain form.
struct LevelForm {
    const char* name;
    SimdLevel level;
    ImageLoop loop;
};
#if defined(__SSE2__)
const LevelForm alphaUniformForms[]{{"sse2", SimdLevel::Sse2, sse2::BlitAlphaUniform32},
                                    {"avx2", SimdLevel::Avx2, avx2::BlitAlphaUniform32}};
#else
const LevelForm alphaUniformForms[]{{"public", SimdLevel::Sse2, BlitAlphaUniform32}};
#endif

void PrintTo(const Forms& forms, std::ostream* out) {
    *out << forms.name;
}

using Image = testsupport::Image32;
using testsupport::blendArgb;
using testsupport::words;

Image makeImage(int width, int height, const std::vector<std::uint32_t>& pixels) {
    return testsupport::image32Of(width, height, pixels);
}

class BlitLoops32Rules : public ::testing::TestWithParam<Forms> {};

TEST_P(BlitLoops32Rules, AlphaUniformAtFullAlphaCopiesOpaquePairsButBlendsTheOddLastPixel) {
    const std::uint32_t src = 0xFF204060u;
    const std::uint32_t dst = 0x10A0B0C0u;
    for (int width = 1; width <= 6; ++width) {
        Image d = makeImage(width, 1, {dst, dst, dst, dst, dst, dst});
        Image s = makeImage(width, 1, {src, src, src, src, src, src});
        GetParam().alphaUniform(*d, 0, 0, *s, 0, 0, width, 1, 255);
        for (int i = 0; i < width; ++i) {
            const bool paired = i < width - width % 2;
            EXPECT_EQ(d->pixels32()[i], paired ? 0x10204060u : blendArgb(dst, src, 254))
                << "width " << width << " pixel " << i;
        }
    }
    const std::uint32_t half = 0x80204060u;
    Image d = makeImage(2, 1, {dst, dst});
    Image s = makeImage(2, 1, {src, half});
    GetParam().alphaUniform(*d, 0, 0, *s, 0, 0, 2, 1, 255);
    EXPECT_EQ(words(*d), (std::vector{blendArgb(dst, src, 254), blendArgb(dst, half, 127)}))
        << "a pair with one opaque pixel is blended throughout";
}

TEST_P(BlitLoops32Rules, UniformBlendsPairsAndTheOddLastPixelByTheirOwnRules) {
    Image d = makeImage(3, 1, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu});
    Image s = makeImage(3, 1, {});
    GetParam().uniform(*d, 0, 0, *s, 0, 0, 3, 1, 128);
    EXPECT_EQ(words(*d), (std::vector<std::uint32_t>{0x80808080u, 0x80808080u, 0x7F7F7F7Fu}));
}

TEST_P(BlitLoops32Rules, ChannelFillHasNoCopyShortcut) {
    const std::uint32_t dst = 0x7F102030u;
    Image d = makeImage(4, 1, {dst, dst, dst, dst});
    SmartPtr<ChannelBuffer> coverage = createImageChannel(*makeImage(4, 1, {~0u, ~0u, ~0u, ~0u}), 0);
    GetParam().channelFill(*d, 0, 0, *coverage, 0, 0, 4, 1, 0x00F0E0D0u, 255);
    EXPECT_EQ(words(*d), std::vector<std::uint32_t>(4, blendArgb(dst, 0x00F0E0D0u, 254)));
}

// Only the whole-pixel copy, the uniform blend and a lane-0 write give the destination a new alpha byte.
TEST_P(BlitLoops32Rules, OnlyCopyUniformAndLaneZeroChangeTheDestinationAlpha) {
    const Forms& f = GetParam();
    const auto alphaAfter = [](auto draw) {
        Image d = makeImage(3, 1, {0x40123456u, 0x40654321u, 0x40ABCDEFu});
        Image s = makeImage(3, 1, {0xC0FFFFFFu, 0x80000000u, 0xFF808080u});
        draw(*d, *s);
        return d->pixels32()[0] >> 24 | d->pixels32()[1] >> 24 << 8 | d->pixels32()[2] >> 24 << 16;
    };
    const std::uint32_t kept = 0x404040;
    SmartPtr<ChannelBuffer> coverage = createImageChannel(*makeImage(3, 1, {~0u, 0x80000000u, 0}), 0);
    EXPECT_NE(alphaAfter([&](auto& d, auto& s) { f.copy(d, 0, 0, s, 0, 0, 3, 1, 0); }), kept);
    EXPECT_NE(alphaAfter([&](auto& d, auto& s) { f.uniform(d, 0, 0, s, 0, 0, 3, 1, 200); }), kept);
    EXPECT_NE(alphaAfter([&](auto& d, auto&) { f.channelToLane(d, 0, 0, *coverage, 0, 0, 3, 1, 0, 0); }),
              kept);
    EXPECT_EQ(alphaAfter([&](auto& d, auto& s) { f.masked(d, 0, 0, s, 0, 0, 3, 1, 0); }), kept);
    for (const int u : {128, 255}) {
        EXPECT_EQ(alphaAfter([&](auto& d, auto& s) { f.alphaUniform(d, 0, 0, s, 0, 0, 3, 1, u); }), kept);
        EXPECT_EQ(alphaAfter([&](auto& d, auto&) { f.channelFill(d, 0, 0, *coverage, 0, 0, 3, 1, ~0u, u); }),
                  kept);
    }
    EXPECT_EQ(alphaAfter([&](auto& d, auto&) { f.channelToLane(d, 0, 0, *coverage, 0, 0, 3, 1, 0, 1); }),
              kept);
}

TEST_P(BlitLoops32Rules, ChannelToLaneOutsideZeroToThreeChangesNothing) {
    Image d = makeImage(3, 1, {0x11223344u, 0x55667788u, 0x99AABBCCu});
    const auto before = words(*d);
    SmartPtr<ChannelBuffer> coverage = createImageChannel(*makeImage(3, 1, {~0u, ~0u, ~0u}), 0);
    for (const int lane : {-1, 4}) {
        GetParam().channelToLane(*d, 0, 0, *coverage, 0, 0, 3, 1, 0, lane);
    }
    EXPECT_EQ(words(*d), before);
}

INSTANTIATE_TEST_SUITE_P(BothForms, BlitLoops32Rules, ::testing::Values(simdForms, plainForms),
                         [](const auto& info) { return std::string(info.param.name); });

using LaneLoop = void (*)(ImageBase&, int, int, ImageBase&, int, int, int, int, int);

// Each pixel pair differs from the source in one way per lane; lane 0 is compared as an unsigned value.
TEST(BlitLoops32Lanes, CopyMinAndMaxTouchOnlyTheirLane) {
    struct Case {
        LaneLoop loop;
        int lane;
        std::vector<std::uint32_t> expected;
    };
    const std::vector<std::uint32_t> unchanged{0x11302244u, 0x55206677u};
    const std::vector<Case> cases{
        {BlitLane32, 1, {0x11202244u, 0x55306677u}},
        {LaneMin32, 1, {0x11202244u, 0x55206677u}},
        {LaneMax32, 1, {0x11302244u, 0x55306677u}},
        {BlitLane32, 3, {0x113022CCu, 0x552066FFu}},
        {LaneMin32, 0, {0x11302244u, 0x00206677u}},
        {LaneMax32, 0, {0xAA302244u, 0x55206677u}},
        {LaneMax32, 2, {0x1130BB44u, 0x5520EE77u}},
        {LaneMin32, 3, unchanged},
        {BlitLane32, 4, unchanged},
        {LaneMin32, 4, unchanged},
        {LaneMax32, -1, unchanged},
    };
    for (const Case& c : cases) {
        Image d = makeImage(2, 1, {0x11302244u, 0x55206677u});
        Image s = makeImage(2, 1, {0xAA20BBCCu, 0x0030EEFFu});
        c.loop(*d, 0, 0, *s, 0, 0, 2, 1, c.lane);
        EXPECT_EQ(words(*d), c.expected) << "lane " << c.lane;
    }
}

// Within one image the rectangles may overlap along a row: every pixel copied is the source's as it was.
TEST(BlitLoops32Copy, OverlappingRowsOfOneImageCopyTheSourceAsItWas) {
    for (const int shift : {-3, 1, 6}) {
        Image image = testsupport::pattern32(48, 2);
        std::vector<std::uint32_t> expected = words(*image);
        std::copy_n(expected.begin() + 48 + 6, 36, expected.begin() + 48 + 6 + shift);
        BlitCopy32(*image, 6 + shift, 1, *image, 6, 1, 36, 1);
        EXPECT_EQ(words(*image), expected) << "shift " << shift;
    }
}

TEST(BlitLoops32Locks, NothingIsWrittenWhenALockFails) {
    testsupport::Unlockable<MemoryImage32> failing;
    failing.allocate(4, 1);
    Image other = makeImage(4, 1, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu});
    SmartPtr<ChannelBuffer> coverage = createImageChannel(*other, 0);
    for (const Forms& f : {simdForms, plainForms}) {
        for (ImageLoop loop :
             {f.copy, f.masked, f.uniform, f.alphaUniform, LaneMin32, LaneMax32, BlitLane32}) {
            loop(failing, 0, 0, *other, 0, 0, 4, 1, 255);
            loop(*other, 0, 0, failing, 0, 0, 4, 1, 255);
        }
        for (ChannelLoop loop : {f.channelFill, f.channelToLane}) {
            loop(failing, 0, 0, *coverage, 0, 0, 4, 1, ~0u, 2);
        }
    }
    EXPECT_EQ(words(failing), std::vector<std::uint32_t>(4, 0));
    EXPECT_EQ(words(*other), std::vector<std::uint32_t>(4, 0xFFFFFFFFu));
}

class BlitLoops32Differential : public loopdifferential::Differential<loopdifferential::Loops32> {};

TEST_P(BlitLoops32Differential, Copy) {
    compare(simdForms.copy, plainForms.copy);
}
TEST_P(BlitLoops32Differential, Masked) {
    compare(simdForms.masked, plainForms.masked);
}
TEST_P(BlitLoops32Differential, Uniform) {
    compare(simdForms.uniform, plainForms.uniform);
}
TEST_P(BlitLoops32Differential, AlphaUniform) {
    for (const LevelForm& form : alphaUniformForms) {
        if (processorRuns(form.level)) {
            SCOPED_TRACE(form.name);
            compare(form.loop, plainForms.alphaUniform);
        }
    }
}
TEST_P(BlitLoops32Differential, ChannelFill) {
    compare(simdForms.channelFill, plainForms.channelFill, [this] { return drawAlpha(); });
}
TEST_P(BlitLoops32Differential, ChannelToLane) {
    compare(simdForms.channelToLane, plainForms.channelToLane, [this] { return pick(-1, 4); });
}

INSTANTIATE_TEST_SUITE_P(Widths, BlitLoops32Differential, ::testing::Range(1, 68));

} // namespace
