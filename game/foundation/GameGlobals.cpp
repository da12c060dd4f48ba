#include "game/foundation/GameGlobals.h"

namespace game {

namespace {

struct GameGlobals {
    std::int32_t startKind = startKindNone;
    std::int32_t difficulty = difficultyNormal;
    std::int32_t levelEndKind = 0;
    bool actionHardModeNotice = false;
    bool relaxHardModeNotice = false;
    bool vibHardModeNotice = false;
    std::int32_t pendingChapter = 0;
    bool newChapter = false;
};

GameGlobals globals;

} // namespace

std::int32_t startKind() {
    return globals.startKind;
}

void setStartKind(std::int32_t kind) {
    globals.startKind = kind;
}

std::int32_t currentDifficulty() {
    return globals.difficulty;
}

void setDifficulty(std::int32_t difficulty) {
    globals.difficulty = difficulty;
}

std::int32_t levelEndKind() {
    return globals.levelEndKind;
}

void setLevelEndKind(std::int32_t kind) {
    globals.levelEndKind = kind;
}

bool actionHardModeUnlockedNotice() {
    return globals.actionHardModeNotice;
}

void setActionHardModeUnlockedNotice(bool value) {
    globals.actionHardModeNotice = value;
}

bool relaxHardModeUnlockedNotice() {
    return globals.relaxHardModeNotice;
}

void setRelaxHardModeUnlockedNotice(bool value) {
    globals.relaxHardModeNotice = value;
}

bool vibHardModeUnlockedNotice() {
    return globals.vibHardModeNotice;
}

void setVibHardModeUnlockedNotice(bool value) {
    globals.vibHardModeNotice = value;
}

std::int32_t pendingChapter() {
    return globals.pendingChapter;
}

bool newChapter() {
    return globals.newChapter;
}

void setProgressMapChapter(std::int32_t chapter, bool isNewChapter) {
    globals.pendingChapter = chapter;
    globals.newChapter = isNewChapter;
}

void resetGameGlobals() {
    globals = GameGlobals();
}

} // namespace game
