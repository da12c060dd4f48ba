#include "engine/ui/SoundSample.h"

namespace ui {
namespace {

constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;

} // namespace

std::atomic<bool> soundIsUp{false};

SoundSample::~SoundSample() {
    if (soundIsUp) {
        host::FSOUND_Sample_Free(sample);
        host::FSOUND_StopSound(channel);
    }
}

host::HRESULT SoundSample::load(const std::string& file, unsigned int mode) {
    if (!soundIsUp) {
        return host::E_FAIL;
    }
    // A second load replaces the first sample instead of leaking it.
    if (sample) {
        host::FSOUND_Sample_Free(sample);
    }
    sample = host::FSOUND_Sample_Load(host::FSOUND_FREE, file.c_str(), mode, 0, 0);
    name = file;
    return sample ? host::S_OK : host::E_FAIL;
}

int SoundSample::play(std::uint8_t playVolume, std::uint8_t pan, bool loop) {
    if (!soundIsUp) {
        return -1;
    }
    if (!sample) {
        channel = -1;
        return -1;
    }
    host::FSOUND_Sample_SetMode(sample, loop ? host::FSOUND_LOOP_NORMAL : host::FSOUND_LOOP_OFF);
    const std::uint8_t effective = effectiveVolume(playVolume, volume);
    channel = effective == fullVolume && pan == centrePan ? startPlain() : startPaused(effective, pan);
    return channel;
}

// A play call starts at full volume and centred, so nothing is left to set.
int SoundSample::startPlain() {
    lastStart = PlayStart::Plain;
    return host::FSOUND_PlaySound(host::FSOUND_FREE, sample);
}

// Started paused so that the first mixed buffer already has the volume and pan.
int SoundSample::startPaused(std::uint8_t effective, std::uint8_t pan) {
    lastStart = PlayStart::Paused;
    const int started = host::FSOUND_PlaySoundEx(host::FSOUND_FREE, sample, nullptr, true);
    if (started != -1) {
        host::FSOUND_SetVolume(started, effective);
        host::FSOUND_SetPan(started, pan);
        host::FSOUND_SetPaused(started, false);
    }
    return started;
}

bool SoundSample::stop() {
    return soundIsUp && host::FSOUND_StopSound(channel);
}

} // namespace ui
