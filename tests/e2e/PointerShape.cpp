#include "PointerShape.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace e2e {

unsigned long pointerShape() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 0;
    }
    unsigned long shape = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (XFixesQueryExtension(display, &eventBase, &errorBase)) {
        if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
            shape = image->cursor_serial;
            XFree(image);
        }
    }
    XCloseDisplay(display);
    return shape;
}

} // namespace e2e
