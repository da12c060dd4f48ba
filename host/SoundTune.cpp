// Tunes read from their OGG file while they play. The file's bytes stay in memory (a tenth of the decoded
// tune); the mixer plays a silence on the stream's channel and an effect on that channel, the first one
// registered there, writes the tune over it, a buffer at a time, converted to the device's format. Volume and
// pause are the channel's own, and the panning effect comes after the tune's, so they apply as they do to a
// whole tune.

#include "host/SoundInternal.h"

#include "host/Files.h"

#include <SDL.h>

// Our own callbacks read the file's bytes in memory; the header's stdio ones would go unused.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>

namespace host::sound {

struct TuneReader {
    std::vector<char> file;
    long position = 0;
    OggVorbis_File vorbis{};
    bool vorbisOpen = false;
    SDL_AudioStream* converter = nullptr;
    bool loop = false;
    // Device bytes the whole tune takes; what a stream that does not loop plays for.
    std::uint64_t deviceBytes = 0;
    // Set once a tune that does not loop has given all it has (or a broken one stopped giving).
    bool ended = false;

    ~TuneReader() {
        if (converter != nullptr) {
            SDL_FreeAudioStream(converter);
        }
        if (vorbisOpen) {
            ov_clear(&vorbis);
        }
    }
};

namespace {

constexpr int wordBytes = 2;
constexpr int signedSamples = 1;
constexpr int bigEndian = SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0;
// Decoded bytes taken from the file at a time.
constexpr int decodeBlock = 4096;
// Holes and errors in a row after which a tune is taken to have ended.
constexpr int worstRun = 8;

std::size_t readMemory(void* data, std::size_t size, std::size_t count, void* source) {
    auto& tune = *static_cast<TuneReader*>(source);
    const auto left = static_cast<std::size_t>(static_cast<long>(tune.file.size()) - tune.position);
    const std::size_t items = size == 0 ? 0 : std::min(count, left / size);
    std::memcpy(data, tune.file.data() + tune.position, items * size);
    tune.position += static_cast<long>(items * size);
    return items;
}

int seekMemory(void* source, ogg_int64_t offset, int origin) {
    auto& tune = *static_cast<TuneReader*>(source);
    const auto size = static_cast<ogg_int64_t>(tune.file.size());
    const ogg_int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? tune.position : size;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > size) {
        return -1;
    }
    tune.position = static_cast<long>(target);
    return 0;
}

long tellMemory(void* source) {
    return static_cast<TuneReader*>(source)->position;
}

constexpr ov_callbacks memoryCallbacks{readMemory, seekMemory, nullptr, tellMemory};

bool readWholeFile(const char* name, std::vector<char>& bytes) {
    std::ifstream in(systemPath(name), std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // The reader's positions are longs.
    return !in.bad() && bytes.size() < static_cast<std::size_t>(LONG_MAX);
}

// Decodes the next block into the converter; false at the end of a tune that does not loop.
bool decodeMore(TuneReader& tune) {
    char block[decodeBlock];
    bool rewound = false;
    for (int failures = 0; failures < worstRun;) {
        int section = 0;
        const long got =
            ov_read(&tune.vorbis, block, decodeBlock, bigEndian, wordBytes, signedSamples, &section);
        if (got > 0) {
            return SDL_AudioStreamPut(tune.converter, block, static_cast<int>(got)) == 0;
        }
        if (got < 0) {
            ++failures;
            continue;
        }
        // A tune that gives nothing right after its start has nothing to loop.
        if (!tune.loop || rewound || ov_pcm_seek(&tune.vorbis, 0) != 0) {
            return false;
        }
        rewound = true;
    }
    return false;
}

// The mixer's effect: the tune replaces the silence of the channel's chunk.
void writeTune(int, void* stream, int length, void* data) {
    auto& tune = *static_cast<TuneReader*>(data);
    auto* out = static_cast<Uint8*>(stream);
    int written = 0;
    while (written < length && !tune.ended) {
        const int got = SDL_AudioStreamGet(tune.converter, out + written, length - written);
        if (got > 0) {
            written += got;
        } else if (!decodeMore(tune)) {
            SDL_AudioStreamFlush(tune.converter);
            const int rest = SDL_AudioStreamGet(tune.converter, out + written, length - written);
            written += std::max(rest, 0);
            tune.ended = SDL_AudioStreamAvailable(tune.converter) == 0;
            break;
        }
    }
    std::memset(out + written, 0, static_cast<std::size_t>(length - written));
}

} // namespace

TunePtr openTune(const char* name, bool loop) {
    TunePtr tune(new TuneReader());
    tune->loop = loop;
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (mix().QuerySpec(&frequency, &format, &channels) == 0 || !readWholeFile(name, tune->file) ||
        ov_open_callbacks(tune.get(), &tune->vorbis, nullptr, 0, memoryCallbacks) != 0) {
        return nullptr;
    }
    tune->vorbisOpen = true;
    const vorbis_info* info = ov_info(&tune->vorbis, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 8 || info->rate < 1 ||
        info->rate > INT_MAX) {
        return nullptr;
    }
    tune->converter =
        SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info->channels), static_cast<int>(info->rate),
                           format, static_cast<Uint8>(channels), frequency);
    if (tune->converter == nullptr) {
        return nullptr;
    }
    const ogg_int64_t frames = std::max<ogg_int64_t>(ov_pcm_total(&tune->vorbis, -1), 0);
    const std::uint64_t deviceFrames = static_cast<std::uint64_t>(frames) *
                                       static_cast<std::uint64_t>(frequency) /
                                       static_cast<std::uint64_t>(info->rate);
    tune->deviceBytes = deviceFrames * static_cast<std::uint64_t>(channels) * SDL_AUDIO_BITSIZE(format) / 8;
    return tune;
}

void TuneCloser::operator()(TuneReader* tune) const {
    delete tune;
}

void rewindTune(TuneReader* tune) {
    (void)ov_pcm_seek(&tune->vorbis, 0);
    SDL_AudioStreamClear(tune->converter);
    tune->ended = false;
}

int tuneRepeats(const TuneReader* tune, int silenceBytes) {
    if (tune->loop) {
        return -1;
    }
    const std::uint64_t plays = (tune->deviceBytes + static_cast<std::uint64_t>(silenceBytes) - 1) /
                                static_cast<std::uint64_t>(silenceBytes);
    return static_cast<int>(std::clamp<std::uint64_t>(plays, 1, INT_MAX) - 1);
}

bool attachTune(int index, TuneReader* tune) {
    return mix().RegisterEffect(index, writeTune, nullptr, tune) != 0;
}

} // namespace host::sound
