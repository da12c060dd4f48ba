// Plays the assembled game once in a virtual X server, as a player would: start, wait for the loading
// scene to finish, click through to the selection scene, start a second copy meanwhile, close the window,
// and look at what the game wrote. Run by CTest under xvfb-run with a 640 x 480 screen, the game's own
// size: the game then starts full screen, so no first-start question about full screen stands between the
// loading scene and the click.
//
// Usage: e2e_driver <run tree>. Exit code 0 passed, 1 failed, 77 skipped (the game's pieces this needs are
// not all there yet; the message says which).

#include "Screenshot.h"
#include "XClient.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
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

constexpr int skippedCode = 77;
constexpr int gameWidth = 640;
constexpr int gameHeight = 480;
// Sanitised debug builds start slowly; each bound is far above what a working game needs.
constexpr int windowSeconds = 60;
constexpr int loadingSeconds = 120;
constexpr int sceneSeconds = 60;
constexpr int exitSeconds = 60;
constexpr int colourTolerance = 12;

struct Skip {
    std::string reason;
};
struct Failure {
    std::string reason;
};

void fail(const std::string& reason) {
    throw Failure{reason};
}

void progress(const std::string& step) {
    std::printf("%s\n", step.c_str());
    std::fflush(stdout);
}

// --- What the game's data says: the title, where the loading bar is, and the pictures to compare with.

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Expectations {
    std::string title;
    Rect bar;
    fs::path barImage;
    fs::path selectionBackground;
};

kernel::SmartPtr<kernel::ValueDocument> readDocument(const fs::path& file) {
    if (!fs::exists(file)) {
        throw Skip{"the run tree has no " + file.string()};
    }
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(file.string()));
    document->load();
    return document;
}

std::string textOf(kernel::NodeValue& node, const std::string& key) {
    return kernel::narrowString(node.getValue(key).text());
}

kernel::NodeValue* findComponent(kernel::NodeValue& scene, const std::string& name) {
    kernel::VectorValue& components = scene.getVector("components");
    for (std::int32_t i = 0; i < components.childCount(); ++i) {
        if (textOf(components.nodeAt(i), "name") == name) {
            return &components.nodeAt(i);
        }
    }
    return nullptr;
}

// The file of a declared resource, which must already be in the run tree (generated media included).
fs::path resourceFile(const fs::path& runTree, kernel::ValueDocument& resources, const std::string& section,
                      const std::string& id) {
    kernel::VectorValue& sections = resources.getVector("Sections");
    for (std::int32_t i = 0; i < sections.childCount(); ++i) {
        kernel::NodeValue& group = sections.nodeAt(i);
        if (textOf(group, "name") == section && group.hasChild(id)) {
            const fs::path file = runTree / textOf(group.getNode(id), "file");
            if (!fs::exists(file)) {
                throw Skip{"the generated media lack " + file.string() + " (" + id + ")"};
            }
            return file;
        }
    }
    throw Skip{"media/properties/resources.xml declares no \"" + id + "\" in section \"" + section + "\""};
}

Expectations readExpectations(const fs::path& runTree) {
    if (!fs::exists(runTree / "pibbles")) {
        throw Skip{"the game is not built into " + runTree.string()};
    }
    Expectations expected;
    expected.title = textOf(*readDocument(runTree / "media/properties/default.xml"), "GAME_NAME");
    const auto dialogs = readDocument(runTree / "media/properties/dialogs.xml");
    const auto resources = readDocument(runTree / "media/properties/resources.xml");
    kernel::NodeValue& scenes = dialogs->getNode("dialogs");
    kernel::NodeValue& loading = scenes.getNode("SCENE_LOADING");
    kernel::NodeValue* bar = findComponent(loading, "SPRITE_LOADINGBAR");
    if (loading.typeName() != "LoadingScene" || bar == nullptr) {
        throw Skip{"dialogs.xml declares no LoadingScene \"SCENE_LOADING\" with a \"SPRITE_LOADINGBAR\""};
    }
    if (bar->hasChild("anchorpoint") && textOf(*bar, "anchorpoint") != "topleft") {
        fail("the loading bar grows from the left, so it must keep its top-left anchor");
    }
    expected.bar = {bar->getValue("x").asInt(), bar->getValue("y").asInt(), bar->getValue("width").asInt(),
                    bar->getValue("height").asInt()};
    expected.barImage = resourceFile(runTree, *resources, textOf(*bar, "section"), textOf(*bar, "image"));
    kernel::NodeValue& selection = scenes.getNode("SCENE_SELECTION");
    if (!selection.hasChild("scenebackground")) {
        throw Skip{"dialogs.xml declares no \"SCENE_SELECTION\" with a background"};
    }
    expected.selectionBackground =
        resourceFile(runTree, *resources, textOf(selection, "section"), textOf(selection, "scenebackground"));
    return expected;
}

kernel::SmartPtr<graphics::MemoryImage32> loadPicture(const fs::path& file) {
    kernel::SmartPtr<graphics::MemoryImage32> image(file.extension() == ".png"
                                                        ? graphics::loadPngImage(file.string())
                                                        : graphics::loadJpegImage(file.string()));
    if (!image) {
        fail("cannot decode " + file.string());
    }
    return image;
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

bool within(int seconds, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
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

std::vector<unsigned long> windowsTitled(const std::string& title) {
    std::istringstream found(capture("xdotool search --name '^" + title + "$'"));
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
        startSecondCopy(window);
        click(picture, gameWidth / 2, gameHeight / 2);
        waitForSelectionScene(first, picture);
        closeWindow(first, window);
        checkWrittenFiles();
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
            windows = windowsTitled(expected.title);
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
    // where loading has come.
    void waitForLoadingToFinish(Game& first, const Rect& picture) {
        const auto bar = loadPicture(expected.barImage);
        const Rect place = expected.bar;
        e2e::Screenshot shot;
        double shown = 0;
        const bool filled = within(loadingSeconds, [&] {
            shot = screenshot();
            shown = shot.empty() ? 0 : shareShown(shot, picture, *bar, place, place.width * 3 / 4, 1);
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

    // Started while the first copy runs, it must end at once, quietly and without a window of its own.
    void startSecondCopy(unsigned long window) {
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
        progress("a second copy ended at once with exit code 0");
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
    fs::path scratch;
    fs::path game;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <run tree>\n", argv[0]);
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
