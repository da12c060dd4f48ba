#pragma once
// Decoding JPEG files into 32-bit images. Each result is new, with a reference count of 0 and alpha mode off.

#include "engine/graphics/MemoryImage32.h"

#include <cstddef>
#include <string>

namespace kernel {
class ZipArchive;
}

namespace graphics {

// Null when the file cannot be opened or its data is not a JPEG picture the library can decode.
MemoryImage32* loadJpegImage(const std::string& path);
// The same for a file's bytes held in memory; nothing beyond the size bytes at data is read.
MemoryImage32* loadJpegImage(const void* data, std::size_t size);
// With a file source given while an archive exists and the file-source mode is not plain files, the file
// is read through the file access layer (archive or scrambled) and decoded from memory; otherwise it is
// decoded from the path on disk.
MemoryImage32* loadJpegFile(const kernel::ZipArchive* source, const std::string& path);

} // namespace graphics
