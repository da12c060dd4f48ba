#pragma once

#include "engine/kernel/ClassInfo.h"
#include "engine/kernel/Value.h"

#include <cstdint>

namespace platform {

// The user's options. A plain record, not an Object: GameSettings owns it, and the game derives its own
// record (with its own volume defaults) from this one.
class GameOptions {
public:
    GameOptions() = default;
    virtual const kernel::ClassInfo* getClassInfo() const { return &classInfo; }
    virtual ~GameOptions() = default;

    // Into a Node: the four flags as named Booleans ("true"/"false"), the volumes as "Integer" values. Into
    // anything else the writes are lost.
    virtual void save(kernel::Value& node) const;
    // Each option whose key the node holds, read as an integer (a flag is set when it is not 0); a missing
    // key keeps the current value. A Boolean's text ("true") reads as 0 here: only numbers, as the
    // registry holds them, load the flags.
    virtual void load(kernel::Value& node);
    virtual void copyFrom(const GameOptions& other);

    virtual bool getFullScreen() const { return fullScreen; }
    virtual bool getFullScreenWarning() const { return fullScreenWarning; }
    virtual bool getUseHardware() const { return useHardware; }
    virtual bool getUseHints() const { return useHints; }
    virtual std::int32_t getSoundVolume() const { return soundVolume; }
    virtual std::int32_t getMusicVolume() const { return musicVolume; }

    // Plain stores: a volume outside 0..255 is kept as it is.
    virtual void setFullScreen(bool flag) { fullScreen = flag; }
    virtual void setFullScreenWarning(bool flag) { fullScreenWarning = flag; }
    virtual void setUseHardware(bool flag) { useHardware = flag; }
    virtual void setUseHints(bool flag) { useHints = flag; }
    virtual void setSoundVolume(std::int32_t volume) { soundVolume = volume; }
    virtual void setMusicVolume(std::int32_t volume) { musicVolume = volume; }

    static constexpr kernel::ClassInfo classInfo{nullptr};

private:
    bool fullScreen = false;
    bool fullScreenWarning = true;
    bool useHardware = true;
    bool useHints = true;
    std::int32_t soundVolume = 128;
    std::int32_t musicVolume = 128;
};

} // namespace platform
