#include "host/PictureScaler.h"

#include <algorithm>

namespace host {
namespace {

// Both colour pairs of a pixel interpolated at once: red and blue share one word with a byte of room each.
inline std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t redBlue = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight) >> 8 & 0xFF00FF;
    const std::uint32_t green = ((a & 0x00FF00) * keep + (b & 0x00FF00) * weight) >> 8 & 0x00FF00;
    return redBlue | green;
}

} // namespace

std::vector<PictureScaler::Tap> PictureScaler::tapsFor(int sourceLength, int shownLength) {
    std::vector<Tap> taps(static_cast<std::size_t>(std::max(shownLength, 0)));
    for (int i = 0; i < shownLength; ++i) {
        // The output pixel's centre in picture pixels, minus half a pixel, in 16.16 fixed point.
        const std::int64_t position =
            ((2 * static_cast<std::int64_t>(i) + 1) * sourceLength << 15) / shownLength - 0x8000;
        if (position <= 0) {
            taps[i] = Tap{0, 0, 0};
            continue;
        }
        const int first = static_cast<int>(position >> 16);
        if (first >= sourceLength - 1) {
            taps[i] = Tap{sourceLength - 1, sourceLength - 1, 0};
            continue;
        }
        taps[i] = Tap{first, first + 1, static_cast<std::uint32_t>(position & 0xFFFF) >> 8};
    }
    return taps;
}

void PictureScaler::setLayout(int width, int height, int shownWidth, int shownHeight) {
    sourceWidth = width;
    sourceHeight = height;
    columns = tapsFor(width, shownWidth);
    rows = tapsFor(height, shownHeight);
}

SDL_Rect PictureScaler::reachOf(const SDL_Rect& changed) const {
    // An output pixel changes when either picture pixel it reads did; both only grow along the output.
    const auto span = [](const std::vector<Tap>& taps, int from, int to) {
        const auto begin = std::lower_bound(taps.begin(), taps.end(), from,
                                            [](const Tap& tap, int value) { return tap.second < value; });
        const auto end = std::upper_bound(begin, taps.end(), to,
                                          [](int value, const Tap& tap) { return value < tap.first; });
        return std::pair(static_cast<int>(begin - taps.begin()), static_cast<int>(end - taps.begin()));
    };
    const auto [left, right] = span(columns, changed.x, changed.x + changed.w - 1);
    const auto [top, bottom] = span(rows, changed.y, changed.y + changed.h - 1);
    return SDL_Rect{left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

void PictureScaler::draw(const std::uint32_t* source, int sourcePitch, const SDL_Rect& part,
                         std::uint32_t* target, int targetPitch) const {
    const auto row = [&](int y) {
        return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(source) +
                                                      static_cast<std::ptrdiff_t>(y) * sourcePitch);
    };
    for (int y = 0; y < part.h; ++y) {
        const Tap& vertical = rows[static_cast<std::size_t>(part.y + y)];
        const std::uint32_t* upper = row(vertical.first);
        const std::uint32_t* lower = row(vertical.second);
        std::uint32_t* out = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(target) +
                                                              static_cast<std::ptrdiff_t>(y) * targetPitch);
        for (int x = 0; x < part.w; ++x) {
            const Tap& horizontal = columns[static_cast<std::size_t>(part.x + x)];
            const std::uint32_t top =
                mix(upper[horizontal.first], upper[horizontal.second], horizontal.weight);
            const std::uint32_t bottom =
                mix(lower[horizontal.first], lower[horizontal.second], horizontal.weight);
            out[x] = 0xFF000000u | mix(top, bottom, vertical.weight);
        }
    }
}

} // namespace host
