#include "engine/ui/Path.h"

#include "engine/kernel/SmartPtr.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace ui {

namespace {

constexpr float closeEnough = 0.001f;

double distance(const graphics::PointF& p, const graphics::PointF& q) {
    return std::hypot(static_cast<double>(q.getX()) - p.getX(), static_cast<double>(q.getY()) - p.getY());
}

graphics::PointF difference(const graphics::PointF& p, const graphics::PointF& q) {
    return {q.getX() - p.getX(), q.getY() - p.getY()};
}

} // namespace

Path::Path(int count) : points(static_cast<std::size_t>(std::max(0, count))) {}

bool Path::addPoint(int x, int y) {
    if (!appendPoint({static_cast<float>(x), static_cast<float>(y)})) {
        return false;
    }
    computeBounds();
    return true;
}

bool Path::appendPoint(graphics::PointF point) {
    try {
        points.push_back(point);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Path::setPoint(int index, float x, float y) {
    if (index >= 0 && index < getPointCount()) {
        points[static_cast<std::size_t>(index)] = {x, y};
    }
}

void Path::computeBounds() {
    // An empty path has no extent; the running minimum and maximum would not fit an integer.
    if (points.empty()) {
        bounds = {};
        return;
    }
    const auto [minX, maxX] = std::minmax_element(
        points.begin(), points.end(), [](const auto& p, const auto& q) { return p.getX() < q.getX(); });
    const auto [minY, maxY] = std::minmax_element(
        points.begin(), points.end(), [](const auto& p, const auto& q) { return p.getY() < q.getY(); });
    bounds.x = graphics::roundToInt(minX->getX());
    bounds.y = graphics::roundToInt(minY->getY());
    bounds.w = graphics::roundToInt(maxX->getX()) - bounds.x;
    bounds.h = graphics::roundToInt(maxY->getY()) - bounds.y;
}

bool Path::isClosed() const {
    // One point alone would be its own duplicate and leave nothing to walk.
    if (points.size() < 2) {
        return false;
    }
    const graphics::PointF& first = points.front();
    const graphics::PointF& last = points.back();
    return std::fabs(last.getX() - first.getX()) < closeEnough &&
           std::fabs(last.getY() - first.getY()) < closeEnough;
}

double Path::length() const {
    double sum = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        sum += distance(points[i - 1], points[i]);
    }
    return sum;
}

int Path::nextIndex(int index) const {
    const int last = getPointCount() - 1;
    if (isClosed()) {
        if (index == last - 1) {
            return 0;
        }
        return index == last ? 1 : index + 1;
    }
    return index >= last ? 0 : index + 1;
}

int Path::previousIndex(int index) const {
    const int last = getPointCount() - 1;
    if (isClosed()) {
        return index == 0 || index == last ? last - 1 : index - 1;
    }
    return index == 0 ? last : index - 1;
}

void Path::interpolate(const Path& source, int from, int to, int steps, bool zeroEnds) {
    // A path smoothed from itself would read its own new points as it goes: its end and its closedness
    // change under the tangents still to come. It reads from a copy of its points instead.
    if (&source == this) {
        const kernel::SmartPtr<Path> copy = new Path();
        copy->points = points;
        interpolate(*copy, from, to, steps, zeroEnds);
        return;
    }
    const std::vector<int> indices = source.indicesBetween(from, to);
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const bool atStart = i == 1;
        const bool atEnd = i + 1 == indices.size();
        const graphics::PointF m0 =
            zeroEnds && atStart ? graphics::PointF{} : source.tangentAt(indices[i - 1]);
        const graphics::PointF m1 = zeroEnds && atEnd ? graphics::PointF{} : source.tangentAt(indices[i]);
        appendSegment(source.pointAt(indices[i - 1]), source.pointAt(indices[i]), m0, m1, steps, atStart);
    }
    computeBounds();
}

std::vector<int> Path::indicesBetween(int from, int to) const {
    const int count = getPointCount();
    if (count == 0) {
        return {};
    }
    from = std::clamp(from, 0, count - 1);
    to = std::clamp(to, 0, count - 1);
    // The stepping rule never lands on a closed path's duplicate end point; reaching point 0 reaches it.
    const bool toDuplicate = isClosed() && to == count - 1;
    std::vector<int> indices{from};
    for (int index = from; static_cast<int>(indices.size()) < count;) {
        if (index == to || (toDuplicate && index == 0 && indices.size() > 1)) {
            break;
        }
        index = nextIndex(index);
        indices.push_back(index);
    }
    if (toDuplicate && indices.size() > 1 && indices.back() == 0) {
        indices.back() = to;
    }
    return indices;
}

graphics::PointF Path::tangentAt(int index) const {
    if (isClosed()) {
        return difference(pointAt(previousIndex(index)), pointAt(nextIndex(index)));
    }
    // An open path's end point has no neighbour on one side: the end point itself stands in for it.
    const int last = getPointCount() - 1;
    return difference(pointAt(std::max(0, index - 1)), pointAt(std::min(last, index + 1)));
}

void Path::appendSegment(const graphics::PointF& a, const graphics::PointF& b, const graphics::PointF& m0,
                         const graphics::PointF& m1, int steps, bool first) {
    const std::vector<float> xs = hermiteSamples(a.getX(), b.getX(), m0.getX(), m1.getX(), steps);
    const std::vector<float> ys = hermiteSamples(a.getY(), b.getY(), m0.getY(), m1.getY(), steps);
    // A segment's first sample is the previous segment's last one: kept once.
    for (std::size_t k = first ? 0 : 1; k < xs.size(); ++k) {
        appendPoint({xs[k], ys[k]});
    }
}

std::vector<float> Path::hermiteSamples(float a, float b, float m0, float m1, int steps) {
    steps = std::max(1, steps);
    const double c3 = 2.0 * a - 2.0 * b + m0 + m1;
    const double c2 = 3.0 * b - 3.0 * a - 2.0 * m0 - m1;
    std::vector<float> samples;
    samples.reserve(static_cast<std::size_t>(steps) + 1);
    // Each t from its own index rather than a running sum, so t = 1 is always sampled.
    for (int k = 0; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        samples.push_back(static_cast<float>(((c3 * t + c2) * t + m0) * t + a));
    }
    return samples;
}

} // namespace ui
