#pragma once
// The RGB565 pixel loops of 16-bit images. Callers clip first: every rectangle lies inside both images.
// Each loop locks the images it touches and writes nothing when a lock fails.
// The blits and ChannelFill565 work in groups of four pixels from each row's start, then single pixels; the
// grouping decides some results (an opaque pixel is copied only with its whole group), so the plain and the
// SSE2 forms keep it alike.

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/MemoryImage.h"

#include <cstdint>

namespace graphics {

void Blit565Copy(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height);
void Blit565Alpha(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height);
void Blit565Blend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
                  int alpha);
void Blit565AlphaBlend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width,
                       int height, int alpha);

void ChannelToAlpha565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                       int height);
void CopyAlpha565(MemoryImage& dst, int x, int y, MemoryImage& src, int sx, int sy, int width, int height);
void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha);

// The plain forms of the group loops, also used where the processor has no SSE2; the tests hold the SIMD
// forms to them.
namespace plain {
void Blit565Copy(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height);
void Blit565Alpha(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height);
void Blit565Blend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width, int height,
                  int alpha);
void Blit565AlphaBlend(MemoryImage& dst, int dx, int dy, MemoryImage& src, int sx, int sy, int width,
                       int height, int alpha);
void ChannelFill565(MemoryImage& dst, int x, int y, ChannelBuffer& channel, int cx, int cy, int width,
                    int height, std::uint16_t color, int alpha);
} // namespace plain

void PutPixel565(MemoryImage& image, int x, int y, std::uint16_t color);
void BlendPixel565(MemoryImage& image, int x, int y, std::uint16_t color, int alpha);
void ClearLanePixel565(MemoryImage& image, int x, int y, int lane);

void Line565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color);
// The line in lane 0: alpha bytes, the pixels untouched.
void LineAlpha565(MemoryImage& image, int x1, int y1, int x2, int y2, int value);
void LineClearLane565(MemoryImage& image, int x1, int y1, int x2, int y2, int lane);
void LineBlend565(MemoryImage& image, int x1, int y1, int x2, int y2, std::uint16_t color, int alpha);

void Fill565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color);
void FillBlend565(MemoryImage& image, int x, int y, int width, int height, std::uint16_t color, int alpha);
void FillAlpha565(MemoryImage& image, int x, int y, int width, int height, int alpha);
// The value is in field units (0..31 or 0..63); lane 0 or any other lane makes the pixels black.
void SetLane565(MemoryImage& image, int x, int y, int width, int height, int lane, int value);

} // namespace graphics
