// Plays the assembled game in a virtual X server as a player would, then looks at what the game wrote and
// left. The first start: the loading scene (a second copy started meanwhile must bring the covered game to
// the front and end at once), on a first start in a window the full-screen question answered "no", the
// comic strip paged through, a name typed into the profile dialog; then for each mode of the walk: play
// on the how-to-play page, a few clicks on pibbles, the level won with the typed code, the level-end
// dialog continuing into the next level, and out through menu, main menu and yes. The full walk also
// opens the album, turns to a page from its contents and closes it. Quit and yes end the game. The RELAX
// walk instead ends the game with SIGTERM as soon as its next level is played, as a
// shutdown or a kill would: no question, the game kept as a yes to "Stop playing?" keeps it. Before its
// first start, the RELAX walk starts the game where no display can be reached: it must say why and fail at
// once, holding nothing.
//
// Checked then: exit code 0, no lock file left, the profile's how-to-play flags and seconds played, a
// saved game for each mode played (its level the one after the won level), the scores file, one playing
// session per mode in the session record. The full walk starts the game again and continues the ACTION
// save: the field stands as it was saved (its grids, compared as values; pixels would not do, idle pibbles
// blink at random). The RELAX walk then plays its save on with the game's bot on X servers of its own and
// ends each server, as a logout ends it, or breaks the game's connections to it where the game writes to
// it or waits for it (see endDisplaysDuringPlay), and at last continues the save as the full walk does.
//
// With --close-tries N the game is then started N times more, a few copies at a time in folders of their
// own, and closed each time at a random moment, from its first frames to its running loop, with a sound
// device that never blocks (ALSA's null device), so that SDL's audio thread spins beside the frame loop;
// the game must end every time. Every fourth try of a copy starts with a profile instead: it clicks the
// finished loading scene, clicks again on the fading picture where the selection scene's VIB button is
// coming (as an impatient player does), and closes 0.3 to 3 s after the first click, while the selection
// scene takes over: the game must end, the second click must start no mode, and most first clicks must have
// led on to the selection scene before the close. The walk "none" makes only these tries.
//
// The walk "bot" makes the first start and then lets the game's own bot play each mode for a while and wins
// a level with the code (the level-end dialog and its carrot, the next level's start), all with the frame
// check on (PIBBLES_CHECK_FRAMES): every frame is drawn again whole, and one that differs from what
// the partial redraws drew or the window shows fails the run.
//
// With --box-tries N (not in the tests' own runs: tests/e2e/stress-error-box runs it) the start of the RELAX
// walk's row "while an error box showed" is made N times more, a few copies at a time, each in a folder and
// on an X server of its own, counting the boxes shown, the exits with 0 after the server's end and the
// processes left running.
//
// Usage: e2e_driver <run tree> [--walk full|vib|action|relax|bot|none] [--close-tries N] [--box-tries N].
// Exit code 0 passed, 1 failed, 77 skipped (the game's pieces this needs are not all there yet; the message
// says which).

#include "DisplayRelay.h"
#include "ErrorBox.h"
#include "GameData.h"
#include "GameProcess.h"
#include "SavedFiles.h"
#include "Walk.h"
#include "XClient.h"

#include "engine/kernel/ZipArchive.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

constexpr int skippedCode = 77;
// The closes of --close-tries come up to this long after the window appeared: from the first frames
// through loading into the running loop.
constexpr int closeMomentsMs = 2000;
// Copies closed at the same time, each in a folder of its own, so that enough tries to catch a fault of a
// few percent fit in a short run.
constexpr int closeSlots = 4;
// Of each copy's tries, every this many-th starts with a profile and leaves the loading scene.
constexpr int warmStartEvery = 4;
// Those are closed this long after the click that leaves the loading scene: from the fade into the
// selection scene to the selection scene at rest.
constexpr int warmCloseFromMs = 300;
constexpr int warmCloseToMs = 3000;
// The impatient second click comes while the fade runs, once the loading scene has handed over.
constexpr int secondClickMs = 450;
// The profile of a warm start names a game that ran when the game last ended (ACTION, with no save left,
// so none is offered): the selection scene clears that, so the saved profile tells that it took over.
constexpr int continuedMode = 1;
constexpr int noContinuedMode = -1;

constexpr const char* playerName = "Tester";
// The walk whose game is ended by the system's request (SIGTERM) while its level is played, in place of the
// menu's way back and the quit: the game is kept as a yes to "Stop playing?" keeps it, and the program exits.
constexpr const char* endedBySignal = "relax";
// How long the bot plays each mode on the frame check's walk, counted while the level is shown.
constexpr int botSeconds = 4;

// The loading scene runs at 5 frames a second until loading is done and at 60 after: ten frames begun
// within half a second in the frame-time file show it done. The file is written once a second.
bool loadingDoneIn(const fs::path& frameTimes) {
    std::ifstream file(frameTimes);
    std::vector<double> starts;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string kind;
        double start = 0;
        if (words >> kind >> start && kind == "frame") {
            starts.push_back(start);
        }
    }
    constexpr std::size_t frames = 10;
    for (std::size_t last = frames - 1; last < starts.size(); ++last) {
        if (starts[last] - starts[last - (frames - 1)] < 0.5) {
            return true;
        }
    }
    return false;
}

struct Options {
    fs::path runTree;
    std::string walk = "full";
    int closeTries = 0;
    int boxTries = 0;
};

Options readOptions(int argc, char** argv) {
    if (argc < 2) {
        fail("usage: e2e_driver <run tree> [--walk full|vib|action|relax|bot|none] [--close-tries N] "
             "[--box-tries N]");
    }
    Options options;
    options.runTree = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--walk") {
            options.walk = argv[i + 1];
        } else if (option == "--close-tries") {
            options.closeTries = std::atoi(argv[i + 1]);
        } else if (option == "--box-tries") {
            options.boxTries = std::atoi(argv[i + 1]);
        } else {
            fail("unknown option " + option);
        }
    }
    if (argc % 2 != 0) {
        fail("an option without its value");
    }
    return options;
}

// The three modes in the order the full walk plays them.
std::vector<Mode> allModes(const fs::path& runTree) {
    return {
        {"VIB", "BUTTON_VIB", "SCENE_PLAY_VIB", "vib", "seenHowToPlayVIB",
         readLevel(vibLevelFile(runTree, 1, 1))},
        {"ACTION", "BUTTON_ACTION", "SCENE_PLAY_ACTION", "action", "seenHowToPlayAction",
         readLevel(runTree / "media/levels/level_action.xml")},
        {"RELAX", "BUTTON_RELAX", "SCENE_PLAY_RELAX", "relax", "seenHowToPlayRelax",
         readLevel(runTree / "media/levels/level_relax.xml")},
    };
}

// All three on the full walk and the bot's, else the one named.
std::vector<Mode> walkedModes(const std::vector<Mode>& all, const std::string& walk) {
    if (walk == "full" || walk == "bot") {
        return all;
    }
    if (walk == "none") {
        return {};
    }
    for (const Mode& mode : all) {
        if (mode.saveFolder == walk) {
            return {mode};
        }
    }
    fail("no walk named \"" + walk + "\"");
}

// The X screen's width and height.
std::pair<int, int> screenSize() {
    std::istringstream size(capture("xdotool getdisplaygeometry"));
    std::pair<int, int> widthAndHeight{0, 0};
    size >> widthAndHeight.first >> widthAndHeight.second;
    return widthAndHeight;
}

bool onFullScreenDesktop() {
    const auto [width, height] = screenSize();
    return width <= gameWidth && height <= gameHeight;
}

class Run {
public:
    Run(Options options, Expectations expected)
        : options(std::move(options)), expected(std::move(expected)), data(this->options.runTree),
          everyMode(allModes(this->options.runTree)), modes(walkedModes(everyMode, this->options.walk)),
          fullScreen(onFullScreenDesktop()) {
        char pattern[] = "/tmp/pibbles-e2e-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            fail("cannot make a temporary folder");
        }
        scratch = pattern;
        game = scratch / "run";
        failureScreen =
            fs::current_path() / ("e2e-" + this->options.walk + (fullScreen ? "-fullscreen" : "-window") +
                                  (std::getenv("PIBBLES_DEPTH") ? "-16bit" : "") + "-last-screen.ppm");
    }
    // PIBBLES_E2E_KEEP=1 keeps the game's folder, with everything it wrote, for a look after a failure.
    ~Run() {
        if (std::getenv("PIBBLES_E2E_KEEP") != nullptr) {
            std::printf("kept %s\n", scratch.c_str());
            return;
        }
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void play() {
        prepareFolders();
        if (options.walk == "bot") {
            firstStart();
            return;
        }
        if (options.walk == endedBySignal) {
            startWithoutDisplay();
        }
        if (options.walk != "none") {
            firstStart();
            checkFilesOfFirstStart();
        }
        if (options.walk == "full") {
            continueSaveWhole(everyMode.at(1), modes.size());
        }
        if (options.walk == endedBySignal) {
            continueSaveWhole(everyMode.at(2), endDisplaysDuringPlay());
        }
        closeAtRandomMoments();
        showErrorBoxes(options.runTree, scratch, options.boxTries);
    }

    std::string logs() const {
        std::vector<fs::path> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
            if (entry.path().extension() == ".log") {
                found.push_back(entry.path());
            }
        }
        std::sort(found.begin(), found.end());
        std::string all;
        for (const fs::path& log : found) {
            all += "--- " + log.filename().string() + "\n" + readFile(log);
        }
        return all;
    }

private:
    // A copy of the run tree, so the game writes its players, saves, log and session record where nothing
    // else looks, and settings and locks of its own. No profile: this is the game's first start.
    // A desktop session names its session bus; with none named, the display library would fork the game to
    // start one while the game's other threads run, and under the sanitizers such a child can hang for good.
    // A bus that cannot be reached is looked for and given up at once.
    void prepareFolders() {
        copyGameInto(options.runTree, scratch);
        ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (scratch / "runtime").c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (scratch / "no-session-bus").string()).c_str(),
                 1);
        ::setenv("SDL_VIDEODRIVER", "x11", 1);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", (scratch / "audio.raw").c_str(), 1);
    }

    Walk walkOn(Game& copy, unsigned long window) {
        Walk walk(copy, window, pictureOf(window), data, expected, scratch);
        walk.keepLastScreenIn(failureScreen);
        return walk;
    }

    // On the bot's walk, each mode is played by the game's own bot for a while instead of clicked, with
    // every frame drawn again whole and compared with what the partial redraws drew and the window shows:
    // a frame that differs anywhere fails the run.
    void firstStart() {
        const bool bot = options.walk == "bot";
        Environment environment;
        if (bot) {
            // A folder named by the caller's PIBBLES_CHECK_FRAMES keeps the pictures of the frames that
            // differed.
            const char* keep = std::getenv("PIBBLES_CHECK_FRAMES");
            environment = {{"PIBBLES_BOT", "7"},
                           {"PIBBLES_CHECK_FRAMES", keep != nullptr && *keep != '\0' ? keep : "1"}};
        }
        Game first(game, scratch / "first.log", environment);
        const unsigned long window = waitForWindow(first);
        Walk walk = walkOn(first, window);
        walk.waitForLoadingToFinish(!fullScreen);
        if (!bot) {
            startSecondCopy(first, window, pictureOf(window));
        }
        walk.leaveLoadingScene();
        walk.pageThroughStrip();
        walk.createProfile(playerName);
        walk.waitForSelectionScene();
        for (const Mode& mode : modes) {
            walk.startNewGame(mode);
            if (bot) {
                walk.letTheBotPlay(mode, botSeconds);
            } else {
                walk.clickPibbles(mode);
            }
            walk.winLevelWithCode(mode);
            if (options.walk != endedBySignal) {
                walk.leaveThroughMenu(mode);
            }
            levelReached[mode.saveFolder] = walk.levelReached(mode);
        }
        if (options.walk == "full") {
            walk.visitAlbum();
        }
        if (options.walk == endedBySignal) {
            ::kill(first.process(), SIGTERM);
            checkCleanEnd(first, "on SIGTERM while the level was played");
        } else {
            walk.leaveGame();
            checkCleanEnd(first, "after quit and yes");
        }
        if (bot) {
            checkFramesMatched(first.output());
        }
    }

    static void checkFramesMatched(const std::string& output) {
        std::istringstream lines(output);
        std::string summary;
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("frame check: frame ")) {
                fail("a frame differed from its whole drawing: " + line);
            }
            if (line.starts_with("frame check: ")) {
                summary = line;
            }
        }
        int differed = -1;
        int checked = 0;
        if (std::sscanf(summary.c_str(), "frame check: %d of %d", &differed, &checked) != 2 || checked == 0 ||
            differed != 0) {
            fail("the frame check did not report its frames: \"" + summary + "\"");
        }
        progress("all " + std::to_string(checked) + " frames checked matched their whole drawing");
    }

    unsigned long waitForWindow(Game& copy) {
        std::vector<unsigned long> windows;
        copy.within(windowSeconds, [&] {
            windows = windowsTitled(expected.title, true);
            return !windows.empty() || !copy.running();
        });
        if (!windows.empty()) {
            progress("window \"" + expected.title + "\" open");
            return windows.front();
        }
        if (!copy.running() && copy.output().find("cannot be made") != std::string::npos) {
            throw Skip{"the game cannot make its scenes yet: " + copy.output()};
        }
        fail(copy.running() ? "no window titled \"" + expected.title + "\" appeared (" + copy.lastWait() + ")"
                            : "the game ended before its window appeared (" + copy.describeEnd() + ")");
    }

    // Started while the first copy runs, it must end at once, quietly and without a window of its own,
    // and bring the first copy's window to the front.
    void startSecondCopy(Game& first, unsigned long window, const Rect& picture) {
        const testsupport::CoveringWindow cover(picture.x, picture.y, gameWidth / 4, gameHeight / 4);
        if (!testsupport::isAbove(cover.id(), window)) {
            fail("cannot cover the game's window");
        }
        Game second(game, scratch / "second.log");
        if (!second.exitedWithin(exitSeconds)) {
            fail("a second copy did not end while the first runs (" + second.lastWait() + ")");
        }
        if (!second.exitedCleanly()) {
            fail("a second copy ended with " + second.describeEnd());
        }
        checkNoForkBesideThreads(second, "a second copy");
        const std::string said = second.output();
        if (said.find("Warning") != std::string::npos || said.find("Error") != std::string::npos) {
            fail("a second copy showed a message: " + said);
        }
        if (windowsTitled(expected.title) != std::vector<unsigned long>{window}) {
            fail("a second copy changed the game's windows");
        }
        if (!first.within(sceneSeconds,
                          [&] { return testsupport::isAbove(window, cover.id()) || !first.running(); })) {
            fail("a second copy did not bring the game's window to the front (" + first.lastWait() + ")");
        }
        progress("a second copy brought the game to the front and ended at once with exit code 0");
    }

    // Where DISPLAY names no X server (as over ssh without X forwarding) and no driver is asked for, the game
    // must neither run unseen nor hold its lock: it says why on stderr and in its log, and fails at once.
    void startWithoutDisplay() {
        const std::string display = ":" + std::to_string(unusedDisplayNumber());
        Game refused(game, scratch / "refused.log", {{"DISPLAY", display}, {"SDL_VIDEODRIVER", ""}});
        if (!refused.exitedWithin(exitSeconds)) {
            fail("a start without a display did not end (" + refused.lastWait() + ")");
        }
        std::string logged;
        for (const fs::directory_entry& entry : fs::directory_iterator(game / "log")) {
            logged += readFile(entry.path());
        }
        // On one line: the heading, what the display library said, and where the X server would have been.
        const auto tellsWhy = [&display](const std::string& text) {
            const std::string heading = "The display could not be started: ";
            const std::string where = " (no X server at DISPLAY \"" + display + "\" lets the game in)\n";
            const std::size_t start = text.find(heading);
            const std::size_t end = start == std::string::npos ? start : text.find(where, start);
            return end != std::string::npos && end > start + heading.size() &&
                   text.find('\n', start) == end + where.size() - 1;
        };
        if (refused.describeEnd() != "exit code 1" || !tellsWhy(refused.output()) || !tellsWhy(logged)) {
            fail("a start without a display ended with " + refused.describeEnd() + ", its log saying \"" +
                 logged + "\" and its output:\n" + refused.output());
        }
        checkNoForkBesideThreads(refused, "a start without a display");
        checkNoLockFilesLeft();
        progress("a start without a display said why and ended with " + refused.describeEnd());
    }

    // How a display ends: its server ends (with SIGTERM to the game at once; or while the game is stopped,
    // just after a property of the root window changed, as the desktop's programs change them as they quit;
    // or while the box of an error shows), or the relay breaks the game's connections at a request of its
    // start, stops reading from it in play, or breaks them at a request of a switch to full screen or back
    // (Alt+Enter) in play. Beside them, the box of an error is ended from outside (BoxEnd).
    enum class Ending {
        server,
        serverAndSigterm,
        serverAfterRootProperty,
        serverAtErrorBox,
        boxCopyTerminated,
        boxDrawingKilled,
        boxConnectionClosed,
        relayAtStart,
        relayStopsReading,
        relayAtSwitch
    };
    struct DisplayEnd {
        const char* how;
        Ending ending;
        // In play: a move under way, else the field at rest.
        bool moving;
        // Where the relay breaks the connections.
        int request;
        Start start = Start::byPath;
        bool atErrorBox() const {
            return ending >= Ending::serverAtErrorBox && ending <= Ending::boxConnectionClosed;
        }
        bool plays() const { return ending != Ending::relayAtStart && !atErrorBox(); }
        bool relayed() const { return ending >= Ending::relayAtStart; }
    };

    // The session ends with its display: a logout ends the X server, often before any signal reaches the
    // game, and a shutdown ends both at once. The RELAX save is continued on an X server of the walk's own
    // and played on by the game's bot, whose lines tell each move's start and the score its end came to;
    // then that server ends, at rest, during a move, and together with SIGTERM to the game during a move.
    // A relay between the game and the server (DisplayRelay) breaks the game's connections at the moments
    // where the game writes to the display or waits for it: during loading, as its first window is made and
    // before it watched any connection; as its first window is shown, which the display library waits for
    // the server to confirm; in play, by no longer reading, so that the game's next write fails as when the
    // server ends between its look and its write; and as the new window of a switch to full screen (or
    // back) is made and as it is shown. The server also ends with a root window's property changed just
    // before, which the game reads only together with the end, and while the box of an error at the start
    // shows, made by a copy of the game started for it (never a fork beside the game's threads), with the
    // game started by its path and through the dynamic loader (its output must not speak of the copy's
    // arguments, as the loader does when it is started in the copy's place); and that box's copy, then the
    // process that draws it, are ended from outside, and its connection is closed (endBoxFromOutside). Where
    // an error box shows, a stand-in zenity comes first on the game's PATH and must never run: the display
    // library tries it only where its own box failed. Each time
    // the game must exit with 0 within the walk's bound, without spinning meanwhile (checkNoSpinning), taking
    // the end for a failure of its own, forking beside its threads or leaving a lock file or a process
    // behind; where it played, its save must hold the score the last move came to, beyond
    // the save it continued (for a move, the move's end, which came after the display's), and where it did
    // not, the save must be untouched. Each next start continues that save.
    // The number of playing sessions recorded by then.
    std::size_t endDisplaysDuringPlay() {
        constexpr DisplayEnd ends[] = {
            {"when its display ended at rest", Ending::server, false, 0},
            {"when its display ended during a move", Ending::server, true, 0},
            {"when its display ended with SIGTERM during a move", Ending::serverAndSigterm, true, 0},
            {"when its connection broke during loading", Ending::relayAtStart, false, createWindowRequest},
            {"when its connection broke as its first window was shown", Ending::relayAtStart, false,
             mapWindowRequest},
            {"when its writes failed during a move", Ending::relayStopsReading, true, 0},
            {"when its connection broke as a full-screen switch's window was shown", Ending::relayAtSwitch,
             false, mapWindowRequest},
            {"when its connection broke as a full-screen switch's window was made", Ending::relayAtSwitch,
             false, createWindowRequest},
            {"when its display ended just after a root window's property changed",
             Ending::serverAfterRootProperty, false, 0},
            {"when its display ended while an error box showed", Ending::serverAtErrorBox, false, 0},
            {"when its display ended while an error box showed, started through the dynamic loader",
             Ending::serverAtErrorBox, false, 0, Start::throughLoader},
            {"when its error box's copy was ended with SIGTERM", Ending::boxCopyTerminated, false, 0},
            {"when the process drawing its error box was killed", Ending::boxDrawingKilled, false, 0},
            {"when its error box's connection was closed", Ending::boxConnectionClosed, false, 0},
        };
        const Mode& relax = everyMode.at(2);
        const auto [width, height] = screenSize();
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        constexpr int movesFirst = 2;
        std::size_t sessions = modes.size();
        for (const DisplayEnd& end : ends) {
            const std::string saveBefore = readFile(savedGame(relax));
            const int scoreBefore = readLevel(savedGame(relax)).property("score");
            const std::string how = end.how;
            std::string output;
            std::size_t endedAt = 0;
            const bool box = end.atErrorBox();
            {
                if (box) {
                    hideRelaxScene(game, true);
                }
                XServer server(screen, box ? boxFonts(scratch).string() : std::string());
                std::optional<DisplayRelay> relay;
                Launch launch = launchFor(end.start, scratch);
                Environment environment{{"PIBBLES_BOT", "11"}, {"PIBBLES_DEBUG", "1"}};
                environment.merge(launch.environment);
                if (box) {
                    environment.merge(zenityStandIn(scratch));
                }
                if (end.relayed()) {
                    environment["DISPLAY"] = relay.emplace().display();
                }
                if (end.ending == Ending::relayAtStart) {
                    relay->breakAtRequest(end.request);
                }
                Game copy(game, scratch / ("display-ended-" + std::to_string(&end - ends) + ".log"),
                          environment, launch.command);
                std::optional<ThreadTimes> ended;
                if (end.plays()) {
                    unsigned long window = 0;
                    Walk walk = continueSavedGame(copy, relax, window);
                    walk.followTheBot(relax.name + ": " + std::to_string(movesFirst) +
                                          " moves of the bot, then " +
                                          (end.moving ? "a move under way" : "the field at rest"),
                                      [&](const std::string& now) {
                                          const BotPlay play = readBotPlay(now);
                                          if (play.movesEnded < movesFirst || play.moving != end.moving) {
                                              return false;
                                          }
                                          endedAt = now.size();
                                          ended = mainThreadTimes(copy.process());
                                          endDisplay(end, copy, server, relay, window);
                                          return true;
                                      });
                } else if (box) {
                    if (!errorBoxShown(copy, server)) {
                        fail("no error box showed (" + copy.lastWait() + "):\n" + copy.output());
                    }
                    if (end.ending == Ending::serverAtErrorBox) {
                        server.end();
                    } else {
                        endBoxFromOutside(copy, server,
                                          end.ending == Ending::boxCopyTerminated ? BoxEnd::copyTerminated
                                          : end.ending == Ending::boxDrawingKilled
                                              ? BoxEnd::drawingKilled
                                              : BoxEnd::connectionClosed);
                    }
                }
                checkCleanEnd(copy, how);
                if (box && zenityRan(scratch)) {
                    fail("the display library showed the error box again with zenity " + how + ":\n" +
                         copy.output());
                }
                if (copy.output().find("Something went wrong") != std::string::npos) {
                    fail("the game took the end of its display " + how + " for a failure:\n" + copy.output());
                }
                if (box && copy.output().find("--message-box") != std::string::npos) {
                    fail("the game's output spoke of the error box's arguments " + how + ":\n" +
                         copy.output());
                }
                if (relay) {
                    ended = relay->broken();
                    if (!ended ||
                        copy.output().find("The connection to the X server ") == std::string::npos) {
                        fail("the game did not tell that its display had ended " + how + ":\n" +
                             copy.output());
                    }
                }
                checkNoSpinning(copy, how, ended);
                output = copy.output();
            }
            if (box) {
                hideRelaxScene(game, false);
            }
            if (!end.plays()) {
                if (readFile(savedGame(relax)) != saveBefore) {
                    fail("the RELAX save changed when the game ended " + how + " before any play");
                }
                progress("the RELAX save is untouched");
                continue;
            }
            ++sessions;
            const BotPlay play = readBotPlay(output);
            const int saved = readLevel(savedGame(relax)).property("score");
            if (saved != play.lastScore || saved <= scoreBefore ||
                (end.moving && play.lastScoreAt < endedAt)) {
                fail("the RELAX game ended " + how + " saved the score " + std::to_string(saved) +
                     ", continued from " + std::to_string(scoreBefore) + "; the bot's last move came to " +
                     std::to_string(play.lastScore) + (play.lastScoreAt < endedAt ? " before" : " after") +
                     " the display's end");
            }
            progress("the RELAX save holds the score " + std::to_string(saved) + " of the bot's last move");
        }
        return sessions;
    }

    // At the moment chosen in play.
    static void endDisplay(const DisplayEnd& end, Game& copy, XServer& server,
                           std::optional<DisplayRelay>& relay, unsigned long window) {
        switch (end.ending) {
        case Ending::serverAndSigterm:
            ::kill(copy.process(), SIGTERM);
            server.end();
            break;
        case Ending::server:
            server.end();
            break;
        case Ending::serverAfterRootProperty:
            // The game reads the property's change and the connection's end in one go.
            ::kill(copy.process(), SIGSTOP);
            if (!copy.within(
                    exitSeconds, [&] { return copy.stopped(); }, 10)) {
                fail("the game did not stop on SIGSTOP (" + copy.lastWait() + ")");
            }
            if (!testsupport::changeRootProperty("PIBBLES_WALK")) {
                fail("the root window's property did not change while the game was stopped");
            }
            server.end();
            ::kill(copy.process(), SIGCONT);
            break;
        case Ending::serverAtErrorBox:
        case Ending::boxCopyTerminated:
        case Ending::boxDrawingKilled:
            break;
        case Ending::relayStopsReading:
            relay->stopReading();
            break;
        case Ending::relayAtStart:
        case Ending::relayAtSwitch:
            relay->breakAtRequest(end.request);
            pressKeys(window, "alt+Return");
            break;
        }
    }

    // A game that spins in a wait that never ends is on a processor all the while: from the display's end
    // to its exit, the game's main thread must have slept for a part of the time it did not wait for a
    // processor, beyond a second of work. A move under way runs on to its end, drawing frames as fast as a
    // busy machine lets it, for a few seconds: a fifth of the time is asked, not more.
    static void checkNoSpinning(const Game& copy, const std::string& how,
                                const std::optional<ThreadTimes>& ended) {
        const ThreadTimes& last = copy.lastTimes();
        if (!ended || !ended->known || !last.known || last.at <= ended->at) {
            return;
        }
        const double ran = last.ran - ended->ran;
        const double couldRun =
            std::chrono::duration<double>(last.at - ended->at).count() - (last.waited - ended->waited);
        char told[160];
        std::snprintf(told, sizeof told,
                      "its main thread ran %.2f s of the %.2f s it could run until its end", ran, couldRun);
        if (ran > 1.0 + 0.8 * couldRun) {
            fail("the game spun when it ended " + how + ": " + told);
        }
        progress(told);
    }

    // The bot's lines in the game's output: whether the field has taken a move up that has not ended, how
    // many moves ended, and the score the last end came to, with the place of its line.
    struct BotPlay {
        bool moving = false;
        int movesEnded = 0;
        int lastScore = -1;
        std::size_t lastScoreAt = 0;
    };
    static BotPlay readBotPlay(const std::string& output) {
        BotPlay play;
        std::istringstream lines(output);
        std::size_t at = 0;
        for (std::string line; std::getline(lines, line); at += line.size() + 1) {
            const std::size_t score = line.find("; score ");
            if (line.starts_with("PlayBot: move ") && line.ends_with(" runs")) {
                play.moving = true;
            } else if (line.starts_with("PlayBot: ") && score != std::string::npos) {
                play = {false, play.movesEnded + 1, std::atoi(line.c_str() + score + 8), at};
            }
        }
        return play;
    }

    void checkCleanEnd(Game& copy, const std::string& how) {
        if (!copy.exitedWithin(exitSeconds)) {
            fail("the game did not end " + how + " (" + copy.lastWait() + ")");
        }
        if (!copy.exitedCleanly()) {
            fail("the game ended " + how + " with " + copy.describeEnd());
        }
        checkNoForkBesideThreads(copy, "the game");
        checkNoLockFilesLeft();
        checkNothingLeftRunning(copy, how);
        progress("the game ended " + how + " with exit code 0");
    }

    // Once the game has ended, nothing it started may run on: what does is ended, and named.
    static void checkNothingLeftRunning(Game& copy, const std::string& how) {
        if (const std::vector<std::string> left = copy.endLeftBehind(); !left.empty()) {
            fail("processes of the game still ran when it had ended " + how +
                 ", and were ended: " + listed(left));
        }
    }

    // Under the sanitizers the game tells of a fork made while its other threads ran: such a child can hang
    // for good, and the game with it, once in a few thousand starts.
    static void checkNoForkBesideThreads(const Game& copy, const std::string& name) {
        const std::string said = copy.output();
        if (const std::size_t at = said.find("fork beside "); at != std::string::npos) {
            fail(name + " forked while other threads ran: " + said.substr(at, said.find('\n', at) - at));
        }
    }

    // The named mutexes' lock files go with the game.
    void checkNoLockFilesLeft() const { checkNoLockFilesLeftIn(scratch / "runtime"); }
    static void checkNoLockFilesLeftIn(const fs::path& runtime) {
        for (const fs::directory_entry& entry : fs::directory_iterator(runtime)) {
            fail("the game left " + entry.path().string() + " behind");
        }
    }

    fs::path savedGame(const Mode& mode) const {
        return game / "media/savegames" / playerName / mode.saveFolder / "save.xml";
    }

    bool played(const std::string& saveFolder) const {
        for (const Mode& mode : modes) {
            if (mode.saveFolder == saveFolder) {
                return true;
            }
        }
        return false;
    }

    void checkFilesOfFirstStart() const {
        checkEngineFiles();
        checkProfile();
        for (const Mode& mode : everyMode) {
            if (played(mode.saveFolder)) {
                checkSavedGame(mode);
            } else if (fs::exists(savedGame(mode))) {
                fail("the game saved " + mode.name + ", which the walk did not play");
            }
        }
        checkPlayingSessions(modes.size());
        progress("the profile, " + std::to_string(modes.size()) + " saved game(s), the scores and " +
                 std::to_string(modes.size()) + " playing session(s) were written as played");
    }

    void checkEngineFiles() const {
        // The jingle ships as OGG, so the one-time conversion must have left its WAV beside it.
        for (const fs::path& file :
             {game / "players/players.plrs", game / "players/scores.xml", game / "gd.xml",
              scratch / "config/pibbles/registry.xml", game / "media/sounds/jingle_new.wav"}) {
            if (!fs::exists(file)) {
                fail("the game did not write " + file.string());
            }
        }
        const std::string scores = readFile(game / "players/scores.xml");
        for (const char* table : {"\"VIB\"", "\"ACTION\"", "\"RELAX\""}) {
            if (scores.find(table) == std::string::npos) {
                fail(std::string("the scores file has no table ") + table);
            }
        }
        if (readFile(scratch / "config/pibbles/registry.xml").find("dgfilename") == std::string::npos) {
            fail("the registry does not name the session record");
        }
    }

    // Each mode's how-to-play page was seen once played, and only then; the won levels' play time is in.
    void checkProfile() const {
        const auto profile = readProfile(game / "players" / (std::string(playerName) + ".plr"));
        const auto value = [&](const std::string& key) {
            const auto found = profile.find(key);
            return found == profile.end() ? std::string("(missing)") : found->second;
        };
        for (const Mode& mode : everyMode) {
            const std::string wanted = played(mode.saveFolder) ? "true" : "false";
            if (value(mode.seenKey) != wanted) {
                fail("the profile's " + mode.seenKey + " is " + value(mode.seenKey) + ", not " + wanted);
            }
        }
        if (std::atoi(value("secondsPlayed").c_str()) < 1) {
            fail("the profile's secondsPlayed is " + value("secondsPlayed") +
                 " after levels played over a second");
        }
        if (played("vib") && value("highestVIBLevelNormal") != std::to_string(levelReached.at("vib"))) {
            fail("the profile's highestVIBLevelNormal is " + value("highestVIBLevelNormal") +
                 ", not the level reached, " + std::to_string(levelReached.at("vib")));
        }
        progress("profile: how-to-play flags as played, " + value("secondsPlayed") + " s played");
    }

    // Left through the menu in the level reached (the one after the won one, unless the clicks won one
    // more): VIB's level file as laid out, ACTION's and RELAX's field of the same size (their next level
    // goes on on the same pibbles).
    void checkSavedGame(const Mode& mode) const {
        const LevelGrid saved = readLevel(savedGame(mode));
        const int reached = levelReached.at(mode.saveFolder);
        if (mode.saveFolder == "vib") {
            if (saved.property("chapterNr") != 1 || saved.property("levelNr") != reached) {
                fail("the VIB save holds chapter " + std::to_string(saved.property("chapterNr")) + " level " +
                     std::to_string(saved.property("levelNr")) + ", not chapter 1 level " +
                     std::to_string(reached));
            }
            const LevelGrid level = readLevel(vibLevelFile(options.runTree, 1, reached));
            const LevelGrid layoutOnly{{}, {}, {{"layout", level.grids.at("layout")}}};
            const LevelGrid savedLayout{{}, {}, {{"layout", saved.grids.at("layout")}}};
            if (const std::string difference = gridDifference(layoutOnly, savedLayout); !difference.empty()) {
                fail("the VIB save's layout is not that of chapter 1 level " + std::to_string(reached) +
                     ": " + difference);
            }
        } else {
            if (saved.property("levelNr") != reached) {
                fail("the " + mode.name + " save holds level " + std::to_string(saved.property("levelNr")) +
                     ", not level " + std::to_string(reached));
            }
            if (saved.rows() != mode.firstLevel.rows() || saved.columns() != mode.firstLevel.columns()) {
                fail("the " + mode.name + " save's field is " + std::to_string(saved.columns()) + " x " +
                     std::to_string(saved.rows()) + ", not the level's");
            }
        }
        for (const char* grid : {"colors", "genders", "styles", "collectables", "nameindices"}) {
            if (!saved.grids.contains(grid)) {
                fail("the " + mode.name + " save has no \"" + grid + "\"");
            }
        }
    }

    void checkPlayingSessions(std::size_t count) const {
        const std::vector<PlayingSession> sessions = readPlayingSessions(game / "gd.xml");
        if (sessions.size() != count) {
            fail("the session record holds " + std::to_string(sessions.size()) + " playing sessions, not " +
                 std::to_string(count));
        }
        // A desktop of 16 bits makes the game draw in RGB565; any other, in 32 bits.
        const char* depth = std::getenv("PIBBLES_DEPTH");
        const int bitDepth = depth != nullptr && std::string(depth) == "16" ? 16 : 32;
        for (const PlayingSession& session : sessions) {
            if (session.players != 1 || session.endTime < session.startTime ||
                session.fullScreen != fullScreen || session.bitDepth != bitDepth) {
                fail("a playing session records " + std::to_string(session.players) + " player(s), " +
                     std::to_string(session.endTime - session.startTime) + " s, full screen " +
                     (session.fullScreen ? "on" : "off") + " and " + std::to_string(session.bitDepth) +
                     " bits");
            }
        }
    }

    // A start of the copy up to the mode's saved game continued and its level running, in the window given
    // back.
    Walk continueSavedGame(Game& copy, const Mode& mode, unsigned long& window) {
        window = waitForWindow(copy);
        Walk walk = walkOn(copy, window);
        walk.waitForLoadingToFinish(false);
        walk.leaveLoadingScene();
        walk.waitForSelectionScene();
        walk.continueSavedGame(mode);
        return walk;
    }

    // Continuing keeps the saved game as it was while the game goes on (a kill now would lose no game); the
    // menu writes it again, from the field as it stands once its pibbles rest. That an ACTION save was
    // written from the running game, not copied from the file it came from, shows in the penalty timer,
    // which has run on meanwhile. The session record then holds one playing session more than before.
    void continueSaveWhole(const Mode& mode, std::size_t sessionsBefore) {
        const fs::path kept = scratch / (mode.saveFolder + "-save.xml");
        fs::copy_file(savedGame(mode), kept, fs::copy_options::overwrite_existing);
        const LevelGrid saved = readLevel(kept);
        Game again(game, scratch / "again.log");
        unsigned long window = 0;
        Walk walk = continueSavedGame(again, mode, window);
        if (!fs::exists(savedGame(mode)) || readFile(savedGame(mode)) != readFile(kept)) {
            fail("the continued " + mode.name + " game's save did not stay as it was while the game went on");
        }
        walk.waitForFieldAtRest(mode);
        walk.leaveThroughMenu(mode);
        const LevelGrid resaved = readLevel(savedGame(mode));
        if (mode.saveFolder == "action" &&
            resaved.property("penaltyTimer") == saved.property("penaltyTimer")) {
            fail("the menu's save of the continued ACTION game holds the loaded file, not the running game");
        }
        if (const std::string difference = gridDifference(saved, resaved); !difference.empty()) {
            fail("the continued " + mode.name + " field is not the saved one: " + difference);
        }
        for (const char* key : {"levelNr", "score", "numPibblesGoal"}) {
            if (resaved.property(key) != saved.property(key)) {
                fail("the continued " + mode.name + " game's " + key + " is " +
                     std::to_string(resaved.property(key)) + ", not the saved " +
                     std::to_string(saved.property(key)));
            }
        }
        progress("the continued " + mode.name + " field equals the saved one");
        if (!testsupport::askWindowToClose(window)) {
            fail("cannot reach the X display to close the window");
        }
        checkCleanEnd(again, "when its window was closed");
        checkPlayingSessions(sessionsBefore + 1);
    }

    // The close is sent to the window as the first look found it (perhaps not shown yet), as a tool that
    // found it by its title would send it. The tries run closeSlots at a time.
    void closeAtRandomMoments() {
        if (options.closeTries == 0) {
            return;
        }
        useSoundDeviceThatNeverBlocks();
        // Every copy is made before the first start: a child forked while a program file is still open for
        // writing would keep it open, and the program could not be started ("text file busy").
        for (int slot = 0; slot < closeSlots; ++slot) {
            copyGameInto(options.runTree, slotFolder(slot));
        }
        // Declared by its middle; read here, as the declarations are not shared between threads.
        const Point vibButton = data.place("SCENE_SELECTION", "BUTTON_VIB");
        std::atomic<int> warmStarts = 0;
        std::atomic<int> selectionReached = 0;
        std::vector<std::future<std::string>> slots;
        for (int slot = 0; slot < closeSlots; ++slot) {
            const fs::path folder = slotFolder(slot);
            slots.push_back(std::async(std::launch::async, [&, folder, slot] {
                try {
                    std::mt19937 random(std::random_device{}());
                    for (int i = slot; i < options.closeTries; i += closeSlots) {
                        if ((i / closeSlots) % warmStartEvery != warmStartEvery - 1) {
                            closeOnce(folder, i, nullptr, random);
                        } else {
                            ++warmStarts;
                            selectionReached += closeOnce(folder, i, &vibButton, random) ? 1 : 0;
                        }
                    }
                } catch (const Failure& failure) {
                    return failure.reason;
                }
                return std::string();
            }));
        }
        std::string failures;
        for (std::future<std::string>& slot : slots) {
            if (const std::string failure = slot.get(); !failure.empty()) {
                failures += (failures.empty() ? "" : "\n") + failure;
            }
        }
        if (!failures.empty()) {
            fail(failures);
        }
        // A close may come before a click on a slow machine has been answered; most must have been.
        if (selectionReached * 2 < warmStarts) {
            fail("the click on the finished loading scene led on to the selection scene in only " +
                 std::to_string(selectionReached) + " of " + std::to_string(warmStarts) + " warm starts");
        }
        progress(std::to_string(options.closeTries) + " copies closed at random moments all ended cleanly, " +
                 std::to_string(selectionReached) + " of the " + std::to_string(warmStarts) +
                 " warm starts after the loading scene had handed over");
    }

    fs::path slotFolder(int slot) const { return scratch / ("slot" + std::to_string(slot)); }

    // A warm start (given the VIB button's place) leaves the loading scene before the close; any other try
    // is a first start. True when a warm start's selection scene had taken over when the game ended.
    bool closeOnce(const fs::path& folder, int i, const Point* vibButton, std::mt19937& random) const {
        const std::string name = "try " + std::to_string(i) + (vibButton != nullptr ? " (warm start)" : "");
        const fs::path players = folder / "run/players";
        const fs::path frameTimes = folder / ("try" + std::to_string(i) + ".frames");
        Environment environment{{"XDG_CONFIG_HOME", (folder / "config").string()},
                                {"XDG_RUNTIME_DIR", (folder / "runtime").string()}};
        if (vibButton != nullptr) {
            writeProfile(players, playerName, continuedMode);
            environment["PIBBLES_FRAME_TIMES"] = frameTimes.string();
        } else {
            fs::remove_all(players);
        }
        Game copy(folder / "run", folder / ("try" + std::to_string(i) + ".log"), environment);
        std::vector<unsigned long> windows;
        copy.within(
            windowSeconds,
            [&] {
                windows = windowsOf(copy.process(), expected.title);
                return !windows.empty() || !copy.running();
            },
            10);
        if (windows.empty()) {
            fail(name + ": no window appeared" +
                 (copy.running() ? " (" + copy.lastWait() + ")"
                                 : " before the game ended with " + copy.describeEnd()) +
                 ":\n" + copy.output());
        }
        const std::string moment = vibButton != nullptr ? leaveLoadingScene(copy, windows.front(), frameTimes,
                                                                            *vibButton, name, random)
                                                        : waitRandomMoment(random);
        testsupport::askWindowToClose(windows.front());
        if (!copy.exitedWithin(exitSeconds)) {
            fail(name + ": the game did not end after a close " + moment + " (" + copy.lastWait() + ")");
        }
        if (!copy.exitedCleanly()) {
            fail(name + ": closed " + moment + ", the game ended with " + copy.describeEnd() + ":\n" +
                 copy.output());
        }
        checkNoForkBesideThreads(copy, name);
        checkNoLockFilesLeftIn(folder / "runtime");
        const bool tookOver =
            vibButton != nullptr && checkSelectionScene(players / (std::string(playerName) + ".plr"), name);
        const char* when = vibButton == nullptr ? ""
                           : tookOver           ? ", after the loading scene had handed over"
                                                : ", before the loading scene handed over";
        progress(name + ": closed " + moment + when + ", the game ended with exit code 0");
        return tookOver;
    }

    // Whether the first click led on to the selection scene (it clears the continue flag); the second,
    // made on the fading picture, must have started no mode: a mode entered, even behind its loading fade,
    // shows its how-to-play page, which the profile keeps as seen.
    bool checkSelectionScene(const fs::path& profile, const std::string& name) const {
        const std::map<std::string, std::string> values = readProfile(profile);
        for (const Mode& mode : everyMode) {
            if (const auto seen = values.find(mode.seenKey); seen != values.end() && seen->second == "true") {
                fail(name + ": " + mode.name + " was started by the click made while the selection scene " +
                     "faded in");
            }
        }
        const auto flag = values.find("gamemodeSaveFlag");
        return flag != values.end() && flag->second == std::to_string(noContinuedMode);
    }

    static std::string waitRandomMoment(std::mt19937& random) {
        const int delay = std::uniform_int_distribution<int>(0, closeMomentsMs)(random);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        return std::to_string(delay) + " ms after its window appeared";
    }

    // Each click goes to the copy's own window, which other copies may cover.
    static std::string leaveLoadingScene(Game& copy, unsigned long window, const fs::path& frameTimes,
                                         Point vibButton, const std::string& name, std::mt19937& random) {
        if (!copy.within(
                sceneSeconds, [&] { return loadingDoneIn(frameTimes) || !copy.running(); }, 100) ||
            !copy.running()) {
            fail(name + ": the loading scene did not finish" +
                 (copy.running() ? " (" + copy.lastWait() + ")"
                                 : " before the game ended with " + copy.describeEnd()));
        }
        const auto clicked = std::chrono::steady_clock::now();
        if (!testsupport::clickInWindow(window, gameWidth / 2, gameHeight / 2)) {
            fail(name + ": cannot click the game's window");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(secondClickMs));
        testsupport::clickInWindow(window, vibButton.x, vibButton.y);
        const int delay = std::uniform_int_distribution<int>(warmCloseFromMs, warmCloseToMs)(random);
        std::this_thread::sleep_until(clicked + std::chrono::milliseconds(delay));
        return std::to_string(delay) + " ms after the click that left the loading scene";
    }

    // SDL's audio thread never waits on ALSA's null device: it mixes without pause beside the frame loop.
    void useSoundDeviceThatNeverBlocks() const {
        const fs::path config = scratch / "alsa.conf";
        std::ofstream(config) << "pcm.!default { type null }\n";
        ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
        ::setenv("SDL_AUDIODRIVER", "alsa", 1);
    }

    Options options;
    Expectations expected;
    Declarations data;
    std::vector<Mode> everyMode;
    std::vector<Mode> modes;
    bool fullScreen = false;
    fs::path scratch;
    fs::path game;
    fs::path failureScreen;
    // By the mode's save folder, the level the first start's walk left each mode in.
    std::map<std::string, int> levelReached;
};

} // namespace

int main(int argc, char** argv) {
    // Plain files on disk, as the game reads them.
    kernel::ZipArchive::create("", 1);
    try {
        const Options options = readOptions(argc, argv);
        if (std::getenv("DISPLAY") == nullptr || capture("xdotool version").empty()) {
            fail("needs an X display and xdotool: run through CTest after scripts/setup");
        }
        Run run(options, readExpectations(options.runTree));
        progress("the " + options.walk + " walk starts");
        try {
            run.play();
            // A copy that passed every check of its own can still have left a process to end.
            if (const int copies = copiesThatLeftProcesses(); copies > 0) {
                fail(std::to_string(copies) + " cop" + (copies == 1 ? "y" : "ies") +
                     " of the game left processes running when the walk ended them (named above)");
            }
        } catch (const Failure&) {
            std::fprintf(stderr, "The game's output:\n%s\n", run.logs().c_str());
            throw;
        }
    } catch (const Skip& skip) {
        std::printf("SKIPPED: waiting for %s\n", skip.reason.c_str());
        return skippedCode;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "FAILED: %s\n", failure.reason.c_str());
        return 1;
    }
    std::printf("PASSED\n");
    return 0;
}
