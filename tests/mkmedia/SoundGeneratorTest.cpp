#include "tools/mkmedia/Generators.h"

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

struct Wav {
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// Walks the chunks, so the test does not rely on the writer's layout.
Wav readWav(const std::string& bytes) {
    Wav wav;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return wav;
    }
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size()) {
            break;
        }
        if (id == "fmt ") {
            wav.channels = static_cast<std::uint16_t>(littleEndian(bytes, body + 2, 2));
            wav.rate = littleEndian(bytes, body + 4, 4);
            wav.bits = static_cast<std::uint16_t>(littleEndian(bytes, body + 14, 2));
        } else if (id == "data") {
            wav.samples.resize(size / 2);
            std::memcpy(wav.samples.data(), bytes.data() + body, wav.samples.size() * 2);
        }
        at = body + size + (size & 1);
    }
    return wav;
}

int peakOf(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (const std::int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

int zeroCrossings(const std::vector<std::int16_t>& samples) {
    int count = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        count += (samples[i - 1] < 0) != (samples[i] < 0);
    }
    return count;
}

class SoundGenerator : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_TRUE(host::FSOUND_Init(44100, 32, 0));
        context.outputFolder = dir.path() / "media";
    }
    void TearDown() override { host::FSOUND_Close(); }

    static mkmedia::Entry entry(const std::string& file, const std::string& kind,
                                const std::string& pitch = {}, const std::string& seconds = {}) {
        mkmedia::Entry result{"sound", {{"file", file}, {"kind", kind}}};
        if (!pitch.empty()) {
            result.attributes["pitch"] = pitch;
        }
        if (!seconds.empty()) {
            result.attributes["seconds"] = seconds;
        }
        return result;
    }

    // Generates the entry and returns the file's bytes; empty when generation failed.
    std::string generate(const mkmedia::Entry& entry) {
        std::string error;
        EXPECT_TRUE(mkmedia::generateSound(entry, context, error)) << error;
        return testsupport::TempDir::read((context.outputFolder / entry.file()).string());
    }

    testsupport::TempDir dir;
    mkmedia::Context context;
};

struct KindLength {
    const char* kind;
    double shortest;
    double longest;
};

TEST_F(SoundGenerator, EveryKindIsASoftMonoPcmFileTheMixerLoads) {
    std::vector<KindLength> kinds = {
        {"jingle", 1.0, 2.0},     {"click", 0.03, 0.3},  {"over", 0.03, 0.2},    {"plop", 0.1, 0.5},
        {"swoosh", 0.2, 0.6},     {"chime", 0.4, 1.5},   {"match", 0.3, 1.0},    {"jump", 0.1, 0.4},
        {"fall", 0.1, 0.4},       {"hop", 0.05, 0.2},    {"tap", 0.05, 0.3},     {"honk", 0.1, 0.4},
        {"blower", 0.3, 0.8},     {"grumble", 0.2, 0.6}, {"rattle", 0.2, 0.6},   {"shutter", 0.05, 0.3},
        {"camera", 0.4, 1.0},     {"stomp", 0.3, 0.8},   {"sigh", 0.5, 1.2},     {"horn", 0.3, 0.8},
        {"flourish", 0.6, 1.5},   {"combo", 0.3, 0.8},   {"confetti", 0.6, 1.5}, {"slide", 0.3, 0.8},
        {"chainbreak", 0.4, 1.0}, {"poof", 0.3, 0.9},    {"sparkle", 0.5, 1.2},  {"fanfare", 1.6, 2.5},
        {"aww", 1.6, 2.5},        {"tick", 4.99, 5.01},  {"blip", 0.02, 0.15},   {"no-such-kind", 0.29, 0.31},
        {"pageturn", 0.3, 0.5},   {"magic", 0.8, 1.6},   {"bookopen", 0.5, 1.0}, {"bookclose", 0.4, 0.8},
    };
    // The level end's and the chapter map's.
    kinds.insert(
        kinds.end(),
        {{"crunch", 0.2, 0.5}, {"chapterfanfare", 2.0, 3.2}, {"photopop", 0.4, 1.0}, {"arrive", 0.3, 0.8}});
    // The pause's.
    kinds.insert(kinds.end(), {{"chimedown", 0.8, 1.1}, {"chimeup", 0.8, 1.1}});
    for (const KindLength& expected : kinds) {
        SCOPED_TRACE(expected.kind);
        const std::string file = std::string("sounds/") + expected.kind + ".wav";
        const Wav wav = readWav(generate(entry(file, expected.kind)));
        ASSERT_EQ(wav.channels, 1);
        ASSERT_EQ(wav.bits, 16);
        ASSERT_TRUE(wav.rate == 22050 || wav.rate == 44100);
        const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
        EXPECT_GE(seconds, expected.shortest);
        EXPECT_LE(seconds, expected.longest);
        // Audible but well below full scale, and no click where the sound starts or stops.
        EXPECT_GT(peakOf(wav.samples), 3000);
        EXPECT_LT(peakOf(wav.samples), 26000);
        EXPECT_LT(std::abs(wav.samples.front()), 300);
        EXPECT_LT(std::abs(wav.samples.back()), 300);
        const std::string path = (context.outputFolder / file).string();
        host::FSOUND_SAMPLE* sample =
            host::FSOUND_Sample_Load(host::FSOUND_FREE, path.c_str(), host::FSOUND_NORMAL, 0, 0);
        ASSERT_NE(sample, nullptr);
        EXPECT_GE(host::FSOUND_PlaySound(host::FSOUND_FREE, sample), 0);
        host::FSOUND_Sample_Free(sample);
    }
}

TEST_F(SoundGenerator, GenericToneHasTheGivenLength) {
    const Wav wav = readWav(generate(entry("sounds/tone.wav", "", "", "0.5")));
    EXPECT_EQ(wav.samples.size(), wav.rate / 2);
}

TEST_F(SoundGenerator, PitchRaisesANumberedFamily) {
    int previous = 0;
    for (int step = 0; step < 8; ++step) {
        const std::string file = "sounds/plop" + std::to_string(step + 1) + ".wav";
        const int crossings =
            zeroCrossings(readWav(generate(entry(file, "plop", std::to_string(step)))).samples);
        EXPECT_GT(crossings, previous) << file;
        previous = crossings;
    }
}

// The pause steps down into sleep and the way back steps up: the same chime run the other way, so the
// pause starts on its highest note and the return on its lowest.
TEST_F(SoundGenerator, PauseChimesStepDownAndUp) {
    const Wav down = readWav(generate(entry("sounds/pause.wav", "chimedown")));
    const Wav up = readWav(generate(entry("sounds/unpause.wav", "chimeup")));
    ASSERT_EQ(down.samples.size(), up.samples.size());
    ASSERT_GT(down.samples.size(), down.rate / 10);
    const std::vector<std::int16_t> downStart(down.samples.begin(), down.samples.begin() + down.rate / 14);
    const std::vector<std::int16_t> upStart(up.samples.begin(), up.samples.begin() + up.rate / 14);
    EXPECT_GT(zeroCrossings(downStart), zeroCrossings(upStart) * 3 / 2);
    EXPECT_NE(down.samples, up.samples);
}

// The ticking is played once when the clock's last 5 s begin (as the game is tuned), so it lasts that long:
// its ticks come closer together towards the end, and it has died away before the clip ends.
TEST_F(SoundGenerator, TickingQuickensOverTheClocksLastSecondsAndEndsSilent) {
    const Wav wav = readWav(generate(entry("sounds/ticking.wav", "tick")));
    ASSERT_GE(wav.samples.size(), wav.rate * 5);
    // A tick starts where a 10 ms block is loud after a quiet one.
    const std::size_t block = wav.rate / 100;
    const int loud = peakOf(wav.samples) / 4;
    std::vector<std::size_t> onsets;
    bool wasLoud = false;
    for (std::size_t from = 0; from + block <= wav.samples.size(); from += block) {
        const std::vector<std::int16_t> part(wav.samples.begin() + static_cast<std::ptrdiff_t>(from),
                                             wav.samples.begin() + static_cast<std::ptrdiff_t>(from + block));
        const bool isLoud = peakOf(part) > loud;
        if (isLoud && !wasLoud) {
            onsets.push_back(from);
        }
        wasLoud = isLoud;
    }
    ASSERT_GE(onsets.size(), 10u);
    EXPECT_LT(onsets.front(), block);
    for (std::size_t i = 2; i < onsets.size(); ++i) {
        EXPECT_LE(onsets[i] - onsets[i - 1], onsets[i - 1] - onsets[i - 2] + block) << "tick " << i;
    }
    EXPECT_LT(onsets[onsets.size() - 1] - onsets[onsets.size() - 2], (onsets[1] - onsets[0]) / 2);
    const std::vector<std::int16_t> ending(wav.samples.end() - static_cast<std::ptrdiff_t>(wav.rate / 10),
                                           wav.samples.end());
    EXPECT_LT(peakOf(ending), 100) << "the last tick has died away";
}

// A bigger match climbs a longer run: each more note makes it longer.
TEST_F(SoundGenerator, MatchesGrowWithTheirNotes) {
    std::size_t previous = 0;
    for (int notes = 3; notes <= 7; ++notes) {
        mkmedia::Entry match = entry("sounds/match" + std::to_string(notes) + ".wav", "match");
        match.attributes["notes"] = std::to_string(notes);
        const std::size_t length = readWav(generate(match)).samples.size();
        EXPECT_GT(length, previous) << notes << " notes";
        previous = length;
    }
}

// The carrot is bitten thirteen times in a row: its four crunches must not sound alike, and a take the
// recipe lacks falls back to one it has.
TEST_F(SoundGenerator, CrunchesDifferByTheirVariant) {
    std::vector<std::vector<std::int16_t>> takes;
    for (int variant = 1; variant <= 4; ++variant) {
        mkmedia::Entry crunch = entry("sounds/bite" + std::to_string(variant) + ".wav", "crunch");
        crunch.attributes["variant"] = std::to_string(variant);
        takes.push_back(readWav(generate(crunch)).samples);
        ASSERT_FALSE(takes.back().empty());
    }
    for (std::size_t a = 0; a < takes.size(); ++a) {
        for (std::size_t b = a + 1; b < takes.size(); ++b) {
            EXPECT_NE(takes[a], takes[b]) << "variants " << a + 1 << " and " << b + 1;
        }
    }
    mkmedia::Entry beyond = entry("sounds/bite9.wav", "crunch");
    beyond.attributes["variant"] = "9";
    const std::vector<std::int16_t> fallback = readWav(generate(beyond)).samples;
    EXPECT_NE(std::find(takes.begin(), takes.end(), fallback), takes.end());
}

TEST_F(SoundGenerator, OutputIsTheSameEveryRun) {
    for (const char* kind :
         {"jingle", "swoosh", "plop", "rattle", "confetti", "fanfare", "pageturn", "magic"}) {
        const std::string first = generate(entry("a.wav", kind, "3"));
        const std::string second = generate(entry("a.wav", kind, "3"));
        EXPECT_FALSE(first.empty());
        EXPECT_EQ(first, second) << kind;
    }
}

TEST_F(SoundGenerator, FailuresAreReportedAndLeaveNoFile) {
    std::string error;
    EXPECT_FALSE(mkmedia::generateSound(entry("../escape.wav", "click"), context, error));
    EXPECT_FALSE(error.empty());
    // A file where the folder should be: the folder cannot be made.
    dir.write("media/sounds", "in the way");
    error.clear();
    EXPECT_FALSE(mkmedia::generateSound(entry("sounds/click.wav", "click"), context, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "escape.wav"));
}

} // namespace
