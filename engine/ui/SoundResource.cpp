#include "engine/ui/SoundResource.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/OggConversion.h"
#include "engine/ui/SoundSystem.h"

namespace ui {
namespace {

// 16-bit signed mono; the library takes the real format from the file.
constexpr unsigned int sampleMode = 0x130;

kernel::Object* createSoundResource(kernel::Value& settings) {
    return new Sound(settings.asNode());
}

const kernel::ClassRegistrar registerSound("Sound", createSoundResource);

std::uint8_t ownVolume(const kernel::NodeValue& settings) {
    if (!settings.hasChild("volume")) {
        return 255;
    }
    return static_cast<std::uint8_t>(settings.getValue("volume").asInt() & 0xFF);
}

} // namespace

Sound::Sound(kernel::NodeValue& settings) : kernel::Resource(settings), volume(ownVolume(settings)) {}

Sound::~Sound() = default;

void Sound::load() {
    sample = new SoundSample();
    sample->setVolume(volume);
    const std::string file = fileName();
    if (wantsConversion(file)) {
        useConvertedFile(file);
    }
    // The error flag tells only whether the sample loaded: a failed conversion falls back to the OGG file.
    setError(sample->load(fileName(), sampleMode) != host::S_OK);
    markLoaded();
}

bool Sound::wantsConversion(const std::string& file) const {
    const kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    const bool oggToWav = manager ? manager->isOggToWav() : true;
    return oggToWav && kernel::fileExtensionLower(file) == "ogg";
}

// A WAV file of the converted name that is whole is used as it is, whatever its age; a missing or broken
// one is made again.
void Sound::useConvertedFile(const std::string& oggFile) {
    const std::string wavName = convertedSoundName(oggFile);
    if (!isCompleteWavFile(wavName) && SoundSystem::canStorePcm()) {
        convertOggToWav(oggFile, wavName);
    }
    if (isCompleteWavFile(wavName)) {
        setFileName(wavName);
    }
}

kernel::Object* Sound::get() {
    return sample.get();
}

void Sound::unload() {
    sample.reset();
    kernel::Resource::unload();
}

bool Sound::isSame(const kernel::Resource& other) const {
    return other.getClassInfo() == getClassInfo() && kernel::Resource::isSame(other);
}

std::string Sound::toString() const {
    return kernel::Resource::toString() + "Object: " + (sample ? "not 0" : "NULL") +
           "; Volume: " + std::to_string(volume) + "; ";
}

} // namespace ui
