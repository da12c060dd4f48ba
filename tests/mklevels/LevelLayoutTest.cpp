// The field's outlines and the placing of the special pibbles on them.
#include "tools/mklevels/LevelLayout.h"
#include "tools/mklevels/FieldShape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using mklevels::FieldShape;
using mklevels::LevelLayout;

// The outline as a picture: '#' a cell, '.' a hole.
std::vector<std::string> picture(const FieldShape& outline) {
    std::vector<std::string> rows;
    for (int row = 1; row <= outline.rows(); ++row) {
        std::string text;
        for (int column = 1; column <= outline.columns(); ++column) {
            text += outline.isCell(row, column) ? '#' : '.';
        }
        rows.push_back(text);
    }
    return rows;
}

FieldShape built(const std::string& shape, int rows, int columns,
                 const std::map<std::string, mklevels::ShapeMask>& masks = {}) {
    FieldShape outline;
    std::string error;
    EXPECT_TRUE(mklevels::buildShape(shape, rows, columns, masks, outline, error)) << shape << ": " << error;
    return outline;
}

TEST(FieldShapes, CutAsDrawn) {
    EXPECT_EQ(picture(built("corners:1", 4, 5)),
              (std::vector<std::string>{".###.", "#####", "#####", ".###."}));
    EXPECT_EQ(picture(built("arch:2", 4, 8)),
              (std::vector<std::string>{"..####..", ".######.", "########", "########"}));
    EXPECT_EQ(picture(built("bowl", 4, 10)),
              (std::vector<std::string>{"##########", ".########.", "..######..", "...####..."}));
    EXPECT_EQ(picture(built("window:2", 5, 7)),
              (std::vector<std::string>{"#######", "###.###", "###.###", "#######", "#######"}));
    EXPECT_EQ(picture(built("pillars:1", 3, 10)),
              (std::vector<std::string>{"##########", "###.##.###", "##########"}));
    EXPECT_EQ(picture(built("dots:2", 5, 9)),
              (std::vector<std::string>{"#########", "#.#####.#", "#########", "###.#.###", "#########"}));
    EXPECT_EQ(picture(built("window:1", 3, 8)),
              (std::vector<std::string>{"########", "###..###", "########"}));
    EXPECT_EQ(picture(built("waist:1", 3, 5)), (std::vector<std::string>{"#####", ".###.", "#####"}));
    // A mask stands in the middle; the cells round it stay.
    std::map<std::string, mklevels::ShapeMask> masks;
    masks["ring"].rows = {"###", "#.#", "###"};
    EXPECT_EQ(picture(built("ring", 5, 7, masks)),
              (std::vector<std::string>{"#######", "#######", "###.###", "#######", "#######"}));
}

// Every shape of the generator, at every size the chapters use, looks the same from both sides and lets
// each row's queue pibble make a run somewhere in its row; a cut too deep for the width says so.
TEST(FieldShapes, EveryShapeIsMirroredAndPlayableInEveryRow) {
    const std::pair<int, int> sizes[] = {{7, 8}, {7, 9}, {8, 9}, {8, 10}, {9, 10}};
    int built = 0;
    for (const char* name : {"full", "corners", "arch", "bowl", "pillars", "window", "waist", "dots"}) {
        for (const std::string& size : {std::string(), std::string(":1"), std::string(":3")}) {
            for (const auto& [rows, columns] : sizes) {
                const std::string shape = name + size;
                FieldShape outline;
                std::string error;
                if (!mklevels::buildShape(shape, rows, columns, {}, outline, error)) {
                    EXPECT_NE(error.find("without three cells side by side"), std::string::npos) << error;
                    continue;
                }
                ++built;
                for (int row = 1; row <= rows; ++row) {
                    int longest = 0;
                    int run = 0;
                    for (int column = 1; column <= columns; ++column) {
                        EXPECT_EQ(outline.isCell(row, column),
                                  outline.isCell(row, outline.mirrorColumn(column)))
                            << shape;
                        run = outline.isCell(row, column) ? run + 1 : 0;
                        longest = std::max(longest, run);
                    }
                    EXPECT_GE(longest, 3) << shape << " row " << row;
                }
                EXPECT_EQ(outline.cellCount() < rows * columns, std::string(name) != "full") << shape;
            }
        }
    }
    EXPECT_GT(built, 100);
}

TEST(FieldShapes, OutlinesThatCannotBePlayedAreRefused) {
    FieldShape outline;
    std::string error;
    EXPECT_FALSE(mklevels::buildShape("arch:9", 7, 8, {}, outline, error));
    EXPECT_NE(error.find("leaves row 1 of a field of 8 x 7 without three cells side by side"),
              std::string::npos)
        << error;
    std::map<std::string, mklevels::ShapeMask> masks;
    masks["wide"].rows = {"###########"};
    EXPECT_FALSE(mklevels::buildShape("wide", 7, 10, masks, outline, error));
    EXPECT_NE(error.find("bigger than the field"), std::string::npos) << error;
    EXPECT_FALSE(mklevels::buildShape("blob", 7, 10, masks, outline, error));
    EXPECT_NE(error.find("not known"), std::string::npos) << error;
}

mklevels::LevelPlan crowdedPlan(bool symmetric) {
    mklevels::LevelPlan plan;
    plan.rows = 8;
    plan.columns = 9;
    plan.vibs = 14;
    plan.vibStubborn = 2;
    plan.vibChained = 3;
    plan.stubborn = 4;
    plan.chained = 5;
    plan.clowns = 1;
    plan.parties = 1;
    plan.shape = "window:2";
    plan.symmetric = symmetric;
    return plan;
}

// Each kind is placed as often as planned; chained pibbles can always be freed, VIBs and stubborn pibbles
// stand where a run can reach them; a symmetric level mirrors every pair it can.
TEST(LevelLayout, SpecialsArePlacedWhereTheyCanBePlayed) {
    int mirrored = 0;
    int pairs = 0;
    for (const bool symmetric : {false, true}) {
        const mklevels::LevelPlan plan = crowdedPlan(symmetric);
        for (std::uint64_t seed = 1; seed <= 12; ++seed) {
            LevelLayout layout(built(plan.shape, plan.rows, plan.columns));
            mklevels::LevelDice dice(seed);
            std::string error;
            if (mklevels::placeSpecials(plan, dice, layout, error) != mklevels::Placing::done) {
                continue;
            }
            EXPECT_EQ(layout.count('X'), plan.vibs - plan.vibStubborn - plan.vibChained);
            EXPECT_EQ(layout.count('S'), plan.vibStubborn);
            EXPECT_EQ(layout.count('C'), plan.vibChained);
            EXPECT_EQ(layout.count('s'), plan.stubborn);
            EXPECT_EQ(layout.count('c'), plan.chained);
            EXPECT_EQ(layout.count('l'), plan.clowns);
            EXPECT_EQ(layout.count('p'), plan.parties);
            EXPECT_EQ(layout.count('.'), 2);
            for (int row = 1; row <= layout.rows(); ++row) {
                EXPECT_EQ(layout.fileRow(row).front(), 'q');
                EXPECT_EQ(layout.fileRow(row).back(), 'q');
                for (int column = 1; column <= layout.columns(); ++column) {
                    const char cell = layout.at(row, column);
                    if (cell == 'c' || cell == 'C') {
                        EXPECT_TRUE(layout.hasFreeLine(row, column)) << row << "," << column;
                    }
                    if (std::string("XSCsc").find(cell) != std::string::npos) {
                        EXPECT_TRUE(layout.shape().inLineOfThree(row, column)) << row << "," << column;
                    }
                    const int mirror = layout.shape().mirrorColumn(column);
                    if (symmetric && column < mirror && cell != 'x' && cell != '.') {
                        ++pairs;
                        mirrored += layout.at(row, mirror) == cell ? 1 : 0;
                    }
                }
            }
        }
    }
    ASSERT_GT(pairs, 0);
    EXPECT_GT(mirrored * 10, pairs * 8) << mirrored << " of " << pairs;
}

TEST(LevelLayout, MorePibblesThanCellsCannotBePlaced) {
    mklevels::LevelPlan plan = crowdedPlan(false);
    plan.vibs = 70;
    LevelLayout layout(built(plan.shape, plan.rows, plan.columns));
    mklevels::LevelDice dice(1);
    std::string error;
    EXPECT_EQ(mklevels::placeSpecials(plan, dice, layout, error), mklevels::Placing::impossible);
    EXPECT_NE(error.find("do not fit the 70 cells"), std::string::npos) << error;
}

TEST(LevelLayout, AChainedPibbleWalledInByLockedOnesCannotBeFreed) {
    LevelLayout layout(FieldShape(5, 5));
    layout.set(3, 3, 'c');
    EXPECT_TRUE(layout.hasFreeLine(3, 3));
    // Locked on both sides: the lines down are left.
    layout.set(3, 2, 's');
    layout.set(3, 4, 'C');
    layout.set(2, 3, 'c');
    EXPECT_TRUE(layout.hasFreeLine(3, 3));
    LevelLayout holed = layout;
    holed.set(5, 3, '.');
    EXPECT_FALSE(holed.hasFreeLine(3, 3));
    layout.set(4, 3, 'S');
    EXPECT_FALSE(layout.hasFreeLine(3, 3));
}

} // namespace
