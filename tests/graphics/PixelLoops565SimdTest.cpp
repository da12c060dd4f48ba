#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/PixelLoops565.h"
#include "engine/kernel/SmartPtr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

using BlitLoop = void (*)(MemoryImage&, int, int, MemoryImage&, int, int, int, int, int);
using FillLoop = void (*)(MemoryImage&, int, int, ChannelBuffer&, int, int, int, int, std::uint16_t, int);

// The members without a uniform alpha under the blit signature; the last argument is then unused.
template <auto Loop>
void withoutAlpha(MemoryImage& d, int dx, int dy, MemoryImage& s, int sx, int sy, int w, int h, int) {
    Loop(d, dx, dy, s, sx, sy, w, h);
}

using Image = SmartPtr<MemoryImage>;

// Pixels and alpha bytes in the image's storage, row padding included.
std::size_t stored(const MemoryImage& image) {
    return static_cast<std::size_t>(image.getPitch() / 2 * image.getHeight());
}

std::pair<std::vector<std::uint16_t>, std::vector<std::uint8_t>> contentOf(const MemoryImage& image) {
    return {{image.pixels16(), image.pixels16() + stored(image)},
            {image.getAlphaBuffer(), image.getAlphaBuffer() + stored(image)}};
}

// Random scenes drawn by both forms must agree everywhere. Alpha and coverage bytes are drawn by group of
// four from the rectangle's start (all 0, all 255, 255s mixed with others, random) to reach every shortcut
// and the single pixels after the groups; the uniform alpha takes its edge values and a random one.
class PixelLoops565Differential : public ::testing::TestWithParam<int> {
protected:
    int width() const { return GetParam(); }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    int drawUniform() { return std::vector<int>{0, 1, 128, 255, pick(0, 255)}[pick(0, 4)]; }

    // A logical width of `width` over rows `padding` pixels longer: the pitch exceeds twice the width.
    Image randomImage(int width, int height, int padding) {
        Image image = createImage16(width + padding, height);
        image->setWidth(width);
        std::generate_n(image->pixels16(), stored(*image), [&] { return static_cast<std::uint16_t>(rng()); });
        std::generate_n(image->getAlphaBuffer(), stored(*image),
                        [&] { return static_cast<std::uint8_t>(rng()); });
        return image;
    }

    Image copyOf(const MemoryImage& image) {
        Image copy = createImage16(image.getPitch() / 2, image.getHeight());
        copy->setWidth(image.getWidth());
        const auto [pixels, alphas] = contentOf(image);
        std::ranges::copy(pixels, copy->pixels16());
        std::ranges::copy(alphas, copy->getAlphaBuffer());
        return copy;
    }

    // Calls set(x, y, byte) for each byte of the rectangle, drawn group by group.
    template <class Set> void groupAlphas(int x, int y, int height, Set set) {
        for (int row = y; row < y + height; ++row) {
            for (int i = 0; i < width(); i += 4) {
                const int kind = pick(0, 3);
                for (int j = i; j < std::min(i + 4, width()); ++j) {
                    const int mixed = std::vector<int>{255, 0, pick(1, 254)}[pick(0, 2)];
                    set(x + j, row, kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? mixed : pick(0, 255));
                }
            }
        }
    }

    void compare(BlitLoop simd, BlitLoop reference) {
        for (int trial = 0; trial < trials; ++trial) {
            const int h = pick(1, 3), sx = pick(0, 5), sy = pick(0, 2), dx = pick(0, 5), dy = pick(0, 2);
            Image src = randomImage(sx + width(), sy + h, pick(0, 3));
            groupAlphas(sx, sy, h, [&](int x, int y, int a) {
                src->getAlphaBuffer()[src->pixelIndex(x, y)] = static_cast<std::uint8_t>(a);
            });
            Image dst = randomImage(dx + width(), dy + h, pick(0, 3));
            Image expected = copyOf(*dst);
            const auto source = contentOf(*src);
            const int alpha = drawUniform();
            simd(*dst, dx, dy, *src, sx, sy, width(), h, alpha);
            reference(*expected, dx, dy, *src, sx, sy, width(), h, alpha);
            ASSERT_EQ(contentOf(*dst), contentOf(*expected)) << "trial " << trial << " alpha " << alpha;
            ASSERT_EQ(contentOf(*src), source) << "trial " << trial;
        }
    }

    void compare(FillLoop simd, FillLoop reference) {
        for (int trial = 0; trial < trials; ++trial) {
            const int h = pick(1, 3), cx = pick(0, 5), cy = pick(0, 2), dx = pick(0, 5), dy = pick(0, 2);
            ChannelBuffer coverage(cx + width() + pick(0, 3), cy + h);
            std::generate_n(coverage.data(), coverage.getWidth() * coverage.getHeight(),
                            [&] { return static_cast<std::uint8_t>(rng()); });
            groupAlphas(cx, cy, h, [&](int x, int y, int a) {
                coverage.data()[y * coverage.getWidth() + x] = static_cast<std::uint8_t>(a);
            });
            Image dst = randomImage(dx + width(), dy + h, pick(0, 3));
            Image expected = copyOf(*dst);
            const auto color = static_cast<std::uint16_t>(rng());
            const int alpha = drawUniform();
            simd(*dst, dx, dy, coverage, cx, cy, width(), h, color, alpha);
            reference(*expected, dx, dy, coverage, cx, cy, width(), h, color, alpha);
            ASSERT_EQ(contentOf(*dst), contentOf(*expected))
                << "trial " << trial << " colour " << color << " alpha " << alpha;
        }
    }

private:
    static constexpr int trials = 12;
    std::mt19937 rng{static_cast<unsigned>(GetParam())};
};

TEST_P(PixelLoops565Differential, Copy) {
    compare(withoutAlpha<Blit565Copy>, withoutAlpha<plain::Blit565Copy>);
}
TEST_P(PixelLoops565Differential, Alpha) {
    compare(withoutAlpha<Blit565Alpha>, withoutAlpha<plain::Blit565Alpha>);
}
TEST_P(PixelLoops565Differential, Blend) {
    compare(Blit565Blend, plain::Blit565Blend);
}
TEST_P(PixelLoops565Differential, AlphaBlend) {
    compare(Blit565AlphaBlend, plain::Blit565AlphaBlend);
}
TEST_P(PixelLoops565Differential, ChannelFill) {
    compare(ChannelFill565, plain::ChannelFill565);
}

INSTANTIATE_TEST_SUITE_P(Widths, PixelLoops565Differential, ::testing::Range(1, 68));

} // namespace
