#include "engine/graphics/ImageBase.h"

#include <limits>

namespace graphics {

ImageBase::ImageBase() : twin(this) {}

ImageBase::~ImageBase() {
    if (twin != this && twin != nullptr) {
        twin->release();
    }
}

void ImageBase::setTwin(ImageBase* image) {
    // The image is its own twin without a reference, or it could never be destroyed.
    ImageBase* const next = image != nullptr ? image : this;
    if (next != this) {
        next->addRef();
    }
    // Released after the new reference is taken, so setting the same twin again cannot destroy it.
    ImageBase* const previous = twin;
    twin = next;
    if (previous != this && previous != nullptr) {
        previous->release();
    }
}

std::size_t ImageBase::bufferBytes(int width, int height, int bytesPerPixel) {
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0) {
        return 0;
    }
    const std::int64_t bytes = std::int64_t{width} * height * bytesPerPixel;
    if (bytes > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::size_t>(bytes);
}

} // namespace graphics
