#include "Screenshot.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace e2e {
namespace {

// The dump's header: 25 big-endian 32-bit fields, the window's name, then the colour map entries.
enum Field {
    HeaderSize = 0,
    Format = 2,
    Width = 4,
    Height = 5,
    ByteOrder = 7,
    BitsPerPixel = 11,
    BytesPerLine = 12,
    RedMask = 14,
    GreenMask = 15,
    BlueMask = 16,
    ColourCount = 19,
    FieldCount = 25,
};
constexpr std::uint32_t zPixmap = 2;
constexpr std::size_t colourEntrySize = 12;

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

std::uint32_t pixelAt(const std::string& bytes, std::size_t at, int size, bool mostSignificantFirst) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + (mostSignificantFirst ? i : size - 1 - i)]);
        value = value << 8 | byte;
    }
    return value;
}

// The channel scaled to 8 bits, whatever the mask's width.
int channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const std::uint32_t bits = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / bits);
}

} // namespace

bool closeTo(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

Rgb fromArgb(std::uint32_t pixel) {
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

Screenshot Screenshot::takeRoot(const std::string& scratchFile) {
    const std::string command = "timeout 20 xwd -root -silent -out '" + scratchFile + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream in(scratchFile, std::ios::binary);
    return parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

Screenshot Screenshot::parse(const std::string& bytes) {
    Screenshot shot;
    if (bytes.size() < FieldCount * 4) {
        return shot;
    }
    const auto field = [&](Field index) { return bigEndian(bytes, index * 4); };
    const std::uint32_t bitsPerPixel = field(BitsPerPixel);
    if (field(Format) != zPixmap || (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return shot;
    }
    const int bytesPerPixel = static_cast<int>(bitsPerPixel / 8);
    const std::size_t start =
        std::size_t{field(HeaderSize)} + std::size_t{field(ColourCount)} * colourEntrySize;
    const std::size_t lineLength = field(BytesPerLine);
    const int width = static_cast<int>(field(Width));
    const int height = static_cast<int>(field(Height));
    if (width <= 0 || height <= 0 || lineLength < std::size_t(width) * bytesPerPixel ||
        start + lineLength * height > bytes.size()) {
        return shot;
    }
    const bool mostSignificantFirst = field(ByteOrder) != 0;
    shot.columns = width;
    shot.rows = height;
    shot.pixels.reserve(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel =
                pixelAt(bytes, start + lineLength * y + std::size_t(x) * bytesPerPixel, bytesPerPixel,
                        mostSignificantFirst);
            shot.pixels.push_back({channel(pixel, field(RedMask)), channel(pixel, field(GreenMask)),
                                   channel(pixel, field(BlueMask))});
        }
    }
    return shot;
}

Rgb Screenshot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows) {
        return {};
    }
    return pixels[std::size_t(y) * columns + x];
}

} // namespace e2e
