// The music streams of the sound library, played on the channels kept for them, with an absolute volume that
// the effects master volume leaves alone. An OGG tune is read from its file while it plays (SoundTune.cpp);
// a tune of another kind is decoded whole. Either is made ready on a thread of its own, as a streaming
// library opens its file: opening returns at once, and a stream played before its tune is in plays silence
// on its channel until the tune takes its place there.

#include "host/Sound.h"

#include "host/SoundInternal.h"

#include "host/Files.h"
#include "host/Testing.h"
#include "host/Threads.h"

#include <SDL.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <system_error>

namespace host {

using namespace sound;

namespace {

FSOUND_STREAM* failStream(int code) {
    fail(code);
    return nullptr;
}

// The tune takes the place of the silence on a channel that plays for the stream; a stream that is not
// playing starts with the tune when it is next played.
void tuneArrived(FSOUND_STREAM* stream, TunePtr tune, Mix_Chunk* whole) {
    stream->tune = std::move(tune);
    stream->chunk = whole;
    const int index = indexOf(stream->channel);
    if (index >= 0 && mix().Playing(index)) {
        (void)restartOn(stream, index);
    }
}

// A tune that never played has no channel to stop: it is freed without asking the mixer, whose device may
// be closing on another thread by now.
void freeUnplayed(Mix_Chunk* tune) {
    if (tune != nullptr) {
        if (tune->allocated != 0) {
            SDL_free(tune->abuf);
        }
        SDL_free(tune);
    }
}

DWORD decodeTune(void* parameter) {
    const std::unique_ptr<std::shared_ptr<StreamDecode>> job(
        static_cast<std::shared_ptr<StreamDecode>*>(parameter));
    Library& lib = library();
    const char* name = (*job)->name.c_str();
    TunePtr tune;
    Mix_Chunk* whole = nullptr;
    {
        std::shared_lock lifetime(lib.lifetime);
        if (isUp() && !testing::shouldFail("FSOUND_Stream_Decode")) {
            tune = openTune(name, (*job)->loop);
        }
        if (!tune) {
            whole = decodeWhileUp("FSOUND_Stream_Decode", name);
        }
    }
    std::lock_guard lock(lib.state);
    FSOUND_STREAM* stream = (*job)->stream;
    if (stream != nullptr && lib.up) {
        // A tune that cannot be decoded leaves the stream silent.
        stream->decoding.reset();
        if (tune || whole != nullptr) {
            tuneArrived(stream, std::move(tune), whole);
            whole = nullptr;
        }
    }
    freeUnplayed(whole);
    --lib.decodingTunes;
    lib.tuneDecoded.notify_all();
    return 0;
}

// SDL keeps a failure's message per thread, and frees it with the thread only for threads of its own.
DWORD decodeOnItsOwnThread(void* parameter) {
    decodeTune(parameter);
    SDL_TLSCleanup();
    return 0;
}

} // namespace

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int, int) {
    Library& lib = library();
    long code = 0;
    if (testing::shouldFail("FSOUND_Stream_Open", &code)) {
        return failStream(code > 0 ? static_cast<int>(code) : FMOD_ERR_FILE_FORMAT);
    }
    if (!isUp()) {
        return failStream(FMOD_ERR_UNINITIALIZED);
    }
    if (name == nullptr || *name == '\0') {
        return failStream(FMOD_ERR_INVALID_PARAM);
    }
    // A missing file is refused at once; what the file holds is known once it is decoded.
    std::error_code error;
    if (!std::filesystem::is_regular_file(systemPath(name), error)) {
        return failStream(FMOD_ERR_FILE_NOTFOUND);
    }
    FSOUND_STREAM* stream = nullptr;
    {
        std::lock_guard lock(lib.state);
        if (!lib.up) {
            return failStream(FMOD_ERR_UNINITIALIZED);
        }
        stream =
            new FSOUND_STREAM{nullptr, nullptr, mode, -1,
                              std::make_shared<StreamDecode>(StreamDecode{name, isLooping(mode), nullptr})};
        stream->decoding->stream = stream;
        lib.streams.insert(stream);
        // Counted before the state lock goes, so that a close waits for it.
        ++lib.decodingTunes;
    }
    auto* job = new std::shared_ptr<StreamDecode>(stream->decoding);
    if (HANDLE thread = CreateThread(nullptr, 0, decodeOnItsOwnThread, job, 0, nullptr)) {
        CloseHandle(thread);
    } else {
        // Without a thread of its own the tune is decoded here.
        decodeTune(job);
    }
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
    if (current >= 0 && mix().Playing(current)) {
        return stream->channel;
    }
    const int index = freeChannel(0, musicChannels);
    if (index < 0) {
        return failChannel(FMOD_ERR_PLAY);
    }
    int loops = 0;
    Mix_Chunk* chunk = prepareStreamOn(stream, index, loops);
    stream->channel = startOn(index, chunk, loops, true, false);
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
    lib.streams.erase(stream);
    freeStream(stream);
    return true;
}

bool FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream) || position != 0) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    const int index = indexOf(stream->channel);
    if (index < 0 || !mix().Playing(index)) {
        return true; // the next play starts at the beginning anyway
    }
    return restartOn(stream, index) || fail(FMOD_ERR_PLAY);
}

int FSOUND_Stream_GetChannel(FSOUND_STREAM* stream) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream)) {
        return -1;
    }
    const int index = indexOf(stream->channel);
    return index >= 0 && mix().Playing(index) ? stream->channel : -1;
}

namespace testing {

StreamTune soundStreamTune(FSOUND_STREAM* stream) {
    std::lock_guard lock(library().state);
    if (!knownStream(stream)) {
        return StreamTune::Unknown;
    }
    if (stream->decoding) {
        return StreamTune::Decoding;
    }
    return stream->tune || stream->chunk != nullptr ? StreamTune::Decoded : StreamTune::Undecodable;
}

} // namespace testing

} // namespace host
