#include "tools/mklevels/StartMoves.h"

#include "game/field/MatchScan.h"
#include "game/field/RefillRules.h"
#include "game/foundation/Random.h"

#include <cmath>

namespace mklevels {

namespace {

// The level catalogue's adjustment for the hard difficulty.
constexpr std::int32_t mostColours = 7;

std::int32_t kindsOf(const game::LevelFile& level, std::int32_t row, std::int32_t column) {
    std::int32_t flags = 0;
    flags |= level.isVibCell(row, column) ? game::pibbleFlag::vib : 0;
    flags |= level.isClownCell(row, column) ? game::pibbleFlag::clown : 0;
    flags |= level.isPartyCell(row, column) ? game::pibbleFlag::party : 0;
    flags |= level.isStubbornCell(row, column) ? game::pibbleFlag::stubborn : 0;
    flags |= level.isChainedCell(row, column) ? game::pibbleFlag::chained : 0;
    return flags;
}

} // namespace

// As PlayField::placeFieldPibbles and placeQueuePibbles lay the level out and PlayField::board reads it
// back; a level made by the tool carries no collectables.
game::Board boardOfLevel(const game::LevelFile& level, std::int32_t colours) {
    game::Board board(level.rowCount(), level.columnCount(), colours);
    for (std::int32_t row = game::cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = game::cell::firstColumn; column <= board.columns(); ++column) {
            game::BoardCell& pibble = board.at(row, column);
            const bool empty = level.isEmptyCell(row, column);
            pibble.present = true;
            pibble.removed = empty;
            pibble.colour = empty ? game::colour::none : level.colourAt(row, column);
            pibble.flags = kindsOf(level, row, column);
        }
        if (!level.isEmptyCell(row, game::cell::queueLeft)) {
            board.placeQueuePibble(row, level.colourAt(row, game::cell::queueLeft));
        }
    }
    return board;
}

std::array<Difficulty, 2> difficultiesOf(const game::LevelFile& level) {
    const std::int32_t colours = level.numColors();
    const std::int32_t moves = level.numMoves();
    return {Difficulty{"normal", colours, moves},
            Difficulty{"hard", colours < mostColours ? colours + 1 : colours, moves > 1 ? moves - 1 : moves}};
}

double StartOdds::failureOdds(std::int32_t fieldRounds) const {
    return std::pow(1.0 - chance(), fieldRounds);
}

StartOdds sampleStart(game::Board board, std::int32_t moves, std::int32_t samples, std::int32_t enough,
                      std::uint64_t seed) {
    game::Random random(seed);
    StartOdds odds;
    while (odds.rounds < samples && odds.good < enough) {
        game::recolourBoard(board, moves, random, 1);
        ++odds.rounds;
        if (game::startHolds(board, moves)) {
            ++odds.good;
        }
    }
    return odds;
}

} // namespace mklevels
