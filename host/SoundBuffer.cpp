// The DirectSound stand-in: an object that exists while sound is up, and buffers that are blocks of
// memory with a PCM format. The engine only stores decoded PCM in them; nothing here is played.

#include "host/Sound.h"

#include "host/ComObject.h"
#include "host/SoundInternal.h"
#include "host/Testing.h"

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace host {
namespace {

// The engine describes its buffers with the 20-byte description of the platform's 32-bit layout.
constexpr DWORD compactDescriptionSize = 20;
constexpr DWORD minFrequency = 100;
constexpr DWORD maxFrequency = 200000;

bool validPcm(const WAVEFORMATEX* format) {
    if (format == nullptr || format->wFormatTag != WAVE_FORMAT_PCM) {
        return false;
    }
    if (format->nChannels < 1 || format->nChannels > 8) {
        return false;
    }
    if (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) {
        return false;
    }
    if (format->nSamplesPerSec < minFrequency || format->nSamplesPerSec > maxFrequency) {
        return false;
    }
    return format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
}

WAVEFORMATEX outputFormat() {
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    return format;
}

class MemorySoundBuffer final : public ComObject<IDirectSoundBuffer> {
public:
    MemorySoundBuffer(bool primary, const WAVEFORMATEX& format, std::vector<std::uint8_t> bytes)
        : primary(primary), format(format), bytes(std::move(bytes)) {}

    HRESULT GetFormat(WAVEFORMATEX* out, DWORD sizeAllocated, DWORD* sizeWritten) override {
        if (out == nullptr) {
            if (sizeWritten == nullptr) {
                return DSERR_INVALIDPARAM;
            }
            *sizeWritten = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        if (sizeAllocated < sizeof(WAVEFORMATEX)) {
            return DSERR_INVALIDPARAM;
        }
        std::lock_guard lock(mutex);
        *out = format;
        if (sizeWritten != nullptr) {
            *sizeWritten = sizeof(WAVEFORMATEX);
        }
        return DS_OK;
    }

    HRESULT SetFormat(const WAVEFORMATEX* newFormat) override {
        if (!primary) {
            return DSERR_INVALIDCALL;
        }
        if (!validPcm(newFormat)) {
            return DSERR_BADFORMAT;
        }
        std::lock_guard lock(mutex);
        format = *newFormat;
        return DS_OK;
    }

    HRESULT Lock(DWORD offset, DWORD count, void** audio1, DWORD* bytes1, void** audio2, DWORD* bytes2,
                 DWORD flags) override {
        if (primary) {
            return DSERR_INVALIDCALL;
        }
        if (audio1 == nullptr || bytes1 == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        if (testing::shouldFail("IDirectSoundBuffer::Lock")) {
            return DSERR_GENERIC;
        }
        const auto size = static_cast<DWORD>(bytes.size());
        if ((flags & DSBLOCK_FROMWRITECURSOR) != 0) {
            offset = 0; // nothing plays, so the write cursor stays at the start
        }
        if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
            count = size;
        }
        if (offset >= size || count == 0 || count > size) {
            return DSERR_INVALIDPARAM;
        }
        const DWORD first = std::min(count, size - offset);
        const DWORD second = count - first;
        if (second > 0 && (audio2 == nullptr || bytes2 == nullptr)) {
            return DSERR_INVALIDPARAM;
        }
        *audio1 = bytes.data() + offset;
        *bytes1 = first;
        if (audio2 != nullptr) {
            *audio2 = second > 0 ? bytes.data() : nullptr;
        }
        if (bytes2 != nullptr) {
            *bytes2 = second;
        }
        return DS_OK;
    }

    HRESULT Unlock(void* audio1, DWORD bytes1, void* audio2, DWORD bytes2) override {
        if (primary || !inside(audio1, bytes1) || (audio2 != nullptr && !inside(audio2, bytes2))) {
            return DSERR_INVALIDPARAM;
        }
        return DS_OK;
    }

private:
    ~MemorySoundBuffer() override = default;

    bool inside(const void* part, DWORD count) const {
        const auto* begin = bytes.data();
        const auto* at = static_cast<const std::uint8_t*>(part);
        return at >= begin && at < begin + bytes.size() &&
               count <= static_cast<DWORD>(begin + bytes.size() - at);
    }

    const bool primary;
    std::mutex mutex;
    WAVEFORMATEX format;
    std::vector<std::uint8_t> bytes;
};

class MemoryDirectSound final : public ComObject<IDirectSound> {
public:
    HRESULT SetCooperativeLevel(HWND, DWORD level) override {
        if (level < DSSCL_NORMAL || level > 4) {
            return DSERR_INVALIDPARAM;
        }
        long code = 0;
        if (testing::shouldFail("IDirectSound::SetCooperativeLevel", &code)) {
            return code < 0 ? static_cast<HRESULT>(code) : DSERR_GENERIC;
        }
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) override {
        if (buffer == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *buffer = nullptr;
        if (desc == nullptr || outer != nullptr ||
            (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != compactDescriptionSize)) {
            return DSERR_INVALIDPARAM;
        }
        if (testing::shouldFail("IDirectSound::CreateSoundBuffer")) {
            return DSERR_OUTOFMEMORY;
        }
        if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) {
                return DSERR_INVALIDPARAM;
            }
            *buffer = new MemorySoundBuffer(true, outputFormat(), {});
            return DS_OK;
        }
        if (!validPcm(desc->lpwfxFormat)) {
            return DSERR_BADFORMAT;
        }
        if (desc->dwBufferBytes == 0 || desc->dwBufferBytes > DSBSIZE_MAX) {
            return DSERR_INVALIDPARAM;
        }
        try {
            std::vector<std::uint8_t> bytes(desc->dwBufferBytes);
            *buffer = new MemorySoundBuffer(false, *desc->lpwfxFormat, std::move(bytes));
        } catch (const std::bad_alloc&) {
            return DSERR_OUTOFMEMORY;
        }
        return DS_OK;
    }

private:
    ~MemoryDirectSound() override = default;
};

} // namespace

HRESULT DirectSoundCreate(const void* device, IDirectSound** directSound, void* outer) {
    if (directSound == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *directSound = nullptr;
    if (device != nullptr || outer != nullptr) {
        return DSERR_INVALIDPARAM;
    }
    if (!sound::isUp() || testing::shouldFail("DirectSoundCreate")) {
        return DSERR_NODRIVER;
    }
    *directSound = new MemoryDirectSound();
    return DS_OK;
}

} // namespace host
