#include "engine/kernel/FileAccess.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedGames.h"
#include "game/foundation/SavedValues.h"
#include "game/play/PlayScene.h"
#include "host/DamagedFiles.h"
#include "host/System.h"

namespace game {

namespace {

void putInt(kernel::NodeValue& node, const char* key, std::int32_t value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

} // namespace

bool PlayScene::savegameExists(const std::string& playerName, std::int32_t mode) {
    return SavegameExists(playerName, mode);
}

void PlayScene::saveProperties(kernel::NodeValue& properties) {
    const PlayField* field = getField();
    putInt(properties, "score", field != nullptr ? field->getScore() : 0);
    putInt(properties, "difficulty", currentDifficulty());
}

// A difficulty other than hard is set as normal, so the new game started after a refused save never plays
// an unknown one. The field takes its colour count from these properties too: a save holds its level's,
// a count of the pibbles' real colours.
void PlayScene::loadProperties(SavedValues& properties) {
    scoreTarget = properties.read("score", 0);
    setDifficulty(properties.read("difficulty", difficultyNormal, difficultyHard) == difficultyHard
                      ? difficultyHard
                      : difficultyNormal);
    properties.read("numcolors", colour::firstReal, colour::lastReal);
}

// Outside a move the field is stored as it stands, also while a level's hops or a wrong move's pibbles still
// play (nothing leaves its cell then) and before a carried-on level's GO; during one the level keeps what the
// field stored at the move's start, with the score of that moment. A file in the save's place that cannot be
// read is not saved over: it may be the player's game, and the failure is kept for the player to be told on
// leaving.
void PlayScene::saveGame() {
    PlayField* field = getField();
    const PibblePlayer* player = currentPlayer();
    if (field == nullptr || player == nullptr || field->getLevelFile() == nullptr) {
        return;
    }
    if (SavegameState(player->getName(), gameMode) == kernel::StoredFile::Unusable) {
        saveFailed = true;
        return;
    }
    const std::string path = SavegamePath(player->getName(), gameMode);
    if (!moveInProgress() && field->state() != fieldState::levelOver) {
        field->storeToLevel();
    }
    savedMoveStart = moveInProgress();
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument();
    field->writeLevelXml(*document);
    document->setSavePath(path);
    document->setFileMode(kernel::modeFile);
    // The write itself puts a failure in the problem log.
    saveFailed = document->save() != kernel::SaveResult::Saved;
}

void PlayScene::deleteSavedGame() {
    saveFailed = false;
    savedMoveStart = false;
    if (const PibblePlayer* player = currentPlayer()) {
        DeleteSavegame(player->getName(), gameMode);
    }
}

// A save is continued only whole: one cut short, one that lacks a part of a level, or one holding a value
// the game never writes is refused (and named in the problem log) rather than played on what it still
// holds. It may still hold the player's game, for recovery by hand: it is kept under a second name at
// once, before the new game's first save (or its end) replaces it.
bool PlayScene::loadGame() {
    PlayField* field = getField();
    const PibblePlayer* player = currentPlayer();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (field == nullptr || player == nullptr || catalogue == nullptr ||
        SavegameState(player->getName(), gameMode) != kernel::StoredFile::Readable) {
        return false;
    }
    const std::string path = SavegamePath(player->getName(), gameMode);
    LevelFile* level = catalogue->openLevel(path);
    std::string problem = level != nullptr ? level->unplayableReason() : "not read";
    if (problem.empty()) {
        problem = level->strayValue();
    }
    if (problem.empty()) {
        SavedValues properties(level->document().getNode("properties"));
        loadProperties(properties);
        problem = properties.problem();
    }
    if (!problem.empty()) {
        host::ReportProblem(("The saved game \"" + path + "\" is not continued: " + problem + "\n").c_str());
        if (kernel::fileExists(path)) {
            host::keepDamagedFile(path);
        }
        return false;
    }
    field->reset();
    field->loadLevel(level);
    return true;
}

} // namespace game
