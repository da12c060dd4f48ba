// The field's rules run headless: the click and its reactions, a matching and a wrong move, the removal with
// its clowns, freed chains, stubborn pibbles and party matches, the refill with its queue shift and its
// collectable, announcements, the stuck board, the level's recolouring and the hint.
#include "game/field/PlayField.h"

#include "engine/ui/Dialog.h"
#include "engine/ui/SceneManager.h"
#include "game/field/CollectablesManager.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleHupModifier.h"
#include "game/field/StateMachine.h"

#include "FieldGame.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using fieldtest::FieldGame;
using fieldtest::FieldWorld;
using fieldtest::RecordingListener;
using fieldtest::ScriptedScene;
using game::GameEvent;
using game::Pibble;
using game::PlayField;
using kernel::SmartPtr;
namespace cell = game::cell;
namespace event = game::eventType;
namespace state = game::fieldState;
namespace word = game::matchWord;

// The pointer takes a pibble only in a square about its body, so a click finds exactly one cell.
constexpr int maskSide = 30;
constexpr int bodyAboveFeet = 21;

testsupport::Image32 bodyMask() {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(Pibble::frameWidth * Pibble::frameHeight), 0);
    const int left = static_cast<int>(Pibble::anchorX) - maskSide / 2;
    const int top = static_cast<int>(Pibble::anchorY) - bodyAboveFeet - maskSide / 2;
    for (int y = top; y < top + maskSide; ++y) {
        for (int x = left; x < left + maskSide; ++x) {
            pixels[static_cast<std::size_t>(y * Pibble::frameWidth + x)] = 0xFFFFFFFFu;
        }
    }
    return testsupport::image32Of(Pibble::frameWidth, Pibble::frameHeight, pixels);
}

// The level's colour digits, a row of them per layout row (the queue's first).
std::string colours(const std::vector<std::string>& rows) {
    std::string xml = "<Vector id=\"colors\">";
    for (const std::string& row : rows) {
        xml += "<Row data=\"" + row + "\" />";
    }
    return xml + "</Vector>";
}

const char* const noCollectables = "<Rules><Vector id=\"collectables\" /></Rules>";

// A headless field with a recording listener, clicked where its pibbles' bodies are.
class RulesGame {
public:
    explicit RulesGame(const std::string& rules = noCollectables) : game(rules) {
        FieldWorld::addSection(game::ids::groupPibbles, {{game::ids::pibbleHitMask, bodyMask()}});
        field.addListener(&heard);
    }

    // The level laid out, play begun and the first scan made.
    void play(const std::vector<std::string>& layout, const std::vector<std::string>& digits,
              const std::string& extra = {}) {
        game.play(layout, colours(digits) + extra);
        ASSERT_TRUE(idle());
        heard.events.clear();
    }
    void click(std::int32_t row, std::int32_t column) {
        field.onLeftButtonDown(field.columnX(row, column), field.rowY(row, column) - bodyAboveFeet, 0, false);
    }
    // Frames until the field waits for a click with nothing running; false when that takes too long.
    bool idle(int limitMs = 20000) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += 16) {
            game.frame();
            if (field.state() == state::idle && !field.animationsRunning() && !field.hasEffectAnimations() &&
                !field.isRescanPending()) {
                return true;
            }
        }
        return false;
    }
    // Frames until the predicate holds; false when that takes too long.
    bool until(const std::function<bool()>& holds, int limitMs = 20000) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += 16) {
            game.frame();
            if (holds()) {
                return true;
            }
        }
        return false;
    }
    bool heardType(std::int32_t type) const { return !heard.ofType(type).empty(); }
    // Every pibble of the used rows stands in its cell, on the ground.
    void expectAllInPlace() const {
        for (std::int32_t row = cell::firstRow; row <= field.rowCount(); ++row) {
            for (std::int32_t column = cell::queueLeft; column <= field.columnCount(); ++column) {
                SCOPED_TRACE(std::to_string(row) + "," + std::to_string(column));
                const Pibble* pibble = field.pibbleAt(row, column);
                ASSERT_NE(pibble, nullptr);
                EXPECT_EQ(pibble->getX(), const_cast<PlayField&>(field).columnX(row, column));
                EXPECT_EQ(pibble->getY(), field.rowY(row, column));
                EXPECT_EQ(pibble->getDepthOffset(), 0);
            }
        }
    }

    RecordingListener heard;
    FieldGame game;
    PlayField& field = *game.field;
};

class FieldRules : public ::testing::Test, public RulesGame {};

// Three rows of four, no run standing; clicking (1, 3) brings the queue's yellow in for a row of three.
const std::vector<std::string> fourByThree = {"qxxxxq", "qxxxxq", "qxxxxq"};
const std::vector<std::string> oneMatch = {"111240", "232530", "354350"};

TEST_F(FieldRules, AMatchIsRemovedScoredAndTheFieldFilledAgain) {
    play(fourByThree, oneMatch);
    ASSERT_EQ(field.lastScan().counts.matchCells, 0);
    ASSERT_EQ(field.moveMark(1, 3), 1);
    const SmartPtr<Pibble> clicked = field.pibbleAt(1, 3);
    const SmartPtr<Pibble> queued = field.pibbleAt(1, cell::queueLeft);
    const SmartPtr<Pibble> secondQueued = field.pibbleAt(2, cell::queueLeft);

    click(1, 3);
    ASSERT_FALSE(heard.events.empty());
    EXPECT_EQ(heard.events.front().type, event::pibbleClicked);
    EXPECT_EQ(heard.events.front().pibble, clicked.get());
    EXPECT_EQ(heard.events.front().row(), 1);
    EXPECT_EQ(heard.events.front().column(), 3);
    EXPECT_EQ(field.state(), state::checkMove);
    EXPECT_EQ(field.pibbleAt(1, cell::queueLeft), nullptr) << "the queue pibble jumps into the clicked cell";
    EXPECT_EQ(field.pibbleAt(1, 3), queued.get());

    ASSERT_TRUE(idle());
    const std::vector<GameEvent> matches = heard.ofType(event::match);
    ASSERT_FALSE(matches.empty());
    const GameEvent& first = matches.front();
    EXPECT_EQ(first.words[word::comboStep], 0);
    EXPECT_EQ(first.words[word::pibbles], 3);
    EXPECT_EQ(first.words[word::specials], 0);
    EXPECT_EQ(first.words[word::points], 30);
    EXPECT_EQ(first.words[word::score], 30);
    EXPECT_EQ(first.words[word::colour], game::colour::yellow);
    EXPECT_EQ(first.words[word::x], 244) << "the middle of the three cells";
    EXPECT_EQ(first.words[word::y], 150 - 45);
    EXPECT_EQ(first.pibble, nullptr);
    std::int32_t points = 0;
    for (const GameEvent& match : matches) {
        points += match.words[word::points];
    }
    EXPECT_EQ(field.getScore(), points);
    EXPECT_EQ(clicked->getParent(), nullptr) << "the clicked pibble leaves with its hole";
    EXPECT_EQ(field.statistics().movesCorrect, 1);
    EXPECT_GE(field.statistics().pibblesCreated, 3);
    EXPECT_EQ(field.getNoMatchCount(), 0);
    // The queue moved up and a new pibble came in from below.
    EXPECT_EQ(field.pibbleAt(1, cell::queueLeft), secondQueued.get());
    expectAllInPlace();
    for (std::int32_t column = 1; column <= field.columnCount(); ++column) {
        EXPECT_EQ(field.leavingCount(column), 0) << "the leavers are gone once the move settled";
        EXPECT_EQ(field.waitingCount(column), 0);
    }
}

TEST_F(FieldRules, AWrongMoveComesBackAndTooManyRemindThePlayer) {
    FieldWorld::setInt(game::ids::cfgHintNoMatchCount, 2);
    play(fourByThree, oneMatch);
    const SmartPtr<Pibble> clicked = field.pibbleAt(2, 1);
    const SmartPtr<Pibble> queued = field.pibbleAt(2, cell::queueLeft);

    click(2, 1);
    EXPECT_EQ(field.state(), state::checkMove);
    ASSERT_TRUE(idle());
    EXPECT_EQ(field.pibbleAt(2, 1), clicked.get()) << "back out of its hole";
    EXPECT_EQ(field.pibbleAt(2, cell::queueLeft), queued.get()) << "back in the queue";
    expectAllInPlace();
    EXPECT_FALSE(heardType(event::match));
    EXPECT_EQ(field.getNoMatchCount(), 1);
    EXPECT_EQ(field.statistics().movesWrongTotal, 1);
    EXPECT_EQ(field.statistics().movesWrongInitial, 1);
    EXPECT_FALSE(heardType(event::noMatchReminder));

    click(2, 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(heard.ofType(event::noMatchReminder).size(), 1u) << "the second wrong move in a row";
    EXPECT_EQ(field.getNoMatchCount(), 0);

    // Wrong moves after the first correct one are no longer initial ones.
    click(1, 3);
    ASSERT_TRUE(idle());
    click(2, 1);
    ASSERT_TRUE(idle());
    if (heard.ofType(event::match).size() == 1) {
        EXPECT_EQ(field.statistics().movesWrongTotal, 3);
        EXPECT_EQ(field.statistics().movesWrongInitial, 2);
    }
    EXPECT_EQ(field.statistics().movesCorrect, 1);
}

TEST_F(FieldRules, ClicksCountOnlyWhileTheFieldWaitsForThem) {
    game.field->loadLevel(game.level(fourByThree, colours(oneMatch)).get());
    click(1, 3);
    game.frame();
    field.announceReady();
    click(1, 3);
    EXPECT_FALSE(heardType(event::pibbleClicked)) << "not before play begins";
    field.go();
    ASSERT_TRUE(idle());
    field.startJump(field.pibbleAt(3, 4), 500, 300, {});
    game.frame();
    click(1, 3);
    EXPECT_FALSE(heardType(event::pibbleClicked)) << "not while a pibble jumps";
    ASSERT_TRUE(idle());
    field.pause();
    click(1, 3);
    EXPECT_FALSE(heardType(event::pibbleClicked)) << "not while paused";
    field.resume();
    click(1, 3);
    EXPECT_TRUE(heardType(event::pibbleClicked));
}

// Special pibbles shake their heads and the queue is not for moving; the VIB pibble moves after its event.
TEST_F(FieldRules, EachKindAnswersAClickItsOwnWay) {
    game.player().queueCollectable(7);
    play({"qlpscxq", "qXxxxxq"}, {"3812340", "2124510"},
         "<Vector id=\"collectables\"><Collectable row=\"1\" col=\"5\" type=\"7\" /></Vector>");
    struct Case {
        std::int32_t column;
        std::int32_t type;
        std::int32_t game::FieldStatistics::*counter;
    };
    const Case cases[] = {{1, event::clownClicked, &game::FieldStatistics::clownClicks},
                          {2, event::partyClicked, &game::FieldStatistics::partyClicks},
                          {3, event::stubbornClicked, &game::FieldStatistics::stubbornClicks},
                          {4, event::chainedClicked, &game::FieldStatistics::chainClicks},
                          {5, event::collectableClicked, nullptr},
                          {cell::queueLeft, event::queueClicked, &game::FieldStatistics::queueClicks}};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.column);
        heard.events.clear();
        const SmartPtr<Pibble> pibble = field.pibbleAt(1, one.column);
        click(1, one.column);
        ASSERT_EQ(heard.events.size(), 1u);
        EXPECT_EQ(heard.events.front().type, one.type);
        EXPECT_EQ(heard.events.front().pibble, pibble.get());
        EXPECT_EQ(heard.events.front().column(), one.column);
        EXPECT_EQ(field.state(), state::idle) << "no move";
        EXPECT_EQ(field.pibbleAt(1, one.column), pibble.get());
        if (one.counter != nullptr) {
            EXPECT_EQ(field.statistics().*one.counter, 1);
        }
        ASSERT_TRUE(idle());
    }

    heard.events.clear();
    const SmartPtr<Pibble> vib = field.pibbleAt(2, 1);
    const SmartPtr<Pibble> queued = field.pibbleAt(2, cell::queueLeft);
    click(2, 1);
    ASSERT_EQ(heard.events.size(), 1u);
    EXPECT_EQ(heard.events.front().type, event::vibClicked);
    EXPECT_EQ(heard.events.front().pibble, nullptr) << "the VIB click carries nothing";
    EXPECT_EQ(field.getClickedPibble(), vib.get());
    EXPECT_EQ(field.pibbleAt(2, 1), queued.get());
    EXPECT_EQ(field.state(), state::checkMove);
    EXPECT_EQ(field.vibCount(), 1) << "the VIB pibble down its hole still counts";
    ASSERT_TRUE(idle());
}

TEST_F(FieldRules, ARunOfFiveThroughTheClickedCellMakesAClownThere) {
    field.setAnnouncementsOn(true);
    play({"qxxxxxq", "qxxxxxq"}, {"1112110", "2345340"});
    click(1, 3);
    ASSERT_TRUE(until([&] { return heardType(event::match); }));
    const GameEvent match = heard.ofType(event::match).front();
    EXPECT_EQ(match.words[word::pibbles], 5);
    EXPECT_EQ(match.words[word::points], 80);
    const Pibble* clown = field.pibbleAt(1, 3);
    ASSERT_NE(clown, nullptr);
    EXPECT_TRUE(clown->isClown());
    EXPECT_EQ(clown->getColour(), game::colour::clown);
    EXPECT_EQ(field.statistics().clownsCreated, 1);
    for (const std::int32_t column : {1, 2, 4, 5}) {
        EXPECT_EQ(field.pibbleAt(1, column), nullptr) << column;
    }
    ASSERT_TRUE(idle());
    const std::vector<GameEvent> appeared = heard.ofType(event::clownAppeared);
    ASSERT_EQ(appeared.size(), 1u) << "announced in the refill";
    EXPECT_EQ(appeared.front().row(), 1);
    EXPECT_EQ(appeared.front().column(), 3);
}

TEST_F(FieldRules, AChainedPibbleInARunIsFreedAndStays) {
    play({"qxcxxq", "qxxxxq"}, {"111240", "232530"});
    const SmartPtr<Pibble> chained = field.pibbleAt(1, 2);
    click(1, 3);
    ASSERT_TRUE(until([&] { return heardType(event::match); }));
    const GameEvent match = heard.ofType(event::match).front();
    EXPECT_EQ(match.words[word::pibbles], 3) << "the freed pibble counts as removed";
    EXPECT_EQ(match.words[word::chained], 1);
    EXPECT_EQ(match.words[word::specials], 1);
    EXPECT_EQ(match.words[word::points], 30 + 150);
    EXPECT_EQ(field.pibbleAt(1, 2), chained.get());
    EXPECT_FALSE(chained->isChained());
    ASSERT_TRUE(idle());
}

// The moved pibble turns stubborn and two chained pibbles are freed: the step empties no cell, and the
// queue, compacted for the refill, still moves up with its pibbles drawn where they stand.
TEST_F(FieldRules, AStepThatEmptiesNoCellStillShiftsTheQueueInPlace) {
    field.setStubbornChance(100);
    play({"qccxxq", "qxxxxq", "qxxxxq"}, {"111240", "234530", "353450"});
    const SmartPtr<Pibble> secondQueued = field.pibbleAt(2, cell::queueLeft);
    const SmartPtr<Pibble> thirdQueued = field.pibbleAt(3, cell::queueLeft);
    click(1, 3);
    ASSERT_TRUE(until([&] { return heardType(event::match); }));
    const GameEvent first = heard.ofType(event::match).front();
    EXPECT_EQ(first.words[word::chained], 2);
    EXPECT_EQ(first.words[word::points], 30 + 2 * 150);
    EXPECT_TRUE(field.pibbleAt(1, 3)->isStubborn());
    EXPECT_FALSE(field.pibbleAt(1, 1)->isChained());
    ASSERT_TRUE(idle());
    // The three still match: the next step takes them, the stubborn one among them, without a new stubborn.
    const std::vector<GameEvent> matches = heard.ofType(event::match);
    ASSERT_GE(matches.size(), 2u);
    EXPECT_EQ(matches[1].words[word::comboStep], 1);
    EXPECT_EQ(matches[1].words[word::stubborn], 1);
    EXPECT_EQ(field.pibbleAt(1, cell::queueLeft), secondQueued.get());
    EXPECT_EQ(field.pibbleAt(2, cell::queueLeft), thirdQueued.get());
    expectAllInPlace();
}

TEST_F(FieldRules, APartyMatchTakesEveryPibbleOfItsColourForItsOwnPoints) {
    game.player().queueCollectable(7);
    // Red: a party pibble and a red in the row, a red below each end of it, a red carrying a collectable.
    play({"qpxxxq", "qxxxxq", "qxxxxq"}, {"333240", "134350", "245130"},
         "<Vector id=\"collectables\"><Collectable row=\"3\" col=\"4\" type=\"7\" /></Vector>");
    const SmartPtr<Pibble> redBelowLeft = field.pibbleAt(2, 1);
    const SmartPtr<Pibble> redBelowMiddle = field.pibbleAt(2, 3);
    const SmartPtr<Pibble> carrier = field.pibbleAt(3, 4);
    click(1, 3);
    ASSERT_TRUE(until([&] { return field.state() == state::partyMatch; }));
    const GameEvent match = heard.ofType(event::match).front();
    EXPECT_EQ(match.words[word::parties], 1);
    EXPECT_EQ(match.words[word::points], 30 + 150);
    EXPECT_EQ(match.words[word::colour], game::colour::red);
    EXPECT_EQ(match.words[word::x], field.columnX(1, 1)) << "where the party pibble stood";
    EXPECT_TRUE(field.isPartyRemoved());
    EXPECT_EQ(field.getPartyColourSet(), std::vector<std::int32_t>{game::colour::red});
    for (int draw = 0; draw < 100; ++draw) {
        EXPECT_NE(field.newPibbleColour(), game::colour::red);
    }
    ASSERT_TRUE(until([&] { return field.state() != state::partyMatch; }));
    const std::vector<GameEvent> points = heard.ofType(event::partyPoints);
    ASSERT_EQ(points.size(), 2u) << "the carrier of a collectable stays out of the party";
    for (const GameEvent& one : points) {
        EXPECT_EQ(one.words[0], 10);
        EXPECT_EQ(one.words[3], game::colour::red);
    }
    EXPECT_EQ(field.partyPendingCount(), 0);
    EXPECT_EQ(field.partyDoneCount(), 0);
    ASSERT_TRUE(idle());
    EXPECT_NE(field.pibbleAt(2, 1), redBelowLeft.get());
    EXPECT_NE(field.pibbleAt(2, 3), redBelowMiddle.get());
    std::int32_t matched = 0;
    for (const GameEvent& one : heard.ofType(event::match)) {
        matched += one.words[word::points];
    }
    EXPECT_EQ(field.getScore(), matched) << "the party's points are the listeners' to show";
    std::int32_t row = 0;
    std::int32_t column = 0;
    EXPECT_TRUE(field.findPibble(carrier.get(), row, column) || carrier->isDead());
}

TEST_F(FieldRules, PartyPointsDoubleOnHard) {
    struct Hard {
        Hard() { game::setDifficulty(game::difficultyHard); }
        ~Hard() { game::setDifficulty(game::difficultyNormal); }
    } hard;
    play({"qpxxxq", "qxxxxq"}, {"333240", "134350"});
    click(1, 3);
    ASSERT_TRUE(idle());
    const std::vector<GameEvent> points = heard.ofType(event::partyPoints);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().words[0], 20);
    EXPECT_EQ(heard.ofType(event::match).front().words[word::points], 2 * (30 + 150));
}

// One announcement a frame, by priority; none while a dialog is open; the collectable's after a save.
TEST_F(FieldRules, AnnouncementsComeOneAFrameByPriority) {
    game.player().queueCollectable(7);
    ScriptedScene& scene = ScriptedScene::enter();
    // A party pibble's stars fly in the scene, which these frames do not run: the party pibble waiting to be
    // announced is a plain one here.
    play({"qlsxxq", "qxxcxq"}, {"381240", "232530"},
         "<Vector id=\"collectables\"><Collectable row=\"1\" col=\"4\" type=\"7\" /></Vector>");
    field.setPendingAnnouncement(PlayField::Pending::collectable, field.pibbleAt(1, 4));
    field.setPendingAnnouncement(PlayField::Pending::party, field.pibbleAt(2, 2));
    const SmartPtr<ui::Dialog> dialog = new ui::Dialog();
    scene.showDialog(dialog.get());
    field.setAnnouncementsOn(true);
    game.frames(3);
    EXPECT_TRUE(heard.events.empty()) << "held while a dialog is open: " << heard.events.front().type;
    scene.closeDialog(dialog.get());
    const std::int32_t order[] = {event::collectableAppeared, event::stubbornAppeared, event::clownAppeared,
                                  event::partyAppeared, event::chainedAppeared};
    for (const std::int32_t type : order) {
        game.frame();
        ASSERT_EQ(heard.events.size(), 1u);
        EXPECT_EQ(heard.events.front().type, type);
        if (type == event::collectableAppeared) {
            EXPECT_EQ(scene.saves, 1) << "saved before it is announced";
        }
        heard.events.clear();
    }
    game.frames(3);
    EXPECT_TRUE(heard.events.empty());
    // A pending pibble no longer on the field is forgotten without a word.
    const SmartPtr<Pibble> stray = new Pibble();
    field.setPendingAnnouncement(PlayField::Pending::clown, stray.get());
    game.frames(2);
    EXPECT_TRUE(heard.events.empty());
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::clown), nullptr);
    field.setState(state::levelOver);
    ui::SceneManager::destroy();
}

// Three rows of a Latin square in yellow, blue and red with a white queue: no run and no move.
const std::vector<std::string> stuckLayout = {"qxxxq", "qxxxq", "qxxxq"};
const std::vector<std::string> stuckColours = {"41230", "42310", "43120"};

TEST_F(FieldRules, AStuckBoardIsReshuffledOrRecolouredOnlyInVib) {
    ScriptedScene& scene = ScriptedScene::enter();
    for (const std::int32_t mode : {game::gameModeAction, game::gameModeRelax}) {
        scene.mode = mode;
        play(stuckLayout, stuckColours);
        ASSERT_EQ(field.possibleMoveCount(), 0);
        field.setState(state::endOfMove);
        game.frame();
        EXPECT_EQ(field.state(), state::idle);
        EXPECT_EQ(field.statistics().stuck, 0) << "left as it is";
        EXPECT_EQ(field.pibbleAt(1, 1)->getColour(), game::colour::yellow);
        field.reset();
    }
    scene.mode = game::gameModeVib;
    play(stuckLayout, stuckColours);
    field.setState(state::endOfMove);
    game.frame();
    EXPECT_EQ(field.statistics().stuck, 1);
    EXPECT_EQ(field.statistics().stuckSwaps, PlayField::reshuffleSwaps) << "no swap brings white in";
    EXPECT_EQ(field.statistics().stuckRefills, 1);
    EXPECT_GE(field.possibleMoveCount(), 2);
    EXPECT_EQ(field.lastScan().counts.matchCells, 0);
    ASSERT_TRUE(idle());
    expectAllInPlace();
    ui::SceneManager::destroy();
}

// Without queue pibbles no move can ever be made: the reshuffle and the recolouring both give up.
TEST_F(FieldRules, ABoardThatCanNeverMoveEndsItsSearches) {
    play({".xxx.", ".xxx.", ".xxx."}, {"01230", "02310", "03120"});
    field.setState(state::endOfMove);
    game.frame();
    EXPECT_EQ(field.state(), state::idle);
    EXPECT_EQ(field.statistics().stuck, 1);
    EXPECT_EQ(field.statistics().stuckRefills, 1);
    EXPECT_EQ(field.possibleMoveCount(), 0);
}

TEST_F(FieldRules, ALevelStartsRecolouredForItsMoves) {
    for (const int moves : {1, 3, 6}) {
        SCOPED_TRACE(moves);
        field.reset();
        field.loadLevel(game.level({"qxxxxxq", "qxxxxxq", "qxxxxxq", "qxxxxxq"}, {}, moves).get());
        EXPECT_EQ(field.lastScan().counts.matchCells, 0);
        EXPECT_GE(field.possibleMoveCount(), moves);
        EXPECT_EQ(field.pibbleAt(1, 1)->getColour() >= 1 && field.pibbleAt(1, 1)->getColour() <= 5, true);
    }
    // Three colours on nine rows of ten almost never fall without a run: the rounds run out, and the start
    // is mended rather than left with runs for the first click to take.
    const std::vector<std::string> full(9, "qxxxxxxxxxxq");
    for (const std::uint64_t seed : {1, 2, 3}) {
        SCOPED_TRACE(seed);
        game::Random::instance()->setSeed(seed);
        field.reset();
        const kernel::SmartPtr<game::LevelFile> level = game.level(full, {}, 3);
        level->setProperty("numcolors", 3);
        field.loadLevel(level.get());
        EXPECT_EQ(field.lastScan().counts.matchCells, 0);
        EXPECT_GE(field.possibleMoveCount(), 3);
    }
    // A saved game keeps its colours.
    field.reset();
    field.loadLevel(game.level(fourByThree, colours(oneMatch)).get());
    EXPECT_EQ(field.pibbleAt(2, 3)->getColour(), 5);
}

TEST_F(FieldRules, AHintPointsAtAMoveAndComesBackAfterItsRest) {
    play(fourByThree, oneMatch);
    // Only the move at (1, 3) is left when the other colours cannot pair.
    std::vector<std::pair<std::int32_t, std::int32_t>> marked;
    for (std::int32_t row = 1; row <= 3; ++row) {
        for (std::int32_t column = 1; column <= 4; ++column) {
            if (field.moveMark(row, column) != 0) {
                marked.emplace_back(row, column);
            }
        }
    }
    ASSERT_FALSE(marked.empty());
    field.showHint();
    const std::vector<GameEvent> used = heard.ofType(event::hintUsed);
    ASSERT_EQ(used.size(), 1u);
    EXPECT_NE(std::find(marked.begin(), marked.end(), std::make_pair(used[0].row(), used[0].column())),
              marked.end());
    int hops = 0;
    for (ui::Modifier* modifier : used[0].pibble->getModifierList().items()) {
        hops += modifier->isKindOf(game::PibbleHupModifier::classInfo) ? 1 : 0;
    }
    EXPECT_EQ(hops, PlayField::moveHops);
    game.frames(20);
    EXPECT_FALSE(heardType(event::hintAvailable));
    game.frames(20);
    EXPECT_EQ(heard.ofType(event::hintAvailable).size(), 1u) << "after its rest of 500 ms";

    // Without a move there is nothing to point at.
    heard.events.clear();
    PlayField::ScanCounts none;
    field.setScanCounts(none);
    field.showHint();
    game.frames(40);
    EXPECT_TRUE(heard.events.empty());
}

// The player waits for collectable 5, a yellow one, to go on the field; every new pibble is yellow.
class CollectableRefill : public ::testing::Test, public RulesGame {
protected:
    CollectableRefill()
        : RulesGame("<Rules><Vector id=\"collectables\"><Collectable pibbleid=\"5\" colorid=\"1\" />"
                    "</Vector></Rules>") {
        game.player().queueCollectable(5);
        FieldWorld::setInt(game::ids::cfgCollectableCounter, 1);
    }
    void start(const std::vector<std::string>& layout, const std::vector<std::string>& digits) {
        play(layout, digits);
        field.setNumColors(1);
    }
    // The cell's pibble goes and the refill makes a new one there.
    const Pibble* refillCell(std::int32_t column) {
        field.removePibble(field.pibbleAt(1, column));
        field.gridLayer().setCellAt(1, column, nullptr);
        field.scanMatches();
        field.refill(true);
        return field.pibbleAt(1, column);
    }
};

// A waiting collectable goes on a new pibble of its colour that stands in no run and is no move, and stays
// in the player's queue until it is claimed.
TEST_F(CollectableRefill, AWaitingCollectableGoesOnAFittingNewPibble) {
    // Holes between the cells: a new pibble there is in no run and no move.
    start({"qx.x.xq"}, {"1202010"});
    struct Case {
        const char* what;
        std::int32_t column;
        int threshold;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"counter below the threshold", 1, 1000, 0}, {"fits", 1, 1, 5}, {"one is on the field", 3, 1, 0}};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.what);
        FieldWorld::setInt(game::ids::cfgCollectableCounter, one.threshold);
        const Pibble* made = refillCell(one.column);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->getCollectableId(), one.expected);
        if (one.expected != 0) {
            EXPECT_EQ(made->getColour(), game::colour::yellow);
            EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::collectable), made);
            EXPECT_EQ(game::CollectablesManager::instance()->counter(), 0);
            EXPECT_TRUE(game.player().isCollectableQueued(5)) << "queued until claimed";
            EXPECT_EQ(field.collectableCount(), 1);
        }
    }
    ASSERT_TRUE(idle());
}

TEST_F(CollectableRefill, NoCollectableGoesIntoARun) {
    start({"qxxxq"}, {"21210"});
    const Pibble* made = refillCell(2);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getCollectableId(), 0) << "yellow between two yellows stands in a run";
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::collectable), nullptr);
}

} // namespace
