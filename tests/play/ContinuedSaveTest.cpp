// A saved game's life through real files, in the ACTION scene as the selection scene starts it: a continued
// game keeps its file through a save that fails (a full disk) until a newer save replaces it or the game
// ends; a save cut short or lacking a part of a level is refused and kept; a file in the save's place that
// cannot be read (a pipe, a folder, no permission) is neither offered, continued nor saved over, and is
// logged.
#include "game/foundation/SavedGames.h"

#include "DebugOutput.h"
#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

namespace {

using modetest::leave;
using modetest::ModeWorld;
using modetest::savedAtLevelThree;
namespace ids = game::ids;
namespace fs = std::filesystem;

std::string savePath() {
    return modetest::savePath(game::gameModeAction);
}

bool offered() {
    return game::PlayScene::savegameExists("Ann", game::gameModeAction);
}

TEST(ContinuedSave, StaysUntilANewerSaveOrTheGamesEnd) {
    ModeWorld mode(playtest::actionScene);
    const std::string first = savedAtLevelThree(mode);
    mode.enter(game::startKindContinue, game::difficultyFromSave);
    ASSERT_EQ(mode.levelNr(), 3);
    EXPECT_EQ(testsupport::TempDir::read(savePath()), first) << "continuing keeps the file";

    // The disk is full at the next save: the game of the file is still there, offered and continued.
    {
        const testsupport::DebugOutput output;
        host::testing::failCall("writeFileAtomically:write", ENOSPC);
        mode.nextLevel();
        ASSERT_TRUE(mode.settle());
        mode.world.scene->saveGame();
        EXPECT_TRUE(mode.world.scene->gameSaveFailed());
        EXPECT_NE(output.take().find("No space left on device"), std::string::npos);
    }
    EXPECT_EQ(testsupport::TempDir::read(savePath()), first);
    leave(mode);
    EXPECT_TRUE(offered());
    mode.enter(game::startKindContinue, game::difficultyFromSave);
    EXPECT_EQ(mode.levelNr(), 3);

    // A newer save replaces it; the game lost takes it along.
    mode.nextLevel();
    ASSERT_TRUE(mode.settle());
    mode.world.scene->saveGame();
    EXPECT_FALSE(mode.world.scene->gameSaveFailed());
    EXPECT_NE(testsupport::TempDir::read(savePath()), first);
    mode.world.field()->broadcast(game::GameEvent::of(game::eventType::levelFailed));
    EXPECT_FALSE(offered());

    // A new game chosen over a save ends the game it held.
    leave(mode);
    savedAtLevelThree(mode);
    mode.enter(game::startKindNew);
    EXPECT_FALSE(offered());
}

// Cut anywhere, even after the properties and the layout or just before the last '>', or whole but without
// the background, a save starts a new game and stays as it was until the next save.
TEST(ContinuedSave, ASaveNotReadWholeIsRefusedAndKept) {
    ModeWorld mode(playtest::actionScene);
    const std::string whole = savedAtLevelThree(mode);
    const std::size_t background = whole.find("<Vector id=\"background\"");
    const std::size_t backgroundEnd = whole.find("</Vector>", background) + 9;
    ASSERT_LT(whole.find("<Vector id=\"layout\""), background);
    ASSERT_NE(whole.find("levelNr=\"3\""), std::string::npos);
    const std::string refused[] = {
        whole.substr(0, background),       whole.substr(0, background + 60),
        whole.substr(0, whole.size() / 2), whole.substr(0, whole.size() - 12),
        whole.substr(0, whole.rfind('>')), whole.substr(0, background) + whole.substr(backgroundEnd)};
    for (const std::string& save : refused) {
        SCOPED_TRACE(save.size());
        const testsupport::DebugOutput output;
        mode.world.folder.write(savePath(), save);
        mode.enter(game::startKindContinue, game::difficultyFromSave);
        EXPECT_EQ(mode.levelNr(), 1);
        EXPECT_EQ(testsupport::TempDir::read(savePath()), save);
        EXPECT_NE(output.take().find("is not continued"), std::string::npos);
        leave(mode);
    }
    mode.world.folder.write(savePath(), whole);
    mode.enter(game::startKindContinue, game::difficultyFromSave);
    EXPECT_EQ(mode.levelNr(), 3);
}

// Whatever stands in the save's place and cannot be read is not offered (and the look does not wait on a
// pipe), gives a new game, is not saved over for the rest of the run, and is named in the log once with the
// reason.
TEST(ContinuedSave, AFileThatCannotBeReadIsLeftAlone) {
    const struct {
        const char* kind;
        const char* reason;
    } cases[] = {{"pipe", "pipe"}, {"folder", "a folder"}, {"unreadable", "Permission denied"}};
    for (const auto& one : cases) {
        SCOPED_TRACE(one.kind);
        ModeWorld mode(playtest::actionScene);
        const std::string path = savePath();
        const std::string mine = "<Level>the player's own</Level>";
        if (one.kind == std::string("pipe")) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else if (one.kind == std::string("folder")) {
            fs::create_directory(path);
        } else {
            mode.world.folder.write(path, mine);
        }
        const testsupport::DebugOutput output;
        if (one.kind == std::string("unreadable")) {
            // Tests run as root, where a file's mode does not keep it from being read.
            host::testing::failCall("GetFileKind:" + path, EACCES);
        }
        EXPECT_FALSE(offered());
        mode.enter(game::startKindContinue, game::difficultyFromSave);
        EXPECT_EQ(mode.levelNr(), 1);
        mode.world.scene->saveGame();
        EXPECT_TRUE(mode.world.scene->gameSaveFailed());
        // Readable again, it is still left alone in this run.
        host::testing::clearFailures();
        mode.world.scene->saveGame();
        EXPECT_TRUE(mode.world.scene->gameSaveFailed());
        if (one.kind == std::string("pipe")) {
            EXPECT_TRUE(fs::is_fifo(path));
        } else if (one.kind == std::string("folder")) {
            EXPECT_TRUE(fs::is_directory(path));
        } else {
            EXPECT_EQ(testsupport::TempDir::read(path), mine);
        }
        const std::string log = output.take();
        const std::size_t first =
            log.find("\"" + game::SavegamePath("Ann", game::gameModeAction) + "\" is left alone: ");
        ASSERT_NE(first, std::string::npos) << log;
        EXPECT_NE(log.find(one.reason, first), std::string::npos) << log;
        EXPECT_EQ(log.find("left alone", log.find("left alone") + 1), std::string::npos)
            << "once a run: " << log;
    }
}

} // namespace
