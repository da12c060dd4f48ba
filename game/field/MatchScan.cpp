#include "game/field/MatchScan.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace game {

namespace {

constexpr std::int32_t comboBonus[] = {0, 0, 20, 50, 70, 100, 130, 160, 200, 250};

void countKind(const BoardCell& pibble, ScanCounts& counts) {
    if (!pibble.present) {
        return;
    }
    counts.vib += pibble.has(pibbleFlag::vib) ? 1 : 0;
    counts.clowns += pibble.has(pibbleFlag::clown) ? 1 : 0;
    counts.parties += pibble.has(pibbleFlag::party) ? 1 : 0;
    counts.stubborn += pibble.has(pibbleFlag::stubborn) ? 1 : 0;
    counts.chained += pibble.has(pibbleFlag::chained) ? 1 : 0;
    counts.collectables += pibble.collectable != 0 ? 1 : 0;
}

// The queue colour completes the pair into a run that does not stand already: it equals both neighbours'
// colours, or one of them while the other is a clown.
bool completesPair(std::int32_t own, std::int32_t first, std::int32_t second, std::int32_t queue) {
    if (own == colour::none || first == colour::none || second == colour::none ||
        matchColours(own, first, second)) {
        return false;
    }
    return (queue == first && queue == second) || (queue == first && second == colour::clown) ||
           (queue == second && first == colour::clown);
}

bool isPossibleMove(const Board& board, std::int32_t row, std::int32_t column, std::int32_t queue) {
    const std::int32_t own = board.matchColour(row, column);
    for (const auto& pair : runPairOffsets) {
        const std::int32_t above = row + pair[0];
        const std::int32_t below = row + pair[1];
        if (above >= cell::firstRow && below <= board.rows() &&
            completesPair(own, board.matchColour(above, column), board.matchColour(below, column), queue)) {
            return true;
        }
        const std::int32_t left = column + pair[0];
        const std::int32_t right = column + pair[1];
        if (left >= cell::firstColumn && right <= board.columns() &&
            completesPair(own, board.matchColour(row, left), board.matchColour(row, right), queue)) {
            return true;
        }
    }
    return false;
}

// Numbers the runs as they are found; a run that reaches a cell of an earlier run takes that run's cells
// over, so the number of a joined group is its last run's. Numbers only grow, so there is no bound on how
// many runs a board holds.
class RunNumbering {
public:
    explicit RunNumbering(BoardScan& scan) : scan(scan) {}

    void addRun(const Cell& first, std::int32_t length, std::int32_t rowStep, std::int32_t columnStep) {
        const std::int32_t number = ++lastNumber;
        for (std::int32_t i = 0; i < length; ++i) {
            const Cell place{first.row + i * rowStep, first.column + i * columnStep};
            const std::int32_t earlier = scan.matchTable.get(place.row, place.column);
            if (earlier == 0) {
                ++scan.counts.matchCells;
                scan.removalList.push_back(place);
                scan.matchTable.set(place.row, place.column, number);
            } else if (earlier != number) {
                renumber(earlier, number);
            }
        }
    }
    std::int32_t count() const { return lastNumber; }

private:
    void renumber(std::int32_t from, std::int32_t to) {
        for (const Cell& place : scan.removalList) {
            if (scan.matchTable.get(place.row, place.column) == from) {
                scan.matchTable.set(place.row, place.column, to);
            }
        }
    }

    BoardScan& scan;
    std::int32_t lastNumber = 0;
};

// The runs along one line of cells: `length` cells from `first`, each `rowStep`/`columnStep` from the last.
void findRuns(const Board& board, RunNumbering& runs, const Cell& first, std::int32_t length,
              std::int32_t rowStep, std::int32_t columnStep) {
    const auto colourAt = [&](std::int32_t i) {
        return board.matchColour(first.row + i * rowStep, first.column + i * columnStep);
    };
    const auto windowMatches = [&](std::int32_t i) {
        return matchColours(colourAt(i), colourAt(i + 1), colourAt(i + 2));
    };
    for (std::int32_t start = 0; start + 2 < length; ++start) {
        if (!windowMatches(start)) {
            continue;
        }
        std::int32_t run = 3;
        while (start + run < length && windowMatches(start + run - 2)) {
            ++run;
        }
        runs.addRun({first.row + start * rowStep, first.column + start * columnStep}, run, rowStep,
                    columnStep);
    }
}

void collectGroups(const Board& board, BoardScan& scan, std::int32_t numbers) {
    std::vector<CellList> byNumber(static_cast<std::size_t>(numbers) + 1);
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            const std::int32_t number = scan.matchTable.get(row, column);
            if (number == 0) {
                continue;
            }
            CellList& group = byNumber[static_cast<std::size_t>(number)];
            const BoardCell& pibble = board.at(row, column);
            group.cells.push_back({row, column});
            group.specials += pibble.has(pibbleFlag::clown) || pibble.has(pibbleFlag::party) ||
                                      pibble.has(pibbleFlag::chained) || pibble.collectable != 0
                                  ? 1
                                  : 0;
            group.stubborn += pibble.has(pibbleFlag::stubborn) ? 1 : 0;
            group.colour = pibble.matchColour();
        }
    }
    for (CellList& group : byNumber) {
        if (!group.cells.empty()) {
            scan.groups.push_back(std::move(group));
        }
    }
}

} // namespace

bool matchColours(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (a == colour::none || b == colour::none || c == colour::none) {
        return false;
    }
    std::int32_t seen = colour::clown;
    for (const std::int32_t one : {a, b, c}) {
        if (one == colour::clown) {
            continue;
        }
        if (seen != colour::clown && one != seen) {
            return false;
        }
        seen = one;
    }
    return true;
}

bool hasRun(const Board& board) {
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column + 2 <= board.columns(); ++column) {
            if (matchColours(board.matchColour(row, column), board.matchColour(row, column + 1),
                             board.matchColour(row, column + 2))) {
                return true;
            }
        }
    }
    for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
        for (std::int32_t row = cell::firstRow; row + 2 <= board.rows(); ++row) {
            if (matchColours(board.matchColour(row, column), board.matchColour(row + 1, column),
                             board.matchColour(row + 2, column))) {
                return true;
            }
        }
    }
    return false;
}

std::int32_t countPossibleMoves(const Board& board, std::int32_t enough) {
    std::int32_t moves = 0;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        const std::int32_t queue = board.queueColour(row);
        if (queue == colour::none) {
            continue;
        }
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            if (board.at(row, column).isPlain() && isPossibleMove(board, row, column, queue) &&
                ++moves >= enough) {
                return moves;
            }
        }
    }
    return moves;
}

std::vector<Cell> possibleMoveCells(const Board& board) {
    const BoardScan scan = scanBoard(board);
    std::vector<Cell> found;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            if (scan.moveTable.get(row, column) != 0) {
                found.push_back({row, column});
            }
        }
    }
    return found;
}

bool CellList::contains(const Cell& place) const {
    return std::find(cells.begin(), cells.end(), place) != cells.end();
}

BoardScan scanBoard(const Board& board) {
    BoardScan scan;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        const std::int32_t queue = board.queueColour(row);
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            const BoardCell& pibble = board.at(row, column);
            countKind(pibble, scan.counts);
            scan.colourTable.set(row, column, pibble.matchColour());
            if (pibble.isPlain() && isPossibleMove(board, row, column, queue)) {
                scan.moveTable.set(row, column, 1);
                ++scan.counts.possibleMoves;
            }
        }
    }
    scan.counts.vib += board.clickedIsVib() ? 1 : 0;
    RunNumbering runs(scan);
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        findRuns(board, runs, {row, cell::firstColumn}, board.columns(), 0, 1);
    }
    for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
        findRuns(board, runs, {cell::firstRow, column}, board.rows(), 1, 0);
    }
    collectGroups(board, scan, runs.count());
    return scan;
}

std::int32_t matchScore(std::int32_t removed, std::int32_t specials, std::int32_t collectables,
                        std::int32_t vib, std::int32_t comboStep, bool hard) {
    std::int64_t points = 30;
    for (std::int64_t i = 0; i <= std::int64_t{removed} - 4; ++i) {
        points += 10 * (i + 2);
    }
    points += 150 * std::int64_t{specials} + 250 * std::int64_t{collectables} + 150 * std::int64_t{vib};
    const std::int32_t lastStep = static_cast<std::int32_t>(std::size(comboBonus)) - 1;
    points += comboBonus[std::clamp(comboStep, 0, lastStep)];
    if (hard) {
        points *= 2;
    }
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(points, 0, std::numeric_limits<std::int32_t>::max()));
}

} // namespace game
