#pragma once
// The recipes of the sound effects: each renders one effect, mono at `rate`, before the generator scales
// it to its peak. Sounds.cpp holds the generator, its table of kinds and the interface's recipes;
// PlaySounds.cpp those of the play field, AlbumSounds.cpp the album's, MapSounds.cpp the level end's and the
// chapter map's, MenuSounds.cpp the pause's, SelectionSounds.cpp the name field's.

#include "tools/mkmedia/Synth.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkmedia::sounds {

// The mixer runs at this rate, so effects need no resampling.
inline constexpr int rate = 44100;

struct SoundRequest {
    double pitch = 1.0;   // frequency factor from the "pitch" attribute's semitones
    double seconds = 0.3; // the length of the generic tone
    int notes = 3;        // how many notes a match's run climbs ("notes")
    int variant = 1;      // which of a kind's few takes ("variant"), such as the carrot's four bites
};

std::vector<float> silence(double seconds);
std::size_t frameAt(double seconds);
// A note that rings from `start` until the end of the sound.
void strike(std::vector<float>& out, const synth::Voice& voice, double frequency, double start, float gain);

// What the effects of PlaySounds.cpp and AlbumSounds.cpp are made of.
// A burst of band-passed noise: rises over `attack`, fades to 1/e every `decay` seconds and stops after
// `seconds`; its centre slides (evenly in pitch) from `centre` to `centreEnd`.
struct Burst {
    double start = 0.0;
    double seconds = 0.1;
    double centre = 1000.0;
    double centreEnd = 0.0; // 0 keeps the centre
    double q = 1.5;
    double attack = 0.002;
    double decay = 0.03;
    float gain = 1.0f;
    std::uint32_t seed = 1;
};
void addBurst(std::vector<float>& out, const Burst& burst, double pitch);
// A smooth step from 0 (x at or below 0) to 1 (x at or above 1).
double ramp(double x);
// A note of its own length (not ringing on to the end of the sound).
void play(std::vector<float>& out, const synth::Voice& voice, double frequency, double start, double seconds,
          float gain);
// The last moments fade out, so that no recipe stops on a sample away from silence.
void endSoftly(std::vector<float>& out, double seconds);
// A low thud: a sine bending down, gone in a moment.
synth::Voice thud(double decay);

// Clicks and taps on the field.
std::vector<float> tap(const SoundRequest& request);
std::vector<float> honk(const SoundRequest& request);
std::vector<float> blower(const SoundRequest& request);
std::vector<float> grumble(const SoundRequest& request);
std::vector<float> rattle(const SoundRequest& request);
std::vector<float> shutter(const SoundRequest& request);
std::vector<float> camera(const SoundRequest& request);
// Pibbles that turn up.
std::vector<float> stomp(const SoundRequest& request);
std::vector<float> sigh(const SoundRequest& request);
std::vector<float> horn(const SoundRequest& request);
std::vector<float> flourish(const SoundRequest& request);
// Matches and what they take away.
std::vector<float> combo(const SoundRequest& request);
std::vector<float> confetti(const SoundRequest& request);
std::vector<float> slide(const SoundRequest& request);
std::vector<float> chainBreak(const SoundRequest& request);
std::vector<float> poof(const SoundRequest& request);
std::vector<float> sparkle(const SoundRequest& request);
// The level's end and its clock.
std::vector<float> fanfare(const SoundRequest& request);
std::vector<float> aww(const SoundRequest& request);
std::vector<float> tick(const SoundRequest& request);
std::vector<float> blip(const SoundRequest& request);
// The album (AlbumSounds.cpp).
std::vector<float> bookOpen(const SoundRequest& request);
std::vector<float> bookClose(const SoundRequest& request);
std::vector<float> pageTurn(const SoundRequest& request);
std::vector<float> magic(const SoundRequest& request);
// The level's end and the chapter map (MapSounds.cpp).
std::vector<float> crunch(const SoundRequest& request);
std::vector<float> chapterFanfare(const SoundRequest& request);
std::vector<float> photoPop(const SoundRequest& request);
std::vector<float> arrive(const SoundRequest& request);
// The pause (MenuSounds.cpp): a chime stepping down as the game is paused, and up as it goes on.
std::vector<float> chimeDown(const SoundRequest& request);
std::vector<float> chimeUp(const SoundRequest& request);
// The name field's key (SelectionSounds.cpp).
std::vector<float> keyTap(const SoundRequest& request);

} // namespace mkmedia::sounds
