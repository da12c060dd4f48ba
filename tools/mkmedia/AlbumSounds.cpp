// The album's sound effects: the book laid down open and shut again, a page turning, and the chime of a
// collectable taken from the field into it. Paper is noise through moving band-passes, rustling in many
// short grains; the book's cover is a soft low thud; the magic is small bells.
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/SoundRecipes.h"

#include <cmath>
#include <cstdint>

namespace mkmedia::sounds {

namespace {

using synth::Partial;
using synth::Voice;

// Paper rustling between `start` and `start + seconds`: `grains` short crackles of high noise at seeded
// moments, loudest where the swell (a sine arch over the span) is.
void rustle(std::vector<float>& out, double start, double seconds, int grains, float gain, double pitch,
            std::uint32_t seed) {
    synth::Noise dice(seed);
    for (int i = 0; i < grains; ++i) {
        const double x = (static_cast<double>(i) + dice.uniform()) / grains;
        const float swell = static_cast<float>(std::sin(synth::pi * x));
        addBurst(out,
                 {.start = start + seconds * x,
                  .seconds = 0.03,
                  .centre = 2600 + 4200 * dice.uniform(),
                  .q = 1.8,
                  .attack = 0.001,
                  .decay = 0.003 + 0.007 * dice.uniform(),
                  .gain = gain * swell * static_cast<float>(0.5 + 0.5 * dice.uniform()),
                  .seed = seed + static_cast<std::uint32_t>(i) * 7919u},
                 pitch);
    }
}

// The cover meeting the table or the pages: a low thud with a muffled slap of air.
void cover(std::vector<float>& out, double at, float gain, double pitch) {
    play(out, thud(0.07), 130.0 * pitch, at, 0.25, gain);
    addBurst(out,
             {.start = at,
              .seconds = 0.12,
              .centre = 320,
              .q = 0.9,
              .decay = 0.03,
              .gain = gain * 2.2f,
              .seed = 0xB00Cu},
             pitch);
    addBurst(out,
             {.start = at,
              .seconds = 0.05,
              .centre = 1400,
              .q = 1.0,
              .decay = 0.008,
              .gain = gain * 0.8f,
              .seed = 0xB00Du},
             pitch);
}

} // namespace

// The book opens: a breath of air and the pages fanning, then the cover settles with a soft thud.
std::vector<float> bookOpen(const SoundRequest& request) {
    std::vector<float> out = silence(0.7);
    addBurst(out,
             {.seconds = 0.32,
              .centre = 700,
              .centreEnd = 1600,
              .q = 0.8,
              .attack = 0.1,
              .decay = 0.2,
              .gain = 0.7f,
              .seed = 0xB0A1u},
             request.pitch);
    rustle(out, 0.02, 0.3, 14, 0.9f, request.pitch, 0xB0A2u);
    cover(out, 0.27, 1.0f, request.pitch);
    endSoftly(out, 0.05);
    return out;
}

// The book shuts: air pushed out as the cover falls, and a firmer thud as it closes.
std::vector<float> bookClose(const SoundRequest& request) {
    std::vector<float> out = silence(0.55);
    addBurst(out,
             {.seconds = 0.26,
              .centre = 1800,
              .centreEnd = 600,
              .q = 0.8,
              .attack = 0.12,
              .decay = 0.3,
              .gain = 0.8f,
              .seed = 0xB0C1u},
             request.pitch);
    rustle(out, 0.0, 0.2, 6, 0.5f, request.pitch, 0xB0C2u);
    cover(out, 0.22, 1.2f, request.pitch * 0.9);
    endSoftly(out, 0.05);
    return out;
}

// A page turned: it lifts with a rising swish, crackles as it bends over and lands with a little flap.
std::vector<float> pageTurn(const SoundRequest& request) {
    std::vector<float> out = silence(0.4);
    addBurst(out,
             {.start = 0.02,
              .seconds = 0.32,
              .centre = 1400,
              .centreEnd = 3200,
              .q = 0.9,
              .attack = 0.12,
              .decay = 0.25,
              .gain = 0.6f,
              .seed = 0xBA61u},
             request.pitch);
    rustle(out, 0.03, 0.3, 22, 0.8f, request.pitch, 0xBA62u);
    addBurst(out,
             {.start = 0.31,
              .seconds = 0.07,
              .centre = 650,
              .q = 1.0,
              .decay = 0.015,
              .gain = 1.2f,
              .seed = 0xBA63u},
             request.pitch);
    endSoftly(out, 0.03);
    return out;
}

// A bright magical chime: a quick run of small bells up two octaves, a shimmering chord held on top and a
// dusting of glittering noise.
std::vector<float> magic(const SoundRequest& request) {
    std::vector<float> out = silence(1.4);
    constexpr double run[] = {79, 84, 88, 91, 96, 100, 103};
    Voice ping = instruments::bell();
    for (Partial& partial : ping.partials) {
        partial.decay *= 0.4;
    }
    for (int i = 0; i < 7; ++i) {
        play(out, ping, synth::noteFrequency(run[i]) * request.pitch, 0.045 * i, 0.5, 0.5f);
    }
    Voice shimmer = instruments::bell();
    shimmer.vibratoRate = 6.0;
    shimmer.vibratoDepth = 0.004;
    for (const double note : {96.0, 100.0, 103.0, 108.0}) {
        strike(out, shimmer, synth::noteFrequency(note) * request.pitch, 0.33, 0.22f);
    }
    synth::Noise dice(0x3A61u);
    for (int i = 0; i < 18; ++i) {
        addBurst(out,
                 {.start = 0.3 + 0.8 * dice.uniform(),
                  .seconds = 0.04,
                  .centre = 7000 + 3000 * dice.uniform(),
                  .q = 3.0,
                  .decay = 0.01,
                  .gain = 0.15f,
                  .seed = 0x3A62u + static_cast<std::uint32_t>(i)},
                 request.pitch);
    }
    endSoftly(out, 0.2);
    return out;
}

} // namespace mkmedia::sounds
