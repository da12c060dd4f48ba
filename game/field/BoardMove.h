#pragma once

#include "game/field/Board.h"
#include "game/field/MatchRemoval.h"

#include <cstdint>

namespace game {

class Random;

// What a move needs beyond the board: the tuning of the refill's colour search, the mode's stubborn chance,
// the difficulty of the points, and whether a stuck board is reshuffled at the end of the move (VIB).
struct MoveRules {
    std::int32_t colourTries = 0;
    std::int32_t stubbornChance = 0;
    bool hard = false;
    bool reshuffleWhenStuck = false;
    // A chain that reaches this many steps is cut off there, so that a board that never settles can be
    // measured (0: none is).
    std::int32_t stepLimit = 0;
};

// What a move came to: whether it matched, its removal steps (the first one and the combo steps of the
// chain after it), the pibbles they removed (party matches included), the points of the steps, and how
// many steps removed a party pibble.
struct MoveOutcome {
    bool matched = false;
    std::int32_t steps = 0;
    std::int32_t removed = 0;
    std::int32_t points = 0;
    std::int32_t partySteps = 0;
};

// A whole move as the field plays it, without its animations and in the order the field draws its random
// numbers: the row's queue pibble takes the clicked cell; a move that makes no run is taken back; otherwise
// each step removes the runs (clowns, party pibbles and stubborn pibbles made as the removal decides), takes
// every pibble of a removed party pibble's colours, closes the gaps, refills the field and the queue, and
// the next step follows as long as the refilled board has a run. What the field tells its listeners, the
// collectables and the party match's own points are left out: they do not change the chain.
MoveOutcome playMove(Board& board, const Cell& clicked, const MoveRules& rules, Random& random,
                     const ShuffleDraw& shuffleDraw);

} // namespace game
