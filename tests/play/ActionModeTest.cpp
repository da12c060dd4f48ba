// The ACTION mode on a real field: the penalty timer of every level, the unhappy
// pibble of the stubborn timer from level 2 on and what becomes of it (stubborn, calmed by a match, or
// left where it no longer stands), the stubborn pibble's hint, and a new game's tuning row and the mode's
// values of a saved game through real files.
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Label.h"
#include "game/field/Pibble.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogHint.h"
#include "game/play/PlaySceneAction.h"

#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using modetest::actionRow;
using modetest::ModeWorld;
namespace ids = game::ids;
namespace kind = game::eventType;
namespace state = game::fieldState;

constexpr int unhappyWarningMs = 4000;

int stubbornOnField(const game::PlayField& field) {
    int count = 0;
    for (std::int32_t row = 1; row <= field.rowCount(); ++row) {
        for (std::int32_t column = 1; column <= field.columnCount(); ++column) {
            const game::Pibble* pibble = field.pibbleAt(row, column);
            count += pibble != nullptr && pibble->isStubborn() ? 1 : 0;
        }
    }
    return count;
}

// Level 1 has no unhappy pibble, however long it runs; its penalty timer runs from the first frame of play.
TEST(ActionMode, ThePenaltyTakesAPibbleBackEachPeriodButNeverBelowZero) {
    ModeWorld mode(playtest::actionScene);
    mode.world.player().setSeenHowToPlay(game::gameModeAction, true);
    game::setStartKind(game::startKindNew);
    mode.world.enter();
    const game::PlaySceneAction& scene = *mode.action();
    const std::int32_t period = actionRow(1, game::difficultyNormal).penaltyTimer;
    while (mode.world.field()->state() != state::idle) {
        ASSERT_EQ(scene.getPenaltyTimer(), period) << "still before play";
        mode.world.frame();
    }
    mode.world.frame();
    EXPECT_EQ(scene.getPenaltyTimer(), period - 16) << "the first frame of play";

    fieldtest::RecordingListener heard;
    mode.world.field()->addListener(&heard);
    mode.match(3);
    EXPECT_EQ(scene.getPenaltyTimer(), period) << "a match starts the period again";
    mode.world.frames(period / 10 - 1, 10);
    EXPECT_EQ(scene.getNumPibbles(), 3);
    mode.world.frame(10);
    EXPECT_EQ(scene.getNumPibbles(), 2);
    EXPECT_EQ(scene.getPenaltyTimer(), period);
    mode.world.frames(6 * period / 10, 10);
    EXPECT_EQ(scene.getNumPibbles(), 0);

    EXPECT_GT(6 * period + period, scene.getStubbornTimerStart()) << "longer than the stubborn period";
    EXPECT_EQ(scene.getUnhappyPibble(), nullptr);
    EXPECT_TRUE(heard.ofType(kind::unhappyAppeared).empty());
    EXPECT_EQ(stubbornOnField(*mode.world.field()), 0);
    mode.world.field()->removeListener(&heard);
}

// From level 2 the stubborn timer makes a pibble unhappy once less than the warning's length is left, and
// that pibble stubborn when the timer runs out, unless a match calms it first; one that has left its cell
// stays as it is and no other is chosen until a match.
TEST(ActionMode, FromLevelTwoTheUnhappyPibbleTurnsStubbornUnlessAMatchComesFirst) {
    enum Then { Waits, Matches, Leaves };
    for (const Then then : {Waits, Matches, Leaves}) {
        SCOPED_TRACE(then);
        ModeWorld mode(playtest::actionScene);
        mode.enter();
        game::PlaySceneAction& scene = *mode.action();
        scene.nextLevel();
        ASSERT_TRUE(mode.settle());
        ASSERT_EQ(scene.getLevelNr(), 2);
        const game::ActionModeParams row = actionRow(2, game::difficultyNormal);
        game::PlayField& field = *mode.world.field();
        fieldtest::RecordingListener heard;
        field.addListener(&heard);

        ASSERT_TRUE(mode.until([&] { return scene.getUnhappyPibble() != nullptr; }, 3000, 10));
        EXPECT_LT(scene.getStubbornTimer(), unhappyWarningMs);
        EXPECT_GE(scene.getStubbornTimer(), unhappyWarningMs - 10);
        const std::int32_t r = scene.getUnhappyRow();
        const std::int32_t c = scene.getUnhappyColumn();
        const kernel::SmartPtr<game::Pibble> unhappy = scene.getUnhappyPibble();
        EXPECT_EQ(field.pibbleAt(r, c), unhappy.get());
        ASSERT_EQ(heard.ofType(kind::unhappyAppeared).size(), 1u);
        EXPECT_EQ(heard.ofType(kind::unhappyAppeared)[0].row(), r);
        EXPECT_EQ(heard.ofType(kind::unhappyAppeared)[0].column(), c);
        // No stubborn pibble stands, so the chance is below every roll: a pibble that cannot be moved.
        EXPECT_EQ(field.moveMark(r, c), 0);

        if (then == Waits) {
            const std::int32_t left = scene.getStubbornTimer();
            mode.world.frames((left - 1) / 10, 10);
            EXPECT_FALSE(unhappy->isStubborn());
            mode.world.frame(10);
            EXPECT_TRUE(unhappy->isStubborn());
            EXPECT_EQ(scene.getUnhappyPibble(), nullptr);
            EXPECT_EQ(scene.getStubbornTimer(), row.stubbornTimer);
            EXPECT_EQ(field.stubbornCount(), 1) << "scanned at once";
            EXPECT_TRUE(mode.until([&] { return !heard.ofType(kind::stubbornAppeared).empty(); }, 2000, 10));
        } else if (then == Matches) {
            mode.world.frames(10, 10);
            mode.match(3);
            EXPECT_EQ(scene.getUnhappyPibble(), nullptr);
            EXPECT_EQ(scene.getStubbornTimer(), row.stubbornTimer);
            EXPECT_EQ(scene.getPenaltyTimer(), row.penaltyTimer);
            mode.world.frames(unhappyWarningMs / 10, 10);
            EXPECT_FALSE(unhappy->isStubborn());
            EXPECT_NE(unhappy->getStyle(), game::headStyle::unhappy) << "calmed";
        } else {
            const std::int32_t other = c == 1 ? 2 : c - 1;
            const kernel::SmartPtr<game::Pibble> neighbour = field.pibbleAt(r, other);
            field.setPibble(r, c, neighbour.get());
            field.setPibble(r, other, unhappy.get());
            mode.world.frames((unhappyWarningMs + 1000) / 10, 10);
            EXPECT_LT(scene.getStubbornTimer(), -900) << "runs on below 1";
            EXPECT_EQ(stubbornOnField(field), 0);
            EXPECT_EQ(scene.getUnhappyPibble(), unhappy.get());
            EXPECT_EQ(heard.ofType(kind::unhappyAppeared).size(), 1u) << "no other is chosen";
            mode.match(3);
            EXPECT_EQ(scene.getUnhappyPibble(), nullptr);
            EXPECT_TRUE(mode.until([&] { return scene.getUnhappyPibble() != nullptr; }, 2000, 10));
        }
        field.removeListener(&heard);
    }
}

TEST(ActionMode, TheFirstStubbornPibbleIsExplainedOncePerPlayer) {
    ModeWorld mode(playtest::actionScene, playtest::hintDeclaration);
    mode.enter();
    game::PlayField& field = *mode.world.field();
    game::Pibble* pibble = field.pibbleAt(2, 3);
    field.broadcast(game::GameEvent::about(kind::stubbornAppeared, pibble, 2, 3));
    ui::Dialog* shown = mode.world.scene->findDialog(ids::dialogHint);
    ASSERT_TRUE(mode.world.scene->isDialogOpen(ids::dialogHint));
    EXPECT_EQ(static_cast<game::DialogHint*>(shown)->getHintKey(), ids::hintAppearStubbornAction);
    EXPECT_EQ(static_cast<game::DialogHint*>(shown)->getTarget(), pibble);
    EXPECT_TRUE(mode.world.player().hasSeen(game::PibblePlayer::Sighting::Stubborn));
    mode.world.scene->removeDialog(ids::dialogHint);
    field.broadcast(game::GameEvent::about(kind::stubbornAppeared, pibble, 2, 3));
    EXPECT_FALSE(mode.world.scene->isDialogOpen(ids::dialogHint));
}

// A new game on hard reads the first row of hard; at level 2, with that level's colours in the level, every
// value comes back from the file, without an unhappy pibble, and the save is gone once the game goes on.
TEST(ActionMode, TheModesValuesGoIntoTheSavedGameAndComeBack) {
    ModeWorld mode(playtest::actionScene);
    mode.enter(game::startKindNew, game::difficultyHard);
    game::PlaySceneAction& scene = *mode.action();
    const game::ActionModeParams first = actionRow(1, game::difficultyHard);
    EXPECT_EQ(scene.getNumPibblesGoal(), first.numPibbles);
    EXPECT_EQ(scene.getStubbornTimerStart(), first.stubbornTimer);
    EXPECT_EQ(scene.getPenaltyTimerStart(), first.penaltyTimer);
    EXPECT_EQ(scene.getChanceMultiplier(), first.chanceMultiplier);
    EXPECT_EQ(mode.world.field()->numColors(), first.numColors);
    scene.nextLevel();
    ASSERT_TRUE(mode.settle());
    mode.match(7);
    ASSERT_TRUE(mode.until([&] { return scene.getUnhappyPibble() != nullptr; }, 3000, 10));
    mode.world.field()->setScore(4321);
    scene.saveGame();

    const std::string path = game::SavegamePath("Ann", game::gameModeAction);
    const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(path);
    saved->load();
    const kernel::NodeValue& properties = saved->getNode("properties");
    const std::pair<const char*, std::int32_t> expected[] = {
        {"score", 4321},
        {"difficulty", game::difficultyHard},
        {"levelNr", 2},
        {"numPibbles", scene.getNumPibbles()},
        {"numPibblesGoal", actionRow(2, game::difficultyHard).numPibbles},
        {"stubbornTimer", scene.getStubbornTimer()},
        {"stubbornTimerStart", actionRow(2, game::difficultyHard).stubbornTimer},
        {"penaltyTimer", scene.getPenaltyTimer()},
        {"penaltyTimerStart", actionRow(2, game::difficultyHard).penaltyTimer},
        {"chanceMinus", actionRow(2, game::difficultyHard).chanceMinus},
        {"chanceMultiplier", actionRow(2, game::difficultyHard).chanceMultiplier},
        {"numcolors", actionRow(2, game::difficultyHard).numColors}};
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(properties.getValue(key).asInt(), value) << key;
    }

    const std::int32_t stubbornLeft = scene.getStubbornTimer();
    const std::int32_t penaltyLeft = scene.getPenaltyTimer();
    const std::int32_t counted = scene.getNumPibbles();
    mode.manager().changeScene(ids::sceneSelection);
    mode.world.frames(3);
    ASSERT_EQ(game::PlayField::instance(), nullptr);
    EXPECT_EQ(scene.getLevelNr(), 1) << "left and reset";

    // Read back as the scene is entered, before a frame of play.
    game::setStartKind(game::startKindContinue);
    game::setDifficulty(game::difficultyFromSave);
    mode.world.enter();
    EXPECT_EQ(game::currentDifficulty(), game::difficultyHard);
    EXPECT_EQ(scene.getLevelNr(), 2);
    EXPECT_EQ(scene.getNumPibbles(), counted);
    EXPECT_EQ(scene.getStubbornTimer(), stubbornLeft);
    EXPECT_EQ(scene.getPenaltyTimer(), penaltyLeft);
    EXPECT_EQ(scene.getUnhappyPibble(), nullptr);
    EXPECT_EQ(scene.getNumPibblesGoal(), actionRow(2, game::difficultyHard).numPibbles);
    EXPECT_EQ(scene.getChanceMinus(), actionRow(2, game::difficultyHard).chanceMinus);
    EXPECT_EQ(scene.getPenaltyTimerStart(), actionRow(2, game::difficultyHard).penaltyTimer);
    EXPECT_EQ(mode.world.field()->numColors(), actionRow(2, game::difficultyHard).numColors);
    EXPECT_EQ(mode.world.field()->getScore(), 4321);
    EXPECT_TRUE(game::SavegameExists("Ann", game::gameModeAction)) << "kept until a newer save";
    ASSERT_TRUE(mode.settle());
    EXPECT_EQ(scene.getLevelLabel()->getText(), u"2");
}

} // namespace
