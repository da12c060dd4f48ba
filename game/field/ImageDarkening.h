#pragma once

namespace graphics {
class MemoryImage32;
}

namespace game {

// Darkens every pixel of the image in place: each colour channel c becomes c - factor x 255, truncated
// toward zero and floored at 0; alpha is kept. A factor of 0 changes nothing, 1 makes every colour black.
void darkenImage(graphics::MemoryImage32& image, float factor);

} // namespace game
