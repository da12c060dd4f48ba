#pragma once

#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "tools/mkmedia/Colors.h"
#include "tools/mkmedia/Shapes.h"

#include <algorithm>

namespace mkmedia {

// A 32-bit picture being drawn, with the engine's painter on it. The engine's blends keep the target's
// alpha lane, so colour and coverage are drawn apart: `paint` lays colour over what is there, `reveal`
// raises the alpha lane to a shape's coverage. A picture with soft, transparent edges is drawn by first
// giving every pixel the colour its edge should fade into, then painting and revealing its shapes.
class Canvas {
public:
    // Sizes are bounded by the generators; the pixels start as transparent black.
    Canvas(int width, int height);

    int width() const { return picture->getWidth(); }
    int height() const { return picture->getHeight(); }
    graphics::MemoryImage32& image() const { return *picture; }
    graphics::ImagePainter& painter() const { return *brush; }
    std::uint32_t pixel(int x, int y) const;

    void paintAll(Rgb colour);
    void paintRect(int x, int y, int w, int h, Rgb colour, int alpha = 255);
    void paint(const Shape& shape, Rgb colour, int alpha = 255);
    // A vertical gradient from `top` at row y0 to `bottom` at row y1, laid through the shape.
    void paintGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1, int alpha = 255);
    // Colour through the shape's coverage blurred by `radius` pixels: glows and shadows.
    void paintSoft(const Shape& shape, Rgb colour, int alpha, int radius);

    void revealAll(int value);
    void reveal(const Shape& shape, int value = 255);
    void revealSoft(const Shape& shape, int value, int radius);

    // Paint and reveal at once: an opaque part of a picture with transparent surroundings.
    void fill(const Shape& shape, Rgb colour, int alpha = 255);
    void fillGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1);

    // Colour through the shape laid over the picture by true "over" composition, alpha included, so soft
    // parts of any colour may overlap on a transparent picture; a radius above 0 blurs the shape's edge by
    // that many pixels.
    void over(const Shape& shape, Rgb colour, int alpha = 255, int radius = 0);
    // The same with a vertical gradient from `top` at row y0 to `bottom` at row y1.
    void overGradient(const Shape& shape, Rgb top, Rgb bottom, float y0, float y1, int alpha = 255,
                      int radius = 0);
    // Takes the shape's coverage (times value / 255) out of the alpha lane: cuts a hole or fades an edge.
    void erase(const Shape& shape, int value = 255, int radius = 0);
    // Keeps only what lies inside the shape, its edge smooth.
    void clipTo(const Shape& shape);
    // Scales the alpha lane of the rows from `from` on by a factor falling linearly to 0 at row `to`, and
    // clears everything below it.
    void fadeRows(int from, int to);
    // Flips the picture left to right.
    void mirror();

    // Lays a picture with its own alpha over this one ("over" composition, alpha included).
    void stamp(const graphics::MemoryImage32& source, int x, int y);
    // A new canvas holding a copy of the rectangle, alpha included.
    Canvas cut(int x, int y, int w, int h) const;
    void copyFrom(const Canvas& source, int x, int y);

private:
    // A picture over the shape's bounds (grown by `margin` and kept inside the canvas) whose alpha lane
    // holds the shape's coverage times value; each operation then costs what the shape covers, not what
    // the canvas does.
    struct Layer {
        kernel::SmartPtr<graphics::MemoryImage32> image;
        kernel::SmartPtr<graphics::ImagePainter> brush;
        int x = 0;
        int y = 0;
    };
    Layer coverageLayer(const Shape& shape, int value, int margin) const;
    Layer softCoverage(const Shape& shape, int value, int radius) const;
    template <typename ColourOfRow> void layOver(const Layer& layer, ColourOfRow colourOfRow);
    void paintLayer(Layer& layer, Rgb colour);

    kernel::SmartPtr<graphics::MemoryImage32> picture;
    kernel::SmartPtr<graphics::ImagePainter> brush;
};

// Blurs one byte lane of a 32-bit image by two passes of a box of the given radius in each direction.
void blurLane(graphics::MemoryImage32& image, int lane, int radius);

// The canvas's size as lengths to draw with, and a shape covering all of it.
inline float widthOf(const Canvas& canvas) {
    return static_cast<float>(canvas.width());
}
inline float heightOf(const Canvas& canvas) {
    return static_cast<float>(canvas.height());
}
inline Shape whole(const Canvas& canvas) {
    return roundedRect(0, 0, widthOf(canvas), heightOf(canvas), 0);
}
// A blur radius in whole pixels, never below one.
inline int blurOf(float pixels) {
    return std::max(1, static_cast<int>(pixels));
}

} // namespace mkmedia
