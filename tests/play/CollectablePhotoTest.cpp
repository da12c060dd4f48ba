// The photograph of a collectable taken off the field: the sprites of the sequence in their order, the
// album opened at the collectable's page under them, the claim, the frozen field and the blocked buttons,
// and what the end of the photo gives back.
#include "engine/ui/Button.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/Sprite.h"
#include "game/field/Pibble.h"
#include "game/foundation/FieldCodes.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogCollectables.h"
#include "game/frontend/DialogPibble.h"

#include "../frontend/AlbumWorld.h"
#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using playtest::PlayWorld;
namespace ids = game::ids;
namespace word = game::matchWord;

const std::string dialogs = std::string(playtest::hintDeclaration) + albumtest::albumDeclarations() +
                            R"(<DialogPibble id="DIALOG_PAUSE" width="200" height="100" />
    <DialogPibble id="DIALOG_MESSAGE" width="400" height="160"><Vector id="components">
      <Label name="HEADER" x="200" y="22" /><Label name="MESSAGE" x="30" y="62" width="340" height="24" />
      <Button name="BUTTON_OK" x="140" y="100" width="120" height="40" /></Vector></DialogPibble>)";

// Collectable 7 stands at album position 24, on page 28.
constexpr int collectable = 7;
constexpr int collectablePage = 28;

class CollectablePhotoTest : public ::testing::Test {
protected:
    void SetUp() override {
        albumtest::writeCollectables(albumtest::reversedOrder());
        albumtest::addAlbumPictures();
        game::AlbumPictures::create()->loadOrder();
        world.startPlaying();
    }
    void TearDown() override {
        world.scene->removeAllDialogs();
        game::AlbumPictures::destroy();
    }

    static game::AlbumPictures& album() { return *game::AlbumPictures::instance(); }
    // A match that took two collectables; the event names the pibble that carried collectable 7.
    void matchCollectables() {
        const kernel::SmartPtr<game::Pibble> pibble = new game::Pibble();
        pibble->setCollectableId(collectable);
        game::GameEvent match = game::GameEvent::of(game::eventType::match);
        match.words[word::pibbles] = 3;
        match.words[word::collectables] = 2;
        match.words[word::points] = 50;
        match.words[word::x] = 300;
        match.words[word::y] = 250;
        match.words[word::colour] = 1;
        match.pibble = pibble.get();
        world.field()->broadcast(match);
    }
    ui::Sprite* polaroid() const {
        const game::DialogAlbum* book = album().albumDialog();
        return book != nullptr && book->getPageDialog() != nullptr
                   ? static_cast<game::DialogCollectables*>(book->getPageDialog())->polaroid()
                   : nullptr;
    }
    // The full-screen sprites of the sequence still in the scene.
    int screenSprites() const {
        int count = 0;
        for (ui::GameNode* child = world.scene->getRootNode()->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            const bool screen = child->isKindOf(ui::Sprite::classInfo) && !child->isDead() &&
                                static_cast<ui::Sprite*>(child)->getWidth() == 640 &&
                                static_cast<ui::Sprite*>(child)->getHeight() == 480 &&
                                !child->isKindOf(ui::Dialog::classInfo);
            count += screen ? 1 : 0;
        }
        return count;
    }

    PlayWorld world{dialogs};
};

TEST_F(CollectablePhotoTest, AMatchPhotographsTheCollectableItsEventNames) {
    game::DialogPibble::openHint(ids::hintClickCollectable, nullptr, world.scene);
    ASSERT_TRUE(world.scene->isDialogOpen(ids::dialogHint));
    matchCollectables();

    EXPECT_FALSE(world.scene->isDialogOpen(ids::dialogHint));
    EXPECT_TRUE(world.player().isCollectableClaimed(collectable));
    EXPECT_EQ(world.player().claimedCollectableCount(), 1);
    EXPECT_TRUE(world.field()->isFrozen());
    EXPECT_TRUE(world.scene->isInputBlocked());

    // Back to front: the album, the veil, the photo, its light copy, the flash on top of everything.
    game::DialogAlbum* book = album().albumDialog();
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->getPage(), collectablePage);
    EXPECT_TRUE(album().isAlbumLocked());
    auto* backdrop = static_cast<ui::Sprite*>(book->getNextSibling());
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(backdrop->getAlpha(), 153);
    auto* photo = static_cast<ui::Sprite*>(backdrop->getNextSibling());
    auto* light = static_cast<ui::Sprite*>(photo->getNextSibling());
    auto* flash = static_cast<ui::Sprite*>(light->getNextSibling());
    EXPECT_EQ(flash->getNextSibling(), nullptr);
    EXPECT_EQ(photo->getImage()->getWidth(), 15);
    EXPECT_FALSE(photo->isVisible());
    EXPECT_FALSE(light->isVisible());
    EXPECT_EQ(flash->getWidth(), 640);
    ASSERT_NE(polaroid(), nullptr);
    EXPECT_FALSE(polaroid()->isVisible());
    EXPECT_EQ(album().getCollectablePictureName(), std::string(ids::collectablePicturePrefix) + "7");
}

// The camera clicks with the flash and the photo sounds as it appears at 900 ms; then it flies from the
// middle of the screen onto the middle of the polaroid (the book at (0, 0), the page at (300, 55) in it, the
// polaroid at (25, 20) on the page, showing the claimed collectable's 15 x 17 photograph) and fades there.
TEST_F(CollectablePhotoTest, TheCameraAndThePhotoSoundAtTheirMomentsAndThePhotoLandsOnThePolaroid) {
    world.played();
    matchCollectables();
    ASSERT_NE(album().albumDialog(), nullptr);
    const kernel::SmartPtr<ui::Sprite> photo =
        static_cast<ui::Sprite*>(album().albumDialog()->getNextSibling()->getNextSibling());
    world.frame(10);
    std::set<std::string> heard = world.played();
    EXPECT_TRUE(heard.contains(ids::soundCamera));
    EXPECT_FALSE(heard.contains(ids::soundRemoveCollectable));
    world.frames(88, 10);
    EXPECT_TRUE(world.played().empty()) << "nothing more until 890 ms";
    world.frames(2, 10);
    EXPECT_EQ(world.played(), std::set<std::string>{ids::soundRemoveCollectable});
    EXPECT_EQ(std::make_pair(photo->getX(), photo->getY()), std::make_pair(320, 240));

    world.frames(260, 10);
    EXPECT_EQ(std::make_pair(photo->getX(), photo->getY()), std::make_pair(332, 83)) << "at 3500 ms";
    world.frames(20, 10);
    EXPECT_EQ(std::make_pair(photo->getX(), photo->getY()), std::make_pair(332, 83));
    EXPECT_LT(photo->getAlpha(), 255);
}

TEST_F(CollectablePhotoTest, ButtonsDoNothingUntilThePhotoIsInTheAlbum) {
    matchCollectables();
    for (const char* name : {ids::buttonPause, ids::buttonHint, ids::buttonMenu}) {
        auto* button = static_cast<ui::Button*>(world.scene->findComponent(name));
        ASSERT_NE(button, nullptr) << name;
        button->invoke(button);
    }
    EXPECT_FALSE(world.scene->isDialogOpen(ids::dialogPause));
    EXPECT_FALSE(world.scene->isDialogOpen(ids::dialogHint));

    // The polaroid is back at 3400 ms, the photo done at 4000 ms.
    world.frames(390, 10);
    EXPECT_TRUE(world.scene->isInputBlocked());
    EXPECT_TRUE(world.field()->isFrozen());
    EXPECT_TRUE(polaroid()->isVisible());
    world.frames(11, 10);
    EXPECT_FALSE(world.scene->isInputBlocked());
    EXPECT_FALSE(world.field()->isFrozen());
    EXPECT_FALSE(album().isAlbumLocked());
    EXPECT_EQ(screenSprites(), 0);
    // The album stays open on the collectable's page until the player closes it.
    ASSERT_NE(album().albumDialog(), nullptr);
    EXPECT_EQ(album().albumDialog()->getPage(), collectablePage);

    auto* pause = static_cast<ui::Button*>(world.scene->findComponent(ids::buttonPause));
    pause->invoke(pause);
    EXPECT_TRUE(world.scene->isDialogOpen(ids::dialogPause));
}

TEST_F(CollectablePhotoTest, OnlyTheFirstClaimIsExplained) {
    matchCollectables();
    world.frames(410, 10);
    EXPECT_TRUE(world.scene->isDialogOpen(ids::textFirstClaimed));
    world.scene->removeAllDialogs();
    world.frames(5, 10);

    world.scene->onCollectablePhoto(12);
    world.frames(410, 10);
    EXPECT_TRUE(world.player().isCollectableClaimed(12));
    EXPECT_FALSE(world.scene->isDialogOpen(ids::textFirstClaimed));
}

TEST_F(CollectablePhotoTest, ACollectableTheAlbumDoesNotPlaceTakesNoPhoto) {
    for (const int id : {0, 31, -4}) {
        world.scene->onCollectablePhoto(id);
        EXPECT_FALSE(world.scene->isInputBlocked()) << id;
        EXPECT_EQ(album().albumDialog(), nullptr) << id;
        EXPECT_EQ(screenSprites(), 0) << id;
    }
    EXPECT_EQ(world.player().claimedCollectableCount(), 0);
}

} // namespace
