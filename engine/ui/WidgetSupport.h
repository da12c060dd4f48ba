#pragma once

#include <string>

namespace kernel {
class NodeValue;
}

namespace graphics {
class ImageBase;
}

namespace ui {

class Sprite;

// The narrow text of a settings key; empty when the key is missing or no scalar.
std::string settingText(const kernel::NodeValue& settings, const char* key);

// The text of a settings key into the target, which keeps its default when the key is missing.
void readSettingText(const kernel::NodeValue& settings, const char* key, std::string& target);

// The image resource of that name in the section; null while it is not loaded, when it is declared
// nowhere or when it holds no image.
graphics::ImageBase* findImage(const std::string& name, const std::string& section);

// A widget sound: the sound resource of that name in the section, played at full volume, centred and
// once. Nothing plays for an empty name, a sound that is not loaded or while the sound system is down.
void playWidgetSound(const std::string& name, const std::string& section);

// The widgets' hit test in screen coordinates: the widget's rectangle (one frame) at its screen position
// less its anchor offset, truncated, narrowed by the optional mask, whose pixel at the point must have a
// blue lane above 128.
bool hitsWidget(const Sprite& widget, graphics::ImageBase* mask, int x, int y);

} // namespace ui
