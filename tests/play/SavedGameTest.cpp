// A play scene's saved game through real files: the field and the scene's values written and read back,
// the position of a move's start written while the move runs, and saves that cannot be read.
#include "engine/kernel/ValueDocument.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/SavedGames.h"
#include "host/Testing.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using playtest::PlayWorld;
namespace state = game::fieldState;

const char* const savePath = "media/savegames/Ann/action/save.xml";

class SavedGame : public ::testing::Test {
protected:
    void SetUp() override {
        game::LevelCatalogue::create();
        world.player().setSeenHowToPlay(game::gameModeAction, true);
        world.enter();
        world.field()->loadLevel(world.level({"qxxxxq", "qxxxxq", "qxxxxq"}).get());
        world.field()->announceReady();
        for (int i = 0; i < 300 && !(world.field()->state() == state::idle && !world.field()->animationsRunning());
             ++i) {
            world.frame();
        }
        ASSERT_EQ(world.field()->state(), state::idle);
    }
    void TearDown() override {
        game::setDifficulty(game::difficultyNormal);
        game::LevelCatalogue::destroy();
    }

    // The colour of every field cell, row by row.
    std::vector<std::int32_t> colours() const {
        std::vector<std::int32_t> found;
        game::PlayField& field = *world.field();
        for (std::int32_t row = 1; row <= field.rowCount(); ++row) {
            for (std::int32_t column = 1; column <= field.columnCount(); ++column) {
                const game::Pibble* pibble = field.pibbleAt(row, column);
                found.push_back(pibble != nullptr ? pibble->getColour() : -1);
            }
        }
        return found;
    }
    static kernel::NodeValue& propertiesOf(kernel::ValueDocument& document) {
        return document.getNode("properties");
    }

    PlayWorld world;
};

TEST_F(SavedGame, TheFieldAndTheScenesValuesComeBack) {
    world.field()->setScore(1234);
    game::setDifficulty(game::difficultyHard);
    const std::vector<std::int32_t> before = colours();
    world.scene->saveGame();

    const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
    saved->load();
    EXPECT_EQ(propertiesOf(*saved).getValue("score").asInt(), 1234);
    EXPECT_EQ(propertiesOf(*saved).getValue("difficulty").asInt(), 1);
    EXPECT_EQ(saved->getVector("layout").childCount(), 3);

    world.field()->setScore(0);
    game::setDifficulty(game::difficultyNormal);
    ASSERT_TRUE(world.scene->loadGame());
    EXPECT_EQ(world.scene->getScoreTarget(), 1234);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyHard);
    EXPECT_EQ(colours(), before);
}

TEST_F(SavedGame, AMoveInProgressSavesItsStart) {
    world.field()->setScore(100);
    world.field()->storeToLevel();
    world.field()->setScore(500);
    world.field()->setState(state::removeMatches);
    world.scene->saveGame();
    const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
    saved->load();
    EXPECT_EQ(propertiesOf(*saved).getValue("score").asInt(), 100);
}

TEST_F(SavedGame, ASaveThatCannotBeReadIsKeptAndGivesNoGame) {
    const std::vector<std::int32_t> before = colours();
    const std::string damaged[] = {"<Level><Node id=\"properties\" score=\"5\"",
                                   "<Level><Node id=\"properties\" score=\"5\" /></Level>", "", "\x01\x02garbage"};
    for (const std::string& content : damaged) {
        SCOPED_TRACE(content);
        game::SavegamePath("Ann", game::gameModeAction);
        std::ofstream(savePath, std::ios::binary) << content;
        EXPECT_FALSE(world.scene->loadGame());
        EXPECT_EQ(colours(), before);
        std::ifstream kept(savePath, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), content);
    }
}

TEST_F(SavedGame, AKilledWriteLeavesThePreviousSave) {
    world.field()->setScore(77);
    world.scene->saveGame();
    for (const char* step : {"writeFileAtomically:write", "writeFileAtomically:rename"}) {
        SCOPED_TRACE(step);
        host::testing::failCall(step, 5, -1);
        world.field()->setScore(88);
        world.scene->saveGame();
        host::testing::clearFailures();
        const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
        saved->load();
        EXPECT_EQ(propertiesOf(*saved).getValue("score").asInt(), 77);
    }
}

} // namespace

namespace {

TEST_F(SavedGame, ALostGameTakesItsSaveAlong) {
    world.scene->saveGame();
    ASSERT_TRUE(std::filesystem::exists(savePath));
    world.field()->broadcast(game::GameEvent::of(game::eventType::levelFailed));
    EXPECT_FALSE(std::filesystem::exists(savePath));
}

} // namespace
