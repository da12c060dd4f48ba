#pragma once
// The game as a process of its own, and the desktop tools that reach its window: every tool call is
// bounded in time, so a stuck X server fails the run instead of hanging it.

#include "GameData.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

std::string readFile(const std::filesystem::path& file);

// A step of the run, on standard output with the seconds since the driver started.
void progress(const std::string& step);

// The tool's standard output; empty when it failed or took longer than ten seconds.
std::string capture(const std::string& command);

// The bound of a wait on the game, counted in the time the game could run: on a busy machine the game gets
// only a share of a processor and its every step takes longer by as much, so a bound in wall time runs out
// on a working game. From one look to the next it counts the wall time less the longest time any of the
// game's threads waited on a run queue meanwhile (Linux's schedstat); a game that idles in a wrong state
// sleeps rather than waits, so its bound still runs out. Wall time where schedstat cannot be read. Whatever
// the game got, no wait runs past a ceiling set from the driver's start, so that a failure still names
// what it waited for within CTest's time limit (unless waitWithoutCeiling was called).
class GameTime {
public:
    GameTime(pid_t process, int seconds);
    // Counts the time since the last look; true once the game has had its seconds or the ceiling has come.
    bool spent();
    // The wait so far, as a failure tells it: the bound, and what the game got of the time waited.
    std::string told() const;

private:
    using Clock = std::chrono::steady_clock;

    pid_t process;
    int seconds;
    Clock::time_point started;
    Clock::time_point looked;
    Clock::duration ran{};
    // Nanoseconds on a run queue, by thread, as last read.
    std::map<pid_t, long long> waited;
    bool measured = false;
    bool ceilingCame = false;
};

// How the process's main thread has spent its time so far, as Linux's schedstat tells it: on a processor, and
// waiting on a run queue for one; the rest it slept. Not known where schedstat cannot be read.
struct ThreadTimes {
    std::chrono::steady_clock::time_point at;
    double ran = 0;
    double waited = 0;
    bool known = false;
};
ThreadTimes mainThreadTimes(pid_t process);

// For a run of any length, not bounded by CTest: no wait is cut off at the ceiling.
void waitWithoutCeiling();

// Sanitised debug builds start slowly; each bound, in the time the game could run (GameTime), is far above
// what a working game needs.
inline constexpr int windowSeconds = 60;
inline constexpr int sceneSeconds = 60;
// The session record's machine snapshot takes seconds at exit.
inline constexpr int exitSeconds = 60;

// Variables set for the game alone, over the driver's own; one with an empty value is left out.
using Environment = std::map<std::string, std::string>;

// The game of the run tree in folder/run, with folder/config and folder/runtime for its settings and locks.
void copyGameInto(const std::filesystem::path& runTree, const std::filesystem::path& folder);

// Every copy carries a mark of its own in its environment, and so does every process it starts, also once
// the copy has ended (a message box's copy, the display library's fork that draws the box): the processes
// that carry it are the copy's. The copy's end (the object's) ends whichever of them still run, the game too,
// and tells which on standard output.
class Game {
public:
    // Started in the folder with its output going to the log file, by its path or by the command given
    // before it (its program and arguments).
    Game(const std::filesystem::path& folder, const std::filesystem::path& log,
         const Environment& environment = {}, const std::vector<std::string>& startedBy = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    bool running();
    // True while the process is stopped (SIGSTOP).
    bool stopped() const;
    // Polls until done holds or the game has had the seconds to run (GameTime); done is asked once more at
    // the end.
    bool within(int seconds, const std::function<bool()>& done, int pollMs = 250);
    bool exitedWithin(int seconds);
    // How the last wait within went, as a failure tells it.
    const std::string& lastWait() const { return lastWaitTold; }
    // Only meaningful once the process has ended.
    bool exitedCleanly() const;
    std::string describeEnd() const;
    // The main thread's times as last seen, at its end once the process has ended.
    const ThreadTimes& lastTimes() const { return times; }
    std::string output() const { return readFile(logFile); }
    pid_t process() const { return pid; }
    // The processes of the copy that run, the game's own among them while it runs.
    std::vector<pid_t> processes() const;
    // Ends every process of the copy that still runs (SIGKILL) and waits until they are gone: each as
    // "pid (command line)", none when nothing was left.
    std::vector<std::string> endLeftBehind();

private:
    std::string mark;
    std::filesystem::path logFile;
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
    ThreadTimes times;
    std::string lastWaitTold;
};

// An X server of the walk's own (Xvfb, a screen of the given "WxHxD"), on a display it chose free: while it
// runs, DISPLAY names it for the driver's tools and the games started meanwhile; once it has ended or gone,
// DISPLAY names the one before again. A font folder, where given, is searched before the built-in fonts. One
// of several side by side leaves DISPLAY alone (not shared): its display is named to each user instead.
class XServer {
public:
    explicit XServer(const std::string& screen, const std::string& fontFolder = "", bool shared = true);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Ends the server as a session's end ends it (SIGTERM), and waits until it has.
    void end();
    // ":N".
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    bool shared;
    std::string name;
    std::string previousDisplay;
};

// "a, b, c".
std::string listed(const std::vector<std::string>& items);

// How many copies had processes left to end when the copy's object ended: a walk that passed otherwise fails
// on them.
int copiesThatLeftProcesses();

// A display number that names no X server here.
int unusedDisplayNumber();

// Hidden windows too, unless only the shown ones are asked for: the game places its window before it shows
// it.
std::vector<unsigned long> windowsTitled(const std::string& title, bool shownOnly = false);
// The windows of one process with the title, shown or not, where several copies of the game run side by side.
std::vector<unsigned long> windowsOf(pid_t process, const std::string& title);

// The game's picture in root coordinates: the window's top-left corner, which must show it unscaled.
Rect pictureOf(unsigned long window);

// A left click at a point of the game's picture.
void click(const Rect& picture, int x, int y);
// Moves the pointer without clicking.
void pointAt(const Rect& picture, int x, int y);
// Gives the window the keyboard and types the text there, as key presses.
void typeInto(unsigned long window, const std::string& text);
// Gives the window the keyboard and presses the keys there, named as xdotool names them ("alt+Return").
void pressKeys(unsigned long window, const std::string& keys);

} // namespace e2e
