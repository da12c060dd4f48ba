#include "game/play/PlaySceneRelax.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/ui/Label.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedValues.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/GoalModes.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneRelax", PlaySceneRelax::createInstance);

// A move removing this many pibbles or more puts the chance back to the level's start.
constexpr std::int32_t bigMove = 7;

void putInt(kernel::NodeValue& node, const char* key, std::int32_t value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

void putText(kernel::NodeValue& node, const char* key, const char* value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

} // namespace

PlaySceneRelax::PlaySceneRelax(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneRelax::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneRelax(settings.asNode()) : nullptr;
}

void PlaySceneRelax::onEnter() {
    levelNr = 1;
    gameMode = gameModeRelax;
    movePending = false;
    removedByMove = 0;
    hintEnabled = true;
    PlayScene::onEnter();
    if (PlayField* field = getField()) {
        field->setStubbornChance(chanceValueCurrent);
    }
}

// The chance moves once a move is over, not after each of its removals.
void PlaySceneRelax::onUpdate(std::uint32_t elapsedMs) {
    PlayScene::onUpdate(elapsedMs);
    applyEndedMove();
}

void PlaySceneRelax::saveGame() {
    applyEndedMove();
    PlayScene::saveGame();
}

void PlaySceneRelax::applyEndedMove() {
    PlayField* field = getField();
    if (!movePending || field == nullptr || field->state() != fieldState::idle) {
        return;
    }
    applyMoveToChance();
    field->setStubbornChance(chanceValueCurrent);
    movePending = false;
}

void PlaySceneRelax::applyMoveToChance() {
    std::int64_t chance = chanceValueCurrent;
    if (removedByMove >= bigMove) {
        chance = chanceValueStart;
    } else {
        chance += getChanceDelta(removedByMove);
    }
    chance = std::max<std::int64_t>(chance, chanceValueMinimum);
    chanceValueCurrent =
        static_cast<std::int32_t>(std::min<std::int64_t>(chance, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t PlaySceneRelax::getChanceDelta(std::int32_t removed) const {
    switch (removed) {
    case 3:
        return chanceDelta3;
    case 4:
        return chanceDelta4;
    case 5:
        return chanceDelta5;
    case 6:
        return chanceDelta6;
    default:
        return 0;
    }
}

// The level's rules.

bool PlaySceneRelax::isLevelWon() {
    return fieldAtRest() && numPibbles >= numPibblesGoal;
}

bool PlaySceneRelax::isLevelLost() {
    return fieldAtRest() && getField()->possibleMoveCount() == 0;
}

void PlaySceneRelax::updateMode(std::uint32_t /*elapsedMs*/) {
    const PlayField* field = getField();
    if (field == nullptr || field->isPaused() || field->isFrozen() ||
        field->state() == fieldState::levelOver) {
        return;
    }
    clipGoalBar(getTimeBar(), numPibbles, numPibblesGoal);
}

void PlaySceneRelax::updateLevelLabel() {
    if (ui::Label* label = getLevelLabel()) {
        label->setText(intToWideString(levelNr));
    }
}

void PlaySceneRelax::updateHintState() {
    hintEnabled = !isHintPenaltyRunning();
}

// Starting, saving and loading.

void PlaySceneRelax::reset() {
    PlayScene::reset();
    levelNr = 1;
    chanceValueMinimum = 0;
    chanceValueCurrent = 0;
    chanceValueStart = 0;
    chanceDelta3 = 0;
    chanceDelta4 = 0;
    chanceDelta5 = 0;
    chanceDelta6 = 0;
    numPibbles = 0;
    numPibblesGoal = 0;
    movePending = false;
    removedByMove = 0;
    goalHintPending = true;
    secondStubbornHintPending = true;
}

void PlaySceneRelax::start() {
    if (startKind() == startKindNew) {
        startNewGame();
    } else if (startKind() == startKindContinue && !loadGame()) {
        startNewGame();
    }
}

// A game that could not be continued may not have read a difficulty: it starts on normal. The field gets
// its chance from the entry.
void PlaySceneRelax::startNewGame() {
    if (currentDifficulty() != difficultyNormal && currentDifficulty() != difficultyHard) {
        setDifficulty(difficultyNormal);
    }
    levelNr = 1;
    const std::int32_t colours = readTuning(0);
    numPibbles = 0;
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (PlayField* field = getField(); field != nullptr && catalogue != nullptr) {
        field->loadLevel(catalogue->loadModeLevel(gameModeRelax, levelNr, colours));
    }
}

std::int32_t PlaySceneRelax::readTuning(std::int32_t colours) {
    RelaxModeParams row{chanceValueStart, numPibblesGoal, colours,     chanceDelta3,
                        chanceDelta4,     chanceDelta5,   chanceDelta6};
    if (const LevelCatalogue* catalogue = LevelCatalogue::instance()) {
        catalogue->relaxParams(levelNr, row, currentDifficulty());
    }
    chanceValueStart = row.chanceValueStart;
    chanceValueCurrent = row.chanceValueStart;
    chanceValueMinimum = row.chanceValueStart;
    numPibblesGoal = row.numPibbles;
    chanceDelta3 = row.chanceDelta3;
    chanceDelta4 = row.chanceDelta4;
    chanceDelta5 = row.chanceDelta5;
    chanceDelta6 = row.chanceDelta6;
    return row.numColors;
}

void PlaySceneRelax::saveProperties(kernel::NodeValue& properties) {
    PlayScene::saveProperties(properties);
    putInt(properties, "levelNr", levelNr);
    putInt(properties, "chanceValueMinimum", chanceValueMinimum);
    putInt(properties, "chanceValueCurrent", chanceValueCurrent);
    putInt(properties, "chanceValueStart", chanceValueStart);
    putInt(properties, "numPibbles", numPibbles);
    putInt(properties, "numPibblesGoal", numPibblesGoal);
    putInt(properties, "chanceDelta3", chanceDelta3);
    putInt(properties, "chanceDelta4", chanceDelta4);
    putInt(properties, "chanceDelta5", chanceDelta5);
    putInt(properties, "chanceDelta6", chanceDelta6);
}

// A loaded game has no move pending. The chance never falls below its minimum; the deltas may take it
// either way.
void PlaySceneRelax::loadProperties(SavedValues& properties) {
    PlayScene::loadProperties(properties);
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    levelNr = properties.read("levelNr", 1);
    chanceValueMinimum = properties.read("chanceValueMinimum", 0);
    chanceValueCurrent = properties.read("chanceValueCurrent", chanceValueMinimum);
    chanceValueStart = properties.read("chanceValueStart", 0);
    numPibbles = properties.read("numPibbles", 0);
    numPibblesGoal = properties.read("numPibblesGoal", 1, largestGoal(gameModeRelax));
    chanceDelta3 = properties.read("chanceDelta3", lowest);
    chanceDelta4 = properties.read("chanceDelta4", lowest);
    chanceDelta5 = properties.read("chanceDelta5", lowest);
    chanceDelta6 = properties.read("chanceDelta6", lowest);
    movePending = false;
    removedByMove = 0;
}

void PlaySceneRelax::writeStatistics(kernel::NodeValue& record) {
    putInt(record, "levelnr", levelNr);
    putText(record, "gamemode", "relax");
    PlayScene::writeStatistics(record);
}

// The game events.

// Unhappy pibbles keep sulking to the end: only the stubbornness goes.
void PlaySceneRelax::onLevelFinished(const GameEvent& event) {
    if (const PlayField* field = getField()) {
        for (std::int32_t row = cell::firstRow; row <= field->rowCount(); ++row) {
            for (std::int32_t column = cell::firstColumn; column <= field->columnCount(); ++column) {
                if (Pibble* pibble = field->pibbleAt(row, column)) {
                    pibble->setStubborn(false);
                }
            }
        }
    }
    PlayScene::onLevelFinished(event);
    DialogPibble::openLevelEnd(levelEndFinished, this);
}

void PlaySceneRelax::onLevelFailed(const GameEvent& event) {
    PlayScene::onLevelFailed(event);
    const PlayField* field = getField();
    recordGameOver(gameModeRelax, levelNr, field != nullptr ? field->getScore() : 0);
    DialogPibble::openLevelEnd(levelEndFailed, this);
}

void PlaySceneRelax::onIdleReminder(const GameEvent& event) {
    PlayScene::onIdleReminder(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickTimer, event.pibble);
    }
}

void PlaySceneRelax::onNoMatchReminder(const GameEvent& event) {
    PlayScene::onNoMatchReminder(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickFailed, nullptr);
    }
}

void PlaySceneRelax::onQueueClicked(const GameEvent& event) {
    PlayScene::onQueueClicked(event);
    if (levelNr <= lastExplainedLevel) {
        showHint(ids::hintClickQueue, event.pibble);
    }
}

void PlaySceneRelax::onPibbleClicked(const GameEvent& event) {
    PlayScene::onPibbleClicked(event);
    movePending = true;
}

// Whichever hint is shown, a stubborn pibble puts the chance back to the level's start.
void PlaySceneRelax::onStubbornAppeared(const GameEvent& event) {
    PlayScene::onStubbornAppeared(event);
    PibblePlayer* player = currentPlayer();
    if (player != nullptr && !player->hasSeen(PibblePlayer::Sighting::Stubborn)) {
        showHint(ids::hintAppearStubbornRelax, event.pibble);
        player->setSeen(PibblePlayer::Sighting::Stubborn, true);
    } else if (secondStubbornHintPending) {
        showHint(ids::hintAppearStubbornRelax2, event.pibble);
        secondStubbornHintPending = false;
    }
    chanceValueCurrent = chanceValueStart;
}

// The removals of one move add up, combo steps included.
void PlaySceneRelax::onMatch(const GameEvent& event) {
    PlayScene::onMatch(event);
    const std::int32_t removed = event.words[matchWord::pibbles];
    removedByMove =
        event.words[matchWord::comboStep] == 0 ? removed : countAfterMatch(removedByMove, removed);
    numPibbles = countAfterMatch(numPibbles, removed);
    if (goalHintPending && goalHintDue(numPibbles, numPibblesGoal)) {
        showHint(ids::hintTimeBarRelax, nullptr);
        goalHintPending = false;
    }
}

void PlaySceneRelax::onHintUsed(const GameEvent& event) {
    PlayScene::onHintUsed(event);
    numPibbles = countAfterHintPenalty(numPibbles, propertyFloat(ids::cfgHintPenaltyRelax), numPibblesGoal);
}

// The level's end.

// The field keeps its pibbles and takes the next row's colours, in its level too, so a saved game keeps them.
void PlaySceneRelax::nextLevel() {
    DialogPibble::closeDialog(ids::textGameFinished);
    levelNr = levelAfter(levelNr);
    PlayField* field = getField();
    const std::int32_t colours = readTuning(field != nullptr ? field->numColors() : 0);
    numPibbles = 0;
    removedByMove = 0;
    if (field == nullptr) {
        return;
    }
    field->setNumColors(colours);
    if (LevelFile* level = field->getLevelFile()) {
        level->setProperty("numcolors", colours);
    }
    field->setStubbornChance(chanceValueCurrent);
    field->announceReady();
}

LevelFile* PlaySceneRelax::advanceLevelForQuit() {
    levelNr = levelAfter(levelNr);
    const PlayField* field = getField();
    const std::int32_t colours = readTuning(field != nullptr ? field->numColors() : 0);
    numPibbles = 0;
    removedByMove = 0;
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    return catalogue != nullptr ? catalogue->loadModeLevel(gameModeRelax, levelNr, colours) : nullptr;
}

void PlaySceneRelax::gameOver() {
    DialogPibble::closeDialog(ids::textGameFailedRelax);
    leaveAfterGameOver(gameModeRelax);
}

} // namespace game
