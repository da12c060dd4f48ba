#include "game/foundation/PibbleScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/Application.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/ToolTip.h"
#include "host/Window.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using game::PibbleScene;

int toolTipsMade = 0;

class CountingToolTip : public ui::ToolTip {
public:
    CountingToolTip() { ++toolTipsMade; }
};

const kernel::ClassRegistrar registerCountingToolTip("CountingToolTip",
                                                     [](kernel::Value&) -> kernel::Object* {
                                                         return new CountingToolTip();
                                                     });

int pausesOpened = 0;

const char* const declarations = R"(<dialogs>
  <Node id="dialogs">
    <PibbleScene id="SCENE_A"/>
    <PibbleScene id="SCENE_B"/>
    <Dialog id="DIALOG_PAUSE"/>
    <Dialog id="DIALOG_MENU"/>
  </Node>
  <CountingToolTip id="DEFAULT_TOOLTIP"/>
</dialogs>)";

class PibbleSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        toolTipsMade = 0;
        pausesOpened = 0;
        app = platform::Application::create("scene test", 640, 480, false, 0, 101);
        sound = ui::SoundSystem::create(44100, 32);
        ui::DialogManager::create(dir.write("dialogs.xml", declarations));
        manager = ui::SceneManager::create();
        for (const char* name : {"SCENE_A", "SCENE_B"}) {
            ui::RegisterScene(name,
                              static_cast<ui::Scene*>(ui::DialogManager::instance()->createDialog(name)));
        }
    }
    void TearDown() override {
        PibbleScene::setPauseOnFocusLossHook(nullptr);
        ui::SceneManager::destroy();
        ui::DialogManager::destroy();
        ui::SoundSystem::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }
    PibbleScene* enter(const char* name) {
        manager->changeScene(name);
        for (int frame = 0; frame < 3; ++frame) {
            manager->onFrame(16);
        }
        return static_cast<PibbleScene*>(manager->currentScene());
    }
    void sendToWindow(std::uint32_t message) { app->getEventDispatcher()->dispatch(message, 0, 0); }

    testsupport::TempDir dir;
    platform::Application* app = nullptr;
    ui::SoundSystem* sound = nullptr;
    ui::SceneManager* manager = nullptr;
};

TEST_F(PibbleSceneTest, ScenesHearTheWindowOnlyWhileCurrentAndShareOneToolTip) {
    PibbleScene* a = enter("SCENE_A");
    EXPECT_TRUE(app->getEventDispatcher()->hasListener(a));
    ui::ToolTip* first = manager->toolTip();
    ASSERT_NE(first, nullptr);
    PibbleScene* b = enter("SCENE_B");
    EXPECT_FALSE(app->getEventDispatcher()->hasListener(a));
    EXPECT_TRUE(app->getEventDispatcher()->hasListener(b));
    EXPECT_EQ(toolTipsMade, 1);
    EXPECT_EQ(manager->toolTip(), first);
}

// Focus loss fades the music out and opens the pause unless a dialog is open; focus gain brings the music
// back unless the pause is open.
TEST_F(PibbleSceneTest, FocusLossFadesAndPausesAndFocusGainResumesOutsideThePause) {
    PibbleScene::setPauseOnFocusLossHook([](PibbleScene&) { ++pausesOpened; });
    PibbleScene* scene = enter("SCENE_A");
    sendToWindow(host::WM_KILLFOCUS);
    EXPECT_EQ(pausesOpened, 1);
    EXPECT_EQ(sound->getCurrentSlot().target, 0.0f);
    EXPECT_EQ(sound->musicFadeLevel(), 1.0f) << "the fade starts where the music stands";
    sendToWindow(host::WM_SETFOCUS);
    EXPECT_EQ(sound->getCurrentSlot().target, 1.0f);

    scene->showDialog(scene->createDialog("DIALOG_MENU"));
    sendToWindow(host::WM_KILLFOCUS);
    EXPECT_EQ(pausesOpened, 1);
    EXPECT_EQ(sound->getCurrentSlot().target, 0.0f);
    sendToWindow(host::WM_SETFOCUS);
    EXPECT_EQ(sound->getCurrentSlot().target, 1.0f) << "any dialog but the pause";

    sendToWindow(host::WM_KILLFOCUS);
    scene->showDialog(scene->createDialog(PibbleScene::pauseDialogName));
    sendToWindow(host::WM_SETFOCUS);
    EXPECT_EQ(sound->getCurrentSlot().target, 0.0f);
}

} // namespace
