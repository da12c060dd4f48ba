#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/play/PlayScene.h"

#include <cstdint>
#include <functional>

namespace ui {
class Sprite;
}

namespace game {

// The play scene of the VIB mode: a course of 10 chapters of 7 levels, each level a file of the catalogue
// played against the field's clock. A level is won when no VIB pibble is left and lost when the clock has
// run out. A won level leads to the next through a fade to black, the last of a chapter to the progress map
// and the last of all to the game's end; a lost level can be tried again or ends the game.
class PlaySceneVIB : public PlayScene {
public:
    static constexpr std::int32_t chapterCount = 10;
    static constexpr std::int32_t levelsPerChapter = 7;
    // The reminders and the VIB hint explain the game in chapter 1 up to these levels.
    static constexpr std::int32_t lastRemindedLevel = 5;
    static constexpr std::int32_t lastVibHintLevel = 5;
    // The VIB hint comes with this match of a visit.
    static constexpr std::int32_t vibHintMatch = 3;
    // Each way of the fade between two levels (ms).
    static constexpr int fadeMs = 450;

    explicit PlaySceneVIB(kernel::NodeValue& settings);

    static kernel::Object* createInstance(kernel::Value& settings);

    // A new game starts in the best chapter the player reached at the difficulty; from chapter 2 on the
    // progress map opens first and lets the player choose.
    void onEnter() override;
    void onLeave() override;

    bool isLevelWon() override;
    bool isLevelLost() override;
    // One level on: the next of the chapter at once, or the map, or the game's end.
    void finishVibLevel() override;
    // One level back, the score kept; level 1 stays.
    void replayVibLevel() override;
    // The scene's values, then "chapterNr", "levelNr" and the clock in seconds ("time", "timeleft"), as
    // the level reader reads them.
    void saveProperties(kernel::NodeValue& properties) override;
    // The chapter and level; the clock comes back with the saved field. Refuses a chapter outside 1..10, a
    // level outside 1..7 and a clock without time or past its end: such a level would be lost at once.
    void loadProperties(SavedValues& properties) override;
    // The hint button's rest, the clock bar and the clock's sounds.
    void updateMode(std::uint32_t elapsedMs) override;
    // "chapter.level".
    void updateLevelLabel() override;
    void updateHintState() override;
    void writeStatistics(kernel::NodeValue& record) override;
    void reset() override;
    // A new game at the chapter and level set, or the saved one (a save that cannot make a game starts a
    // new one).
    void start() override;

    void onLevelFinished(const GameEvent& event) override;
    void onLevelFailed(const GameEvent& event) override;
    void onIdleReminder(const GameEvent& event) override;
    void onNoMatchReminder(const GameEvent& event) override;
    void onQueueClicked(const GameEvent& event) override;
    void onStubbornAppeared(const GameEvent& event) override;
    void onMatch(const GameEvent& event) override;
    void onHintUsed(const GameEvent& event) override;
    void onHintAvailable(const GameEvent& event) override;

    // The level-end dialog's choices. After a won level: at level 7 the next step at once, else through a
    // fade to black and back. After a lost level: the same level afresh through the fade, or the end of
    // the game.
    void advanceWithFade() override;
    void retryLevelWithFade() override;
    // The won level's box closes and the course moves on one level.
    void gameFinished();
    // The lost level is saved afresh with no score for a later continue; then the album at the highscore
    // page when the score entered the table, else the selection scene.
    void gameOver();
    void gameFinishedForMode() override { gameFinished(); }
    void gameFailedForMode() override { gameOver(); }
    // One level on with the progress raised; after the last level the highscore "10.7" and no saved game.
    LevelFile* advanceLevelForQuit() override;
    // The fade to the next level (or to the lost level again) runs.
    bool changingLevel() const override { return fadeOverlay.get() != nullptr; }

    std::int32_t getChapterNr() const { return chapterNr; }
    void setChapterNr(std::int32_t value) { chapterNr = value; }
    std::int32_t getLevelNr() const { return levelNr; }
    void setLevelNr(std::int32_t value) { levelNr = value; }
    // The chapter map starts a chapter.
    void setVibChapterAndLevel(std::int32_t chapter, std::int32_t level) override;
    std::int32_t getVibHintCounter() const { return vibHintCounter; }
    std::int32_t getHintWaitMs() const { return hintWaitMs; }
    // The black overlay of a running fade; null when none runs.
    ui::Sprite* getFadeOverlay() const { return fadeOverlay.get(); }

    static constexpr kernel::ClassInfo classInfo{&PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    using Step = std::function<void(PlaySceneVIB&)>;

    // The best chapter the player reached at the difficulty, within 1..10; chapter 1 before a continued
    // game has read its difficulty.
    std::int32_t chapterReached() const;
    void startNewGame();
    // The chapter's level for the difficulty on a restarted field, with the score given.
    void loadLevel(std::int32_t score);
    // One level on, into the next chapter after a chapter's last; the player's progress follows (newChapter:
    // the chapter is reached for the first time). False once past the last chapter.
    bool stepToNextLevel(bool& newChapter);
    void raiseProgress(bool& newChapter);
    void endCourse(bool unlockedBefore);
    // The finished course's highscore; no saved game is left to continue.
    void recordCourseEnd();
    void addHighscore(const std::string& levelText);
    void showVibHint(const GameEvent& match);
    Pibble* randomVibPibble() const;
    void clipClockBar();
    void playClockSounds(std::uint32_t elapsedMs);
    bool remindsHere() const;
    // The black overlay fades in, runs the step, fades out and runs the end step, then goes.
    void fadeThroughBlack(Step atBlack, Step atEnd);
    void dropFadeOverlay();

    std::int32_t chapterNr = 1;
    std::int32_t levelNr = 1;
    // Matches counted toward the VIB hint; the largest value once the hint was shown.
    std::int32_t vibHintCounter = 0;
    // Since the last hint, or since the scene was entered.
    std::int32_t hintWaitMs = 0;
    kernel::SmartPtr<ui::Sprite> fadeOverlay;
};

} // namespace game
