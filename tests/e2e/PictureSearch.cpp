#include "PictureSearch.h"

#include "engine/graphics/ImageFactory.h"

#include <fstream>
#include <set>
#include <vector>

namespace e2e {
namespace {

constexpr int colourTolerance = 12;
// Pixels tried at every place before the whole frame is compared: almost every place fails at once. One
// of them may be off, as a tenth of the whole frame may.
constexpr std::size_t keyPixelCount = 12;
constexpr int keyMissesAllowed = 1;

struct KeyPixel {
    int x = 0;
    int y = 0;
    Rgb colour;
};

std::uint32_t framePixel(const Picture& art, int frame, int x, int y) {
    const graphics::MemoryImage32& image = *art.image;
    return image.pixels32()[image.pixelIndex(x, frame * art.frameHeight() + y)];
}

bool opaque(std::uint32_t pixel) {
    return (pixel >> 24) == 0xFF;
}

// Spread over the frame's opaque pixels in reading order.
std::vector<KeyPixel> keyPixels(const Picture& art, int frame) {
    std::vector<KeyPixel> all;
    for (int y = 0; y < art.frameHeight(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            const std::uint32_t pixel = framePixel(art, frame, x, y);
            if (opaque(pixel)) {
                all.push_back({x, y, fromArgb(pixel)});
            }
        }
    }
    std::vector<KeyPixel> keys;
    for (std::size_t i = 0; i < keyPixelCount && !all.empty(); ++i) {
        // Odd multiples of half a step, so neither the first row nor the last is favoured.
        keys.push_back(all[(2 * i + 1) * all.size() / (2 * keyPixelCount)]);
    }
    return keys;
}

} // namespace

double shareShown(const Screenshot& shot, const Rect& picture, const Picture& art, int frame, Point at,
                  int step, int fromX) {
    int compared = 0;
    int matching = 0;
    for (int y = 0; y < art.frameHeight(); y += step) {
        for (int x = fromX; x < art.width(); x += step) {
            const std::uint32_t pixel = framePixel(art, frame, x, y);
            if (!opaque(pixel)) {
                continue;
            }
            ++compared;
            const Rgb shown = shot.at(picture.x + at.x + x, picture.y + at.y + y);
            matching += closeTo(shown, fromArgb(pixel), colourTolerance) ? 1 : 0;
        }
    }
    return compared == 0 ? 0.0 : static_cast<double>(matching) / compared;
}

std::optional<Point> findFrame(const Screenshot& shot, const Rect& picture, const Picture& art, int frame) {
    if (shot.empty()) {
        return std::nullopt;
    }
    const std::vector<KeyPixel> keys = keyPixels(art, frame);
    if (keys.empty()) {
        return std::nullopt;
    }
    for (int y = 0; y + art.frameHeight() <= gameHeight; ++y) {
        for (int x = 0; x + art.width() <= gameWidth; ++x) {
            int misses = 0;
            for (const KeyPixel& key : keys) {
                if (!closeTo(shot.at(picture.x + x + key.x, picture.y + y + key.y), key.colour,
                             colourTolerance) &&
                    ++misses > keyMissesAllowed) {
                    break;
                }
            }
            if (misses <= keyMissesAllowed && shareShown(shot, picture, art, frame, {x, y}) > wholeShare) {
                return Point{x, y};
            }
        }
    }
    return std::nullopt;
}

Picture cropped(const Picture& art, int frame, Rect part) {
    Picture piece{art.name + " (part)", graphics::createImage32(part.width, part.height)};
    if (!piece.image) {
        fail("cannot make a picture of " + std::to_string(part.width) + " x " + std::to_string(part.height));
    }
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            piece.image->pixels32()[piece.image->pixelIndex(x, y)] =
                framePixel(art, frame, part.x + x, part.y + y);
        }
    }
    return piece;
}

Point middleOf(const Picture& art, Point at) {
    return {at.x + art.width() / 2, at.y + art.frameHeight() / 2};
}

int distinctColours(const Screenshot& shot, const Rect& picture) {
    std::set<int> colours;
    for (int y = 0; y < gameHeight; y += 2) {
        for (int x = 0; x < gameWidth; x += 2) {
            const Rgb c = shot.at(picture.x + x, picture.y + y);
            colours.insert(c.r << 16 | c.g << 8 | c.b);
        }
    }
    return static_cast<int>(colours.size());
}

bool writePpm(const Screenshot& shot, const Rect& picture, const std::string& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << gameWidth << " " << gameHeight << "\n255\n";
    for (int y = 0; y < gameHeight; ++y) {
        for (int x = 0; x < gameWidth; ++x) {
            const Rgb c = shot.at(picture.x + x, picture.y + y);
            out.put(static_cast<char>(c.r)).put(static_cast<char>(c.g)).put(static_cast<char>(c.b));
        }
    }
    return static_cast<bool>(out);
}

} // namespace e2e
