#pragma once

#include "tools/mkmedia/Generators.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mkmedia {

// One picture to review the pibbles' art by: every colour and kind composed as the game composes them
// (at rest, happy, unhappy, stubborn, chained, VIB, party, blinking, shining, with its hit mask), the
// collectable pibbles, and every strip's frames side by side, shown with a pibble where the game shows
// them with one; then the play scene's pictures (PlaySheet.h), the album's (AlbumSheet.h), the level end's
// and the chapter map's (LevelEndMapSheet.h), the menus' (MenusSheet.h) and the selection scene's with its
// dialogs and the comic (SelectionSheet.h). Read from the pictures the
// manifest's entries made in the context's output folder.
bool writeContactSheet(const std::vector<Entry>& entries, const Context& context,
                       const std::filesystem::path& sheet, std::string& error);

} // namespace mkmedia
