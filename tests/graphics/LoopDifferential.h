#pragma once
// Random scenes drawn by the SIMD and the plain form of a pixel loop must agree everywhere, row padding
// included, and leave the source alone. The rectangle's width is the test's parameter. Alpha and coverage
// bytes are drawn group by group from the rectangle's start, so that every shortcut of the group loops is
// reached, and the single pixels after the groups too.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageFactory.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <utility>
#include <vector>

namespace loopdifferential {

using namespace graphics;

// 16-bit images with an alpha plane; groups of four are all 0, all 255, 255s mixed with 0 and others, or
// anything.
struct Loops565 {
    using Target = MemoryImage;
    using Image = testsupport::Image16;
    using Color = std::uint16_t;
    static constexpr int group = 4;

    static Image create(int width, int height) { return createImage16(width, height); }
    static std::size_t stored(const MemoryImage& image) { return image.getPitch() / 2 * image.getHeight(); }
    static auto content(const MemoryImage& image) {
        return std::pair(testsupport::words(image), testsupport::alphaPlane(image));
    }
    static void randomise(MemoryImage& image, std::mt19937& random) {
        std::generate_n(image.pixels16(), stored(image),
                        [&] { return static_cast<std::uint16_t>(random()); });
        std::generate_n(image.getAlphaBuffer(), stored(image),
                        [&] { return static_cast<std::uint8_t>(random()); });
    }
    static void setAlpha(MemoryImage& image, int x, int y, int alpha) {
        image.getAlphaBuffer()[image.pixelIndex(x, y)] = static_cast<std::uint8_t>(alpha);
    }
    template <class Pick> static int alphaOf(int kind, int, Pick pick) {
        const int mixed = std::vector<int>{255, 0, pick(1, 254)}[pick(0, 2)];
        return std::vector<int>{0, 255, mixed, pick(0, 255)}[kind];
    }
};

// 32-bit images whose alpha is the top byte; pairs are both 0, both 255, 255 beside 0, or anything.
struct Loops32 {
    using Target = ImageBase;
    using Image = testsupport::Image32;
    using Color = std::uint32_t;
    static constexpr int group = 2;

    static Image create(int width, int height) { return createImage32(width, height); }
    static auto content(const MemoryImage32& image) { return testsupport::words(image); }
    static void randomise(MemoryImage32& image, std::mt19937& random) {
        std::generate_n(image.pixels32(), image.getPitch() / 4 * image.getHeight(), std::ref(random));
    }
    static void setAlpha(MemoryImage32& image, int x, int y, int alpha) {
        std::uint32_t& pixel = image.pixels32()[image.pixelIndex(x, y)];
        pixel = (pixel & 0x00FFFFFFu) | static_cast<std::uint32_t>(alpha) << 24;
    }
    template <class Pick> static int alphaOf(int kind, int index, Pick pick) {
        return kind == 3 ? pick(0, 255) : kind == 0 || (kind == 2 && index == 1) ? 0 : 255;
    }
};

template <class Loops> class Differential : public ::testing::TestWithParam<int> {
public:
    using Target = typename Loops::Target;
    using Color = typename Loops::Color;
    // The last argument is the uniform alpha, or unused.
    using Blit = void (*)(Target&, int, int, Target&, int, int, int, int, int);
    // The last argument is the uniform alpha or the lane.
    using Fill = void (*)(Target&, int, int, ChannelBuffer&, int, int, int, int, Color, int);

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    int drawAlpha() { return std::vector<int>{0, 1, 128, 255, 255, pick(0, 255)}[pick(0, 5)]; }

    void compare(Blit simd, Blit plain) {
        for (int trial = 0; trial < trials; ++trial) {
            const int h = pick(1, 3), sx = pick(0, 5), sy = pick(0, 2), dx = pick(0, 5), dy = pick(0, 2);
            auto src = randomImage(sx + width(), sy + h, rng());
            groupAlphas(h, [&](int x, int y, int a) { Loops::setAlpha(*src, sx + x, sy + y, a); });
            const unsigned seed = rng();
            auto dst = randomImage(dx + width(), dy + h, seed);
            auto expected = randomImage(dx + width(), dy + h, seed);
            const auto source = Loops::content(*src);
            const int alpha = drawAlpha();
            simd(*dst, dx, dy, *src, sx, sy, width(), h, alpha);
            plain(*expected, dx, dy, *src, sx, sy, width(), h, alpha);
            ASSERT_EQ(Loops::content(*dst), Loops::content(*expected))
                << "trial " << trial << " alpha " << alpha;
            ASSERT_EQ(Loops::content(*src), source) << "trial " << trial;
        }
    }

    template <class Parameter> void compare(Fill simd, Fill plain, Parameter parameter) {
        for (int trial = 0; trial < trials; ++trial) {
            const int h = pick(1, 3), cx = pick(0, 5), cy = pick(0, 2), dx = pick(0, 5), dy = pick(0, 2);
            ChannelBuffer coverage(cx + width() + pick(0, 3), cy + h);
            std::generate_n(coverage.data(), coverage.getWidth() * coverage.getHeight(),
                            [&] { return static_cast<std::uint8_t>(rng()); });
            groupAlphas(h, [&](int x, int y, int a) {
                coverage.data()[(cy + y) * coverage.getWidth() + cx + x] = static_cast<std::uint8_t>(a);
            });
            const unsigned seed = rng();
            auto dst = randomImage(dx + width(), dy + h, seed);
            auto expected = randomImage(dx + width(), dy + h, seed);
            const auto color = static_cast<Color>(rng());
            const int value = parameter();
            simd(*dst, dx, dy, coverage, cx, cy, width(), h, color, value);
            plain(*expected, dx, dy, coverage, cx, cy, width(), h, color, value);
            ASSERT_EQ(Loops::content(*dst), Loops::content(*expected))
                << "trial " << trial << " colour " << color << " value " << value;
        }
    }

private:
    static constexpr int trials = 10;

    int width() const { return GetParam(); }

    // A logical width over rows up to three pixels longer (the pitch may exceed the width's), of random
    // pixels; two images of the same seed are the same.
    typename Loops::Image randomImage(int width, int height, unsigned seed) {
        std::mt19937 random(seed);
        auto image = Loops::create(width + static_cast<int>(seed % 4), height);
        image->setWidth(width);
        Loops::randomise(*image, random);
        return image;
    }

    // Calls set(column, row, byte) for each byte of a width x height rectangle, drawn group by group.
    template <class Set> void groupAlphas(int height, Set set) {
        const auto picker = [this](int low, int high) { return pick(low, high); };
        for (int row = 0; row < height; ++row) {
            for (int i = 0; i < width(); i += Loops::group) {
                const int kind = pick(0, 3);
                for (int j = i; j < std::min(i + Loops::group, width()); ++j) {
                    set(j, row, Loops::alphaOf(kind, j - i, picker));
                }
            }
        }
    }

    std::mt19937 rng{static_cast<unsigned>(GetParam())};
};

} // namespace loopdifferential
