#include "game/frontend/LoadingScene.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/Player.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneRenderer.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogStrip.h"
#include "host/System.h"

#include "../kernel/ResourceTestSupport.h"
#include "EncodedImages.h"
#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::LoadingScene;
using resourcetest::LoadGate;
using testsupport::eventually;

// The logo has 13 frames of 10 x 10; the bar is 200 wide at (20, 400).
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <LoadingScene id="SCENE_LOADING"><Vector id="scenecomponents">
    <Sprite name="SPRITE_LOGOANIM" width="130" height="10" framecount="13" initanimation="true"
            horizontalframelayout="true"/>
    <Sprite name="SPRITE_LOADINGBAR" x="20" y="400" width="200" height="12"/>
    <Label name="LABEL_INFO" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_INFO_BLUR" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
  </Vector></LoadingScene>
  <LoadingScene id="SCENE_BARE"/>
  <LoadingScene id="SCENE_LOGO"><Vector id="scenecomponents">
    <Sprite name="SPRITE_LOGOANIM" x="100" y="60" anchorpoint="center" image="IMAGE_LOADING_LOGO"
            section="sceneload" framecount="13" initanimation="true" horizontalframelayout="true"
            framewrapstyle="once"/>
  </Vector></LoadingScene>
  <DialogStrip id="DIALOG_STRIP" width="640" height="480" autoenlarge="false"><Vector id="components">
    <Sprite name="STRIP"/><Button name="BUTTON_NEXT" x="560" y="420" width="60" height="160"/>
  </Vector></DialogStrip>
  <DialogPibble id="DIALOG_YESNO" width="200" height="60"><Vector id="components">
    <Label name="MESSAGE" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_YES" width="20" height="64"/>
    <Button name="BUTTON_NO" width="20" height="64"/>
  </Vector></DialogPibble>
</Node></dialogs>)";

// The logo of SCENE_LOGO: 13 frames of 20 x 12, each clear but for a block of its own place and size whose
// colours change from pixel to pixel and whose left column is half transparent, so a frame drawn from a wrong
// place, or not drawn, shows.
constexpr int logoFrameWidth = 20;
constexpr int logoFrameHeight = 12;

std::string logoPng() {
    testsupport::PngPicture picture;
    picture.width = logoFrameWidth * 13;
    picture.height = logoFrameHeight;
    picture.colourType = PNG_COLOR_TYPE_RGBA;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int frame = x / logoFrameWidth;
            const int column = x % logoFrameWidth;
            const int left = frame % 7;
            const bool inside = column >= left && column < left + 6 + frame % 5 && y >= frame % 4 && y < 11;
            const std::uint16_t alpha = !inside ? 0 : column == left ? 128 : 255;
            picture.samples.insert(picture.samples.end(), {static_cast<std::uint16_t>(20 * frame),
                                                           static_cast<std::uint16_t>(x * 7 & 255),
                                                           static_cast<std::uint16_t>(y * 19 & 255), alpha});
        }
    }
    return testsupport::encodePng(picture);
}

// The loads pass the gate one by one: three of the front end's "dialogs", which the scene waits for; one of
// what the first start's comic opens with and one of the selection scene's, which are shown only once the
// player leaves the scene.
const std::string groups = resourcetest::sections(
    resourcetest::section("dialogs", resourcetest::gates("d", 3)) +
    resourcetest::section(game::DialogStrip::openingSection, resourcetest::gates("s", 1)) +
    resourcetest::section(game::ids::groupSceneSelection, resourcetest::gates("b", 1)));

class LoadingSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadGate::instance().reset(false);
        platform::FrameTimer::create();
        FrontendWorld::setText("TEXT_LOAD_FINISHED", u"Click");
        selection = new ui::Scene();
        ui::RegisterScene(LoadingScene::selectionScene, selection);
        resources = kernel::ResourceManager::instance();
        resources->addDefinitionPath(write("groups.xml", "<Resources>" + groups + "</Resources>"));
        resources->loadDefinitions();
        resources->setActive();
    }
    void TearDown() override {
        LoadGate::instance().openAll();
        platform::PlayerManager::destroy();
        platform::FrameTimer::destroy();
    }

    // Relative to the world's working folder.
    static std::string write(const std::string& path, const std::string& text) {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder);
        }
        std::ofstream(path) << text;
        return path;
    }
    LoadingScene* start(const char* declaration) {
        kernel::Object* made = ui::DialogManager::instance()->createDialog(declaration);
        EXPECT_TRUE(made != nullptr && made->isKindOf(LoadingScene::classInfo));
        LoadingScene* scene = static_cast<LoadingScene*>(made);
        ui::RegisterScene(declaration, scene);
        world.startIn(declaration);
        return scene;
    }
    void finishLoading(LoadingScene& scene) {
        LoadGate::instance().openAll();
        ASSERT_TRUE(eventually([&] { return resources->isLoadingDone(); }));
        world.frame();
        ASSERT_TRUE(scene.isLoadingFinished());
    }
    static int fps() { return platform::FrameTimer::instance()->getTargetFps(); }
    static int clipWidth(const ui::Sprite& bar) {
        return bar.getClipRect() != nullptr ? bar.getClipRect()->w : -1;
    }
    bool loaded(const std::string& id, const std::string& section) {
        const kernel::Resource* resource = resources->findResource(id, section);
        return resource != nullptr && resource->isLoaded();
    }
    // The first start's comic over the scene; null when it is not open.
    game::DialogStrip* strip(LoadingScene& scene) {
        ui::Dialog* dialog = scene.findDialog(game::ids::dialogStrip);
        return scene.isDialogOpen(game::ids::dialogStrip) && dialog->isKindOf(game::DialogStrip::classInfo)
                   ? static_cast<game::DialogStrip*>(dialog)
                   : nullptr;
    }
    // "Next" on every page as soon as it is offered.
    void readComic(game::DialogStrip& comic) {
        for (int page = 0; page < game::DialogStrip::pageCount; ++page) {
            for (int frame = 0; frame < 60 && !comic.acceptsNext(); ++frame) {
                world.frame();
            }
            ASSERT_TRUE(comic.acceptsNext()) << page;
            comic.getNextButton()->invoke(comic.getNextButton());
        }
    }
    // The transition takes the selection scene in within a few simulated seconds.
    bool reachesSelection() {
        for (int frame = 0; frame < 100 && world.manager->currentScene() != selection; ++frame) {
            world.frame();
        }
        return world.manager->currentScene() == selection;
    }

    // The logo's strip as a real PNG file in the scene's section, loaded by the loader thread.
    void loadLogo() {
        std::ofstream(write("media/images/loading/logo.png", ""), std::ios::binary) << logoPng();
        resources->addDefinitionPath(
            write("logo.xml", "<Resources>" +
                                  resourcetest::sections(resourcetest::section(
                                      game::ids::groupSceneLoad,
                                      std::string("<Image id=\"") + LoadingScene::logoImage +
                                          R"(" file="media/images/loading/logo.png" framecount="13" )"
                                          R"(horizontalframelayout="true"/>)")) +
                                  "</Resources>"));
        resources->loadDefinitions();
        ASSERT_TRUE(resources->loadGroup(game::ids::groupSceneLoad));
        ASSERT_TRUE(eventually([&] { return resources->isLoadingDone(); }));
    }
    // The selection scene's welcome font, declared as the game declares it (its pixels read when first
    // drawn) with a real charset of one glyph, and loaded by the loader thread.
    graphics::BitmapFont* loadWelcomeFont() {
        testsupport::PngPicture picture;
        picture.width = 8;
        picture.height = 6;
        picture.colourType = PNG_COLOR_TYPE_RGBA;
        picture.samples.assign(8 * 6 * 4, 255);
        std::ofstream(write("media/fonts/welcome.png", ""), std::ios::binary)
            << testsupport::encodePng(picture);
        write("media/fonts/welcome.xml",
              R"(<Font><Node id="charsetinfo" spacewidth="5" lineheight="6"/>)"
              R"(<Vector id="charset"><Node id="A" x="0" y="0" w="8" h="6" width="8"/>)"
              R"(</Vector></Font>)");
        const std::string font = game::ids::fontsShownWithAPlayer[0];
        resources->addDefinitionPath(write(
            "fonts.xml", "<Resources>" +
                             resourcetest::sections(resourcetest::section(
                                 game::ids::groupPreloading,
                                 "<Font id=\"" + font +
                                     R"(" file="media/fonts/welcome.png" format="media/fonts/welcome.xml" )"
                                     R"(ondemand="true"/>)")) +
                             "</Resources>"));
        resources->loadDefinitions();
        EXPECT_TRUE(resources->loadGroup(game::ids::groupPreloading));
        EXPECT_TRUE(eventually([&] { return resources->isLoadingDone(); }));
        kernel::Object* made = resources->getResource(font, game::ids::groupPreloading);
        return made != nullptr && made->isKindOf(graphics::BitmapFont::classInfo)
                   ? static_cast<graphics::BitmapFont*>(made)
                   : nullptr;
    }
    // The node alone drawn into a picture of the game area.
    static std::vector<std::uint32_t> drawn(ui::Scene& scene, ui::GameNode& node) {
        const kernel::SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(640, 480);
        ui::paintSubtree(scene, *kernel::SmartPtr<graphics::ImagePainter>(screen->createPainter()), node);
        return {screen->pixels32(), screen->pixels32() + 640 * 480};
    }

    FrontendWorld world{declarations};
    kernel::ResourceManager* resources = nullptr;
    ui::Scene* selection = nullptr;
};

TEST_F(LoadingSceneTest, BarFollowsTheProgressAndTheFinishAsksTheFirstStartQuestionOnce) {
    LoadingScene* scene = start("SCENE_LOADING");
    ASSERT_NE(scene->getLoadingBar(), nullptr);
    EXPECT_EQ(fps(), LoadingScene::loadingFps);
    EXPECT_EQ(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame);
    EXPECT_EQ(*scene->getLoadingBar()->getClipRect(), kernel::Rect(20, 400, 0, 12));

    LoadGate::instance().allow(2);
    ASSERT_TRUE(eventually([] { return LoadGate::instance().returnedCount() == 2; }));
    world.frame();
    EXPECT_EQ(*scene->getLoadingBar()->getClipRect(), kernel::Rect(20, 400, 133, 12));
    EXPECT_FALSE(scene->isLoadingFinished());
    // A click while loading is taken and leads nowhere.
    EXPECT_TRUE(scene->onLeftButtonUp(10, 10, 0));
    EXPECT_EQ(world.manager->nextScene(), nullptr);

    finishLoading(*scene);
    EXPECT_EQ(fps(), LoadingScene::finishedFps);
    EXPECT_EQ(scene->getLoadingBar()->getClipRect(), nullptr);
    EXPECT_EQ(scene->getInfoLabel()->getText(), u"Click");
    EXPECT_EQ(scene->getInfoBlurLabel()->getText(), u"Click");
    ASSERT_TRUE(scene->isDialogOpen(LoadingScene::fullScreenMessage));

    // The open question keeps the release for itself.
    EXPECT_FALSE(scene->onLeftButtonUp(10, 10, 0));
    EXPECT_EQ(world.manager->nextScene(), nullptr);
    game::DialogPibble::closeDialog(LoadingScene::fullScreenMessage);
    for (int frame = 0; frame < 20; ++frame) {
        world.frame();
    }
    // Answered no: not asked again; the logo has played once and rests on its last frame, and what the
    // player leaves for has been asked for.
    EXPECT_FALSE(scene->hasOpenDialog());
    EXPECT_EQ(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame);
    EXPECT_TRUE(eventually([&] { return loaded("s0", game::DialogStrip::openingSection); }));
    EXPECT_TRUE(eventually([&] { return loaded("b0", game::ids::groupSceneSelection); }));

    // The first start's click opens the comic, which takes every click after it and leads on itself.
    EXPECT_TRUE(scene->onLeftButtonUp(10, 10, 0));
    game::DialogStrip* comic = strip(*scene);
    ASSERT_NE(comic, nullptr);
    EXPECT_TRUE(comic->listenerList().isExclusive());
    EXPECT_FALSE(scene->onLeftButtonUp(10, 10, 0));
    world.frame();
    EXPECT_EQ(world.manager->nextScene(), nullptr);
    EXPECT_EQ(world.manager->currentScene(), scene);
    readComic(*comic);
    EXPECT_TRUE(reachesSelection());
}

// Should the comic's declaration be missing, the first start must not leave the player on this scene.
TEST_F(LoadingSceneTest, AFirstStartWithoutAComicGoesStraightToTheSelectionScene) {
    LoadingScene* scene = start("SCENE_LOADING");
    ui::DialogManager::destroy();
    ui::DialogManager::create(write("nocomic.xml", R"(<dialogs><Node id="dialogs"/></dialogs>)"));
    finishLoading(*scene);
    world.frame();
    EXPECT_FALSE(scene->hasOpenDialog());
    EXPECT_TRUE(scene->onLeftButtonUp(10, 10, 0));
    EXPECT_EQ(strip(*scene), nullptr);
    EXPECT_TRUE(reachesSelection());
}

TEST_F(LoadingSceneTest, WithAProfileNoQuestionIsAskedAndTheStripIsNotRequested) {
    platform::PlayerManager::create()->addPlayer(new platform::Player("Ann"));
    LoadingScene* scene = start("SCENE_LOADING");
    finishLoading(*scene);
    world.frame();
    EXPECT_FALSE(scene->hasOpenDialog());
    EXPECT_FALSE(scene->wasFullScreenAsked());
    EXPECT_FALSE(loaded("s0", game::DialogStrip::openingSection));
    EXPECT_TRUE(scene->onLeftButtonUp(300, 200, 0));
    EXPECT_TRUE(loaded("b0", game::ids::groupSceneSelection));
    EXPECT_TRUE(reachesSelection());
    EXPECT_FALSE(loaded("s0", game::DialogStrip::openingSection));
}

// With a player the greeting follows the click: its fonts read their pixels once the logo has passed, while
// the scene waits, not in the selection scene's first frame. A first start shows them only after the comic.
TEST_F(LoadingSceneTest, WithAProfileTheGreetingsFontsAreReadBeforeTheClick) {
    platform::PlayerManager::create()->addPlayer(new platform::Player("Ann"));
    graphics::BitmapFont* font = loadWelcomeFont();
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->isCharsetPending()) << "no pixels held at load";
    LoadingScene* scene = start("SCENE_LOADING");
    finishLoading(*scene);
    for (int frame = 0; frame < 20; ++frame) {
        world.frame();
    }
    ASSERT_EQ(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame);
    EXPECT_FALSE(font->isCharsetPending());
    EXPECT_NE(font->getImage(), nullptr);
}

TEST_F(LoadingSceneTest, OnAFirstStartTheGreetingsFontsHoldNoPixels) {
    graphics::BitmapFont* font = loadWelcomeFont();
    ASSERT_NE(font, nullptr);
    LoadingScene* scene = start("SCENE_LOADING");
    finishLoading(*scene);
    game::DialogPibble::closeDialog(LoadingScene::fullScreenMessage);
    for (int frame = 0; frame < 20; ++frame) {
        world.frame();
    }
    ASSERT_EQ(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame);
    EXPECT_TRUE(font->isCharsetPending());
    EXPECT_EQ(font->getImage(), nullptr);
}

// The selection scene's background and the comic's opening pages are decoded only after the logo's pass, so
// never while its frames are held.
TEST_F(LoadingSceneTest, WhatThePlayerLeavesForIsAskedForOnlyAfterTheLogosPass) {
    LoadingScene* scene = start("SCENE_LOADING");
    finishLoading(*scene);
    game::DialogPibble::closeDialog(LoadingScene::fullScreenMessage);
    world.frame();
    ASSERT_NE(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame) << "passing";
    EXPECT_FALSE(loaded("b0", game::ids::groupSceneSelection));
    EXPECT_FALSE(loaded("s0", game::DialogStrip::openingSection));
    EXPECT_EQ(LoadGate::instance().enteredCount(), 3) << "only what the scene waits for was read";
    for (int frame = 0; frame < 20; ++frame) {
        world.frame();
    }
    ASSERT_EQ(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame);
    EXPECT_TRUE(eventually([&] {
        return loaded("b0", game::ids::groupSceneSelection) &&
               loaded("s0", game::DialogStrip::openingSection);
    }));
}

// A click during the pass comes before the loader was asked: what it leads to is read at once, before the
// comic or the selection scene is built.
TEST_F(LoadingSceneTest, AClickDuringTheLogosPassReadsWhatItLeadsToAtOnce) {
    LoadingScene* scene = start("SCENE_LOADING");
    finishLoading(*scene);
    game::DialogPibble::closeDialog(LoadingScene::fullScreenMessage);
    world.frame();
    ASSERT_NE(scene->getLogoAnimation()->getCurrentFrame(), LoadingScene::logoRestingFrame) << "passing";
    EXPECT_TRUE(scene->onLeftButtonUp(10, 10, 0));
    EXPECT_TRUE(loaded("b0", game::ids::groupSceneSelection));
    EXPECT_TRUE(loaded("s0", game::DialogStrip::openingSection));
    game::DialogStrip* comic = strip(*scene);
    ASSERT_NE(comic, nullptr);
    readComic(*comic);
    EXPECT_TRUE(reachesSelection());
}

// While loading the logo rests on its last frame of the whole strip. The finish plays it once through every
// frame; from then on only the resting frame is drawn until the scene goes, so the sprite keeps a picture of
// that frame alone, drawn to the pixel as the strip drew it, and the strip's resource is let go.
TEST_F(LoadingSceneTest, TheLogoPlaysOnceThenKeepsOnlyItsRestingFrame) {
    platform::PlayerManager::create()->addPlayer(new platform::Player("Ann"));
    loadLogo();
    LoadingScene* scene = start("SCENE_LOGO");
    ui::Sprite* logo = scene->getLogoAnimation();
    ASSERT_NE(logo, nullptr);
    const kernel::Object* strip = resources->getResource(LoadingScene::logoImage, game::ids::groupSceneLoad);
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(logo->getImage(), strip);
    const int width = logo->getWidth();
    const int height = logo->getHeight();
    EXPECT_EQ(width, logoFrameWidth);
    const std::vector<std::uint32_t> resting = drawn(*scene, *logo);
    EXPECT_NE(resting, std::vector<std::uint32_t>(640 * 480, 0u));
    world.frame();
    EXPECT_EQ(logo->getImage(), strip) << "kept while loading";

    finishLoading(*scene);
    std::vector<int> shown{logo->getCurrentFrame()};
    bool restingMatched = true;
    for (int frame = 0; frame < 30; ++frame) {
        world.frame();
        if (logo->getCurrentFrame() != shown.back()) {
            shown.push_back(logo->getCurrentFrame());
        }
        // Every frame, before and after the strip goes, the resting logo looks the same.
        if (logo->getCurrentFrame() == LoadingScene::logoRestingFrame) {
            restingMatched = restingMatched && drawn(*scene, *logo) == resting;
        }
    }
    std::vector<int> everyFrame;
    for (int frame = 0; frame <= LoadingScene::logoRestingFrame; ++frame) {
        everyFrame.push_back(frame);
    }
    EXPECT_EQ(shown, everyFrame);
    EXPECT_TRUE(restingMatched);

    EXPECT_FALSE(loaded(LoadingScene::logoImage, game::ids::groupSceneLoad));
    graphics::ImageBase* kept = logo->getImage();
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->getClassInfo(), &graphics::FrameStripImage::classInfo);
    for (int frame = 0; frame < 13; ++frame) {
        const graphics::FramePiece* piece =
            kept->findFramePiece(kernel::Rect(frame * logoFrameWidth, 0, logoFrameWidth, logoFrameHeight));
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece->image != nullptr, frame == LoadingScene::logoRestingFrame) << frame;
    }
    EXPECT_EQ(logo->getWidth(), width);
    EXPECT_EQ(logo->getHeight(), height);
    EXPECT_EQ(drawn(*scene, *logo), resting);
    EXPECT_TRUE(scene->onLeftButtonUp(300, 200, 0));
    EXPECT_TRUE(reachesSelection());
}

TEST_F(LoadingSceneTest, ADeclarationWithoutComponentsRunsWithPartnersAndReportsWhatIsMissing) {
    write(LoadingScene::partnersFile, R"(<Settings><Vector id="partners">
        <Button name="PARTNER_BUTTON" width="20" height="64"/><NoSuchClass/></Vector></Settings>)");
    host::testing::recordDebugOutput(true);
    LoadingScene* scene = start("SCENE_BARE");
    const std::string reported = host::testing::takeDebugOutput();
    host::testing::recordDebugOutput(false);
    EXPECT_NE(reported.find("SPRITE_LOGOANIM"), std::string::npos);
    EXPECT_NE(reported.find("LABEL_INFO_BLUR"), std::string::npos);

    // The partner's button hears input before the scene itself.
    const ui::GameNode* partner = scene->findComponent("PARTNER_BUTTON");
    ASSERT_NE(partner, nullptr);
    ASSERT_FALSE(scene->listenerList().getMembers().empty());
    EXPECT_EQ(scene->listenerList().getMembers().front(), static_cast<const ui::Button*>(partner));

    finishLoading(*scene);
    game::DialogPibble::closeDialog(LoadingScene::fullScreenMessage);
    EXPECT_TRUE(scene->onLeftButtonUp(10, 10, 0));
    game::DialogStrip* comic = strip(*scene);
    ASSERT_NE(comic, nullptr);
    readComic(*comic);
    EXPECT_TRUE(reachesSelection());
}

} // namespace
