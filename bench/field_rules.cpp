// The field rules on a full field: 9 rows of 10 field cells plus the queue, 5 colours. The scan runs after
// every step of a move; the refill's colour search and the recolouring of a stuck board test the board once
// per colouring they try (for a move, and for a run), so their counters show how many tests a call made on
// average.

#include "game/field/MatchScan.h"
#include "game/field/RefillRules.h"
#include "game/foundation/Random.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr std::int32_t rows = 9;
constexpr std::int32_t columns = 10;
constexpr std::int32_t colours = 5;
// The refill's bound on the colourings it tries.
constexpr std::int32_t maxTries = 100;

game::Board fullBoard(std::uint64_t seed) {
    game::Board board(rows, columns, colours);
    game::Random random(seed);
    for (std::int32_t row = 1; row <= rows; ++row) {
        board.setQueueColour(row, 1 + random.nextInt(colours));
        for (std::int32_t column = 1; column <= columns; ++column) {
            board.at(row, column) = {true, false, 1 + random.nextInt(colours), 0, 0};
        }
    }
    board.at(4, 6).flags = game::pibbleFlag::clown;
    board.at(7, 2).flags = game::pibbleFlag::chained;
    return board;
}

// The two top rows are new: twenty cells.
std::vector<game::Cell> topRows() {
    std::vector<game::Cell> cells;
    for (std::int32_t row = 1; row <= 2; ++row) {
        for (std::int32_t column = 1; column <= columns; ++column) {
            cells.push_back({row, column});
        }
    }
    return cells;
}

// A board as the player sees it: no run standing and a few moves.
void BM_ScanBoard(benchmark::State& state) {
    game::Board board = fullBoard(1);
    game::Random random(2);
    game::recolourBoard(board, 3, random, 100000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(game::scanBoard(board));
    }
}
BENCHMARK(BM_ScanBoard);

// The rules' part of one refill after a run of three in the middle of the board: the columns close their
// gaps, the three cells left empty at the top get new colours, and the board is scanned (with the colour
// search when it has no move, which a board in play rarely needs).
void BM_Refill(benchmark::State& state) {
    game::Board played = fullBoard(1);
    game::Random random(2);
    game::recolourBoard(played, 3, random, 100000);
    for (std::int32_t column = 4; column <= 6; ++column) {
        played.at(5, column) = game::BoardCell();
    }
    for (auto _ : state) {
        game::Board board = played;
        for (std::int32_t column = 1; column <= columns; ++column) {
            game::applyFalls(board, column, game::columnFalls(board, column));
        }
        std::vector<game::Cell> cells;
        for (std::int32_t row = 1; row <= rows; ++row) {
            for (std::int32_t column = 1; column <= columns; ++column) {
                if (!board.at(row, column).present) {
                    board.at(row, column) = {true, false, game::drawNewColour(colours, {}, random), 0, 0};
                    cells.push_back({row, column});
                }
            }
        }
        game::BoardScan scan = game::scanBoard(board);
        if (scan.counts.possibleMoves == 0 && scan.counts.matchCells == 0) {
            game::tryColourings(board, cells, maxTries, static_cast<std::uint32_t>(random.nextInt()));
            scan = game::scanBoard(board);
        }
        benchmark::DoNotOptimize(scan);
    }
}
BENCHMARK(BM_Refill);

// Only the third row has a queue pibble (red), no red pibble stands below the new rows, and the third row
// holds no pair: a move needs two new red pibbles above one of its pibbles, so colourings fail before one
// succeeds.
void BM_RefillColourSearch(benchmark::State& state) {
    game::Board board = fullBoard(3);
    for (std::int32_t row = 1; row <= rows; ++row) {
        board.setQueueColour(row, row == 3 ? game::colour::red : game::colour::none);
        for (std::int32_t column = 1; column <= columns; ++column) {
            game::BoardCell& pibble = board.at(row, column);
            pibble.flags = 0;
            pibble.colour = pibble.colour == game::colour::red ? game::colour::white : pibble.colour;
        }
    }
    const std::vector<game::Cell> cells = topRows();
    game::Random starts(4);
    std::int64_t tries = 0;
    for (auto _ : state) {
        tries += game::tryColourings(board, cells, maxTries, static_cast<std::uint32_t>(starts.nextInt()));
    }
    state.counters["tries"] =
        benchmark::Counter(static_cast<double>(tries), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RefillColourSearch);

// No queue pibble at all: no colouring gives a move, and the search runs to its bound.
void BM_RefillColourSearchExhausted(benchmark::State& state) {
    game::Board board = fullBoard(5);
    for (std::int32_t row = 1; row <= rows; ++row) {
        board.setQueueColour(row, game::colour::none);
    }
    const std::vector<game::Cell> cells = topRows();
    std::uint32_t start = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(game::tryColourings(board, cells, maxTries, start += 7919));
    }
}
BENCHMARK(BM_RefillColourSearchExhausted);

void BM_RecolourBoard(benchmark::State& state) {
    const game::Board start = fullBoard(6);
    game::Random random(7);
    std::int64_t rounds = 0;
    for (auto _ : state) {
        game::Board board = start;
        rounds += game::recolourBoard(board, 2, random, 100000);
        benchmark::DoNotOptimize(board);
    }
    state.counters["rounds"] =
        benchmark::Counter(static_cast<double>(rounds), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecolourBoard);

} // namespace

BENCHMARK_MAIN();
