#pragma once

#include "game/field/Board.h"
#include "game/field/MatchScan.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace game {

class Random;

// A draw below a bound for the random orders of the party match and of a new clown's or party pibble's
// cell: the game draws them from the C runtime, tests from a source of their own.
using ShuffleDraw = std::function<std::int32_t(std::int32_t bound)>;

// Puts the items in a random order, each order as likely as any other given a fair draw.
template <class Items> void shuffleItems(Items& items, const ShuffleDraw& draw) {
    for (std::size_t i = items.size(); i > 1; --i) {
        const std::int32_t bound = static_cast<std::int32_t>(i);
        const std::int32_t drawn = draw(bound);
        const std::size_t j = drawn >= 0 && drawn < bound ? static_cast<std::size_t>(drawn) : i - 1;
        std::swap(items[i - 1], items[j]);
    }
}

// What the cells in the runs of one removal step hold, counted in the order the scan found them.
struct RemovalCounts {
    std::int32_t removed = 0;
    std::int32_t vib = 0;
    std::int32_t specials = 0;
    std::int32_t collectables = 0;
    std::int32_t stubborn = 0;
    std::int32_t parties = 0;
    std::int32_t clowns = 0;
    std::int32_t chained = 0;
    // The most frequent colour among the cells counted before the first party pibble (the first colour to
    // reach the highest count), or the colour of the last party pibble.
    std::int32_t colour = colour::none;
    bool partyRemoved = false;
    Cell lastParty;
    // The first party pibble of each colour, in the order found, and their colours.
    std::vector<Cell> partyCells;
    std::vector<std::int32_t> partyColours;
    bool collectableRemoved = false;
    Cell lastCollectable;
};

RemovalCounts countRemoval(const Board& board, const BoardScan& scan);

// What becomes of a cell in a run.
enum class Fate {
    removed,  // leaves the field
    freed,    // a chained pibble loses its chain and stays
    clown,    // becomes the group's clown and stays
    party,    // becomes the group's party pibble and stays
    stubborn, // the moved pibble turns stubborn and stays
};

struct CellFate {
    Cell cell;
    Fate fate = Fate::removed;
};

// The move a removal step belongs to.
struct RemovalContext {
    // The cell the player clicked, while its move is running.
    bool clicked = false;
    Cell clickedCell;
    std::int32_t comboStep = 0;
    // Percent; 0 never turns a pibble stubborn.
    std::int32_t stubbornChance = 0;
};

struct RemovalPlan {
    // Every cell of every group, group by group in the order of their numbers.
    std::vector<CellFate> fates;
    // The size of each group, for the player's count of matches by size.
    std::vector<std::int32_t> groupSizes;
    // Groups that held two stubborn pibbles or more.
    std::int32_t twoStubbornGroups = 0;
    // Groups of five and of six or more without a special pibble: each makes its kind, unless the cell
    // chosen for it holds a special or VIB pibble; counted either way.
    std::int32_t clownsCreated = 0;
    std::int32_t partiesCreated = 0;
};

// Decides each cell's fate. A group of five or more that holds no clown, party, chained or collectable
// pibble makes a clown (five) or a party pibble (six or more) on the clicked cell when the group holds it,
// else on the first pibble that is not special in a random order of the group. Chained pibbles are freed.
// The moved pibble may turn stubborn instead of leaving: only in the move's first step, when the step
// removes no stubborn pibble and fewer than five pibbles, with the stubborn chance drawn from `random`.
RemovalPlan planRemoval(const Board& board, const BoardScan& scan, const RemovalCounts& counts,
                        const RemovalContext& context, Random& random, const ShuffleDraw& shuffleDraw);

} // namespace game
