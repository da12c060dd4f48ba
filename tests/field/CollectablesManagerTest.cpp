// The collectables' rules: each condition at its threshold and one below, the night by an injected clock,
// the unlocks of a rules file, the colours, and the counter the field's pibbles advance.
#include "game/field/CollectablesManager.h"
#include "engine/kernel/ValueDocument.h"

#include "FieldGame.h"

#include <gtest/gtest.h>

namespace {

using fieldtest::FieldGame;
using game::CollectablesManager;
using game::PibblePlayer;
using kernel::SmartPtr;

std::int32_t secondOfDay = 0;

std::int32_t fixedClock() {
    return secondOfDay;
}

// Parsed as the program reads the rules and the profile: a node of XML attributes.
class Collectables : public ::testing::Test {
protected:
    void TearDown() override { CollectablesManager::setClock(nullptr); }

    SmartPtr<kernel::NodeValue> node(const std::string& xml) {
        SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(
            dir.write("node" + std::to_string(++files) + ".xml", "<R>" + xml + "</R>"));
        document->load();
        documents.push_back(document);
        return &document->getNode("n");
    }
    bool holds(const std::string& condition, const std::string& profile) {
        const SmartPtr<kernel::NodeValue> entry =
            node("<Collectable id=\"n\" pibbleid=\"1\" " + condition + " />");
        const SmartPtr<kernel::NodeValue> stored =
            node("<PibblePlayer id=\"n\" name=\"Ann\" " + profile + " />");
        PibblePlayer player(*stored);
        return CollectablesManager::conditionsHold(*entry, player);
    }

    fieldtest::FieldWorld world;
    testsupport::TempDir dir;
    std::vector<SmartPtr<kernel::ValueDocument>> documents;
    int files = 0;
};

struct Case {
    const char* condition;
    const char* profile;
    bool holds;
};

TEST_F(Collectables, EachConditionHoldsFromItsThresholdOn) {
    fieldtest::FieldWorld::setInt(game::ids::cfgHardModeUnlockVib, 11);
    const Case cases[] = {
        {"", "", true},
        {"numPibblesRemoved=\"500\"", "numPibblesRemoved=\"500\"", true},
        {"numPibblesRemoved=\"500\"", "numPibblesRemoved=\"499\"", false},
        {"numStubbornRemoved=\"25\"", "numStubbornRemoved=\"25\"", true},
        {"numStubbornRemoved=\"25\"", "numStubbornRemoved=\"24\"", false},
        {"numMatches5=\"2\"", "numMatches5=\"2\"", true},
        {"numMatches5=\"2\"", "numMatches5=\"1\" numMatches6=\"5\"", false},
        {"numMatches6=\"2\"", "numMatches6=\"2\"", true},
        {"numMatches6=\"2\"", "numMatches6=\"1\"", false},
        {"numMatches7=\"1\"", "numMatches7=\"1\"", true},
        {"numMatches7=\"1\"", "numMatches6=\"9\"", false},
        {"hoursPlayed=\"2\"", "secondsPlayed=\"7200\"", true},
        {"hoursPlayed=\"2\"", "secondsPlayed=\"7199\"", false},
        {"reachedRelaxLevel=\"5\"", "highestRelaxLevelNormal=\"5\"", true},
        {"reachedRelaxLevel=\"5\"", "highestRelaxLevelNormal=\"4\" highestRelaxLevelHard=\"9\"", false},
        {"reachedActionLevel=\"5\"", "highestActionLevelNormal=\"5\"", true},
        {"reachedActionLevel=\"5\"", "highestActionLevelNormal=\"4\"", false},
        {"comboPerformed=\"3\"", "comboPerformed3=\"true\"", true},
        {"comboPerformed=\"3\"", "comboPerformed4=\"true\"", false},
        // Outside the player's 20 flags no flag is read: the condition fails.
        {"comboPerformed=\"20\"", "comboPerformed19=\"true\"", false},
        {"comboPerformed=\"-1\"", "comboPerformed0=\"true\"", false},
        {"percentageCompleted=\"25\"", "highestVIBChapterNormal=\"4\" highestVIBLevelNormal=\"5\"", true},
        {"percentageCompleted=\"25\"", "highestVIBChapterNormal=\"4\" highestVIBLevelNormal=\"4\"", false},
        {"finishedGameWithoutHint=\"true\"", "finishedGameWithoutHint=\"true\"", true},
        {"finishedGameWithoutHint=\"true\"", "finishedGameWithoutHint=\"false\"", false},
        {"finishedGameWithoutHint=\"false\"", "finishedGameWithoutHint=\"false\"", true},
        {"finishedGameWithoutHint=\"false\"", "finishedGameWithoutHint=\"true\"", false},
        {"completedVIBNormal=\"0\"", "highestVIBChapterNormal=\"11\"", true},
        {"completedVIBNormal=\"0\"", "highestVIBChapterNormal=\"10\"", false},
        {"completedVIBHard=\"0\"", "highestVIBChapterHard=\"11\"", true},
        {"completedVIBHard=\"0\"", "highestVIBChapterNormal=\"11\"", false},
        {"matchedTwoStubborns=\"3\"", "twoStubbornMatches=\"3\"", true},
        {"matchedTwoStubborns=\"3\"", "twoStubbornMatches=\"2\"", false},
        // Every condition must hold, the first failing one decides.
        {"numPibblesRemoved=\"1\" numStubbornRemoved=\"1\"", "numPibblesRemoved=\"1\"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(holds(c.condition, c.profile), c.holds) << c.condition << " with " << c.profile;
    }
}

TEST_F(Collectables, TheNightRunsFromTenToFourByTheLocalClock) {
    CollectablesManager::setClock(fixedClock);
    const std::pair<std::int32_t, bool> seconds[] = {{0, true},      {14400, true},  {14401, false},
                                                     {43200, false}, {79199, false}, {79200, true},
                                                     {86399, true}};
    for (const auto& [second, night] : seconds) {
        secondOfDay = second;
        EXPECT_EQ(holds("playedDuringNight=\"1\"", ""), night) << second;
    }
}

// Unlocked at the front of the queue with the play time noted: entries without conditions at once, one
// whose condition fails once it holds, none twice, none claimed already, none whose id stands for no
// collectable.
TEST(CollectablesManager, UnlocksWhatThePlayerHasEarnedOnce) {
    FieldGame game("<Rules><Vector id=\"collectables\">"
                   "<Collectable pibbleid=\"3\" colorid=\"3\" />"
                   "<Collectable pibbleid=\"4\" colorid=\"4\" numPibblesRemoved=\"1\" />"
                   "<Collectable pibbleid=\"5\" colorid=\"5\" />"
                   "<Collectable colorid=\"2\" />"
                   "<Collectable pibbleid=\"31\" colorid=\"2\" />"
                   "<Collectable pibbleid=\"3\" colorid=\"1\" />"
                   "</Vector></Rules>");
    PibblePlayer& player = game.player();
    EXPECT_EQ(player.queuedCollectableCount(), 2);
    EXPECT_EQ(player.firstQueuedCollectable(), 5);
    EXPECT_EQ(player.dataGatherAvailable(3), 0);
    EXPECT_FALSE(player.isCollectableQueued(0));
    EXPECT_FALSE(player.isCollectableQueued(31));

    player.claimCollectable(5);
    player.setNumPibblesRemoved(1);
    player.setSecondsPlayed(100);
    CollectablesManager& manager = *CollectablesManager::instance();
    // The current scene adds its play time first and hears of each unlock.
    fieldtest::ScriptedScene& scene = fieldtest::ScriptedScene::enter();
    manager.checkUnlocks();
    EXPECT_EQ(scene.unlocked, std::vector<std::int32_t>{4});
    EXPECT_EQ(scene.flushesBefore, std::vector<int>{1});
    ui::SceneManager::destroy();
    EXPECT_EQ(player.queuedCollectableCount(), 2);
    EXPECT_EQ(player.firstQueuedCollectable(), 4);
    EXPECT_EQ(player.dataGatherAvailable(4), 100);

    EXPECT_EQ(manager.colourOf(4), 4);
    EXPECT_EQ(manager.colourOf(3), 3) << "the first entry of the id";
    EXPECT_EQ(manager.colourOf(9), 0);
    EXPECT_EQ(manager.colourOf(0), 0);
    EXPECT_EQ(manager.colourOf(31), 0);
}

// The counter comes from the player and goes back to it; a pibble made while a collectable is on the
// field does not advance it.
TEST(CollectablesManager, PibblesMadeWithoutACollectableAdvanceTheCounter) {
    FieldGame game;
    game.field->loadLevel(game.level({"qxxq"}).get());
    CollectablesManager::destroy();
    game.player().setCollectableCounter(9);
    CollectablesManager& manager = *CollectablesManager::create();
    EXPECT_EQ(manager.counter(), 9);
    const SmartPtr<game::Pibble> made = manager.createPibble(1, 2);
    EXPECT_EQ(manager.counter(), 10);
    EXPECT_GE(made->getColour(), 1);
    EXPECT_LE(made->getColour(), 5);
    EXPECT_EQ(made->getX(), game.field->columnX(1, 2));
    game::PlayField::ScanCounts counts;
    counts.collectables = 1;
    game.field->setScanCounts(counts);
    manager.createPibble(1, 2);
    EXPECT_EQ(manager.counter(), 10);

    // Pibbles made for a column's waiting list stack above each other.
    const SmartPtr<game::Pibble> waiting = manager.createPibble(game::cell::waiting, 2);
    game.field->setPibble(game::cell::waiting, 2, waiting.get());
    EXPECT_EQ(manager.createPibble(game::cell::waiting, 2)->getY(), -30 - 44);
    CollectablesManager::destroy();
    EXPECT_EQ(game.player().collectableCounter(), 10);

    // A profile's counter at the top of its range stays there.
    game.player().setCollectableCounter(2147483647);
    game.field->setScanCounts({});
    CollectablesManager::create()->createPibble(1, 2);
    EXPECT_EQ(CollectablesManager::instance()->counter(), 2147483647);
    CollectablesManager::destroy();
}

} // namespace
