#include "tools/mkmedia/TextRaster.h"

#include "tools/mkmedia/Compose.h"

#include "engine/graphics/ImageFactory.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace mkmedia {

namespace {

constexpr const char* defaultFace = "DejaVuSans-Bold.ttf";
constexpr int minimumSize = 6;
constexpr int maximumSize = 200;
constexpr int maximumGlow = 16;

FT_Library libraryOf(void* handle) {
    return static_cast<FT_Library>(handle);
}

FT_Face faceOf(void* handle) {
    return static_cast<FT_Face>(handle);
}

// One offset of a disc and how fully it lies inside, for growing shapes with soft edges.
struct Reach {
    int dx;
    int dy;
    float weight;
};

std::vector<Reach> discOf(int radius) {
    std::vector<Reach> disc;
    for (int dy = -radius - 1; dy <= radius + 1; ++dy) {
        for (int dx = -radius - 1; dx <= radius + 1; ++dx) {
            const float weight = static_cast<float>(radius) + 0.5f -
                                 std::hypot(static_cast<float>(dx), static_cast<float>(dy));
            if (weight > 0) {
                disc.push_back({dx, dy, std::min(weight, 1.0f)});
            }
        }
    }
    return disc;
}

// The coverage of a rendered glyph bitmap, placed `pad` pixels in from every side of a larger grid.
class Coverage {
public:
    Coverage(int width, int height)
        : width(width), height(height), values(static_cast<std::size_t>(width * height)) {}

    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f
                                                           : values[static_cast<std::size_t>(y * width + x)];
    }
    void set(int x, int y, float value) { values[static_cast<std::size_t>(y * width + x)] = value; }

    void spread(int x, int y, float value, const std::vector<Reach>& disc) {
        for (const Reach& reach : disc) {
            const int tx = x + reach.dx;
            const int ty = y + reach.dy;
            if (tx >= 0 && ty >= 0 && tx < width && ty < height) {
                float& target = values[static_cast<std::size_t>(ty * width + tx)];
                target = std::max(target, value * reach.weight);
            }
        }
    }

    // Grows the shape by `radius` with a soft rim: the outline around the letters. Spread from the covered
    // pixels only, which are few beside the padding around them.
    Coverage dilated(int radius) const {
        const std::vector<Reach> disc = discOf(radius);
        Coverage grown(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const float value = at(x, y);
                if (value > 0) {
                    grown.spread(x, y, value, disc);
                }
            }
        }
        return grown;
    }

    // Two passes of a box of the radius in each direction: a soft haze of the shape.
    Coverage blurred(int radius) const {
        Coverage result = *this;
        for (int pass = 0; pass < 2; ++pass) {
            result = result.boxPass(radius, 1, 0).boxPass(radius, 0, 1);
        }
        return result;
    }

    int width;
    int height;

private:
    // The mean over 2 * radius + 1 cells along (dx, dy); cells beyond the grid count as empty.
    Coverage boxPass(int radius, int dx, int dy) const {
        Coverage result(width, height);
        const float span = static_cast<float>(2 * radius + 1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    sum += at(x + k * dx, y + k * dy);
                }
                result.set(x, y, sum / span);
            }
        }
        return result;
    }

    std::vector<float> values;
};

Coverage coverageOf(const FT_Bitmap& bitmap, int pad) {
    Coverage coverage(static_cast<int>(bitmap.width) + 2 * pad, static_cast<int>(bitmap.rows) + 2 * pad);
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        for (unsigned int column = 0; column < bitmap.width; ++column) {
            coverage.set(static_cast<int>(column) + pad, static_cast<int>(row) + pad,
                         static_cast<float>(line[column]) / 255.0f);
        }
    }
    return coverage;
}

// The coverage as a picture of one colour, a little denser than the coverage itself so the haze stays
// visible once blurred.
kernel::SmartPtr<graphics::MemoryImage32> hazeOf(const Coverage& coverage, Rgb colour) {
    constexpr float density = 1.4f;
    kernel::SmartPtr<graphics::MemoryImage32> picture =
        graphics::createImage32(coverage.width, coverage.height);
    picture->setAlphaMode(true);
    std::uint32_t* pixels = picture->pixels32();
    for (int y = 0; y < coverage.height; ++y) {
        for (int x = 0; x < coverage.width; ++x) {
            const auto alpha =
                static_cast<std::uint32_t>(std::lround(std::min(1.0f, coverage.at(x, y) * density) * 255));
            pixels[y * coverage.width + x] = alpha == 0 ? 0 : alpha << 24 | colour;
        }
    }
    return picture;
}

} // namespace

TextStyle TextStyle::fromEntry(const Entry& entry, const Context& context) {
    TextStyle style;
    style.face = context.fontFolder / entry.text("face", defaultFace);
    style.size = std::clamp(entry.integer("size", 20), minimumSize, maximumSize);
    style.colour = rgbOr(entry.text("color"), 0xFFFFFF);
    style.outline = rgbOr(entry.text("outline"), darker(style.colour, 0.6f));
    style.glow = std::clamp(entry.integer("glow", 0), 0, maximumGlow);
    return style;
}

int TextStyle::outlineRadius() const {
    return std::max(1, static_cast<int>(std::lround(size / 10.0)));
}

int TextStyle::shadowOffset() const {
    return std::max(1, static_cast<int>(std::lround(size / 14.0)));
}

TextRaster::~TextRaster() {
    close();
}

void TextRaster::close() {
    if (face != nullptr) {
        FT_Done_Face(faceOf(face));
        face = nullptr;
    }
    if (library != nullptr) {
        FT_Done_FreeType(libraryOf(library));
        library = nullptr;
    }
}

bool TextRaster::open(const TextStyle& style, std::string& error) {
    close();
    current = style;
    FT_Library newLibrary = nullptr;
    if (FT_Init_FreeType(&newLibrary) != 0) {
        error = "FreeType cannot start";
        return false;
    }
    library = newLibrary;
    FT_Face newFace = nullptr;
    if (FT_New_Face(newLibrary, style.face.c_str(), 0, &newFace) != 0) {
        error = style.face.string() + ": not a font FreeType can read";
        return false;
    }
    face = newFace;
    if (FT_Set_Pixel_Sizes(newFace, 0, static_cast<FT_UInt>(style.size)) != 0) {
        error = style.face.string() + ": no size " + std::to_string(style.size);
        return false;
    }
    return true;
}

int TextRaster::ascent() const {
    return static_cast<int>((faceOf(face)->size->metrics.ascender + 63) >> 6);
}

int TextRaster::descent() const {
    return static_cast<int>((-faceOf(face)->size->metrics.descender + 63) >> 6);
}

int TextRaster::lineSpacing() const {
    return static_cast<int>((faceOf(face)->size->metrics.height + 32) >> 6);
}

bool TextRaster::renderGlyph(unsigned char code, StyledGlyph& glyph, std::string& error) {
    FT_Face ftFace = faceOf(face);
    // Latin-1 codes are the first 256 Unicode code points, so the Unicode character map serves them.
    if (FT_Load_Char(ftFace, code, FT_LOAD_RENDER) != 0) {
        error = "FreeType cannot render character " + std::to_string(code);
        return false;
    }
    const FT_GlyphSlot slot = ftFace->glyph;
    const int pad = current.pad();
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.left = slot->bitmap_left - pad;
    glyph.top = slot->bitmap_top + pad;
    glyph.picture = nullptr;
    if (slot->bitmap.width == 0 || slot->bitmap.rows == 0) {
        return true;
    }
    const Coverage letter = coverageOf(slot->bitmap, pad);
    const Coverage rim = letter.dilated(current.outlineRadius());
    if (current.glow > 0) {
        glyph.picture = hazeOf(rim.blurred(current.glow), current.colour);
        return true;
    }
    const int shadow = current.shadowOffset();
    const Rgb top = lighter(current.colour, 0.45f);
    const Rgb shadowColour = darker(current.outline, 0.5f);
    const float emTop = static_cast<float>(ascent());
    const float emHeight = std::max(1.0f, static_cast<float>(ascent()));
    glyph.picture = graphics::createImage32(letter.width, letter.height);
    glyph.picture->setAlphaMode(true);
    std::uint32_t* pixels = glyph.picture->pixels32();
    for (int y = 0; y < letter.height; ++y) {
        // Shaded by height above the baseline, so neighbouring letters match.
        const float aboveBaseline = static_cast<float>(glyph.top - y);
        const Rgb fill = mix(top, current.colour, (emTop - aboveBaseline) / emHeight);
        for (int x = 0; x < letter.width; ++x) {
            Layered pixel;
            layerOver(pixel, shadowColour, 0.45f * rim.at(x - shadow, y - shadow));
            layerOver(pixel, current.outline, rim.at(x, y));
            layerOver(pixel, fill, letter.at(x, y));
            pixels[y * letter.width + x] = pixelOf(pixel);
        }
    }
    return true;
}

kernel::SmartPtr<graphics::MemoryImage32> TextRaster::renderLine(const std::string& text, int& baseline,
                                                                 std::string& error) {
    std::vector<StyledGlyph> glyphs(text.size());
    int width = 2 * current.pad();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!renderGlyph(static_cast<unsigned char>(text[i]), glyphs[i], error)) {
            return nullptr;
        }
        width += glyphs[i].advance;
    }
    const int pad = current.pad();
    baseline = ascent() + pad;
    kernel::SmartPtr<graphics::MemoryImage32> line =
        graphics::createImage32(std::max(1, width), ascent() + descent() + 2 * pad);
    line->setAlphaMode(true);
    int pen = pad;
    for (const StyledGlyph& glyph : glyphs) {
        if (glyph.picture) {
            composeOver(*line, *glyph.picture, pen + glyph.left, baseline - glyph.top);
        }
        pen += glyph.advance;
    }
    return line;
}

} // namespace mkmedia
