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
    setDifficulty(properties.getValue("difficulty").asInt() == difficultyHard ? difficultyHard : difficultyNormal);
}

// Outside rest the level keeps what the field stored at the start of the move in progress, with the score
// of that moment.
void PlayScene::saveGame() {
    PlayField* field = getField();
    const PibblePlayer* player = currentPlayer();
    if (field == nullptr || player == nullptr || field->getLevelFile() == nullptr) {
        return;
    }
    const std::string path = SavegamePath(player->getName(), gameMode);
    if (field->state() == fieldState::idle && !field->animationsRunning()) {
        field->storeToLevel();
    }
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument();
    field->writeLevelXml(*document);
    document->setSavePath(path);
    document->setFileMode(kernel::modeFile);
    // A save that fails is written to the debug output by the document; the game goes on.
    (void)document->save();
}

bool PlayScene::loadGame() {
    PlayField* field = getField();
    const PibblePlayer* player = currentPlayer();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (field == nullptr || player == nullptr || catalogue == nullptr) {
        return false;
    }
    LevelFile* level = catalogue->openLevel(SavegamePath(player->getName(), gameMode));
    if (level == nullptr || level->rowCount() == 0 || level->columnCount() == 0) {
        unreadableSave = true;
        return false;
    }
    loadProperties(level->document().getNode("properties"));
    if (!savedValuesUsable()) {
        unreadableSave = true;
        return false;
    }
    field->reset();
    field->loadLevel(level);
    return true;
}

} // namespace game
