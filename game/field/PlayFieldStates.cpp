// The field's states and the move: the click and its reactions, the check of a move and its return, the
// refill and settle states, and the end of a move with the reshuffle of a stuck VIB board.
#include "game/field/PlayField.h"

#include "engine/ui/DelayModifier.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldRenderer.h"
#include "game/field/FieldSounds.h"
#include "game/field/ModifierLookup.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleJumpModifier.h"
#include "game/field/RefillRules.h"
#include "game/field/StateMachine.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleScene.h"

#include <iterator>

namespace game {

namespace {

// The animations a refill waits for on the field: a breaking chain, a clown's glow, a stubborn pibble's
// removal and a party pibble's stars.
constexpr std::uint32_t refillAwaitsOnField =
    animationBit::dechain | animationBit::clownGlow | animationBit::stubbornMatch | animationBit::partyStars;

bool noDialogOpen() {
    const PibbleScene* scene = PibbleScene::current();
    return scene == nullptr || !scene->hasOpenDialog();
}

} // namespace

void PlayField::registerStates() {
    using Handler = void (PlayField::*)();
    static constexpr Handler handlers[] = {&PlayField::onStateStart,         &PlayField::onStateStart,
                                           &PlayField::onStateIdle,          &PlayField::onStateCheckMove,
                                           &PlayField::onStateRemoveMatches, &PlayField::onStateRefill,
                                           &PlayField::onStatePartyMatch,    &PlayField::onStateSettle,
                                           &PlayField::onStateEndOfMove,     &PlayField::onStateLevelOver};
    static_assert(std::size(handlers) == fieldState::count);
    for (std::int32_t state = 0; state < fieldState::count; ++state) {
        const Handler handler = handlers[state];
        machine->setState(
            state, [this, handler](std::int32_t) { (this->*handler)(); }, 0);
    }
}

// The click.

bool PlayField::onLeftButtonDown(int x, int y, std::uint32_t /*keyFlags*/, bool /*doubleClick*/) {
    if (!inputEnabled || state() != fieldState::idle || animationsRunning()) {
        return false;
    }
    std::int32_t row = 0;
    std::int32_t column = 0;
    clickHit = cellAtPoint(x, y, row, column);
    if (clickHit) {
        clickedRow = row;
        clickedColumn = column;
        clickedPibble = pibbleAt(row, column);
        if (clickedPibble && clickedPibble->hasModifierType(animationBit::hop)) {
            clickedPibble->stopAnimations();
        }
        if (clickedPibble) {
            reactToClick(*clickedPibble);
        }
    }
    noClickMs = 0;
    reminderArmed = false;
    return false;
}

bool PlayField::isQueueCell() const {
    return clickedColumn == cell::queueLeft || clickedColumn == cell::queueRight;
}

void PlayField::reactToClick(Pibble& pibble) {
    if (pibble.isRemoved()) {
        return;
    }
    if (pibble.isClown()) {
        onClownClicked();
    } else if (pibble.isParty()) {
        onPartyClicked();
    } else if (pibble.isStubborn()) {
        onStubbornClicked();
    } else if (pibble.isChained()) {
        onChainedClicked();
    } else if (pibble.hasCollectable()) {
        onCollectableClicked();
    } else if (pibble.isVib()) {
        onVibClicked();
    } else if (isQueueCell()) {
        onQueueClicked();
    } else {
        onPibbleClicked();
    }
}

void PlayField::onClownClicked() {
    refuseMove(eventType::clownClicked, stats.clownClicks);
}

void PlayField::onPartyClicked() {
    refuseMove(eventType::partyClicked, stats.partyClicks);
}

void PlayField::onStubbornClicked() {
    refuseMove(eventType::stubbornClicked, stats.stubbornClicks);
}

void PlayField::onChainedClicked() {
    refuseMove(eventType::chainedClicked, stats.chainClicks);
}

void PlayField::onCollectableClicked() {
    broadcast(
        GameEvent::about(eventType::collectableClicked, clickedPibble.get(), clickedRow, clickedColumn));
}

// The VIB click's event carries nothing: a listener finds the pibble as the field's clicked one.
void PlayField::onVibClicked() {
    storeToLevel();
    broadcast(GameEvent::of(eventType::vibClicked));
    moveIn();
}

void PlayField::onQueueClicked() {
    refuseMove(eventType::queueClicked, stats.queueClicks);
}

// The clicked pibble shakes its head; the listeners hear why and the statistics count it.
void PlayField::refuseMove(std::int32_t eventKind, std::int32_t& counter) {
    shakeNo(clickedPibble.get());
    broadcast(GameEvent::about(eventKind, clickedPibble.get(), clickedRow, clickedColumn));
    ++counter;
}

void PlayField::onPibbleClicked() {
    storeToLevel();
    broadcast(GameEvent::about(eventType::pibbleClicked, clickedPibble.get(), clickedRow, clickedColumn));
    moveIn();
}

// The queue cell stays empty until the refill; a row whose queue cell is empty moves nothing in.
void PlayField::moveIn() {
    Pibble* clicked = clickedPibble.get();
    if (clicked == nullptr) {
        return;
    }
    grid->setCellAt(clickedRow, clickedColumn, nullptr);
    startHole(clicked);
    movePibble(clickedRow, cell::queueLeft, clickedRow, clickedColumn, true);
    setState(fieldState::checkMove);
}

void PlayField::clearClick() {
    clickHit = false;
    clickedRow = 0;
    clickedColumn = 0;
    clickedPibble = nullptr;
    comboStep = 0;
    unhappyPending = false;
}

// The states.

void PlayField::onStateStart() {
    rescanPending = true;
}

void PlayField::onStateIdle() {
    clearClick();
    if (rescanPending) {
        if (animationsRunning()) {
            return;
        }
        scanMatches();
        rescanPending = false;
    }
    if (noDialogOpen() && announcementsOn) {
        announcePending(
            {Pending::collectable, Pending::stubborn, Pending::clown, Pending::party, Pending::chained});
    }
    // Below 1 the reminder is off: a missing value would otherwise remind in every frame.
    const std::int32_t reminderAfter = propertyInt(ids::cfgHintNoMatchCount);
    if (reminderAfter >= 1 && noMatchCount >= reminderAfter) {
        broadcast(GameEvent::of(eventType::noMatchReminder));
        noMatchCount = 0;
    }
}

// One announcement a frame: the first kind that waits is announced when its pibble is still on the field,
// and forgotten either way. A collectable is announced only after the running game is saved, so it is not
// lost with a game that ends before the collectable is claimed.
void PlayField::announcePending(std::initializer_list<Pending> kinds) {
    static constexpr std::int32_t eventOf[] = {eventType::clownAppeared, eventType::collectableAppeared,
                                               eventType::partyAppeared, eventType::stubbornAppeared,
                                               eventType::chainedAppeared};
    for (const Pending kind : kinds) {
        const kernel::SmartPtr<Pibble> pibble = pendingAnnouncement(kind);
        if (!pibble) {
            continue;
        }
        if (kind == Pending::collectable) {
            if (PibbleScene* scene = PibbleScene::current()) {
                scene->saveGame();
            }
        }
        setPendingAnnouncement(kind, nullptr);
        std::int32_t row = 0;
        std::int32_t column = 0;
        if (findPibble(pibble.get(), row, column)) {
            broadcast(GameEvent::about(eventOf[static_cast<std::size_t>(kind)], pibble.get(), row, column));
        }
        return;
    }
}

void PlayField::onStateCheckMove() {
    if (animationsRunning()) {
        return;
    }
    scanMatches();
    rescanPending = true;
    if (scan.counts.matchCells > 0) {
        noMatchCount = 0;
        removePibble(clickedPibble.get());
        clickedPibble = nullptr;
        setState(fieldState::removeMatches);
        ++stats.movesCorrect;
        return;
    }
    takeBackMove();
}

// A move that matched nothing: the pibble that jumped in jumps back to the queue, and the clicked pibble
// climbs out of its hole a moment later (sulking again if it sulked).
void PlayField::takeBackMove() {
    playFieldSound(ids::soundMatchWrong);
    ++noMatchCount;
    movePibble(clickedRow, clickedColumn, clickedRow, cell::queueLeft, true);
    if (Pibble* clicked = clickedPibble.get()) {
        clicked->addModifier(new ui::DelayModifier(propertyInt(ids::cfgJumpBounce)));
        grid->setCellAt(clickedRow, clickedColumn, clicked);
        startHoleRise(clicked);
        if (unhappyPending && !clicked->isStubborn()) {
            makeUnhappy(clickedRow, clickedColumn);
            unhappyPending = false;
        }
    }
    setState(fieldState::idle);
    scanMatches();
    ++stats.movesWrongTotal;
    if (stats.movesCorrect == 0) {
        ++stats.movesWrongInitial;
    }
}

// The gaps close once the pibbles of the field have landed and the effects that change them are over.
bool PlayField::refillWaits() const {
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = cell::queueLeft; column <= columnCount(); ++column) {
            const Pibble* pibble = pibbleAt(row, column);
            if (pibble != nullptr && (pibble->hasModifierType(refillAwaitsOnField) ||
                                      firstModifierOf<PibbleJumpModifier>(*pibble) != nullptr)) {
                return true;
            }
        }
    }
    for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
        for (const kernel::SmartPtr<Pibble>& pibble : leaving[static_cast<std::size_t>(column)]) {
            if (pibble->hasModifierType(animationBit::stubbornMatch)) {
                return true;
            }
        }
    }
    return false;
}

void PlayField::onStateRefill() {
    if (refillWaits()) {
        return;
    }
    if (noDialogOpen()) {
        announcePending({Pending::clown, Pending::party});
    }
    for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
        closeColumnGaps(column);
    }
    refill(true);
    shiftQueue(cell::queueLeft);
    setState(fieldState::settle);
}

void PlayField::onStateSettle() {
    if (animationsRunning()) {
        return;
    }
    scanMatches();
    if (scan.counts.matchCells > 0) {
        setState(fieldState::removeMatches);
        return;
    }
    countUselessSpecials();
    emptyLeavingLists();
    setState(fieldState::endOfMove);
}

// Clowns and party pibbles made since the last settled move that are not on the field were used up in the
// move that made them.
void PlayField::countUselessSpecials() {
    const auto update = [](std::int32_t created, std::int32_t& seen, std::int32_t onField,
                           std::int32_t& useless) {
        if (created == seen) {
            return;
        }
        const std::int32_t change = created - seen;
        if (change != onField) {
            useless += change;
        }
        seen = created;
    };
    update(stats.clownsCreated, clownsCreatedSeen, scan.counts.clowns, stats.clownsUseless);
    update(stats.partiesCreated, partiesCreatedSeen, scan.counts.parties, stats.partiesUseless);
}

void PlayField::emptyLeavingLists() {
    for (PibbleList& list : leaving) {
        for (const kernel::SmartPtr<Pibble>& pibble : list) {
            removePibble(pibble.get());
        }
        list.clear();
    }
}

// A board without a move is left as it is in ACTION and RELAX; in VIB, where the board is the level, it
// is reshuffled, and recoloured when no swap helps.
void PlayField::onStateEndOfMove() {
    clearClick();
    setState(fieldState::idle);
    const PibbleScene* scene = PibbleScene::current();
    const std::int32_t mode = scene != nullptr ? scene->playingMode() : gameModeNone;
    if (scan.counts.possibleMoves == 0 && mode != gameModeAction && mode != gameModeRelax) {
        reshuffle();
    }
}

void PlayField::reshuffle() {
    ++stats.stuck;
    Board shuffled = board();
    const Reshuffle result = reshuffleBoard(shuffled, fieldRandom(), reshuffleSwaps, reshufflePicks);
    stats.stuckSwaps += result.swaps;
    if (result.kept) {
        const kernel::SmartPtr<ui::GameNode> first = grid->cellAt(result.first.row, result.first.column);
        const kernel::SmartPtr<ui::GameNode> second = grid->cellAt(result.second.row, result.second.column);
        grid->setCellAt(result.first.row, result.first.column, second.get());
        grid->setCellAt(result.second.row, result.second.column, first.get());
    }
    scanMatches();
    if (scan.counts.possibleMoves == 0) {
        recolour(2);
        ++stats.stuckRefills;
    }
    grid->relayout();
    renderer->invalidateAll(true);
    FieldRenderer::sortLayer(renderer->getBackgroundLayer());
    FieldRenderer::sortLayer(renderer->getFieldLayer());
    FieldRenderer::sortLayer(renderer->getTopLayer());
}

void PlayField::onStateLevelOver() {
    pending = {};
}

} // namespace game
