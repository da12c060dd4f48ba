// The sound of the name field: each key typed gives a soft tap, a little wooden knock over a brief tick of
// noise, short enough to follow quick typing without blurring.
#include "tools/mkmedia/SoundRecipes.h"

namespace mkmedia::sounds {

std::vector<float> keyTap(const SoundRequest& request) {
    std::vector<float> out = silence(0.07);
    play(out, thud(0.012), 420.0 * request.pitch, 0.0, 0.05, 0.8f);
    addBurst(out, {.seconds = 0.025, .centre = 2600, .q = 1.4, .decay = 0.005, .gain = 1.2f, .seed = 0x4E7u},
             request.pitch);
    endSoftly(out, 0.02);
    return out;
}

} // namespace mkmedia::sounds
