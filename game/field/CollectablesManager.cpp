#include "game/field/CollectablesManager.h"

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "game/field/FieldRenderer.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleColours.h"
#include "game/field/PibbleImages.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "host/Time.h"

#include <limits>
#include <string>

namespace game {

namespace {

CollectablesManager* current = nullptr;

constexpr const char* listKey = "collectables";
constexpr const char* idKey = "pibbleid";
constexpr const char* colourKey = "colorid";
constexpr std::int32_t secondsPerHour = 3600;

std::int32_t localSecondsOfDay() {
    host::SYSTEMTIME now{};
    host::GetLocalTime(&now);
    return now.wHour * secondsPerHour + now.wMinute * 60 + now.wSecond;
}

CollectablesManager::SecondsOfDay clock = localSecondsOfDay;

std::int32_t intOf(const kernel::NodeValue& entry, const char* key) {
    return entry.getValue(key).asInt();
}

} // namespace

void CollectablesManager::setClock(SecondsOfDay value) {
    clock = value != nullptr ? value : localSecondsOfDay;
}

CollectablesManager* CollectablesManager::create() {
    if (current == nullptr) {
        current = new CollectablesManager();
        current->addRef();
        current->checkUnlocks();
        const PibblePlayer* player = currentPlayer();
        current->placementCounter = player != nullptr ? player->collectableCounter() : 0;
    }
    return current;
}

CollectablesManager* CollectablesManager::instance() {
    return current;
}

void CollectablesManager::destroy() {
    CollectablesManager* manager = current;
    current = nullptr;
    if (manager != nullptr) {
        manager->release();
    }
}

CollectablesManager::CollectablesManager() : rules(new kernel::ValueDocument(rulesFile)) {
    rules->load();
}

CollectablesManager::~CollectablesManager() {
    if (PibblePlayer* player = currentPlayer()) {
        player->setCollectableCounter(placementCounter);
    }
}

bool CollectablesManager::isCollectableId(std::int32_t id) {
    return id >= 1 && id <= PibblePlayer::collectableCount;
}

bool CollectablesManager::isNight() {
    const std::int32_t second = clock();
    return second <= nightEnd || second >= nightStart;
}

void CollectablesManager::checkUnlocks() {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    // The play scene adds the play time it has not yet counted, so the hours played are current.
    PibbleScene* scene = PibbleScene::current();
    if (scene != nullptr) {
        scene->flushPlayTime();
    }
    for (const kernel::SmartPtr<kernel::Value>& value : rules->getVector(listKey).children()) {
        if (!value->isNode()) {
            continue;
        }
        const kernel::NodeValue& entry = value->asNode();
        const std::int32_t id = intOf(entry, idKey);
        if (!isCollectableId(id) || player->isCollectableQueued(id) || player->isCollectableClaimed(id) ||
            !conditionsHold(entry, *player)) {
            continue;
        }
        // Noted before the queue's save, so the one save keeps both.
        player->recordUnlock(id);
        player->queueCollectableFirst(id);
        if (scene != nullptr) {
            scene->onCollectableUnlocked(id);
        }
    }
}

bool CollectablesManager::conditionsHold(const kernel::NodeValue& entry, const PibblePlayer& player) {
    const auto atLeast = [&entry](const char* key, std::int32_t have) {
        return !entry.hasChild(key) || have >= intOf(entry, key);
    };
    const auto present = [&entry](const char* key) { return entry.hasChild(key); };
    // A combo index outside the player's table is a condition no one meets.
    const auto comboHolds = [&] {
        return !present("comboPerformed") || player.comboPerformed(intOf(entry, "comboPerformed"));
    };
    const auto withoutHintHolds = [&] {
        return !present("finishedGameWithoutHint") ||
               player.finishedGameWithoutHint() == entry.getValue("finishedGameWithoutHint").asBool();
    };
    const std::int32_t vibDone = propertyInt(ids::cfgHardModeUnlockVib);
    return atLeast("numPibblesRemoved", player.numPibblesRemoved()) &&
           atLeast("numStubbornRemoved", player.numStubbornRemoved()) &&
           atLeast("numMatches5", player.numMatches(5)) && atLeast("numMatches6", player.numMatches(6)) &&
           atLeast("numMatches7", player.numMatches(7)) &&
           atLeast("hoursPlayed", player.secondsPlayed() / secondsPerHour) &&
           atLeast("reachedRelaxLevel", player.highestRelaxLevel(difficultyNormal)) &&
           atLeast("reachedActionLevel", player.highestActionLevel(difficultyNormal)) && comboHolds() &&
           atLeast("percentageCompleted", player.completionPercent()) &&
           atLeast("collectablesClaimed", player.claimedCollectableCount()) && withoutHintHolds() &&
           (!present("completedVIBNormal") || player.highestVibChapter(difficultyNormal) >= vibDone) &&
           (!present("completedVIBHard") || player.highestVibChapter(difficultyHard) >= vibDone) &&
           (!present("playedDuringNight") || isNight()) &&
           atLeast("matchedTwoStubborns", player.twoStubbornMatches());
}

std::int32_t CollectablesManager::colourOf(std::int32_t id) const {
    if (!isCollectableId(id)) {
        return colour::none;
    }
    for (const kernel::SmartPtr<kernel::Value>& value : rules->getVector(listKey).children()) {
        if (value->isNode() && intOf(value->asNode(), idKey) == id) {
            return intOf(value->asNode(), colourKey);
        }
    }
    return colour::none;
}

kernel::SmartPtr<Pibble> CollectablesManager::createPibble(std::int32_t row, std::int32_t column) {
    const kernel::SmartPtr<Pibble> pibble = new Pibble();
    PlayField* field = PlayField::instance();
    pibble->setColour(randomColour(field != nullptr ? field->numColors() : 1));
    if (field != nullptr) {
        const std::int32_t pitch = field->rowY(2, 1) - field->rowY(1, 1);
        pibble->setPosition(field->columnX(row, column),
                            field->rowY(row, column) - field->waitingCount(column) * pitch);
    }
    pibble->setHitMask(pibbleImage(ids::pibbleHitMask));
    if (FieldRenderer* renderer = FieldRenderer::instance()) {
        renderer->addFieldItem(pibble.get());
    }
    // The counter starts from the profile's, which may stand at the top of the range.
    if ((field == nullptr || field->collectableCount() == 0) &&
        placementCounter < std::numeric_limits<std::int32_t>::max()) {
        ++placementCounter;
    }
    return pibble;
}

} // namespace game
