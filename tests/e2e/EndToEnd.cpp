// Plays the assembled game once in a virtual X server, as a player would: start, wait for the loading
// scene to finish, start a second copy meanwhile (which must bring the covered game to the front), click
// through to the selection scene, close the window, and look at what the game wrote and left. Run by CTest
// under xvfb-run twice: with a 640 x 480 screen, the game's own size, where the game starts full screen,
// and with a larger one, where it runs in a window. A profile is made first; a first start in a window that
// still asks whether to play full screen gets the answer "no".
//
// With --close-tries N the game is then started N times more and closed each time at a random moment,
// from its first frames to its running loop, with a sound device that never blocks (ALSA's null device),
// so that SDL's audio thread spins beside the frame loop; the game must end every time.
//
// Usage: e2e_driver <run tree> [--close-tries N]. Exit code 0 passed, 1 failed, 77 skipped (the game's
// pieces this needs are not all there yet; the message says which).

#include "GameData.h"
#include "Screenshot.h"
#include "XClient.h"

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/ZipArchive.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using e2e::Expectations;
using e2e::fail;
using e2e::Failure;
using e2e::gameHeight;
using e2e::gameWidth;
using e2e::loadPicture;
using e2e::readExpectations;
using e2e::Rect;
using e2e::Skip;

constexpr int skippedCode = 77;
// Sanitised debug builds start slowly; each bound is far above what a working game needs.
constexpr int windowSeconds = 60;
constexpr int loadingSeconds = 120;
constexpr int sceneSeconds = 60;
constexpr int exitSeconds = 60;
// The closes of --close-tries come up to this long after the window appeared: through loading into the
// running loop.
constexpr int closeMomentsMs = 5000;
constexpr int colourTolerance = 12;

void progress(const std::string& step) {
    std::printf("%s\n", step.c_str());
    std::fflush(stdout);
}

// --- The game's processes and the X tools.

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every tool call is bounded, so a stuck X server fails the test instead of hanging it.
std::string capture(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        ::pclose(pipe);
    }
    return output;
}

bool within(int seconds, const std::function<bool()>& done, int pollMs = 250) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    return done();
}

class Game {
public:
    // Started in the folder with its output going to the log file.
    Game(const fs::path& folder, const fs::path& log) : logFile(log) {
        pid = ::fork();
        if (pid == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(out, 2);
            if (::chdir(folder.c_str()) == 0) {
                ::execl("./pibbles", "./pibbles", static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
    }
    ~Game() {
        if (running()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    bool running() {
        if (pid > 0 && !ended && ::waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
        }
        return pid > 0 && !ended;
    }
    bool exitedWithin(int seconds) {
        return within(seconds, [&] { return !running(); });
    }
    // Only meaningful once the process has ended.
    bool exitedCleanly() const { return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    std::string describeEnd() const {
        return WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                                 : "signal " + std::to_string(WTERMSIG(status));
    }
    std::string output() const { return readFile(logFile); }

private:
    fs::path logFile;
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
};

// Hidden windows too, unless only the shown ones are asked for: the game places its window before it shows
// it.
std::vector<unsigned long> windowsTitled(const std::string& title, bool shownOnly = false) {
    std::istringstream found(capture(std::string("xdotool search ") + (shownOnly ? "--onlyvisible " : "") +
                                     "--name '^" + title + "$'"));
    std::vector<unsigned long> windows;
    unsigned long id = 0;
    while (found >> id) {
        windows.push_back(id);
    }
    return windows;
}

// The game's picture in root coordinates: the window's top-left corner, which must show it unscaled.
Rect pictureOf(unsigned long window) {
    std::istringstream lines(capture("xdotool getwindowgeometry --shell " + std::to_string(window)));
    std::map<std::string, int> values;
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
        }
    }
    const Rect area{values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]};
    if (area.width != gameWidth || area.height != gameHeight) {
        fail("the game's window is " + std::to_string(area.width) + " x " + std::to_string(area.height) +
             ", not the game's size");
    }
    return area;
}

void click(const Rect& picture, int x, int y) {
    capture("xdotool mousemove " + std::to_string(picture.x + x) + " " + std::to_string(picture.y + y));
    capture("xdotool click 1");
}

// --- The checks on the screen.

// The share of the picture's pixels (opaque ones only, every step-th in both directions) that the screen
// shows at the picture's place, starting at column fromX of the picture.
double shareShown(const e2e::Screenshot& shot, const Rect& picture, const graphics::MemoryImage32& image,
                  Rect place, int fromX, int step) {
    const int width = std::min(place.width, image.getWidth());
    const int height = std::min(place.height, image.getHeight());
    int compared = 0;
    int matching = 0;
    for (int y = 0; y < height; y += step) {
        for (int x = fromX; x < width; x += step) {
            const std::uint32_t pixel = image.pixels32()[image.pixelIndex(x, y)];
            if ((pixel >> 24) != 0xFF) {
                continue;
            }
            ++compared;
            const e2e::Rgb shown = shot.at(picture.x + place.x + x, picture.y + place.y + y);
            matching += e2e::closeTo(shown, e2e::fromArgb(pixel), colourTolerance) ? 1 : 0;
        }
    }
    return compared == 0 ? 0.0 : static_cast<double>(matching) / compared;
}

int distinctColours(const e2e::Screenshot& shot, const Rect& picture) {
    std::set<int> colours;
    for (int y = 0; y < gameHeight; y += 2) {
        for (int x = 0; x < gameWidth; x += 2) {
            const e2e::Rgb c = shot.at(picture.x + x, picture.y + y);
            colours.insert(c.r << 16 | c.g << 8 | c.b);
        }
    }
    return static_cast<int>(colours.size());
}

// --- The run.

class Run {
public:
    Run(fs::path runTree, Expectations expected)
        : runTree(std::move(runTree)), expected(std::move(expected)) {
        char pattern[] = "/tmp/pibbles-e2e-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            fail("cannot make a temporary folder");
        }
        scratch = pattern;
        game = scratch / "run";
    }
    ~Run() {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    void play() {
        prepareFolders();
        Game first(game, scratch / "first.log");
        const unsigned long window = waitForWindow(first);
        const Rect picture = pictureOf(window);
        waitForLoadingToFinish(first, picture);
        startSecondCopy(first, window, picture);
        click(picture, gameWidth / 2, gameHeight / 2);
        waitForSelectionScene(first, picture);
        closeWindow(first, window);
        checkWrittenFiles();
        checkNoLockFilesLeft();
    }

    // The close is sent to the window as the first look found it (perhaps not shown yet), as a tool that
    // found it by its title would send it.
    void closeAtRandomMoments(int tries) {
        useSoundDeviceThatNeverBlocks();
        std::random_device seed;
        std::mt19937 random(seed());
        std::uniform_int_distribution<int> moment(0, closeMomentsMs);
        for (int i = 0; i < tries; ++i) {
            const fs::path log = scratch / ("try" + std::to_string(i) + ".log");
            Game copy(game, log);
            std::vector<unsigned long> windows;
            within(
                windowSeconds,
                [&] {
                    windows = windowsTitled(expected.title);
                    return !windows.empty() || !copy.running();
                },
                10);
            if (windows.empty()) {
                fail("try " + std::to_string(i) + ": no window appeared:\n" + copy.output());
            }
            const int delay = moment(random);
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            testsupport::askWindowToClose(windows.front());
            if (!copy.exitedWithin(exitSeconds)) {
                fail("try " + std::to_string(i) + ": the game did not end after a close " +
                     std::to_string(delay) + " ms after its window appeared");
            }
            if (!copy.exitedCleanly()) {
                fail("try " + std::to_string(i) + ": closed after " + std::to_string(delay) +
                     " ms, the game ended with " + copy.describeEnd() + ":\n" + copy.output());
            }
            checkNoLockFilesLeft();
            progress("try " + std::to_string(i) + ": closed " + std::to_string(delay) +
                     " ms after its window appeared, the game ended with exit code 0");
        }
    }

    std::string logs() const { return readFile(scratch / "first.log") + readFile(scratch / "second.log"); }

private:
    // A copy of the run tree, so the game writes its players, log and session record where nothing else
    // looks, and settings and locks of its own.
    void prepareFolders() {
        fs::create_directories(game);
        fs::copy(runTree / "pibbles", game / "pibbles");
        for (const char* folder : {"media", "locale"}) {
            fs::copy(runTree / folder, game / folder, fs::copy_options::recursive);
        }
        // With a profile the first click goes straight to the selection scene, never to the first-start
        // strip.
        fs::create_directories(game / "players");
        std::ofstream(game / "players/players.plrs")
            << "<Players><Node id=\"players\" currentplayer=\"Tester\"><Vector id=\"playernames\">"
               "<PibblePlayer name=\"Tester\"/></Vector></Node></Players>\n";
        fs::create_directories(scratch / "config");
        fs::create_directories(scratch / "runtime");
        fs::permissions(scratch / "runtime", fs::perms::owner_all, fs::perm_options::replace);
        ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (scratch / "runtime").c_str(), 1);
        ::setenv("SDL_VIDEODRIVER", "x11", 1);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", (scratch / "audio.raw").c_str(), 1);
        ::unsetenv("PIBBLES_DEPTH");
    }

    unsigned long waitForWindow(Game& first) {
        std::vector<unsigned long> windows;
        within(windowSeconds, [&] {
            windows = windowsTitled(expected.title, true);
            return !windows.empty() || !first.running();
        });
        if (!windows.empty()) {
            progress("window \"" + expected.title + "\" open");
            return windows.front();
        }
        if (!first.running() && first.output().find("cannot be made") != std::string::npos) {
            throw Skip{"the game cannot make its scenes yet: " + first.output()};
        }
        fail(first.running() ? "no window titled \"" + expected.title + "\" appeared"
                             : "the game ended before its window appeared (" + first.describeEnd() + ")");
        return 0;
    }

    e2e::Screenshot screenshot() const {
        return e2e::Screenshot::takeRoot((scratch / "screen.xwd").string());
    }

    // Finished once the bar's right end shows the bar's own picture: while loading, the bar is cut off
    // where loading has come. The full-screen question stands in front of the bar when loading has
    // finished; it is answered "no", so the game stays in its window.
    void waitForLoadingToFinish(Game& first, const Rect& picture) {
        const auto bar = loadPicture(expected.barImage);
        const Rect place = expected.bar;
        e2e::Screenshot shot;
        double shown = 0;
        const bool filled = within(loadingSeconds, [&] {
            shot = screenshot();
            shown = shot.empty() ? 0 : shareShown(shot, picture, *bar, place, place.width * 3 / 4, 1);
            if (shown <= 0.9 && !shot.empty()) {
                answerQuestionNo(shot, picture);
            }
            return !first.running() || shown > 0.9;
        });
        if (!first.running()) {
            fail("the game ended during loading (" + first.describeEnd() + ")");
        }
        if (!filled) {
            fail("the loading bar's area was not filled within " + std::to_string(loadingSeconds) + " s");
        }
        const int colours = distinctColours(shot, picture);
        if (colours < 16) {
            fail("the loading scene looks blank");
        }
        progress("loading finished: the bar's right end shows " + std::to_string(int(shown * 100)) +
                 " % of its picture; " + std::to_string(colours) + " colours on the screen");
    }

    void answerQuestionNo(const e2e::Screenshot& shot, const Rect& picture) {
        if (expected.noButtonImage.empty()) {
            return;
        }
        if (!noButton) {
            noButton = loadPicture(expected.noButtonImage);
        }
        // The button's picture holds its four states stacked; the first is the one shown.
        const int width = noButton->getWidth();
        const int height = noButton->getHeight() / 4;
        for (int y = 0; y + height <= gameHeight; ++y) {
            if (shareShown(shot, picture, *noButton, Rect{expected.noButtonX, y, width, height}, 0, 2) >
                0.9) {
                click(picture, expected.noButtonX + width / 2, y + height / 2);
                progress("answered the full-screen question \"no\"");
                return;
            }
        }
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
            fail("a second copy did not end while the first runs");
        }
        if (!second.exitedCleanly()) {
            fail("a second copy ended with " + second.describeEnd());
        }
        const std::string said = second.output();
        if (said.find("Warning") != std::string::npos || said.find("Error") != std::string::npos) {
            fail("a second copy showed a message: " + said);
        }
        if (windowsTitled(expected.title) != std::vector<unsigned long>{window}) {
            fail("a second copy changed the game's windows");
        }
        if (!within(sceneSeconds,
                    [&] { return testsupport::isAbove(window, cover.id()) || !first.running(); })) {
            fail("a second copy did not bring the game's window to the front");
        }
        progress("a second copy brought the game to the front and ended at once with exit code 0");
    }

    void waitForSelectionScene(Game& first, const Rect& picture) {
        const auto background = loadPicture(expected.selectionBackground);
        const Rect place{0, 0, gameWidth, gameHeight};
        double shown = 0;
        const bool reached = within(sceneSeconds, [&] {
            const e2e::Screenshot shot = screenshot();
            shown = shot.empty() ? 0 : shareShown(shot, picture, *background, place, 0, 4);
            // Widgets and the full-screen buttons cover parts of the background.
            return !first.running() || shown > 0.5;
        });
        if (!first.running()) {
            fail("the game ended after the click (" + first.describeEnd() + ")");
        }
        if (!reached) {
            fail("the selection scene's background did not show within " + std::to_string(sceneSeconds) +
                 " s");
        }
        progress("selection scene reached: " + std::to_string(int(shown * 100)) +
                 " % of its background shown");
    }

    void closeWindow(Game& first, unsigned long window) {
        if (!testsupport::askWindowToClose(window)) {
            fail("cannot reach the X display to close the window");
        }
        if (!first.exitedWithin(exitSeconds)) {
            fail("the game did not end after its window was closed");
        }
        if (!first.exitedCleanly()) {
            fail("the game ended with " + first.describeEnd());
        }
        progress("the closed window ended the game with exit code 0");
    }

    // The named mutexes' lock files go with the game.
    void checkNoLockFilesLeft() const {
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch / "runtime")) {
            fail("the game left " + entry.path().string() + " behind");
        }
    }

    // SDL's audio thread never waits on ALSA's null device: it mixes without pause beside the frame loop.
    void useSoundDeviceThatNeverBlocks() const {
        const fs::path config = scratch / "alsa.conf";
        std::ofstream(config) << "pcm.!default { type null }\n";
        ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
        ::setenv("SDL_AUDIODRIVER", "alsa", 1);
    }

    void checkWrittenFiles() const {
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

    fs::path runTree;
    Expectations expected;
    kernel::SmartPtr<graphics::MemoryImage32> noButton;
    fs::path scratch;
    fs::path game;
};

} // namespace

int main(int argc, char** argv) {
    int closeTries = 0;
    if (argc == 4 && std::string(argv[2]) == "--close-tries") {
        closeTries = std::atoi(argv[3]);
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: %s <run tree> [--close-tries N]\n", argv[0]);
        return 1;
    }
    // Plain files on disk, as the game reads them.
    kernel::ZipArchive::create("", 1);
    try {
        if (std::getenv("DISPLAY") == nullptr || capture("xdotool version").empty()) {
            fail("needs an X display and xdotool: run through CTest after scripts/setup");
        }
        Run run(argv[1], readExpectations(argv[1]));
        try {
            run.play();
            run.closeAtRandomMoments(closeTries);
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
