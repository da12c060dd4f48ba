#include "engine/graphics/RecordingPainter.h"

#include <algorithm>
#include <utility>

namespace graphics {

enum class RecordingPainter::Request : std::uint8_t {
    Clear,
    PutPixel,
    SetLane,
    DrawLine,
    DrawLaneLine,
    DrawSmoothLine,
    DrawRect,
    FillRect,
    FillLane,
    DrawPolyline,
    FillPolygon,
    FillPolygonLane,
    Blit,
    DrawRotated,
    DrawRotatedSmooth,
    DrawScaled,
    DrawScaledSmooth,
    CopyPixels,
    FillThroughChannel,
    CopyLane,
    CopyChannelToLane,
    MinLane,
    MaxLane,
    DrawText,
    DrawSpan,
};

RecordingPainter::RecordingPainter(ImagePainter& painter)
    : ImagePainter(*painter.getImage()), target(&painter) {}

RecordingPainter::~RecordingPainter() = default;

void RecordingPainter::begin() {
    forwarding = false;
    ImagePainter::setColor(target->getColor());
    ImagePainter::setAlpha(target->getAlpha());
    ImagePainter::setOriginX(target->getOriginX());
    ImagePainter::setOriginY(target->getOriginY());
    ImagePainter::setClip(target->getClip());
    ImagePainter::setFont(target->getFont());
    recording.bytes.clear();
    recording.steps.clear();
    recording.changes.clear();
}

void RecordingPainter::beginForwarding(const kernel::Rect& area) {
    begin();
    forwarding = true;
    limit = area;
}

kernel::Rect RecordingPainter::changedArea(const Recording& earlier) const {
    if (earlier.steps.size() != recording.steps.size()) {
        const ImageBase& picture = *getImage();
        return {0, 0, picture.getWidth(), picture.getHeight()};
    }
    kernel::Rect changed;
    // Each recording's own offsets: a request of another length (a longer text) leaves the rest in step.
    std::size_t nowStart = 0;
    std::size_t beforeStart = 0;
    for (std::size_t i = 0; i < recording.steps.size(); ++i) {
        const Recording::Step& now = recording.steps[i];
        const Recording::Step& before = earlier.steps[i];
        const std::size_t length = now.end - nowStart;
        const bool sameLength = length == before.end - beforeStart;
        if (!sameLength ||
            std::memcmp(recording.bytes.data() + nowStart, earlier.bytes.data() + beforeStart, length) != 0) {
            const kernel::Rect both = kernel::Rect::joined(now.area, before.area);
            changed = kernel::Rect::joined(
                changed, sameLength ? changedPart(earlier, i, nowStart, beforeStart, both) : both);
        }
        nowStart = now.end;
        beforeStart = before.end;
    }
    return changed;
}

// Requests of the same length whose bytes differ, which reach the whole area given. Only a blit whose bytes
// differ in nothing but its image's version can reach less than that: the rows of the 32-bit loops take
// pixels in pairs and the 16-bit ones in groups of four, so the image's changed part is widened by that much
// on either side.
kernel::Rect RecordingPainter::changedPart(const Recording& earlier, std::size_t step, std::size_t nowStart,
                                           std::size_t beforeStart, const kernel::Rect& whole) const {
    constexpr int neighbours = 4;
    const Recording::Step& now = recording.steps[step];
    const Recording::Step& before = earlier.steps[step];
    const std::size_t length = now.end - nowStart;
    const std::size_t at = now.versionAt;
    if (!now.mapped || !before.mapped || before.versionAt - beforeStart != at - nowStart ||
        at + sizeof(std::uint64_t) > now.end ||
        std::memcmp(recording.bytes.data() + nowStart, earlier.bytes.data() + beforeStart, at - nowStart) !=
            0 ||
        std::memcmp(recording.bytes.data() + at + sizeof(std::uint64_t),
                    earlier.bytes.data() + before.versionAt + sizeof(std::uint64_t),
                    length - (at - nowStart) - sizeof(std::uint64_t)) != 0) {
        return whole;
    }
    std::uint64_t earlierVersion = 0;
    std::memcpy(&earlierVersion, earlier.bytes.data() + before.versionAt, sizeof earlierVersion);
    const auto first = recording.changes.begin() + now.firstChange;
    const auto found =
        std::find_if(first, first + now.changeCount,
                     [&](const ImageBase::ChangeSince& change) { return change.from == earlierVersion; });
    if (found == first + now.changeCount) {
        return whole;
    }
    const kernel::Rect part = found->part;
    if (part.isEmpty()) {
        return {};
    }
    const kernel::Rect moved(part.x + now.shiftX - neighbours, part.y + now.shiftY, part.w + 2 * neighbours,
                             part.h);
    kernel::Rect reached;
    kernel::Rect::intersect(moved, now.area, reached);
    return reached;
}

// The identity of what a request reads: its address and what it held at that moment. Versions are never
// handed out twice, so a new image at a freed one's address cannot pass for it.
void RecordingPainter::put(const ImageBase& image) {
    put(static_cast<const void*>(&image));
    versionAt = recording.bytes.size();
    put(image.getContentVersion());
}

void RecordingPainter::put(const ChannelBuffer& channel) {
    put(static_cast<const void*>(&channel));
    put(channel.getContentVersion());
}

void RecordingPainter::put(Polygon shape) {
    put(shape.size());
    for (const PointF& point : shape) {
        put(point.getX());
        put(point.getY());
    }
}

void RecordingPainter::endStep(const kernel::Rect& reach) {
    kernel::Rect area;
    kernel::Rect::intersect(reach, getClip(), area);
    recording.steps.push_back(Recording::Step{recording.bytes.size(), area});
}

kernel::Rect RecordingPainter::reachAt(int x, int y, int w, int h) const {
    if (w < 0 || h < 0) {
        return anywhere();
    }
    return kernel::Rect(x + getOriginX(), y + getOriginY(), w, h);
}

void RecordingPainter::noteState() {
    put(getColor().value);
    put(getAlpha());
    put(getOriginX());
    put(getOriginY());
    put(getClip());
}

void RecordingPainter::clear() {
    note(Request::Clear, anywhere());
    forward([&](ImagePainter& to) { to.clear(); });
}

void RecordingPainter::putPixel(int x, int y) {
    note(Request::PutPixel, reachAt(x, y, 1, 1), x, y);
    forward([&](ImagePainter& to) { to.putPixel(x, y); });
}

void RecordingPainter::setLane(int lane, int value, int x, int y) {
    note(Request::SetLane, reachAt(x, y, 1, 1), lane, value, x, y);
    forward([&](ImagePainter& to) { to.setLane(lane, value, x, y); });
}

void RecordingPainter::drawLine(int x1, int y1, int x2, int y2) {
    note(Request::DrawLine, anywhere(), x1, y1, x2, y2);
    forward([&](ImagePainter& to) { to.drawLine(x1, y1, x2, y2); });
}

void RecordingPainter::drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2) {
    note(Request::DrawLaneLine, anywhere(), lane, value, x1, y1, x2, y2);
    forward([&](ImagePainter& to) { to.drawLaneLine(lane, value, x1, y1, x2, y2); });
}

void RecordingPainter::drawSmoothLine(float x1, float y1, float x2, float y2) {
    note(Request::DrawSmoothLine, anywhere(), x1, y1, x2, y2);
    forward([&](ImagePainter& to) { to.drawSmoothLine(x1, y1, x2, y2); });
}

void RecordingPainter::drawRect(int x, int y, int w, int h) {
    note(Request::DrawRect, reachAt(x, y, w, h), x, y, w, h);
    forward([&](ImagePainter& to) { to.drawRect(x, y, w, h); });
}

void RecordingPainter::fillRect(int x, int y, int w, int h) {
    note(Request::FillRect, reachAt(x, y, w, h), x, y, w, h);
    forward([&](ImagePainter& to) { to.fillRect(x, y, w, h); });
}

void RecordingPainter::fillLane(int lane, int value, int x, int y, int w, int h) {
    note(Request::FillLane, reachAt(x, y, w, h), lane, value, x, y, w, h);
    forward([&](ImagePainter& to) { to.fillLane(lane, value, x, y, w, h); });
}

void RecordingPainter::drawPolyline(Polygon shape, bool smooth) {
    note(Request::DrawPolyline, anywhere(), shape, smooth);
    forward([&](ImagePainter& to) { to.drawPolyline(shape, smooth); });
}

void RecordingPainter::fillPolygon(Polygon shape, bool smooth) {
    note(Request::FillPolygon, anywhere(), shape, smooth);
    forward([&](ImagePainter& to) { to.fillPolygon(shape, smooth); });
}

void RecordingPainter::fillPolygonLane(int lane, int value, Polygon shape, bool smooth) {
    note(Request::FillPolygonLane, anywhere(), lane, value, shape, smooth);
    forward([&](ImagePainter& to) { to.fillPolygonLane(lane, value, shape, smooth); });
}

void RecordingPainter::blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    const kernel::Rect reach = reachAt(dx, dy, sw, sh);
    note(Request::Blit, reach, src, dx, dy, sx, sy, sw, sh);
    Recording::Step& step = recording.steps.back();
    // A size below 0 reaches anywhere: nothing maps the image's pixels then. What the image tells of its
    // changes is taken now, while it is sure to exist.
    step.mapped = sw >= 0 && sh >= 0;
    step.versionAt = versionAt;
    step.shiftX = reach.x - sx;
    step.shiftY = reach.y - sy;
    ImageBase::ChangeSince changes[ImageBase::partChangesKept];
    const std::size_t count = step.mapped ? src.listChangesSince(changes) : 0;
    step.firstChange = static_cast<std::uint32_t>(recording.changes.size());
    step.changeCount = static_cast<std::uint32_t>(count);
    recording.changes.insert(recording.changes.end(), changes, changes + count);
    forward([&](ImagePainter& to) { to.blit(src, dx, dy, sx, sy, sw, sh); });
}

void RecordingPainter::drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px, int py) {
    note(Request::DrawRotated, anywhere(), src, angle, scale, x, y, px, py);
    forward([&](ImagePainter& to) { to.drawRotated(src, angle, scale, x, y, px, py); });
}

void RecordingPainter::drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px,
                                         int py) {
    note(Request::DrawRotatedSmooth, anywhere(), src, angle, scale, x, y, px, py);
    forward([&](ImagePainter& to) { to.drawRotatedSmooth(src, angle, scale, x, y, px, py); });
}

void RecordingPainter::drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                                  int dh) {
    note(Request::DrawScaled, reachAt(dx, dy, dw, dh), src, sx, sy, sw, sh, dx, dy, dw, dh);
    forward([&](ImagePainter& to) { to.drawScaled(src, sx, sy, sw, sh, dx, dy, dw, dh); });
}

void RecordingPainter::drawScaledSmooth(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy,
                                        int dw, int dh) {
    note(Request::DrawScaledSmooth, reachAt(dx, dy, dw, dh), src, sx, sy, sw, sh, dx, dy, dw, dh);
    forward([&](ImagePainter& to) { to.drawScaledSmooth(src, sx, sy, sw, sh, dx, dy, dw, dh); });
}

void RecordingPainter::copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    note(Request::CopyPixels, reachAt(dx, dy, sw, sh), src, dx, dy, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.copyPixels(src, dx, dy, sx, sy, sw, sh); });
}

void RecordingPainter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw,
                                          int sh) {
    note(Request::FillThroughChannel, reachAt(dx, dy, sw, sh), channel, dx, dy, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.fillThroughChannel(channel, dx, dy, sx, sy, sw, sh); });
}

void RecordingPainter::copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    note(Request::CopyLane, reachAt(x, y, sw, sh), src, lane, x, y, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.copyLane(src, lane, x, y, sx, sy, sw, sh); });
}

void RecordingPainter::copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy,
                                         int sw, int sh) {
    note(Request::CopyChannelToLane, reachAt(x, y, sw, sh), channel, lane, x, y, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.copyChannelToLane(channel, lane, x, y, sx, sy, sw, sh); });
}

void RecordingPainter::minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    note(Request::MinLane, reachAt(x, y, sw, sh), src, lane, x, y, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.minLane(src, lane, x, y, sx, sy, sw, sh); });
}

void RecordingPainter::maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    note(Request::MaxLane, reachAt(x, y, sw, sh), src, lane, x, y, sx, sy, sw, sh);
    forward([&](ImagePainter& to) { to.maxLane(src, lane, x, y, sx, sy, sw, sh); });
}

// The font draws through the painter it is given; what it reads is its picture and its channel.
void RecordingPainter::drawText(const kernel::WideString& text, int x, int y) {
    put(Request::DrawText);
    noteState();
    put(x);
    put(y);
    put(text.size());
    for (const char16_t unit : text) {
        put(unit);
    }
    BitmapFont* font = getFont();
    put(static_cast<const void*>(font));
    if (font != nullptr) {
        put(font->getImage() != nullptr ? font->getImage()->getContentVersion() : 0);
        put(font->getChannel() != nullptr ? font->getChannel()->getContentVersion() : 0);
    }
    endStep(anywhere());
    forward([&](ImagePainter& to) { to.drawText(text, x, y); });
}

// Readies a source without drawing anything.
void RecordingPainter::prepareSource(ImageBase& source) {
    if (forwarding) {
        target->prepareSource(source);
    }
}

void RecordingPainter::drawSpan(int x1, int x2, int y) {
    note(Request::DrawSpan, reachAt(x1, y, x2 - x1, 1), x1, x2, y);
    forward([&](ImagePainter& to) { to.drawSpan(x1, x2, y); });
}

void RecordingPainter::setColor(const kernel::Color& value) {
    forwarding ? target->setColor(value) : ImagePainter::setColor(value);
}

kernel::Color RecordingPainter::getColor() const {
    return forwarding ? target->getColor() : ImagePainter::getColor();
}

void RecordingPainter::setAlpha(int value) {
    forwarding ? target->setAlpha(value) : ImagePainter::setAlpha(value);
}

int RecordingPainter::getAlpha() const {
    return forwarding ? target->getAlpha() : ImagePainter::getAlpha();
}

void RecordingPainter::setOriginX(int value) {
    forwarding ? target->setOriginX(value) : ImagePainter::setOriginX(value);
}

int RecordingPainter::getOriginX() const {
    return forwarding ? target->getOriginX() : ImagePainter::getOriginX();
}

void RecordingPainter::setOriginY(int value) {
    forwarding ? target->setOriginY(value) : ImagePainter::setOriginY(value);
}

int RecordingPainter::getOriginY() const {
    return forwarding ? target->getOriginY() : ImagePainter::getOriginY();
}

void RecordingPainter::setOrigin(int x, int y) {
    forwarding ? target->setOrigin(x, y) : ImagePainter::setOrigin(x, y);
}

void RecordingPainter::moveOriginX(int dx) {
    forwarding ? target->moveOriginX(dx) : ImagePainter::moveOriginX(dx);
}

void RecordingPainter::moveOriginY(int dy) {
    forwarding ? target->moveOriginY(dy) : ImagePainter::moveOriginY(dy);
}

void RecordingPainter::moveOrigin(int dx, int dy) {
    forwarding ? target->moveOrigin(dx, dy) : ImagePainter::moveOrigin(dx, dy);
}

void RecordingPainter::resetClip() {
    forwarding ? target->resetClip() : ImagePainter::resetClip();
}

void RecordingPainter::setClip(const kernel::Rect& rect) {
    forwarding ? target->setClip(rect) : ImagePainter::setClip(rect);
}

void RecordingPainter::intersectClip(const kernel::Rect& rect) {
    forwarding ? target->intersectClip(rect) : ImagePainter::intersectClip(rect);
}

kernel::Rect RecordingPainter::getClip() const {
    return forwarding ? target->getClip() : ImagePainter::getClip();
}

void RecordingPainter::setFont(BitmapFont* value) {
    forwarding ? target->setFont(value) : ImagePainter::setFont(value);
}

BitmapFont* RecordingPainter::getFont() const {
    return forwarding ? target->getFont() : ImagePainter::getFont();
}

} // namespace graphics
