#pragma once

#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/SheetPictures.h"

#include <string>
#include <vector>

namespace mkmedia {

// The play scene's sections of the contact sheet: the floaters on light and dark ground, the score
// fonts, the buttons, the time bar, the panel and the hint block; the hint bubble put together from its
// pieces and the dialog frame's as the dialog painter puts it together, once for each place of its tail,
// each pointing at `pibble`; and all of it in place over a level's background. False when text cannot be
// drawn.
bool addPlaySections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                     const Canvas& pibble, std::vector<Section>& sections, std::string& error);

} // namespace mkmedia
