#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/field/Pibble.h"
#include "game/play/PlayScene.h"

#include <cstdint>

namespace game {

// The play scene of the ACTION mode: each level asks for a goal of removed pibbles while a penalty timer
// takes one back now and then; from level 2 on a stubborn timer makes a pibble unhappy and then stubborn
// unless a match comes first. A won level goes on to the next on the same field with the next tuning row
// (the 20th repeats); a level without a possible move ends the game.
class PlaySceneAction : public PlayScene {
public:
    explicit PlaySceneAction(kernel::NodeValue& settings);

    static kernel::Object* createInstance(kernel::Value& settings);

    void onEnter() override;

    bool isLevelWon() override;
    bool isLevelLost() override;
    void saveProperties(kernel::NodeValue& properties) override;
    // Refuses a level below 1, no goal or a period not above 0, among the other values out of their range.
    void loadProperties(SavedValues& properties) override;
    // The stubborn timer (from level 2), the penalty timer and the goal bar.
    void updateMode(std::uint32_t elapsedMs) override;
    void updateLevelLabel() override;
    void updateHintState() override;
    void writeStatistics(kernel::NodeValue& record) override;
    void reset() override;
    // A new game at level 1, or the saved one (a save that cannot make a game starts a new one).
    void start() override;

    void onLevelFinished(const GameEvent& event) override;
    void onLevelFailed(const GameEvent& event) override;
    void onIdleReminder(const GameEvent& event) override;
    void onNoMatchReminder(const GameEvent& event) override;
    void onQueueClicked(const GameEvent& event) override;
    void onStubbornAppeared(const GameEvent& event) override;
    void onMatch(const GameEvent& event) override;
    void onHintUsed(const GameEvent& event) override;

    // The level-end dialog's choices: the next level on the same field, or, after a lost level, the album
    // at the highscores or the selection.
    void nextLevel();
    void gameOver();
    void gameFinishedForMode() override { nextLevel(); }
    void gameFailedForMode() override { gameOver(); }
    // The next level's row, and the mode's level laid out afresh with its colours.
    LevelFile* advanceLevelForQuit() override;

    std::int32_t getLevelNr() const { return levelNr; }
    std::int32_t getNumPibbles() const { return numPibbles; }
    std::int32_t getNumPibblesGoal() const { return numPibblesGoal; }
    std::int32_t getStubbornTimer() const { return stubbornTimer; }
    std::int32_t getStubbornTimerStart() const { return stubbornTimerStart; }
    std::int32_t getPenaltyTimer() const { return penaltyTimer; }
    std::int32_t getPenaltyTimerStart() const { return penaltyTimerStart; }
    std::int32_t getChanceMinus() const { return chanceMinus; }
    std::int32_t getChanceMultiplier() const { return chanceMultiplier; }
    Pibble* getUnhappyPibble() const { return unhappyPibble.get(); }
    std::int32_t getUnhappyRow() const { return unhappyRow; }
    std::int32_t getUnhappyColumn() const { return unhappyColumn; }
    bool isGoalHintPending() const { return goalHintPending; }

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void startNewGame();
    // Reads the level's tuning row and gives its colour count; a level the table lacks keeps the values as
    // they are and the colours given.
    std::int32_t readTuning(std::int32_t colours);
    void restartTimers();
    void runStubbornTimer(PlayField& field, std::uint32_t dt);
    void chooseUnhappyPibble(PlayField& field);
    void runPenaltyTimer(std::uint32_t dt);
    void forgetUnhappyPibble();
    // Every field pibble calms down and loses its stubbornness at the level's end.
    void calmField(PlayField& field);

    std::int32_t numPibbles = 0;
    std::int32_t numPibblesGoal = 0;
    std::int32_t stubbornTimer = 0;
    std::int32_t stubbornTimerStart = 0;
    std::int32_t penaltyTimer = 0;
    std::int32_t penaltyTimerStart = 0;
    std::int32_t chanceMinus = 0;
    std::int32_t chanceMultiplier = 0;
    std::int32_t levelNr = 1;
    // Held, so a pibble removed meanwhile is never mistaken for a new one at the same address.
    kernel::SmartPtr<Pibble> unhappyPibble;
    std::int32_t unhappyRow = -1;
    std::int32_t unhappyColumn = -1;
    bool goalHintPending = true;
};

} // namespace game
