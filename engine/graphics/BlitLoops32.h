#pragma once
// The 32-bit painter's own loops: rows of pixel pairs (one SIMD step each) and a single last pixel for an odd
// width. The pairing decides some results, so the plain and the SSE2 forms keep it alike. Callers clip first;
// alphas are 0..255. Each loop locks what it touches and writes nothing when a lock fails.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageBase.h"

#include <cstdint>

namespace graphics {

void BlitCopy32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
// The source's RGB, the destination's alpha.
void BlitMasked32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
// All four lanes blended with the uniform alpha.
void BlitUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha);
// RGB blended by the source's alpha times the uniform alpha; the destination's alpha kept.
void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha);
// The colour's RGB blended through the buffer's bytes taken as alpha; the destination's alpha kept.
void ChannelFill32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                   int height, std::uint32_t color, int alpha);
// A lane outside 0..3 changes nothing.
void BlitLane32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                int lane);
void LaneMin32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
               int lane);
void LaneMax32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
               int lane);
void ChannelToLane32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                     int height, int lane);

// The plain forms, also used where the processor has no SSE2; the tests hold the SIMD forms to them.
namespace plain {
void BlitCopy32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
void BlitMasked32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height);
void BlitUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                   int alpha);
void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha);
void ChannelFill32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                   int height, std::uint32_t color, int alpha);
void ChannelToLane32(ImageBase& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                     int height, int lane);
} // namespace plain

#if defined(__SSE2__)
// The forms of the loops that come in more than one instruction set (see SimdLevel.h): the public loop calls
// the highest the processor runs, and the tests hold each to the plain form.
namespace sse2 {
void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha);
} // namespace sse2
namespace avx2 {
void BlitAlphaUniform32(ImageBase& dst, int dx, int dy, ImageBase& src, int sx, int sy, int width, int height,
                        int alpha);
} // namespace avx2
#endif

} // namespace graphics
