#include "engine/graphics/ImageChannel.h"

#include "engine/graphics/PixelLoopSupport.h"
#include "engine/graphics/PixelLoopsArgb.h"
#include "engine/kernel/Color.h"

#include <algorithm>
#include <cstdint>

namespace graphics {
namespace {

bool validLane(int lane) {
    return lane >= 0 && lane <= 3;
}

// Computed in 64 bits: offsets and sizes come from callers unchecked, and their sums may pass the int range.
struct Span {
    std::int64_t begin;
    std::int64_t end;
    bool empty() const { return begin >= end; }
};

Span clipSpan(std::int64_t start, std::int64_t length, std::int64_t limitBegin, std::int64_t limitEnd) {
    return Span{std::max(start, limitBegin), std::min(start + length, limitEnd)};
}

} // namespace

ImageChannel::ImageChannel(ImageBase& image, int lane)
    : image(&image), rect(0, 0, image.getWidth(), image.getHeight()), lane(lane) {}

bool ImageChannel::contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < image->getWidth() && y < image->getHeight();
}

void ImageChannel::fill(int value) {
    fillRect(rect.x, rect.y, rect.w, rect.h, value);
}

void ImageChannel::set(int x, int y, int value) {
    if (!contains(x, y)) {
        return;
    }
    loops::atPixel<std::uint32_t>(*image, image->pixelIndex(x, y), [&](std::uint32_t pixel) {
        kernel::Color color(pixel);
        color.setComponent(lane, static_cast<std::uint8_t>(value));
        return color.value;
    });
}

int ImageChannel::get(int x, int y) {
    if (!validLane(lane) || !contains(x, y)) {
        return 0;
    }
    int component = 0;
    loops::withPixels<std::uint32_t>(*image, [&](const std::uint32_t* pixels) {
        component = kernel::Color(pixels[image->pixelIndex(x, y)]).component(lane);
    });
    return component;
}

void ImageChannel::fillRect(int x, int y, int w, int h, int value) {
    if (!validLane(lane)) {
        return;
    }
    // The view's rectangle is the image's own unless the image was resized since; clip to both.
    const Span columns =
        clipSpan(x, w, std::max(rect.x, 0), std::min<std::int64_t>(rect.right(), image->getWidth()));
    const Span rows =
        clipSpan(y, h, std::max(rect.y, 0), std::min<std::int64_t>(rect.bottom(), image->getHeight()));
    if (columns.empty() || rows.empty()) {
        return;
    }
    SetLaneArgb(*image, static_cast<int>(columns.begin), static_cast<int>(rows.begin),
                static_cast<int>(columns.end - columns.begin), static_cast<int>(rows.end - rows.begin), lane,
                value & 0xFF);
}

template <class Step>
void ImageChannel::walk(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h, Step step) {
    // A source position (x, y) lands on (x - sx + dx, y - sy + dy): keep those inside both images.
    const Span columns =
        clipSpan(sx, w, std::max<std::int64_t>(0, std::int64_t{sx} - dx),
                 std::min<std::int64_t>(source.image->getWidth(), std::int64_t{sx} - dx + image->getWidth()));
    const Span rows = clipSpan(
        sy, h, std::max<std::int64_t>(0, std::int64_t{sy} - dy),
        std::min<std::int64_t>(source.image->getHeight(), std::int64_t{sy} - dy + image->getHeight()));
    if (columns.empty() || rows.empty()) {
        return;
    }
    for (auto y = rows.begin; y < rows.end; ++y) {
        for (auto x = columns.begin; x < columns.end; ++x) {
            step(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x - sx + dx),
                 static_cast<int>(y - sy + dy));
        }
    }
}

void ImageChannel::copyRect(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h) {
    walk(source, dx, dy, sx, sy, w, h, [&](int x, int y, int tx, int ty) { set(tx, ty, source.get(x, y)); });
}

void ImageChannel::copy(ImageChannel& source, int dx, int dy) {
    copyRect(source, dx, dy, 0, 0, source.image->getWidth(), source.image->getHeight());
}

void ImageChannel::maxRect(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h) {
    walk(source, dx, dy, sx, sy, w, h, [&](int x, int y, int tx, int ty) {
        const int own = get(x, y);
        const int other = source.get(x, y);
        set(tx, ty, other > own ? other : own);
    });
}

void ImageChannel::max(ImageChannel& source, int dx, int dy) {
    maxRect(source, dx, dy, 0, 0, source.image->getWidth(), source.image->getHeight());
}

} // namespace graphics
