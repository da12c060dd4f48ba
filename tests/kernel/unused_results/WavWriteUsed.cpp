// Compiled by UnusedResults.cmake: a caller that looks at whether the sound file was written compiles.
#include "tools/mkmedia/AudioEncoding.h"
#include "tools/mkmedia/OutputFile.h"

#include <string>

bool writeSound(const std::vector<float>& samples, std::string& error) {
    return mkmedia::writeFileAtomically("sound.wav", mkmedia::encodeWav(samples, 22050), error);
}
