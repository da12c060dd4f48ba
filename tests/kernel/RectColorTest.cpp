#include "engine/kernel/Color.h"
#include "engine/kernel/Rect.h"

#include <gtest/gtest.h>

using kernel::Color;
using kernel::Rect;

TEST(Rect, IntersectsOnlyWhenAreasOverlap) {
    const Rect box(0, 0, 10, 10);
    EXPECT_FALSE(box.intersects(Rect(10, 0, 5, 5))); // touching edge
    EXPECT_FALSE(box.intersects(Rect(0, 10, 5, 5)));
    EXPECT_TRUE(box.intersects(Rect(9, 9, 5, 5)));
    EXPECT_TRUE(box.intersects(Rect(-5, -5, 6, 6)));
    EXPECT_FALSE(box.intersects(Rect(2, 2, 0, 5))); // empty
    EXPECT_FALSE(Rect(0, 0, 0, 10).intersects(box));
}

TEST(Rect, IntersectionAndUnionAreNotClamped) {
    Rect out;
    Rect::intersect(Rect(0, 0, 10, 10), Rect(20, 20, 5, 5), out);
    EXPECT_EQ(out, Rect(20, 20, -10, -10));
    EXPECT_TRUE(out.isEmpty());
    Rect::intersect(Rect(0, 0, 10, 10), Rect(5, -5, 10, 10), out);
    EXPECT_EQ(out, Rect(5, 0, 5, 5));

    Rect::unionOf(Rect(0, 0, 0, 0), Rect(5, 5, 5, 5), out);
    EXPECT_EQ(out, Rect(0, 0, 10, 10));
    Rect(20, 20, -10, -10).unite(Rect(0, 0, 1, 1), out);
    EXPECT_EQ(out, Rect(0, 0, 10, 10));
}

// Gathering areas: an empty one adds nothing, wherever its corner lies.
TEST(Rect, JoinedSkipsEmptyRectangles) {
    EXPECT_EQ(Rect::joined(Rect(), Rect(5, 5, 5, 5)), Rect(5, 5, 5, 5));
    EXPECT_EQ(Rect::joined(Rect(5, 5, 5, 5), Rect(900, 900, 0, 3)), Rect(5, 5, 5, 5));
    EXPECT_EQ(Rect::joined(Rect(5, 5, 5, 5), Rect(0, 20, 2, 2)), Rect(0, 5, 10, 17));
    EXPECT_TRUE(Rect::joined(Rect(1, 1, -2, 0), Rect()).isEmpty());
}

TEST(Rect, EdgesAndCentres) {
    Rect box(0, 0, 10, 10);
    box.setLeft(2);
    EXPECT_EQ(box, Rect(2, 0, 8, 10));
    box.setTop(-4);
    EXPECT_EQ(box, Rect(2, -4, 8, 14));
    box.setRight(5);
    box.setBottom(0);
    EXPECT_EQ(box, Rect(2, -4, 3, 4));
    EXPECT_EQ(Rect(0, 0, -3, 0).centerX(), -1);
    EXPECT_EQ(Rect(1, 1, 5, 7).centerY(), 4);
}

TEST(Color, LanesAreNumberedFromAlpha) {
    Color color(0xFF112233);
    EXPECT_EQ(color.component(0), 0xFF);
    EXPECT_EQ(color.component(3), 0x33);
    color.setComponent(0, 0x80);
    EXPECT_EQ(color.value, 0x80112233u);
    color.setComponent(3, 0x44);
    EXPECT_EQ(color.value, 0x80112244u);
    color.setComponent(4, 0x00);
    color.setComponent(-1, 0x00);
    EXPECT_EQ(color.value, 0x80112244u);
}
