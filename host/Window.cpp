#include "host/Window.h"

#include "host/SdlWindow.h"
#include "host/Testing.h"
#include "host/WindowState.h"
#include "host/WindowX11.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>

#include <pthread.h>

namespace host {
namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
// A handle that is never a game window: the desktop stands behind every window.
const HWND desktopWindow = reinterpret_cast<HWND>(std::uintptr_t{0x10});

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    ATOM atom = 0;
};

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

struct WindowLayer {
    std::map<std::string, WindowClass, CaseInsensitiveLess> classes;
    ATOM nextAtom = 0xC000;
    std::unique_ptr<WindowRecord> current;
    // Handles are never reused, so a handle kept past DestroyWindow is recognised as stale.
    std::uintptr_t nextSerial = 1;
    HWND capture = nullptr;
};

WindowLayer& layer() {
    static WindowLayer state;
    return state;
}

bool equalIgnoringCase(const std::string& a, const char* b) {
    const CaseInsensitiveLess less;
    return !less(a, b) && !less(b, a);
}

ATOM registerClass(const char* name, UINT style, WNDPROC procedure, HICON icon, HCURSOR cursor) {
    if (name == nullptr || procedure == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& classes = layer().classes;
    if (classes.count(name) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    const ATOM atom = layer().nextAtom++;
    classes[name] = WindowClass{name, style, procedure, icon, cursor, atom};
    return atom;
}

Uint32 creationFlags(bool fullScreen, DWORD style) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (fullScreen) {
        // Desktop-sized and borderless is all full screen is where no window manager could do more.
        flags |= SDL_WINDOW_BORDERLESS;
        if (desktopHasWindowManager()) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
    } else if (style & WS_MAXIMIZEBOX) {
        // Without it window managers offer no maximise button, and a maximise is how players reach full
        // screen from the title bar.
        flags |= SDL_WINDOW_RESIZABLE;
    }
    return flags;
}

SDL_Window* makeSdlWindow(const char* title, bool fullScreen, DWORD style, int x, int y, int width,
                          int height) {
    if (fullScreen) {
        // Desktop-sized already before it goes full screen, so that it covers the screen also where no
        // window manager carries out the full-screen request.
        SDL_Rect desktop{0, 0, width, height};
        SDL_GetDisplayBounds(0, &desktop);
        x = desktop.x;
        y = desktop.y;
        width = desktop.w;
        height = desktop.h;
    } else {
        x = x == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : x;
        y = y == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : y;
    }
    const char* shownTitle = title != nullptr ? title : "";
    const Uint32 flags = creationFlags(fullScreen, style);
    // SDL's OpenGL renderer replaces a window not made for OpenGL with a new one: a close request sent to the
    // window as it first appeared (by its title, say) would then reach a window that no longer exists. A
    // window the display will draw with OpenGL is therefore made for it from the start; the others are not,
    // as that alone loads the GL driver (a software rasteriser without a graphics card).
    if (displayDrawsWithOpenGl(fullScreen)) {
        if (SDL_Window* window = SDL_CreateWindow(shownTitle, x, y, std::max(width, 1), std::max(height, 1),
                                                  flags | SDL_WINDOW_OPENGL)) {
            return window;
        }
    }
    return SDL_CreateWindow(shownTitle, x, y, std::max(width, 1), std::max(height, 1), flags);
}

// The picture fitted into the window, aspect kept, centred: what a full-screen window shows until the
// display says otherwise.
GameArea fittedArea(int gameWidth, int gameHeight, int windowWidth, int windowHeight) {
    GameArea area;
    area.gameWidth = gameWidth;
    area.gameHeight = gameHeight;
    if (gameWidth <= 0 || gameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        area.shown = SDL_Rect{0, 0, gameWidth, gameHeight};
        return area;
    }
    const double scale = std::min(static_cast<double>(windowWidth) / gameWidth,
                                  static_cast<double>(windowHeight) / gameHeight);
    const int shownWidth = static_cast<int>(gameWidth * scale);
    const int shownHeight = static_cast<int>(gameHeight * scale);
    area.shown =
        SDL_Rect{(windowWidth - shownWidth) / 2, (windowHeight - shownHeight) / 2, shownWidth, shownHeight};
    return area;
}

SDL_Point windowPosition(const WindowRecord& record) {
    SDL_Point position{0, 0};
    SDL_GetWindowPosition(record.sdl, &position.x, &position.y);
    return position;
}

// Where the client area's top-left lies on the screen: (0, 0) for the desktop; false for an unknown window.
bool clientOrigin(HWND window, SDL_Point& origin) {
    const WindowRecord* record = windowRecord(window);
    if (record == nullptr) {
        origin = SDL_Point{0, 0};
        return window == desktopWindow;
    }
    origin = windowPosition(*record);
    return true;
}

} // namespace

WindowRecord* windowRecord(HWND window) {
    WindowRecord* record = layer().current.get();
    return record != nullptr && window != nullptr && record->handle == window ? record : nullptr;
}

WindowRecord* currentRecord() {
    return layer().current.get();
}

GameArea effectiveArea(const WindowRecord& record) {
    if (record.hasArea) {
        return record.area;
    }
    int width = record.width;
    int height = record.height;
    SDL_GetWindowSize(record.sdl, &width, &height);
    if (record.fullScreen) {
        return fittedArea(record.width, record.height, width, height);
    }
    return GameArea{width, height, SDL_Rect{0, 0, width, height}};
}

void describeWindow(const WindowRecord& record, EventContext& context) {
    context.window = record.handle;
    context.windowId = SDL_GetWindowID(record.sdl);
    context.windowPosition = windowPosition(record);
    context.fullScreen = record.fullScreen;
    context.doubleClicks = (record.classStyle & CS_DBLCLKS) != 0;
    context.area = effectiveArea(record);
    context.eventsInGameCoordinates = false;
    if (SDL_Renderer* renderer = SDL_GetRenderer(record.sdl)) {
        int logicalWidth = 0;
        int logicalHeight = 0;
        SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
        context.eventsInGameCoordinates = logicalWidth != 0;
    }
}

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Called in the forking thread before the fork, where the allocator may still be used.
void tellForkBesideThreads() {
    std::error_code error;
    const auto threads = std::distance(std::filesystem::directory_iterator("/proc/self/task", error),
                                       std::filesystem::directory_iterator());
    if (!error && threads > 1) {
        std::fprintf(stderr, "fork beside running threads (%d besides the forking one): its child may hang\n",
                     static_cast<int>(threads - 1));
    }
}
#endif

// SDL falls back on these where no display can be reached: the game would run on unseen, holding the lock
// that keeps every later start from showing a window.
bool showsNothing(const char* driver) {
    for (const char* unseen : {"offscreen", "dummy", "evdev"}) {
        if (SDL_strcasecmp(driver, unseen) == 0) {
            return true;
        }
    }
    return false;
}

// Why the last start of video failed.
std::string lastVideoFailure;

// Where the environment names no driver (SDL_VIDEODRIVER, as the tests do), SDL is given the list of those
// that show a window, in its own order, over an empty variable too. False when it has none.
bool offerOnlyDriversThatShow() {
    if (const char* asked = SDL_getenv("SDL_VIDEODRIVER"); asked != nullptr && *asked != '\0') {
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        return true;
    }
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (name != nullptr && !showsNothing(name)) {
            drivers += (drivers.empty() ? "" : ",") + std::string(name);
        }
    }
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
    return !drivers.empty();
}

// SDL's own reason names the drivers it tried; where the X server would have been, the variable that names
// it says more.
std::string describeVideoFailure() {
    if (displayLost()) {
        return "the connection to the X server ended while video started";
    }
    std::string reason = SDL_GetError();
    if (reason.empty()) {
        reason = "the display library has no driver that shows a window";
    }
    const char* display = SDL_getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return reason + " (DISPLAY is not set)";
    }
    return reason + " (no X server at DISPLAY \"" + display + "\" lets the game in)";
}

} // namespace

// The sanitizers' allocator is not handed over to a forked child in order: a child forked while another
// thread holds its lock hangs at its first allocation, and the parent with it when it waits for the child.
// The display library may fork so (without a session bus named, libdbus forks to start one; its message box
// is drawn in a fork of the copy that shows it); under the sanitizers such a fork is told on the standard
// error, so that the tests see it before it ever hangs.
void watchForks() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    static const bool watching = ::pthread_atfork(tellForkBesideThreads, nullptr, nullptr) == 0;
    (void)watching;
#endif
}

std::string videoFailure() {
    return lastVideoFailure;
}

bool ensureVideo() {
    // Hints first: they are read when the events they concern happen, so setting them again is harmless.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Closing the window is a request the game answers (WM_CLOSE); SDL must not add a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A window's own pixels stay in the window system's memory: backed by a GL texture instead, they would
    // start a GL context, which without a graphics card is a software rasteriser that costs more than
    // everything else a frame does. The display makes a renderer itself where a card is there.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        return true;
    }
    // SDL would turn those signals into a quit event, which the window cannot tell from its close button.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    catchEndOfSession();
    catchEndOfDisplay();
    watchForks();
    SDL_ClearError();
    bool started = false;
    if (offerOnlyDriversThatShow() &&
        whileDisplayLasts([&started] { started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }) && started) {
        return true;
    }
    lastVideoFailure = describeVideoFailure();
    return false;
}

SDL_Window* sdlWindowOf(HWND window) {
    const WindowRecord* record = windowRecord(window);
    return record != nullptr ? record->sdl : nullptr;
}

HWND currentWindow() {
    const WindowRecord* record = currentRecord();
    return record != nullptr ? record->handle : nullptr;
}

bool isFullScreenWindow(HWND window) {
    const WindowRecord* record = windowRecord(window);
    return record != nullptr && record->fullScreen;
}

void setGameArea(HWND window, const GameArea& area) {
    if (WindowRecord* record = windowRecord(window)) {
        record->area = area;
        record->hasArea = true;
    }
}

GameArea gameAreaOf(HWND window) {
    const WindowRecord* record = windowRecord(window);
    return record != nullptr ? effectiveArea(*record) : GameArea{};
}

void setWindowDestroyHook(HWND window, std::function<void()> hook) {
    if (WindowRecord* record = windowRecord(window)) {
        record->destroyHook = std::move(hook);
    }
}

HINSTANCE GetModuleHandle(const char* name) {
    static char module = 0;
    if (name != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &module;
}

ATOM RegisterClass(const WNDCLASS* windowClass) {
    if (testing::failsWithLastError("RegisterClass", ERROR_NOT_ENOUGH_MEMORY)) {
        return 0;
    }
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return registerClass(windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc,
                         windowClass->hIcon, windowClass->hCursor);
}

ATOM RegisterClassEx(const WNDCLASSEX* windowClass) {
    if (testing::failsWithLastError("RegisterClassEx", ERROR_NOT_ENOUGH_MEMORY)) {
        return 0;
    }
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const HICON icon = windowClass->hIcon != nullptr ? windowClass->hIcon : windowClass->hIconSm;
    return registerClass(windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc, icon,
                         windowClass->hCursor);
}

// A window made from the class keeps its own copy of what it needs, so the class may go while the
// window lives (the engine unregisters before it destroys).
BOOL UnregisterClass(const char* className, HINSTANCE) {
    if (className == nullptr || layer().classes.erase(className) == 0) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND, HMENU, HINSTANCE, void*) {
    (void)exStyle;
    if (testing::failsWithLastError("CreateWindowEx", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    WindowLayer& state = layer();
    const auto found = className != nullptr ? state.classes.find(className) : state.classes.end();
    if (found == state.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (state.current != nullptr) {
        // One window at a time: the engine always destroys the old one first.
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    if (!ensureVideo()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    const WindowClass& windowClass = found->second;
    const bool fullScreen = (style & WS_POPUP) != 0;
    // On a display that has ended (before or while the window is made) the window has no SDL window behind
    // it, or one that is never asked anything again: the game runs on only to be told that the session ends.
    SDL_Window* sdl = nullptr;
    whileDisplayLasts([&] {
        sdl = makeSdlWindow(windowName, fullScreen, style, x, y, width, height);
        if (sdl == nullptr) {
            return;
        }
        watchDisplayConnection(sdl);
        if (SDL_Surface* icon = loadIconPicture(windowClass.icon)) {
            SDL_SetWindowIcon(sdl, icon);
            SDL_FreeSurface(icon);
        }
        SDL_StartTextInput();
    });
    if (sdl == nullptr && !displayLost()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto record = std::make_unique<WindowRecord>();
    record->handle = reinterpret_cast<HWND>(std::uintptr_t{0x10000} + state.nextSerial++ * 0x10);
    record->sdl = sdl;
    record->title = windowName != nullptr ? windowName : "";
    record->className = windowClass.name;
    record->procedure = windowClass.procedure;
    record->classStyle = windowClass.style;
    record->style = style;
    record->width = width;
    record->height = height;
    record->fullScreen = fullScreen;
    const HWND handle = record->handle;
    const WNDPROC procedure = record->procedure;
    state.current = std::move(record);

    // The procedure sees the window before its creator does, as the engine expects; it may destroy it.
    procedure(handle, WM_NCCALCSIZE, 0, 0);
    if (windowRecord(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (procedure(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (windowRecord(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    passOnCloseRequest(handle);
    listenForRequests(handle, state.current->title);
    return handle;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = windowRecord(window);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (record->destroying) {
        return TRUE;
    }
    record->destroying = true;
    if (layer().capture == window) {
        ReleaseCapture();
    }
    const WNDPROC procedure = record->procedure;
    procedure(window, WM_DESTROY, 0, 0);
    // The procedure cannot have freed the record: it is marked as going, so neither a second
    // DestroyWindow nor a CreateWindowEx replaces it.
    record = windowRecord(window);
    if (record == nullptr) {
        return TRUE;
    }
    if (record->destroyHook) {
        const std::function<void()> hook = std::move(record->destroyHook);
        hook();
    }
    stopListening();
    // SDL waits for the server to confirm the window's hiding: on a display that has ended, the window is
    // left to the end of the process, which is near.
    whileDisplayLasts([sdl = record->sdl] { SDL_DestroyWindow(sdl); });
    layer().current.reset();
    forgetMessagesOf(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    if (isWindowElsewhere(window)) {
        return command == SW_RESTORE ? restoreWindowElsewhere(window) : FALSE;
    }
    WindowRecord* record = windowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    SDL_Window* const sdl = record->sdl;
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    const BOOL wasVisible = (flags & SDL_WINDOW_SHOWN) != 0 ? TRUE : FALSE;
    const bool minimising =
        command == SW_SHOWMINIMIZED || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE;
    // SDL waits for the server to confirm a showing or hiding, which on a display that ends meanwhile never
    // comes: the wait is left then.
    const bool reached = whileDisplayLasts([command, flags, minimising, sdl] {
        if (command == SW_HIDE) {
            SDL_HideWindow(sdl);
            return;
        }
        SDL_ShowWindow(sdl);
        if (minimising) {
            SDL_MinimizeWindow(sdl);
        } else if (command == SW_RESTORE && (flags & SDL_WINDOW_MINIMIZED) != 0) {
            SDL_RestoreWindow(sdl);
        }
    });
    if (reached && command != SW_HIDE && !minimising) {
        requestPaint(window);
    }
    return wasVisible;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    WindowRecord* record = windowRecord(window);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The full-screen window always covers the desktop.
    if (!record->fullScreen) {
        whileDisplayLasts([sdl = record->sdl, x, y, width, height] {
            SDL_SetWindowSize(sdl, std::max(width, 1), std::max(height, 1));
            SDL_SetWindowPosition(sdl, x, y);
        });
    }
    return TRUE;
}

// The window manager draws the frame outside the client area, so the window's size is its client size.
BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) {
    return rect != nullptr ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    const WindowRecord* record = windowRecord(window);
    if (record == nullptr || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const GameArea area = effectiveArea(*record);
    *rect = RECT{0, 0, area.gameWidth, area.gameHeight};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    SDL_Point origin;
    if (point == nullptr || !clientOrigin(window, origin)) {
        return FALSE;
    }
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    SDL_Point origin;
    if (point == nullptr || !clientOrigin(window, origin)) {
        return FALSE;
    }
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
    const HWND target = window != nullptr ? window : currentWindow();
    if (windowRecord(target) == nullptr) {
        return FALSE;
    }
    requestPaint(target);
    return TRUE;
}

HWND GetDesktopWindow() {
    return desktopWindow;
}

HWND FindWindow(const char* className, const char* windowName) {
    const WindowRecord* record = currentRecord();
    if (record != nullptr && !record->destroying &&
        (className == nullptr || equalIgnoringCase(record->className, className)) &&
        (windowName == nullptr || record->title == windowName)) {
        return record->handle;
    }
    // Another process's window is known by its title only.
    return className == nullptr && windowName != nullptr ? findWindowElsewhere(windowName) : nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    if (isWindowElsewhere(window)) {
        return raiseWindowElsewhere(window);
    }
    WindowRecord* record = windowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    whileDisplayLasts([sdl = record->sdl] { SDL_RaiseWindow(sdl); });
    return TRUE;
}

HWND SetCapture(HWND window) {
    const HWND previous = layer().capture;
    if (windowRecord(window) != nullptr) {
        layer().capture = window;
        // Not every video driver can capture; the mouse then simply stays with the window under it.
        whileDisplayLasts([] { SDL_CaptureMouse(SDL_TRUE); });
    }
    return previous;
}

BOOL ReleaseCapture() {
    if (layer().capture != nullptr) {
        layer().capture = nullptr;
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            whileDisplayLasts([] { SDL_CaptureMouse(SDL_FALSE); });
        }
    }
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) {
        return FALSE;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        *point = POINT{};
        return TRUE;
    }
    int x = 0;
    int y = 0;
    const WindowRecord* record = currentRecord();
    if (record == nullptr) {
        whileDisplayLasts([&x, &y] { SDL_GetGlobalMouseState(&x, &y); });
        *point = POINT{x, y};
        return TRUE;
    }
    const SDL_Point position = windowPosition(*record);
    const bool asked = whileDisplayLasts([&x, &y, &position, sdl = record->sdl] {
        if (!pointerInWindow(sdl, &x, &y)) {
            SDL_GetGlobalMouseState(&x, &y);
            const char* driver = SDL_GetCurrentVideoDriver();
            // Without a desktop, SDL answers with the position inside the window instead of a global one.
            if (driver == nullptr || SDL_strcmp(driver, "dummy") != 0) {
                x -= position.x;
                y -= position.y;
            }
        }
    });
    // On a display that has ended the pointer stays where SDL last saw it.
    if (!asked) {
        SDL_GetMouseState(&x, &y);
    }
    const SDL_Point game = gameFromWindow(effectiveArea(*record), x, y);
    *point = POINT{game.x + position.x, game.y + position.y};
    return TRUE;
}

} // namespace host
