#include "engine/graphics/MemoryImage.h"

#include "engine/graphics/MemoryImagePainter.h"

#include <cstdlib>

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

// calloc: zeroed pages without touching them, and null rather than an exception when memory is short.
bool MemoryImage::allocate(int newWidth, int newHeight) {
    const std::size_t bytes = bufferBytes(newWidth, newHeight, 2);
    if (bytes == 0) {
        return false;
    }
    auto* newPixels = static_cast<std::uint16_t*>(std::calloc(bytes / 2, 2));
    auto* newAlpha = static_cast<std::uint8_t*>(std::calloc(bytes / 2, 1));
    if (newPixels == nullptr || newAlpha == nullptr) {
        std::free(newPixels);
        std::free(newAlpha);
        return false;
    }
    freePixels();
    pixels = newPixels;
    alphaBuffer = newAlpha;
    setWidth(newWidth);
    setHeight(newHeight);
    setPitch(newWidth * 2);
    return true;
}

void MemoryImage::freePixels() {
    markChanged();
    std::free(pixels);
    std::free(alphaBuffer);
    pixels = nullptr;
    alphaBuffer = nullptr;
}

} // namespace graphics
