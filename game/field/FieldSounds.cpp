#include "game/field/FieldSounds.h"

#include "engine/kernel/ResourceManager.h"
#include "engine/ui/SoundSample.h"
#include "game/foundation/GameIds.h"

#include <cstdint>

namespace game {

namespace {

constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;

ui::SoundSample* fieldSound(const char* id) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr ? resources->getResource(id, ids::groupGameSounds) : nullptr;
    return found != nullptr && found->isKindOf(ui::SoundSample::classInfo)
               ? static_cast<ui::SoundSample*>(found)
               : nullptr;
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
