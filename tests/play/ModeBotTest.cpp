// A bot plays ACTION and RELAX on the game's own catalogue and level, headless and seeded: whenever the field
// waits for a click it clicks one of the cells the last scan marked as a move, and where the level-end
// dialog would offer the next level it takes it. Each won level must read the next tuning row while the
// field keeps its pibbles; then a field without a move ends the game with the highscore entry.
#include "engine/platform/ScoreTable.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/frontend/TransitionScene.h"

#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using modetest::ModeWorld;

constexpr std::int32_t levelsToPlay = 2;
constexpr std::uint32_t frameMs = 100;
constexpr int thinkingFrames = 3;
constexpr unsigned botSeed = 20261207;
// Frames are long and the levels few: a move of the game's first levels often runs through many combo
// steps. The limit is far more than the bot needs.
constexpr int frameLimit = 6000;

class ModeBot : public ::testing::TestWithParam<playtest::SceneKind> {};

// The game's row of the level at normal difficulty: its goal and colours.
std::pair<std::int32_t, std::int32_t> gameRow(std::int32_t mode, std::int32_t level) {
    const game::LevelCatalogue& catalogue = *game::LevelCatalogue::instance();
    if (mode == game::gameModeAction) {
        game::ActionModeParams row;
        EXPECT_TRUE(catalogue.actionParams(level, row, game::difficultyNormal));
        return {row.numPibbles, row.numColors};
    }
    game::RelaxModeParams row;
    EXPECT_TRUE(catalogue.relaxParams(level, row, game::difficultyNormal));
    return {row.numPibbles, row.numColors};
}

TEST_P(ModeBot, PlaysSeededLevelsOnTheGamesDataThenLosesOnAFieldWithoutAMove) {
    ModeWorld mode(GetParam(), {}, modetest::Data::game);
    // Both of the field's generators, so the game replays.
    game::Random::instance()->setSeed(botSeed);
    std::srand(botSeed);
    mode.enter();
    game::PlayField& field = *mode.world.field();
    ASSERT_EQ(field.rowCount(), 9);
    ASSERT_EQ(field.columnCount(), 10);
    std::mt19937 picks(botSeed);
    std::int32_t won = 0;
    int moves = 0;
    // Like a player, the bot looks at the field for a moment before it clicks: the scene sees the field at
    // rest first, and a level whose goal is reached ends there.
    int restingFrames = 0;
    for (int frame = 0; frame < frameLimit && won < levelsToPlay; ++frame) {
        ASSERT_GE(mode.numPibbles(), 0);
        ASSERT_FALSE(mode.world.scene->isGameOver()) << "the refill keeps a move possible";
        if (mode.world.scene->isLevelEndSent() && field.state() == game::fieldState::levelOver) {
            ASSERT_GE(mode.numPibbles(), mode.goal());
            ++won;
            mode.nextLevel();
            const auto [goal, colours] = gameRow(mode.mode, won + 1);
            EXPECT_EQ(mode.levelNr(), won + 1);
            EXPECT_EQ(mode.goal(), goal);
            EXPECT_EQ(field.numColors(), colours);
            EXPECT_EQ(field.getLevelFile()->numColors(), colours);
        } else if (!mode.atRest()) {
            restingFrames = 0;
        } else if (++restingFrames > thinkingFrames) {
            restingFrames = 0;
            const std::vector<std::pair<std::int32_t, std::int32_t>> marked = mode.moves();
            ASSERT_FALSE(marked.empty());
            const auto [row, column] = marked[picks() % marked.size()];
            ASSERT_TRUE(mode.click(row, column));
            ++moves;
        }
        mode.world.frame(frameMs);
    }
    ASSERT_EQ(won, levelsToPlay);
    EXPECT_GE(moves, levelsToPlay);
    ASSERT_TRUE(mode.settle());

    // The bot's score stays with the game on the field laid out afresh without a move.
    const std::int32_t score = field.getScore();
    ASSERT_GT(score, 0);
    mode.world.folder.write("stuck.xml", modetest::levelText(modetest::stuckField, modetest::stuckColours));
    field.restart(new game::LevelFile("stuck.xml"));
    field.setScore(score);
    field.announceReady();
    ASSERT_TRUE(mode.until([&] { return mode.world.scene->isLevelEndSent(); }, 5000));
    EXPECT_TRUE(mode.world.scene->isGameOver());
    const platform::ScoreTable& table = mode.scores();
    ASSERT_EQ(table.getLastScore(), 0);
    const auto* entry = static_cast<const game::PibbleHighscoreEntry*>(table.getEntry(0));
    EXPECT_EQ(entry->getPlayerName(), "Ann");
    EXPECT_EQ(entry->getScore(), score);
    EXPECT_EQ(entry->getLevelNr(), std::to_string(levelsToPlay + 1));
    const game::PibblePlayer& player = mode.world.player();
    EXPECT_EQ(mode.mode == game::gameModeAction ? player.highestActionLevel(game::difficultyNormal)
                                                : player.highestRelaxLevel(game::difficultyNormal),
              levelsToPlay + 1);

    // Without the album the game goes back to the selection.
    mode.gameOver();
    EXPECT_NE(mode.manager().transitionScene(), nullptr);
    EXPECT_EQ(mode.manager().nextScene(), mode.manager().findScene(game::ids::sceneSelection));
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeBot, ::testing::Values(playtest::actionScene, playtest::relaxScene),
                         [](const ::testing::TestParamInfo<playtest::SceneKind>& info) {
                             return std::string(info.param.mode == game::gameModeAction ? "Action" : "Relax");
                         });

} // namespace
