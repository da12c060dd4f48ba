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

// The painters of both screen depths are known here.
bool FrameRecorder::knowsTarget() const {
    return targetBytes() == 4 || targetBytes() == 2;
}

int FrameRecorder::targetBytes() const {
    const graphics::ImageBase* target = getTarget().getImage();
    return target != nullptr ? static_cast<int>(target->getPixelFormat()->bytesPerPixel) : 0;
}

// Rows blended by the picture's own alpha under partial alpha never reach the copy of an opaque group, and a
// copy without alpha copies each pixel; the 16-bit blend of a picture without its own alpha treats every
// pixel alike. A part beyond the picture moves the rows' start.
FrameRecorder::StepRows FrameRecorder::rowsOfBlit(const graphics::ImageBase& src,
                                                  const kernel::Rect& part) const {
    if (!knowsTarget() || part.x < 0 || part.y < 0 || part.right() > src.getWidth() ||
        part.bottom() > src.getHeight()) {
        return {};
    }
    const int alpha = getAlpha();
    const bool ownAlpha = src.getAlphaMode();
    const bool wide = targetBytes() == 4;
    if (alpha == 0 || (alpha == 255 && !ownAlpha) || (alpha < 255 && (ownAlpha || !wide))) {
        return StepRows{Rows::Any, 0};
    }
    return StepRows{Rows::Paired, getRecording().steps.back().area.x, wide ? 2 : 4};
}

// For the request just written down.
void FrameRecorder::noteRows(StepRows rows) {
    const std::size_t step = getRecording().steps.size() - 1;
    stepRows.resize(step + 1);
    stepRows[step] = rows;
}

// Asked once a frame: the list of grouped rows keeps its memory from frame to frame.
kernel::Rect FrameRecorder::withWholePairs(const kernel::Rect& area) const {
    grouped.clear();
    const std::vector<Recording::Step>& steps = getRecording().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const StepRows rows = rowsOf(i);
        if (rows.rows == Rows::Paired) {
            grouped.push_back(GroupedRows{steps[i].area, rows.start, rows.group});
        }
    }
    return withWholeGroups(area, grouped);
}

namespace {

// A side that cuts rows within a group moves out to the group's edge; where it cuts others between their
// groups too, the area takes in the whole width of a cut one instead.
bool growAtSide(kernel::Rect& area, const std::vector<GroupedRows>& grouped, bool left) {
    const int column = left ? area.x : area.right();
    bool between = false;
    std::optional<kernel::Rect> within;
    int shift = 0;
    for (const GroupedRows& rows : grouped) {
        const kernel::Rect& reach = rows.reach;
        if (column <= reach.x || column >= reach.right() || reach.bottom() <= area.y ||
            reach.y >= area.bottom()) {
            continue;
        }
        const int into = (column - rows.start) % rows.group;
        if (into == 0) {
            between = true;
        } else if (!within) {
            within = reach;
            shift = left ? into : rows.group - into;
        }
    }
    if (!within) {
        return false;
    }
    const int from = between ? std::min(area.x, within->x) : area.x - (left ? shift : 0);
    const int to = between ? std::max(area.right(), within->right()) : area.right() + (left ? 0 : shift);
    area = kernel::Rect(from, area.y, to - from, area.h);
    return true;
}

} // namespace

// Each pass moves a side that splits a group; the area only grows, so the passes end.
kernel::Rect withWholeGroups(const kernel::Rect& area, const std::vector<GroupedRows>& grouped) {
    kernel::Rect widened = area;
    for (bool grown = !area.isEmpty(); grown;) {
        grown = growAtSide(widened, grouped, true) || growAtSide(widened, grouped, false);
    }
    return widened;
}

} // namespace ui
