#pragma once
// The one-time conversion of an OGG sound into a WAV file beside it, which the sound library loads as
// plain PCM.

#include "engine/ui/WavFile.h"
#include "host/Types.h"

#include <string>

namespace ui {

// The OGG file's name without its extension, followed by "_new.wav".
std::string convertedSoundName(const std::string& oggFile);

// Decodes the whole file into pcm; false for a file that cannot be opened or is no OGG sound. A stream
// that ends early leaves the rest of the store silent.
bool decodeOggToPcm(const std::string& oggFile, PcmSound& pcm);

// The file's last-write time; 0 when it cannot be read.
host::FILETIME lastWriteTime(const std::string& file);

// Decodes the OGG file and writes the WAV file; false when either fails, leaving no WAV file behind.
bool convertOggToWav(const std::string& oggFile, const std::string& wavName);

} // namespace ui
