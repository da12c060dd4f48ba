#pragma once

#include "game/field/Board.h"
#include "game/field/MatchScan.h"

#include <cstdint>
#include <vector>

namespace game {

class Random;

// One pibble's fall down its column.
struct Fall {
    std::int32_t fromRow = 0;
    std::int32_t toRow = 0;

    bool operator==(const Fall&) const = default;
};

// The falls that close the gaps of a field column, in the order they are made: the rows are walked from the
// bottom up, each empty cell is queued, and each pibble with a colour that is not chained falls to the first
// queued row, leaving its own row queued behind it. Chained pibbles and holes stay where they are; pibbles
// above them fall past them.
std::vector<Fall> columnFalls(const Board& board, std::int32_t column);
// Makes the falls on the board.
void applyFalls(Board& board, std::int32_t column, const std::vector<Fall>& falls);

// A new pibble's colour: 1 to the colour count, drawn again (20 draws at most) while it is one of the
// colours to avoid.
std::int32_t drawNewColour(std::int32_t colourCount, const std::vector<std::int32_t>& avoid, Random& random);

// How many colourings `cells` new pibbles of `colours` colours have: colours to the power cells, held at
// 2^62 so that it never wraps; 1 for no cells, 0 for no colours.
std::uint64_t colouringCount(std::int32_t colours, std::size_t cells);
// Colours the cells by the digits of the index in base `colours`, least significant first (digit + 1);
// digits beyond the index's are 0.
void applyColouring(Board& board, const std::vector<Cell>& cells, std::uint64_t index);
// Tries the colourings of the new cells from a start drawn as a full 32-bit value (modulo their count),
// one after the other with wrap-around, at most maxTries of them, until one leaves a possible move. The
// last tried colouring stays on the board. Returns how many were tried.
std::int32_t tryColourings(Board& board, const std::vector<Cell>& cells, std::int32_t maxTries,
                           std::uint32_t start);

// The first new cell whose pibble has the colour and is neither in a run nor a possible move: the cell a
// collectable of that colour goes to. False when none qualifies.
bool collectableCell(const Board& board, const BoardScan& scan, const std::vector<Cell>& cells,
                     std::int32_t colour, Cell& found);

// The colour that helps the last VIB pibbles for the queue pibble of the bottom row: the colour of the first
// plain pibble of that row that a pibble of its colour beside it, or a pair of one colour above it, would
// make a run with; 0 when no pibble qualifies or a queue pibble of the two rows above has that colour
// already.
std::int32_t vibHelpColour(const Board& board);

// The reshuffle of a stuck board: pairs of cells are drawn (row, then column, for each) and swapped when
// they differ and neither is a hole or chained; a swap is kept when it leaves a possible move and no run,
// else undone. Stops at the first kept swap, after maxSwaps swaps, or after maxPicks draws of a pair.
struct Reshuffle {
    std::int32_t swaps = 0;
    bool kept = false;
    Cell first;
    Cell second;
};
Reshuffle reshuffleBoard(Board& board, Random& random, std::int32_t maxSwaps, std::int32_t maxPicks);

// Gives every pibble but clowns and holes, and every queue pibble, a random colour until no run stands and
// at least `moves` moves are possible; at most maxRounds times, the last colouring staying. Nothing for
// moves of 0 or less. Returns the rounds made.
std::int32_t recolourBoard(Board& board, std::int32_t moves, Random& random, std::int32_t maxRounds);

// Whether no run stands and at least `moves` moves are possible.
bool startHolds(const Board& board, std::int32_t moves);

// Changes as few colours as it can, the same way each time, so that no run stands and at least `moves` moves
// are possible. Cells are taken in row then column order, and a pibble whose colour would close a run with
// the cells settled before it (those taken already, clowns and holes) takes the next colour that closes
// none; then each queue pibble takes the colour that offers the most moves in its row; while moves are
// still missing, a plain pibble's two neighbours and its row's queue pibble take one colour where that adds
// moves without a run. With three colours or more only clowns side by side can keep a run standing.
// Nothing for moves of 0 or less.
// Returns whether the start holds.
bool mendColouring(Board& board, std::int32_t moves);

// Rounds of random colourings a start tries before it mends the last one (a round takes about 0.5 us). The
// hardest start the game ships gives a good colouring about once in 50 rounds, so all of them fail less
// often than once in 10^100 starts; even the 10 x 9 field in four colours, three moves (once in 2,500) would
// fail only once in 3,000 starts. A level that has no good colouring at all costs about 10 ms.
inline constexpr std::int32_t startColourRounds = 20000;

// The colours of a start: recolourBoard's rounds, then mendColouring when none of them gave a good start.
// Nothing for moves of 0 or less. Returns whether the start holds.
bool colourForStart(Board& board, std::int32_t moves, Random& random, std::int32_t maxRounds);

} // namespace game
