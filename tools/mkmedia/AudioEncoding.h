#pragma once
// The two file formats of the generated sound: plain 16-bit PCM WAV for effects (the mixer loads them
// directly) and Ogg Vorbis for music (the engine converts it once into a WAV file beside it).

#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

// A mono RIFF/WAVE file: a 16-byte "fmt " chunk (PCM, 16 bits) and the "data" chunk, nothing else.
std::vector<std::uint8_t> encodeWav(const std::vector<float>& samples, int rate);

struct VorbisSettings {
    int rate = 22050;
    float quality = 0.3f; // libvorbis' VBR scale, -0.1 .. 1
    // The stream's serial number; fixed, so that the same music gives the same bytes.
    int serial = 1;
};

// A stream serial number made from the file name: fixed, and different for different files.
int oggSerialOf(const std::string& file);

// A stereo Ogg Vorbis file of the two equally long channels; false with a message when the encoder
// refuses the settings.
[[nodiscard]] bool encodeVorbis(const std::vector<float>& left, const std::vector<float>& right,
                                const VorbisSettings& settings, std::vector<std::uint8_t>& file,
                                std::string& error);

} // namespace mkmedia
