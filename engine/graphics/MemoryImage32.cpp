#include "engine/graphics/MemoryImage32.h"

#include "engine/graphics/ImageChannel.h"
#include "engine/graphics/MemoryImage32Painter.h"
#include "engine/graphics/PixelMemory.h"

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

// Null rather than an exception when memory is short.
bool MemoryImage32::allocate(int newWidth, int newHeight) {
    const std::size_t bytes = bufferBytes(newWidth, newHeight, 4);
    if (bytes == 0) {
        return false;
    }
    auto* newPixels = static_cast<std::uint32_t*>(allocatePixelMemory(bytes, true));
    if (newPixels == nullptr) {
        return false;
    }
    freePixels();
    pixels = newPixels;
    ownedBytes = bytes;
    setWidth(newWidth);
    setHeight(newHeight);
    setPitch(newWidth * 4);
    return true;
}

bool MemoryImage32::hasUntouchedZeroPixels() const {
    return pixels != nullptr && ownedBytes != 0 && isUntouchedZeroMemory(ownedBytes);
}

// Pixels handed in through setPixels are freed as the heap's, as they always were.
void MemoryImage32::freePixels() {
    markChanged();
    freePixelMemory(pixels, ownedBytes);
    pixels = nullptr;
    ownedBytes = 0;
}

} // namespace graphics
