#pragma once

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "tools/mkmedia/Colors.h"
#include "tools/mkmedia/Generators.h"

#include <filesystem>
#include <string>

namespace mkmedia {

// How generated text looks: the face and pixel size, the fill colour (shaded lighter towards the top) and
// a soft outline with a small drop shadow, so text reads on any background. With a glow the letters are
// instead one soft haze of the colour, the outlined letters blurred by that many pixels: the glowing copy
// laid behind a caption.
struct TextStyle {
    std::filesystem::path face;
    int size = 20;
    Rgb colour = 0xFFFFFF;
    Rgb outline = 0x000000;
    int glow = 0;

    // From a font entry's "size", "color", "outline", "face" and "glow" attributes.
    static TextStyle fromEntry(const Entry& entry, const Context& context);
    int outlineRadius() const;
    int shadowOffset() const;
    // Room around the glyph's own pixels for the outline and the shadow, and for the glow's haze.
    int pad() const { return outlineRadius() + shadowOffset() + 2 * glow; }
};

// One styled glyph: its picture (null for a blank) and where that lies relative to the pen on the
// baseline.
struct StyledGlyph {
    kernel::SmartPtr<graphics::MemoryImage32> picture;
    int left = 0;
    int top = 0;
    int advance = 0;

    int width() const { return picture ? picture->getWidth() : 0; }
    int height() const { return picture ? picture->getHeight() : 0; }
};

// Renders Latin-1 characters of one face and size with FreeType.
class TextRaster {
public:
    TextRaster() = default;
    ~TextRaster();
    TextRaster(const TextRaster&) = delete;
    TextRaster& operator=(const TextRaster&) = delete;

    bool open(const TextStyle& style, std::string& error);
    // False only when FreeType fails; a character the face lacks renders as its replacement glyph.
    bool renderGlyph(unsigned char code, StyledGlyph& glyph, std::string& error);
    // A line of text as one picture with transparent surroundings; `baseline` receives the baseline's row.
    kernel::SmartPtr<graphics::MemoryImage32> renderLine(const std::string& text, int& baseline,
                                                         std::string& error);

    const TextStyle& style() const { return current; }
    int ascent() const;
    int descent() const;
    int lineSpacing() const;

private:
    void close();

    TextStyle current;
    void* library = nullptr;
    void* face = nullptr;
};

} // namespace mkmedia
