#pragma once
// Inside the sound files only: the mixer's state and the helpers that the device and sample calls
// (Sound.cpp) share with the music streams (SoundStreams.cpp). The first mixing channels are kept for
// streams (the mixer's own music channel plays one tune only, and a cross-fade needs two); the rest play
// effects.

#include "host/Sound.h"
#include "host/SoundMixer.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <vector>

namespace host {

struct FSOUND_SAMPLE {
    // The sound in the device's format: a file that is in it already, or one that only the mixer's own
    // decoders read. Null for a sound held as its file's PCM below, which each play converts.
    Mix_Chunk* chunk = nullptr;
    unsigned int mode = FSOUND_LOOP_OFF;
    // A WAV file's PCM in the file's own format (a mono sound stays mono), allocated by SDL.
    Uint8* pcm = nullptr;
    Uint32 bytes = 0;
    SDL_AudioSpec format{};
};

namespace sound {
struct StreamDecode;
struct TuneReader;
struct TuneCloser {
    void operator()(TuneReader* tune) const;
};
using TunePtr = std::unique_ptr<TuneReader, TuneCloser>;
} // namespace sound

struct FSOUND_STREAM {
    // An OGG tune, read from its file while it plays; null while the file is being opened, for a tune of
    // another kind or when it could not be opened.
    sound::TunePtr tune;
    // A tune of another kind (WAV), decoded whole; null while it is being decoded (or when it could not be).
    Mix_Chunk* chunk = nullptr;
    unsigned int mode = 0;
    int channel = -1; // handle of the channel of its last play
    // Set while the tune is being decoded.
    std::shared_ptr<sound::StreamDecode> decoding;
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
    // The device-format copy of a sample that the channel plays or last played, and that sample; the copy
    // is freed once the channel has stopped (halted or finished) or plays something else.
    Mix_Chunk* copy = nullptr;
    const FSOUND_SAMPLE* copyOf = nullptr;
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
    // The thread that closes the device of the last FSOUND_Close, until the next FSOUND_Init has waited for
    // it; null otherwise.
    HANDLE closer = nullptr;
    // What a stream plays until its tune is decoded: a short silence, looped. Made while sound is up.
    Mix_Chunk* silence = nullptr;
    // Tunes being decoded on threads of their own, which the device must outlive.
    int decodingTunes = 0;
    std::condition_variable tuneDecoded;
};

// A tune decoded on a thread of its own for the stream that opened it; the stream is null once it has
// been closed (or sound went down), and the tune is then thrown away.
struct StreamDecode {
    std::string name;
    bool loop = false;
    FSOUND_STREAM* stream = nullptr;
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
// Starts the chunk on the channel with a fresh generation, played 1 + loops times (loops -1: for ever);
// a paused start stays silent until resumed.
int startOn(int index, Mix_Chunk* chunk, int loops, bool absolute, bool paused);
// What the stream's idle channel is to play from the start, with its loop count: the OGG tune written over
// a looped silence (its effect registered on the channel), the whole decoded tune, or, until either is in,
// the silence for ever.
Mix_Chunk* prepareStreamOn(FSOUND_STREAM* stream, int index, int& loops);
bool isLooping(unsigned int mode);
bool knownStream(FSOUND_STREAM* stream);
void stopStream(FSOUND_STREAM* stream);
// Stops the stream, lets a decode still running for it go and frees its tune; the caller forgets it.
void freeStream(FSOUND_STREAM* stream);
// Starts the stream's tune (its silence while it is decoded) on the channel again from the start, keeping
// the channel's handle, pause, volume and pan. False when the mixer refused.
bool restartOn(FSOUND_STREAM* stream, int index);

// Tunes read while they play (SoundTune.cpp). Opening gives null for a file that is no OGG Vorbis tune.
TunePtr openTune(const char* name, bool loop);
// Back to the start, forgetting what was decoded ahead. Only while no channel plays the tune.
void rewindTune(TuneReader* tune);
// The loop count of the silence (of silenceBytes) that the tune is written over: a tune that does not
// loop ends with it.
int tuneRepeats(const TuneReader* tune, int silenceBytes);
// Registers the tune's effect on the channel, which must not play yet: the mixer drops it when the channel
// is halted or ends, and panning registered after it applies to the tune.
bool attachTune(int index, TuneReader* tune);

// Decodes the file while sound is up; null (and the error set) otherwise. The caller holds the lifetime lock
// shared.
Mix_Chunk* decodeWhileUp(const char* call, const char* name);

// True between a successful FSOUND_Init and FSOUND_Close.
bool isUp();

} // namespace sound
} // namespace host
