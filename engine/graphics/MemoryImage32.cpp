#include "engine/graphics/MemoryImage32.h"

#include "engine/graphics/ImageChannel.h"
#include "engine/graphics/MemoryImage32Painter.h"

#include <cstdlib>

namespace graphics {

MemoryImage32::~MemoryImage32() {
    MemoryImage32::freePixels();
}

ImagePainter* MemoryImage32::createPainter() {
    return new MemoryImage32Painter(*this);
}

ImageChannel* MemoryImage32::createChannelView(int lane) {
    return new ImageChannel(*this, lane);
}

// calloc: zeroed pages without touching them, and null rather than an exception when memory is short.
bool MemoryImage32::allocate(int newWidth, int newHeight) {
    const std::size_t bytes = bufferBytes(newWidth, newHeight, 4);
    if (bytes == 0) {
        return false;
    }
    auto* newPixels = static_cast<std::uint32_t*>(std::calloc(bytes / 4, 4));
    if (newPixels == nullptr) {
        return false;
    }
    freePixels();
    pixels = newPixels;
    setWidth(newWidth);
    setHeight(newHeight);
    setPitch(newWidth * 4);
    return true;
}

void MemoryImage32::freePixels() {
    markChanged();
    std::free(pixels);
    pixels = nullptr;
}

} // namespace graphics
