#include "engine/graphics/SmoothLines.h"

#include "engine/graphics/PixelLoopSupport.h"

#include <cmath>
#include <utility>

namespace graphics {

namespace {

// Far outside every image, yet far from the ends of int, so that the walk's counter cannot overflow.
constexpr int farAway = 1 << 30;

// Truncation towards zero that stays defined for lines running far beyond the image (and for NaN).
int truncToInt(double value) {
    if (!(value > -farAway)) {
        return -farAway;
    }
    if (value > farAway) {
        return farAway;
    }
    return static_cast<int>(value);
}

int coverage(float fraction) {
    return static_cast<int>(fraction * 255.0);
}

int coverageLeft(float fraction) {
    return static_cast<int>((1 - fraction) * 255.0);
}

// A walk along the major axis from the rounded first end to the rounded last, the minor coordinate
// running one gradient ahead of the exact line.
struct AxisWalk {
    int first;
    int last;
    float running;
    float gradient;
    bool exchanged;

    // A positive gradient below 1 places its pixels differently on the y-major walk and on edges.
    bool isInner() const { return gradient > 0 && gradient < 1; }
};

AxisWalk setUpWalk(float major1, float minor1, float major2, float minor2) {
    const bool exchanged = major1 > major2;
    if (exchanged) {
        std::swap(major1, major2);
        std::swap(minor1, minor2);
    }
    const float gradient = (minor2 - minor1) / (major2 - major1);
    const int first = truncToInt(major1 + 0.5);
    const int last = truncToInt(major2 + 0.5);
    return {first, last, minor1 + (first - major1) * gradient + gradient, gradient, exchanged};
}

// Visits each step of the walk with the truncated minor coordinate and its fraction.
template <class Visit> void walk(AxisWalk axis, Visit visit) {
    for (int major = axis.first; major <= axis.last; ++major) {
        const int minor = truncToInt(axis.running);
        visit(major, minor, axis.running - minor);
        axis.running += axis.gradient;
    }
}

class Plotter {
public:
    Plotter(ImageBase& image, std::uint32_t color, PlotPixel plot)
        : image(image), width(image.getWidth()), height(image.getHeight()), color(color), plot(plot) {}

    // Strictly positive on purpose: column 0 and row 0 are never drawn.
    bool isInside(int x, int y) const { return x > 0 && x < width && y > 0 && y < height; }
    bool hasColumn(int x) const { return x < width; }
    bool hasRow(int y) const { return y < height; }
    void operator()(int x, int y, int alpha) const { plot(image, x, y, color, alpha); }

private:
    ImageBase& image;
    int width;
    int height;
    std::uint32_t color;
    PlotPixel plot;
};

void plotColumnPair(const Plotter& put, int x, int yi, float f) {
    if (!put.isInside(x, yi)) {
        return;
    }
    put(x, yi, coverageLeft(f));
    if (put.hasRow(yi + 1)) {
        put(x, yi + 1, coverage(f));
    }
}

void plotRowPair(const Plotter& put, const AxisWalk& axis, int y, int xi, float f) {
    if (!put.isInside(xi, y)) {
        return;
    }
    if (axis.isInner()) {
        if (xi - 1 > 0) {
            put(xi - 1, y, coverageLeft(f));
        }
        put(xi, y, coverage(f));
        return;
    }
    put(xi, y, coverageLeft(f));
    if (put.hasColumn(xi + 1)) {
        put(xi + 1, y, coverage(f));
    }
}

// One pixel a column, for the edge of a filled shape; which one depends on the direction the edge was
// given in.
void plotEdgeColumn(const Plotter& put, const AxisWalk& axis, int x, int yi, float f) {
    if (!put.isInside(x, yi)) {
        return;
    }
    if (axis.exchanged) {
        if (!axis.isInner()) {
            put(x, yi, coverage(f));
        }
        return;
    }
    if (axis.isInner()) {
        put(x, yi, coverageLeft(f));
    } else if (put.hasRow(yi + 1)) {
        put(x, yi + 1, coverageLeft(f));
    }
}

template <class PlotColumn>
void drawSmooth(ImageBase& image, float x1, float y1, float x2, float y2, std::uint32_t color, PlotPixel plot,
                PlotColumn plotColumn) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    // Equal end points have no direction; a line through a non-finite point has no pixels.
    if (plot == nullptr || (dx == 0 && dy == 0) || !std::isfinite(dx) || !std::isfinite(dy)) {
        return;
    }
    const loops::ScopedLock lock(image);
    if (!lock) {
        return;
    }
    const Plotter put(image, color, plot);
    if (std::abs(dx) > std::abs(dy)) {
        const AxisWalk axis = setUpWalk(x1, y1, x2, y2);
        walk(axis, [&](int x, int yi, float f) { plotColumn(put, axis, x, yi, f); });
    } else {
        const AxisWalk axis = setUpWalk(y1, x1, y2, x2);
        walk(axis, [&](int y, int xi, float f) { plotRowPair(put, axis, y, xi, f); });
    }
}

} // namespace

void LineSmooth(ImageBase& image, float x1, float y1, float x2, float y2, std::uint32_t color,
                PlotPixel plot) {
    drawSmooth(
        image, x1, y1, x2, y2, color, plot,
        [](const Plotter& put, const AxisWalk&, int x, int yi, float f) { plotColumnPair(put, x, yi, f); });
}

void LineSmoothEdge(ImageBase& image, float x1, float y1, float x2, float y2, std::uint32_t color,
                    PlotPixel plot) {
    drawSmooth(image, x1, y1, x2, y2, color, plot, plotEdgeColumn);
}

} // namespace graphics
