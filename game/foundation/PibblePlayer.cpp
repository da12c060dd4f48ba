#include "game/foundation/PibblePlayer.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/PlayerManager.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <ctime>
#include <iterator>
#include <limits>
#include <utility>

namespace game {
namespace {

constexpr const char* queueKey = "collectablequeue";
constexpr const char* claimedKey = "collectableclaimed";
constexpr const char* hintsKey = "showhint";
constexpr const char* idKey = "pibbleid";
constexpr std::int32_t notGathered = -1;
constexpr std::int32_t noSavedGame = -1;

kernel::Object* makePlayer(kernel::Value& settings) {
    return new PibblePlayer(settings.asNode());
}
const kernel::ClassRegistrar registerPibblePlayer("PibblePlayer", makePlayer);
// The engine's plain profile class is not registered: a list entry of that type (written before the game
// had its own profile) would lose its player.
const kernel::ClassRegistrar registerPlainPlayer("Player", makePlayer);

constexpr const char* sightingKeys[] = {"seenClown",   "seenParty",       "seenStubborn",
                                        "seenChained", "seenCollectable", "seenUnhappy"};
// By game mode; the file lists them in another order (below).
constexpr const char* howToPlayKeys[] = {"seenHowToPlayVIB", "seenHowToPlayAction", "seenHowToPlayRelax"};
constexpr int howToPlayWriteOrder[] = {0, 2, 1};

void putBool(kernel::NodeValue& node, const std::string& key, bool value) {
    node.setChild(new kernel::ScalarValue(key, value ? "true" : "false", kernel::Typing::Untyped));
}

void putInt(kernel::NodeValue& node, const std::string& key, std::int32_t value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

void readBool(const kernel::NodeValue& node, const std::string& key, bool& value) {
    if (node.hasChild(key)) {
        value = node.getValue(key).asBool();
    }
}

void readInt(const kernel::NodeValue& node, const std::string& key, std::int32_t& value) {
    if (node.hasChild(key)) {
        value = node.getValue(key).asInt();
    }
}

// Dates are written as 64-bit numbers; the low 32 bits are the seconds kept.
std::int32_t readDate(const kernel::NodeValue& node) {
    const auto seconds = static_cast<std::uint64_t>(StringToInt64(node.getValue("date").asString()));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds));
}

bool isCollectableId(std::int32_t id) {
    return id >= 1 && id <= PibblePlayer::collectableCount;
}

std::size_t dateIndex(std::int32_t id) {
    return static_cast<std::size_t>(id - 1);
}

bool isDifficulty(std::int32_t difficulty) {
    return difficulty == difficultyNormal || difficulty == difficultyHard;
}

// A table of counts keeps what is larger than its last slot in that slot; below 0 there is nothing to count.
bool countedSlot(std::int32_t index, std::size_t& slot) {
    if (index < 0) {
        return false;
    }
    slot = static_cast<std::size_t>(std::min(index, PibblePlayer::countedSizes - 1));
    return true;
}

std::int32_t clampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool isCollectableHint(const std::string& key) {
    return key == ids::hintClickCollectable || key == ids::hintAppearCollectable;
}

} // namespace

PibblePlayer::PibblePlayer(kernel::NodeValue& entry) : Player(entry) {
    resetToDefaults();
    readXml(entry);
}

PibblePlayer::PibblePlayer(std::string name) : Player(std::move(name)) {
    resetToDefaults();
}

kernel::Object* PibblePlayer::createInstance(kernel::Value& settings) {
    return makePlayer(settings);
}

void PibblePlayer::resetToDefaults() {
    seen.fill(false);
    hintsShown = true;
    howToPlaySeen.fill(false);
    pibblesRemoved = 0;
    stubbornRemoved = 0;
    stubbornPairMatches = 0;
    matchCounts.fill(0);
    for (Progress* progress :
         {&vibChapterReached, &vibLevelReached, &actionLevelReached, &relaxLevelReached}) {
        progress->fill(1);
    }
    combos.fill(false);
    playedSeconds = 0;
    placementCounter = 0;
    queue.clear();
    claimed.clear();
    claimDates.fill(0);
    gatherAvailable.clear();
    gatherClaimed.clear();
    for (std::int32_t id = 1; id <= collectableCount; ++id) {
        claimed[id] = false;
        gatherAvailable[id] = notGathered;
        gatherClaimed[id] = notGathered;
    }
    gatherPending = false;
    savedGameMode = noSavedGame;
    hintEnabled.clear();
    for (const char* hint : ids::hints) {
        hintEnabled[hint] = true;
    }
}

void PibblePlayer::writeXml(kernel::NodeValue& node) {
    Player::writeXml(node);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        putBool(node, sightingKeys[i], seen[i]);
    }
    for (const int mode : howToPlayWriteOrder) {
        putBool(node, howToPlayKeys[mode], howToPlaySeen[static_cast<std::size_t>(mode)]);
    }
    putBool(node, "showHints", hintsShown);
    putInt(node, "numPibblesRemoved", pibblesRemoved);
    putInt(node, "numStubbornRemoved", stubbornRemoved);
    putInt(node, "twoStubbornMatches", stubbornPairMatches);
    const char* difficultyNames[] = {"Normal", "Hard"};
    for (std::size_t d = 0; d < 2; ++d) {
        putInt(node, std::string("highestVIBChapter") + difficultyNames[d], vibChapterReached[d]);
        putInt(node, std::string("highestVIBLevel") + difficultyNames[d], vibLevelReached[d]);
        putInt(node, std::string("highestActionLevel") + difficultyNames[d], actionLevelReached[d]);
        putInt(node, std::string("highestRelaxLevel") + difficultyNames[d], relaxLevelReached[d]);
    }
    putInt(node, "secondsPlayed", playedSeconds);
    for (std::size_t i = 0; i < matchCounts.size(); ++i) {
        putInt(node, "numMatches" + std::to_string(i), matchCounts[i]);
        putBool(node, "comboPerformed" + std::to_string(i), combos[i]);
    }
    writeCollectables(node);
    writeHintSettings(node);
    putInt(node, "gamemodeSaveFlag", savedGameMode);
    putInt(node, "collectableCounter", placementCounter);
    putBool(node, "finishedGameWithoutHint", finishedWithoutHint);
}

void PibblePlayer::writeCollectables(kernel::NodeValue& node) const {
    const kernel::SmartPtr<kernel::VectorValue> waiting(new kernel::VectorValue(queueKey));
    for (const std::int32_t id : queue) {
        const kernel::SmartPtr<kernel::NodeValue> entry(new kernel::NodeValue("", "Collectable"));
        putInt(*entry, idKey, id);
        waiting->append(entry);
    }
    node.setChild(waiting);
    const kernel::SmartPtr<kernel::VectorValue> done(new kernel::VectorValue(claimedKey));
    for (const auto& [id, isClaimed] : claimed) {
        const kernel::SmartPtr<kernel::NodeValue> entry(new kernel::NodeValue("", "Collectable"));
        putInt(*entry, idKey, id);
        putBool(*entry, "claimed", isClaimed);
        putInt(*entry, "date", claimTime(id));
        putInt(*entry, "datagatheravailable", dataGatherAvailable(id));
        putInt(*entry, "datagatherclaimed", dataGatherClaimed(id));
        done->append(entry);
    }
    node.setChild(done);
}

void PibblePlayer::writeHintSettings(kernel::NodeValue& node) const {
    const kernel::SmartPtr<kernel::VectorValue> list(new kernel::VectorValue(hintsKey));
    for (const auto& [key, enabled] : hintEnabled) {
        const kernel::SmartPtr<kernel::NodeValue> entry(new kernel::NodeValue("", "Hint"));
        entry->setChild(new kernel::ScalarValue("hintid", key, kernel::Typing::Untyped));
        putBool(*entry, "show", enabled);
        list->append(entry);
    }
    node.setChild(list);
}

void PibblePlayer::readXml(kernel::NodeValue& node) {
    Player::readXml(node);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        readBool(node, sightingKeys[i], seen[i]);
    }
    for (const int mode : howToPlayWriteOrder) {
        readBool(node, howToPlayKeys[mode], howToPlaySeen[static_cast<std::size_t>(mode)]);
    }
    readBool(node, "showHints", hintsShown);
    readInt(node, "numPibblesRemoved", pibblesRemoved);
    readInt(node, "numStubbornRemoved", stubbornRemoved);
    readInt(node, "twoStubbornMatches", stubbornPairMatches);
    const char* difficultyNames[] = {"Normal", "Hard"};
    for (std::size_t d = 0; d < 2; ++d) {
        readInt(node, std::string("highestVIBChapter") + difficultyNames[d], vibChapterReached[d]);
        readInt(node, std::string("highestVIBLevel") + difficultyNames[d], vibLevelReached[d]);
        readInt(node, std::string("highestActionLevel") + difficultyNames[d], actionLevelReached[d]);
        readInt(node, std::string("highestRelaxLevel") + difficultyNames[d], relaxLevelReached[d]);
    }
    readInt(node, "secondsPlayed", playedSeconds);
    for (std::size_t i = 0; i < matchCounts.size(); ++i) {
        readInt(node, "numMatches" + std::to_string(i), matchCounts[i]);
        readBool(node, "comboPerformed" + std::to_string(i), combos[i]);
    }
    if (node.hasChild(queueKey)) {
        readCollectableQueue(node.getVector(queueKey));
    }
    if (node.hasChild(claimedKey)) {
        readClaimedCollectables(node.getVector(claimedKey));
    }
    readHintSettings(node.getVector(hintsKey));
    readInt(node, "gamemodeSaveFlag", savedGameMode);
    readInt(node, "collectableCounter", placementCounter);
    readBool(node, "finishedGameWithoutHint", finishedWithoutHint);
}

// Only ids that stand for a collectable: anything else could never be placed, and would be written back
// for ever.
void PibblePlayer::readCollectableQueue(const kernel::VectorValue& list) {
    queue.clear();
    for (const kernel::SmartPtr<kernel::Value>& entry : list.children()) {
        const std::int32_t id = entry->isNode() ? entry->asNode().getValue(idKey).asInt() : 0;
        if (isCollectableId(id)) {
            queue.push_back(id);
        }
    }
}

// Only the claimed flags start over: dates and the gathered times of ids the list leaves out stay.
void PibblePlayer::readClaimedCollectables(const kernel::VectorValue& list) {
    claimed.clear();
    for (const kernel::SmartPtr<kernel::Value>& entry : list.children()) {
        if (!entry->isNode()) {
            continue;
        }
        const kernel::NodeValue& collectable = entry->asNode();
        const std::int32_t id = collectable.getValue(idKey).asInt();
        claimed[id] = collectable.getValue("claimed").asBool();
        if (isCollectableId(id)) {
            claimDates[dateIndex(id)] = readDate(collectable);
        }
        gatherAvailable[id] = collectable.getValue("datagatheravailable").asInt();
        gatherClaimed[id] = collectable.getValue("datagatherclaimed").asInt();
    }
}

void PibblePlayer::readHintSettings(const kernel::VectorValue& list) {
    for (const kernel::SmartPtr<kernel::Value>& entry : list.children()) {
        if (entry->isNode()) {
            const kernel::NodeValue& hint = entry->asNode();
            hintEnabled[hint.getValue("hintid").asString()] = hint.getValue("show").asBool();
        }
    }
}

bool PibblePlayer::hasSeen(Sighting sighting) const {
    return seen[static_cast<std::size_t>(sighting)];
}

void PibblePlayer::setSeen(Sighting sighting, bool value) {
    seen[static_cast<std::size_t>(sighting)] = value;
    markChanged();
}

bool PibblePlayer::hasSeenHowToPlay(std::int32_t mode) const {
    return mode >= 0 && mode < static_cast<std::int32_t>(howToPlaySeen.size()) &&
           howToPlaySeen[static_cast<std::size_t>(mode)];
}

void PibblePlayer::setSeenHowToPlay(std::int32_t mode, bool value) {
    if (mode >= 0 && mode < static_cast<std::int32_t>(howToPlaySeen.size())) {
        howToPlaySeen[static_cast<std::size_t>(mode)] = value;
        markChanged();
    }
}

void PibblePlayer::setNumPibblesRemoved(std::int32_t count) {
    pibblesRemoved = count;
    markChanged();
}

void PibblePlayer::setNumStubbornRemoved(std::int32_t count) {
    stubbornRemoved = count;
    markChanged();
}

void PibblePlayer::setTwoStubbornMatches(std::int32_t count) {
    stubbornPairMatches = count;
    markChanged();
}

void PibblePlayer::addPibblesRemoved(std::int32_t count) {
    setNumPibblesRemoved(clampToInt(std::int64_t{pibblesRemoved} + count));
}

void PibblePlayer::addStubbornRemoved(std::int32_t count) {
    setNumStubbornRemoved(clampToInt(std::int64_t{stubbornRemoved} + count));
}

void PibblePlayer::addTwoStubbornMatches(std::int32_t count) {
    setTwoStubbornMatches(clampToInt(std::int64_t{stubbornPairMatches} + count));
}

std::int32_t PibblePlayer::numMatches(std::int32_t size) const {
    return size >= 0 && size < countedSizes ? matchCounts[static_cast<std::size_t>(size)] : 0;
}

void PibblePlayer::countMatch(std::int32_t size) {
    std::size_t slot = 0;
    if (countedSlot(size, slot)) {
        matchCounts[slot] = clampToInt(std::int64_t{matchCounts[slot]} + 1);
        markChanged();
    }
}

bool PibblePlayer::comboPerformed(std::int32_t index) const {
    return index >= 0 && index < countedSizes && combos[static_cast<std::size_t>(index)];
}

void PibblePlayer::setComboPerformed(std::int32_t index) {
    std::size_t slot = 0;
    if (countedSlot(index, slot)) {
        combos[slot] = true;
        markChanged();
    }
}

void PibblePlayer::setSecondsPlayed(std::int32_t seconds) {
    playedSeconds = seconds;
    markChanged();
}

void PibblePlayer::setCollectableCounter(std::int32_t counter) {
    placementCounter = counter;
    markChanged();
}

void PibblePlayer::setGamemodeSaveFlag(std::int32_t mode) {
    savedGameMode = mode;
    markChanged();
}

void PibblePlayer::setFinishedGameWithoutHint(bool finished) {
    finishedWithoutHint = finished;
    markChanged();
}

// A difficulty still unknown (a continued game before it read its own) has made no progress yet.
std::int32_t PibblePlayer::progressOf(const Progress& progress, std::int32_t difficulty) {
    return isDifficulty(difficulty) ? progress[static_cast<std::size_t>(difficulty)] : 1;
}

void PibblePlayer::setProgress(Progress& progress, std::int32_t value, std::int32_t difficulty) {
    if (isDifficulty(difficulty)) {
        progress[static_cast<std::size_t>(difficulty)] = value;
        markChanged();
    }
}

std::int32_t PibblePlayer::highestVibChapter(std::int32_t difficulty) const {
    return progressOf(vibChapterReached, difficulty);
}

std::int32_t PibblePlayer::highestVibLevel(std::int32_t difficulty) const {
    return progressOf(vibLevelReached, difficulty);
}

void PibblePlayer::setVibProgress(std::int32_t chapter, std::int32_t level, std::int32_t difficulty) {
    if (!isDifficulty(difficulty)) {
        return;
    }
    setProgress(vibChapterReached, chapter, difficulty);
    setProgress(vibLevelReached, level, difficulty);
    saveAllPlayers();
}

std::int32_t PibblePlayer::highestActionLevel(std::int32_t difficulty) const {
    return progressOf(actionLevelReached, difficulty);
}

void PibblePlayer::setHighestActionLevel(std::int32_t level, std::int32_t difficulty) {
    setProgress(actionLevelReached, level, difficulty);
}

std::int32_t PibblePlayer::highestRelaxLevel(std::int32_t difficulty) const {
    return progressOf(relaxLevelReached, difficulty);
}

void PibblePlayer::setHighestRelaxLevel(std::int32_t level, std::int32_t difficulty) {
    setProgress(relaxLevelReached, level, difficulty);
}

std::int32_t PibblePlayer::vibLevelsDone() const {
    return clampToInt((std::int64_t{vibChapterReached[0]} - 1) * vibLevelsPerChapter + vibLevelReached[0] -
                      1);
}

// The quotient of the two counts as floats, taken in double precision and truncated: 29, 57 and 58 done show
// as 28, 56 and 57 percent, as they always have (the collectables unlocked by a percentage count on it). A
// damaged profile's progress is held within 0..100 percent.
std::int32_t PibblePlayer::completionPercent() const {
    const std::int32_t total = vibLevelCount + collectableCount;
    const std::int64_t done =
        std::clamp<std::int64_t>(std::int64_t{vibLevelsDone()} + claimedCollectableCount(), 0, total);
    const double quotient =
        static_cast<double>(static_cast<float>(done)) / static_cast<double>(static_cast<float>(total));
    return static_cast<std::int32_t>(quotient * 100.0);
}

std::int32_t PibblePlayer::biggestCombo() const {
    for (std::int32_t i = countedSizes - 1; i >= 0; --i) {
        if (combos[static_cast<std::size_t>(i)]) {
            return i;
        }
    }
    return 0;
}

std::int32_t PibblePlayer::totalMatches() const {
    std::int64_t total = 0;
    for (const std::int32_t count : matchCounts) {
        total += count;
    }
    return clampToInt(total);
}

bool PibblePlayer::isHardModeUnlocked(std::int32_t mode) {
    const PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return false;
    }
    switch (mode) {
    case 0:
        return player->highestVibChapter(difficultyNormal) >= propertyInt(ids::cfgHardModeUnlockVib);
    case 1:
        return player->highestActionLevel(difficultyNormal) >= propertyInt(ids::cfgHardModeUnlockAction);
    case 2:
        return player->highestRelaxLevel(difficultyNormal) >= propertyInt(ids::cfgHardModeUnlockRelax);
    default:
        return false;
    }
}

std::int32_t PibblePlayer::firstQueuedCollectable() const {
    return queue.empty() ? 0 : queue.front();
}

bool PibblePlayer::isCollectableQueued(std::int32_t id) const {
    return std::find(queue.begin(), queue.end(), id) != queue.end();
}

void PibblePlayer::queueCollectable(std::int32_t id) {
    queue.push_back(id);
    markChanged();
    saveAllPlayers();
}

void PibblePlayer::queueCollectableFirst(std::int32_t id) {
    queue.insert(queue.begin(), id);
    markChanged();
    saveAllPlayers();
}

// Before a drawn place, never at the end.
void PibblePlayer::queueCollectableRandomly(std::int32_t id) {
    if (queue.empty()) {
        queueCollectable(id);
        return;
    }
    Random* random = Random::instance();
    const std::int32_t place = random != nullptr ? random->nextInt(queuedCollectableCount()) : 0;
    queue.insert(queue.begin() + place, id);
    markChanged();
}

void PibblePlayer::unqueueCollectable(std::int32_t id) {
    const auto found = std::find(queue.begin(), queue.end(), id);
    if (found != queue.end()) {
        queue.erase(found);
    }
    markChanged();
}

void PibblePlayer::claimCollectable(std::int32_t id) {
    claimed[id] = true;
    if (isCollectableId(id)) {
        claimDates[dateIndex(id)] = static_cast<std::int32_t>(std::time(nullptr));
    }
    gatherClaimed[id] = playedSeconds;
    gatherPending = true;
    unqueueCollectable(id);
    saveAllPlayers();
}

bool PibblePlayer::isCollectableClaimed(std::int32_t id) const {
    const auto found = claimed.find(id);
    return found != claimed.end() && found->second;
}

std::int32_t PibblePlayer::claimTime(std::int32_t id) const {
    return isCollectableId(id) ? claimDates[dateIndex(id)] : 0;
}

std::int32_t PibblePlayer::claimedCollectableCount() const {
    std::int32_t count = 0;
    for (std::int32_t id = 1; id <= collectableCount; ++id) {
        count += isCollectableClaimed(id) ? 1 : 0;
    }
    return count;
}

std::int32_t PibblePlayer::dataGatherAvailable(std::int32_t id) const {
    const auto found = gatherAvailable.find(id);
    return found != gatherAvailable.end() ? found->second : notGathered;
}

std::int32_t PibblePlayer::dataGatherClaimed(std::int32_t id) const {
    const auto found = gatherClaimed.find(id);
    return found != gatherClaimed.end() ? found->second : notGathered;
}

void PibblePlayer::recordUnlock(std::int32_t id) {
    gatherAvailable[id] = playedSeconds;
    markChanged();
}

void PibblePlayer::setShowHints(bool on) {
    if (on == hintsShown) {
        return;
    }
    for (const char* hint : ids::hints) {
        if (!isCollectableHint(hint)) {
            hintEnabled[hint] = on;
        }
    }
    hintsShown = on;
    markChanged();
}

bool PibblePlayer::isHintEnabled(const std::string& key) {
    return hintEnabled.try_emplace(key, false).first->second;
}

void PibblePlayer::setHintEnabled(const std::string& key, bool enabled) {
    hintEnabled[key] = enabled;
    markChanged();
}

// A profile that cannot be written stays marked changed and the writer has said why; the next save tries
// again.
void PibblePlayer::saveAllPlayers() {
    if (platform::PlayerManager* players = platform::PlayerManager::instance()) {
        (void)players->saveAll();
    }
}

PibblePlayer* currentPlayer() {
    const platform::PlayerManager* players = platform::PlayerManager::instance();
    platform::Player* player = players != nullptr ? players->getCurrentPlayer() : nullptr;
    return player != nullptr && player->isKindOf(PibblePlayer::classInfo) ? static_cast<PibblePlayer*>(player)
                                                                          : nullptr;
}

} // namespace game
