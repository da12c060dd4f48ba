#pragma once

#include "host/Window.h"

namespace platform {

// What an input dispatcher needs to know of the application. Kept apart from the Application so that
// the dispatcher can be driven without a window.
class InputContext {
public:
    virtual ~InputContext() = default;

    virtual bool hasFocus() const = 0;
    virtual int gameWidth() const = 0;
    virtual int gameHeight() const = 0;
    // The cursor in client coordinates of the game window, also when it lies outside the window.
    virtual host::POINT cursorPosition() const = 0;

    // Asks the Application when one exists; without it, a focused 640 x 480 game with no window.
    static InputContext& application();
};

} // namespace platform
