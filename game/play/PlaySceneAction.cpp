#include "game/play/PlaySceneAction.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/ui/Label.h"
#include "game/field/FieldRandom.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/foundation/SavedValues.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/GoalModes.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneAction", PlaySceneAction::createInstance);

// The unhappy pibble is chosen among the cells whose move mark is the outcome of a roll of 1 to 100.
constexpr std::int32_t rollSides = 100;

void putInt(kernel::NodeValue& node, const char* key, std::int32_t value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

void putText(kernel::NodeValue& node, const char* key, const char* value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

bool stillOrOver(std::int32_t state) {
    return state == fieldState::loaded || state == fieldState::ready || state == fieldState::levelOver;
}

} // namespace

PlaySceneAction::PlaySceneAction(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneAction::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneAction(settings.asNode()) : nullptr;
}

void PlaySceneAction::onEnter() {
    levelNr = 1;
    gameMode = gameModeAction;
    hintEnabled = true;
    PlayScene::onEnter();
}

// The level's rules.

bool PlaySceneAction::isLevelWon() {
    return fieldAtRest() && numPibbles >= numPibblesGoal;
}

bool PlaySceneAction::isLevelLost() {
    return fieldAtRest() && getField()->possibleMoveCount() == 0;
}

void PlaySceneAction::updateLevelLabel() {
    if (ui::Label* label = getLevelLabel()) {
        label->setText(intToWideString(levelNr));
    }
}

void PlaySceneAction::updateHintState() {
    hintEnabled = !isHintPenaltyRunning();
}

// Starting, saving and loading.

void PlaySceneAction::reset() {
    PlayScene::reset();
    levelNr = 1;
    numPibbles = 0;
    numPibblesGoal = 0;
    stubbornTimer = 0;
    stubbornTimerStart = 0;
    penaltyTimer = 0;
    penaltyTimerStart = 0;
    chanceMinus = 0;
    chanceMultiplier = 0;
    forgetUnhappyPibble();
    goalHintPending = true;
}

void PlaySceneAction::start() {
    if (startKind() == startKindNew) {
        startNewGame();
    } else if (startKind() == startKindContinue && !loadGame()) {
        startNewGame();
    }
}

// A game that could not be continued may not have read a difficulty: it starts on normal.
void PlaySceneAction::startNewGame() {
    if (currentDifficulty() != difficultyNormal && currentDifficulty() != difficultyHard) {
        setDifficulty(difficultyNormal);
    }
    levelNr = 1;
    const std::int32_t colours = readTuning(0);
    numPibbles = 0;
    restartTimers();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (PlayField* field = getField(); field != nullptr && catalogue != nullptr) {
        field->loadLevel(catalogue->loadModeLevel(gameModeAction, levelNr, colours));
    }
}

std::int32_t PlaySceneAction::readTuning(std::int32_t colours) {
    ActionModeParams row{stubbornTimerStart, penaltyTimerStart, numPibblesGoal, colours,
                         chanceMinus,        chanceMultiplier};
    if (const LevelCatalogue* catalogue = LevelCatalogue::instance()) {
        catalogue->actionParams(levelNr, row, currentDifficulty());
    }
    numPibblesGoal = row.numPibbles;
    stubbornTimerStart = row.stubbornTimer;
    penaltyTimerStart = row.penaltyTimer;
    chanceMinus = row.chanceMinus;
    chanceMultiplier = row.chanceMultiplier;
    return row.numColors;
}

void PlaySceneAction::restartTimers() {
    stubbornTimer = stubbornTimerStart;
    penaltyTimer = penaltyTimerStart;
}

void PlaySceneAction::saveProperties(kernel::NodeValue& properties) {
    PlayScene::saveProperties(properties);
    putInt(properties, "levelNr", levelNr);
    putInt(properties, "numPibbles", numPibbles);
    putInt(properties, "numPibblesGoal", numPibblesGoal);
    putInt(properties, "stubbornTimer", stubbornTimer);
    putInt(properties, "stubbornTimerStart", stubbornTimerStart);
    putInt(properties, "penaltyTimer", penaltyTimer);
    putInt(properties, "penaltyTimerStart", penaltyTimerStart);
    putInt(properties, "chanceMinus", chanceMinus);
    putInt(properties, "chanceMultiplier", chanceMultiplier);
}

// A continued game has no unhappy pibble. The timers count down from their periods: the stubborn timer
// goes on below 0 while it waits for a pibble to make unhappy, the penalty timer starts again at once (at 0,
// what a save without it reads, in the first frame).
void PlaySceneAction::loadProperties(SavedValues& properties) {
    PlayScene::loadProperties(properties);
    levelNr = properties.read("levelNr", 1);
    numPibbles = properties.read("numPibbles", 0);
    numPibblesGoal = properties.read("numPibblesGoal", 1, largestGoal(gameModeAction));
    stubbornTimerStart = properties.read("stubbornTimerStart", 1);
    stubbornTimer =
        properties.read("stubbornTimer", std::numeric_limits<std::int32_t>::min(), stubbornTimerStart);
    penaltyTimerStart = properties.read("penaltyTimerStart", 1);
    penaltyTimer = properties.read("penaltyTimer", 0, penaltyTimerStart);
    chanceMinus = properties.read("chanceMinus", 0);
    chanceMultiplier = properties.read("chanceMultiplier", 0);
    forgetUnhappyPibble();
}

void PlaySceneAction::writeStatistics(kernel::NodeValue& record) {
    putInt(record, "levelnr", levelNr);
    putText(record, "gamemode", "action");
    PlayScene::writeStatistics(record);
}

// The timers.

void PlaySceneAction::updateMode(std::uint32_t elapsedMs) {
    PlayField* field = getField();
    if (field == nullptr || field->isPaused() || field->isFrozen() || stillOrOver(field->state())) {
        return;
    }
    // Level 1 has no unhappy or stubborn pibbles of the timer.
    if (levelNr > 1) {
        runStubbornTimer(*field, elapsedMs);
        chooseUnhappyPibble(*field);
    }
    runPenaltyTimer(elapsedMs);
    clipGoalBar(getTimeBar(), numPibbles, numPibblesGoal);
}

// The unhappy pibble turns stubborn once the field rests; one that has left its cell waits for a match.
void PlaySceneAction::runStubbornTimer(PlayField& field, std::uint32_t dt) {
    stubbornTimer = timerAfter(stubbornTimer, dt);
    if (stubbornTimer >= 1 || !unhappyPibble ||
        field.pibbleAt(unhappyRow, unhappyColumn) != unhappyPibble.get() || field.animationsRunning() ||
        field.state() != fieldState::idle) {
        return;
    }
    field.stopUnhappy(unhappyRow, unhappyColumn);
    field.makeStubborn(unhappyRow, unhappyColumn);
    field.scanMatches();
    forgetUnhappyPibble();
    stubbornTimer = stubbornTimerStart;
}

// The more stubborn pibbles stand, the likelier the unhappy one is a pibble that could be moved. When no
// cell qualifies none is chosen in this frame.
void PlaySceneAction::chooseUnhappyPibble(PlayField& field) {
    if (unhappyPibble || stubbornTimer >= propertyInt(ids::cfgPibbleUnhappyDuration)) {
        return;
    }
    const std::int64_t chance = (std::int64_t{field.stubbornCount()} - chanceMinus) * chanceMultiplier;
    const std::int32_t roll = fieldRandom().nextInt(rollSides) + 1;
    std::int32_t row = 0;
    std::int32_t column = 0;
    if (!field.makeRandomPibbleUnhappy(chance > roll ? 1 : 0, row, column)) {
        return;
    }
    unhappyPibble = field.pibbleAt(row, column);
    unhappyRow = row;
    unhappyColumn = column;
}

void PlaySceneAction::runPenaltyTimer(std::uint32_t dt) {
    penaltyTimer = timerAfter(penaltyTimer, dt);
    if (penaltyTimer >= 1) {
        return;
    }
    if (numPibbles > 0) {
        --numPibbles;
    }
    penaltyTimer = penaltyTimerStart;
}

void PlaySceneAction::forgetUnhappyPibble() {
    unhappyPibble = nullptr;
    unhappyRow = -1;
    unhappyColumn = -1;
}

// The game events.

void PlaySceneAction::onLevelFinished(const GameEvent& event) {
    if (PlayField* field = getField()) {
        calmField(*field);
    }
    forgetUnhappyPibble();
    PlayScene::onLevelFinished(event);
    DialogPibble::openLevelEnd(levelEndFinished, this);
}

void PlaySceneAction::calmField(PlayField& field) {
    for (std::int32_t row = cell::firstRow; row <= field.rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= field.columnCount(); ++column) {
            if (Pibble* pibble = field.pibbleAt(row, column)) {
                field.stopUnhappy(row, column);
                pibble->setStubborn(false);
            }
        }
    }
}

void PlaySceneAction::onLevelFailed(const GameEvent& event) {
    PlayScene::onLevelFailed(event);
    const PlayField* field = getField();
    recordGameOver(gameModeAction, levelNr, field != nullptr ? field->getScore() : 0);
    DialogPibble::openLevelEnd(levelEndFailed, this);
}

void PlaySceneAction::onIdleReminder(const GameEvent& event) {
    PlayScene::onIdleReminder(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickTimer, event.pibble);
    }
}

void PlaySceneAction::onNoMatchReminder(const GameEvent& event) {
    PlayScene::onNoMatchReminder(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickFailed, nullptr);
    }
}

void PlaySceneAction::onQueueClicked(const GameEvent& event) {
    PlayScene::onQueueClicked(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickQueue, event.pibble);
    }
}

void PlaySceneAction::onStubbornAppeared(const GameEvent& event) {
    PlayScene::onStubbornAppeared(event);
    PibblePlayer* player = currentPlayer();
    if (player != nullptr && !player->hasSeen(PibblePlayer::Sighting::Stubborn)) {
        showHint(ids::hintAppearStubbornAction, event.pibble);
        player->setSeen(PibblePlayer::Sighting::Stubborn, true);
    }
}

// A match calms the unhappy pibble and starts both timers again.
void PlaySceneAction::onMatch(const GameEvent& event) {
    PlayScene::onMatch(event);
    restartTimers();
    numPibbles = countAfterMatch(numPibbles, event.words[matchWord::pibbles]);
    if (unhappyPibble) {
        if (PlayField* field = getField()) {
            field->stopUnhappy(unhappyRow, unhappyColumn);
        }
        forgetUnhappyPibble();
    }
    if (goalHintPending && goalHintDue(numPibbles, numPibblesGoal)) {
        showHint(ids::hintTimeBarAction, nullptr);
        goalHintPending = false;
    }
}

void PlaySceneAction::onHintUsed(const GameEvent& event) {
    PlayScene::onHintUsed(event);
    numPibbles = countAfterHintPenalty(numPibbles, propertyFloat(ids::cfgHintPenaltyAction), numPibblesGoal);
}

// The level's end.

// The field keeps its pibbles and takes the next row's colours, in its level too, so a saved game keeps them.
void PlaySceneAction::nextLevel() {
    DialogPibble::closeDialog(ids::textGameFinished);
    levelNr = levelAfter(levelNr);
    PlayField* field = getField();
    const std::int32_t colours = readTuning(field != nullptr ? field->numColors() : 0);
    numPibbles = 0;
    restartTimers();
    if (field == nullptr) {
        return;
    }
    field->setNumColors(colours);
    if (LevelFile* level = field->getLevelFile()) {
        level->setProperty("numcolors", colours);
    }
    field->announceReady();
}

LevelFile* PlaySceneAction::advanceLevelForQuit() {
    levelNr = levelAfter(levelNr);
    const PlayField* field = getField();
    const std::int32_t colours = readTuning(field != nullptr ? field->numColors() : 0);
    numPibbles = 0;
    restartTimers();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    return catalogue != nullptr ? catalogue->loadModeLevel(gameModeAction, levelNr, colours) : nullptr;
}

void PlaySceneAction::gameOver() {
    DialogPibble::closeDialog(ids::textGameFailedAction);
    leaveAfterGameOver(gameModeAction);
}

} // namespace game
