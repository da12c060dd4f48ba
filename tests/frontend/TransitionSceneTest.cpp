#include "game/frontend/TransitionScene.h"

#include "game/frontend/LoadingTransitionScene.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/Application.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/Sprite.h"
#include "host/Window.h"

#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::TransitionScene;

std::uint32_t rgbAt(const graphics::ImageBase& image, int x, int y) {
    return static_cast<const std::uint32_t*>(image.getPixels())[image.pixelIndex(x, y)] & 0xFFFFFFu;
}

std::vector<const ui::GameNode*> childrenOf(const ui::GameNode& node) {
    std::vector<const ui::GameNode*> children;
    for (const ui::GameNode* child = node.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        children.push_back(child);
    }
    return children;
}

// Time counts from the first frame the transition runs in: that frame sees none of it yet.
struct Timeline {
    int firstBlack = -1;
    int targetCurrent = -1;
};

Timeline runTransition(FrontendWorld& world, const TransitionScene& transition) {
    Timeline seen;
    for (int ms = 0; ms <= 3000 && seen.targetCurrent < 0; ms += 50) {
        world.frame(50);
        if (seen.firstBlack < 0 && transition.getPictures().getOverlaySprite()->getAlpha() == 255) {
            seen.firstBlack = ms;
        }
        if (world.manager->currentScene() == world.target) {
            seen.targetCurrent = ms;
        }
    }
    return seen;
}

// Started by ChangeSceneWithTransition the fade takes 450 ms each way; a transition whose duration was
// never set fades for a second each way.
TEST(TransitionSceneTest, FadesToBlackAndBackOverSnapshotsOfBothScenes) {
    for (const bool started : {true, false}) {
        SCOPED_TRACE(started ? "ChangeSceneWithTransition" : "default duration");
        FrontendWorld world;
        world.startIn("SOURCE");
        kernel::SmartPtr<TransitionScene> transition;
        if (started) {
            game::ChangeSceneWithTransition("TARGET");
            transition = static_cast<TransitionScene*>(world.manager->transitionScene());
            ASSERT_TRUE(transition);
        } else {
            transition = new TransitionScene();
            world.manager->setTransition(transition.get());
            world.manager->changeScene("TARGET");
        }
        EXPECT_EQ(transition->getDuration(), started ? 450 : 1000);
        world.frame(50);
        // Entered in the switch, before the first fade has run a single frame.
        EXPECT_EQ(world.target->entries, 1);
        EXPECT_EQ(world.manager->currentScene(), transition.get());
        const game::TransitionPictures& pictures = transition->getPictures();
        EXPECT_EQ(rgbAt(*pictures.getSourceSprite()->getImage(), 320, 240), frontendtest::sourceColour);
        EXPECT_EQ(rgbAt(*pictures.getTargetSprite()->getImage(), 0, 479), frontendtest::targetColour);

        const int fade = started ? 450 : 1000;
        const Timeline seen = runTransition(world, *transition);
        EXPECT_EQ(seen.firstBlack, fade);
        EXPECT_GE(seen.targetCurrent, 2 * fade);
        EXPECT_LE(seen.targetCurrent, 2 * fade + 50);
        EXPECT_EQ(world.target->entries, 1);
        const std::vector<const ui::GameNode*> children = childrenOf(*transition->getRootNode());
        ASSERT_EQ(children.size(), 4u);
        EXPECT_EQ(children[1], pictures.getSourceSprite());
        EXPECT_EQ(children[2], pictures.getTargetSprite());
        EXPECT_EQ(children[3], pictures.getOverlaySprite());
    }
}

// A scene that tells when it is gone.
class LeftScene : public frontendtest::ColourScene {
public:
    explicit LeftScene(bool& gone) : ColourScene(frontendtest::sourceColour), gone(gone) {}
    ~LeftScene() override { gone = true; }

private:
    bool& gone;
};

// Once the new scene is current the transition is left, and the scene it came from (with the dialogs and
// pictures that scene held) goes as soon as nothing else keeps it, not at the next change of scene; the
// transition's three full-screen pictures go with it. Both kinds of transition, the game's plain one and
// the one that waits for the loader.
TEST(TransitionSceneTest, LeftItLetsGoOfTheSceneItCameFromAndItsPictures) {
    for (const bool waitsForLoader : {false, true}) {
        SCOPED_TRACE(waitsForLoader ? "StartPlayScene" : "ChangeSceneWithTransition");
        FrontendWorld world;
        kernel::ResourceManager::instance()->setActive();
        bool gone = false;
        ui::RegisterScene("LEFT", new LeftScene(gone));
        world.startIn("LEFT");
        if (waitsForLoader) {
            game::StartPlayScene("TARGET");
        } else {
            game::ChangeSceneWithTransition("TARGET");
        }
        const kernel::SmartPtr<ui::SceneTransition> transition = world.manager->transitionScene();
        ASSERT_TRUE(transition);
        const game::TransitionPictures& pictures =
            waitsForLoader ? static_cast<game::LoadingTransitionScene&>(*transition).getPictures()
                           : static_cast<TransitionScene&>(*transition).getPictures();
        for (int frames = 0; frames < 60 && world.manager->currentScene() != world.target; ++frames) {
            world.frame(50);
            // The pictures are there for as long as the transition shows them.
            ASSERT_NE(pictures.getOverlaySprite()->getImage(), nullptr);
        }
        ASSERT_EQ(world.manager->currentScene(), world.target);
        EXPECT_EQ(rgbAt(*pictures.getTargetSprite()->getImage(), 0, 479), frontendtest::targetColour);
        world.frame(50);
        EXPECT_EQ(transition->getSourceScene(), nullptr);
        EXPECT_EQ(transition->getTargetScene(), nullptr);
        EXPECT_EQ(pictures.getSourceSprite()->getImage(), nullptr);
        EXPECT_EQ(pictures.getTargetSprite()->getImage(), nullptr);
        EXPECT_EQ(pictures.getOverlayImage(), nullptr);

        EXPECT_FALSE(gone);
        world.manager->findScene("LEFT")->setDead(true);
        world.frame(50);
        EXPECT_TRUE(gone);
        EXPECT_EQ(world.manager->currentScene(), world.target);
        EXPECT_EQ(world.target->entries, 1);
    }
}

// The window in full screen with the default handler's three buttons at its top right corner, made after
// the world whose declarations hold them.
class FullScreenWindow {
public:
    FullScreenWindow() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        app = platform::Application::create("transition test", 640, 480, false, 0, 101);
        app->setFullScreen(true);
        handler = ui::FullScreenHandler::createDefault();
    }
    ~FullScreenWindow() {
        ui::FullScreenHandler::destroyDefault();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }
    FullScreenWindow(const FullScreenWindow&) = delete;
    FullScreenWindow& operator=(const FullScreenWindow&) = delete;

    void clickQuit() {
        const host::LPARAM at = host::MAKELPARAM(628, 8);
        app->getEventDispatcher()->dispatch(host::WM_LBUTTONDOWN, host::MK_LBUTTON, at);
        app->getEventDispatcher()->dispatch(host::WM_LBUTTONUP, 0, at);
        handler->getDispatcher()->tick();
    }

    platform::Application* app = nullptr;
    ui::FullScreenHandler* handler = nullptr;
};

// In full screen the window's buttons come onto the new scene before it shows, but take no click until it
// is current; then they work again (the quit button asks the scene to close).
TEST(TransitionSceneTest, TheFullScreenButtonsWorkAgainOnceTheNewSceneIsCurrent) {
    for (const bool waitsForLoader : {false, true}) {
        SCOPED_TRACE(waitsForLoader ? "StartPlayScene" : "ChangeSceneWithTransition");
        FrontendWorld world(R"(<dialogs><Node id="dialogs"/>
          <FullScreenHandler id="DEFAULT_FSH" x="640" y="0"><Button id="button_minimize" width="20" height="64"/>
            <Button id="button_restore" width="20" height="64"/><Button id="button_quit" width="24" height="64"/>
          </FullScreenHandler></dialogs>)");
        FullScreenWindow window;
        ASSERT_NE(window.handler, nullptr);
        kernel::ResourceManager::instance()->setActive();
        world.startIn("SOURCE");
        if (waitsForLoader) {
            game::StartPlayScene("TARGET");
        } else {
            game::ChangeSceneWithTransition("TARGET");
        }
        int shownBefore = 0;
        for (int frames = 0; frames < 60 && world.manager->currentScene() != world.target; ++frames) {
            world.frame(50);
            if (world.manager->currentScene() != world.target &&
                window.handler->getParent() == world.target->getRootNode()) {
                ++shownBefore;
                EXPECT_TRUE(window.handler->isVisible());
                window.clickQuit();
            }
        }
        ASSERT_EQ(world.manager->currentScene(), world.target);
        EXPECT_GT(shownBefore, 0);
        EXPECT_EQ(world.target->closeRequests + world.source->closeRequests, 0) << "not during the fades";
        EXPECT_EQ(window.handler->getParent(), world.target->getRootNode());
        window.clickQuit();
        EXPECT_EQ(world.target->closeRequests, 1);
    }
}

} // namespace
