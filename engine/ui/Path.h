#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/Rect.h"

#include <cstddef>
#include <vector>

namespace ui {

// A polyline of float points along which a path modifier moves a node. It is closed when its last point
// repeats its first (within 0.001 on both axes); the stepping rule of nextIndex then skips the duplicate.
class Path : public kernel::Object {
public:
    Path() = default;
    // Room for count points, all at (0, 0) until set.
    explicit Path(int count);

    // False when the array cannot grow. The bounding box follows.
    bool addPoint(int x, int y);
    void setPoint(int index, float x, float y);
    const graphics::PointF& pointAt(int index) const { return points[static_cast<std::size_t>(index)]; }
    int getPointCount() const { return static_cast<int>(points.size()); }
    const kernel::Rect& getBounds() const { return bounds; }

    void computeBounds();
    bool isClosed() const;
    // The sum of the straight distances between consecutive points.
    double length() const;
    // The point that follows index on the path: an open path goes from its last point back to point 0; a
    // closed one goes from the point before its last to point 0 and from its last to point 1.
    int nextIndex(int index) const;
    // The point from which nextIndex steps to index (a closed path's duplicate end counts as point 0).
    int previousIndex(int index) const;

    // Appends a smooth curve through the source's points from index from to index to (clamped to the
    // path, closed paths wrapping), steps + 1 samples a segment, with cubic Hermite curves whose tangent
    // at a point is the next point minus the previous one (0 at the two ends with zeroEnds). The point
    // shared by two segments is kept once; with from equal to to nothing is added. The source may be this
    // path: its points as they were before the call are read.
    void interpolate(const Path& source, int from, int to, int steps, bool zeroEnds);
    // One axis of a segment from a to b with tangents m0 and m1, at t = 0, 1/steps, ..., 1.
    static std::vector<float> hermiteSamples(float a, float b, float m0, float m1, int steps);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool appendPoint(graphics::PointF point);
    std::vector<int> indicesBetween(int from, int to) const;
    graphics::PointF tangentAt(int index) const;
    void appendSegment(const graphics::PointF& a, const graphics::PointF& b, const graphics::PointF& m0,
                       const graphics::PointF& m1, int steps, bool first);

    kernel::Rect bounds;
    std::vector<graphics::PointF> points;
};

} // namespace ui
