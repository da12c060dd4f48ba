// The play scene run headless: entering it with and without the rules page, the start of a level, the
// end of a level told once after its rest, and leaving it.
#include "game/play/PlayScene.h"

#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "game/field/PlayField.h"
#include "game/frontend/DialogHowToPlay.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

namespace {

using playtest::PlayWorld;
namespace state = game::fieldState;

TEST(PlayScene, EnteringStartsTheLevelWithReadyThenGo) {
    PlayWorld world;
    world.player().setSeenHowToPlay(game::gameModeAction, true);
    world.enter();
    game::PlayField* field = world.field();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(world.scene->getRootNode()->getFirstChild(), field) << "under everything else";
    EXPECT_EQ(world.scene->getGameMode(), game::gameModeAction);
    EXPECT_EQ(world.scene->playingMode(), game::gameModeAction);
    EXPECT_EQ(field->state(), state::ready);
    // READY pops in, holds and shrinks away in 1250 ms; then play begins.
    world.frames(70);
    EXPECT_EQ(field->state(), state::ready);
    world.frames(20);
    EXPECT_NE(field->state(), state::ready);
    EXPECT_FALSE(field->areAnnouncementsOn());
    world.frames(60);
    EXPECT_TRUE(field->areAnnouncementsOn()) << "after the GO sign";
}

TEST(PlayScene, TheRulesPageHoldsTheFirstGameUntilPlay) {
    PlayWorld world(playtest::rulesDeclaration);
    world.enter();
    game::PlayField* field = world.field();
    EXPECT_EQ(field->state(), state::loaded);
    EXPECT_TRUE(world.scene->isDialogOpen(game::ids::dialogHowToPlay));
    EXPECT_TRUE(world.player().hasSeenHowToPlay(game::gameModeAction));
    world.frames(20);
    EXPECT_EQ(field->state(), state::loaded) << "held";
    ui::Dialog* rules = world.scene->findDialog(game::ids::dialogHowToPlay);
    game::DialogHowToPlay::onPlay(rules, nullptr);
    EXPECT_EQ(field->state(), state::ready);
    EXPECT_FALSE(world.scene->isDialogOpen(game::ids::dialogHowToPlay));
    EXPECT_TRUE(world.played().contains(game::ids::soundClickPlay));
}

TEST(PlayScene, WithoutTheRulesPageTheFirstGameStartsAtOnce) {
    PlayWorld world;
    world.enter();
    EXPECT_EQ(world.field()->state(), state::ready);
}

// The plain scene counts a field at rest as won: the end comes once, after more than the rest time (1000 ms
// of 16 ms frames: in the 63rd frame of the level's end, at 1008 ms).
TEST(PlayScene, ALevelEndIsToldOnceAfterItsRest) {
    PlayWorld world;
    world.player().setSeenHowToPlay(game::gameModeAction, true);
    world.enter();
    int framesOver = 0;
    for (int i = 0; i < 150 && !world.scene->isLevelEndSent(); ++i) {
        world.frame();
        framesOver += world.field()->state() == state::levelOver ? 1 : 0;
    }
    EXPECT_EQ(framesOver, 63);
    ASSERT_EQ(world.field()->state(), state::levelOver);
    EXPECT_TRUE(world.scene->isLevelEndSent());
    EXPECT_FALSE(world.scene->isGameOver());
    const auto& sessions = platform::DataGathering::instance()->getSessions();
    ASSERT_EQ(sessions.size(), 1u);
    ASSERT_EQ(sessions.back().getRecords().size(), 1u) << "one statistics record";
    world.frames(100);
    EXPECT_EQ(sessions.back().getRecords().size(), 1u);
}

TEST(PlayScene, LeavingTakesTheFieldAwayAndResets) {
    PlayWorld world;
    world.enter();
    world.frames(10);
    world.scene->onLeave();
    EXPECT_EQ(world.field(), nullptr);
    EXPECT_EQ(world.scene->getGameMode(), game::gameModeNone);
    EXPECT_EQ(world.scene->getParticleLayer(), nullptr);
    EXPECT_EQ(game::startKind(), game::startKindNone);
    EXPECT_TRUE(platform::DataGathering::instance()->isSessionClosed());
}

} // namespace
