#include "tools/mkmedia/Canvas.h"

#include "engine/graphics/ImageFactory.h"
#include "tools/mkmedia/Compose.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mkmedia {

namespace {

constexpr int alphaLane = 0;

kernel::SmartPtr<graphics::MemoryImage32> blankImage(int width, int height) {
    kernel::SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(width, height);
    image->setAlphaMode(true);
    return image;
}

kernel::Color opaque(Rgb colour) {
    return kernel::Color(0xFF000000u | colour);
}

int laneShift(int lane) {
    return 24 - 8 * lane;
}

// One box pass along a line of `count` values `step` apart; sums in 32 bits are safe for any image the
// generators make.
void boxPass(std::uint32_t* pixels, int count, int step, int shift, int radius, std::vector<int>& line) {
    line.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        line[static_cast<std::size_t>(i)] = static_cast<int>((pixels[i * step] >> shift) & 0xFF);
    }
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        sum += line[static_cast<std::size_t>(std::clamp(i, 0, count - 1))];
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t value = static_cast<std::uint32_t>((sum + window / 2) / window);
        std::uint32_t& pixel = pixels[i * step];
        pixel = (pixel & ~(0xFFu << shift)) | (value << shift);
        sum += line[static_cast<std::size_t>(std::min(i + radius + 1, count - 1))];
        sum -= line[static_cast<std::size_t>(std::max(i - radius, 0))];
    }
}

} // namespace

void blurLane(graphics::MemoryImage32& image, int lane, int radius) {
    if (radius <= 0) {
        return;
    }
    const int width = image.getWidth();
    const int height = image.getHeight();
    const int shift = laneShift(lane);
    std::vector<int> line;
    std::uint32_t* pixels = image.pixels32();
    // Two box passes approach a gaussian closely enough for soft shading.
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < height; ++y) {
            boxPass(pixels + y * width, width, 1, shift, radius, line);
        }
        for (int x = 0; x < width; ++x) {
            boxPass(pixels + x, height, width, shift, radius, line);
        }
    }
}

Canvas::Canvas(int width, int height) : picture(blankImage(width, height)), brush(picture->createPainter()) {}

std::uint32_t Canvas::pixel(int x, int y) const {
    return picture->pixels32()[picture->pixelIndex(x, y)];
}

void Canvas::paintAll(Rgb colour) {
    paintRect(0, 0, width(), height(), colour);
}

void Canvas::paintRect(int x, int y, int w, int h, Rgb colour, int alpha) {
    brush->setColor(opaque(colour));
    brush->setAlpha(alpha);
    brush->fillRect(x, y, w, h);
    brush->setAlpha(255);
}

void Canvas::paint(const Shape& shape, Rgb colour, int alpha) {
    Layer layer = coverageLayer(shape, alpha, 0);
    paintLayer(layer, colour);
}

void Canvas::paintGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1, int alpha) {
    Layer layer = coverageLayer(shape, alpha, 0);
    if (!layer.image) {
        return;
    }
    const float span = std::max(1.0f, y1 - y0);
    for (int row = 0; row < layer.image->getHeight(); ++row) {
        const float y = static_cast<float>(layer.y + row) + 0.5f;
        layer.brush->setColor(opaque(mix(top, bottom, (y - y0) / span)));
        layer.brush->fillRect(0, row, layer.image->getWidth(), 1);
    }
    brush->blit(*layer.image, layer.x, layer.y);
}

void Canvas::paintSoft(const Shape& shape, Rgb colour, int alpha, int radius) {
    Layer layer = coverageLayer(shape, alpha, 2 * radius + 1);
    if (layer.image) {
        blurLane(*layer.image, alphaLane, radius);
        paintLayer(layer, colour);
    }
}

void Canvas::revealAll(int value) {
    brush->fillLane(alphaLane, value, 0, 0, width(), height());
}

void Canvas::reveal(const Shape& shape, int value) {
    const Layer layer = coverageLayer(shape, value, 0);
    if (layer.image) {
        brush->maxLane(*layer.image, alphaLane, layer.x, layer.y);
    }
}

void Canvas::revealSoft(const Shape& shape, int value, int radius) {
    const Layer layer = coverageLayer(shape, value, 2 * radius + 1);
    if (layer.image) {
        blurLane(*layer.image, alphaLane, radius);
        brush->maxLane(*layer.image, alphaLane, layer.x, layer.y);
    }
}

void Canvas::fill(const Shape& shape, Rgb colour, int alpha) {
    paint(shape, colour, alpha);
    reveal(shape, alpha);
}

void Canvas::fillGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1) {
    paintGradient(shape, top, bottom, y0, y1);
    reveal(shape);
}

Canvas::Layer Canvas::softCoverage(const Shape& shape, int value, int radius) const {
    Layer layer = coverageLayer(shape, value, radius > 0 ? 2 * radius + 1 : 0);
    if (layer.image && radius > 0) {
        blurLane(*layer.image, alphaLane, radius);
    }
    return layer;
}

template <typename ColourOfRow> void Canvas::layOver(const Layer& layer, ColourOfRow colourOfRow) {
    if (!layer.image) {
        return;
    }
    const int w = layer.image->getWidth();
    const int h = layer.image->getHeight();
    const std::uint32_t* coverage = layer.image->pixels32();
    for (int row = 0; row < h; ++row) {
        const Rgb colour = colourOfRow(layer.y + row);
        std::uint32_t* target = picture->pixels32() + picture->pixelIndex(layer.x, layer.y + row);
        for (int column = 0; column < w; ++column) {
            const std::uint32_t amount = coverage[layer.image->pixelIndex(column, row)] >> 24;
            if (amount == 0) {
                continue;
            }
            Layered below = layeredOf(target[column]);
            layerOver(below, colour, static_cast<float>(amount) / 255.0f);
            target[column] = pixelOf(below);
        }
    }
}

void Canvas::over(const Shape& shape, Rgb colour, int alpha, int radius) {
    layOver(softCoverage(shape, alpha, radius), [colour](int) { return colour; });
}

void Canvas::overGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1, int alpha,
                          int radius) {
    const float span = std::max(1.0f, y1 - y0);
    layOver(softCoverage(shape, alpha, radius),
            [=](int row) { return mix(top, bottom, (static_cast<float>(row) + 0.5f - y0) / span); });
}

void Canvas::erase(const Shape& shape, int value, int radius) {
    const Layer layer = softCoverage(shape, value, radius);
    if (!layer.image) {
        return;
    }
    const int w = layer.image->getWidth();
    const int h = layer.image->getHeight();
    const std::uint32_t* coverage = layer.image->pixels32();
    for (int row = 0; row < h; ++row) {
        std::uint32_t* target = picture->pixels32() + picture->pixelIndex(layer.x, layer.y + row);
        for (int column = 0; column < w; ++column) {
            const std::uint32_t keep = 255 - (coverage[layer.image->pixelIndex(column, row)] >> 24);
            const std::uint32_t alpha = (target[column] >> 24) * keep / 255;
            target[column] = alpha == 0 ? 0 : (target[column] & 0x00FFFFFFu) | alpha << 24;
        }
    }
}

void Canvas::clipTo(const Shape& shape) {
    const Layer layer = coverageLayer(shape, 255, 0);
    for (int y = 0; y < height(); ++y) {
        std::uint32_t* row = picture->pixels32() + picture->pixelIndex(0, y);
        for (int x = 0; x < width(); ++x) {
            const bool inside = layer.image && x >= layer.x && y >= layer.y &&
                                x < layer.x + layer.image->getWidth() &&
                                y < layer.y + layer.image->getHeight();
            const std::uint32_t keep =
                inside ? layer.image->pixels32()[layer.image->pixelIndex(x - layer.x, y - layer.y)] >> 24 : 0;
            const std::uint32_t alpha = (row[x] >> 24) * keep / 255;
            row[x] = alpha == 0 ? 0 : (row[x] & 0x00FFFFFFu) | alpha << 24;
        }
    }
}

void Canvas::fadeRows(int from, int to) {
    for (int y = std::max(0, from); y < height(); ++y) {
        const float keep =
            y >= to ? 0.0f : 1.0f - static_cast<float>(y - from) / static_cast<float>(to - from);
        std::uint32_t* row = picture->pixels32() + picture->pixelIndex(0, y);
        for (int x = 0; x < width(); ++x) {
            const auto alpha = static_cast<std::uint32_t>(static_cast<float>(row[x] >> 24) * keep);
            row[x] = alpha == 0 ? 0 : (row[x] & 0x00FFFFFFu) | alpha << 24;
        }
    }
}

void Canvas::mirror() {
    for (int y = 0; y < height(); ++y) {
        std::uint32_t* row = picture->pixels32() + picture->pixelIndex(0, y);
        std::reverse(row, row + width());
    }
}

void Canvas::stamp(const graphics::MemoryImage32& source, int x, int y) {
    composeOver(*picture, source, x, y);
}

Canvas Canvas::cut(int x, int y, int w, int h) const {
    Canvas piece(w, h);
    piece.brush->copyPixels(*picture, 0, 0, x, y, w, h);
    return piece;
}

void Canvas::copyFrom(const Canvas& source, int x, int y) {
    brush->copyPixels(*source.picture, x, y, 0, 0, source.width(), source.height());
}

Canvas::Layer Canvas::coverageLayer(const Shape& shape, int value, int margin) const {
    Layer layer;
    if (shape.empty()) {
        return layer;
    }
    float left = shape.front().getX();
    float right = left;
    float top = shape.front().getY();
    float bottom = top;
    for (const graphics::PointF& point : shape) {
        left = std::min(left, point.getX());
        right = std::max(right, point.getX());
        top = std::min(top, point.getY());
        bottom = std::max(bottom, point.getY());
    }
    layer.x = std::max(0, static_cast<int>(std::floor(left)) - 1 - margin);
    layer.y = std::max(0, static_cast<int>(std::floor(top)) - 1 - margin);
    const int layerRight = std::min(width(), static_cast<int>(std::ceil(right)) + 2 + margin);
    const int layerBottom = std::min(height(), static_cast<int>(std::ceil(bottom)) + 2 + margin);
    if (layerRight <= layer.x || layerBottom <= layer.y) {
        return layer;
    }
    layer.image = blankImage(layerRight - layer.x, layerBottom - layer.y);
    layer.brush = layer.image->createPainter();
    Shape moved = shape;
    for (graphics::PointF& point : moved) {
        point = graphics::PointF(point.getX() - static_cast<float>(layer.x),
                                 point.getY() - static_cast<float>(layer.y));
    }
    layer.brush->fillPolygonLane(alphaLane, std::clamp(value, 0, 255), moved, true);
    return layer;
}

void Canvas::paintLayer(Layer& layer, Rgb colour) {
    if (!layer.image) {
        return;
    }
    layer.brush->setColor(opaque(colour));
    layer.brush->fillRect(0, 0, layer.image->getWidth(), layer.image->getHeight());
    brush->blit(*layer.image, layer.x, layer.y);
}

} // namespace mkmedia
