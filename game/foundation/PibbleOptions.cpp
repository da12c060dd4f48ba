#include "game/foundation/PibbleOptions.h"

namespace game {

PibbleOptions::PibbleOptions() {
    setSoundVolume(defaultSoundVolume);
    setMusicVolume(defaultMusicVolume);
}

} // namespace game
