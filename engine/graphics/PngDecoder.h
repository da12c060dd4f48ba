#pragma once
// Decoding PNG files into 32-bit images. Each result is new, with a reference count of 0 and alpha mode off.

#include "engine/graphics/MemoryImage32.h"

#include <cstddef>
#include <string>

namespace graphics {

// Null when the file cannot be opened, does not start with the PNG signature or fails to decode.
MemoryImage32* loadPngImage(const std::string& path);
// The same for a file's bytes held in memory (size bytes at data); nothing beyond them is read.
MemoryImage32* loadPngImageFromMemory(const void* data, std::size_t size);

} // namespace graphics
