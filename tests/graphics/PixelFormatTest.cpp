#include "engine/graphics/PixelFormat.h"

#include <gtest/gtest.h>

using graphics::PixelFormat;

TEST(PixelFormat, ShiftsAndLossesFollowTheMasks) {
    const PixelFormat rgb = PixelFormat::rgb565();
    EXPECT_EQ(rgb.lossA, 8);
    EXPECT_EQ(rgb.shiftA, 0);
    EXPECT_EQ(rgb.lossR, 3);
    EXPECT_EQ(rgb.lossG, 2);
    EXPECT_EQ(rgb.lossB, 3);
    EXPECT_EQ(rgb.shiftR, 11);
    EXPECT_EQ(rgb.shiftG, 5);
    EXPECT_EQ(rgb.shiftB, 0);
    const PixelFormat argb = PixelFormat::argb8888();
    EXPECT_EQ(argb.lossA, 0);
    EXPECT_EQ(argb.shiftA, 24);
    EXPECT_EQ(argb.shiftB, 0);
}

TEST(PixelFormat, PackingDropsTheLowBitsAndNeverAlphaInto16Bits) {
    EXPECT_EQ(PixelFormat::rgb565().pack(0x80FF8040), 0xFC08u);
    EXPECT_EQ(PixelFormat::rgb565().pack(0xFFFFFFFF), 0xFFFFu);
    EXPECT_EQ(PixelFormat::argb8888().pack(0x80FF8040), 0x80FF8040u);
}
