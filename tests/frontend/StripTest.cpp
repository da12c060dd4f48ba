// The first start's comic over a plain scene and over the loading scene, with its pages as real PNG files
// loaded by the loader thread, input handed to the scene's dispatcher as the window hands it, and frames
// painted into a picture of the game area.
#include "game/frontend/DialogStrip.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SceneRenderer.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/LoadingScene.h"

#include "Eventually.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"
#include "StripPages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using frontendtest::FrontendWorld;
using game::DialogStrip;
namespace ids = game::ids;

constexpr int buttonX = 590;
constexpr int buttonY = 440;

// The loading scene with its background and its logo (13 frames of 10 x 10) from "sceneload", which only one
// test declares.
const std::string declarations = std::string(R"(<dialogs><Node id="dialogs">)") +
                                 striptest::stripDeclaration +
                                 R"(<DialogStrip id="DIALOG_STRIP_BARE"/>
  <LoadingScene id="SCENE_LOADING" scenebackground="IMAGE_LOADING_BACKGROUND" section="sceneload">
    <Vector id="scenecomponents">
      <Sprite name="SPRITE_LOGOANIM" image="IMAGE_LOADING_LOGO" section="sceneload" framecount="13"
              initanimation="true" horizontalframelayout="true"/>
      <Label name="LABEL_INFO"/>
      <Label name="LABEL_INFO_BLUR"/>
    </Vector></LoadingScene></Node></dialogs>)";

constexpr std::uint16_t loadingGrey = 200;

class StripTest : public ::testing::Test {
protected:
    void SetUp() override { world.startIn("SOURCE"); }

    // The pages are loaded before the comic opens, as the loading scene and the profile dialog see to.
    void loadPages(const std::set<int>& broken = {}) {
        striptest::addStripPages(broken);
        kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        resources->setActive();
        ASSERT_TRUE(resources->loadGroup(ids::groupStrip));
        ASSERT_TRUE(testsupport::eventually([&] { return resources->isLoadingDone(); }));
    }
    // Only what the comic opens with is loaded before it opens, as the loading scene and the profile dialog
    // ask; with reading false nothing is, and the comic reads its first page itself.
    void loadOpening(const std::set<int>& broken = {}, bool reading = true) {
        striptest::addStripPages(broken);
        kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        resources->setActive();
        if (reading) {
            ASSERT_TRUE(resources->loadGroup(DialogStrip::openingSection));
            ASSERT_TRUE(testsupport::eventually([&] { return resources->isLoadingDone(); }));
        }
    }
    static std::set<int> loadedPages() {
        std::set<int> loaded;
        for (int n = 1; n <= DialogStrip::pageCount; ++n) {
            if (striptest::pageLoaded(n)) {
                loaded.insert(n);
            }
        }
        return loaded;
    }
    // The loading scene's section as real files, loaded by the loader thread.
    static void loadLoadingSection() {
        const std::string pictures =
            "<Image id=\"IMAGE_LOADING_BACKGROUND\" file=\"" +
            albumtest::writeFile("media/images/loading/background.png",
                                 albumtest::png(640, 480, loadingGrey)) +
            "\"/><Image id=\"IMAGE_LOADING_LOGO\" file=\"" +
            albumtest::writeFile("media/images/loading/logo.png", albumtest::png(130, 10, loadingGrey)) +
            "\"/><Sound id=\"" + ids::soundJingle + "\" file=\"" +
            albumtest::writeFile("media/sounds/jingle.wav", testsupport::wav(testsupport::tone(200))) +
            "\"/>";
        const kernel::SmartPtr<kernel::ValueDocument> document =
            new kernel::ValueDocument(albumtest::writeFile(
                "media/properties/loading.xml", R"(<Resources><Vector id="Sections">)" +
                                                    striptest::section(ids::groupSceneLoad, pictures) +
                                                    "</Vector></Resources>"));
        document->load();
        kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        resources->addGroup(new kernel::ResourceGroup(*document->getVector("Sections").at(0)));
        ASSERT_TRUE(resources->loadGroup(ids::groupSceneLoad));
        ASSERT_TRUE(testsupport::eventually([&] { return resources->isLoadingDone(); }));
    }
    static bool loaded(const std::string& id, const std::string& section) {
        const kernel::Resource* resource = kernel::ResourceManager::instance()->findResource(id, section);
        return resource != nullptr && resource->isLoaded();
    }
    static DialogStrip* open(const char* declaration = ids::dialogStrip, ui::Scene* scene = nullptr) {
        ui::Dialog* dialog = game::DialogPibble::openDialog(declaration, scene, true);
        EXPECT_TRUE(dialog != nullptr && dialog->getClassInfo() == &DialogStrip::classInfo);
        return static_cast<DialogStrip*>(dialog);
    }
    // Frames of 50 ms until the comic offers "next" again; a fade through black takes about 900 ms.
    bool settle(const DialogStrip& strip) {
        for (int frame = 0; frame < 60 && !strip.acceptsNext(); ++frame) {
            world.frame();
        }
        return strip.acceptsNext();
    }
    static platform::InputDispatcher& input() {
        return *ui::SceneManager::instance()->currentScene()->getInputDispatcher();
    }
    static void click(int x, int y) {
        input().onLeftDown(x, y, 0, false);
        input().onLeftUp(x, y, 0);
    }
    static graphics::ImageBase* pageImage(int n) {
        return static_cast<graphics::ImageBase*>(striptest::page(n)->get());
    }
    // The red lane of the game area's pixel with the current scene and its dialogs painted.
    static int redAt(int x, int y) {
        ui::Scene& scene = *ui::SceneManager::instance()->currentScene();
        const kernel::SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(640, 480);
        const kernel::SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
        ui::paintSubtree(scene, *painter, *scene.getRootNode());
        return static_cast<int>(screen->pixels32()[screen->pixelIndex(x, y)] >> 16 & 0xFF);
    }
    static ui::GameNode* lastChildOf(const ui::GameNode& node) {
        ui::GameNode* last = node.getFirstChild();
        while (last != nullptr && last->getNextSibling() != nullptr) {
            last = last->getNextSibling();
        }
        return last;
    }
    // Page pixels pass through the display's colour depth: a lane may lose its low bits.
    static bool near(int lane, int expected) { return std::abs(lane - expected) <= 8; }

    FrontendWorld world{declarations};
};

TEST_F(StripTest, PagesTurnOneAPressWithAFadeThroughBlackAndTheSceneStaysInViewAtFirst) {
    loadPages();
    DialogStrip* strip = open();
    ASSERT_NE(strip->getNextButton(), nullptr);
    EXPECT_EQ(strip->getPage(), 0);
    EXPECT_EQ(strip->getAlpha(), 0);
    EXPECT_FALSE(strip->getNextButton()->isEnabled());
    EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(1));
    // The black sits above the page, and at first neither the comic nor the black hides the scene.
    EXPECT_EQ(lastChildOf(*strip), strip->getBlackOverlay());
    EXPECT_EQ(redAt(10, 10), static_cast<int>(frontendtest::sourceColour >> 16 & 0xFF));

    ASSERT_TRUE(settle(*strip));
    EXPECT_EQ(strip->getAlpha(), 255);
    EXPECT_EQ(strip->getBlackOverlay()->getAlpha(), 0);
    EXPECT_FALSE(strip->getNextShine()->getModifierList().empty());
    EXPECT_TRUE(near(redAt(10, 10), striptest::pageGrey(1)));
    // Beside the page the comic's own black is drawn.
    EXPECT_EQ(redAt(300, 300), 0);

    // The button hears the press before the comic does, and turns the page at its release as buttons do.
    input().onLeftDown(buttonX, buttonY, 0, false);
    EXPECT_EQ(strip->getPage(), 0);
    EXPECT_EQ(strip->getNextButton()->getState(), ui::Button::Pressed);
    input().onLeftUp(buttonX, buttonY, 0);
    EXPECT_EQ(strip->getPage(), 1);
    // Pressed again before the fade: the press meets a disabled button and turns nothing.
    click(buttonX, buttonY);
    EXPECT_EQ(strip->getPage(), 1);
    EXPECT_FALSE(strip->getNextButton()->isEnabled());
    EXPECT_TRUE(strip->getNextShine()->getModifierList().empty());
    // The page changes only under full black.
    world.frame();
    EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(1));
    ASSERT_TRUE(settle(*strip));
    EXPECT_EQ(strip->getPage(), 1);
    EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(2));
    EXPECT_TRUE(near(redAt(10, 10), striptest::pageGrey(2)));
}

TEST_F(StripTest, AClickBesideTheButtonTurnsThePageOnlyWhenNextIsOfferedAndNoFadeRuns) {
    loadPages();
    DialogStrip* strip = open();
    click(100, 100);
    EXPECT_EQ(strip->getPage(), 0);
    for (int frame = 0; frame < 12; ++frame) {
        world.frame();
        click(100, 100);
    }
    EXPECT_EQ(strip->getPage(), 0);

    ASSERT_TRUE(settle(*strip));
    click(100, 100);
    EXPECT_EQ(strip->getPage(), 1);
    click(100, 100);
    world.frame();
    click(100, 100);
    EXPECT_EQ(strip->getPage(), 1);
    // The comic takes every click for itself while it is open: the scene behind hears none.
    EXPECT_TRUE(world.source->getOpenDialogs().front() == strip);
}

TEST_F(StripTest, PastTheLastPageOverAnotherSceneTheComicFadesAwayAndCloses) {
    loadPages();
    const kernel::SmartPtr<DialogStrip> strip = open();
    for (int n = 0; n < DialogStrip::pageCount; ++n) {
        ASSERT_TRUE(settle(*strip)) << n;
        click(buttonX, buttonY);
    }
    EXPECT_EQ(strip->getPage(), DialogStrip::pageCount);
    // At full black the comic turns invisible; the black then fades away over the scene.
    for (int frame = 0; frame < 30 && strip->getAlpha() != 0; ++frame) {
        world.frame();
    }
    EXPECT_EQ(strip->getAlpha(), 0);
    EXPECT_TRUE(world.source->isDialogOpen(ids::dialogStrip));
    for (int frame = 0; frame < 30 && world.source->isDialogOpen(ids::dialogStrip); ++frame) {
        world.frame();
    }
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogStrip));
    EXPECT_FALSE(strip->getNextButton()->isEnabled());
    EXPECT_EQ(world.manager->nextScene(), nullptr);
    EXPECT_EQ(world.manager->currentScene(), world.source);
}

TEST_F(StripTest, OverTheLoadingSceneTheLastNextLeadsToTheSelectionSceneWithoutFadingTheComic) {
    loadPages();
    ui::Scene* selection = new ui::Scene();
    ui::RegisterScene(ids::sceneSelection, selection);
    kernel::Object* made = ui::DialogManager::instance()->createDialog(ids::sceneLoading);
    ASSERT_TRUE(made != nullptr && made->isKindOf(game::LoadingScene::classInfo));
    auto* loading = static_cast<game::LoadingScene*>(made);
    ui::RegisterScene(ids::sceneLoading, loading);
    world.startIn(ids::sceneLoading);

    DialogStrip* strip = open(ids::dialogStrip, loading);
    for (int n = 0; n < DialogStrip::pageCount - 1; ++n) {
        ASSERT_TRUE(settle(*strip)) << n;
        click(buttonX, buttonY);
    }
    ASSERT_TRUE(settle(*strip));
    EXPECT_EQ(world.manager->nextScene(), nullptr);
    click(buttonX, buttonY);
    EXPECT_EQ(strip->getPage(), DialogStrip::pageCount - 1);
    EXPECT_EQ(world.manager->nextScene(), selection);
    EXPECT_NE(world.manager->transitionScene(), nullptr);
    EXPECT_EQ(strip->getAlpha(), 255);
    EXPECT_TRUE(strip->getBlackOverlay()->getModifierList().empty());
    // Clear from here on, the comic's black lets go of its picture: the transition fades through its own.
    EXPECT_EQ(strip->getBlackOverlay()->getImage(), nullptr);
    EXPECT_FALSE(strip->getNextButton()->isEnabled());
    for (int frame = 0; frame < 100 && world.manager->currentScene() != selection; ++frame) {
        world.frame();
    }
    EXPECT_EQ(world.manager->currentScene(), selection);
}

// Each page is read on the loader thread while the page before it is shown and let go at the turn after
// it: the comic holds the page shown and the next, and shows them one after the other as it always did.
TEST_F(StripTest, TheComicHoldsOnlyThePageShownAndTheNextWhichTheLoaderReadsAhead) {
    loadOpening();
    EXPECT_EQ(loadedPages(), std::set<int>{1});
    DialogStrip* strip = open();
    for (int n = 1; n <= DialogStrip::pageCount; ++n) {
        ASSERT_TRUE(settle(*strip)) << n;
        EXPECT_EQ(strip->getPage(), n - 1);
        EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(n));
        EXPECT_TRUE(near(redAt(10, 10), striptest::pageGrey(n))) << n;
        const std::set<int> held = n < DialogStrip::pageCount ? std::set<int>{n, n + 1} : std::set<int>{n};
        EXPECT_TRUE(testsupport::eventually([&] { return loadedPages() == held; })) << n;
        click(buttonX, buttonY);
        // The page goes only under full black, with the next already there.
        world.frame();
        EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(n));
    }
    for (int frame = 0; frame < 60 && world.source->isDialogOpen(ids::dialogStrip); ++frame) {
        world.frame();
    }
    EXPECT_FALSE(world.source->isDialogOpen(ids::dialogStrip));
    world.frame();
    EXPECT_TRUE(loadedPages().empty());
}

// A page that cannot be read shows blank and the comic reads on; nothing read ahead (the first page here) is
// read at the turn instead.
TEST_F(StripTest, APageThatCannotBeReadShowsBlankAndOneNotReadAheadIsReadAtTheTurn) {
    loadOpening({3}, false);
    EXPECT_TRUE(loadedPages().empty());
    DialogStrip* strip = open();
    EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(1));
    for (int n = 1; n <= DialogStrip::pageCount; ++n) {
        ASSERT_TRUE(settle(*strip)) << n;
        EXPECT_EQ(strip->getPage(), n - 1);
        if (n == 3) {
            EXPECT_TRUE(striptest::page(3)->hasError());
            EXPECT_EQ(strip->getPageSprite()->getImage(), nullptr);
            EXPECT_EQ(redAt(10, 10), 0);
        } else {
            EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(n));
            EXPECT_TRUE(near(redAt(10, 10), striptest::pageGrey(n))) << n;
        }
        click(buttonX, buttonY);
    }
    EXPECT_EQ(strip->getPage(), DialogStrip::pageCount);
}

// From the comic's first full black the loading scene is not seen again (the comic leads on to the selection
// scene over it): its pictures go, while the jingle, which may still play, stays for the selection scene.
TEST_F(StripTest, TheLoadingSceneLetsGoOfItsPicturesOnceTheComicCoversIt) {
    loadOpening();
    loadLoadingSection();
    kernel::Object* made = ui::DialogManager::instance()->createDialog(ids::sceneLoading);
    ASSERT_TRUE(made != nullptr && made->isKindOf(game::LoadingScene::classInfo));
    auto* loading = static_cast<game::LoadingScene*>(made);
    ui::RegisterScene(ids::sceneLoading, loading);
    world.startIn(ids::sceneLoading);
    ASSERT_NE(loading->getLogoAnimation(), nullptr);
    EXPECT_NE(loading->getLogoAnimation()->getImage(), nullptr);
    EXPECT_NE(loading->getSurfaceImage(), nullptr);

    DialogStrip* strip = open(ids::dialogStrip, loading);
    world.frame();
    // Still fading to black over the scene, which is in view.
    EXPECT_NE(loading->getSurfaceImage(), nullptr);
    EXPECT_GT(redAt(10, 10), 0);
    ASSERT_TRUE(settle(*strip));
    EXPECT_TRUE(near(redAt(10, 10), striptest::pageGrey(1)));
    EXPECT_EQ(loading->getSurfaceImage(), nullptr);
    EXPECT_EQ(loading->getLogoAnimation()->getImage(), nullptr);
    EXPECT_FALSE(loaded("IMAGE_LOADING_BACKGROUND", ids::groupSceneLoad));
    EXPECT_FALSE(loaded("IMAGE_LOADING_LOGO", ids::groupSceneLoad));
    EXPECT_TRUE(loaded(ids::soundJingle, ids::groupSceneLoad));
    // Its information text no longer pulses under the comic: the page at rest draws nothing more.
    for (ui::Label* label : {loading->getInfoLabel(), loading->getInfoBlurLabel()}) {
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->isVisible());
        EXPECT_TRUE(label->getModifierList().empty());
    }
}

TEST_F(StripTest, DestroyingTheComicUnloadsItsPages) {
    loadPages();
    open();
    world.frame();
    EXPECT_TRUE(striptest::pageLoaded(1));
    game::DialogPibble::closeDialog(ids::dialogStrip);
    world.frame();
    for (int n = 1; n <= DialogStrip::pageCount; ++n) {
        EXPECT_FALSE(striptest::pageLoaded(n)) << n;
    }
}

TEST_F(StripTest, PagesThatDidNotLoadShowBlankAndABareDeclarationRunsWithoutAButton) {
    loadPages({2});
    EXPECT_TRUE(striptest::page(2)->hasError());
    DialogStrip* strip = open();
    ASSERT_TRUE(settle(*strip));
    click(buttonX, buttonY);
    ASSERT_TRUE(settle(*strip));
    EXPECT_EQ(strip->getPage(), 1);
    EXPECT_EQ(strip->getPageSprite()->getImage(), nullptr);
    EXPECT_EQ(redAt(10, 10), 0);
    click(buttonX, buttonY);
    ASSERT_TRUE(settle(*strip));
    EXPECT_EQ(strip->getPageSprite()->getImage(), pageImage(3));

    game::DialogPibble::closeDialog(ids::dialogStrip);
    DialogStrip* bare = open("DIALOG_STRIP_BARE");
    EXPECT_EQ(bare->getNextButton(), nullptr);
    EXPECT_EQ(bare->getPageSprite(), nullptr);
    for (int frame = 0; frame < 30; ++frame) {
        world.frame();
        click(buttonX, buttonY);
    }
    EXPECT_FALSE(bare->acceptsNext());
    EXPECT_EQ(bare->getPage(), 0);
    EXPECT_EQ(bare->getAlpha(), 255);
}

} // namespace
