// Feeds arbitrary bytes to the bitmap font's format reader, then measures and draws text with the font, so
// that metrics from a damaged file are exercised where they are used.

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/SmartPtr.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

// The reader takes a file name, so each input goes through a file of this process's own, removed after use.
const std::string& inputPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("pibbles-font-fuzz-" + std::to_string(getpid()) + ".xml"))
            .string();
    return path;
}

void removeInput() {
    std::remove(inputPath().c_str());
}

bool writeInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(inputPath().c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!writeInput(data, size)) {
        return 0;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> charset(graphics::createImage32(16, 8));
    const kernel::SmartPtr<graphics::MemoryImage32> target(graphics::createImage32(40, 20));
    for (const bool keyed : {false, true}) {
        const kernel::SmartPtr<graphics::BitmapFont> font(new graphics::BitmapFont());
        font->load(inputPath(), charset.get(), kernel::Color(0xFF102030), keyed, kernel::modeFile);
        const kernel::SmartPtr<graphics::ImagePainter> painter(target->createPainter());
        const std::u16string text = u"Ag \"\x00FF\x0141";
        font->drawText(*painter, text, -3, 2);
        font->drawText(*painter, text, 30, -5);
        (void)font->textWidth(text);
        (void)font->lineHeight();
    }
    removeInput();
    return 0;
}
