#pragma once

#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/SheetPictures.h"

#include <string>
#include <vector>

namespace mkmedia {

// The selection scene's sections of the contact sheet, laid out as media/properties/dialogs.xml lays them:
// the main menu on the first start (the VIB button in its glow) and with a player (the welcome line and the
// change-name text over their glows, the pointer over a mode button); over it the difficulty question, the
// player list and a new player's name, with and without its cancel button; the comic's four pages, and a
// page with its next button in its shine; the visitor over the menu at its own size and at twice it; and
// the states of every button and row. Nothing without the mode buttons; other pictures the manifest did not
// make show as empty frames. False when text cannot be drawn.
bool addSelectionSections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                          std::vector<Section>& sections, std::string& error);

} // namespace mkmedia
