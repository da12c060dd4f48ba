#pragma once
// Writing finished pictures in the formats the game reads.

#include "engine/graphics/MemoryImage32.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mkmedia {

// RGBA, 8 bits a channel, no time stamp or other chunk that would differ between runs.
bool encodePng(const graphics::MemoryImage32& image, std::vector<std::uint8_t>& bytes, std::string& error);
// Baseline RGB at a fixed quality; the alpha lane is dropped.
bool encodeJpeg(const graphics::MemoryImage32& image, int quality, std::vector<std::uint8_t>& bytes,
                std::string& error);
// A 32-bit bottom-up BMP whose header declares an alpha mask (BITMAPV4HEADER), which SDL reads with alpha.
std::vector<std::uint8_t> encodeBmp(const graphics::MemoryImage32& image);

// Encodes by the path's extension (.png, .jpg/.jpeg, .bmp) and writes the file atomically.
bool writeImageFile(const std::filesystem::path& path, const graphics::MemoryImage32& image,
                    std::string& error);

} // namespace mkmedia
