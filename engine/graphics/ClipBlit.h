#pragma once

namespace graphics {

class ImagePainter;

// Fits a blit of the source rectangle (sx, sy, sw, sh) at (dx, dy) into the source, the painter's target
// image and its clip, adjusting all six in place so that the loops never test bounds. The destination
// already has the origin added. Returns true when nothing is left to draw.
bool ClipBlit(int& dx, int& dy, const ImagePainter& painter, int sourceWidth, int sourceHeight, int& sx,
              int& sy, int& sw, int& sh);

} // namespace graphics
