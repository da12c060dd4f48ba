#include "engine/graphics/PolygonMask.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/Color.h"

#include <algorithm>
#include <cmath>

namespace graphics {

namespace {

constexpr int fullCoverage = 255;

// Converts a line or column position to an integer without overflowing on wild vertices.
int boundedInt(double value) {
    constexpr double limit = 1 << 30;
    if (!(value > -limit)) {
        return -static_cast<int>(limit);
    }
    return static_cast<int>(std::min(value, limit));
}

struct YRange {
    double top;
    double bottom;
};

YRange yRangeOf(Polygon shape) {
    const auto [low, high] = std::minmax_element(
        shape.begin(), shape.end(), [](const PointF& a, const PointF& b) { return a.getY() < b.getY(); });
    return {low->getY(), high->getY()};
}

int previousVertex(Polygon shape, int vertex) {
    return vertex == 0 ? static_cast<int>(shape.size()) - 1 : vertex - 1;
}

int nextVertexOf(Polygon shape, int vertex) {
    return vertex + 1 == static_cast<int>(shape.size()) ? 0 : vertex + 1;
}

// The accumulator step of a shallow edge, which crosses about s columns per line. Beyond 255 columns the
// step is 0 anyway, and the bound keeps floor(s) + 1 within an int.
int shallowStep(double slope) {
    const int columns = slope >= 255.0 ? 256 : static_cast<int>(std::floor(slope)) + 1;
    return fullCoverage / columns;
}

int steepCoverage(double exact) {
    return boundedInt(std::min(exact, static_cast<double>(fullCoverage)));
}

int scaledByCoverage(int amount, int cover) {
    return cover >= fullCoverage ? amount : static_cast<int>(amount / (255.0 / cover));
}

} // namespace

PolygonMask::PolygonMask(ImagePainter& painter) : painter(painter) {}

PolygonMask::~PolygonMask() = default;

void PolygonMask::setLaneMode(int newLane, int newValue) {
    lane = newLane;
    value = newValue;
    laneMode = true;
}

void PolygonMask::freeBuffer() {
    coverage = {};
}

int PolygonMask::coverageAt(int x, int y) const {
    if (x < 0 || x >= width || y < 0 || y >= height || coverage.empty()) {
        return 0;
    }
    return coverage[static_cast<std::size_t>(y) * width + x];
}

void PolygonMask::allocateCoverage() {
    const ImageBase& image = *painter.getImage();
    width = std::max(image.getWidth(), 0);
    height = std::max(image.getHeight(), 0);
    coverage.assign(static_cast<std::size_t>(width) * height, 0);
}

// Positions outside the image are dropped, so a span reaching the right edge never wraps into the next row.
void PolygonMask::store(int x, int y, int cover) {
    if (x >= 0 && x < width && y >= 0 && y < height) {
        coverage[static_cast<std::size_t>(y) * width + x] = cover;
    }
}

bool PolygonMask::coveredBelow(int x, int y) const {
    return y + 1 < height && coverageAt(x, y + 1) != 0;
}

bool PolygonMask::coveredAbove(int x, int y) const {
    return y - 1 >= 0 && coverageAt(x, y - 1) != 0;
}

// ---- Scan set-up shared by both passes ----

// A stable sort with a strict order: vertices of equal y keep their order in the shape.
void PolygonMask::startScan(Polygon shape) {
    verticesByY.resize(shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i) {
        verticesByY[i] = static_cast<int>(i);
    }
    std::stable_sort(verticesByY.begin(), verticesByY.end(),
                     [shape](int a, int b) { return shape[a].getY() < shape[b].getY(); });
    nextVertex = 0;
    edges.clear();
}

void PolygonMask::enterLine(Polygon shape, int y) {
    const double centre = y + 0.5;
    while (nextVertex < verticesByY.size() && shape[verticesByY[nextVertex]].getY() <= centre) {
        takeVertex(shape, verticesByY[nextVertex], y);
        ++nextVertex;
    }
    std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.x < b.x; });
}

// An edge is added only while its lower end lies strictly below the line's centre, so horizontal edges
// never enter the table.
void PolygonMask::takeVertex(Polygon shape, int vertex, int y) {
    const double above = y - 0.5;
    const double below = y + 0.5;
    const int previous = previousVertex(shape, vertex);
    if (shape[previous].getY() <= above) {
        removeEdge(previous);
    } else if (shape[previous].getY() > below) {
        addEdge(shape, previous, y);
    }
    const int next = nextVertexOf(shape, vertex);
    if (shape[next].getY() <= above) {
        removeEdge(vertex);
    } else if (shape[next].getY() > below) {
        addEdge(shape, vertex, y);
    }
}

void PolygonMask::addEdge(Polygon shape, int index, int y) {
    const PointF& first = shape[index];
    const PointF& second = shape[nextVertexOf(shape, index)];
    const PointF& top = first.getY() < second.getY() ? first : second;
    const PointF& bottom = first.getY() < second.getY() ? second : first;
    const double dxdy = (double{bottom.getX()} - top.getX()) / (double{bottom.getY()} - top.getY());
    edges.push_back({(y + 0.5 - top.getY()) * dxdy + top.getX(), dxdy, index});
}

void PolygonMask::removeEdge(int index) {
    const auto found =
        std::find_if(edges.begin(), edges.end(), [index](const Edge& edge) { return edge.index == index; });
    if (found != edges.end()) {
        edges.erase(found);
    }
}

// Every active edge moves on, a lone last one too, so that it is in place on the next line.
void PolygonMask::stepEdges() {
    for (Edge& edge : edges) {
        edge.x += edge.dxdy;
    }
}

// ---- Passes ----

void PolygonMask::fillSpans(Polygon shape) {
    allocateCoverage();
    if (!shape.empty()) {
        const YRange range = yRangeOf(shape);
        const int first = std::max(0, boundedInt(std::floor(range.top - 0.5)));
        const int last = std::min(height - 1, boundedInt(std::ceil(range.bottom - 0.5)));
        startScan(shape);
        for (int y = first; y <= last; ++y) {
            enterLine(shape, y);
            fillSolidLine(y);
            stepEdges();
        }
        edges.clear();
    }
    if (!inRasterize) {
        paint();
    }
}

void PolygonMask::rasterize(Polygon shape) {
    inRasterize = true;
    fillSpans(shape);
    if (!shape.empty()) {
        const YRange range = yRangeOf(shape);
        const int first = std::max(0, boundedInt(range.top - 0.5));
        const int last = std::min(height - 1, boundedInt(range.bottom - 0.5));
        startScan(shape);
        for (int y = first; y <= last; ++y) {
            enterLine(shape, y);
            refineLine(y);
            stepEdges();
        }
        edges.clear();
    }
    paint();
    inRasterize = false;
}

// Pairs of edges bound the spans; an odd edge out has no partner and bounds nothing.
void PolygonMask::fillSolidLine(int y) {
    for (std::size_t k = 0; k + 1 < edges.size(); k += 2) {
        const int left = std::max(0, boundedInt(std::floor(edges[k].x - 0.5)));
        const int right = std::min(width - 1, boundedInt(std::ceil(edges[k + 1].x - 0.5)));
        for (int column = left; column <= right; ++column) {
            store(column, y, fullCoverage);
        }
    }
}

void PolygonMask::refineLine(int y) {
    for (std::size_t k = 0; k + 1 < edges.size(); k += 2) {
        const int left = std::max(0, boundedInt(edges[k].x));
        const int right = std::min(width - 1, boundedInt(edges[k + 1].x - 0.000001));
        if (left <= right) {
            refineLeftEdge(edges[k], left, right, y);
            refineRightEdge(edges[k + 1], left, right, y);
        }
    }
}

// A steep edge leaves one partial pixel per line; a shallow one ramps up over the columns it crosses,
// except where the neighbouring line is already covered on the side the edge runs towards.
void PolygonMask::refineLeftEdge(const Edge& edge, int left, int right, int y) {
    const double slope = std::fabs(edge.dxdy);
    if (slope <= 1.0) {
        store(left, y, steepCoverage(255.0 * ((1.0 - (edge.x - left)) - slope / 2.0)));
        return;
    }
    const bool down = edge.dxdy >= 0.0;
    const int step = shallowStep(slope);
    int ramp = 0;
    for (int i = 0; i < slope && left + i <= right; ++i) {
        ramp += step;
        const int column = left + i;
        const bool covered = down ? coveredBelow(column, y) : coveredAbove(column + 1, y);
        if (!covered) {
            store(column, y, ramp);
        }
    }
}

void PolygonMask::refineRightEdge(const Edge& edge, int left, int right, int y) {
    const double slope = std::fabs(edge.dxdy);
    if (slope <= 1.0) {
        store(right, y, steepCoverage(255.0 * ((edge.x - right) + slope / 2.0)));
        return;
    }
    const bool down = edge.dxdy < 0.0;
    const int step = shallowStep(slope);
    int ramp = 0;
    for (int i = 0; i < slope && right + 1 - i >= left; ++i) {
        ramp += step;
        const int column = right + 1 - i;
        const bool covered = down ? coveredBelow(column, y) : coveredAbove(column - 1, y);
        if (!covered) {
            store(column, y, ramp);
        }
    }
}

// ---- Painting ----

void PolygonMask::paint() {
    if (laneMode) {
        paintLane();
    } else {
        paintThroughPainter();
    }
}

// Through putPixel, so the painter's colour, clip and origin apply; its alpha is restored afterwards.
void PolygonMask::paintThroughPainter() {
    const int alpha = painter.getAlpha();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cover = coverageAt(x, y);
            if (cover > 0) {
                painter.setAlpha(scaledByCoverage(alpha, cover));
                painter.putPixel(x, y);
            }
        }
    }
    painter.setAlpha(alpha);
}

// Writes 32-bit pixels directly, so a target of another depth is left alone.
void PolygonMask::paintLane() {
    laneMode = false;
    ImageBase& image = *painter.getImage();
    if (image.getPixelFormat()->bytesPerPixel != 4 || !image.lock()) {
        return;
    }
    auto* pixels = static_cast<std::uint32_t*>(image.getPixels());
    for (int y = 0; y < height && pixels != nullptr; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cover = coverageAt(x, y);
            if (cover > 0) {
                kernel::Color pixel(pixels[y * width + x]);
                pixel.setComponent(lane, static_cast<std::uint8_t>(scaledByCoverage(value, cover)));
                pixels[y * width + x] = pixel.value;
            }
        }
    }
    image.unlock();
    image.setModified(true);
}

} // namespace graphics
