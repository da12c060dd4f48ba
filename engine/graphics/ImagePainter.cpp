#include "engine/graphics/ImagePainter.h"

#include "engine/graphics/PixelLoopsArgb.h"
#include "engine/graphics/PolygonMask.h"
#include "engine/graphics/SmoothLines.h"

namespace graphics {

ImagePainter::ImagePainter(ImageBase& target)
    : clip(0, 0, target.getWidth(), target.getHeight()), image(&target) {}

ImagePainter::~ImagePainter() = default;

void ImagePainter::clear() {
    fillRect(0, 0, image->getWidth(), image->getHeight());
}

void ImagePainter::putPixel(int x, int y) {
    x += originX;
    y += originY;
    if (!insideClip(x, y) || alpha == 0) {
        return;
    }
    if (alpha == 255) {
        PutPixelArgb(*image, x, y, colour.value);
    } else {
        BlendPixelArgb(*image, x, y, colour.value, alpha);
    }
}

void ImagePainter::setLane(int lane, int value, int x, int y) {
    x += originX;
    y += originY;
    if (insideClip(x, y)) {
        SetLanePixelArgb(*image, x, y, lane, value & 0xFF);
    }
}

void ImagePainter::drawLine(const PointF& a, const PointF& b) {
    drawLine(a.getRoundedX(), a.getRoundedY(), b.getRoundedX(), b.getRoundedY());
}

void ImagePainter::drawLine(int x1, int y1, int x2, int y2) {
    x1 += originX;
    y1 += originY;
    x2 += originX;
    y2 += originY;
    if (!insideClip(x1, y1) || !insideClip(x2, y2) || alpha == 0) {
        return;
    }
    if (alpha == 255) {
        LineArgb(*image, x1, y1, x2, y2, colour.value);
    } else {
        LineBlendArgb(*image, x1, y1, x2, y2, colour.value, alpha);
    }
}

void ImagePainter::drawLaneLine(int lane, int value, const PointF& a, const PointF& b) {
    drawLaneLine(lane, value, a.getRoundedX(), a.getRoundedY(), b.getRoundedX(), b.getRoundedY());
}

void ImagePainter::drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2) {
    x1 += originX;
    y1 += originY;
    x2 += originX;
    y2 += originY;
    if (insideClip(x1, y1) && insideClip(x2, y2)) {
        LineSetLaneArgb(*image, x1, y1, x2, y2, lane, value & 0xFF);
    }
}

void ImagePainter::drawSmoothLine(const PointF& a, const PointF& b) {
    drawSmoothLine(a.getX(), a.getY(), b.getX(), b.getY());
}

void ImagePainter::drawSmoothLine(float x1, float y1, float x2, float y2) {
    x1 += static_cast<float>(originX);
    y1 += static_cast<float>(originY);
    x2 += static_cast<float>(originX);
    y2 += static_cast<float>(originY);
    if (!insideClip(x1, y1) || !insideClip(x2, y2) || alpha == 0) {
        return;
    }
    if (polygonActive) {
        LineSmoothEdge(*image, x1, y1, x2, y2, colour.value, BlendPixelArgb);
    } else {
        LineSmooth(*image, x1, y1, x2, y2, colour.value, BlendPixelArgb);
    }
}

void ImagePainter::drawRect(const kernel::Rect& rect) {
    drawRect(rect.x, rect.y, rect.w, rect.h);
}

// A rectangle of height 1 is written twice through its top and bottom edges; the sides then have a
// negative height and write nothing.
void ImagePainter::drawRect(int x, int y, int w, int h) {
    fillRect(x, y, w, 1);
    fillRect(x, y + h - 1, w, 1);
    fillRect(x, y + 1, 1, h - 2);
    fillRect(x + w - 1, y + 1, 1, h - 2);
}

void ImagePainter::fillRect(const kernel::Rect& rect) {
    fillRect(rect.x, rect.y, rect.w, rect.h);
}

void ImagePainter::fillRect(int x, int y, int w, int h) {
    x += originX;
    y += originY;
    if (!clipToClip(x, y, w, h) || alpha == 0) {
        return;
    }
    if (alpha == 255) {
        FillArgb(*image, x, y, w, h, colour.value);
    } else {
        FillBlendArgb(*image, x, y, w, h, colour.value, alpha);
    }
}

void ImagePainter::fillLane(int lane, int value, int x, int y, int w, int h) {
    x += originX;
    y += originY;
    if (clipToClip(x, y, w, h)) {
        SetLaneArgb(*image, x, y, w, h, lane, value & 0xFF);
    }
}

void ImagePainter::fillLane(int lane, int value, const kernel::Rect& rect) {
    fillLane(lane, value, rect.x, rect.y, rect.w, rect.h);
}

void ImagePainter::fillLane(int lane, int value, int x, int y) {
    fillLane(lane, value, x, y, image->getWidth(), image->getHeight());
}

// Equal points go to the plain line, which plots their one pixel: a smooth line has no direction to walk.
void ImagePainter::drawPolyline(Polygon shape, bool smooth) {
    for (std::size_t i = 0; i + 1 < shape.size(); ++i) {
        const PointF& a = shape[i];
        const PointF& b = shape[i + 1];
        if (smooth && a.getX() != b.getX() && a.getY() != b.getY()) {
            drawSmoothLine(a, b);
        } else {
            drawLine(a, b);
        }
    }
}

void ImagePainter::fillPolygon(Polygon shape, bool smooth) {
    fillPolygonMask(shape, smooth, 0, 0, false);
}

void ImagePainter::fillPolygonLane(int lane, int value, Polygon shape, bool smooth) {
    fillPolygonMask(shape, smooth, lane, value, true);
}

void ImagePainter::fillPolygonMask(Polygon shape, bool smooth, int lane, int value, bool laneMode) {
    polygonActive = true;
    PolygonMask mask(*this);
    if (laneMode) {
        mask.setLaneMode(lane, value);
    }
    if (smooth) {
        mask.rasterize(shape);
    } else {
        mask.fillSpans(shape);
    }
    polygonActive = false;
    mask.freeBuffer();
}

void ImagePainter::drawSpan(int x1, int x2, int y) {
    x1 += originX;
    x2 += originX;
    y += originY;
    if (alpha == 255 && insideClip(x1, y) && insideClip(x2, y)) {
        SpanArgb(*image, x1, x2, y, colour.value);
    }
}

void ImagePainter::setColor(const kernel::Color& value) {
    colour.value = value.value;
}

kernel::Color ImagePainter::getColor() const {
    return kernel::Color(colour.value);
}

void ImagePainter::setAlpha(int value) {
    alpha = value < 1 ? 0 : value > 255 ? 255 : value;
}

int ImagePainter::getAlpha() const {
    return alpha;
}

void ImagePainter::setOriginX(int value) {
    originX = value;
}

int ImagePainter::getOriginX() const {
    return originX;
}

void ImagePainter::setOriginY(int value) {
    originY = value;
}

int ImagePainter::getOriginY() const {
    return originY;
}

void ImagePainter::setOrigin(int x, int y) {
    setOriginX(x);
    setOriginY(y);
}

void ImagePainter::moveOriginX(int dx) {
    setOriginX(getOriginX() + dx);
}

void ImagePainter::moveOriginY(int dy) {
    setOriginY(getOriginY() + dy);
}

void ImagePainter::moveOrigin(int dx, int dy) {
    moveOriginX(dx);
    moveOriginY(dy);
}

void ImagePainter::resetClip() {
    clip.set(0, 0, image->getWidth(), image->getHeight());
}

void ImagePainter::setClip(const kernel::Rect& rect) {
    resetClip();
    intersectClip(rect);
}

void ImagePainter::setClip(int x, int y, int w, int h) {
    setClip(kernel::Rect(x, y, w, h));
}

void ImagePainter::intersectClip(const kernel::Rect& rect) {
    const kernel::Rect current = clip;
    kernel::Rect::intersect(current, rect, clip);
}

void ImagePainter::intersectClip(int x, int y, int w, int h) {
    intersectClip(kernel::Rect(x, y, w, h));
}

kernel::Rect ImagePainter::getClip() const {
    return clip;
}

void ImagePainter::drawText(const kernel::WideString& text, int x, int y) {
    if (BitmapFont* current = getFont()) {
        current->drawText(*this, text, x, y);
    }
}

void ImagePainter::setFont(BitmapFont* value) {
    font = value;
}

BitmapFont* ImagePainter::getFont() const {
    return font.get();
}

ImageBase* ImagePainter::getImage() const {
    return image.get();
}

ImagePainter::BlitMode ImagePainter::chooseBlitMode(const ImageBase& source) const {
    if (alpha == 0) {
        return BlitMode::None;
    }
    if (alpha == 255) {
        return source.getAlphaMode() ? BlitMode::PerPixel : BlitMode::Copy;
    }
    return source.getAlphaMode() ? BlitMode::PerPixelUniform : BlitMode::Uniform;
}

bool ImagePainter::insideClip(int x, int y) const {
    return x >= clip.x && x < clip.right() && y >= clip.y && y < clip.bottom();
}

bool ImagePainter::insideClip(float x, float y) const {
    return x >= static_cast<float>(clip.x) && x < static_cast<float>(clip.right()) &&
           y >= static_cast<float>(clip.y) && y < static_cast<float>(clip.bottom());
}

bool ImagePainter::clipToClip(int& x, int& y, int& w, int& h) const {
    kernel::Rect area;
    kernel::Rect::intersect(clip, kernel::Rect(x, y, w, h), area);
    if (area.isEmpty()) {
        return false;
    }
    x = area.x;
    y = area.y;
    w = area.w;
    h = area.h;
    return true;
}

} // namespace graphics
