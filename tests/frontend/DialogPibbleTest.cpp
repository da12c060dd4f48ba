#include "game/frontend/DialogPibble.h"

#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "game/foundation/GameGlobals.h"

#include "FrontendWorld.h"

#include <gtest/gtest.h>

namespace {

using frontendtest::FrontendWorld;
using game::DialogPibble;

// Labels of the test font: one line of text is 8 high, each further line 10 more.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <DialogPibble id="DIALOG_CENTRED" x="5" y="7" width="200" height="101" autocenter="true" autoenlarge="false"/>
  <DialogPibble id="DIALOG_HUGE" width="701" height="481" autocenter="true" autoenlarge="false"/>
  <DialogPibble id="DIALOG_PLACED" x="5" y="7" width="200" height="101" autoenlarge="false"/>
  <DialogPibble id="DIALOG_MESSAGE" width="200" height="100" autoenlarge="false"><Vector id="components">
    <Label name="HEADER" x="10" y="10" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading" wrapstyle="wordwrap"/>
    <Label name="MESSAGE" x="10" y="30" width="180" height="8" font="FONT_OOGIEBOOGIE_20" section="preloading" wrapstyle="wordwrap"/>
    <Button name="BUTTON_OK" x="80" y="60" width="40" height="20"/></Vector></DialogPibble>
  <DialogPibble id="DIALOG_YESNO" width="200" height="80" autoenlarge="false"><Vector id="components">
    <Label name="HEADER" x="10" y="10" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading" wrapstyle="wordwrap"/>
    <Label name="MESSAGE" x="10" y="30" width="180" height="8" font="FONT_OOGIEBOOGIE_20" section="preloading" wrapstyle="wordwrap"/>
    <Button name="BUTTON_YES" x="20" y="40" width="40" height="20"/>
    <Button name="BUTTON_NO" x="120" y="40" width="40" height="20"/></Vector></DialogPibble>
  <DialogPibble id="DIALOG_LEVELEND"/>
</Node></dialogs>)";

class DialogPibbleTest : public ::testing::Test {
protected:
    void SetUp() override {
        game::resetGameGlobals();
        FrontendWorld::setText("TEXT_LONG", u"one\ntwo\nthree");
        FrontendWorld::setText("TEXT_SHORT", u"fits");
        FrontendWorld::setText("TEXT_HDR", u"header");
        world.startIn("SOURCE");
    }
    ui::Scene& scene() const { return *world.source; }
    static int yOf(ui::Dialog* dialog, const char* name) { return dialog->findComponent(name)->getY(); }
    static void press(ui::Dialog* dialog, const char* name) {
        auto* button = static_cast<ui::Button*>(dialog->findComponent(name));
        button->invoke(button);
    }

    FrontendWorld world{declarations};
};

TEST_F(DialogPibbleTest, AutoCentredDialogsAreCentredAtEveryShowing) {
    ui::Dialog* centred = DialogPibble::openDialog("DIALOG_CENTRED");
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(centred->getClassInfo(), &DialogPibble::classInfo);
    EXPECT_EQ(centred->getX(), 220);
    EXPECT_EQ(centred->getY(), 189);
    centred->setPosition(0, 0);
    scene().showDialog(centred);
    EXPECT_EQ(centred->getX(), 220);
    // Truncated toward zero: 61 and 1 pixels too large.
    ui::Dialog* huge = DialogPibble::openDialog("DIALOG_HUGE", &scene(), true);
    EXPECT_EQ(huge->getX(), -30);
    EXPECT_EQ(huge->getY(), 0);
    ui::Dialog* placed = DialogPibble::openDialog("DIALOG_PLACED");
    EXPECT_EQ(placed->getX(), 5);
    EXPECT_EQ(placed->getY(), 7);
    EXPECT_EQ(scene().getOpenDialogs().size(), 3u);
    DialogPibble::closeDialog("DIALOG_PLACED");
    EXPECT_EQ(scene().findDialog("DIALOG_PLACED"), nullptr);
    EXPECT_TRUE(scene().isDialogOpen("DIALOG_CENTRED"));
}

TEST_F(DialogPibbleTest, MessageBoxGrowsByTheChangeOfTheMessageHeight) {
    ui::Dialog* box = DialogPibble::showMessage("TEXT_LONG", "TEXT_HDR");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(scene().findDialog("TEXT_LONG"), box);
    EXPECT_EQ(box->getHeight(), 120);
    EXPECT_EQ(yOf(box, "BUTTON_OK"), 80);
    EXPECT_EQ(static_cast<ui::Label*>(box->findComponent("HEADER"))->getText(), u"header");

    ui::Dialog* fitting = DialogPibble::showMessage("TEXT_SHORT", "TEXT_HDR");
    EXPECT_EQ(fitting->getHeight(), 100);
    EXPECT_EQ(yOf(fitting, "BUTTON_OK"), 60);
}

TEST_F(DialogPibbleTest, MessageWithoutHeaderTakesTheHeadersPlace) {
    ui::Dialog* box = DialogPibble::showMessage("TEXT_LONG", "");
    ASSERT_NE(box, nullptr);
    ui::GameNode* header = box->findComponent("HEADER");
    EXPECT_TRUE(header == nullptr || header->isDead());
    EXPECT_EQ(yOf(box, "MESSAGE"), 10);
    // 20 more for the text, 20 less for the header's gap.
    EXPECT_EQ(box->getHeight(), 100);
    EXPECT_EQ(yOf(box, "BUTTON_OK"), 60);
}

TEST_F(DialogPibbleTest, QuestionBoxGrowsByTheWholeMessageAndReplacesItsTwin) {
    ui::Dialog* first = DialogPibble::showYesNo("TEXT_LONG", "TEXT_HDR", nullptr, nullptr, nullptr, nullptr);
    ui::Dialog* second = DialogPibble::showYesNo("TEXT_LONG", "TEXT_HDR", nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    ASSERT_EQ(scene().getOpenDialogs().size(), 1u);
    EXPECT_EQ(scene().getOpenDialogs().front(), second);
    EXPECT_EQ(second->getHeight(), 80 + 28);
    EXPECT_EQ(yOf(second, "BUTTON_YES"), 40 + 28);
    EXPECT_EQ(yOf(second, "BUTTON_NO"), 40 + 28);
}

TEST_F(DialogPibbleTest, ButtonsWithoutHandlerCloseOnlyTheirOwnBox) {
    ui::Dialog* a = DialogPibble::showMessage("TEXT_LONG", "TEXT_HDR");
    ui::Dialog* b = DialogPibble::showMessage("TEXT_SHORT", "TEXT_HDR");
    // A target without a handler still closes its own box.
    ui::Dialog* question = DialogPibble::showYesNo("TEXT_HDR", "", &scene(), nullptr, nullptr, nullptr);
    press(a, "BUTTON_OK");
    EXPECT_EQ(scene().findDialog("TEXT_LONG"), nullptr);
    EXPECT_TRUE(scene().isDialogOpen("TEXT_SHORT"));
    press(question, "BUTTON_YES");
    EXPECT_EQ(scene().findDialog("TEXT_HDR"), nullptr);
    press(b, "BUTTON_OK");
    EXPECT_TRUE(scene().getOpenDialogs().empty());
}

TEST_F(DialogPibbleTest, LevelEndKindIsStoredBeforeTheDialogShows) {
    ui::Dialog* dialog = DialogPibble::openLevelEnd(game::levelEndChapterFinished);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(game::levelEndKind(), game::levelEndChapterFinished);
    EXPECT_TRUE(scene().isDialogOpen("DIALOG_LEVELEND"));
}

} // namespace
