#include "game/foundation/PibblePlayer.h"

#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/PlayerManager.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"

#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <string>
#include <utility>

namespace {

using game::PibblePlayer;
using kernel::SmartPtr;
using platform::PlayerManager;

constexpr int normal = game::difficultyNormal;
constexpr int hard = game::difficultyHard;

class PibblePlayerTest : public ::testing::Test {
protected:
    void TearDown() override {
        PlayerManager::destroy();
        kernel::PropertyStore::destroy();
    }

    // The profile as its file holds it.
    std::string written(PibblePlayer& player) const {
        const SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument());
        const SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("player", "Player"));
        player.writeXml(*node);
        document->setChild(node);
        document->setSavePath("profile.xml");
        EXPECT_EQ(document->save(), kernel::SaveResult::Saved);
        return testsupport::TempDir::read(dir.file("profile.xml"));
    }

    // The player "Ann" made current, with a profile file of her own.
    static PibblePlayer& addCurrent() {
        return *static_cast<PibblePlayer*>(PlayerManager::create()->addPlayer(new PibblePlayer("Ann")));
    }

    testsupport::WorkingFolder dir;
};

TEST_F(PibblePlayerTest, AnEmptyNodeReadsAsANewProfile) {
    kernel::NodeValue entry("", "PibblePlayer");
    PibblePlayer player(entry);
    EXPECT_FALSE(player.isChanged());
    for (const int difficulty : {normal, hard}) {
        EXPECT_EQ(player.highestVibChapter(difficulty), 1);
        EXPECT_EQ(player.highestVibLevel(difficulty), 1);
        EXPECT_EQ(player.highestActionLevel(difficulty), 1);
        EXPECT_EQ(player.highestRelaxLevel(difficulty), 1);
    }
    EXPECT_EQ(player.highestVibChapter(game::difficultyFromSave), 1);
    EXPECT_TRUE(player.showHints());
    for (const char* hint : game::ids::hints) {
        EXPECT_TRUE(player.isHintEnabled(hint)) << hint;
    }
    EXPECT_EQ(player.gamemodeSaveFlag(), -1);
    EXPECT_FALSE(player.finishedGameWithoutHint());
    EXPECT_FALSE(player.hasSeen(PibblePlayer::Sighting::Unhappy));
    EXPECT_FALSE(player.hasSeenHowToPlay(2));
    EXPECT_EQ(player.firstQueuedCollectable(), 0) << "nothing waits";
    for (int id = 1; id <= 30; ++id) {
        EXPECT_FALSE(player.isCollectableClaimed(id));
        EXPECT_EQ(player.dataGatherAvailable(id), -1);
        EXPECT_EQ(player.dataGatherClaimed(id), -1);
    }
    EXPECT_EQ(PibblePlayer("Bob").isChanged(), true) << "a new profile waits for its first save";
}

TEST_F(PibblePlayerTest, AFullProfileComesBackAsItWasWritten) {
    PibblePlayer player("Ann");
    player.setSeen(PibblePlayer::Sighting::Clown, true);
    player.setSeen(PibblePlayer::Sighting::Unhappy, true);
    player.setSeenHowToPlay(0, true);
    player.setSeenHowToPlay(2, true);
    player.setNumPibblesRemoved(12345);
    player.setNumStubbornRemoved(77);
    player.setTwoStubbornMatches(3);
    for (const int size : {3, 3, 4, 7, 19}) {
        player.countMatch(size);
    }
    player.setComboPerformed(0);
    player.setComboPerformed(5);
    player.setSecondsPlayed(7200);
    player.setCollectableCounter(41);
    player.setGamemodeSaveFlag(2);
    player.setFinishedGameWithoutHint(true);
    player.setVibProgress(4, 6, normal);
    player.setVibProgress(2, 3, hard);
    player.setHighestActionLevel(12, normal);
    player.setHighestRelaxLevel(9, hard);
    for (const int id : {5, 9, 2}) {
        player.queueCollectable(id);
    }
    player.recordUnlock(7);
    player.claimCollectable(7);
    player.setHintEnabled(game::ids::hintClickQueue, false);
    EXPECT_FALSE(player.isHintEnabled("TEXT_HINT_FROM_A_LATER_GAME"));
    player.setShowHints(false);
    ASSERT_TRUE(player.isChanged());

    const std::string file = written(player);
    EXPECT_FALSE(player.isChanged());
    const SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument("profile.xml"));
    document->load();
    kernel::NodeValue& node = document->getNode("player");
    node.setChild(new kernel::ScalarValue("name", std::string("Ann"), kernel::Typing::Untyped));
    PibblePlayer back(node);
    EXPECT_EQ(written(back), file);
    EXPECT_EQ(back.numMatches(3), 2);
    EXPECT_EQ(back.claimTime(7), player.claimTime(7));
    EXPECT_EQ(back.firstQueuedCollectable(), 5);
    EXPECT_TRUE(back.hasSeenHowToPlay(2));
    EXPECT_FALSE(back.hasSeenHowToPlay(1));
    EXPECT_EQ(back.highestVibLevel(hard), 3);
}

// The queue read from a profile holds only ids that stand for a collectable; nothing else is written back.
TEST_F(PibblePlayerTest, TheQueueKeepsOnlyCollectableIds) {
    const SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(
        dir.write("queue.xml", "<r><Player id=\"player\"><Vector id=\"collectablequeue\">"
                               "<Collectable pibbleid=\"0\"/><Collectable pibbleid=\"-2147483648\"/>"
                               "<Collectable pibbleid=\"5\"/><Collectable pibbleid=\"2147483647\"/>"
                               "<Collectable pibbleid=\"31\"/><Collectable pibbleid=\"30\"/><Collectable/>"
                               "<Integer id=\"pibbleid\" value=\"7\"/><Collectable pibbleid=\"1\"/>"
                               "<Collectable pibbleid=\"5\"/></Vector></Player></r>")));
    document->load();
    PibblePlayer player(document->getNode("player"));
    EXPECT_EQ(player.queuedCollectableCount(), 4);
    EXPECT_EQ(player.firstQueuedCollectable(), 5);
    for (const int id : {0, 31, 7, INT_MAX, INT_MIN}) {
        EXPECT_FALSE(player.isCollectableQueued(id)) << id;
    }
    const std::string file = written(player);
    const std::size_t start = file.find("collectablequeue");
    const std::string queue = file.substr(start, file.find("</Vector>", start) - start);
    EXPECT_EQ(queue,
              "collectablequeue\">\n            <Collectable pibbleid=\"5\" />\n            <Collectable "
              "pibbleid=\"30\" />\n            <Collectable pibbleid=\"1\" />\n            <Collectable "
              "pibbleid=\"5\" />\n        ");
}

TEST_F(PibblePlayerTest, AClaimedListNamesOnlyItsOwnIds) {
    const SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument());
    document->addFile(dir.write("profile.xml",
                                "<r><Player id=\"player\"><Vector id=\"collectableclaimed\">"
                                "<Collectable pibbleid=\"4\" claimed=\"true\" date=\"4294967297\" "
                                "datagatheravailable=\"10\" datagatherclaimed=\"20\"/>"
                                "<Collectable pibbleid=\"30\" claimed=\"false\" date=\"5\"/>"
                                // Ids outside 1..30 date nothing.
                                "<Collectable pibbleid=\"0\" claimed=\"true\" date=\"9\"/>"
                                "<Collectable pibbleid=\"31\" claimed=\"true\" date=\"9\"/>"
                                "<Collectable pibbleid=\"-2147483648\" claimed=\"true\" date=\"9\"/>"
                                "</Vector></Player></r>"));
    document->load();
    PibblePlayer player(document->getNode("player"));
    EXPECT_TRUE(player.isCollectableClaimed(4));
    EXPECT_EQ(player.claimTime(4), 1) << "the low 32 bits of the date";
    EXPECT_EQ(player.dataGatherAvailable(4), 10);
    EXPECT_FALSE(player.isCollectableClaimed(30));
    EXPECT_FALSE(player.isCollectableClaimed(5));
    EXPECT_EQ(player.claimedCollectableCount(), 1) << "only ids 1..30 count";
    for (const int id : {0, 31, -2147483647 - 1}) {
        EXPECT_EQ(player.claimTime(id), 0);
    }
    const std::string file = written(player);
    EXPECT_EQ(file.find("pibbleid=\"5\""), std::string::npos);
    EXPECT_NE(file.find("pibbleid=\"30\""), std::string::npos);
}

TEST_F(PibblePlayerTest, TheHintSwitchLeavesTheCollectableHintsAlone) {
    PibblePlayer player("Ann");
    player.setHintEnabled(game::ids::hintAppearCollectable, false);
    player.setShowHints(false);
    EXPECT_FALSE(player.isHintEnabled(game::ids::hintVib));
    EXPECT_TRUE(player.isHintEnabled(game::ids::hintClickCollectable));
    player.setShowHints(true);
    int enabled = 0;
    for (const char* hint : game::ids::hints) {
        enabled += player.isHintEnabled(hint) ? 1 : 0;
    }
    EXPECT_EQ(enabled, 20);
    EXPECT_FALSE(player.isHintEnabled(game::ids::hintAppearCollectable));
}

TEST_F(PibblePlayerTest, CompletionCombosAndMatchesCountWithinTheirTables) {
    PibblePlayer player("Ann");
    player.setVibProgress(3, 5, normal);
    for (const int id : {1, 2, 3, 4, 5, 6}) {
        player.claimCollectable(id);
    }
    EXPECT_EQ(player.vibLevelsDone(), 18);
    EXPECT_EQ(player.completionPercent(), 24);

    PibblePlayer levelsOnly("Bob");
    for (int done = 0; done <= 100; ++done) {
        levelsOnly.setVibProgress(1, done + 1, normal);
        const int shown = done == 29 ? 28 : done == 57 ? 56 : done == 58 ? 57 : done;
        EXPECT_EQ(levelsOnly.completionPercent(), shown) << done;
    }
    levelsOnly.setVibProgress(2147483647, 2147483647, normal);
    EXPECT_EQ(levelsOnly.completionPercent(), 100) << "a damaged profile shows no more than all";
    levelsOnly.setVibProgress(-2147483647 - 1, -2147483647 - 1, normal);
    EXPECT_EQ(levelsOnly.completionPercent(), 0);

    for (const int step : {0, 3, 7}) {
        player.setComboPerformed(step);
    }
    EXPECT_EQ(player.biggestCombo(), 7);
    player.setComboPerformed(45);
    player.setComboPerformed(-1);
    EXPECT_EQ(player.biggestCombo(), 19) << "a longer combo sets the last flag";
    for (const int size : {3, 20, 250, -3}) {
        player.countMatch(size);
    }
    EXPECT_EQ(player.numMatches(19), 2) << "matches of 20 or more count in the last slot";
    EXPECT_EQ(player.numMatches(20), 0);
    EXPECT_EQ(player.totalMatches(), 3);

    player.setHighestActionLevel(50, game::difficultyFromSave);
    EXPECT_EQ(player.highestActionLevel(normal), 1) << "an unknown difficulty stores nothing";
}

// A profile's counts may stand at the top of their range (a larger number reads as the largest int); the
// game's additions stop there. The sanitizers would report an overflow.
TEST_F(PibblePlayerTest, CountsReadAtTheTopOfTheirRangeStayThere) {
    kernel::NodeValue entry("", "PibblePlayer");
    const std::pair<const char*, const char*> stored[] = {{"numMatches3", "2147483647"},
                                                          {"numMatches19", "99999999999"},
                                                          {"numPibblesRemoved", "2147483647"},
                                                          {"numStubbornRemoved", "2147483647"},
                                                          {"twoStubbornMatches", "2147483647"}};
    for (const auto& [key, value] : stored) {
        entry.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
    }
    PibblePlayer player(entry);
    player.countMatch(3);
    player.countMatch(25);
    player.addPibblesRemoved(12);
    player.addStubbornRemoved(3);
    player.addTwoStubbornMatches(1);
    EXPECT_EQ(player.numMatches(3), INT_MAX);
    EXPECT_EQ(player.numMatches(19), INT_MAX);
    EXPECT_EQ(player.totalMatches(), INT_MAX);
    EXPECT_EQ(player.numPibblesRemoved(), INT_MAX);
    EXPECT_EQ(player.numStubbornRemoved(), INT_MAX);
    EXPECT_EQ(player.twoStubbornMatches(), INT_MAX);
    EXPECT_TRUE(player.isChanged());

    PibblePlayer fresh("Bob");
    fresh.addPibblesRemoved(5);
    fresh.addPibblesRemoved(4);
    fresh.addStubbornRemoved(2);
    fresh.addTwoStubbornMatches(1);
    EXPECT_EQ(fresh.numPibblesRemoved(), 9);
    EXPECT_EQ(fresh.numStubbornRemoved(), 2);
    EXPECT_EQ(fresh.twoStubbornMatches(), 1);
}

TEST_F(PibblePlayerTest, TheQueueAndClaims) {
    PibblePlayer& player = addCurrent();
    EXPECT_EQ(player.firstQueuedCollectable(), 0);
    player.queueCollectable(4);
    player.queueCollectableRandomly(8);
    EXPECT_EQ(player.firstQueuedCollectable(), 8) << "never at the end: before the one id";
    player.queueCollectableFirst(2);
    EXPECT_EQ(player.queuedCollectableCount(), 3);
    EXPECT_TRUE(player.isCollectableQueued(4));
    // Queueing saved at once.
    EXPECT_NE(testsupport::TempDir::read(dir.file("players/Ann.plr")).find("pibbleid=\"2\""),
              std::string::npos);

    player.setSecondsPlayed(360);
    const std::time_t before = std::time(nullptr);
    player.claimCollectable(4);
    EXPECT_FALSE(player.isCollectableQueued(4));
    EXPECT_TRUE(player.isCollectableClaimed(4));
    EXPECT_GE(player.claimTime(4), static_cast<std::int32_t>(before));
    EXPECT_LE(player.claimTime(4), static_cast<std::int32_t>(std::time(nullptr)));
    EXPECT_EQ(player.dataGatherClaimed(4), 360);
    EXPECT_TRUE(player.dataGatherPending());
    EXPECT_FALSE(player.isChanged()) << "the claim was saved";
    for (const int id : {0, 31, -5}) {
        player.claimCollectable(id);
        EXPECT_TRUE(player.isCollectableClaimed(id));
        EXPECT_EQ(player.claimTime(id), 0);
    }
    player.unqueueCollectable(99);
    EXPECT_EQ(player.queuedCollectableCount(), 2);
}

TEST_F(PibblePlayerTest, HardModeOpensByTheCurrentPlayersNormalProgress) {
    EXPECT_FALSE(PibblePlayer::isHardModeUnlocked(0)) << "no current player";
    kernel::PropertyStore* store = kernel::PropertyStore::create();
    store->intRef(game::ids::cfgHardModeUnlockVib) = 11;
    store->intRef(game::ids::cfgHardModeUnlockAction) = 10;
    store->intRef(game::ids::cfgHardModeUnlockRelax) = 8;
    PibblePlayer& player = addCurrent();
    ASSERT_EQ(game::currentPlayer(), &player);
    player.setVibProgress(10, 7, normal);
    player.setVibProgress(11, 1, hard);
    player.setHighestActionLevel(10, normal);
    player.setHighestRelaxLevel(7, normal);
    player.setHighestRelaxLevel(20, hard);
    EXPECT_FALSE(PibblePlayer::isHardModeUnlocked(0));
    EXPECT_TRUE(PibblePlayer::isHardModeUnlocked(1));
    EXPECT_FALSE(PibblePlayer::isHardModeUnlocked(2));
    EXPECT_FALSE(PibblePlayer::isHardModeUnlocked(3));
    player.setVibProgress(11, 1, normal);
    EXPECT_TRUE(PibblePlayer("Bob").isHardModeUnlocked(0)) << "whoever asks, the current player's progress";
    // Each opens on reaching its value exactly.
    player.setHighestRelaxLevel(8, normal);
    EXPECT_TRUE(PibblePlayer::isHardModeUnlocked(2));
    player.setVibProgress(10, 7, normal);
    player.setHighestActionLevel(9, normal);
    player.setHighestRelaxLevel(7, normal);
    EXPECT_FALSE(PibblePlayer::isHardModeUnlocked(0) || PibblePlayer::isHardModeUnlocked(1) ||
                 PibblePlayer::isHardModeUnlocked(2))
        << "one short of each";
}

// A damaged or hostile profile loads as far as it can be read, and loading never writes it.
TEST_F(PibblePlayerTest, LoadingADamagedProfileLeavesItsFileAlone) {
    addCurrent().setHighestActionLevel(6, normal);
    ASSERT_TRUE(PlayerManager::instance()->saveAll());
    PlayerManager::destroy();
    std::string tenThousand;
    for (int i = 0; i < 10000; ++i) {
        tenThousand +=
            "<Collectable pibbleid=\"" + std::to_string(i * 7919 - 40000) + "\" claimed=\"true\"/>";
    }
    for (const std::string& damaged :
         {std::string("<r><Player id=\"player\" highestActionLevelNormal=\"9\" seenClown=\"tr"),
          std::string("\x00\xff garbage", 10),
          "<r><Player id=\"player\" highestVIBChapterNormal=\"99999999999\" numMatches5=\"-99999999999\" "
          "secondsPlayed=\"#FFFFFFFF\"><Vector id=\"collectableclaimed\">" +
              tenThousand +
              "</Vector><Vector id=\"collectablequeue\"><Collectable/><Collectable pibbleid=\"x\"/>"
              "</Vector><Node id=\"showhint\"/></Player></r>"}) {
        dir.write("players/Ann.plr", damaged);
        PlayerManager::create()->loadAll();
        PibblePlayer* player = game::currentPlayer();
        ASSERT_NE(player, nullptr);
        EXPECT_FALSE(player->isChanged());
        player->completionPercent();
        player->claimedCollectableCount();
        EXPECT_EQ(testsupport::TempDir::read(dir.file("players/Ann.plr")), damaged);
        PlayerManager::destroy();
    }
}

} // namespace
