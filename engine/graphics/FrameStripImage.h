#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"

#include <vector>

namespace graphics {

// A 32-bit picture of frames side by side or one below the other, kept as one small picture per frame: the
// window of the frame's pixels that are not 0, three columns wider on each side where the frame has them.
// A strip's rows run through every frame, so its clear parts share memory pages with drawn ones; cut, the
// clear parts take no memory at all.
//
// The painters draw a blit by the picture's own alpha whose source lies inside one frame straight from that
// frame's piece (the three columns keep the loops' groups of four where they were). Everything else that
// reads the pixels gets the whole picture, put together from the pieces at its first request and kept: the
// same pixels, at the memory the strip took before it was cut. A painter or a lane view on the picture
// writes into that whole picture, which from then on is the only copy.
class FrameStripImage : public ImageBase {
public:
    // Null (and the caller keeps the whole picture) when the picture has no 32-bit pixels, the count is
    // below 1 or does not divide the width (side by side) or the height, or memory is short. One frame is
    // the picture's window alone.
    static FrameStripImage* cut(const ImageBase& whole, int count, bool horizontal);
    // The same cut as the model's when the model is a cut picture of the same size; null otherwise.
    static FrameStripImage* cutLike(const ImageBase& whole, const ImageBase& model);
    // A new picture of the same size and frames that keeps only the frame holding the area, its piece shared
    // rather than copied: every other frame reads 0. For a sprite that rests on one frame for good, so the
    // strip and its other pieces can go. Null when the picture is not cut, no one frame holds the area or
    // memory is short.
    FrameStripImage* keepingFrameOf(const kernel::Rect& area) const;

    ~FrameStripImage() override;

    int pixelIndex(int x, int y) const override { return (getPitch() / 4) * y + x; }
    bool lock() override {
        markChanged();
        return true;
    }
    bool unlock() override { return true; }
    // The whole picture's pixels, put together at the first request (null when memory is short).
    void* getPixels() const override;
    void setPixels(void* pixels) override;
    ImagePainter* createPainter() override;
    ImageChannel* createChannelView(int lane) override;
    void freePixels() override;
    const FramePiece* findFramePiece(const kernel::Rect& area) const override;

    int getFrameCount() const { return static_cast<int>(pieces.size()); }
    bool isHorizontal() const { return horizontal; }
    bool isCut() const { return !pieces.empty(); }
    // A new independent copy of the whole picture (reference count 0), its pixels put together from the
    // pieces; null when memory is short.
    MemoryImage32* assemble() const;

    static constexpr kernel::ClassInfo classInfo{&ImageBase::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    kernel::Rect findAlphaBounds() override;

private:
    FrameStripImage() = default;
    kernel::Rect frameRect(int index) const;
    // The pieces give way to the whole picture, which every read and write then uses.
    void keepOnlyWhole();

    std::vector<FramePiece> pieces;
    // Each piece's image, held.
    std::vector<kernel::SmartPtr<MemoryImage32>> pieceImages;
    bool horizontal = false;
    int frameWidth = 0;
    int frameHeight = 0;
    mutable kernel::SmartPtr<MemoryImage32> whole;
};

} // namespace graphics
