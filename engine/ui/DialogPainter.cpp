#include "engine/ui/DialogPainter.h"

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr int alphaLane = 0;

bool readFlag(const kernel::NodeValue& settings, const char* key, bool fallback) {
    return settings.hasChild(key) ? settings.getValue(key).asBool() : fallback;
}

// fixed + whole tiles covering the rest, never below the request.
int snapToTiles(int size, int fixed, int tile) {
    if (tile == 0 || size - fixed <= 0) {
        return std::max(size, fixed);
    }
    const double tiles = std::ceil(static_cast<double>(size - fixed) / tile);
    return std::max(fixed + static_cast<int>(tiles * tile), size);
}

const kernel::ClassRegistrar registerDialogPainter("DialogPainter", DialogPainter::createInstance);

} // namespace

DialogPainter::DialogPainter(kernel::NodeValue& settings)
    : Painter(settings), adjustAlpha(readFlag(settings, "adjustalpha", true)),
      initAlpha(readFlag(settings, "initalpha", false)),
      useMaxAlpha(readFlag(settings, "usemaxalpha", false)),
      centerColor(static_cast<std::uint32_t>(settings.getValue("centercolor").asInt())) {}

DialogPainter::~DialogPainter() = default;

kernel::Object* DialogPainter::createInstance(kernel::Value& settings) {
    return new DialogPainter(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

int DialogPainter::snapWidth(int width) {
    fetchImages();
    int fixed = std::max(imageWidth(TopLeftCell), imageWidth(BottomLeftCell)) +
                std::max(imageWidth(TopRightCell), imageWidth(BottomRightCell));
    if (fixed == 0) {
        fixed = imageWidth(LeftCell) + imageWidth(RightCell);
    }
    int tile = std::max(imageWidth(TopCell), imageWidth(BottomCell));
    if (tile == 0) {
        tile = imageWidth(CenterCell);
    }
    return snapToTiles(width, fixed, tile);
}

int DialogPainter::snapHeight(int height) {
    fetchImages();
    int fixed = std::max(imageHeight(TopLeftCell), imageHeight(TopRightCell)) +
                std::max(imageHeight(BottomLeftCell), imageHeight(BottomRightCell));
    if (fixed == 0) {
        fixed = imageHeight(TopCell) + imageHeight(BottomCell);
    }
    int tile = std::max(imageHeight(LeftCell), imageHeight(RightCell));
    if (tile == 0) {
        tile = imageHeight(CenterCell);
    }
    return snapToTiles(height, fixed, tile);
}

// The centre goes first: its last tiles may reach under the edges, which then cover them.
void DialogPainter::paint(graphics::ImagePainter& painter) {
    fetchImages();
    const graphics::ImageBase* target = painter.getImage();
    if (target == nullptr) {
        return;
    }
    const int width = target->getWidth();
    const int height = target->getHeight();
    const int right = width - imageWidth(RightCell);
    const int bottom = height - imageHeight(BottomCell);
    const int left = imageWidth(LeftCell);
    const int top = imageHeight(TopCell);
    if (adjustAlpha && initAlpha) {
        clearAlpha(painter);
    }
    if (imageAt(CenterCell) != nullptr) {
        paintCenterTiles(painter, left, top, right, bottom);
    } else {
        paintCenterColor(painter, left, top, right, bottom);
    }
    paintEdges(painter, width, height);
    paintCorners(painter, width, height);
    setChanged(false);
}

void DialogPainter::clearAlpha(graphics::ImagePainter& painter) const {
    const graphics::ImageBase* target = painter.getImage();
    painter.fillLane(alphaLane, 0, 0, 0, target->getWidth(), target->getHeight());
}

void DialogPainter::paintCenterTiles(graphics::ImagePainter& painter, int left, int top, int right,
                                     int bottom) {
    const graphics::ImageBase* center = imageAt(CenterCell);
    // A centre without alpha of its own leaves the buffer's alpha alone in its blits: make it opaque.
    if (adjustAlpha && !center->getAlphaMode()) {
        painter.fillLane(alphaLane, 255, left, top, right - left, bottom - top);
    }
    const int tileHeight = center->getHeight();
    if (tileHeight <= 0) {
        return;
    }
    for (int y = top; y < bottom; y += tileHeight) {
        tileRow(painter, CenterCell, y, left, right);
    }
}

// Written straight into the pixels: the painter's clip and origin play no part, so the rectangle is kept
// inside the image here.
void DialogPainter::paintCenterColor(graphics::ImagePainter& painter, int left, int top, int right,
                                     int bottom) const {
    graphics::ImageBase* target = painter.getImage();
    if (target->getPixelFormat()->bytesPerPixel != 4) {
        return;
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, target->getWidth());
    bottom = std::min(bottom, target->getHeight());
    if (left >= right || top >= bottom || !target->lock()) {
        return;
    }
    auto* pixels = static_cast<std::uint32_t*>(target->getPixels());
    if (pixels != nullptr) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                std::uint32_t& pixel = pixels[target->pixelIndex(x, y)];
                pixel = centerPixel(pixel);
            }
        }
    }
    target->unlock();
}

std::uint32_t DialogPainter::centerPixel(std::uint32_t pixel) const {
    constexpr std::uint32_t alphaMask = 0xFF000000u;
    const std::uint32_t rgb = centerColor & ~alphaMask;
    if (!adjustAlpha) {
        return (pixel & alphaMask) | rgb;
    }
    if (!useMaxAlpha) {
        return centerColor;
    }
    return std::max(pixel & alphaMask, centerColor & alphaMask) | rgb;
}

void DialogPainter::paintEdges(graphics::ImagePainter& painter, int width, int height) {
    tileRow(painter, TopCell, 0, imageWidth(TopLeftCell), width - imageWidth(TopRightCell));
    tileRow(painter, BottomCell, height - imageHeight(BottomCell), imageWidth(BottomLeftCell),
            width - imageWidth(BottomRightCell));
    tileColumn(painter, LeftCell, 0, imageHeight(TopLeftCell), height - imageHeight(BottomLeftCell));
    tileColumn(painter, RightCell, width - imageWidth(RightCell), imageHeight(TopRightCell),
               height - imageHeight(BottomRightCell));
}

void DialogPainter::paintCorners(graphics::ImagePainter& painter, int width, int height) {
    drawPiece(painter, TopLeftCell, 0, 0);
    drawPiece(painter, TopRightCell, width - imageWidth(TopRightCell), 0);
    drawPiece(painter, BottomLeftCell, 0, height - imageHeight(BottomLeftCell));
    drawPiece(painter, BottomRightCell, width - imageWidth(BottomRightCell),
              height - imageHeight(BottomRightCell));
}

void DialogPainter::tileRow(graphics::ImagePainter& painter, int cell, int y, int from, int to) {
    const int step = imageWidth(cell);
    if (step <= 0) {
        return;
    }
    for (int x = from; x < to; x += step) {
        drawPiece(painter, cell, x, y);
    }
}

void DialogPainter::tileColumn(graphics::ImagePainter& painter, int cell, int x, int from, int to) {
    const int step = imageHeight(cell);
    if (step <= 0) {
        return;
    }
    for (int y = from; y < to; y += step) {
        drawPiece(painter, cell, x, y);
    }
}

// With adjustAlpha the piece is copied unblended and its alpha then becomes the buffer's (or the larger
// of both), so the frame's soft edges survive into the buffer; without it the piece blends as usual.
void DialogPainter::drawPiece(graphics::ImagePainter& painter, int cell, int x, int y) {
    graphics::ImageBase* piece = imageAt(cell);
    if (piece == nullptr) {
        return;
    }
    const bool ownAlpha = piece->getAlphaMode();
    piece->setAlphaMode(!adjustAlpha);
    painter.blit(*piece, x, y);
    if (adjustAlpha && ownAlpha) {
        if (useMaxAlpha) {
            painter.maxLane(*piece, alphaLane, x, y);
        } else {
            painter.copyLane(*piece, alphaLane, x, y);
        }
    }
    piece->setAlphaMode(ownAlpha);
}

} // namespace ui
