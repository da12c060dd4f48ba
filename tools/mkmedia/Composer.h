#pragma once
// Writes the score of a looping tune: a chord progression with a pad and a bass, a melody drawn from a
// scale by a seeded walk that lands on chord tones at strong beats, and light percussion. The last bar
// always holds the dominant chord, so the tune turns round into its first bar when it loops.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mkmedia::music {

enum class Instrument { Marimba, Bell, Flute, Pad, Bass, Shaker, Kick };

struct Note {
    Instrument instrument = Instrument::Marimba;
    double start = 0.0;   // seconds from the start of the loop
    double seconds = 0.0; // how long it sounds; a note may ring past the loop's end
    double midi = 60.0;   // MIDI note number (ignored by the percussion)
    float gain = 1.0f;
    float pan = 0.0f; // -1 left .. 1 right
};

// One beat position within a bar and a length, both in beats.
struct Step {
    double beat = 0.0;
    double length = 1.0;
    int semitones = 0; // the bass: above the chord's root
};

struct Style {
    int key = 0;         // the tonic's pitch class, 0 = C
    int melodyBase = 72; // MIDI note of the tonic the melody moves around
    int beatsPerBar = 4;
    double beatsPerMinute = 100.0;
    std::vector<int> progression; // chord roots as degrees of the major scale, 0 = I
    bool pentatonic = true;       // the melody leaves out the scale's fourth and seventh
    Instrument lead = Instrument::Marimba;
    std::vector<std::vector<Step>> melodyRhythms; // bars of the melody; the last one ends a phrase
    std::vector<Step> bassLine;
    bool arpeggio = false;
    bool shaker = false;
    bool kick = false;
    std::uint32_t seed = 1;
};

// The style of a music kind ("loading", "selection", "game"); any other kind gets the selection's.
Style styleOf(const std::string& kind);

struct Score {
    double seconds = 0.0;
    double beatSeconds = 0.5; // the tempo after bending
    std::vector<Note> notes;
};

// Whole bars of the style filling `seconds` exactly: the tempo bends a little to make them fit.
Score compose(const Style& style, double seconds);

} // namespace mkmedia::music
