#include "tools/mkmedia/SheetFrames.h"

#include <algorithm>

namespace mkmedia {

namespace {

enum Cell { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };

class Layer {
public:
    Layer(const std::vector<Canvas>& pieces, Canvas& frame) : pieces(pieces), frame(frame) {}

    int w(int cell) const { return piece(cell).width(); }
    int h(int cell) const { return piece(cell).height(); }
    void row(int cell, int y, int from, int to) {
        for (int x = from; x < to; x += std::max(1, w(cell))) {
            frame.copyFrom(piece(cell), x, y);
        }
    }
    void column(int cell, int x, int from, int to) {
        for (int y = from; y < to; y += std::max(1, h(cell))) {
            frame.copyFrom(piece(cell), x, y);
        }
    }
    void at(int cell, int x, int y) { frame.copyFrom(piece(cell), x, y); }

private:
    const Canvas& piece(int cell) const { return pieces[static_cast<std::size_t>(cell)]; }

    const std::vector<Canvas>& pieces;
    Canvas& frame;
};

} // namespace

Canvas paintedFrame(const std::vector<Canvas>& pieces, int width, int height) {
    Canvas frame(width, height);
    if (pieces.size() < 9) {
        return frame;
    }
    Layer layer(pieces, frame);
    const int right = width - layer.w(Right);
    const int bottom = height - layer.h(Bottom);
    for (int y = layer.h(Top); y < bottom; y += std::max(1, layer.h(Centre))) {
        layer.row(Centre, y, layer.w(Left), right);
    }
    layer.row(Top, 0, layer.w(TopLeft), width - layer.w(TopRight));
    layer.row(Bottom, height - layer.h(Bottom), layer.w(BottomLeft), width - layer.w(BottomRight));
    layer.column(Left, 0, layer.h(TopLeft), height - layer.h(BottomLeft));
    layer.column(Right, width - layer.w(Right), layer.h(TopRight), height - layer.h(BottomRight));
    layer.at(TopLeft, 0, 0);
    layer.at(TopRight, width - layer.w(TopRight), 0);
    layer.at(BottomLeft, 0, height - layer.h(BottomLeft));
    layer.at(BottomRight, width - layer.w(BottomRight), height - layer.h(BottomRight));
    return frame;
}

} // namespace mkmedia
