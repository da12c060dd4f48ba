// Closing the window during play: one question, and on yes what the game's state allows is kept (an idle
// game saved, a move in progress run to its end and then saved, a finished level carried on and saved, a
// lost game's save gone, nothing new before the first GO) before the program quits; the menu's way back
// during a move; and the level end's two ways back into the modes.
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Button.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogMenu.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogProgress.h"
#include "host/Window.h"

#include "DebugOutput.h"
#include "ModeWorld.h"
#include "VibWorld.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace ids = game::ids;
namespace state = game::fieldState;

const std::string boxes = R"(<DialogPibble id="DIALOG_YESNO" width="400" height="136"><Vector id="components">
      <Label name="HEADER" x="200" y="22" /><Label name="MESSAGE" x="30" y="62" width="340" height="0" />
      <Button name="BUTTON_YES" x="70" y="76" width="120" height="40" />
      <Button name="BUTTON_NO" x="210" y="76" width="120" height="40" /></Vector></DialogPibble>)";
const std::string levelEnd = R"(<DialogPibble id="DIALOG_LEVELEND" width="300" height="200" />)";
const std::string messageAndMenu =
    R"(<DialogPibble id="DIALOG_MESSAGE" width="400" height="120"><Vector id="components">
      <Label name="HEADER" x="200" y="22" /><Label name="MESSAGE" x="30" y="62" width="340" height="0" />
      <Button name="BUTTON_OK" x="140" y="70" width="120" height="40" /></Vector></DialogPibble>
    <DialogMenu id="DIALOG_MENU" width="240" height="300"><Vector id="components">
      <Button name="BUTTON_QUIT" x="40" y="170" width="160" height="160" /></Vector></DialogMenu>)";

// Whether a quit was asked for since the last look (the look takes it).
bool quitPosted() {
    host::MSG message{};
    bool quit = false;
    while (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
        quit = quit || message.message == host::WM_QUIT;
    }
    return quit;
}

void answer(ui::Scene& scene, const char* button, const char* key = ids::textQuit) {
    ui::Dialog* box = scene.findDialog(key);
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

    modetest::ModeWorld world{playtest::actionScene, boxes + levelEnd + messageAndMenu};
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

TEST_F(ActionQuit, NoGoesBackToTheGameAndBeforeTheFirstGoNothingIsSaved) {
    scene().onCloseRequest();
    answer(scene(), ids::buttonNo);
    EXPECT_FALSE(scene().isDialogOpen(ids::textQuit));
    EXPECT_FALSE(quitPosted());
    EXPECT_FALSE(saved());

    // A new game entered anew, its first level waiting for its GO.
    modetest::leave(world);
    game::setStartKind(game::startKindNew);
    world.world.enter();
    ASSERT_EQ(field().state(), state::ready);
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

// A game that cannot be saved as the player leaves it (a full disk) is told in one box before the program
// quits or the selection scene comes: by the window's close (a second close while the box is open quits) and
// by the menu's way back, whose save is the one made as the menu opened.
TEST_F(ActionQuit, AFailedSaveIsToldBeforeTheGameIsLeft) {
    const testsupport::DebugOutput output;
    host::testing::failCall("writeFileAtomically:write", ENOSPC);
    for (const bool secondClose : {false, true}) {
        SCOPED_TRACE(secondClose ? "closed again" : "told");
        scene().onCloseRequest();
        answer(scene(), ids::buttonYes);
        EXPECT_FALSE(quitPosted());
        ASSERT_TRUE(scene().isDialogOpen(ids::textSaveFailed));
        EXPECT_EQ(scene().getOpenDialogs().size(), 1u);
        if (secondClose) {
            scene().onCloseRequest();
        } else {
            answer(scene(), ids::buttonOk, ids::textSaveFailed);
            EXPECT_FALSE(scene().isDialogOpen(ids::textSaveFailed));
        }
        EXPECT_TRUE(quitPosted());
        scene().removeAllDialogs();
    }
    EXPECT_FALSE(saved());
    EXPECT_NE(output.take().find("No space left on device"), std::string::npos);

    game::PlayScene::onMenuButton(&scene(), nullptr);
    ui::Dialog* menu = scene().findDialog(ids::dialogMenu);
    ASSERT_NE(menu, nullptr);
    game::DialogMenu::onQuit(static_cast<ui::GameNode*>(menu), nullptr);
    answer(scene(), ids::buttonYes);
    ASSERT_TRUE(scene().isDialogOpen(ids::textSaveFailed));
    EXPECT_EQ(world.manager().nextScene(), nullptr);
    answer(scene(), ids::buttonOk, ids::textSaveFailed);
    EXPECT_EQ(world.manager().nextScene(), world.manager().findScene(ids::sceneSelection));
    EXPECT_FALSE(quitPosted());
}

TEST_F(ActionQuit, TheLevelEndReachesTheModesOwnWaysOn) {
    auto& action = static_cast<game::PlaySceneAction&>(scene());
    game::PibbleScene::current()->gameFinishedForMode();
    EXPECT_EQ(action.getLevelNr(), 2);
    EXPECT_EQ(action.getNumPibblesGoal(), modetest::actionRow(2, 0).numPibbles);
    game::PibbleScene::current()->gameFailedForMode();
    EXPECT_TRUE(world.until(
        [] {
            return ui::SceneManager::instance()->currentScene() != game::PibbleScene::current() ||
                   game::PibbleScene::current()->getName() == ids::sceneSelection;
        },
        2000));
}

// Five rows of three: the last row's queue pibble completes a column of three in the first column, and the
// two pibbles above them then fall into a row of three with the last row's others, a chain of two steps at
// least.
const std::vector<std::string> chainField(5, "qxxxq");
const std::vector<std::string> chainColours = {"24210", "33420", "41240", "21320", "12330"};

// The close or the menu's way back answered yes while the last row's first pibble makes its chain.
class LeaveDuringAMove : public ::testing::TestWithParam<playtest::SceneKind> {
protected:
    void SetUp() override {
        quitPosted();
        mode.writeModeLevel(modetest::levelText(chainField, chainColours));
        mode.enter();
    }
    void TearDown() override {
        host::testing::clearFailures();
        quitPosted();
    }
    game::PlayScene& scene() const { return *mode.world.scene; }
    game::PlayField& field() const { return *mode.world.field(); }
    const char* folder() const { return GetParam().mode == game::gameModeAction ? "action" : "relax"; }
    bool saved() const {
        return std::filesystem::exists(std::string("media/savegames/Ann/") + folder() + "/save.xml");
    }
    std::int32_t savedScore() const {
        return savedGame(folder())->getNode("properties").getValue("score").asInt();
    }
    // The click, up to the chain's second removal step.
    void startChain() {
        ASSERT_TRUE(mode.click(5, 1));
        ASSERT_TRUE(mode.until([&] { return field().getComboStep() >= 1; }, 5000));
        ASSERT_TRUE(moving());
    }
    // The question stays open for a few frames, as a player reads it, and pauses the field meanwhile.
    void closeAndSayYes() {
        scene().onCloseRequest();
        mode.world.frames(5);
        EXPECT_TRUE(field().isPauseRequested());
        answer(scene(), ids::buttonYes);
    }
    // Frames until the leave is done (or a failed save is told), each followed by what a player may still
    // try: a click on the field, the buttons, another close. None of it may reach anything.
    bool waitWhilePlayerTries(const std::function<bool()>& done) {
        for (int frame = 0; frame < 2000; ++frame) {
            mode.world.frame();
            if (done() || scene().isDialogOpen(ids::textSaveFailed)) {
                return true;
            }
            mode.click(1, 2);
            for (const auto button : {game::PlayScene::onHintButton, game::PlayScene::onPauseButton,
                                      game::PlayScene::onMenuButton}) {
                button(&scene(), nullptr);
            }
            scene().onCloseRequest();
            if (!scene().getOpenDialogs().empty()) {
                ADD_FAILURE() << "a press or close opened " << scene().getOpenDialogs().front()->getName()
                              << " in frame " << frame;
                return false;
            }
        }
        return false;
    }
    // The won first level carried on: the save holds the second, nothing of it played yet.
    void expectSavedAtLevelTwo() const {
        ASSERT_TRUE(saved());
        const kernel::SmartPtr<kernel::ValueDocument> save = savedGame(folder());
        const kernel::NodeValue& properties = save->getNode("properties");
        EXPECT_EQ(properties.getValue("levelNr").asInt(), 2);
        EXPECT_EQ(properties.getValue("numPibbles").asInt(), 0);
        EXPECT_EQ(properties.getValue("numPibblesGoal").asInt(), mode.rowGoal(2, game::difficultyNormal));
        EXPECT_EQ(properties.getValue("score").asInt(), field().getScore());
    }
    bool moving() const { return field().state() > state::idle && field().state() < state::levelOver; }
    std::int32_t movesMade() {
        const game::FieldStatistics& made = field().statistics();
        return made.movesCorrect + made.movesWrongTotal;
    }

    modetest::ModeWorld mode{GetParam(), boxes + levelEnd + messageAndMenu};
};

TEST_P(LeaveDuringAMove, YesToTheCloseSavesWhatTheChainReachedThenQuits) {
    startChain();
    const std::int32_t scoreAtYes = field().getScore();
    closeAndSayYes();
    EXPECT_FALSE(scene().isDialogOpen(ids::textQuit));
    EXPECT_FALSE(quitPosted()) << "the move runs on first";
    EXPECT_FALSE(saved());

    bool quit = false;
    ASSERT_TRUE(waitWhilePlayerTries([&] { return quit = quitPosted(); }));
    EXPECT_TRUE(quit);
    EXPECT_EQ(field().state(), state::idle);
    EXPECT_EQ(movesMade(), 1);
    EXPECT_GT(field().getScore(), scoreAtYes);
    ASSERT_TRUE(saved());
    EXPECT_EQ(savedScore(), field().getScore());
    EXPECT_EQ(mode.world.player().gamemodeSaveFlag(), GetParam().mode);
}

TEST_P(LeaveDuringAMove, AFailedSaveAtTheChainsEndIsToldBeforeTheProgramQuits) {
    const testsupport::DebugOutput output;
    host::testing::failCall("writeFileAtomically:write", ENOSPC);
    startChain();
    closeAndSayYes();
    EXPECT_FALSE(quitPosted());

    ASSERT_TRUE(waitWhilePlayerTries(quitPosted));
    ASSERT_TRUE(scene().isDialogOpen(ids::textSaveFailed));
    EXPECT_FALSE(moving());
    EXPECT_FALSE(quitPosted());
    answer(scene(), ids::buttonOk, ids::textSaveFailed);
    EXPECT_TRUE(quitPosted());
    EXPECT_FALSE(saved());
    EXPECT_NE(output.take().find("No space left on device"), std::string::npos);
}

// The menu's save, made as it opened during the move, holds the move's start; the way back saves its end.
TEST_P(LeaveDuringAMove, TheMenusWayBackSavesTheEndOfTheMoveItOpenedIn) {
    startChain();
    game::PlayScene::onMenuButton(&scene(), nullptr);
    ASSERT_TRUE(saved());
    EXPECT_EQ(savedScore(), 0) << "the move's start";
    ui::Dialog* menu = scene().findDialog(ids::dialogMenu);
    ASSERT_NE(menu, nullptr);
    mode.world.frames(5);
    game::DialogMenu::onQuit(static_cast<ui::GameNode*>(menu), nullptr);
    mode.world.frames(5);
    EXPECT_TRUE(field().isPauseRequested());
    answer(scene(), ids::buttonYes);
    ui::Scene* selection = mode.manager().findScene(ids::sceneSelection);
    EXPECT_EQ(mode.manager().nextScene(), nullptr) << "the move runs on first";

    ASSERT_TRUE(waitWhilePlayerTries([&] { return mode.manager().nextScene() == selection; }));
    EXPECT_EQ(mode.manager().nextScene(), selection);
    EXPECT_EQ(movesMade(), 1);
    EXPECT_GT(field().getScore(), 0);
    EXPECT_EQ(savedScore(), field().getScore());
    EXPECT_FALSE(quitPosted());
}

// A field that stands still for good (frozen, its photo gone) does not hold the quit: after a while the
// position stored at the move's start is saved and the program quits.
TEST_P(LeaveDuringAMove, AMoveThatNeverEndsStillQuitsWithItsStart) {
    startChain();
    field().freeze();
    closeAndSayYes();
    mode.world.frames(10, 1000);
    EXPECT_FALSE(quitPosted());
    EXPECT_FALSE(saved());
    mode.world.frames(50, 1000);
    EXPECT_TRUE(quitPosted());
    ASSERT_TRUE(saved());
    EXPECT_EQ(savedScore(), 0);
}

// Yes during the move that wins the level lets the level end first: the won level is carried on and saved
// at the next level, as with its level-end dialog open.
TEST_P(LeaveDuringAMove, AYesDuringTheMoveThatWinsTheLevelCarriesTheLevelOn) {
    mode.match(mode.goal() - 1);
    startChain();
    closeAndSayYes();
    bool quit = false;
    ASSERT_TRUE(waitWhilePlayerTries([&] { return quit = quitPosted(); }));
    EXPECT_TRUE(quit);
    expectSavedAtLevelTwo();
}

// A leave in the first frame after the move that wins the level, before the field has counted its moves,
// waits for that count as after a move: the close's yes, the system's end and the menu opened in that frame
// (its save holds the level not yet over) all carry the level on.
TEST_P(LeaveDuringAMove, ALeaveAsTheWinningMoveEndsCarriesTheLevelOn) {
    enum class Way { yes, end, menu };
    for (const Way way : {Way::yes, Way::end, Way::menu}) {
        SCOPED_TRACE(way == Way::yes ? "yes" : way == Way::end ? "the system's end" : "the menu");
        if (way != Way::yes) {
            leave(mode);
            mode.enter();
        }
        std::filesystem::remove(std::string("media/savegames/Ann/") + folder() + "/save.xml");
        mode.match(mode.goal() - 1);
        ASSERT_TRUE(mode.click(5, 1));
        ASSERT_TRUE(mode.until([&] { return field().state() == state::idle; }, 5000));
        ASSERT_TRUE(field().isRescanPending());
        ui::Scene* selection = mode.manager().findScene(ids::sceneSelection);
        if (way == Way::yes) {
            scene().onCloseRequest();
            answer(scene(), ids::buttonYes);
        } else if (way == Way::end) {
            scene().onEndRequest();
        } else {
            game::PlayScene::onMenuButton(&scene(), nullptr);
            game::DialogMenu::onQuit(static_cast<ui::GameNode*>(scene().findDialog(ids::dialogMenu)),
                                     nullptr);
            answer(scene(), ids::buttonYes);
        }
        ASSERT_TRUE(waitWhilePlayerTries(
            [&] { return way == Way::menu ? mode.manager().nextScene() == selection : quitPosted(); }));
        EXPECT_EQ(movesMade(), 1);
        expectSavedAtLevelTwo();
    }
}

// The menu's way back during a move that leaves no move ends the game as lost: its score is entered, and
// the save the menu made as it opened is gone.
TEST_P(LeaveDuringAMove, TheMenusWayBackDuringAMoveThatLeavesNoMoveEndsTheGame) {
    startChain();
    game::PlayScene::onMenuButton(&scene(), nullptr);
    ASSERT_TRUE(saved());
    game::DialogMenu::onQuit(static_cast<ui::GameNode*>(scene().findDialog(ids::dialogMenu)), nullptr);
    answer(scene(), ids::buttonYes);
    ASSERT_TRUE(mode.until([&] { return !moving() && !field().isRescanPending(); }, 5000));
    game::ScanCounts counts = field().scanCounts();
    counts.possibleMoves = 0;
    field().setScanCounts(counts);
    ui::Scene* selection = mode.manager().findScene(ids::sceneSelection);
    ASSERT_TRUE(mode.until([&] { return mode.manager().nextScene() == selection; }, 5000));
    EXPECT_TRUE(scene().isGameOver());
    EXPECT_FALSE(saved());
    ASSERT_GE(mode.scores().getLastScore(), 0);
    EXPECT_EQ(mode.scores().getEntry(mode.scores().getLastScore())->getScore(), field().getScore());
}

// The system's request to end (a logout, a shutdown) asks nothing, also over the question already asked:
// the chain runs out, its end is saved and the program quits; a save that fails then is told in the log,
// with no box that waits for a player who may not be there.
TEST_P(LeaveDuringAMove, TheSystemsRequestToEndKeepsTheChainsEndWithoutAQuestion) {
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "a full disk" : "saved");
        const testsupport::DebugOutput output;
        if (full) {
            host::testing::failCall("writeFileAtomically:write", ENOSPC);
            mode.writeModeLevel(modetest::levelText(chainField, chainColours));
            leave(mode);
            mode.enter();
        }
        startChain();
        scene().onCloseRequest();
        scene().onEndRequest();
        EXPECT_FALSE(scene().isDialogOpen(ids::textQuit));
        EXPECT_FALSE(quitPosted()) << "the move runs on first";
        bool quit = false;
        ASSERT_TRUE(waitWhilePlayerTries([&] { return quit = quitPosted(); }));
        EXPECT_TRUE(quit);
        EXPECT_EQ(movesMade(), 1);
        EXPECT_EQ(saved(), !full);
        if (full) {
            EXPECT_FALSE(scene().isDialogOpen(ids::textSaveFailed));
            EXPECT_NE(output.take().find("No space left on device"), std::string::npos);
        } else {
            EXPECT_EQ(savedScore(), field().getScore());
        }
    }
}

// A code typed while pibbles fall takes effect when the move has ended (the first code typed decides): the
// next level goes on with a whole field that has a move. The system's end, as soon as that level shows,
// keeps it so, and the game continued from it is whole too.
using EndDuringAMove = LeaveDuringAMove;

TEST_P(EndDuringAMove, AWinCodeTypedDuringTheRefillWinsOnceTheMoveHasEnded) {
    ASSERT_TRUE(mode.click(5, 1));
    ASSERT_TRUE(mode.until([&] { return field().state() == state::refill; }, 5000));
    scene().finishLevelNow();
    scene().failLevelNow();
    EXPECT_FALSE(scene().isLevelEndSent()) << "the move runs on";
    ASSERT_TRUE(mode.until([&] { return scene().isDialogOpen(ids::dialogLevelEnd); }, 5000));
    EXPECT_EQ(game::levelEndKind(), game::levelEndFinished);
    EXPECT_EQ(movesMade(), 1);
    scene().removeDialog(ids::dialogLevelEnd);
    mode.nextLevel();
    const std::int32_t score = field().getScore();
    for (const bool continued : {false, true}) {
        SCOPED_TRACE(continued ? "continued" : "the next level");
        EXPECT_EQ(mode.levelNr(), 2);
        for (std::int32_t row = 1; row <= field().rowCount(); ++row) {
            for (std::int32_t column = game::cell::queueLeft; column <= field().columnCount(); ++column) {
                EXPECT_NE(field().pibbleAt(row, column), nullptr) << row << ", " << column;
            }
        }
        EXPECT_FALSE(mode.moves().empty());
        if (continued) {
            EXPECT_EQ(field().getScore(), score);
            break;
        }
        scene().onEndRequest();
        ASSERT_TRUE(mode.until([] { return quitPosted(); }, 5000));
        leave(mode);
        mode.enter(game::startKindContinue, game::difficultyFromSave);
    }
}

std::string modeName(const ::testing::TestParamInfo<playtest::SceneKind>& info) {
    return info.param.mode == game::gameModeAction ? "Action" : "Relax";
}
INSTANTIATE_TEST_SUITE_P(Modes, LeaveDuringAMove,
                         ::testing::Values(playtest::actionScene, playtest::relaxScene), modeName);
INSTANTIATE_TEST_SUITE_P(Modes, EndDuringAMove,
                         ::testing::Values(playtest::actionScene, playtest::relaxScene), modeName);

// The chance a RELAX move gave is saved by a quit said yes to in the frame the move ends, before the mode's
// own frame has moved it.
TEST(RelaxQuit, AQuitAsTheMoveEndsSavesTheChanceThatMoveGave) {
    quitPosted();
    modetest::ModeWorld mode{playtest::relaxScene, boxes};
    // The last row's queue pibble makes a column of three in the first column, and nothing else.
    mode.writeModeLevel(modetest::levelText({"qxxxq", "qxxxq", "qxxxq"}, {"41230", "41320", "12310"}));
    mode.enter();
    game::PlaySceneRelax& relax = *mode.relax();
    const std::int32_t before = relax.getChanceValueCurrent();
    ASSERT_TRUE(mode.click(3, 1));
    ASSERT_TRUE(mode.until([&] { return mode.world.field()->state() == state::idle; }, 5000));
    ASSERT_TRUE(relax.isMovePending());
    ASSERT_EQ(relax.getRemovedByMove(), 3);
    relax.onCloseRequest();
    answer(relax, ids::buttonYes);
    ASSERT_TRUE(mode.until([] { return quitPosted(); }, 5000));
    const std::int32_t given = before + modetest::relaxRow(1, game::difficultyNormal).chanceDelta3;
    EXPECT_EQ(relax.getChanceValueCurrent(), given);
    EXPECT_EQ(savedGame("relax")->getNode("properties").getValue("chanceValueCurrent").asInt(), given);
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
    // Yes to the close: the quit waits for the level the game goes on to, and its save holds that place with
    // the score of 4321.
    void quitWaitingForTheLevelThenSavedAt(std::int32_t chapter, std::int32_t level) {
        world.scene().onCloseRequest();
        answer(world.scene(), ids::buttonYes);
        EXPECT_FALSE(quitPosted());
        ASSERT_TRUE(world.until([] { return quitPosted(); }, 5000));
        ASSERT_TRUE(saved());
        const kernel::SmartPtr<kernel::ValueDocument> save = savedGame("vib");
        EXPECT_EQ(save->getNode("properties").getValue("chapterNr").asInt(), chapter);
        EXPECT_EQ(save->getNode("properties").getValue("levelNr").asInt(), level);
        EXPECT_EQ(save->getNode("properties").getValue("score").asInt(), 4321);
    }

    vibtest::VibWorld world{boxes + messageAndMenu +
                            R"(<DialogProgress id="DIALOG_PROGRESS" width="640" height="480" />)"};
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

// The chapter chosen on an open map is saved at the quit's yes, where a failed save can still be told, and is
// not committed again at the exit.
TEST_F(VibQuit, AChapterChosenOnTheMapIsSavedBeforeTheProgramQuits) {
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "a full disk" : "saved");
        const testsupport::DebugOutput output;
        if (full) {
            host::testing::failCall("writeFileAtomically:write", ENOSPC);
        }
        world.field().setScore(555);
        game::setProgressMapChapter(3, true);
        game::DialogPibble::openDialog(ids::dialogProgress, &world.scene(), true);
        world.scene().onCloseRequest();
        answer(world.scene(), ids::buttonYes);
        EXPECT_EQ(game::pendingChapter(), 0);
        EXPECT_EQ(saved(), !full);
        if (full) {
            EXPECT_FALSE(quitPosted());
            answer(world.scene(), ids::buttonOk, ids::textSaveFailed);
        } else {
            EXPECT_EQ(savedGame("vib")->getNode("properties").getValue("chapterNr").asInt(), 3);
        }
        EXPECT_TRUE(quitPosted());
        host::testing::clearFailures();
        game::DialogProgress::startPendingChapter();
        EXPECT_EQ(saved(), !full) << "nothing is left for the exit to commit";
        world.scene().removeAllDialogs();
        std::filesystem::remove("media/savegames/Ann/vib/save.xml");
    }
}

// Yes in the moment between a level's end and its dialog waits for the dialog and then carries the level on
// as when the dialog stood open.
TEST_F(VibQuit, AYesBeforeTheLevelEndIsToldWaitsForItAndCarriesTheLevelOn) {
    world.scene().setChapterNr(3);
    world.scene().setLevelNr(7);
    world.field().setScore(4321);
    game::ScanCounts counts = world.field().scanCounts();
    counts.vib = 0;
    world.field().setScanCounts(counts);
    ASSERT_TRUE(world.until([&] { return world.field().state() == state::levelOver; }));
    ASSERT_FALSE(world.isOpen(ids::dialogLevelEnd));
    quitWaitingForTheLevelThenSavedAt(4, 1);
}

// Yes while the fade to the next level runs, its level-end dialog gone, waits for that level and saves it.
TEST_F(VibQuit, AYesDuringTheFadeToTheNextLevelSavesThatLevel) {
    world.scene().setChapterNr(3);
    world.scene().setLevelNr(4);
    world.field().setScore(4321);
    world.scene().finishLevelNow();
    ASSERT_TRUE(world.isOpen(ids::dialogLevelEnd));
    world.scene().removeDialog(ids::dialogLevelEnd);
    world.scene().advanceWithFade();
    quitWaitingForTheLevelThenSavedAt(3, 5);
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
