#pragma once

#include "game/field/Board.h"

#include <array>
#include <cstdint>
#include <vector>

namespace game {

// Whether three colours make a run: none of them is 0 and every one that is not the clown's wildcard is the
// same colour (three clowns match).
bool matchColours(std::int32_t a, std::int32_t b, std::int32_t c);

// One match group: its cells in row then column order, its colour (the last cell's), how many of its
// pibbles are clowns, party pibbles, chained or carry a collectable, and how many are stubborn.
struct CellList {
    std::vector<Cell> cells;
    std::int32_t colour = colour::none;
    std::int32_t specials = 0;
    std::int32_t stubborn = 0;

    bool contains(const Cell& place) const;
    std::int32_t size() const { return static_cast<std::int32_t>(cells.size()); }
};

// What a scan counted: the possible moves, the cells in runs, and the pibbles on the field by kind (the VIB
// count includes the pibble of a move in progress).
struct ScanCounts {
    std::int32_t possibleMoves = 0;
    std::int32_t matchCells = 0;
    std::int32_t vib = 0;
    std::int32_t clowns = 0;
    std::int32_t parties = 0;
    std::int32_t stubborn = 0;
    std::int32_t chained = 0;
    std::int32_t collectables = 0;
};

// A table over the field cells, rows 1..9 by columns 1..10.
template <class T> struct CellTable {
    std::array<std::array<T, cell::lastColumn>, cell::rowCount> values{};

    T get(std::int32_t row, std::int32_t column) const {
        return inTable(row, column) ? values[row - cell::firstRow][column - cell::firstColumn] : T{};
    }
    void set(std::int32_t row, std::int32_t column, T value) {
        if (inTable(row, column)) {
            values[row - cell::firstRow][column - cell::firstColumn] = value;
        }
    }
    static bool inTable(std::int32_t row, std::int32_t column) {
        return row >= cell::firstRow && row <= cell::lastRow && column >= cell::firstColumn &&
               column <= cell::lastColumn;
    }
};

// The three pairs of neighbours along one axis that could complete a run with a cell, as offsets from it
// (both before it, one on each side, both after it); a pair applies only where both lie on the board.
inline constexpr std::array<std::array<std::int32_t, 2>, 3> runPairOffsets{{{-2, -1}, {-1, 1}, {1, 2}}};

// Everything one scan of the board finds.
struct BoardScan {
    CellTable<std::int32_t> colourTable;
    // The number of the group a cell's run joined (0: in no run).
    CellTable<std::int32_t> matchTable;
    // 1 where clicking the cell is a possible move.
    CellTable<std::uint8_t> moveTable;
    // The joined runs, in the order of their numbers.
    std::vector<CellList> groups;
    // Every cell in a run, in the order the runs found them.
    std::vector<Cell> removalList;
    ScanCounts counts;
};

// Counts the pibbles by kind, marks the possible moves (a plain pibble that the row's queue pibble would
// make a run with two neighbours when it takes its place), and finds the runs of three or more: a window
// of three cells slides by one along each row, then down each column, and a run grows while each next
// window matches, so runs that share a cell (an L, a T, or two runs through one clown) join into one group.
BoardScan scanBoard(const Board& board);

// The searches that try many boards ask only these, without the whole scan: whether any run stands, and how
// many possible moves there are, counted up to `enough`.
bool hasRun(const Board& board);
std::int32_t countPossibleMoves(const Board& board, std::int32_t enough);

// The cells whose click is a possible move, row by row, as the scan marks them.
std::vector<Cell> possibleMoveCells(const Board& board);

// Points of one removal step: 30 for three pibbles and 10 x (i + 2) more for the i-th pibble beyond them,
// 150 per special pibble, 250 more per collectable, 150 per VIB pibble, the bonus of the combo step, all
// doubled on hard.
std::int32_t matchScore(std::int32_t removed, std::int32_t specials, std::int32_t collectables,
                        std::int32_t vib, std::int32_t comboStep, bool hard);

} // namespace game
