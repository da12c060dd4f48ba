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

bool MemoryImage::allocate(int newWidth, int newHeight) {
    return take(newWidth, newHeight, true);
}

bool MemoryImage::allocateUncleared(int newWidth, int newHeight) {
    return take(newWidth, newHeight, false);
}

// calloc: zeroed pages without touching them, and null rather than an exception when memory is short.
bool MemoryImage::take(int newWidth, int newHeight, bool cleared) {
    const std::size_t bytes = bufferBytes(newWidth, newHeight, 2);
    if (bytes == 0) {
        return false;
    }
    auto* newPixels = static_cast<std::uint16_t*>(cleared ? std::calloc(bytes / 2, 2) : std::malloc(bytes));
    auto* newAlpha = static_cast<std::uint8_t*>(cleared ? std::calloc(bytes / 2, 1) : std::malloc(bytes / 2));
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
