// The RELAX mode on a real field: the chance moved by each move's removals once the move is over (its floor,
// the reset by a big move or a stubborn pibble, a move without removal), the stubborn pibble's two hints,
// and a new game's chance and the mode's values of a saved game through real files.
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogHint.h"
#include "game/play/PlaySceneRelax.h"

#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

using modetest::ModeWorld;
using modetest::relaxRow;
namespace ids = game::ids;
namespace kind = game::eventType;
namespace word = game::matchWord;
namespace state = game::fieldState;

// A move as the field tells it: the click, then one match per combo step. The chance moves in the next
// frame, the field being idle again.
void move(const ModeWorld& mode, const std::vector<std::int32_t>& steps) {
    mode.world.field()->broadcast(game::GameEvent::about(kind::pibbleClicked, nullptr, 1, 1));
    for (std::size_t step = 0; step < steps.size(); ++step) {
        mode.match(steps[step], static_cast<std::int32_t>(step));
    }
}

// Level 1: the chance starts at 0, a move of 3 adds 3, of 4 adds 1, of 5 takes 2, of 6 takes 4; combo steps
// count together; 7 or more go back to the start; 0 is the floor. Each case starts from a move of 7 and
// the raising moves of 3.
TEST(RelaxMode, TheChanceMovesByTheMovesRemovalsOnceTheMoveIsOver) {
    struct Case {
        int raises;
        std::vector<std::int32_t> steps;
        std::int32_t chance;
    };
    const Case cases[] = {{2, {3}, 9},    {2, {4}, 7},    {2, {5}, 4},  {2, {6}, 2},
                          {2, {2, 2}, 7}, {2, {3, 4}, 0}, {3, {12}, 0}, {2, {2}, 6},
                          {2, {1, 1}, 6}, {0, {5}, 0},    {1, {6}, 0},  {1, {2, 2, 2}, 0}};
    ModeWorld mode(playtest::relaxScene);
    mode.enter();
    // Busy, the field never counts as at rest, so the level never ends however many pibbles are counted.
    mode.world.field()->incRunningAnimations();
    const game::PlaySceneRelax& scene = *mode.relax();
    ASSERT_EQ(scene.getChanceValueStart(), 0);
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.raises) + " raises, then " + std::to_string(one.steps.size()) +
                     " steps removing " +
                     std::to_string(std::accumulate(one.steps.begin(), one.steps.end(), 0)));
        move(mode, {7});
        mode.world.frame();
        for (int raise = 0; raise < one.raises; ++raise) {
            move(mode, {3});
            mode.world.frame();
        }
        const std::int32_t before = scene.getChanceValueCurrent();
        ASSERT_EQ(before, 3 * one.raises);
        move(mode, one.steps);
        EXPECT_TRUE(scene.isMovePending());
        EXPECT_EQ(scene.getChanceValueCurrent(), before) << "not before the move is over";
        EXPECT_EQ(mode.world.field()->getStubbornChance(), before);
        mode.world.frame();
        EXPECT_FALSE(scene.isMovePending());
        EXPECT_EQ(scene.getChanceValueCurrent(), one.chance);
        EXPECT_EQ(mode.world.field()->getStubbornChance(), one.chance);
    }
}

// A real move: the chance stays while the field works through the move and moves once it is idle, by all
// the move's removals. A move that removes nothing applies the last move's count again.
TEST(RelaxMode, AMoveOnTheFieldMovesTheChanceOnceAndAMoveWithoutRemovalRepeatsIt) {
    ModeWorld mode(playtest::relaxScene);
    mode.enter();
    const game::PlaySceneRelax& scene = *mode.relax();
    game::PlayField& field = *mode.world.field();
    fieldtest::RecordingListener heard;
    field.addListener(&heard);
    const auto after = [&](std::int32_t chance, std::int32_t removed) {
        return removed >= 7 ? 0 : std::max(chance + scene.getChanceDelta(removed), 0);
    };

    const std::vector<std::pair<std::int32_t, std::int32_t>> moves = mode.moves();
    ASSERT_FALSE(moves.empty());
    ASSERT_TRUE(mode.click(moves.front().first, moves.front().second));
    ASSERT_NE(field.state(), state::idle);
    for (int frame = 0; frame < 1000 && !mode.atRest(); ++frame) {
        ASSERT_EQ(scene.getChanceValueCurrent(), 0) << frame;
        ASSERT_EQ(field.getStubbornChance(), 0) << frame;
        mode.world.frame();
    }
    ASSERT_TRUE(mode.atRest());
    std::int32_t removed = 0;
    for (const game::GameEvent& match : heard.ofType(kind::match)) {
        removed += match.words[word::pibbles];
    }
    ASSERT_GE(removed, 3);
    EXPECT_EQ(scene.getRemovedByMove(), removed);
    EXPECT_EQ(scene.getNumPibbles(), removed);
    const std::int32_t chance = after(0, removed);
    EXPECT_EQ(scene.getChanceValueCurrent(), chance);
    EXPECT_EQ(field.getStubbornChance(), chance);

    std::pair<std::int32_t, std::int32_t> wrong{0, 0};
    for (std::int32_t r = 1; r <= field.rowCount() && wrong.first == 0; ++r) {
        for (std::int32_t c = 1; c <= field.columnCount() && wrong.first == 0; ++c) {
            if (field.moveMark(r, c) == 0 && field.pibbleAt(r, c)->isPlain()) {
                wrong = {r, c};
            }
        }
    }
    heard.events.clear();
    ASSERT_TRUE(mode.click(wrong.first, wrong.second));
    ASSERT_TRUE(mode.settle());
    EXPECT_TRUE(heard.ofType(kind::match).empty());
    EXPECT_EQ(scene.getChanceValueCurrent(), after(chance, removed));
    field.removeListener(&heard);
}

// The first stubborn pibble a player sees is explained, the next one in the game too, with its own text;
// each puts the chance back to the start, which the field gets at the end of the next move.
TEST(RelaxMode, AStubbornPibblePutsTheChanceBackAndIsExplainedTwice) {
    ModeWorld mode(playtest::relaxScene, playtest::hintDeclaration);
    mode.world.player().setHintEnabled(ids::hintTimeBarRelax, false);
    mode.enter();
    game::PlaySceneRelax& scene = *mode.relax();
    game::PlayField& field = *mode.world.field();
    game::Pibble* pibble = field.pibbleAt(2, 2);
    for (const char* hint :
         {ids::hintAppearStubbornRelax, ids::hintAppearStubbornRelax2, static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(hint != nullptr ? hint : "no hint");
        move(mode, {3});
        mode.world.frame();
        const std::int32_t raised = scene.getChanceValueCurrent();
        ASSERT_EQ(raised, 3);
        field.broadcast(game::GameEvent::about(kind::stubbornAppeared, pibble, 2, 2));
        EXPECT_EQ(mode.world.scene->isDialogOpen(ids::dialogHint), hint != nullptr);
        if (hint != nullptr) {
            const auto* shown = static_cast<game::DialogHint*>(mode.world.scene->findDialog(ids::dialogHint));
            EXPECT_EQ(shown->getHintKey(), hint);
            EXPECT_EQ(shown->getTarget(), pibble);
            mode.world.scene->removeDialog(ids::dialogHint);
        }
        EXPECT_TRUE(mode.world.player().hasSeen(game::PibblePlayer::Sighting::Stubborn));
        EXPECT_EQ(scene.getChanceValueCurrent(), 0);
        EXPECT_EQ(field.getStubbornChance(), raised) << "until the next move is over";
        move(mode, {4});
        mode.world.frame();
        EXPECT_EQ(field.getStubbornChance(), 1);
        move(mode, {7});
        mode.world.frame();
    }
}

// A new game on hard starts at the first row's chance and hands it to the field; at level 2 with a raised
// chance every value comes back from the file, the field gets the loaded chance, and the save is gone once
// the game goes on.
TEST(RelaxMode, TheModesValuesGoIntoTheSavedGameAndComeBack) {
    ModeWorld mode(playtest::relaxScene);
    mode.enter(game::startKindNew, game::difficultyHard);
    game::PlaySceneRelax& scene = *mode.relax();
    const game::RelaxModeParams first = relaxRow(1, game::difficultyHard);
    EXPECT_EQ(scene.getChanceValueCurrent(), first.chanceValueStart);
    EXPECT_EQ(scene.getChanceValueMinimum(), first.chanceValueStart);
    EXPECT_EQ(mode.world.field()->getStubbornChance(), first.chanceValueStart);
    EXPECT_EQ(scene.getChanceDelta(4), first.chanceDelta4);
    EXPECT_EQ(mode.world.field()->numColors(), first.numColors);
    scene.nextLevel();
    ASSERT_TRUE(mode.settle());
    const game::RelaxModeParams row = relaxRow(2, game::difficultyHard);
    ASSERT_EQ(mode.world.field()->getStubbornChance(), row.chanceValueStart) << "handed on by the next level";
    move(mode, {3});
    mode.world.frame();
    mode.match(5);
    const std::int32_t chance = row.chanceValueStart + row.chanceDelta3;
    ASSERT_EQ(scene.getChanceValueCurrent(), chance);
    scene.saveGame();

    const kernel::SmartPtr<kernel::ValueDocument> saved =
        new kernel::ValueDocument(game::SavegamePath("Ann", game::gameModeRelax));
    saved->load();
    const kernel::NodeValue& properties = saved->getNode("properties");
    const std::pair<const char*, std::int32_t> expected[] = {
        {"difficulty", game::difficultyHard},         {"levelNr", 2},
        {"chanceValueMinimum", row.chanceValueStart}, {"chanceValueCurrent", chance},
        {"chanceValueStart", row.chanceValueStart},   {"numPibbles", 8},
        {"numPibblesGoal", row.numPibbles},           {"chanceDelta3", row.chanceDelta3},
        {"chanceDelta4", row.chanceDelta4},           {"chanceDelta5", row.chanceDelta5},
        {"chanceDelta6", row.chanceDelta6},           {"numcolors", row.numColors}};
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(properties.getValue(key).asInt(), value) << key;
    }

    mode.manager().changeScene(ids::sceneSelection);
    mode.world.frames(3);
    ASSERT_EQ(game::PlayField::instance(), nullptr);
    mode.enter(game::startKindContinue, game::difficultyFromSave);
    EXPECT_TRUE(game::SavegameExists("Ann", game::gameModeRelax)) << "kept until a newer save";
    EXPECT_EQ(game::currentDifficulty(), game::difficultyHard);
    EXPECT_EQ(scene.getLevelNr(), 2);
    EXPECT_EQ(scene.getNumPibbles(), 8);
    EXPECT_EQ(scene.getChanceValueCurrent(), chance);
    EXPECT_EQ(scene.getChanceValueMinimum(), row.chanceValueStart);
    EXPECT_EQ(scene.getChanceDelta(6), row.chanceDelta6);
    EXPECT_EQ(mode.world.field()->getStubbornChance(), chance);
    EXPECT_EQ(mode.world.field()->numColors(), row.numColors);
    EXPECT_FALSE(scene.isMovePending());
}

} // namespace
