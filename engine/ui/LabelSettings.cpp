#include "engine/ui/LabelSettings.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Label.h"
#include "engine/ui/WidgetSupport.h"

#include <string>

namespace ui {

graphics::BitmapFont* declaredFont(const kernel::NodeValue& settings) {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    if (!settings.hasChild("font") || manager == nullptr) {
        return nullptr;
    }
    kernel::Object* found =
        manager->getResource(settingText(settings, "font"), settingText(settings, "section"));
    return found != nullptr && found->isKindOf(graphics::BitmapFont::classInfo)
               ? static_cast<graphics::BitmapFont*>(found)
               : nullptr;
}

void readWrapStyle(const kernel::NodeValue& settings, int& wrapStyle, bool& autoFit) {
    if (!settings.hasChild("wrapstyle")) {
        return;
    }
    const std::string style = settingText(settings, "wrapstyle");
    if (style == "none") {
        wrapStyle = Label::WrapNone;
    } else if (style == "wordwrap" || style == "truncate") {
        wrapStyle = style == "wordwrap" ? Label::WrapWord : Label::WrapTruncate;
        autoFit = false;
    }
}

void readAlignment(const kernel::NodeValue& settings, int& alignV, int& alignH) {
    if (settings.hasChild("alignv")) {
        const std::string align = settingText(settings, "alignv");
        alignV = align == "top"      ? Label::AlignTop
                 : align == "center" ? Label::AlignMiddle
                 : align == "bottom" ? Label::AlignBottom
                                     : alignV;
    }
    if (settings.hasChild("alignh")) {
        const std::string align = settingText(settings, "alignh");
        alignH = align == "left"     ? Label::AlignLeft
                 : align == "center" ? Label::AlignCenter
                 : align == "right"  ? Label::AlignRight
                                     : alignH;
    }
}

std::optional<kernel::WideString> declaredText(const kernel::NodeValue& settings) {
    if (settings.hasChild("text")) {
        return settings.getValue("text").text();
    }
    if (settings.hasChild("value")) {
        return settings.getValue("value").text();
    }
    if (settings.hasChild("textid")) {
        return kernel::PropertyStore::getText(settingText(settings, "textid"));
    }
    return std::nullopt;
}

} // namespace ui
