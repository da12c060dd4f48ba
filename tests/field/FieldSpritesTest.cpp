// The field's sprites and its grid of cells.
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldSprite.h"
#include "game/field/LevelElementSprite.h"
#include "game/foundation/GameIds.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

namespace {

using kernel::SmartPtr;

TEST(FieldSprite, IsHitWhereItIsDrawnAndItsMaskAllows) {
    SmartPtr<game::FieldSprite> sprite =
        new game::FieldSprite(50, 80, testsupport::filled32(10, 20, 0).get());
    sprite->setAnchorPoint(5.0f, 20.0f);
    EXPECT_TRUE(sprite->containsPoint(45, 60));
    EXPECT_FALSE(sprite->containsPoint(45, 80));
    // Lifted, it is hit where it is drawn; its bounds follow.
    sprite->setDepthOffset(10);
    EXPECT_FALSE(sprite->containsPoint(45, 75));
    EXPECT_TRUE(sprite->containsPoint(45, 50));
    EXPECT_EQ(sprite->updateBounds(), kernel::Rect(45, 50, 10, 20));
    auto mask = testsupport::filled32(10, 20, 0);
    mask->pixels32()[mask->pixelIndex(9, 19)] = 0xFFFFFFFFu;
    sprite->setHitMask(mask.get());
    EXPECT_FALSE(sprite->containsPoint(45, 50));
    EXPECT_TRUE(sprite->containsPoint(54, 69));
    // Every field sprite has a serial number of its own.
    SmartPtr<game::FieldSprite> next = new game::FieldSprite();
    EXPECT_GT(next->getSerial(), sprite->getSerial());
}

TEST(LevelElementSprite, StandsOnItsPointWithItsPictureInTheLayerTheLevelNames) {
    fieldtest::FieldWorld world;
    fieldtest::FieldWorld::addSection(game::ids::groupElements, {{"TREE", testsupport::filled32(30, 40, 0)}});
    const SmartPtr<game::LevelElementSprite> tree =
        new game::LevelElementSprite({"grid", "TREE", "", 200, 300});
    EXPECT_EQ(tree->getImageName(), "TREE");
    ASSERT_NE(tree->getImage(), nullptr);
    EXPECT_EQ(tree->updateBounds(), kernel::Rect(185, 260, 30, 40));
    EXPECT_EQ(tree->getLinkUnder(), game::LevelElementSprite::backBufferLayer);
    EXPECT_FALSE(tree->isBackground());
    const SmartPtr<game::LevelElementSprite> under =
        new game::LevelElementSprite({"fixed", "NO_SUCH_PICTURE", "background", 0, 0});
    EXPECT_TRUE(under->isBackground());
    EXPECT_EQ(under->getImage(), nullptr);
    EXPECT_EQ(under->fieldSpriteKind(), game::FieldSprite::LevelElement);
}

TEST(FieldGridLayer, PutsEveryNodeOfTheGridOnItsCell) {
    SmartPtr<game::FieldGridLayer> grid = new game::FieldGridLayer();
    grid->setGeometry({44, 40, 156, 199, 133, 573});
    SmartPtr<ui::GameNode> queue = new ui::GameNode();
    SmartPtr<ui::GameNode> field = new ui::GameNode();
    SmartPtr<ui::GameNode> right = new ui::GameNode();
    grid->setCellAt(1, game::cell::queueLeft, queue.get());
    grid->setCellAt(3, 2, field.get());
    grid->setCellAt(9, game::cell::queueRight, right.get());
    // Outside the grid nothing is stored.
    grid->setCellAt(game::cell::waiting, 1, field.get());
    grid->setCellAt(1, 12, field.get());
    EXPECT_EQ(grid->cellAt(game::cell::waiting, 1), nullptr);
    EXPECT_EQ(grid->cellAt(0, 0), nullptr);
    grid->relayout();
    EXPECT_EQ(queue->getX(), 133);
    EXPECT_EQ(queue->getY(), 156);
    EXPECT_EQ(field->getX(), 199 + 44);
    EXPECT_EQ(field->getY(), 156 + 2 * 40);
    EXPECT_EQ(right->getX(), 573);
    EXPECT_EQ(right->getY(), 156 + 8 * 40);
    EXPECT_EQ(grid->cellX(game::cell::offField), 0);
    grid->clearCells();
    EXPECT_EQ(grid->cellAt(3, 2), nullptr);
}

} // namespace
