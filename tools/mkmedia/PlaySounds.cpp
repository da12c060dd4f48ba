// The play field's sound effects: clicks on the pibbles, pibbles turning up, matches and what they take
// away, and the level's end. Soft and toy-like like the rest: struck wood, small bells, rubber horns and
// filtered noise, never a hard edge.
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/SoundRecipes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace mkmedia::sounds {

using synth::Partial;
using synth::Voice;

double ramp(double x) {
    return x <= 0.0 ? 0.0 : x >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(synth::pi * x);
}

void addBurst(std::vector<float>& out, const Burst& burst, double pitch) {
    synth::Noise noise(burst.seed);
    // Two filters in a row, as the swoosh has them: one alone lets through too much hiss.
    synth::BandPass first;
    synth::BandPass second;
    const std::size_t from = frameAt(burst.start);
    const std::size_t count = std::min(frameAt(burst.seconds), out.size() - std::min(out.size(), from));
    const double end = burst.centreEnd > 0.0 ? burst.centreEnd : burst.centre;
    const double release = std::min(0.01, burst.seconds / 4);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double x = t / burst.seconds;
        const double centre = burst.centre * std::pow(end / burst.centre, x) * pitch;
        const double envelope =
            ramp(t / burst.attack) * std::exp(-t / burst.decay) * ramp((burst.seconds - t) / release);
        const float filtered =
            second.process(first.process(noise.next(), centre, burst.q, rate), centre, burst.q, rate);
        out[from + i] += static_cast<float>(filtered * envelope) * burst.gain;
    }
}

void play(std::vector<float>& out, const Voice& voice, double frequency, double start, double seconds,
          float gain) {
    synth::mixInto(out, synth::renderNote(voice, frequency, seconds, rate), frameAt(start), gain, false);
}

void endSoftly(std::vector<float>& out, double seconds) {
    const std::size_t count = std::min(out.size(), frameAt(seconds));
    for (std::size_t i = 0; i < count; ++i) {
        out[out.size() - 1 - i] *=
            static_cast<float>(ramp(static_cast<double>(i) / static_cast<double>(count)));
    }
}

Voice thud(double decay) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, decay}, Partial{2.0, 0.25, decay / 2}};
    voice.attack = 0.003;
    voice.release = 0.03;
    voice.glide = 0.6;
    voice.glideTime = 0.08;
    return voice;
}

namespace {

// A rubber bulb horn: a reedy tone rich in harmonics, the odd ones a little louder, with the buzz of the
// reed as a fast wobble.
Voice bulbHorn() {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0},  Partial{2.0, 0.55}, Partial{3.0, 0.7},  Partial{4.0, 0.3},
                      Partial{5.0, 0.42}, Partial{6.0, 0.16}, Partial{7.0, 0.22}, Partial{8.0, 0.08}};
    voice.attack = 0.012;
    voice.release = 0.05;
    voice.glide = 1.06;
    voice.glideTime = 0.04;
    voice.vibratoRate = 27.0;
    voice.vibratoDepth = 0.012;
    return voice;
}

// A voice through a mouth: harmonics of f0 weighted by bumps at the vowel's formants, for hums and sighs.
struct Formant {
    double centre;
    double width;
    double weight;
};

Voice voiced(double f0, const std::vector<Formant>& formants, int harmonics) {
    Voice voice;
    for (int n = 1; n <= harmonics; ++n) {
        const double frequency = f0 * n;
        double weight = 0.0;
        for (const Formant& formant : formants) {
            const double distance = (frequency - formant.centre) / formant.width;
            weight += formant.weight * std::exp(-distance * distance);
        }
        voice.partials.push_back(Partial{static_cast<double>(n), weight / n});
    }
    return voice;
}

// A small metal ping: the inharmonic partials of a bar of steel, fading fast.
Voice clink(double decay) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, decay}, Partial{2.76, 0.6, decay * 0.7},
                      Partial{5.4, 0.35, decay * 0.5}, Partial{8.93, 0.15, decay * 0.3}};
    voice.attack = 0.001;
    voice.release = 0.01;
    return voice;
}

// Links of a chain knocking together: pings of slightly different pitch with a tick of noise each, at
// seeded moments from `start` on, fainter as they go.
void addRattle(std::vector<float>& out, double start, double spread, int links, float gain, double pitch,
               std::uint32_t seed) {
    synth::Noise dice(seed);
    for (int i = 0; i < links; ++i) {
        const double at = start + spread * (static_cast<double>(i) + dice.uniform() * 0.8) / links;
        const float strength =
            gain * static_cast<float>(1.0 - 0.5 * i / links) * static_cast<float>(0.6 + 0.4 * dice.uniform());
        play(out, clink(0.035), (1900.0 + 900.0 * dice.uniform()) * pitch, at, 0.12, strength);
        addBurst(out,
                 {.start = at,
                  .seconds = 0.02,
                  .centre = 5200,
                  .q = 2.5,
                  .decay = 0.004,
                  .gain = strength * 0.8f,
                  .seed = seed + static_cast<std::uint32_t>(i) * 7919u},
                 pitch);
    }
}

// A camera's shutter: a bright click as it opens and a lower clack as it closes.
void addShutter(std::vector<float>& out, double start, double pitch) {
    addBurst(out,
             {.start = start, .seconds = 0.03, .centre = 3600, .q = 2.0, .decay = 0.006, .seed = 0x5A17u},
             pitch);
    play(out, clink(0.012), 1500.0 * pitch, start, 0.04, 0.35f);
    addBurst(out,
             {.start = start + 0.055,
              .seconds = 0.04,
              .centre = 2100,
              .q = 1.8,
              .decay = 0.009,
              .gain = 0.9f,
              .seed = 0x5A18u},
             pitch);
    play(out, thud(0.015), 520.0 * pitch, start + 0.055, 0.05, 0.4f);
}

// A tiny high ping of a bell, for sparkles and confetti.
void glint(std::vector<float>& out, double midi, double start, float gain, double pitch) {
    Voice voice = instruments::bell();
    for (Partial& partial : voice.partials) {
        partial.decay *= 0.25;
    }
    play(out, voice, synth::noteFrequency(midi) * pitch, start, 0.35, gain);
}

} // namespace

// ---- Clicks and taps on the field ----

// A dull knock on something that will not move: low, short and muffled.
std::vector<float> tap(const SoundRequest& request) {
    std::vector<float> out = silence(0.14);
    play(out, thud(0.03), 190.0 * request.pitch, 0.0, 0.12, 1.0f);
    addBurst(out, {.seconds = 0.05, .centre = 700, .q = 1.2, .decay = 0.01, .gain = 1.6f, .seed = 0x7A9u},
             request.pitch);
    endSoftly(out, 0.01);
    return out;
}

// A squeeze of a clown's horn.
std::vector<float> honk(const SoundRequest& request) {
    std::vector<float> out = silence(0.26);
    play(out, bulbHorn(), 340.0 * request.pitch, 0.0, 0.24, 1.0f);
    return out;
}

// A party blower unrolling: a buzzing reed that rises as the paper uncurls, fluttering as it goes, with a
// little breath behind it.
std::vector<float> blower(const SoundRequest& request) {
    std::vector<float> out = silence(0.55);
    Voice reed;
    for (int n = 1; n <= 10; ++n) {
        reed.partials.push_back(Partial{static_cast<double>(n), 1.0 / n});
    }
    reed.attack = 0.03;
    reed.release = 0.08;
    reed.glide = 1.18;
    reed.glideTime = 0.3;
    reed.vibratoRate = 9.0;
    reed.vibratoDepth = 0.008;
    play(out, reed, 560.0 * request.pitch, 0.0, 0.52, 1.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        out[i] *= static_cast<float>(0.7 + 0.3 * std::sin(2.0 * synth::pi * 23.0 * t));
    }
    addBurst(out,
             {.seconds = 0.5,
              .centre = 2400,
              .q = 1.0,
              .attack = 0.03,
              .decay = 0.4,
              .gain = 0.5f,
              .seed = 0xB10Au},
             request.pitch);
    return out;
}

// A grumpy "hmph": a low hum through closed lips that falls, then a puff of air.
std::vector<float> grumble(const SoundRequest& request) {
    std::vector<float> out = silence(0.4);
    Voice hum = voiced(130.0, {{260, 120, 1.0}, {1100, 300, 0.25}, {2500, 500, 0.08}}, 20);
    hum.attack = 0.02;
    hum.release = 0.06;
    hum.glide = 0.78;
    hum.glideTime = 0.22;
    play(out, hum, 130.0 * request.pitch, 0.0, 0.26, 1.0f);
    addBurst(out,
             {.start = 0.2,
              .seconds = 0.16,
              .centre = 1300,
              .centreEnd = 700,
              .q = 1.2,
              .attack = 0.01,
              .decay = 0.05,
              .gain = 2.2f,
              .seed = 0x4F4Du},
             request.pitch);
    return out;
}

std::vector<float> rattle(const SoundRequest& request) {
    std::vector<float> out = silence(0.42);
    addRattle(out, 0.0, 0.26, 7, 1.0f, request.pitch, 0xC4A1u);
    endSoftly(out, 0.02);
    return out;
}

std::vector<float> shutter(const SoundRequest& request) {
    std::vector<float> out = silence(0.16);
    addShutter(out, 0.0, request.pitch);
    endSoftly(out, 0.01);
    return out;
}

// A camera: the shutter, then the little motor that winds the film on.
std::vector<float> camera(const SoundRequest& request) {
    std::vector<float> out = silence(0.7);
    addShutter(out, 0.0, request.pitch);
    Voice motor;
    for (int n = 1; n <= 12; ++n) {
        motor.partials.push_back(Partial{static_cast<double>(n), n % 2 == 1 ? 1.0 / n : 0.3 / n});
    }
    motor.attack = 0.05;
    motor.release = 0.08;
    motor.glide = 1.15;
    motor.glideTime = 0.3;
    play(out, motor, 150.0 * request.pitch, 0.2, 0.42, 0.25f);
    addBurst(out,
             {.start = 0.2,
              .seconds = 0.42,
              .centre = 1600,
              .q = 2.0,
              .attack = 0.05,
              .decay = 1.0,
              .gain = 0.8f,
              .seed = 0xCA3Eu},
             request.pitch);
    endSoftly(out, 0.02);
    return out;
}

// ---- Pibbles that turn up ----

// Two heavy steps: a stubborn pibble stomping in.
std::vector<float> stomp(const SoundRequest& request) {
    std::vector<float> out = silence(0.5);
    for (const double at : {0.0, 0.17}) {
        play(out, thud(0.08), 95.0 * request.pitch, at, 0.25, at == 0.0 ? 0.85f : 1.0f);
        addBurst(out,
                 {.start = at,
                  .seconds = 0.12,
                  .centre = 420,
                  .q = 1.0,
                  .decay = 0.03,
                  .gain = 1.4f,
                  .seed = 0x570Au + static_cast<std::uint32_t>(at * 100)},
                 request.pitch);
    }
    return out;
}

// A little sigh: breath through an open mouth, falling, with a soft voice under it.
std::vector<float> sigh(const SoundRequest& request) {
    std::vector<float> out = silence(0.8);
    addBurst(out,
             {.seconds = 0.78,
              .centre = 1500,
              .centreEnd = 650,
              .q = 3.0,
              .attack = 0.15,
              .decay = 0.35,
              .gain = 1.6f,
              .seed = 0x5164u},
             request.pitch);
    Voice voice = voiced(300.0, {{700, 250, 1.0}, {1200, 300, 0.5}}, 8);
    voice.attack = 0.12;
    voice.release = 0.35;
    voice.glide = 0.72;
    voice.glideTime = 0.6;
    play(out, voice, 300.0 * request.pitch, 0.02, 0.74, 0.12f);
    return out;
}

// Honk-honk: the clown announces itself, the second squeeze higher.
std::vector<float> horn(const SoundRequest& request) {
    std::vector<float> out = silence(0.5);
    play(out, bulbHorn(), 300.0 * request.pitch, 0.0, 0.16, 0.9f);
    play(out, bulbHorn(), 300.0 * synth::semitoneFactor(5) * request.pitch, 0.2, 0.28, 1.0f);
    return out;
}

// A quick run up the scale on wood, bells on top and a few glints: something festive arrived.
std::vector<float> flourish(const SoundRequest& request) {
    std::vector<float> out = silence(1.0);
    const double run[] = {72, 74, 76, 77, 79, 81, 83, 84};
    for (int i = 0; i < 8; ++i) {
        strike(out, instruments::marimba(), synth::noteFrequency(run[i]) * request.pitch, 0.035 * i, 0.7f);
    }
    strike(out, instruments::bell(), synth::noteFrequency(88) * request.pitch, 0.3, 0.35f);
    strike(out, instruments::bell(), synth::noteFrequency(91) * request.pitch, 0.34, 0.3f);
    strike(out, instruments::bell(), synth::noteFrequency(96) * request.pitch, 0.38, 0.25f);
    synth::Noise dice(0xF10Fu);
    for (int i = 0; i < 6; ++i) {
        glint(out, 100 + 3 * dice.below(4), 0.42 + 0.06 * i + 0.03 * dice.uniform(), 0.12f, request.pitch);
    }
    endSoftly(out, 0.05);
    return out;
}

// ---- Matches and what they take away ----

// A bright leap of a fifth over a breath rising with it; each step of a combo sounds it higher.
std::vector<float> combo(const SoundRequest& request) {
    std::vector<float> out = silence(0.55);
    addBurst(out,
             {.seconds = 0.12,
              .centre = 1200,
              .centreEnd = 4200,
              .q = 2.0,
              .attack = 0.04,
              .decay = 0.1,
              .gain = 0.8f,
              .seed = 0xC0B0u},
             request.pitch);
    strike(out, instruments::marimba(), synth::noteFrequency(79) * request.pitch, 0.06, 0.8f);
    strike(out, instruments::marimba(), synth::noteFrequency(86) * request.pitch, 0.12, 0.9f);
    strike(out, instruments::bell(), synth::noteFrequency(91) * request.pitch, 0.12, 0.35f);
    return out;
}

// A party popper: the pop, paper rustling down and bits of colour glinting as they fall.
std::vector<float> confetti(const SoundRequest& request) {
    std::vector<float> out = silence(0.95);
    play(out, thud(0.03), 150.0 * request.pitch, 0.0, 0.1, 0.9f);
    addBurst(out, {.seconds = 0.08, .centre = 900, .q = 1.2, .decay = 0.015, .gain = 2.0f, .seed = 0xC0F1u},
             request.pitch);
    addBurst(out,
             {.start = 0.03,
              .seconds = 0.85,
              .centre = 5000,
              .centreEnd = 3500,
              .q = 1.5,
              .attack = 0.05,
              .decay = 0.25,
              .gain = 0.7f,
              .seed = 0xC0F2u},
             request.pitch);
    synth::Noise dice(0xC0F3u);
    constexpr double pentatonic[] = {96, 98, 100, 103, 105};
    for (int i = 0; i < 14; ++i) {
        // Thick at first, then thinning out.
        const double at = 0.06 + 0.7 * std::pow((static_cast<double>(i) + dice.uniform()) / 14, 1.6);
        glint(out, pentatonic[dice.below(5)], at, 0.16f * static_cast<float>(1.0 - 0.04 * i), request.pitch);
    }
    endSoftly(out, 0.05);
    return out;
}

// A slide whistle falling away, and a small pop as the clown is gone.
std::vector<float> slide(const SoundRequest& request) {
    std::vector<float> out = silence(0.55);
    Voice whistle = instruments::flute();
    whistle.attack = 0.02;
    whistle.glide = 0.36;
    whistle.glideTime = 0.38;
    whistle.vibratoRate = 7.0;
    whistle.vibratoDepth = 0.01;
    play(out, whistle, 1400.0 * request.pitch, 0.0, 0.42, 1.0f);
    Voice pop = thud(0.02);
    pop.glide = 1.8;
    pop.glideTime = 0.04;
    play(out, pop, 420.0 * request.pitch, 0.42, 0.1, 0.6f);
    return out;
}

// A chain breaking: the clank of the lock springing, the snap, and the links rattling as they drop.
std::vector<float> chainBreak(const SoundRequest& request) {
    std::vector<float> out = silence(0.65);
    play(out, clink(0.16), 880.0 * request.pitch, 0.0, 0.4, 1.0f);
    play(out, clink(0.1), 1320.0 * request.pitch, 0.004, 0.3, 0.5f);
    addBurst(out, {.seconds = 0.05, .centre = 3000, .q = 1.0, .decay = 0.01, .gain = 2.0f, .seed = 0xB4EAu},
             request.pitch);
    addRattle(out, 0.09, 0.4, 9, 0.6f, request.pitch, 0xB4EBu);
    endSoftly(out, 0.03);
    return out;
}

// Poof: a soft cloud of breath sinking in pitch over a low bump, then two happy notes.
std::vector<float> poof(const SoundRequest& request) {
    std::vector<float> out = silence(0.6);
    addBurst(out,
             {.seconds = 0.3,
              .centre = 1800,
              .centreEnd = 350,
              .q = 1.2,
              .attack = 0.01,
              .decay = 0.09,
              .gain = 2.0f,
              .seed = 0x900Fu},
             request.pitch);
    play(out, thud(0.06), 120.0 * request.pitch, 0.0, 0.2, 0.7f);
    strike(out, instruments::marimba(), synth::noteFrequency(72) * request.pitch, 0.2, 0.45f);
    strike(out, instruments::marimba(), synth::noteFrequency(79) * request.pitch, 0.28, 0.5f);
    return out;
}

// A shiny sparkle: a quick cascade of little bells over a shimmer of two close tones beating.
std::vector<float> sparkle(const SoundRequest& request) {
    std::vector<float> out = silence(0.85);
    Voice shimmer;
    shimmer.partials = {Partial{1.0, 1.0, 0.0, 0.0}, Partial{1.0, 0.8, 0.0, 5.0},
                        Partial{2.0, 0.2, 0.0, 3.0}};
    shimmer.attack = 0.08;
    shimmer.release = 0.4;
    play(out, shimmer, synth::noteFrequency(96) * request.pitch, 0.0, 0.8, 0.12f);
    constexpr double cascade[] = {108, 105, 103, 100, 98, 96, 100, 103, 108};
    for (int i = 0; i < 9; ++i) {
        glint(out, cascade[i], 0.03 * i, 0.3f * static_cast<float>(1.0 - 0.06 * i), request.pitch);
    }
    endSoftly(out, 0.05);
    return out;
}

// ---- The level's end and its clock ----

// A short happy fanfare: a pick-up of three, a leap and a turn up to the high tonic, held over the full
// chord with bells ringing in it.
std::vector<float> fanfare(const SoundRequest& request) {
    std::vector<float> out = silence(2.1);
    const auto note = [&](double midi) { return synth::noteFrequency(midi) * request.pitch; };
    const struct {
        double midi;
        double start;
        double seconds;
    } melody[] = {{67, 0.0, 0.1},  {72, 0.1, 0.1},   {76, 0.2, 0.1}, {79, 0.3, 0.28},
                  {76, 0.6, 0.12}, {79, 0.72, 0.16}, {84, 0.9, 1.1}};
    Voice lead = instruments::flute();
    lead.attack = 0.015;
    for (const auto& step : melody) {
        strike(out, instruments::marimba(), note(step.midi), step.start, 0.8f);
        play(out, lead, note(step.midi), step.start, step.seconds + 0.05, 0.35f);
    }
    play(out, instruments::bass(), note(43), 0.3, 0.5, 0.6f);
    play(out, instruments::bass(), note(48), 0.9, 1.1, 0.7f);
    for (const double step : {60.0, 64.0, 67.0, 72.0}) {
        play(out, instruments::pad(0.7), note(step), 0.85, 1.2, 0.16f);
    }
    for (int i = 0; i < 3; ++i) {
        strike(out, instruments::bell(), note(96 + 4 * i - (i == 2 ? 1 : 0)), 0.9 + 0.07 * i, 0.28f);
    }
    endSoftly(out, 0.15);
    return out;
}

// A gentle "aww": three soft notes stepping down and a last one that droops and wavers, over a low note
// sinking with it.
std::vector<float> aww(const SoundRequest& request) {
    std::vector<float> out = silence(2.1);
    const auto note = [&](double midi) { return synth::noteFrequency(midi) * request.pitch; };
    Voice voice;
    voice.partials = {Partial{1.0, 1.0}, Partial{2.0, 0.4}, Partial{3.0, 0.22}, Partial{4.0, 0.1},
                      Partial{5.0, 0.05}};
    voice.attack = 0.05;
    voice.release = 0.12;
    voice.glide = 0.985;
    voice.glideTime = 0.3;
    voice.vibratoRate = 5.0;
    voice.vibratoDepth = 0.006;
    const double steps[] = {67, 66, 65};
    for (int i = 0; i < 3; ++i) {
        play(out, voice, note(steps[i]), 0.36 * i, 0.34, 0.8f);
    }
    Voice last = voice;
    last.release = 0.5;
    last.glide = 0.94;
    last.glideTime = 0.9;
    last.vibratoRate = 4.0;
    last.vibratoDepth = 0.018;
    play(out, last, note(64), 1.08, 0.98, 0.9f);
    Voice low = instruments::pad(0.6);
    low.glide = 0.9;
    low.glideTime = 1.6;
    play(out, low, note(48), 0.0, 2.05, 0.2f);
    endSoftly(out, 0.1);
    return out;
}

// The clock's last seconds, played once while time runs out: ticks and tocks by turns, closer together
// and a little louder as they go, the last one dying away before the clip ends. It lasts as long as the
// stretch of the clock it covers (5 s as the game is tuned), so it never falls silent while time is left.
std::vector<float> tick(const SoundRequest& request) {
    constexpr double length = 5.0;
    constexpr double lastTickBy = 4.75;
    constexpr double firstGap = 0.5;
    constexpr double quickening = 0.93;
    constexpr double shortestGap = 0.15;
    std::vector<float> out = silence(length);
    Voice wood = instruments::marimba();
    for (Partial& partial : wood.partials) {
        partial.decay *= 0.05;
    }
    wood.attack = 0.001;
    double gap = firstGap;
    bool tock = false;
    for (double at = 0.0; at <= lastTickBy; at += gap, gap = std::max(shortestGap, gap * quickening)) {
        const float gain = static_cast<float>(0.75 + 0.25 * at / lastTickBy);
        play(out, wood, (tock ? 1800.0 : 2400.0) * request.pitch, at, 0.08, gain);
        addBurst(out,
                 {.start = at,
                  .seconds = 0.02,
                  .centre = 4200,
                  .q = 2.0,
                  .attack = 0.001,
                  .decay = 0.004,
                  .gain = 0.8f * gain,
                  .seed = 0x71C0u},
                 request.pitch);
        tock = !tock;
    }
    return out;
}

// A quick bright blip: the clock counting each second while time runs short.
std::vector<float> blip(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.03}, Partial{2.0, 0.15, 0.015}};
    voice.attack = 0.002;
    voice.release = 0.01;
    voice.glide = 1.15;
    voice.glideTime = 0.02;
    return synth::renderNote(voice, 1320.0 * request.pitch, 0.05, rate);
}

} // namespace mkmedia::sounds
