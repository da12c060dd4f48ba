// The game's own bot on the game's own ACTION and RELAX levels, with a window on SDL's dummy driver: its
// clicks are window messages that travel through the message queue, the window procedure and the scene's
// input dispatcher to the field, as a mouse's do. Every move it makes is one the rules call possible, the
// field takes each one, and a won level goes on to the next through the level-end dialog's continue button;
// the hint's OK is pressed, and any other dialog (the rules page, a lost game) holds the bot until it goes.
#include "game/play/PlayBot.h"

#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/Button.h"
#include "game/field/GameEventListener.h"
#include "game/field/MatchScan.h"
#include "game/frontend/DialogPibble.h"
#include "host/Window.h"

#include "DebugOutput.h"
#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using modetest::ModeWorld;
namespace ids = game::ids;

constexpr std::uint32_t frameMs = 50;
constexpr unsigned botSeed = 20240611;
// Far more than a level of the game's first tuning row takes the bot.
constexpr int frameLimit = 4000;

// The level-end dialog with the button a won level goes on with; buttons without pictures are a quarter of
// their declared height.
const std::string declarations = std::string(playtest::hintDeclaration) + playtest::rulesDeclaration +
                                 R"(<DialogPibble id="DIALOG_LEVELEND" width="640" height="480">
                                      <Vector id="components">
                                        <Button name="BUTTON_CONTINUE" x="260" y="393" width="120" height="160" />
                                      </Vector></DialogPibble>)";

// The game window, made before the scenes and gone after them, so the scene's dispatcher hears it.
struct Window {
    Window() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        application = platform::Application::create("bot test", 640, 480, false, 0, 101);
    }
    ~Window() {
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }
    platform::Application* application = nullptr;
};

class PlayBotTest : public ::testing::TestWithParam<playtest::SceneKind> {
protected:
    void SetUp() override {
        ASSERT_NE(window.application, nullptr);
        ASSERT_NE(window.application->getWindowHandle(), nullptr);
        game::Random::instance()->setSeed(botSeed);
        std::srand(botSeed);
        prepareLevelEnd();
        mode.enter();
    }

    // A fresh level-end dialog with the continue button's answer bound, made before the level ends. A closed
    // dialog's buttons leave their group (the game's own dialog binds them again when shown), so each level
    // gets its own.
    void prepareLevelEnd() {
        ui::Dialog* levelEnd = mode.world.scene->createDialog(ids::dialogLevelEnd, true);
        ASSERT_NE(levelEnd, nullptr);
        const auto goOn = [](void* test, ui::GameNode*) {
            auto& self = *static_cast<PlayBotTest*>(test);
            ++self.continues;
            self.removedAtContinue = self.mode.numPibbles();
            self.mode.world.scene->removeDialog(ids::dialogLevelEnd);
            self.mode.nextLevel();
            self.prepareLevelEnd();
        };
        ASSERT_NE(levelEnd->bindCallback(ids::buttonContinue, this, goOn, levelEnd->listenerList()), nullptr);
    }

    // One pass of the game's loop: the window's messages, then the frame, with the bot last.
    void frame() {
        host::MSG message{};
        while (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
            host::TranslateMessage(&message);
            host::DispatchMessage(&message);
        }
        mode.world.frame(frameMs);
        bot->onFrame(frameMs);
    }
    // Frames until the bot has made the number of moves more; each is checked against the rules when it is
    // made and against the field one frame later. False when the limit comes first.
    bool playMoves(int count) {
        const int target = bot->getMoveCount() + count;
        for (int i = 0; i < frameLimit && bot->getMoveCount() < target; ++i) {
            if (!checkedFrame()) {
                return false;
            }
        }
        return bot->getMoveCount() >= target;
    }
    bool checkedFrame() {
        const int before = bot->getMoveCount();
        frame();
        if (bot->getMoveCount() == before) {
            return true;
        }
        const game::PlayField& field = *mode.world.field();
        const game::Cell move = bot->getLastMove();
        const game::BoardScan scan = game::scanBoard(field.board());
        EXPECT_EQ(scan.moveTable.get(move.row, move.column), 1) << move.row << ", " << move.column;
        EXPECT_NE(field.moveMark(move.row, move.column), 0);
        EXPECT_EQ(field.state(), game::fieldState::idle);
        // The click is still in the message queue: the field takes it in the next frame.
        frame();
        EXPECT_TRUE(field.hasClick());
        EXPECT_EQ(field.getClickedRow(), move.row);
        EXPECT_EQ(field.getClickedColumn(), move.column);
        EXPECT_NE(field.state(), game::fieldState::idle) << "the click made a move";
        ++checkedMoves;
        return !::testing::Test::HasFailure();
    }
    // Frames, the bot's included, until the field waits for a click with no dialog over it.
    bool rest() {
        for (int i = 0; i < frameLimit; ++i) {
            frame();
            if (mode.atRest() && !mode.world.scene->hasOpenDialog()) {
                return true;
            }
        }
        return false;
    }
    // Frames for the time given; false when the bot moved or pressed meanwhile.
    bool idleFor(std::uint32_t ms) {
        const int moves = bot->getMoveCount();
        const int presses = bot->getButtonPresses();
        for (std::uint32_t waited = 0; waited < ms; waited += frameMs) {
            frame();
        }
        return bot->getMoveCount() == moves && bot->getButtonPresses() == presses;
    }

    Window window;
    ModeWorld mode{GetParam(), declarations, modetest::Data::game};
    kernel::SmartPtr<game::PlayBot> bot{new game::PlayBot(botSeed)};
    int continues = 0;
    std::int32_t removedAtContinue = -1;
    int checkedMoves = 0;
};

TEST_P(PlayBotTest, PlaysLegalMovesThroughTheWindowUntilTheLevelIsWonThenGoesOn) {
    const std::int32_t firstGoal = mode.goal();
    for (int i = 0; i < frameLimit && continues == 0; ++i) {
        ASSERT_TRUE(checkedFrame());
        ASSERT_FALSE(mode.world.scene->isGameOver());
    }
    ASSERT_EQ(continues, 1) << "the won level's continue button was pressed through the window";
    EXPECT_GE(removedAtContinue, firstGoal);
    EXPECT_GE(checkedMoves, 3);
    EXPECT_EQ(mode.levelNr(), 2);
    EXPECT_FALSE(mode.world.scene->isDialogOpen(ids::dialogLevelEnd));

    // The next level is played on by the bot.
    ASSERT_TRUE(rest());
    ASSERT_TRUE(playMoves(3));
    EXPECT_EQ(mode.levelNr(), continues + 1);
}

TEST_P(PlayBotTest, PressesTheHintsOkAndWaitsOutEveryOtherDialog) {
    ASSERT_TRUE(playMoves(1));
    ASSERT_TRUE(rest());

    // The hint: its OK is pressed once it can be, and play goes on.
    game::PlayScene& scene = *mode.world.scene;
    scene.removeDialog(ids::dialogHint);
    ASSERT_NE(game::DialogPibble::openHint(ids::hintTimeBarAction, nullptr, &scene), nullptr);
    const int presses = bot->getButtonPresses();
    for (int i = 0; i < 200 && scene.isDialogOpen(ids::dialogHint); ++i) {
        frame();
    }
    EXPECT_FALSE(scene.isDialogOpen(ids::dialogHint));
    EXPECT_EQ(bot->getButtonPresses(), presses + 1);
    ASSERT_TRUE(playMoves(1));
    ASSERT_TRUE(rest());

    // A lost game's level end, and the rules page: the bot neither presses nor plays under them.
    game::DialogPibble::openLevelEnd(game::levelEndFailed, &scene);
    EXPECT_TRUE(idleFor(3000));
    EXPECT_EQ(continues, 0);
    scene.removeDialog(ids::dialogLevelEnd);
    prepareLevelEnd();
    game::DialogPibble::openDialog(ids::dialogHowToPlay, &scene, true);
    EXPECT_TRUE(idleFor(3000));
    game::DialogPibble::closeDialog(ids::dialogHowToPlay);
    ASSERT_TRUE(playMoves(2));
}

// Counts the removal steps of the moves as the field tells them.
struct StepCounter : game::GameEventListener {
    void onMatch(const game::GameEvent&) override { ++steps; }
    int steps = 0;
};

// Each move's chain is told once the field takes clicks again: its removal steps, as many as the field
// made, and the time from the click, at least the move's own and growing with the steps.
TEST_P(PlayBotTest, TellsTheChainOfEachMove) {
    StepCounter counter;
    game::PlayField& field = *mode.world.field();
    field.addListener(&counter);
    const testsupport::DebugOutput debug;
    ASSERT_TRUE(playMoves(4));
    ASSERT_TRUE(rest());
    field.removeListener(&counter);
    std::istringstream output(testsupport::DebugOutput::take());
    int chains = 0;
    int steps = 0;
    for (std::string line; std::getline(output, line);) {
        int count = 0;
        unsigned ms = 0;
        if (std::sscanf(line.c_str(), "PlayBot: chain: %d steps in %u ms", &count, &ms) == 2) {
            ++chains;
            steps += count;
            EXPECT_GE(count, 1) << line;
            EXPECT_GE(ms, frameMs * (2 + static_cast<unsigned>(count))) << line;
        }
    }
    EXPECT_EQ(chains, 4);
    EXPECT_EQ(steps, counter.steps);
}

INSTANTIATE_TEST_SUITE_P(Modes, PlayBotTest, ::testing::Values(playtest::actionScene, playtest::relaxScene),
                         [](const ::testing::TestParamInfo<playtest::SceneKind>& info) {
                             return std::string(info.param.mode == game::gameModeAction ? "Action" : "Relax");
                         });

// Asked for through the environment with a whole number, the bot joins the frame timer as its last listener.
TEST(PlayBotStart, OnlyAWholeNumberAsksForTheBot) {
    platform::FrameTimer* timer = platform::FrameTimer::create();
    const std::size_t listeners = timer->listenerCount();
    unsetenv(game::PlayBot::seedVariable);
    EXPECT_EQ(game::PlayBot::startWhenAsked(), nullptr);
    for (const char* wrong : {"", "seven", "12x", "-3"}) {
        setenv(game::PlayBot::seedVariable, wrong, 1);
        EXPECT_EQ(game::PlayBot::startWhenAsked(), nullptr) << wrong;
    }
    EXPECT_EQ(timer->listenerCount(), listeners);
    setenv(game::PlayBot::seedVariable, "4711", 1);
    EXPECT_NE(game::PlayBot::startWhenAsked(), nullptr);
    EXPECT_EQ(timer->listenerCount(), listeners + 1);
    unsetenv(game::PlayBot::seedVariable);
    platform::FrameTimer::destroy();
}

} // namespace
