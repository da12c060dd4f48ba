#pragma once

#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/SheetPictures.h"

#include <functional>
#include <string>
#include <vector>

namespace mkmedia {

// The menus' sections of the contact sheet: the volume slider, the scroll bar and the check box in their
// states, the help's pibbles and the glint's frames on the trophy; then, as the dialogs lay themselves out
// over a game in play, the in-game menu, the settings and a page of the help, and the pause and the end of
// the VIB game over the whole screen, the end with its glints and a burst of particles. `pibble` composes a
// pibble of a look at rest. Nothing without the slider's groove; other pictures the manifest did not make
// show as empty frames. False when text cannot be drawn.
bool addMenuSections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                     const std::function<Canvas(const std::string& look)>& pibble,
                     std::vector<Section>& sections, std::string& error);

} // namespace mkmedia
