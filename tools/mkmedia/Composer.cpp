#include "tools/mkmedia/Composer.h"

#include "tools/mkmedia/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mkmedia::music {
namespace {

constexpr std::array<int, 7> majorScale = {0, 2, 4, 5, 7, 9, 11};
constexpr int dominant = 4;
// The melody's walk stays within these scale degrees around its tonic.
constexpr int lowestDegree = -2;
constexpr int highestDegree = 9;

// Semitones above the tonic of a scale degree of any octave (negative degrees lie below).
int degreeSemitones(int degree) {
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    return octave * 12 + majorScale[static_cast<std::size_t>(degree - octave * 7)];
}

struct Timing {
    int bars = 1;
    double beatSeconds = 0.5;
};

Timing timingOf(const Style& style, double seconds) {
    const double nominalBar = style.beatsPerBar * 60.0 / style.beatsPerMinute;
    Timing timing;
    timing.bars = std::max(1, static_cast<int>(std::lround(seconds / nominalBar)));
    timing.beatSeconds = seconds / (timing.bars * style.beatsPerBar);
    return timing;
}

int chordOfBar(const Style& style, int bar, int bars) {
    if (bars > 1 && bar == bars - 1) {
        return dominant;
    }
    return style.progression[static_cast<std::size_t>(bar) % style.progression.size()];
}

bool isChordTone(int degree, int chordRoot) {
    const int offset = ((degree - chordRoot) % 7 + 7) % 7;
    return offset == 0 || offset == 2 || offset == 4;
}

bool isAllowed(const Style& style, int degree) {
    const int inScale = (degree % 7 + 7) % 7;
    return !style.pentatonic || (inScale != 3 && inScale != 6);
}

// The chord tone closest to where the walk is, so strong beats sound consonant without leaps.
int nearestChordTone(int degree, int chordRoot) {
    for (int distance = 0; distance < 4; ++distance) {
        for (const int candidate : {degree - distance, degree + distance}) {
            if (candidate >= lowestDegree && candidate <= highestDegree &&
                isChordTone(candidate, chordRoot)) {
                return candidate;
            }
        }
    }
    return chordRoot;
}

// A strong beat lands on a chord tone near the walk, but not on the note just played: a melody that
// keeps striking one pitch on the downbeats sounds stuck.
int strongBeatDegree(int walked, int previous, int chordRoot) {
    const int nearest = nearestChordTone(walked, chordRoot);
    if (nearest != previous) {
        return nearest;
    }
    const int direction = walked >= previous ? 1 : -1;
    for (const int way : {direction, -direction}) {
        for (int degree = previous + way; degree >= lowestDegree && degree <= highestDegree; degree += way) {
            if (isChordTone(degree, chordRoot)) {
                return degree;
            }
        }
    }
    return nearest;
}

// Mostly steps, sometimes a skip; the walk turns back at the edges of its range.
int nextDegree(const Style& style, int degree, synth::Noise& noise) {
    constexpr std::array<int, 6> moves = {-2, -1, -1, 1, 1, 2};
    for (int attempt = 0; attempt < 8; ++attempt) {
        int candidate = degree + moves[static_cast<std::size_t>(noise.below(static_cast<int>(moves.size())))];
        if (candidate < lowestDegree || candidate > highestDegree) {
            candidate = degree - (candidate - degree);
        }
        if (isAllowed(style, candidate)) {
            return candidate;
        }
    }
    return degree;
}

class Writer {
public:
    Writer(const Style& style, double seconds)
        : style(style), timing(timingOf(style, seconds)), noise(style.seed) {
        score.seconds = seconds;
        score.beatSeconds = timing.beatSeconds;
    }

    Score write();

private:
    double at(int bar, double beat) const { return (bar * style.beatsPerBar + beat) * timing.beatSeconds; }
    void add(Instrument instrument, int bar, double beat, double beats, double midi, float gain, float pan);
    void writePad(int bar, int chord);
    void writeBass(int bar, int chord);
    void writeArpeggio(int bar, int chord);
    void writePercussion(int bar);
    const std::vector<Step>& melodyRhythm(int bar) const;
    void writeMelody(int bar, int chord);

    const Style& style;
    const Timing timing;
    synth::Noise noise;
    Score score;
    int melodyDegree = 2;
    // The degrees of each bar's melody, so that later phrases can repeat the opening bars.
    std::vector<std::vector<int>> melodyBars;
};

void Writer::add(Instrument instrument, int bar, double beat, double beats, double midi, float gain,
                 float pan) {
    score.notes.push_back(Note{instrument, at(bar, beat), beats * timing.beatSeconds, midi, gain, pan});
}

void Writer::writePad(int bar, int chord) {
    const int base = 48 + style.key;
    for (const int step : {0, 2, 4}) {
        // The pad rings a little into the next bar so that chord changes overlap instead of gapping.
        add(Instrument::Pad, bar, 0.0, style.beatsPerBar + 0.5, base + degreeSemitones(chord + step), 0.09f,
            0.0f);
    }
}

void Writer::writeBass(int bar, int chord) {
    const int root = 36 + style.key + majorScale[static_cast<std::size_t>(chord)];
    for (const Step& step : style.bassLine) {
        add(Instrument::Bass, bar, step.beat, step.length, root + step.semitones, 0.38f, 0.0f);
    }
}

void Writer::writeArpeggio(int bar, int chord) {
    constexpr std::array<int, 4> shape = {0, 2, 4, 2};
    const int base = 60 + style.key;
    for (int eighth = 0; eighth < style.beatsPerBar * 2; ++eighth) {
        const int step = shape[static_cast<std::size_t>(eighth) % shape.size()];
        add(Instrument::Marimba, bar, eighth * 0.5, 0.5, base + degreeSemitones(chord + step), 0.16f, -0.35f);
    }
}

void Writer::writePercussion(int bar) {
    for (int beat = 0; beat < style.beatsPerBar; ++beat) {
        if (style.shaker) {
            add(Instrument::Shaker, bar, beat + 0.5, 0.25, 0.0, 0.09f, 0.35f);
        }
        if (style.kick && beat % 2 == 0) {
            add(Instrument::Kick, bar, beat, 0.5, 0.0, 0.4f, 0.0f);
        }
    }
}

// Bars go in fours: the last bar of each four, and the loop's last bar, end a phrase.
const std::vector<Step>& Writer::melodyRhythm(int bar) const {
    const bool endsPhrase = bar % 4 == 3 || bar == timing.bars - 1;
    if (endsPhrase) {
        return style.melodyRhythms.back();
    }
    const std::size_t patterns = style.melodyRhythms.size() - 1;
    return style.melodyRhythms[static_cast<std::size_t>(bar % 4) % patterns];
}

void Writer::writeMelody(int bar, int chord) {
    const std::vector<Step>& rhythm = melodyRhythm(bar);
    // A phrase's first half answers the opening one: same notes when the chords are the same.
    const bool repeats = bar >= 4 && bar % 4 < 2 && bar != timing.bars - 1 &&
                         chordOfBar(style, bar, timing.bars) == chordOfBar(style, bar - 4, timing.bars);
    std::vector<int> degrees;
    for (std::size_t i = 0; i < rhythm.size(); ++i) {
        const Step& step = rhythm[i];
        int degree = 0;
        if (repeats && i < melodyBars[static_cast<std::size_t>(bar - 4)].size()) {
            degree = melodyBars[static_cast<std::size_t>(bar - 4)][i];
        } else {
            const bool strong = std::fmod(step.beat, 2.0) == 0.0;
            degree = nextDegree(style, melodyDegree, noise);
            if (strong) {
                degree = strongBeatDegree(degree, melodyDegree, chord);
            }
        }
        melodyDegree = degree;
        degrees.push_back(degree);
        add(style.lead, bar, step.beat, step.length, style.melodyBase + degreeSemitones(degree), 0.5f, 0.15f);
    }
    melodyBars.push_back(std::move(degrees));
}

Score Writer::write() {
    for (int bar = 0; bar < timing.bars; ++bar) {
        const int chord = chordOfBar(style, bar, timing.bars);
        writePad(bar, chord);
        writeBass(bar, chord);
        if (style.arpeggio) {
            writeArpeggio(bar, chord);
        }
        writePercussion(bar);
        writeMelody(bar, chord);
    }
    return std::move(score);
}

Style loadingStyle() {
    Style style;
    style.key = 5; // F major, a calm waltz
    style.melodyBase = 77;
    style.beatsPerBar = 3;
    style.beatsPerMinute = 84.0;
    style.progression = {0, 5, 3, 4};
    style.lead = Instrument::Marimba;
    style.melodyRhythms = {
        {{0, 1}, {1, 1}, {2, 1}},
        {{0, 1.5}, {1.5, 0.5}, {2, 1}},
        {{0, 2.5}},
    };
    style.bassLine = {{0, 1, 0}, {1, 2, 7}};
    style.seed = 11;
    return style;
}

Style selectionStyle() {
    Style style;
    style.key = 7; // G major, cheerful and easy-going
    style.melodyBase = 79;
    style.beatsPerBar = 4;
    style.beatsPerMinute = 104.0;
    style.progression = {0, 4, 5, 3};
    style.lead = Instrument::Marimba;
    style.melodyRhythms = {
        {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 1.5}, {3.5, 0.5}},
        {{0, 0.5}, {0.5, 0.5}, {1, 1}, {2, 0.5}, {2.5, 0.5}, {3, 1}},
        {{0, 1.5}, {1.5, 0.5}, {2, 2}},
        {{0, 3}},
    };
    style.bassLine = {{0, 1.5, 0}, {2, 1.5, 7}};
    style.shaker = true;
    style.seed = 23;
    return style;
}

Style gameStyle() {
    Style style;
    style.key = 2; // D major, bouncy, with a running accompaniment
    style.melodyBase = 74;
    style.beatsPerBar = 4;
    style.beatsPerMinute = 124.0;
    style.progression = {5, 3, 0, 4};
    style.pentatonic = false;
    style.lead = Instrument::Flute;
    style.melodyRhythms = {
        {{0, 1.5}, {1.5, 0.5}, {2, 1}, {3, 1}},
        {{0, 0.5}, {0.5, 0.5}, {1, 1}, {2, 2}},
        {{0, 1}, {1, 1}, {2, 0.5}, {2.5, 0.5}, {3, 1}},
        {{0, 2}, {2, 1}},
    };
    style.bassLine = {{0, 1, 0}, {1.5, 0.5, 0}, {2, 1, 7}, {3, 1, 12}};
    style.arpeggio = true;
    style.shaker = true;
    style.kick = true;
    style.seed = 37;
    return style;
}

} // namespace

Style styleOf(const std::string& kind) {
    if (kind == "loading") {
        return loadingStyle();
    }
    if (kind == "game") {
        return gameStyle();
    }
    return selectionStyle();
}

Score compose(const Style& style, double seconds) {
    return Writer(style, seconds).write();
}

} // namespace mkmedia::music
