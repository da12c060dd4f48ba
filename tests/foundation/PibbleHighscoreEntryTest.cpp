#include "game/foundation/PibbleHighscoreEntry.h"

#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "game/foundation/PibbleHighscoreEntry.h"

#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using game::PibbleHighscoreEntry;
using kernel::SmartPtr;
using platform::HighScoreManager;
using platform::ScoreTable;

const PibbleHighscoreEntry* gameEntry(const ScoreTable& table, int index) {
    const platform::HighScoreEntry* entry = table.getEntry(index);
    return entry != nullptr && entry->isKindOf(PibbleHighscoreEntry::classInfo)
               ? static_cast<const PibbleHighscoreEntry*>(entry)
               : nullptr;
}

// Through the scores file: the level text comes back byte for byte, an entry without one keeps it empty, and
// an entry stored by the engine's plain class loads as the game's with the placeholder level.
TEST(PibbleHighscoreEntryTest, EveryEntryOfTheScoresFileIsTheGames) {
    testsupport::WorkingFolder dir;
    const std::string oddLevel = "10.7 <&\"'> \\n";
    {
        HighScoreManager* manager = HighScoreManager::create();
        const SmartPtr<ScoreTable> table(new ScoreTable(10, true));
        table->addScore(new PibbleHighscoreEntry("Ann", 900, oddLevel));
        const kernel::NodeValue withoutLevel("", "PibbleHighscoreEntry");
        table->addScore(new PibbleHighscoreEntry(withoutLevel));
        table->addScore(new platform::HighScoreEntry("Cy", -5));
        manager->addTable("VIB", table);
        ASSERT_TRUE(manager->save());
        HighScoreManager::destroy();
    }
    EXPECT_NE(testsupport::TempDir::read(dir.file("players/scores.xml")).find("levelNr=\"\""),
              std::string::npos);

    HighScoreManager* manager = HighScoreManager::create();
    manager->load();
    game::addMissingScoreTables(*manager);
    const ScoreTable* vib = manager->getTable("VIB");
    ASSERT_NE(vib, nullptr);
    ASSERT_EQ(vib->getEntryCount(), 3);
    const char* names[] = {"Ann", "", "Cy"};
    const std::string levels[] = {oddLevel, "", "-"};
    for (int i = 0; i < 3; ++i) {
        const PibbleHighscoreEntry* entry = gameEntry(*vib, i);
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_EQ(entry->getPlayerName(), names[i]);
        EXPECT_EQ(entry->getLevelNr(), levels[i]);
    }
    EXPECT_EQ(vib->getEntry(2)->getScore(), -5);
    const ScoreTable* relax = manager->getTable("RELAX");
    ASSERT_NE(relax, nullptr);
    for (int i = 0; i < relax->getEntryCount(); ++i) {
        ASSERT_NE(gameEntry(*relax, i), nullptr) << i;
        EXPECT_EQ(gameEntry(*relax, i)->getLevelNr(), "-");
    }
    HighScoreManager::destroy();
}

} // namespace
