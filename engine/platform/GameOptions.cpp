#include "engine/platform/GameOptions.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"

namespace platform {
namespace {

constexpr const char* fullScreenKey = "fullscreen";
constexpr const char* fullScreenWarningKey = "fullscreenwarning";
constexpr const char* useHardwareKey = "usehardware";
constexpr const char* useHintsKey = "usehints";
constexpr const char* soundVolumeKey = "soundvolume";
constexpr const char* musicVolumeKey = "musicvolume";

// The child's integer reading, or nothing when the node lacks the key.
bool readInt(const kernel::NodeValue& node, const char* key, std::int32_t* number) {
    if (!node.hasChild(key)) {
        return false;
    }
    *number = node.getValue(key).asInt();
    return true;
}

} // namespace

void GameOptions::save(kernel::Value& node) const {
    kernel::NodeValue& target = node.asNode();
    target.addBoolean(fullScreenKey, getFullScreen(), kernel::Typing::Typed);
    target.addBoolean(fullScreenWarningKey, getFullScreenWarning(), kernel::Typing::Typed);
    target.addBoolean(useHardwareKey, getUseHardware(), kernel::Typing::Typed);
    target.addBoolean(useHintsKey, getUseHints(), kernel::Typing::Typed);
    target.setChild(new kernel::ScalarValue(soundVolumeKey, getSoundVolume(), kernel::Typing::Typed));
    target.setChild(new kernel::ScalarValue(musicVolumeKey, getMusicVolume(), kernel::Typing::Typed));
}

void GameOptions::load(kernel::Value& node) {
    const kernel::NodeValue& source = node.asNode();
    std::int32_t number = 0;
    if (readInt(source, fullScreenKey, &number)) {
        setFullScreen(number != 0);
    }
    if (readInt(source, fullScreenWarningKey, &number)) {
        setFullScreenWarning(number != 0);
    }
    if (readInt(source, useHardwareKey, &number)) {
        setUseHardware(number != 0);
    }
    if (readInt(source, useHintsKey, &number)) {
        setUseHints(number != 0);
    }
    if (readInt(source, soundVolumeKey, &number)) {
        setSoundVolume(number);
    }
    if (readInt(source, musicVolumeKey, &number)) {
        setMusicVolume(number);
    }
}

void GameOptions::copyFrom(const GameOptions& other) {
    setFullScreen(other.getFullScreen());
    setFullScreenWarning(other.getFullScreenWarning());
    setUseHardware(other.getUseHardware());
    setUseHints(other.getUseHints());
    setSoundVolume(other.getSoundVolume());
    setMusicVolume(other.getMusicVolume());
}

} // namespace platform
