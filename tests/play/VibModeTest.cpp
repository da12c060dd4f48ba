// The VIB mode on a real field: winning and losing a level against the clock, the course from level to
// level, chapter to chapter and to the game's end, the hint's cost and the VIB hint, the clock's sounds, the
// lost game, and saved games through real files.
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "game/field/Pibble.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/DialogHint.h"
#include "game/frontend/DialogPibble.h"
#include "host/Testing.h"

#include "DebugOutput.h"
#include "VibWorld.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace {

using vibtest::VibWorld;
namespace ids = game::ids;
namespace kind = game::eventType;
namespace word = game::matchWord;

const char* const savePath = "media/savegames/Ann/vib/save.xml";

game::GameEvent matchTaking(std::int32_t vibs) {
    game::GameEvent match = game::GameEvent::of(kind::match);
    match.words[word::pibbles] = 3;
    match.words[word::vibs] = vibs;
    match.words[word::colour] = 1;
    match.words[word::x] = 300;
    match.words[word::y] = 200;
    return match;
}

void setVibCount(game::PlayField& field, std::int32_t vibs) {
    game::ScanCounts counts = field.scanCounts();
    counts.vib = vibs;
    field.setScanCounts(counts);
}

// The level end as its dialog ends it: the dialog closes, then the scene hears the player's choice.
void closeLevelEnd() {
    game::DialogPibble::closeDialog(ids::dialogLevelEnd);
}

// Levels.

// One click of (1, 1) lets the queue's colour 1 in beside the VIB pibble of colour 1 and its neighbour.
TEST(VibLevel, IsWonOnceNoVibPibbleIsLeft) {
    VibWorld vib;
    vib.writeLevel(1, 1, vibtest::vibLevel({"qxXxq", "qxxxq", "qxxxq"}, 60, {"12110", "23450", "34520"}));
    vib.enter();
    EXPECT_EQ(vib.field().vibCount(), 1);
    EXPECT_FALSE(vib.scene().isLevelWon());
    ASSERT_TRUE(vib.click(1, 1));
    ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
    EXPECT_EQ(game::levelEndKind(), game::levelEndFinished);
    EXPECT_EQ(vib.field().vibCount(), 0);
    EXPECT_FALSE(vib.scene().isGameOver());
}

// The course.

TEST(VibCourse, WinningLevelSixFadesIntoLevelSevenWithTheScoreKept) {
    VibWorld vib;
    vib.writeLevel(1, 7, vibtest::vibLevel({"qxXxxq", "qxxxxq", "qxxXxq", "qxxxxq"}, 90));
    vib.enter();
    vib.scene().setLevelNr(6);
    vib.field().setScore(1234);
    vib.scene().advanceWithFade();
    const kernel::SmartPtr<ui::Sprite> overlay = vib.scene().getFadeOverlay();
    ASSERT_TRUE(overlay);
    vib.scene().advanceWithFade();
    EXPECT_EQ(vib.scene().getFadeOverlay(), overlay.get()) << "one fade at a time";

    vib.frames(20);
    EXPECT_EQ(vib.scene().getLevelNr(), 6) << "the level changes once the screen is black";
    EXPECT_GT(overlay->getAlpha(), 128);
    ASSERT_TRUE(vib.until([&] { return vib.scene().getLevelNr() != 6; }, 1000));
    EXPECT_EQ(vib.scene().getLevelNr(), 7);
    EXPECT_EQ(vib.field().rowCount(), 4);
    EXPECT_EQ(vib.field().getTimeMax(), 112000) << "90 s and a quarter, in whole seconds";
    EXPECT_EQ(vib.field().getScore(), 1234);
    EXPECT_EQ(vib.world.player().highestVibLevel(game::difficultyNormal), 7);
    ASSERT_TRUE(vib.until([&] { return vib.fadeOver(); }));
    EXPECT_EQ(vib.field().getScore(), 1234);
    EXPECT_EQ(vib.scene().getLevelLabel()->getText(), u"1.7");
    EXPECT_EQ(overlay->getParent(), nullptr) << "the overlay has gone";
}

TEST(VibCourse, WinningLevelSevenOpensTheProgressMapAtTheNextChapter) {
    VibWorld vib;
    vib.enter();
    vib.scene().setLevelNr(7);
    vib.scene().advanceWithFade();
    EXPECT_EQ(vib.scene().getFadeOverlay(), nullptr);
    EXPECT_TRUE(vib.isOpen(ids::dialogProgress));
    EXPECT_EQ(game::pendingChapter(), 2);
    EXPECT_TRUE(game::newChapter());
    EXPECT_EQ(vib.scene().getChapterNr(), 2);
    EXPECT_EQ(vib.scene().getLevelNr(), 1);
    EXPECT_EQ(vib.world.player().highestVibChapter(game::difficultyNormal), 2);
    EXPECT_EQ(vib.world.player().highestVibChapter(game::difficultyHard), 1);

    // A chapter reached before is no new one.
    vib.world.scene->removeDialog(ids::dialogProgress);
    vib.scene().setChapterNr(1);
    vib.scene().setLevelNr(7);
    vib.scene().finishVibLevel();
    EXPECT_TRUE(vib.isOpen(ids::dialogProgress));
    EXPECT_EQ(game::pendingChapter(), 2);
    EXPECT_FALSE(game::newChapter());
}

TEST(VibCourse, TheLastLevelEndsTheGame) {
    VibWorld vib;
    vib.enter();
    vib.world.player().setVibProgress(10, 7, game::difficultyNormal);
    vib.scene().saveGame();
    ASSERT_TRUE(std::filesystem::exists(savePath));
    vib.scene().setChapterNr(10);
    vib.scene().setLevelNr(7);
    vib.field().setScore(4321);
    vib.scene().advanceWithFade();

    EXPECT_TRUE(vib.isOpen(ids::dialogGameEnd));
    EXPECT_FALSE(vib.isOpen(ids::dialogProgress));
    const auto* entry =
        static_cast<game::PibbleHighscoreEntry*>(vib.scores().getEntry(vib.scores().getLastScore()));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->getLevelNr(), "10.7");
    EXPECT_EQ(entry->getScore(), 4321);
    EXPECT_FALSE(std::filesystem::exists(savePath));
    EXPECT_EQ(vib.world.player().highestVibChapter(game::difficultyNormal), 11);
    EXPECT_TRUE(game::vibHardModeUnlockedNotice()) << "chapter 11 unlocks the hard mode";
    const int entries = vib.scores().getEntryCount();
    vib.scene().finishVibLevel();
    EXPECT_EQ(vib.scores().getEntryCount(), entries) << "nothing comes after the course";

    // Played through again, the hard mode was open before.
    game::setVibHardModeUnlockedNotice(false);
    vib.world.scene->removeDialog(ids::dialogGameEnd);
    vib.scene().setChapterNr(10);
    vib.scene().setLevelNr(7);
    vib.scene().finishVibLevel();
    EXPECT_TRUE(vib.isOpen(ids::dialogGameEnd));
    EXPECT_FALSE(game::vibHardModeUnlockedNotice());
}

TEST(VibCourse, WithoutTheDialogsDeclaredTheCourseStillMovesOn) {
    VibWorld vib(std::string(), false);
    vib.enter();
    vib.scene().setLevelNr(7);
    vib.scene().advanceWithFade();
    EXPECT_FALSE(vib.isOpen(ids::dialogProgress));
    EXPECT_EQ(vib.scene().getChapterNr(), 2);
    vib.scene().setChapterNr(10);
    vib.scene().setLevelNr(7);
    vib.scene().finishVibLevel();
    EXPECT_FALSE(vib.isOpen(ids::dialogGameEnd));
    vib.field().setTimeLeft(0);
    vib.frames(100);
    EXPECT_TRUE(vib.scene().isLevelEndSent());
    EXPECT_FALSE(vib.isOpen(ids::dialogLevelEnd));
}

TEST(VibCourse, ALostLevelIsTriedAgainAfreshThroughTheFade) {
    VibWorld vib;
    vib.enter();
    vib.scene().setLevelNr(3);
    vib.field().setScore(900);
    vib.field().setTimeLeft(0);
    ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
    closeLevelEnd();
    vib.scene().retryLevelWithFade();
    ASSERT_NE(vib.scene().getFadeOverlay(), nullptr);
    ASSERT_TRUE(vib.until([&] { return vib.fadeOver(); }));
    EXPECT_EQ(vib.scene().getLevelNr(), 3);
    EXPECT_EQ(vib.field().getScore(), 0);
    EXPECT_GT(vib.field().getTimeLeft(), vibtest::levelMsNormal - 2000);
    vib.frames(100);
    EXPECT_FALSE(vib.scene().isLevelEndSent()) << "the level runs again";
}

// A fade left running would go on at the next visit and move that game on.
TEST(VibCourse, AFadeEndsWithTheVisit) {
    VibWorld vib;
    vib.enter();
    vib.scene().setLevelNr(6);
    vib.scene().advanceWithFade();
    vib.frames(5);
    vib.manager().changeScene(ids::sceneSelection);
    vib.frames(2);
    EXPECT_EQ(vib.scene().getFadeOverlay(), nullptr);
    EXPECT_EQ(vib.scene().getLevelLabel()->getText(), u"1.1");
    vib.enter();
    vib.frames(100);
    EXPECT_EQ(vib.scene().getLevelNr(), 1);
    EXPECT_EQ(vib.world.player().highestVibLevel(game::difficultyNormal), 1);
}

// The cheat code's way back: one level, the score kept; level 1 stays.
TEST(VibCourse, ReplayGoesBackOneLevel) {
    VibWorld vib;
    vib.enter();
    vib.scene().setLevelNr(3);
    vib.field().setScore(50);
    vib.scene().replayVibLevel();
    EXPECT_EQ(vib.scene().getLevelNr(), 2);
    EXPECT_EQ(vib.field().getScore(), 50);
    ASSERT_TRUE(vib.settle());
    vib.scene().setLevelNr(1);
    vib.scene().replayVibLevel();
    EXPECT_EQ(vib.scene().getLevelNr(), 1);
}

TEST(VibCourse, ANewGameStartsInTheChapterReachedAtItsDifficulty) {
    {
        VibWorld vib;
        vib.world.player().setVibProgress(4, 3, game::difficultyNormal);
        game::setStartKind(game::startKindNew);
        game::setDifficulty(game::difficultyNormal);
        vib.world.enter();
        EXPECT_EQ(vib.scene().getChapterNr(), 4);
        EXPECT_EQ(vib.scene().getLevelNr(), 1);
        EXPECT_TRUE(vib.isOpen(ids::dialogProgress)) << "the player chooses the chapter on the map";
        vib.frames(60);
        EXPECT_EQ(vib.field().state(), game::fieldState::loaded) << "the map starts the level";
    }
    {
        VibWorld vib;
        vib.world.player().setVibProgress(4, 3, game::difficultyNormal);
        vib.enter(game::startKindNew, game::difficultyHard);
        EXPECT_EQ(vib.scene().getChapterNr(), 1);
        EXPECT_FALSE(vib.isOpen(ids::dialogProgress));
    }
    {
        // A continued game without a save reads no difficulty: the new game is normal, in the chapter
        // reached there.
        VibWorld vib;
        vib.world.player().setVibProgress(4, 3, game::difficultyNormal);
        vib.enter(game::startKindContinue, game::difficultyFromSave);
        EXPECT_EQ(game::currentDifficulty(), game::difficultyNormal);
        EXPECT_EQ(vib.scene().getChapterNr(), 4);
        EXPECT_EQ(vib.scene().getLevelNr(), 1);
    }
}

// Hints.

TEST(VibHints, AHintCostsAShareOfTheLevelsTimeAndRestsTheButton) {
    VibWorld vib;
    vib.enter();
    vib.frame();
    ASSERT_TRUE(vib.scene().getHintButton()->isEnabled());
    vib.field().setTimeLeft(40000);
    game::PlayScene::onHintButton(&vib.scene(), nullptr);
    EXPECT_EQ(vib.field().getTimeLeft(), 40000 - vibtest::levelMsNormal / 10);
    EXPECT_TRUE(vib.scene().isHintPenaltyRunning());
    vib.frames(2);
    EXPECT_FALSE(vib.scene().getHintButton()->isEnabled());

    ASSERT_TRUE(vib.until([&] { return !vib.scene().isHintPenaltyRunning(); }));
    int restedMs = 0;
    ASSERT_TRUE(vib.until(
        [&] {
            restedMs += 16;
            return vib.scene().getHintButton()->isEnabled();
        },
        5000));
    EXPECT_GE(restedMs, vibtest::hintRestMs);
    EXPECT_LE(restedMs, vibtest::hintRestMs + 3 * 16);

    vib.field().setTimeLeft(3000);
    vib.field().broadcast(game::GameEvent::of(kind::hintUsed));
    EXPECT_EQ(vib.field().getTimeLeft(), 0) << "never below 0";
}

// The VIB hint of each visit comes with the third match of chapter 1's first five levels, pointing at a VIB
// pibble that stays.
TEST(VibHints, TheVibHintComesOnceOnTheThirdMatchWhileVibPibblesRemain) {
    const auto shownHint = [](const VibWorld& vib) -> game::DialogHint* {
        ui::Dialog* dialog = vib.world.scene->findDialog(ids::dialogHint);
        return vib.isOpen(ids::dialogHint) && dialog->isKindOf(game::DialogHint::classInfo)
                   ? static_cast<game::DialogHint*>(dialog)
                   : nullptr;
    };
    const auto start = [](VibWorld& vib, std::int32_t chapter, std::int32_t level) {
        vib.enter();
        vib.scene().setChapterNr(chapter);
        vib.scene().setLevelNr(level);
        vib.field().setAnnouncementsOn(true);
    };
    {
        VibWorld vib(playtest::hintDeclaration);
        start(vib, 1, 5);
        vib.field().broadcast(matchTaking(0));
        vib.field().broadcast(matchTaking(1));
        EXPECT_EQ(shownHint(vib), nullptr);
        vib.field().broadcast(matchTaking(1));
        const game::DialogHint* hint = shownHint(vib);
        ASSERT_NE(hint, nullptr);
        const ui::GameNode* target = hint->getTarget();
        ASSERT_TRUE(target != nullptr && target->isKindOf(game::Pibble::classInfo));
        EXPECT_TRUE(static_cast<const game::Pibble*>(target)->isVib());
        vib.world.scene->removeDialog(ids::dialogHint);
        vib.scene().setLevelNr(2);
        for (int i = 0; i < 4; ++i) {
            vib.field().broadcast(matchTaking(0));
        }
        EXPECT_EQ(shownHint(vib), nullptr) << "once per visit, also on a later level";
        EXPECT_EQ(vib.scene().getVibHintCounter(), std::numeric_limits<std::int32_t>::max());
    }
    {
        // The count goes on across levels won as in play: two matches in level 1, the third in level 2.
        const auto winLevel = [](VibWorld& vib) {
            setVibCount(vib.field(), 0);
            ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
            closeLevelEnd();
            vib.scene().advanceWithFade();
            ASSERT_TRUE(vib.until([&] { return vib.fadeOver() && vib.field().areAnnouncementsOn(); }));
        };
        VibWorld vib(playtest::hintDeclaration);
        start(vib, 1, 1);
        vib.field().broadcast(matchTaking(0));
        vib.field().broadcast(matchTaking(0));
        winLevel(vib);
        ASSERT_EQ(vib.scene().getLevelNr(), 2);
        vib.field().broadcast(matchTaking(1));
        EXPECT_NE(shownHint(vib), nullptr);
        vib.world.scene->removeDialog(ids::dialogHint);
        winLevel(vib);
        ASSERT_EQ(vib.scene().getLevelNr(), 3);
        for (int i = 0; i < 4; ++i) {
            vib.field().broadcast(matchTaking(0));
        }
        EXPECT_EQ(shownHint(vib), nullptr);
    }
    {
        // The third match takes the last VIB pibbles: the hint waits for a match that leaves some.
        VibWorld vib(playtest::hintDeclaration);
        start(vib, 1, 1);
        vib.field().broadcast(matchTaking(0));
        vib.field().broadcast(matchTaking(0));
        vib.field().broadcast(matchTaking(2));
        EXPECT_EQ(shownHint(vib), nullptr);
        vib.field().broadcast(matchTaking(1));
        EXPECT_NE(shownHint(vib), nullptr);
    }
    {
        // VIB pibbles are counted, but none stands in a cell (the last may be on its way down a hole): the
        // search gives up after its draws and one walk, and the hint waits.
        VibWorld vib(playtest::hintDeclaration);
        vib.writeLevel(1, 1, vibtest::vibLevel({"qxxxxq", "qxxxxq", "qxxxxq"}, 60));
        start(vib, 1, 1);
        setVibCount(vib.field(), 2);
        for (int i = 0; i < 3; ++i) {
            vib.field().broadcast(matchTaking(0));
        }
        EXPECT_EQ(shownHint(vib), nullptr);
        EXPECT_EQ(vib.scene().getVibHintCounter(), game::PlaySceneVIB::vibHintMatch);
    }
    for (const auto& [chapter, level] : {std::pair{1, 6}, std::pair{2, 1}}) {
        SCOPED_TRACE(std::to_string(chapter) + "." + std::to_string(level));
        VibWorld vib(playtest::hintDeclaration);
        start(vib, chapter, level);
        for (int i = 0; i < 4; ++i) {
            vib.field().broadcast(matchTaking(0));
        }
        EXPECT_EQ(shownHint(vib), nullptr);
        EXPECT_EQ(vib.scene().getVibHintCounter(), 0);
    }
}

TEST(VibHints, TheRemindersExplainOnlyTheFirstFiveLevels) {
    for (const auto& [chapter, level, shown] :
         {std::tuple{1, 5, true}, std::tuple{1, 6, false}, std::tuple{2, 1, false}}) {
        SCOPED_TRACE(std::to_string(chapter) + "." + std::to_string(level));
        VibWorld vib(playtest::hintDeclaration);
        vib.enter();
        vib.scene().setChapterNr(chapter);
        vib.scene().setLevelNr(level);
        vib.field().setAnnouncementsOn(true);
        vib.field().broadcast(game::GameEvent::of(kind::noMatchReminder));
        EXPECT_EQ(vib.isOpen(ids::dialogHint), shown);
    }
}

// The clock's sounds.

TEST(VibClock, CountsEachSecondBetweenTheThresholdsAndTicksOnceBelowTheSecond) {
    VibWorld vib;
    vib.enter();
    const auto playedOver = [&](int ms, const char* sound) {
        int count = 0;
        for (int elapsed = 0; elapsed < ms; elapsed += 100) {
            vib.frame(100);
            count += vib.world.played().count(sound);
        }
        return count;
    };
    vib.world.played();
    vib.field().setTimeLeft(vibtest::countingFromMs + 2200);
    EXPECT_EQ(playedOver(2000, ids::soundCounting), 0);
    vib.field().setTimeLeft(vibtest::tickingFromMs + 4550);
    EXPECT_EQ(playedOver(4000, ids::soundCounting), 3) << "about once a second";
    EXPECT_EQ(playedOver(2000, ids::soundTicking), 1);
    EXPECT_EQ(playedOver(1000, ids::soundCounting), 0);
    EXPECT_EQ(playedOver(1000, ids::soundTicking), 0) << "the ticking is started once";
}

// The lost game.

// Every lost level enters the table; giving up saves the level afresh for a later continue, then the album
// shows the entry.
TEST(VibGameOver, ALostLevelEntersTheTableAndGivingUpSavesItAfresh) {
    VibWorld vib;
    game::AlbumPictures::create();
    vib.enter();
    vib.scene().setLevelNr(2);
    vib.field().setScore(500);
    EXPECT_FALSE(vib.scene().isLevelLost());
    vib.field().setTimeLeft(0);
    EXPECT_TRUE(vib.scene().isLevelLost());
    EXPECT_FALSE(vib.scene().isLevelWon()) << "two VIB pibbles are left";
    setVibCount(vib.field(), 0);
    EXPECT_TRUE(vib.scene().isLevelWon()) << "the won test comes first";
    setVibCount(vib.field(), 2);

    ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
    EXPECT_EQ(game::levelEndKind(), game::levelEndFailed);
    const auto* entry =
        static_cast<game::PibbleHighscoreEntry*>(vib.scores().getEntry(vib.scores().getLastScore()));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->getPlayerName(), "Ann");
    EXPECT_EQ(entry->getScore(), 500);
    EXPECT_EQ(entry->getLevelNr(), "1.2");
    EXPECT_FALSE(std::filesystem::exists(savePath)) << "a lost level takes the save along";

    closeLevelEnd();
    vib.scene().gameOver();
    const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
    saved->load();
    kernel::NodeValue& properties = saved->getNode("properties");
    EXPECT_EQ(properties.getValue("score").asInt(), 0);
    EXPECT_EQ(properties.getValue("chapterNr").asInt(), 1);
    EXPECT_EQ(properties.getValue("levelNr").asInt(), 2);
    EXPECT_EQ(properties.getValue("timeleft").asInt(), vibtest::levelMsNormal / 1000);
    EXPECT_EQ(game::AlbumPictures::instance()->getReturnScene(), ids::sceneSelection);
}

TEST(VibGameOver, AScoreOutsideTheTableGoesBackToTheSelection) {
    VibWorld vib;
    game::AlbumPictures::create();
    vib.enter();
    vib.field().setTimeLeft(0);
    ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
    ASSERT_LT(vib.scores().getLastScore(), 0);
    closeLevelEnd();
    vib.scene().gameOver();
    EXPECT_TRUE(game::AlbumPictures::instance()->getReturnScene().empty());
    EXPECT_EQ(vib.manager().nextScene(), vib.manager().findScene(ids::sceneSelection));
    EXPECT_NE(vib.manager().transitionScene(), nullptr);
}

// The restarted level cannot be saved (a full disk): the player hears of it before the selection comes.
TEST(VibGameOver, AFailedSaveIsToldBeforeTheGameIsLeft) {
    VibWorld vib(
        R"(<DialogPibble id="DIALOG_MESSAGE" width="400" height="120"><Vector id="components">)"
        R"(<Label name="HEADER" x="200" y="22" /><Label name="MESSAGE" x="30" y="62" width="340" />)"
        R"(<Button name="BUTTON_OK" x="140" y="70" width="120" height="40" /></Vector></DialogPibble>)");
    game::AlbumPictures::create();
    vib.enter();
    vib.field().setTimeLeft(0);
    ASSERT_TRUE(vib.until([&] { return vib.isOpen(ids::dialogLevelEnd); }));
    closeLevelEnd();
    const testsupport::DebugOutput output;
    host::testing::failCall("writeFileAtomically:write", ENOSPC);
    vib.scene().gameOver();
    host::testing::clearFailures();
    ui::Dialog* box = vib.scene().findDialog(ids::textSaveFailed);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(vib.manager().nextScene(), nullptr);
    auto* ok = static_cast<ui::Button*>(box->findComponent(ids::buttonOk));
    ASSERT_NE(ok, nullptr);
    ok->invoke(ok);
    EXPECT_EQ(vib.manager().nextScene(), vib.manager().findScene(ids::sceneSelection));
}

// Saved games.

TEST(VibSavedGame, ChapterLevelAndClockComeBackInSeconds) {
    VibWorld vib;
    vib.enter(game::startKindNew, game::difficultyHard);
    vib.scene().setChapterNr(3);
    vib.scene().setLevelNr(4);
    vib.field().setScore(777);
    const std::int32_t timeMax = vib.field().getTimeMax();
    vib.field().setTimeLeft(42500);
    vib.scene().saveGame();
    {
        const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
        saved->load();
        kernel::NodeValue& properties = saved->getNode("properties");
        EXPECT_EQ(properties.getValue("chapterNr").asInt(), 3);
        EXPECT_EQ(properties.getValue("levelNr").asInt(), 4);
        EXPECT_EQ(properties.getValue("time").asInt(), timeMax / 1000);
        EXPECT_EQ(properties.getValue("timeleft").asInt(), 43) << "a second begun counts as left";
        EXPECT_EQ(properties.getValue("difficulty").asInt(), game::difficultyHard);
    }
    vib.manager().changeScene(ids::sceneSelection);
    vib.frames(2);

    vib.enter(game::startKindContinue, game::difficultyFromSave);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyHard);
    EXPECT_EQ(vib.scene().getChapterNr(), 3);
    EXPECT_EQ(vib.scene().getLevelNr(), 4);
    EXPECT_EQ(vib.field().getTimeMax(), timeMax);
    EXPECT_LE(vib.field().getTimeLeft(), 43000);
    EXPECT_GT(vib.field().getTimeLeft(), 41000);
    EXPECT_EQ(vib.field().getScore(), 777);
    EXPECT_TRUE(std::filesystem::exists(savePath)) << "a continued game keeps its file until a newer save";
}

TEST(VibSavedGame, ADamagedSaveStartsANewGame) {
    const auto withProperties = [](const std::string& values, int seconds = 60) {
        std::string text = vibtest::vibLevel(vibtest::twoVibs, seconds);
        const std::string node = "<Node id=\"properties\" ";
        text.replace(text.find(node), node.size(), node + values + " ");
        return text;
    };
    const std::string whole = withProperties(R"(chapterNr="1" levelNr="2" score="5" difficulty="0")");
    const std::string damaged[] = {
        withProperties(R"(chapterNr="12" levelNr="3" score="5" difficulty="0" timeleft="30")"),
        withProperties(R"(chapterNr="2" levelNr="0" score="5" difficulty="1" timeleft="30")"),
        withProperties(R"(chapterNr="-7" levelNr="99" score="5")"),
        withProperties(R"(chapterNr="1" levelNr="2" score="5" difficulty="0" timeleft="30")", 0),
        whole.substr(0, whole.find("<Vector")),
        "",
    };
    for (const std::string& content : damaged) {
        SCOPED_TRACE(content);
        VibWorld vib;
        vib.world.player().setVibProgress(2, 4, game::difficultyNormal);
        vib.world.player().setVibProgress(1, 1, game::difficultyHard);
        game::SavegamePath("Ann", game::gameModeVib);
        std::ofstream(savePath, std::ios::binary) << content;
        vib.enter(game::startKindContinue, game::difficultyFromSave);
        const std::int32_t expectedChapter = game::currentDifficulty() == game::difficultyHard ? 1 : 2;
        EXPECT_EQ(vib.scene().getChapterNr(), expectedChapter);
        EXPECT_EQ(vib.scene().getLevelNr(), 1);
        EXPECT_EQ(vib.field().getScore(), 0);
        EXPECT_EQ(vib.field().rowCount(), 5);
        EXPECT_EQ(vib.field().vibCount(), 2);
    }
}

} // namespace
