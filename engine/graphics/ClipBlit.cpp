#include "engine/graphics/ClipBlit.h"

#include "engine/graphics/ImagePainter.h"

#include <algorithm>

namespace graphics {

namespace {

struct Axis {
    int targetSize;
    int clipStart;
    int clipSize;
    int sourceSize;
};

// One axis of the blit; returns true when nothing is left on it.
bool clipAxis(const Axis& axis, int& d, int& s, int& size) {
    if (d >= axis.targetSize) {
        return true;
    }
    if (s + size > axis.sourceSize) {
        size = axis.sourceSize - s;
    }
    if (s < 0) {
        d -= s;
        size += s;
        s = 0;
    }
    const int first = std::max(std::max(d, 0), axis.clipStart);
    const int end = std::min({axis.targetSize, axis.clipStart + axis.clipSize, d + size});
    if (first >= end) {
        return true;
    }
    s += first - d;
    if (s >= axis.sourceSize) {
        return true;
    }
    d = first;
    size = end - first;
    return false;
}

} // namespace

bool ClipBlit(int& dx, int& dy, const ImagePainter& painter, int sourceWidth, int sourceHeight, int& sx,
              int& sy, int& sw, int& sh) {
    const ImageBase& target = *painter.getImage();
    const kernel::Rect clip = painter.getClip();
    if (clipAxis({target.getWidth(), clip.x, clip.w, sourceWidth}, dx, sx, sw)) {
        return true;
    }
    return clipAxis({target.getHeight(), clip.y, clip.h, sourceHeight}, dy, sy, sh);
}

} // namespace graphics
