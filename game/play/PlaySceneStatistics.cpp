// The statistics record of a level: who played what and how, handed to the session record.
#include "game/play/PlayScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/DataGathering.h"
#include "game/field/FieldStatistics.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/PibblePlayer.h"
#include "game/play/PlayRules.h"

#include <string>

namespace game {

namespace {

void putInt(kernel::NodeValue& record, const char* key, std::int32_t value) {
    record.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

void putText(kernel::NodeValue& record, const char* key, const std::string& value) {
    record.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

} // namespace

// The keys follow the mode's own, in a fixed order. A level ended before any frame rate was sampled has an
// average of 0 rather than a division by zero.
void PlayScene::writeStatistics(kernel::NodeValue& record) {
    PlayField* field = getField();
    const FieldStatistics stats = field != nullptr ? field->statistics() : FieldStatistics();
    const PibblePlayer* player = currentPlayer();
    putText(record, "playername", player != nullptr ? player->getName() : std::string());
    putInt(record, "numcolors", field != nullptr ? field->numColors() : 0);
    putInt(record, "numpibblescreated", stats.pibblesCreated);
    putInt(record, "numclowncreated", stats.clownsCreated);
    putInt(record, "numpartycreated", stats.partiesCreated);
    putInt(record, "numclownuseless", stats.clownsUseless);
    putInt(record, "numpartyuseless", stats.partiesUseless);
    putInt(record, "nummovescorrect", stats.movesCorrect);
    putInt(record, "nummoveswrongtotal", stats.movesWrongTotal);
    putInt(record, "nummoveswronginitial", stats.movesWrongInitial);
    putInt(record, "numclownclicks", stats.clownClicks);
    putInt(record, "numpartyclicks", stats.partyClicks);
    putInt(record, "numchainclicks", stats.chainClicks);
    putInt(record, "numqueueclicks", stats.queueClicks);
    putInt(record, "numstubbornclicks", stats.stubbornClicks);
    putInt(record, "fpsmax", stats.fpsMax);
    putInt(record, "fpsmin", stats.fpsMin);
    putInt(record, "fpsavg", averageFrameRate(stats.fpsSum, stats.fpsSamples));
    putInt(record, "numstuck", stats.stuck);
    putInt(record, "numstuckswaps", stats.stuckSwaps);
    putInt(record, "numstuckrefill", stats.stuckRefills);
    putInt(record, "score", field != nullptr ? field->getScore() : 0);
    putText(record, "gameover", gameOver ? "true" : "false");
    putInt(record, "totaltimeplayed", player != nullptr ? player->secondsPlayed() : 0);
    const std::int32_t difficulty = currentDifficulty();
    if (difficulty == difficultyNormal || difficulty == difficultyHard) {
        putText(record, "difficulty", difficulty == difficultyHard ? "hard" : "normal");
    }
    writeCollectables(record);
    if (platform::DataGathering* gathering = platform::DataGathering::instance()) {
        gathering->addSessionRecord(kernel::SmartPtr<kernel::Object>(&record));
    }
}

// Once after each value the profile gathered: when every collectable became available and was claimed.
void PlayScene::writeCollectables(kernel::NodeValue& record) {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr || !player->dataGatherPending()) {
        return;
    }
    const kernel::SmartPtr<kernel::VectorValue> list = new kernel::VectorValue("collectables");
    for (std::int32_t id = 1; id <= PibblePlayer::collectableCount; ++id) {
        const kernel::SmartPtr<kernel::NodeValue> entry =
            new kernel::NodeValue(std::to_string(id), "Collectable");
        putInt(*entry, "collectableavailable", player->dataGatherAvailable(id));
        putInt(*entry, "collectableclaimed", player->dataGatherClaimed(id));
        list->append(entry);
    }
    record.setChild(list);
    player->setDataGatherPending(false);
}

} // namespace game
