#include "game/field/RefillRules.h"

#include "game/foundation/Random.h"

#include <algorithm>
#include <array>
#include <deque>
#include <utility>

namespace game {

namespace {

// Past this many colourings the count stops growing: far more than any search ever tries.
constexpr std::uint64_t colouringCap = std::uint64_t{1} << 62;
constexpr int newColourDraws = 20;

std::int32_t randomColour(std::int32_t colourCount, Random& random) {
    return colour::firstReal + random.nextInt(colourCount);
}

bool swappable(const BoardCell& pibble) {
    return pibble.present && !pibble.removed && !pibble.has(pibbleFlag::chained);
}

} // namespace

std::vector<Fall> columnFalls(const Board& board, std::int32_t column) {
    std::vector<Fall> falls;
    std::deque<std::int32_t> emptyRows;
    for (std::int32_t row = board.rows(); row >= cell::firstRow; --row) {
        const BoardCell& pibble = board.at(row, column);
        if (!pibble.present) {
            emptyRows.push_back(row);
        } else if (pibble.colour != colour::none && !pibble.removed && !pibble.has(pibbleFlag::chained) &&
                   !emptyRows.empty()) {
            falls.push_back({row, emptyRows.front()});
            emptyRows.pop_front();
            emptyRows.push_back(row);
        }
    }
    return falls;
}

void applyFalls(Board& board, std::int32_t column, const std::vector<Fall>& falls) {
    for (const Fall& fall : falls) {
        board.at(fall.toRow, column) = board.at(fall.fromRow, column);
        board.at(fall.fromRow, column) = BoardCell();
    }
}

std::int32_t drawNewColour(std::int32_t colourCount, const std::vector<std::int32_t>& avoid, Random& random) {
    std::int32_t drawn = randomColour(colourCount, random);
    for (int draws = 1; draws < newColourDraws && std::find(avoid.begin(), avoid.end(), drawn) != avoid.end();
         ++draws) {
        drawn = randomColour(colourCount, random);
    }
    return drawn;
}

std::uint64_t colouringCount(std::int32_t colours, std::size_t cells) {
    if (colours <= 0) {
        return 0;
    }
    // A single colour never reaches the cap, so the loop below would run once per cell.
    if (colours == 1) {
        return 1;
    }
    const auto base = static_cast<std::uint64_t>(colours);
    std::uint64_t count = 1;
    for (std::size_t i = 0; i < cells && count < colouringCap; ++i) {
        count = count > colouringCap / base ? colouringCap : count * base;
    }
    return count;
}

void applyColouring(Board& board, const std::vector<Cell>& cells, std::uint64_t index) {
    if (board.colourCount() <= 0) {
        return;
    }
    const auto base = static_cast<std::uint64_t>(board.colourCount());
    for (const Cell& place : cells) {
        board.at(place).colour = colour::firstReal + static_cast<std::int32_t>(index % base);
        index /= base;
    }
}

std::int32_t tryColourings(Board& board, const std::vector<Cell>& cells, std::int32_t maxTries,
                           std::uint32_t start) {
    const std::uint64_t count = colouringCount(board.colourCount(), cells.size());
    if (count == 0) {
        return 0;
    }
    const std::uint64_t first = start % count;
    std::int32_t tried = 0;
    for (std::uint64_t i = 0; i < count && tried < maxTries; ++i) {
        applyColouring(board, cells, (first + i) % count);
        ++tried;
        if (countPossibleMoves(board, 1) >= 1) {
            break;
        }
    }
    return tried;
}

bool collectableCell(const Board& board, const BoardScan& scan, const std::vector<Cell>& cells,
                     std::int32_t colour, Cell& found) {
    for (const Cell& place : cells) {
        const BoardCell& pibble = board.at(place);
        if (pibble.present && pibble.colour == colour && scan.matchTable.get(place.row, place.column) == 0 &&
            scan.moveTable.get(place.row, place.column) == 0) {
            found = place;
            return true;
        }
    }
    return false;
}

std::int32_t vibHelpColour(const Board& board) {
    const std::int32_t bottom = board.rows();
    const auto colourAt = [&](std::int32_t column) { return board.matchColour(bottom, column); };
    const auto plainAt = [&](std::int32_t column) { return board.at(bottom, column).isPlain(); };
    for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
        if (!plainAt(column)) {
            continue;
        }
        const std::int32_t own = colourAt(column);
        const std::int32_t above = board.matchColour(bottom - 1, column);
        std::int32_t helping = colour::none;
        if ((own == colourAt(column - 1) && (plainAt(column - 2) || plainAt(column + 1))) ||
            (own == colourAt(column - 2) && plainAt(column - 1)) ||
            (own == colourAt(column + 1) && (plainAt(column + 2) || plainAt(column - 1))) ||
            (own == colourAt(column + 2) && plainAt(column + 1))) {
            helping = own;
        } else if (above == board.matchColour(bottom - 2, column) && above != colour::none &&
                   above != colour::clown) {
            helping = above;
        }
        if (helping != colour::none) {
            const bool queuedAbove =
                board.queueColour(bottom - 1) == helping || board.queueColour(bottom - 2) == helping;
            return queuedAbove ? colour::none : helping;
        }
    }
    return colour::none;
}

Reshuffle reshuffleBoard(Board& board, Random& random, std::int32_t maxSwaps, std::int32_t maxPicks) {
    Reshuffle result;
    for (std::int32_t picks = 0; picks < maxPicks && result.swaps < maxSwaps; ++picks) {
        Cell first;
        first.row = cell::firstRow + random.nextInt(board.rows());
        first.column = cell::firstColumn + random.nextInt(board.columns());
        Cell second;
        second.row = cell::firstRow + random.nextInt(board.rows());
        second.column = cell::firstColumn + random.nextInt(board.columns());
        if (first == second || !swappable(board.at(first)) || !swappable(board.at(second))) {
            continue;
        }
        std::swap(board.at(first), board.at(second));
        ++result.swaps;
        if (!hasRun(board) && countPossibleMoves(board, 1) >= 1) {
            result.kept = true;
            result.first = first;
            result.second = second;
            return result;
        }
        std::swap(board.at(first), board.at(second));
    }
    return result;
}

std::int32_t recolourBoard(Board& board, std::int32_t moves, Random& random, std::int32_t maxRounds) {
    if (moves <= 0) {
        return 0;
    }
    for (std::int32_t round = 1; round <= maxRounds; ++round) {
        for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
            for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
                BoardCell& pibble = board.at(row, column);
                if (pibble.present && !pibble.removed && !pibble.has(pibbleFlag::clown)) {
                    pibble.colour = randomColour(board.colourCount(), random);
                }
            }
        }
        for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
            if (board.hasQueuePibble(row)) {
                board.placeQueuePibble(row, randomColour(board.colourCount(), random));
            }
        }
        if (startHolds(board, moves)) {
            return round;
        }
    }
    return maxRounds;
}

bool startHolds(const Board& board, std::int32_t moves) {
    return !hasRun(board) && countPossibleMoves(board, moves) >= moves;
}

namespace {

// The three cells of each window of three along a row or a column that holds the cell.
std::vector<std::array<Cell, 3>> windowsThrough(const Cell& place) {
    std::vector<std::array<Cell, 3>> windows;
    for (std::int32_t first = -2; first <= 0; ++first) {
        windows.push_back({Cell{place.row, place.column + first}, Cell{place.row, place.column + first + 1},
                           Cell{place.row, place.column + first + 2}});
        windows.push_back({Cell{place.row + first, place.column}, Cell{place.row + first + 1, place.column},
                           Cell{place.row + first + 2, place.column}});
    }
    return windows;
}

bool recolourable(const BoardCell& pibble) {
    return pibble.present && !pibble.removed && !pibble.has(pibbleFlag::clown);
}

bool before(const Cell& a, const Cell& b) {
    return a.row < b.row || (a.row == b.row && a.column < b.column);
}

// Whether the colour at the place would close a run with the cells of its windows that are settled.
bool closesRun(const Board& board, const Cell& place, std::int32_t colour) {
    for (const std::array<Cell, 3>& window : windowsThrough(place)) {
        std::array<std::int32_t, 3> colours{};
        bool settled = true;
        for (std::size_t i = 0; i < window.size(); ++i) {
            const Cell& other = window[i];
            if (other == place) {
                colours[i] = colour;
                continue;
            }
            settled = settled && (before(other, place) || !recolourable(board.at(other)));
            colours[i] = board.matchColour(other.row, other.column);
        }
        if (settled && matchColours(colours[0], colours[1], colours[2])) {
            return true;
        }
    }
    return false;
}

void breakRuns(Board& board) {
    const std::int32_t colours = board.colourCount();
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            BoardCell& pibble = board.at(row, column);
            const Cell place{row, column};
            if (!recolourable(pibble) || !closesRun(board, place, pibble.colour)) {
                continue;
            }
            for (std::int32_t step = 1; step < colours; ++step) {
                const std::int32_t next =
                    colour::firstReal + (pibble.colour - colour::firstReal + step) % colours;
                if (!closesRun(board, place, next)) {
                    pibble.colour = next;
                    break;
                }
            }
        }
    }
}

// A row's moves count only there, so the best colour of each queue pibble is the one with the most moves on
// the board; a tie keeps the colour it has.
void chooseQueueColours(Board& board) {
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        if (!board.hasQueuePibble(row)) {
            continue;
        }
        std::int32_t best = board.queueColour(row);
        std::int32_t most = countPossibleMoves(board, cell::rowCount * cell::lastColumn);
        for (std::int32_t colour = colour::firstReal; colour < colour::firstReal + board.colourCount();
             ++colour) {
            board.placeQueuePibble(row, colour);
            const std::int32_t moves = countPossibleMoves(board, cell::rowCount * cell::lastColumn);
            if (moves > most) {
                most = moves;
                best = colour;
            }
        }
        board.placeQueuePibble(row, best);
    }
}

// Tries one pair of the colour for the pibble at the place; keeps it when it adds moves and no run.
bool tryPair(Board& board, const Cell& place, const Cell& first, const Cell& second, std::int32_t colour,
             std::int32_t& moves) {
    if (!recolourable(board.at(first)) || !recolourable(board.at(second)) ||
        board.at(place).colour == colour) {
        return false;
    }
    const Board kept = board;
    board.at(first).colour = colour;
    board.at(second).colour = colour;
    board.placeQueuePibble(place.row, colour);
    const std::int32_t now = countPossibleMoves(board, cell::rowCount * cell::lastColumn);
    if (now > moves && !hasRun(board)) {
        moves = now;
        return true;
    }
    board = kept;
    return false;
}

void addPairs(Board& board, std::int32_t wanted) {
    std::int32_t moves = countPossibleMoves(board, wanted);
    for (bool added = true; added && moves < wanted;) {
        added = false;
        for (std::int32_t row = cell::firstRow; row <= board.rows() && moves < wanted; ++row) {
            for (std::int32_t column = cell::firstColumn; column <= board.columns() && moves < wanted;
                 ++column) {
                const Cell place{row, column};
                if (!board.hasQueuePibble(row) || !board.at(place).isPlain()) {
                    continue;
                }
                for (const auto& pair : runPairOffsets) {
                    const Cell across[2][2] = {{{row + pair[0], column}, {row + pair[1], column}},
                                               {{row, column + pair[0]}, {row, column + pair[1]}}};
                    for (const auto& cells : across) {
                        for (std::int32_t colour = colour::firstReal;
                             colour < colour::firstReal + board.colourCount() && moves < wanted; ++colour) {
                            added = tryPair(board, place, cells[0], cells[1], colour, moves) || added;
                        }
                    }
                }
            }
        }
    }
}

} // namespace

bool mendColouring(Board& board, std::int32_t moves) {
    if (moves <= 0) {
        return true;
    }
    if (board.colourCount() > 0) {
        breakRuns(board);
        if (countPossibleMoves(board, moves) < moves) {
            chooseQueueColours(board);
            addPairs(board, moves);
        }
    }
    return startHolds(board, moves);
}

bool colourForStart(Board& board, std::int32_t moves, Random& random, std::int32_t maxRounds) {
    if (moves <= 0) {
        return true;
    }
    recolourBoard(board, moves, random, maxRounds);
    return startHolds(board, moves) || mendColouring(board, moves);
}

} // namespace game
