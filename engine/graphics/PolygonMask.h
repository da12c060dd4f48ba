#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/Object.h"

#include <cstdint>
#include <vector>

namespace graphics {

class ImagePainter;

// Fills a polygon of float vertices on a painter's target image. A pass first computes a coverage of
// 0..255 for every pixel of the image, then paints it: each covered pixel is plotted through the painter
// with its alpha scaled by the coverage, or, in lane mode, one byte lane of the 32-bit target is written
// directly. A mask serves one painter call and holds the shape only during a pass.
class PolygonMask : public kernel::Object {
public:
    explicit PolygonMask(ImagePainter& painter);
    ~PolygonMask() override;

    // The painting step then sets the lane (0 alpha, 1 red, 2 green, 3 blue) to the value scaled by coverage.
    void setLaneMode(int lane, int value);
    // Whole pixels only: every pixel a span touches is covered fully.
    void fillSpans(Polygon shape);
    // The solid spans, then partial coverage along the left and right edge of each span.
    void rasterize(Polygon shape);
    void freeBuffer();

    // 0 outside the image and before any pass.
    int coverageAt(int x, int y) const;
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // An edge joins vertex index and the next one (the last joins the first); x is taken at the centre of
    // the current scan line.
    struct Edge {
        double x;
        double dxdy;
        int index;
    };

    void allocateCoverage();
    void store(int x, int y, int value);
    bool coveredBelow(int x, int y) const;
    bool coveredAbove(int x, int y) const;

    void startScan(Polygon shape);
    void enterLine(Polygon shape, int y);
    void takeVertex(Polygon shape, int vertex, int y);
    void addEdge(Polygon shape, int index, int y);
    void removeEdge(int index);
    void stepEdges();

    void fillSolidLine(int y);
    void refineLine(int y);
    void refineLeftEdge(const Edge& edge, int left, int right, int y);
    void refineRightEdge(const Edge& edge, int left, int right, int y);

    void paint();
    void paintThroughPainter();
    void paintLane();

    ImagePainter& painter;
    std::vector<std::int32_t> coverage;
    int width = 0;
    int height = 0;
    std::vector<Edge> edges;
    std::vector<int> verticesByY;
    std::size_t nextVertex = 0;
    bool inRasterize = false;
    int lane = 0;
    int value = 0;
    bool laneMode = false;
};

} // namespace graphics
