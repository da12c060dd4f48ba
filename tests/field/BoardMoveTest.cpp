// A whole move on the board model: the queue pibble moved in, the steps of its chain, a party match, the
// refill of the field and the queue, and a wrong move taken back.
#include "game/field/BoardMove.h"

#include "game/field/MatchScan.h"
#include "game/foundation/Random.h"

#include "BoardText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using fieldtest::boardText;
using fieldtest::makeBoard;
using fieldtest::markKinds;

struct Case {
    const char* name;
    std::vector<std::string_view> rows;
    std::vector<std::string_view> kinds;
    game::Cell click;
    std::int32_t stepLimit;
    bool matched;
    std::int32_t leastSteps;
    std::int32_t leastRemoved;
    std::int32_t partySteps;
    // The queue's colours from the top after the move, but for its new bottom pibble.
    std::string queueAbove;
};

std::string queueColours(const game::Board& board, std::int32_t rows) {
    std::string text;
    for (std::int32_t row = 1; row <= rows; ++row) {
        text += fieldtest::letterOf(board.queueColour(row));
    }
    return text;
}

TEST(BoardMove, AMovePlaysItsChainToTheEndAndRefillsTheFieldAndTheQueue) {
    const Case cases[] = {
        {"a click that makes no run",
         {"R|GWR", "W|GRW", "Y|BBY", "R|GWR"},
         {},
         {3, 3},
         0,
         false,
         0,
         0,
         0,
         ""},
        // The run leaves row 3; the two greens above fall onto the green below and go on as a second step.
        {"a run the falls make", {"R|GWR", "W|GRW", "B|BBY", "R|GWR"}, {}, {3, 3}, 0, true, 2, 6, 0, "RWR"},
        {"the first step only", {"R|GWR", "W|GRW", "B|BBY", "R|GWR"}, {}, {3, 3}, 1, true, 1, 3, 0, "RWR"},
        // The run takes a party pibble: every blue pibble goes with it.
        {"a party match", {"B|BBYR", "Y|RBWB", "W|WRBY"}, {"p---"}, {1, 3}, 0, true, 1, 6, 1, "YW"},
    };
    for (const Case& one : cases) {
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            SCOPED_TRACE(std::string(one.name) + ", seed " + std::to_string(seed));
            game::Board board = makeBoard(one.rows);
            markKinds(board, one.kinds);
            const game::Board before = board;
            game::MoveRules rules;
            rules.colourTries = 200;
            rules.stepLimit = one.stepLimit;
            game::Random random(seed);
            std::mt19937 shuffle(static_cast<std::uint32_t>(seed));
            const game::MoveOutcome outcome =
                game::playMove(board, one.click, rules, random, [&](std::int32_t bound) {
                    return std::uniform_int_distribution<std::int32_t>(0, bound - 1)(shuffle);
                });
            EXPECT_EQ(outcome.matched, one.matched);
            if (!one.matched) {
                EXPECT_EQ(boardText(board), boardText(before));
                EXPECT_EQ(outcome.steps, 0);
                continue;
            }
            EXPECT_GE(outcome.steps, one.leastSteps);
            EXPECT_GE(outcome.removed, one.leastRemoved);
            EXPECT_EQ(outcome.partySteps, one.partySteps);
            EXPECT_GE(outcome.points, 30 * one.leastSteps);
            if (one.stepLimit > 0) {
                EXPECT_EQ(outcome.steps, one.stepLimit);
            } else {
                EXPECT_EQ(game::scanBoard(board).counts.matchCells, 0)
                    << "the chain runs until no run stands";
            }
            for (std::int32_t row = 1; row <= board.rows(); ++row) {
                EXPECT_TRUE(board.hasQueuePibble(row));
                EXPECT_GE(board.queueColour(row), 1);
                for (std::int32_t column = 1; column <= board.columns(); ++column) {
                    EXPECT_TRUE(board.at(row, column).present) << row << "," << column;
                    EXPECT_GE(board.at(row, column).colour, 1) << row << "," << column;
                    EXPECT_LE(board.at(row, column).colour, board.colourCount()) << row << "," << column;
                }
            }
            EXPECT_EQ(queueColours(board, board.rows() - 1), one.queueAbove);
        }
    }
}

} // namespace
