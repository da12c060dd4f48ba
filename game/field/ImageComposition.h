#pragma once
// Building a picture that is itself transparent out of transparent parts. The engine's blends keep the
// target's alpha, which is right for drawing on the screen; a composed pibble needs true "over"
// composition, or its soft edges would be drawn dark and its parts would never become opaque.

#include "engine/kernel/Rect.h"

namespace graphics {
class ImageBase;
class MemoryImage32;
} // namespace graphics

namespace game {

// Lays the source rectangle over the target at (x, y) (Porter-Duff "over", alpha included), clipped to
// both pictures. A source without its alpha flag counts as opaque; a source that is not 32-bit is skipped.
void composeOver(graphics::MemoryImage32& target, graphics::ImageBase& source, const kernel::Rect& part,
                 int x, int y);

} // namespace game
