#include "engine/platform/GameOptions.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"

namespace platform {
namespace {

constexpr const char* kFullScreen = "fullscreen";
constexpr const char* kFullScreenWarning = "fullscreenwarning";
constexpr const char* kUseHardware = "usehardware";
constexpr const char* kUseHints = "usehints";
constexpr const char* kSoundVolume = "soundvolume";
constexpr const char* kMusicVolume = "musicvolume";

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
    target.addBoolean(kFullScreen, getFullScreen(), kernel::Typing::Typed);
    target.addBoolean(kFullScreenWarning, getFullScreenWarning(), kernel::Typing::Typed);
    target.addBoolean(kUseHardware, getUseHardware(), kernel::Typing::Typed);
    target.addBoolean(kUseHints, getUseHints(), kernel::Typing::Typed);
    target.setChild(new kernel::ScalarValue(kSoundVolume, getSoundVolume(), kernel::Typing::Typed));
    target.setChild(new kernel::ScalarValue(kMusicVolume, getMusicVolume(), kernel::Typing::Typed));
}

void GameOptions::load(kernel::Value& node) {
    const kernel::NodeValue& source = node.asNode();
    std::int32_t number = 0;
    if (readInt(source, kFullScreen, &number)) {
        setFullScreen(number != 0);
    }
    if (readInt(source, kFullScreenWarning, &number)) {
        setFullScreenWarning(number != 0);
    }
    if (readInt(source, kUseHardware, &number)) {
        setUseHardware(number != 0);
    }
    if (readInt(source, kUseHints, &number)) {
        setUseHints(number != 0);
    }
    if (readInt(source, kSoundVolume, &number)) {
        setSoundVolume(number);
    }
    if (readInt(source, kMusicVolume, &number)) {
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
