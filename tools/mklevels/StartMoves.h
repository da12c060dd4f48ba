#pragma once
// Whether a level gives the player a move at its start, asked of the field's own rules.
//
// A level file leaves the colours of its pibbles to the field: the field lays the cells out as the layout
// letters say (a '.' is a hole, a 'q' a queue pibble, the other letters pibbles of their kinds, every
// colour 0), and its recolouring (PlayField::recolour with the level's "nummoves", over recolourBoard)
// then gives every pibble but holes and clowns, and every queue pibble, a colour drawn from the game's
// generator, round after round, until no run stands and at least "nummoves" moves are possible. After
// game::startColourRounds rounds it mends the last colouring instead (colourForStart), which breaks every
// run but cannot promise the moves of a level crowded with pibbles that cannot be moved. The game's
// generator is seeded from the clock, so no colouring can be foreseen: what a level file can promise is a
// chance. Each round draws every colour afresh, so with p the share of colourings that give a
// good start, the level's start needs the mending with the odds (1 - p) to the power of the rounds.
//
// The check therefore plays those rounds with the field's own functions (recolourBoard for one round,
// hasRun and countPossibleMoves for its test) on the board the field makes of the level, with a generator
// of the game's kind seeded by the tool, and counts the good ones. Finding one proves that a good colouring
// exists; the share found must reach the rules' least chance, so that a start without a move is far rarer
// than one game in a million. It is done for both difficulties as the level catalogue adjusts them: hard
// adds a colour below seven and takes a move off above one.

#include "game/field/Board.h"
#include "game/foundation/LevelFile.h"

#include <array>
#include <cstdint>

namespace mklevels {

// The board the field makes of the level at its start, before the recolouring: the field's cells of the
// used rows and columns (a hole is a removed pibble without a colour), the kinds of the layout letters, and
// the queue pibbles of column 0.
game::Board boardOfLevel(const game::LevelFile& level, std::int32_t colours);

// The colours and moves of the level on one difficulty.
struct Difficulty {
    const char* name = "";
    std::int32_t colours = 0;
    std::int32_t moves = 0;
};
// Normal, then hard, as the level catalogue loads them.
std::array<Difficulty, 2> difficultiesOf(const game::LevelFile& level);

struct StartOdds {
    std::int32_t rounds = 0;
    std::int32_t good = 0;

    double chance() const { return rounds > 0 ? static_cast<double>(good) / rounds : 0.0; }
    // The odds that all the field's rounds give a colouring without the start's moves.
    double failureOdds(std::int32_t fieldRounds) const;
};

// Plays up to `samples` rounds of the field's recolouring for `moves` moves on the board and counts those
// that leave no run and the moves; stops early once `enough` were good.
StartOdds sampleStart(game::Board board, std::int32_t moves, std::int32_t samples, std::int32_t enough,
                      std::uint64_t seed);

} // namespace mklevels
