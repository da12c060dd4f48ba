#pragma once

#include "engine/graphics/RecordingPainter.h"
#include "engine/kernel/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui {

// Records a frame like its base and also notes, for each request, whether its pixels depend on where the
// drawing of its rows starts and ends.
//
// The 32-bit blits take a row's pixels in pairs from where the row starts, and some treat a pair otherwise
// than two single pixels: a pair of opaque pixels under full alpha is copied where a lone one is blended,
// and a picture without its own alpha under partial alpha rounds its pairs and single pixels apart. Drawn
// again within an area whose side splits such a pair, the row would start (or end) elsewhere than in the
// whole drawing and give other pixels there; the area is therefore widened until no side does.
class FrameRecorder : public graphics::RecordingPainter {
public:
    // How a request's pixels depend on where its rows are cut.
    enum class Rows : std::uint8_t { Unknown, Any, Paired };
    struct StepRows {
        Rows rows = Rows::Unknown;
        // For paired rows: the target column where the whole drawing starts each row.
        int start = 0;
    };

    explicit FrameRecorder(graphics::ImagePainter& target);
    ~FrameRecorder() override;

    // As the base's, each starting the notes afresh.
    void begin();
    void beginForwarding(const kernel::Rect& area);

    // Unknown for a request that is neither a blit nor a fill.
    StepRows rowsOf(std::size_t step) const { return step < stepRows.size() ? stepRows[step] : StepRows{}; }
    // The area widened until its sides split no request's pair: drawn again on its own, it then gives the
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
    StepRows rowsOfBlit(const graphics::ImageBase& src, const kernel::Rect& part) const;
    void noteRows(StepRows rows);
    bool growAtSide(kernel::Rect& area, bool left) const;

    std::vector<StepRows> stepRows;
};

} // namespace ui
