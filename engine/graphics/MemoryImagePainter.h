#pragma once

#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage.h"

namespace graphics {

// Draws on 16-bit images through the RGB565 loops. 32-bit sources are read through a 16-bit twin that is
// made on their first draw and converted again only after they are marked modified. Lane 0 of a 16-bit
// image is its alpha buffer, which a 16-bit screen does not have: lane-0 requests draw nothing there.
class MemoryImagePainter : public ImagePainter {
public:
    explicit MemoryImagePainter(MemoryImage& target);

    using ImagePainter::blit;
    using ImagePainter::copyChannelToLane;
    using ImagePainter::copyLane;
    using ImagePainter::drawLaneLine;
    using ImagePainter::drawLine;
    using ImagePainter::drawSmoothLine;
    using ImagePainter::fillLane;
    using ImagePainter::fillRect;
    using ImagePainter::fillThroughChannel;
    using ImagePainter::maxLane;
    using ImagePainter::minLane;

    void putPixel(int x, int y) override;
    // Lanes 1..3 clear the field whatever the value.
    void setLane(int lane, int value, int x, int y) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2) override;
    void drawSmoothLine(float x1, float y1, float x2, float y2) override;
    void fillRect(int x, int y, int w, int h) override;
    // Lanes 1..3 take the value in the field's own units (0..31 or 0..63).
    void fillLane(int lane, int value, int x, int y, int w, int h) override;

    void blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px, int py) override;
    void drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px, int py) override;
    void drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) override;
    // Draws nothing on a 16-bit target.
    void drawScaledSmooth(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                          int dh) override;
    void copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw, int sh) override;
    // Alpha buffer to alpha buffer, whatever the lane.
    void copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    // The channel's bytes into the alpha buffer, whatever the lane.
    void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy, int sw,
                           int sh) override;
    // No 16-bit form: both draw nothing.
    void minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;

    void prepareSource(ImageBase& source) override;
    void drawSpan(int x1, int x2, int y) override;
    // Stores the colour packed into the target's pixel format; getColor returns the packed value.
    void setColor(const kernel::Color& value) override;

    static constexpr kernel::ClassInfo classInfo{&ImagePainter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    MemoryImage& target() const;
    std::uint16_t color16() const { return static_cast<std::uint16_t>(colorValue()); }
    // The source's prepared twin, or null when none could be made.
    MemoryImage* twinOf(ImageBase& source);
    // The same with only the rows top to bottom (exclusive) sure to be up to date.
    MemoryImage* twinRowsOf(ImageBase& source, int top, int bottom);
    void prepareRows(ImageBase& source, int top, int bottom);
    void makeTwin(ImageBase& source);
};

} // namespace graphics
