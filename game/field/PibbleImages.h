#pragma once
// The pictures of the pibbles' parts, from the resource section "pibbles", and the pictures the game makes
// from them once and shares between pibbles: the darkened parts of stubborn pibbles and each colour's VIB
// shine with the pibble drawn into it. The field empties both at its reset; a pibble that shows such a
// picture holds it, so emptying frees none in use, and a changed dark factor takes effect.

#include <cstdint>
#include <string>

namespace graphics {
class ImageBase;
}

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
void clearPibbleImageCaches();

} // namespace game
