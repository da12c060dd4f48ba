#include "engine/ui/OggConversion.h"

#include "engine/kernel/PathUtil.h"
#include "host/Files.h"

// Our own callbacks go over the host's files; the header's stdio ones would go unused.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace ui {
namespace {

constexpr std::size_t bytesPerSample = 2;
// ov_read output: little-endian, 16-bit, signed, as the WAV file stores it.
constexpr int littleEndian = 0;
constexpr int wordBytes = 2;
constexpr int signedSamples = 1;

std::size_t readSource(void* data, std::size_t size, std::size_t count, void* source) {
    return host::fread(data, size, count, static_cast<std::FILE*>(source));
}

int seekSource(void* source, ogg_int64_t offset, int origin) {
    return host::fseek(static_cast<std::FILE*>(source), static_cast<long>(offset), origin);
}

int closeSource(void* source) {
    return host::fclose(static_cast<std::FILE*>(source));
}

long tellSource(void* source) {
    return host::ftell(static_cast<std::FILE*>(source));
}

constexpr ov_callbacks stdioCallbacks{readSource, seekSource, closeSource, tellSource};

// Channels, rate and a store sized for every sample of the current stream, all checked against the
// bounds of the WAV file it becomes.
bool prepareStore(OggVorbis_File& vorbis, PcmSound& pcm) {
    const vorbis_info* info = ov_info(&vorbis, -1);
    if (!info || info->channels < 1 || info->channels > 255 || info->rate < 1 || info->rate > INT_MAX) {
        return false;
    }
    const ogg_int64_t frames = ov_pcm_total(&vorbis, -1);
    const std::size_t frameBytes = static_cast<std::size_t>(info->channels) * bytesPerSample;
    if (frames <= 0 || static_cast<std::uint64_t>(frames) > maxPcmBytes / frameBytes) {
        return false;
    }
    pcm.channels = static_cast<std::uint16_t>(info->channels);
    pcm.samplesPerSecond = static_cast<std::uint32_t>(info->rate);
    pcm.bytes.assign(static_cast<std::size_t>(frames) * frameBytes, 0);
    return true;
}

// Reads until the store is full or the decoder has nothing more to give.
void fillStore(OggVorbis_File& vorbis, PcmSound& pcm) {
    std::size_t filled = 0;
    while (filled < pcm.bytes.size()) {
        const int wanted = static_cast<int>(std::min<std::size_t>(pcm.bytes.size() - filled, INT_MAX));
        int bitstream = 0;
        const long got = ov_read(&vorbis, reinterpret_cast<char*>(pcm.bytes.data() + filled), wanted,
                                 littleEndian, wordBytes, signedSamples, &bitstream);
        if (got <= 0) {
            return;
        }
        filled += static_cast<std::size_t>(got);
    }
}

} // namespace

std::string convertedSoundName(const std::string& oggFile) {
    return kernel::stripFileExtension(oggFile) + "_new.wav";
}

bool decodeOggToPcm(const std::string& oggFile, PcmSound& pcm) {
    std::FILE* file = host::fopen(oggFile.c_str(), "rb");
    if (!file) {
        return false;
    }
    OggVorbis_File vorbis{};
    // A failed open leaves the file to its opener.
    if (ov_open_callbacks(file, &vorbis, nullptr, 0, stdioCallbacks) < 0) {
        host::fclose(file);
        return false;
    }
    const bool prepared = prepareStore(vorbis, pcm);
    if (prepared) {
        fillStore(vorbis, pcm);
    }
    ov_clear(&vorbis);
    return prepared;
}

host::FILETIME lastWriteTime(const std::string& file) {
    host::FILETIME written;
    const host::HANDLE handle =
        host::CreateFile(file.c_str(), host::GENERIC_READ, 0, nullptr, host::OPEN_EXISTING, 0, nullptr);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return written;
    }
    if (!host::GetFileTime(handle, nullptr, nullptr, &written)) {
        written = host::FILETIME{};
    }
    host::CloseHandle(handle);
    return written;
}

bool convertOggToWav(const std::string& oggFile, const std::string& wavName) {
    PcmSound pcm;
    return decodeOggToPcm(oggFile, pcm) && writeWavFile(wavName, pcm, lastWriteTime(oggFile));
}

} // namespace ui
