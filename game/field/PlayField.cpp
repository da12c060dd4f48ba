// The field itself: its making and its singletons, the cells and their places on the screen, pause, freeze
// and resume, the frame, and the values the scenes and modes read and set.
#include "game/field/PlayField.h"

#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "game/field/CollectablesManager.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldItemSprite.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldRenderer.h"
#include "game/field/LevelElementSprite.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleAnimator.h"
#include "game/field/PibbleImages.h"
#include "game/field/StateMachine.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

PlayField* current = nullptr;
std::uint32_t serialCounter = 0;

constexpr int gameWidth = 640;
constexpr int gameHeight = 480;

std::int32_t below(std::int32_t bound) {
    return fieldRandom().nextInt(bound);
}

// A count of milliseconds grows by a frame's time and stops at the largest int.
void addClamped(std::int32_t& value, std::uint32_t elapsed) {
    const std::int64_t sum = std::int64_t{value} + elapsed;
    value = static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
}

void subtractClamped(std::int32_t& value, std::uint32_t elapsed) {
    const std::int64_t left = std::int64_t{value} - elapsed;
    value = static_cast<std::int32_t>(std::max<std::int64_t>(left, std::numeric_limits<std::int32_t>::min()));
}

Pibble* pibbleOf(ui::GameNode* node) {
    return node != nullptr && node->isKindOf(Pibble::classInfo) ? static_cast<Pibble*>(node) : nullptr;
}

bool isWaitingOrOff(std::int32_t code) {
    return code == cell::waiting || code == cell::offField;
}

bool inColumns(std::int32_t column) {
    return column >= cell::queueLeft && column <= cell::queueRight;
}

} // namespace

PlayField* PlayField::create() {
    if (current == nullptr) {
        current = new PlayField();
        current->addRef();
    }
    return current;
}

PlayField* PlayField::instance() {
    return current;
}

void PlayField::destroy() {
    PlayField* field = current;
    current = nullptr;
    if (field != nullptr) {
        field->releaseSingletons();
        field->release();
    }
}

// The children in the order they run each frame: the rules, then the board's pibbles and their
// animations, then the idle animations.
PlayField::PlayField() : serial(++serialCounter) {
    machine = new StateMachine();
    renderer = FieldRenderer::create();
    animator = PibbleAnimator::create();
    collectables = CollectablesManager::create();
    addChild(machine.get());
    addChild(renderer);
    addChild(animator);
    platform::Application* application = platform::Application::instance();
    fieldBackdrop = new FieldItemSprite(0, 0, nullptr);
    fieldBackdrop->setSize(application != nullptr ? application->getWidth() : gameWidth,
                           application != nullptr ? application->getHeight() : gameHeight);
    grid = new FieldGridLayer();
    addChild(grid.get());
    renderer->addBackgroundItem(fieldBackdrop.get());
    registerStates();
}

PlayField::~PlayField() {
    machine->clearHandlers();
    machine->kill();
    animator->kill();
    releaseSingletons();
}

// Only those still its own: a later field may have made new ones.
void PlayField::releaseSingletons() {
    if (PibbleAnimator::instance() == animator) {
        PibbleAnimator::destroy();
    }
    if (CollectablesManager::instance() == collectables) {
        CollectablesManager::destroy();
    }
    if (FieldRenderer::instance() == renderer) {
        FieldRenderer::destroy();
    }
}

// Resetting.

// What is let go of leaves the renderer's layers too, or it would stay painted under the next board. Its
// animations end with it: one still held somewhere (an announcement, a listener) would otherwise keep
// counting.
void PlayField::removePibble(Pibble* pibble) {
    if (pibble == nullptr) {
        return;
    }
    pibble->stopAnimations();
    pibble->kill();
    // Stopping may have queued it for a layer.
    if (renderer != nullptr) {
        renderer->forget(pibble);
    }
    for (kernel::SmartPtr<Pibble>& waitingToBeAnnounced : pending) {
        if (waitingToBeAnnounced.get() == pibble) {
            waitingToBeAnnounced = nullptr;
        }
    }
}

void PlayField::reset() {
    noClickMs = 0;
    clickHit = false;
    clickedRow = 0;
    clickedColumn = 0;
    clearParty();
    newCells.clear();
    hoverHit = false;
    hoverRow = 0;
    hoverColumn = 0;
    hoverPibble = nullptr;
    removePibble(clickedPibble.get());
    clickedPibble = nullptr;
    for (std::int32_t row = cell::firstRow; row <= cell::lastRow; ++row) {
        for (std::int32_t column = cell::queueLeft; column <= cell::queueRight; ++column) {
            removePibble(pibbleAt(row, column));
        }
    }
    grid->clearCells();
    for (PibbleList* list : {waiting.data(), leaving.data()}) {
        for (std::size_t column = 0; column < cell::columnCount; ++column) {
            for (const kernel::SmartPtr<Pibble>& pibble : list[column]) {
                removePibble(pibble.get());
            }
            list[column].clear();
        }
    }
    for (const kernel::SmartPtr<LevelElementSprite>& element : elements) {
        element->kill();
        if (renderer != nullptr) {
            renderer->forget(element.get());
        }
    }
    elements.clear();
    pending = {};
    clearPibbleImageCaches();
}

// Cells.

Pibble* PlayField::pibbleAt(std::int32_t row, std::int32_t column) const {
    if (isWaitingOrOff(column) || row == cell::offField) {
        return nullptr;
    }
    if (row == cell::waiting) {
        return inColumns(column) && !waiting[column].empty() ? waiting[column].front().get() : nullptr;
    }
    return pibbleOf(grid->cellAt(row, column));
}

void PlayField::setPibble(std::int32_t row, std::int32_t column, Pibble* pibble) {
    if (isWaitingOrOff(column)) {
        return;
    }
    if (row == cell::waiting) {
        if (!inColumns(column)) {
            return;
        }
        if (pibble != nullptr) {
            waiting[column].emplace_back(pibble);
        } else if (!waiting[column].empty()) {
            waiting[column].pop_front();
        }
    } else if (row == cell::offField) {
        if (inColumns(column) && pibble != nullptr) {
            leaving[column].emplace_back(pibble);
        }
    } else {
        grid->setCellAt(row, column, pibble);
    }
}

std::int32_t PlayField::waitingCount(std::int32_t column) const {
    return inColumns(column) ? static_cast<std::int32_t>(waiting[column].size()) : 0;
}

std::int32_t PlayField::leavingCount(std::int32_t column) const {
    return inColumns(column) ? static_cast<std::int32_t>(leaving[column].size()) : 0;
}

std::int32_t PlayField::columnX(std::int32_t row, std::int32_t column) {
    std::int32_t x = grid->cellX(column);
    if (row == cell::offField) {
        const std::int32_t spreadMin = propertyInt(ids::cfgRemoveSpreadMin);
        const std::int32_t spread = spreadMin + below(propertyInt(ids::cfgRemoveSpreadMax) - spreadMin);
        x += spread % 2 != 0 ? spread : -spread;
    }
    return x;
}

std::int32_t PlayField::rowY(std::int32_t row, std::int32_t column) const {
    if (row == cell::waiting) {
        return column == cell::queueLeft || column == cell::queueRight ? queueWaitingY : aboveScreenY;
    }
    if (row == cell::offField) {
        return aboveScreenY;
    }
    return grid->cellY(row);
}

bool PlayField::isFieldColumn(std::int32_t column) const {
    return column >= cell::firstColumn && column <= columnCount();
}

PlayField::JumpOptions PlayField::jumpOptions(std::int32_t fromRow, std::int32_t fromColumn,
                                              std::int32_t toRow, std::int32_t toColumn) const {
    JumpOptions options;
    const bool fromField = isFieldColumn(fromColumn);
    const bool toField = isFieldColumn(toColumn);
    options.bounceAtStart = true;
    options.bounceAtEnd = fromField;
    // A fall down its own column past a removed pibble; a waiting pibble falls from above the top row.
    if (fromColumn == toColumn && toField && toRow >= cell::firstRow && toRow <= cell::lastRow) {
        const std::int32_t above = fromRow == cell::waiting ? 0 : fromRow;
        for (std::int32_t row = above + 1; row <= toRow; ++row) {
            const Pibble* passed = pibbleAt(row, toColumn);
            options.secondKind = options.secondKind || (passed != nullptr && passed->isRemoved());
        }
    }
    options.trail = fromColumn == cell::queueLeft && toField;
    options.dustAtStart = options.trail;
    options.dustAtEnd =
        (fromColumn == cell::queueLeft && toField) || (fromField && toColumn == cell::queueLeft);
    return options;
}

void PlayField::movePibble(std::int32_t fromRow, std::int32_t fromColumn, std::int32_t toRow,
                           std::int32_t toColumn, bool jump) {
    const kernel::SmartPtr<Pibble> pibble = pibbleAt(fromRow, fromColumn);
    if (!pibble) {
        return;
    }
    const JumpOptions options = jumpOptions(fromRow, fromColumn, toRow, toColumn);
    if (fromRow == cell::waiting) {
        setPibble(fromRow, fromColumn, nullptr);
    } else {
        grid->setCellAt(fromRow, fromColumn, nullptr);
    }
    setPibble(toRow, toColumn, pibble.get());
    if (toRow == cell::offField) {
        pibble->setStyle(headStyle::happy);
    }
    const std::int32_t x = columnX(toRow, toColumn);
    const std::int32_t y = rowY(toRow, toColumn);
    if (jump) {
        startJump(pibble.get(), x, y, options);
    } else {
        pibble->setPosition(x, y);
    }
}

bool PlayField::cellAtPoint(int x, int y, std::int32_t& row, std::int32_t& column) const {
    const auto hits = [&](std::int32_t r, std::int32_t c) {
        const ui::GameNode* node = grid->cellAt(r, c);
        if (node == nullptr || !node->isKindOf(ui::Sprite::classInfo) ||
            !static_cast<const ui::Sprite*>(node)->containsPoint(x, y)) {
            return false;
        }
        row = r;
        column = c;
        return true;
    };
    for (std::int32_t r = cell::firstRow; r <= rowCount(); ++r) {
        for (std::int32_t c = cell::firstColumn; c <= columnCount(); ++c) {
            if (hits(r, c)) {
                return true;
            }
        }
        if (hits(r, cell::queueLeft)) {
            return true;
        }
    }
    return false;
}

bool PlayField::findPibble(const Pibble* pibble, std::int32_t& row, std::int32_t& column) const {
    if (pibble == nullptr) {
        return false;
    }
    for (std::int32_t r = cell::firstRow; r <= rowCount(); ++r) {
        for (std::int32_t c = cell::firstColumn; c <= columnCount(); ++c) {
            if (pibbleAt(r, c) == pibble) {
                row = r;
                column = c;
                return true;
            }
        }
    }
    return false;
}

std::int32_t PlayField::emptyCellCount(std::int32_t column) const {
    std::int32_t empty = 0;
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        const Pibble* pibble = pibbleAt(row, column);
        empty += pibble == nullptr || pibble->isRemoved() ? 1 : 0;
    }
    return empty;
}

// Play.

bool PlayField::isPaused() const {
    return state() == fieldState::loaded || state() == fieldState::ready || paused;
}

bool PlayField::isFrozen() const {
    return state() == fieldState::loaded || state() == fieldState::ready || frozen;
}

void PlayField::announceReady() {
    broadcast(GameEvent::of(eventType::ready));
    setState(fieldState::ready);
}

void PlayField::go() {
    broadcast(GameEvent::of(eventType::go));
    setState(fieldState::idle);
    enableInput();
    noClickMs = 0;
    reminderArmed = false;
    stats = FieldStatistics();
    clownsCreatedSeen = 0;
    partiesCreatedSeen = 0;
    unhappyPending = false;
    announcementsOn = false;
    comboStep = 0;
}

void PlayField::pause() {
    broadcast(GameEvent::of(eventType::paused));
    paused = true;
    disableInput();
}

void PlayField::freeze() {
    broadcast(GameEvent::of(eventType::frozen));
    setSuspended(true);
    frozen = true;
    disableInput();
}

void PlayField::resume() {
    broadcast(GameEvent::of(eventType::resumed));
    setSuspended(false);
    paused = false;
    frozen = false;
    noClickMs = 0;
    enableInput();
}

std::int32_t PlayField::state() const {
    return machine->getCurrent();
}

void PlayField::setState(std::int32_t value) {
    machine->switchTo(value);
}

// Input and the frame.

void PlayField::onMouseMove(int /*x*/, int /*y*/, std::uint32_t /*keyFlags*/) {
    hoverMs = 0;
}

void PlayField::onUpdate(std::uint32_t elapsedMs) {
    if (inputEnabled) {
        subtractClamped(timeLeft, elapsedMs);
        updateIdleReminder(elapsedMs);
        addClamped(hoverMs, elapsedMs);
    }
    updateHover();
    sampleFrameRate();
}

// The reminder is armed whenever the field waits for a click with its count at the start: after go, after
// each move (the click starts the count again) and after a resume. Once it has fired it waits for the next
// click or resume, so an idle player is reminded once, not every ten seconds.
void PlayField::updateIdleReminder(std::uint32_t elapsedMs) {
    if (!reminderArmed && noClickMs == 0 && state() == fieldState::idle && !animationsRunning()) {
        reminderArmed = true;
    }
    if (!reminderArmed || scan.counts.possibleMoves < 1) {
        return;
    }
    addClamped(noClickMs, elapsedMs);
    if (noClickMs > idleReminderMs) {
        fireIdleReminder();
    }
}

void PlayField::fireIdleReminder() {
    reminderArmed = false;
    pointAtMove(eventType::idleReminder);
}

void PlayField::sampleFrameRate() {
    if (platform::FrameTimer* timer = platform::FrameTimer::instance()) {
        stats.addFrameRate(timer->getFps());
    }
}

// Values.

std::int32_t PlayField::numColors() const {
    return grid->getColourCount();
}

// Only colours that pibbles are drawn in: 8 would make every new pibble a clown, 9 and up pibbles without a
// picture, and 0 or less every new pibble the first colour.
void PlayField::setNumColors(std::int32_t count) {
    grid->setColourCount(std::clamp(count, colour::firstReal, colour::lastReal));
}

std::int32_t PlayField::rowCount() const {
    return grid->getRows();
}

std::int32_t PlayField::columnCount() const {
    return grid->getColumns();
}

std::uint8_t PlayField::moveMark(std::int32_t row, std::int32_t column) const {
    return scan.moveTable.get(row, column);
}

void PlayField::setMoveMark(std::int32_t row, std::int32_t column, std::uint8_t mark) {
    scan.moveTable.set(row, column, mark);
}

void PlayField::setClickedPibble(Pibble* pibble) {
    clickedPibble = pibble;
}

Pibble* PlayField::pendingAnnouncement(Pending kind) const {
    return pending[static_cast<std::size_t>(kind)].get();
}

void PlayField::setPendingAnnouncement(Pending kind, Pibble* pibble) {
    pending[static_cast<std::size_t>(kind)] = pibble;
}

} // namespace game
