#pragma once
// The converted sound file: a RIFF/WAVE file with a 16-byte "fmt " chunk (16-bit PCM), a "dep " chunk
// naming the source file's last-write time, and the "data" chunk.

#include "host/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// Decoded sound: signed 16-bit samples, channels interleaved.
struct PcmSound {
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::vector<std::uint8_t> bytes;
};

// The largest PCM store, which also keeps every RIFF size field within 32 bits.
constexpr std::size_t maxPcmBytes = 0x0FFFFFFF;

// Writes the file under a temporary name and renames it at the end, so that a file of the final name is
// always whole. False (and nothing of the final name changed) when any step fails.
bool writeWavFile(const std::string& wavName, const PcmSound& pcm, host::FILETIME sourceTime);

// True for a RIFF/WAVE file with "fmt " and "data" chunks whose chunk sizes add up to the file's size; a
// file cut short by a crash or a full disk is not complete.
bool isCompleteWavFile(const std::string& file);

} // namespace ui
