// Sound effects: <sound file="sounds/NAME.wav" kind="..." pitch="semitones" seconds="length"/>; a match
// also takes "notes", a kind with several takes (the crunch) its "variant".
// Each kind is a short recipe of notes, glides or filtered noise; an unknown kind gives a soft tone.

#include "tools/mkmedia/AudioEncoding.h"
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/Instruments.h"
#include "tools/mkmedia/OutputFile.h"
#include "tools/mkmedia/SoundRecipes.h"
#include "tools/mkmedia/Synth.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace mkmedia {

namespace sounds {

std::vector<float> silence(double seconds) {
    return std::vector<float>(static_cast<std::size_t>(std::round(seconds * rate)), 0.0f);
}

std::size_t frameAt(double seconds) {
    return static_cast<std::size_t>(std::round(seconds * rate));
}

void strike(std::vector<float>& out, const synth::Voice& voice, double frequency, double start, float gain) {
    const double total = static_cast<double>(out.size()) / rate;
    synth::mixInto(out, synth::renderNote(voice, frequency, total - start, rate), frameAt(start), gain,
                   false);
}

} // namespace sounds

namespace {

using namespace sounds;
using synth::Partial;
using synth::Voice;

// Effects sit well below full scale: they play over music and often several at once.
constexpr float effectPeak = 0.5f;
constexpr float jinglePeak = 0.6f;

// C major up an octave and a bar of small bells to finish: the maker's cheerful signature.
std::vector<float> jingle(const SoundRequest& request) {
    std::vector<float> out = silence(1.7);
    const double steps[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) {
        strike(out, instruments::marimba(), synth::noteFrequency(steps[i]) * request.pitch, 0.11 * i, 0.8f);
    }
    strike(out, instruments::marimba(), synth::noteFrequency(88) * request.pitch, 0.5, 0.6f);
    strike(out, instruments::bell(), synth::noteFrequency(84) * request.pitch, 0.5, 0.35f);
    strike(out, instruments::bell(), synth::noteFrequency(91) * request.pitch, 0.56, 0.3f);
    strike(out, instruments::bell(), synth::noteFrequency(96) * request.pitch, 0.64, 0.2f);
    return out;
}

// A short drop in pitch reads as a soft pop rather than a tick.
std::vector<float> click(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.018}, Partial{2.0, 0.2, 0.008}};
    voice.attack = 0.002;
    voice.release = 0.015;
    voice.glide = 0.6;
    voice.glideTime = 0.03;
    return synth::renderNote(voice, 520.0 * request.pitch, 0.08, rate);
}

std::vector<float> over(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.02}, Partial{2.0, 0.1, 0.01}};
    voice.attack = 0.003;
    voice.release = 0.015;
    voice.glide = 1.12;
    voice.glideTime = 0.03;
    return synth::renderNote(voice, synth::noteFrequency(91) * request.pitch, 0.06, rate);
}

// A bubble sounds by rising in pitch as it closes; a smaller one follows for the bubbly tail.
std::vector<float> plop(const SoundRequest& request) {
    Voice bubble;
    bubble.partials = {Partial{1.0, 1.0, 0.06}, Partial{2.0, 0.12, 0.03}};
    bubble.attack = 0.003;
    bubble.release = 0.03;
    bubble.glide = 2.2;
    bubble.glideTime = 0.09;
    std::vector<float> out = silence(0.24);
    strike(out, bubble, 380.0 * request.pitch, 0.0, 1.0f);
    strike(out, bubble, 610.0 * request.pitch, 0.06, 0.35f);
    return out;
}

// Noise through a band-pass whose centre sweeps up and back down, under a swell.
std::vector<float> swoosh(const SoundRequest& request) {
    std::vector<float> out = silence(0.35);
    synth::Noise noise(0x5305u);
    // Two filters in a row: one alone lets through enough hiss to sound harsh.
    synth::BandPass first;
    synth::BandPass second;
    const double length = static_cast<double>(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) / length;
        const double centre = 400.0 * request.pitch * std::pow(5.0, std::sin(synth::pi * x));
        const double swell = std::pow(std::sin(synth::pi * std::pow(x, 0.8)), 2.0);
        const float filtered =
            second.process(first.process(noise.next(), centre, 1.5, rate), centre, 1.5, rate);
        out[i] = static_cast<float>(filtered * swell);
    }
    return out;
}

std::vector<float> chime(const SoundRequest& request) {
    std::vector<float> out = silence(1.0);
    strike(out, instruments::bell(), synth::noteFrequency(88) * request.pitch, 0.0, 0.7f);
    strike(out, instruments::bell(), synth::noteFrequency(95) * request.pitch, 0.09, 0.5f);
    return out;
}

// A quick rising run capped by a bell: a small reward. The more notes ("notes", 3 to 7) the higher the
// run climbs and the more bells ring after it; three notes are a plain triad.
std::vector<float> match(const SoundRequest& request) {
    constexpr double ladder[] = {79, 84, 88, 91, 96, 100, 103};
    constexpr double caps[] = {96, 100, 103, 108, 108};
    const int notes = std::clamp(request.notes, 3, 7);
    const int extra = notes - 3;
    std::vector<float> out = silence(0.6 + 0.1 * extra);
    // Runs of up to six start on the ladder's second rung; seven reach down to its first.
    const int first = notes == 7 ? 0 : 1;
    const double spacing = 0.06 - 0.005 * extra;
    for (int i = 0; i < notes; ++i) {
        strike(out, instruments::marimba(), synth::noteFrequency(ladder[first + i]) * request.pitch,
               spacing * i, 0.8f);
    }
    const double end = spacing * (notes - 1);
    strike(out, instruments::bell(), synth::noteFrequency(caps[extra]) * request.pitch, end + 0.06, 0.3f);
    if (notes >= 5) {
        strike(out, instruments::bell(), synth::noteFrequency(caps[extra] - 12) * request.pitch, end + 0.1,
               0.25f);
    }
    if (notes >= 6) {
        for (int i = 0; i < 3; ++i) {
            strike(out, instruments::bell(), synth::noteFrequency(caps[extra] + 4 * i - 5) * request.pitch,
                   end + 0.16 + 0.05 * i, 0.12f);
        }
    }
    if (notes == 7) {
        for (const double step : {60.0, 64.0, 67.0}) {
            strike(out, instruments::pad(0.8), synth::noteFrequency(step) * request.pitch, 0.0, 0.18f);
        }
    }
    return out;
}

// A spring: the pitch bends up as the pibble takes off, wobbling as it flies.
std::vector<float> jump(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.12}, Partial{2.0, 0.25, 0.05}, Partial{3.0, 0.08, 0.03}};
    voice.attack = 0.004;
    voice.release = 0.04;
    voice.glide = 1.9;
    voice.glideTime = 0.12;
    voice.vibratoRate = 18.0;
    voice.vibratoDepth = 0.03;
    return synth::renderNote(voice, 300.0 * request.pitch, 0.22, rate);
}

// A whistle falling away, for a drop down the field.
std::vector<float> fall(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.2}, Partial{2.0, 0.15, 0.08}};
    voice.attack = 0.006;
    voice.release = 0.05;
    voice.glide = 0.45;
    voice.glideTime = 0.2;
    return synth::renderNote(voice, 900.0 * request.pitch, 0.25, rate);
}

// The short spring of a hop in place.
std::vector<float> hop(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.05}, Partial{2.0, 0.2, 0.02}};
    voice.attack = 0.003;
    voice.release = 0.02;
    voice.glide = 1.5;
    voice.glideTime = 0.05;
    return synth::renderNote(voice, 420.0 * request.pitch, 0.12, rate);
}

// Two soft notes sliding down, the second lower: a friendly "uh-oh" for a move that matched nothing.
std::vector<float> wrong(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0, 0.16}, Partial{2.0, 0.3, 0.08}, Partial{3.0, 0.1, 0.05}};
    voice.attack = 0.006;
    voice.release = 0.05;
    voice.glide = 0.85;
    voice.glideTime = 0.12;
    voice.vibratoRate = 9.0;
    voice.vibratoDepth = 0.015;
    std::vector<float> out = silence(0.42);
    strike(out, voice, synth::noteFrequency(67) * request.pitch, 0.0, 0.8f);
    strike(out, voice, synth::noteFrequency(62) * request.pitch, 0.16, 0.9f);
    return out;
}

std::vector<float> softTone(const SoundRequest& request) {
    Voice voice;
    voice.partials = {Partial{1.0, 1.0}, Partial{2.0, 0.2}, Partial{3.0, 0.05}};
    voice.attack = std::min(0.02, request.seconds / 4);
    voice.release = std::min(0.1, request.seconds / 3);
    return synth::renderNote(voice, 660.0 * request.pitch, request.seconds, rate);
}

struct Recipe {
    const char* kind;
    std::vector<float> (*render)(const SoundRequest&);
    float peak;
};

constexpr Recipe recipes[] = {
    {"jingle", jingle, jinglePeak},
    {"click", click, effectPeak},
    {"over", over, effectPeak * 0.7f},
    {"plop", plop, effectPeak},
    {"swoosh", swoosh, effectPeak},
    {"chime", chime, effectPeak},
    {"match", match, effectPeak},
    {"jump", jump, effectPeak},
    {"fall", fall, effectPeak * 0.8f},
    {"hop", hop, effectPeak * 0.8f},
    {"wrong", wrong, effectPeak * 0.8f},
    // The play field's (PlaySounds.cpp).
    {"tap", tap, effectPeak * 0.7f},
    {"honk", honk, effectPeak * 0.8f},
    {"blower", blower, effectPeak * 0.7f},
    {"grumble", grumble, effectPeak * 0.8f},
    {"rattle", rattle, effectPeak * 0.7f},
    {"shutter", shutter, effectPeak * 0.85f},
    {"camera", camera, effectPeak * 0.8f},
    {"stomp", stomp, effectPeak},
    {"sigh", sigh, effectPeak * 0.7f},
    {"horn", horn, effectPeak * 0.8f},
    {"flourish", flourish, effectPeak},
    {"combo", combo, effectPeak},
    {"confetti", confetti, effectPeak},
    {"slide", slide, effectPeak * 0.6f},
    {"chainbreak", chainBreak, effectPeak},
    {"poof", poof, effectPeak},
    {"sparkle", sparkle, effectPeak * 0.8f},
    {"fanfare", fanfare, jinglePeak},
    {"aww", aww, effectPeak * 0.9f},
    {"tick", tick, effectPeak * 0.6f},
    {"blip", blip, effectPeak * 0.6f},
    // The album's (AlbumSounds.cpp).
    {"bookopen", bookOpen, effectPeak * 0.8f},
    {"bookclose", bookClose, effectPeak * 0.8f},
    {"pageturn", pageTurn, effectPeak * 0.6f},
    {"magic", magic, effectPeak * 0.8f},
    // The level's end and the chapter map's (MapSounds.cpp).
    {"crunch", crunch, effectPeak * 0.8f},
    {"chapterfanfare", chapterFanfare, jinglePeak},
    {"photopop", photoPop, effectPeak * 0.8f},
    {"arrive", arrive, effectPeak * 0.8f},
    // The pause's (MenuSounds.cpp).
    {"chimedown", chimeDown, effectPeak * 0.8f},
    {"chimeup", chimeUp, effectPeak * 0.8f},
    // The name field's (SelectionSounds.cpp).
    {"keytap", keyTap, effectPeak * 0.5f},
};

constexpr Recipe fallbackRecipe{"", softTone, effectPeak * 0.8f};

const Recipe& recipeFor(const std::string& kind) {
    for (const Recipe& recipe : recipes) {
        if (kind == recipe.kind) {
            return recipe;
        }
    }
    return fallbackRecipe;
}

// Bounds against bad data: beyond two octaves the recipes stop sounding like themselves, and the
// generic tone is an effect, not music.
SoundRequest requestOf(const Entry& entry) {
    SoundRequest request;
    request.pitch = synth::semitoneFactor(std::clamp(entry.number("pitch", 0.0), -24.0, 24.0));
    request.seconds = std::clamp(entry.number("seconds", 0.3), 0.02, 10.0);
    request.notes = std::clamp(entry.integer("notes", 3), 3, 7);
    request.variant = std::clamp(entry.integer("variant", 1), 1, 8);
    return request;
}

} // namespace

bool generateSound(const Entry& entry, const Context& context, std::string& error) {
    std::filesystem::path path;
    if (!resolveOutputPath(context.outputFolder, entry.file(), path, error)) {
        return false;
    }
    const Recipe& recipe = recipeFor(entry.kind());
    std::vector<float> samples = recipe.render(requestOf(entry));
    synth::normalise(samples, recipe.peak);
    // An effect may be shipped as OGG: the game converts such a sound once into a WAV beside it.
    if (path.extension() == ".ogg") {
        std::vector<std::uint8_t> file;
        const VorbisSettings settings{rate, 0.4f, oggSerialOf(entry.file())};
        return encodeVorbis(samples, samples, settings, file, error) &&
               writeFileAtomically(path, file, error);
    }
    return writeFileAtomically(path, encodeWav(samples, rate), error);
}

} // namespace mkmedia
