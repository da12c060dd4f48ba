// Where saved games live and how they go: the file-safe folder of a player, the folders made on the way,
// and deleting with its bounded retries.
#include "game/foundation/SavedGames.h"

#include "game/foundation/GameGlobals.h"
#include "host/Testing.h"

#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class SavedGames : public ::testing::Test {
protected:
    void TearDown() override { host::testing::clearFailures(); }
    static void write(const std::string& path) { std::ofstream(fs::path(slashed(path))) << "<Level/>"; }
    static std::string slashed(std::string path) {
        for (char& c : path) {
            c = c == '\\' ? '/' : c;
        }
        return path;
    }

    testsupport::WorkingFolder folder;
};

TEST_F(SavedGames, EachPlayerAndModeHasAFileOfItsOwnInsideTheFolder) {
    EXPECT_EQ(game::SavegamePath("Ann", game::gameModeVib), "media\\savegames\\Ann\\vib\\save.xml");
    EXPECT_EQ(game::SavegamePath("Ann", game::gameModeAction), "media\\savegames\\Ann\\action\\save.xml");
    // A slash in a name is no separator.
    EXPECT_EQ(game::SavegamePath("a/b", game::gameModeRelax), "media\\savegames\\a_2_b\\relax\\save.xml");
    EXPECT_TRUE(fs::is_directory("media/savegames/a_2_b/relax"));

    // Names of dots only, or none, stay inside the folder of saved games and apart from each other.
    const std::string dots = game::SavegamePath("..", game::gameModeVib);
    const std::string dot = game::SavegamePath(".", game::gameModeVib);
    const std::string none = game::SavegamePath("", game::gameModeVib);
    for (const std::string& path : {dots, dot, none}) {
        EXPECT_EQ(fs::weakly_canonical(slashed(path)).parent_path().parent_path().parent_path(),
                  fs::weakly_canonical("media/savegames"))
            << path;
    }
    EXPECT_NE(dots, dot);
    EXPECT_NE(dot, none);
    EXPECT_NE(game::savegameFolderName(".."), game::savegameFolderName("_._"));
}

TEST_F(SavedGames, AskingMakesTheFoldersAndFindsOnlyAFile) {
    EXPECT_FALSE(game::SavegameExists("Bo", game::gameModeAction));
    EXPECT_TRUE(fs::is_directory("media/savegames/Bo/action"));
    write(game::SavegamePath("Bo", game::gameModeAction));
    EXPECT_TRUE(game::SavegameExists("Bo", game::gameModeAction));
    EXPECT_FALSE(game::SavegameExists("Bo", game::gameModeRelax));
}

TEST_F(SavedGames, DeletingTriesAgainAFewTimesAndThenLeavesTheFile) {
    const std::string path = game::SavegamePath("Cy", game::gameModeVib);
    game::DeleteSavegame("Cy", game::gameModeVib);
    write(path);
    game::DeleteSavegame("Cy", game::gameModeVib);
    EXPECT_FALSE(fs::exists(slashed(path)));

    // Ten failures: the first try and nine more; the eleventh takes it.
    write(path);
    host::testing::failCall("DeleteFile", 5, 10);
    game::DeleteSavegame("Cy", game::gameModeVib);
    EXPECT_FALSE(fs::exists(slashed(path)));

    // A file that never goes stays, after the first try and ten more.
    write(path);
    host::testing::failCall("DeleteFile", 5, 11);
    game::DeleteSavegame("Cy", game::gameModeVib);
    EXPECT_TRUE(fs::exists(slashed(path)));
    host::testing::clearFailures();
    game::DeleteSavegame("Cy", game::gameModeVib);
    EXPECT_FALSE(fs::exists(slashed(path)));
}

} // namespace
