// The play field run headless: a level laid out and stored back, the cell codes and their places on the
// screen, the hit test, the events in their order, the random picks and the idle reminder.
#include "game/field/PlayField.h"
#include "engine/kernel/ValueDocument.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldRenderer.h"
#include "game/field/LevelElementSprite.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleHupModifier.h"
#include "game/field/StateMachine.h"

#include "DebugOutput.h"
#include "FieldGame.h"

#include <gtest/gtest.h>

namespace {

using fieldtest::FieldGame;
using fieldtest::RecordingListener;
using game::Pibble;
using game::PlayField;
using kernel::SmartPtr;
namespace cell = game::cell;
namespace flag = game::pibbleFlag;
namespace state = game::fieldState;
namespace event = game::eventType;

// Every letter once: the queue, plain, clown, party, stubborn and chained pibbles, each also as a VIB, and
// an empty cell; the second row's queue cell is empty.
const std::vector<std::string> everyKind = {"qxXlL.sSpPcq", ".Cxxxxxxxxx."};

TEST(PlayField, LaysOutALevelByItsLetters) {
    FieldGame game;
    game.player().queueCollectable(7);
    game.player().queueCollectable(40);
    const std::string collectables =
        "<Vector id=\"collectables\"><Collectable row=\"1\" col=\"1\" type=\"7\" />"
        "<Collectable row=\"2\" col=\"5\" type=\"9\" /><Collectable row=\"2\" col=\"6\" type=\"40\" />"
        "</Vector>";
    PlayField& field = *game.field;
    field.loadLevel(game.level(everyKind, collectables).get());

    EXPECT_EQ(field.rowCount(), 2);
    EXPECT_EQ(field.columnCount(), 10);
    EXPECT_EQ(field.state(), state::loaded);
    EXPECT_TRUE(field.isPaused());
    EXPECT_TRUE(field.isFrozen());
    EXPECT_TRUE(field.isRescanPending());
    EXPECT_EQ(field.getTimeMax(), 60000);

    struct Expected {
        std::int32_t column;
        std::int32_t flags;
        bool removed;
    };
    const Expected row1[] = {{1, 0, false},
                             {2, flag::vib, false},
                             {3, flag::clown, false},
                             {4, flag::clown | flag::vib, false},
                             {5, 0, true},
                             {6, flag::stubborn, false},
                             {7, flag::stubborn | flag::vib, false},
                             {8, flag::party, false},
                             {9, flag::party | flag::vib, false},
                             {10, flag::chained, false}};
    for (const Expected& expected : row1) {
        SCOPED_TRACE(expected.column);
        const Pibble* pibble = field.pibbleAt(1, expected.column);
        ASSERT_NE(pibble, nullptr);
        EXPECT_EQ(pibble->getFlags(), expected.flags);
        EXPECT_EQ(pibble->isRemoved(), expected.removed);
        EXPECT_EQ(pibble->getX(), field.columnX(1, expected.column));
        EXPECT_EQ(pibble->getY(), field.rowY(1, expected.column));
    }
    EXPECT_EQ(field.pibbleAt(1, 5)->getColour(), game::colour::none) << "a hole has no colour";
    EXPECT_EQ(field.pibbleAt(1, 3)->getColour(), game::colour::clown);
    EXPECT_EQ(field.pibbleAt(1, 4)->getColour(), game::colour::clown) << "a VIB clown is a clown too";
    EXPECT_EQ(field.pibbleAt(1, 1)->getCollectableId(), 7) << "queued for the player";
    EXPECT_EQ(field.pibbleAt(2, 5)->getCollectableId(), 0) << "not queued: left out";
    EXPECT_EQ(field.pibbleAt(2, 6)->getCollectableId(), 0) << "no collectable has that id";
    EXPECT_NE(field.pibbleAt(1, cell::queueLeft), nullptr);
    EXPECT_EQ(field.pibbleAt(2, cell::queueLeft), nullptr) << "an empty queue cell holds nothing";
    // The last special pibble of each kind loaded waits to be announced.
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::clown), field.pibbleAt(1, 3));
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::stubborn), field.pibbleAt(1, 6));
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::party), field.pibbleAt(1, 8));
    EXPECT_EQ(field.pibbleAt(2, 1)->getFlags(), flag::chained | flag::vib);
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::chained), field.pibbleAt(2, 1));
}

// A VIB clown given a colour digit of its own still looks like a clown and completes a run of any colour.
TEST(PlayField, AVibClownIsAWildcardClown) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxLq"}, "<Vector id=\"colors\"><Row data=\"13350\" /></Vector>").get());
    const Pibble& clown = *field.pibbleAt(1, 3);
    EXPECT_EQ(clown.getFlags(), flag::clown | flag::vib);
    EXPECT_EQ(clown.getColour(), game::colour::clown);
    EXPECT_EQ(field.lastScan().counts.matchCells, 3);
    EXPECT_EQ(field.lastScan().counts.clowns, 1);
}

// A level asking for colours no pibble has gets the nearest ones, and the file is named in the debug output;
// the modes' colour counts are held in the same range.
TEST(PlayField, ColourCountsAndDigitsStayWithinThePibblesColours) {
    testsupport::DebugOutput output;
    FieldGame game;
    PlayField& field = *game.field;
    const std::pair<const char*, std::int32_t> counts[] = {{"0", 1}, {"-3", 1}, {"4", 4},         {"7", 7},
                                                           {"8", 7}, {"9", 7},  {"2147483647", 7}};
    for (const auto& [count, used] : counts) {
        SCOPED_TRACE(count);
        std::string xml = fieldtest::levelXml({"qxxxq"});
        xml.replace(xml.find("numcolors=\"5\""), 13, std::string("numcolors=\"") + count + "\"");
        const std::string path = game.folder.write("colours.xml", xml);
        field.restart(new game::LevelFile(path));
        EXPECT_EQ(field.numColors(), used);
        const std::string heard = output.take();
        EXPECT_EQ(heard.find("colours.xml: numcolors") != std::string::npos, used != std::stoi(count))
            << heard;
        for (int draw = 0; draw < 50; ++draw) {
            const std::int32_t colour = field.newPibbleColour();
            EXPECT_GE(colour, game::colour::firstReal);
            EXPECT_LE(colour, used);
        }
    }
    for (const std::int32_t count : {0, 8, 12}) {
        field.setNumColors(count);
        EXPECT_EQ(field.numColors(), count == 0 ? 1 : 7) << count;
    }

    // Digits 8 and 9 are no colour of a pibble of its own; a clown's digit makes no difference.
    field.restart(game.level({"qxxlq", "qLxxq"},
                             "<Vector id=\"colors\"><Row data=\"89396\" /><Row data=\"89120\" /></Vector>")
                      .get());
    EXPECT_EQ(field.pibbleAt(1, cell::queueLeft)->getColour(), 5);
    EXPECT_EQ(field.pibbleAt(1, 1)->getColour(), 5);
    EXPECT_EQ(field.pibbleAt(1, 2)->getColour(), 3);
    EXPECT_EQ(field.pibbleAt(1, 3)->getColour(), game::colour::clown);
    EXPECT_EQ(field.pibbleAt(2, cell::queueLeft)->getColour(), 5);
    EXPECT_EQ(field.pibbleAt(2, 1)->getColour(), game::colour::clown);
    EXPECT_EQ(field.pibbleAt(2, 2)->getColour(), 1);
    const std::string heard = output.take();
    for (const char* cellReport :
         {"row 1, column 0: colour 8", "row 1, column 1: colour 9", "row 2, column 0: colour 8"}) {
        EXPECT_NE(heard.find(cellReport), std::string::npos) << cellReport << " in " << heard;
    }
    for (const char* clown : {"row 1, column 3", "row 2, column 1"}) {
        EXPECT_EQ(heard.find(clown), std::string::npos) << "a clown's digit is not reported";
    }
}

TEST(PlayField, CellsLieWhereTheLevelPutsThem) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxxq", "qxxxq"}).get());
    struct Place {
        std::int32_t row;
        std::int32_t column;
        std::int32_t x;
        std::int32_t y;
    };
    const Place places[] = {{1, 0, 130, 150},  {1, 1, 200, 150},   {2, 3, 288, 194},  {1, 11, 620, 150},
                            {64, 0, 130, 700}, {64, 11, 620, 700}, {64, 2, 244, -30}, {10, 1, 200, 0},
                            {0, 1, 200, 0},    {1, 12, 0, 150},    {1, -1, 0, 150},   {200, 1, 200, 0}};
    for (const Place& place : places) {
        SCOPED_TRACE(std::to_string(place.row) + "," + std::to_string(place.column));
        EXPECT_EQ(field.columnX(place.row, place.column), place.x);
        EXPECT_EQ(field.rowY(place.row, place.column), place.y);
    }
    // Off the field: above the screen, the column's x moved by an odd spread to the right or an even one to
    // the left, 10 to 89 pixels.
    for (int draw = 0; draw < 50; ++draw) {
        EXPECT_EQ(field.rowY(cell::offField, 2), -30);
        const int spread = field.columnX(cell::offField, 2) - 244;
        EXPECT_GE(std::abs(spread), 10);
        EXPECT_LT(std::abs(spread), 90);
        EXPECT_EQ(spread > 0, std::abs(spread) % 2 == 1) << spread;
    }
}

TEST(PlayField, CellCodesReachTheQueuesAboveAndBeyondTheField) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxxq"}).get());
    const SmartPtr<Pibble> first = new Pibble();
    const SmartPtr<Pibble> second = new Pibble();
    field.setPibble(cell::waiting, 2, first.get());
    field.setPibble(cell::waiting, 2, second.get());
    EXPECT_EQ(field.waitingCount(2), 2);
    EXPECT_EQ(field.pibbleAt(cell::waiting, 2), first.get()) << "first come, first to drop";
    field.setPibble(cell::waiting, 2, nullptr);
    EXPECT_EQ(field.pibbleAt(cell::waiting, 2), second.get());
    field.setPibble(cell::offField, 3, first.get());
    EXPECT_EQ(field.leavingCount(3), 1);
    EXPECT_EQ(field.pibbleAt(cell::offField, 3), nullptr);
    field.setPibble(1, cell::offField, first.get());
    field.setPibble(1, cell::waiting, first.get());
    EXPECT_EQ(field.pibbleAt(1, cell::offField), nullptr);
    EXPECT_EQ(field.pibbleAt(1, cell::waiting), nullptr);
    EXPECT_EQ(field.pibbleAt(0, 1), nullptr);
    EXPECT_EQ(field.pibbleAt(1, 12), nullptr);

    // A move off the field cheers and lands beside the column above the screen.
    Pibble* moved = field.pibbleAt(1, 1);
    field.movePibble(1, 1, cell::offField, 1, false);
    EXPECT_EQ(field.pibbleAt(1, 1), nullptr);
    EXPECT_EQ(field.leavingCount(1), 1);
    EXPECT_EQ(moved->getStyle(), game::headStyle::happy);
    EXPECT_EQ(moved->getY(), -30);
}

// The jump a move gets, by the kind of move: from the queue into the field, back to the queue, a fall
// down a column with and without a hole passed, off the field.
TEST(PlayField, EachKindOfMoveJumpsItsOwnWay) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxq", "qx.q", "qxxq"}).get());
    struct Move {
        const char* name;
        std::int32_t fromRow, fromColumn, toRow, toColumn;
        bool bounceAtEnd, secondKind, trail, dustAtEnd;
    };
    const Move moves[] = {{"queue to field", 1, 0, 1, 2, false, false, true, true},
                          {"field to queue", 1, 2, 1, 0, true, false, false, true},
                          {"fall", 1, 1, 2, 1, true, false, false, false},
                          {"fall past a hole", 1, 2, 3, 2, true, true, false, false},
                          {"drop from above past a hole", cell::waiting, 2, 2, 2, true, true, false, false},
                          {"off the field", 3, 1, cell::offField, 1, true, false, false, false}};
    for (const Move& move : moves) {
        SCOPED_TRACE(move.name);
        const PlayField::JumpOptions options =
            field.jumpOptions(move.fromRow, move.fromColumn, move.toRow, move.toColumn);
        EXPECT_TRUE(options.bounceAtStart);
        EXPECT_EQ(options.bounceAtEnd, move.bounceAtEnd);
        EXPECT_EQ(options.secondKind, move.secondKind);
        EXPECT_EQ(options.trail, move.trail);
        EXPECT_EQ(options.dustAtStart, move.trail);
        EXPECT_EQ(options.dustAtEnd, move.dustAtEnd);
    }
}

// Row by row the field's columns come before the queue, whose pibble overlaps the first column's; the
// right queue column is never hit.
TEST(PlayField, TheHitTestTakesFieldCellsBeforeTheQueue) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxq", "qxxq"}).get());
    std::int32_t row = 0;
    std::int32_t column = 0;
    ASSERT_TRUE(field.cellAtPoint(160, 140, row, column));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 1);
    ASSERT_TRUE(field.cellAtPoint(100, 140, row, column));
    EXPECT_EQ(column, cell::queueLeft);
    ASSERT_TRUE(field.cellAtPoint(100, 170, row, column));
    EXPECT_EQ(row, 1) << "the upper row's pibble reaches down over the lower one";
    EXPECT_FALSE(field.cellAtPoint(630, 140, row, column));
    EXPECT_FALSE(field.cellAtPoint(10, 10, row, column));
}

// A running game written into its level and read back lays out the same field.
TEST(PlayField, ARunningGameStoredAndReadBackIsTheSameField) {
    struct Look {
        bool present;
        std::int32_t colour, flags, gender, style, collectable, nameIndex;
        bool removed;
        bool operator==(const Look&) const = default;
    };
    const auto lookOf = [](const PlayField& field) {
        std::vector<Look> looks;
        for (std::int32_t r = 1; r <= 2; ++r) {
            for (std::int32_t c = 0; c <= 10; ++c) {
                const Pibble* p = field.pibbleAt(r, c);
                looks.push_back(p == nullptr
                                    ? Look{}
                                    : Look{true, p->getColour(), p->getFlags(), p->getGender(), p->getStyle(),
                                           p->getCollectableId(), p->getNameIndex(), p->isRemoved()});
            }
        }
        return looks;
    };
    FieldGame game;
    game.player().queueCollectable(4);
    PlayField& field = *game.field;
    game.play(everyKind,
              "<Vector id=\"collectables\"><Collectable row=\"2\" col=\"6\" type=\"4\" /></Vector>");
    field.pibbleAt(1, 1)->setStyle(game::headStyle::happy);
    field.pibbleAt(1, 2)->setGender(1);
    field.pibbleAt(2, 4)->setNameIndex(17);
    const std::vector<Look> before = lookOf(field);
    ASSERT_TRUE(before[11 + 6].collectable == 4);
    fieldtest::ScriptedScene::enter();
    field.storeToLevel();
    ui::SceneManager::destroy();
    const kernel::NodeValue& properties = field.getLevelFile()->document().getNode("properties");
    EXPECT_EQ(properties.getValue("difficulty").asInt(), 1) << "the scene's own part";
    EXPECT_EQ(properties.getValue("numcolors").asInt(), 5);
    EXPECT_EQ(properties.getValue("time").asInt(), 0);
    const SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument();
    field.writeLevelXml(*saved);
    saved->setSavePath(game.folder.file("save.xml"));
    ASSERT_EQ(saved->save(), kernel::SaveResult::Saved);

    field.restart(new game::LevelFile(game.folder.file("save.xml")));
    EXPECT_EQ(lookOf(field), before);
}

TEST(PlayField, ResetTakesTheBoardAwayWithItsAnimations) {
    FieldGame game;
    PlayField& field = *game.field;
    game.play({"qxlpq", "qxsxq"},
              "<Vector id=\"elements\"><E type=\"fixed\" image=\"NONE\" x=\"5\" y=\"6\" />"
              "<E type=\"fixed\" image=\"NONE\" x=\"5\" y=\"6\" linkunder=\"background\" /></Vector>");
    game.frame();
    ASSERT_EQ(field.getElements().size(), 2u);
    ASSERT_GT(field.runningAnimationCount(), 0);
    const SmartPtr<Pibble> held = field.pibbleAt(1, 2);
    field.reset();
    EXPECT_EQ(field.runningAnimationCount(), 0);
    EXPECT_EQ(field.effectAnimationCount(), 0);
    EXPECT_TRUE(held->isDead());
    EXPECT_TRUE(held->getModifierList().empty());
    EXPECT_EQ(field.pibbleAt(1, 2), nullptr);
    EXPECT_TRUE(field.getElements().empty());
    game.frame();
    game::FieldRenderer* renderer = game::FieldRenderer::instance();
    EXPECT_EQ(renderer->fieldCount(), 0) << "no ghost of the old board stays painted";
    EXPECT_EQ(renderer->topCount(), 0);
    EXPECT_EQ(renderer->backgroundCount(), 1) << "the backdrop stays";

    field.restart(game.level({"qxxq"}).get());
    EXPECT_NE(field.pibbleAt(1, 2), nullptr);
}

// Pibbles hopping when the board goes are queued for the field layer as their animations stop. The cleaner
// unlinks them (which clears their dead mark) before the renderer next paints when the reset comes in a
// frame that painted already, or in one that does not paint: they still stay off the board.
TEST(PlayField, ABoardResetWhileItHopsLeavesNoGhostWhenTheCleanerGoesFirst) {
    FieldGame game;
    PlayField& field = *game.field;
    game.play({"qxxxq", "qxxxq"});
    field.startEndLevelHops();
    game.frames(20);
    game::FieldRenderer* renderer = game::FieldRenderer::instance();
    ASSERT_GT(renderer->topCount(), 0);
    field.reset();
    game.root->removeDeadDescendants();
    renderer->paint(*game.painter);
    EXPECT_EQ(renderer->fieldCount(), 0);
    EXPECT_EQ(renderer->topCount(), 0);
}

TEST(PlayField, EventsReachTheirHandlersInOrder) {
    FieldGame game;
    PlayField& field = *game.field;
    RecordingListener first;
    RecordingListener second;
    field.addListener(&first);
    field.addListener(&second);
    field.loadLevel(game.level({"qxxq"}).get());
    field.announceReady();
    EXPECT_EQ(field.state(), state::ready);
    field.go();
    EXPECT_EQ(field.state(), state::idle);
    EXPECT_FALSE(field.isPaused());
    EXPECT_TRUE(field.isInputEnabled());
    field.pause();
    EXPECT_TRUE(field.isPaused());
    EXPECT_FALSE(field.isInputEnabled());
    field.resume();
    field.freeze();
    EXPECT_TRUE(field.isFrozen());
    EXPECT_TRUE(field.isSuspended());
    field.resume();
    EXPECT_FALSE(field.isFrozen());
    EXPECT_FALSE(field.isSuspended());
    field.makeUnhappy(1, 2);
    field.broadcast(game::GameEvent::of(24));
    field.broadcast(game::GameEvent::of(event::levelFinished));
    const std::vector<std::int32_t> expected = {event::ready,           event::go,           event::paused,
                                                event::resumed,         event::frozen,       event::resumed,
                                                event::unhappyAppeared, event::levelFinished};
    EXPECT_EQ(first.types(), expected);
    EXPECT_EQ(second.types(), expected);
    EXPECT_EQ(first.heard[6].pibble, field.pibbleAt(1, 2));
    EXPECT_EQ(first.heard[6].row, 1);
    EXPECT_EQ(first.heard[6].column, 2);
}

// Each type reaches its one handler; an unknown type none.
TEST(PlayField, EachEventTypeHasOneHandler) {
    const std::int32_t known[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                  15, 16, 17, 18, 19, 20, 21, 22, 23, 30, 31, 32, 40};
    for (const std::int32_t type : known) {
        RecordingListener listener;
        EXPECT_TRUE(listener.deliver(game::GameEvent::of(type)));
        ASSERT_EQ(listener.types(), std::vector<std::int32_t>{type});
    }
    RecordingListener listener;
    for (const std::int32_t unknown : {0, 24, 29, 33, 39, 41, -1}) {
        EXPECT_FALSE(listener.deliver(game::GameEvent::of(unknown)));
    }
    EXPECT_TRUE(listener.heard.empty());
}

// A listener that leaves during a broadcast, taking the next one with it, is not called again and the
// one taken out is not called at all.
TEST(PlayField, ListenersMayLeaveDuringABroadcast) {
    FieldGame game;
    PlayField& field = *game.field;
    struct Leaving : RecordingListener {
        PlayField* field = nullptr;
        RecordingListener* other = nullptr;
        void onGo(const game::GameEvent& e) override {
            hear(e);
            field->removeListener(this);
            field->removeListener(other);
        }
    };
    Leaving leaving;
    RecordingListener after;
    leaving.field = &field;
    leaving.other = &after;
    field.addListener(&leaving);
    field.addListener(&after);
    field.broadcast(game::GameEvent::of(event::go));
    field.broadcast(game::GameEvent::of(event::go));
    EXPECT_EQ(leaving.heard.size(), 1u);
    EXPECT_TRUE(after.heard.empty());
}

TEST(PlayField, TheStateMachineRunsTheCurrentStatesHandler) {
    game::StateMachine machine;
    std::vector<std::int32_t> ran;
    machine.setState(
        2, [&ran](std::int32_t argument) { ran.push_back(argument); }, 7);
    machine.onUpdate(16);
    EXPECT_TRUE(ran.empty()) << "state 0 has no handler";
    machine.switchTo(2);
    machine.onUpdate(16);
    machine.onUpdate(20);
    EXPECT_EQ(ran, (std::vector<std::int32_t>{7, 7}));
    EXPECT_EQ(machine.getPrevious(), 0);
    EXPECT_EQ(machine.getTimeInState(), 36);
    // Registered for the current state: it takes over at once.
    machine.setState(
        2, [&ran](std::int32_t argument) { ran.push_back(-argument); }, 3);
    machine.onUpdate(16);
    EXPECT_EQ(ran.back(), -3);
    machine.setSuspended(true);
    machine.onUpdate(16);
    EXPECT_EQ(ran.size(), 3u);
    machine.setSuspended(false);
    machine.switchTo(40);
    machine.onUpdate(16);
    EXPECT_EQ(ran.size(), 3u);
    EXPECT_EQ(machine.getTimeInState(), 16);
}

// The reminder waits ten seconds without a click while a move is possible, hops the pibble of a marked
// cell three times and tells the listeners once; a resume arms it again.
TEST(PlayField, TheIdleReminderHopsAMovablePibbleOnce) {
    FieldGame game;
    PlayField& field = *game.field;
    RecordingListener listener;
    field.addListener(&listener);
    game.play({"qxxxq", "qxxxq"});
    game.frame();
    EXPECT_TRUE(field.isReminderArmed());
    game.frames(120, 100);
    EXPECT_EQ(field.getNoClickMs(), 0) << "no move possible: no count";
    listener.heard.clear();

    PlayField::ScanCounts counts;
    counts.possibleMoves = 1;
    field.setScanCounts(counts);
    field.setMoveMark(2, 3, 1);
    game.frames(99, 100);
    EXPECT_TRUE(listener.heard.empty());
    game.frames(2, 100);
    ASSERT_EQ(listener.types(), std::vector<std::int32_t>{event::idleReminder});
    EXPECT_EQ(listener.heard[0].pibble, field.pibbleAt(2, 3));
    int hops = 0;
    for (ui::Modifier* modifier : field.pibbleAt(2, 3)->getModifierList().items()) {
        hops += modifier->isKindOf(game::PibbleHupModifier::classInfo) ? 1 : 0;
    }
    EXPECT_EQ(hops, PlayField::moveHops);
    EXPECT_FALSE(field.isReminderArmed());
    game.frames(120, 100);
    EXPECT_EQ(listener.heard.size(), 1u);
    field.pause();
    field.resume();
    game.frames(102, 100);
    EXPECT_EQ(listener.heard.size(), 4u) << "paused, resumed, reminded";
}

TEST(PlayField, RandomPicksGiveUpWhenNoCellQualifies) {
    FieldGame game;
    PlayField& field = *game.field;
    game.play({"qlLq", "qsSq"});
    game.settle();
    std::int32_t row = -1;
    std::int32_t column = -1;
    EXPECT_FALSE(field.makeRandomClown());
    EXPECT_FALSE(field.makeRandomPartyPibble());
    EXPECT_FALSE(field.makeRandomStubborn(0));
    EXPECT_FALSE(field.makeRandomPibbleUnhappy(1, row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);

    field.restart(game.level({"qlxlq", "qlllq"}).get());
    field.announceReady();
    field.go();
    game.settle();
    field.setMoveMark(1, 2, 1);
    EXPECT_TRUE(field.makeRandomPibbleUnhappy(1, row, column));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 2);
    game.frame();
    EXPECT_TRUE(field.pibbleAt(1, 2)->hasModifierType(game::animationBit::look));
}

} // namespace
