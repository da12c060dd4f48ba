#include "engine/graphics/GlyphPacking.h"

#include "engine/graphics/ImageFactory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <numeric>
#include <tuple>

namespace graphics {
namespace {

// The shelf widths tried besides the charset's own: of those that hold the widest box, the one that gives
// the smallest image wins (the narrower on a tie).
constexpr int shelfWidths[] = {256, 512, 1024, 2048};
// A packed image must save at least a tenth of the charset's pixels to be made.
constexpr std::int64_t worthNumerator = 9;
constexpr std::int64_t worthDenominator = 10;

// The rows of one distinct box that hold a pixel whose alpha is not 0.
struct Rows {
    explicit Rows(const kernel::Rect& box) : box(box) {}

    kernel::Rect box;
    int first = 0;
    int count = 0;
    kernel::Rect drawn;
};

bool rowHasAlpha(const std::uint32_t* row, int from, int width) {
    for (int x = from; x < from + width; ++x) {
        if ((row[x] >> 24) != 0) {
            return true;
        }
    }
    return false;
}

Rows keptRows(const ImageBase& charset, const std::uint32_t* pixels, const kernel::Rect& box) {
    Rows rows(box);
    int first = -1;
    int last = -1;
    for (int y = box.y; y < box.bottom(); ++y) {
        if (rowHasAlpha(pixels + charset.pixelIndex(0, y), box.x, box.w)) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    if (first >= 0) {
        rows.first = first;
        rows.count = last - first + 1;
    }
    return rows;
}

// Tallest first, left to right, each shelf as high as its first box; the packed image's size.
kernel::Rect placeOnShelves(std::vector<Rows>& distinct, const std::vector<std::size_t>& order, int width) {
    int x = 0;
    int shelfTop = 0;
    int shelfHeight = 0;
    for (const std::size_t index : order) {
        Rows& rows = distinct[index];
        if (rows.count == 0 || rows.box.w == 0) {
            continue;
        }
        if (x + rows.box.w > width) {
            shelfTop += shelfHeight;
            x = 0;
            shelfHeight = 0;
        }
        rows.drawn = kernel::Rect(x, shelfTop, rows.box.w, rows.count);
        shelfHeight = std::max(shelfHeight, rows.count);
        x += rows.box.w;
    }
    return kernel::Rect(0, 0, width, shelfTop + shelfHeight);
}

// Laid out at each width that holds the widest box, then at the best of them.
kernel::Rect placeInLeastArea(std::vector<Rows>& distinct, int charsetWidth) {
    int widest = 1;
    for (const Rows& rows : distinct) {
        widest = std::max(widest, rows.box.w);
    }
    std::vector<std::size_t> order(distinct.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(distinct[a].count, distinct[a].box.w) >
               std::tie(distinct[b].count, distinct[b].box.w);
    });
    std::vector<int> widths;
    for (const int width : shelfWidths) {
        if (width >= widest && width < charsetWidth) {
            widths.push_back(width);
        }
    }
    widths.push_back(std::max(widest, charsetWidth));
    int best = widths.front();
    std::int64_t bestArea = -1;
    for (const int width : widths) {
        const kernel::Rect size = placeOnShelves(distinct, order, width);
        const std::int64_t area = std::int64_t{size.w} * size.h;
        if (bestArea < 0 || area < bestArea) {
            best = width;
            bestArea = area;
        }
    }
    return placeOnShelves(distinct, order, best);
}

void copyRows(const ImageBase& charset, const std::uint32_t* pixels, const Rows& rows,
              MemoryImage32& packed) {
    for (int row = 0; row < rows.count; ++row) {
        const std::uint32_t* from = pixels + charset.pixelIndex(rows.box.x, rows.first + row);
        std::uint32_t* to = packed.pixels32() + packed.pixelIndex(rows.drawn.x, rows.drawn.y + row);
        std::memcpy(to, from, static_cast<std::size_t>(rows.box.w) * sizeof(std::uint32_t));
    }
}

bool insideOf(const ImageBase& image, const kernel::Rect& box) {
    return box.x >= 0 && box.y >= 0 && box.w >= 0 && box.h >= 0 && box.right() <= image.getWidth() &&
           box.bottom() <= image.getHeight();
}

} // namespace

PackedCharset packCharset(ImageBase& charset, const std::vector<kernel::Rect>& boxes) {
    PackedCharset result;
    if (charset.getPixelFormat()->bytesPerPixel != 4 ||
        !std::all_of(boxes.begin(), boxes.end(),
                     [&](const kernel::Rect& box) { return insideOf(charset, box); }) ||
        !charset.lockForReading()) {
        return result;
    }
    const auto* pixels = static_cast<const std::uint32_t*>(charset.getPixels());
    std::vector<Rows> distinct;
    std::map<std::tuple<int, int, int, int>, std::size_t> indexOf;
    std::vector<std::size_t> boxIndex;
    for (const kernel::Rect& box : boxes) {
        const auto key = std::make_tuple(box.x, box.y, box.w, box.h);
        auto found = indexOf.find(key);
        if (found == indexOf.end()) {
            found = indexOf.emplace(key, distinct.size()).first;
            distinct.push_back(pixels != nullptr ? keptRows(charset, pixels, box) : Rows(box));
        }
        boxIndex.push_back(found->second);
    }
    const kernel::Rect size = placeInLeastArea(distinct, charset.getWidth());
    const std::int64_t packedArea = std::int64_t{size.w} * size.h;
    const std::int64_t charsetArea = std::int64_t{charset.getWidth()} * charset.getHeight();
    if (pixels != nullptr && packedArea * worthDenominator <= charsetArea * worthNumerator) {
        // An empty packing (every box clear) still needs an image to be drawn from.
        result.image = createImage32(std::max(size.w, 1), std::max(size.h, 1));
    }
    if (result.image) {
        for (const Rows& rows : distinct) {
            copyRows(charset, pixels, rows, *result.image);
        }
        result.image->setAlphaMode(charset.getAlphaMode());
        result.image->setModified(true);
        for (const std::size_t index : boxIndex) {
            const Rows& rows = distinct[index];
            result.boxes.push_back({rows.drawn, rows.count > 0 ? rows.first - rows.box.y : 0});
        }
    }
    charset.unlock();
    return result;
}

} // namespace graphics
