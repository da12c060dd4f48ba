// The refill: pibbles falling into the gaps, the search for new colours that leave a move, where a
// collectable goes, the colour that helps the last VIB pibbles, and the reshuffle and recolouring of a
// stuck board.
#include "game/field/RefillRules.h"

#include "game/foundation/Random.h"

#include "BoardText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using fieldtest::boardText;
using fieldtest::lines;
using fieldtest::makeBoard;
using fieldtest::markKinds;
using game::Board;
using game::Cell;
using game::Fall;
using game::scanBoard;

// One field column, top to bottom, one letter a row.
Board makeColumn(std::string_view cells, std::string_view kinds = {}) {
    std::vector<std::string_view> rows;
    std::vector<std::string_view> kindRows;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        rows.push_back(cells.substr(i, 1));
        kindRows.push_back(i < kinds.size() ? kinds.substr(i, 1) : "-");
    }
    Board board = makeBoard(rows);
    markKinds(board, kindRows);
    return board;
}

std::string columnText(const Board& board) {
    std::string text;
    for (const std::string& row : boardText(board)) {
        text += row.back();
    }
    return text;
}

std::string joined(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + "\n";
    }
    return text;
}

bool hasMove(const Board& board) {
    return scanBoard(board).counts.possibleMoves >= 1;
}

TEST(RefillRules, PibblesFallPastChainedPibblesAndHolesIntoTheGaps) {
    struct Case {
        const char* cells;
        const char* kinds;
        std::vector<Fall> falls;
        const char* after;
    };
    const Case cases[] = {
        {"R.GBo.", "--cv--", {{4, 6}, {1, 4}}, "..GRoB"},
        {"RB..", "", {{2, 4}, {1, 3}}, "..RB"},
        {".R.B", "", {{2, 3}}, "..RB"},
        {"RoY.", "", {{3, 4}, {1, 3}}, ".oRY"},
        {"RG.", "-c-", {{1, 3}}, ".GR"},
        {"RGBY", "", {}, "RGBY"},
        {"....", "", {}, "...."},
        {"ooR", "", {}, "ooR"},
    };
    for (const Case& one : cases) {
        Board board = makeColumn(one.cells, one.kinds);
        const std::vector<Fall> falls = game::columnFalls(board, 1);
        EXPECT_EQ(falls, one.falls) << one.cells;
        game::applyFalls(board, 1, falls);
        EXPECT_EQ(columnText(board), one.after) << one.cells;
    }
    // The pibble takes its kinds along and leaves nothing behind; the chained one keeps its place.
    Board board = makeColumn("R.GBo.", "--cv--");
    game::applyFalls(board, 1, game::columnFalls(board, 1));
    EXPECT_TRUE(board.at(6, 1).has(game::pibbleFlag::vib));
    EXPECT_TRUE(board.at(3, 1).has(game::pibbleFlag::chained));
    EXPECT_EQ(board.at(4, 1).flags, 0);
    EXPECT_FALSE(board.at(1, 1).present);
}

TEST(RefillRules, ColouringCountIsAPowerHeldAtTwoToThe62) {
    constexpr std::uint64_t cap = std::uint64_t{1} << 62;
    struct Case {
        std::int32_t colours;
        std::size_t cells;
        std::uint64_t count;
    };
    const Case cases[] = {
        {4, 3, 64},
        {5, 0, 1},
        {1, 7, 1},
        {0, 3, 0},
        {2, 61, cap / 2},
        {2, 62, cap},
        {2, 63, cap},
        {3, 39, 4052555153018976267ULL},
        {3, 40, cap},
        {7, 1000, cap},
        {7, std::numeric_limits<std::size_t>::max(), cap},
        {1, std::numeric_limits<std::size_t>::max(), 1},
    };
    for (const Case& one : cases) {
        EXPECT_EQ(game::colouringCount(one.colours, one.cells), one.count) << one.colours << "^" << one.cells;
    }
}

TEST(RefillRules, ColouringIndexDigitsGiveTheColoursLeastSignificantFirst) {
    const std::vector<Cell> cells = {{1, 1}, {1, 2}, {1, 3}};
    const std::pair<std::uint64_t, const char*> cases[] = {{0, ".|YYY"},  {1, ".|BYY"},  {4, ".|YBY"},
                                                           {16, ".|YYB"}, {27, ".|WRB"}, {63, ".|WWW"}};
    for (const auto& [index, colours] : cases) {
        Board board = makeBoard({".|GGG"}, 4);
        game::applyColouring(board, cells, index);
        EXPECT_EQ(boardText(board), lines({colours})) << index;
    }
}

// "R|BR?": only red in the new cell lets the blue pibble take the red queue pibble between two reds.
TEST(RefillRules, ColouringSearchWrapsAroundAndStopsAtTheFirstMove) {
    struct Case {
        std::uint32_t start;
        std::int32_t maxTries;
        std::int32_t tried;
        const char* after;
    };
    const Case cases[] = {
        {0, 100, 3, "R|BRR"},          {2, 100, 1, "R|BRR"}, {6, 100, 1, "R|BRR"}, {3, 100, 4, "R|BRR"},
        {0xFFFFFFFF, 100, 4, "R|BRR"}, {3, 2, 2, "R|BRY"},   {0, 2, 2, "R|BRB"},
    };
    for (const Case& one : cases) {
        Board board = makeBoard({"R|BRG"}, 4);
        EXPECT_EQ(game::tryColourings(board, {{1, 3}}, one.maxTries, one.start), one.tried) << one.start;
        EXPECT_EQ(boardText(board), lines({one.after})) << one.start;
    }
}

// Without a queue pibble no colouring gives a move: the colouring left is the last one tried.
TEST(RefillRules, ColouringSearchTriesAtMostMaxTriesAndAtMostEveryColouring) {
    struct Case {
        std::uint32_t start;
        std::int32_t maxTries;
        std::int32_t tried;
        const char* after; // the last index tried, in colours
    };
    const Case cases[] = {
        {60, 10, 10, ".|BBY"},         // 60..63, 0..5
        {0xFFFFFFFF, 10, 10, ".|YRY"}, // 63, 0..8
        {60, 100, 64, ".|WRW"},        // all 64, ending at 59
        {5, 1, 1, ".|BBY"},
    };
    for (const Case& one : cases) {
        Board board = makeBoard({".|GGG"}, 4);
        EXPECT_EQ(game::tryColourings(board, {{1, 1}, {1, 2}, {1, 3}}, one.maxTries, one.start), one.tried)
            << one.start;
        EXPECT_EQ(boardText(board), lines({one.after})) << one.start;
    }
}

// Ninety new pibbles of seven colours have more colourings than the count holds: the search still starts
// at the drawn index and colours by its digits, the cells past them yellow.
TEST(RefillRules, ColouringSearchOverManyCellsStaysWithinItsTries) {
    Board board(9, 10, 7);
    std::vector<Cell> cells;
    for (std::int32_t row = 1; row <= 9; ++row) {
        for (std::int32_t column = 1; column <= 10; ++column) {
            board.at(row, column).present = true;
            cells.push_back({row, column});
        }
    }
    ASSERT_EQ(game::colouringCount(7, cells.size()), std::uint64_t{1} << 62);
    const std::uint32_t start = 123456789;
    EXPECT_EQ(game::tryColourings(board, cells, 5, start), 5);
    std::uint64_t index = start + 4;
    for (const Cell& place : cells) {
        EXPECT_EQ(board.at(place).colour, 1 + static_cast<std::int32_t>(index % 7));
        index /= 7;
    }
}

// A random small field loses a few pibbles, the rest fall, and the gaps get new pibbles. Whenever some
// colouring of the new pibbles leaves a move, a search allowed every colouring must end on one.
TEST(RefillRules, FullColouringSearchFindsAMoveWheneverOneExists) {
    std::int32_t admitting = 0;
    std::int32_t narrow = 0;
    for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
        game::Random random(seed);
        const std::int32_t rows = 3 + random.nextInt(3);
        const std::int32_t columns = 3 + random.nextInt(3);
        Board board(rows, columns, 3 + random.nextInt(2));
        for (std::int32_t row = 1; row <= board.rows(); ++row) {
            board.setQueueColour(row, random.nextInt(4) == 0 ? 0 : 1 + random.nextInt(board.colourCount()));
            for (std::int32_t column = 1; column <= board.columns(); ++column) {
                game::BoardCell& pibble = board.at(row, column);
                pibble = {true, false, 1 + random.nextInt(board.colourCount()), 0, 0};
                const std::int32_t kind = random.nextInt(20);
                pibble.removed = kind == 0;
                pibble.flags = kind == 1   ? game::pibbleFlag::clown
                               : kind == 2 ? game::pibbleFlag::chained
                                           : 0;
            }
        }
        for (std::int32_t gone = 1 + random.nextInt(3); gone > 0; --gone) {
            board.at(1 + random.nextInt(board.rows()), 1 + random.nextInt(board.columns())) = {};
        }
        std::vector<Cell> cells;
        for (std::int32_t column = 1; column <= board.columns(); ++column) {
            game::applyFalls(board, column, game::columnFalls(board, column));
            for (std::int32_t row = 1; row <= board.rows(); ++row) {
                if (!board.at(row, column).present) {
                    board.at(row, column).present = true;
                    cells.push_back({row, column});
                }
            }
        }
        const std::uint64_t count = game::colouringCount(board.colourCount(), cells.size());
        std::uint64_t withMove = 0;
        for (std::uint64_t index = 0; index < count; ++index) {
            Board coloured = board;
            game::applyColouring(coloured, cells, index);
            withMove += hasMove(coloured) ? 1 : 0;
        }
        const auto tried = game::tryColourings(board, cells, static_cast<std::int32_t>(count),
                                               static_cast<std::uint32_t>(random.nextInt()));
        if (withMove > 0) {
            ++admitting;
            narrow += withMove < count ? 1 : 0;
            EXPECT_TRUE(hasMove(board)) << "seed " << seed;
            EXPECT_LE(static_cast<std::uint64_t>(tried), count - withMove + 1) << "seed " << seed;
        } else {
            EXPECT_EQ(static_cast<std::uint64_t>(tried), count) << "seed " << seed;
        }
    }
    // The boards where only some colourings leave a move are the ones that test the search.
    EXPECT_GT(admitting, 1000);
    EXPECT_GT(narrow, 100);
}

TEST(RefillRules, CollectableGoesToTheFirstNewPibbleOfItsColourOutsideRunsAndMoves) {
    const Board board = makeBoard({"G|GGGBY", "R|GRRYB", ".|BYGWG"});
    const game::BoardScan scan = scanBoard(board);
    // (3,1) is blue, (1,2) stands in a run, (2,1) is a move: the first green after them in the list wins.
    const std::vector<Cell> cells = {{3, 1}, {1, 2}, {2, 1}, {3, 5}, {3, 3}};
    Cell found;
    ASSERT_TRUE(game::collectableCell(board, scan, cells, game::colour::green, found));
    EXPECT_EQ(found, (Cell{3, 5}));
    ASSERT_TRUE(game::collectableCell(board, scan, cells, game::colour::blue, found));
    EXPECT_EQ(found, (Cell{3, 1}));
    found = {7, 7};
    EXPECT_FALSE(game::collectableCell(board, scan, {{1, 2}, {2, 1}}, game::colour::green, found));
    EXPECT_FALSE(game::collectableCell(board, scan, cells, game::colour::red, found));
}

TEST(RefillRules, VibHelpColourPicksTheFirstBottomPibbleAPairCouldJoin) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> kinds;
        char colour;
    };
    const Case cases[] = {
        {"pair beside plain pibbles", {"Y|GYWB", "G|YWBG", ".|RRBG"}, {}, 'R'},
        {"red queued a row up", {"Y|GYWB", "R|YWBG", ".|RRBG"}, {}, '.'},
        {"red queued two rows up", {"R|GYWB", "G|YWBG", ".|RRBG"}, {}, '.'},
        {"red queued in the bottom row", {"Y|GYWB", "G|YWBG", "R|RRBG"}, {}, 'R'},
        {"pair after a plain pibble", {".|YGB", ".|BYG", ".|BRR"}, {}, 'R'},
        {"pair after a stubborn pibble", {".|YGB", ".|BYG", ".|BRR"}, {"---", "---", "s--"}, '.'},
        {"pair with a gap", {".|YGB", ".|BYG", ".|RBR"}, {}, 'R'},
        {"gap pibble chained", {".|YGB", ".|BYG", ".|RBR"}, {"---", "---", "-c-"}, '.'},
        {"pair above", {".|YRG", ".|BRW", ".|GYB"}, {}, 'R'},
        {"pair above queued", {".|YRG", "R|BRW", ".|GYB"}, {}, '.'},
        {"pair above a stubborn pibble", {".|YRG", ".|BRW", ".|GYB"}, {"---", "---", "-s-"}, '.'},
        {"pair of clowns above", {".|Y8G", ".|B8W", ".|GYB"}, {}, '.'},
        {"first helping column decides", {".|WBWBW", "G|BWBWB", ".|GGYYB"}, {}, '.'},
        {"no pair anywhere", {".|YGBW", ".|BYGY", ".|GWYB"}, {}, '.'},
    };
    for (const Case& one : cases) {
        Board board = makeBoard(one.board);
        markKinds(board, one.kinds);
        EXPECT_EQ(game::vibHelpColour(board), fieldtest::colourOf(one.colour)) << one.what;
    }
}

TEST(RefillRules, ReshuffleStopsWhenNoPairQualifies) {
    Board board = makeBoard({"R|RoR", "R|BRo", "R|RBR"});
    markKinds(board, {"c-c", "cc-", "ccc"});
    const std::vector<std::string> before = boardText(board);
    game::Random random(5);
    const game::Reshuffle result = game::reshuffleBoard(board, random, 1000, 500);
    EXPECT_EQ(result.swaps, 0);
    EXPECT_FALSE(result.kept);
    EXPECT_EQ(boardText(board), before);

    // With no queue pibble no swap can give a move: each is undone, up to either bound.
    Board stuck = makeBoard({".|RGBY", ".|GBYR", ".|BYRG"});
    const std::vector<std::string> stuckBefore = boardText(stuck);
    EXPECT_EQ(game::reshuffleBoard(stuck, random, 25, 100000).swaps, 25);
    EXPECT_LE(game::reshuffleBoard(stuck, random, 100000, 40).swaps, 40);
    EXPECT_EQ(boardText(stuck), stuckBefore);
}

TEST(RefillRules, KeptReshuffleSwapLeavesAMoveAndNoRun) {
    std::int32_t kept = 0;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        game::Random random(seed);
        Board board(4, 4, 4);
        do {
            for (std::int32_t row = 1; row <= 4; ++row) {
                board.setQueueColour(row, 1 + random.nextInt(4));
                for (std::int32_t column = 1; column <= 4; ++column) {
                    board.at(row, column) = {true, false, 1 + random.nextInt(4), 0, 0};
                }
            }
        } while (scanBoard(board).counts.matchCells > 0);
        const Board before = board;
        const game::Reshuffle result = game::reshuffleBoard(board, random, 50, 500);
        if (!result.kept) {
            EXPECT_EQ(boardText(board), boardText(before)) << seed;
            continue;
        }
        ++kept;
        const game::ScanCounts counts = scanBoard(board).counts;
        EXPECT_GE(counts.possibleMoves, 1) << seed;
        EXPECT_EQ(counts.matchCells, 0) << seed;
        Board swapped = before;
        std::swap(swapped.at(result.first), swapped.at(result.second));
        EXPECT_NE(result.first, result.second) << seed;
        EXPECT_EQ(boardText(board), boardText(swapped)) << seed;
    }
    EXPECT_GT(kept, 100);
}

TEST(RefillRules, RecolourBoardReachesNoRunAndEnoughMoves) {
    Board board(9, 10, 7);
    for (std::int32_t row = 1; row <= 9; ++row) {
        board.setQueueColour(row, row == 4 ? 0 : game::colour::red);
        for (std::int32_t column = 1; column <= 10; ++column) {
            board.at(row, column) = {true, false, game::colour::red, 0, 0};
        }
    }
    board.at(2, 2).flags = game::pibbleFlag::clown;
    board.at(5, 5).removed = true;
    board.at(9, 9) = {};

    for (const std::int32_t moves : {0, -3}) {
        Board untouched = board;
        game::Random random(11);
        EXPECT_EQ(game::recolourBoard(untouched, moves, random, 100), 0);
        EXPECT_EQ(boardText(untouched), boardText(board));
        EXPECT_EQ(random.getSeed(), game::Random(11).getSeed());
    }

    game::Random random(11);
    const std::int32_t rounds = game::recolourBoard(board, 2, random, 1000);
    EXPECT_GE(rounds, 1);
    EXPECT_LT(rounds, 1000);
    const game::ScanCounts counts = scanBoard(board).counts;
    EXPECT_EQ(counts.matchCells, 0);
    EXPECT_GE(counts.possibleMoves, 2);
    EXPECT_TRUE(board.at(2, 2).has(game::pibbleFlag::clown));
    EXPECT_EQ(board.at(2, 2).colour, game::colour::red);
    EXPECT_TRUE(board.at(5, 5).removed);
    EXPECT_EQ(board.at(5, 5).colour, game::colour::red);
    EXPECT_FALSE(board.at(9, 9).present);
    EXPECT_EQ(board.queueColour(4), 0);
    for (std::int32_t row = 1; row <= 9; ++row) {
        EXPECT_GE(board.queueColour(row), row == 4 ? 0 : 1);
        EXPECT_LE(board.queueColour(row), 7);
    }

    // A goal out of reach stops after the given rounds.
    Board crowded = board;
    EXPECT_EQ(game::recolourBoard(crowded, 1000, random, 5), 5);
}

TEST(RefillRules, NewColourAvoidsTheGivenColoursWithinTwentyDraws) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        game::Random random(seed);
        const std::int32_t drawn = game::drawNewColour(5, {2, 4}, random);
        EXPECT_TRUE(drawn == 1 || drawn == 3 || drawn == 5) << seed << ": " << drawn;
    }
    // Nothing to avoid: one draw. Everything avoided: twenty draws, the last one kept.
    struct Case {
        std::vector<std::int32_t> avoid;
        int draws;
    };
    const Case cases[] = {{{}, 1}, {{1, 2, 3, 4, 5}, 20}};
    for (const Case& one : cases) {
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            game::Random random(seed);
            game::Random twin(seed);
            const std::int32_t drawn = game::drawNewColour(5, one.avoid, random);
            std::int32_t last = 0;
            for (int i = 0; i < one.draws; ++i) {
                last = 1 + twin.nextInt(5);
            }
            EXPECT_EQ(drawn, last) << seed;
            EXPECT_EQ(random.getSeed(), twin.getSeed()) << seed;
        }
    }
}

} // namespace

// The mending of a start the random rounds could not colour: it breaks every run it can by changing only
// pibbles that stood in one, keeps clowns, holes and the kinds, reaches the moves where the pibbles allow
// them, and does the same each time.
TEST(RefillRules, MendingBreaksTheRunsAndReachesTheMovesWhereThePibblesAllowIt) {
    struct Case {
        const char* name;
        std::vector<std::string_view> rows;
        std::vector<std::string_view> kinds;
        std::int32_t colours;
        std::int32_t moves;
        bool holds;
        // The board offers the moves already: only pibbles that stood in a run may change.
        bool onlyRunsChange = false;
    };
    const Case cases[] = {
        {"one run on a board with a move", {"R|YYYBGW", "R|GWRRBY", "W|BGYWRB"}, {}, 5, 1, true, true},
        {"one colour everywhere, three colours",
         {"Y|YYYYYY", "Y|YYYYYY", "Y|YYYYYY", "Y|YYYYYY", "Y|YYYYYY"},
         {},
         3,
         3,
         true},
        {"runs through clowns and past holes",
         {"B|BB8BBR", "R|RoRRRR", "B|B8WBBW", "G|GGGoGG", "B|BBWBWB"},
         {},
         5,
         2,
         true},
        {"no run but no move either", {"Y|BRWBRW", "Y|RWBRWB", "Y|WBRWBR"}, {}, 4, 3, true},
        {"two clowns side by side keep their run", {"Y|Y88RB", "B|BRWYR"}, {}, 4, 1, false},
        {"pibbles that cannot be moved give no move",
         {"Y|YYYB", "B|BBBR", "R|RRRY"},
         {"sssc", "sccs", "ssss"},
         4,
         1,
         false},
    };
    for (const Case& one : cases) {
        Board board = makeBoard(one.rows, one.colours);
        markKinds(board, one.kinds);
        const Board before = board;
        const game::BoardScan runsBefore = scanBoard(before);
        EXPECT_EQ(game::mendColouring(board, one.moves), one.holds) << one.name;
        Board again = before;
        game::mendColouring(again, one.moves);
        EXPECT_EQ(boardText(again), boardText(board)) << one.name;
        const game::BoardScan after = scanBoard(board);
        if (one.holds) {
            EXPECT_EQ(after.counts.matchCells, 0) << one.name << "\n" << joined(boardText(board));
            EXPECT_GE(after.counts.possibleMoves, one.moves) << one.name << "\n" << joined(boardText(board));
        }
        for (std::int32_t row = 1; row <= board.rows(); ++row) {
            for (std::int32_t column = 1; column <= board.columns(); ++column) {
                const game::BoardCell& now = board.at(row, column);
                const game::BoardCell& was = before.at(row, column);
                EXPECT_EQ(now.present, was.present) << one.name;
                EXPECT_EQ(now.removed, was.removed) << one.name;
                EXPECT_EQ(now.flags, was.flags) << one.name;
                EXPECT_GE(now.colour, was.removed || !was.present ? 0 : 1) << one.name;
                EXPECT_LE(now.colour, one.colours) << one.name;
                if (one.onlyRunsChange && now.colour != was.colour) {
                    EXPECT_NE(runsBefore.matchTable.get(row, column), 0)
                        << one.name << " " << row << "," << column;
                }
            }
        }
    }
    Board untouched = makeBoard({"Y|YYY"});
    EXPECT_TRUE(game::mendColouring(untouched, 0));
    EXPECT_EQ(boardText(untouched), boardText(makeBoard({"Y|YYY"})));
}
