#pragma once
// The memory of an image's pixels. A large buffer is mapped from the system on its own: its pages stay
// unbacked until a byte of them is written (reading one costs nothing), so the clear margins of a picture
// that its writer leaves alone take no memory, and a freed buffer goes back to the system at once instead
// of staying in the heap. A small one comes from the heap, where a mapping's page rounding would waste more
// than it saves.

#include <cstddef>

namespace graphics {

// From this many bytes on, a buffer is mapped on its own.
inline constexpr std::size_t mappedPixelBytes = 32 * 1024;

// Bytes 0 when cleared (a mapped buffer always is); null when the bytes are 0 or memory is short.
void* allocatePixelMemory(std::size_t bytes, bool cleared);
// Takes the byte count the buffer was allocated with; null is nothing.
void freePixelMemory(void* memory, std::size_t bytes);
// True when a buffer of that many bytes is mapped on its own, so that it reads 0 wherever it has not been
// written: a copy into a fresh one may leave the zero runs of its source alone.
bool isUntouchedZeroMemory(std::size_t bytes);

// Reads a byte of every page of the buffer, so that the pages never written are mapped (to the system's
// one page of zeros, which takes no memory) now rather than at the first draw that reads them. Nothing for
// a buffer that is not mapped on its own.
void mapUnwrittenPages(const void* memory, std::size_t bytes);

// Copies the bytes of the row into the target except the zero runs at its two ends, which a buffer that
// reads 0 already holds; an all-zero row writes nothing.
void copyRowSkippingClearEnds(void* target, const void* source, std::size_t bytes);

} // namespace graphics
