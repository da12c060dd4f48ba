#pragma once

#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/TextRaster.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mkmedia {

// Text on the contact sheet in the look of a manifest font entry, each face opened once.
class Writer {
public:
    Writer(const std::vector<Entry>& entries, const Context& context);

    // The fonts whose file starts with the prefix.
    std::vector<std::string> fontFiles(const std::string& prefix) const;

    // The text's top left at (x, y), or its top right with `right`; a font the manifest lacks writes
    // nothing.
    bool write(Canvas& canvas, const std::string& font, const std::string& text, int x, int y, bool right,
               std::string& error);
    // The line of text alone on a picture of its own, the font's pad round it, or null.
    kernel::SmartPtr<graphics::MemoryImage32> line(const std::string& font, const std::string& text,
                                                   std::string& error);
    // The font's pad round its letters, 0 for a font the manifest lacks.
    int pad(const std::string& font, std::string& error);

private:
    TextRaster* rasterOf(const std::string& font, std::string& error);

    const Context& context;
    std::map<std::string, Entry> fonts;
    std::map<std::string, std::unique_ptr<TextRaster>> rasters;
};

} // namespace mkmedia
