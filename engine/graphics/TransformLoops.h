#pragma once
// Rotated and scaled blits of both depths in 20-bit fixed point. The clip rectangle is in destination
// pixels; the loops clip to it themselves.
//
// The 16-bit members take the nearest source pixel. The ARGB members do too unless smooth is set; then each
// destination pixel weights the four source pixels around the walk's position bilinearly, in integers:
// with fx, fy the top 8 fraction bits of the position, every lane (alpha included) is
// top = p00 + ((p10 - p00) * fx >> 8), bottom likewise from p01 and p11, result = top + ((bottom - top) * fy
// >> 8). The right and lower neighbours are held to the source (the source image for rotation, the source
// rectangle for scaling), so nothing outside it is ever read.

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/MemoryImage.h"
#include "engine/kernel/Rect.h"

namespace graphics {

// (x, y): where the source's top-left corner lies before rotation; (px, py): the centre, in source pixels.
void Rotate565Copy(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py, MemoryImage& src,
                   double angle, double scale);
void Rotate565Blend(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                    MemoryImage& src, double angle, double scale, int alpha);
void Rotate565AlphaBlend(MemoryImage& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                         MemoryImage& src, double angle, double scale, int alpha);
void RotateArgbCopy(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py, ImageBase& src,
                    double angle, double scale, bool smooth = false);
void RotateArgbBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py, ImageBase& src,
                     double angle, double scale, int alpha, bool smooth = false);
void RotateArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                          ImageBase& src, double angle, double scale, int alpha, bool smooth = false);

// The source rectangle is clipped to the source image; an empty destination draws nothing.
void Stretch565Copy(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                    const kernel::Rect& source);
void Stretch565Blend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                     const kernel::Rect& source, int alpha);
void Stretch565AlphaBlend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target,
                          MemoryImage& src, const kernel::Rect& source, int alpha);
void StretchArgbCopy(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                     const kernel::Rect& source, bool smooth = false);
void StretchArgbBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                      const kernel::Rect& source, int alpha, bool smooth = false);
void StretchArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target,
                           ImageBase& src, const kernel::Rect& source, int alpha, bool smooth = false);

} // namespace graphics
