#pragma once
// The pictures of the pibbles' parts, from the resource section "pibbles", and the pictures the game makes
// from them once and shares between pibbles: the darkened parts of stubborn pibbles, each colour's VIB
// shine with the pibble drawn into it and the composed looks. The field empties them at its reset; a
// pibble that shows such a picture holds it, so emptying frees none in use, and a changed dark factor
// takes effect.

#include "engine/kernel/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace graphics {
class ImageBase;
class MemoryImage32;
} // namespace graphics

namespace game {

// Null while the section is not loaded or when it has no picture of that name.
graphics::ImageBase* pibbleImage(const std::string& name);
// The picture itself for a factor of 0 or less; otherwise a darkened 32-bit copy with its alpha flag set,
// made at the first request of the name. The first factor asked for a name stays for that name.
graphics::ImageBase* darkenedPibbleImage(const std::string& name, float factor);
// The colour's shine strip with the composed pibble drawn into every frame (frames one below the other).
// Made once per colour and strip from the first composed pibble handed in; the strip itself is left as it
// is, so a section loaded again gets a fresh copy.
graphics::ImageBase* vibShineWithPibble(std::int32_t colour, graphics::ImageBase& strip, int frames,
                                        graphics::ImageBase& composed);

// One part of a composed look: the picture and the rectangle of it that is laid down.
struct PibblePart {
    graphics::ImageBase* image;
    kernel::Rect frame;
};
// The parts laid one over the other in order at the top left of a clear picture of that size, with its
// alpha flag set. A refill brings many pibbles that look alike, so a look is composed once and shared
// (with its 16-bit copy) by every pibble made of the same parts; a picture whose pixels changed since
// counts as another part. Null when the picture cannot be made.
graphics::MemoryImage32* composedPibble(const std::vector<PibblePart>& parts, int width, int height);
// The picture of a pibble that has not been composed yet: clear, its alpha flag off, shared.
graphics::MemoryImage32* blankPibblePicture(int width, int height);

void clearPibbleImageCaches();

} // namespace game
