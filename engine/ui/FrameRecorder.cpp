#include "engine/ui/FrameRecorder.h"

#include <algorithm>
#include <optional>

namespace ui {

FrameRecorder::FrameRecorder(graphics::ImagePainter& target) : RecordingPainter(target) {}

FrameRecorder::~FrameRecorder() = default;

void FrameRecorder::begin() {
    stepRows.clear();
    RecordingPainter::begin();
}

void FrameRecorder::beginForwarding(const kernel::Rect& area) {
    stepRows.clear();
    RecordingPainter::beginForwarding(area);
}

void FrameRecorder::blit(graphics::ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    RecordingPainter::blit(src, dx, dy, sx, sy, sw, sh);
    noteRows(rowsOfBlit(src, kernel::Rect(sx, sy, sw, sh)));
}

void FrameRecorder::fillRect(int x, int y, int w, int h) {
    RecordingPainter::fillRect(x, y, w, h);
    noteRows(knowsTarget() ? StepRows{Rows::Any, 0} : StepRows{});
}

void FrameRecorder::drawRect(int x, int y, int w, int h) {
    RecordingPainter::drawRect(x, y, w, h);
    noteRows(knowsTarget() ? StepRows{Rows::Any, 0} : StepRows{});
}

// Only the 32-bit painter's rules are known here; a 16-bit target has its own.
bool FrameRecorder::knowsTarget() const {
    const graphics::ImageBase* target = getTarget().getImage();
    return target != nullptr && target->getPixelFormat()->bytesPerPixel == 4;
}

// Rows blended by the picture's own alpha under partial alpha never reach the copy of an opaque pair, and a
// copy without alpha copies each pixel. A part beyond the picture moves the rows' start.
FrameRecorder::StepRows FrameRecorder::rowsOfBlit(const graphics::ImageBase& src,
                                                  const kernel::Rect& part) const {
    if (!knowsTarget() || part.x < 0 || part.y < 0 || part.right() > src.getWidth() ||
        part.bottom() > src.getHeight()) {
        return {};
    }
    const int alpha = getAlpha();
    const bool ownAlpha = src.getAlphaMode();
    if (alpha == 0 || (alpha == 255 && !ownAlpha) || (alpha < 255 && ownAlpha)) {
        return StepRows{Rows::Any, 0};
    }
    return StepRows{Rows::Paired, getRecording().steps.back().area.x};
}

// For the request just written down.
void FrameRecorder::noteRows(StepRows rows) {
    const std::size_t step = getRecording().steps.size() - 1;
    stepRows.resize(step + 1);
    stepRows[step] = rows;
}

// Each pass moves a side that splits a pair; the area only grows, so the passes end.
kernel::Rect FrameRecorder::withWholePairs(const kernel::Rect& area) const {
    kernel::Rect widened = area;
    for (bool grown = !area.isEmpty(); grown;) {
        grown = growAtSide(widened, true) || growAtSide(widened, false);
    }
    return widened;
}

// A side that cuts paired rows an odd number of pixels from their start moves out by a pixel; where it cuts
// others at an even number too, the area takes in the whole width of an odd one instead.
bool FrameRecorder::growAtSide(kernel::Rect& area, bool left) const {
    const int column = left ? area.x : area.right();
    const std::vector<Recording::Step>& steps = getRecording().steps;
    bool even = false;
    std::optional<kernel::Rect> odd;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const kernel::Rect& reach = steps[i].area;
        const StepRows rows = rowsOf(i);
        if (rows.rows != Rows::Paired || column <= reach.x || column >= reach.right() ||
            reach.bottom() <= area.y || reach.y >= area.bottom()) {
            continue;
        }
        if (((column - rows.start) & 1) == 0) {
            even = true;
        } else if (!odd) {
            odd = reach;
        }
    }
    if (!odd) {
        return false;
    }
    const int from = even ? std::min(area.x, odd->x) : area.x - (left ? 1 : 0);
    const int to = even ? std::max(area.right(), odd->right()) : area.right() + (left ? 0 : 1);
    area = kernel::Rect(from, area.y, to - from, area.h);
    return true;
}

} // namespace ui
