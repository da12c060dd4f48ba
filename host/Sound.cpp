// The sound library over SDL2_mixer: the device, samples and effect channels (the music streams are in
// SoundStreams.cpp). All state is guarded by one mutex; the mixer's audio callback runs on a thread of its
// own and only the Mix_* calls meet it, under the audio device's lock. Decoding a file happens outside
// that mutex (it can take long for a tune), under a shared lock that keeps the device open meanwhile.

#include "host/Sound.h"

#include "host/Files.h"
#include "host/SoundInternal.h"
#include "host/Testing.h"
#include "host/Threads.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <vector>

namespace host {

namespace sound {

Library& library() {
    static Library instance;
    return instance;
}

std::atomic<int> lastError{FMOD_ERR_NONE};

bool fail(int code) {
    lastError = code;
    return false;
}

int failChannel(int code) {
    lastError = code;
    return -1;
}

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

// 0..255 scaled by 0..255, rounded, on the mixer's 0..128.
int mixerVolume(int volume, int scale) {
    constexpr int divisor = 255 * 255;
    return (volume * scale * MIX_MAX_VOLUME + divisor / 2) / divisor;
}

// The following helpers expect the state mutex held and sound up.

int handleOf(int index) {
    const auto generation = library().channels[index].generation & generationMask;
    return index | static_cast<int>(generation << indexBits);
}

// The mixer channel of a handle whose generation is still current, else -1.
int indexOf(int handle) {
    Library& lib = library();
    if (!lib.up || handle < 0) {
        return -1;
    }
    const int index = handle & indexMask;
    if (index >= lib.totalChannels) {
        return -1;
    }
    const auto generation = static_cast<unsigned int>(handle) >> indexBits;
    return generation == (lib.channels[index].generation & generationMask) ? index : -1;
}

void applyVolume(int index) {
    Library& lib = library();
    const Channel& channel = lib.channels[index];
    mix().Volume(index, mixerVolume(channel.volume, channel.absolute ? fullVolume : lib.master));
}

void applyPan(int index) {
    const int pan = library().channels[index].pan;
    if (pan == centrePan) {
        mix().SetPanning(index, 255, 255); // removes the panning effect
    } else if (pan < centrePan) {
        mix().SetPanning(index, 255, static_cast<Uint8>(pan * 255 / centrePan));
    } else {
        mix().SetPanning(index, static_cast<Uint8>((255 - pan) * 255 / (255 - centrePan)), 255);
    }
}

int freeChannel(int first, int end) {
    for (int index = first; index < end; ++index) {
        if (!mix().Playing(index)) {
            return index;
        }
    }
    return -1;
}

// Starts the chunk on the channel with a fresh generation; a paused start stays silent until resumed.
int startOn(int index, Mix_Chunk* chunk, int loops, bool absolute, bool paused) {
    Channel& channel = library().channels[index];
    ++channel.generation;
    channel.volume = fullVolume;
    channel.absolute = absolute;
    channel.pan = centrePan;
    applyPan(index);
    if (paused) {
        // The mixer cannot start a channel paused: one buffer may pass before the pause, so make it silent.
        mix().Volume(index, 0);
    } else {
        applyVolume(index);
    }
    if (mix().PlayChannel(index, chunk, loops) < 0) {
        mix().UnregisterAllEffects(index);
        return failChannel(FMOD_ERR_PLAY);
    }
    if (paused) {
        mix().Pause(index);
        applyVolume(index);
    }
    return handleOf(index);
}

bool isLooping(unsigned int mode) {
    return (mode & FSOUND_LOOP_NORMAL) != 0;
}

// Decodes a whole WAV or OGG file into the mixer's output format. The caller holds the lifetime lock.
Mix_Chunk* decodeFile(const char* name) {
    if (name == nullptr || *name == '\0') {
        lastError = FMOD_ERR_INVALID_PARAM;
        return nullptr;
    }
    const std::string path = systemPath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        lastError = FMOD_ERR_FILE_NOTFOUND;
        return nullptr;
    }
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (file == nullptr) {
        lastError = FMOD_ERR_FILE_NOTFOUND;
        return nullptr;
    }
    Mix_Chunk* chunk = mix().LoadWAV_RW(file, 1);
    if (chunk == nullptr) {
        lastError = FMOD_ERR_FILE_FORMAT;
        return nullptr;
    }
    // The mixer converts in a buffer sized for the widest step of the conversion (a mono sound made stereo
    // through floats: four times the file's samples) and keeps all of it; only alen bytes are the sound.
    if (chunk->allocated != 0 && chunk->alen > 0) {
        if (void* fitted = SDL_realloc(chunk->abuf, chunk->alen)) {
            chunk->abuf = static_cast<Uint8*>(fitted);
        }
    }
    return chunk;
}

// False (and the error set) when sound is down or the call is made to fail.
bool mayDecode(const char* call) {
    long code = 0;
    if (testing::shouldFail(call, &code)) {
        lastError = code > 0 ? static_cast<int>(code) : FMOD_ERR_FILE_FORMAT;
        return false;
    }
    std::lock_guard lock(library().state);
    if (!library().up) {
        lastError = FMOD_ERR_UNINITIALIZED;
        return false;
    }
    return true;
}

// Decodes the file while sound is up; null (and the error set) otherwise.
Mix_Chunk* decodeWhileUp(const char* call, const char* name) {
    return mayDecode(call) ? decodeFile(name) : nullptr;
}

// A chunk over bytes allocated by SDL, which Mix_FreeChunk frees with it.
Mix_Chunk* chunkOver(Uint8* bytes, Uint32 length) {
    auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
    if (chunk == nullptr) {
        SDL_free(bytes);
        return nullptr;
    }
    *chunk = Mix_Chunk{1, bytes, length, MIX_MAX_VOLUME};
    return chunk;
}

bool sameAsDevice(const SDL_AudioSpec& format) {
    int rate = 0;
    Uint16 samples = 0;
    int channels = 0;
    return mix().QuerySpec(&rate, &samples, &channels) != 0 && format.freq == rate &&
           format.format == samples && format.channels == channels;
}

// Reads a whole sound file for a sample: a WAV file keeps its own PCM, which each play converts as the mixer
// would have converted it on loading (a mono sound takes half the memory of the device's stereo); any other
// file is decoded by the mixer into the device's format. The caller holds the lifetime lock.
FSOUND_SAMPLE* readSample(const char* name) {
    const std::string path = name == nullptr ? std::string() : systemPath(name);
    std::error_code error;
    char magic[4] = {};
    if (!path.empty() && std::filesystem::is_regular_file(path, error)) {
        std::ifstream file(path, std::ios::binary);
        file.read(magic, sizeof magic);
    }
    if (std::memcmp(magic, "RIFF", 4) != 0 && std::memcmp(magic, "WAVE", 4) != 0) {
        Mix_Chunk* chunk = decodeFile(name);
        return chunk == nullptr ? nullptr : new FSOUND_SAMPLE{chunk};
    }
    auto* sample = new FSOUND_SAMPLE;
    if (SDL_LoadWAV(path.c_str(), &sample->format, &sample->pcm, &sample->bytes) == nullptr) {
        delete sample;
        lastError = FMOD_ERR_FILE_FORMAT;
        return nullptr;
    }
    if (sameAsDevice(sample->format)) {
        sample->chunk = chunkOver(sample->pcm, sample->bytes);
        sample->pcm = nullptr;
        sample->bytes = 0;
        if (sample->chunk == nullptr) {
            delete sample;
            lastError = FMOD_ERR_FILE_FORMAT;
            return nullptr;
        }
    }
    return sample;
}

// The sample in the device's format for one play: the mixer's own conversion, whole frames only, in a
// buffer cut to the sound's length. Null when it cannot be made.
Mix_Chunk* convertForPlay(const FSOUND_SAMPLE* sample) {
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    SDL_AudioCVT convert;
    const SDL_AudioSpec& from = sample->format;
    if (mix().QuerySpec(&rate, &format, &channels) == 0 ||
        SDL_BuildAudioCVT(&convert, from.format, from.channels, from.freq, format,
                          static_cast<Uint8>(channels), rate) < 0) {
        return nullptr;
    }
    const Uint32 frame = SDL_AUDIO_BITSIZE(from.format) / 8 * from.channels;
    convert.len = static_cast<int>(sample->bytes - (frame == 0 ? 0 : sample->bytes % frame));
    convert.buf =
        static_cast<Uint8*>(SDL_calloc(1, static_cast<std::size_t>(convert.len) * convert.len_mult));
    if (convert.buf == nullptr) {
        return nullptr;
    }
    std::memcpy(convert.buf, sample->pcm, static_cast<std::size_t>(convert.len));
    if (SDL_ConvertAudio(&convert) < 0) {
        SDL_free(convert.buf);
        return nullptr;
    }
    if (convert.len_cvt > 0) {
        if (void* fitted = SDL_realloc(convert.buf, static_cast<std::size_t>(convert.len_cvt))) {
            convert.buf = static_cast<Uint8*>(fitted);
        }
    }
    return chunkOver(convert.buf, static_cast<Uint32>(convert.len_cvt));
}

void freeSample(FSOUND_SAMPLE* sample) {
    mix().FreeChunk(sample->chunk);
    SDL_free(sample->pcm);
    delete sample;
}

// Set by the mixer when a channel ends, on its audio thread (or inside a halt): copies of finished channels
// are then freed by the next call, which holds the state mutex.
std::atomic<bool> channelEnded{false};

void SDLCALL noteChannelEnded(int) {
    channelEnded = true;
}

void dropCopy(int index) {
    Channel& channel = library().channels[index];
    // Takes the audio device's lock: the mixer has let go of the copy when it returns.
    mix().FreeChunk(channel.copy);
    channel.copy = nullptr;
    channel.copyOf = nullptr;
}

// Frees the copies of the channels that have ended since the last look.
void returnCopies() {
    Library& lib = library();
    if (!lib.up || !channelEnded.exchange(false)) {
        return;
    }
    for (int index = musicChannels; index < lib.totalChannels; ++index) {
        if (lib.channels[index].copy != nullptr && !mix().Playing(index)) {
            dropCopy(index);
        }
    }
}

bool knownSample(FSOUND_SAMPLE* sample) {
    return sample != nullptr && library().samples.count(sample) != 0;
}

bool knownStream(FSOUND_STREAM* stream) {
    return stream != nullptr && library().streams.count(stream) != 0;
}

void stopStream(FSOUND_STREAM* stream) {
    const int index = indexOf(stream->channel);
    if (index >= 0) {
        mix().HaltChannel(index);
    }
    stream->channel = -1;
}

Mix_Chunk* prepareStreamOn(FSOUND_STREAM* stream, int index, int& loops) {
    Library& lib = library();
    if (stream->tune) {
        rewindTune(stream->tune.get());
        if (attachTune(index, stream->tune.get())) {
            loops = tuneRepeats(stream->tune.get(), static_cast<int>(lib.silence->alen));
            return lib.silence;
        }
    }
    if (stream->chunk != nullptr) {
        loops = isLooping(stream->mode) ? -1 : 0;
        return stream->chunk;
    }
    loops = -1;
    return lib.silence;
}

bool restartOn(FSOUND_STREAM* stream, int index) {
    const bool paused = mix().Paused(index) != 0;
    mix().HaltChannel(index); // also drops the panning effect and the tune's
    int loops = 0;
    Mix_Chunk* chunk = prepareStreamOn(stream, index, loops);
    applyPan(index);
    if (paused) {
        mix().Volume(index, 0);
    }
    if (mix().PlayChannel(index, chunk, loops) < 0) {
        mix().UnregisterAllEffects(index);
        stream->channel = -1;
        return false;
    }
    if (paused) {
        mix().Pause(index);
        applyVolume(index);
    }
    return true;
}

void freeStream(FSOUND_STREAM* stream) {
    stopStream(stream);
    if (stream->decoding) {
        stream->decoding->stream = nullptr;
    }
    mix().FreeChunk(stream->chunk);
    delete stream;
}

void freeEverything() {
    Library& lib = library();
    for (FSOUND_STREAM* stream : lib.streams) {
        freeStream(stream);
    }
    lib.streams.clear();
    for (int index = musicChannels; index < lib.totalChannels; ++index) {
        dropCopy(index);
    }
    for (FSOUND_SAMPLE* sample : lib.samples) {
        freeSample(sample);
    }
    lib.samples.clear();
}

bool openDevice(int rate, int effectChannels) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    mix().Init(MIX_INIT_OGG); // without the OGG decoder only WAV files load
    if (mix().OpenAudio(rate > 0 ? rate : 44100, AUDIO_S16SYS, 2, 1024) != 0) {
        mix().Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Library& lib = library();
    lib.totalChannels = mix().AllocateChannels(musicChannels + effectChannels);
    mix().ReserveChannels(musicChannels);
    if (static_cast<int>(lib.channels.size()) < lib.totalChannels) {
        lib.channels.resize(lib.totalChannels);
    }
    for (int index = 0; index < lib.totalChannels; ++index) {
        mix().Volume(index, MIX_MAX_VOLUME);
    }
    mix().ChannelFinished(noteChannelEnded);
    return true;
}

bool isUp() {
    std::lock_guard lock(library().state);
    return library().up;
}

// The mixer's close ends with SDL letting the device's thread play out two more buffers of silence and
// joining it: tens of milliseconds that nobody hears, spent on a thread of its own.
DWORD closeDevice(void*) {
    mix().CloseAudio();
    // SDL frees a failure's message with the thread only for threads of its own.
    SDL_TLSCleanup();
    return 0;
}

// The device of the last close is closed once that thread has ended; the mixer and the audio subsystem go
// then, on this thread. The caller holds the lifetime lock exclusively.
void finishClosing(Library& lib) {
    if (lib.closer == nullptr) {
        return;
    }
    WaitForSingleObject(lib.closer, INFINITE);
    CloseHandle(lib.closer);
    lib.closer = nullptr;
    mix().Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace sound

using namespace sound;

float FSOUND_GetVersion() {
    return FSOUND_VERSION;
}

bool FSOUND_SetHWND(void*) {
    return true;
}

bool FSOUND_SetOutput(int outputType) {
    std::lock_guard lock(library().state);
    if (library().up) {
        return fail(FMOD_ERR_INIT); // only before FSOUND_Init
    }
    library().output = outputType;
    return true;
}

bool FSOUND_Init(int rate, int channels, unsigned int) {
    Library& lib = library();
    std::unique_lock lifetime(lib.lifetime);
    std::lock_guard lock(lib.state);
    if (lib.up) {
        return true;
    }
    finishClosing(lib);
    if (testing::shouldFail("FSOUND_Init") || !openMixer()) {
        return fail(FMOD_ERR_INIT);
    }
    const int effectChannels = std::clamp(channels, 1, indexMask + 1 - musicChannels);
    if (!openDevice(rate, effectChannels)) {
        return fail(FMOD_ERR_INIT);
    }
    // Zero bytes are silence in the device's signed 16-bit samples.
    static Uint8 silentBytes[4096] = {};
    lib.silence = mix().QuickLoad_RAW(silentBytes, sizeof silentBytes);
    lib.master = fullVolume;
    lib.up = true;
    lastError = FMOD_ERR_NONE;
    return true;
}

int FSOUND_GetError() {
    return lastError;
}

void FSOUND_Close() {
    Library& lib = library();
    {
        std::unique_lock lock(lib.state);
        lib.tuneDecoded.wait(lock, [&lib] { return lib.decodingTunes == 0; });
    }
    std::unique_lock lifetime(lib.lifetime);
    std::lock_guard lock(lib.state);
    if (!lib.up) {
        return;
    }
    mix().HaltChannel(-1);
    freeEverything();
    // Holds no sample data of its own.
    mix().FreeChunk(lib.silence);
    lib.silence = nullptr;
    lib.up = false;
    lib.totalChannels = 0;
    // Nothing plays any more and no call reaches the mixer while sound is down, so the device may finish
    // closing behind the caller's back: a program that ends now does not wait for it, and the next
    // FSOUND_Init waits for it first.
    lib.closer = CreateThread(nullptr, 0, closeDevice, nullptr, 0, nullptr);
    if (lib.closer == nullptr) {
        mix().CloseAudio();
        mix().Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int, int) {
    Library& lib = library();
    if (index != FSOUND_FREE) {
        lastError = FMOD_ERR_INVALID_PARAM;
        return nullptr;
    }
    std::shared_lock lifetime(lib.lifetime);
    FSOUND_SAMPLE* sample = mayDecode("FSOUND_Sample_Load") ? readSample(name) : nullptr;
    if (sample == nullptr) {
        return nullptr;
    }
    sample->mode = isLooping(mode) ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF;
    std::lock_guard lock(lib.state);
    lib.samples.insert(sample);
    return sample;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    if (!knownSample(sample)) {
        return;
    }
    lib.samples.erase(sample);
    for (int index = musicChannels; index < lib.totalChannels; ++index) {
        if (lib.channels[index].copyOf == sample) {
            mix().HaltChannel(index);
            dropCopy(index);
        } else if (sample->chunk != nullptr && mix().GetChunk(index) == sample->chunk) {
            mix().HaltChannel(index);
        }
    }
    freeSample(sample);
}

bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode) {
    std::lock_guard lock(library().state);
    if (!knownSample(sample)) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    if ((mode & FSOUND_LOOP_NORMAL) != 0) {
        sample->mode = FSOUND_LOOP_NORMAL;
    } else if ((mode & FSOUND_LOOP_OFF) != 0) {
        sample->mode = FSOUND_LOOP_OFF;
    }
    return true;
}

unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample) {
    std::lock_guard lock(library().state);
    return knownSample(sample) ? sample->mode : 0;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
    return FSOUND_PlaySoundEx(channel, sample, nullptr, false);
}

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT*, bool paused) {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    if (!lib.up) {
        return failChannel(FMOD_ERR_UNINITIALIZED);
    }
    if (channel != FSOUND_FREE || !knownSample(sample)) {
        return failChannel(FMOD_ERR_INVALID_PARAM);
    }
    returnCopies();
    const int index = freeChannel(musicChannels, lib.totalChannels);
    if (index < 0) {
        return failChannel(FMOD_ERR_PLAY);
    }
    // The channel has stopped: what it played last is over.
    dropCopy(index);
    Mix_Chunk* copy = sample->chunk == nullptr ? convertForPlay(sample) : nullptr;
    Mix_Chunk* chunk = sample->chunk != nullptr ? sample->chunk : copy;
    if (chunk == nullptr) {
        return failChannel(FMOD_ERR_PLAY);
    }
    const int handle = startOn(index, chunk, isLooping(sample->mode) ? -1 : 0, false, paused);
    if (handle < 0) {
        mix().FreeChunk(copy);
        return handle;
    }
    lib.channels[index].copy = copy;
    lib.channels[index].copyOf = copy != nullptr ? sample : nullptr;
    return handle;
}

namespace {

// Runs the step on the channel of a current handle; false (and nothing done) for a stale one.
template <typename Step> bool onChannel(int handle, Step step) {
    std::lock_guard lock(library().state);
    if (!library().up) {
        return fail(FMOD_ERR_UNINITIALIZED);
    }
    returnCopies();
    const int index = indexOf(handle);
    if (index < 0) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    step(index, library().channels[index]);
    return true;
}

bool setVolume(int handle, int volume, bool absolute) {
    return onChannel(handle, [&](int index, Channel& channel) {
        channel.volume = clampByte(volume);
        channel.absolute = absolute;
        applyVolume(index);
    });
}

} // namespace

bool FSOUND_SetVolume(int channel, int volume) {
    return setVolume(channel, volume, false);
}

bool FSOUND_SetVolumeAbsolute(int channel, int volume) {
    return setVolume(channel, volume, true);
}

int FSOUND_GetVolume(int channel) {
    int volume = 0;
    onChannel(channel, [&](int, Channel& state) { volume = state.volume; });
    return volume;
}

bool FSOUND_SetPan(int channel, int pan) {
    return onChannel(channel, [&](int index, Channel& state) {
        state.pan = clampByte(pan);
        applyPan(index);
    });
}

int FSOUND_GetPan(int channel) {
    int pan = centrePan;
    onChannel(channel, [&](int, Channel& state) { pan = state.pan; });
    return pan;
}

bool FSOUND_SetPaused(int channel, bool paused) {
    return onChannel(channel, [&](int index, Channel&) {
        if (paused) {
            mix().Pause(index);
        } else {
            mix().Resume(index);
        }
    });
}

bool FSOUND_GetPaused(int channel) {
    bool paused = false;
    onChannel(channel, [&](int index, Channel&) { paused = mix().Paused(index) != 0; });
    return paused;
}

bool FSOUND_StopSound(int channel) {
    if (channel == FSOUND_ALL) {
        std::lock_guard lock(library().state);
        if (!library().up) {
            return fail(FMOD_ERR_UNINITIALIZED);
        }
        mix().HaltChannel(-1);
        returnCopies();
        return true;
    }
    return onChannel(channel, [](int index, Channel&) {
        mix().HaltChannel(index);
        if (index >= musicChannels) {
            dropCopy(index);
        }
    });
}

bool FSOUND_IsPlaying(int channel) {
    bool playing = false;
    onChannel(channel, [&](int index, Channel&) { playing = mix().Playing(index) != 0; });
    return playing;
}

void FSOUND_SetSFXMasterVolume(int volume) {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    lib.master = clampByte(volume);
    if (!lib.up) {
        return;
    }
    for (int index = 0; index < lib.totalChannels; ++index) {
        if (!lib.channels[index].absolute) {
            applyVolume(index);
        }
    }
}

int FSOUND_GetSFXMasterVolume() {
    std::lock_guard lock(library().state);
    return library().master;
}

int FSOUND_GetChannelsPlaying() {
    std::lock_guard lock(library().state);
    returnCopies();
    return library().up ? mix().Playing(-1) : 0;
}

namespace testing {
int soundChannelMixerVolume(int channel) {
    std::lock_guard lock(library().state);
    const int index = indexOf(channel);
    return index < 0 ? -1 : mix().Volume(index, -1);
}

SampleMemory soundSampleMemory() {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    returnCopies();
    SampleMemory memory;
    for (const FSOUND_SAMPLE* sample : lib.samples) {
        memory.sampleBytes += sample->bytes + (sample->chunk != nullptr ? sample->chunk->alen : 0);
    }
    for (int index = musicChannels; index < lib.totalChannels; ++index) {
        if (const Mix_Chunk* copy = lib.channels[index].copy) {
            ++memory.copies;
            memory.copyBytes += copy->alen;
        }
    }
    return memory;
}
} // namespace testing

} // namespace host
