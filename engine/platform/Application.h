#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/platform/FrameRateDisplay.h"
#include "engine/platform/SceneComponent.h"
#include "host/DirectDraw.h"
#include "host/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

// The one game window and its display: a front screen image over the primary surface, a back screen image
// over an offscreen buffer of the game size, and the painter every scene draws with. As a frame listener it
// copies the finished back buffer to the screen once per frame. Every window message reaches the event
// dispatcher's listeners before the window procedure handles it.
class Application : public SceneComponent, public FrameRateDisplay {
public:
    // The program refuses to start (true) when another copy runs, bringing that copy's window forward, or
    // when no display can be had. The mutex stays open for the life of the process.
    static bool checkSingleInstance(const std::string& name);

    // Window shown, display up, back painter ready; a failed display has shown its box and posted the quit.
    // While an application exists, it is returned unchanged.
    static Application* create(const std::string& title, int width, int height, bool fullScreen,
                               int requestedBytesPerPixel, int iconId);
    static Application* instance();
    static void destroy();

    // The procedure of both window classes.
    static host::LRESULT windowProc(host::HWND window, host::UINT message, host::WPARAM wParam,
                                    host::LPARAM lParam);

    void onStart() override;
    void onFrame(std::uint32_t ms) override;

    virtual void initialise(const std::string& title, int x, int y, int width, int height, bool fullScreen,
                            int requestedBytesPerPixel);
    virtual void createWindowAndDisplay();
    virtual void showWindow();
    virtual void present();
    virtual void fitWindowToClient();
    virtual void closeDisplay();
    virtual void onKeyDown(host::WPARAM key);
    virtual void restoreDisplay();
    virtual void changeFullScreen(bool state);
    virtual void toggleFullScreen();
    virtual void minimise();
    virtual void updateClientRect();
    virtual void setCursorShape(int shape);
    virtual void applyCursor();
    virtual host::HWND createWindow();
    virtual host::HWND createWindowedWindow();
    virtual host::HWND createFullScreenWindow();
    virtual host::HRESULT createWindowedSurfaces();
    virtual host::HRESULT createFullScreenSurfaces(int backBufferCount);
    virtual host::HRESULT createDisplay();
    virtual host::HRESULT setUpWindowedDisplay();
    virtual host::HRESULT setUpFullScreenDisplay();
    // Screen16 for 2, Screen32 for 4 bytes per pixel, else null. The image takes its own reference.
    virtual graphics::ImageBase* createScreenImage(host::IDirectDrawSurface7* surface);
    virtual void createEventDispatcher();
    virtual void createBackPainter();

    graphics::ImagePainter* getBackPainter() const { return backPainter.get(); }
    graphics::ImageBase* getFrontImage() const { return frontImage.get(); }
    graphics::ImageBase* getBackImage() const { return backImage.get(); }
    host::IDirectDraw7* getDirectDraw() const { return directDraw; }
    host::HWND getWindowHandle() const { return windowHandle; }
    void setWindowHandle(host::HWND window) { windowHandle = window; }
    EventDispatcher* getEventDispatcher() const { return eventDispatcher.get(); }

    void setTitle(const std::string& text) { title = text; }
    const std::string& getTitle() const { return title; }
    bool isRecreating() const { return recreating; }
    void setWindowX(int x) { windowX = x; }
    int getWindowX() const { return windowX; }
    void setWindowY(int y) { windowY = y; }
    int getWindowY() const { return windowY; }
    bool isFullScreen() const { return fullScreen; }
    // Only the flag: the display is not touched (changeFullScreen switches it).
    void setFullScreen(bool state) { fullScreen = state; }
    bool isMinimised() const { return minimised; }
    void setMinimised(bool state) { minimised = state; }
    bool isFocused() const { return hasFocus; }
    int getBytesPerPixel() const { return bytesPerPixel; }
    void setRequestedBytesPerPixel(int bytes) { requestedBytesPerPixel = bytes; }
    void setSize(int newWidth, int newHeight) {
        setWidth(newWidth);
        setHeight(newHeight);
    }
    void setWidth(int value) { width = value; }
    int getWidth() const { return width; }
    void setHeight(int value) { height = value; }
    int getHeight() const { return height; }
    void setIconId(int id) { iconId = id; }
    int getIconId() const { return iconId; }
    // The cursor shown over either window; null hides the pointer.
    host::HCURSOR getCursor() const { return windowClass.hCursor; }
    bool isShowingFps() const { return showFps; }
    const std::vector<std::string>& getDebugLines() const { return debugLines; }

    // FrameRateDisplay: the frame timer's "FPS" line joins the debug lines while F9 has it shown.
    bool showsFrameRate() const override { return showFps; }
    void addDebugLine(const std::string& line) override { debugLines.push_back(line); }

    // Set by the layer that owns the scenes: true when the current scene took the close request. Without
    // a handler (or when it declines) the window closes as any window does.
    void setCloseRequestHandler(std::function<bool()> handler) { closeRequestHandler = std::move(handler); }
    // The same for the system's request to end the program (WM_ENDSESSION): without a handler that takes
    // it, the window closes.
    void setEndRequestHandler(std::function<bool()> handler) { endRequestHandler = std::move(handler); }

    static constexpr kernel::ClassInfo classInfo{&SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    Application() = default;
    ~Application() override;

    host::LRESULT handleMessage(host::HWND window, host::UINT message, host::WPARAM wParam,
                                host::LPARAM lParam);
    host::LRESULT onSize(host::WPARAM kind);
    void onKillFocus(host::HWND window);
    bool onClose();
    bool onEndSession();
    void notifyListeners(std::uint32_t event, std::uint32_t wParam);

    void failDisplay();
    host::HRESULT createDirectDraw();
    int desktopBytesPerPixel();
    host::HRESULT switchToFullScreenWindow();
    void centreWindow(host::HWND window, host::DWORD style, host::DWORD exStyle);
    host::HRESULT createPrimarySurface(host::DWORD caps, host::IDirectDrawSurface7** surface);
    host::HRESULT tryWindowedPrimary(host::IDirectDrawSurface7** surface);
    host::HRESULT tryFullScreenPrimary(host::IDirectDrawSurface7** surface);
    host::HRESULT createScreenImages(host::IDirectDrawSurface7* primary);
    void attachClipper();
    void drawDebugLines(host::IDirectDrawSurface7* surface);

    // Shown when another program holds the display, both at start and when the primary surface is refused.
    static constexpr const char* displayHeldText =
        "Unable to play the game. Possibly another game is running.\n(DirectX is already being used by "
        "different game)";
    static constexpr const char* displayHeldCaption = "Warning";

    int bytesPerPixel = 0;
    // 0 (or 3) takes the desktop's depth.
    int requestedBytesPerPixel = 0;
    host::HWND windowHandle = nullptr;
    kernel::SmartPtr<EventDispatcher> eventDispatcher;
    // The full-screen window's class; its cursor is the current cursor of either window.
    host::WNDCLASSEX windowClass;
    host::IDirectDraw7* directDraw = nullptr;
    kernel::SmartPtr<graphics::ImageBase> frontImage;
    kernel::SmartPtr<graphics::ImageBase> backImage;
    kernel::SmartPtr<graphics::ImagePainter> backPainter;
    std::string title;
    bool fullScreen = false;
    bool hasFocus = true;
    // True while window and display are closed and made again, so the old window's WM_DESTROY does not
    // end the program.
    bool recreating = false;
    int windowX = 0;
    int windowY = 0;
    int width = 640;
    int height = 480;
    int iconId = 0;
    bool minimised = false;
    bool showFps = false;
    std::vector<std::string> debugLines;
    std::function<bool()> closeRequestHandler;
    std::function<bool()> endRequestHandler;
};

// Closes the display of the Application when one exists; the run function calls it before the other
// singletons go.
void closeApplicationDisplay();

// The pointer shapes the game asks for by number.
inline constexpr int cursorAppStarting = 1;
inline constexpr int cursorArrow = 2;
inline constexpr int cursorHand = 3;
// Sets the pointer shape of the Application when one exists.
void setApplicationCursor(int shape);

} // namespace platform
