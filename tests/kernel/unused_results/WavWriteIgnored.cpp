// Compiled by UnusedResults.cmake: the media generator's caller that drops whether a sound file was written
// does not compile.
#include "tools/mkmedia/AudioEncoding.h"
#include "tools/mkmedia/OutputFile.h"

#include <string>

void writeSound(const std::vector<float>& samples) {
    std::string error;
    mkmedia::writeFileAtomically("sound.wav", mkmedia::encodeWav(samples, 22050), error);
}
