#pragma once

#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/SheetPictures.h"

#include <functional>
#include <string>
#include <vector>

namespace mkmedia {

// The contact sheet's section of the level backgrounds: each background that has panes ("clearing"), as
// made, with a field of pibbles standing on the cells its panes were made for, so that the picture is
// judged behind a field as the game shows it. `pibble` composes a pibble of a look at rest.
Section backgroundSection(const std::vector<Entry>& entries, const Context& context,
                          const std::function<Canvas(const std::string& look)>& pibble);

} // namespace mkmedia
