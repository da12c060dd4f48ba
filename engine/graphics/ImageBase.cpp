#include "engine/graphics/ImageBase.h"

#include <atomic>
#include <limits>

namespace graphics {

std::uint64_t nextContentVersion() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

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

bool ImageBase::lockForReading() {
    const std::uint64_t kept = contentVersion;
    const bool locked = lock();
    contentVersion = kept;
    return locked;
}

void ImageBase::setModified(bool value) {
    modified = value;
    if (value) {
        markChanged();
    }
}

void ImageBase::setAlphaMode(bool value) {
    alphaMode = value;
    markChanged();
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
