#include "engine/graphics/FontResource.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace graphics {
namespace {

kernel::Object* createFontResource(kernel::Value& settings) {
    return new Font(settings.asNode());
}

const kernel::ClassRegistrar registerFont("Font", createFontResource);

} // namespace

Font::Font(kernel::NodeValue& settings) : Image(settings), onDemand(settings.getValue("ondemand").asBool()) {
    if (onDemand) {
        charsetReader = new Image(settings);
    }
    if (settings.hasChild("format")) {
        format = kernel::narrowString(settings.getValue("format").text());
    } else {
        size = settings.getValue("size").asInt();
        attached = kernel::narrowString(settings.getValue("attached").text());
    }
}

Font::~Font() = default;

// The charset is loaded without Image::load, so the resource never shows as loaded before its font exists.
void Font::load() {
    if (!format.empty()) {
        loadFont();
    }
    if (!font) {
        setError(true);
    }
    markLoaded();
}

// The format file is read in this resource's own mode, handed to the read rather than made global: a
// main-thread load may read the global mode at the same time.
void Font::loadFont() {
    loadImage();
    if (hasError()) {
        return;
    }
    font = new BitmapFont();
    font->load(format, getImage(), kernel::Color(getColour()), isOnlyMask(), mode());
    if (font->isPacked()) {
        replaceImage(font->getImage());
    }
    if (onDemand && charsetReader) {
        font->readCharsetOnDemand([reader = charsetReader]() -> kernel::SmartPtr<ImageBase> {
            reader->load();
            const kernel::SmartPtr<ImageBase> charset = reader->hasError() ? nullptr : reader->getImage();
            reader->unload();
            return charset;
        });
        replaceImage(nullptr);
    }
}

kernel::Object* Font::get() {
    return font.get();
}

void Font::unload() {
    font.reset();
    Image::unload();
}

bool Font::isSame(const kernel::Resource& other) const {
    return Image::isSame(other) && static_cast<const Font&>(other).format == format;
}

std::string Font::toString() const {
    return Image::toString() + "Object: " + (font ? "not 0" : "NULL") +
           "; Font Size: " + std::to_string(size) + "; Attached File: " + attached +
           "; Format File: " + format + "; ";
}

} // namespace graphics
