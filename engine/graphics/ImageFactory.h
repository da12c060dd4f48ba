#pragma once
// Making and converting images. Each result has a reference count of 0: the caller takes it.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/MemoryImage.h"
#include "engine/graphics/MemoryImage32.h"

namespace host {
class IDirectDrawSurface7;
}

namespace graphics {

class Screen16;
class Screen32;

// Pixels and alpha bytes all 0, alpha mode off. Null when the size is not positive or memory is short.
MemoryImage* createImage16(int width, int height);
MemoryImage* createImage16From(const ImageBase& image32);
// A 16-bit image of that size whose pixels and alpha bytes are left as they come: for a twin that is
// converted from its source before any of it is read.
MemoryImage* createTwinImage16(int width, int height);
// Packs each source pixel by the target's format; the target's alpha byte is the source's.
void convertImage32To16(const ImageBase& image32, MemoryImage& image16);
// The same for the rows top to bottom (exclusive) only. Rows of a target never written before whose buffers
// read 0 until written (a fresh twin) are written only between the first and the last source pixel that is
// not 0: their clear ends stay untouched memory.
void convertImage32To16Rows(const ImageBase& image32, MemoryImage& image16, int top, int bottom,
                            bool targetRowsUnwritten = false);
// Every pixel 0 and alpha mode off: code that builds a picture meant for per-pixel alpha sets the flag.
MemoryImage32* createImage32(int width, int height);
// An independent copy of the source's pixels; a picture kept cut into frames is put together whole.
MemoryImage32* createImage32From(const ImageBase& image);
// Null when the surface cannot describe itself or has another depth.
Screen16* createScreen16(host::IDirectDrawSurface7* surface);
Screen32* createScreen32(host::IDirectDrawSurface7* surface);
// Lane 1 red, 2 green, 3 blue, any other alpha.
ChannelBuffer* createImageChannel(const ImageBase& image32, int lane);

} // namespace graphics
