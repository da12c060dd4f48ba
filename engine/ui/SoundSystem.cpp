#include "engine/ui/SoundSystem.h"

#include "engine/kernel/SingleInstance.h"
#include "engine/ui/SoundSample.h"
#include "host/Sound.h"

#include <algorithm>
#include <utility>

namespace ui {
namespace {

SoundSystem* theSystem = nullptr;

constexpr float oldestVersion = 3.75f;

bool initialise(int rate, int channels) {
    return host::FSOUND_Init(rate, channels, host::FSOUND_INIT_GLOBALFOCUS);
}

// The fade change per millisecond that covers the larger of the two ends in the duration.
float stepOver(float from, float to, int duration) {
    return std::max(from, to) / static_cast<float>(std::max(1, duration));
}

} // namespace

SoundSystem* SoundSystem::create(int rate, int channels) {
    return kernel::createSingleInstance(theSystem, [&] {
        initFmod(rate, channels);
        return new SoundSystem();
    });
}

SoundSystem* SoundSystem::instance() {
    return theSystem;
}

void SoundSystem::destroy() {
    kernel::destroySingleInstance(theSystem);
}

SoundSystem::~SoundSystem() {
    const bool wasUp = soundIsUp.exchange(false);
    if (!wasUp) {
        return;
    }
    host::FSOUND_StopSound(host::FSOUND_ALL);
    stopAllMusic();
    host::FSOUND_Close();
}

host::HRESULT SoundSystem::initFmod(int rate, int channels) {
    if (host::FSOUND_GetVersion() < oldestVersion) {
        return host::E_FAIL;
    }
    host::FSOUND_SetHWND(nullptr);
    if (!initialise(rate, channels)) {
        host::FSOUND_GetError();
        host::FSOUND_SetOutput(host::FSOUND_OUTPUT_WINMM);
        if (!initialise(rate, channels)) {
            host::FSOUND_GetError();
            soundIsUp = false;
            return host::E_FAIL;
        }
    }
    soundIsUp = true;
    return host::S_OK;
}

bool SoundSystem::canStorePcm() {
    return soundIsUp;
}

void SoundSystem::setSfxVolume(std::uint8_t volume) {
    sfxVolume = volume;
    if (!muted && soundIsUp) {
        host::FSOUND_SetSFXMasterVolume(volume);
    }
}

void SoundSystem::setMusicVolume(std::uint8_t volume) {
    current.volume = volume;
    other.volume = volume;
    applyMusicVolume(current);
    applyMusicVolume(other);
}

void SoundSystem::applyMusicVolume(const MusicSlot& slot) {
    if (slot.stream && !muted && soundIsUp) {
        host::FSOUND_SetVolumeAbsolute(slot.channel, slot.fadedVolume());
    }
}

void SoundSystem::setMusicFade(float start, float target, int duration) {
    current.fade = start;
    current.target = target;
    current.step = stepOver(start, target, duration);
}

bool SoundSystem::startMusic(const std::string& name, unsigned int openMode) {
    if (crossFading) {
        stopAllMusic();
        crossFading = false;
    }
    return playInSlot(current, name, openMode);
}

void SoundSystem::playMusic(int fadeOutMs, float targetFade, int fadeInMs, const std::string& name,
                            int startDelayMs, unsigned int openMode) {
    // The tune is fading in already.
    if (name == other.name) {
        return;
    }
    startDelay = startDelayMs;
    if (crossFading) {
        finishCrossFade();
    }
    crossFading = true;
    current.target = 0.0f;
    current.step = stepOver(current.fade, 0.0f, fadeOutMs);
    other.fade = 0.0f;
    other.target = targetFade;
    other.step = stepOver(targetFade, 0.0f, fadeInMs);
    playInSlot(other, name, openMode);
}

void SoundSystem::finishCrossFade() {
    closeSlot(current);
    std::swap(current, other);
}

bool SoundSystem::closeSlot(MusicSlot& slot) {
    if (!slot.stream || !host::FSOUND_Stream_Stop(slot.stream) || !host::FSOUND_Stream_Close(slot.stream)) {
        return false;
    }
    slot.channel = -1;
    slot.stream = nullptr;
    slot.name.clear();
    return true;
}

void SoundSystem::stopAllMusic() {
    closeSlot(current);
    closeSlot(other);
}

bool SoundSystem::playInSlot(MusicSlot& slot, const std::string& name, unsigned int openMode) {
    if (!soundIsUp) {
        return false;
    }
    // The same name (or none) plays the stream that is open already.
    if (!name.empty() && name != slot.name && !openInSlot(slot, name, openMode)) {
        return false;
    }
    if (slot.stream) {
        startStream(slot);
    }
    return slot.channel >= 0;
}

bool SoundSystem::openInSlot(MusicSlot& slot, const std::string& name, unsigned int openMode) {
    // A stream that will not stop and close stays in its slot rather than being lost behind a new handle.
    if (slot.stream && !closeSlot(slot)) {
        return false;
    }
    slot.stream = host::FSOUND_Stream_Open(name.c_str(), openMode, 0, 0);
    slot.name = slot.stream ? name : std::string();
    return slot.stream != nullptr;
}

void SoundSystem::startStream(MusicSlot& slot) {
    slot.channel = host::FSOUND_Stream_Play(host::FSOUND_FREE, slot.stream);
    // A stream starts at full volume, so while muted it is silenced instead of left untouched.
    host::FSOUND_SetVolumeAbsolute(slot.channel, muted ? 0 : slot.fadedVolume());
}

void SoundSystem::mute() {
    muted = true;
    if (!soundIsUp) {
        return;
    }
    host::FSOUND_SetSFXMasterVolume(0);
    for (const MusicSlot* slot : {&current, &other}) {
        if (slot->channel != -1) {
            host::FSOUND_SetVolumeAbsolute(slot->channel, 0);
        }
    }
}

void SoundSystem::restore() {
    muted = false;
    if (soundIsUp) {
        host::FSOUND_SetSFXMasterVolume(sfxVolume);
    }
    setMusicVolume(current.volume);
    setMusicVolume(other.volume);
}

void SoundSystem::onFrame(std::uint32_t ms) {
    stepFade(current, ms);
    // The incoming tune waits, silent, until its start delay is over.
    if (crossFading && startDelay != 0) {
        countDownStartDelay(ms);
    } else {
        stepFade(other, ms);
    }
    endCrossFadeWhenDone();
}

void SoundSystem::countDownStartDelay(std::uint32_t ms) {
    const std::int64_t left = static_cast<std::int64_t>(startDelay) - ms;
    if (left > 0) {
        startDelay = static_cast<std::int32_t>(left);
        return;
    }
    // Reaching exactly 0 counts as the end too: the delay is not looked at again once it is 0.
    startDelay = 0;
    ++rewinds;
    if (other.stream) {
        host::FSOUND_Stream_SetPosition(other.stream, 0);
    }
}

void SoundSystem::stepFade(MusicSlot& slot, std::uint32_t ms) {
    if (slot.hasReachedTarget()) {
        return;
    }
    const float change = static_cast<float>(ms) * slot.step;
    if (slot.fade < slot.target) {
        slot.fade = std::min(slot.fade + change, slot.target);
    } else {
        slot.fade = std::max(slot.fade - change, slot.target);
    }
    applyMusicVolume(slot);
}

void SoundSystem::endCrossFadeWhenDone() {
    if (crossFading && current.hasReachedTarget() && other.hasReachedTarget()) {
        closeSlot(current);
        std::swap(current, other);
        crossFading = false;
    }
}

} // namespace ui
