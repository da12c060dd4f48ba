#pragma once
// Anti-aliased lines, drawn through the single-pixel blend of the image's depth.

#include "engine/graphics/ImageBase.h"

#include <cstdint>

namespace graphics {

// Blends one pixel: the colour is native to the image (a 16-bit pixel value on 16-bit images).
using PlotPixel = void (*)(ImageBase& image, int x, int y, std::uint32_t color, int alpha);

// Column 0 and row 0 are never drawn; equal end points draw nothing.
void LineSmooth(ImageBase& image, float x1, float y1, float x2, float y2, std::uint32_t color,
                PlotPixel plot);
// One pixel a column on the x-major walk: the edge of a filled polygon.
void LineSmoothEdge(ImageBase& image, float x1, float y1, float x2, float y2, std::uint32_t color,
                    PlotPixel plot);

} // namespace graphics
