#pragma once
// The voices shared by the sound effects and the music, tuned to sound soft and friendly: struck
// wooden bars and small bells rather than anything sharp.

#include "tools/mkmedia/Synth.h"

namespace mkmedia::instruments {

// A struck wooden bar: a warm fundamental and the bar's quickly fading overtones near 4 and 10 times it.
synth::Voice marimba();
// A small bell: slowly fading, with the inharmonic partials that make it ring and a slow beat.
synth::Voice bell();
// A soft sustained chord tone, a few harmonics with a slow swell.
synth::Voice pad(double detuneHz);
// A round plucked bass.
synth::Voice bass();
// A gentle whistle-like lead with a little vibrato.
synth::Voice flute();

} // namespace mkmedia::instruments
