#include "game/field/BoardMove.h"

#include "game/field/MatchScan.h"
#include "game/field/PlayField.h"
#include "game/field/RefillRules.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace game {

namespace {

// The moves the recolouring of a stuck VIB board asks for.
constexpr std::int32_t stuckMoves = 2;

void applyFates(Board& board, const RemovalPlan& plan) {
    for (const CellFate& fate : plan.fates) {
        BoardCell& pibble = board.at(fate.cell);
        switch (fate.fate) {
        case Fate::freed:
            pibble.flags &= ~pibbleFlag::chained;
            break;
        case Fate::clown:
            pibble.flags |= pibbleFlag::clown;
            break;
        case Fate::party:
            pibble.flags |= pibbleFlag::party;
            break;
        case Fate::stubborn:
            pibble.flags |= pibbleFlag::stubborn;
            break;
        case Fate::removed:
            pibble = BoardCell();
            break;
        }
    }
}

// Every pibble of a party colour leaves, but one that carries a collectable.
std::int32_t partyMatch(Board& board, const std::vector<std::int32_t>& colours) {
    std::int32_t taken = 0;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            BoardCell& pibble = board.at(row, column);
            if (pibble.present && !pibble.removed && pibble.collectable == 0 &&
                std::find(colours.begin(), colours.end(), pibble.colour) != colours.end()) {
                pibble = BoardCell();
                ++taken;
            }
        }
    }
    return taken;
}

// As the refill compacts the queue for its colour search: one pass down, each empty cell taking the pibble
// below it.
void compactQueue(Board& board) {
    for (std::int32_t row = cell::firstRow; row < board.rows(); ++row) {
        if (!board.hasQueuePibble(row) && board.hasQueuePibble(row + 1)) {
            board.placeQueuePibble(row, board.queueColour(row + 1));
            board.setQueueColour(row + 1, colour::none);
        }
    }
}

void refillField(Board& board, const std::vector<std::int32_t>& avoid, std::int32_t colourTries,
                 Random& random) {
    for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
        applyFalls(board, column, columnFalls(board, column));
    }
    std::vector<Cell> newCells;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= board.columns(); ++column) {
            BoardCell& pibble = board.at(row, column);
            if (!pibble.present) {
                pibble = {true, false, drawNewColour(board.colourCount(), avoid, random), 0, 0};
                newCells.push_back({row, column});
            }
        }
    }
    if (!newCells.empty() && !hasRun(board) && countPossibleMoves(board, 1) == 0) {
        tryColourings(board, newCells, colourTries, static_cast<std::uint32_t>(random.nextInt()));
    }
}

// The queue pibbles rise into the empty rows above them and new ones come in from below; with one or two
// VIB pibbles left, the bottom one may take a colour that helps them.
void shiftQueue(Board& board, const std::vector<std::int32_t>& avoid, Random& random) {
    const std::int32_t vibs = scanBoard(board).counts.vib;
    std::deque<std::int32_t> emptyRows;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        if (!board.hasQueuePibble(row)) {
            emptyRows.push_back(row);
        } else if (board.queueColour(row) != colour::none && !emptyRows.empty()) {
            board.placeQueuePibble(emptyRows.front(), board.queueColour(row));
            board.setQueueColour(row, colour::none);
            emptyRows.pop_front();
            emptyRows.push_back(row);
        }
    }
    for (const std::int32_t row : emptyRows) {
        std::int32_t colour = drawNewColour(board.colourCount(), avoid, random);
        if ((vibs == 1 || vibs == 2) && row == board.rows()) {
            if (const std::int32_t helping = vibHelpColour(board)) {
                colour = helping;
            }
        }
        board.placeQueuePibble(row, colour);
    }
}

void refill(Board& board, const std::vector<std::int32_t>& avoid, std::int32_t colourTries, Random& random) {
    std::vector<std::int32_t> savedQueue;
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        savedQueue.push_back(board.hasQueuePibble(row) ? board.queueColour(row) : -1);
    }
    compactQueue(board);
    refillField(board, avoid, colourTries, random);
    for (std::int32_t row = cell::firstRow; row <= board.rows(); ++row) {
        const std::int32_t saved = savedQueue[static_cast<std::size_t>(row - cell::firstRow)];
        saved < 0 ? board.setQueueColour(row, colour::none) : board.placeQueuePibble(row, saved);
    }
    shiftQueue(board, avoid, random);
}

void unstick(Board& board, Random& random) {
    if (countPossibleMoves(board, 1) > 0) {
        return;
    }
    reshuffleBoard(board, random, PlayField::reshuffleSwaps, PlayField::reshufflePicks);
    if (countPossibleMoves(board, 1) == 0) {
        colourForStart(board, stuckMoves, random, startColourRounds);
    }
}

} // namespace

MoveOutcome playMove(Board& board, const Cell& clicked, const MoveRules& rules, Random& random,
                     const ShuffleDraw& shuffleDraw) {
    MoveOutcome outcome;
    const Board before = board;
    const std::int32_t queued = board.queueColour(clicked.row);
    board.setClickedIsVib(board.at(clicked).has(pibbleFlag::vib));
    board.at(clicked) =
        board.hasQueuePibble(clicked.row) ? BoardCell{true, false, queued, 0, 0} : BoardCell();
    board.setQueueColour(clicked.row, colour::none);
    BoardScan scan = scanBoard(board);
    if (scan.removalList.empty()) {
        board = before;
        return outcome;
    }
    board.setClickedIsVib(false);
    outcome.matched = true;
    RemovalContext context;
    context.clicked = true;
    context.clickedCell = clicked;
    context.stubbornChance = rules.stubbornChance;
    while (!scan.removalList.empty()) {
        const RemovalCounts counts = countRemoval(board, scan);
        const RemovalPlan plan = planRemoval(board, scan, counts, context, random, shuffleDraw);
        applyFates(board, plan);
        outcome.points += matchScore(counts.removed, counts.specials, counts.collectables, counts.vib,
                                     context.comboStep, rules.hard);
        outcome.removed += counts.removed;
        ++outcome.steps;
        ++context.comboStep;
        if (counts.partyRemoved) {
            ++outcome.partySteps;
            outcome.removed += partyMatch(board, counts.partyColours);
        }
        refill(board, counts.partyRemoved ? counts.partyColours : std::vector<std::int32_t>(),
               rules.colourTries, random);
        if (outcome.steps == rules.stepLimit) {
            break;
        }
        scan = scanBoard(board);
    }
    if (rules.reshuffleWhenStuck) {
        unstick(board, random);
    }
    return outcome;
}

} // namespace game
