#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/platform/HighScoreEntry.h"

#include <string>

namespace platform {
class HighScoreManager;
}

namespace game {

// A row of a mode's highscore table: the engine's name and score plus the level reached, as the mode wrote
// it ("10.7" in VIB). Registered as "PibbleHighscoreEntry"; an entry stored by the engine's plain class
// loads as one too, with the level "-", so every entry of a table is the game's.
class PibbleHighscoreEntry : public platform::HighScoreEntry {
public:
    PibbleHighscoreEntry(std::string playerName, int score, std::string levelNr);
    // "playername", "scorevalue" and "levelNr" (empty when missing).
    explicit PibbleHighscoreEntry(const kernel::NodeValue& settings);

    static kernel::Object* createInstance(kernel::Value& settings);

    const std::string& getLevelNr() const { return levelNr; }

    // The base's keys, then the untyped "levelNr".
    void save(kernel::NodeValue& node) const override;
    std::string getClassName() const override { return "PibbleHighscoreEntry"; }

    static constexpr kernel::ClassInfo classInfo{&platform::HighScoreEntry::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::string levelNr;
};

// Every mode's table that the scores file lacked is made with ten placeholder entries; the tables that were
// stored stay as they are.
void addMissingScoreTables(platform::HighScoreManager& manager);

} // namespace game
