#include "game/foundation/LevelCatalogue.h"

#include "game/foundation/GameGlobals.h"

#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using game::LevelCatalogue;
using game::LevelFile;

std::string actionRow(int level, int base) {
    const std::string n = std::to_string(level);
    return "<Row levelNr=\"" + n + "\" stubbornTimer=\"" + std::to_string(base + 1) + "\" penaltyTimer=\"" +
           std::to_string(base + 2) + "\" numPibbles=\"" + std::to_string(base + 3) + "\" numColors=\"" +
           std::to_string(base + 4) + "\" chanceMinus=\"" + std::to_string(base + 5) +
           "\" chanceMultiplier=\"" + std::to_string(base + 6) + "\"/>";
}

std::string relaxRow(int level, int base) {
    std::string row = "<Row levelNr=\"" + std::to_string(level) + "\"";
    const char* keys[] = {"chanceValueStart", "numPibbles",   "numColors",   "chanceDelta3",
                          "chanceDelta4",     "chanceDelta5", "chanceDelta6"};
    for (int i = 0; i < 7; ++i) {
        row += std::string(" ") + keys[i] + "=\"" + std::to_string(base + i + 1) + "\"";
    }
    return row + "/>";
}

std::string vibLevel(const std::string& properties) {
    return "<Level>" + properties + "<Vector id=\"layout\"><Row data=\"qxxq\"/></Vector></Level>";
}

// The catalogue and its levels in a working folder, as the game finds them.
class LevelCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string action = "<Vector id=\"actionmodenormal\">";
        std::string actionHard = "<Vector id=\"actionmodehard\">";
        std::string relax = "<Vector id=\"relaxmodenormal\">";
        std::string relaxHard = "<Vector id=\"relaxmodehard\">";
        // Rows out of order, to show they are matched by their number.
        for (int level = 20; level >= 1; --level) {
            action += actionRow(level, level * 100);
            actionHard += actionRow(level, level * 1000);
            relax += relaxRow(level, level * 100);
            relaxHard += relaxRow(level, level * 1000);
        }
        dir.write("media/properties/levels.xml",
                  "<Levels><Vector id=\"levels\">"
                  "<Level chapterNr=\"1\" levelNr=\"1\" levelFile=\"first.xml\"/>"
                  "<Level chapterNr=\"1\" levelNr=\"2\" levelFile=\"second.xml\"/>"
                  "<Level chapterNr=\"1\" levelNr=\"2\" levelFile=\"duplicate.xml\"/>"
                  "<Level chapterNr=\"2\" levelNr=\"1\" levelFile=\"bare.xml\"/>"
                  "<Level chapterNr=\"3\" levelNr=\"1\" levelFile=\"huge.xml\"/></Vector>" +
                      action + "</Vector>" + actionHard + "</Vector>" + relax + "</Vector>" + relaxHard +
                      "</Vector></Levels>");
        dir.write("media/levels/second.xml",
                  vibLevel("<Node id=\"properties\" numcolors=\"6\" nummoves=\"3\"/>"));
        dir.write("media/levels/bare.xml", vibLevel(""));
        dir.write("media/levels/huge.xml", vibLevel("<Node id=\"properties\" time=\"2147483647\"/>"));
        dir.write("media/levels/level_relax.xml", vibLevel("<Node id=\"properties\" nummoves=\"2\"/>"));
        catalogue = LevelCatalogue::create();
        catalogue->load();
    }
    void TearDown() override { LevelCatalogue::destroy(); }

    void writeFirst(int colours, int moves, int time) const {
        dir.write("media/levels/first.xml",
                  vibLevel("<Node id=\"properties\" numcolors=\"" + std::to_string(colours) +
                           "\" nummoves=\"" + std::to_string(moves) + "\" time=\"" + std::to_string(time) +
                           "\"/>"));
    }

    testsupport::WorkingFolder dir;
    LevelCatalogue* catalogue = nullptr;
};

TEST_F(LevelCatalogueTest, VibLevelsAreAdjustedToTheDifficulty) {
    struct Case {
        int colours, moves, time, difficulty;
        int wantColours, wantMoves, wantTime;
    };
    const Case cases[] = {
        {7, 1, 60000, game::difficultyHard, 7, 1, 60000},
        {6, 3, 60000, game::difficultyHard, 7, 2, 75000},
        {6, 3, 60000, game::difficultyNormal, 6, 3, 75000},
        {6, 3, 10001, game::difficultyNormal, 6, 3, 12501},
        {8, 2, 100, game::difficultyHard, 8, 1, 100},
        {6, 3, 60, game::difficultyFromSave, 6, 3, 60},
        {6, 3, -10001, game::difficultyNormal, 6, 3, -12501},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.colours) + " " + std::to_string(test.moves) + " " +
                     std::to_string(test.time) + " " + std::to_string(test.difficulty));
        writeFirst(test.colours, test.moves, test.time);
        const LevelFile* level = catalogue->loadVibLevel(1, 1, test.difficulty);
        ASSERT_EQ(level, catalogue->currentLevel());
        const kernel::NodeValue& properties = level->document().getNode("properties");
        EXPECT_EQ(properties.getValue("numcolors").asInt(), test.wantColours);
        EXPECT_EQ(properties.getValue("nummoves").asInt(), test.wantMoves);
        EXPECT_EQ(properties.getValue("time").asInt(), test.wantTime);
    }
}

// Keys a level lacks are added by the adjustment, so the difficulty is not lost; a time too large for the
// extra quarter stays the largest time.
TEST_F(LevelCatalogueTest, AdjustedKeysAreAddedWhereALevelLacksThem) {
    const LevelFile* level = catalogue->loadVibLevel(1, 2, game::difficultyHard);
    EXPECT_EQ(level->numColors(), 7);
    EXPECT_EQ(level->numMoves(), 2);
    EXPECT_TRUE(level->document().getNode("properties").hasChild("time"));
    level = catalogue->loadVibLevel(2, 1, game::difficultyHard);
    EXPECT_EQ(level->numColors(), 1);
    EXPECT_TRUE(level->document().hasChild("properties"));
    level = catalogue->loadVibLevel(3, 1, game::difficultyNormal);
    EXPECT_EQ(level->document().getNode("properties").getValue("time").asInt(), INT_MAX);

    level = catalogue->loadModeLevel(2, 7, 5);
    EXPECT_EQ(level->numColors(), 5) << "level_relax.xml names no colour count of its own";
    EXPECT_EQ(level->numMoves(), 2);
    EXPECT_EQ(level->rowCount(), 1);
    EXPECT_EQ(catalogue->loadModeLevel(1, 1, 4)->rowCount(), 0) << "no level_action.xml here";
    EXPECT_EQ(LevelCatalogue::modeLevelFile(1), "level_action.xml");
    EXPECT_EQ(LevelCatalogue::modeLevelFile(0), "");
}

TEST_F(LevelCatalogueTest, TheFirstRowOfAPairCountsAndAMissingOneOpensAnEmptyLevel) {
    EXPECT_EQ(catalogue->levelFileFor(1, 2), "second.xml");
    EXPECT_EQ(catalogue->levelFileFor(9, 9), "");
    const LevelFile* missing = catalogue->loadVibLevel(9, 9, game::difficultyNormal);
    EXPECT_EQ(missing->rowCount(), 0);
    EXPECT_EQ(missing->cellWidth(), 0);
    EXPECT_EQ(missing->cellHeight(), 0);
}

TEST_F(LevelCatalogueTest, EachLoadReleasesTheLevelBefore) {
    const kernel::SmartPtr<LevelFile> kept(catalogue->openLevel("media\\levels\\second.xml"));
    EXPECT_EQ(kept->numColors(), 6) << "a saved game's path with backslashes";
    EXPECT_EQ(kept->referenceCount(), 2);
    catalogue->loadModeLevel(2, 1, 3);
    EXPECT_EQ(kept->referenceCount(), 1) << "only the caller's own reference is left";
    EXPECT_NE(catalogue->currentLevel(), kept.get());
}

TEST_F(LevelCatalogueTest, TuningRowsByLevelAndDifficulty) {
    game::ActionModeParams action;
    ASSERT_TRUE(catalogue->actionParams(35, action, game::difficultyHard));
    EXPECT_EQ(action.stubbornTimer, 20001) << "above 20 the 20th row";
    EXPECT_EQ(action.chanceMultiplier, 20006);
    ASSERT_TRUE(catalogue->actionParams(3, action, game::difficultyNormal));
    EXPECT_EQ(action.stubbornTimer, 301);
    EXPECT_EQ(action.penaltyTimer, 302);
    EXPECT_EQ(action.numPibbles, 303);
    EXPECT_EQ(action.numColors, 304);
    EXPECT_EQ(action.chanceMinus, 305);
    EXPECT_EQ(action.chanceMultiplier, 306);

    game::RelaxModeParams relax;
    ASSERT_TRUE(catalogue->relaxParams(20, relax, game::difficultyHard));
    EXPECT_EQ(relax.chanceValueStart, 20001);
    EXPECT_EQ(relax.chanceDelta6, 20007);
    ASSERT_TRUE(catalogue->relaxParams(1, relax, game::difficultyNormal));
    EXPECT_EQ(relax.numPibbles, 102);
    EXPECT_EQ(relax.numColors, 103);
    EXPECT_EQ(relax.chanceDelta3, 104);

    // No row: false, and the record keeps what it held.
    for (const auto& [level, difficulty] :
         {std::pair{0, 0}, std::pair{-4, 1}, std::pair{1, 2}, std::pair{1, -1}}) {
        EXPECT_FALSE(catalogue->actionParams(level, action, difficulty));
        EXPECT_FALSE(catalogue->relaxParams(level, relax, difficulty));
    }
    EXPECT_EQ(action.stubbornTimer, 301);
    EXPECT_EQ(relax.chanceDelta3, 104);

    LevelCatalogue::destroy();
    catalogue = LevelCatalogue::create();
    EXPECT_FALSE(catalogue->actionParams(1, action, 0)) << "not loaded";
    EXPECT_EQ(catalogue->levelFileFor(1, 1), "");
}

} // namespace
