#include "engine/graphics/MemoryImagePainter.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/PixelLoops565.h"
#include "engine/graphics/SmoothLines.h"
#include "engine/graphics/TransformLoops.h"

#include <algorithm>

namespace graphics {

namespace {

void blendPixel16(ImageBase& image, int x, int y, std::uint32_t color, int alpha) {
    BlendPixel565(static_cast<MemoryImage&>(image), x, y, static_cast<std::uint16_t>(color), alpha);
}

bool isExactlyMemoryImage(const ImageBase& image) {
    return image.getClassInfo() == &MemoryImage::classInfo;
}

bool sameSize(const ImageBase& a, const ImageBase& b) {
    return a.getWidth() == b.getWidth() && a.getHeight() == b.getHeight();
}

// A twin is converted in at most 64 bands of rows, one bit each.
constexpr int twinBands = 64;

int bandRows(int height) {
    return std::max(1, (height + twinBands - 1) / twinBands);
}

} // namespace

MemoryImagePainter::MemoryImagePainter(MemoryImage& target) : ImagePainter(target) {}

MemoryImage& MemoryImagePainter::target() const {
    return static_cast<MemoryImage&>(*getImage());
}

void MemoryImagePainter::putPixel(int x, int y) {
    x += getOriginX();
    y += getOriginY();
    if (!insideClip(x, y) || getAlpha() == 0) {
        return;
    }
    if (getAlpha() == 255) {
        PutPixel565(target(), x, y, color16());
    } else {
        BlendPixel565(target(), x, y, color16(), getAlpha());
    }
}

void MemoryImagePainter::setLane(int lane, int value, int x, int y) {
    x += getOriginX();
    y += getOriginY();
    if (!insideClip(x, y)) {
        return;
    }
    if (lane != 0) {
        ClearLanePixel565(target(), x, y, lane);
    } else if (std::uint8_t* alphaBuffer = target().getAlphaBuffer()) {
        alphaBuffer[y * target().getWidth() + x] = static_cast<std::uint8_t>(value);
    }
}

void MemoryImagePainter::drawLine(int x1, int y1, int x2, int y2) {
    x1 += getOriginX();
    y1 += getOriginY();
    x2 += getOriginX();
    y2 += getOriginY();
    if (!insideClip(x1, y1) || !insideClip(x2, y2) || getAlpha() == 0) {
        return;
    }
    if (getAlpha() == 255) {
        Line565(target(), x1, y1, x2, y2, color16());
    } else {
        LineBlend565(target(), x1, y1, x2, y2, color16(), getAlpha());
    }
}

void MemoryImagePainter::drawLaneLine(int lane, int value, int x1, int y1, int x2, int y2) {
    x1 += getOriginX();
    y1 += getOriginY();
    x2 += getOriginX();
    y2 += getOriginY();
    if (!insideClip(x1, y1) || !insideClip(x2, y2)) {
        return;
    }
    if (lane != 0) {
        LineClearLane565(target(), x1, y1, x2, y2, lane);
    } else if (target().getAlphaBuffer() != nullptr) {
        LineAlpha565(target(), x1, y1, x2, y2, value);
    }
}

// A polygon's edges draw as plain smooth lines here.
void MemoryImagePainter::drawSmoothLine(float x1, float y1, float x2, float y2) {
    x1 += static_cast<float>(getOriginX());
    y1 += static_cast<float>(getOriginY());
    x2 += static_cast<float>(getOriginX());
    y2 += static_cast<float>(getOriginY());
    if (insideClip(x1, y1) && insideClip(x2, y2) && getAlpha() != 0) {
        LineSmooth(target(), x1, y1, x2, y2, color16(), blendPixel16);
    }
}

void MemoryImagePainter::fillRect(int x, int y, int w, int h) {
    x += getOriginX();
    y += getOriginY();
    if (!clipToClip(x, y, w, h) || getAlpha() == 0) {
        return;
    }
    if (getAlpha() == 255) {
        Fill565(target(), x, y, w, h, color16());
    } else {
        FillBlend565(target(), x, y, w, h, color16(), getAlpha());
    }
}

void MemoryImagePainter::fillLane(int lane, int value, int x, int y, int w, int h) {
    x += getOriginX();
    y += getOriginY();
    if (!clipToClip(x, y, w, h)) {
        return;
    }
    if (lane != 0) {
        SetLane565(target(), x, y, w, h, lane, value);
    } else if (target().getAlphaBuffer() != nullptr) {
        FillAlpha565(target(), x, y, w, h, value);
    }
}

// The flag that picks the loop is the source's own, not its twin's.
void MemoryImagePainter::blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (!placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        return;
    }
    const BlitMode mode = chooseBlitMode(src);
    // The twin's alpha bytes are the source's alpha bytes.
    ImageBase* read = &src;
    if (mode == BlitMode::PerPixel || mode == BlitMode::PerPixelUniform) {
        read = cutToAlpha(src, dx, dy, sx, sy, sw, sh);
    }
    MemoryImage* twin = mode == BlitMode::None || read == nullptr ? nullptr : twinRowsOf(*read, sy, sy + sh);
    if (twin == nullptr) {
        return;
    }
    switch (mode) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        Blit565Copy(target(), dx, dy, *twin, sx, sy, sw, sh);
        break;
    case BlitMode::PerPixel:
        Blit565Alpha(target(), dx, dy, *twin, sx, sy, sw, sh);
        break;
    case BlitMode::Uniform:
        Blit565Blend(target(), dx, dy, *twin, sx, sy, sw, sh, getAlpha());
        break;
    case BlitMode::PerPixelUniform:
        Blit565AlphaBlend(target(), dx, dy, *twin, sx, sy, sw, sh, getAlpha());
        break;
    }
}

void MemoryImagePainter::drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px,
                                     int py) {
    const BlitMode mode = chooseBlitMode(src);
    MemoryImage* twin = mode == BlitMode::None ? nullptr : twinOf(src);
    if (twin == nullptr) {
        return;
    }
    x += getOriginX();
    y += getOriginY();
    const kernel::Rect clip = getClip();
    switch (mode) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        Rotate565Copy(target(), clip, x, y, px, py, *twin, angle, scale);
        break;
    case BlitMode::Uniform:
        Rotate565Blend(target(), clip, x, y, px, py, *twin, angle, scale, getAlpha());
        break;
    case BlitMode::PerPixel:
    case BlitMode::PerPixelUniform:
        Rotate565AlphaBlend(target(), clip, x, y, px, py, *twin, angle, scale, getAlpha());
        break;
    }
}

void MemoryImagePainter::drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px,
                                           int py) {
    drawRotated(src, angle, scale, x, y, px, py);
}

// An empty or negative destination would make the stretch steps divide by zero or walk backwards.
void MemoryImagePainter::drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                                    int dh) {
    const kernel::Rect destination(dx + getOriginX(), dy + getOriginY(), dw, dh);
    if (destination.right() < 0 || destination.bottom() < 0 || dw <= 0 || dh <= 0) {
        return;
    }
    const BlitMode mode = chooseBlitMode(src);
    MemoryImage* twin = mode == BlitMode::None ? nullptr : twinOf(src);
    if (twin == nullptr) {
        return;
    }
    const kernel::Rect source(sx, sy, sw, sh);
    const kernel::Rect clip = getClip();
    switch (mode) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        Stretch565Copy(target(), clip, destination, *twin, source);
        break;
    case BlitMode::Uniform:
        Stretch565Blend(target(), clip, destination, *twin, source, getAlpha());
        break;
    case BlitMode::PerPixel:
    case BlitMode::PerPixelUniform:
        Stretch565AlphaBlend(target(), clip, destination, *twin, source, getAlpha());
        break;
    }
}

void MemoryImagePainter::drawScaledSmooth(ImageBase&, int, int, int, int, int, int, int, int) {}

void MemoryImagePainter::copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (!placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        return;
    }
    MemoryImage* twin = twinOf(src);
    if (twin == nullptr) {
        return;
    }
    Blit565Copy(target(), dx, dy, *twin, sx, sy, sw, sh);
    if (isExactlyMemoryImage(target()) && isExactlyMemoryImage(*twin)) {
        CopyAlpha565(target(), dx, dy, *twin, sx, sy, sw, sh);
    }
}

void MemoryImagePainter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw,
                                            int sh) {
    if (placeBlit(dx, dy, channel.getWidth(), channel.getHeight(), sx, sy, sw, sh) && getAlpha() != 0) {
        ChannelFill565(target(), dx, dy, channel, sx, sy, sw, sh, color16(), getAlpha());
    }
}

void MemoryImagePainter::copyLane(ImageBase& src, int, int x, int y, int sx, int sy, int sw, int sh) {
    if (!placeBlit(x, y, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        return;
    }
    MemoryImage* twin = twinOf(src);
    if (twin != nullptr && twin->getAlphaBuffer() != nullptr && target().getAlphaBuffer() != nullptr) {
        CopyAlpha565(target(), x, y, *twin, sx, sy, sw, sh);
    }
}

// Clipped against the channel as well as the target, or the loop would read past the channel's rows.
void MemoryImagePainter::copyChannelToLane(ChannelBuffer& channel, int, int x, int y, int sx, int sy, int sw,
                                           int sh) {
    if (placeBlit(x, y, channel.getWidth(), channel.getHeight(), sx, sy, sw, sh) &&
        target().getAlphaBuffer() != nullptr) {
        ChannelToAlpha565(target(), x, y, channel, sx, sy, sw, sh);
    }
}

void MemoryImagePainter::minLane(ImageBase&, int, int, int, int, int, int, int) {}

void MemoryImagePainter::maxLane(ImageBase&, int, int, int, int, int, int, int) {}

void MemoryImagePainter::prepareSource(ImageBase& source) {
    prepareRows(source, 0, source.getHeight());
}

// A 32-bit source's twin is made blank and filled a band of rows at a time as draws reach the rows, so a
// strip of animation frames is converted a frame at a time; a changed source makes every band stale.
void MemoryImagePainter::prepareRows(ImageBase& source, int top, int bottom) {
    ImageBase* twin = source.getTwin();
    if (twin == nullptr || !twin->isKindOf(MemoryImage::classInfo) ||
        (twin != &source && !sameSize(*twin, source))) {
        makeTwin(source);
        twin = source.getTwin();
        if (twin == nullptr || !twin->isKindOf(MemoryImage::classInfo) || !sameSize(*twin, source)) {
            return;
        }
    } else if (twin != &source && source.isModified()) {
        if (static_cast<MemoryImage*>(twin)->hasUntouchedZeroPixels()) {
            // A fresh buffer again, so the clear ends of the rows converted anew stay untouched; without
            // one the written twin goes (a later draw tries again), never to be filled as if fresh.
            ImageBase* const written = twin;
            makeTwin(source);
            twin = source.getTwin();
            if (twin == written) {
                source.setTwin(nullptr);
                return;
            }
        }
        source.setFreshTwinBands(0);
        source.setModified(false);
    }
    if (twin == &source) {
        return;
    }
    const int height = source.getHeight();
    const int rows = bandRows(height);
    top = std::max(top, 0);
    bottom = std::min(bottom, height);
    std::uint64_t fresh = source.getFreshTwinBands();
    int start = -1;
    for (int band = top / rows; band * rows < bottom || start >= 0; ++band) {
        const bool stale = band * rows < bottom && (fresh & (std::uint64_t{1} << band)) == 0;
        if (stale) {
            fresh |= std::uint64_t{1} << band;
            start = start < 0 ? band * rows : start;
        } else if (start >= 0) {
            source.lockForReading();
            // Each band is converted once into the twin's fresh memory.
            convertImage32To16Rows(source, static_cast<MemoryImage&>(*twin), start, band * rows, true);
            source.unlock();
            start = -1;
        }
    }
    source.setFreshTwinBands(fresh);
}

// When no twin can be made the old one stays, and twinOf refuses it unless it is a 16-bit image of the
// source's size.
void MemoryImagePainter::makeTwin(ImageBase& source) {
    source.lockForReading();
    if (source.getPixelFormat()->bytesPerPixel == 4 && source.getPixels() != nullptr) {
        // Every band is converted before a draw reads it.
        if (MemoryImage* made = createTwinImage16(source.getWidth(), source.getHeight())) {
            source.setTwin(made);
            made->setAlphaMode(source.getAlphaMode());
            source.setModified(false);
        }
    }
    source.unlock();
}

MemoryImage* MemoryImagePainter::twinOf(ImageBase& source) {
    return twinRowsOf(source, 0, source.getHeight());
}

MemoryImage* MemoryImagePainter::twinRowsOf(ImageBase& source, int top, int bottom) {
    prepareRows(source, top, bottom);
    ImageBase* twin = source.getTwin();
    if (twin == nullptr || !twin->isKindOf(MemoryImage::classInfo) || !sameSize(*twin, source)) {
        return nullptr;
    }
    return static_cast<MemoryImage*>(twin);
}

// The generic span writes 32-bit pixels; here the same request fills a rectangle one row high.
void MemoryImagePainter::drawSpan(int x1, int x2, int y) {
    x1 += getOriginX();
    x2 += getOriginX();
    y += getOriginY();
    if (getAlpha() == 255 && x2 > x1 && insideClip(x1, y) && insideClip(x2, y)) {
        Fill565(target(), x1, y, x2 - x1, 1, color16());
    }
}

void MemoryImagePainter::setColor(const kernel::Color& value) {
    storeColorValue(target().getPixelFormat()->pack(value.value));
}

} // namespace graphics
