#include "tools/mkmedia/Instruments.h"

namespace mkmedia::instruments {

using synth::Partial;
using synth::Voice;

Voice marimba() {
    Voice voice;
    voice.partials = {
        Partial{1.0, 1.0, 0.45},
        Partial{2.0, 0.12, 0.2},
        Partial{3.93, 0.22, 0.05},
        Partial{9.8, 0.05, 0.015},
    };
    voice.attack = 0.004;
    voice.release = 0.06;
    return voice;
}

Voice bell() {
    Voice voice;
    voice.partials = {
        Partial{1.0, 1.0, 0.9},   Partial{1.0, 0.35, 0.9, 1.3}, Partial{2.0, 0.45, 0.5},
        Partial{2.76, 0.25, 0.3}, Partial{5.4, 0.1, 0.12},      Partial{8.93, 0.04, 0.06},
    };
    voice.attack = 0.003;
    voice.release = 0.08;
    return voice;
}

Voice pad(double detuneHz) {
    Voice voice;
    voice.partials = {
        Partial{1.0, 1.0, 0.0, detuneHz},
        Partial{2.0, 0.3, 0.0, detuneHz},
        Partial{3.0, 0.12, 0.0, detuneHz},
        Partial{4.0, 0.05, 0.0, detuneHz},
    };
    voice.attack = 0.35;
    voice.release = 0.5;
    return voice;
}

Voice bass() {
    Voice voice;
    voice.partials = {
        Partial{1.0, 1.0, 0.7},
        Partial{2.0, 0.35, 0.25},
        Partial{3.0, 0.12, 0.12},
    };
    voice.attack = 0.008;
    voice.release = 0.08;
    return voice;
}

Voice flute() {
    Voice voice;
    voice.partials = {
        Partial{1.0, 1.0, 0.0},
        Partial{2.0, 0.18, 0.0},
        Partial{3.0, 0.06, 0.0},
    };
    voice.attack = 0.04;
    voice.release = 0.1;
    voice.vibratoRate = 5.0;
    voice.vibratoDepth = 0.004;
    return voice;
}

} // namespace mkmedia::instruments
