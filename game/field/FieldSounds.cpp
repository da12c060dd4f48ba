#include "game/field/FieldSounds.h"

#include "engine/kernel/ResourceManager.h"
#include "engine/ui/SoundSample.h"
#include "game/foundation/GameIds.h"

#include <cstdint>

namespace game {

namespace {

constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;

} // namespace

void playFieldSound(const char* id, bool restart) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr ? resources->getResource(id, ids::groupGameSounds) : nullptr;
    if (found == nullptr || !found->isKindOf(ui::SoundSample::classInfo)) {
        return;
    }
    ui::SoundSample* sound = static_cast<ui::SoundSample*>(found);
    if (restart) {
        sound->stop();
    }
    sound->playOnce(fullVolume, centrePan);
}

} // namespace game
