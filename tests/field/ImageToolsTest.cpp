// The small tools of the pieces: image darkening, the "over" composition, the hit mask and the ping-pong
// tween.
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Sprite.h"
#include "game/field/ImageComposition.h"
#include "game/field/ImageDarkening.h"
#include "game/field/PingPongTween.h"
#include "game/field/SpriteHitMask.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using kernel::SmartPtr;
using testsupport::filled32;
using testsupport::image32Of;

TEST(ImageDarkening, SubtractsTheFactorFromEachColourAndKeepsAlpha) {
    struct Case {
        float factor;
        std::uint32_t before;
        std::uint32_t after;
    };
    const Case cases[] = {
        {0.0f, 0x80C86432u, 0x80C86432u},
        {1.0f, 0x7FFFFFFFu, 0x7F000000u},
        // 200 - 127.5 truncates to 72; 100 and 50 floor at 0.
        {0.5f, 0xFFC86432u, 0xFF480000u},
        // 26 - 25.5 truncates to 0.
        {0.1f, 0x00FF1A19u, 0x00E50000u},
    };
    for (const Case& c : cases) {
        auto image = image32Of(1, 1, {c.before});
        game::darkenImage(*image, c.factor);
        EXPECT_EQ(image->pixels32()[0], c.after) << c.factor;
        // The 16-bit twin follows only a modified picture.
        EXPECT_TRUE(image->isModified());
    }
}

TEST(ImageComposition, LaysTransparentPartsOverEachOtherWithoutDarkeningTheirEdges) {
    auto target = image32Of(4, 1, {0x00000000u, 0xFF0000FFu, 0x80FF0000u, 0x00000000u});
    auto source = image32Of(4, 1, {0x80FFFFFFu, 0x80FFFFFFu, 0xFF00FF00u, 0x00123456u});
    source->setAlphaMode(true);
    game::composeOver(*target, *source, kernel::Rect(0, 0, 4, 1), 0, 0);
    // Over nothing: the part's own colour and alpha. Half white over opaque blue: opaque, between the two.
    // Opaque over anything: the part. Nothing over nothing: nothing.
    EXPECT_EQ(target->pixels32()[0], 0x80FFFFFFu);
    EXPECT_EQ(target->pixels32()[1], 0xFF8080FFu);
    EXPECT_EQ(target->pixels32()[2], 0xFF00FF00u);
    EXPECT_EQ(target->pixels32()[3], 0x00000000u);

    // A part without its alpha flag is opaque; the destination is clipped to the target.
    auto plain = image32Of(2, 1, {0x00ABCDEFu, 0x00ABCDEFu});
    plain->setAlphaMode(false);
    game::composeOver(*target, *plain, kernel::Rect(0, 0, 2, 1), 3, 0);
    EXPECT_EQ(target->pixels32()[3], 0xFFABCDEFu);
}

// Every pair of alphas, each with colours that differ in every lane: the composed pixel is the rounded
// "over" of the two, and a clear part leaves the target's pixel as it was, colour bits and all.
TEST(ImageComposition, FollowsTheOverRuleForEveryPairOfAlphas) {
    auto target = image32Of(256, 256, {});
    auto source = image32Of(256, 256, {});
    source->setAlphaMode(true);
    const auto below = [](std::uint32_t sa, std::uint32_t da) {
        return da << 24 | ((sa * 0x010305u + 0x405060u) & 0xFFFFFFu);
    };
    const auto above = [](std::uint32_t sa, std::uint32_t da) {
        return sa << 24 | ((da * 0x030201u + 0x102030u) & 0xFFFFFFu);
    };
    for (std::uint32_t sa = 0; sa < 256; ++sa) {
        for (std::uint32_t da = 0; da < 256; ++da) {
            target->pixels32()[target->pixelIndex(static_cast<int>(sa), static_cast<int>(da))] =
                below(sa, da);
            source->pixels32()[source->pixelIndex(static_cast<int>(sa), static_cast<int>(da))] =
                above(sa, da);
        }
    }
    game::composeOver(*target, *source, kernel::Rect(0, 0, 256, 256), 0, 0);
    for (std::uint32_t sa = 0; sa < 256; ++sa) {
        for (std::uint32_t da = 0; da < 256; ++da) {
            const std::uint32_t s = above(sa, da);
            const std::uint32_t d = below(sa, da);
            std::uint32_t expected = d;
            if (sa != 0) {
                const std::uint32_t weightAbove = sa * 255;
                const std::uint32_t weightBelow = da * (255 - sa);
                const std::uint32_t total = weightAbove + weightBelow;
                expected = (total + 127) / 255 << 24;
                for (const int shift : {16, 8, 0}) {
                    const std::uint32_t mixed =
                        ((s >> shift & 0xFF) * weightAbove + (d >> shift & 0xFF) * weightBelow + total / 2) /
                        total;
                    expected |= mixed << shift;
                }
            }
            ASSERT_EQ(target->pixels32()[target->pixelIndex(static_cast<int>(sa), static_cast<int>(da))],
                      expected)
                << sa << " over " << da;
        }
    }
}

// A 6 x 4 sprite at (20, 30) anchored at (2, 1): it covers x 18..23 and y 29..32.
class SpriteHitMaskTest : public ::testing::Test {
protected:
    SmartPtr<game::SpriteHitMask> sprite() {
        SmartPtr<game::SpriteHitMask> made = new game::SpriteHitMask();
        made->setSize(6, 4);
        made->setAnchorPoint(2.0f, 1.0f);
        made->setPosition(20, 30);
        return made;
    }
};

TEST_F(SpriteHitMaskTest, WithoutAMaskTheWholeAnchoredRectangleHits) {
    const SmartPtr<game::SpriteHitMask> hit = sprite();
    EXPECT_TRUE(hit->containsPoint(18, 29));
    EXPECT_TRUE(hit->containsPoint(23, 32));
    // The right and the bottom edge are outside, as is the unanchored corner's left.
    EXPECT_FALSE(hit->containsPoint(24, 30));
    EXPECT_FALSE(hit->containsPoint(20, 33));
    EXPECT_FALSE(hit->containsPoint(17, 30));
}

TEST_F(SpriteHitMaskTest, TheMasksBlueByteMustBeAbove128) {
    const SmartPtr<game::SpriteHitMask> hit = sprite();
    auto mask = filled32(6, 4, 0xFFFFFF00u);
    mask->pixels32()[mask->pixelIndex(1, 0)] = 0x00000080u;
    mask->pixels32()[mask->pixelIndex(2, 0)] = 0x00000081u;
    mask->pixels32()[mask->pixelIndex(5, 3)] = 0xFF0000FFu;
    hit->setHitMask(mask.get());
    EXPECT_FALSE(hit->containsPoint(19, 29));
    EXPECT_TRUE(hit->containsPoint(20, 29));
    EXPECT_TRUE(hit->containsPoint(23, 32));
    EXPECT_FALSE(hit->containsPoint(18, 29));
}

// Bad data: a mask smaller than its sprite is never read outside its pixels (AddressSanitizer watches),
// and a narrower one is read by its own rows.
TEST_F(SpriteHitMaskTest, AMaskSmallerThanTheSpriteHitsOnlyWithinItself) {
    const SmartPtr<game::SpriteHitMask> hit = sprite();
    auto mask = filled32(2, 2, 0);
    mask->pixels32()[mask->pixelIndex(0, 1)] = 0xFFu;
    hit->setHitMask(mask.get());
    EXPECT_TRUE(hit->containsPoint(18, 30));
    EXPECT_FALSE(hit->containsPoint(18, 29));
    for (int y = 29; y < 33; ++y) {
        for (int x = 20; x < 24; ++x) {
            EXPECT_FALSE(hit->containsPoint(x, y)) << x << "," << y;
        }
    }
}

TEST_F(SpriteHitMaskTest, ADeclarationTakesItsMaskFromTheNamedSection) {
    fieldtest::FieldWorld world;
    auto mask = filled32(4, 2, 0);
    mask->pixels32()[mask->pixelIndex(3, 1)] = 0xFFFFFFFFu;
    fieldtest::FieldWorld::addSection("masks", {{"MASK", mask}});
    testsupport::TempDir dir;
    const SmartPtr<game::SpriteHitMask> declared = testsupport::declared<game::SpriteHitMask>(
        dir, "declared.xml",
        R"(<D><SpriteHitMask id="hit" x="5" y="6" width="4" height="2" hitmask="MASK" section="masks"/>
           <SpriteHitMask id="plain" width="4" height="2" section="masks"/></D>)",
        "hit");
    ASSERT_NE(declared, nullptr);
    EXPECT_EQ(declared->getHitMask(), mask.get());
    EXPECT_TRUE(declared->containsPoint(8, 7));
    EXPECT_FALSE(declared->containsPoint(7, 7));
    const SmartPtr<game::SpriteHitMask> plain =
        testsupport::declared<game::SpriteHitMask>(dir, "plain.xml", R"(<D><SpriteHitMask id="plain"
            width="4" height="2" section="masks"/></D>)",
                                                   "plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->getHitMask(), nullptr);
}

// The positions a tween gives its node over frames of 50 ms.
std::vector<std::pair<int, int>> track(game::PingPongTween* tween, int frames) {
    SmartPtr<ui::Sprite> node = new ui::Sprite();
    node->addModifier(tween);
    std::vector<std::pair<int, int>> positions;
    for (int i = 0; i < frames; ++i) {
        node->update(50);
        positions.emplace_back(node->getX(), node->getY());
    }
    return positions;
}

TEST(PingPongTween, TravelsThereAndBackAndRestsOnlyAtTheFirstPoint) {
    using Track = std::vector<std::pair<int, int>>;
    // 200 ms each way in frames of 50 ms: the end point shows in the frame the way reaches it.
    EXPECT_EQ(track(new game::PingPongTween(0, 0, 8, -4, 200, 0, false), 10),
              (Track{{0, 0}, {2, -1}, {4, -2}, {8, -4}, {8, -4}, {6, -3}, {4, -2}, {0, 0}, {0, 0}, {2, -1}}));
    // A hold of 100 ms keeps it at the first point for two more frames, never at the second.
    EXPECT_EQ(
        track(new game::PingPongTween(0, 0, 8, 0, 200, 100, false), 11),
        (Track{{0, 0}, {2, 0}, {4, 0}, {8, 0}, {8, 0}, {6, 0}, {4, 0}, {0, 0}, {0, 0}, {0, 0}, {2, 0}}));
    // Smoothed: slow at both ends, truncated toward zero.
    EXPECT_EQ(track(new game::PingPongTween(0, 0, 0, 100, 200, 0, true), 3),
              (Track{{0, 0}, {0, 15}, {0, 50}}));
}

TEST(PingPongTween, ATravelOf0FlipsEveryFrameAndNeverFinishes) {
    const SmartPtr<game::PingPongTween> tween = new game::PingPongTween(1, 2, 3, 4, 0, 0, false);
    const std::vector<std::pair<int, int>> positions = track(tween.get(), 4);
    EXPECT_EQ(positions, (std::vector<std::pair<int, int>>{{3, 4}, {1, 2}, {3, 4}, {1, 2}}));
    EXPECT_FALSE(tween->isFinished());
}

} // namespace
