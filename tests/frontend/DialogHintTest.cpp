// The hint over a front-end scene: where it stands by its target's quarter of the screen or without one,
// that it always lies on the screen, how it grows by its text, the veil around it, and what OK does to the
// player's hints. The bubbles' painters are not declared, so the dialog keeps its declared frame and the
// veil leaves its whole rectangle clear.
#include "game/frontend/DialogHint.h"

#include "engine/graphics/MemoryImage32.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Switch.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/DialogPibble.h"

#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using frontendtest::FrontendWorld;
using game::DialogHint;
namespace ids = game::ids;

// The text label uses the test font: three lines are 28 high.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <DialogHint id="DIALOG_HINT" width="260" height="120"><Vector id="components">
    <Label name="LABEL_HINT" x="20" y="26" width="220" height="0" font="FONT_OOGIEBOOGIE_20" section="preloading" wrapstyle="wordwrap"/>
    <Switch name="SWITCH" x="32" y="34" width="24" height="24"/>
    <Label name="LABEL_SHOW" x="62" y="38"/>
    <Button name="BUTTON_OK" x="70" y="66" width="120" height="40"/></Vector></DialogHint>
</Node></dialogs>)";

// Every hint's text is three lines unless a test sets its own.
const char* const clownHint = "TEXT_HINT_CLICK_CLOWN";

class DialogHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        for (const char* key : ids::hints) {
            FrontendWorld::setText(key, u"one\ntwo\nthree");
        }
        world.startIn("SOURCE");
    }
    void TearDown() override {
        world.source->removeAllDialogs();
        platform::PlayerManager::destroy();
    }

    // The hint of the key, pointing at a node standing at (x, y); below 0: none.
    DialogHint* open(const std::string& key, int x = -1, int y = -1) {
        kernel::SmartPtr<ui::GameNode> target;
        if (x >= 0) {
            target = new ui::GameNode();
            target->setPosition(x, y);
        }
        ui::Dialog* dialog = DialogHint::openHint(key, target.get(), world.source);
        EXPECT_TRUE(dialog != nullptr && dialog->isKindOf(DialogHint::classInfo));
        return dialog != nullptr && dialog->isKindOf(DialogHint::classInfo) ? static_cast<DialogHint*>(dialog)
                                                                            : nullptr;
    }
    // Closed and forgotten, so the next hint is made afresh.
    void close() { world.source->removeDialog(ids::dialogHint); }
    static std::pair<int, int> placeOf(ui::Dialog& dialog, const char* component) {
        const ui::GameNode* node = dialog.findComponent(component);
        return node != nullptr ? std::make_pair(node->getX(), node->getY()) : std::make_pair(-1, -1);
    }
    static int veilAlphaAt(int x, int y) {
        const auto* veil = static_cast<const graphics::MemoryImage32*>(DialogHint::sharedVeilImage());
        return veil != nullptr ? static_cast<int>(veil->pixels32()[veil->pixelIndex(x, y)] >> 24) : -1;
    }
    void pressOk(DialogHint& hint) {
        auto* ok = static_cast<ui::Button*>(hint.findComponent(ids::buttonOk));
        ok->invoke(ok);
    }
    game::PibblePlayer& player() const { return *game::currentPlayer(); }

    FrontendWorld world{declarations};
};

// A target on the middle line counts as right of it and below it. The dialog is 260 x 148 with its text.
TEST_F(DialogHintTest, AHintWithATargetStandsByTheTargetsQuarter) {
    struct Case {
        const char* key;
        int tx, ty, x, y;
    };
    const Case cases[] = {{clownHint, 100, 200, 37, 88},
                          {clownHint, 319, 239, 256, 127},
                          {clownHint, 320, 240, 123, 106},
                          {clownHint, 500, 300, 303, 166},
                          {ids::hintTimeBarAction, 100, 200, 37, 88},
                          {ids::hintTimeBarVib, 500, 300, 303, 166}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::string(one.key) + " at " + std::to_string(one.tx) + "," + std::to_string(one.ty));
        DialogHint* hint = open(one.key, one.tx, one.ty);
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->getHintKey(), one.key);
        EXPECT_EQ(hint->getX(), one.x);
        EXPECT_EQ(hint->getY(), one.y);
        EXPECT_EQ(hint->getWidth(), 260);
        EXPECT_EQ(hint->getHeight(), 148);
        close();
    }
}

// Where the quarter's side would leave part of the bubble off the screen: a tall bubble that does not fit
// above a target a little below the middle hangs below it; what fits nowhere is pushed onto the screen.
TEST_F(DialogHintTest, AHintWithATargetLiesWithinTheScreen) {
    struct Case {
        int lines, tx, ty, x, y;
    };
    // 15 lines: 260 x 268.
    const Case cases[] = {{15, 400, 250, 203, 138}, {15, 400, 300, 203, 46}, {15, 100, 239, 37, 127},
                          {3, 100, 60, 37, 0},      {3, 630, 470, 380, 332}, {3, 10, 300, 0, 166},
                          {3, 320, 479, 123, 332}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.lines) + " lines at " + std::to_string(one.tx) + "," +
                     std::to_string(one.ty));
        std::u16string text = u"line";
        for (int line = 1; line < one.lines; ++line) {
            text += u"\nline";
        }
        FrontendWorld::setText(clownHint, text);
        DialogHint* hint = open(clownHint, one.tx, one.ty);
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->getX(), one.x);
        EXPECT_EQ(hint->getY(), one.y);
        close();
    }
    // Every target of the screen, with a bubble too tall for either side of some of them.
    FrontendWorld::setText(clownHint, u"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np");
    for (int ty = 0; ty < 480; ty += 12) {
        for (int tx = 0; tx < 640; tx += 16) {
            DialogHint* hint = open(clownHint, tx, ty);
            ASSERT_NE(hint, nullptr);
            ASSERT_TRUE(hint->getX() >= 0 && hint->getX() + hint->getWidth() <= 640 && hint->getY() >= 0 &&
                        hint->getY() + hint->getHeight() <= 480)
                << "target " << tx << "," << ty << ": bubble " << hint->getWidth() << " x "
                << hint->getHeight() << " at " << hint->getX() << "," << hint->getY();
            close();
        }
    }
}

TEST_F(DialogHintTest, WithoutATargetTimeBarHintsStandAtTheBottomLeftOthersEnlargedInTheMiddle) {
    for (const char* key : {ids::hintTimeBarAction, ids::hintTimeBarRelax, ids::hintTimeBarVib}) {
        SCOPED_TRACE(key);
        DialogHint* hint = open(key);
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->getTarget(), nullptr);
        EXPECT_EQ(hint->getX(), 62);
        EXPECT_EQ(hint->getY(), 480 - 148 + 35);
        EXPECT_EQ(hint->getWidth(), 260);
        EXPECT_EQ(hint->getHeight(), 148);
        close();
    }
    DialogHint* hint = open(clownHint);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->getWidth(), 312) << "260 x 1.2";
    EXPECT_EQ(hint->getHeight(), 162) << "148 x 1.1";
    EXPECT_EQ(hint->getX(), 164);
    EXPECT_EQ(hint->getY(), 158);
    // The components keep their place in the middle of the larger frame.
    EXPECT_EQ(placeOf(*hint, ids::labelHint), std::make_pair(20 + 26, 26 + 7));
    EXPECT_EQ(placeOf(*hint, ids::hintSwitch), std::make_pair(32 + 26, 34 + 28 + 7));
    EXPECT_EQ(placeOf(*hint, ids::labelShow), std::make_pair(62 + 26, 38 + 28 + 7));
    EXPECT_EQ(placeOf(*hint, ids::buttonOk).second, 66 + 28 + 7);
}

TEST_F(DialogHintTest, TheDialogGrowsByItsTextAndWhatStandsBelowMovesDown) {
    struct Case {
        const char16_t* text;
        int grow;
    };
    for (const Case one : {Case{u"one", 8}, Case{u"one\ntwo", 18}, Case{u"one\ntwo\nthree", 28}}) {
        SCOPED_TRACE(one.grow);
        FrontendWorld::setText(clownHint, one.text);
        DialogHint* hint = open(clownHint, 100, 200);
        ASSERT_NE(hint, nullptr);
        const ui::GameNode* label = hint->findComponent(ids::labelHint);
        ASSERT_TRUE(label != nullptr && label->isKindOf(ui::Label::classInfo));
        EXPECT_EQ(static_cast<const ui::Label*>(label)->getText(), one.text);
        EXPECT_EQ(hint->getHeight(), 120 + one.grow);
        EXPECT_EQ(placeOf(*hint, ids::labelHint), std::make_pair(20, 26));
        EXPECT_EQ(placeOf(*hint, ids::buttonOk), std::make_pair(70, 66 + one.grow));
        EXPECT_EQ(placeOf(*hint, ids::hintSwitch), std::make_pair(32, 34 + one.grow));
        EXPECT_EQ(placeOf(*hint, ids::labelShow), std::make_pair(62, 38 + one.grow));
        close();
    }
}

// Without a bubble's picture the veil darkens everything but the dialog's rectangle, as far as it lies on
// the screen: the time bar's hint reaches past the bottom.
TEST_F(DialogHintTest, TheVeilLeavesOnlyTheDialogClear) {
    struct Sample {
        int x, y, alpha;
    };
    struct Case {
        const char* key;
        int tx, ty;
        std::vector<Sample> samples;
    };
    const Case cases[] = {// (37, 88) to (297, 236)
                          {clownHint,
                           100,
                           200,
                           {{37, 88, 0},
                            {296, 235, 0},
                            {36, 88, 153},
                            {297, 88, 153},
                            {37, 236, 153},
                            {37, 87, 153},
                            {400, 300, 153}}},
                          // (123, 106) to (383, 254)
                          {clownHint,
                           320,
                           240,
                           {{123, 106, 0}, {382, 253, 0}, {383, 106, 153}, {122, 105, 153}, {123, 254, 153}}},
                          // (62, 367) to beyond the screen's bottom
                          {ids::hintTimeBarVib,
                           -1,
                           -1,
                           {{62, 367, 0}, {321, 479, 0}, {61, 479, 153}, {322, 479, 153}, {62, 366, 153}}}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::string(one.key) + " " + std::to_string(one.tx) + "," + std::to_string(one.ty));
        DialogHint* hint = open(one.key, one.tx, one.ty);
        ASSERT_NE(hint, nullptr);
        ui::Sprite* veil = hint->getVeil();
        ASSERT_NE(veil, nullptr);
        EXPECT_EQ(veil->getNextSibling(), hint) << "just below the dialog";
        EXPECT_EQ(veil->getImage(), DialogHint::sharedVeilImage());
        ASSERT_NE(DialogHint::sharedVeilImage(), nullptr);
        EXPECT_EQ(DialogHint::sharedVeilImage()->getWidth(), 640);
        EXPECT_EQ(DialogHint::sharedVeilImage()->getHeight(), 480);
        for (const Sample& sample : one.samples) {
            EXPECT_EQ(veilAlphaAt(sample.x, sample.y), sample.alpha) << sample.x << "," << sample.y;
        }
        close();
    }
}

TEST_F(DialogHintTest, OkTurnsOffOnlyThisHintWhenTheSwitchIsCheckedAndClosesAfterTheFade) {
    for (const bool checked : {false, true}) {
        SCOPED_TRACE(checked ? "checked" : "unchecked");
        DialogHint* hint = open(clownHint, 100, 200);
        ASSERT_NE(hint, nullptr);
        static_cast<ui::Switch*>(hint->findComponent(ids::hintSwitch))->setChecked(checked);
        player().clearChanged();
        pressOk(*hint);
        EXPECT_EQ(player().isChanged(), checked) << "nothing else of the profile changes";
        for (const char* key : ids::hints) {
            EXPECT_EQ(player().isHintEnabled(key), !(checked && std::string(key) == clownHint)) << key;
        }
        world.frame(50);
        world.frame(50);
        world.frame(50);
        world.frame(50);
        world.frame(50);
        EXPECT_TRUE(world.source->isDialogOpen(ids::dialogHint)) << "fading for 300 ms";
        world.frame(50);
        world.frame(50);
        world.frame(50);
        EXPECT_FALSE(world.source->isDialogOpen(ids::dialogHint));
        EXPECT_EQ(world.source->findDialog(ids::dialogHint), nullptr) << "forgotten: the next hint is fresh";
    }
}

} // namespace
