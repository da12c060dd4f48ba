// What the ACTION and RELAX modes share, run for each on a real field: a won level and the next ones on the
// same field (the 20th row repeating), the goal bar and its hint, the hint's penalty, the reminders of the
// first levels, saves that cannot make a game, and the end of a game on a field without a move (the
// highscore entry, the player's progress and hard-mode notice, the album or the selection afterwards).
#include "engine/ui/Label.h"
#include "engine/ui/PulseModifier.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogHint.h"
#include "game/frontend/TransitionScene.h"

#include "../frontend/AlbumWorld.h"
#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

using modetest::ModeWorld;
namespace ids = game::ids;
namespace kind = game::eventType;

class GoalModes : public ::testing::TestWithParam<playtest::SceneKind> {
protected:
    static bool isAction() { return GetParam().mode == game::gameModeAction; }
    static std::string hintKey(ModeWorld& mode) {
        const ui::Dialog* shown = mode.world.scene->findDialog(ids::dialogHint);
        return mode.world.scene->isDialogOpen(ids::dialogHint)
                   ? static_cast<const game::DialogHint*>(shown)->getHintKey()
                   : std::string();
    }
    static ui::GameNode* hintTarget(ModeWorld& mode) {
        return static_cast<game::DialogHint*>(mode.world.scene->findDialog(ids::dialogHint))->getTarget();
    }
};

std::vector<game::Pibble*> pibblesOf(const game::PlayField& field) {
    std::vector<game::Pibble*> found;
    for (std::int32_t row = 1; row <= field.rowCount(); ++row) {
        for (std::int32_t column = 0; column <= field.columnCount(); ++column) {
            found.push_back(field.pibbleAt(row, column));
        }
    }
    return found;
}

// Where the game keeps the player's save of the mode, with the separators of this system.
std::string savePath(const ModeWorld& mode) {
    std::string path = game::SavegamePath("Ann", mode.mode);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A saved game of the mode: the level's layout and colours with the properties given.
void writeSave(ModeWorld& mode, const std::vector<std::string>& layout,
               const std::vector<std::string>& colours, const std::string& properties) {
    std::string xml = modetest::levelText(layout, colours, colours.empty() ? 3 : 0);
    const std::string tag = "<Node id=\"properties\" ";
    xml.replace(xml.find(tag), tag.size(), tag + properties + " ");
    mode.world.folder.write(savePath(mode), xml);
}

// Won, the field calms down and the level end opens; each next level keeps the field's pibbles, reads its
// row (the 20th above 20) and takes its colours, in the level too.
TEST_P(GoalModes, AWonLevelOpensTheLevelEndAndTheNextLevelsKeepTheField) {
    ModeWorld mode(GetParam(), modetest::levelEndDeclaration);
    mode.enter();
    game::PlayField& field = *mode.world.field();
    field.pibbleAt(1, 1)->setStubborn(true);
    mode.match(mode.goal());
    ASSERT_TRUE(mode.until([&] { return mode.world.scene->isLevelEndSent(); }, 2000));
    EXPECT_TRUE(mode.world.scene->isDialogOpen(ids::dialogLevelEnd));
    EXPECT_EQ(game::levelEndKind(), game::levelEndFinished);
    EXPECT_FALSE(field.pibbleAt(1, 1)->isStubborn());
    const auto& record = static_cast<const kernel::NodeValue&>(
        *platform::DataGathering::instance()->getSessions().back().getRecords().back());
    EXPECT_EQ(record.getValue("levelnr").asInt(), 1);
    EXPECT_EQ(record.getValue("gamemode").asString(), isAction() ? "action" : "relax");
    mode.world.scene->removeDialog(ids::dialogLevelEnd);

    const std::vector<game::Pibble*> before = pibblesOf(field);
    for (std::int32_t level = 2; level <= 22; ++level) {
        SCOPED_TRACE(level);
        mode.nextLevel();
        EXPECT_EQ(field.state(), game::fieldState::ready);
        ASSERT_TRUE(mode.settle(5000, 50));
        EXPECT_EQ(mode.levelNr(), level);
        EXPECT_EQ(mode.numPibbles(), 0);
        EXPECT_EQ(mode.goal(), mode.rowGoal(level, game::difficultyNormal));
        EXPECT_EQ(field.numColors(), mode.rowColours(level, game::difficultyNormal));
        EXPECT_EQ(field.getLevelFile()->numColors(), field.numColors());
        EXPECT_EQ(mode.world.scene->getLevelLabel()->getText(), game::intToWideString(level));
        EXPECT_EQ(pibblesOf(field), before);
    }
    EXPECT_EQ(mode.rowGoal(22, game::difficultyNormal), mode.rowGoal(20, game::difficultyNormal));
    EXPECT_NE(mode.rowGoal(19, game::difficultyNormal), mode.rowGoal(20, game::difficultyNormal));
}

// The bar shows the share of the goal reached; its hint comes once a visit, when the count reaches 0.3 of
// the goal in single precision: 31 of 100.
TEST_P(GoalModes, TheGoalBarShowsTheShareReachedAndItsHintComesOnceAVisit) {
    ModeWorld mode(GetParam(), playtest::hintDeclaration);
    const char* key = isAction() ? ids::hintTimeBarAction : ids::hintTimeBarRelax;
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        if (visit > 0) {
            mode.manager().changeScene(ids::sceneSelection);
            mode.world.frames(3);
        }
        mode.enter();
        ASSERT_EQ(mode.goal(), 100);
        ui::Sprite* bar = mode.world.scene->getTimeBar();
        mode.match(30);
        mode.world.frame();
        EXPECT_EQ(hintKey(mode), "");
        ASSERT_NE(bar->getClipRect(), nullptr);
        EXPECT_EQ(*bar->getClipRect(), kernel::Rect(70, 468, 150, 10));
        mode.match(1);
        EXPECT_EQ(hintKey(mode), key);
        EXPECT_EQ(hintTarget(mode), nullptr);
        mode.world.scene->removeDialog(ids::dialogHint);
        mode.match(60);
        EXPECT_EQ(hintKey(mode), "");
        mode.world.frame();
        EXPECT_EQ(bar->getClipRect()->w, 455);
        bar->addModifier(new ui::PulseModifier(255, 0, 100, 100, 0, 0, 10));
        mode.match(5);
        mode.world.frame();
        EXPECT_EQ(bar->getClipRect()->w, 455) << "left alone while a modifier runs";
        bar->removeAllModifiers();
    }
}

// The hint's share of the goal (0.125 of 100 here) is taken off in single precision, truncated toward zero
// and never below 0; the hint button rests until the hint is available again.
TEST_P(GoalModes, AHintCostsAShareOfTheGoal) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{40, 27}, {14, 1}, {13, 0}, {5, 0}, {0, 0}};
    for (const auto& [count, left] : cases) {
        SCOPED_TRACE(count);
        ModeWorld mode(GetParam());
        fieldtest::FieldWorld::setDouble(isAction() ? ids::cfgHintPenaltyAction : ids::cfgHintPenaltyRelax,
                                         0.125);
        mode.enter();
        mode.match(count);
        mode.world.field()->broadcast(game::GameEvent::of(kind::hintUsed));
        EXPECT_EQ(mode.numPibbles(), left);
        mode.world.frame();
        EXPECT_FALSE(mode.world.scene->isHintEnabled());
        mode.world.field()->broadcast(game::GameEvent::of(kind::hintAvailable));
        mode.world.frame();
        EXPECT_TRUE(mode.world.scene->isHintEnabled());
    }
}

// Levels 1 to 5 explain the reminders and a click at the queue; level 6 does not.
TEST_P(GoalModes, TheFirstFiveLevelsExplainTheRemindersAndTheQueue) {
    ModeWorld mode(GetParam(), playtest::hintDeclaration);
    mode.enter();
    game::PlayField& field = *mode.world.field();
    game::Pibble* pibble = field.pibbleAt(3, 3);
    for (std::int32_t level = 1; level <= 6; ++level) {
        SCOPED_TRACE(level);
        const bool explained = level <= 5;
        const std::pair<std::int32_t, const char*> cases[] = {{kind::idleReminder, ids::hintClickTimer},
                                                              {kind::noMatchReminder, ids::hintClickFailed},
                                                              {kind::queueClicked, ids::hintClickQueue}};
        for (const auto& [type, key] : cases) {
            field.broadcast(game::GameEvent::about(type, pibble, 3, 3));
            EXPECT_EQ(hintKey(mode), explained ? key : "");
            if (explained) {
                EXPECT_EQ(hintTarget(mode),
                          type == kind::noMatchReminder ? nullptr : static_cast<ui::GameNode*>(pibble));
            }
            mode.world.scene->removeDialog(ids::dialogHint);
        }
        mode.nextLevel();
        ASSERT_TRUE(mode.settle(5000, 50));
    }
}

// A save of another mode, a damaged one, or values that cannot make a game start a new game at level 1;
// the last case is a usable save, continued.
TEST_P(GoalModes, ASaveThatCannotMakeAGameStartsANewOne) {
    const std::string usable = "levelNr=\"5\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" "
                               "stubbornTimerStart=\"6000\"";
    struct Case {
        std::string properties;
        bool actionOnly;
        std::int32_t level;
    };
    const std::vector<Case> cases = {
        {"chapterNr=\"3\" levelNr=\"4\" time=\"90\"", false, 1},
        {"levelNr=\"5\" numPibblesGoal=\"0\" penaltyTimerStart=\"900\" stubbornTimerStart=\"6000\"", false,
         1},
        {"levelNr=\"0\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" stubbornTimerStart=\"6000\"", false,
         1},
        {"levelNr=\"-3\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" stubbornTimerStart=\"6000\"", false,
         1},
        {"levelNr=\"5\" numPibblesGoal=\"100\" penaltyTimerStart=\"0\" stubbornTimerStart=\"6000\"", true, 1},
        {"levelNr=\"5\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" stubbornTimerStart=\"-1\"", true, 1},
        {"damaged", false, 1},
        {usable, false, 5}};
    for (const Case& one : cases) {
        if (one.actionOnly && !isAction()) {
            continue;
        }
        SCOPED_TRACE(one.properties);
        ModeWorld mode(GetParam());
        if (one.properties == "damaged") {
            mode.world.folder.write(savePath(mode), "<Level><Node id=\"properties\" lev");
        } else {
            writeSave(mode, modetest::openField, {}, one.properties);
        }
        mode.enter(game::startKindContinue, game::difficultyFromSave);
        EXPECT_EQ(mode.levelNr(), one.level);
        EXPECT_EQ(game::currentDifficulty(), game::difficultyNormal);
        EXPECT_EQ(mode.goal(), one.level == 1 ? mode.rowGoal(1, game::difficultyNormal) : 100);
        EXPECT_EQ(mode.world.field()->rowCount(), 5);
        EXPECT_GT(mode.world.field()->possibleMoveCount(), 0);
    }
}

// A save at the largest level number goes on, and is carried on at a quit, to a level that stays at that
// number with the last tuned row.
TEST_P(GoalModes, TheLevelAfterTheLargestNumberStaysThere) {
    constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    ModeWorld mode(GetParam());
    writeSave(mode, modetest::openField, {},
              "levelNr=\"" + std::to_string(largest) +
                  "\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" stubbornTimerStart=\"6000\"");
    mode.enter(game::startKindContinue, game::difficultyFromSave);
    ASSERT_EQ(mode.levelNr(), largest);
    mode.nextLevel();
    EXPECT_EQ(mode.levelNr(), largest);
    EXPECT_EQ(mode.goal(), mode.rowGoal(game::LevelCatalogue::lastTunedLevel, game::difficultyNormal));
    EXPECT_NE(mode.world.scene->advanceLevelForQuit(), nullptr);
    EXPECT_EQ(mode.levelNr(), largest);
}

// A field without a move ends the game: the mode's highscore entry with the level, the player's highest level
// at the difficulty, the hard-mode notice when that unlocked it (at level 4 of normal here); then the album
// at the mode's highscores when the score entered the table, else the selection through a fade.
TEST_P(GoalModes, AFieldWithoutAMoveEndsTheGameWithAHighscoreEntry) {
    struct Case {
        std::int32_t level, difficulty, highestBefore, score;
        bool notice;
    };
    const Case cases[] = {{3, game::difficultyNormal, 1, 500, false},
                          {4, game::difficultyNormal, 1, 0, true},
                          {7, game::difficultyNormal, 5, 0, false},
                          {5, game::difficultyHard, 1, 300, false}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.level) + " at difficulty " + std::to_string(one.difficulty));
        ModeWorld mode(GetParam(), modetest::levelEndDeclaration + albumtest::albumDeclarations());
        albumtest::writeCollectables(albumtest::reversedOrder());
        albumtest::addAlbumPictures();
        game::AlbumPictures::create()->loadOrder();
        game::PibblePlayer& player = mode.world.player();
        if (isAction()) {
            player.setHighestActionLevel(one.highestBefore, game::difficultyNormal);
        } else {
            player.setHighestRelaxLevel(one.highestBefore, game::difficultyNormal);
        }
        writeSave(mode, modetest::stuckField, modetest::stuckColours,
                  "score=\"" + std::to_string(one.score) + "\" difficulty=\"" +
                      std::to_string(one.difficulty) + "\" levelNr=\"" + std::to_string(one.level) +
                      "\" numPibblesGoal=\"100\" penaltyTimerStart=\"900\" stubbornTimerStart=\"6000\"");
        player.setSeenHowToPlay(mode.mode, true);
        game::setStartKind(game::startKindContinue);
        game::setDifficulty(game::difficultyFromSave);
        mode.world.enter();
        ASSERT_TRUE(mode.until([&] { return mode.world.scene->isLevelEndSent(); }, 5000));
        EXPECT_TRUE(mode.world.scene->isGameOver());
        EXPECT_TRUE(mode.world.scene->isDialogOpen(ids::dialogLevelEnd));
        EXPECT_EQ(game::levelEndKind(), game::levelEndFailed);

        const platform::ScoreTable& table = mode.scores();
        const bool entered = one.score > 0;
        ASSERT_EQ(table.getLastScore(), entered ? 0 : -1);
        if (entered) {
            const auto* entry = static_cast<const game::PibbleHighscoreEntry*>(table.getEntry(0));
            EXPECT_EQ(entry->getPlayerName(), "Ann");
            EXPECT_EQ(entry->getScore(), one.score);
            EXPECT_EQ(entry->getLevelNr(), std::to_string(one.level));
        }
        const std::int32_t highest =
            isAction() ? player.highestActionLevel(one.difficulty) : player.highestRelaxLevel(one.difficulty);
        EXPECT_EQ(highest,
                  std::max(one.level, one.difficulty == game::difficultyNormal ? one.highestBefore : 1));
        EXPECT_EQ(isAction() ? game::actionHardModeUnlockedNotice() : game::relaxHardModeUnlockedNotice(),
                  one.notice);
        EXPECT_FALSE(isAction() ? game::relaxHardModeUnlockedNotice() : game::actionHardModeUnlockedNotice());

        mode.world.scene->removeDialog(ids::dialogLevelEnd);
        mode.gameOver();
        game::AlbumPictures& album = *game::AlbumPictures::instance();
        if (entered) {
            ASSERT_NE(album.albumDialog(), nullptr);
            EXPECT_EQ(album.albumDialog()->getPage(), mode.mode + game::AlbumPictures::firstHighscorePage);
            EXPECT_EQ(album.getReturnScene(), ids::sceneSelection);
            EXPECT_EQ(mode.manager().transitionScene(), nullptr);
        } else {
            EXPECT_EQ(album.albumDialog(), nullptr);
            const auto* fade = static_cast<const game::TransitionScene*>(mode.manager().transitionScene());
            ASSERT_NE(fade, nullptr);
            EXPECT_EQ(fade->getDuration(), 450);
            EXPECT_EQ(mode.manager().nextScene(), mode.manager().findScene(ids::sceneSelection));
        }
        game::resetGameGlobals();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, GoalModes, ::testing::Values(playtest::actionScene, playtest::relaxScene),
                         [](const ::testing::TestParamInfo<playtest::SceneKind>& info) {
                             return std::string(info.param.mode == game::gameModeAction ? "Action" : "Relax");
                         });

} // namespace
