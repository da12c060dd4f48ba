#include "tools/mkmedia/Generators.h"

#include "engine/ui/OggConversion.h"
#include "engine/ui/WavFile.h"
#include "host/Sound.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::int16_t> samplesOf(const ui::PcmSound& pcm) {
    std::vector<std::int16_t> samples(pcm.bytes.size() / 2);
    std::memcpy(samples.data(), pcm.bytes.data(), samples.size() * 2);
    return samples;
}

// The second differences of one channel, taken round the loop: small where the wave goes on smoothly,
// large at a break such as a note cut off at the loop's end.
std::vector<int> curvatures(const std::vector<std::int16_t>& samples, std::size_t channels,
                            std::size_t channel) {
    const std::size_t frames = samples.size() / channels;
    const auto at = [&](std::size_t frame) {
        return static_cast<int>(samples[(frame % frames) * channels + channel]);
    };
    std::vector<int> result(frames);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        result[frame] = std::abs(at(frame + 2) - 2 * at(frame + 1) + at(frame));
    }
    return result;
}

class MusicGenerator : public ::testing::Test {
protected:
    void SetUp() override { context.outputFolder = dir.path() / "media"; }

    static mkmedia::Entry entry(const std::string& file, const std::string& kind,
                                const std::string& seconds) {
        return mkmedia::Entry{"music", {{"file", file}, {"kind", kind}, {"seconds", seconds}}};
    }

    // Generates the entry and returns the path of its file.
    std::string generate(const mkmedia::Entry& entry) {
        std::string error;
        EXPECT_TRUE(mkmedia::generateMusic(entry, context, error)) << error;
        return (context.outputFolder / entry.file()).string();
    }

    testsupport::TempDir dir;
    mkmedia::Context context;
};

TEST_F(MusicGenerator, EveryKindDecodesToItsLengthAndConvertsIntoACompleteWav) {
    const std::pair<const char*, double> kinds[] = {{"loading", 20.0}, {"selection", 20.0}, {"game", 7.0}};
    for (const auto& [kind, seconds] : kinds) {
        SCOPED_TRACE(kind);
        const std::string ogg =
            generate(entry(std::string("music/") + kind + ".ogg", kind, std::to_string(seconds)));
        ui::PcmSound pcm;
        ASSERT_TRUE(ui::decodeOggToPcm(ogg, pcm));
        ASSERT_TRUE(pcm.channels == 1 || pcm.channels == 2);
        ASSERT_TRUE(pcm.samplesPerSecond == 22050 || pcm.samplesPerSecond == 44100);
        const double decoded =
            static_cast<double>(pcm.bytes.size()) / (2.0 * pcm.channels * pcm.samplesPerSecond);
        EXPECT_NEAR(decoded, seconds, seconds * 0.05);
        const std::vector<std::int16_t> samples = samplesOf(pcm);
        EXPECT_GT(*std::max_element(samples.begin(), samples.end()), 8000);

        const std::string wav = ui::convertedSoundName(ogg);
        ASSERT_TRUE(ui::convertOggToWav(ogg, wav));
        EXPECT_TRUE(ui::isCompleteWavFile(wav));
        const auto wavBytes = std::filesystem::file_size(wav);
        EXPECT_GT(wavBytes, pcm.bytes.size());
        EXPECT_LT(wavBytes, pcm.bytes.size() + 100);
    }
}

// Note tails wrap round to the start, so the wave runs on across the loop point as smoothly as almost
// anywhere inside the tune.
TEST_F(MusicGenerator, LoopsWithoutASeam) {
    ui::PcmSound pcm;
    ASSERT_TRUE(ui::decodeOggToPcm(generate(entry("music/loading.ogg", "loading", "6")), pcm));
    const std::vector<std::int16_t> samples = samplesOf(pcm);
    for (std::size_t channel = 0; channel < pcm.channels; ++channel) {
        std::vector<int> curvature = curvatures(samples, pcm.channels, channel);
        const std::size_t frames = curvature.size();
        // The two windows that reach from the last frames into the first.
        const int seam = std::max(curvature[frames - 2], curvature[frames - 1]);
        std::sort(curvature.begin(), curvature.end());
        EXPECT_LE(seam, curvature[frames * 99 / 100]) << channel;
    }
}

TEST_F(MusicGenerator, TheMixerStreamsTheConvertedFile) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_TRUE(host::FSOUND_Init(44100, 32, 0));
    const std::string ogg = generate(entry("music/loading.ogg", "loading", "4"));
    const std::string wav = ui::convertedSoundName(ogg);
    ASSERT_TRUE(ui::convertOggToWav(ogg, wav));
    host::FSOUND_STREAM* stream = host::FSOUND_Stream_Open(wav.c_str(), 0x132, 0, 0);
    EXPECT_NE(stream, nullptr);
    EXPECT_GE(host::FSOUND_Stream_Play(host::FSOUND_FREE, stream), 0);
    host::FSOUND_Stream_Close(stream);
    host::FSOUND_Close();
}

TEST_F(MusicGenerator, OutputIsTheSameEveryRunAndDiffersByKind) {
    const std::string first = testsupport::TempDir::read(generate(entry("a.ogg", "selection", "5")));
    const std::string second = testsupport::TempDir::read(generate(entry("a.ogg", "selection", "5")));
    const std::string other = testsupport::TempDir::read(generate(entry("a.ogg", "game", "5")));
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
}

TEST_F(MusicGenerator, FailuresAreReported) {
    std::string error;
    EXPECT_FALSE(mkmedia::generateMusic(entry("/music/abs.ogg", "game", "5"), context, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
