#include "engine/graphics/MemoryImage32Painter.h"

#include "engine/graphics/BlitLoops32.h"
#include "engine/graphics/MemoryImage32.h"

namespace graphics {

MemoryImage32Painter::MemoryImage32Painter(ImageBase& target) : ImagePainter(target) {}

// At full alpha and with the source's alpha in play, the per-pixel member is handed 255, which its pairs
// copy exactly.
void MemoryImage32Painter::blit(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (!placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        return;
    }
    ImageBase& target = *getImage();
    switch (chooseBlitMode(src)) {
    case BlitMode::None:
        break;
    case BlitMode::Copy:
        BlitMasked32(target, dx, dy, src, sx, sy, sw, sh);
        break;
    case BlitMode::Uniform:
        BlitUniform32(target, dx, dy, src, sx, sy, sw, sh, getAlpha());
        break;
    case BlitMode::PerPixel:
    case BlitMode::PerPixelUniform:
        if (ImageBase* read = cutToAlpha(src, dx, dy, sx, sy, sw, sh)) {
            BlitAlphaUniform32(target, dx, dy, *read, sx, sy, sw, sh, getAlpha());
        }
        break;
    }
}

void MemoryImage32Painter::copyPixels(ImageBase& src, int dx, int dy, int sx, int sy, int sw, int sh) {
    if (placeBlit(dx, dy, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        BlitCopy32(*getImage(), dx, dy, src, sx, sy, sw, sh);
    }
}

void MemoryImage32Painter::fillThroughChannel(ChannelBuffer& channel, int dx, int dy, int sx, int sy, int sw,
                                              int sh) {
    if (placeBlit(dx, dy, channel.getWidth(), channel.getHeight(), sx, sy, sw, sh) && getAlpha() != 0) {
        ChannelFill32(*getImage(), dx, dy, channel, sx, sy, sw, sh, colorValue(), getAlpha());
    }
}

void MemoryImage32Painter::copyLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    if (placeBlit(x, y, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        BlitLane32(*getImage(), x, y, src, sx, sy, sw, sh, lane);
    }
}

void MemoryImage32Painter::copyChannelToLane(ChannelBuffer& channel, int lane, int x, int y, int sx, int sy,
                                             int sw, int sh) {
    if (placeBlit(x, y, channel.getWidth(), channel.getHeight(), sx, sy, sw, sh)) {
        ChannelToLane32(*getImage(), x, y, channel, sx, sy, sw, sh, lane);
    }
}

void MemoryImage32Painter::minLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    if (placeBlit(x, y, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        LaneMin32(*getImage(), x, y, src, sx, sy, sw, sh, lane);
    }
}

void MemoryImage32Painter::maxLane(ImageBase& src, int lane, int x, int y, int sx, int sy, int sw, int sh) {
    if (placeBlit(x, y, src.getWidth(), src.getHeight(), sx, sy, sw, sh)) {
        LaneMax32(*getImage(), x, y, src, sx, sy, sw, sh, lane);
    }
}

void MemoryImage32Painter::prepareSource(ImageBase& source) {
    const ImageBase* twin = source.getTwin();
    if (twin != nullptr && twin->getClassInfo() == &MemoryImage32::classInfo) {
        return;
    }
    source.setTwin(&source);
    source.setModified(false);
}

} // namespace graphics
