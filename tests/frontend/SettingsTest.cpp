// The settings dialog in a real window over a scene, with sounds on SDL's dummy driver, a player, the game's
// options record and a registry of its own in a scratch folder. Clicks travel as the window delivers them:
// through the window procedure into the scene's input, handed out at the next frame.
#include "game/frontend/DialogSettings.h"

#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/Application.h"
#include "engine/platform/GameSettings.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Slider.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Switch.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibbleOptions.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "host/Time.h"
#include "host/Window.h"

#include "AlbumWorld.h"
#include "DebugOutput.h"
#include "FrontendWorld.h"
#include "ScratchRegistry.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

using frontendtest::FrontendWorld;
using game::DialogSettings;
namespace ids = game::ids;

constexpr const char* registryPath = "Software\\Tarvo\\Games\\SETTINGS_TEST";

// The sliders' tracks are 255 pixels long, so a pixel is a step of volume; buttons without images are a
// quarter of their declared height. The album beside the dialog shows the credits.
const std::string declarations = R"(<dialogs><Node id="dialogs">
  <DialogSettings id="DIALOG_SETTINGS" x="100" y="100" width="400" height="260" autoenlarge="false">
    <Vector id="components">
    <Slider name="SETTINGS_SLIDER_SOUND_VOLUME" x="20" y="20" width="265" height="10" minvalue="0" maxvalue="255">
      <Button id="button" width="10" height="40"/></Slider>
    <Slider name="SETTINGS_SLIDER_MUSIC_VOLUME" x="20" y="60" width="265" height="10" minvalue="0" maxvalue="255">
      <Button id="button" width="10" height="40"/></Slider>
    <Switch name="SETTINGS_SWITCH_FULLSCREEN" x="20" y="100" width="20" height="20"/>
    <Switch name="SETTINGS_SWITCH_SHOWHINTS" x="20" y="140" width="20" height="20"/>
    <Button name="BUTTON_OK" x="20" y="200" width="60" height="80"/>
    <Button name="BUTTON_CANCEL" x="100" y="200" width="60" height="80"/>
    <Button name="BUTTON_INFO" x="180" y="200" width="60" height="80"/></Vector></DialogSettings>
  <DialogSettings id="DIALOG_SETTINGS_BARE" width="100" height="100"/>)" +
                                 albumtest::albumDeclarations() + R"(</Node>
<FullScreenHandler id="DEFAULT_FSH" x="640" y="0"><Button id="button_minimize" width="20" height="64"/>
  <Button id="button_restore" width="20" height="64"/><Button id="button_quit" width="24" height="64"/>
</FullScreenHandler></dialogs>)";

// Notes the application's full-screen announcements.
class FullScreenRecorder : public platform::AppEventListener {
public:
    void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t) override {
        if (message == platform::EventDispatcher::fullScreenChanged) {
            states.push_back(static_cast<int>(wParam));
        }
    }
    std::vector<int> states;
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        host::testing::useFakeClock(100000);
        app = platform::Application::create("settings test", 640, 480, false, 0, 101);
        app->getEventDispatcher()->addListener(&recorder);
        ui::SoundSystem::create(44100, 32);
        platform::GameSettings* settings =
            platform::GameSettings::create(std::make_unique<game::PibbleOptions>());
        settings->setRegistryPath(registryPath);
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        addSounds();
        world.startIn("SOURCE");
    }
    void TearDown() override {
        dialog = nullptr;
        world.source->removeAllDialogs();
        ui::FullScreenHandler::destroyDefault();
        if (app->getEventDispatcher() != nullptr) {
            app->getEventDispatcher()->removeListener(&recorder);
        }
        platform::PlayerManager::destroy();
        platform::GameSettings::destroy();
        ui::SoundSystem::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
        host::testing::useRealClock();
    }

    void addSounds() {
        kernel::NodeValue declaration(ids::groupSounds, "Node");
        declaration.setChild(new kernel::ScalarValue("name", ids::groupSounds, kernel::Typing::Untyped));
        const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        std::vector<std::string> names{ids::soundDialogAppears, ids::soundDialogDisappears};
        for (int n = 1; n <= ids::plopSounds; ++n) {
            names.push_back(ids::soundPlopPrefix + std::to_string(n));
        }
        for (const std::string& name : names) {
            sounds[name] = new testsupport::HeldResource(nullptr);
            group->addResource(name, sounds[name].get());
        }
        kernel::ResourceManager::instance()->addGroup(group.get());
        played();
    }
    // The sounds played since the last call; each gets a fresh sample to be heard again.
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
    static std::set<std::string> plop(int n) { return {ids::soundPlopPrefix + std::to_string(n)}; }

    DialogSettings* open(const char* name = ids::dialogSettings) {
        ui::Dialog* made = game::DialogPibble::openDialog(name);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogSettings::classInfo));
        dialog = static_cast<DialogSettings*>(made);
        return dialog.get();
    }
    bool isOpen() const { return world.source->isDialogOpen(ids::dialogSettings); }
    static platform::GameOptions& stored() { return platform::GameSettings::instance()->getOptions(); }

    // A press and a release through the window procedure, each handed out at the next frame.
    void clickAt(int x, int y) {
        send(host::WM_LBUTTONDOWN, host::MK_LBUTTON, host::MAKELPARAM(x, y));
        world.frame();
        send(host::WM_LBUTTONUP, 0, host::MAKELPARAM(x, y));
        world.frame();
    }
    void click(const ui::Sprite* sprite) {
        clickAt(sprite->getAbsoluteX() + sprite->getWidth() / 2,
                sprite->getAbsoluteY() + sprite->getHeight() / 2);
    }
    void press(const char* name) {
        ASSERT_NE(dialog, nullptr);
        auto* button = dialog->findComponentAs<ui::Button>(name);
        ASSERT_NE(button, nullptr) << name;
        click(button);
    }
    // A click on the slider's track puts the knob, and the value, where the pointer is.
    void slideTo(ui::Slider* slider, int value) {
        clickAt(slider->getAbsoluteX() + value, slider->getAbsoluteY() + 2);
    }
    static void send(host::UINT message, host::WPARAM wParam, host::LPARAM lParam) {
        platform::Application::windowProc(platform::Application::instance()->getWindowHandle(), message,
                                          wParam, lParam);
    }
    static std::uint8_t musicVolume() { return ui::SoundSystem::instance()->getCurrentSlot().volume; }

    testsupport::ScratchRegistry registry;
    FrontendWorld world{declarations};
    testsupport::TempDir files;
    std::string wavFile = files.write("plop.wav", testsupport::wav(testsupport::tone(200)));
    std::map<std::string, kernel::SmartPtr<testsupport::HeldResource>> sounds;
    platform::Application* app = nullptr;
    FullScreenRecorder recorder;
    kernel::SmartPtr<DialogSettings> dialog;
};

TEST_F(SettingsTest, ShowsTheStoredOptionsAndTheFullScreenStateOfTheWindow) {
    stored().setSoundVolume(200);
    stored().setMusicVolume(60);
    stored().setFullScreen(true);
    game::currentPlayer()->setShowHints(false);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(played(), std::set<std::string>{ids::soundDialogAppears});
    EXPECT_EQ(dialog->getSoundSlider()->getValue(), 200.0f);
    EXPECT_EQ(dialog->getMusicSlider()->getValue(), 60.0f);
    EXPECT_FALSE(dialog->getFullScreenSwitch()->isChecked()) << "stored on, but the game is in a window";
    EXPECT_FALSE(dialog->getShowHintsSwitch()->isChecked());
    game::DialogPibble::closeDialog(ids::dialogSettings);
    EXPECT_EQ(played(), std::set<std::string>{ids::soundDialogDisappears});

    // In full screen the switch is on whatever the stored option says.
    stored().setFullScreen(false);
    game::currentPlayer()->setShowHints(true);
    app->setFullScreen(true);
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(dialog->getFullScreenSwitch()->isChecked());
    EXPECT_TRUE(dialog->getShowHintsSwitch()->isChecked());
    EXPECT_TRUE(dialog->getFullScreen());
    app->setFullScreen(false);
}

TEST_F(SettingsTest, SlidersAreHeardAtOnceAndCancelPutsTheStoredVolumesBack) {
    stored().setSoundVolume(200);
    stored().setMusicVolume(60);
    ui::SoundSystem::instance()->setSfxVolume(200);
    ui::SoundSystem::instance()->setMusicVolume(60);
    ASSERT_NE(open(), nullptr);
    slideTo(dialog->getSoundSlider(), 50);
    slideTo(dialog->getMusicSlider(), 120);
    EXPECT_EQ(dialog->getSoundVolume(), 50);
    EXPECT_EQ(ui::SoundSystem::instance()->getSfxVolume(), 50);
    EXPECT_EQ(musicVolume(), 120);
    dialog->getFullScreenSwitch()->setChecked(true);

    press(ids::buttonCancel);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(ui::SoundSystem::instance()->getSfxVolume(), 200);
    EXPECT_EQ(musicVolume(), 60);
    EXPECT_EQ(stored().getSoundVolume(), 200);
    EXPECT_EQ(stored().getMusicVolume(), 60);
    EXPECT_FALSE(stored().getFullScreen());
    EXPECT_FALSE(app->isFullScreen());
    EXPECT_TRUE(testsupport::ScratchRegistry::values(registryPath).empty()) << "nothing stored";
    EXPECT_FALSE(std::filesystem::exists(registry.file()));

    // The next opening is built afresh from the stored options.
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(dialog->getSoundSlider()->getValue(), 200.0f);
    EXPECT_FALSE(dialog->getFullScreenSwitch()->isChecked());
}

TEST_F(SettingsTest, OkStoresEverythingInTheRegistryWithoutTouchingTheDisplay) {
    // An option no widget shows travels through the dialog unchanged.
    stored().setFullScreenWarning(false);
    stored().setUseHints(false);
    const host::HWND window = app->getWindowHandle();
    const graphics::ImageBase* back = app->getBackImage();
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(dialog->getSoundSlider()->getValue(), 255.0f) << "the game's own defaults";
    EXPECT_EQ(dialog->getMusicSlider()->getValue(), 39.0f);
    slideTo(dialog->getSoundSlider(), 100);
    slideTo(dialog->getMusicSlider(), 77);
    click(dialog->getShowHintsSwitch());
    ASSERT_FALSE(dialog->getShowHintsSwitch()->isChecked());

    press(ids::buttonOk);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(app->getWindowHandle(), window);
    EXPECT_EQ(app->getBackImage(), back);
    EXPECT_TRUE(recorder.states.empty()) << "no full-screen change";
    EXPECT_EQ(ui::SoundSystem::instance()->getSfxVolume(), 100);
    EXPECT_EQ(musicVolume(), 77);
    EXPECT_FALSE(game::currentPlayer()->showHints());
    EXPECT_EQ(stored().getSoundVolume(), 100);
    EXPECT_EQ(stored().getMusicVolume(), 77);
    EXPECT_FALSE(stored().getFullScreenWarning());
    EXPECT_FALSE(stored().getUseHints());
    ASSERT_TRUE(std::filesystem::exists(registry.file()));

    // A later start reads what was stored.
    platform::GameSettings::destroy();
    platform::GameSettings* later = platform::GameSettings::create(std::make_unique<game::PibbleOptions>());
    later->setRegistryPath(registryPath);
    later->readRegistry();
    EXPECT_EQ(later->getOptions().getSoundVolume(), 100);
    EXPECT_EQ(later->getOptions().getMusicVolume(), 77);
    EXPECT_FALSE(later->getOptions().getFullScreen());
    EXPECT_FALSE(later->getOptions().getFullScreenWarning());
    EXPECT_FALSE(later->getOptions().getUseHints());
    EXPECT_TRUE(later->getOptions().getUseHardware());
}

TEST_F(SettingsTest, OkSwitchesToFullScreenFromInsideTheClickAndBack) {
    ASSERT_NE(ui::FullScreenHandler::createDefault(), nullptr);
    const host::HWND window = app->getWindowHandle();
    ASSERT_NE(open(), nullptr);
    click(dialog->getFullScreenSwitch());
    ASSERT_TRUE(dialog->getFullScreenSwitch()->isChecked());
    EXPECT_TRUE(recorder.states.empty()) << "the switch waits for OK";

    press(ids::buttonOk);
    EXPECT_TRUE(app->isFullScreen());
    EXPECT_NE(app->getWindowHandle(), nullptr);
    EXPECT_NE(app->getWindowHandle(), window) << "window and display made anew";
    EXPECT_NE(app->getBackPainter(), nullptr);
    EXPECT_EQ(recorder.states, std::vector<int>{1});
    EXPECT_FALSE(isOpen());
    EXPECT_TRUE(stored().getFullScreen());
    ASSERT_FALSE(testsupport::ScratchRegistry::values(registryPath).empty());
    EXPECT_EQ(testsupport::ScratchRegistry::values(registryPath).front(),
              std::make_pair(std::string("fullscreen"), testsupport::dwordEntry(1)));
    // The new window's input reaches the scene: the dialog opens and closes again as before.
    for (int i = 0; i < 3; ++i) {
        world.frame();
    }
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(dialog->getFullScreenSwitch()->isChecked());
    click(dialog->getFullScreenSwitch());
    press(ids::buttonOk);
    EXPECT_FALSE(app->isFullScreen());
    EXPECT_EQ(recorder.states, (std::vector<int>{1, 0}));
    EXPECT_FALSE(stored().getFullScreen());
    EXPECT_FALSE(isOpen());
}

TEST_F(SettingsTest, InfoOpensTheAlbumOnTheCredits) {
    albumtest::writeCollectables(albumtest::reversedOrder());
    albumtest::setCredits(4);
    game::AlbumPictures* album = game::AlbumPictures::create();
    album->loadOrder();
    if (open() != nullptr) {
        press(ids::buttonInfo);
    }
    EXPECT_NE(album->albumDialog(), nullptr);
    EXPECT_TRUE(album->isCreditsMode());
    EXPECT_EQ(album->albumDialog() != nullptr ? album->albumDialog()->getPage() : -1, 0);
    world.source->removeAllDialogs();
    game::AlbumPictures::destroy();
}

TEST_F(SettingsTest, AFailedWriteIsReportedAndTheDialogStillCloses) {
    testsupport::DebugOutput output;
    ASSERT_NE(open(), nullptr);
    slideTo(dialog->getSoundSlider(), 30);
    host::testing::failCall("RegSetValueEx");
    press(ids::buttonOk);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(stored().getSoundVolume(), 30) << "in force for this run";
    EXPECT_NE(testsupport::DebugOutput::take().find("DialogSettings: the settings were not stored"),
              std::string::npos);
}

TEST_F(SettingsTest, TheEffectsSliderPlopsAtMostTwiceASecondWithAPitchByItsValue) {
    stored().setSoundVolume(128);
    ASSERT_NE(open(), nullptr);
    played();
    world.frame();
    EXPECT_TRUE(played().empty()) << "the first frame plays no plop";

    slideTo(dialog->getSoundSlider(), 255);
    EXPECT_EQ(played(), plop(8));
    host::testing::advanceFakeClock(600);
    slideTo(dialog->getSoundSlider(), 0);
    EXPECT_EQ(played(), plop(1));

    // A move 300 ms after a plop is not heard until half a second has passed.
    host::testing::advanceFakeClock(600);
    slideTo(dialog->getSoundSlider(), 100);
    EXPECT_EQ(played(), plop(4));
    host::testing::advanceFakeClock(300);
    slideTo(dialog->getSoundSlider(), 200);
    EXPECT_TRUE(played().empty());
    world.frame();
    EXPECT_TRUE(played().empty());
    host::testing::advanceFakeClock(250);
    world.frame();
    EXPECT_EQ(played(), plop(7));
    // A slider standing still stays silent.
    host::testing::advanceFakeClock(1000);
    world.frame();
    EXPECT_TRUE(played().empty());
}

TEST_F(SettingsTest, StoredVolumesOutOfRangeAreHeldWithinIt) {
    stored().setSoundVolume(300);
    stored().setMusicVolume(-5);
    ASSERT_NE(open(), nullptr);
    press(ids::buttonCancel);
    EXPECT_EQ(ui::SoundSystem::instance()->getSfxVolume(), 255);
    EXPECT_EQ(musicVolume(), 0);
    ASSERT_NE(open(), nullptr);
    press(ids::buttonOk);
    EXPECT_EQ(ui::SoundSystem::instance()->getSfxVolume(), 255);
    EXPECT_EQ(musicVolume(), 0);
}

TEST_F(SettingsTest, ADeclarationWithoutWidgetsKeepsTheOptionsItWasShown) {
    stored().setSoundVolume(90);
    stored().setMusicVolume(20);
    stored().setFullScreen(true);
    ASSERT_NE(open("DIALOG_SETTINGS_BARE"), nullptr);
    EXPECT_EQ(dialog->getSoundVolume(), 90);
    EXPECT_FALSE(dialog->getFullScreen()) << "the window's state, not the stored one";
    world.frame();
    DialogSettings::onOk(static_cast<ui::GameNode*>(dialog.get()), nullptr);
    EXPECT_EQ(stored().getSoundVolume(), 90);
    EXPECT_EQ(stored().getMusicVolume(), 20);
    EXPECT_FALSE(stored().getFullScreen());
    EXPECT_FALSE(app->isFullScreen());
}

} // namespace
