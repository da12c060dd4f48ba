// Where the pointer is, asked of the X server itself. SDL keeps the desktop-wide position in a cache that
// only raw input events refresh, and events sent through the XTEST extension (or a pointer that has left
// the window) do not always produce them; the game reads the pointer outside its window every frame.
// Inside the window SDL's own position is current.
// Kept apart from the other window sources: the X11 headers define names (Window, Bool, None) that clash.

#include <SDL.h>
#include <SDL_syswm.h>

namespace host {

bool pointerInWindow(SDL_Window* window, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
    using QueryPointer =
        Bool (*)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*, unsigned int*);
    // Looked up at run time: libX11 is SDL's dependency, not one the host links itself.
    static const QueryPointer query = [] {
        void* library = SDL_LoadObject("libX11.so.6");
        return library != nullptr ? reinterpret_cast<QueryPointer>(SDL_LoadFunction(library, "XQueryPointer"))
                                  : nullptr;
    }();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (query == nullptr || window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    // Over the window with no button held, the window's own motion events (test input makes them too) keep
    // SDL's position current once the events that arrived are read (they stay queued for the next message
    // pump): the server is asked only when the pointer is elsewhere or captured, since a question waits for
    // its answer and the game asks every frame.
    SDL_PumpEvents();
    if (SDL_GetMouseFocus() == window && SDL_GetMouseState(x, y) == 0) {
        return true;
    }
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    unsigned int mask = 0;
    return query(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, x, y, &mask) !=
           0;
#else
    (void)window;
    (void)x;
    (void)y;
    return false;
#endif
}

} // namespace host
