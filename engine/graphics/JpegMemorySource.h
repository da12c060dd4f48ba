#pragma once
// The source manager that hands a JPEG held in memory to the decompressor.

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

// The library's TRUE and FALSE macros would clash with the host layer's constants of those names.
#undef TRUE
#undef FALSE

namespace graphics {

// The most bytes handed over at a time.
inline constexpr std::size_t jpegSourceBlock = 4096;

// The library's boolean values.
inline constexpr boolean jpegTrue = 1;

// Makes the decompressor read the size bytes at data, in blocks of at most jpegSourceBlock bytes. Once
// the data is used up every further request gets an end-of-image marker (0xFF 0xD9), so truncated or damaged
// data still comes to an end. The manager comes from the decompressor's permanent pool on the first call
// and is reused by later ones.
void setJpegMemorySource(j_decompress_ptr decompressor, const unsigned char* data, std::size_t size);

} // namespace graphics
