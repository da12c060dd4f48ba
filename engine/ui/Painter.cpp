#include "engine/ui/Painter.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/TextConversion.h"

namespace ui {

namespace {

std::string elementName(kernel::Value* element) {
    if (element == nullptr || !element->isScalar()) {
        return {};
    }
    return kernel::narrowString(element->asScalar().text());
}

} // namespace

Painter::Painter(kernel::NodeValue& settings)
    : section(kernel::narrowString(settings.getValue("section").text())) {
    for (const kernel::SmartPtr<kernel::Value>& element : settings.getVector("images").children()) {
        imageNames.push_back(elementName(element.get()));
    }
}

Painter::~Painter() = default;

void Painter::fetchImages() {
    if (imagesFetched || imageNames.empty()) {
        return;
    }
    images.resize(imageNames.size());
    for (std::size_t i = 0; i < imageNames.size(); ++i) {
        images[i] = imageNames[i].empty() ? nullptr : lookUpImage(imageNames[i]);
    }
    imagesFetched = true;
}

// The lookup holds the resource manager's inner mutex itself, so the loader thread cannot change the
// tables under it.
graphics::ImageBase* Painter::lookUpImage(const std::string& name) const {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    kernel::Object* object = manager != nullptr ? manager->getResource(name, section) : nullptr;
    if (object == nullptr || !object->isKindOf(graphics::ImageBase::classInfo)) {
        return nullptr;
    }
    return static_cast<graphics::ImageBase*>(object);
}

graphics::ImageBase* Painter::imageAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= images.size()) {
        return nullptr;
    }
    return images[static_cast<std::size_t>(index)].get();
}

int Painter::imageWidth(int index) const {
    const graphics::ImageBase* image = imageAt(index);
    return image != nullptr ? image->getWidth() : 0;
}

int Painter::imageHeight(int index) const {
    const graphics::ImageBase* image = imageAt(index);
    return image != nullptr ? image->getHeight() : 0;
}

} // namespace ui
