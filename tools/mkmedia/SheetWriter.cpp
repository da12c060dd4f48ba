#include "tools/mkmedia/SheetWriter.h"

namespace mkmedia {

Writer::Writer(const std::vector<Entry>& entries, const Context& context) : context(context) {
    for (const Entry& entry : entries) {
        if (entry.element == "font") {
            fonts[entry.file()] = entry;
        }
    }
}

std::vector<std::string> Writer::fontFiles(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& [file, entry] : fonts) {
        if (file.starts_with(prefix)) {
            found.push_back(file);
        }
    }
    return found;
}

bool Writer::write(Canvas& canvas, const std::string& font, const std::string& text, int x, int y, bool right,
                   std::string& error) {
    TextRaster* raster = rasterOf(font, error);
    if (raster == nullptr) {
        return error.empty();
    }
    int baseline = 0;
    const kernel::SmartPtr<graphics::MemoryImage32> picture = raster->renderLine(text, baseline, error);
    if (!picture) {
        return false;
    }
    const int pad = raster->style().pad();
    canvas.stamp(*picture, (right ? x - picture->getWidth() + pad : x - pad), y - pad);
    return true;
}

kernel::SmartPtr<graphics::MemoryImage32> Writer::line(const std::string& font, const std::string& text,
                                                       std::string& error) {
    TextRaster* raster = rasterOf(font, error);
    if (raster == nullptr) {
        return nullptr;
    }
    int baseline = 0;
    return raster->renderLine(text, baseline, error);
}

int Writer::pad(const std::string& font, std::string& error) {
    TextRaster* raster = rasterOf(font, error);
    return raster != nullptr ? raster->style().pad() : 0;
}

TextRaster* Writer::rasterOf(const std::string& font, std::string& error) {
    const auto open = rasters.find(font);
    if (open != rasters.end()) {
        return open->second.get();
    }
    const auto entry = fonts.find(font);
    if (entry == fonts.end()) {
        return nullptr;
    }
    auto raster = std::make_unique<TextRaster>();
    if (!raster->open(TextStyle::fromEntry(entry->second, context), error)) {
        return nullptr;
    }
    return (rasters[font] = std::move(raster)).get();
}

} // namespace mkmedia
