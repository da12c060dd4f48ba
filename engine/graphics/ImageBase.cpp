#include "engine/graphics/ImageBase.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace graphics {

namespace {

// Rows whose pixels are all clear add nothing; the others widen the bounds to their first and last
// pixel that is not.
kernel::Rect scanAlphaBounds(const ImageBase& image, const std::uint32_t* pixels) {
    const int width = image.getWidth();
    int top = -1;
    int bottom = -1;
    int left = width;
    int right = 0;
    for (int y = 0; y < image.getHeight(); ++y) {
        const std::uint32_t* row = pixels + image.pixelIndex(0, y);
        int first = 0;
        while (first < width && (row[first] >> 24) == 0) {
            ++first;
        }
        if (first == width) {
            continue;
        }
        int last = width - 1;
        while ((row[last] >> 24) == 0) {
            --last;
        }
        top = top < 0 ? y : top;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last + 1);
    }
    return top < 0 ? kernel::Rect() : kernel::Rect(left, top, right - left, bottom - top + 1);
}

} // namespace

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
    freshTwinBands = 0;
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

kernel::Rect ImageBase::alphaBounds() {
    if (alphaBoundsVersion == contentVersion) {
        return knownAlphaBounds;
    }
    // Worked out before the version is read: a lock for reading keeps it.
    knownAlphaBounds = findAlphaBounds();
    alphaBoundsVersion = contentVersion;
    return knownAlphaBounds;
}

kernel::Rect ImageBase::findAlphaBounds() {
    kernel::Rect bounds(0, 0, getWidth(), getHeight());
    if (getPixelFormat()->bytesPerPixel == 4 && getWidth() > 0 && getHeight() > 0 && lockForReading()) {
        if (const auto* pixels = static_cast<const std::uint32_t*>(getPixels())) {
            bounds = scanAlphaBounds(*this, pixels);
        }
        unlock();
    }
    return bounds;
}

// A note that does not follow the newest one starts the notes afresh.
void ImageBase::notePartChanged(std::uint64_t from, const kernel::Rect& part) {
    if (partChangeCount > 0 && partChanges[partChangeCount - 1].to != from) {
        partChangeCount = 0;
    }
    if (partChangeCount == partChangesKept) {
        std::copy(partChanges + 1, partChanges + partChangesKept, partChanges);
        --partChangeCount;
    }
    partChanges[partChangeCount++] = PartChange{from, contentVersion, part};
}

std::size_t ImageBase::listChangesSince(ChangeSince (&changes)[partChangesKept]) const {
    if (partChangeCount == 0 || partChanges[partChangeCount - 1].to != contentVersion) {
        return 0;
    }
    kernel::Rect joined;
    std::size_t count = 0;
    for (std::size_t i = partChangeCount; i-- > 0;) {
        const PartChange& change = partChanges[i];
        joined = kernel::Rect::joined(joined, change.part);
        changes[count++] = ChangeSince{change.from, joined};
    }
    return count;
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
