#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/Manifest.h"

#include "engine/ui/OggConversion.h"
#include "engine/ui/WavFile.h"
#include "host/Sound.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// The root mean square of the samples [begin, end), both channels together.
double rms(const std::vector<std::int16_t>& samples, std::size_t begin, std::size_t end) {
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(end - begin));
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

// Every tune of the game's manifest decodes to its length and converts into a complete WAV file, and
// joins its end to its start without a break in the wave (the curvature at the join is no larger than
// almost anywhere inside the tune) and without a jump in loudness.
TEST_F(MusicGenerator, EveryTuneOfTheGameConvertsAndLoopsSeamlessly) {
    std::vector<mkmedia::Entry> entries;
    std::string error;
    ASSERT_TRUE(mkmedia::readManifest(PIBBLES_SOURCE_DIR "/media/mkmedia.xml", entries, error)) << error;
    int tunes = 0;
    for (const mkmedia::Entry& music : entries) {
        if (music.element != "music") {
            continue;
        }
        SCOPED_TRACE(music.file());
        ++tunes;
        const std::string ogg = generate(music);
        ui::PcmSound pcm;
        ASSERT_TRUE(ui::decodeOggToPcm(ogg, pcm));
        ASSERT_TRUE(pcm.channels == 1 || pcm.channels == 2);
        ASSERT_TRUE(pcm.samplesPerSecond == 22050 || pcm.samplesPerSecond == 44100);
        const double seconds = music.number("seconds", 0.0);
        const double decoded =
            static_cast<double>(pcm.bytes.size()) / (2.0 * pcm.channels * pcm.samplesPerSecond);
        EXPECT_NEAR(decoded, seconds, seconds * 0.05);
        const std::vector<std::int16_t> samples = samplesOf(pcm);
        EXPECT_GT(*std::max_element(samples.begin(), samples.end()), 8000);

        const std::size_t window = pcm.samplesPerSecond / 10 * pcm.channels;
        const double head = rms(samples, 0, window);
        const double tail = rms(samples, samples.size() - window, samples.size());
        EXPECT_LT(std::max(head, tail) / std::min(head, tail), 1.25) << head << " " << tail;
        for (std::size_t channel = 0; channel < pcm.channels; ++channel) {
            std::vector<int> curvature = curvatures(samples, pcm.channels, channel);
            const std::size_t frames = curvature.size();
            // The two windows that reach from the last frames into the first.
            const int seam = std::max(curvature[frames - 2], curvature[frames - 1]);
            std::sort(curvature.begin(), curvature.end());
            EXPECT_LE(seam, curvature[frames * 99 / 100]) << channel;
        }

        const std::string wav = ui::convertedSoundName(ogg);
        ASSERT_TRUE(ui::convertOggToWav(ogg, wav));
        EXPECT_TRUE(ui::isCompleteWavFile(wav));
        const auto wavBytes = std::filesystem::file_size(wav);
        EXPECT_GT(wavBytes, pcm.bytes.size());
        EXPECT_LT(wavBytes, pcm.bytes.size() + 100);
    }
    EXPECT_EQ(tunes, 3);
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
