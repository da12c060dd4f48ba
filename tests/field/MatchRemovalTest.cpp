// One removal step: what the runs hold and which colour the step takes, and what becomes of each cell in
// them (new clowns and party pibbles, freed chains, the moved pibble turning stubborn).
#include "game/field/MatchRemoval.h"

#include "game/foundation/Random.h"

#include "BoardText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace {

using fieldtest::lines;
using fieldtest::makeBoard;
using fieldtest::markKinds;
using game::Cell;
using game::Fate;
using game::RemovalContext;
using game::RemovalPlan;

struct Step {
    game::Board board;
    game::BoardScan scan;
    game::RemovalCounts counts;
};

Step scanStep(std::initializer_list<std::string_view> rows, std::initializer_list<std::string_view> kinds) {
    Step step{makeBoard(rows), {}, {}};
    markKinds(step.board, kinds);
    step.scan = game::scanBoard(step.board);
    step.counts = game::countRemoval(step.board, step.scan);
    return step;
}

game::ShuffleDraw drawFrom(game::Random& random) {
    return [&random](std::int32_t bound) { return random.nextInt(bound); };
}

RemovalPlan plan(const Step& step, const RemovalContext& context, game::Random& random,
                 const game::ShuffleDraw& draw) {
    return game::planRemoval(step.board, step.scan, step.counts, context, random, draw);
}

// The fates as a picture: r removed, f freed, C clown, P party, S stubborn, '.' in no run.
std::vector<std::string> fatesText(const game::Board& board, const RemovalPlan& plan) {
    std::vector<std::string> rows(static_cast<std::size_t>(board.rows()),
                                  std::string(static_cast<std::size_t>(board.columns()), '.'));
    for (const game::CellFate& one : plan.fates) {
        rows[static_cast<std::size_t>(one.cell.row - 1)][static_cast<std::size_t>(one.cell.column - 1)] =
            "rfCPS"[static_cast<int>(one.fate)];
    }
    return rows;
}

RemovalContext clickAt(std::int32_t row, std::int32_t column, std::int32_t chance = 0) {
    return {true, {row, column}, 0, chance};
}

TEST(MatchRemoval, StepColourIsTheCommonestUntilAPartyPibbleNamesIt) {
    struct Case {
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> kinds;
        char colour;
        std::vector<Cell> partyCells;
        std::vector<char> partyColours;
    };
    const Case cases[] = {
        {{"RRRBBB"}, {}, 'R', {}, {}}, // a tie goes to the colour that got there first
        {{"RRRBBBB"}, {}, 'B', {}, {}},
        {{"888R"}, {}, '8', {}, {}},                      // the wildcard counts as a colour of its own
        {{"BBBRRRR"}, {"p------"}, 'B', {{1, 1}}, {'B'}}, // nothing after the party pibble counts
        {{"RRRR", "GBBB"}, {"----", "-p--"}, 'B', {{2, 2}}, {'B'}},
        {{"BBB", "GYR", "RRR"}, {"-p-", "---", "p--"}, 'R', {{1, 2}, {3, 1}}, {'B', 'R'}},
        {{"BBBGBBB", "GYRRRGY"}, {"p---p--", "---p---"}, 'R', {{1, 1}, {2, 4}}, {'B', 'R'}},
    };
    for (const Case& one : cases) {
        const Step step = scanStep(one.board, one.kinds);
        const std::string name(*one.board.begin());
        EXPECT_EQ(step.counts.colour, fieldtest::colourOf(one.colour)) << name;
        EXPECT_EQ(step.counts.partyCells, one.partyCells) << name;
        std::vector<std::int32_t> colours;
        for (const char letter : one.partyColours) {
            colours.push_back(fieldtest::colourOf(letter));
        }
        EXPECT_EQ(step.counts.partyColours, colours) << name;
        EXPECT_EQ(step.counts.partyRemoved, !one.partyCells.empty()) << name;
    }
}

TEST(MatchRemoval, CountsEveryKindInTheRuns) {
    const Step step = scanStep({"8RRRRRRR", "GBYGBYGB"}, {"-vpcksk-", "vvvvvvvv"});
    const game::RemovalCounts& counts = step.counts;
    EXPECT_EQ(counts.removed, 8);
    EXPECT_EQ(counts.vib, 1);
    EXPECT_EQ(counts.specials, 6); // clown, party, chained, stubborn and both collectables
    EXPECT_EQ(counts.collectables, 2);
    EXPECT_EQ(counts.stubborn, 1);
    EXPECT_EQ(counts.parties, 1);
    EXPECT_EQ(counts.clowns, 1);
    EXPECT_EQ(counts.chained, 1);
    EXPECT_TRUE(counts.collectableRemoved);
    EXPECT_EQ(counts.lastCollectable, (Cell{1, 7}));
    EXPECT_EQ(counts.lastParty, (Cell{1, 3}));
}

TEST(MatchRemoval, BigGroupsMakeAClownOrPartyPibbleUnlessTheyHoldSpecials) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> kinds;
        Cell click;
        std::initializer_list<std::string_view> fates;
        std::int32_t clowns, parties;
    };
    const Case cases[] = {
        {"five around the click", {"BRRRRRG"}, {}, {1, 3}, {".rCrrr."}, 1, 0},
        {"six around the click", {"RRRRRR"}, {}, {1, 6}, {"rrrrrP"}, 0, 1},
        {"L of six", {"RGB", "RBG", "RGY", "RRR"}, {}, {4, 3}, {"r..", "r..", "r..", "rrP"}, 0, 1},
        {"party in the five", {"RRRRR"}, {"--p--"}, {1, 1}, {"rrrrr"}, 0, 0},
        {"chained in the five", {"RRRRR"}, {"-c---"}, {1, 1}, {"rfrrr"}, 0, 0},
        {"collectable in the five", {"RRRRR"}, {"---k-"}, {1, 1}, {"rrrrr"}, 0, 0},
        {"clown in the five", {"RR8RR"}, {}, {1, 1}, {"rrrrr"}, 0, 0},
        {"VIB and stubborn are no specials here", {"RRRRR"}, {"-vs--"}, {1, 1}, {"Crrrr"}, 1, 0},
        {"clicked VIB pibble", {"RRRRR"}, {"v----"}, {1, 1}, {"rrrrr"}, 1, 0},
        {"clicked stubborn pibble", {"RRRRR"}, {"s----"}, {1, 1}, {"rrrrr"}, 1, 0},
        {"only stubborn pibbles", {"RRRRR"}, {"sssss"}, {9, 9}, {"rrrrr"}, 1, 0},
        {"chains freed in a three", {"RRR"}, {"c-c"}, {1, 2}, {"frf"}, 0, 0},
    };
    for (const Case& one : cases) {
        const Step step = scanStep(one.board, one.kinds);
        game::Random random(1);
        const RemovalPlan result =
            plan(step, clickAt(one.click.row, one.click.column), random, drawFrom(random));
        EXPECT_EQ(fatesText(step.board, result), lines(one.fates)) << one.what;
        EXPECT_EQ(result.clownsCreated, one.clowns) << one.what;
        EXPECT_EQ(result.partiesCreated, one.parties) << one.what;
    }
}

// In a combo step nobody clicked the run: the clown goes to a random pibble that is not special.
TEST(MatchRemoval, ClownOfAComboStepLandsOnANonSpecialPibble) {
    const Step step = scanStep({"RRRRR"}, {"ss-s-"});
    std::set<std::int32_t> targets;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        game::Random random(seed);
        const RemovalPlan result = plan(step, {false, {}, 1, 0}, random, drawFrom(random));
        EXPECT_EQ(result.clownsCreated, 1);
        for (const game::CellFate& one : result.fates) {
            if (one.fate == Fate::clown) {
                targets.insert(one.cell.column);
            }
        }
        EXPECT_EQ(std::count_if(result.fates.begin(), result.fates.end(),
                                [](const game::CellFate& one) { return one.fate == Fate::clown; }),
                  1);
    }
    EXPECT_EQ(targets, (std::set<std::int32_t>{3, 5}));
}

// Only the clicked plain pibble in the move's first step of fewer than five pibbles and no stubborn one
// draws the chance; nothing is drawn otherwise.
TEST(MatchRemoval, ClickedPibbleTurnsStubbornOnlyWhenEverythingAllows) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> board;
        std::initializer_list<std::string_view> kinds;
        RemovalContext context;
        bool stubborn;
    };
    const Case cases[] = {
        {"three", {"RRRG", "GBYB"}, {}, clickAt(1, 2, 100), true},
        {"four", {"RRRRG", "GBYBY"}, {}, clickAt(1, 4, 100), true},
        {"chance 0", {"RRRG", "GBYB"}, {}, clickAt(1, 2, 0), false},
        {"combo step", {"RRRG", "GBYB"}, {}, {true, {1, 2}, 1, 100}, false},
        {"not clicked", {"RRRG", "GBYB"}, {}, {false, {1, 2}, 0, 100}, false},
        {"stubborn in the run", {"RRRG", "GBYB"}, {"s---"}, clickAt(1, 2, 100), false},
        {"six in two runs", {"RRRG", "BBBY"}, {}, clickAt(1, 2, 100), false},
        {"five with a party", {"RRRRR"}, {"--p--"}, clickAt(1, 1, 100), false},
        {"clicked VIB", {"RRRG", "GBYB"}, {"-v--"}, clickAt(1, 2, 100), false},
        {"clicked collectable", {"RRRG", "GBYB"}, {"-k--"}, clickAt(1, 2, 100), false},
    };
    for (const Case& one : cases) {
        const Step step = scanStep(one.board, one.kinds);
        game::Random random(7);
        game::Random twin(7);
        game::Random shuffles(3);
        const RemovalPlan result = plan(step, one.context, random, drawFrom(shuffles));
        const auto turned =
            std::find_if(result.fates.begin(), result.fates.end(),
                         [](const game::CellFate& one) { return one.fate == Fate::stubborn; });
        EXPECT_EQ(turned != result.fates.end(), one.stubborn) << one.what;
        if (one.stubborn) {
            EXPECT_EQ(turned->cell, one.context.clickedCell) << one.what;
            twin.nextInt(100);
        }
        EXPECT_EQ(random.getSeed(), twin.getSeed()) << one.what;
    }
}

TEST(MatchRemoval, StubbornChanceIsOneDrawBelowHundred) {
    const Step step = scanStep({"RRRG", "GBYB"}, {});
    std::int32_t turned = 0;
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
        game::Random random(seed);
        game::Random shuffles(seed);
        const RemovalPlan result = plan(step, clickAt(1, 1, 30), random, drawFrom(shuffles));
        const bool stubborn = result.fates.front().fate == Fate::stubborn;
        EXPECT_EQ(stubborn, game::Random(seed).nextInt(100) < 30) << seed;
        turned += stubborn ? 1 : 0;
    }
    EXPECT_GT(turned, 10);
    EXPECT_LT(turned, 50);
}

TEST(MatchRemoval, PlanListsGroupSizesAndGroupsWithTwoStubborn) {
    const Step step = scanStep({"RRRG", "BBBY", "YGGG"}, {"s-s-", "---s", "-sss"});
    game::Random random(1);
    const RemovalPlan result = plan(step, {}, random, drawFrom(random));
    EXPECT_EQ(result.groupSizes, (std::vector<std::int32_t>{3, 3, 3}));
    EXPECT_EQ(result.twoStubbornGroups, 2);
    EXPECT_EQ(result.fates.size(), 9u);
}

TEST(MatchRemoval, ShuffleGivesEveryOrderAPermutation) {
    std::vector<std::int32_t> sorted(10);
    std::iota(sorted.begin(), sorted.end(), 0);
    std::set<std::int32_t> firsts;
    std::set<std::vector<std::int32_t>> orders;
    for (std::uint64_t seed = 1; seed <= 500; ++seed) {
        game::Random random(seed);
        std::vector<std::int32_t> items = sorted;
        game::shuffleItems(items, drawFrom(random));
        firsts.insert(items.front());
        orders.insert(items);
        std::sort(items.begin(), items.end());
        EXPECT_EQ(items, sorted) << seed;
    }
    EXPECT_EQ(firsts.size(), sorted.size());
    EXPECT_GT(orders.size(), 490u);
    // A draw outside the bound still leaves every item in place once.
    for (const std::int32_t bad : {-1, 10, 1000}) {
        std::vector<std::int32_t> items = sorted;
        game::shuffleItems(items, [bad](std::int32_t) { return bad; });
        std::sort(items.begin(), items.end());
        EXPECT_EQ(items, sorted) << bad;
    }
}

} // namespace
