#pragma once
// Where a player's saved game of a mode lives, whether there is one, and deleting it. Each player has at
// most one saved game per mode: a level file with the field as it stood and the scene's values in its
// "properties".

#include "engine/kernel/PathUtil.h"

#include <cstdint>
#include <string>

namespace game {

// "media\savegames\" + the player's name made file-safe + "\" + "vib", "action" or "relax" + "\save.xml",
// relative to the working folder. The folders up to the mode's are made on the way. A name of dots only
// (or none) gets a form of its own, so no name leads outside the folder of saved games.
std::string SavegamePath(const std::string& playerName, std::int32_t mode);
// Whether the saved game is there to read, missing, or there but unusable (no permission, a folder, a pipe).
// An unusable one is named in the problem log with the reason and stays unusable for the rest of the run:
// it is never read, deleted or saved over.
kernel::StoredFile SavegameState(const std::string& playerName, std::int32_t mode);
// The file is there to read.
bool SavegameExists(const std::string& playerName, std::int32_t mode);
// Deleted, tried again at most ten times 10 ms apart while it is still there; a file that stays, stays.
void DeleteSavegame(const std::string& playerName, std::int32_t mode);

// The folder of the player's saved games, file-safe.
std::string savegameFolderName(const std::string& playerName);

} // namespace game
