#pragma once

#include "engine/platform/GameOptions.h"

namespace game {

// The game's options record: the engine's options with the game's own volume defaults. The settings
// dialog derives from it to show the options in its widgets.
class PibbleOptions : public platform::GameOptions {
public:
    static constexpr int defaultSoundVolume = 255;
    static constexpr int defaultMusicVolume = 39;

    PibbleOptions();

    static constexpr kernel::ClassInfo classInfo{&platform::GameOptions::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
