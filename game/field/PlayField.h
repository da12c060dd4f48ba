#pragma once

#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/GameNode.h"
#include "game/field/Board.h"
#include "game/field/FieldStatistics.h"
#include "game/field/GameEvent.h"
#include "game/field/MatchScan.h"
#include "game/field/PibbleJumpModifier.h"
#include "game/foundation/FieldCodes.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

namespace kernel {
class NodeValue;
}

namespace game {

class CollectablesManager;
class FieldGridLayer;
class FieldItemSprite;
class FieldRenderer;
class GameEventListener;
class LevelElementSprite;
class LevelFile;
class Pibble;
class PibbleAnimator;
class StateMachine;
struct RemovalCounts;
struct RemovalPlan;

// The board: the pibbles in their cells (rows 1..9; the queue column 0, the field columns 1..10 and the
// unused queue column 11), each column's pibbles waiting above it (row code 64) and leaving it (row or
// column code 128), the level's decorations, the counters of a game, and the state machine that runs
// the rules. It sends the game events, starts every pibble animation, counts the running ones, and
// takes the pointer for the hover focus. One field exists at a time, with its renderer, its animator
// and the collectables manager that makes its pibbles.
//
// A queue cell the level leaves empty ('.') holds no pibble; every field cell holds one, a removed
// pibble (colour 0) where the level's cell is empty.
class PlayField : public ui::GameNode, public kernel::InputListener {
public:
    // The pointer rests this long on a pibble before it is focused.
    static constexpr std::int32_t hoverRestMs = 50;
    // Without a click for this long while a move is possible, a pibble that could be moved hops.
    static constexpr std::int32_t idleReminderMs = 10000;
    // The idle reminder and the hint make a movable pibble hop this many times.
    static constexpr int moveHops = 3;
    // Random cell draws before a search gives up drawing and walks the cells in order.
    static constexpr int randomCellDraws = 200;
    // The y of a column's waiting pibbles: the queue's come from below the screen, the field's from above.
    static constexpr std::int32_t queueWaitingY = 700;
    static constexpr std::int32_t aboveScreenY = -30;
    static constexpr int endLevelSoundEvery = 40;
    // A stuck VIB board is reshuffled by this many swaps at most, drawn in this many picks at most.
    static constexpr std::int32_t reshuffleSwaps = 500;
    static constexpr std::int32_t reshufflePicks = 5000;
    // The points of each pibble of a party match (doubled on hard).
    static constexpr std::int32_t partyPibblePoints = 10;

    using ScanCounts = game::ScanCounts;

    // The one field: a second create keeps the first. Destroy lets go of the field's renderer, animator
    // and collectables manager at once, so a field made while the old one's node waits for the scene's
    // cleaner gets its own.
    static PlayField* create();
    static PlayField* instance();
    static void destroy();

    PlayField();
    ~PlayField() override;

    // Lays the level out (the field's state 0) and keeps it for the snapshots.
    virtual void loadLevel(LevelFile* level);
    void restart(LevelFile* level);
    // Kills and lets go of every pibble and decoration of the level, empties the cells and the click and
    // hover values, and empties the cache of pictures made for pibbles.
    void reset();

    // Cells. A waiting row gives the front of the column's list; off-field codes and cells outside the
    // grid give null.
    Pibble* pibbleAt(std::int32_t row, std::int32_t column) const;
    // A waiting row appends (null takes the front away), the off-field row appends to the column's
    // leaving list, the off-field and waiting column codes store nothing.
    void setPibble(std::int32_t row, std::int32_t column, Pibble* pibble);
    std::int32_t waitingCount(std::int32_t column) const;
    std::int32_t leavingCount(std::int32_t column) const;
    // Where a cell lies on the screen; 0 outside the field's codes. A pibble leaving the field (row 128)
    // lands a random spread to the left or right of its column.
    std::int32_t columnX(std::int32_t row, std::int32_t column);
    std::int32_t rowY(std::int32_t row, std::int32_t column) const;
    // Moves the pibble of one cell to another, at once or by a jump; one sent off the field cheers.
    void movePibble(std::int32_t fromRow, std::int32_t fromColumn, std::int32_t toRow, std::int32_t toColumn,
                    bool jump);
    // The cell whose pibble takes the point: row by row, the field columns before the queue column.
    bool cellAtPoint(int x, int y, std::int32_t& row, std::int32_t& column) const;
    // Where on the field (rows then columns from (1, 1)) the pibble stands.
    bool findPibble(const Pibble* pibble, std::int32_t& row, std::int32_t& column) const;
    // Kills the pibble and ends its animations at once, so the field's counters drop with it; a pending
    // announcement of it is dropped. The field lets go of every pibble this way.
    void removePibble(Pibble* pibble);
    // Empty or removed cells of a field column.
    std::int32_t emptyCellCount(std::int32_t column) const;

    // The running game into the level: the properties (with the current scene's own values), then each
    // row's field cells and queue cell. Nothing without a level.
    void storeToLevel();
    void writeLevelXml(kernel::NodeValue& node);
    LevelFile* getLevelFile() const { return levelFile.get(); }

    void enableInput() { inputEnabled = true; }
    void disableInput() { inputEnabled = false; }
    bool isInputEnabled() const { return inputEnabled; }
    // Both hold before play begins (states 0 and 1).
    bool isPaused() const;
    // Whether play was paused (not merely waiting to begin).
    bool isPauseRequested() const { return paused; }
    bool isFrozen() const;
    void announceReady();
    void go();
    void pause();
    // Stops the whole field, its animations too, while the collectable photo is taken.
    void freeze();
    void resume();
    void setAnnouncementsOn(bool on) { announcementsOn = on; }
    bool areAnnouncementsOn() const { return announcementsOn; }

    StateMachine& stateMachine() const { return *machine; }
    std::int32_t state() const;
    void setState(std::int32_t state);

    // Listeners are not held; each hears the events in the order they were added.
    void addListener(GameEventListener* listener);
    void removeListener(GameEventListener* listener);
    // Every listener still registered when its turn comes hears it, also when one removes another.
    void broadcast(const GameEvent& event);

    void incRunningAnimations() { ++runningAnimations; }
    void decRunningAnimations() { --runningAnimations; }
    void incEffectAnimations() { ++effectAnimations; }
    void decEffectAnimations() { --effectAnimations; }
    bool animationsRunning() const { return runningAnimations > 0; }
    bool hasEffectAnimations() const { return effectAnimations > 0; }
    std::int32_t runningAnimationCount() const { return runningAnimations; }
    std::int32_t effectAnimationCount() const { return effectAnimations; }

    // Input. A click moves, or tells the listeners why it cannot; it is never taken from other listeners.
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    // The move of the clicked cell: its pibble drops into a hole and the row's queue pibble jumps in.
    void moveIn();
    bool isQueueCell() const;

    // The rules (the field as a board for them, the scan, points, refill, recolouring, hints).
    Board board() const;
    // Scans the board: the move marks, the counts, the groups and the cells in runs.
    void scanMatches();
    const BoardScan& lastScan() const { return scan; }
    // The points of a removal step, doubled on hard.
    static std::int32_t matchScore(std::int32_t removed, std::int32_t specials, std::int32_t collectables,
                                   std::int32_t vib, std::int32_t comboStep);
    void closeColumnGaps(std::int32_t column);
    // Fills every empty field cell with a new pibble, coloured so that a move stays possible where one of
    // the colourings tried gives one, and places a waiting collectable. The flag is not used.
    void refill(bool flag);
    // Closes the holes of the queue column upwards and brings new queue pibbles in from below.
    void shiftQueue(std::int32_t column);
    std::int32_t newPibbleColour();
    // Random colours until no run stands and at least n moves are possible; when the bounded rounds find
    // none, the last colouring is mended. Then a scan.
    void recolour(std::int32_t n);
    // Points at a possible move: its pibble hops, and the hint rests for a while.
    void showHint();
    static void onHintDelayOver(void* field, ui::GameNode* node);
    // A pibble of a party match has given its points.
    static void onPartyPibbleDone(void* field, ui::GameNode* node);
    // The frame: time left, the idle reminder, the hover, the frame rate.
    void onUpdate(std::uint32_t elapsedMs) override;

    // For the modes: each draws field cells at random until one qualifies, then walks the cells in
    // order; false when none does.
    bool makeRandomPartyPibble();
    bool makeRandomPibbleUnhappy(std::uint8_t mark, std::int32_t& row, std::int32_t& column);
    bool makeRandomClown();
    bool makeRandomStubborn(std::uint8_t mark);
    void resetTime() { timeLeft = timeMax; }

    // Animation starters (each makes one pibble animation).
    using JumpOptions = PibbleJumpModifier::Options;
    // The options movePibble gives a jump between the two cells; the cells still hold what they held.
    JumpOptions jumpOptions(std::int32_t fromRow, std::int32_t fromColumn, std::int32_t toRow,
                            std::int32_t toColumn) const;
    void startJump(Pibble* pibble, int toX, int toY, const JumpOptions& options);
    void startHup(Pibble* pibble, bool sound);
    void startAlpha(Pibble* pibble, int from, int to);
    void dechain(Pibble* pibble);
    void shakeNo(Pibble* pibble);
    void makeClown(std::int32_t row, std::int32_t column);
    void makeParty(std::int32_t row, std::int32_t column);
    void makeVib(std::int32_t row, std::int32_t column);
    void makeChained(std::int32_t row, std::int32_t column);
    void makeStubborn(std::int32_t row, std::int32_t column);
    void makeUnhappy(std::int32_t row, std::int32_t column);
    void stopUnhappy(std::int32_t row, std::int32_t column);
    void startFocus(std::int32_t row, std::int32_t column);
    void startStyle(Pibble* pibble, std::int32_t style);
    void startHole(Pibble* pibble);
    void startHoleRise(Pibble* pibble);
    void startStubbornMatch(Pibble* pibble);
    void startVibMatch(Pibble* pibble);
    void startComboGlow(Pibble* pibble);
    void startEndLevelHops();
    void startWaveHops();
    void startVibAnimations();
    void setAllHappy();
    void setAllNormal();
    // The hover, from the frame: the cursor, and the focus on the plain field pibble under a resting
    // pointer.
    void updateHover();

    // Values the play scene and the modes read and set.
    std::int32_t getScore() const { return score; }
    void setScore(std::int32_t value) { score = value; }
    std::int32_t getTimeLeft() const { return timeLeft; }
    void setTimeLeft(std::int32_t value) { timeLeft = value; }
    std::int32_t getTimeMax() const { return timeMax; }
    std::int32_t numColors() const;
    // Held within the pibbles' colours, 1..7.
    void setNumColors(std::int32_t count);
    std::int32_t rowCount() const;
    std::int32_t columnCount() const;
    FieldGridLayer& gridLayer() const { return *grid; }
    FieldItemSprite& backdrop() const { return *fieldBackdrop; }
    void setStubbornChance(std::int32_t percent) { stubbornChance = percent; }
    std::int32_t getStubbornChance() const { return stubbornChance; }
    const ScanCounts& scanCounts() const { return scan.counts; }
    void setScanCounts(const ScanCounts& value) { scan.counts = value; }
    std::int32_t possibleMoveCount() const { return scan.counts.possibleMoves; }
    std::int32_t stubbornCount() const { return scan.counts.stubborn; }
    std::int32_t vibCount() const { return scan.counts.vib; }
    std::int32_t collectableCount() const { return scan.counts.collectables; }
    // Whether clicking the field cell is a possible move (the last scan's mark); 0 outside the field.
    std::uint8_t moveMark(std::int32_t row, std::int32_t column) const;
    void setMoveMark(std::int32_t row, std::int32_t column, std::uint8_t mark);
    bool isRescanPending() const { return rescanPending; }
    void setRescanPending(bool value) { rescanPending = value; }
    FieldStatistics& statistics() { return stats; }
    bool isUnhappyPending() const { return unhappyPending; }
    std::int32_t getComboStep() const { return comboStep; }
    std::int32_t getNoMatchCount() const { return noMatchCount; }
    bool isPartyRemoved() const { return partyRemoved; }
    // The colours of the party pibbles the last removal step took.
    const std::vector<std::int32_t>& getPartyColourSet() const { return partyColourSet; }
    std::int32_t partyPendingCount() const { return static_cast<std::int32_t>(partyPending.size()); }
    std::int32_t partyDoneCount() const { return static_cast<std::int32_t>(partyDone.size()); }
    bool hasClick() const { return clickHit; }
    std::int32_t getClickedRow() const { return clickedRow; }
    std::int32_t getClickedColumn() const { return clickedColumn; }
    std::int32_t getNoClickMs() const { return noClickMs; }
    bool isReminderArmed() const { return reminderArmed; }
    Pibble* getHoverPibble() const { return hoverPibble.get(); }
    // The pibble of the move in progress, down its hole and out of the grid.
    Pibble* getClickedPibble() const { return clickedPibble.get(); }
    void setClickedPibble(Pibble* pibble);
    std::int32_t getHoverMs() const { return hoverMs; }
    const std::vector<kernel::SmartPtr<LevelElementSprite>>& getElements() const { return elements; }

    // The pibbles waiting to be announced once play runs, by kind (a collectable is remembered by its
    // appearance); null when none waits.
    enum class Pending { clown, collectable, party, stubborn, chained };
    Pibble* pendingAnnouncement(Pending kind) const;
    void setPendingAnnouncement(Pending kind, Pibble* pibble);

    // Counts the fields made in this run: the first is 1. Animations know their own field by it.
    std::uint32_t getSerial() const { return serial; }

    static constexpr kernel::ClassInfo classInfo{&ui::GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    using PibbleList = std::deque<kernel::SmartPtr<Pibble>>;
    using CellTest = std::function<bool(Pibble& pibble, std::int32_t row, std::int32_t column)>;

    void releaseSingletons();
    void layOutGrid(const LevelFile& level);
    void placeFieldPibbles(const LevelFile& level);
    void placeQueuePibbles(const LevelFile& level);
    void placeElements(const LevelFile& level);
    void startKind(Pibble& pibble, std::int32_t row, std::int32_t column);
    std::int32_t cellColour(const LevelFile& level, std::int32_t row, std::int32_t column) const;
    void storeGrid();
    void storeCell(std::int32_t row, std::int32_t column);
    bool isFieldColumn(std::int32_t column) const;
    void updateIdleReminder(std::uint32_t elapsedMs);
    void fireIdleReminder();
    void sampleFrameRate();
    bool findRandomCell(const CellTest& qualifies, std::int32_t& row, std::int32_t& column) const;
    void stopFocusesBut(const Pibble* pibble);
    template <class Each> void forEachPibble(std::int32_t firstColumn, Each each) const;

    // The states.
    void registerStates();
    void onStateStart();
    void onStateIdle();
    void onStateCheckMove();
    void onStateRemoveMatches();
    void onStateRefill();
    void onStatePartyMatch();
    void onStateSettle();
    void onStateEndOfMove();
    void onStateLevelOver();
    // The click's reactions by the kind of the clicked pibble.
    void reactToClick(Pibble& pibble);
    void onClownClicked();
    void onPartyClicked();
    void onStubbornClicked();
    void onChainedClicked();
    void onCollectableClicked();
    void onVibClicked();
    void onQueueClicked();
    void onPibbleClicked();
    void refuseMove(std::int32_t eventKind, std::int32_t& counter);
    void clearClick();
    void takeBackMove();
    // Announces the first pending pibble of the kinds, in their order, that is still on the field.
    void announcePending(std::initializer_list<Pending> kinds);
    void countUselessSpecials();
    void emptyLeavingLists();
    void reshuffle();
    bool refillWaits() const;
    // The removal step.
    void applyFates(const RemovalPlan& plan);
    void removeFromField(const Cell& place);
    GameEvent matchEvent(const RemovalCounts& counts, std::int32_t points);
    void countMatchesForPlayer(const RemovalPlan& plan);
    // The party match.
    void startPartyMatch();
    void startPartyEffect(Pibble& party);
    void cheerPartyPibbles();
    void endPartyMatch();
    void clearParty();
    // The refill.
    void compactQueue();
    void placeCollectable();
    void dropNewPibbles();
    void applyColours(const Board& coloured);
    // A movable pibble hops and the listeners hear the event about it; false when no pibble could move.
    bool pointAtMove(std::int32_t eventKind);

    std::uint32_t serial;
    kernel::SmartPtr<LevelFile> levelFile;
    kernel::SmartPtr<FieldGridLayer> grid;
    kernel::SmartPtr<StateMachine> machine;
    kernel::SmartPtr<FieldItemSprite> fieldBackdrop;
    FieldRenderer* renderer = nullptr;
    PibbleAnimator* animator = nullptr;
    CollectablesManager* collectables = nullptr;
    std::vector<GameEventListener*> listeners;
    std::array<PibbleList, cell::columnCount> waiting;
    std::array<PibbleList, cell::columnCount> leaving;
    std::vector<kernel::SmartPtr<LevelElementSprite>> elements;
    bool inputEnabled = false;
    std::int32_t timeMax = 0;
    std::int32_t timeLeft = 0;
    std::int32_t noClickMs = 0;
    bool reminderArmed = false;
    std::int32_t noMatchCount = 0;
    BoardScan scan;
    bool clickHit = false;
    std::int32_t clickedRow = 0;
    std::int32_t clickedColumn = 0;
    kernel::SmartPtr<Pibble> clickedPibble;
    bool hoverHit = false;
    std::int32_t hoverRow = 0;
    std::int32_t hoverColumn = 0;
    std::int32_t hoverMs = 0;
    kernel::SmartPtr<Pibble> hoverPibble;
    std::int32_t comboStep = 0;
    std::int32_t score = 0;
    bool paused = false;
    bool frozen = false;
    FieldStatistics stats;
    std::int32_t stubbornChance = 0;
    std::int32_t runningAnimations = 0;
    std::int32_t effectAnimations = 0;
    bool rescanPending = false;
    bool partyRemoved = false;
    // The party pibbles the removal step took (the first of each colour) and their colours; the pibbles of
    // a party match still to give their points, and those that have.
    std::vector<kernel::SmartPtr<Pibble>> partyColours;
    std::vector<std::int32_t> partyColourSet;
    std::vector<kernel::SmartPtr<Pibble>> partyPending;
    std::vector<kernel::SmartPtr<Pibble>> partyDone;
    // The clowns and party pibbles made, as last seen when a move settled.
    std::int32_t clownsCreatedSeen = 0;
    std::int32_t partiesCreatedSeen = 0;
    std::vector<Cell> newCells;
    bool unhappyPending = false;
    std::array<kernel::SmartPtr<Pibble>, 5> pending;
    bool announcementsOn = false;
};

// Each pibble of the used rows, from the column given to the last field column.
template <class Each> void PlayField::forEachPibble(std::int32_t firstColumn, Each each) const {
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = firstColumn; column <= columnCount(); ++column) {
            if (Pibble* pibble = pibbleAt(row, column)) {
                each(*pibble, row, column);
            }
        }
    }
}

} // namespace game
