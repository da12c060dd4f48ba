#pragma once
// The files of the players folder (the player list, the profiles and the highscores): written by the game
// itself, so they always live on disk, plain or scrambled, and never in the archive.

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <string>
#include <vector>

namespace platform {

// The folder of every player file, below the working directory.
inline constexpr const char* playerFilesFolder = "players";
// Appended to a player's escaped name: the name of its profile file.
inline constexpr const char* profileSuffix = ".plr";

// The global file-source mode folded onto the disk: plain files (1) for modes 1 and 2, scrambled files (3)
// for modes 3 and 4.
int playerFileMode();

// The document read from the file stored under the path, or null when there is none or it is there but
// unusable (a folder, a pipe, no permission, a read error), which the problem log names. A damaged file
// gives what the XML reader could make of it. read, when given, receives how the reading went.
kernel::SmartPtr<kernel::ValueDocument> loadPlayerFile(const std::string& path,
                                                       kernel::DocumentRead* read = nullptr);

// Gives the file stored under the path a second name beside it, its stored name followed by ".damaged" (and
// a number when that is taken), so that the file outlives the save that replaces it: a file that was not
// read whole still holds a player's progress, for recovery by hand (host::keepDamagedFile). False when the
// file could not be kept.
bool keepDamagedPlayerFile(const std::string& path);

// The names of the players whose profiles (the name escaped, ".plr" appended, in the current mode) are in
// the folder, in the order of their file names.
std::vector<std::string> profileNamesInFolder(const std::string& folder);

// Writes one document holding the value to the path, creating the folder first. The old file is replaced
// only by a whole new one; true when that happened.
[[nodiscard]] bool savePlayerFile(const std::string& path, kernel::SmartPtr<kernel::Value> top);

// Deletes the file under the path as it is stored in the current mode, and the plain file too.
void deletePlayerFile(const std::string& path);

} // namespace platform
