// The idle animations: their timers stand still while the field does not play, are armed again whether a
// pibble was found or not, and pick only pibbles at rest. The counts of the board's kinds are set directly,
// as the rules' scan sets them.
#include "game/field/PibbleAnimator.h"
#include "game/field/PibbleBlinkModifier.h"
#include "game/field/PibbleStubbornModifier.h"
#include "game/field/PibbleVibShineModifier.h"

#include "FieldGame.h"

#include <gtest/gtest.h>

namespace {

using fieldtest::FieldGame;
using game::Pibble;
using game::PibbleAnimator;
using game::PlayField;
using kernel::SmartPtr;

template <class Kind> int onBoard(const PlayField& field) {
    int count = 0;
    for (std::int32_t row = 1; row <= field.rowCount(); ++row) {
        for (std::int32_t column = 0; column <= field.columnCount(); ++column) {
            if (const Pibble* pibble = field.pibbleAt(row, column)) {
                for (ui::Modifier* modifier : pibble->getModifierList().items()) {
                    count += modifier->isKindOf(Kind::classInfo) ? 1 : 0;
                }
            }
        }
    }
    return count;
}

TEST(PibbleAnimator, TimersStandStillWhileTheFieldDoesNotPlay) {
    FieldGame game;
    PlayField& field = *game.field;
    field.loadLevel(game.level({"qxxxq"}).get());
    const PibbleAnimator& animator = *PibbleAnimator::instance();
    const std::int32_t blink = animator.getBlinkTimer();
    const std::int32_t vib = animator.getVibTimer();
    game.frames(10);
    field.announceReady();
    game.frames(10);
    EXPECT_EQ(animator.getBlinkTimer(), blink) << "states 0 and 1";
    field.go();
    game.frame();
    EXPECT_EQ(animator.getBlinkTimer(), blink - 16);
    field.freeze();
    game.frames(10);
    field.resume();
    field.setState(game::fieldState::levelOver);
    game.frames(10);
    EXPECT_EQ(animator.getBlinkTimer(), blink - 16);
    EXPECT_EQ(animator.getVibTimer(), vib - 16);
}

// A board of special pibbles gives nothing to blink, and no stubborn or VIB pibble is counted: every timer
// runs out and is armed again all the same.
TEST(PibbleAnimator, TimersAreArmedAgainWhenNothingQualifies) {
    FieldGame game;
    PlayField& field = *game.field;
    game.play({"qlllq", "qlllq"});
    field.pibbleAt(1, 0)->setFlag(game::pibbleFlag::clown, true);
    field.pibbleAt(2, 0)->setFlag(game::pibbleFlag::clown, true);
    game.settle();
    const PibbleAnimator& animator = *PibbleAnimator::instance();
    for (int second = 0; second < 20; ++second) {
        game.frames(10, 100);
        EXPECT_GT(animator.getBlinkTimer(), 0);
        EXPECT_GT(animator.getStubbornTimer(), 0);
        EXPECT_GT(animator.getVibTimer(), 0);
    }
    EXPECT_EQ(onBoard<game::PibbleBlinkModifier>(field), 0);
}

// Over a long idle stretch plain pibbles blink, counted stubborn ones sulk and counted VIB ones shine;
// the queue column blinks too.
TEST(PibbleAnimator, IdleBoardsBlinkSulkAndShine) {
    FieldGame game;
    PlayField& field = *game.field;
    game.play({"qxsXq", "qxsXq"});
    game.frame();
    PlayField::ScanCounts counts;
    counts.stubborn = 2;
    counts.vib = 2;
    field.setScanCounts(counts);
    int blinks = 0;
    int queueBlinks = 0;
    int sulks = 0;
    int shines = 0;
    for (int frame = 0; frame < 600; ++frame) {
        game.frame(50);
        blinks += onBoard<game::PibbleBlinkModifier>(field);
        queueBlinks += field.pibbleAt(1, 0)->hasModifierType(game::animationBit::blink) ? 1 : 0;
        sulks += onBoard<game::PibbleStubbornModifier>(field);
        shines += onBoard<game::PibbleVibShineModifier>(field);
    }
    EXPECT_GT(blinks, 0);
    EXPECT_GT(queueBlinks, 0);
    EXPECT_GT(sulks, 0);
    EXPECT_GT(shines, 0);
}

TEST(PibbleAnimator, OnlyPibblesAtRestAreTaken) {
    FieldGame game;
    const auto pibble = [](std::int32_t flags) {
        SmartPtr<Pibble> made = new Pibble();
        made->setFlags(flags);
        return made;
    };
    const SmartPtr<Pibble> plain = pibble(0);
    const SmartPtr<Pibble> vib = pibble(game::pibbleFlag::vib);
    const SmartPtr<Pibble> stubborn = pibble(game::pibbleFlag::stubborn);
    EXPECT_TRUE(PibbleAnimator::canBlink(plain.get()));
    EXPECT_TRUE(PibbleAnimator::canBlink(vib.get()));
    EXPECT_FALSE(PibbleAnimator::canBlink(stubborn.get()));
    EXPECT_TRUE(PibbleAnimator::canSulk(stubborn.get()));
    EXPECT_FALSE(PibbleAnimator::canSulk(plain.get()));
    EXPECT_TRUE(PibbleAnimator::canShine(vib.get()));
    EXPECT_FALSE(PibbleAnimator::canShine(plain.get()));
    EXPECT_FALSE(PibbleAnimator::canBlink(nullptr));

    const SmartPtr<Pibble> busy = pibble(0);
    busy->addModifierType(game::animationBit::hop);
    const SmartPtr<Pibble> waiting = pibble(game::pibbleFlag::vib);
    waiting->addModifier(new game::PibbleBlinkModifier(waiting.get()));
    const SmartPtr<Pibble> removed = pibble(game::pibbleFlag::stubborn);
    removed->setRemoved(true);
    const SmartPtr<Pibble> carrying = pibble(game::pibbleFlag::vib);
    carrying->setCollectableId(3);
    EXPECT_FALSE(PibbleAnimator::canBlink(busy.get()));
    EXPECT_FALSE(PibbleAnimator::canShine(waiting.get()));
    EXPECT_FALSE(PibbleAnimator::canSulk(removed.get()));
    EXPECT_FALSE(PibbleAnimator::canShine(carrying.get()));
}

} // namespace
