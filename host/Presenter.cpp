#include "host/Presenter.h"

#include "host/DirectDraw.h"
#include "host/WindowX11.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace host {
namespace {

// Bumped by SDL's render reset events (device lost, render targets gone); a presenter opened before the
// last bump has lost its surfaces.
std::atomic<unsigned> renderResets{0};
// Bumped when a window's content must be drawn again whole (uncovered, resized).
std::atomic<unsigned> exposures{0};

int watchEvents(void*, SDL_Event* event) {
    if (event->type == SDL_RENDER_DEVICE_RESET || event->type == SDL_RENDER_TARGETS_RESET) {
        renderResets.fetch_add(1);
    } else if (event->type == SDL_WINDOWEVENT && (event->window.event == SDL_WINDOWEVENT_EXPOSED ||
                                                  event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
        exposures.fetch_add(1);
    }
    return 0;
}

void installEventWatch() {
    static std::once_flag once;
    std::call_once(once, [] { SDL_AddEventWatch(watchEvents, nullptr); });
}

struct Capture {
    std::mutex lock;
    bool on = false;
    bool have = false;
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

Capture& capture() {
    static Capture state;
    return state;
}

// The frame check's switch and what it found since it was last asked.
struct ShownCheck {
    // Read at every presentation, so without the lock.
    std::atomic<bool> on = false;
    std::mutex lock;
    RECT difference{};
};

ShownCheck& shownCheck() {
    static ShownCheck state;
    return state;
}

bool checkingShown() {
    return shownCheck().on;
}

void noteShownDifference(const RECT& area) {
    ShownCheck& state = shownCheck();
    std::lock_guard guard(state.lock);
    RECT& known = state.difference;
    known = known.right <= known.left
                ? area
                : RECT{std::min(known.left, area.left), std::min(known.top, area.top),
                       std::max(known.right, area.right), std::max(known.bottom, area.bottom)};
}

std::vector<RECT>& lastSent() {
    static std::vector<RECT> rectangles;
    return rectangles;
}

// A window can be drawn by one display at a time.
std::vector<SDL_Window*>& heldWindows() {
    static std::vector<SDL_Window*> windows;
    return windows;
}

// Set once a renderer turned out to run on a software rasteriser; no GL context is made again.
bool softwareGraphics = false;

bool headlessDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0);
}

// Without a device node of a graphics card, GL can only be a software rasteriser.
bool graphicsCardPresent() {
    if (::access("/dev/nvidia0", F_OK) == 0) {
        return true;
    }
    DIR* folder = ::opendir("/dev/dri");
    if (folder == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.starts_with("renderD") || name.starts_with("card")) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

bool runsInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr ||
        SDL_strcmp(info.name, "software") == 0) {
        return true;
    }
    if (SDL_strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    // The renderer's context is current: its name tells a rasteriser of Mesa's from a card's driver.
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned glRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString != nullptr ? getString(glRenderer) : nullptr;
    if (name == nullptr) {
        return true;
    }
    const std::string_view text = reinterpret_cast<const char*>(name);
    for (const std::string_view software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"}) {
        if (text.find(software) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The renderer the player named (SDL_RENDER_DRIVER), else null.
const char* askedRenderer() {
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    return named != nullptr && *named != '\0' ? named : nullptr;
}

// The picture as large as the output allows, keeping its shape, centred; bars stay black.
SDL_Rect fitted(int width, int height, int outputWidth, int outputHeight) {
    const double scale =
        std::min(static_cast<double>(outputWidth) / width, static_cast<double>(outputHeight) / height);
    SDL_Rect place;
    place.w = std::max(1, static_cast<int>(std::lround(width * scale)));
    place.h = std::max(1, static_cast<int>(std::lround(height * scale)));
    place.x = (outputWidth - place.w) / 2;
    place.y = (outputHeight - place.h) / 2;
    return place;
}

Uint32 formatOf(int bytesPerPixel) {
    return bytesPerPixel == 2 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}

const BYTE* pixelAt(const BYTE* first, LONG pitch, int bytesPerPixel, int x, int y) {
    return first + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
}

// Where the picture (the source's rectangle from) may have changed since the last presentation, in picture
// pixels; null (anywhere) while a lock is held, as its holder may still be writing.
const SDL_Rect* writtenPart(IDirectDrawSurface7& source, const RECT& from, SDL_Rect& part) {
    const RECT written = source.takeWrittenArea();
    if (source.lockCount() != 0) {
        return nullptr;
    }
    part = SDL_Rect{written.left - from.left, written.top - from.top,
                    std::max(0, written.right - written.left), std::max(0, written.bottom - written.top)};
    return &part;
}

BYTE* surfacePixel(SDL_Surface* surface, int x, int y) {
    return static_cast<BYTE*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch +
           static_cast<std::ptrdiff_t>(x) * surface->format->BytesPerPixel;
}

} // namespace

bool displayUsesRenderer(bool fullScreen) {
    if (!fullScreen || headlessDriver()) {
        return false;
    }
    return askedRenderer() != nullptr || (!softwareGraphics && graphicsCardPresent());
}

// SDL tries its OpenGL renderers first; a renderer asked for by another name is not one.
bool displayDrawsWithOpenGl(bool fullScreen) {
    const char* named = askedRenderer();
    return displayUsesRenderer(fullScreen) && (named == nullptr || SDL_strncmp(named, "opengl", 6) == 0);
}

HRESULT Presenter::open(HWND handle) {
    if (displayLost()) {
        return openOnLostDisplay(handle);
    }
    SDL_Window* target = sdlWindowOf(handle);
    if (target == nullptr) {
        return DDERR_NOCOOPERATIVELEVEL;
    }
    if (target == sdlWindow && !lost()) {
        return DD_OK;
    }
    close(false);
    std::vector<SDL_Window*>& held = heldWindows();
    // Another display, or a renderer of anyone else's, draws the window: its picture belongs to them.
    if (std::find(held.begin(), held.end(), target) != held.end() || SDL_GetRenderer(target) != nullptr) {
        return DDERR_PRIMARYHELD;
    }
    installEventWatch();
    resetsSeen = renderResets.load();
    exposuresSeen = exposures.load();
    bool opened = false;
    if (!whileDisplayLasts([this, handle, target, &opened] {
            opened = openRenderer(handle, target) || SDL_GetWindowSurface(target) != nullptr;
        })) {
        return openOnLostDisplay(handle);
    }
    if (!opened) {
        return DDERR_GENERIC;
    }
    window = handle;
    sdlWindow = target;
    held.push_back(target);
    shownArea = GameArea{0, 0, SDL_Rect{0, 0, 0, 0}};
    shownSurface = nullptr;
    changes.forget();
    setWindowDestroyHook(window, [weak = weak_from_this()] {
        if (auto self = weak.lock()) {
            self->close(true);
        }
    });
    return DD_OK;
}

// The game runs on only to keep itself: its frames go nowhere, and nothing is made on the display.
HRESULT Presenter::openOnLostDisplay(HWND handle) {
    if (handle == nullptr || handle != currentWindow()) {
        return DDERR_NOCOOPERATIVELEVEL;
    }
    close(false);
    window = handle;
    return DD_OK;
}

bool Presenter::openRenderer(HWND handle, SDL_Window* target) {
    if (!displayUsesRenderer(isFullScreenWindow(handle))) {
        return false;
    }
    const bool asked = askedRenderer() != nullptr;
    renderer = SDL_CreateRenderer(target, -1, asked ? 0 : SDL_RENDERER_ACCELERATED);
    if (renderer != nullptr && !asked && runsInSoftware(renderer)) {
        softwareGraphics = true;
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    return renderer != nullptr;
}

void Presenter::close(bool fromHook) {
    // A renderer's end talks to the display: one that has ended is left to the end of the process.
    if (displayLost()) {
        texture = nullptr;
        renderer = nullptr;
    }
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (sdlWindow != nullptr) {
        std::vector<SDL_Window*>& held = heldWindows();
        held.erase(std::remove(held.begin(), held.end(), sdlWindow), held.end());
        if (!fromHook && sdlWindowOf(window) == sdlWindow) {
            setWindowDestroyHook(window, [] {});
        }
    }
    window = nullptr;
    sdlWindow = nullptr;
    shownSurface = nullptr;
}

bool Presenter::lost() const {
    return sdlWindow == nullptr || resetsSeen != renderResets.load();
}

HRESULT Presenter::restore() {
    if (!lost()) {
        return DD_OK;
    }
    HWND handle = window;
    close(false);
    return handle == nullptr ? DDERR_SURFACELOST : open(handle);
}

HRESULT Presenter::present(IDirectDrawSurface7& source, const RECT& from) {
    // The display has ended with the session: the game runs on only to keep itself, and shows nothing.
    if (displayLost()) {
        return DD_OK;
    }
    if (lost()) {
        return DDERR_SURFACELOST;
    }
    sent.clear();
    const HRESULT result = renderer ? presentWithRenderer(source, from) : presentToSurface(source, from);
    std::vector<RECT>& record = lastSent();
    record.clear();
    for (const SDL_Rect& rect : sent) {
        record.push_back(RECT{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h});
    }
    // A display that ended during the presentation shows nothing more, and that is no failure.
    return displayLost() ? DD_OK : result;
}

HRESULT Presenter::presentToSurface(IDirectDrawSurface7& source, const RECT& from) {
    const int width = from.right - from.left;
    const int height = from.bottom - from.top;
    // Made again by SDL after the window's size changed, so asked for every time.
    SDL_Surface* surface = nullptr;
    whileDisplayLasts([this, &surface] { surface = SDL_GetWindowSurface(sdlWindow); });
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) {
        return DDERR_GENERIC;
    }
    const SDL_Rect place = fitted(width, height, surface->w, surface->h);
    const unsigned exposed = exposures.load();
    const bool whole = surface != shownSurface || surface->w != surfaceWidth || surface->h != surfaceHeight ||
                       !SDL_RectEquals(&place, &shown) || exposed != exposuresSeen;
    if (whole) {
        shownSurface = surface;
        surfaceWidth = surface->w;
        surfaceHeight = surface->h;
        shown = place;
        exposuresSeen = exposed;
        changes.forget();
        scaler.setLayout(width, height, shown.w, shown.h);
    }
    const int bytes = static_cast<int>(source.bytesPerPixel());
    const BYTE* first = pixelAt(source.pixels(), source.pitch(), bytes, from.left, from.top);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        return DDERR_GENERIC;
    }
    SDL_Rect part;
    sendToSurface(surface, first, source.pitch(), width, height, bytes, writtenPart(source, from, part),
                  whole);
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    publishArea(width, height, shown, surface->w, surface->h);
    if (checkingShown()) {
        checkShown(surface, first, source.pitch(), width, height, bytes);
    }
    if (sent.empty()) {
        return DD_OK;
    }
    readBack(surface);
    int updated = -1;
    whileDisplayLasts([this, &updated] {
        updated = SDL_UpdateWindowSurfaceRects(sdlWindow, sent.data(), static_cast<int>(sent.size()));
    });
    return updated == 0 ? DD_OK : DDERR_GENERIC;
}

void Presenter::sendToSurface(SDL_Surface* surface, const BYTE* first, LONG pitch, int width, int height,
                              int bytes, const SDL_Rect* written, bool whole) {
    const bool exact = shown.w == width && shown.h == height;
    // A window surface that holds the picture's own bytes (shown at its size, in its format) is what was
    // last shown: the picture is compared with it rather than with a copy of its own.
    const bool sameBytes = exact && surface->format->format == formatOf(bytes);
    const std::vector<SDL_Rect>& changed =
        sameBytes ? changes.compareWithShown(first, pitch, width, height, bytes, written,
                                             surfacePixel(surface, shown.x, shown.y), surface->pitch)
                  : changes.compare(first, pitch, width, height, bytes, written);
    if (changed.empty()) {
        return;
    }
    if (whole) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        sent.push_back(SDL_Rect{0, 0, surface->w, surface->h});
    }
    if (!exact) {
        prepareScaling(first, pitch, width, height, bytes, changed);
    }
    for (const SDL_Rect& rect : changed) {
        SDL_Rect part = rect;
        if (exact) {
            SDL_ConvertPixels(rect.w, rect.h, formatOf(bytes), pixelAt(first, pitch, bytes, rect.x, rect.y),
                              pitch, surface->format->format,
                              surfacePixel(surface, shown.x + rect.x, shown.y + rect.y), surface->pitch);
        } else {
            part = scaler.reachOf(rect);
            scaleToSurface(surface, part);
        }
        if (!whole && part.w > 0 && part.h > 0) {
            sent.push_back(SDL_Rect{shown.x + part.x, shown.y + part.y, part.w, part.h});
        }
    }
}

// The scaler reads 32-bit pixels: a 16-bit picture's changed parts are widened first.
void Presenter::prepareScaling(const BYTE* first, LONG pitch, int width, int height, int bytes,
                               const std::vector<SDL_Rect>& changed) {
    if (bytes == 4) {
        scaleSource = reinterpret_cast<const std::uint32_t*>(first);
        scaleSourcePitch = pitch;
        return;
    }
    widened.resize(static_cast<std::size_t>(width) * height);
    scaleSource = widened.data();
    scaleSourcePitch = width * 4;
    for (const SDL_Rect& rect : changed) {
        SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_RGB565,
                          pixelAt(first, pitch, bytes, rect.x, rect.y), pitch, SDL_PIXELFORMAT_RGB888,
                          &widened[static_cast<std::size_t>(rect.y) * width + rect.x], scaleSourcePitch);
    }
}

void Presenter::scaleToSurface(SDL_Surface* surface, const SDL_Rect& part) {
    if (part.w <= 0 || part.h <= 0) {
        return;
    }
    BYTE* target = surfacePixel(surface, shown.x + part.x, shown.y + part.y);
    const Uint32 format = surface->format->format;
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
        scaler.draw(scaleSource, scaleSourcePitch, part, reinterpret_cast<std::uint32_t*>(target),
                    surface->pitch);
        return;
    }
    scratch.resize(static_cast<std::size_t>(part.w) * part.h);
    scaler.draw(scaleSource, scaleSourcePitch, part, scratch.data(), part.w * 4);
    SDL_ConvertPixels(part.w, part.h, SDL_PIXELFORMAT_RGB888, scratch.data(), part.w * 4, format, target,
                      surface->pitch);
}

HRESULT Presenter::presentWithRenderer(IDirectDrawSurface7& source, const RECT& from) {
    const int width = from.right - from.left;
    const int height = from.bottom - from.top;
    const int bytes = static_cast<int>(source.bytesPerPixel());
    const Uint32 format = formatOf(bytes);
    if (texture == nullptr || textureWidth != width || textureHeight != height || textureFormat != format) {
        if (texture) {
            SDL_DestroyTexture(texture);
        }
        texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (texture == nullptr) {
            return DDERR_GENERIC;
        }
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
        textureWidth = width;
        textureHeight = height;
        textureFormat = format;
        changes.forget();
    }
    const BYTE* first = pixelAt(source.pixels(), source.pitch(), bytes, from.left, from.top);
    SDL_Rect part;
    const std::vector<SDL_Rect>& changed =
        changes.compare(first, source.pitch(), width, height, bytes, writtenPart(source, from, part));
    const unsigned exposed = exposures.load();
    if (changed.empty() && exposed == exposuresSeen) {
        return DD_OK;
    }
    exposuresSeen = exposed;
    for (const SDL_Rect& rect : changed) {
        if (SDL_UpdateTexture(texture, &rect, pixelAt(first, source.pitch(), bytes, rect.x, rect.y),
                              source.pitch()) != 0) {
            changes.forget();
            return DDERR_GENERIC;
        }
    }

    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0 || outputWidth <= 0 ||
        outputHeight <= 0) {
        return DDERR_GENERIC;
    }
    const SDL_Rect place = fitted(width, height, outputWidth, outputHeight);
    const bool exact = place.w == width && place.h == height;
    SDL_SetTextureScaleMode(texture, exact ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (SDL_RenderCopy(renderer, texture, nullptr, &place) != 0) {
        return DDERR_GENERIC;
    }
    readBack(nullptr);
    whileDisplayLasts([this] { SDL_RenderPresent(renderer); });
    sent.push_back(SDL_Rect{0, 0, outputWidth, outputHeight});
    publishArea(width, height, place, outputWidth, outputHeight);
    return DD_OK;
}

// Compared in window pixels, told in the picture's: a difference in the bars counts as the whole picture.
void Presenter::checkShown(SDL_Surface* surface, const BYTE* first, LONG pitch, int width, int height,
                           int bytes) {
    wholeWindow.assign(static_cast<std::size_t>(surface->pitch) * surface->h, 0);
    SDL_Surface* whole = SDL_CreateRGBSurfaceWithFormatFrom(wholeWindow.data(), surface->w, surface->h,
                                                            surface->format->BitsPerPixel, surface->pitch,
                                                            surface->format->format);
    if (whole == nullptr) {
        return;
    }
    presentWhole(whole, first, pitch, width, height, bytes);
    SDL_FreeSurface(whole);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        return;
    }
    const RECT found =
        differingPixels(static_cast<const BYTE*>(surface->pixels), surface->pitch, wholeWindow.data(),
                        surface->pitch, surface->w, surface->h, surface->format->BytesPerPixel);
    const SDL_Rect differing{found.left, found.top, found.right - found.left, found.bottom - found.top};
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    if (differing.w <= 0) {
        return;
    }
    RECT area{(differing.x - shown.x) * width / shown.w, (differing.y - shown.y) * height / shown.h,
              ((differing.x + differing.w - shown.x) * width + shown.w - 1) / shown.w,
              ((differing.y + differing.h - shown.y) * height + shown.h - 1) / shown.h};
    area = RECT{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0), std::min<LONG>(area.right, width),
                std::min<LONG>(area.bottom, height)};
    noteShownDifference(area.left < area.right && area.top < area.bottom ? area : RECT{0, 0, width, height});
}

// What presenting the picture whole leaves in a window surface of that size and format.
void Presenter::presentWhole(SDL_Surface* whole, const BYTE* first, LONG pitch, int width, int height,
                             int bytes) {
    SDL_FillRect(whole, nullptr, SDL_MapRGB(whole->format, 0, 0, 0));
    const Uint32 format = whole->format->format;
    if (shown.w == width && shown.h == height) {
        SDL_ConvertPixels(width, height, formatOf(bytes), first, pitch, format,
                          surfacePixel(whole, shown.x, shown.y), whole->pitch);
        return;
    }
    const std::uint32_t* source = reinterpret_cast<const std::uint32_t*>(first);
    int sourcePitch = pitch;
    if (bytes == 2) {
        wholeWidened.resize(static_cast<std::size_t>(width) * height);
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB565, first, pitch, SDL_PIXELFORMAT_RGB888,
                          wholeWidened.data(), width * 4);
        source = wholeWidened.data();
        sourcePitch = width * 4;
    }
    std::vector<std::uint32_t> scaled(static_cast<std::size_t>(shown.w) * shown.h);
    scaler.draw(source, sourcePitch, SDL_Rect{0, 0, shown.w, shown.h}, scaled.data(), shown.w * 4);
    SDL_ConvertPixels(shown.w, shown.h, SDL_PIXELFORMAT_RGB888, scaled.data(), shown.w * 4, format,
                      surfacePixel(whole, shown.x, shown.y), whole->pitch);
}

// While tests capture, the window's whole picture after each presentation that sent something.
void Presenter::readBack(SDL_Surface* surface) {
    Capture& state = capture();
    std::lock_guard guard(state.lock);
    if (!state.on) {
        return;
    }
    int width = 0;
    int height = 0;
    if (surface != nullptr) {
        width = surface->w;
        height = surface->h;
    } else if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) {
        return;
    }
    state.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    state.have =
        surface != nullptr
            ? SDL_ConvertPixels(width, height, surface->format->format, surface->pixels, surface->pitch,
                                SDL_PIXELFORMAT_ARGB8888, state.pixels.data(), width * 4) == 0
            : SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, state.pixels.data(),
                                   width * 4) == 0;
    state.width = width;
    state.height = height;
}

// Tells the window layer where the picture is, in window pixels (the output may have more pixels than the
// window on a scaled desktop), so that mouse positions map back to the game.
void Presenter::publishArea(int width, int height, const SDL_Rect& place, int outputWidth, int outputHeight) {
    int windowWidth = outputWidth;
    int windowHeight = outputHeight;
    SDL_GetWindowSize(sdlWindow, &windowWidth, &windowHeight);
    GameArea area;
    area.gameWidth = width;
    area.gameHeight = height;
    area.shown.x = place.x * windowWidth / outputWidth;
    area.shown.y = place.y * windowHeight / outputHeight;
    area.shown.w = std::max(1, place.w * windowWidth / outputWidth);
    area.shown.h = std::max(1, place.h * windowHeight / outputHeight);
    if (area.gameWidth != shownArea.gameWidth || area.gameHeight != shownArea.gameHeight ||
        !SDL_RectEquals(&area.shown, &shownArea.shown)) {
        shownArea = area;
        setGameArea(window, area);
    }
}

// A 32-bit pixel's top byte is never shown.
RECT differingPixels(const BYTE* first, LONG firstPitch, const BYTE* second, LONG secondPitch, int width,
                     int height, int bytesPerPixel) {
    const auto same = [bytesPerPixel](const BYTE* a, const BYTE* b) {
        if (bytesPerPixel == 4) {
            std::uint32_t one = 0;
            std::uint32_t other = 0;
            std::memcpy(&one, a, 4);
            std::memcpy(&other, b, 4);
            return ((one ^ other) & 0x00FFFFFFu) == 0;
        }
        return std::memcmp(a, b, static_cast<std::size_t>(bytesPerPixel)) == 0;
    };
    int left = width;
    int right = -1;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < height; ++y) {
        const BYTE* rowA = first + static_cast<std::ptrdiff_t>(y) * firstPitch;
        const BYTE* rowB = second + static_cast<std::ptrdiff_t>(y) * secondPitch;
        if (std::memcmp(rowA, rowB, static_cast<std::size_t>(width) * bytesPerPixel) == 0) {
            continue;
        }
        for (int x = 0; x < width; ++x) {
            if (!same(rowA + x * bytesPerPixel, rowB + x * bytesPerPixel)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
    }
    return right < 0 ? RECT{} : RECT{left, top, right + 1, bottom + 1};
}

void checkPresentations(bool on) {
    ShownCheck& state = shownCheck();
    std::lock_guard guard(state.lock);
    state.on = on;
    state.difference = RECT{};
}

RECT takePresentationDifference() {
    ShownCheck& state = shownCheck();
    std::lock_guard guard(state.lock);
    return std::exchange(state.difference, RECT{});
}

namespace testing {

void capturePresentations(bool on) {
    Capture& state = capture();
    std::lock_guard guard(state.lock);
    state.on = on;
    state.have = false;
    state.pixels.clear();
}

bool takePresentedPicture(std::vector<std::uint32_t>* pixels, int* width, int* height) {
    Capture& state = capture();
    std::lock_guard guard(state.lock);
    if (!state.have) {
        return false;
    }
    if (pixels) {
        *pixels = std::move(state.pixels);
    }
    if (width) {
        *width = state.width;
    }
    if (height) {
        *height = state.height;
    }
    state.have = false;
    state.pixels.clear();
    return true;
}

std::vector<RECT> lastSentRectangles() {
    return lastSent();
}

void simulateRenderReset() {
    installEventWatch();
    SDL_Event event{};
    event.type = SDL_RENDER_DEVICE_RESET;
    SDL_PushEvent(&event);
}

void simulateExposure() {
    installEventWatch();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&event);
}

} // namespace testing

} // namespace host
