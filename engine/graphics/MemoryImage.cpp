#include "engine/graphics/MemoryImage.h"

#include "engine/graphics/MemoryImagePainter.h"
#include "engine/graphics/PixelMemory.h"

namespace graphics {

MemoryImage::~MemoryImage() {
    MemoryImage::freePixels();
}

ImagePainter* MemoryImage::createPainter() {
    return new MemoryImagePainter(*this);
}

ImageChannel* MemoryImage::createChannelView(int) {
    return nullptr;
}

bool MemoryImage::allocate(int newWidth, int newHeight) {
    return take(newWidth, newHeight, true);
}

bool MemoryImage::allocateUncleared(int newWidth, int newHeight) {
    return take(newWidth, newHeight, false);
}

bool MemoryImage::hasUntouchedZeroPixels() const {
    return pixels != nullptr && ownedBytes != 0 && isUntouchedZeroMemory(ownedBytes / 2);
}

// Null rather than an exception when memory is short.
bool MemoryImage::take(int newWidth, int newHeight, bool cleared) {
    const std::size_t bytes = bufferBytes(newWidth, newHeight, 2);
    if (bytes == 0) {
        return false;
    }
    auto* newPixels = static_cast<std::uint16_t*>(allocatePixelMemory(bytes, cleared));
    auto* newAlpha = static_cast<std::uint8_t*>(allocatePixelMemory(bytes / 2, cleared));
    if (newPixels == nullptr || newAlpha == nullptr) {
        freePixelMemory(newPixels, bytes);
        freePixelMemory(newAlpha, bytes / 2);
        return false;
    }
    freePixels();
    pixels = newPixels;
    alphaBuffer = newAlpha;
    ownedBytes = bytes;
    setWidth(newWidth);
    setHeight(newHeight);
    setPitch(newWidth * 2);
    return true;
}

// Buffers handed in through setPixels and setAlphaBuffer are freed as the heap's, as they always were.
void MemoryImage::freePixels() {
    markChanged();
    freePixelMemory(pixels, ownedBytes);
    freePixelMemory(alphaBuffer, ownedBytes / 2);
    pixels = nullptr;
    alphaBuffer = nullptr;
    ownedBytes = 0;
}

} // namespace graphics
