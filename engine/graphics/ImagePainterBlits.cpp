// The image-source operations of the generic painter: blits, rotated and scaled draws, copies and the
// forms that forward to the full operations.

#include "engine/graphics/ClipBlit.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/PixelLoopsArgb.h"
#include "engine/graphics/TransformLoops.h"

#include <algorithm>

namespace graphics {

namespace {

constexpr double minimumScale = 0.0001;

bool isVanishingScale(double scale) {
    return scale >= -minimumScale && scale <= minimumScale;
}

// An empty or negative destination would make the stretch steps divide by zero or walk backwards.
bool hasArea(const kernel::Rect& destination) {
    return destination.w > 0 && destination.h > 0;
}

} // namespace

bool ImagePainter::placeBlit(int& dx, int& dy, int sourceWidth, int sourceHeight, int& sx, int& sy, int& sw,
                             int& sh) const {
    dx += getOriginX();
    dy += getOriginY();
    return !ClipBlit(dx, dy, *this, sourceWidth, sourceHeight, sx, sy, sw, sh);
}

ImageBase* ImagePainter::cutToAlpha(ImageBase& src, int& dx, int& dy, int& sx, int& sy, int& sw, int& sh) {
    constexpr int group = 4;
    ImageBase* read = &src;
    kernel::Rect bounds;
    int readX = 0;
    int readY = 0;
    if (const FramePiece* piece = src.findFramePiece(kernel::Rect(sx, sy, sw, sh))) {
        // The piece holds every column the groups below can reach (see FrameStripImage).
        read = piece->image;
        bounds = piece->alphaBounds;
        readX = piece->window.x;
        readY = piece->window.y;
    } else {
        bounds = src.alphaBounds();
    }
    const int top = std::max(sy, bounds.y);
    const int bottom = std::min(sy + sh, bounds.bottom());
    const int visibleLeft = std::max(sx, bounds.x);
    const int visibleRight = std::min(sx + sw, bounds.right());
    if (read == nullptr || bounds.isEmpty() || top >= bottom || visibleLeft >= visibleRight) {
        return nullptr;
    }
    const int left = sx + (visibleLeft - sx) / group * group;
    const int groupsRight = left + (visibleRight - left + group - 1) / group * group;
    const int right = std::min(sx + sw, groupsRight);
    dx += left - sx;
    dy += top - sy;
    sx = left - readX;
    sy = top - readY;
    sw = right - left;
    sh = bottom - top;
    return read;
}

void ImagePainter::blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (!placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        return;
    }
    ImageBase& target = *getImage();
    switch (chooseBlitMode(src)) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        BlitArgbCopy(target, dx, dy, src, sx, sy, sw, sh);
        break;
    case BlitMode::PerPixel:
        BlitArgbAlpha(target, dx, dy, src, sx, sy, sw, sh);
        break;
    case BlitMode::Uniform:
        BlitArgbBlend(target, dx, dy, src, sx, sy, sw, sh, getAlpha());
        break;
    case BlitMode::PerPixelUniform:
        BlitArgbAlphaBlend(target, dx, dy, src, sx, sy, sw, sh, getAlpha());
        break;
    }
}

void ImagePainter::blit(ImageBase& src, int dx, int dy, const kernel::Rect& source) {
    blit(src, dx, dy, source.x, source.y, source.w, source.h);
}

void ImagePainter::blit(ImageBase& src, int dx, int dy) {
    blit(src, dx, dy, 0, 0, src.getWidth(), src.getHeight());
}

void ImagePainter::drawRotated(ImageBase& src, double angle, double scale, int x, int y, int px, int py) {
    if (!isVanishingScale(scale)) {
        drawTurned(src, angle, scale, x + getOriginX(), y + getOriginY(), px, py, false);
    }
}

void ImagePainter::drawRotatedSmooth(ImageBase& src, double angle, double scale, int x, int y, int px,
                                     int py) {
    if (!isVanishingScale(scale)) {
        drawTurned(src, angle, scale, x + getOriginX(), y + getOriginY(), px, py, true);
    }
}

// The rotated and scaled families have no per-pixel-only member: the per-pixel-times-uniform one serves
// full alpha too.
void ImagePainter::drawTurned(ImageBase& src, double angle, double scale, int x, int y, int px, int py,
                              bool smooth) {
    ImageBase& target = *getImage();
    const kernel::Rect clip = getClip();
    switch (chooseBlitMode(src)) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        RotateArgbCopy(target, clip, x, y, px, py, src, angle, scale, smooth);
        break;
    case BlitMode::Uniform:
        RotateArgbBlend(target, clip, x, y, px, py, src, angle, scale, getAlpha(), smooth);
        break;
    case BlitMode::PerPixel:
    case BlitMode::PerPixelUniform:
        RotateArgbAlphaBlend(target, clip, x, y, px, py, src, angle, scale, getAlpha(), smooth);
        break;
    }
}

void ImagePainter::drawScaled(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                              int dh) {
    const kernel::Rect destination(dx + getOriginX(), dy + getOriginY(), dw, dh);
    if (destination.right() >= 0 && destination.bottom() >= 0 && hasArea(destination)) {
        drawStretched(src, kernel::Rect(sx, sy, sw, sh), destination, false);
    }
}

// Without the plain form's test for a destination wholly left of or above the target: the loops clip that
// away themselves.
void ImagePainter::drawScaledSmooth(ImageBase& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                                    int dh) {
    const kernel::Rect destination(dx + getOriginX(), dy + getOriginY(), dw, dh);
    if (hasArea(destination)) {
        drawStretched(src, kernel::Rect(sx, sy, sw, sh), destination, true);
    }
}

void ImagePainter::drawStretched(ImageBase& src, const kernel::Rect& source, const kernel::Rect& destination,
                                 bool smooth) {
    ImageBase& target = *getImage();
    const kernel::Rect clip = getClip();
    switch (chooseBlitMode(src)) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        StretchArgbCopy(target, clip, destination, src, source, smooth);
        break;
    case BlitMode::Uniform:
        StretchArgbBlend(target, clip, destination, src, source, getAlpha(), smooth);
        break;
    case BlitMode::PerPixel:
    case BlitMode::PerPixelUniform:
        StretchArgbAlphaBlend(target, clip, destination, src, source, getAlpha(), smooth);
        break;
    }
}

void ImagePainter::copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        CopyRectArgb(*getImage(), dx, dy, src, sx, sy, sw, sh);
    }
}

// The generic painter has no loop for it: the painters of each depth draw it.
void ImagePainter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw,
                                      int sh) {
    placeBlit(dx, dy, channel.getWidth(), channel.getHeight(), sx, sy, sw, sh);
}

void ImagePainter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy, const kernel::Rect& source) {
    fillThroughChannel(channel, dx, dy, source.x, source.y, source.w, source.h);
}

void ImagePainter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy) {
    fillThroughChannel(channel, dx, dy, 0, 0, channel.getWidth(), channel.getHeight());
}

void ImagePainter::copyLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source) {
    copyLane(src, lane, x, y, source.x, source.y, source.w, source.h);
}

void ImagePainter::copyLane(ImageBase& src, int lane, int x, int y) {
    copyLane(src, lane, x, y, 0, 0, src.getWidth(), src.getHeight());
}

void ImagePainter::copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y,
                                     const kernel::Rect& source) {
    copyChannelToLane(channel, lane, x, y, source.x, source.y, source.w, source.h);
}

void ImagePainter::copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y) {
    copyChannelToLane(channel, lane, x, y, 0, 0, channel.getWidth(), channel.getHeight());
}

void ImagePainter::minLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source) {
    minLane(src, lane, x, y, source.x, source.y, source.w, source.h);
}

void ImagePainter::minLane(ImageBase& src, int lane, int x, int y) {
    minLane(src, lane, x, y, 0, 0, src.getWidth(), src.getHeight());
}

void ImagePainter::maxLane(ImageBase& src, int lane, int x, int y, const kernel::Rect& source) {
    maxLane(src, lane, x, y, source.x, source.y, source.w, source.h);
}

void ImagePainter::maxLane(ImageBase& src, int lane, int x, int y) {
    maxLane(src, lane, x, y, 0, 0, src.getWidth(), src.getHeight());
}

} // namespace graphics
