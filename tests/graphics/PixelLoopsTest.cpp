#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/PixelLoops565.h"
#include "engine/graphics/PixelLoopsArgb.h"
#include "engine/graphics/SimdLevel.h"

#include "LoopDifferential.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <utility>
#include <vector>

using namespace graphics;

namespace {

using testsupport::words;
// References written from the blend rule.
const auto ref565 = testsupport::blend565;
const auto refArgb = testsupport::blendArgb;

std::uint32_t keepAlpha(std::uint32_t d, std::uint32_t s) {
    return (d & 0xFF000000u) | (s & 0xFFFFFFu);
}

std::uint32_t seed = 1;
unsigned next() {
    return (seed = seed * 1103515245u + 12345u) >> 8;
}

// Rows of storeWidth pixels under a logical width of width, so the pitch can be wider than 2 x width.
void make16(MemoryImage& image, int width, int height, int storeWidth) {
    ASSERT_TRUE(image.allocate(storeWidth, height));
    image.setWidth(width);
    for (int i = 0; i < storeWidth * height; ++i) {
        image.pixels16()[i] = static_cast<std::uint16_t>(next());
        image.getAlphaBuffer()[i] = static_cast<std::uint8_t>(next());
    }
}

void make32(MemoryImage32& image, int width, int height, int storeWidth) {
    ASSERT_TRUE(image.allocate(storeWidth, height));
    image.setWidth(width);
    std::generate_n(image.pixels32(), storeWidth * height, next);
}

const auto alphaOf = testsupport::alphaPlane;

// Applies rule(old, column, row) to the w x h rectangle at (x, y) of a plane of rows stride entries apart.
template <class T, class Rule>
void changeRect(std::vector<T>& plane, int stride, int x, int y, int w, int h, Rule rule) {
    for (int row = 0; row < h; ++row) {
        for (int c = 0; c < w; ++c) {
            T& value = plane[(y + row) * stride + x + c];
            value = static_cast<T>(rule(value, c, row));
        }
    }
}

// Alpha by column from the blit's start: an opaque row, a transparent row, a row whose groups mix 255 and
// 0 with other values, and a row of anything.
std::uint8_t sourceAlpha(int row, int column) {
    const std::uint8_t mixed[] = {255, 0, 77, 200};
    const std::uint8_t rows[] = {255, 0, mixed[column % 4], static_cast<std::uint8_t>(next())};
    return rows[std::min(row, 3)];
}

// A pixel whose group is wholly opaque (or a single opaque pixel after the groups) is copied.
bool copiedAsOpaque(const std::vector<std::uint8_t>& alphas, int column) {
    const int groupEnd = static_cast<int>(alphas.size()) / 4 * 4;
    const int first = column < groupEnd ? column / 4 * 4 : column;
    const int last = column < groupEnd ? first + 3 : column;
    return std::all_of(alphas.begin() + first, alphas.begin() + last + 1, [](int a) { return a == 255; });
}

using Pixel = std::uint16_t;

// Each member blits 4 rows at (1, 1) from (1, 0); its expectation takes the pixel's alpha and whether the
// pixel is copied as opaque.
struct Blit565Member {
    void (*blit)(MemoryImage& dst, MemoryImage& src, int width, int uniform);
    Pixel (*expect)(Pixel d, Pixel s, int a, bool opaque, int uniform);
};
const Blit565Member blit565Members[] = {
    {[](MemoryImage& d, MemoryImage& s, int w, int) { Blit565Copy(d, 1, 1, s, 1, 0, w, 4); },
     [](Pixel, Pixel s, int, bool, int) { return s; }},
    {[](MemoryImage& d, MemoryImage& s, int w, int) { Blit565Alpha(d, 1, 1, s, 1, 0, w, 4); },
     [](Pixel d, Pixel s, int a, bool opaque, int) { return opaque ? s : ref565(d, s, a); }},
    {[](MemoryImage& d, MemoryImage& s, int w, int u) { Blit565Blend(d, 1, 1, s, 1, 0, w, 4, u); },
     [](Pixel d, Pixel s, int, bool, int u) { return ref565(d, s, u); }},
    {[](MemoryImage& d, MemoryImage& s, int w, int u) { Blit565AlphaBlend(d, 1, 1, s, 1, 0, w, 4, u); },
     [](Pixel d, Pixel s, int a, bool, int u) { return ref565(d, s, a * u / 256); }},
};

} // namespace

// Widths 1..3 take only single pixels, 4 and 8 only groups, 5..7 both. Both pitches are padded, so the
// source's alpha bytes must follow its pitch.
TEST(PixelLoops, Blit565MembersFollowTheBlendRuleAndTheGroupsAtEveryWidth) {
    for (const Blit565Member& member : blit565Members) {
        for (int uniform : {200, 255}) {
            for (int width = 1; width <= 8; ++width) {
                MemoryImage src, dst;
                make16(src, 10, 4, 11);
                make16(dst, 10, 6, 12);
                std::vector<std::vector<std::uint8_t>> alphas(4);
                for (int row = 0; row < 4; ++row) {
                    for (int c = 0; c < width; ++c) {
                        alphas[row].push_back(src.getAlphaBuffer()[row * 11 + 1 + c] = sourceAlpha(row, c));
                    }
                }
                std::vector<Pixel> expect = words(dst);
                changeRect(expect, 12, 1, 1, width, 4, [&](Pixel d, int c, int row) {
                    const Pixel s = src.pixels16()[row * 11 + 1 + c];
                    return member.expect(d, s, alphas[row][c], copiedAsOpaque(alphas[row], c), uniform);
                });
                const std::vector<std::uint8_t> dstAlpha = alphaOf(dst);
                member.blit(dst, src, width, uniform);
                EXPECT_EQ(words(dst), expect)
                    << "member " << &member - blit565Members << " alpha " << uniform << " width " << width;
                EXPECT_EQ(alphaOf(dst), dstAlpha);
            }
        }
    }
}

// White over black: an opaque pixel that is blended comes out as 0xF7DE (fields 30, 62, 30).
TEST(PixelLoops, OpaqueWhiteIsExactOnlyWhereItIsCopied) {
    struct Case {
        std::vector<std::uint8_t> alphas;
        bool withUniform255;
        std::uint16_t first, last;
    };
    const Case cases[] = {
        {{255, 255, 255, 255}, false, 0xFFFF, 0xFFFF},
        {{255, 255, 255, 128}, false, 0xF7DE, 0x7BEF},
        {{255}, false, 0xFFFF, 0xFFFF},
        {{255, 255, 255, 255, 255}, false, 0xFFFF, 0xFFFF},
        {{255, 255, 255, 255}, true, 0xF7DE, 0xF7DE},
        {{255}, true, 0xF7DE, 0xF7DE},
    };
    for (const Case& c : cases) {
        const int width = static_cast<int>(c.alphas.size());
        MemoryImage src, dst;
        ASSERT_TRUE(src.allocate(width, 1));
        ASSERT_TRUE(dst.allocate(width, 1));
        std::fill_n(src.pixels16(), width, 0xFFFF);
        std::copy(c.alphas.begin(), c.alphas.end(), src.getAlphaBuffer());
        if (c.withUniform255) {
            Blit565AlphaBlend(dst, 0, 0, src, 0, 0, width, 1, 255);
        } else {
            Blit565Alpha(dst, 0, 0, src, 0, 0, width, 1);
        }
        EXPECT_EQ(dst.pixels16()[0], c.first) << "width " << width;
        EXPECT_EQ(dst.pixels16()[width - 1], c.last) << "width " << width;
    }
}

TEST(PixelLoops, ArgbBlitsBlendRgbAndKeepTheTargetAlpha) {
    using Blit = void (*)(ImageBase&, ImageBase&, int);
    using Rule = std::uint32_t (*)(std::uint32_t, std::uint32_t, int);
    const std::pair<Blit, Rule> members[] = {
        {[](ImageBase& d, ImageBase& s, int) { BlitArgbCopy(d, 2, 1, s, 1, 0, 5, 3); },
         [](std::uint32_t, std::uint32_t s, int) { return s; }},
        {[](ImageBase& d, ImageBase& s, int) { BlitArgbAlpha(d, 2, 1, s, 1, 0, 5, 3); },
         [](std::uint32_t d, std::uint32_t s, int) {
             return s >> 24 == 255 ? keepAlpha(d, s) : refArgb(d, s, static_cast<int>(s >> 24));
         }},
        {[](ImageBase& d, ImageBase& s, int u) { BlitArgbBlend(d, 2, 1, s, 1, 0, 5, 3, u); },
         [](std::uint32_t d, std::uint32_t s, int u) {
             return u == 255 ? keepAlpha(d, s) : refArgb(d, s, u);
         }},
        {[](ImageBase& d, ImageBase& s, int u) { BlitArgbAlphaBlend(d, 2, 1, s, 1, 0, 5, 3, u); },
         [](std::uint32_t d, std::uint32_t s, int u) {
             return refArgb(d, s, static_cast<int>(s >> 24) * u / 256);
         }},
    };
    for (int uniform : {0, 130, 255}) {
        for (const auto& [blit, rule] : members) {
            MemoryImage32 src, dst;
            make32(src, 6, 3, 6);
            make32(dst, 7, 4, 9);
            src.pixels32()[1] = 0x00123456;
            src.pixels32()[2] = 0xFF654321;
            std::vector<std::uint32_t> expect = words(dst);
            changeRect(expect, 9, 2, 1, 5, 3, [&](std::uint32_t d, int c, int row) {
                return rule(d, src.pixels32()[row * 6 + 1 + c], uniform);
            });
            blit(dst, src, uniform);
            EXPECT_EQ(words(dst), expect) << "alpha " << uniform;
        }
    }
    MemoryImage32 white, black;
    make32(white, 1, 1, 1);
    make32(black, 1, 1, 1);
    white.pixels32()[0] = 0xFFFFFFFF;
    black.pixels32()[0] = 0x80000000;
    BlitArgbAlphaBlend(black, 0, 0, white, 0, 0, 1, 1, 255);
    EXPECT_EQ(black.pixels32()[0], 0x80FDFDFDu) << "255 under 255 is 254";
}

TEST(PixelLoops, ChannelFillBlendsTheColourThroughTheBytes) {
    for (int uniform : {0, 180, 255}) {
        for (int width = 1; width <= 8; ++width) {
            MemoryImage dst;
            make16(dst, 10, 4, 12);
            ChannelBuffer channel(10, 3);
            for (int i = 0; i < 30; ++i) {
                channel.data()[i] = sourceAlpha(i / 10, i % 10 + 3);
            }
            std::vector<std::uint16_t> expect = words(dst);
            changeRect(expect, 12, 1, 1, width, 3, [&](std::uint16_t d, int c, int row) {
                return ref565(d, 0xA5C3, channel.data()[row * 10 + 1 + c] * uniform / 256);
            });
            ChannelFill565(dst, 1, 1, channel, 1, 0, width, 3, 0xA5C3, uniform);
            EXPECT_EQ(words(dst), expect) << "alpha " << uniform << " width " << width;
        }
    }
}

// The plane loops of the alpha buffer step its rows by the width, the alpha copy by half the pitch, the
// whole-pixel copy by the widths.
TEST(PixelLoops, AlphaPlanesAndWholePixelCopiesUseTheirOwnRowStrides) {
    MemoryImage image, plain;
    make16(image, 6, 4, 9);
    make16(plain, 5, 3, 5);
    ChannelBuffer channel(5, 3);
    std::generate_n(channel.data(), 15, next);
    std::vector<std::uint8_t> expect = alphaOf(image);
    changeRect(expect, 6, 1, 1, 3, 2, [](int, int, int) { return 0xAB; });
    changeRect(expect, 6, 2, 1, 3, 2,
               [&](int, int c, int row) { return channel.data()[(1 + row) * 5 + 1 + c]; });
    changeRect(expect, 9, 1, 2, 4, 2,
               [&](int, int c, int row) { return plain.getAlphaBuffer()[(1 + row) * 5 + c]; });
    const std::vector<std::uint16_t> pixels = words(image);
    FillAlpha565(image, 1, 1, 3, 2, 0x1AB);
    ChannelToAlpha565(image, 2, 1, channel, 1, 1, 3, 2);
    CopyAlpha565(image, 1, 2, plain, 0, 1, 4, 2);
    EXPECT_EQ(alphaOf(image), expect);
    EXPECT_EQ(words(image), pixels);

    MemoryImage32 dst, src;
    make32(dst, 6, 4, 9);
    make32(src, 5, 3, 5);
    std::vector<std::uint32_t> whole = words(dst);
    changeRect(whole, 6, 1, 1, 3, 2,
               [&](auto, int c, int row) { return src.pixels32()[(1 + row) * 5 + 2 + c]; });
    CopyRectArgb(dst, 1, 1, src, 2, 1, 3, 2);
    EXPECT_EQ(words(dst), whole);
}

TEST(PixelLoops, LanesOfOnePixelAndOfRectangles) {
    struct Case {
        int lane;
        std::uint16_t cleared, set565;
        std::uint32_t setArgb;
    };
    const Case cases[] = {
        {0, 0x0000, 0x0000, 0xAB223344}, {1, 0x07FF, 0x2FFF, 0x11AB3344}, {2, 0xF81F, 0xFCBF, 0x1122AB44},
        {3, 0xFFE0, 0xFFE5, 0x112233AB}, {4, 0x0000, 0x0000, 0x112233AB},
    };
    for (const Case& c : cases) {
        MemoryImage image;
        make16(image, 3, 3, 4);
        std::fill_n(image.pixels16(), 12, 0xFFFF);
        ClearLanePixel565(image, 1, 2, c.lane);
        SetLane565(image, 1, 0, 2, 2, c.lane, 0x25);
        std::vector<std::uint16_t> expect(12, 0xFFFF);
        expect[2 * 4 + 1] = c.cleared;
        changeRect(expect, 4, 1, 0, 2, 2, [&](int, int, int) { return c.set565; });
        EXPECT_EQ(words(image), expect) << "lane " << c.lane;

        MemoryImage32 image32;
        make32(image32, 3, 3, 4);
        std::fill_n(image32.pixels32(), 12, 0x11223344u);
        SetLanePixelArgb(image32, 0, 2, c.lane, 0x1AB);
        SetLaneArgb(image32, 1, 0, 2, 2, c.lane, 0x1AB);
        std::vector<std::uint32_t> expect32(12, 0x11223344u);
        expect32[2 * 4] = c.setArgb;
        changeRect(expect32, 4, 1, 0, 2, 2, [&](auto, int, int) { return c.setArgb; });
        EXPECT_EQ(words(image32), expect32) << "lane " << c.lane;
    }
}

TEST(PixelLoops, FillsWriteOnlyTheirRectangleAndArgbFillsKeepEachAlpha) {
    for (int width = 1; width <= 5; ++width) {
        MemoryImage image;
        make16(image, 7, 3, 9);
        std::vector<std::uint16_t> expect = words(image);
        changeRect(expect, 9, 1, 0, width, 2, [](int, int, int) { return 0x1234; });
        changeRect(expect, 9, 2, 1, width, 2,
                   [](std::uint16_t d, int, int) { return ref565(d, 0xF00F, 99); });
        Fill565(image, 1, 0, width, 2, 0x1234);
        FillBlend565(image, 2, 1, width, 2, 0xF00F, 99);
        EXPECT_EQ(words(image), expect) << "width " << width;

        MemoryImage32 image32;
        make32(image32, 7, 3, 9);
        std::vector<std::uint32_t> expect32 = words(image32);
        changeRect(expect32, 9, 1, 0, width, 2,
                   [](std::uint32_t d, int, int) { return keepAlpha(d, 0xABCDEF); });
        changeRect(expect32, 9, 2, 1, width, 2,
                   [](std::uint32_t d, int, int) { return refArgb(d, 0xF0800F, 77); });
        FillArgb(image32, 1, 0, width, 2, 0x12ABCDEF);
        FillBlendArgb(image32, 2, 1, width, 2, 0x00F0800F, 77);
        EXPECT_EQ(words(image32), expect32) << "width " << width;
    }
}

namespace {

// The fill under the differential's signature; the colour's alpha byte is random there.
template <auto Fill>
void fillOf(ImageBase& image, int x, int y, ChannelBuffer&, int, int, int width, int height,
            std::uint32_t color, int) {
    Fill(image, x, y, width, height, color);
}

class FillDifferential : public loopdifferential::Differential<loopdifferential::Loops32> {};

} // namespace

// Each form the processor runs, against the plain one, with rows starting at various alignments.
TEST_P(FillDifferential, KeepsEachAlphaLikeThePlainForm) {
    struct Form {
        const char* name;
        SimdLevel level;
        Fill fill;
    };
#if defined(__SSE2__)
    const Form forms[]{{"avx2", SimdLevel::Avx2, fillOf<avx2::FillArgb>},
                       {"avx512", SimdLevel::Avx512, fillOf<avx512::FillArgb>}};
#else
    const Form forms[]{{"public", SimdLevel::Sse2, fillOf<FillArgb>}};
#endif
    for (const Form& form : forms) {
        if (processorRuns(form.level)) {
            SCOPED_TRACE(form.name);
            compare(form.fill, fillOf<plain::FillArgb>, [] { return 0; });
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, FillDifferential, ::testing::Range(1, 68));

TEST(PixelLoops, SpanTakesTheAlphaOfItsFirstPixel) {
    MemoryImage32 image;
    make32(image, 6, 2, 6);
    for (int x = 0; x < 6; ++x) {
        image.pixels32()[6 + x] = static_cast<std::uint32_t>(x + 1) << 28;
    }
    std::vector<std::uint32_t> expect = words(image);
    std::fill(expect.begin() + 6 + 1, expect.begin() + 6 + 4, 0x20ABCDEFu);
    SpanArgb(image, 1, 4, 1, 0xFFABCDEF);
    SpanArgb(image, 4, 4, 1, 0xFFABCDEF);
    SpanArgb(image, 5, 2, 1, 0xFFABCDEF);
    EXPECT_EQ(words(image), expect);
}

TEST(PixelLoops, BresenhamLinesPlotTheWalkAndTheFarEnd) {
    struct Case {
        int x1, y1, x2, y2;
        std::set<std::pair<int, int>> points;
    };
    const Case cases[] = {
        {1, 0, 3, 7, {{1, 0}, {1, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 6}, {3, 7}}},
        {2, 6, 0, 2, {{2, 6}, {1, 5}, {1, 4}, {0, 3}, {0, 2}}},
        {6, 1, 0, 4, {{6, 1}, {5, 2}, {4, 2}, {3, 3}, {2, 3}, {1, 4}, {0, 4}}},
        {4, 4, 4, 4, {{4, 4}}},
    };
    for (const Case& c : cases) {
        MemoryImage image;
        make16(image, 7, 8, 9);
        MemoryImage32 image32;
        make32(image32, 7, 8, 9);
        std::vector<std::uint16_t> pixels = words(image);
        std::vector<std::uint8_t> alpha = alphaOf(image);
        std::vector<std::uint32_t> pixels32 = words(image32);
        for (const auto& [x, y] : c.points) {
            pixels[y * 9 + x] = 0x1234;
            alpha[y * 7 + x] = 0x56;
            pixels32[y * 9 + x] = refArgb(pixels32[y * 9 + x], 0x00FF00FF, 99);
        }
        Line565(image, c.x1, c.y1, c.x2, c.y2, 0x1234);
        LineAlpha565(image, c.x1, c.y1, c.x2, c.y2, 0x156);
        LineBlendArgb(image32, c.x1, c.y1, c.x2, c.y2, 0x00FF00FF, 99);
        EXPECT_EQ(words(image), pixels) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
        EXPECT_EQ(alphaOf(image), alpha) << "the alpha line steps rows by the width";
        EXPECT_EQ(words(image32), pixels32);
    }
}

namespace {

// An image whose lock can be refused, counting the locks it granted that are not yet released.
template <class Image> class GuardedImage : public Image {
public:
    explicit GuardedImage(bool refuse) : refuse(refuse) {}
    bool lock() override {
        held += refuse ? 0 : 1;
        return !refuse;
    }
    bool unlock() override {
        --held;
        return true;
    }
    bool refuse;
    int held = 0;
};

auto contentOf(const MemoryImage& image) {
    return std::make_pair(words(image), alphaOf(image));
}
auto contentOf(const MemoryImage32& image) {
    return words(image);
}

template <class Image, class Call, std::size_t N>
void expectNothingWritten(const Call (&calls)[N], std::size_t twoImageCalls,
                          void (*make)(Image&, int, int, int)) {
    for (bool targetRefuses : {true, false}) {
        // With a refused source only the calls that read one can show anything.
        for (std::size_t i = 0; i < (targetRefuses ? N : twoImageCalls); ++i) {
            GuardedImage<Image> dst(targetRefuses), src(!targetRefuses);
            make(dst, 4, 4, 4);
            make(src, 4, 4, 4);
            const auto before = contentOf(dst);
            calls[i](dst, src);
            EXPECT_EQ(contentOf(dst), before) << "call " << i;
            EXPECT_EQ(dst.held + src.held, 0) << "call " << i;
        }
    }
}

} // namespace

TEST(PixelLoops, NothingIsWrittenWhenALockFails) {
    static ChannelBuffer channel(4, 4);
    std::fill_n(channel.data(), 16, 200);
    using Call16 = void (*)(MemoryImage&, MemoryImage&);
    const Call16 calls16[] = {
        [](MemoryImage& d, MemoryImage& s) { Blit565Copy(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage& d, MemoryImage& s) { Blit565Alpha(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage& d, MemoryImage& s) { Blit565Blend(d, 0, 0, s, 0, 0, 4, 4, 99); },
        [](MemoryImage& d, MemoryImage& s) { Blit565AlphaBlend(d, 0, 0, s, 0, 0, 4, 4, 99); },
        [](MemoryImage& d, MemoryImage& s) { CopyAlpha565(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage& d, MemoryImage&) { ChannelToAlpha565(d, 0, 0, channel, 0, 0, 4, 4); },
        [](MemoryImage& d, MemoryImage&) { ChannelFill565(d, 0, 0, channel, 0, 0, 4, 4, 0xFFFF, 255); },
        [](MemoryImage& d, MemoryImage&) { ClearLanePixel565(d, 1, 1, 0); },
        [](MemoryImage& d, MemoryImage&) { LineAlpha565(d, 0, 0, 3, 2, 9); },
        [](MemoryImage& d, MemoryImage&) { Fill565(d, 0, 0, 4, 4, 0xFFFF); },
        [](MemoryImage& d, MemoryImage&) { FillAlpha565(d, 0, 0, 4, 4, 9); },
        [](MemoryImage& d, MemoryImage&) { SetLane565(d, 0, 0, 4, 4, 0, 9); },
    };
    expectNothingWritten<MemoryImage>(calls16, 5, make16);
    using Call32 = void (*)(MemoryImage32&, MemoryImage32&);
    const Call32 calls32[] = {
        [](MemoryImage32& d, MemoryImage32& s) { BlitArgbCopy(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage32& d, MemoryImage32& s) { BlitArgbAlpha(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage32& d, MemoryImage32& s) { BlitArgbBlend(d, 0, 0, s, 0, 0, 4, 4, 99); },
        [](MemoryImage32& d, MemoryImage32& s) { BlitArgbAlphaBlend(d, 0, 0, s, 0, 0, 4, 4, 99); },
        [](MemoryImage32& d, MemoryImage32& s) { CopyRectArgb(d, 0, 0, s, 0, 0, 4, 4); },
        [](MemoryImage32& d, MemoryImage32&) { SetLanePixelArgb(d, 1, 1, 0, 9); },
        [](MemoryImage32& d, MemoryImage32&) { LineArgb(d, 0, 0, 3, 2, 0xFFFFFFFF); },
        [](MemoryImage32& d, MemoryImage32&) { FillArgb(d, 0, 0, 4, 4, 0xFFFFFFFF); },
        [](MemoryImage32& d, MemoryImage32&) { SpanArgb(d, 0, 4, 1, 0xFFFFFFFF); },
    };
    expectNothingWritten<MemoryImage32>(calls32, 5, make32);
}
