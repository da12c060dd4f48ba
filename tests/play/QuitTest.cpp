// Closing the window during play: one question, and on yes what the game's state allows is kept (an idle
// game saved, a finished level carried on and saved, a lost game's save gone, a move in progress left as
// it is) before the program quits; and the level end's two ways back into the modes.
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Button.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogPibble.h"
#include "host/Window.h"

#include "ModeWorld.h"
#include "VibWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace ids = game::ids;
namespace state = game::fieldState;

const std::string boxes = R"(<DialogPibble id="DIALOG_YESNO" width="400" height="136"><Vector id="components">
      <Label name="HEADER" x="200" y="22" /><Label name="MESSAGE" x="30" y="62" width="340" height="0" />
      <Button name="BUTTON_YES" x="70" y="76" width="120" height="40" />
      <Button name="BUTTON_NO" x="210" y="76" width="120" height="40" /></Vector></DialogPibble>)";
const std::string levelEnd = R"(<DialogPibble id="DIALOG_LEVELEND" width="300" height="200" />)";

// Whether a quit was asked for since the last look (the look takes it).
bool quitPosted() {
    host::MSG message{};
    bool quit = false;
    while (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
        quit = quit || message.message == host::WM_QUIT;
    }
    return quit;
}

void answer(ui::Scene& scene, const char* button) {
    ui::Dialog* box = scene.findDialog(ids::textQuit);
    ASSERT_NE(box, nullptr);
    auto* pressed = static_cast<ui::Button*>(box->findComponent(button));
    ASSERT_NE(pressed, nullptr);
    pressed->invoke(pressed);
}

kernel::SmartPtr<kernel::ValueDocument> savedGame(const char* mode) {
    const kernel::SmartPtr<kernel::ValueDocument> saved =
        new kernel::ValueDocument(std::string("media/savegames/Ann/") + mode + "/save.xml");
    saved->load();
    return saved;
}

class ActionQuit : public ::testing::Test {
protected:
    void SetUp() override {
        quitPosted();
        world.enter();
    }
    void TearDown() override { quitPosted(); }
    game::PlayScene& scene() const { return *world.world.scene; }
    game::PlayField& field() const { return *world.world.field(); }
    bool saved() const { return std::filesystem::exists("media/savegames/Ann/action/save.xml"); }

    modetest::ModeWorld world{playtest::actionScene, boxes + levelEnd};
};

TEST_F(ActionQuit, AnIdleGameIsSavedAndOfferedBeforeTheProgramQuits) {
    scene().onCloseRequest();
    scene().onCloseRequest();
    EXPECT_TRUE(scene().isDialogOpen(ids::textQuit));
    EXPECT_EQ(scene().getOpenDialogs().size(), 1u);
    EXPECT_FALSE(quitPosted());

    field().setScore(321);
    answer(scene(), ids::buttonYes);
    EXPECT_FALSE(scene().isDialogOpen(ids::textQuit));
    EXPECT_TRUE(quitPosted());
    ASSERT_TRUE(saved());
    EXPECT_EQ(savedGame("action")->getNode("properties").getValue("score").asInt(), 321);
    EXPECT_EQ(world.world.player().gamemodeSaveFlag(), game::gameModeAction);
}

TEST_F(ActionQuit, NoGoesBackToTheGameAndAMoveInProgressSavesNothing) {
    scene().onCloseRequest();
    answer(scene(), ids::buttonNo);
    EXPECT_FALSE(scene().isDialogOpen(ids::textQuit));
    EXPECT_FALSE(quitPosted());
    EXPECT_FALSE(saved());

    field().setState(state::removeMatches);
    scene().onCloseRequest();
    answer(scene(), ids::buttonYes);
    EXPECT_TRUE(quitPosted());
    EXPECT_FALSE(saved());
}

TEST_F(ActionQuit, AFinishedLevelIsCarriedOnAndALostOneLeavesNoSave) {
    field().setScore(900);
    field().setState(state::levelOver);
    game::DialogPibble::openLevelEnd(game::levelEndFinished, &scene());
    scene().onCloseRequest();
    answer(scene(), ids::buttonYes);
    EXPECT_TRUE(quitPosted());
    ASSERT_TRUE(saved());
    const kernel::SmartPtr<kernel::ValueDocument> save = savedGame("action");
    const kernel::NodeValue& properties = save->getNode("properties");
    EXPECT_EQ(properties.getValue("levelNr").asInt(), 2);
    EXPECT_EQ(properties.getValue("score").asInt(), 900);
    EXPECT_EQ(properties.getValue("numPibbles").asInt(), 0);
    EXPECT_EQ(properties.getValue("numPibblesGoal").asInt(), modetest::actionRow(2, 0).numPibbles);
    EXPECT_EQ(world.world.player().gamemodeSaveFlag(), game::gameModeAction);

    scene().removeDialog(ids::dialogLevelEnd);
    field().setState(state::levelOver);
    game::DialogPibble::openLevelEnd(game::levelEndFailed, &scene());
    scene().onCloseRequest();
    answer(scene(), ids::buttonYes);
    EXPECT_TRUE(quitPosted());
    EXPECT_FALSE(saved());
}

TEST_F(ActionQuit, TheLevelEndReachesTheModesOwnWaysOn) {
    auto& action = static_cast<game::PlaySceneAction&>(scene());
    game::PibbleScene::current()->gameFinishedForMode();
    EXPECT_EQ(action.getLevelNr(), 2);
    EXPECT_EQ(action.getNumPibblesGoal(), modetest::actionRow(2, 0).numPibbles);
    game::PibbleScene::current()->gameFailedForMode();
    EXPECT_TRUE(world.until([] { return ui::SceneManager::instance()->currentScene() != game::PibbleScene::current() ||
                                        game::PibbleScene::current()->getName() == ids::sceneSelection; },
                            2000));
}

class VibQuit : public ::testing::Test {
protected:
    void SetUp() override {
        quitPosted();
        world.enter();
    }
    void TearDown() override { quitPosted(); }
    // The level just finished, its level end open, and yes to the question.
    void quitAfter(std::int32_t chapter, std::int32_t level) {
        world.scene().setChapterNr(chapter);
        world.scene().setLevelNr(level);
        world.field().setScore(4321);
        world.field().setState(state::levelOver);
        game::DialogPibble::openLevelEnd(game::levelEndFinished, &world.scene());
        world.scene().onCloseRequest();
        answer(world.scene(), ids::buttonYes);
        EXPECT_TRUE(quitPosted());
    }
    bool saved() const { return std::filesystem::exists("media/savegames/Ann/vib/save.xml"); }

    vibtest::VibWorld world{boxes};
};

TEST_F(VibQuit, TheLastLevelOfAChapterSavesTheNextChaptersFirst) {
    quitAfter(3, 7);
    ASSERT_TRUE(saved());
    const kernel::SmartPtr<kernel::ValueDocument> save = savedGame("vib");
    const kernel::NodeValue& properties = save->getNode("properties");
    EXPECT_EQ(properties.getValue("chapterNr").asInt(), 4);
    EXPECT_EQ(properties.getValue("levelNr").asInt(), 1);
    EXPECT_EQ(properties.getValue("score").asInt(), 4321);
    EXPECT_EQ(world.world.player().highestVibChapter(game::difficultyNormal), 4);
    EXPECT_EQ(world.world.player().highestVibLevel(game::difficultyNormal), 1);
    EXPECT_EQ(world.world.player().gamemodeSaveFlag(), game::gameModeVib);
}

TEST_F(VibQuit, TheLastLevelOfTheGameEntersTheScoreAndLeavesNoSave) {
    quitAfter(10, 7);
    EXPECT_FALSE(saved());
    const platform::ScoreTable& table = world.scores();
    ASSERT_GE(table.getLastScore(), 0);
    const auto* entry = static_cast<const game::PibbleHighscoreEntry*>(table.getEntry(table.getLastScore()));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->getLevelNr(), "10.7");
    EXPECT_EQ(entry->getScore(), 4321);
}

} // namespace
