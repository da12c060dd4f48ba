#pragma once
// Composing pictures that are themselves transparent. The engine's blends keep the target's alpha, which
// is what drawing on the screen needs; building a picture with soft edges needs true "over" composition.

#include "engine/graphics/MemoryImage32.h"
#include "tools/mkmedia/Colors.h"

#include <cstdint>

namespace mkmedia {

// A colour premultiplied by its alpha (0..1), channels 0..255.
struct Layered {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

Layered layeredOf(std::uint32_t pixel);
std::uint32_t pixelOf(const Layered& colour);
// Lays a colour at the given alpha (0..1) over what is below.
void layerOver(Layered& below, Rgb colour, float alpha);

// Porter-Duff "over" of a picture onto another at (x, y), clipped to the target.
void composeOver(graphics::MemoryImage32& target, const graphics::MemoryImage32& source, int x, int y);

} // namespace mkmedia
