#pragma once

#include "engine/graphics/ImagePainter.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace graphics {

// Stands in for another painter and writes down every drawing request with all that decides its outcome:
// the arguments, the painter's state at that moment and the content version of each image, channel or font
// it reads, together with the part of the picture the request can reach (never beyond the clip). While
// forwarding it also hands each request to the painter it stands for; otherwise it draws nothing.
//
// Two recordings made on the same picture draw the same pixels wherever no differing request reaches, so a
// frame need only be drawn again where its requests differ from the last frame drawn, on a picture nobody
// touched since: the same requests, clipped to that area, give every pixel of the whole drawing.
class RecordingPainter : public ImagePainter {
public:
    struct Recording {
        std::vector<std::uint8_t> bytes;
        // Where each request's bytes end, and the area it can reach in the target.
        struct Step {
            std::size_t end;
            kernel::Rect area;
            // For a blit: where its image's content version lies in the bytes, how far the image's pixels
            // move to the target, and the changes the image told of up to that version (in changes).
            bool mapped = false;
            std::size_t versionAt = 0;
            int shiftX = 0;
            int shiftY = 0;
            std::uint32_t firstChange = 0;
            std::uint32_t changeCount = 0;
        };
        std::vector<Step> steps;
        std::vector<ImageBase::ChangeSince> changes;
    };

    // Holds one reference to the painter.
    explicit RecordingPainter(ImagePainter& target);
    ~RecordingPainter() override;

    // Starts a new recording from the painter's present state, drawing nothing.
    void begin();
    // The same, handing every request to the painter, clipped to the area (target pixels).
    void beginForwarding(const kernel::Rect& area);
    const Recording& getRecording() const { return recording; }
    // Hands the recording over in exchange for the one given, whose memory the next recording reuses.
    void swapRecording(Recording& other) { std::swap(recording, other); }
    // Where this recording and an earlier one may draw different pixels: what the differing requests of
    // both reach, or the whole target when they are not the same series of requests. Empty when equal. A
    // blit that differs only by its image's content version reaches only as far as the image tells that it
    // changed since (see ImageBase::listChangesSince), widened by a few pixels for the loops that treat
    // neighbouring pixels together.
    kernel::Rect changedArea(const Recording& earlier) const;
    ImagePainter& getTarget() const { return *target; }

    using ImagePainter::blit;
    using ImagePainter::copyChannelToLane;
    using ImagePainter::copyLane;
    using ImagePainter::drawLaneLine;
    using ImagePainter::drawLine;
    using ImagePainter::drawRect;
    using ImagePainter::drawSmoothLine;
    using ImagePainter::fillLane;
    using ImagePainter::fillRect;
    using ImagePainter::fillThroughChannel;
    using ImagePainter::intersectClip;
    using ImagePainter::maxLane;
    using ImagePainter::minLane;
    using ImagePainter::setClip;

    void clear() override;
    void putPixel(int x, int y) override;
    void setLane(int lane, int value, int x, int y) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2) override;
    void drawSmoothLine(float x1, float y1, float x2, float y2) override;
    void drawRect(int x, int y, int w, int h) override;
    void fillRect(int x, int y, int w, int h) override;
    void fillLane(int lane, int value, int x, int y, int w, int h) override;
    void drawPolyline(Polygon shape, bool smooth) override;
    void fillPolygon(Polygon shape, bool smooth) override;
    void fillPolygonLane(int lane, int value, Polygon shape, bool smooth) override;
    void blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px, int py) override;
    void drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px, int py) override;
    void drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) override;
    void drawScaledSmooth(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                          int dh) override;
    void copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy, int sw,
                           int sh) override;
    void minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void drawText(const kernel::WideString& text, int x, int y) override;
    void prepareSource(ImageBase& source) override;
    void drawSpan(int x1, int x2, int y) override;

    // The state is the target's while forwarding, else the recorder's own copy of it.
    void setColor(const kernel::Color& value) override;
    kernel::Color getColor() const override;
    void setAlpha(int value) override;
    int getAlpha() const override;
    void setOriginX(int value) override;
    int getOriginX() const override;
    void setOriginY(int value) override;
    int getOriginY() const override;
    void setOrigin(int x, int y) override;
    void moveOriginX(int dx) override;
    void moveOriginY(int dy) override;
    void moveOrigin(int dx, int dy) override;
    void resetClip() override;
    void setClip(const kernel::Rect& rect) override;
    void intersectClip(const kernel::Rect& rect) override;
    kernel::Rect getClip() const override;
    void setFont(BitmapFont* value) override;
    BitmapFont* getFont() const override;

    static constexpr kernel::ClassInfo classInfo{&ImagePainter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    enum class Request : std::uint8_t;

    // One request: what it reaches before clipping, then the values that decide its outcome.
    template <class... Values>
    void note(Request request, const kernel::Rect& reach, const Values&... values) {
        put(request);
        noteState();
        (put(values), ...);
        endStep(reach);
    }
    template <class Value> void put(const Value& value) {
        static_assert(std::is_trivially_copyable_v<Value>);
        std::vector<std::uint8_t>& bytes = recording.bytes;
        const std::size_t at = bytes.size();
        bytes.resize(at + sizeof(Value));
        std::memcpy(bytes.data() + at, &value, sizeof(Value));
    }
    void put(const ImageBase& image);
    void put(const ChannelBuffer& channel);
    void put(Polygon shape);
    void noteState();
    void endStep(const kernel::Rect& reach);
    // What a differing step of the same length can have changed: the whole of both its areas, or less for a
    // blit whose image changed in part.
    kernel::Rect changedPart(const Recording& earlier, std::size_t step, std::size_t nowStart,
                             std::size_t beforeStart, const kernel::Rect& whole) const;
    // A destination rectangle in target pixels; the whole clip for requests whose reach is not worked out.
    kernel::Rect reachAt(int x, int y, int w, int h) const;
    kernel::Rect anywhere() const { return getClip(); }
    // Hands a request to the painter within the forwarding area.
    template <class Draw> void forward(Draw draw) {
        if (!forwarding) {
            return;
        }
        const kernel::Rect clip = target->getClip();
        target->intersectClip(limit);
        draw(*target);
        target->setClip(clip);
    }

    kernel::SmartPtr<ImagePainter> target;
    bool forwarding = false;
    kernel::Rect limit;
    Recording recording;
    // Where the last image's content version was put in the bytes.
    std::size_t versionAt = 0;
};

} // namespace graphics
