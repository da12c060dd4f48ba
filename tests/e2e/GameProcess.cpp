#include "GameProcess.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const Clock::time_point driverStarted = Clock::now();
// CTest stops a walk at 600 s; a wait cut off here still has the time to name what it waited for, keep its
// last screen and end the game. None for a run that CTest does not bound.
int ceilingSeconds = 500;

// A thread's schedstat (its folder below /proc): the nanoseconds it ran and waited on a run queue.
bool readSchedstat(const fs::path& task, long long& running, long long& waiting) {
    std::ifstream stats(task / "schedstat");
    return static_cast<bool>(stats >> running >> waiting);
}

// By thread, the nanoseconds each of the process's threads has waited on a run queue; empty where Linux does
// not tell.
std::map<pid_t, long long> runQueueWaits(pid_t process) {
    std::map<pid_t, long long> waits;
    std::error_code error;
    for (fs::directory_iterator task("/proc/" + std::to_string(process) + "/task", error), end;
         !error && task != end; task.increment(error)) {
        long long running = 0;
        long long waiting = 0;
        if (readSchedstat(task->path(), running, waiting)) {
            waits[std::atoi(task->path().filename().c_str())] = waiting;
        }
    }
    return waits;
}

std::string inSeconds(Clock::duration time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", std::chrono::duration<double>(time).count());
    return text;
}

} // namespace

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void progress(const std::string& step) {
    const std::chrono::duration<double> elapsed = Clock::now() - driverStarted;
    std::printf("[%6.1f s] %s\n", elapsed.count(), step.c_str());
    std::fflush(stdout);
}

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

void waitWithoutCeiling() {
    ceilingSeconds = 0;
}

ThreadTimes mainThreadTimes(pid_t process) {
    ThreadTimes times;
    times.at = Clock::now();
    const std::string task = std::to_string(process);
    long long running = 0;
    long long waiting = 0;
    if (readSchedstat("/proc/" + task + "/task/" + task, running, waiting)) {
        times.ran = static_cast<double>(running) / 1e9;
        times.waited = static_cast<double>(waiting) / 1e9;
        times.known = true;
    }
    return times;
}

GameTime::GameTime(pid_t process, int seconds)
    : process(process), seconds(seconds), started(Clock::now()), looked(started),
      waited(runQueueWaits(process)) {}

// A thread that came meanwhile waited all its wait in the interval.
bool GameTime::spent() {
    const Clock::time_point now = Clock::now();
    std::map<pid_t, long long> waits = runQueueWaits(process);
    Clock::duration interval = now - looked;
    if (!waits.empty()) {
        long long longest = 0;
        for (const auto& [thread, waiting] : waits) {
            const auto before = waited.find(thread);
            longest = std::max(longest, waiting - (before == waited.end() ? 0 : before->second));
        }
        interval = std::max(Clock::duration{}, interval - std::chrono::duration_cast<Clock::duration>(
                                                              std::chrono::nanoseconds(longest)));
        measured = true;
    }
    ran += interval;
    waited = std::move(waits);
    looked = now;
    ceilingCame = ceilingSeconds > 0 && now - driverStarted >= std::chrono::seconds(ceilingSeconds);
    return ran >= std::chrono::seconds(seconds) || ceilingCame;
}

std::string GameTime::told() const {
    std::string text = std::to_string(seconds) + " s of the game's time allowed; ";
    if (!measured) {
        return text + inSeconds(looked - started) + " waited, the game's share unknown (no schedstat)";
    }
    text += "the game could run " + inSeconds(ran) + " of the " + inSeconds(looked - started) + " waited";
    if (ceilingCame) {
        text += ", when the run came to its ceiling of " + std::to_string(ceilingSeconds) + " s";
    }
    return text;
}

namespace {

constexpr const char* markName = "PIBBLES_E2E_COPY";
std::atomic<int> copiesStarted = 0;
std::atomic<int> copiesLeavingProcesses = 0;

// The processes whose environment holds the entry; a zombie's reads empty.
std::vector<pid_t> processesWith(const std::string& entry) {
    std::vector<pid_t> found;
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const pid_t pid = std::atoi(process->path().filename().c_str());
        const std::string environment = pid > 0 ? readFile(process->path() / "environ") : std::string();
        for (std::size_t at = 0; pid > 0 && at < environment.size();) {
            const std::size_t end = environment.find('\0', at);
            if (environment.compare(at, end - at, entry) == 0) {
                found.push_back(pid);
                break;
            }
            at = end == std::string::npos ? end : end + 1;
        }
    }
    return found;
}

// "pid (command line)", the arguments split by spaces and cut after a while.
std::string describeProcess(pid_t process) {
    std::string command = readFile("/proc/" + std::to_string(process) + "/cmdline");
    std::replace(command.begin(), command.end(), '\0', ' ');
    while (!command.empty() && command.back() == ' ') {
        command.pop_back();
    }
    constexpr std::size_t longest = 120;
    if (command.size() > longest) {
        command = command.substr(0, longest) + "...";
    }
    return std::to_string(process) + " (" + command + ")";
}

} // namespace

std::string listed(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items) {
        list += (list.empty() ? "" : ", ") + item;
    }
    return list;
}

int copiesThatLeftProcesses() {
    return copiesLeavingProcesses;
}

void copyGameInto(const fs::path& runTree, const fs::path& folder) {
    fs::create_directories(folder / "run");
    fs::copy(runTree / "pibbles", folder / "run/pibbles");
    for (const char* data : {"media", "locale"}) {
        fs::copy(runTree / data, folder / "run" / data, fs::copy_options::recursive);
    }
    fs::create_directories(folder / "config");
    fs::create_directories(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all, fs::perm_options::replace);
}

// Everything the child needs is made before the fork: copies are started from several threads at once, and
// a forked child of a threaded process may only call what is safe in a signal handler.
Game::Game(const fs::path& folder, const fs::path& log, const Environment& environment,
           const std::vector<std::string>& startedBy)
    : mark(std::string(markName) + "=" + std::to_string(::getpid()) + "." + std::to_string(++copiesStarted)),
      logFile(log) {
    std::vector<std::string> variables{mark};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (!environment.contains(entry.substr(0, entry.find('=')))) {
            variables.push_back(entry);
        }
    }
    for (const auto& [name, value] : environment) {
        if (!value.empty()) {
            variables.push_back(name + "=" + value);
        }
    }
    std::vector<char*> variablesOfChild;
    for (std::string& variable : variables) {
        variablesOfChild.push_back(variable.data());
    }
    variablesOfChild.push_back(nullptr);
    std::vector<std::string> command = startedBy;
    command.emplace_back("./pibbles");
    std::vector<char*> arguments;
    for (std::string& argument : command) {
        arguments.push_back(argument.data());
    }
    arguments.push_back(nullptr);
    const std::string logPath = log.string();
    const std::string folderPath = folder.string();
    pid = ::fork();
    if (pid == 0) {
        const int out = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (::chdir(folderPath.c_str()) == 0) {
            ::execve(arguments[0], arguments.data(), variablesOfChild.data());
        }
        ::_exit(127);
    }
}

Game::~Game() {
    if (const std::vector<std::string> ended = endLeftBehind(); !ended.empty()) {
        progress("ended what the game left running: " + listed(ended));
        ++copiesLeavingProcesses;
    }
}

std::vector<pid_t> Game::processes() const {
    return processesWith(mark);
}

// The game may start another process between a look and its kill: looked for again until a look finds none,
// for a few seconds at most.
std::vector<std::string> Game::endLeftBehind() {
    std::vector<std::string> left;
    std::vector<pid_t> seen;
    for (int look = 0; look < 100; ++look) {
        std::vector<pid_t> found = processesWith(mark);
        if (running() && std::find(found.begin(), found.end(), pid) == found.end()) {
            found.push_back(pid);
        }
        if (found.empty()) {
            break;
        }
        for (const pid_t process : found) {
            if (std::find(seen.begin(), seen.end(), process) == seen.end()) {
                seen.push_back(process);
                left.push_back(describeProcess(process));
            }
            ::kill(process, SIGKILL);
        }
        if (running()) {
            ::waitpid(pid, &status, 0);
            ended = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return left;
}

bool Game::running() {
    if (pid <= 0 || ended) {
        return false;
    }
    // Read before the process is reaped, so that the last look comes at its end.
    if (const ThreadTimes now = mainThreadTimes(pid); now.known) {
        times = now;
    }
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    return !ended;
}

bool Game::stopped() const {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t state = stat.rfind(") ");
    return state != std::string::npos && stat.compare(state + 2, 1, "T") == 0;
}

bool Game::within(int seconds, const std::function<bool()>& done, int pollMs) {
    GameTime time(pid, seconds);
    while (!time.spent()) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    lastWaitTold = time.told();
    return done();
}

bool Game::exitedWithin(int seconds) {
    return within(seconds, [&] { return !running(); });
}

bool Game::exitedCleanly() const {
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Game::describeEnd() const {
    return WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                             : "signal " + std::to_string(WTERMSIG(status));
}

XServer::XServer(const std::string& screen, const std::string& fontFolder, bool shared) : shared(shared) {
    int ready[2];
    if (::pipe(ready) != 0) {
        fail("cannot make a pipe for an X server");
    }
    const std::string readyFd = std::to_string(ready[1]);
    // -noreset: a server that resets when its last client leaves refuses a game that connects meanwhile.
    std::vector<std::string> words{"Xvfb", "-displayfd", readyFd, "-screen", "0",
                                   screen, "-nolisten",  "tcp",   "-noreset"};
    if (!fontFolder.empty()) {
        words.insert(words.end(), {"-fp", fontFolder + ",built-ins"});
    }
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    // The server writes its display's number once it takes connections.
    std::string number;
    char c = 0;
    while (::read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(ready[0]);
    if (pid < 0 || number.empty()) {
        end();
        fail("an X server of the walk's own did not start");
    }
    name = ":" + number;
    if (shared) {
        if (const char* display = std::getenv("DISPLAY")) {
            previousDisplay = display;
        }
        ::setenv("DISPLAY", name.c_str(), 1);
    }
}

XServer::~XServer() {
    end();
    if (shared) {
        ::setenv("DISPLAY", previousDisplay.c_str(), 1);
    }
}

void XServer::end() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

int unusedDisplayNumber() {
    for (int number = 100;; ++number) {
        const std::string name = std::to_string(number);
        if (!fs::exists("/tmp/.X11-unix/X" + name) && !fs::exists("/tmp/.X" + name + "-lock")) {
            return number;
        }
    }
}

namespace {

// The ids xdotool's search prints, one per line.
std::vector<unsigned long> windowsFound(const std::string& search) {
    std::istringstream found(capture("xdotool search " + search));
    std::vector<unsigned long> windows;
    unsigned long id = 0;
    while (found >> id) {
        windows.push_back(id);
    }
    return windows;
}

} // namespace

std::vector<unsigned long> windowsTitled(const std::string& title, bool shownOnly) {
    return windowsFound(std::string(shownOnly ? "--onlyvisible " : "") + "--name '^" + title + "$'");
}

std::vector<unsigned long> windowsOf(pid_t process, const std::string& title) {
    return windowsFound("--all --pid " + std::to_string(process) + " --name '^" + title + "$'");
}

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

void pointAt(const Rect& picture, int x, int y) {
    capture("xdotool mousemove " + std::to_string(picture.x + x) + " " + std::to_string(picture.y + y));
}

void click(const Rect& picture, int x, int y) {
    pointAt(picture, x, y);
    capture("xdotool click 1");
}

// Without a window manager the focus is set directly; the keys then go where a player's would.
void typeInto(unsigned long window, const std::string& text) {
    capture("xdotool windowfocus --sync " + std::to_string(window));
    capture("xdotool type --delay 40 '" + text + "'");
}

void pressKeys(unsigned long window, const std::string& keys) {
    capture("xdotool windowfocus --sync " + std::to_string(window));
    capture("xdotool key " + keys);
}

} // namespace e2e
