#pragma once

namespace game {

// Plays a sound of "gamesounds" once at full volume in the middle; nothing when it is not loaded. With
// restart, the sound's earlier play is stopped first, so a quick series of jumps is heard as a series.
void playFieldSound(const char* id, bool restart = false);
// Stops the sound of "gamesounds" where it still plays.
void stopFieldSound(const char* id);

} // namespace game
