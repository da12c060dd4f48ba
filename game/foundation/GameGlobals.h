#pragma once
// The game-wide values that several scenes and dialogs hand to each other: plain values, not objects.

#include <cstdint>

namespace game {

// The game modes, by the numbers scenes, profiles, saved games and highscores share.
constexpr std::int32_t gameModeNone = -1; // a scene that plays no mode
constexpr std::int32_t gameModeVib = 0;
constexpr std::int32_t gameModeAction = 1;
constexpr std::int32_t gameModeRelax = 2;

// How the next play scene starts: written by the selection scene, read by the play scene.
constexpr std::int32_t startKindNone = 0; // after the play scene's reset
constexpr std::int32_t startKindNew = 1;
constexpr std::int32_t startKindContinue = 2;
std::int32_t startKind();
void setStartKind(std::int32_t kind);

constexpr std::int32_t difficultyNormal = 0;
constexpr std::int32_t difficultyHard = 1;
// Until a continued game has read the difficulty it was saved with.
constexpr std::int32_t difficultyFromSave = -1;
std::int32_t currentDifficulty();
void setDifficulty(std::int32_t difficulty);

// What the level-end dialog shows.
constexpr std::int32_t levelEndFinished = 1;
constexpr std::int32_t levelEndFailed = 2;
constexpr std::int32_t levelEndChapterFinished = 3;
std::int32_t levelEndKind();
void setLevelEndKind(std::int32_t kind);

// Set by a mode when a game's end unlocks its hard mode; the selection scene announces and clears them.
bool actionHardModeUnlockedNotice();
void setActionHardModeUnlockedNotice(bool value);
bool relaxHardModeUnlockedNotice();
void setRelaxHardModeUnlockedNotice(bool value);
bool vibHardModeUnlockedNotice();
void setVibHardModeUnlockedNotice(bool value);

// The chapter the progress map walks to and commits (0 = none), and whether the player reached it for
// the first time. Set together before the map opens.
std::int32_t pendingChapter();
bool newChapter();
void setProgressMapChapter(std::int32_t chapter, bool isNewChapter);

// Every value back to its state at program start.
void resetGameGlobals();

} // namespace game
