#pragma once
// The building blocks of the generated sounds and music: additive voices (sums of sine partials with
// their own decays under one envelope), a seeded noise source and simple filters. Everything here is a
// pure function of its arguments, so the same manifest always gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkmedia::synth {

constexpr double pi = 3.14159265358979323846;

// One sine component of a voice.
struct Partial {
    double ratio = 1.0;     // times the note's frequency
    double amplitude = 1.0; // relative to the other partials
    double decay = 0.0;     // seconds for the amplitude to fall to 1/e; 0 keeps it steady
    double detune = 0.0;    // added in Hz, for beating against a neighbouring partial
};

struct Voice {
    std::vector<Partial> partials;
    double attack = 0.005; // seconds of a smooth rise, so no note starts with a click
    double release = 0.05; // seconds of a smooth fall at the note's end
    // The frequency moves from the note's frequency to frequency * glide over glideTime seconds.
    double glide = 1.0;
    double glideTime = 0.0;
    double vibratoRate = 0.0;  // Hz
    double vibratoDepth = 0.0; // fraction of the frequency
};

// The frequency of a MIDI note number (69 is A at 440 Hz); fractions are fine.
double noteFrequency(double midiNote);
double semitoneFactor(double semitones);

// One note of the voice, `seconds` long at `rate` samples per second, alone and unscaled.
std::vector<float> renderNote(const Voice& voice, double frequency, double seconds, int rate);

// A deterministic white-noise source (xorshift32) in -1..1.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    float next();
    // 0..1, for choices made while composing.
    double uniform();
    int below(int count);

private:
    std::uint32_t state;
};

// A band-pass filter (state-variable form) whose centre may move from sample to sample.
class BandPass {
public:
    float process(float input, double centre, double q, int rate);

private:
    double low = 0.0;
    double band = 0.0;
};

// Adds `source` times gain into `target` starting at `offset`. With wrap the part past the end comes
// back in at the start, which makes a loop seamless; without it the part is dropped.
void mixInto(std::vector<float>& target, const std::vector<float>& source, std::size_t offset, float gain,
             bool wrap);

// Scales the samples so that their largest magnitude becomes `peak` (nothing for silence).
void normalise(std::vector<float>& samples, float peak);
void normalise(std::vector<float>& left, std::vector<float>& right, float peak);

// Rounded and clamped to signed 16-bit.
std::int16_t toPcm16(float sample);

} // namespace mkmedia::synth
