#pragma once
// Rotated and scaled blits of both depths, nearest pixel, in 20-bit fixed point. The clip rectangle is
// in destination pixels; the loops clip to it themselves.

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
                    double angle, double scale);
void RotateArgbBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py, ImageBase& src,
                     double angle, double scale, int alpha);
void RotateArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, int x, int y, int px, int py,
                          ImageBase& src, double angle, double scale, int alpha);

// The source rectangle is clipped to the source image; an empty destination draws nothing.
void Stretch565Copy(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                    const kernel::Rect& source);
void Stretch565Blend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target, MemoryImage& src,
                     const kernel::Rect& source, int alpha);
void Stretch565AlphaBlend(MemoryImage& dst, const kernel::Rect& clip, const kernel::Rect& target,
                          MemoryImage& src, const kernel::Rect& source, int alpha);
void StretchArgbCopy(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                     const kernel::Rect& source);
void StretchArgbBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target, ImageBase& src,
                      const kernel::Rect& source, int alpha);
void StretchArgbAlphaBlend(ImageBase& dst, const kernel::Rect& clip, const kernel::Rect& target,
                           ImageBase& src, const kernel::Rect& source, int alpha);

} // namespace graphics
