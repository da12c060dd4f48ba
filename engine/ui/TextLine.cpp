#include "engine/ui/TextLine.h"

#include "engine/kernel/ObjectFactory.h"

namespace ui {

namespace {

const kernel::ClassRegistrar registerTextLine("TextLine", TextLine::createInstance);

} // namespace

TextLine::TextLine() = default;

TextLine::~TextLine() = default;

kernel::Object* TextLine::createInstance(kernel::Value&) {
    return new TextLine();
}

} // namespace ui
