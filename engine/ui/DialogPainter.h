#pragma once

#include "engine/ui/Painter.h"

#include <cstdint>

namespace kernel {
class Value;
}

namespace ui {

// The nine-image frame of a dialog, tiled to any size, with rules for the buffer's alpha so that a dialog
// can have soft, partly transparent edges. The images are the cells of a 3 x 3 grid in row order.
class DialogPainter : public Painter {
public:
    enum Cell : int {
        TopLeftCell = 0,
        TopCell = 1,
        TopRightCell = 2,
        LeftCell = 3,
        CenterCell = 4,
        RightCell = 5,
        BottomLeftCell = 6,
        BottomCell = 7,
        BottomRightCell = 8,
    };

    DialogPainter() = default;
    // The painter's keys, then "adjustalpha", "initalpha", "usemaxalpha" and "centercolor".
    explicit DialogPainter(kernel::NodeValue& settings);
    ~DialogPainter() override;

    void paint(graphics::ImagePainter& painter) override;
    int snapWidth(int width) override;
    int snapHeight(int height) override;

    bool getAdjustAlpha() const { return adjustAlpha; }
    bool getInitAlpha() const { return initAlpha; }
    bool getUseMaxAlpha() const { return useMaxAlpha; }
    std::uint32_t getCenterColor() const { return centerColor; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Painter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void clearAlpha(graphics::ImagePainter& painter) const;
    void paintCenterTiles(graphics::ImagePainter& painter, int left, int top, int right, int bottom);
    void paintCenterColor(graphics::ImagePainter& painter, int left, int top, int right, int bottom) const;
    std::uint32_t centerPixel(std::uint32_t pixel) const;
    void paintEdges(graphics::ImagePainter& painter, int width, int height);
    void paintCorners(graphics::ImagePainter& painter, int width, int height);
    void tileRow(graphics::ImagePainter& painter, int cell, int y, int from, int to);
    void tileColumn(graphics::ImagePainter& painter, int cell, int x, int from, int to);
    void drawPiece(graphics::ImagePainter& painter, int cell, int x, int y);

    bool adjustAlpha = true;
    bool initAlpha = false;
    bool useMaxAlpha = false;
    std::uint32_t centerColor = 0;
};

} // namespace ui
