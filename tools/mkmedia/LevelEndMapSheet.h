#pragma once

#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/SheetPictures.h"

#include <string>
#include <vector>

namespace mkmedia {

// The level end's and the chapter map's sections of the contact sheet: the carrot with a header in its
// slot and after each bite, the crumbs, the white bar and the level end in place over a level; the map's
// pieces (photos and chapter buttons in their four states, the player, its shine, a chapter's sparkle, the
// bubbles) and the map in place as it opens on a chapter, as a chapter is unlocked, and finished. Nothing
// without the carrot; other pictures the manifest did not make show as empty frames. False when text
// cannot be drawn.
bool addLevelEndAndMapSections(const std::vector<Entry>& entries, const Context& context,
                               const Pictures& pictures, std::vector<Section>& sections, std::string& error);

} // namespace mkmedia
