#pragma once
// The starts of the game that show an error box. Without the RELAX play scene's declaration the game shows
// an error box at its start, drawn by a copy of the game started for it, and quits once the box is closed.
// The RELAX walk ends an X server while such a box shows, with the game started by its path and through the
// dynamic loader, and ends the box's processes from outside; tests/e2e/stress-error-box repeats the start by
// its path many times (showErrorBoxes).

#include "GameProcess.h"

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

// By its path, or through the dynamic loader ("ld-linux.so ./pibbles", as some launch scripts start a
// game): /proc/self/exe then names the loader, not the game.
enum class Start { byPath, throughLoader };

// What a start puts before the game's path, and the variables it needs for the game alone.
struct Launch {
    std::vector<std::string> command;
    Environment environment;
};
// Files it needs are written below scratch.
Launch launchFor(Start start, const std::filesystem::path& scratch);

// Hides the RELAX play scene's declaration in the run tree, or gives it back.
void hideRelaxScene(const std::filesystem::path& run, bool hidden);

// The display library's message box asks the X server for a font of its own, which a bare Xvfb has only
// under the name "fixed": the folder below scratch that gives it that name.
std::filesystem::path boxFonts(const std::filesystem::path& scratch);

// Until the box of the game's error shows on the server, or the game ends first.
bool errorBoxShown(Game& copy, const XServer& server);

// A box ended from outside while it shows, as a task manager ends a process: its copy with SIGTERM, or the
// display library's fork that draws it (the copy's child) with SIGKILL; or as xkill or a window manager's
// force quit ends a window: the server closes the connection of the box's window.
enum class BoxEnd { copyTerminated, drawingKilled, connectionClosed };
// Ends the box so; then, until the game has ended, no process of the game (its own, or one a process of it
// started) may be started to show it again: a box that showed is never shown again. A box still showing
// then (where only its copy was ended) is closed as a window manager's close button closes it, and the
// processes of the game must end.
void endBoxFromOutside(Game& copy, const XServer& server, BoxEnd end);

// The display library's next way to show a box, where its own fails, runs zenity from the PATH: the
// variables that put a stand-in first there, which records each run below scratch and ends; and whether it
// ran since.
Environment zenityStandIn(const std::filesystem::path& scratch);
bool zenityRan(const std::filesystem::path& scratch);

// The start of the RELAX walk's row "while an error box showed" alone, tries times, a few copies at a time,
// each in a folder below scratch and on an X server of its own: every try is made and counted, and a failure
// names the first few that failed. Nothing for no tries.
void showErrorBoxes(const std::filesystem::path& runTree, const std::filesystem::path& scratch, int tries);

} // namespace e2e
