#pragma once
// Sound, shaped as the sound library and the DirectSound object the engine was written against, over
// SDL2_mixer. Effects are samples loaded whole from WAV or OGG files and played on mixing channels; music
// streams read their OGG file as they play (a WAV tune is loaded whole), on channels of their own so that
// two tunes can cross-fade. A channel
// handle carries a generation: once its mixing channel plays another sound, the old handle is ignored by
// every call. Without an audio device FSOUND_Init fails and every later call fails harmlessly, so the game
// runs silent. Every call may come from any thread.

#include "host/Display.h"
#include "host/Types.h"
#include "host/Window.h"

#include <cstddef>
#include <cstdint>

namespace host {

// ---------------------------------------------------------------------------------------------------
// The sound library

// The version FSOUND_GetVersion reports (the engine wants at least 3.75).
constexpr float FSOUND_VERSION = 3.80f;

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FSOUND_DSPUNIT;

// Channel arguments: any free channel (play calls), every channel (FSOUND_StopSound).
constexpr int FSOUND_FREE = -1;
constexpr int FSOUND_ALL = -3;

// Output types for FSOUND_SetOutput; the mixer picks its own output, so these are only stored.
constexpr int FSOUND_OUTPUT_NOSOUND = 0;
constexpr int FSOUND_OUTPUT_WINMM = 1;
constexpr int FSOUND_OUTPUT_DSOUND = 2;

// Flags of FSOUND_Init (accepted and not needed here).
constexpr unsigned int FSOUND_INIT_USEDEFAULTMIDISYNTH = 0x1;
constexpr unsigned int FSOUND_INIT_GLOBALFOCUS = 0x2;

// Mode flags of samples and streams. Only the loop flags change anything: the format of a file comes
// from the file itself.
constexpr unsigned int FSOUND_LOOP_OFF = 0x1;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x2;
constexpr unsigned int FSOUND_LOOP_BIDI = 0x4;
constexpr unsigned int FSOUND_8BITS = 0x8;
constexpr unsigned int FSOUND_16BITS = 0x10;
constexpr unsigned int FSOUND_MONO = 0x20;
constexpr unsigned int FSOUND_STEREO = 0x40;
constexpr unsigned int FSOUND_UNSIGNED = 0x80;
constexpr unsigned int FSOUND_SIGNED = 0x100;
constexpr unsigned int FSOUND_NORMAL = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO;

// Pan value of the centre.
constexpr int FSOUND_STEREOPAN = 128;

// Error codes of FSOUND_GetError (the last failure of any thread).
constexpr int FMOD_ERR_NONE = 0;
constexpr int FMOD_ERR_UNINITIALIZED = 1; // sound is not up
constexpr int FMOD_ERR_INIT = 2;          // no audio device could be opened
constexpr int FMOD_ERR_PLAY = 3;          // no free channel to play on
constexpr int FMOD_ERR_INVALID_PARAM = 4; // null or unknown sample or stream, stale or bad channel, bad value
constexpr int FMOD_ERR_FILE_NOTFOUND = 5;
constexpr int FMOD_ERR_FILE_FORMAT = 6; // the file is no sound the mixer can decode (or it is broken)

float FSOUND_GetVersion();
// Starts loading the mixer on a thread of its own, for a program that starts sound a little later:
// FSOUND_Init then waits only for what is left of it. Optional; later calls do nothing.
void PrepareSound();
// The window the platform's output was bound to; nothing here needs it.
bool FSOUND_SetHWND(void* window);
bool FSOUND_SetOutput(int outputType);
// Opens the audio device: 44100 Hz 16-bit stereo output with `channels` effect channels (the rate asked
// for is the mixer's too). True when sound is up (also when it already was).
bool FSOUND_Init(int rate, int channels, unsigned int flags);
int FSOUND_GetError();
// Stops everything, frees every sample and stream still open and closes the device. Handles of the freed
// samples and streams are then ignored by every call. The device's last buffers of silence play out on a
// thread of its own, which the next FSOUND_Init waits for: a program that ends after the close does not.
void FSOUND_Close();

// Loads a whole WAV or OGG file from disk by name (index: FSOUND_FREE; offset and length: 0). Null when
// sound is down or the file is missing, unreadable or not a sound.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);
// Stops the channels that play the sample and frees it.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
// FSOUND_LOOP_OFF or FSOUND_LOOP_NORMAL, for the sample's next plays.
bool FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);
unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample);

// Plays the sample on a free effect channel at volume 255 and pan 128: the channel handle (0 or more),
// else -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
// The same, optionally paused (dsp: null); a paused channel keeps its place until FSOUND_SetPaused.
int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT* dsp, bool paused);
// Volume 0..255, scaled by the effects master volume.
bool FSOUND_SetVolume(int channel, int volume);
// Volume 0..255, not scaled by the effects master volume (music).
bool FSOUND_SetVolumeAbsolute(int channel, int volume);
int FSOUND_GetVolume(int channel);
// Pan 0 (left) .. 128 (centre) .. 255 (right).
bool FSOUND_SetPan(int channel, int pan);
int FSOUND_GetPan(int channel);
bool FSOUND_SetPaused(int channel, bool paused);
bool FSOUND_GetPaused(int channel);
// Stops the channel, or every channel with FSOUND_ALL (streams too).
bool FSOUND_StopSound(int channel);
bool FSOUND_IsPlaying(int channel);
// 0..255: scales every channel whose volume was set with FSOUND_SetVolume (or by a play call).
void FSOUND_SetSFXMasterVolume(int volume);
int FSOUND_GetSFXMasterVolume();
int FSOUND_GetChannelsPlaying();

// Opens a music stream: an OGG file is decoded as it plays, a WAV file loaded whole. The mode's
// FSOUND_LOOP_NORMAL makes it loop (the game's 0x132); one that does not loop stops at its end. Null when
// sound is down or the file is missing; a file that cannot be decoded leaves the stream silent.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
// Plays the stream at absolute volume 255 on a channel kept for music (channel: FSOUND_FREE). A stream
// that plays already gives its current channel. -1 when no music channel is free.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
bool FSOUND_Stream_Stop(FSOUND_STREAM* stream);
// Stops and frees the stream.
bool FSOUND_Stream_Close(FSOUND_STREAM* stream);
// Only position 0 (back to the start) is supported; a playing stream restarts on the same channel with
// the same handle, volume, pan and pause state.
bool FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position);
// The channel the stream plays on, else -1.
int FSOUND_Stream_GetChannel(FSOUND_STREAM* stream);

// ---------------------------------------------------------------------------------------------------
// DirectSound: a memory-backed stand-in. Buffers only store PCM (the engine decodes into one); nothing
// of it is played. DirectSoundCreate succeeds only while sound is up.

using WORD = std::uint16_t;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;

// The largest secondary buffer.
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

struct DSBUFFERDESC {
    DWORD dwSize = 0; // sizeof(DSBUFFERDESC) (the engine's 20 is accepted too)
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0; // 0 for the primary buffer
    DWORD dwReserved = 0;
    WAVEFORMATEX* lpwfxFormat = nullptr; // null for the primary buffer
};

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

// Lock flags.
constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = E_FAIL;
constexpr HRESULT DSERR_INVALIDPARAM = makeResult(0x80070057);
constexpr HRESULT DSERR_OUTOFMEMORY = makeResult(0x8007000E);
constexpr HRESULT DSERR_BADFORMAT = makeResult(0x88780064);
constexpr HRESULT DSERR_INVALIDCALL = makeResult(0x88780032);
constexpr HRESULT DSERR_NODRIVER = makeResult(0x88780078);

// A block of PCM bytes with its format. Counted; the last Release frees it.
class IDirectSoundBuffer {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // With format null: *sizeWritten = the size of the format block. Otherwise copies the format into
    // the block of sizeAllocated bytes (at most sizeof(WAVEFORMATEX)).
    virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) = 0;
    // Primary buffers only.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // The bytes [offset, offset + bytes) of a secondary buffer, wrapping round at its end into the second
    // part (audio2 null and bytes2 0 when it does not wrap). DSBLOCK_ENTIREBUFFER locks all of it.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** audio1, DWORD* bytes1, void** audio2,
                         DWORD* bytes2, DWORD flags) = 0;
    // Fails unless the pointers are those the last Lock gave.
    virtual HRESULT Unlock(void* audio1, DWORD bytes1, void* audio2, DWORD bytes2) = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // A primary buffer (DSBCAPS_PRIMARYBUFFER, no bytes, no format) or a secondary one of dwBufferBytes
    // bytes (1 .. DSBSIZE_MAX) in a PCM format, filled with zeros.
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) = 0;

protected:
    virtual ~IDirectSound() = default;
};

// device: null (the default device). DSERR_NODRIVER while sound is down.
HRESULT DirectSoundCreate(const void* device, IDirectSound** directSound, void* outer);

// Calls that host::testing::failCall can make fail: "FSOUND_Init", "FSOUND_Sample_Load",
// "FSOUND_Stream_Open", "DirectSoundCreate", "IDirectSound::SetCooperativeLevel",
// "IDirectSound::CreateSoundBuffer" and "IDirectSoundBuffer::Lock".
namespace testing {
// The mixer volume (0..128) of the channel behind a handle, else -1 (stale handle, sound down).
int soundChannelMixerVolume(int channel);
// Where the tune of an open stream stands; Unknown for a stream that is not open.
enum class StreamTune { Unknown, Decoding, Decoded, Undecodable };
StreamTune soundStreamTune(FSOUND_STREAM* stream);
// What the loaded samples hold: the bytes of their sounds, and how many device-format copies made for plays
// their channels still hold, with those copies' bytes.
struct SampleMemory {
    std::size_t sampleBytes = 0;
    int copies = 0;
    std::size_t copyBytes = 0;
};
SampleMemory soundSampleMemory();
} // namespace testing

} // namespace host
