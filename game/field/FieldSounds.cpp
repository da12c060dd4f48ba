#include "game/field/FieldSounds.h"

#include "engine/ui/SoundSample.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <cstdint>

namespace game {

namespace {

constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;

ui::SoundSample* fieldSound(const char* id) {
    return findSound(id, ids::groupGameSounds);
}

} // namespace

void stopFieldSound(const char* id) {
    if (ui::SoundSample* sound = fieldSound(id)) {
        sound->stop();
    }
}

void playFieldSound(const char* id, bool restart) {
    ui::SoundSample* sound = fieldSound(id);
    if (sound == nullptr) {
        return;
    }
    if (restart) {
        sound->stop();
    }
    sound->playOnce(fullVolume, centrePan);
}

} // namespace game
