// Icons, cursors and message boxes of the window layer.

#include "host/SdlWindow.h"
#include "host/Window.h"
#include "host/WindowState.h"
#include "host/WindowX11.h"

#include <SDL.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

// The arguments that start the program as a message box: this option, the box's kind, caption and text.
constexpr const char* boxOption = "--message-box";
constexpr const char* warningKind = "warning";

bool showBox(bool warning, const char* caption, const char* text) {
    return SDL_ShowSimpleMessageBox(warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR, caption, text,
                                    nullptr) == 0;
}

// The display library draws its box in a fork of the calling program. Made beside the program's other
// threads (the sound mixer's, the resource loader), such a child hangs for good under the sanitizers at its
// first allocation whenever one of them held a lock of the allocator at that moment, and the program waits
// for it. So the box is shown by a copy of the program started anew for it: posix_spawn runs nothing of the
// program before the new image (no fork handler, no allocation), and the copy has no other thread when the
// library forks it. The program waits for the copy as the library waits for its fork. False when no copy
// could be started.
bool showBoxInCopy(bool warning, const char* caption, const char* text) {
    std::string program = program_invocation_name;
    std::string option = boxOption;
    std::string kind = warning ? warningKind : "error";
    std::string shownCaption = caption;
    std::string shownText = text;
    char* arguments[] = {program.data(),      option.data(),    kind.data(),
                         shownCaption.data(), shownText.data(), nullptr};
    pid_t copy = 0;
    if (::posix_spawn(&copy, "/proc/self/exe", nullptr, nullptr, arguments, environ) != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(copy, &status, 0) == -1 && errno == EINTR) {
    }
    return true;
}

// The copy shows its box before anything else of the program runs (glibc hands the program's arguments to
// the functions of .init_array too, and this one comes before the program's own initialisers), then ends
// without the program's exit handlers: exit code 0 when the box was shown and closed.
__attribute__((constructor(101))) void showBoxWhenStartedForIt(int argc, char** argv, char**) {
    if (argc != 5 || std::strcmp(argv[1], boxOption) != 0) {
        return;
    }
    endOnAnyDisplayEnd();
    watchForks();
    ::_exit(showBox(std::strcmp(argv[2], warningKind) == 0, argv[3], argv[4]) ? 0 : 1);
}

} // namespace

// The box stands on its own, over no window of the program: every caller has none to give.
int MessageBox(HWND, const char* text, const char* caption, UINT type) {
    const char* shownCaption = caption != nullptr ? caption : "Error";
    const char* shownText = text != nullptr ? text : "";
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    std::fflush(stderr);
    if (realDisplay()) {
        const bool warning = (type & 0xF0) == MB_ICONWARNING || SDL_strcmp(shownCaption, "Warning") == 0;
        if (!showBoxInCopy(warning, shownCaption, shownText)) {
            // Shown from here: the box has a connection of its own, whose end leaves the box.
            whileDisplayLasts(
                [warning, shownCaption, shownText] { showBox(warning, shownCaption, shownText); });
        }
    }
    return IDOK;
}

} // namespace host
