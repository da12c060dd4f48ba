// Icons, cursors and message boxes of the window layer.

#include "host/SdlWindow.h"
#include "host/Window.h"
#include "host/WindowState.h"
#include "host/WindowX11.h"

#include <SDL.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <string>

extern char** environ;

namespace host {
namespace {

// The game's one icon, as a file beside the game's data rather than a resource in the executable.
constexpr const char* iconPath = "media/icon.bmp";

// A cursor handle is one of these; the SDL cursor is made when video is up and it is first shown.
struct CursorObject {
    std::uintptr_t id;
    SDL_SystemCursor shape;
    SDL_Cursor* sdl = nullptr;
};

std::array<CursorObject, 6>& systemCursors() {
    static std::array<CursorObject, 6> cursors{{
        {IDC_ARROW, SDL_SYSTEM_CURSOR_ARROW},
        {IDC_IBEAM, SDL_SYSTEM_CURSOR_IBEAM},
        {IDC_WAIT, SDL_SYSTEM_CURSOR_WAIT},
        {IDC_HAND, SDL_SYSTEM_CURSOR_HAND},
        {IDC_APPSTARTING, SDL_SYSTEM_CURSOR_WAITARROW},
        // SDL has no help cursor.
        {IDC_HELP, SDL_SYSTEM_CURSOR_ARROW},
    }};
    return cursors;
}

// An icon handle is one of these. Its picture is read only while a window is made with it: the window
// keeps a copy of its own, so nothing of the picture outlives that.
struct IconObject {
    bool readable = false;
};

HCURSOR currentCursor = nullptr;

bool isNumericName(const char* name) {
    return reinterpret_cast<std::uintptr_t>(name) <= 0xFFFF;
}

bool realDisplay() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    // The dummy driver has no one to show a box to: it would fail or wait for ever.
    return driver != nullptr && SDL_strcmp(driver, "dummy") != 0;
}

} // namespace

HICON LoadIcon(HINSTANCE instance, const char* name) {
    if (instance == nullptr || name == nullptr || !isNumericName(name)) {
        return nullptr;
    }
    static std::mutex lock;
    static std::map<std::uintptr_t, IconObject> icons;
    std::lock_guard guard(lock);
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    auto found = icons.find(id);
    if (found == icons.end()) {
        // A missing file gives a window without an icon, which is harmless; it is not asked for again.
        SDL_Surface* picture = SDL_LoadBMP(iconPath);
        found = icons.emplace(id, IconObject{picture != nullptr}).first;
        SDL_FreeSurface(picture);
    }
    return found->second.readable ? &found->second : nullptr;
}

SDL_Surface* loadIconPicture(HICON icon) {
    return icon != nullptr ? SDL_LoadBMP(iconPath) : nullptr;
}

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
    // The game has no cursors of its own, only the system's.
    if (instance != nullptr || !isNumericName(name)) {
        return nullptr;
    }
    for (CursorObject& cursor : systemCursors()) {
        if (cursor.id == reinterpret_cast<std::uintptr_t>(name)) {
            return &cursor;
        }
    }
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = currentCursor;
    currentCursor = cursor;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return previous;
    }
    // A cursor is made on the X server: never on a display that has ended.
    whileDisplayLasts([object = static_cast<CursorObject*>(cursor)] {
        if (object == nullptr) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        if (object->sdl == nullptr) {
            object->sdl = SDL_CreateSystemCursor(object->shape);
        }
        if (object->sdl != nullptr) {
            SDL_SetCursor(object->sdl);
        }
        SDL_ShowCursor(SDL_ENABLE);
    });
    return previous;
}

namespace {

// The arguments that start the program as a message box: this option, the descriptor its words go to, the
// box's kind, caption and text.
constexpr const char* boxOption = "--message-box";
constexpr const char* warningKind = "warning";
// The copy's words to the program that started it, a byte each: it is about to show the box; then, where the
// box was ended from outside, its display ended, or the process that draws it was ended by a signal.
constexpr char showingWord = 'S';
constexpr char displayEndedWord = 'D';
constexpr char drawingKilledWord = 'K';
// The exit code of a process of the copy's whose display ended (the copy, or the display library's fork of
// it that draws the box), which none of the library's ways ends with by itself: its fork ends with 0 or 1,
// zenity with 0, 1, 5 or 255, the fork that starts zenity with 128 or 129.
constexpr int displayEndedExit = 3;

bool showBox(bool warning, const char* caption, const char* text) {
    return SDL_ShowSimpleMessageBox(warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR, caption, text,
                                    nullptr) == 0;
}

// The file the program's own code was loaded from: the mapping that holds this function. /proc/self/exe is
// that file where the program was started by its path or through a link; started through the dynamic
// loader or under a tool that loads it itself (valgrind), /proc/self/exe is the loader or the tool, which
// would take the box's arguments for its own. Empty when no file of that name holds the program any more.
std::string ownProgram() {
    std::ifstream maps("/proc/self/maps");
    const auto here = reinterpret_cast<std::uintptr_t>(&ownProgram);
    for (std::string line; std::getline(maps, line);) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        unsigned int deviceMajor = 0;
        unsigned int deviceMinor = 0;
        unsigned long inode = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR " %*s %*s %x:%x %lu %n", &from, &to,
                        &deviceMajor, &deviceMinor, &inode, &pathAt) != 5 ||
            here < from || here >= to) {
            continue;
        }
        const auto holdsProgram = [&](const char* file) {
            struct stat found {};
            return ::stat(file, &found) == 0 && found.st_ino == inode && major(found.st_dev) == deviceMajor &&
                   minor(found.st_dev) == deviceMinor;
        };
        // /proc/self/exe still names the file where it has been replaced or removed since.
        const std::string path = line.substr(static_cast<std::size_t>(pathAt));
        return holdsProgram("/proc/self/exe") ? "/proc/self/exe" : holdsProgram(path.c_str()) ? path : "";
    }
    return "";
}

// Where the copy's words go; -1 when it was given none.
int wordsTo = -1;

void say(char word) {
    if (wordsTo >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wordsTo, &word, 1);
    }
}

// The display library draws the box in a child of the copy and tells only that the child failed, then goes
// on to its next way of showing a box (zenity, where installed): a box that showed would show again. How the
// child ended is read here, before the library reaps it. A child ended by a signal (a task manager's End or
// Kill of the box's process) or by its display's end (the X server's, or its connection closed as xkill
// closes it, which the child said itself) ended a box that showed: the copy ends at once, having said so.
// A child that failed before its box ends by itself and leaves the library its next way.
void onChildEnded(int, siginfo_t* child, void*) {
    if (child->si_code == CLD_KILLED || child->si_code == CLD_DUMPED) {
        say(drawingKilledWord);
        ::_exit(1);
    }
    if (child->si_code == CLD_EXITED && child->si_status == displayEndedExit) {
        ::_exit(displayEndedExit);
    }
}

// The descriptor named by the argument: digits alone. -1 for none, or one that is not open.
int descriptorNamed(const char* argument) {
    const char* end = argument + std::strlen(argument);
    unsigned int given = 0;
    const auto [stopped, error] = std::from_chars(argument, end, given);
    if (error != std::errc() || stopped != end || given > INT_MAX ||
        ::fcntl(static_cast<int>(given), F_GETFD) == -1) {
        return -1;
    }
    return static_cast<int>(given);
}

// The copy shows its box before anything else of the program runs (glibc hands the program's arguments to
// the functions of .init_array too, and this one comes before the program's own initialisers), then ends
// without the program's exit handlers: exit code 0 when the box was shown and closed.
__attribute__((constructor(101))) void showBoxWhenStartedForIt(int argc, char** argv, char**) {
    if (argc != 6 || std::strcmp(argv[1], boxOption) != 0) {
        return;
    }
    wordsTo = descriptorNamed(argv[2]);
    endOnAnyDisplayEnd([] { say(displayEndedWord); }, displayEndedExit);
    watchForks();
    struct sigaction onChild {};
    onChild.sa_sigaction = onChildEnded;
    sigemptyset(&onChild.sa_mask);
    onChild.sa_flags = SA_SIGINFO | SA_RESTART | SA_NOCLDSTOP;
    ::sigaction(SIGCHLD, &onChild, nullptr);
    say(showingWord);
    ::_exit(showBox(std::strcmp(argv[3], warningKind) == 0, argv[4], argv[5]) ? 0 : 1);
}

} // namespace

// The display library draws its box in a fork of the calling program. Made beside the program's other
// threads (the sound mixer's, the resource loader), such a child hangs for good under the sanitizers at its
// first allocation whenever one of them held a lock of the allocator at that moment, and the program waits
// for it. So the box is shown by a copy of the program started anew for it: posix_spawn runs nothing of the
// program before the new image (no fork handler, no allocation), and the copy has no other thread when the
// library forks it. The program waits for the copy as the library waits for its fork.
//
// Only the copy's words tell that it came to show the box: a program that takes the arguments for its own,
// or a copy whose libraries or display fail it before the box, ends having said nothing, or having said it
// was about to show the box and then failing. Once about to show it, a copy that ends by a signal (Ctrl+C
// in the terminal reaches the copy as it reaches the program), by its display's end (or its box's connection
// closed) or by a signal to the process that draws its box ends a box that showed.
bool showBoxInCopy(const std::string& program, bool warning, const char* caption, const char* text) {
    int words[2];
    if (::pipe2(words, O_CLOEXEC) != 0) {
        return false;
    }
    std::string name = program_invocation_name;
    std::string option = boxOption;
    std::string wordsOption = std::to_string(words[1]);
    std::string kind = warning ? warningKind : "error";
    std::string shownCaption = caption;
    std::string shownText = text;
    char* arguments[] = {name.data(), option.data(),       wordsOption.data(),
                         kind.data(), shownCaption.data(), shownText.data(),
                         nullptr};
    // The same descriptor in the copy, kept there across the new image.
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, words[1], words[1]);
    pid_t copy = 0;
    const bool started = ::posix_spawn(&copy, program.c_str(), &actions, nullptr, arguments, environ) == 0;
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(words[1]);
    if (!started) {
        ::close(words[0]);
        return false;
    }
    int status = 0;
    while (::waitpid(copy, &status, 0) == -1 && errno == EINTR) {
    }
    // The display library's fork may outlive a copy ended by a signal: what was said is read without waiting.
    std::string said;
    char word = 0;
    ::fcntl(words[0], F_SETFL, O_NONBLOCK);
    while (::read(words[0], &word, 1) == 1) {
        said += word;
    }
    ::close(words[0]);
    if (said.find(showingWord) == std::string::npos) {
        return false;
    }
    const bool endedFromOutside =
        said.find(displayEndedWord) != std::string::npos || said.find(drawingKilledWord) != std::string::npos;
    return endedFromOutside || WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The box stands on its own, over no window of the program: every caller has none to give.
int MessageBox(HWND, const char* text, const char* caption, UINT type) {
    const char* shownCaption = caption != nullptr ? caption : "Error";
    const char* shownText = text != nullptr ? text : "";
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    std::fflush(stderr);
    if (realDisplay()) {
        const bool warning = (type & 0xF0) == MB_ICONWARNING || SDL_strcmp(shownCaption, "Warning") == 0;
        if (const std::string program = ownProgram();
            program.empty() || !showBoxInCopy(program, warning, shownCaption, shownText)) {
            // Shown from here: the box has a connection of its own, whose end leaves the box.
            whileDisplayLasts(
                [warning, shownCaption, shownText] { showBox(warning, shownCaption, shownText); });
        }
    }
    return IDOK;
}

} // namespace host
