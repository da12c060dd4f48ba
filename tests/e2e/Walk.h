#pragma once
// The player's hands and eyes on a running game: every step presses what the screen shows (a button found
// by its picture, in its enabled state) and waits, taking screenshots, for what the press should bring.
// Nothing waits a fixed time: each wait is a probe with a time-out in the time the game could run, and a
// wait that runs out fails, naming what it waited for and keeping the last screen it saw.

#include "GameData.h"
#include "GameProcess.h"
#include "SavedFiles.h"
#include "Screenshot.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace e2e {

// One of the three modes as the walk plays it.
struct Mode {
    std::string name;       // as the messages say it
    std::string button;     // on the selection scene
    std::string scene;      // the play scene's declaration
    std::string saveFolder; // of the player's saved games
    std::string seenKey;    // the profile's how-to-play flag
    LevelGrid firstLevel;   // where its pibbles stand when it starts
};

class Walk {
public:
    using Probe = std::function<bool(const Screenshot&)>;

    Walk(Game& game, unsigned long window, Rect picture, Declarations& data, Expectations expected,
         std::filesystem::path scratch);

    // The last screen seen, kept in the file when a wait runs out.
    void keepLastScreenIn(std::filesystem::path file) { failureScreen = std::move(file); }

    // Loading ends with the bar full; the full-screen question that a first start in a window asks then
    // is answered "no". Fails when the question is asked where it is not expected.
    void waitForLoadingToFinish(bool questionExpected);
    // A click on the finished loading scene.
    void leaveLoadingScene();
    void pageThroughStrip();
    void createProfile(const std::string& name);
    void waitForSelectionScene();

    // From the selection scene into the mode: a new game up to its how-to-play page, or, with a saved
    // game, yes to continuing it. Ends with the level being played.
    void startNewGame(const Mode& mode);
    void continueSavedGame(const Mode& mode);
    // Clicks plain pibbles until a few clicks are made and the level has been played over a second.
    void clickPibbles(const Mode& mode);
    // Until the pibbles have come to rest (the hand shows over a plain pibble); the pointer then leaves
    // the field, so no pibble turns to look at it.
    void waitForFieldAtRest(const Mode& mode);
    // The game's own bot (PIBBLES_BOT) plays on for the seconds given, counted while the level is shown;
    // what it leaves to a player (a message, the album) is answered here.
    void letTheBotPlay(const Mode& mode, int seconds);
    // The bot plays on until done holds for the game's output (the bot's lines in it), and done may act at
    // once: the output is read every few milliseconds, so that a moment of play (a move under way, the field
    // at rest) is caught as it comes, the screen only now and then, for what the bot leaves to a player.
    void followTheBot(const std::string& what, const std::function<bool(const std::string& output)>& done);
    // Types the code that wins the level, also while a move runs, and waits through the level-end dialog
    // into the next level.
    void winLevelWithCode(const Mode& mode);
    // Menu, main menu, yes: back on the selection scene. Fails when the game was lost on the way.
    void leaveThroughMenu(const Mode& mode);
    // Opens the album, turns to the ACTION highscores from the contents and closes the album again.
    void visitAlbum();
    // Quit on the selection scene and yes: the game ends.
    void leaveGame();

    // The level the mode's game has come to: 1 and one more for each level won, by the code or, now and
    // then, by the clicks themselves.
    int levelReached(const Mode& mode) const;

private:
    Screenshot screenshot() const;
    // Fails naming what it waited for, also when the game ends first (unless the probe holds then); a
    // failure, the probe's own too, keeps the last screen. With asides answered, what play shows on its own
    // over the field (a hint, a collectable's album page) is closed as a player would close it.
    Screenshot waitFor(const std::string& what, int seconds, const Probe& done, bool answerAsides = false);
    // Clicks the button once it shows enabled and waits for what the press brings; a press that went
    // nowhere (an aside took it) is made again after a while.
    void press(const std::string& what, const Picture& button, const Probe& done, int seconds,
               bool answerAsides = false);
    void answerAside(const Screenshot& shot);
    // Where the failure screen was written, as a failure's message tells it; empty when it was not.
    std::string keepLastScreen() const;
    // The hand, not the arrow: the field waits for a click, and a plain pibble is under the pointer.
    bool handOverPibble() const;
    void pointOffField(const Mode& mode);
    void noteLevelEnd(const Screenshot& shot, const Mode& mode);
    // The upper half of the scene's disabled menu button: a hint left open over the field covers the rest.
    const Picture& disabledMenuTop(const Mode& mode);

    std::optional<Point> enabledAt(const Screenshot& shot, const Picture& button) const;
    bool shows(const Screenshot& shot, const Picture& art, int frame = 0) const;
    bool selectionShown(const Screenshot& shot) const;
    // The mode's level is being played: its menu button is enabled.
    bool playing(const Screenshot& shot, const Mode& mode);

    Game& game;
    unsigned long window;
    Rect picture;
    Declarations& data;
    Expectations expected;
    std::filesystem::path scratch;
    std::filesystem::path failureScreen;
    kernel::SmartPtr<graphics::MemoryImage32> selectionBackground;
    Screenshot lastShot;
    std::optional<std::chrono::steady_clock::time_point> lastAsideAnswer;
    std::map<std::string, int> levelsWon;
    std::map<std::string, Picture> menuTops;
    bool levelEnding = false;
    unsigned long arrowShape = 0;
};

} // namespace e2e
