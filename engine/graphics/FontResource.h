#pragma once

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageResource.h"

#include <cstdint>
#include <string>

namespace graphics {

// A bitmap font declared in a resources file ("Font"): the charset picture with every key of an Image,
// and "format", the file that places the glyphs in it. A font whose charset is a mask alone is colour-keyed.
// With "ondemand" true the font is loaded whole, then lets go of the charset's pixels until its first
// drawing reads them again (BitmapFont::readCharsetOnDemand): for a font that start-up must hand to what
// it builds but that nothing draws for a while, if at all.
//
// It is built on Image but its class record names Resource as the base, so the class test for Image is
// false for a Font and the resource manager never shares one with an Image.
class Font : public Image {
public:
    // Reads "format" and "ondemand"; "size" and "attached" only when there is no "format".
    explicit Font(kernel::NodeValue& settings);
    ~Font() override;

    // Without a format file the font ends loaded with its error flag set.
    void load() override;
    // The bitmap font, or null while not loaded.
    kernel::Object* get() override;
    void unload() override;
    // The rule of Image, and the same format file.
    bool isSame(const kernel::Resource& other) const override;
    std::string toString() const override;

    BitmapFont* getFont() const { return font.get(); }
    const std::string& getFormat() const { return format; }
    bool isOnDemand() const { return onDemand; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Resource::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void loadFont();

    kernel::SmartPtr<BitmapFont> font;
    // Reads the charset again for an on-demand font: a picture of the same declaration, which the resource
    // manager does not know of.
    kernel::SmartPtr<Image> charsetReader;
    bool onDemand = false;
    std::int32_t size = 0;
    std::string attached;
    std::string format;
};

} // namespace graphics
