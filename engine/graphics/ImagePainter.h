#pragma once

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageBase.h"
#include "engine/graphics/PointF.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"

#include <cstdint>

namespace graphics {

// The drawing context of one target image: a colour, a uniform alpha, a clip rectangle in target pixels and
// an origin added to every destination (never to a source). Every request is clipped here and handed to
// exactly one pixel loop. This base draws through the generic ARGB8888 loops; the painters of each depth
// override what they draw differently.
//
// The forms that take a Rect, a PointF or no rectangle only forward to the full operation through the
// virtual table, so overriding the full operation serves all its forms.
class ImagePainter : public kernel::Object {
public:
    // Holds one reference to the target for the painter's lifetime.
    explicit ImagePainter(ImageBase& target);
    ~ImagePainter() override;

    virtual void clear();
    virtual void putPixel(int x, int y);
    // The painter's colour and alpha play no part in the lane operations.
    virtual void setLane(int lane, int value, int x, int y);

    void drawLine(const PointF& a, const PointF& b);
    // Dropped whole unless both end points lie inside the clip.
    virtual void drawLine(int x1, int y1, int x2, int y2);
    void drawLaneLine(int lane, int value, const PointF& a, const PointF& b);
    virtual void drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2);
    void drawSmoothLine(const PointF& a, const PointF& b);
    virtual void drawSmoothLine(float x1, float y1, float x2, float y2);

    void drawRect(const kernel::Rect& rect);
    virtual void drawRect(int x, int y, int w, int h);
    void fillRect(const kernel::Rect& rect);
    virtual void fillRect(int x, int y, int w, int h);
    virtual void fillLane(int lane, int value, int x, int y, int w, int h);
    void fillLane(int lane, int value, const kernel::Rect& rect);
    // From (x, y) over the image's whole width and height.
    void fillLane(int lane, int value, int x, int y);

    virtual void drawPolyline(Polygon shape, bool smooth);
    virtual void fillPolygon(Polygon shape, bool smooth);
    // The lane takes the value scaled by each pixel's coverage.
    virtual void fillPolygonLane(int lane, int value, Polygon shape, bool smooth);

    virtual void blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh);
    void blit(ImageBase& src, int dx, int dy, const kernel::Rect& source);
    void blit(ImageBase& src, int dx, int dy);
    // (x, y): where the source's top-left corner would lie unrotated; the source turns about its own (px,
    // py).
    virtual void drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px, int py);
    virtual void drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px, int py);
    virtual void drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh);
    virtual void drawScaledSmooth(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                                  int dh);
    // Whole pixels, alpha included; the painter's colour and alpha play no part.
    virtual void copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh);

    // The colour blended through the channel's bytes taken as alpha.
    virtual void fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw, int sh);
    void fillThroughChannel(ChannelBuffer& channel, int dx, int dy, const kernel::Rect& source);
    void fillThroughChannel(ChannelBuffer& channel, int dx, int dy);

    virtual void copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) = 0;
    void copyLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source);
    void copyLane(ImageBase& src, int lane, int x, int y);
    virtual void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy, int sw,
                                   int sh) = 0;
    void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, const kernel::Rect& source);
    void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y);
    virtual void minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) = 0;
    void minLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source);
    void minLane(ImageBase& src, int lane, int x, int y);
    virtual void maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) = 0;
    void maxLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source);
    void maxLane(ImageBase& src, int lane, int x, int y);

    // Drawn by the painter's font, (x, y) the top-left corner; nothing without a font.
    virtual void drawText(const kernel::WideString& text, int x, int y);

    // Makes the source's twin ready to be read by this painter's loops.
    virtual void prepareSource(ImageBase& source) = 0;

    // x2 is exclusive. Only at full alpha.
    virtual void drawSpan(int x1, int x2, int y);

    virtual void setColor(const kernel::Color& value);
    virtual kernel::Color getColor() const;
    // Clamped to 0..255.
    virtual void setAlpha(int value);
    virtual int getAlpha() const;

    virtual void setOriginX(int value);
    virtual int getOriginX() const;
    virtual void setOriginY(int value);
    virtual int getOriginY() const;
    virtual void setOrigin(int x, int y);
    virtual void moveOriginX(int dx);
    virtual void moveOriginY(int dy);
    virtual void moveOrigin(int dx, int dy);

    // The whole target image.
    virtual void resetClip();
    // Never reaches beyond the target image.
    virtual void setClip(const kernel::Rect& rect);
    void setClip(int x, int y, int w, int h);
    virtual void intersectClip(const kernel::Rect& rect);
    void intersectClip(int x, int y, int w, int h);
    virtual kernel::Rect getClip() const;

    // Holds one reference to the font (null allowed).
    virtual void setFont(BitmapFont* value);
    virtual BitmapFont* getFont() const;

    virtual ImageBase* getImage() const;
    // True while a polygon fill runs: smooth lines then draw as polygon edges.
    bool isPolygonActive() const { return polygonActive; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // Which member of a loop family draws a source at the painter's alpha.
    enum class BlitMode { None, Copy, PerPixel, Uniform, PerPixelUniform };
    BlitMode chooseBlitMode(const ImageBase& source) const;

    // The stored colour as the loops take it (native to the target's depth).
    std::uint32_t colorValue() const { return colour.value; }
    void storeColorValue(std::uint32_t value) { colour.value = value; }
    bool insideClip(int x, int y) const;
    bool insideClip(float x, float y) const;
    // Intersects the rectangle with the clip; false when nothing is left.
    bool clipToClip(int& x, int& y, int& w, int& h) const;
    // Adds the origin to the destination and clips the blit (see ClipBlit); false when nothing is left to
    // draw.
    bool placeBlit(int& dx, int& dy, int sourceWidth, int sourceHeight, int& sx, int& sy, int& sw,
                   int& sh) const;
    // A placed blit that blends by the source's own alpha cut to the source's alphaBounds: the clear rest
    // would leave the target as it is. The loops treat a row's pixels in pairs and groups of four counted
    // from its first pixel, and an opaque pixel may come out differently in a group than alone; so the
    // cut keeps whole groups of four from the left edge and a right edge that is the old one or a group
    // boundary, and every pixel drawn is drawn exactly as before. A source inside one frame of a picture
    // kept cut into frames is cut to that frame's visible pixels the same way and read from its piece.
    // Returns the picture to read with (sx, sy) in its pixels, or null when nothing is left to draw.
    static ImageBase* cutToAlpha(ImageBase& src, int& dx, int& dy, int& sx, int& sy, int& sw, int& sh);

private:
    // The generic rotated draw, the scale already tested and (x, y) moved by the origin; smooth weights the
    // four source pixels around each position instead of taking the nearest.
    void drawTurned(ImageBase& src, double angle, double scale, int x, int y, int px, int py, bool smooth);
    // The generic scaled draw, the destination already tested and moved by the origin.
    void drawStretched(ImageBase& src, const kernel::Rect& source, const kernel::Rect& destination,
                       bool smooth);
    void fillPolygonMask(Polygon shape, bool smooth, int lane, int value, bool laneMode);

    kernel::Color colour;
    int alpha = 255;
    kernel::Rect clip;
    int originX = 0;
    int originY = 0;
    kernel::SmartPtr<BitmapFont> font;
    kernel::SmartPtr<ImageBase> image;
    bool polygonActive = false;
};

} // namespace graphics
