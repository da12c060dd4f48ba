#pragma once
// Inside the sound files only: the mixer's state and the helpers that the device and sample calls
// (Sound.cpp) share with the music streams (SoundStreams.cpp). The first mixing channels are kept for
// streams (the mixer's own music channel plays one tune only, and a cross-fade needs two); the rest play
// effects.

#include "host/Sound.h"

#include <SDL_mixer.h>

#include <mutex>
#include <set>
#include <shared_mutex>
#include <vector>

namespace host {

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk = nullptr;
    unsigned int mode = FSOUND_LOOP_OFF;
};

struct FSOUND_STREAM {
    Mix_Chunk* chunk = nullptr;
    unsigned int mode = 0;
    int channel = -1; // handle of the channel of its last play
};

namespace sound {

// Channels 0 .. musicChannels-1 belong to streams.
constexpr int musicChannels = 4;
// A handle is the mixer channel's index in the low bits and its generation above them.
constexpr int indexBits = 12;
constexpr int indexMask = (1 << indexBits) - 1;
constexpr unsigned int generationMask = 0x7FFFF; // keeps every handle positive
constexpr int fullVolume = 255;
constexpr int centrePan = FSOUND_STEREOPAN;

struct Channel {
    unsigned int generation = 0;
    int volume = fullVolume;
    bool absolute = false; // not scaled by the effects master volume
    int pan = centrePan;
};

struct Library {
    std::shared_mutex lifetime; // exclusive: opening and closing the device; shared: decoding a file
    std::mutex state;
    bool up = false;
    int output = FSOUND_OUTPUT_DSOUND;
    int master = fullVolume;
    int totalChannels = 0;
    // Generations outlive a close, so handles from before it stay stale.
    std::vector<Channel> channels;
    std::set<FSOUND_SAMPLE*> samples;
    std::set<FSOUND_STREAM*> streams;
};

Library& library();

// Set the error code and report the failure.
bool fail(int code);
int failChannel(int code);

// The following expect the state mutex held and sound up.
// The mixer channel of a handle whose generation is still current, else -1.
int indexOf(int handle);
void applyVolume(int index);
void applyPan(int index);
// The first channel in first..end-1 that plays nothing, else -1.
int freeChannel(int first, int end);
// Starts the chunk on the channel with a fresh generation; a paused start stays silent until resumed.
int startOn(int index, Mix_Chunk* chunk, bool loop, bool absolute, bool paused);
bool isLooping(unsigned int mode);
bool knownStream(FSOUND_STREAM* stream);
void stopStream(FSOUND_STREAM* stream);

// Decodes the file while sound is up; null (and the error set) otherwise. The caller holds the lifetime lock
// shared.
Mix_Chunk* decodeWhileUp(const char* call, const char* name);

// True between a successful FSOUND_Init and FSOUND_Close.
bool isUp();

} // namespace sound
} // namespace host
