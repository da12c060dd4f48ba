// After a removal: the gaps close, new pibbles fill the field and the queue, a waiting collectable is placed;
// levels start recoloured; the hint points at a move.
#include "game/field/PlayField.h"

#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "game/field/CollectablesManager.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldRandom.h"
#include "game/field/Pibble.h"
#include "game/field/RefillRules.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"

#include <array>
#include <deque>

namespace game {

void PlayField::closeColumnGaps(std::int32_t column) {
    for (const Fall& fall : columnFalls(board(), column)) {
        movePibble(fall.fromRow, column, fall.toRow, column, true);
    }
}

// While the step removed a party pibble, its colours are avoided: the party just cleared them away.
std::int32_t PlayField::newPibbleColour() {
    static const std::vector<std::int32_t> none;
    return drawNewColour(numColors(), partyRemoved ? partyColourSet : none, fieldRandom());
}

// The queue is compacted for the time of the refill, so the colourings are chosen for the queue the player
// will have; it gets its pibbles back in their rows before the queue shift moves them up with their jumps.
void PlayField::refill(bool /*flag*/) {
    std::array<kernel::SmartPtr<Pibble>, cell::rowCount> savedQueue;
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        savedQueue[static_cast<std::size_t>(row - cell::firstRow)] = pibbleAt(row, cell::queueLeft);
    }
    compactQueue();
    newCells.clear();
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
            if (pibbleAt(row, column) != nullptr) {
                continue;
            }
            const kernel::SmartPtr<Pibble> pibble = collectables->createPibble(row, column);
            pibble->setColour(newPibbleColour());
            grid->setCellAt(row, column, pibble.get());
            newCells.push_back({row, column});
            ++stats.pibblesCreated;
        }
    }
    scanMatches();
    if (!newCells.empty()) {
        if (scan.counts.possibleMoves == 0 && scan.counts.matchCells == 0) {
            Board coloured = board();
            tryColourings(coloured, newCells, propertyInt(ids::cfgMaxPermutationTries),
                          static_cast<std::uint32_t>(fieldRandom().nextInt()));
            applyColours(coloured);
            scanMatches();
        }
        placeCollectable();
        dropNewPibbles();
    }
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        grid->setCellAt(row, cell::queueLeft,
                        savedQueue[static_cast<std::size_t>(row - cell::firstRow)].get());
    }
    newCells.clear();
}

void PlayField::compactQueue() {
    for (std::int32_t row = cell::firstRow; row < rowCount(); ++row) {
        if (pibbleAt(row, cell::queueLeft) == nullptr) {
            grid->setCellAt(row, cell::queueLeft, pibbleAt(row + 1, cell::queueLeft));
            grid->setCellAt(row + 1, cell::queueLeft, nullptr);
        }
    }
}

// The field's pibbles take the board's colours.
void PlayField::applyColours(const Board& coloured) {
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
            if (Pibble* pibble = pibbleAt(row, column)) {
                pibble->setColour(coloured.at(row, column).colour);
            }
        }
    }
}

// A waiting collectable goes on a new pibble of its colour that neither stands in a run nor would be moved
// at once. It stays in the player's queue until it is claimed, so a saved game that holds it keeps it.
void PlayField::placeCollectable() {
    const PibblePlayer* player = currentPlayer();
    if (player == nullptr || collectables->counter() < propertyInt(ids::cfgCollectableCounter) ||
        scan.counts.collectables > 0 || player->queuedCollectableCount() < 1) {
        return;
    }
    const std::int32_t id = player->firstQueuedCollectable();
    const std::int32_t colour = collectables->colourOf(id);
    Cell place;
    if (!collectableCell(board(), scan, newCells, colour, place)) {
        return;
    }
    Pibble* pibble = pibbleAt(place.row, place.column);
    pibble->setCollectableId(id);
    pibble->setColour(colour);
    collectables->setCounter(0);
    scanMatches();
    setPendingAnnouncement(Pending::collectable, pibble);
}

// Each new pibble waits above its column, then jumps into its cell.
void PlayField::dropNewPibbles() {
    for (const Cell& place : newCells) {
        movePibble(place.row, place.column, cell::waiting, place.column, false);
        movePibble(cell::waiting, place.column, place.row, place.column, true);
    }
}

// With one or two VIB pibbles left, the new queue pibble of the bottom row takes a colour that gives a
// move there, when the bottom row offers one.
void PlayField::shiftQueue(std::int32_t column) {
    std::deque<std::int32_t> emptyRows;
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        const Pibble* pibble = pibbleAt(row, column);
        if (pibble == nullptr) {
            emptyRows.push_back(row);
        } else if (pibble->getColour() != colour::none && !emptyRows.empty()) {
            movePibble(row, column, emptyRows.front(), column, true);
            emptyRows.pop_front();
            emptyRows.push_back(row);
        }
    }
    const bool helpLastVibs = scan.counts.vib == 1 || scan.counts.vib == 2;
    for (const std::int32_t row : emptyRows) {
        const kernel::SmartPtr<Pibble> pibble = collectables->createPibble(cell::waiting, column);
        pibble->setColour(newPibbleColour());
        if (helpLastVibs && row == rowCount()) {
            if (const std::int32_t helping = vibHelpColour(board())) {
                pibble->setColour(helping);
            }
        }
        setPibble(cell::waiting, column, pibble.get());
        movePibble(cell::waiting, column, row, column, true);
    }
}

// Clowns keep their wildcard colour, holes stay holes. A saved game (0 moves) keeps its colours.
void PlayField::recolour(std::int32_t n) {
    if (n > 0) {
        Board coloured = board();
        colourForStart(coloured, n, fieldRandom(), startColourRounds);
        applyColours(coloured);
        for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
            if (Pibble* queued = pibbleAt(row, cell::queueLeft)) {
                queued->setColour(coloured.queueColour(row));
            }
        }
    }
    scanMatches();
}

// A random cell marked as a possible move (the cells in order when the draws find none) hops three times,
// and the listeners hear of it.
bool PlayField::pointAtMove(std::int32_t eventKind) {
    std::int32_t row = 0;
    std::int32_t column = 0;
    const bool found = findRandomCell(
        [this](Pibble&, std::int32_t r, std::int32_t c) { return moveMark(r, c) != 0; }, row, column);
    Pibble* pibble = found ? pibbleAt(row, column) : nullptr;
    if (pibble == nullptr) {
        return false;
    }
    for (int hop = 0; hop < moveHops; ++hop) {
        startHup(pibble, true);
    }
    broadcast(GameEvent::about(eventKind, pibble, row, column));
    return true;
}

void PlayField::showHint() {
    if (scan.counts.possibleMoves < 1 || !pointAtMove(eventType::hintUsed)) {
        return;
    }
    addModifier(new ui::DelayModifier(propertyInt(ids::cfgHintEnabledDelay)));
    ui::Modifier* offerAgain = new ui::CallbackModifier(this, onHintDelayOver);
    offerAgain->addFlags(ui::Modifier::blocking);
    addModifier(offerAgain);
}

void PlayField::onHintDelayOver(void* field, ui::GameNode* /*node*/) {
    PlayField* self = instance();
    if (self != nullptr && self == field) {
        self->broadcast(GameEvent::of(eventType::hintAvailable));
    }
}

} // namespace game
