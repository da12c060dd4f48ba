#pragma once
// Inside the sound files only: the mixer library, opened while the program runs rather than by the loader
// before main. The mixer brings some forty libraries of its own (decoders, synthesisers, sound servers) that
// would be mapped and relocated before the first line of the program runs; opened on a thread of its own at
// start-up, it is ready by the time sound starts, behind the window. Each call the sound files make is
// resolved once, into one table.

#include <SDL_mixer.h>

namespace host::sound {

struct MixerCalls {
    decltype(&::Mix_AllocateChannels) AllocateChannels = nullptr;
    decltype(&::Mix_ChannelFinished) ChannelFinished = nullptr;
    decltype(&::Mix_CloseAudio) CloseAudio = nullptr;
    decltype(&::Mix_FreeChunk) FreeChunk = nullptr;
    decltype(&::Mix_GetChunk) GetChunk = nullptr;
    decltype(&::Mix_HaltChannel) HaltChannel = nullptr;
    decltype(&::Mix_Init) Init = nullptr;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&::Mix_OpenAudio) OpenAudio = nullptr;
    decltype(&::Mix_Pause) Pause = nullptr;
    decltype(&::Mix_Paused) Paused = nullptr;
    decltype(&::Mix_PlayChannel) PlayChannel = nullptr;
    decltype(&::Mix_Playing) Playing = nullptr;
    decltype(&::Mix_QuerySpec) QuerySpec = nullptr;
    decltype(&::Mix_QuickLoad_RAW) QuickLoad_RAW = nullptr;
    decltype(&::Mix_Quit) Quit = nullptr;
    decltype(&::Mix_RegisterEffect) RegisterEffect = nullptr;
    decltype(&::Mix_ReserveChannels) ReserveChannels = nullptr;
    decltype(&::Mix_Resume) Resume = nullptr;
    decltype(&::Mix_SetPanning) SetPanning = nullptr;
    decltype(&::Mix_UnregisterAllEffects) UnregisterAllEffects = nullptr;
    decltype(&::Mix_Volume) Volume = nullptr;
};

// Opens the library now, or waits for the opening that PrepareSound started. False when the library or
// one of its calls is missing: sound then cannot start, as without an audio device.
bool openMixer();

// The calls; only after openMixer gave true (while sound is up, it has).
const MixerCalls& mix();

} // namespace host::sound
