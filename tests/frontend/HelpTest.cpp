// The help book over a scene: its pages come from the two text lists of the store, its contents stand in a
// scroll panel with a vertical bar, and its page indicator is written with the format text of the data.
#include "game/frontend/DialogHelp.h"

#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/ScrollPanel.h"
#include "engine/ui/Slider.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/StyleLabel.h"
#include "game/foundation/GameIds.h"
#include "host/Window.h"

#include "EncodedImages.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <set>
#include <string>

namespace {

using frontendtest::FrontendWorld;
using game::DialogHelp;
namespace ids = game::ids;

// A text of n lines in the test font is 10n - 2 high; the panel's window is 100 high.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <DialogHelp id="DIALOG_HELP" x="50" y="20" width="500" height="400" autoenlarge="false"><Vector id="components">
    <Label name="LABEL_HDR" x="10" y="10" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_IDX" x="200" y="370" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <ScrollPanel name="SCROLLPANEL" x="10" y="40" width="400" height="100">
      <Slider id="scrollbar_vertical" vertical="true" width="10" height="100"><Button id="button" width="10" height="40"/></Slider>
      <Vector id="panelcomponents"><StyleLabel name="LABEL_CONTENTS" width="380" font="FONT_OOGIEBOOGIE_20"
        section="preloading"/></Vector></ScrollPanel>
    <Button name="BUTTON_PREV" x="10" y="360" width="40" height="80"/>
    <Button name="BUTTON_NEXT" x="440" y="360" width="40" height="80"/>
    <Button name="BUTTON_OK" x="230" y="340" width="40" height="80"/></Vector></DialogHelp>
  <DialogHelp id="DIALOG_HELP_BARE" width="100" height="100"/></Node></dialogs>)";

std::u16string lines(int count) {
    std::u16string text = u"line";
    for (int i = 1; i < count; ++i) {
        text += u"\nline";
    }
    return text;
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ui::SoundSystem::create(44100, 32);
        FrontendWorld::setText(ids::textPageFormat, u"%d of %d");
        addSounds();
        world.startIn("SOURCE");
    }
    void TearDown() override {
        help = nullptr;
        world.source->removeAllDialogs();
        ui::SoundSystem::destroy();
    }

    static void setList(const char* name, std::initializer_list<std::u16string> entries) {
        kernel::SmartPtr<kernel::VectorValue>& list = kernel::PropertyStore::instance()->vectorRef(name);
        list = new kernel::VectorValue(name);
        for (const std::u16string& entry : entries) {
            list->append(new kernel::ScalarValue("", entry, kernel::Typing::Untyped));
        }
    }
    // Five pages: "alpha" to "echo", with texts of 20, 2, 30, 1 and 5 lines.
    static void setFivePages() {
        setList(ids::helpHeaders, {u"alpha", u"bravo", u"charlie", u"delta", u"echo"});
        setList(ids::helpContents, {lines(20), lines(2), lines(30), lines(1), lines(5)});
    }

    void addSounds() {
        kernel::NodeValue declaration(ids::groupSounds, "Node");
        declaration.setChild(new kernel::ScalarValue("name", ids::groupSounds, kernel::Typing::Untyped));
        const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        for (const char* name : {ids::soundDialogAppears, ids::soundDialogDisappears}) {
            sounds[name] = new testsupport::HeldResource(nullptr);
            group->addResource(name, sounds[name].get());
        }
        kernel::ResourceManager::instance()->addGroup(group.get());
        played();
    }
    std::set<std::string> played() {
        std::set<std::string> names;
        for (const auto& [name, resource] : sounds) {
            const auto* sample = static_cast<const ui::SoundSample*>(resource->get());
            if (sample != nullptr && sample->getLastPlayStart() != ui::SoundSample::PlayStart::None) {
                names.insert(name);
            }
            const kernel::SmartPtr<ui::SoundSample> fresh = new ui::SoundSample();
            EXPECT_EQ(fresh->load(wavFile, 0), 0);
            resource->hold(fresh.get());
        }
        return names;
    }

    DialogHelp* open(const char* name = ids::dialogHelp) {
        ui::Dialog* made = game::DialogPibble::openDialog(name);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogHelp::classInfo));
        help = static_cast<DialogHelp*>(made);
        return help.get();
    }
    // A press and a release on the sprite as the scene's input hands them out.
    void clickAt(int x, int y) {
        world.source->getInputDispatcher()->onLeftDown(x, y, host::MK_LBUTTON, false);
        world.source->getInputDispatcher()->onLeftUp(x, y, 0);
    }
    void click(const ui::Sprite* sprite) {
        clickAt(sprite->getAbsoluteX() + sprite->getWidth() / 2,
                sprite->getAbsoluteY() + sprite->getHeight() / 2);
    }
    bool enabled(bool prev, bool next) const {
        return help->getButtonPrev()->isEnabled() == prev && help->getButtonNext()->isEnabled() == next;
    }
    std::u16string header() const { return help->getLabelHeader()->getText(); }
    std::u16string index() const { return help->getLabelIndex()->getText(); }
    ui::Panel* content() const { return help->getScrollPanel()->getContentPanel(); }

    FrontendWorld world{declarations};
    testsupport::TempDir files;
    std::string wavFile = files.write("page.wav", testsupport::wav(testsupport::tone(200)));
    std::map<std::string, kernel::SmartPtr<testsupport::HeldResource>> sounds;
    kernel::SmartPtr<DialogHelp> help;
};

TEST_F(HelpTest, TurnsThroughThePagesFromTheTopOfEach) {
    setFivePages();
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(played(), std::set<std::string>{ids::soundDialogAppears});
    EXPECT_EQ(help->getPageCount(), 5);
    EXPECT_EQ(header(), u"alpha");
    EXPECT_EQ(help->getLabelContents()->getText(), lines(20));
    EXPECT_EQ(index(), u"1 of 5");
    EXPECT_TRUE(enabled(false, true)) << "nothing before the first page";
    EXPECT_EQ(content()->getHeight(), 198 + DialogHelp::contentMargin);

    // A click at the bottom of the bar (bound into the dialog's input) scrolls to the end of the text; the
    // next page starts at its top, taller or shorter.
    const ui::Slider* bar = help->getScrollPanel()->getVerticalBar();
    ASSERT_NE(bar, nullptr);
    clickAt(bar->getAbsoluteX() + 5, bar->getAbsoluteY() + bar->getHeight() - 1);
    EXPECT_EQ(bar->getValue(), 1.0f);
    EXPECT_EQ(content()->getY(), -(198 + DialogHelp::contentMargin - 100));
    click(help->getButtonNext());
    EXPECT_EQ(help->getPage(), 1);
    EXPECT_EQ(header(), u"bravo");
    EXPECT_EQ(index(), u"2 of 5");
    EXPECT_TRUE(enabled(true, true));
    EXPECT_EQ(content()->getY(), 0);
    EXPECT_EQ(help->getScrollPanel()->getVerticalBar()->getValue(), 0.0f);
    EXPECT_EQ(content()->getHeight(), 18 + DialogHelp::contentMargin);

    click(help->getButtonNext());
    help->getScrollPanel()->setVerticalScroll(0.5f);
    ASSERT_LT(content()->getY(), 0);
    click(help->getButtonNext());
    click(help->getButtonPrev());
    EXPECT_EQ(header(), u"charlie");
    EXPECT_EQ(content()->getY(), 0) << "back from the top too";
    EXPECT_EQ(content()->getHeight(), 298 + DialogHelp::contentMargin);

    click(help->getButtonNext());
    click(help->getButtonNext());
    EXPECT_EQ(header(), u"echo");
    EXPECT_EQ(index(), u"5 of 5");
    EXPECT_TRUE(enabled(true, false)) << "nothing after the last page";
    // A turn that arrives all the same stays on the last page.
    DialogHelp::onNext(static_cast<ui::GameNode*>(help.get()), nullptr);
    EXPECT_EQ(help->getPage(), 4);
    EXPECT_EQ(header(), u"echo");

    EXPECT_TRUE(played().empty()) << "turning is silent";
    click(help->getButtonOk());
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogHelp));
    EXPECT_EQ(played(), std::set<std::string>{ids::soundDialogDisappears});
}

TEST_F(HelpTest, ASinglePageLeadsNowhere) {
    setList(ids::helpHeaders, {u"only"});
    setList(ids::helpContents, {u"text"});
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(enabled(false, false));
    EXPECT_EQ(index(), u"1 of 1");
    DialogHelp::onPrev(static_cast<ui::GameNode*>(help.get()), nullptr);
    DialogHelp::onNext(static_cast<ui::GameNode*>(help.get()), nullptr);
    EXPECT_EQ(help->getPage(), 0);
    EXPECT_EQ(header(), u"only");
}

TEST_F(HelpTest, ListsOfDifferentLengthsOrNoneReadAsEmptyPages) {
    // The contents end early and one entry is no text: those pages show only their header.
    setList(ids::helpHeaders, {u"one", u"two", u"three"});
    setList(ids::helpContents, {u"first"});
    kernel::PropertyStore::instance()
        ->vectorRef(ids::helpContents)
        ->append(new kernel::NodeValue("odd", "Node"));
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(help->getLabelContents()->getText(), u"first");
    for (const char16_t* name : {u"two", u"three"}) {
        click(help->getButtonNext());
        EXPECT_EQ(header(), name);
        EXPECT_EQ(help->getLabelContents()->getText(), u"");
    }
    EXPECT_EQ(index(), u"3 of 3");
    game::DialogPibble::closeDialog(ids::dialogHelp);

    // Longer contents are never reached: the headers count the pages.
    setList(ids::helpContents, {u"a", u"b", u"c", u"d"});
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(help->getPageCount(), 3);
    game::DialogPibble::closeDialog(ids::dialogHelp);

    // Without lists the book shows nothing and cannot be turned.
    kernel::PropertyStore::instance()->vectorRef(ids::helpHeaders) = nullptr;
    kernel::PropertyStore::instance()->vectorRef(ids::helpContents) = nullptr;
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(help->getPageCount(), 0);
    EXPECT_TRUE(enabled(false, false));
    EXPECT_EQ(header(), u"");
    EXPECT_EQ(help->getLabelContents()->getText(), u"");
    EXPECT_EQ(index(), u"");
    DialogHelp::onNext(static_cast<ui::GameNode*>(help.get()), nullptr);
    DialogHelp::onPrev(static_cast<ui::GameNode*>(help.get()), nullptr);
    EXPECT_EQ(help->getPage(), 0);
}

TEST_F(HelpTest, TheDialogKeepsTheListsItWasMadeWith) {
    setFivePages();
    ASSERT_NE(open(), nullptr);
    // The store's lists replaced (and the old ones let go there) while the book is open.
    setList(ids::helpHeaders, {u"new"});
    setList(ids::helpContents, {u"new"});
    click(help->getButtonNext());
    EXPECT_EQ(header(), u"bravo");
    EXPECT_EQ(help->getLabelContents()->getText(), lines(2));
    EXPECT_EQ(index(), u"2 of 5");
}

TEST_F(HelpTest, ThePageFormatFillsOnlyNumbers) {
    setFivePages();
    FrontendWorld::setText(ids::textPageFormat, u"%s page %d/%d %x%%");
    ASSERT_NE(open(), nullptr);
    click(help->getButtonNext());
    EXPECT_EQ(index(), u"%s page 2/5 %x%");
}

TEST_F(HelpTest, ADeclarationWithoutPartsStillOpensTurnsAndCloses) {
    setFivePages();
    ASSERT_NE(open("DIALOG_HELP_BARE"), nullptr);
    DialogHelp::onNext(static_cast<ui::GameNode*>(help.get()), nullptr);
    EXPECT_EQ(help->getPage(), 1);
    world.frame();
    game::DialogPibble::closeSelf(static_cast<ui::GameNode*>(help.get()), nullptr);
    EXPECT_FALSE(world.source->isDialogOpen("DIALOG_HELP_BARE"));
    world.frame();
}

// No scene holds the help's pictures: a help reads its section as it is made, before its first page's
// markup looks its pictures up, and the last help to go lets the section go.
TEST_F(HelpTest, TheHelpReadsItsPicturesAsItIsMadeAndLetsThemGoWithTheLast) {
    testsupport::PngPicture picture;
    picture.width = 30;
    picture.height = 44;
    picture.samples.assign(30 * 44, 200);
    // Named relative to the working folder, as the game names its files.
    std::filesystem::create_directories("media/images/help");
    std::ofstream("media/images/help/plain.png", std::ios::binary) << testsupport::encodePng(picture);
    const std::string definitions = files.write(
        "help.xml", std::string(R"(<Resources><Vector id="Sections"><Node name=")") + ids::groupHelp +
                        R"(" auto="false"><Image id="IMAGE_HELP_PIBBLE" file="media/images/help/plain.png"/>)"
                        "</Node></Vector></Resources>");
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(definitions);
    document->load();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    resources->addGroup(new kernel::ResourceGroup(*document->getVector("Sections").at(0)));
    const auto loaded = [&] {
        kernel::Resource* resource = resources->findResource("IMAGE_HELP_PIBBLE", ids::groupHelp);
        return resource != nullptr && resource->isLoaded() && resource->get() != nullptr;
    };
    setList(ids::helpHeaders, {u"alpha", u"bravo"});
    setList(ids::helpContents, {u"[image=IMAGE_HELP_PIBBLE,help,left,flow]line", u"line"});
    EXPECT_FALSE(loaded());

    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(loaded());
    DialogHelp* first = help.get();
    ASSERT_NE(open("DIALOG_HELP_BARE"), nullptr);
    EXPECT_EQ(DialogHelp::pictures.dialogCount(), 2);
    game::DialogPibble::closeSelf(static_cast<ui::GameNode*>(first), nullptr);
    world.frame();
    EXPECT_TRUE(loaded()) << "the other help still holds them";
    game::DialogPibble::closeSelf(static_cast<ui::GameNode*>(help.get()), nullptr);
    help = nullptr;
    world.frame();
    EXPECT_FALSE(loaded());
}

} // namespace
