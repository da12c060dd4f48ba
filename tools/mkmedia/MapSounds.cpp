// The sounds of a level's end and of the chapter map: a carrot crunched bite by bite, the fanfare of a
// finished chapter, a finished chapter's photo popping onto the map and the player's pibble arriving at a
// chapter. Crunches are crackles of bright noise over the thud of a bite; the rest are wooden bars and small
// bells, like the other effects.
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/SoundRecipes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace mkmedia::sounds {

namespace {

// How the crunches differ: each bite of the four has its own bite pitch, brightness, number of crackles
// and length of the crumbling after it.
struct Bite {
    double thudHz;
    double brightness;
    int crackles;
    double crumble;
};

constexpr Bite biteKinds[] = {
    {165.0, 1.0, 12, 0.10},
    {140.0, 1.18, 16, 0.14},
    {190.0, 0.86, 10, 0.08},
    {120.0, 1.3, 19, 0.18},
};

} // namespace

// A bite into a crisp carrot: the jaw's soft thud, a snap of dense crackles and a few crumbs after.
std::vector<float> crunch(const SoundRequest& request) {
    const int variant = std::clamp(request.variant, 1, static_cast<int>(std::size(biteKinds)));
    const Bite& bite = biteKinds[variant - 1];
    const auto seed = static_cast<std::uint32_t>(0xC4A7u + 7919u * static_cast<std::uint32_t>(variant));
    std::vector<float> out = silence(0.2 + bite.crumble + 0.06);
    synth::Noise dice(seed);
    play(out, thud(0.04), bite.thudHz * request.pitch, 0.0, 0.12, 0.7f);
    addBurst(out,
             {.start = 0.0,
              .seconds = 0.1,
              .centre = 1500 * bite.brightness,
              .centreEnd = 800 * bite.brightness,
              .q = 1.1,
              .attack = 0.002,
              .decay = 0.03,
              .gain = 1.2f,
              .seed = seed + 1},
             request.pitch);
    // The snap: crackles crowding at the start of the bite, fainter as it goes through.
    for (int i = 0; i < bite.crackles; ++i) {
        const double at = 0.004 + 0.12 * std::pow(dice.uniform(), 1.6);
        addBurst(out,
                 {.start = at,
                  .seconds = 0.01 + 0.012 * dice.uniform(),
                  .centre = (2000 + 3400 * dice.uniform()) * bite.brightness,
                  .q = 3.0,
                  .attack = 0.0005,
                  .decay = 0.003 + 0.003 * dice.uniform(),
                  .gain = static_cast<float>((1.0 - at / 0.16) * (0.6 + 0.5 * dice.uniform())),
                  .seed = seed + 17u * static_cast<std::uint32_t>(i + 2)},
                 request.pitch);
    }
    for (int i = 0; i < 4; ++i) {
        addBurst(out,
                 {.start = 0.13 + bite.crumble * dice.uniform(),
                  .seconds = 0.012,
                  .centre = 2600 * bite.brightness,
                  .q = 2.5,
                  .attack = 0.0005,
                  .decay = 0.004,
                  .gain = 0.3f,
                  .seed = seed + 991u * static_cast<std::uint32_t>(i + 1)},
                 request.pitch);
    }
    endSoftly(out, 0.03);
    return out;
}

// A chapter finished: a run up two octaves on the wooden bars, a held chord with bells ringing in it and a
// last cascade of small bells coming down.
std::vector<float> chapterFanfare(const SoundRequest& request) {
    std::vector<float> out = silence(2.8);
    const auto note = [&](double midi) { return synth::noteFrequency(midi) * request.pitch; };
    constexpr double run[] = {60, 64, 67, 72, 76, 79, 84};
    for (int i = 0; i < 7; ++i) {
        strike(out, instruments::marimba(), note(run[i]), 0.075 * i, 0.75f);
    }
    synth::Voice lead = instruments::flute();
    lead.attack = 0.02;
    play(out, lead, note(79), 0.5, 0.22, 0.35f);
    play(out, lead, note(84), 0.72, 1.2, 0.4f);
    for (const double step : {48.0, 60.0, 64.0, 67.0, 72.0}) {
        play(out, instruments::pad(0.6), note(step), 0.7, 1.6, 0.15f);
    }
    play(out, instruments::bass(), note(36), 0.7, 1.2, 0.6f);
    for (int i = 0; i < 3; ++i) {
        strike(out, instruments::bell(), note(91 + 5 * i), 0.72 + 0.06 * i, 0.3f);
    }
    constexpr double cascade[] = {108, 103, 100, 96, 91, 88};
    for (int i = 0; i < 6; ++i) {
        strike(out, instruments::bell(), note(cascade[i]), 1.5 + 0.07 * i, 0.18f);
    }
    endSoftly(out, 0.2);
    return out;
}

// A finished chapter's photo popping onto the map: a bubbly pop rising and two small bells.
std::vector<float> photoPop(const SoundRequest& request) {
    std::vector<float> out = silence(0.7);
    synth::Voice bubble;
    bubble.partials = {synth::Partial{1.0, 1.0, 0.05}, synth::Partial{2.0, 0.15, 0.02}};
    bubble.attack = 0.002;
    bubble.release = 0.02;
    bubble.glide = 2.6;
    bubble.glideTime = 0.07;
    play(out, bubble, 340.0 * request.pitch, 0.0, 0.12, 0.9f);
    addBurst(out,
             {.start = 0.0,
              .seconds = 0.04,
              .centre = 2400,
              .q = 1.5,
              .decay = 0.008,
              .gain = 0.5f,
              .seed = 0x9057u},
             request.pitch);
    strike(out, instruments::bell(), synth::noteFrequency(96) * request.pitch, 0.08, 0.35f);
    strike(out, instruments::bell(), synth::noteFrequency(103) * request.pitch, 0.15, 0.25f);
    endSoftly(out, 0.1);
    return out;
}

// The player's pibble landing on a chapter: a soft bump and two notes stepping up.
std::vector<float> arrive(const SoundRequest& request) {
    std::vector<float> out = silence(0.55);
    play(out, thud(0.05), 200.0 * request.pitch, 0.0, 0.12, 0.5f);
    strike(out, instruments::marimba(), synth::noteFrequency(79) * request.pitch, 0.02, 0.7f);
    strike(out, instruments::marimba(), synth::noteFrequency(84) * request.pitch, 0.11, 0.8f);
    strike(out, instruments::bell(), synth::noteFrequency(96) * request.pitch, 0.12, 0.15f);
    endSoftly(out, 0.06);
    return out;
}

} // namespace mkmedia::sounds
