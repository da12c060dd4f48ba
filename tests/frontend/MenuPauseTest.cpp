// The in-game menu and the pause over a game scene, driven through the scene's input as the window
// delivers it, with a window (for the pointer's shape), sounds on SDL's dummy driver and the album: the
// menu's buttons and the order in which the menu closes and the next dialog opens, the album over the menu,
// stale clicks on a closed menu (the quit question's answers are played over a real play scene); the pause's
// fade-in, its sounds, the hand over its "continue" text and its fade-out and close after one click or
// several.
#include "game/frontend/DialogMenu.h"
#include "game/frontend/DialogPause.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/Application.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "host/Window.h"

#include "AlbumWorld.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::DialogMenu;
using game::DialogPause;
namespace ids = game::ids;

constexpr int stepMs = 10;

// What the dialogs that follow the menu saw of it when they were shown: "<name> over menu" or
// "<name> alone".
std::vector<std::string> followerLog;

// Stands for the help, the settings and the quit question, and notes whether the menu was still open
// when it was shown.
class FollowerDialog : public game::DialogPibble {
public:
    explicit FollowerDialog(kernel::NodeValue& settings) : game::DialogPibble(settings) {}
    void show() override {
        const ui::Scene* scene = game::currentScene();
        const bool menuOpen = scene != nullptr && scene->isDialogOpen(ids::dialogMenu);
        followerLog.push_back(getName() + (menuOpen ? " over menu" : " alone"));
        game::DialogPibble::show();
    }
    static kernel::Object* createInstance(kernel::Value& settings) {
        return settings.isNode() ? new FollowerDialog(settings.asNode()) : nullptr;
    }
};
const kernel::ClassRegistrar followerRegistrar("MenuPauseFollower", FollowerDialog::createInstance);

// Buttons without pictures are a quarter of their declared height: each of the menu's is 160 x 40.
std::string declarations() {
    return R"(<dialogs><Node id="dialogs">
      <DialogMenu id="DIALOG_MENU" x="200" y="60" width="240" height="300"><Vector id="components">
        <Button name="BUTTON_HELP" x="40" y="20" width="160" height="160"/>
        <Button name="BUTTON_ALBUM" x="40" y="70" width="160" height="160"/>
        <Button name="BUTTON_SETTINGS" x="40" y="120" width="160" height="160"/>
        <Button name="BUTTON_QUIT" x="40" y="170" width="160" height="160"/>
        <Button name="BUTTON_CONTINUE" x="40" y="220" width="160" height="160"/></Vector></DialogMenu>
      <DialogPause id="DIALOG_PAUSE" width="640" height="480" autoenlarge="false"><Vector id="components">
        <Sprite name="LABEL_PAUSE_CONTINUE" x="270" y="400" width="100" height="30"/></Vector></DialogPause>
      <MenuPauseFollower id="DIALOG_HELP" x="100" y="100" width="300" height="200"/>
      <MenuPauseFollower id="DIALOG_SETTINGS" x="100" y="100" width="300" height="200"/>
      <MenuPauseFollower id="DIALOG_YESNO" x="200" y="300" width="240" height="100"><Vector id="components">
        <Label name="HEADER"/><Label name="MESSAGE"/>
        <Button name="BUTTON_YES" x="20" y="40" width="80" height="160"/>
        <Button name="BUTTON_NO" x="140" y="40" width="80" height="160"/></Vector></MenuPauseFollower>)" +
           albumtest::albumDeclarations() + "</Node></dialogs>";
}

// A sound whose every lookup is counted: the dialogs look a sound up each time they play it.
class CountedSound : public testsupport::HeldResource {
public:
    explicit CountedSound(kernel::Object* sample) : testsupport::HeldResource(sample) {}
    kernel::Object* get() override {
        ++plays;
        return testsupport::HeldResource::get();
    }
    int plays = 0;
};

class MenuPauseTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        followerLog.clear();
        app = platform::Application::create("menu test", 640, 480, false, 0, 101);
        ui::SoundSystem::create(44100, 32);
        albumtest::writeFile("media/sounds/tone.wav", testsupport::wav(testsupport::tone(200)));
        addSounds(ids::groupSounds, {ids::soundDialogAppears, ids::soundDialogDisappears});
        addSounds(ids::groupGameSounds, {ids::soundPause, ids::soundUnpause});
        FrontendWorld::setText(ids::textQuit, u"Quit");
        FrontendWorld::setText(ids::textQuitHeader, u"Sure");
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        albumtest::addAlbumPictures();
        albumtest::writeCollectables(albumtest::reversedOrder());
        game::AlbumPictures::create()->loadOrder();
        world.startIn("SOURCE");
        scene = world.source;
    }
    void TearDown() override {
        world.source->removeAllDialogs();
        game::AlbumPictures::destroy();
        platform::PlayerManager::destroy();
        ui::SoundSystem::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }

    void addSounds(const char* section, std::initializer_list<const char*> names) {
        kernel::NodeValue declaration(section, "Node");
        declaration.setChild(new kernel::ScalarValue("name", section, kernel::Typing::Untyped));
        const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        for (const char* name : names) {
            const kernel::SmartPtr<ui::SoundSample> sample = new ui::SoundSample();
            EXPECT_EQ(sample->load("media/sounds/tone.wav", 0), 0);
            group->addResource(name, sounds[name] = new CountedSound(sample.get()));
        }
        kernel::ResourceManager::instance()->addGroup(group.get());
    }
    // How often each sound was played since the last call, by name; sounds not played are left out.
    std::map<std::string, int> played() {
        std::map<std::string, int> counts;
        for (auto& [name, sound] : sounds) {
            if (sound->plays > 0) {
                counts[name] = sound->plays;
            }
            sound->plays = 0;
        }
        return counts;
    }

    void frame() { world.frame(stepMs); }
    void run(int ms) {
        for (int t = 0; t < ms; t += stepMs) {
            frame();
        }
    }
    bool runUntil(const std::function<bool()>& condition, int maxMs = 5000) {
        for (int t = 0; t < maxMs && !condition(); t += stepMs) {
            frame();
        }
        return condition();
    }

    // The window's messages reach the scene's input and are handed out in the next frame.
    void send(std::uint32_t message, std::uint32_t keys, int x, int y) {
        scene->getInputDispatcher()->onWindowMessage(message, keys,
                                                     static_cast<std::uint32_t>(host::MAKELPARAM(x, y)));
    }
    void clickAt(int x, int y) {
        send(host::WM_LBUTTONDOWN, host::MK_LBUTTON, x, y);
        send(host::WM_LBUTTONUP, 0, x, y);
        frame();
    }
    void doubleClickAt(int x, int y) {
        send(host::WM_LBUTTONDOWN, host::MK_LBUTTON, x, y);
        send(host::WM_LBUTTONUP, 0, x, y);
        send(host::WM_LBUTTONDBLCLK, host::MK_LBUTTON, x, y);
        send(host::WM_LBUTTONUP, 0, x, y);
        frame();
    }
    void pointTo(int x, int y) {
        send(host::WM_MOUSEMOVE, 0, x, y);
        frame();
    }
    static std::pair<int, int> centreOf(const ui::Sprite* sprite) {
        return {sprite->getAbsoluteX() + sprite->getWidth() / 2,
                sprite->getAbsoluteY() + sprite->getHeight() / 2};
    }
    void click(const ui::Sprite* sprite) {
        ASSERT_NE(sprite, nullptr);
        const auto [x, y] = centreOf(sprite);
        clickAt(x, y);
    }
    host::HCURSOR cursor(std::uintptr_t id) const {
        return host::LoadCursor(nullptr, host::MAKEINTRESOURCE(id));
    }

    DialogMenu* openMenu() {
        ui::Dialog* made = game::DialogPibble::openDialog(ids::dialogMenu, nullptr, true);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogMenu::classInfo));
        return static_cast<DialogMenu*>(made);
    }
    DialogPause* openPause() {
        ui::Dialog* made = game::DialogPibble::openDialog(ids::dialogPause, nullptr, true);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogPause::classInfo));
        return static_cast<DialogPause*>(made);
    }
    bool isOpen(const char* key) const { return scene->isDialogOpen(key); }
    std::vector<std::string> openDialogs() const {
        std::vector<std::string> names;
        for (const auto& dialog : scene->getOpenDialogs()) {
            names.push_back(dialog->getName());
        }
        return names;
    }
    static void setInt(const char* key, int value) { kernel::PropertyStore::instance()->intRef(key) = value; }

    FrontendWorld world{declarations()};
    platform::Application* app = nullptr;
    frontendtest::ColourScene* scene = nullptr;
    std::map<std::string, kernel::SmartPtr<CountedSound>> sounds;
};

// The menu.

TEST_F(MenuPauseTest, TheMenuFindsItsButtonsAndSoundsItsShowingAndItsClosingOnce) {
    DialogMenu* menu = openMenu();
    for (ui::Button* button : {menu->getHelpButton(), menu->getAlbumButton(), menu->getSettingsButton(),
                               menu->getQuitButton(), menu->getContinueButton()}) {
        ASSERT_NE(button, nullptr);
    }
    EXPECT_TRUE(menu->listenerList().isExclusive());
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundDialogAppears, 1}}));

    // A double click on continue closes the menu with the first click; the second reaches nothing.
    frame();
    doubleClickAt(centreOf(menu->getContinueButton()).first, centreOf(menu->getContinueButton()).second);
    EXPECT_FALSE(isOpen(ids::dialogMenu));
    EXPECT_EQ(scene->findDialog(ids::dialogMenu), nullptr) << "dropped, so the next opening builds it afresh";
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundDialogDisappears, 1}}));
    run(50);
    EXPECT_TRUE(openDialogs().empty());
}

TEST_F(MenuPauseTest, AClosedMenusButtonsDoNothingEvenWhenAFreshMenuIsOpen) {
    const kernel::SmartPtr<DialogMenu> old = openMenu();
    frame();
    click(old->getHelpButton());
    ASSERT_TRUE(isOpen(ids::dialogHelp));
    scene->removeDialog(ids::dialogHelp);
    DialogMenu* fresh = openMenu();
    ASSERT_NE(fresh, old.get());
    played();
    followerLog.clear();

    // Clicks of the old menu still on their way: continue, help, settings, quit and the album.
    void* receiver = static_cast<ui::GameNode*>(old.get());
    for (const auto handler : {DialogMenu::onContinue, DialogMenu::onHelp, DialogMenu::onSettings,
                               DialogMenu::onQuit, DialogMenu::onAlbum}) {
        handler(receiver, old->getContinueButton());
    }
    EXPECT_EQ(openDialogs(), std::vector<std::string>{ids::dialogMenu});
    EXPECT_TRUE(fresh->isShown());
    EXPECT_TRUE(followerLog.empty());
    EXPECT_EQ(game::AlbumPictures::instance()->albumDialog(), nullptr);
    // Taking the old menu down again sounds nothing either.
    old->deactivate();
    EXPECT_TRUE(played().empty());
}

TEST_F(MenuPauseTest, HelpSettingsAndQuitCloseTheMenuBeforeTheirDialogOpens) {
    struct Case {
        ui::Button* (DialogMenu::*button)() const;
        const char* opens;
    };
    const Case cases[] = {{&DialogMenu::getHelpButton, ids::dialogHelp},
                          {&DialogMenu::getSettingsButton, ids::dialogSettings},
                          {&DialogMenu::getQuitButton, ids::textQuit}};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.opens);
        followerLog.clear();
        DialogMenu* menu = openMenu();
        frame();
        played();
        click((menu->*one.button)());
        EXPECT_EQ(followerLog, std::vector<std::string>{std::string(one.opens) + " alone"});
        EXPECT_EQ(openDialogs(), std::vector<std::string>{one.opens});
        EXPECT_EQ(scene->findDialog(ids::dialogMenu), nullptr);
        EXPECT_TRUE(scene->findDialog(one.opens)->listenerList().isExclusive());
        EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundDialogDisappears, 1}}));
        scene->removeDialog(one.opens);
        frame();
    }
}

// The album is exclusive and newest: the menu under it gets no click until the album has gone.
TEST_F(MenuPauseTest, TheAlbumOpensOverTheMenuWhichStaysOpenUnderIt) {
    DialogMenu* menu = openMenu();
    frame();
    played();
    click(menu->getAlbumButton());
    game::AlbumPictures* album = game::AlbumPictures::instance();
    ASSERT_NE(album->albumDialog(), nullptr);
    // The book's page is a dialog of its own above it.
    const std::vector<std::string> order = openDialogs();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[1], ids::dialogAlbum);
    EXPECT_EQ(order[2], ids::dialogMenu);
    EXPECT_TRUE(menu->isShown());
    EXPECT_TRUE(played().empty()) << "the menu neither closed nor showed again";
    ASSERT_TRUE(runUntil([album] { return !album->isAlbumLocked(); }));

    click(menu->getContinueButton());
    click(menu->getHelpButton());
    EXPECT_TRUE(isOpen(ids::dialogMenu));
    EXPECT_FALSE(isOpen(ids::dialogHelp));

    album->closeAlbum();
    ASSERT_TRUE(runUntil([album] { return album->albumDialog() == nullptr; }));
    EXPECT_EQ(openDialogs(), std::vector<std::string>{ids::dialogMenu});
    click(menu->getContinueButton());
    EXPECT_TRUE(openDialogs().empty());
}

// The pause.

TEST_F(MenuPauseTest, ThePauseFadesInSoundsAndShowsTheHandOverItsContinueText) {
    setInt(ids::cfgPauseFadeIn, 100);
    DialogPause* pause = openPause();
    EXPECT_TRUE(pause->listenerList().isExclusive());
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundPause, 1}}));
    frame();
    EXPECT_EQ(pause->getAlpha(), 0);
    int last = 0;
    for (int t = 0; t < 100; t += stepMs) {
        frame();
        EXPECT_GT(pause->getAlpha(), last);
        last = pause->getAlpha();
    }
    EXPECT_EQ(pause->getAlpha(), 255);

    const ui::Sprite* label = static_cast<ui::Sprite*>(pause->findComponent(ids::labelPauseContinue));
    ASSERT_NE(label, nullptr);
    const auto [x, y] = centreOf(label);
    const std::pair<int, int> path[] = {{x, y - 40},
                                        {x, y},
                                        {label->getAbsoluteX(), y},
                                        {label->getAbsoluteX() - 1, y},
                                        {x + 49, y},
                                        {x + 50, y},
                                        {x, y + 14},
                                        {x, y + 15}};
    const bool over[] = {false, true, true, false, true, false, true, false};
    for (std::size_t i = 0; i < std::size(path); ++i) {
        SCOPED_TRACE(std::to_string(path[i].first) + "," + std::to_string(path[i].second));
        pointTo(path[i].first, path[i].second);
        EXPECT_EQ(app->getCursor(), cursor(over[i] ? host::IDC_HAND : host::IDC_ARROW));
    }
    EXPECT_TRUE(isOpen(ids::dialogPause)) << "moving the pointer closes nothing";
    EXPECT_TRUE(played().empty());
}

TEST_F(MenuPauseTest, WithoutAFadeOutAClickClosesThePauseInTheNextFrame) {
    // Neither fade is declared: both read 0.
    DialogPause* pause = openPause();
    frame();
    EXPECT_EQ(pause->getAlpha(), 255);
    const auto [x, y] = centreOf(static_cast<ui::Sprite*>(pause->findComponent(ids::labelPauseContinue)));
    pointTo(x, y);
    ASSERT_EQ(app->getCursor(), cursor(host::IDC_HAND));
    played();

    clickAt(20, 20);
    EXPECT_FALSE(isOpen(ids::dialogPause));
    EXPECT_EQ(scene->findDialog(ids::dialogPause), nullptr);
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundUnpause, 1}}));
}

TEST_F(MenuPauseTest, ClicksFadeThePauseOutAndCloseItOnce) {
    setInt(ids::cfgPauseFadeOut, 200);
    const kernel::SmartPtr<DialogPause> pause = openPause();
    run(50);
    played();
    // The release is taken, wherever it is.
    EXPECT_TRUE(pause->onLeftButtonUp(5, 470, 0));
    int last = 256;
    for (int t = 0; t < 150; t += stepMs) {
        frame();
        EXPECT_LT(pause->getAlpha(), last);
        last = pause->getAlpha();
    }
    clickAt(600, 20);
    EXPECT_TRUE(isOpen(ids::dialogPause)) << "still fading";
    EXPECT_TRUE(played().empty());
    EXPECT_TRUE(runUntil([this] { return !isOpen(ids::dialogPause); }, 100));
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundUnpause, 1}}));

    // Whatever the later clicks queued closes nothing more, not even a pause opened since.
    DialogPause* fresh = openPause();
    pause->close();
    run(500);
    EXPECT_TRUE(isOpen(ids::dialogPause));
    EXPECT_EQ(scene->findDialog(ids::dialogPause), fresh);
    EXPECT_EQ(played(), (std::map<std::string, int>{{ids::soundPause, 1}}));
}

} // namespace
