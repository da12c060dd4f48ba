#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "game/field/GameEventListener.h"
#include "game/foundation/PibbleScene.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class Button;
class GameNode;
class Label;
class Sprite;
} // namespace ui

namespace game {

class LevelFile;
class Pibble;
class PlayField;
class SavedValues;

// The scene a level is played in, and the frame the three modes fill: it owns the field while it is
// current and hears its game events (sounds, hints, floaters, particles, the profile's counters, the level's
// start and end), counts the score up on its label, keeps the time bar and the hint, pause and menu
// buttons, and each frame asks its mode whether the level is won or lost. The modes override the virtual
// operations below and call these first.
class PlayScene : public PibbleScene, public GameEventListener {
public:
    explicit PlayScene(kernel::NodeValue& settings);
    ~PlayScene() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    // Once, at the first entry: the components, the buttons' callbacks and the two rectangles of the combo
    // signs.
    void load() override;
    // The field is made, the mode starts its game, the music plays, and the level begins with READY (after
    // the rules page the first time a player plays the mode).
    void onEnter() override;
    void onLeave() override;
    // Pause, buttons, the counters, play time, the won or lost test and the particles.
    void onUpdate(std::uint32_t elapsedMs) override;

    std::int32_t playingMode() const override { return gameMode; }
    void flushPlayTime() override;

    // Saved games. The scene's values of a saved game ("score", "difficulty"); the modes add theirs after.
    // Each value is read with the range the game writes it in; one outside it leaves the save unplayed.
    void saveProperties(kernel::NodeValue& properties) override;
    virtual void loadProperties(SavedValues& properties);
    // The current player's game of this mode: the field's position at rest (or at the start of the move
    // in progress) with the values above, written whole or not at all.
    void saveGame() override;
    bool gameSaveFailed() const override { return saveFailed; }
    // Reads the current player's saved game of this mode into the field. A save that cannot be read whole,
    // lacks a part of a level or holds a value the game never writes gives false: the mode then starts a
    // new game, and the file stays until the next save, with a copy of it kept beside it.
    bool loadGame();
    static bool savegameExists(const std::string& playerName, std::int32_t mode);

    // Closing the window asks first (one question at a time); yes keeps what the game's state allows and
    // quits, after the move in progress has ended.
    void onCloseRequest() override;
    static void confirmQuit(void* scene, ui::GameNode* sender);
    // The system's request to end the program: the game is kept as a yes to the question keeps it.
    void onEndRequest() override;
    // The menu's way back: a game saved while a move ran is saved again once the move has ended, or kept as
    // for the level's end that the move brought.
    void leaveGame(void (*step)()) override;
    // A move runs from its click until the field is idle again (a wrong move's pibbles may still jump back
    // then: the board stands as before the click).
    bool moveInProgress() const;
    // The level is over and its end not yet told.
    bool levelEndUntold() const;
    // The game is being left once the move in progress has ended.
    bool isLeavingAfterMove() const { return pendingLeave.step != nullptr; }
    // A finished level carried on at quit: the mode's values moved to its next level, which is returned
    // loaded; null when the game is complete or there is none.
    virtual LevelFile* advanceLevelForQuit() { return nullptr; }
    // The level-end dialog has been answered and the mode is on its way to the level it leads to: a leave
    // waits for that level.
    virtual bool changingLevel() const { return false; }

    // The modes' operations.
    virtual bool isLevelWon();
    virtual bool isLevelLost();
    virtual void finishVibLevel() {}
    virtual void replayVibLevel() {}
    virtual void updateScore(std::uint32_t elapsedMs);
    virtual void updateMode(std::uint32_t /*elapsedMs*/) {}
    // Pauses the field while a dialog is shown and resumes it when none is.
    virtual void syncPause();
    // Enables the buttons by the field's state and the difficulty.
    virtual void updateButtons();
    virtual void updateLevelLabel() {}
    virtual void updateHintState() {}
    // The level's statistics record, handed to the session record.
    virtual void writeStatistics(kernel::NodeValue& record);
    // Back to the values of a new game.
    virtual void reset();
    // Starts a new game or continues the saved one, by the start kind.
    virtual void start() {}
    virtual void createField();
    virtual void destroyField();

    // The field is still and taking (or past) clicks: not paused or frozen, nothing running, idle or over,
    // and no rescan waiting.
    bool fieldAtRest() const;
    // Shows the hint text pointing at the pibble, unless the photo runs, the player turned hints or this
    // hint off, a dialog is open or the field does not announce yet.
    void showHint(const std::string& key, Pibble* pibble);

    // The game events.
    void onPaused(const GameEvent& event) override;
    void onFrozen(const GameEvent& event) override;
    void onResumed(const GameEvent& event) override;
    void onReady(const GameEvent& event) override;
    void onGo(const GameEvent& event) override;
    void onLevelFinished(const GameEvent& event) override;
    void onLevelFailed(const GameEvent& event) override;
    void onPibbleClicked(const GameEvent& event) override;
    void onQueueClicked(const GameEvent& event) override;
    void onClownClicked(const GameEvent& event) override;
    void onPartyClicked(const GameEvent& event) override;
    void onStubbornClicked(const GameEvent& event) override;
    void onChainedClicked(const GameEvent& event) override;
    void onCollectableClicked(const GameEvent& event) override;
    void onClownAppeared(const GameEvent& event) override;
    void onPartyAppeared(const GameEvent& event) override;
    void onStubbornAppeared(const GameEvent& event) override;
    void onChainedAppeared(const GameEvent& event) override;
    void onCollectableAppeared(const GameEvent& event) override;
    void onUnhappyAppeared(const GameEvent& event) override;
    void onMatch(const GameEvent& event) override;
    void onPartyPoints(const GameEvent& event) override;
    void onHintUsed(const GameEvent& event) override;
    void onHintAvailable(const GameEvent& event) override;

    // The photograph of a collectable a match removed: the field freezes and the buttons do nothing until
    // the photo has flown into the album opened on the collectable's page, and the collectable is claimed.
    void onCollectableTaken(const GameEvent& match);
    void onCollectablePhoto(std::int32_t collectableId);
    static void onPhotoDone(void* scene, ui::GameNode* node);

    // The typed codes: the level's end as the field's own end event would tell it, told once (after the
    // move in progress); the collectable's photograph; a party pibble made on the idle field.
    bool playsLevel() const override { return true; }
    void finishLevelNow() override;
    void failLevelNow() override;
    void takeCollectablePhoto(std::int32_t collectableId) override { onCollectablePhoto(collectableId); }
    void makeRandomPartyPibble() override;

    // Widget and floater callbacks; the receiver is the scene.
    static void onHintButton(void* scene, ui::GameNode* sender);
    static void onPauseButton(void* scene, ui::GameNode* sender);
    static void onMenuButton(void* scene, ui::GameNode* sender);
    static void onReadyFloaterDone(void* scene, ui::GameNode* node);
    static void onGoFloaterDone(void* scene, ui::GameNode* node);

    // For the modes, the dialogs and tests.
    PlayField* getField() const;
    ui::GameNode* getParticleLayer() const { return particleLayer.get(); }
    std::int32_t getScoreShown() const { return scoreShown; }
    std::int32_t getScoreTarget() const { return scoreTarget; }
    bool isScoreCounting() const { return scoreCounting; }
    void setScoreCounting(bool value) { scoreCounting = value; }
    std::int32_t getPlayMs() const { return playMs; }
    std::int32_t getEndWaitMs() const { return endWaitMs; }
    bool isLevelEndSent() const { return levelEndSent; }
    bool isGameOver() const { return gameOver; }
    bool isHintPenaltyRunning() const { return hintPenaltyRunning; }
    bool isHintUsedThisGame() const { return hintUsedThisGame; }
    bool isHintEnabled() const { return hintEnabled; }
    void setHintEnabled(bool value) { hintEnabled = value; }
    bool isInputBlocked() const { return inputBlocked; }
    void setInputBlocked(bool value) { inputBlocked = value; }
    std::int32_t getGameMode() const { return gameMode; }
    const kernel::Rect& getRectComboOut() const { return rectComboOut; }
    const kernel::Rect& getRectComboIn() const { return rectComboIn; }
    // The lowest edge of the widgets along the top (the score and level labels, the buttons): pibbles
    // falling onto the field or jumping off it pass behind it.
    int getTopBarBottom() const { return topBarBottom; }
    // Where the sign floaters stay whole: the screen below the top bar.
    const kernel::Rect& getFloaterArea() const { return floaterArea; }
    std::size_t particleTotal() const { return particleNodes.size(); }
    ui::Button* getHintButton() const { return hintButton; }
    ui::Button* getPauseButton() const { return pauseButton; }
    ui::Button* getMenuButton() const { return menuButton; }
    ui::Label* getScoreLabel() const { return scoreLabel; }
    ui::Label* getLevelLabel() const { return levelLabel; }
    ui::Sprite* getHintBlock() const { return hintBlock; }
    ui::Sprite* getTimeBar() const { return timeBar; }
    ui::Sprite* getTimeBarDark() const { return timeBarDark; }

    static constexpr kernel::ClassInfo classInfo{&PibbleScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // The per-level values the modes share: a VIB timer and flag.
    std::int32_t modeTimerMs = 0;
    bool modeFlag = false;
    // 0 VIB, 1 ACTION, 2 RELAX; each mode sets it before the scene is entered.
    std::int32_t gameMode = gameModeNone;
    bool hintEnabled = false;

    // The game has ended (lost, the course done, or a new game chosen over it): its save goes, and no failed
    // save is left to tell of.
    void deleteSavedGame();

private:
    void findComponents();
    void readRectangles();
    void measureTopBar();
    void startMusic();
    void openRulesOrAnnounce();
    void checkLevelEnd(std::uint32_t elapsedMs);
    void moveParticles();
    void clearParticles();
    void burstParticles(const GameEvent& match);
    void showComboSign(const GameEvent& match);
    void countMatchForPlayer(const GameEvent& match);
    void fadeMusicOut();
    void endLevel();
    void endLevelByCode(std::int32_t end);
    void tellCodedEnd();
    // Once per player: the hint, then the seen flag whether or not the hint was shown.
    void showFirstSighting(const std::string& key, Pibble* pibble, std::int32_t sighting);
    void writeCollectables(kernel::NodeValue& record);
    // What a leave keeps of the game, and the step it then takes (behind the failed-save notice).
    using Keep = void (PlayScene::*)();
    void leaveAfterMove(Keep keep, void (*step)(), bool unattended = false);
    void awaitMoveEnd(std::uint32_t elapsedMs);
    void runMoveWithoutInput();
    bool fieldSettling() const;
    void takePendingLeave();
    void keepGameForQuit();
    void keepMoveEnd();
    void keepLevelEnd();
    bool buttonsBlocked() const { return inputBlocked || isLeavingAfterMove(); }

    kernel::SmartPtr<ui::GameNode> particleLayer;
    ui::Label* debugLabel = nullptr;
    ui::Label* debugShadowLabel = nullptr;
    ui::Button* hintButton = nullptr;
    ui::Button* pauseButton = nullptr;
    ui::Button* menuButton = nullptr;
    ui::Label* scoreLabel = nullptr;
    ui::Label* levelLabel = nullptr;
    std::int32_t scoreTarget = 0;
    std::int32_t scoreShown = 0;
    bool scoreCounting = true;
    ui::Sprite* hintBlock = nullptr;
    ui::Sprite* timeBar = nullptr;
    ui::Sprite* timeBarDark = nullptr;
    std::int32_t endWaitMs = 0;
    bool hintPenaltyRunning = false;
    bool hintUsedThisGame = false;
    bool inputBlocked = false;
    // The last save of the game in progress did not reach the disk.
    bool saveFailed = false;
    // The last save was made while a move ran, so it holds the position at the move's start.
    bool savedMoveStart = false;
    // A leave waiting for the move in progress to end, and how long it has waited.
    struct PendingLeave {
        Keep keep = nullptr;
        void (*step)() = nullptr;
        std::int64_t waitedMs = 0;
        // Nobody answers a notice: the step is taken at once.
        bool unattended = false;
        // A move ran when the leave was asked for, or had just ended with its possible moves not yet counted.
        bool afterMove = false;
    };
    PendingLeave pendingLeave;
    bool levelEndSent = false;
    // A level of this game has had its GO since the scene was entered.
    bool played = false;
    // The level's end a code asked for while a move ran (the event type), told once the move has ended.
    std::int32_t codedEnd = 0;
    bool gameOver = false;
    std::int32_t playMs = 0;
    std::vector<kernel::SmartPtr<ui::Sprite>> particleNodes;
    std::vector<graphics::PointF> particlePositions;
    std::vector<graphics::PointF> particleVelocities;
    kernel::Rect rectComboOut;
    kernel::Rect rectComboIn;
    int topBarBottom = 0;
    kernel::Rect floaterArea;
};

} // namespace game
