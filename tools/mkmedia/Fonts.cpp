// Bitmap fonts: every Latin-1 character the game can show (or those the entry's "glyphs" lists), rasterised
// by FreeType and styled, laid side by side in one charset picture, with the format file that tells the
// engine where each glyph lies.
#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/ImageFiles.h"
#include "tools/mkmedia/OutputFile.h"
#include "tools/mkmedia/TextRaster.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <vector>

namespace mkmedia {

namespace {

struct CharsetGlyph {
    unsigned char code = 0;
    StyledGlyph styled;
    int x = 0;
};

bool printable(int code) {
    return (code >= 32 && code <= 126) || (code >= 160 && code <= 255);
}

// The characters an entry's "glyphs" lists, "X-Y" standing for the range from X to Y and a '-' at either end
// for itself; the blank is always among them, since it spaces the words.
std::set<unsigned char> listedCodes(const std::string& glyphs) {
    std::set<unsigned char> codes = {' '};
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const auto first = static_cast<unsigned char>(glyphs[i]);
        if (i + 2 < glyphs.size() && glyphs[i + 1] == '-') {
            const auto last = static_cast<unsigned char>(glyphs[i + 2]);
            for (int code = first; code <= last; ++code) {
                codes.insert(static_cast<unsigned char>(code));
            }
            i += 2;
        } else {
            codes.insert(first);
        }
    }
    return codes;
}

// Printable ASCII and the printable upper half of Latin-1 (127..159 are control codes), or only those the
// entry's "glyphs" lists: an input field takes only the characters its font holds.
std::vector<unsigned char> charsetCodes(const Entry& entry) {
    const bool limited = entry.attributes.contains("glyphs");
    const std::set<unsigned char> listed = listedCodes(entry.text("glyphs"));
    std::vector<unsigned char> codes;
    for (int code = 0; code <= 255; ++code) {
        if (printable(code) && (!limited || listed.contains(static_cast<unsigned char>(code)))) {
            codes.push_back(static_cast<unsigned char>(code));
        }
    }
    return codes;
}

// "fonts/NAME" names both files; an extension given by mistake is dropped.
std::string baseName(const std::string& file) {
    std::filesystem::path path(file);
    if (path.extension() == ".png" || path.extension() == ".xml") {
        path.replace_extension();
    }
    return path.generic_string();
}

bool renderCharset(const Entry& entry, TextRaster& raster, std::vector<CharsetGlyph>& glyphs,
                   std::string& error) {
    for (const unsigned char code : charsetCodes(entry)) {
        CharsetGlyph glyph;
        glyph.code = code;
        if (!raster.renderGlyph(code, glyph.styled, error)) {
            return false;
        }
        glyphs.push_back(glyph);
    }
    return true;
}

// One row: the engine takes the charset picture's height as the glyphs' height.
struct CharsetLayout {
    int width = 0;
    int height = 0;
    int baseline = 0;
};

CharsetLayout layOut(std::vector<CharsetGlyph>& glyphs) {
    CharsetLayout layout;
    int below = 0;
    for (CharsetGlyph& glyph : glyphs) {
        glyph.x = layout.width;
        layout.width += glyph.styled.width();
        layout.baseline = std::max(layout.baseline, glyph.styled.top);
        below = std::max(below, glyph.styled.height() - glyph.styled.top);
    }
    layout.width = std::max(layout.width, 1);
    layout.height = std::max(layout.baseline + below, 1);
    return layout;
}

Canvas drawCharset(const std::vector<CharsetGlyph>& glyphs, const CharsetLayout& layout) {
    Canvas charset(layout.width, layout.height);
    for (const CharsetGlyph& glyph : glyphs) {
        if (glyph.styled.picture) {
            charset.stamp(*glyph.styled.picture, glyph.x, layout.baseline - glyph.styled.top);
        }
    }
    return charset;
}

// The id is the character's own byte; the file is declared ISO-8859-1 so the reader passes the upper
// half through unchanged.
std::string idAttribute(unsigned char code) {
    switch (code) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    default:
        return std::string(1, static_cast<char>(code));
    }
}

// The face's own line spacing; with "lineheight" "full" the glyphs' whole height, so the pictures of one
// line's letters never reach into the next line's: a markup label copies each run's picture whole, and an
// overlap would lay the next line's transparent pixels over the descenders.
int lineHeightOf(const Entry& entry, const CharsetLayout& layout, const TextRaster& raster) {
    const int spacing = raster.lineSpacing() + raster.style().outlineRadius();
    return entry.text("lineheight") == "full" ? std::max(spacing, layout.height) : spacing;
}

// How far a blank advances: the face's own blank, or the entry's "space" in pixels. A markup label measures
// each word with its last letter's overhang and its first letter's offset, so its words stand further apart
// than a plain label's; a font made for markup text takes a narrower blank to make up for it.
int spaceWidthOf(const Entry& entry, int faceSpace) {
    return entry.attributes.contains("space") ? std::clamp(entry.integer("space", faceSpace), 0, 64)
                                              : faceSpace;
}

std::string formatFile(const std::vector<CharsetGlyph>& glyphs, const CharsetLayout& layout,
                       const TextRaster& raster, const Entry& entry) {
    const TextStyle& style = raster.style();
    const int outline = style.outlineRadius();
    int spaceWidth = 0;
    std::ostringstream text;
    text << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Font>\n<Vector id=\"charset\">\n";
    for (const CharsetGlyph& glyph : glyphs) {
        // The outline widens every letter, so it widens every advance too.
        const int advance = glyph.styled.advance + outline;
        if (glyph.code == ' ') {
            spaceWidth = advance;
        }
        text << "<Node id=\"" << idAttribute(glyph.code) << "\" x=\"" << glyph.x << "\" y=\"0\" w=\""
             << glyph.styled.width() << "\" h=\"" << layout.height << "\" width=\"" << advance
             << "\" offsetx=\"" << glyph.styled.left << "\"/>\n";
    }
    text << "</Vector>\n<Node id=\"charsetinfo\" sidepad=\"0\" toppad=\""
         << std::max(0, layout.baseline - raster.ascent())
         << "\" bottompad=\"0\" charspacing=\"0\" spacewidth=\"" << spaceWidthOf(entry, spaceWidth)
         << "\" lineheight=\"" << lineHeightOf(entry, layout, raster) << "\" baseline=\"" << layout.baseline
         << "\"/>\n</Font>\n";
    return text.str();
}

} // namespace

bool generateFont(const Entry& entry, const Context& context, std::string& error) {
    const std::string name = baseName(entry.file());
    std::filesystem::path picturePath;
    std::filesystem::path formatPath;
    if (!resolveOutputPath(context.outputFolder, name + ".png", picturePath, error) ||
        !resolveOutputPath(context.outputFolder, name + ".xml", formatPath, error)) {
        return false;
    }
    TextRaster raster;
    std::vector<CharsetGlyph> glyphs;
    if (!raster.open(TextStyle::fromEntry(entry, context), error) ||
        !renderCharset(entry, raster, glyphs, error)) {
        return false;
    }
    const CharsetLayout layout = layOut(glyphs);
    const Canvas charset = drawCharset(glyphs, layout);
    return writeImageFile(picturePath, charset.image(), error) &&
           writeFileAtomically(formatPath, formatFile(glyphs, layout, raster, entry), error);
}

} // namespace mkmedia
