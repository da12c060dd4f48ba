#pragma once
// The pictures of the level-end dialog's carrot: the carrot composed from its front and the header's
// letters, a bite taken out of it, and the crumbs each bite throws.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"

#include <string>
#include <vector>

namespace graphics {
class ChannelBuffer;
class ImageBase;
} // namespace graphics

namespace ui {
class GameNode;
}

namespace game {

// A new picture of width x height: the front's pixels, with each letter's picture drawn over them by its
// alpha at the letter's position moved by (offsetX, offsetY). It is drawn with its alpha. Null when the size
// is not positive.
kernel::SmartPtr<graphics::MemoryImage32>
carrotWithLetters(graphics::ImageBase& front, int width, int height,
                  const std::vector<kernel::SmartPtr<ui::Sprite>>& letters, int offsetX, int offsetY);

// The alpha lane of the named mask picture, read on the calling thread; the picture itself is let go at once.
// Null when it cannot be read.
kernel::SmartPtr<graphics::ChannelBuffer> readBiteMask(const std::string& name, const std::string& section);

// The mask's alpha becomes the carrot's, from the top left corner on; the colours stay.
void takeBite(graphics::ImageBase& carrot, graphics::ChannelBuffer& mask);

// A crumb of six frames one below the other, added to the parent at (x, y): after the delay it turns a
// frame every 50 ms, fades in and falls in a curve, by the direction's multiple of its sideways steps,
// to below the bottom of the screen, where it stays. Transparent while it waits.
kernel::SmartPtr<ui::Sprite> throwCrumb(ui::GameNode& parent, graphics::ImageBase& image, int x, int y,
                                        int direction, int delayMs);

} // namespace game
