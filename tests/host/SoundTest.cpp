#include "host/Sound.h"

#include "host/Testing.h"
#include "host/Time.h"

#include "Eventually.h"
#include "RuntimeDir.h"
#include "SoundFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::ogg;
using testsupport::tone;
using testsupport::wav;

int indexOf(int handle) {
    return handle & 0xFFF;
}

host::FSOUND_SAMPLE* load(const std::string& path, unsigned mode = host::FSOUND_NORMAL) {
    return host::FSOUND_Sample_Load(host::FSOUND_FREE, path.c_str(), mode, 0, 0);
}

// Opened as the game opens its music: looping, 16-bit signed mono.
host::FSOUND_STREAM* stream(const std::string& path) {
    return host::FSOUND_Stream_Open(path.c_str(), 0x132, 0, 0);
}

class HostSound : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_TRUE(host::FSOUND_Init(44100, 32, host::FSOUND_INIT_GLOBALFOCUS));
        wavFile = dir.write("tone.wav", wav(tone(22050)));
    }
    void TearDown() override {
        host::FSOUND_Close();
        host::testing::clearFailures();
    }

    testsupport::TempDir dir;
    std::string wavFile;
};

TEST_F(HostSound, InitFallsBackAndSilentSoundFailsHarmlessly) {
    host::FSOUND_Close();
    host::testing::failCall("FSOUND_Init", -1, 1);
    EXPECT_FALSE(host::FSOUND_Init(44100, 32, 2));
    EXPECT_EQ(host::FSOUND_GetError(), host::FMOD_ERR_INIT);
    EXPECT_EQ(load(wavFile), nullptr);
    EXPECT_EQ(host::FSOUND_PlaySound(host::FSOUND_FREE, nullptr), -1);
    EXPECT_EQ(stream(wavFile), nullptr);
    EXPECT_FALSE(host::FSOUND_StopSound(host::FSOUND_ALL));
    host::IDirectSound* directSound = nullptr;
    EXPECT_EQ(host::DirectSoundCreate(nullptr, &directSound, nullptr), host::DSERR_NODRIVER);
    EXPECT_TRUE(host::FSOUND_SetOutput(host::FSOUND_OUTPUT_WINMM));
    EXPECT_TRUE(host::FSOUND_Init(44100, 32, 2));
}

TEST_F(HostSound, SamplesLoadFromWavAndOggAndBrokenFilesGiveNull) {
    auto* wavSample = load(wavFile);
    auto* oggSample = load(dir.write("tone.ogg", ogg(tone(22050))));
    ASSERT_NE(wavSample, nullptr);
    ASSERT_NE(oggSample, nullptr);
    EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, oggSample), 0);
    const std::string whole = wav(tone(1000));
    EXPECT_EQ(load(dir.file("missing.wav")), nullptr);
    EXPECT_EQ(host::FSOUND_GetError(), host::FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(load(dir.path().string()), nullptr);
    EXPECT_EQ(load(dir.write("empty.wav", "")), nullptr);
    EXPECT_EQ(load(dir.write("header.wav", whole.substr(0, 30))), nullptr);
    EXPECT_EQ(load(dir.write("noise.wav", std::string(3000, '\x5A'))), nullptr);
    EXPECT_EQ(load(dir.write("noise.ogg", "OggS" + std::string(3000, '\x17'))), nullptr);
    EXPECT_EQ(host::FSOUND_GetError(), host::FMOD_ERR_FILE_FORMAT);
    host::FSOUND_Sample_Free(wavSample);
    host::FSOUND_Sample_Free(oggSample);
}

TEST_F(HostSound, StaleHandleOfAReusedChannelIsIgnored) {
    auto* sample = load(wavFile);
    ASSERT_NE(sample, nullptr);
    ASSERT_TRUE(host::FSOUND_Sample_SetMode(sample, host::FSOUND_LOOP_NORMAL));
    const int first = host::FSOUND_PlaySound(host::FSOUND_FREE, sample);
    ASSERT_GE(first, 0);
    EXPECT_TRUE(host::FSOUND_StopSound(first));
    const int second = host::FSOUND_PlaySoundEx(host::FSOUND_FREE, sample, nullptr, true);
    ASSERT_GE(second, 0);
    ASSERT_EQ(indexOf(second), indexOf(first));
    ASSERT_NE(second, first);
    EXPECT_TRUE(host::FSOUND_GetPaused(second));
    EXPECT_TRUE(host::FSOUND_SetPaused(second, false));

    EXPECT_FALSE(host::FSOUND_StopSound(first));
    EXPECT_FALSE(host::FSOUND_SetVolume(first, 10));
    EXPECT_FALSE(host::FSOUND_SetPan(first, 0));
    EXPECT_FALSE(host::FSOUND_SetPaused(first, true));
    EXPECT_EQ(host::testing::soundChannelMixerVolume(first), -1);
    EXPECT_TRUE(host::FSOUND_IsPlaying(second));
    EXPECT_FALSE(host::FSOUND_GetPaused(second));
    EXPECT_EQ(host::testing::soundChannelMixerVolume(second), 128);
    EXPECT_EQ(host::FSOUND_GetPan(second), 128);

    // Freeing the sample stops its channel; the owner's later stop of that handle harms nobody.
    host::FSOUND_Sample_Free(sample);
    EXPECT_FALSE(host::FSOUND_IsPlaying(second));
    auto* other = load(wavFile);
    const int third = host::FSOUND_PlaySound(host::FSOUND_FREE, other);
    ASSERT_EQ(indexOf(third), indexOf(second));
    EXPECT_FALSE(host::FSOUND_StopSound(second));
    EXPECT_TRUE(host::FSOUND_IsPlaying(third));
}

TEST_F(HostSound, MasterVolumeScalesEffectsButNotAbsoluteVolumes) {
    auto* sample = load(wavFile, host::FSOUND_LOOP_NORMAL);
    auto* music = stream(wavFile);
    ASSERT_NE(sample, nullptr);
    ASSERT_NE(music, nullptr);
    const int effect = host::FSOUND_PlaySound(host::FSOUND_FREE, sample);
    const int tune = host::FSOUND_Stream_Play(host::FSOUND_FREE, music);
    ASSERT_GE(effect, 0);
    ASSERT_GE(tune, 0);
    EXPECT_TRUE(host::FSOUND_SetVolumeAbsolute(tune, 255));

    host::FSOUND_SetSFXMasterVolume(128);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(effect), 64);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(tune), 128);
    EXPECT_TRUE(host::FSOUND_SetVolume(effect, 255));
    EXPECT_EQ(host::testing::soundChannelMixerVolume(effect), 64);
    host::FSOUND_SetSFXMasterVolume(0);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(effect), 0);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(tune), 128);
    EXPECT_TRUE(host::FSOUND_SetVolumeAbsolute(tune, 0));
    host::FSOUND_SetSFXMasterVolume(255);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(effect), 128);
    EXPECT_EQ(host::testing::soundChannelMixerVolume(tune), 0);
}

TEST_F(HostSound, TwoStreamsPlayAtOnceAndRewindOnTheirChannel) {
    auto* first = stream(wavFile);
    auto* second = stream(dir.write("tune.ogg", ogg(tone(22050))));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(stream(dir.file("none.ogg")), nullptr);

    const int a = host::FSOUND_Stream_Play(host::FSOUND_FREE, first);
    const int b = host::FSOUND_Stream_Play(host::FSOUND_FREE, second);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(indexOf(a), indexOf(b));
    EXPECT_EQ(host::FSOUND_Stream_Play(host::FSOUND_FREE, first), a);
    EXPECT_TRUE(host::FSOUND_IsPlaying(a));
    EXPECT_TRUE(host::FSOUND_IsPlaying(b));

    EXPECT_TRUE(host::FSOUND_SetVolumeAbsolute(b, 51));
    EXPECT_TRUE(host::FSOUND_SetPaused(b, true));
    EXPECT_TRUE(host::FSOUND_Stream_SetPosition(second, 0));
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(second), b);
    EXPECT_TRUE(host::FSOUND_GetPaused(b));
    EXPECT_EQ(host::testing::soundChannelMixerVolume(b), 26);
    EXPECT_TRUE(host::FSOUND_SetPaused(b, false));
    EXPECT_FALSE(host::FSOUND_Stream_SetPosition(second, 100));

    EXPECT_TRUE(host::FSOUND_Stream_Stop(first));
    EXPECT_FALSE(host::FSOUND_IsPlaying(a));
    EXPECT_TRUE(host::FSOUND_Stream_Close(first));
    EXPECT_TRUE(host::FSOUND_IsPlaying(b));
    const int again = host::FSOUND_Stream_Play(host::FSOUND_FREE, second);
    EXPECT_EQ(again, b);
    EXPECT_TRUE(host::FSOUND_Stream_Close(second));
    EXPECT_FALSE(host::FSOUND_IsPlaying(b));
}

bool tuneBecomes(host::FSOUND_STREAM* stream, host::testing::StreamTune state) {
    return testsupport::eventually([&] { return host::testing::soundStreamTune(stream) == state; });
}

// Opening a tune returns before it is decoded: its stream plays silence on its channel meanwhile, and the
// tune then takes that place on the same handle, as paused and as loud as the channel was.
TEST_F(HostSound, AStreamPlaysOnOneHandleBeforeAndAfterItsTuneIsDecoded) {
    auto* music = stream(dir.write("tune.ogg", ogg(tone(44100))));
    ASSERT_NE(music, nullptr);
    const int channel = host::FSOUND_Stream_Play(host::FSOUND_FREE, music);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(host::FSOUND_IsPlaying(channel));
    EXPECT_TRUE(host::FSOUND_SetVolumeAbsolute(channel, 51));
    EXPECT_TRUE(host::FSOUND_SetPaused(channel, true));
    ASSERT_TRUE(tuneBecomes(music, host::testing::StreamTune::Decoded));
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(music), channel);
    EXPECT_TRUE(host::FSOUND_GetPaused(channel));
    EXPECT_EQ(host::testing::soundChannelMixerVolume(channel), 26);
    EXPECT_TRUE(host::FSOUND_SetPaused(channel, false));
    EXPECT_TRUE(host::FSOUND_IsPlaying(channel));
    EXPECT_TRUE(host::FSOUND_Stream_SetPosition(music, 0));
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(music), channel);
}

// What a file holds is known once it is decoded: a file without a tune leaves its stream silent. Streams
// closed, and sound closed, while tunes are still being decoded let those tunes go, and sound opens again at
// once after a close.
TEST_F(HostSound, StreamsAndSoundCloseWhileTunesAreDecoded) {
    auto* broken = stream(dir.write("noise.ogg", "OggS" + std::string(3000, '\x17')));
    ASSERT_NE(broken, nullptr);
    const int silent = host::FSOUND_Stream_Play(host::FSOUND_FREE, broken);
    ASSERT_GE(silent, 0);
    ASSERT_TRUE(tuneBecomes(broken, host::testing::StreamTune::Undecodable));
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(broken), silent);
    EXPECT_TRUE(host::FSOUND_Stream_Close(broken));
    EXPECT_FALSE(host::FSOUND_IsPlaying(silent));

    const std::string tune = dir.write("long.ogg", ogg(tone(220500)));
    std::vector<host::FSOUND_STREAM*> open;
    for (int i = 0; i < 8; ++i) {
        auto* opened = stream(tune);
        ASSERT_NE(opened, nullptr);
        if (i % 2 == 0) {
            EXPECT_GE(host::FSOUND_Stream_Play(host::FSOUND_FREE, opened), 0);
        }
        if (i < 4) {
            EXPECT_TRUE(host::FSOUND_Stream_Close(opened));
        } else {
            open.push_back(opened);
        }
    }
    host::FSOUND_Close();
    EXPECT_EQ(host::testing::soundStreamTune(open.front()), host::testing::StreamTune::Unknown);
    EXPECT_EQ(stream(tune), nullptr);
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, host::FSOUND_INIT_GLOBALFOCUS));
    auto* again = stream(tune);
    ASSERT_NE(again, nullptr);
    EXPECT_GE(host::FSOUND_Stream_Play(host::FSOUND_FREE, again), 0);
    EXPECT_TRUE(tuneBecomes(again, host::testing::StreamTune::Decoded));
}

// The same bytes as a stereo WAV file: the tone in both channels.
std::string stereoWav(const std::vector<std::int16_t>& mono, std::uint32_t rate) {
    std::vector<std::int16_t> both;
    for (const auto sample : mono) {
        both.insert(both.end(), {sample, sample});
    }
    std::string file = wav(both, rate);
    file.replace(22, 2, testsupport::littleEndian(2, 2));
    file.replace(28, 4, testsupport::littleEndian(rate * 4, 4));
    file.replace(32, 2, testsupport::littleEndian(4, 2));
    return file;
}

// A mono WAV file is held as its own PCM; each play holds a copy in the device's format for as long as its
// channel plays, and gives it back when the channel is stopped, ends, or its sample is freed. A file in the
// device's format plays as it is held.
TEST_F(HostSound, MonoSamplesStayMonoAndPlaysGiveTheirCopiesBack) {
    auto* mono = load(dir.write("mono.wav", wav(tone(22050), 44100)));
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(host::testing::soundSampleMemory().sampleBytes, 44100u);
    ASSERT_TRUE(host::FSOUND_Sample_SetMode(mono, host::FSOUND_LOOP_NORMAL));
    std::vector<int> channels;
    for (int i = 0; i < 3; ++i) {
        channels.push_back(host::FSOUND_PlaySound(host::FSOUND_FREE, mono));
        ASSERT_GE(channels.back(), 0);
    }
    auto memory = host::testing::soundSampleMemory();
    EXPECT_EQ(memory.copies, 3);
    EXPECT_EQ(memory.copyBytes, 3u * 88200u);
    EXPECT_TRUE(host::FSOUND_StopSound(channels[0]));
    EXPECT_EQ(host::testing::soundSampleMemory().copies, 2);
    EXPECT_TRUE(host::FSOUND_IsPlaying(channels[1]));
    EXPECT_TRUE(host::FSOUND_StopSound(host::FSOUND_ALL));
    EXPECT_EQ(host::testing::soundSampleMemory().copies, 0);

    // Paused, a play keeps its copy; freeing the sample stops it and frees both.
    const int paused = host::FSOUND_PlaySoundEx(host::FSOUND_FREE, mono, nullptr, true);
    ASSERT_GE(paused, 0);
    EXPECT_EQ(host::testing::soundSampleMemory().copies, 1);
    host::FSOUND_Sample_Free(mono);
    EXPECT_FALSE(host::FSOUND_IsPlaying(paused));
    memory = host::testing::soundSampleMemory();
    EXPECT_EQ(memory.copies, 0);
    EXPECT_EQ(memory.sampleBytes, 0u);

    auto* blip = load(dir.write("blip.wav", wav(tone(441), 44100)));
    ASSERT_NE(blip, nullptr);
    const int ends = host::FSOUND_PlaySound(host::FSOUND_FREE, blip);
    ASSERT_GE(ends, 0);
    EXPECT_TRUE(testsupport::eventually([&] { return !host::FSOUND_IsPlaying(ends); }));
    EXPECT_TRUE(testsupport::eventually([] { return host::testing::soundSampleMemory().copies == 0; }));

    auto* stereo = load(dir.write("stereo.wav", stereoWav(tone(1000), 44100)));
    ASSERT_NE(stereo, nullptr);
    EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, stereo), 0);
    memory = host::testing::soundSampleMemory();
    EXPECT_EQ(memory.sampleBytes, 882u + 4000u);
    EXPECT_EQ(memory.copies, 0);

    // Closing sound frees what plays.
    EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, blip), 0);
    host::FSOUND_Close();
    EXPECT_EQ(host::testing::soundSampleMemory().copies, 0);
}

TEST_F(HostSound, DirectSoundBufferStoresPcm) {
    host::IDirectSound* directSound = nullptr;
    ASSERT_EQ(host::DirectSoundCreate(nullptr, &directSound, nullptr), host::DS_OK);
    EXPECT_EQ(directSound->SetCooperativeLevel(nullptr, host::DSSCL_PRIORITY), host::DS_OK);
    host::WAVEFORMATEX format{host::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    host::DSBUFFERDESC desc{20, 0x80EA, 2000, 0, &format};
    host::IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(directSound->CreateSoundBuffer(&desc, &buffer, nullptr), host::DS_OK);
    void* data = nullptr;
    host::DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 2000, &data, &bytes, nullptr, nullptr, 0), host::DS_OK);
    EXPECT_EQ(bytes, 2000u);
    static_cast<char*>(data)[1999] = 7;
    EXPECT_EQ(buffer->Unlock(data, bytes, nullptr, 0), host::DS_OK);
    host::DWORD size = 0;
    ASSERT_EQ(buffer->GetFormat(nullptr, 0, &size), host::DS_OK);
    host::WAVEFORMATEX read;
    ASSERT_EQ(buffer->GetFormat(&read, size, nullptr), host::DS_OK);
    EXPECT_EQ(read.nSamplesPerSec, 22050u);
    EXPECT_EQ(read.nBlockAlign, 2);
    format.nBlockAlign = 3;
    host::IDirectSoundBuffer* bad = nullptr;
    EXPECT_EQ(directSound->CreateSoundBuffer(&desc, &bad, nullptr), host::DSERR_BADFORMAT);
    EXPECT_EQ(bad, nullptr);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(directSound->Release(), 0u);
}

TEST_F(HostSound, CallsFromTwoThreadsAtOnce) {
    auto* shared = load(wavFile);
    ASSERT_NE(shared, nullptr);
    std::thread loader([&] {
        for (int i = 0; i < 60; ++i) {
            auto* sample = load(wavFile, i % 2 ? host::FSOUND_LOOP_NORMAL : host::FSOUND_NORMAL);
            const int channel = host::FSOUND_PlaySound(host::FSOUND_FREE, sample);
            host::FSOUND_SetPan(channel, i * 4);
            host::FSOUND_Sample_Free(sample);
            host::FSOUND_StopSound(channel);
        }
    });
    for (int i = 0; i < 300; ++i) {
        const int channel = host::FSOUND_PlaySoundEx(host::FSOUND_FREE, shared, nullptr, true);
        host::FSOUND_SetVolume(channel, i % 256);
        host::FSOUND_SetSFXMasterVolume(255 - i % 256);
        host::FSOUND_SetPaused(channel, false);
        if (i % 3 == 0) {
            host::FSOUND_StopSound(i % 30 == 0 ? host::FSOUND_ALL : channel);
        }
    }
    loader.join();
    EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, shared), 0);
}

TEST(HostSoundOutput, PlayedSampleReachesTheDevice) {
    testsupport::TempDir dir;
    const std::string output = dir.file("out.raw");
    const testsupport::ScopedEnv driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", output);
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, 2));
    EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, load(dir.write("loud.wav", wav(tone(22050, 30000))))),
              0);
    // Only the bytes written since the last look are read; the device writes silence until the mix starts.
    bool heard = false;
    std::size_t seen = 0;
    for (int poll = 0; poll < 300 && !heard; ++poll) {
        host::Sleep(10);
        std::ifstream file(output, std::ios::binary);
        file.seekg(static_cast<std::streamoff>(seen));
        char block[4096];
        while (!heard && file.read(block, sizeof block).gcount() > 0) {
            const auto count = static_cast<std::size_t>(file.gcount());
            heard = std::any_of(block, block + count, [](char byte) { return byte != 0; });
            seen += count;
        }
    }
    host::FSOUND_Close();
    EXPECT_TRUE(heard);
}

// The device's output as the disk driver writes it, a little faster than it plays: 16-bit samples, left and
// right by turns.
class DiskOutput {
public:
    DiskOutput()
        : output(dir.file("out.raw")), driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", output),
          delay("SDL_DISKAUDIODELAY", "2") {}

    // What is written by now. The driver goes on writing faster than it plays: a read to the end of the file
    // chases it, and on a busy machine never catches up.
    std::vector<std::int16_t> samples() const {
        std::vector<std::int16_t> read(written());
        std::ifstream in(output, std::ios::binary);
        in.read(reinterpret_cast<char*>(read.data()), static_cast<std::streamsize>(read.size() * 2));
        read.resize(static_cast<std::size_t>(in.gcount()) / 2);
        return read;
    }
    std::size_t written() const {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(output, error);
        return error ? 0 : static_cast<std::size_t>(bytes / 2);
    }
    // Waits until count samples more than now are written.
    bool waitFor(std::size_t count) const {
        const std::size_t until = written() + count;
        return testsupport::eventually([&] { return written() >= until; });
    }

    testsupport::TempDir dir;
    const std::string output;

private:
    testsupport::ScopedEnv driver, file, delay;
};

int loudest(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t count) {
    int most = 0;
    for (std::size_t i = from; i < std::min(samples.size(), from + count); ++i) {
        most = std::max(most, std::abs(static_cast<int>(samples[i])));
    }
    return most;
}

std::size_t firstLoud(const std::vector<std::int16_t>& samples, std::size_t from = 0) {
    for (std::size_t i = from; i < samples.size(); ++i) {
        if (std::abs(static_cast<int>(samples[i])) > 1000) {
            return i;
        }
    }
    return samples.size();
}

// A quarter of a second of tone at 22050 Hz: half a second of stereo samples at the device's 44100 Hz.
constexpr int tuneSamples = 5513;
constexpr std::size_t tuneOutput = 22050;
// 50 ms of output: every stretch this long of the tone has its peaks.
constexpr std::size_t stretch = 4410;
// What the mixer and the file's buffer may hold of the time before a change.
constexpr std::size_t lag = 16384;

// A sound whose values never repeat in a short stretch, so that where it was heard can be told exactly.
std::vector<std::int16_t> noise(int count) {
    std::vector<std::int16_t> samples(count);
    std::uint32_t state = 12345;
    for (auto& sample : samples) {
        state = state * 1103515245u + 12345u;
        sample = static_cast<std::int16_t>(static_cast<int>((state >> 16) % 16000) - 8000);
    }
    return samples;
}

// Where the sound, scaled by volume/128, starts in one side of the output at or after from (the pause of a
// start may swallow its first samples), else -1; then every later sample of it must be heard there.
long heardAt(const std::vector<std::int16_t>& output, std::size_t from, int side,
             const std::vector<std::int16_t>& sound, int volume) {
    std::size_t at = from + side;
    while (at < output.size() && output[at] == 0) {
        at += 2;
    }
    const auto expected = [&](std::size_t i) { return sound[i] * volume / 128; };
    for (std::size_t offset = 0; offset + 16 < sound.size(); ++offset) {
        bool fits = at + 2 * (sound.size() - offset) <= output.size();
        for (std::size_t i = offset; fits && i < sound.size(); ++i) {
            fits = std::abs(output[at + 2 * (i - offset)] - expected(i)) <= 2;
        }
        if (fits) {
            return static_cast<long>(at);
        }
    }
    return -1;
}

// A mono effect is heard as it is, sample for sample, at a side's pan and at half volume, and two plays of
// one sample at once are each heard on their own side; the silent side stays silent.
TEST(HostSoundOutput, AMonoSampleIsHeardWholeAtEveryPanAndVolume) {
    DiskOutput device;
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, 2));
    const std::vector<std::int16_t> sound = noise(4410);
    auto* sample = load(device.dir.write("noise.wav", wav(sound, 44100)));
    ASSERT_NE(sample, nullptr);
    // As the engine starts an effect: paused, then its volume and pan, then on.
    const auto play = [&](int volume, int pan) {
        const int channel = host::FSOUND_PlaySoundEx(host::FSOUND_FREE, sample, nullptr, true);
        EXPECT_TRUE(host::FSOUND_SetVolume(channel, volume));
        EXPECT_TRUE(host::FSOUND_SetPan(channel, pan));
        EXPECT_TRUE(host::FSOUND_SetPaused(channel, false));
        return channel;
    };
    const auto heard = [&](const std::vector<int>& channels) {
        const std::size_t before = device.written() & ~std::size_t{1};
        for (const int channel : channels) {
            EXPECT_TRUE(testsupport::eventually([&] { return !host::FSOUND_IsPlaying(channel); }));
        }
        EXPECT_TRUE(device.waitFor(lag));
        EXPECT_EQ(host::testing::soundSampleMemory().copies, 0);
        return std::make_pair(device.samples(), before);
    };
    const auto silent = [](const std::vector<std::int16_t>& output, std::size_t from, int side) {
        for (std::size_t at = from + side; at < output.size(); at += 2) {
            if (output[at] != 0) {
                return false;
            }
        }
        return true;
    };

    auto [left, from] = heard({play(255, 0)});
    EXPECT_GE(heardAt(left, from, 0, sound, 128), 0);
    EXPECT_TRUE(silent(left, from, 1));

    auto [right, after] = heard({play(128, 255)});
    EXPECT_GE(heardAt(right, after, 1, sound, 64), 0);
    EXPECT_TRUE(silent(right, after, 0));

    auto [both, since] = heard({play(255, 0), play(255, 255)});
    EXPECT_GE(heardAt(both, since, 0, sound, 128), 0);
    EXPECT_GE(heardAt(both, since, 1, sound, 128), 0);
    host::FSOUND_Close();
}

// A tune read from its file as it plays goes on past its end while it loops, its volume fades it, and a
// stop ends it.
TEST(HostSoundOutput, AStreamedTuneLoopsFadesAndStops) {
    DiskOutput device;
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, 2));
    auto* music = stream(device.dir.write("tune.ogg", ogg(tone(tuneSamples), 22050)));
    ASSERT_NE(music, nullptr);
    ASSERT_TRUE(tuneBecomes(music, host::testing::StreamTune::Decoded));
    const int channel = host::FSOUND_Stream_Play(host::FSOUND_FREE, music);
    ASSERT_GE(channel, 0);
    ASSERT_TRUE(device.waitFor(4 * tuneOutput + lag));

    std::vector<std::int16_t> heard = device.samples();
    const std::size_t start = firstLoud(heard);
    ASSERT_LT(start + 3 * tuneOutput, heard.size());
    for (std::size_t at = start; at < start + 3 * tuneOutput; at += stretch) {
        EXPECT_GT(loudest(heard, at, stretch), 4000) << "silent " << at - start << " samples in";
    }
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(music), channel);

    ASSERT_TRUE(host::FSOUND_SetVolumeAbsolute(channel, 0));
    const std::size_t faded = device.written() + lag;
    ASSERT_TRUE(device.waitFor(lag + tuneOutput));
    heard = device.samples();
    EXPECT_EQ(loudest(heard, faded, heard.size() - faded), 0);

    ASSERT_TRUE(host::FSOUND_SetVolumeAbsolute(channel, 255));
    EXPECT_TRUE(host::FSOUND_Stream_Stop(music));
    EXPECT_EQ(host::FSOUND_Stream_GetChannel(music), -1);
    const std::size_t stopped = device.written() + lag;
    ASSERT_TRUE(device.waitFor(lag + tuneOutput));
    heard = device.samples();
    EXPECT_EQ(loudest(heard, stopped, heard.size() - stopped), 0);
    EXPECT_TRUE(host::FSOUND_Stream_Close(music));
    host::FSOUND_Close();
}

// A tune that does not loop plays once, whole, and its channel ends with it; played again it starts over.
TEST(HostSoundOutput, AStreamedTuneThatDoesNotLoopEndsWithItsLength) {
    DiskOutput device;
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, 2));
    auto* music =
        host::FSOUND_Stream_Open(device.dir.write("once.ogg", ogg(tone(tuneSamples), 22050)).c_str(),
                                 host::FSOUND_LOOP_OFF | host::FSOUND_NORMAL, 0, 0);
    ASSERT_NE(music, nullptr);
    ASSERT_TRUE(tuneBecomes(music, host::testing::StreamTune::Decoded));
    for (int play = 0; play < 2; ++play) {
        const std::size_t before = device.written();
        ASSERT_GE(host::FSOUND_Stream_Play(host::FSOUND_FREE, music), 0);
        ASSERT_TRUE(testsupport::eventually([&] { return host::FSOUND_Stream_GetChannel(music) == -1; }));
        ASSERT_TRUE(device.waitFor(lag));
        const std::vector<std::int16_t> heard = device.samples();
        const std::size_t start = firstLoud(heard, before);
        std::size_t end = start;
        for (std::size_t i = start; i < heard.size(); ++i) {
            if (std::abs(static_cast<int>(heard[i])) > 1000) {
                end = i;
            }
        }
        // The whole tone, to within the ramps of its ends, and nothing after it.
        EXPECT_NEAR(static_cast<double>(end - start), static_cast<double>(tuneOutput), 400.0)
            << "play " << play;
    }
    EXPECT_TRUE(host::FSOUND_Stream_Close(music));
    host::FSOUND_Close();
}

} // namespace

// The mixer's library is opened on a thread of its own while the program goes on; sound started meanwhile
// waits for it and then plays an effect and a tune as ever. Only a fresh process has not opened it yet.
TEST(HostSoundMixer, OpenedOnAThreadItPlaysAnEffectAndATune) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto playBoth = [] {
        DiskOutput device;
        host::PrepareSound();
        host::PrepareSound(); // a second request changes nothing
        bool played = host::FSOUND_Init(44100, 32, 2);
        auto* effect = load(device.dir.write("loud.wav", wav(tone(22050, 30000))));
        played = played && host::FSOUND_PlaySound(host::FSOUND_FREE, effect) >= 0 && device.waitFor(lag);
        const std::vector<std::int16_t> effectHeard = device.samples();
        played = played && firstLoud(effectHeard) < effectHeard.size();
        host::FSOUND_StopSound(host::FSOUND_ALL);

        auto* music = stream(device.dir.write("tune.ogg", ogg(tone(tuneSamples), 22050)));
        played = played && music != nullptr && tuneBecomes(music, host::testing::StreamTune::Decoded);
        const std::size_t from = device.written() + lag;
        played = played && host::FSOUND_Stream_Play(host::FSOUND_FREE, music) >= 0 &&
                 device.waitFor(2 * lag + tuneOutput);
        const std::vector<std::int16_t> tuneHeard = device.samples();
        played = played && firstLoud(tuneHeard, from) < tuneHeard.size();
        host::FSOUND_Close();
        std::exit(played ? 0 : 1);
    };
    EXPECT_EXIT(playBoth(), ::testing::ExitedWithCode(0), "");
}

// Without the mixer's library sound never comes up, as without an audio device: every call fails harmlessly
// and the reason is told.
TEST(HostSoundMixer, AMissingLibraryLeavesSoundDownAndEveryCallHarmless) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto withoutMixer = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        testsupport::TempDir dir;
        const std::string wavFile = dir.write("tone.wav", wav(tone(22050)));
        host::testing::failCall("dlopen:mixer");
        host::PrepareSound();
        bool harmless = !host::FSOUND_Init(44100, 32, 2) && host::FSOUND_GetError() == host::FMOD_ERR_INIT;
        host::FSOUND_SetOutput(host::FSOUND_OUTPUT_WINMM);
        harmless = harmless && !host::FSOUND_Init(44100, 32, 2);
        harmless = harmless && load(wavFile) == nullptr && stream(wavFile) == nullptr &&
                   host::FSOUND_PlaySound(host::FSOUND_FREE, nullptr) == -1 &&
                   !host::FSOUND_StopSound(host::FSOUND_ALL) && !host::FSOUND_IsPlaying(0);
        host::FSOUND_Close();
        std::exit(harmless ? 0 : 1);
    };
    EXPECT_EXIT(withoutMixer(), ::testing::ExitedWithCode(0), "the mixer library .* cannot be opened");
}
