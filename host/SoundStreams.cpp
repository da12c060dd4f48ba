// The music streams of the sound library: whole tunes decoded once, played on the channels kept for them,
// with an absolute volume that the effects master volume leaves alone.

#include "host/Sound.h"

#include "host/SoundInternal.h"

#include <mutex>
#include <shared_mutex>

namespace host {

using namespace sound;

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int, int) {
    Library& lib = library();
    std::shared_lock lifetime(lib.lifetime);
    Mix_Chunk* chunk = decodeWhileUp("FSOUND_Stream_Open", name);
    if (chunk == nullptr) {
        return nullptr;
    }
    auto* stream = new FSOUND_STREAM{chunk, mode, -1};
    std::lock_guard lock(lib.state);
    lib.streams.insert(stream);
    return stream;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    if (!lib.up) {
        return failChannel(FMOD_ERR_UNINITIALIZED);
    }
    if (channel != FSOUND_FREE || !knownStream(stream)) {
        return failChannel(FMOD_ERR_INVALID_PARAM);
    }
    const int current = indexOf(stream->channel);
    if (current >= 0 && Mix_Playing(current)) {
        return stream->channel;
    }
    const int index = freeChannel(0, musicChannels);
    if (index < 0) {
        return failChannel(FMOD_ERR_PLAY);
    }
    stream->channel = startOn(index, stream->chunk, isLooping(stream->mode), true, false);
    return stream->channel;
}

bool FSOUND_Stream_Stop(FSOUND_STREAM* stream) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream)) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    stopStream(stream);
    return true;
}

bool FSOUND_Stream_Close(FSOUND_STREAM* stream) {
    Library& lib = library();
    std::lock_guard lock(lib.state);
    if (!knownStream(stream)) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    stopStream(stream);
    lib.streams.erase(stream);
    Mix_FreeChunk(stream->chunk);
    delete stream;
    return true;
}

bool FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream) || position != 0) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    const int index = indexOf(stream->channel);
    if (index < 0 || !Mix_Playing(index)) {
        return true; // the next play starts at the beginning anyway
    }
    // Same channel, same generation: the handle the caller keeps stays valid.
    const bool paused = Mix_Paused(index) != 0;
    Mix_HaltChannel(index); // also drops the panning effect
    applyPan(index);
    if (paused) {
        Mix_Volume(index, 0);
    }
    if (Mix_PlayChannel(index, stream->chunk, isLooping(stream->mode) ? -1 : 0) < 0) {
        stream->channel = -1;
        return fail(FMOD_ERR_PLAY);
    }
    if (paused) {
        Mix_Pause(index);
        applyVolume(index);
    }
    return true;
}

int FSOUND_Stream_GetChannel(FSOUND_STREAM* stream) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream)) {
        return -1;
    }
    const int index = indexOf(stream->channel);
    return index >= 0 && Mix_Playing(index) ? stream->channel : -1;
}

} // namespace host
