#include "tools/mkmedia/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mkmedia::synth {
namespace {

constexpr std::size_t tableSize = 4096;

// A table with linear interpolation costs a fraction of std::sin, which matters in the unoptimised
// sanitised build that runs the generator; the error (about 3e-7) is far below 16-bit resolution.
const std::array<float, tableSize + 1>& sineTable() {
    static const std::array<float, tableSize + 1> table = [] {
        std::array<float, tableSize + 1> values{};
        for (std::size_t i = 0; i <= tableSize; ++i) {
            values[i] = static_cast<float>(std::sin(2.0 * pi * static_cast<double>(i) / tableSize));
        }
        return values;
    }();
    return table;
}

// phase in cycles, 0..1.
float sineOf(double phase) {
    const double position = phase * tableSize;
    const auto index = static_cast<std::size_t>(position);
    const auto fraction = static_cast<float>(position - static_cast<double>(index));
    const auto& table = sineTable();
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

// A raised-cosine ramp from 0 to 1: smoother than a line, so attacks and releases do not click.
double smoothRamp(double x) {
    if (x <= 0.0) {
        return 0.0;
    }
    if (x >= 1.0) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(pi * x);
}

double envelopeAt(const Voice& voice, double t, double seconds) {
    const double rise = voice.attack > 0.0 ? smoothRamp(t / voice.attack) : 1.0;
    const double fall = voice.release > 0.0 ? smoothRamp((seconds - t) / voice.release) : 1.0;
    return rise * fall;
}

// The glide is exponential so that it sounds even in pitch.
double frequencyAt(const Voice& voice, double frequency, double t) {
    double factor = 1.0;
    if (voice.glideTime > 0.0 && voice.glide != 1.0) {
        factor = std::pow(voice.glide, std::min(t / voice.glideTime, 1.0));
    }
    if (voice.vibratoDepth > 0.0) {
        factor *= 1.0 + voice.vibratoDepth * std::sin(2.0 * pi * voice.vibratoRate * t);
    }
    return frequency * factor;
}

void addPartial(std::vector<float>& out, const Voice& voice, const Partial& partial, double frequency,
                int rate) {
    const double step = 1.0 / rate;
    // Each partial's decay is a constant factor per sample; multiplying keeps it cheap.
    const double fade = partial.decay > 0.0 ? std::exp(-step / partial.decay) : 1.0;
    double amplitude = partial.amplitude;
    double phase = 0.0;
    const bool steadyPitch = voice.glideTime <= 0.0 && voice.vibratoDepth <= 0.0;
    const double steadyFrequency = frequency * partial.ratio + partial.detune;
    const double nyquist = rate / 2.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double partialFrequency =
            steadyPitch ? steadyFrequency
                        : frequencyAt(voice, frequency, static_cast<double>(i) * step) * partial.ratio +
                              partial.detune;
        // A partial above half the rate would fold back as an unrelated, harsh tone.
        if (partialFrequency < nyquist) {
            out[i] += static_cast<float>(amplitude) * sineOf(phase);
        }
        phase += partialFrequency * step;
        phase -= std::floor(phase);
        amplitude *= fade;
    }
}

} // namespace

double noteFrequency(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

double semitoneFactor(double semitones) {
    return std::pow(2.0, semitones / 12.0);
}

std::vector<float> renderNote(const Voice& voice, double frequency, double seconds, int rate) {
    const auto count = static_cast<std::size_t>(std::max(0.0, std::round(seconds * rate)));
    std::vector<float> out(count, 0.0f);
    for (const Partial& partial : voice.partials) {
        addPartial(out, voice, partial, frequency, rate);
    }
    for (std::size_t i = 0; i < count; ++i) {
        out[i] *= static_cast<float>(envelopeAt(voice, static_cast<double>(i) / rate, seconds));
    }
    return out;
}

float Noise::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0);
}

double Noise::uniform() {
    next();
    return static_cast<double>(state) / 4294967296.0;
}

int Noise::below(int count) {
    return std::min(count - 1, static_cast<int>(uniform() * count));
}

float BandPass::process(float input, double centre, double q, int rate) {
    // Chamberlin's form is stable only well below a sixth of the rate; the sweeps stay there.
    const double tuning = 2.0 * std::sin(pi * std::min(centre, rate / 6.0) / rate);
    const double damping = 1.0 / q;
    low += tuning * band;
    const double high = input - low - damping * band;
    band += tuning * high;
    return static_cast<float>(band);
}

void mixInto(std::vector<float>& target, const std::vector<float>& source, std::size_t offset, float gain,
             bool wrap) {
    if (target.empty()) {
        return;
    }
    for (std::size_t i = 0; i < source.size(); ++i) {
        std::size_t at = offset + i;
        if (at >= target.size()) {
            if (!wrap) {
                return;
            }
            at %= target.size();
        }
        target[at] += source[i] * gain;
    }
}

namespace {

float peakOf(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (const float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

void scale(std::vector<float>& samples, float factor) {
    for (float& sample : samples) {
        sample *= factor;
    }
}

} // namespace

void normalise(std::vector<float>& samples, float peak) {
    const float largest = peakOf(samples);
    if (largest > 0.0f) {
        scale(samples, peak / largest);
    }
}

void normalise(std::vector<float>& left, std::vector<float>& right, float peak) {
    const float largest = std::max(peakOf(left), peakOf(right));
    if (largest > 0.0f) {
        scale(left, peak / largest);
        scale(right, peak / largest);
    }
}

std::int16_t toPcm16(float sample) {
    const float scaled = std::round(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
    return static_cast<std::int16_t>(scaled);
}

} // namespace mkmedia::synth
