#include "engine/graphics/FrameStripImage.h"

#include "engine/graphics/ImageChannel.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32Painter.h"
#include "engine/graphics/PixelMemory.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace graphics {

namespace {

// The loops draw a row's pixels in groups of four counted from the blit's first column, so a blit cut to a
// frame's visible pixels may start up to three columns left of them and end up to three right of them.
constexpr int groupSlack = 3;

const std::uint32_t* rowOf(const ImageBase& image, const std::uint32_t* pixels, int x, int y) {
    return pixels + image.pixelIndex(x, y);
}

// The bounds of the frame's pixels that are not 0 and of those whose alpha is not 0, in the picture's
// pixels.
void scanFrame(const ImageBase& image, const std::uint32_t* pixels, const kernel::Rect& frame,
               kernel::Rect& drawn, kernel::Rect& visible) {
    int top = -1;
    int bottom = 0;
    int left = frame.right();
    int right = frame.x;
    int alphaTop = -1;
    int alphaBottom = 0;
    int alphaLeft = frame.right();
    int alphaRight = frame.x;
    for (int y = frame.y; y < frame.bottom(); ++y) {
        const std::uint32_t* row = rowOf(image, pixels, 0, y);
        for (int x = frame.x; x < frame.right(); ++x) {
            if (row[x] == 0) {
                continue;
            }
            top = top < 0 ? y : top;
            bottom = y + 1;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            if ((row[x] >> 24) != 0) {
                alphaTop = alphaTop < 0 ? y : alphaTop;
                alphaBottom = y + 1;
                alphaLeft = std::min(alphaLeft, x);
                alphaRight = std::max(alphaRight, x + 1);
            }
        }
    }
    drawn = top < 0 ? kernel::Rect() : kernel::Rect(left, top, right - left, bottom - top);
    visible = alphaTop < 0
                  ? kernel::Rect()
                  : kernel::Rect(alphaLeft, alphaTop, alphaRight - alphaLeft, alphaBottom - alphaTop);
}

// Rows of the source rectangle into the target at (x, y); the target reads 0 where it is not written.
void copyRows(std::uint32_t* target, const ImageBase& targetImage, int x, int y, const ImageBase& source,
              const std::uint32_t* sourcePixels, const kernel::Rect& area) {
    const auto rowBytes = static_cast<std::size_t>(area.w) * 4;
    for (int row = 0; row < area.h; ++row) {
        copyRowSkippingClearEnds(target + targetImage.pixelIndex(x, y + row),
                                 rowOf(source, sourcePixels, area.x, area.y + row), rowBytes);
    }
}

} // namespace

FrameStripImage* FrameStripImage::cut(const ImageBase& whole, int count, bool horizontal) {
    const int width = whole.getWidth();
    const int height = whole.getHeight();
    const auto* pixels = static_cast<const std::uint32_t*>(whole.getPixels());
    if (pixels == nullptr || whole.getPixelFormat()->bytesPerPixel != 4 || count < 1 || width <= 0 ||
        height <= 0 || (horizontal ? width : height) % count != 0) {
        return nullptr;
    }
    // Reference count 0 until handed out: deleted directly on failure.
    auto* strip = new (std::nothrow) FrameStripImage();
    if (strip == nullptr) {
        return nullptr;
    }
    strip->horizontal = horizontal;
    strip->frameWidth = horizontal ? width / count : width;
    strip->frameHeight = horizontal ? height : height / count;
    strip->setPixelFormat(PixelFormat::argb8888());
    strip->setWidth(width);
    strip->setHeight(height);
    strip->setPitch(width * 4);
    strip->setAlphaMode(whole.getAlphaMode());
    for (int index = 0; index < count; ++index) {
        const kernel::Rect frame = strip->frameRect(index);
        FramePiece piece;
        kernel::Rect drawn;
        scanFrame(whole, pixels, frame, drawn, piece.alphaBounds);
        kernel::SmartPtr<MemoryImage32> image;
        if (!drawn.isEmpty()) {
            const int left = std::max(frame.x, drawn.x - groupSlack);
            const int right = std::min(frame.right(), drawn.right() + groupSlack);
            piece.window = kernel::Rect(left, drawn.y, right - left, drawn.h);
            image = createImage32(piece.window.w, piece.window.h);
            if (!image) {
                delete strip;
                return nullptr;
            }
            copyRows(image->pixels32(), *image, 0, 0, whole, pixels, piece.window);
            image->setAlphaMode(whole.getAlphaMode());
            piece.image = image.get();
        }
        strip->pieces.push_back(piece);
        strip->pieceImages.push_back(image);
    }
    return strip;
}

FrameStripImage* FrameStripImage::cutLike(const ImageBase& whole, const ImageBase& model) {
    if (model.getClassInfo() != &classInfo || whole.getWidth() != model.getWidth() ||
        whole.getHeight() != model.getHeight()) {
        return nullptr;
    }
    const auto& strip = static_cast<const FrameStripImage&>(model);
    return strip.isCut() ? cut(whole, strip.getFrameCount(), strip.horizontal) : nullptr;
}

FrameStripImage* FrameStripImage::keepingFrameOf(const kernel::Rect& area) const {
    const FramePiece* piece = findFramePiece(area);
    if (piece == nullptr) {
        return nullptr;
    }
    auto* kept = new (std::nothrow) FrameStripImage();
    if (kept == nullptr) {
        return nullptr;
    }
    kept->horizontal = horizontal;
    kept->frameWidth = frameWidth;
    kept->frameHeight = frameHeight;
    kept->setPixelFormat(PixelFormat::argb8888());
    kept->setWidth(getWidth());
    kept->setHeight(getHeight());
    kept->setPitch(getPitch());
    kept->setAlphaMode(getAlphaMode());
    // The other frames' pieces are empty: a blit inside one of them finds no image and draws nothing.
    kept->pieces.assign(pieces.size(), FramePiece());
    kept->pieceImages.assign(pieceImages.size(), {});
    const auto at = static_cast<std::size_t>(piece - pieces.data());
    kept->pieces[at] = pieces[at];
    kept->pieceImages[at] = pieceImages[at];
    return kept;
}

FrameStripImage::~FrameStripImage() = default;

kernel::Rect FrameStripImage::frameRect(int index) const {
    return horizontal ? kernel::Rect(index * frameWidth, 0, frameWidth, frameHeight)
                      : kernel::Rect(0, index * frameHeight, frameWidth, frameHeight);
}

MemoryImage32* FrameStripImage::assemble() const {
    if (!isCut()) {
        return whole ? createImage32From(*whole) : nullptr;
    }
    MemoryImage32* copy = createImage32(getWidth(), getHeight());
    if (copy == nullptr) {
        return nullptr;
    }
    for (const FramePiece& piece : pieces) {
        if (piece.image != nullptr) {
            const kernel::Rect area(0, 0, piece.window.w, piece.window.h);
            copyRows(copy->pixels32(), *copy, piece.window.x, piece.window.y, *piece.image,
                     static_cast<const std::uint32_t*>(piece.image->getPixels()), area);
        }
    }
    copy->setAlphaMode(getAlphaMode());
    return copy;
}

void* FrameStripImage::getPixels() const {
    if (!whole) {
        whole = assemble();
    }
    return whole ? whole->getPixels() : nullptr;
}

void FrameStripImage::keepOnlyWhole() {
    getPixels();
    pieces.clear();
    pieceImages.clear();
    markChanged();
}

// Pixels handed in are the heap's, as for any image; the pieces go.
void FrameStripImage::setPixels(void* pixels) {
    pieces.clear();
    pieceImages.clear();
    whole = new (std::nothrow) MemoryImage32();
    if (whole) {
        whole->setPixels(pixels);
    }
    markChanged();
}

ImagePainter* FrameStripImage::createPainter() {
    keepOnlyWhole();
    return new MemoryImage32Painter(*this);
}

ImageChannel* FrameStripImage::createChannelView(int lane) {
    keepOnlyWhole();
    return new ImageChannel(*this, lane);
}

void FrameStripImage::freePixels() {
    pieces.clear();
    pieceImages.clear();
    whole.reset();
    markChanged();
}

const FramePiece* FrameStripImage::findFramePiece(const kernel::Rect& area) const {
    if (!isCut() || area.isEmpty() || area.x < 0 || area.y < 0 || frameWidth <= 0 || frameHeight <= 0) {
        return nullptr;
    }
    const int index = horizontal ? area.x / frameWidth : area.y / frameHeight;
    if (index >= getFrameCount()) {
        return nullptr;
    }
    const kernel::Rect frame = frameRect(index);
    if (area.right() > frame.right() || area.bottom() > frame.bottom() || area.x < frame.x ||
        area.y < frame.y) {
        return nullptr;
    }
    return &pieces[static_cast<std::size_t>(index)];
}

kernel::Rect FrameStripImage::findAlphaBounds() {
    if (!isCut()) {
        return ImageBase::findAlphaBounds();
    }
    kernel::Rect bounds;
    for (const FramePiece& piece : pieces) {
        bounds = kernel::Rect::joined(bounds, piece.alphaBounds);
    }
    return bounds;
}

} // namespace graphics
