// Music: <music file="music/NAME.ogg" kind="loading|selection|game" seconds="20"/>. The score of the
// kind is played into a stereo loop whose note tails wrap round to its start, so the file loops without
// a seam, and is encoded as Ogg Vorbis. The file starts a little before the first downbeat, where the
// loudness runs on evenly: a loop cut at the downbeat itself would jump from the quiet end of the last
// bar to the full first strike every time it comes round.

#include "tools/mkmedia/AudioEncoding.h"
#include "tools/mkmedia/Composer.h"
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/OutputFile.h"
#include "tools/mkmedia/Synth.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace mkmedia {
namespace {

using music::Instrument;
using music::Note;

constexpr int rate = 22050;
constexpr float quality = 0.3f;
constexpr float musicPeak = 0.8f;
// Struck and plucked notes ring on after their written length, as a real bar or string would.
constexpr double ringSeconds = 0.5;

synth::Voice kick() {
    synth::Voice voice;
    voice.partials = {synth::Partial{1.0, 1.0, 0.12}};
    voice.attack = 0.003;
    voice.release = 0.05;
    voice.glide = 0.4;
    voice.glideTime = 0.08;
    return voice;
}

// A short burst of brightened noise; the seed is fixed, so every stroke is the same.
std::vector<float> shaker(double seconds) {
    std::vector<float> out(static_cast<std::size_t>(std::round(seconds * rate)), 0.0f);
    synth::Noise noise(0x5A4Bu);
    const double fade = std::exp(-1.0 / (0.025 * rate));
    double amplitude = 1.0;
    float previous = 0.0f;
    for (float& sample : out) {
        const float white = noise.next();
        sample = static_cast<float>((white - previous) * 0.5 * amplitude);
        previous = white;
        amplitude *= fade;
    }
    return out;
}

std::vector<float> renderInstrument(Instrument instrument, double midi, double seconds) {
    const double frequency = synth::noteFrequency(midi);
    switch (instrument) {
    case Instrument::Marimba:
        return synth::renderNote(instruments::marimba(), frequency, seconds + ringSeconds, rate);
    case Instrument::Bell:
        return synth::renderNote(instruments::bell(), frequency, seconds + ringSeconds, rate);
    case Instrument::Flute:
        return synth::renderNote(instruments::flute(), frequency, seconds * 0.92, rate);
    case Instrument::Pad:
        return synth::renderNote(instruments::pad(0.0), frequency, seconds, rate);
    case Instrument::Bass:
        return synth::renderNote(instruments::bass(), frequency, seconds + ringSeconds * 0.3, rate);
    case Instrument::Shaker:
        return shaker(std::min(seconds, 0.12));
    case Instrument::Kick:
        return synth::renderNote(kick(), 110.0, std::min(seconds, 0.3), rate);
    }
    return {};
}

// Equal-power panning keeps a note equally loud wherever it sits.
std::pair<float, float> panGains(float pan) {
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * synth::pi / 4.0;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

class Mixer {
public:
    explicit Mixer(double seconds)
        : left(static_cast<std::size_t>(std::round(seconds * rate)), 0.0f), right(left.size(), 0.0f) {}

    void play(const Note& note);

    std::vector<float> left;
    std::vector<float> right;

private:
    const std::vector<float>& rendered(Instrument instrument, double midi, double seconds);
    void place(const std::vector<float>& sound, std::size_t frame, float gain, float pan);

    // Scores repeat the same notes bar after bar; each distinct one is synthesised once.
    std::map<std::tuple<Instrument, long, long>, std::vector<float>> cache;
};

const std::vector<float>& Mixer::rendered(Instrument instrument, double midi, double seconds) {
    const auto key = std::make_tuple(instrument, std::lround(midi * 100.0), std::lround(seconds * rate));
    auto found = cache.find(key);
    if (found == cache.end()) {
        found = cache.emplace(key, renderInstrument(instrument, midi, seconds)).first;
    }
    return found->second;
}

void Mixer::place(const std::vector<float>& sound, std::size_t frame, float gain, float pan) {
    const auto [leftGain, rightGain] = panGains(pan);
    synth::mixInto(left, sound, frame, gain * leftGain, true);
    synth::mixInto(right, sound, frame, gain * rightGain, true);
}

void Mixer::play(const Note& note) {
    const auto frame = static_cast<std::size_t>(std::round(note.start * rate));
    if (note.instrument != Instrument::Pad) {
        place(rendered(note.instrument, note.midi, note.seconds), frame, note.gain, note.pan);
        return;
    }
    // A pad is two slightly detuned copies spread apart: the slow beating between them gives it width.
    constexpr double spreadCents = 6.0;
    place(rendered(Instrument::Pad, note.midi - spreadCents / 100.0, note.seconds), frame, note.gain, -0.6f);
    place(rendered(Instrument::Pad, note.midi + spreadCents / 100.0, note.seconds), frame, note.gain, 0.6f);
}

// The summed power of both channels round the loop, for the loudness of any stretch of it in O(1).
class LoopPower {
public:
    LoopPower(const std::vector<float>& left, const std::vector<float>& right)
        : prefix(left.size() + 1, 0.0) {
        for (std::size_t i = 0; i < left.size(); ++i) {
            prefix[i + 1] = prefix[i] + double{left[i]} * left[i] + double{right[i]} * right[i];
        }
    }

    // Of `length` frames from `start`, wrapping round the end.
    double over(std::size_t start, std::size_t length) const {
        const std::size_t frames = prefix.size() - 1;
        start %= frames;
        if (start + length <= frames) {
            return prefix[start + length] - prefix[start];
        }
        return prefix[frames] - prefix[start] + prefix[start + length - frames];
    }

private:
    std::vector<double> prefix;
};

// How far apart the loudness just before and just after a point is: the largest log ratio of the power
// over windows short enough to hear a jump and long enough not to hear single waves.
double loudnessStep(const LoopPower& power, std::size_t point, std::size_t frames) {
    constexpr double windowSeconds[] = {0.1, 0.25};
    double step = 0.0;
    for (const double seconds : windowSeconds) {
        const auto window = static_cast<std::size_t>(seconds * rate);
        const double before = power.over(point + frames - window, window);
        const double after = power.over(point, window);
        if (before > 0.0 && after > 0.0) {
            step = std::max(step, std::fabs(std::log(after / before)));
        } else if (before > 0.0 || after > 0.0) {
            return std::numeric_limits<double>::infinity();
        }
    }
    return step;
}

// Turns the loop so that it starts up to a beat before the first downbeat, at the point where the
// loudness before and after it differs least; the nearest such point wins, so the lead-in stays short.
void startWhereLoudnessIsEven(std::vector<float>& left, std::vector<float>& right, double beatSeconds) {
    const std::size_t frames = left.size();
    const std::size_t longest = std::min(static_cast<std::size_t>(beatSeconds * rate), frames / 2);
    const LoopPower power(left, right);
    std::size_t bestLead = 0;
    double bestStep = loudnessStep(power, 0, frames);
    for (std::size_t lead = 1; lead <= longest; ++lead) {
        const double step = loudnessStep(power, frames - lead, frames);
        if (step < bestStep) {
            bestStep = step;
            bestLead = lead;
        }
    }
    const auto start = static_cast<std::ptrdiff_t>((frames - bestLead) % frames);
    std::rotate(left.begin(), left.begin() + start, left.end());
    std::rotate(right.begin(), right.begin() + start, right.end());
}

// Bounds against bad data: a loop must hold at least a bar, and minutes of music would bloat the
// build for nothing.
double secondsOf(const Entry& entry) {
    return std::clamp(entry.number("seconds", 20.0), 2.0, 300.0);
}

} // namespace

bool generateMusic(const Entry& entry, const Context& context, std::string& error) {
    std::filesystem::path path;
    if (!resolveOutputPath(context.outputFolder, entry.file(), path, error)) {
        return false;
    }
    const double seconds = secondsOf(entry);
    const music::Score score = music::compose(music::styleOf(entry.kind()), seconds);
    Mixer mixer(seconds);
    for (const Note& note : score.notes) {
        mixer.play(note);
    }
    startWhereLoudnessIsEven(mixer.left, mixer.right, score.beatSeconds);
    synth::normalise(mixer.left, mixer.right, musicPeak);
    std::vector<std::uint8_t> file;
    const VorbisSettings settings{rate, quality, oggSerialOf(entry.file())};
    return encodeVorbis(mixer.left, mixer.right, settings, file, error) &&
           writeFileAtomically(path, file, error);
}

} // namespace mkmedia
