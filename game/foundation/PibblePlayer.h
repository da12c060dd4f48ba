#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/platform/Player.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace game {

// The game's player profile: which first-time hints were shown, which text hints are still wanted,
// statistics, the progress reached per mode and difficulty, and the collectables waiting to be placed on
// the field or already claimed. Registered as "PibblePlayer", so the player list makes one per entry; every
// setter marks the profile changed.
//
// Numbers read from a profile index nothing outside their tables: claim dates are kept for the ids 1..30
// only, a match of 20 or more pibbles counts in the last slot of the match counts, and a difficulty other
// than normal or hard reads the starting progress and stores nothing.
class PibblePlayer : public platform::Player {
public:
    static constexpr std::int32_t collectableCount = 30;
    static constexpr std::int32_t countedSizes = 20;
    static constexpr std::int32_t vibLevelsPerChapter = 7;
    static constexpr std::int32_t vibLevelCount = 70;

    // The special pibbles whose first appearance is explained once.
    enum class Sighting { Clown, Party, Stubborn, Chained, Collectable, Unhappy };

    // From its entry in the player list (its "name"), then whatever the node holds.
    explicit PibblePlayer(kernel::NodeValue& entry);
    // A new profile with the defaults, written by its first save.
    explicit PibblePlayer(std::string name);

    static kernel::Object* createInstance(kernel::Value& settings);

    void writeXml(kernel::NodeValue& node) override;
    // Keys the node lacks keep their values.
    void readXml(kernel::NodeValue& node) override;
    std::string getClassName() const override { return "PibblePlayer"; }

    bool hasSeen(Sighting sighting) const;
    void setSeen(Sighting sighting, bool seen);
    // By game mode: 0 VIB, 1 ACTION, 2 RELAX.
    bool hasSeenHowToPlay(std::int32_t mode) const;
    void setSeenHowToPlay(std::int32_t mode, bool seen);

    // The counts read from a profile may stand anywhere in their range: adding to them stops at its ends.
    std::int32_t numPibblesRemoved() const { return pibblesRemoved; }
    void setNumPibblesRemoved(std::int32_t count);
    void addPibblesRemoved(std::int32_t count);
    std::int32_t numStubbornRemoved() const { return stubbornRemoved; }
    void setNumStubbornRemoved(std::int32_t count);
    void addStubbornRemoved(std::int32_t count);
    std::int32_t twoStubbornMatches() const { return stubbornPairMatches; }
    void setTwoStubbornMatches(std::int32_t count);
    void addTwoStubbornMatches(std::int32_t count);
    // Matches by their number of pibbles.
    std::int32_t numMatches(std::int32_t size) const;
    void countMatch(std::int32_t size);
    // Combo flags by index (the combo step + 1); an index beyond the table sets the last flag.
    bool comboPerformed(std::int32_t index) const;
    void setComboPerformed(std::int32_t index);
    std::int32_t secondsPlayed() const { return playedSeconds; }
    void setSecondsPlayed(std::int32_t seconds);
    std::int32_t collectableCounter() const { return placementCounter; }
    void setCollectableCounter(std::int32_t counter);
    // The mode of the saved game offered for continuing; -1 for none.
    std::int32_t gamemodeSaveFlag() const { return savedGameMode; }
    void setGamemodeSaveFlag(std::int32_t mode);
    bool finishedGameWithoutHint() const { return finishedWithoutHint; }
    void setFinishedGameWithoutHint(bool finished);

    // The next VIB level to play (chapter 11 once all are done), by difficulty; the setter saves all players.
    std::int32_t highestVibChapter(std::int32_t difficulty) const;
    std::int32_t highestVibLevel(std::int32_t difficulty) const;
    void setVibProgress(std::int32_t chapter, std::int32_t level, std::int32_t difficulty);
    std::int32_t highestActionLevel(std::int32_t difficulty) const;
    void setHighestActionLevel(std::int32_t level, std::int32_t difficulty);
    std::int32_t highestRelaxLevel(std::int32_t difficulty) const;
    void setHighestRelaxLevel(std::int32_t level, std::int32_t difficulty);

    std::int32_t vibLevelsDone() const;
    std::int32_t vibLevelTotal() const { return vibLevelCount; }
    // VIB levels done and collectables claimed, in percent of all of them.
    std::int32_t completionPercent() const;
    // The highest combo index performed; 0 when none.
    std::int32_t biggestCombo() const;
    std::int32_t totalMatches() const;
    // Whether the current player (not this one: only the current profile is loaded) has unlocked the hard
    // difficulty of mode 0 VIB, 1 ACTION or 2 RELAX; false without a current player.
    static bool isHardModeUnlocked(std::int32_t mode);

    std::int32_t queuedCollectableCount() const { return static_cast<std::int32_t>(queue.size()); }
    // The id that goes on the field next; 0 (none) when nothing waits.
    std::int32_t firstQueuedCollectable() const;
    bool isCollectableQueued(std::int32_t id) const;
    // Each of these three saves all players at once, except a random insert into a queue that held some.
    void queueCollectable(std::int32_t id);
    void queueCollectableFirst(std::int32_t id);
    void queueCollectableRandomly(std::int32_t id);
    void unqueueCollectable(std::int32_t id);
    // Claims it now (also taking it out of the queue) and saves all players.
    void claimCollectable(std::int32_t id);
    bool isCollectableClaimed(std::int32_t id) const;
    // Seconds since 1970 when it was claimed; 0 for an id outside 1..30.
    std::int32_t claimTime(std::int32_t id) const;
    std::int32_t claimedCollectableCount() const;
    std::int32_t collectableTotal() const { return collectableCount; }
    // Seconds played when the collectable was earned and when it was claimed; -1 for not yet.
    std::int32_t dataGatherAvailable(std::int32_t id) const;
    std::int32_t dataGatherClaimed(std::int32_t id) const;
    void recordUnlock(std::int32_t id);
    // A claim not yet reported to the session record; not stored.
    bool dataGatherPending() const { return gatherPending; }
    void setDataGatherPending(bool pending) { gatherPending = pending; }

    bool showHints() const { return hintsShown; }
    // Switches every hint but the two collectable hints; those keep their own setting.
    void setShowHints(bool on);
    // A hint the profile does not know is added switched off.
    bool isHintEnabled(const std::string& key);
    void setHintEnabled(const std::string& key, bool enabled);

    static constexpr kernel::ClassInfo classInfo{&platform::Player::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    using Progress = std::array<std::int32_t, 2>;

    void resetToDefaults();
    void readCollectableQueue(const kernel::VectorValue& list);
    void readClaimedCollectables(const kernel::VectorValue& list);
    void readHintSettings(const kernel::VectorValue& list);
    void writeCollectables(kernel::NodeValue& node) const;
    void writeHintSettings(kernel::NodeValue& node) const;
    static std::int32_t progressOf(const Progress& progress, std::int32_t difficulty);
    void setProgress(Progress& progress, std::int32_t value, std::int32_t difficulty);
    static void saveAllPlayers();

    std::array<bool, 6> seen{};
    bool hintsShown = true;
    std::array<bool, 3> howToPlaySeen{};
    std::int32_t pibblesRemoved = 0;
    std::int32_t stubbornRemoved = 0;
    std::int32_t stubbornPairMatches = 0;
    std::array<std::int32_t, countedSizes> matchCounts{};
    Progress vibChapterReached{};
    Progress vibLevelReached{};
    Progress actionLevelReached{};
    Progress relaxLevelReached{};
    std::array<bool, countedSizes> combos{};
    std::int32_t playedSeconds = 0;
    std::int32_t placementCounter = 0;
    std::vector<std::int32_t> queue;
    std::map<std::int32_t, bool> claimed;
    std::array<std::int32_t, collectableCount> claimDates{};
    bool gatherPending = false;
    std::map<std::int32_t, std::int32_t> gatherAvailable;
    std::map<std::int32_t, std::int32_t> gatherClaimed;
    std::int32_t savedGameMode = -1;
    // By the byte order of the keys, as the profile lists them.
    std::map<std::string, bool> hintEnabled;
    bool finishedWithoutHint = false;
};

// The current player of the player manager as the game's profile; null without one.
PibblePlayer* currentPlayer();

} // namespace game
