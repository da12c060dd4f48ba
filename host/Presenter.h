#pragma once
// Inside the host only: how the back buffer reaches the game window. Only what changed since the last
// presentation is sent, and a frame that changed nothing sends nothing. A picture shown at its own size
// goes straight into the window's own pixels (SDL's window surface); a scaled one is scaled there in
// software, unless a graphics card is there to scale it (full screen only), because a GL context on a
// software rasteriser costs far more than the scaling itself.

#include "host/Display.h"
#include "host/FrameChanges.h"
#include "host/PictureScaler.h"
#include "host/SdlWindow.h"

#include <SDL.h>

#include <memory>
#include <vector>

namespace host {

// Shared by the display object (which closes it when released) and its primary surfaces (which may outlive
// it and then find it lost).
class Presenter : public std::enable_shared_from_this<Presenter> {
public:
    ~Presenter() { close(false); }

    HRESULT open(HWND handle);
    // Lets the window go. From the window's destroy hook the hook itself is left alone.
    void close(bool fromHook);
    bool lost() const;
    HRESULT restore();
    HRESULT present(IDirectDrawSurface7& source, const RECT& from);

private:
    HRESULT openOnLostDisplay(HWND handle);
    bool openRenderer(HWND handle, SDL_Window* target);
    HRESULT presentToSurface(IDirectDrawSurface7& source, const RECT& from);
    HRESULT presentWithRenderer(IDirectDrawSurface7& source, const RECT& from);
    void sendToSurface(SDL_Surface* surface, const BYTE* first, LONG pitch, int width, int height,
                       int bytesPerPixel, const SDL_Rect* written, bool whole);
    void prepareScaling(const BYTE* first, LONG pitch, int width, int height, int bytesPerPixel,
                        const std::vector<SDL_Rect>& changed);
    void scaleToSurface(SDL_Surface* surface, const SDL_Rect& part);
    void readBack(SDL_Surface* surface);
    void publishArea(int width, int height, const SDL_Rect& place, int outputWidth, int outputHeight);
    // The frame check: the window's pixels against a whole presentation of the picture.
    void checkShown(SDL_Surface* surface, const BYTE* first, LONG pitch, int width, int height,
                    int bytesPerPixel);
    void presentWhole(SDL_Surface* whole, const BYTE* first, LONG pitch, int width, int height,
                      int bytesPerPixel);

    HWND window = nullptr;
    SDL_Window* sdlWindow = nullptr;
    // Set only where a graphics card scales the picture.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    Uint32 textureFormat = 0;
    unsigned resetsSeen = 0;
    unsigned exposuresSeen = 0;
    GameArea shownArea;

    FrameChanges changes;
    // The window surface as last drawn, and where the picture lies in it.
    SDL_Surface* shownSurface = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    SDL_Rect shown{0, 0, 0, 0};
    PictureScaler scaler;
    // A 16-bit picture in 32 bits, for the scaler.
    std::vector<std::uint32_t> widened;
    const std::uint32_t* scaleSource = nullptr;
    int scaleSourcePitch = 0;
    // Output of the scaler for a window surface of another format than 32-bit XRGB.
    std::vector<std::uint32_t> scratch;
    std::vector<SDL_Rect> sent;
    // The frame check's whole presentation, in the window's format, and its picture widened to 32 bits.
    std::vector<BYTE> wholeWindow;
    std::vector<std::uint32_t> wholeWidened;
};

} // namespace host
