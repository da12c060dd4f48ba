// The pibble animations on a headless field: every kind ends and leaves the field's counters at 0, also when
// its pibble goes first; the jump's and the hop's paths, sounds, dust and trail; the looks that end by
// time, by a stop or when the pointer leaves; the party's stars; the end-of-level hops and the hover.
#include "engine/platform/PointerPosition.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "game/field/BigPartyStarModifier.h"
#include "game/field/PibbleBlinkModifier.h"
#include "game/field/PibbleDustModifier.h"
#include "game/field/PibbleFocusModifier.h"
#include "game/field/PibbleHupModifier.h"
#include "game/field/PibbleJumpModifier.h"
#include "game/field/PibbleLookModifier.h"
#include "game/field/PibbleUnhappyModifier.h"
#include "game/field/PibbleVibShineModifier.h"
#include "game/field/StateMachine.h"

#include "FieldGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

using fieldtest::FieldGame;
using game::Pibble;
using game::PlayField;
using kernel::SmartPtr;
namespace bit = game::animationBit;
namespace layer = game::pibbleLayer;

template <class Kind> int countOf(const ui::GameNode& node) {
    int count = 0;
    for (ui::Modifier* modifier : node.getModifierList().items()) {
        count += modifier->isKindOf(Kind::classInfo) ? 1 : 0;
    }
    return count;
}

// A field of two rows whose cell (1, 2) is plain, (2, 2) a VIB pibble and (1, 3) stubborn.
class PibbleAnimations : public ::testing::Test {
protected:
    void SetUp() override {
        game.play({"qxxsxq", "qxXxxq"});
        platform::pointerX = 0;
        platform::pointerY = 0;
        game.frame();
    }
    // A point on the pibble where neither the pibble to its left nor the row above reaches (the pictures
    // overlap); a queue pibble is pointed at left of the field.
    static void pointAt(const Pibble& pibble, bool queue = false) {
        platform::pointerX = pibble.getX() + (queue ? -30 : 30);
        platform::pointerY = pibble.getY() + 10;
    }
    Pibble& at(std::int32_t row, std::int32_t column) const { return *field.pibbleAt(row, column); }

    FieldGame game;
    PlayField& field = *game.field;
};

struct Kind {
    const char* name;
    std::function<void(PlayField&, Pibble&)> start;
    int running;
    int effect;
};

// Each kind counts while it runs as it should, and when it is over the counters are back at 0 and the
// pibble has no running bit left (the party's bit stays for good).
TEST(PibbleAnimationKinds, EveryKindEndsAndUncountsItself) {
    const Kind kinds[] = {
        {"jump",
         [](PlayField& f, Pibble& p) {
             f.startJump(&p, 300, 100, {true, true, true, true, true, true});
         },
         1, 0},
        {"hop", [](PlayField& f, Pibble& p) { f.startHup(&p, true); }, 0, 0},
        {"alpha", [](PlayField& f, Pibble& p) { f.startAlpha(&p, 0, 255); }, 0, 0},
        {"dechain", [](PlayField& f, Pibble& p) { f.dechain(&p); }, 1, 0},
        {"head shake", [](PlayField& f, Pibble& p) { f.shakeNo(&p); }, 0, 0},
        {"clown", [](PlayField& f, Pibble&) { f.makeClown(1, 2); }, 1, 1},
        {"party", [](PlayField& f, Pibble&) { f.makeParty(1, 2); }, 2, 2},
        {"stubborn", [](PlayField& f, Pibble&) { f.makeStubborn(1, 2); }, 0, 0},
        {"unhappy", [](PlayField& f, Pibble&) { f.makeUnhappy(1, 2); }, 0, 0},
        {"focus", [](PlayField& f, Pibble&) { f.startFocus(1, 2); }, 0, 0},
        {"style", [](PlayField& f, Pibble& p) { f.startStyle(&p, game::headStyle::happy); }, 0, 0},
        {"hole", [](PlayField& f, Pibble& p) { f.startHole(&p); }, 1, 0},
        {"hole rise", [](PlayField& f, Pibble& p) { f.startHoleRise(&p); }, 1, 0},
        {"stubborn match", [](PlayField& f, Pibble& p) { f.startStubbornMatch(&p); }, 1, 1},
        {"VIB match", [](PlayField& f, Pibble& p) { f.startVibMatch(&p); }, 1, 1},
        {"combo glow", [](PlayField& f, Pibble& p) { f.startComboGlow(&p); }, 1, 1},
        {"VIB shine", [](PlayField&, Pibble& p) { p.addModifier(new game::PibbleVibShineModifier(&p)); }, 0,
         0},
        {"blink", [](PlayField&, Pibble& p) { p.addModifier(new game::PibbleBlinkModifier(&p)); }, 0, 0},
        {"dust", [](PlayField&, Pibble& p) { p.addModifier(new game::PibbleDustModifier(&p, 5, 5)); }, 0, 0},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        FieldGame one;
        one.play({"qxxxq"});
        Pibble& pibble = *one.field->pibbleAt(1, 2);
        kind.start(*one.field, pibble);
        one.frame();
        EXPECT_EQ(one.field->runningAnimationCount(), kind.running);
        EXPECT_EQ(one.field->effectAnimationCount(), kind.effect);
        ASSERT_TRUE(one.settle(10000, 50));
        EXPECT_EQ(pibble.getModifierTypes() & ~bit::party, 0u);
        EXPECT_EQ(pibble.hasModifierType(bit::party), std::string(kind.name) == "party");
    }
}

// Counted animations uncount at once when their modifiers are taken away or their pibble is removed (the
// party pibble is still held by its announcement), and when a killed pibble is freed.
TEST_F(PibbleAnimations, APibbleGoneMidAnimationLeavesTheCountersAtZero) {
    field.makeParty(1, 2);
    field.startJump(&at(1, 4), 10, 10, {});
    field.startHole(&at(2, 2));
    field.dechain(&at(2, 3));
    game.frames(3);
    ASSERT_EQ(field.runningAnimationCount(), 5) << "party stars, clown glow, jump, hole, dechain";
    ASSERT_EQ(field.effectAnimationCount(), 2);
    at(1, 4).removeAllModifiers();
    EXPECT_EQ(field.runningAnimationCount(), 4);
    field.removePibble(&at(1, 2));
    field.setPibble(1, 2, nullptr);
    EXPECT_EQ(field.runningAnimationCount(), 2);
    EXPECT_EQ(field.effectAnimationCount(), 0);
    EXPECT_EQ(field.pendingAnnouncement(PlayField::Pending::party), nullptr);
    for (const std::int32_t column : {2, 3}) {
        at(2, column).kill();
        field.setPibble(2, column, nullptr);
    }
    game.frame();
    EXPECT_EQ(field.runningAnimationCount(), 0);
    game.frames(40, 50);
    EXPECT_EQ(field.runningAnimationCount(), 0) << "the party's stars land without counting again";
    EXPECT_EQ(field.effectAnimationCount(), 0);
}

TEST_F(PibbleAnimations, AJumpPlaysItsSoundByDirection) {
    using game::PibbleJumpModifier;
    EXPECT_STREQ(PibbleJumpModifier::soundOf(100, 200), game::ids::soundJumpDown);
    EXPECT_STREQ(PibbleJumpModifier::soundOf(100, -30), game::ids::soundJumpOffScreen);
    EXPECT_STREQ(PibbleJumpModifier::soundOf(100, 100), game::ids::soundJumpHorizontal);
    EXPECT_EQ(PibbleJumpModifier::soundOf(200, 100), nullptr);
    const std::int32_t codes[3][3] = {{8, 1, 5}, {4, 0, 2}, {7, 3, 6}};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            EXPECT_EQ(PibbleJumpModifier::directionOf(dx * 7, dy * 3), codes[dy + 1][dx + 1]);
        }
    }
}

// Without a duration a jump is over at once: at the target, on the ground, facing nowhere.
TEST_F(PibbleAnimations, AJumpWithoutADurationLandsAtOnce) {
    fieldtest::FieldWorld::setInt(game::ids::cfgJumpDuration, 0);
    Pibble& pibble = at(1, 2);
    field.startJump(&pibble, 333, 222, {});
    game.frames(5);
    EXPECT_EQ(pibble.getX(), 333);
    EXPECT_EQ(pibble.getY(), 222);
    EXPECT_EQ(pibble.getDepthOffset(), 0);
    EXPECT_EQ(pibble.getDirection(), game::direction::none);
    game.frame();
    EXPECT_EQ(field.runningAnimationCount(), 0);
}

// The take-off waits for the squat; the arc rises and lands; dust once at each end; copies behind, but
// none near the target.
TEST_F(PibbleAnimations, AJumpSquatsFliesAndLandsWithDustAndATrail) {
    Pibble& pibble = at(1, 2);
    const int startX = pibble.getX();
    const int startY = pibble.getY();
    field.startJump(&pibble, startX + 300, startY, {true, true, false, true, true, true});
    game.frames(2 + 120 / 16);
    EXPECT_EQ(pibble.getX(), startX) << "still squatting";
    EXPECT_EQ(countOf<game::PibbleDustModifier>(pibble), 1);
    int highest = 0;
    std::map<const ui::GameNode*, int> copies;
    for (int frame = 0; frame < 40; ++frame) {
        game.frame();
        highest = std::max(highest, pibble.getDepthOffset());
        EXPECT_LE(countOf<game::PibbleDustModifier>(pibble), 1);
        for (const ui::GameNode* child = field.getFirstChild(); child; child = child->getNextSibling()) {
            if (child->isKindOf(ui::Sprite::classInfo) && !child->isKindOf(game::FieldRenderer::classInfo)) {
                copies.emplace(child, child->getX());
            }
        }
    }
    EXPECT_GE(highest, 39);
    EXPECT_LE(highest, 40);
    EXPECT_EQ(pibble.getX(), startX + 300);
    EXPECT_EQ(pibble.getDepthOffset(), 0);
    std::vector<int> xs;
    for (const auto& copy : copies) {
        xs.push_back(copy.second);
    }
    std::sort(xs.begin(), xs.end());
    ASSERT_GE(xs.size(), 3u);
    EXPECT_GT(xs.front(), startX + 30);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_LE(xs[i], startX + 300 - 30) << "none within the interval of the target";
        if (i > 0) {
            EXPECT_GT(xs[i] - xs[i - 1], 30);
        }
    }
    ASSERT_TRUE(game.settle());
}

// Jumps stand still while the field is paused, plays its party match or shows a match effect.
TEST_F(PibbleAnimations, JumpsWaitForPausesPartiesAndEffects) {
    Pibble& pibble = at(1, 2);
    const int startX = pibble.getX();
    field.startJump(&pibble, startX + 200, pibble.getY(), {});
    field.pause();
    game.frames(30);
    EXPECT_EQ(pibble.getX(), startX);
    field.resume();
    // The party match's own rules would end a match without pibbles at once: the state is held here.
    field.stateMachine().setState(game::fieldState::partyMatch, nullptr, 0);
    field.setState(game::fieldState::partyMatch);
    game.frames(30);
    EXPECT_EQ(pibble.getX(), startX);
    field.setState(game::fieldState::idle);
    field.startComboGlow(&at(2, 4));
    game.frames(10);
    EXPECT_EQ(pibble.getX(), startX);
    ASSERT_TRUE(game.settle());
    EXPECT_EQ(pibble.getX(), startX + 200);
}

TEST_F(PibbleAnimations, AHopLandsWhereItStartedUncounted) {
    Pibble& pibble = at(1, 2);
    const int x = pibble.getX();
    const int y = pibble.getY();
    field.startHup(&pibble, false);
    int highest = 0;
    for (int frame = 0; frame < 20; ++frame) {
        game.frame();
        highest = std::max(highest, pibble.getDepthOffset());
        EXPECT_EQ(field.runningAnimationCount(), 0);
    }
    EXPECT_GT(highest, 15);
    ASSERT_TRUE(game.settle());
    EXPECT_EQ(pibble.getX(), x);
    EXPECT_EQ(pibble.getY(), y);
    EXPECT_EQ(pibble.getDepthOffset(), 0);
}

// The time has run out on the frame that leaves less than 1 ms of it (the blink lasts 150 ms); the next
// frame ends the animation.
TEST_F(PibbleAnimations, AnAnimationEndsOnTheFrameItsTimeDropsBelowOne) {
    Pibble& pibble = at(1, 2);
    for (const std::uint32_t last : {0u, 1u}) {
        SCOPED_TRACE(last == 0 ? "149 ms run" : "150 ms run");
        const SmartPtr<game::PibbleBlinkModifier> blink = new game::PibbleBlinkModifier(&pibble);
        blink->update(16);
        EXPECT_TRUE(pibble.hasModifierType(bit::blink));
        blink->update(100);
        blink->update(49);
        EXPECT_EQ(blink->getTimeLeft(), 1);
        EXPECT_EQ(blink->getPhase(), game::PibbleModifier::runningOn);
        blink->update(last);
        EXPECT_EQ(blink->getPhase(),
                  last == 0 ? game::PibbleModifier::runningOn : game::PibbleModifier::finishing);
        blink->update(16);
        EXPECT_EQ(blink->isFinished(), last == 1);
        EXPECT_EQ(pibble.hasModifierType(bit::blink), last == 0);
        if (last == 0) {
            blink->update(1);
            blink->update(16);
            EXPECT_TRUE(blink->isFinished());
        }
    }
}

TEST_F(PibbleAnimations, AnUnhappyPibbleKeepsItsHeadOnlyWhenItsTimeRunsOut) {
    field.makeUnhappy(1, 2);
    field.makeUnhappy(2, 4);
    game.frames(2);
    EXPECT_EQ(at(1, 2).getStyle(), game::headStyle::unhappy);
    field.stopUnhappy(2, 4);
    game.frames(2);
    EXPECT_EQ(at(2, 4).getStyle(), game::headStyle::normal);
    EXPECT_FALSE(at(2, 4).hasModifierType(bit::look));
    game.frames(5000 / 50 + 2, 50);
    EXPECT_FALSE(at(1, 2).hasModifierType(bit::look));
    EXPECT_EQ(at(1, 2).getStyle(), game::headStyle::unhappy);
    EXPECT_EQ(at(1, 2).layer(layer::head).getX(), 0);
}

// While a dialog of the current scene is open the unhappy time stands still.
TEST_F(PibbleAnimations, TheUnhappyClockStopsWhileADialogIsOpen) {
    ui::SceneManager* manager = ui::SceneManager::create();
    ui::RegisterScene("SCENE", new ui::Scene());
    manager->changeScene("SCENE");
    manager->onFrame(16);
    ASSERT_NE(manager->currentScene(), nullptr);
    const SmartPtr<ui::Dialog> dialog = new ui::Dialog();
    manager->currentScene()->showDialog(dialog.get());
    field.makeUnhappy(1, 2);
    game.frames(6000 / 50, 50);
    EXPECT_TRUE(at(1, 2).hasModifierType(bit::look));
    manager->currentScene()->closeDialog(dialog.get());
    game.frames(5000 / 50 + 2, 50);
    EXPECT_FALSE(at(1, 2).hasModifierType(bit::look));
    ui::SceneManager::destroy();
}

// The focus holds while the pointer is on the first pibble and lets both go the frame it leaves. (Out of
// the idle state, so the hover starts none of its own.)
TEST_F(PibbleAnimations, TheFocusEndsWhenThePointerLeavesTheFirstPibble) {
    field.setState(game::fieldState::checkMove);
    Pibble& first = at(2, 2);
    Pibble& queue = at(2, 0);
    pointAt(first);
    field.startFocus(2, 2);
    game.frames(20);
    EXPECT_TRUE(first.hasModifierType(bit::focus));
    EXPECT_TRUE(queue.hasModifierType(bit::focus));
    EXPECT_EQ(first.layer(layer::head).getY(), -2);
    EXPECT_EQ(queue.layer(layer::body).getY(), -1);
    pointAt(queue, true);
    game.frame();
    EXPECT_FALSE(first.hasModifierType(bit::focus));
    EXPECT_FALSE(queue.hasModifierType(bit::focus));
    EXPECT_EQ(first.layer(layer::head).getY(), 0);
    EXPECT_EQ(queue.layer(layer::body).getY(), 0);
}

// A row without a queue pibble focuses the one alone.
TEST_F(PibbleAnimations, TheFocusNeedsNoQueuePibble) {
    field.restart(game.level({".xx.", "qxxq"}).get());
    game.frame();
    pointAt(at(1, 1));
    field.startFocus(1, 1);
    game.frames(5);
    EXPECT_TRUE(at(1, 1).hasModifierType(bit::focus));
    platform::pointerX = 0;
    ASSERT_TRUE(game.settle());
}

// The fade's end brings a shining VIB pibble's glow pulse back only when the glow ends fully opaque.
TEST_F(PibbleAnimations, AFadedShiningVibPibblePulsesOnlyWhenOpaque) {
    for (const int to : {255, 128}) {
        SCOPED_TRACE(to);
        Pibble& vib = at(2, 2);
        vib.addModifier(new game::PibbleVibShineModifier(&vib));
        game.frame();
        field.startAlpha(&vib, 0, to);
        game.frames(40);
        EXPECT_EQ(countOf<ui::PulseModifier>(vib.layer(layer::vibStatic)), to == 255 ? 1 : 0);
        EXPECT_EQ(vib.getAlpha(), to);
        vib.stopAnimations();
    }
}

// The middle star comes from the other side while the pibble's head is near the middle of the screen.
TEST_F(PibbleAnimations, PartyStarsComeFromTheSideWithRoom) {
    struct Case {
        int pibbleY;
        int outer;
        int middle;
    };
    const Case cases[] = {{100, 350, 350}, {249, 499, -1},  {250, 500, 0},   {319, 569, 69},
                          {320, 70, 570},  {391, 141, 641}, {392, 142, 142}, {400, 150, 150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pibbleY);
        EXPECT_EQ(game::BigPartyStarModifier::startY(0, c.pibbleY), c.outer);
        EXPECT_EQ(game::BigPartyStarModifier::startY(2, c.pibbleY), c.outer);
        EXPECT_EQ(game::BigPartyStarModifier::startY(1, c.pibbleY), c.middle);
    }
}

TEST_F(PibbleAnimations, AShakeDoesNotStartTwice) {
    field.shakeNo(&at(1, 2));
    field.shakeNo(&at(1, 2));
    game.frame();
    field.shakeNo(&at(1, 2));
    EXPECT_EQ(countOf<game::PibbleLookModifier>(at(1, 2)), 1);
    ASSERT_TRUE(game.settle());
    field.shakeNo(&at(1, 2));
    EXPECT_EQ(countOf<game::PibbleLookModifier>(at(1, 2)), 1);
}

// Every pibble hops three times; the cheer comes before one hop in forty over the whole field.
TEST_F(PibbleAnimations, EndLevelHopsCheerOncePerFortyHops) {
    field.restart(game.level(std::vector<std::string>(9, "qxxxxxxxxxxq")).get());
    field.startEndLevelHops();
    int hops = 0;
    int cheers = 0;
    for (std::int32_t row = 1; row <= 9; ++row) {
        for (std::int32_t column = 0; column <= 10; ++column) {
            hops += countOf<game::PibbleHupModifier>(at(row, column));
            cheers += countOf<ui::CallbackModifier>(at(row, column));
        }
    }
    EXPECT_EQ(hops, 9 * 11 * 3);
    EXPECT_EQ(cheers, (hops + 39) / 40);
}

// The pointer must rest on a new pibble; one going down or up a hole, or a queue pibble, is not focused.
TEST_F(PibbleAnimations, TheHoverFocusesARestingPointersPlainPibble) {
    const auto rest = [&](const Pibble& pibble, bool queue = false) {
        pointAt(pibble, queue);
        field.onMouseMove(platform::pointerX, platform::pointerY, 0);
    };
    rest(at(1, 2));
    game.frame(30);
    EXPECT_EQ(countOf<game::PibbleFocusModifier>(at(1, 2)), 0) << "rested 30 ms";
    game.frame(30);
    EXPECT_EQ(countOf<game::PibbleFocusModifier>(at(1, 2)), 1);
    EXPECT_EQ(field.getHoverPibble(), &at(1, 2));

    field.startHole(&at(2, 4));
    game.frame();
    rest(at(2, 4));
    game.frames(10);
    EXPECT_EQ(countOf<game::PibbleFocusModifier>(at(2, 4)), 0);
    EXPECT_FALSE(at(1, 2).hasModifierType(bit::focus)) << "the pointer left it";

    rest(at(2, 0), true);
    game.frames(10);
    EXPECT_EQ(field.getHoverPibble(), &at(2, 0));
    EXPECT_EQ(countOf<game::PibbleFocusModifier>(at(2, 0)), 0);
}

} // namespace
