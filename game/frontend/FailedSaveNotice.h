#pragma once
// Leaving a game whose last save failed: the player hears of it before the step that leaves (to the main
// menu, or out of the program) is taken, so a lost save is never silent.

namespace game {

// When the current scene's last save of its game failed, one message box says so and the step runs once
// it is closed; otherwise (or when no box can be shown) the step runs at once. While the box is open a
// second request does not open another.
void leaveAfterFailedSaveNotice(void (*step)());

// The box of that notice is open in the current scene.
bool failedSaveNoticeOpen();

} // namespace game
