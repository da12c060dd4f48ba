// The album over a front-end scene: its order read from the collectables file, the curtain it opens and
// closes behind, the page plan, the turning sheets and their timing, the corners and the bookmarker, the
// credits run, and the pictures it loads one of each kind at a time.
#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogAlbumPage.h"
#include "game/frontend/DialogCollectables.h"
#include "game/frontend/PageTurner.h"

#include "AlbumWorld.h"
#include "Eventually.h"
#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::AlbumPictures;
using game::DialogAlbum;
namespace ids = game::ids;

constexpr int stepMs = 10;

class AlbumTest : public ::testing::Test {
protected:
    AlbumTest()
        : world("<dialogs><Node id=\"dialogs\">" + albumtest::albumDeclarations() + "</Node></dialogs>") {}

    void SetUp() override {
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        albumtest::addAlbumPictures();
        albumtest::writeCollectables(albumtest::reversedOrder());
        albumtest::setCredits(5);
        world.startIn("SOURCE");
        manager = AlbumPictures::create();
        manager->loadOrder();
    }
    void TearDown() override {
        world.source->removeAllDialogs();
        AlbumPictures::destroy();
        platform::PlayerManager::destroy();
    }

    DialogAlbum* book() const { return manager->albumDialog(); }
    void run(int ms) {
        for (int t = 0; t < ms; t += stepMs) {
            world.frame(stepMs);
        }
    }
    // Frames until the condition holds, at most the time given; whether it came to hold.
    bool runUntil(const std::function<bool()>& condition, int maxMs = 5000) {
        for (int t = 0; t < maxMs; t += stepMs) {
            if (condition()) {
                return true;
            }
            world.frame(stepMs);
        }
        return condition();
    }
    // One frame more, in which the book updates its buttons for the state it came to.
    bool runUntilIdle() {
        const bool idle = runUntil([this] {
            return book() != nullptr && book()->getState() == DialogAlbum::idle &&
                   book()->getPageDialog() != nullptr && book()->getPageDialog()->getModifierList().empty();
        });
        world.frame(stepMs);
        return idle;
    }
    void openAtContents() {
        manager->openAtContents();
        ASSERT_NE(book(), nullptr);
        ASSERT_TRUE(runUntil([this] { return !manager->isAlbumLocked(); }));
        ASSERT_TRUE(runUntilIdle());
    }
    // The album opened straight at the page, as the photograph opens it.
    void openAtPage(int page) {
        manager->showCollectable(manager->collectableAt(page - AlbumPictures::firstCollectablePage + 1));
        manager->enableAlbum(true);
        ASSERT_TRUE(runUntilIdle());
        ASSERT_EQ(book()->getPage(), page);
    }
    std::string pageName() const {
        return book() != nullptr && book()->getPageDialog() != nullptr ? book()->getPageDialog()->getName()
                                                                       : "";
    }
    int sheets() const {
        int count = 0;
        for (ui::GameNode* child = book()->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            count += child->isKindOf(game::PageTurner::classInfo) && !child->isDead() ? 1 : 0;
        }
        return count;
    }
    static void press(ui::Button* button) {
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        button->invoke(button);
    }
    static bool centreOf(const ui::Sprite* sprite, int& x, int& y) {
        x = sprite->getAbsoluteX() + sprite->getWidth() / 2;
        y = sprite->getAbsoluteY() + sprite->getHeight() / 2;
        return true;
    }
    bool pressAt(const ui::Sprite* sprite) {
        int x = 0;
        int y = 0;
        centreOf(sprite, x, y);
        return book()->onLeftButtonDown(x, y, 0, false);
    }
    void moveTo(const ui::Sprite* sprite) {
        int x = 0;
        int y = 0;
        centreOf(sprite, x, y);
        book()->onMouseMove(x, y, 0);
    }
    ui::Button* pageButton() const {
        return static_cast<ui::Button*>(book()->getPageDialog()->findComponent("PAGE_BUTTON"));
    }

    FrontendWorld world;
    AlbumPictures* manager = nullptr;
};

TEST_F(AlbumTest, OrderSkipsDamagedEntriesAndUnreadableFiles) {
    albumtest::writeCollectables({{1, 5}, {2, 5}, {0, 3}, {31, 4}, {3, 0}, {4, 31}, {5, 6}, {5, 7}, {-2, 8}});
    manager->loadOrder();
    EXPECT_EQ(manager->albumOrderOf(1), 5);
    EXPECT_EQ(manager->collectableAt(5), 1);
    // A second collectable at a taken position, and a second position for a placed one, are skipped.
    EXPECT_EQ(manager->albumOrderOf(2), 0);
    EXPECT_EQ(manager->albumOrderOf(5), 6);
    EXPECT_EQ(manager->collectableAt(7), 0);
    for (const int position : {3, 4, 8}) {
        EXPECT_EQ(manager->collectableAt(position), 0) << position;
    }
    for (const int outside : {-1, 0, 31, 1000}) {
        EXPECT_EQ(manager->albumOrderOf(outside), 0) << outside;
        EXPECT_EQ(manager->collectableAt(outside), 0) << outside;
    }

    std::ofstream("media/properties/collectables.xml") << "<Collectables><Vector id=\"collectables\"><Node";
    manager->loadOrder();
    for (int id = 1; id <= AlbumPictures::collectableCount; ++id) {
        EXPECT_EQ(manager->albumOrderOf(id), 0) << id;
    }
    EXPECT_NE(manager->getCurtain(), nullptr);
}

TEST_F(AlbumTest, OpensAtTheContentsBehindTheCurtain) {
    manager->openAtContents();
    DialogAlbum* album = book();
    ASSERT_NE(album, nullptr);
    EXPECT_FALSE(album->isVisible());
    EXPECT_EQ(album->getNextSibling(), manager->getCurtain());
    EXPECT_TRUE(manager->isAlbumLocked());
    EXPECT_FALSE(manager->isAlbumBlocking());
    EXPECT_EQ(pageName(), ids::dialogToc);
    // The page sits in the book, over its background and under everything else.
    EXPECT_EQ(album->findComponent(ids::spriteBackground)->getNextSibling(), album->getPageDialog());
    EXPECT_EQ(album->getPageDialog()->getAlpha(), 255);
    EXPECT_EQ(static_cast<ui::Sprite*>(album->getPageDialog()->findComponent("PAGE_SPRITE"))->getAlpha(), 0);

    run(460);
    EXPECT_TRUE(album->isVisible());
    EXPECT_TRUE(manager->isAlbumBlocking());
    EXPECT_TRUE(manager->isAlbumLocked());
    ASSERT_TRUE(runUntil([this] { return !manager->isAlbumLocked(); }));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(album->getPage(), 0);
    EXPECT_FALSE(album->getLeftPage()->isVisible());
    EXPECT_FALSE(album->getButtonPrev()->isEnabled());
    EXPECT_TRUE(album->getButtonNext()->isEnabled());
    EXPECT_TRUE(album->getButtonMenu()->isEnabled());
    EXPECT_TRUE(pageButton()->isEnabled());
    EXPECT_EQ(static_cast<ui::Sprite*>(album->getPageDialog()->findComponent("PAGE_SPRITE"))->getAlpha(),
              255);
    // The turning strips wait for a turn; the lifted curtain keeps no picture.
    EXPECT_FALSE(albumtest::isStripLoaded(true) || albumtest::isStripLoaded(false));
    EXPECT_FALSE(manager->isTurnStripRead(true) || manager->isTurnStripRead(false));
    EXPECT_EQ(manager->getCurtain()->getImage(), nullptr);
}

// The turning sheet plays the strip the loader read and cut into its frames: each frame from its own piece,
// the pixels those of the file, and the sheet stays where the book places it.
TEST_F(AlbumTest, ASheetPlaysTheStripCutIntoItsFrames) {
    openAtContents();
    kernel::ResourceManager::instance()->resetProgress();
    press(book()->getButtonNext());
    EXPECT_LT(kernel::ResourceManager::instance()->loadingProgress(), 1.0) << "the loader asked at the press";
    ASSERT_TRUE(runUntil([this] { return book()->getState() == DialogAlbum::turning; }));
    EXPECT_TRUE(manager->isTurnStripRead(true));
    EXPECT_FALSE(manager->isTurnStripRead(false)) << "only the way the pages turn";
    EXPECT_FALSE(albumtest::isStripLoaded(true)) << "held by the album, not the loader";
    graphics::ImageBase* strip = manager->turnStrip(true);
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(strip->isKindOf(graphics::FrameStripImage::classInfo));
    const auto* cut = static_cast<graphics::FrameStripImage*>(strip);
    EXPECT_TRUE(cut->isCut());
    EXPECT_EQ(cut->getFrameCount(), game::PageTurner::frames);
    ui::Sprite* sheet = book()->getFirstTurner()->getPageSprite();
    ASSERT_EQ(sheet->getImage(), strip);
    const int left = sheet->getX();
    const int top = sheet->getY();
    for (int frame = 0; frame < game::PageTurner::frames; ++frame) {
        sheet->setCurrentFrame(frame);
        const kernel::Rect* source = sheet->getSourceRect();
        ASSERT_NE(source, nullptr);
        const kernel::Rect wanted(0, frame * albumtest::stripFrameHeight, albumtest::stripWidth,
                                  albumtest::stripFrameHeight);
        EXPECT_TRUE(*source == wanted) << "frame " << frame;
        EXPECT_NE(cut->findFramePiece(*source), nullptr) << "frame " << frame << " drawn from its piece";
        EXPECT_EQ(sheet->getX(), left);
        EXPECT_EQ(sheet->getY(), top);
    }
    const kernel::SmartPtr<graphics::MemoryImage32> file =
        graphics::loadPngImage("media/images/album/ALBUM_TURN_FORWARD.png");
    const kernel::SmartPtr<graphics::MemoryImage32> whole = cut->assemble();
    ASSERT_TRUE(file && whole);
    ASSERT_EQ(whole->getHeight(), file->getHeight());
    int wrong = 0;
    for (int y = 0; y < file->getHeight(); ++y) {
        for (int x = 0; x < file->getWidth(); ++x) {
            const std::uint32_t read = file->pixels32()[y * file->getPitch() / 4 + x];
            const std::uint32_t kept = whole->pixels32()[y * whole->getPitch() / 4 + x];
            // A clear pixel draws nothing, whatever its colour.
            wrong += (read >> 24 == 0 ? 0u : read) != (kept >> 24 == 0 ? 0u : kept);
        }
    }
    EXPECT_EQ(wrong, 0);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(book()->getPage(), 1);
}

// A strip that is no picture turns the pages all the same, with nothing to show.
TEST_F(AlbumTest, AStripThatCannotBeReadStillTurnsThePage) {
    albumtest::writeFile("media/images/album/ALBUM_TURN_FORWARD.png", "not a picture");
    openAtContents();
    press(book()->getButtonNext());
    ASSERT_TRUE(runUntil([this] { return book()->getState() == DialogAlbum::turning; }));
    EXPECT_EQ(book()->getFirstTurner()->getPageSprite()->getImage(), nullptr);
    EXPECT_FALSE(manager->isTurnStripRead(true));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(book()->getPage(), 1);
    EXPECT_EQ(pageName(), ids::dialogStatistics);
}

TEST_F(AlbumTest, OneSheetTurnsToTheNextPageAndBack) {
    openAtContents();
    DialogAlbum* album = book();
    press(album->getButtonNext());
    EXPECT_EQ(album->getState(), DialogAlbum::leaving);
    EXPECT_EQ(album->getPage(), 1);
    EXPECT_FALSE(album->getButtonMenu()->isEnabled());
    EXPECT_FALSE(pageButton()->isEnabled());

    // The page fades out over 250 ms; then one sheet turns for 640 ms.
    run(240);
    EXPECT_EQ(album->getState(), DialogAlbum::leaving);
    run(20);
    EXPECT_EQ(album->getState(), DialogAlbum::turning);
    EXPECT_EQ(sheets(), 1);
    EXPECT_EQ(album->getFirstTurner()->getPageSprite()->getImage(), manager->turnStrip(true));
    EXPECT_EQ(album->getPageDialog(), nullptr);
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogToc));
    EXPECT_FALSE(album->getButtonNext()->isEnabled());
    run(600);
    EXPECT_EQ(album->getState(), DialogAlbum::turning);
    run(60);
    EXPECT_NE(album->getState(), DialogAlbum::turning);

    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(sheets(), 0);
    EXPECT_EQ(pageName(), ids::dialogStatistics);
    EXPECT_TRUE(album->getLeftPage()->isVisible());
    EXPECT_EQ(manager->getAlbumLeftPagePictureName(), std::string(ids::albumLeftPagePrefix) + "1");
    EXPECT_EQ(album->getLeftPage()->getImage()->getHeight(), 31);
    EXPECT_TRUE(album->getButtonBookmarker()->isVisible());
    EXPECT_FALSE(album->getBookmarker()->isVisible());
    EXPECT_TRUE(album->getButtonPrev()->isEnabled());
    EXPECT_TRUE(pageButton()->isEnabled());

    press(album->getButtonPrev());
    ASSERT_TRUE(runUntil([album] { return album->getState() == DialogAlbum::turning; }));
    ASSERT_NE(manager->turnStrip(false), nullptr);
    EXPECT_EQ(album->getFirstTurner()->getPageSprite()->getImage(), manager->turnStrip(false))
        << "the sheet turns back";
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(album->getPage(), 0);
    EXPECT_EQ(pageName(), ids::dialogToc);
    EXPECT_FALSE(album->getLeftPage()->isVisible());
    EXPECT_FALSE(album->getButtonBookmarker()->isVisible());
    EXPECT_TRUE(album->getBookmarker()->isVisible());
    // Each picture kind holds one picture at a time.
    EXPECT_TRUE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "1"));
}

TEST_F(AlbumTest, PagesFollowThePlan) {
    manager->showHighscores(1, 3);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(book()->getPage(), 3);
    EXPECT_EQ(pageName(), ids::dialogHighscores);
    EXPECT_EQ(manager->getAlbumLeftPagePictureName(), std::string(ids::albumLeftPagePrefix) + "3");
    EXPECT_TRUE(book()->getButtonBookmarker()->isVisible());

    world.source->removeAllDialogs();
    run(stepMs);
    // Collectable 5 stands at album position 26, on page 30.
    manager->showCollectable(5);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(book()->getPage(), 30);
    EXPECT_EQ(pageName(), ids::dialogCollectables);
    EXPECT_EQ(static_cast<game::DialogCollectables*>(book()->getPageDialog())->getCollectable(), 5);
    EXPECT_EQ(manager->getAlbumLeftPagePictureName(), std::string(ids::albumLeftPagePrefix) + "30");
    EXPECT_FALSE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "3"));
    // Opened without the curtain, and locked until the photograph lets it go.
    EXPECT_TRUE(book()->isVisible());
    EXPECT_TRUE(manager->isAlbumBlocking());
}

TEST_F(AlbumTest, BookmarkerTurnsTenSheetsBackToTheContents) {
    openAtContents();
    world.source->removeAllDialogs();
    run(stepMs);
    openAtPage(20);
    DialogAlbum* album = book();
    ASSERT_TRUE(album->getButtonBookmarker()->isVisible());
    press(album->getButtonBookmarker());
    EXPECT_EQ(album->getPage(), 0);
    EXPECT_EQ(album->getTurnDistance(), 20);
    run(260);
    ASSERT_EQ(album->getState(), DialogAlbum::turning);
    EXPECT_EQ(sheets(), 10);
    // The last of ten sheets starts 9 x 213 ms after the first: only then does the bookmarker sprite take
    // the button's place.
    run(9 * game::PageTurner::middleMs - 60);
    EXPECT_TRUE(album->getButtonBookmarker()->isVisible());
    run(120);
    EXPECT_FALSE(album->getButtonBookmarker()->isVisible());
    EXPECT_TRUE(album->getBookmarker()->isVisible());
    EXPECT_EQ(album->getPageDialog(), nullptr);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(pageName(), ids::dialogToc);
    EXPECT_EQ(sheets(), 0);
}

TEST_F(AlbumTest, CornersShowWhereAPageCanTurnAndAddSheetsToAForwardTurn) {
    openAtContents();
    DialogAlbum* album = book();
    moveTo(album->getCornerLeft());
    EXPECT_FALSE(album->getCornerLeft()->isVisible());
    moveTo(album->getCornerRight());
    EXPECT_TRUE(album->getCornerRight()->isVisible());
    EXPECT_FALSE(album->getCornerLeft()->isVisible());
    EXPECT_FALSE(pressAt(album->getCornerLeft()));

    EXPECT_TRUE(pressAt(album->getCornerRight()));
    EXPECT_EQ(album->getPage(), 1);
    // Nothing while the page fades out.
    EXPECT_TRUE(pressAt(album->getCornerRight()));
    EXPECT_EQ(album->getPage(), 1);
    run(260);
    ASSERT_EQ(album->getState(), DialogAlbum::turning);
    EXPECT_TRUE(pressAt(album->getCornerRight()));
    EXPECT_EQ(album->getPage(), 2);
    EXPECT_EQ(sheets(), 2);
    // A backward press does not join a forward turn.
    EXPECT_TRUE(pressAt(album->getCornerLeft()));
    EXPECT_EQ(album->getPage(), 2);
    EXPECT_EQ(sheets(), 2);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(pageName(), ids::dialogHighscores);

    // Locked, the book takes no press.
    manager->enableAlbum(false);
    EXPECT_FALSE(pressAt(album->getCornerLeft()));
    EXPECT_EQ(album->getPage(), 2);
    EXPECT_FALSE(pageButton()->isEnabled());
}

TEST_F(AlbumTest, TheLastPageHasNoWayForward) {
    openAtContents();
    world.source->removeAllDialogs();
    run(stepMs);
    openAtPage(AlbumPictures::lastPage);
    DialogAlbum* album = book();
    run(stepMs);
    EXPECT_FALSE(album->getButtonNext()->isEnabled());
    EXPECT_TRUE(album->getButtonPrev()->isEnabled());
    moveTo(album->getCornerRight());
    EXPECT_FALSE(album->getCornerRight()->isVisible());
    EXPECT_TRUE(pressAt(album->getCornerRight()));
    EXPECT_EQ(album->getState(), DialogAlbum::idle);
    EXPECT_EQ(album->getPage(), AlbumPictures::lastPage);
}

TEST_F(AlbumTest, CreditsShowEachPageForItsTimeAndClose) {
    kernel::PropertyStore::instance()->intRef(ids::cfgHardModeUnlockVib) = 99;
    ASSERT_EQ(AlbumPictures::creditsPageCount(), 3);
    manager->openCredits();
    ASSERT_NE(book(), nullptr);
    EXPECT_TRUE(book()->isCreditsMode());
    EXPECT_FALSE(book()->getButtonNext()->isVisible());
    EXPECT_FALSE(book()->getButtonPrev()->isVisible());
    EXPECT_FALSE(book()->getButtonBookmarker()->isVisible());
    // Each page as it comes to rest.
    std::vector<int> shown;
    bool leftPictureShown = false;
    std::int32_t state = book()->getState();
    const bool closed = runUntil(
        [&] {
            if (book() == nullptr) {
                return true;
            }
            if (state != DialogAlbum::idle && book()->getState() == DialogAlbum::idle) {
                shown.push_back(book()->getPage());
                EXPECT_TRUE(book()->getButtonMenu()->isEnabled());
            }
            EXPECT_TRUE(manager->isAlbumLocked()) << "for the whole run";
            state = book()->getState();
            leftPictureShown = leftPictureShown || book()->getLeftPage()->isVisible();
            return false;
        },
        20000);
    EXPECT_TRUE(closed);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(leftPictureShown);
    EXPECT_FALSE(manager->isAlbumBlocking());
}

TEST_F(AlbumTest, CreditsShowTheirPicturesToAPlayerWhoUnlockedTheHardGame) {
    kernel::PropertyStore::instance()->intRef(ids::cfgHardModeUnlockVib) = 0;
    manager->openCredits();
    ASSERT_TRUE(runUntil(
        [this] { return book() != nullptr && book()->getPage() == 1 && book()->getLeftPage()->isVisible(); },
        20000));
    EXPECT_EQ(book()->getLeftPage()->getImage()->getWidth(), 20);
    EXPECT_TRUE(albumtest::isLoaded(std::string(ids::creditsLeftPagePrefix) + "1"));
}

TEST_F(AlbumTest, ClosingFadesThroughBlackOnceAndLetsThePicturesGo) {
    openAtContents();
    press(book()->getButtonNext());
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(manager->isTurnStripRead(true));
    const kernel::SmartPtr<graphics::ImageBase> cutStrip = manager->turnStrip(true);
    ui::Sprite* curtain = manager->getCurtain();
    press(book()->getButtonMenu());
    manager->closeAlbum();
    // The curtain has its screen-sized picture while it falls and lifts.
    ASSERT_NE(curtain->getImage(), nullptr);
    EXPECT_EQ(curtain->getImage()->getWidth(), 640);
    EXPECT_EQ(curtain->getImage()->getHeight(), 480);
    EXPECT_TRUE(manager->isAlbumLocked());
    EXPECT_EQ(book()->getNextSibling(), curtain);
    // Let go once the screen is black.
    run(440);
    ASSERT_NE(book(), nullptr);
    EXPECT_TRUE(book()->isVisible());
    ASSERT_TRUE(runUntil([this] { return book() == nullptr; }, 40));
    EXPECT_FALSE(manager->isAlbumBlocking());
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogAlbum));
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogStatistics));
    EXPECT_FALSE(albumtest::isStripLoaded(true));
    EXPECT_FALSE(manager->isTurnStripRead(true));
    EXPECT_EQ(cutStrip->referenceCount(), 1) << "the cut strip goes with the album";
    EXPECT_FALSE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "1"));
    run(500);
    EXPECT_EQ(curtain->getParent(), nullptr);
    EXPECT_EQ(curtain->getImage(), nullptr);

    // The album opens again as it did the first time, and reads its strip again for a turn.
    openAtContents();
    EXPECT_EQ(pageName(), ids::dialogToc);
    EXPECT_TRUE(book()->isVisible());
    press(book()->getButtonNext());
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(manager->isTurnStripRead(true));
    EXPECT_NE(manager->turnStrip(true), cutStrip.get());
    EXPECT_EQ(book()->getFirstTurner(), nullptr);
}

// No scene holds the book's pictures: the album reads them as it is made, its pages find theirs there, and
// they go with the album. Asked ahead, as play asks when a collectable comes onto the field, the loader
// reads them before the photograph opens the album.
TEST_F(AlbumTest, TheBookReadsItsPicturesAsItOpensAndLetsThemGoWhenItCloses) {
    albumtest::addAlbumSection();
    const auto loaded = [](const char* id) { return albumtest::isLoaded(id, ids::groupAlbum); };
    EXPECT_FALSE(loaded("IMAGE_ALBUM_BOOK"));

    openAtContents();
    EXPECT_TRUE(loaded("IMAGE_ALBUM_BOOK"));
    const auto* background = static_cast<ui::Sprite*>(book()->findComponent(ids::spriteBackground));
    ASSERT_NE(background, nullptr);
    ASSERT_NE(background->getImage(), nullptr);
    EXPECT_EQ(background->getImage()->getWidth(), 560);
    EXPECT_EQ(background->getImage()->getHeight(), 420);
    press(book()->getButtonMenu());
    ASSERT_TRUE(runUntil([this] { return book() == nullptr; }));
    run(stepMs);
    EXPECT_FALSE(loaded("IMAGE_ALBUM_BOOK"));
    EXPECT_FALSE(loaded("IMAGE_POLAROID"));
    EXPECT_EQ(DialogAlbum::pictures.dialogCount(), 0);

    kernel::ResourceManager::instance()->setActive();
    DialogAlbum::pictures.readAhead();
    ASSERT_TRUE(
        testsupport::eventually([&] { return loaded("IMAGE_ALBUM_BOOK") && loaded("IMAGE_POLAROID"); }));
    openAtPage(AlbumPictures::firstCollectablePage);
    ASSERT_EQ(pageName(), ids::dialogCollectables);
    const ui::Sprite* polaroid = static_cast<game::DialogCollectables*>(book()->getPageDialog())->polaroid();
    ASSERT_NE(polaroid, nullptr);
    ASSERT_NE(polaroid->getImage(), nullptr);
    EXPECT_EQ(polaroid->getImage()->getHeight(), 170);
    manager->closeAlbum();
    ASSERT_TRUE(runUntil([this] { return book() == nullptr; }));
    run(stepMs);
    EXPECT_FALSE(loaded("IMAGE_ALBUM_BOOK"));
    EXPECT_FALSE(loaded("IMAGE_POLAROID"));
}

TEST_F(AlbumTest, ClosingWithAReturnSceneChangesScene) {
    openAtContents();
    manager->setReturnScene("TARGET");
    press(book()->getButtonMenu());
    EXPECT_TRUE(manager->getReturnScene().empty());
    EXPECT_FALSE(manager->isAlbumBlocking());
    ASSERT_TRUE(runUntil([this] { return world.manager->currentScene() == world.target; }));
}

TEST_F(AlbumTest, EachPictureKindHoldsOnePictureAtATime) {
    graphics::ImageBase* third = manager->buildAlbumLeftPagePicture(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->getWidth(), 20);
    EXPECT_TRUE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "3"));
    EXPECT_NE(manager->buildAlbumLeftPagePicture(4), nullptr);
    EXPECT_FALSE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "3"));
    EXPECT_NE(manager->buildCollectablePicture(7), nullptr);
    EXPECT_NE(manager->buildCollectablePictureLight(7), nullptr);
    EXPECT_NE(manager->buildCreditsLeftPagePicture(2), nullptr);
    for (const std::string& name :
         {std::string(ids::albumLeftPagePrefix) + "4", std::string(ids::creditsLeftPagePrefix) + "2",
          std::string(ids::collectablePicturePrefix) + "7",
          std::string(ids::collectablePicturePrefix) + "7" + ids::collectablePictureLightSuffix}) {
        EXPECT_TRUE(albumtest::isLoaded(name)) << name;
    }
    // A picture the definitions lack is none.
    EXPECT_EQ(manager->buildAlbumLeftPagePicture(99), nullptr);
    EXPECT_FALSE(albumtest::isLoaded(std::string(ids::albumLeftPagePrefix) + "4"));
}

} // namespace
