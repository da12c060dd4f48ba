#pragma once

#include "engine/graphics/ImagePainter.h"

namespace graphics {

// Draws on 32-bit images: blits, channel fills and lane operations through the paired 32-bit loops,
// everything else through the generic ARGB8888 loops of the base.
class MemoryImage32Painter : public ImagePainter {
public:
    explicit MemoryImage32Painter(ImageBase& target);

    using ImagePainter::blit;
    using ImagePainter::copyChannelToLane;
    using ImagePainter::copyLane;
    using ImagePainter::fillThroughChannel;
    using ImagePainter::maxLane;
    using ImagePainter::minLane;

    void blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) override;
    void fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw, int sh) override;
    // A lane outside 0..3 changes nothing in these four.
    void copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy, int sw,
                           int sh) override;
    void minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;
    void maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) override;

    // A 32-bit source is its own twin; a cached 16-bit twin is dropped.
    void prepareSource(ImageBase& source) override;

    static constexpr kernel::ClassInfo classInfo{&ImagePainter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace graphics
