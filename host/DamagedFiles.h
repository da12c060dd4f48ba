#pragma once
// A stored file that was not read whole (cut, unparsable, too large) may still hold what its owner cannot
// make again: before the save that replaces it, it is kept under a second name beside it.

#include <string>

namespace host {

// Past this many kept copies of one file, no new one is kept: the earlier ones are never replaced.
inline constexpr int maxDamagedCopies = 9;

// Gives the file a second name, its name followed by ".damaged" (and a number when that is taken), so that
// it outlives the save that replaces it. A link, not a copy: nothing is read, however large the file. A file
// kept already under one of those names is not kept again. The problem log names both; false when the file
// could not be kept.
bool keepDamagedFile(const std::string& path);

} // namespace host
