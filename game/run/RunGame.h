#pragma once
// The game's whole life: every engine and game singleton made in a fixed order, the message loop, then what
// must survive saved and everything destroyed in a fixed order.

namespace game {

// Holds a whole number that seeds the game's generator in place of the clock (for benchmarks and tests).
inline constexpr const char* seedVariable = "PIBBLES_SEED";

// 0, also when another copy of the game runs or a scene cannot be built; 1 when no display could be started
// to show the game on.
int RunGame();

// At the end of a run over the VIB scene with its chapter map open, the chapter chosen there is kept as
// that chapter's saved game. Whether the map was open.
bool commitChapterMap();

// Full screen is forced on a desktop no larger than the game in both directions; otherwise the stored
// option decides.
bool decideFullScreen(int desktopWidth, int desktopHeight, bool fullScreenOption);

namespace testing {
// Hears the name of each start-up and shutdown step just before it runs, so a test can check the order
// and act at a given step. Null (the default) hears nothing.
using StepObserver = void (*)(const char* step);
void setStepObserver(StepObserver observer);
} // namespace testing

} // namespace game
