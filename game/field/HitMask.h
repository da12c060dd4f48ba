#pragma once

namespace graphics {
class ImageBase;
}

namespace game {

// Whether a mask lets the point (x, y) of its sprite (sprite pixels from the top-left corner) take the
// pointer: the blue byte of the mask's 32-bit pixel there is above 128. A mask smaller than the sprite
// lets nothing through beyond its own pixels, and a mask that is not 32-bit lets nothing through.
bool maskAllows(graphics::ImageBase& mask, int x, int y);

} // namespace game
