// The sounds of the pause: a soft chime stepping down as the game falls asleep, and the same chime stepping
// up as it wakes again. Small bells over a warm pad, like the other effects, so a pause never startles.
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/SoundRecipes.h"

#include <array>

namespace mkmedia::sounds {

namespace {

// A major arpeggio over an octave and a half, played from its top down or from its bottom up.
constexpr std::array<double, 5> arpeggio = {84, 79, 76, 72, 67};
constexpr double noteSpacing = 0.085;

std::vector<float> chimeRun(const SoundRequest& request, bool rising) {
    std::vector<float> out = silence(0.95);
    for (std::size_t i = 0; i < arpeggio.size(); ++i) {
        const double step = rising ? arpeggio[arpeggio.size() - 1 - i] : arpeggio[i];
        const double at = noteSpacing * static_cast<double>(i);
        // Each note a little softer than the one before towards the sleepy end, brighter towards the waking.
        const float gain =
            rising ? 0.45f + 0.1f * static_cast<float>(i) : 0.85f - 0.1f * static_cast<float>(i);
        strike(out, instruments::bell(), synth::noteFrequency(step) * request.pitch, at, gain);
        strike(out, instruments::marimba(), synth::noteFrequency(step - 12) * request.pitch, at, gain * 0.4f);
    }
    // The chord the run ends on, held softly underneath.
    const double chordStart = noteSpacing * static_cast<double>(arpeggio.size() - 1);
    for (const double step : {rising ? 72.0 : 55.0, rising ? 76.0 : 60.0, rising ? 79.0 : 64.0}) {
        play(out, instruments::pad(0.6), synth::noteFrequency(step) * request.pitch, chordStart * 0.5, 0.7,
             0.12f);
    }
    endSoftly(out, 0.12);
    return out;
}

} // namespace

std::vector<float> chimeDown(const SoundRequest& request) {
    return chimeRun(request, false);
}

std::vector<float> chimeUp(const SoundRequest& request) {
    return chimeRun(request, true);
}

} // namespace mkmedia::sounds
