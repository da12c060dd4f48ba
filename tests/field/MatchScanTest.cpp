// The match scan: which colours match, how runs grow through clowns and join into groups, which cells are
// possible moves, what the scan counts, and the points of a removal step.
#include "game/field/MatchScan.h"

#include "BoardText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using fieldtest::groupsText;
using fieldtest::lines;
using fieldtest::makeBoard;
using fieldtest::markKinds;
using fieldtest::movesText;
using game::Cell;
using game::scanBoard;

TEST(MatchScan, ColoursMatchWhenEveryRealColourIsTheSame) {
    struct Case {
        std::int32_t a, b, c;
        bool match;
    };
    const Case cases[] = {
        {3, 3, 3, true},  {8, 8, 8, true},  {8, 3, 3, true},  {3, 8, 3, true},
        {3, 3, 8, true},  {8, 8, 5, true},  {5, 8, 8, true},  {3, 8, 2, false},
        {2, 3, 3, false}, {3, 3, 2, false}, {8, 2, 3, false}, {0, 3, 3, false},
        {3, 0, 3, false}, {3, 3, 0, false}, {0, 8, 8, false}, {0, 0, 0, false},
    };
    for (const Case& one : cases) {
        EXPECT_EQ(game::matchColours(one.a, one.b, one.c), one.match)
            << one.a << "," << one.b << "," << one.c;
    }
}

// One row each: the groups as a picture (the letter of the listed group) and the cells in runs.
TEST(MatchScan, RunsGrowThroughClownsAndJoinWhereWindowsOverlap) {
    struct Case {
        const char* row;
        const char* groups;
        std::int32_t matchCells;
    };
    const Case cases[] = {
        {"R88B", "aaaa", 4},     {"888", "aaa", 3},     {"R8B", "...", 0},         {"RRR8BB", "aaaaaa", 6},
        {"RRRR", "aaaa", 4},     {"RRGRR", ".....", 0}, {"RRRGBBB", "aaa.bbb", 6}, {"GRRoRRR", "....aaa", 3},
        {"BR.RRB", "......", 0}, {"YB8BY", ".aaa.", 3}, {"BRR8RRB", ".aaaaa.", 5},
    };
    for (const Case& one : cases) {
        const game::Board board = makeBoard({one.row});
        const game::BoardScan scan = scanBoard(board);
        EXPECT_EQ(groupsText(board, scan), lines({one.groups})) << one.row;
        EXPECT_EQ(scan.counts.matchCells, one.matchCells) << one.row;
        EXPECT_EQ(scan.removalList.size(), static_cast<std::size_t>(one.matchCells)) << one.row;
    }
}

TEST(MatchScan, CrossingRunsFormOneGroupOfDistinctCells) {
    struct Case {
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> groups;
        std::int32_t size;
    };
    const Case cases[] = {
        {{"RRRG", "BRGB", "GRBG"}, {"aaa.", ".a..", ".a.."}, 5},       // T
        {{"RGBY", "RBGY", "RRRB"}, {"a...", "a...", "aaa."}, 5},       // L
        {{"GRBY", "RRRB", "GRYB"}, {".a..", "aaa.", ".a.."}, 5},       // plus
        {{"RRRB", "GBRB", "YGRB"}, {"aaab", "..ab", "..ab"}, 5},       // a corner group beside another run
        {{"RRRRR", "YGRBY", "BYRGB"}, {"aaaaa", "..a..", "..a.."}, 7}, // T with a long bar
    };
    for (const Case& one : cases) {
        const game::Board board = makeBoard(one.board);
        const game::BoardScan scan = scanBoard(board);
        ASSERT_FALSE(scan.groups.empty());
        EXPECT_EQ(groupsText(board, scan), lines(one.groups)) << *one.board.begin();
        EXPECT_EQ(scan.groups.front().size(), one.size);
        std::int32_t cells = 0;
        for (const game::CellList& group : scan.groups) {
            cells += group.size();
            EXPECT_TRUE(
                std::is_sorted(group.cells.begin(), group.cells.end(), [](const Cell& a, const Cell& b) {
                    return a.row != b.row ? a.row < b.row : a.column < b.column;
                }));
        }
        EXPECT_EQ(scan.counts.matchCells, cells);
        EXPECT_EQ(scan.removalList.size(), static_cast<std::size_t>(cells));
    }
}

TEST(MatchScan, RemovalListHoldsEachCellOnceInTheOrderFound) {
    const game::Board board = makeBoard({"RRRG", "BRGB", "GRBG"});
    const std::vector<Cell> expected = {{1, 1}, {1, 2}, {1, 3}, {2, 2}, {3, 2}};
    EXPECT_EQ(scanBoard(board).removalList, expected);
}

TEST(MatchScan, ManySeparateRunsAreAllFound) {
    // Three runs per row, with rows alternating so that no column matches: 27 groups of three.
    game::Board board(9, 10, 5);
    for (std::int32_t row = 1; row <= 9; ++row) {
        const std::string_view text = row % 2 == 1 ? "YYYBBBYYYW" : "BBBYYYBBBR";
        for (std::int32_t column = 1; column <= 10; ++column) {
            board.at(row, column) = {true, false, fieldtest::colourOf(text[column - 1]), 0, 0};
        }
    }
    const game::BoardScan scan = scanBoard(board);
    ASSERT_EQ(scan.groups.size(), 27u);
    EXPECT_EQ(scan.counts.matchCells, 81);
    for (std::size_t i = 0; i < scan.groups.size(); ++i) {
        const Cell first{static_cast<std::int32_t>(i / 3) + 1, static_cast<std::int32_t>(i % 3) * 3 + 1};
        EXPECT_EQ(scan.groups[i].size(), 3) << i;
        EXPECT_EQ(scan.groups[i].cells.front(), first) << i;
    }
}

TEST(MatchScan, GroupsCountSpecialAndStubbornPibbles) {
    game::Board board = makeBoard({"8RRRRRR", "BBBGBBB"});
    markKinds(board, {"-pcksvs"});
    const game::BoardScan scan = scanBoard(board);
    ASSERT_EQ(scan.groups.size(), 3u);
    EXPECT_EQ(scan.groups[0].specials, 4); // clown, party, chained, collectable; not VIB nor stubborn
    EXPECT_EQ(scan.groups[0].stubborn, 2);
    EXPECT_EQ(scan.groups[1].specials, 0);
    EXPECT_EQ(scan.groups[1].stubborn, 0);
}

// The queue pibble of a cell's own row against the pairs of neighbours above, around and below it, then
// left, around and right of it.
TEST(MatchScan, MovesAreCellsThatTheirRowsQueuePibbleCompletes) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> kinds;
        std::initializer_list<std::string_view> moves;
    };
    const Case cases[] = {
        {"pair above, bottom row", {".|R", ".|R", "R|B"}, {}, {".", ".", "x"}},
        {"pair around", {".|R", "R|B", ".|R"}, {}, {".", "x", "."}},
        {"pair below, top row", {"R|B", ".|R", ".|R"}, {}, {"x", ".", "."}},
        {"other rows' queue pibbles", {".|B", "R|R", "R|R"}, {}, {".", ".", "."}},
        {"pair right", {"R|BRR"}, {}, {"x.."}},
        {"pair around, row", {"R|RBR"}, {}, {".x."}},
        {"pair left", {"R|RRB"}, {}, {"..x"}},
        {"no pair at the edges", {"R|RB", "R|BR"}, {}, {"..", ".."}},
        {"already a run", {"R|RRR"}, {}, {"..."}},
        {"one clown neighbour", {"R|B8R"}, {}, {"x.."}},
        {"clown at the far end", {"R|BR8"}, {}, {"x.."}},
        {"clown in the middle", {"R|8BR"}, {}, {".x."}},
        {"two clown neighbours", {"R|B88", "R|8B8"}, {}, {"...", "..."}},
        {"queue not the pair's colour", {"G|BRR"}, {}, {"..."}},
        {"empty queue cell", {".|BRR"}, {}, {"..."}},
        {"VIB pibbles are plain", {"R|BRR"}, {"v--"}, {"x.."}},
        {"stubborn", {"R|BRR"}, {"s--"}, {"..."}},
        {"chained", {"R|BRR"}, {"c--"}, {"..."}},
        {"collectable", {"R|BRR"}, {"k--"}, {"..."}},
        {"party", {"R|BRR"}, {"p--"}, {"..."}},
        {"hole in the cell", {"R|oRR"}, {}, {"..."}},
        {"hole or gap in the pair", {"R|BoR", "R|B.R"}, {}, {"...", "..."}},
        {"pairs both ways count once", {"R|BRR", ".|RGB", ".|RYG"}, {}, {"x..", "...", "..."}},
        {"one pair, moves on both sides", {"R|YRRBG"}, {}, {"x..x."}},
    };
    for (const Case& one : cases) {
        game::Board board = makeBoard(one.board);
        markKinds(board, one.kinds);
        const game::BoardScan scan = scanBoard(board);
        const std::vector<std::string> moves = lines(one.moves);
        EXPECT_EQ(movesText(board, scan), moves) << one.what;
        std::int32_t marked = 0;
        for (const std::string& row : moves) {
            marked += static_cast<std::int32_t>(std::count(row.begin(), row.end(), 'x'));
        }
        EXPECT_EQ(scan.counts.possibleMoves, marked) << one.what;
    }
}

TEST(MatchScan, CountsEveryPresentPibbleByKind) {
    game::Board board = makeBoard({"R|RGBY.", ".|8GBYR", ".|GYBRG"});
    markKinds(board, {"vvpss", "-cck-", "k----"});
    game::ScanCounts counts = scanBoard(board).counts;
    EXPECT_EQ(counts.vib, 2);
    EXPECT_EQ(counts.clowns, 1);
    EXPECT_EQ(counts.parties, 1);
    EXPECT_EQ(counts.stubborn, 1); // the fifth cell of the first row holds no pibble
    EXPECT_EQ(counts.chained, 2);
    EXPECT_EQ(counts.collectables, 2);
    board.setClickedIsVib(true);
    counts = scanBoard(board).counts;
    EXPECT_EQ(counts.vib, 3);
}

TEST(MatchScan, ScoreGrowsWithSizeKindsAndComboAndDoublesOnHard) {
    struct Case {
        std::int32_t removed, specials, collectables, vib, comboStep;
        bool hard;
        std::int32_t points;
    };
    const Case cases[] = {
        {3, 0, 0, 0, 0, false, 30},   {4, 0, 0, 0, 0, false, 50},     {5, 0, 0, 0, 0, false, 80},
        {6, 0, 0, 0, 0, false, 120},  {7, 0, 0, 0, 0, false, 170},    {3, 0, 0, 0, 0, true, 60},
        {3, 1, 0, 0, 0, false, 180},  {3, 1, 1, 0, 0, false, 430},    {3, 0, 0, 2, 0, false, 330},
        {4, 0, 0, 0, 2, false, 70},   {3, 0, 0, 0, 1, false, 30},     {3, 0, 0, 0, 3, false, 80},
        {3, 0, 0, 0, 4, false, 100},  {3, 0, 0, 0, 5, false, 130},    {3, 0, 0, 0, 6, false, 160},
        {3, 0, 0, 0, 7, false, 190},  {3, 0, 0, 0, 8, false, 230},    {3, 0, 0, 0, 9, false, 280},
        {3, 0, 0, 0, 40, false, 280}, {5, 1, 1, 1, 3, true, 2 * 680},
    };
    for (const Case& one : cases) {
        EXPECT_EQ(
            game::matchScore(one.removed, one.specials, one.collectables, one.vib, one.comboStep, one.hard),
            one.points)
            << one.removed << " removed, combo step " << one.comboStep << (one.hard ? ", hard" : "");
    }
}

} // namespace
