#include "game/frontend/TransitionScene.h"

#include "engine/graphics/ImageBase.h"
#include "engine/ui/Sprite.h"

#include "FrontendWorld.h"

#include <gtest/gtest.h>

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

} // namespace
