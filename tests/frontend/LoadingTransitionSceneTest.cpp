#include "game/frontend/LoadingTransitionScene.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/SceneRenderer.h"

#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::LoadingTransitionScene;

kernel::SmartPtr<LoadingTransitionScene> startPlay(FrontendWorld& world) {
    world.startIn("SOURCE");
    game::StartPlayScene("TARGET");
    kernel::SmartPtr<LoadingTransitionScene> transition =
        static_cast<LoadingTransitionScene*>(world.manager->transitionScene());
    world.frame(50);
    return transition;
}

// The text's colour, give or take the rounding of the alpha blend.
bool nearlyOrange(std::uint32_t rgb) {
    const int red = static_cast<int>(rgb >> 16), green = static_cast<int>((rgb >> 8) & 0xFF);
    const int blue = static_cast<int>(rgb & 0xFF);
    return std::abs(red - 0xFF) <= 3 && std::abs(green - 0x84) <= 3 && blue <= 3;
}

// Frames of 50 ms until the screen is black; false when it never gets there.
bool runToBlack(FrontendWorld& world, const LoadingTransitionScene& transition) {
    for (int frames = 0; frames < 40; ++frames) {
        world.frame(50);
        if (transition.getPictures().getOverlaySprite()->getAlpha() == 255) {
            return true;
        }
    }
    return false;
}

TEST(LoadingTransitionSceneTest, EntersTheLoadedTargetInTheFrameAfterBlack) {
    FrontendWorld world;
    // Nothing requested and the loader running: everything is loaded.
    kernel::ResourceManager::instance()->setActive();
    kernel::SmartPtr<LoadingTransitionScene> transition = startPlay(world);
    ASSERT_TRUE(transition);
    EXPECT_EQ(transition->getDuration(), 450);
    EXPECT_EQ(world.target->entries, 0);
    ASSERT_TRUE(runToBlack(world, *transition));
    EXPECT_EQ(world.target->entries, 0);
    world.frame(50);
    EXPECT_EQ(world.target->entries, 1);
    ui::Label* label = transition->getLoadingLabel();
    ASSERT_NE(label, nullptr);
    int highestAlpha = 0;
    for (int frames = 0; frames < 40 && world.manager->currentScene() != world.target; ++frames) {
        world.frame(50);
        highestAlpha = std::max(highestAlpha, label->getAlpha());
    }
    EXPECT_EQ(world.manager->currentScene(), world.target);
    EXPECT_EQ(world.target->entries, 1);
    EXPECT_LT(highestAlpha, 255);
}

TEST(LoadingTransitionSceneTest, WaitsWithRunningDotsInVisibleOrangeText) {
    FrontendWorld world;
    kernel::SmartPtr<LoadingTransitionScene> transition = startPlay(world);
    ASSERT_TRUE(runToBlack(world, *transition));
    ui::Label* label = transition->getLoadingLabel();
    ASSERT_NE(label, nullptr);
    // "Loading" is 7 glyphs, 29 wide; the dots grow to the right of a fixed left edge.
    EXPECT_EQ(label->getX(), 640 - 29 - 45);
    EXPECT_EQ(label->getY(), 460);
    std::vector<std::u16string> shown{label->getText()};
    for (int frames = 0; frames < 44; ++frames) {
        world.frame(50);
        if (label->getText() != shown.back()) {
            shown.push_back(label->getText());
        }
    }
    ASSERT_GE(shown.size(), 6u);
    shown.resize(6);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"Loading", u"Loading.", u"Loading..", u"Loading...",
                                                  u"Loading", u"Loading."}));
    EXPECT_EQ(world.target->entries, 0);
    EXPECT_TRUE(transition->isWaitingForLoad());

    kernel::SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(640, 480);
    const kernel::SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    ui::paintSubtree(*transition, *painter, *transition->getRootNode());
    // The first glyph's column 2 is drawn, its blank column 3 shows the black overlay.
    const int left = label->getX();
    const int top = 460 - label->getHeight();
    auto rgb = [&](int x, int y) { return screen->pixels32()[screen->pixelIndex(x, y)] & 0xFFFFFFu; };
    EXPECT_TRUE(nearlyOrange(rgb(left + 2, top + 4))) << std::hex << rgb(left + 2, top + 4);
    EXPECT_EQ(rgb(left + 3, top + 4), 0u);
}

} // namespace
