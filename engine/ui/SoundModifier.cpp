#include "engine/ui/SoundModifier.h"

#include "engine/kernel/ResourceManager.h"
#include "engine/ui/SoundSample.h"

#include <utility>

namespace ui {

SoundModifier::SoundModifier(SoundSample* sound) : sound(sound) {}

SoundModifier::~SoundModifier() = default;

void SoundModifier::setSoundName(std::string resourceSection, std::string name) {
    section = std::move(resourceSection);
    soundName = std::move(name);
}

void SoundModifier::update(std::uint32_t elapsed) {
    (void)elapsed;
    finish();
    if (!sound) {
        fetchSound();
    }
    if (sound) {
        sound->play(volume, pan, false);
    }
}

void SoundModifier::fetchSound() {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    if (manager == nullptr) {
        return;
    }
    kernel::Object* found = manager->getResource(soundName, section);
    // A resource of another kind under that name is no sound to play.
    if (found != nullptr && found->isKindOf(SoundSample::classInfo)) {
        sound = static_cast<SoundSample*>(found);
    }
}

} // namespace ui
