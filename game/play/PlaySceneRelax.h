#pragma once

#include "game/play/PlayScene.h"

#include <cstdint>

namespace game {

// The play scene of the RELAX mode: no clock, a goal of removed pibbles per level, and a chance, moved by
// the size of each move's matches, that the pibble the player moved turns stubborn. A won level goes on to
// the next on the same field with the next tuning row (the 20th repeats); a level without a possible move
// ends the game.
class PlaySceneRelax : public PlayScene {
public:
    explicit PlaySceneRelax(kernel::NodeValue& settings);

    static kernel::Object* createInstance(kernel::Value& settings);

    // The frame; a move that has ended moves the chance, which the field then uses.
    void onUpdate(std::uint32_t elapsedMs) override;
    // Starts the game and hands the field its stubborn chance.
    void onEnter() override;

    bool isLevelWon() override;
    bool isLevelLost() override;
    // A move that has ended moves the chance first, so a save made in the same frame (a quit, the menu)
    // holds the chance the move gave.
    void saveGame() override;
    void saveProperties(kernel::NodeValue& properties) override;
    // Refuses a level below 1 or no goal, among the other values out of their range.
    void loadProperties(SavedValues& properties) override;
    // The goal bar.
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
    void onPibbleClicked(const GameEvent& event) override;
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

    // The chance after the move's removals: up by the delta of 3 to 6 removed, back to the start from 7
    // on, never below the minimum; a move of fewer than 3 leaves it.
    void applyMoveToChance();

    std::int32_t getLevelNr() const { return levelNr; }
    std::int32_t getNumPibbles() const { return numPibbles; }
    std::int32_t getNumPibblesGoal() const { return numPibblesGoal; }
    std::int32_t getChanceValueMinimum() const { return chanceValueMinimum; }
    std::int32_t getChanceValueCurrent() const { return chanceValueCurrent; }
    std::int32_t getChanceValueStart() const { return chanceValueStart; }
    std::int32_t getChanceDelta(std::int32_t removed) const;
    bool isMovePending() const { return movePending; }
    std::int32_t getRemovedByMove() const { return removedByMove; }
    bool isGoalHintPending() const { return goalHintPending; }
    bool isSecondStubbornHintPending() const { return secondStubbornHintPending; }

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void applyEndedMove();
    void startNewGame();
    // Reads the level's tuning row and gives its colour count; a level the table lacks keeps the values as
    // they are and the colours given.
    std::int32_t readTuning(std::int32_t colours);

    std::int32_t chanceValueMinimum = 0;
    std::int32_t chanceValueCurrent = 0;
    std::int32_t chanceValueStart = 0;
    std::int32_t chanceDelta3 = 0;
    std::int32_t chanceDelta4 = 0;
    std::int32_t chanceDelta5 = 0;
    std::int32_t chanceDelta6 = 0;
    std::int32_t numPibbles = 0;
    std::int32_t numPibblesGoal = 0;
    std::int32_t levelNr = 1;
    bool movePending = false;
    // Replaced by a move's first removal only: a move without one applies the last move's count again.
    std::int32_t removedByMove = 0;
    bool goalHintPending = true;
    bool secondStubbornHintPending = true;
};

} // namespace game
