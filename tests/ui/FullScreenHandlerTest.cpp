#include "engine/ui/FullScreenHandler.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/GameSettings.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/Button.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "host/Window.h"

#include "DebugOutput.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using platform::EventDispatcher;
using ui::FullScreenHandler;

constexpr const char* registryPath = "Software\\Pibbles\\Test";

// Buttons without images cut their own height into the four frames: frames 16 high.
const char* const declarations = R"(<dialogs>
  <Node id="dialogs"/>
  <FullScreenHandler id="DEFAULT_FSH" x="640" y="0">
    <Button id="button_minimize" width="20" height="64"/>
    <Button id="button_restore" width="20" height="64"/>
    <Button id="button_quit" width="24" height="64"/>
  </FullScreenHandler>
</dialogs>)";

class ClosingScene : public ui::Scene {
public:
    void onCloseRequest() override { ++closeRequests; }
    int closeRequests = 0;
};

class FullScreenHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        app = platform::Application::create("full-screen test", 640, 480, false, 0, 101);
        platform::GameSettings::create(nullptr)->setRegistryPath(registryPath);
        timer = platform::FrameTimer::create();
        ui::SceneManager::create();
        ui::RegisterScene("A", scene);
        ui::SceneManager::instance()->changeScene("A");
        ui::SceneManager::instance()->onFrame(16);
        ui::DialogManager::create(registry.dir().write("dialogs.xml", declarations));
        handler = FullScreenHandler::createDefault();
        ASSERT_NE(handler, nullptr);
    }
    void TearDown() override {
        FullScreenHandler::destroyDefault();
        ui::DialogManager::destroy();
        ui::SceneManager::destroy();
        platform::FrameTimer::destroy();
        platform::GameSettings::destroy();
        ui::SoundSystem::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }
    void goFullScreen(bool full) {
        app->setFullScreen(full);
        handler->onAppEvent(EventDispatcher::fullScreenChanged, full ? 1 : 0, 0);
    }
    void clickAt(int x, int y) {
        app->getEventDispatcher()->dispatch(host::WM_LBUTTONDOWN, host::MK_LBUTTON, host::MAKELPARAM(x, y));
        app->getEventDispatcher()->dispatch(host::WM_LBUTTONUP, 0, host::MAKELPARAM(x, y));
        handler->getDispatcher()->tick();
    }
    bool storedFullScreen(std::int32_t value) const {
        const testsupport::RegistryValues values = testsupport::ScratchRegistry::values(registryPath);
        return std::find(values.begin(), values.end(),
                         std::pair(std::string("fullscreen"), testsupport::dwordEntry(value))) !=
               values.end();
    }

    testsupport::ScratchRegistry registry;
    platform::Application* app = nullptr;
    platform::FrameTimer* timer = nullptr;
    ClosingScene* scene = new ClosingScene();
    FullScreenHandler* handler = nullptr;
};

TEST_F(FullScreenHandlerTest, ShownOnTheSceneOnlyInFullScreenStoresTheOptionAndMutesWhileMinimised) {
    EXPECT_EQ(handler->getButtonMinimize()->getX(), -64);
    EXPECT_EQ(handler->getButtonRestore()->getX(), -44);
    EXPECT_EQ(handler->getButtonQuit()->getX(), -24);
    FullScreenHandler::setActive(true, true, nullptr);
    EXPECT_FALSE(handler->isVisible());
    EXPECT_EQ(handler->getParent(), nullptr);

    goFullScreen(true);
    EXPECT_TRUE(handler->isVisible() && handler->getGroup().isActive());
    EXPECT_EQ(handler->getParent(), scene->getRootNode());
    EXPECT_TRUE(storedFullScreen(1));
    goFullScreen(false);
    EXPECT_FALSE(handler->isVisible() || handler->getGroup().isActive());
    EXPECT_TRUE(storedFullScreen(0));
    EXPECT_FALSE(platform::GameSettings::instance()->getOptions().getFullScreen());

    const ui::SoundSystem* sound = ui::SoundSystem::create(44100, 32);
    app->getEventDispatcher()->dispatch(EventDispatcher::minimised, 0, 0);
    EXPECT_TRUE(sound->isMuted());
    app->getEventDispatcher()->dispatch(EventDispatcher::restored, 0, 0);
    EXPECT_FALSE(sound->isMuted());
}

TEST_F(FullScreenHandlerTest, AnOptionThatCannotBeStoredIsHeardAndTheSwitchStillHappens) {
    const testsupport::DebugOutput output;
    host::testing::failCall("writeFileAtomically:write", ENOSPC);
    goFullScreen(true);
    EXPECT_TRUE(platform::GameSettings::instance()->getOptions().getFullScreen());
    EXPECT_FALSE(storedFullScreen(1));
    const std::string reported = output.take();
    EXPECT_NE(reported.find(registry.file() + "\" failed: No space left on device"), std::string::npos);
    EXPECT_NE(reported.find("the full-screen option was not stored"), std::string::npos);
}

TEST_F(FullScreenHandlerTest, QuitAsksTheCurrentSceneOnlyWhileInteractive) {
    goFullScreen(true);
    FullScreenHandler::setActive(true, false, nullptr);
    EXPECT_TRUE(handler->isVisible());
    clickAt(630, 5);
    EXPECT_EQ(scene->closeRequests, 0);
    FullScreenHandler::setActive(true, true, nullptr);
    clickAt(630, 5);
    EXPECT_EQ(scene->closeRequests, 1);
}

TEST_F(FullScreenHandlerTest, DestroyingLeavesNoRegistrationBehind) {
    const std::size_t listeners = app->getEventDispatcher()->listenerCount();
    const kernel::SmartPtr<platform::InputDispatcher> dispatcher = handler->getDispatcher();
    const kernel::ListenerGroup* group = &handler->getGroup();
    goFullScreen(true);
    FullScreenHandler::setActive(true, true, nullptr);
    // Drawn on the scene, the handler still goes at once.
    FullScreenHandler::destroyDefault();
    EXPECT_EQ(app->getEventDispatcher()->listenerCount(), listeners - 2);
    EXPECT_FALSE(dispatcher->hasListener(group));
    timer->notifyAll(16);
    EXPECT_FALSE(dispatcher->isRegistered());
    EXPECT_EQ(dispatcher->referenceCount(), 1);
}

} // namespace
