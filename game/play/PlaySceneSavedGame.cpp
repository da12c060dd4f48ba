#include "engine/kernel/FileAccess.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedGames.h"
#include "game/play/PlayScene.h"
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

// A difficulty other than hard reads as normal, so a damaged save never plays an unknown one.
void PlayScene::loadProperties(kernel::NodeValue& properties) {
    scoreTarget = properties.getValue("score").asInt();
    setDifficulty(properties.getValue("difficulty").asInt() == difficultyHard ? difficultyHard
                                                                              : difficultyNormal);
}

// Outside rest the level keeps what the field stored at the start of the move in progress, with the score
// of that moment. A file in the save's place that cannot be read is not saved over: it may be the player's
// game, and the failure is kept for the player to be told on leaving.
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
    if (field->state() == fieldState::idle && !field->animationsRunning()) {
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

// A save is continued only whole: one cut short, one that lacks a part of a level, or one whose values make
// no game of this mode is refused (and named in the problem log) rather than played on what it still holds.
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
        loadProperties(level->document().getNode("properties"));
        if (!savedValuesUsable()) {
            problem = "its values make no game of this mode";
        }
    }
    if (!problem.empty()) {
        host::ReportProblem(("The saved game \"" + path + "\" is not continued: " + problem + "\n").c_str());
        return false;
    }
    field->reset();
    field->loadLevel(level);
    return true;
}

} // namespace game
