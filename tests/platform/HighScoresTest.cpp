#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/HighScoreManager.h"

#include "DebugOutput.h"
#include "PlayerFilesFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using platform::HighScoreEntry;
using platform::HighScoreManager;
using platform::ScoreTable;

namespace {

// A game's entry: one key of its own.
class TestEntry : public HighScoreEntry {
public:
    explicit TestEntry(const kernel::NodeValue& node)
        : HighScoreEntry(node), level(node.getValue("levelNr").asInt()) {}
    TestEntry(std::string name, int score, int level)
        : HighScoreEntry(std::move(name), score), level(level) {}
    void save(kernel::NodeValue& node) const override {
        HighScoreEntry::save(node);
        node.setChild(new kernel::ScalarValue("levelNr", level, kernel::Typing::Untyped));
    }
    std::string getClassName() const override { return "TestScoreEntry"; }

    int level;
};

kernel::Object* makeTestEntry(kernel::Value& settings) {
    return new TestEntry(settings.asNode());
}
const kernel::ClassRegistrar registerTestEntry("TestScoreEntry", makeTestEntry);

constexpr const char* scoresFile = "players/scores.xml";

std::vector<int> scoresOf(const ScoreTable& table) {
    std::vector<int> scores;
    for (int i = 0; i < table.getEntryCount(); ++i) {
        scores.push_back(table.getEntry(i)->getScore());
    }
    return scores;
}

using HighScores = testsupport::PlayerFilesFixture;

TEST(ScoreTable, ANewScoreGoesBeforeTheFirstItStrictlyBeats) {
    struct Case {
        bool descending;
        int maxEntries;
        std::vector<int> before;
        int added, place;
        std::vector<int> after;
    };
    const std::vector<int> full = {500, 300, 300, 100};
    const std::vector<Case> cases = {
        {true, 4, full, 300, 3, {500, 300, 300, 300}},
        {true, 4, full, 50, -1, full},
        {true, 5, full, 50, 4, {500, 300, 300, 100, 50}},
        {true, 4, full, 600, 0, {600, 500, 300, 300}},
        {false, 5, {10, 30}, 20, 1, {10, 20, 30}},
        {false, 5, {10, 30}, 30, 2, {10, 30, 30}},
        {true, 10, {}, 7, 0, {7}},
        {true, 0, {}, 7, -1, {}},
    };
    for (const Case& c : cases) {
        ScoreTable table(c.maxEntries, c.descending);
        for (const int score : c.before) {
            table.addScore(new HighScoreEntry("old", score));
        }
        EXPECT_EQ(table.addScore(new HighScoreEntry("new", c.added)), c.place) << c.added;
        EXPECT_EQ(table.getLastScore(), c.place);
        EXPECT_EQ(scoresOf(table), c.after) << c.added;
        EXPECT_TRUE(c.place < 0 || table.getEntry(c.place)->getPlayerName() == "new");
    }
}

TEST_F(HighScores, TablesSurviveARestartWithTheirEntryClasses) {
    const kernel::SmartPtr<ScoreTable> vib(new ScoreTable(3, true));
    vib->addScore(new TestEntry("Ann", 900, 12));
    vib->addScore(new HighScoreEntry("-", 0));
    HighScoreManager::create()->addTable("VIB", vib);
    HighScoreManager::instance()->addTable("RELAX", new ScoreTable(10, false));
    ASSERT_TRUE(HighScoreManager::instance()->save());

    HighScoreManager::destroy();
    HighScoreManager& scores = *HighScoreManager::create();
    scores.load();
    const ScoreTable* loaded = scores.getTable("VIB");
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->isDescending() && !scores.getTable("RELAX")->isDescending());
    EXPECT_EQ(loaded->getMaxEntries(), 3);
    EXPECT_EQ(loaded->getLastScore(), 1);
    EXPECT_EQ(scoresOf(*loaded), (std::vector<int>{900, 0}));
    const auto* first = dynamic_cast<const TestEntry*>(loaded->getEntry(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->level, 12);
    EXPECT_EQ(first->getPlayerName(), "Ann");
    EXPECT_EQ(loaded->getEntry(1)->getClassName(), "HighScoreEntry");
    EXPECT_FALSE(scores.getTable("ACTION") || scores.hasTable("ACTION"));
}

TEST_F(HighScores, DamagedFilesKeepWhatTheyCanAndStayUntilTheNextWrite) {
    const std::string twoOfOneName =
        "<root><HighScoreTables id=\"highscoretables\"><Vector id=\"scoretables\">"
        "<ScoreTable id=\"VIB\" maxentries=\"5\"><Vector id=\"entries\"><HighScoreEntry scorevalue=\"1\"/>"
        "</Vector></ScoreTable>"
        "<ScoreTable id=\"VIB\" maxentries=\"5\" lastscore=\"9\"><Vector id=\"entries\">"
        "<HighScoreEntry scorevalue=\"2\"/><Nobody scorevalue=\"3\"/><Xmlfile file=\"p\"/><Integer "
        "value=\"1\"/>"
        "<TestScoreEntry scorevalue=\"4\"/></Vector></ScoreTable>"
        "<Integer id=\"RELAX\" value=\"3\"/></Vector></HighScoreTables></root>";
    const std::vector<std::pair<std::string, int>> fileAndEntries = {
        {"", -1},
        {"\x01garbage<<", -1},
        {"<root><HighScoreTables id=\"highscoretables\"><String "
         "id=\"scoretables\"/></HighScoreTables></root>",
         -1},
        {twoOfOneName.substr(0, 170), 1},
        // The later table of a name wins; unknown classes and non-entries are left out; a last place beyond
        // the table is forgotten.
        {twoOfOneName, 2},
    };
    for (const auto& [file, entries] : fileAndEntries) {
        HighScoreManager::destroy();
        HighScoreManager& scores = *HighScoreManager::create();
        scores.addTable("KEEP", new ScoreTable(10, true));
        dir.write(scoresFile, file);
        scores.load();
        EXPECT_EQ(read(scoresFile), file);
        EXPECT_TRUE(scores.hasTable("KEEP") && !scores.hasTable("RELAX"));
        const ScoreTable* vib = scores.getTable("VIB");
        ASSERT_EQ(vib ? vib->getEntryCount() : -1, entries) << file;
        EXPECT_TRUE(vib == nullptr || (vib->getLastScore() == -1 && vib->getMaxEntries() == 5));
    }
}

// The scores a damaged file lost may still be found in it: the save that replaces it keeps it once under
// another name. A file that is there but cannot be read adds nothing and is never saved over.
TEST_F(HighScores, ADamagedFileIsKeptAndAnUnreadableOneLeftAlone) {
    const testsupport::DebugOutput output;
    const std::string cut = "<root><HighScoreTables id=\"highscoretables\"><Vector id=\"scoretables\">"
                            "<ScoreTable id=\"VIB\" maxentries=\"5\"><Vector id=\"entries\">"
                            "<HighScoreEntry scorevalue=\"7\"/></Vec";
    dir.write(scoresFile, cut);
    HighScoreManager& scores = *HighScoreManager::create();
    scores.load();
    ASSERT_EQ(scores.getTable("VIB")->getEntryCount(), 1);
    for (int round = 0; round < 2; ++round) {
        scores.getTable("VIB")->addScore(new HighScoreEntry("Ann", 9));
        ASSERT_TRUE(scores.save());
    }
    EXPECT_EQ(read(std::string(scoresFile) + ".damaged"), cut);
    EXPECT_FALSE(exists(std::string(scoresFile) + ".damaged2"));
    EXPECT_NE(output.take().find("\"players/scores.xml\" was not read whole; it is kept as"),
              std::string::npos);

    const std::string whole = read(scoresFile);
    HighScoreManager::destroy();
    HighScoreManager& again = *HighScoreManager::create();
    host::testing::failCall(std::string("GetFileKind:") + scoresFile, EACCES);
    again.load();
    EXPECT_FALSE(again.hasTable("VIB"));
    EXPECT_NE(output.take().find("Reading \"players/scores.xml\": cannot be read"), std::string::npos);
    host::testing::clearFailures();
    again.addTable("VIB", new ScoreTable(10, true));
    EXPECT_FALSE(again.save());
    EXPECT_EQ(read(scoresFile), whole);

    std::filesystem::remove(scoresFile);
    ASSERT_EQ(::mkfifo(scoresFile, 0600), 0);
    HighScoreManager::destroy();
    HighScoreManager& piped = *HighScoreManager::create();
    piped.load();
    piped.addTable("VIB", new ScoreTable(10, true));
    EXPECT_FALSE(piped.save());
    EXPECT_TRUE(std::filesystem::is_fifo(scoresFile));
}

TEST_F(HighScores, AFailedWriteKeepsTheOldFileAndReportsIt) {
    HighScoreManager& scores = *HighScoreManager::create();
    scores.addTable("VIB", new ScoreTable(10, true));
    ASSERT_TRUE(scores.save());
    const std::string old = read(scoresFile);
    scores.getTable("VIB")->addScore(new HighScoreEntry("Ann", 5));
    for (const char* step : {"writeFileAtomically:rename", "writeFileAtomically:write"}) {
        host::testing::failCall(step);
        EXPECT_FALSE(scores.save()) << step;
        host::testing::clearFailures();
        EXPECT_EQ(read(scoresFile), old);
    }
    // A missing file leaves the tables in memory as they are.
    std::filesystem::remove(scoresFile);
    scores.load();
    EXPECT_EQ(scores.getTable("VIB")->getEntryCount(), 1);
}

} // namespace
