// The player list and the new player's name over a game scene that counts its welcome updates, with the
// players kept as real files in the working folder, typing and clicks handed to the scene's dispatcher as
// the window hands them, and the comic's pages loaded by the loader thread for a second player.
#include "game/frontend/DialogProfile.h"
#include "game/frontend/DialogProfileCreate.h"

#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/InputLabel.h"
#include "engine/ui/Label.h"
#include "engine/ui/SceneManager.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogStrip.h"
#include "host/Time.h"
#include "host/Window.h"

#include "FrontendWorld.h"
#include "StripPages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>

namespace {

using frontendtest::FrontendWorld;
using game::DialogProfile;
using game::DialogProfileCreate;
namespace ids = game::ids;

constexpr int markerOffsetX = -15;
constexpr int markerOffsetY = 3;

// Row n (1..5) is a button of 200 x 25 at (40, 30n).
int rowY(int row) {
    return 30 * (row + 1);
}

std::string declarations() {
    std::string rows;
    for (int n = 1; n <= 5; ++n) {
        const std::string y = std::to_string(rowY(n - 1));
        rows += "<Button name=\"BUTTON_INPUT_" + std::to_string(n) + "\" x=\"40\" y=\"" + y +
                "\" width=\"200\" height=\"100\"/><Label name=\"LABEL_INPUT_" + std::to_string(n) +
                "\" x=\"44\" y=\"" + y + R"(" font="FONT_OOGIEBOOGIE_20" section="preloading"/>)";
    }
    return R"(<dialogs><Node id="dialogs">
  <DialogProfile id="DIALOG_PROFILE" width="300" height="260" autoenlarge="false"><Vector id="components">
    <Sprite name="INPUT_MARKER" width="10" height="10"/>)" +
           rows + R"(
    <Button name="BUTTON_OK" x="20" y="200" width="60" height="80"/>
    <Button name="BUTTON_NEW" x="100" y="200" width="60" height="80"/>
    <Button name="BUTTON_DEL" x="180" y="200" width="60" height="80"/></Vector></DialogProfile>
  <DialogProfileCreate id="DIALOG_PROFILECREATE" width="300" height="120" autoenlarge="false">
    <Vector id="components">
    <InputLabel name="INPUTLABEL_NAME" x="20" y="20" width="200" height="12" maxlength="12">
      <Label id="label" font="FONT_OOGIEBOOGIE_20" section="preloading"/></InputLabel>
    <Button name="BUTTON_OK" x="40" y="80" width="60" height="80"/>
    <Button name="BUTTON_CANCEL" x="200" y="80" width="60" height="80"/></Vector></DialogProfileCreate>
  <DialogPibble id="DIALOG_MESSAGE" width="200" height="100" autoenlarge="false"><Vector id="components">
    <Label name="HEADER" x="10" y="10" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="MESSAGE" x="10" y="30" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_OK" x="80" y="60" width="40" height="80"/></Vector></DialogPibble>
  <DialogPibble id="DIALOG_YESNO" width="200" height="80" autoenlarge="false"><Vector id="components">
    <Label name="HEADER" x="10" y="10" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="MESSAGE" x="10" y="30" width="180" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_YES" x="20" y="40" width="40" height="80"/>
    <Button name="BUTTON_NO" x="120" y="40" width="40" height="80"/></Vector></DialogPibble>)" +
           striptest::stripDeclaration + "</Node></dialogs>";
}

// The selection scene's stand-in: it counts how often the dialogs ask it to greet the player again.
class GreetingScene : public game::PibbleScene {
public:
    void updateWelcomeText() override { ++greetings; }
    int greetings = 0;
};

std::set<std::string> filesBelow(const std::filesystem::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.insert(std::filesystem::relative(entry.path(), folder).generic_string());
        }
    }
    return files;
}

class ProfileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        kernel::PropertyStore* store = kernel::PropertyStore::instance();
        store->intRef(ids::cfgInputLabelOffsetX) = markerOffsetX;
        store->intRef(ids::cfgInputLabelOffsetY) = markerOffsetY;
        FrontendWorld::setText(ids::textProfileDelete, u"Delete");
        FrontendWorld::setText(ids::textProfileNameInvalid, u"Another name");
        players = platform::PlayerManager::create();
        scene = new GreetingScene();
        ui::RegisterScene("GREET", scene);
        world.startIn("GREET");
    }
    void TearDown() override {
        host::testing::useRealClock();
        platform::PlayerManager::destroy();
    }

    void addPlayers(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            players->addPlayer(new game::PibblePlayer(name));
        }
        ASSERT_TRUE(players->saveAll());
    }
    // The player list and the current profile as the next start reads them.
    void reloadPlayers() {
        platform::PlayerManager::destroy();
        players = platform::PlayerManager::create();
        players->loadAll();
    }
    std::string currentName() const {
        return players->getCurrentPlayer() != nullptr ? players->getCurrentPlayer()->getName() : "";
    }
    static std::string profileFile(const std::string& escapedName) {
        return "players/" + escapedName + ".plr";
    }
    static void startLoader() {
        striptest::addStripPages({1});
        kernel::ResourceManager::instance()->setActive();
    }

    DialogProfile* openList() {
        ui::Dialog* dialog = game::DialogPibble::openDialog(ids::dialogProfile, nullptr, true);
        EXPECT_TRUE(dialog != nullptr && dialog->getClassInfo() == &DialogProfile::classInfo);
        return static_cast<DialogProfile*>(dialog);
    }
    DialogProfileCreate* openCreate() {
        game::DialogPibble::openDialog(ids::dialogProfileCreate, nullptr, true);
        return createDialog();
    }
    // The open name dialog, or null.
    DialogProfileCreate* createDialog() const {
        if (!scene->isDialogOpen(ids::dialogProfileCreate)) {
            return nullptr;
        }
        ui::Dialog* dialog = scene->findDialog(ids::dialogProfileCreate);
        return dialog->isKindOf(DialogProfileCreate::classInfo) ? static_cast<DialogProfileCreate*>(dialog)
                                                                : nullptr;
    }
    static void press(ui::Button* button) {
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        button->invoke(button);
    }
    static void pressRow(DialogProfile& list, int row) { press(list.getRowButton(row)); }
    static ui::Button* part(ui::Dialog& dialog, const char* name) {
        return dialog.findComponentAs<ui::Button>(name);
    }
    static std::u16string rowText(DialogProfile& list, int row) { return list.getRowLabel(row)->getText(); }
    platform::InputDispatcher& input() const { return *scene->getInputDispatcher(); }
    void type(const std::string& text) const {
        for (const char c : text) {
            input().onChar(static_cast<unsigned char>(c));
        }
    }
    void tap(std::uint32_t key) const {
        input().onKeyDown(key);
        input().onKeyUp(key);
    }
    void click(int x, int y) const {
        input().onLeftDown(x, y, 0, false);
        input().onLeftUp(x, y, 0);
    }

    FrontendWorld world{declarations()};
    platform::PlayerManager* players = nullptr;
    GreetingScene* scene = nullptr;
};

TEST_F(ProfileDialogsTest, RowsShowThePlayersAndAClickMakesARowsPlayerCurrent) {
    addPlayers({"Ann", "Bob", "Cid"});
    ASSERT_TRUE(players->selectPlayer("Bob"));
    DialogProfile* list = openList();
    EXPECT_EQ(rowText(*list, 0), u"Ann");
    EXPECT_EQ(rowText(*list, 2), u"Cid");
    EXPECT_EQ(rowText(*list, 3), u"");
    EXPECT_EQ(rowText(*list, 4), u"");
    EXPECT_EQ(list->getSelectedRow(), 1);
    EXPECT_EQ(list->getInputMarker()->getX(), 40 + markerOffsetX);
    EXPECT_EQ(list->getInputMarker()->getY(), rowY(1) + markerOffsetY);
    EXPECT_TRUE(list->getNewButton()->isEnabled());
    EXPECT_TRUE(list->getDeleteButton()->isEnabled());

    pressRow(*list, 2);
    EXPECT_EQ(currentName(), "Cid");
    EXPECT_EQ(list->getSelectedRow(), 2);
    EXPECT_EQ(list->getInputMarker()->getY(), rowY(2) + markerOffsetY);

    press(part(*list, ids::buttonOk));
    EXPECT_EQ(scene->greetings, 1);
    EXPECT_FALSE(scene->isDialogOpen(ids::dialogProfile));
    // The choice lasts: the list file names the new current player.
    ASSERT_TRUE(players->saveAll());
    reloadPlayers();
    EXPECT_EQ(currentName(), "Cid");
}

TEST_F(ProfileDialogsTest, NewIsOfferedWhileThereIsRoomAndDeleteWhileAnotherPlayerRemains) {
    addPlayers({"Ann"});
    DialogProfile* list = openList();
    EXPECT_FALSE(list->getDeleteButton()->isEnabled());
    EXPECT_TRUE(list->getNewButton()->isEnabled());
    game::DialogPibble::closeDialog(ids::dialogProfile);

    addPlayers({"Bob", "Cid", "Dan"});
    list = openList();
    EXPECT_TRUE(list->getDeleteButton()->isEnabled());
    // The empty fifth row asks for a new player.
    pressRow(*list, 4);
    EXPECT_NE(createDialog(), nullptr);
    EXPECT_EQ(players->getPlayerCount(), 4);
    game::DialogPibble::closeDialog(ids::dialogProfileCreate);
    game::DialogPibble::closeDialog(ids::dialogProfile);

    addPlayers({"Eve"});
    list = openList();
    EXPECT_FALSE(list->getNewButton()->isEnabled());
    DialogProfile::onNew(list, list->getNewButton());
    EXPECT_EQ(createDialog(), nullptr);
}

TEST_F(ProfileDialogsTest, DeletingTheCurrentPlayerMakesTheRowBelowCurrentOrTheRowAboveFromTheLastRow) {
    addPlayers({"Ann", "Bob", "Cid"});
    ASSERT_TRUE(players->selectPlayer("Cid"));
    DialogProfile* list = openList();
    ASSERT_TRUE(std::filesystem::exists(profileFile("Cid")));

    press(list->getDeleteButton());
    ui::Dialog* question = scene->findDialog(ids::textProfileDelete);
    ASSERT_NE(question, nullptr);
    // No keeps everyone.
    press(part(*question, ids::buttonNo));
    EXPECT_EQ(players->getPlayerCount(), 3);
    EXPECT_FALSE(scene->isDialogOpen(ids::textProfileDelete));

    press(list->getDeleteButton());
    press(part(*scene->findDialog(ids::textProfileDelete), ids::buttonYes));
    EXPECT_EQ(currentName(), "Bob");
    EXPECT_EQ(list->getSelectedRow(), 1);
    EXPECT_EQ(rowText(*list, 2), u"");
    EXPECT_FALSE(std::filesystem::exists(profileFile("Cid")));
    EXPECT_FALSE(scene->isDialogOpen(ids::textProfileDelete));
    EXPECT_TRUE(scene->isDialogOpen(ids::dialogProfile));
    EXPECT_EQ(scene->greetings, 1);

    pressRow(*list, 0);
    press(list->getDeleteButton());
    press(part(*scene->findDialog(ids::textProfileDelete), ids::buttonYes));
    EXPECT_EQ(currentName(), "Bob");
    EXPECT_EQ(list->getSelectedRow(), 0);
    EXPECT_EQ(rowText(*list, 0), u"Bob");
    EXPECT_FALSE(list->getDeleteButton()->isEnabled());
    // The list file agrees.
    reloadPlayers();
    EXPECT_EQ(players->getPlayerCount(), 1);
    EXPECT_EQ(currentName(), "Bob");
}

TEST_F(ProfileDialogsTest, AFileListingMoreThanFivePlayersShowsOnlyTheFirstFive) {
    addPlayers({"Ann", "Bob", "Cid", "Dan", "Eve", "Fay", "Gus"});
    ASSERT_TRUE(players->selectPlayer("Gus"));
    ASSERT_TRUE(players->saveAll());
    reloadPlayers();
    ASSERT_EQ(players->getPlayerCount(), 7);

    DialogProfile* list = openList();
    EXPECT_EQ(rowText(*list, 4), u"Eve");
    // The current player has no row: the marker stays on a shown one.
    EXPECT_EQ(list->getSelectedRow(), 0);
    EXPECT_EQ(list->getInputMarker()->getY(), rowY(0) + markerOffsetY);
    EXPECT_FALSE(list->getNewButton()->isEnabled());

    // From the last shown row, the row above becomes current.
    pressRow(*list, 4);
    EXPECT_EQ(currentName(), "Eve");
    press(list->getDeleteButton());
    press(part(*scene->findDialog(ids::textProfileDelete), ids::buttonYes));
    EXPECT_EQ(currentName(), "Dan");
    EXPECT_EQ(list->getSelectedRow(), 3);
    EXPECT_EQ(rowText(*list, 4), u"Fay");
    EXPECT_EQ(players->getPlayerCount(), 6);
}

TEST_F(ProfileDialogsTest, TheFirstPlayersNameHasNoCancelAndACentredOk) {
    DialogProfileCreate* create = openCreate();
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->getCancelButton(), nullptr);
    const ui::GameNode* cancel = create->findComponent(ids::buttonCancel);
    EXPECT_TRUE(cancel == nullptr || cancel->isDead());
    ui::Button* ok = create->getOkButton();
    EXPECT_EQ(ok->getX(), 150);
    EXPECT_EQ(ok->getAnchor(), ui::Sprite::Top);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(create->getNameInput()->isFocused());
    world.frame();

    type("Ann");
    press(ok);
    EXPECT_EQ(currentName(), "Ann");
    // A first player gets no comic here: the loading scene has shown it already.
    EXPECT_FALSE(scene->isDialogOpen(ids::dialogStrip));
    EXPECT_TRUE(scene->getOpenDialogs().empty());
    EXPECT_EQ(scene->greetings, 1);
}

TEST_F(ProfileDialogsTest, ALoneBlankIsTakenBackAndOkFollowsTheNameWhileTheFieldKeepsTheKeyboard) {
    addPlayers({"Ann"});
    DialogProfileCreate* create = openCreate();
    ui::InputLabel* name = create->getNameInput();
    ASSERT_NE(create->getCancelButton(), nullptr);
    EXPECT_TRUE(create->getCancelButton()->isEnabled());

    name->setText(u" ", true);
    EXPECT_EQ(name->getText(), u"");
    EXPECT_FALSE(create->getOkButton()->isEnabled());
    type("Bo");
    EXPECT_EQ(name->getText(), u"Bo");
    EXPECT_TRUE(create->getOkButton()->isEnabled());
    type("\b\b");
    EXPECT_FALSE(create->getOkButton()->isEnabled());

    // A click anywhere, Tab and Escape leave the keyboard with the name.
    click(600, 400);
    EXPECT_TRUE(name->isFocused());
    tap(host::VK_TAB);
    tap(host::VK_ESCAPE);
    EXPECT_TRUE(name->isFocused());
    // Enter on an empty name does nothing but keep the focus.
    tap(host::VK_RETURN);
    EXPECT_TRUE(name->isFocused());
    EXPECT_NE(createDialog(), nullptr);

    press(create->getCancelButton());
    EXPECT_EQ(createDialog(), nullptr);
    EXPECT_EQ(players->getPlayerCount(), 1);
}

TEST_F(ProfileDialogsTest,
       ASecondPlayerIsMadeClosesEveryDialogAndIsGreetedWithTheComicAndAKnownNameIsChosen) {
    startLoader();
    addPlayers({"Ann"});
    DialogProfile* list = openList();
    press(list->getNewButton());
    ASSERT_NE(createDialog(), nullptr);
    type("Bob");
    tap(host::VK_RETURN);
    EXPECT_EQ(players->getPlayerCount(), 2);
    EXPECT_EQ(currentName(), "Bob");
    EXPECT_TRUE(std::filesystem::exists(profileFile("Bob")));
    EXPECT_EQ(scene->greetings, 1);
    EXPECT_FALSE(scene->isDialogOpen(ids::dialogProfile));
    EXPECT_EQ(createDialog(), nullptr);
    // The comic waited for what it opens with (a page that fails to load counts as done), not for the later
    // pages, which it reads as it goes.
    ASSERT_TRUE(scene->isDialogOpen(ids::dialogStrip));
    EXPECT_EQ(scene->getOpenDialogs().size(), 1u);
    EXPECT_TRUE(striptest::pageLoaded(1));
    EXPECT_TRUE(striptest::page(1)->hasError());
    EXPECT_FALSE(striptest::pageLoaded(3));
    // The closed dialogs go with the frame's clean-up.
    for (int frame = 0; frame < 5; ++frame) {
        world.frame();
    }
    reloadPlayers();
    EXPECT_EQ(players->getPlayerCount(), 2);
    EXPECT_EQ(currentName(), "Bob");

    // An existing name makes that player current without a second profile.
    DialogProfileCreate* again = openCreate();
    type("Ann");
    press(again->getOkButton());
    EXPECT_EQ(players->getPlayerCount(), 2);
    EXPECT_EQ(currentName(), "Ann");
}

TEST_F(ProfileDialogsTest, NamesThatStandForFoldersAreRefused) {
    addPlayers({"Ann"});
    DialogProfileCreate* create = openCreate();
    for (const char* name : {".", ".."}) {
        create->getNameInput()->setText(u"", true);
        type(name);
        press(create->getOkButton());
        EXPECT_EQ(players->getPlayerCount(), 1) << name;
        ASSERT_TRUE(scene->isDialogOpen(ids::textProfileNameInvalid)) << name;
        EXPECT_EQ(createDialog(), create);
        EXPECT_TRUE(create->getNameInput()->isFocused());
        press(part(*scene->findDialog(ids::textProfileNameInvalid), ids::buttonOk));
    }
    EXPECT_TRUE(DialogProfileCreate::isReservedName(".."));
    EXPECT_FALSE(DialogProfileCreate::isReservedName("..."));
    EXPECT_EQ(scene->greetings, 0);
}

// Names become file names only through escaping: whatever a name holds, its files stay in the players folder.
TEST_F(ProfileDialogsTest, ANameWithSlashesAndDotsStaysAFileInThePlayersFolder) {
    startLoader();
    addPlayers({"Ann"});
    const std::filesystem::path folder = std::filesystem::current_path();
    const std::set<std::string> before = filesBelow(folder);
    for (const char* name : {"../../evil", "a/..", "..\\x"}) {
        DialogProfileCreate* create = openCreate();
        create->getNameInput()->setText(game::widen(name), true);
        press(create->getOkButton());
        EXPECT_EQ(currentName(), name);
        world.frame();
    }
    for (const std::string& file : filesBelow(folder)) {
        if (before.count(file) == 0) {
            EXPECT_EQ(file.rfind("players/", 0), 0u) << file;
            EXPECT_EQ(file.find('/', 8), std::string::npos) << file;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "evil.plr"));
    reloadPlayers();
    EXPECT_EQ(players->getPlayerCount(), 4);
    EXPECT_TRUE(players->nameExists("../../evil"));
    EXPECT_EQ(currentName(), "..\\x");
}

// A loader that never finishes the pages is given up on; the comic then reads its first page itself.
TEST_F(ProfileDialogsTest, TheWaitForTheComicEndsEvenWhenItsPagesNeverLoad) {
    striptest::addStripPages();
    addPlayers({"Ann"});
    host::testing::useFakeClock(1000);
    DialogProfileCreate* create = openCreate();
    type("Bob");
    press(create->getOkButton());
    EXPECT_GE(host::testing::fakeSleptMilliseconds(), DialogProfileCreate::stripWaitLimitMs);
    ASSERT_TRUE(scene->isDialogOpen(ids::dialogStrip));
    auto* comic = static_cast<game::DialogStrip*>(scene->findDialog(ids::dialogStrip));
    EXPECT_NE(comic->getPageSprite()->getImage(), nullptr);
    EXPECT_EQ(comic->getPageSprite()->getImage(), striptest::page(1)->get());
}

} // namespace
