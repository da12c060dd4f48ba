#pragma once

#include "engine/graphics/RecordingPainter.h"
#include "engine/kernel/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui {

// Rows that a drawing takes in groups of pixels: where a request reaches, the target column where each of
// its rows starts, and the pixels per group.
struct GroupedRows {
    kernel::Rect reach;
    int start = 0;
    int group = 2;
};

// The area widened until its sides split no group of the rows given: drawn again within it, the rows give
// the pixels of their whole drawing.
kernel::Rect withWholeGroups(const kernel::Rect& area, const std::vector<GroupedRows>& grouped);

// Records a frame like its base and also notes, for each request, whether its pixels depend on where the
// drawing of its rows starts and ends.
//
// The blits take a row's pixels in groups from where the row starts, and some treat a group otherwise than
// single pixels. The 32-bit loops take pairs: a pair of opaque pixels under full alpha is copied where a lone
// one is blended, and a picture without its own alpha under partial alpha rounds its pairs and single pixels
// apart. The 16-bit loops take fours: a picture with its own alpha under full alpha has a four that is all
// opaque copied, the opaque pixels of any other four blended, and the 0..3 pixels left over at a row's end
// copied where opaque. Drawn again within an area whose side splits such a group, the row would start (or
// end) elsewhere than in the whole drawing and give other pixels there; the area is therefore widened until
// no side does.
class FrameRecorder : public graphics::RecordingPainter {
public:
    // How a request's pixels depend on where its rows are cut.
    enum class Rows : std::uint8_t { Unknown, Any, Paired };
    struct StepRows {
        Rows rows = Rows::Unknown;
        // For grouped rows: the target column where the whole drawing starts each row, and the pixels per
        // group (2 for 32-bit targets, 4 for 16-bit ones).
        int start = 0;
        int group = 2;
    };

    explicit FrameRecorder(graphics::ImagePainter& target);
    ~FrameRecorder() override;

    // As the base's, each starting the notes afresh.
    void begin();
    void beginForwarding(const kernel::Rect& area);

    // Unknown for a request that is neither a blit nor a fill.
    StepRows rowsOf(std::size_t step) const { return step < stepRows.size() ? stepRows[step] : StepRows{}; }
    // The area widened until its sides split no request's group: drawn again on its own, it then gives the
    // pixels of the whole drawing.
    kernel::Rect withWholePairs(const kernel::Rect& area) const;

    using RecordingPainter::blit;
    using RecordingPainter::drawRect;
    using RecordingPainter::fillRect;
    void blit(graphics::ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    // Filled pixel by pixel: their rows may be cut anywhere.
    void fillRect(int x, int y, int w, int h) override;
    void drawRect(int x, int y, int w, int h) override;

    static constexpr kernel::ClassInfo classInfo{&graphics::RecordingPainter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool knowsTarget() const;
    int targetBytes() const;
    StepRows rowsOfBlit(const graphics::ImageBase& src, const kernel::Rect& part) const;
    void noteRows(StepRows rows);

    std::vector<StepRows> stepRows;
    mutable std::vector<GroupedRows> grouped;
};

} // namespace ui
