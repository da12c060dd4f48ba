// The field renderer over plain field sprites: blocks of one colour, some casting a shadow, on a backdrop.
#include "game/field/FieldRenderer.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/RecordingPainter.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FrameCheck.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SceneRenderer.h"
#include "game/field/FieldItemSprite.h"
#include "game/foundation/GameIds.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using game::FieldRenderer;
using game::FieldSprite;
using kernel::Rect;
using kernel::SmartPtr;

constexpr int border = 100;
constexpr std::uint32_t backdropColour = 0xFF0000FFu;
constexpr std::uint32_t black = 0xFF000000u;

// A block of one colour with its top-left corner at its position; with a shadow colour it draws, in the
// shadow pass, a band of its width reaching `shadowReach` pixels above its top.
class Block : public FieldSprite {
public:
    Block(int x, int y, int w, int h, std::uint32_t colour, std::uint32_t shadow = 0)
        : FieldSprite(x, y, testsupport::filled32(w, h, colour).get()), shadow(shadow) {}
    void paintShadow(graphics::ImagePainter& painter) override {
        if (shadow != 0) {
            painter.setColor(kernel::Color(shadow));
            painter.fillRect(getX(), getY() - shadowReach, getWidth(), shadowReach);
        }
    }
    static constexpr int shadowReach = 10;
    std::uint32_t shadow;
};

class FieldRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        fieldtest::FieldWorld::setInt(game::ids::cfgRenderBorder, border);
        renderer = FieldRenderer::create();
    }
    void TearDown() override { FieldRenderer::destroy(); }

    SmartPtr<Block> block(int x, int y, int w, int h, std::uint32_t colour, std::uint32_t shadow = 0) {
        return new Block(x, y, w, h, colour, shadow);
    }
    void addBackdrop() {
        backdrop = new game::FieldItemSprite(0, 0, testsupport::filled32(640, 480, backdropColour).get());
        renderer->addBackgroundItem(backdrop.get());
    }
    // One frame on a fresh black screen.
    void frame() {
        std::fill_n(screen->pixels32(), 640 * 480, black);
        renderer->paint(*painter);
    }
    std::uint32_t pixel(int x, int y) const { return screen->pixels32()[screen->pixelIndex(x, y)]; }
    std::vector<std::uint32_t> cachePixels() const {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                pixels.push_back(renderer->getCache().pixel(x, y));
            }
        }
        return pixels;
    }
    static std::vector<const ui::GameNode*> order(const ui::GameNode& layer) {
        std::vector<const ui::GameNode*> nodes;
        for (const ui::GameNode* child = layer.getFirstChild(); child; child = child->getNextSibling()) {
            nodes.push_back(child);
        }
        return nodes;
    }

    fieldtest::FieldWorld world;
    FieldRenderer* renderer = nullptr;
    SmartPtr<game::FieldItemSprite> backdrop;
    testsupport::Image32 screen = testsupport::filled32(640, 480, 0);
    SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
};

TEST_F(FieldRendererTest, RectanglesGoToTheHalfTheirLeftEdgeIsIn) {
    EXPECT_EQ(renderer->getBorder(), border);
    renderer->invalidate(Rect(border, 10, 5, 5));
    renderer->invalidate(Rect(border - 1, 50, 5, 5));
    renderer->invalidate(Rect(0, 60, 2, 2));
    EXPECT_TRUE(renderer->isRightDirty());
    EXPECT_EQ(renderer->getRightRect(), Rect(border, 10, 5, 5));
    EXPECT_EQ(renderer->getLeftRect(), Rect(0, 50, border + 4, 12));
    // An empty rectangle (a sprite above the field) widens nothing.
    renderer->invalidate(Rect());
    EXPECT_EQ(renderer->getLeftRect(), Rect(0, 50, border + 4, 12));

    renderer->invalidateAll(true);
    EXPECT_EQ(renderer->getLeftRect(), Rect(0, 0, 640, 480));
    EXPECT_EQ(renderer->getRightRect(), Rect(0, 0, 640, 480));
    renderer->invalidateAll(false);
    EXPECT_FALSE(renderer->isLeftDirty() || renderer->isRightDirty());
    EXPECT_EQ(renderer->getLeftRect(), Rect());
    renderer->invalidate(Rect(200, 0, 1, 1));
    EXPECT_EQ(renderer->getRightRect(), Rect(200, 0, 1, 1));
}

TEST_F(FieldRendererTest, SpritesEnterTheirLayersInPaintOrderAtTheNextPaint) {
    const SmartPtr<Block> a = block(0, 50, 4, 4, 0xFF111111u);
    const SmartPtr<Block> b = block(0, 50, 4, 4, 0xFF222222u);
    const SmartPtr<Block> lifted = block(0, 50, 4, 4, 0xFF333333u);
    lifted->setDepthOffset(5);
    const SmartPtr<Block> higher = block(0, 40, 4, 4, 0xFF444444u);
    for (FieldSprite* sprite : {a.get(), b.get(), lifted.get(), higher.get()}) {
        renderer->addFieldItem(sprite);
    }
    EXPECT_EQ(renderer->fieldCount(), 0);
    frame();
    // Lower on the field paints later; ties go after those already there; the lifted one last of its row.
    EXPECT_EQ(order(renderer->getFieldLayer()),
              (std::vector<const ui::GameNode*>{higher.get(), a.get(), b.get(), lifted.get()}));
    const SmartPtr<Block> late = block(0, 50, 4, 4, 0xFF555555u);
    renderer->addFieldItem(late.get());
    frame();
    EXPECT_EQ(order(renderer->getFieldLayer()),
              (std::vector<const ui::GameNode*>{higher.get(), a.get(), b.get(), late.get(), lifted.get()}));

    // The last request before a paint decides the layer; a sprite killed while it waits stays out.
    renderer->addTopItem(a.get());
    renderer->addFieldItem(a.get());
    renderer->addTopItem(b.get());
    b->kill();
    frame();
    EXPECT_EQ(renderer->topCount(), 0);
    EXPECT_EQ(a->getParent(), &renderer->getFieldLayer());
    EXPECT_TRUE(b->isDead());
}

TEST_F(FieldRendererTest, OnlyTheDirtyRectanglesChangeBetweenTwoFrames) {
    addBackdrop();
    const SmartPtr<Block> red = block(300, 200, 20, 20, 0xFFFF0000u);
    renderer->addFieldItem(red.get());
    frame();
    EXPECT_EQ(pixel(310, 210), 0xFFFF0000u);
    EXPECT_EQ(pixel(5, 5), backdropColour);

    // Moved without a word: the cache still shows it where it was.
    red->setX(340);
    frame();
    EXPECT_EQ(pixel(310, 210), 0xFFFF0000u);
    EXPECT_EQ(pixel(350, 210), backdropColour);

    const std::vector<std::uint32_t> before(screen->pixels32(), screen->pixels32() + 640 * 480);
    const Rect dirty(300, 200, 60, 20);
    renderer->invalidate(dirty);
    frame();
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= dirty.x && x < dirty.right() && y >= dirty.y && y < dirty.bottom();
            if (!inside) {
                ASSERT_EQ(pixel(x, y), before[static_cast<std::size_t>(y) * 640 + x]) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(pixel(310, 210), backdropColour);
    EXPECT_EQ(pixel(350, 210), 0xFFFF0000u);
}

// The scene renderer draws again only what a frame draws differently from the last: a repaint of the
// cache differs only in the tiles it reaches, not over the whole screen.
TEST_F(FieldRendererTest, ARepaintChangesTheFrameOnlyAroundItsRectangle) {
    addBackdrop();
    const SmartPtr<graphics::RecordingPainter> recorder = new graphics::RecordingPainter(*painter);
    recorder->begin();
    renderer->paint(*recorder);
    graphics::RecordingPainter::Recording first;
    recorder->swapRecording(first);
    renderer->invalidate(Rect(300, 190, 40, 40));
    recorder->begin();
    renderer->paint(*recorder);
    const int tile = game::FieldCache::tileSize;
    EXPECT_EQ(recorder->changedArea(first), Rect(3 * tile, 2 * tile, 2 * tile, tile));
}

// A repaint over the whole cache, tile by tile, lays every sprite wherever it reaches: see-through blocks
// crossing tile edges come out as one painter drawing them all over the whole picture draws them.
TEST_F(FieldRendererTest, ARepaintAcrossManyTilesDrawsEverySpriteWhereverItReaches) {
    addBackdrop();
    std::vector<SmartPtr<Block>> blocks;
    for (int i = 0; i < 40; ++i) {
        const std::uint32_t colour =
            static_cast<std::uint32_t>(0x40 + i * 4) << 24 | (i * 0x0A1B2Cu & 0xFFFFFFu);
        blocks.push_back(
            block((i * 53) % 600, 30 + (i * 37) % 420, 20 + (i * 29) % 90, 15 + (i * 17) % 70, colour));
        blocks.back()->getImage()->setAlphaMode(true);
        renderer->addFieldItem(blocks.back().get());
    }
    frame();
    renderer->invalidateAll(true);
    frame();

    const testsupport::Image32 whole = testsupport::filled32(640, 480, 0);
    const SmartPtr<graphics::ImagePainter> direct = whole->createPainter();
    direct->setColor(kernel::Color(black));
    direct->fillRect(0, 0, 640, 480);
    backdrop->paintTree(*direct);
    for (ui::GameNode* node = renderer->getFieldLayer().getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        node->paintTree(*direct);
    }
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(renderer->getCache().pixel(x, y), whole->pixels32()[whole->pixelIndex(x, y)])
                << x << "," << y;
        }
    }
}

// A repaint's side may cut a sprite anywhere, but the 32-bit blits copy an opaque pair where they blend a
// lone pixel: cut between the two pixels of a pair, the sprite's row would end on a lone pixel that the whole
// drawing copied. Each cut, at either side and at either parity, leaves the cache as the whole repaint left
// it.
TEST_F(FieldRendererTest, ARepaintGivesTheCacheOfAWholeRepaintWhereverItCutsASprite) {
    addBackdrop();
    // Opaque, drawn by their own alpha, 20 pixels wide from an odd and from an even column.
    const SmartPtr<Block> odd = block(121, 200, 20, 20, 0xFF808080u);
    const SmartPtr<Block> even = block(200, 260, 20, 20, 0xFF40C040u);
    for (Block* sprite : {odd.get(), even.get()}) {
        sprite->getImage()->setAlphaMode(true);
        renderer->addFieldItem(sprite);
    }
    frame();
    const std::vector<std::uint32_t> whole = cachePixels();
    for (const Block* sprite : {odd.get(), even.get()}) {
        for (int cut = 1; cut <= 4; ++cut) {
            SCOPED_TRACE(::testing::Message() << "sprite at " << sprite->getX() << ", cut " << cut);
            renderer->invalidate(Rect(sprite->getX() + cut, sprite->getY(), 40, 20));
            frame();
            renderer->invalidate(Rect(sprite->getX() - 30, sprite->getY(), 30 + cut, 20));
            frame();
            ASSERT_TRUE(cachePixels() == whole);
        }
    }
}

// Past a tile's edge a repaint of the whole cache starts a sprite's rows again at the edge, whatever column
// the sprite starts at: a cut within the next tile must pair the row's pixels from there too. Sprites from
// an odd and an even column cross an edge; cuts one to four pixels past it, on either side of the repaint.
TEST_F(FieldRendererTest, ARepaintPastATileEdgeGivesTheCacheOfAWholeRepaint) {
    const int tile = game::FieldCache::tileSize;
    const SmartPtr<Block> odd = block(tile - 5, 200, 20, 20, 0xFF808080u);
    const SmartPtr<Block> even = block(3 * tile - 6, 260, 20, 20, 0xFF40C040u);
    for (Block* sprite : {odd.get(), even.get()}) {
        sprite->getImage()->setAlphaMode(true);
        renderer->addFieldItem(sprite);
    }
    frame();
    renderer->invalidateAll(true);
    frame();
    const std::vector<std::uint32_t> whole = cachePixels();
    for (const Block* sprite : {odd.get(), even.get()}) {
        const int edge = (sprite->getX() / tile + 1) * tile;
        for (int cut = 1; cut <= 4; ++cut) {
            SCOPED_TRACE(::testing::Message() << "sprite at " << sprite->getX() << ", cut " << cut);
            renderer->invalidate(Rect(edge + cut, sprite->getY(), 40, 20));
            frame();
            EXPECT_TRUE(cachePixels() == whole) << "cut on the left";
            renderer->invalidate(Rect(edge - 10, sprite->getY(), 10 + cut, 20));
            frame();
            EXPECT_TRUE(cachePixels() == whole) << "cut on the right";
        }
    }
}

// However its sides cut the sprites, a repaint changes the frame only in the tiles its rectangle reaches: a
// backdrop under everything and a row of blocks overlapping one another (as a row of pibbles stands) must
// not carry it from sprite to sprite to the field's far side.
TEST_F(FieldRendererTest, ARepaintThatCutsSpritesChangesOnlyTheTilesOfItsRectangle) {
    addBackdrop();
    std::vector<SmartPtr<Block>> row;
    for (int x = 3; x < 600; x += 37) {
        row.push_back(block(x, 200, 60, 40, 0xFF808080u));
        row.back()->getImage()->setAlphaMode(true);
        renderer->addFieldItem(row.back().get());
    }
    frame();
    const int tile = game::FieldCache::tileSize;
    const SmartPtr<graphics::RecordingPainter> recorder = new graphics::RecordingPainter(*painter);
    const struct {
        Rect dirty;
        Rect changed;
    } cases[] = {
        {Rect(121, 210, 10, 10), Rect(tile, 2 * tile, tile, tile)},
        {Rect(122, 210, 11, 10), Rect(tile, 2 * tile, tile, tile)},
        {Rect(75, 205, 20, 20), Rect(0, 2 * tile, 2 * tile, tile)},
        {Rect(301, 190, 41, 40), Rect(3 * tile, 2 * tile, 2 * tile, tile)},
        {Rect(517, 230, 30, 20), Rect(6 * tile, 2 * tile, tile, 2 * tile)},
    };
    for (const auto& [dirty, changed] : cases) {
        SCOPED_TRACE(::testing::Message() << "repaint at " << dirty.x << "," << dirty.y);
        graphics::RecordingPainter::Recording before;
        recorder->begin();
        renderer->paint(*recorder);
        recorder->swapRecording(before);
        renderer->invalidate(dirty);
        recorder->begin();
        renderer->paint(*recorder);
        EXPECT_EQ(recorder->changedArea(before), changed);
    }
}

TEST_F(FieldRendererTest, AnimatedSpritesAreDrawnLiveInPaintOrderShadowsFirst) {
    addBackdrop();
    // Two animated blocks, the front one's shadow reaching onto the one behind it, and a resting block
    // lower on the field overlapping the front one.
    const SmartPtr<Block> behind = block(200, 100, 40, 20, 0xFF00FF00u);
    const SmartPtr<Block> front = block(230, 112, 20, 20, 0xFFFFFF00u, 0xFF000002u);
    const SmartPtr<Block> resting = block(220, 125, 20, 20, 0xFFFF00FFu);
    renderer->addTopItem(behind.get());
    renderer->addTopItem(front.get());
    renderer->addFieldItem(resting.get());
    frame();
    // The shadow lies under the block behind, not over it.
    EXPECT_EQ(pixel(235, 105), 0xFF00FF00u);
    EXPECT_EQ(pixel(245, 105), 0xFF000002u);
    EXPECT_EQ(pixel(235, 115), 0xFFFFFF00u);
    EXPECT_EQ(pixel(235, 128), 0xFFFF00FFu);

    // An animated sprite moves without a repaint of the cache and leaves no trail; out of order, the top
    // layer is sorted again.
    front->setY(90);
    frame();
    EXPECT_EQ(order(renderer->getTopLayer()), (std::vector<const ui::GameNode*>{front.get(), behind.get()}));
    EXPECT_EQ(pixel(235, 100), 0xFF00FF00u);
    EXPECT_EQ(pixel(245, 100), 0xFFFFFF00u);
    EXPECT_EQ(pixel(245, 120), backdropColour);
    EXPECT_EQ(pixel(235, 128), 0xFFFF00FFu);
}

TEST_F(FieldRendererTest, TheCacheReachesASixteenBitScreenConverted) {
    backdrop = new game::FieldItemSprite(0, 0, testsupport::filled32(640, 480, 0xFF123456u).get());
    renderer->addBackgroundItem(backdrop.get());
    const SmartPtr<Block> white = block(200, 200, 10, 10, 0xFFFFFFFFu);
    renderer->addFieldItem(white.get());
    const SmartPtr<graphics::MemoryImage> screen16 = graphics::createImage16(640, 480);
    const SmartPtr<graphics::ImagePainter> painter16 = screen16->createPainter();
    renderer->paint(*painter16);
    // Red from bits 19-23, green from 10-15, blue from 3-7.
    EXPECT_EQ(screen16->pixels16()[screen16->pixelIndex(0, 0)], (2 << 11) | (13 << 5) | 10);
    EXPECT_EQ(screen16->pixels16()[screen16->pixelIndex(205, 205)], 0xFFFF);
    // A repaint reaches the 16-bit screen too.
    white->setX(300);
    renderer->invalidate(Rect(200, 200, 110, 10));
    renderer->paint(*painter16);
    EXPECT_EQ(screen16->pixels16()[screen16->pixelIndex(205, 205)], (2 << 11) | (13 << 5) | 10);
    EXPECT_EQ(screen16->pixels16()[screen16->pixelIndex(305, 205)], 0xFFFF);
}

// Pieces standing above the top row, resting in the cache or moving live, are cut at the ceiling, their
// shadows too; a piece on the top row is drawn whole however high it reaches, and so is the backdrop, a
// decoration.
TEST_F(FieldRendererTest, AboveTheTopRowPiecesAreCutAtTheCeiling) {
    constexpr int ceiling = 54;
    constexpr int ground = 100;
    addBackdrop();
    renderer->setCeiling(ceiling);
    renderer->setTopRowGround(ground);
    // Each stands on its bottom edge.
    const SmartPtr<Block> resting = block(200, 90, 20, 60, 0xFFFF0000u);
    const SmartPtr<Block> falling = block(300, 80, 20, 60, 0xFF00FF00u, 0xFF000002u);
    const SmartPtr<Block> onTheTopRow = block(400, ground, 20, 80, 0xFFFFFF00u);
    for (Block* piece : {resting.get(), falling.get(), onTheTopRow.get()}) {
        piece->setAnchor(ui::Sprite::BottomLeft);
    }
    renderer->addFieldItem(resting.get());
    renderer->addTopItem(falling.get());
    renderer->addFieldItem(onTheTopRow.get());
    frame();
    for (const auto& [x, colour] : {std::pair{210, 0xFFFF0000u}, std::pair{310, 0xFF00FF00u}}) {
        SCOPED_TRACE(x);
        for (int y = 0; y < ceiling; ++y) {
            ASSERT_EQ(pixel(x, y), backdropColour) << y;
        }
        EXPECT_EQ(pixel(x, ceiling), colour);
    }
    EXPECT_EQ(pixel(410, ground - 75), 0xFFFFFF00u);
    // Landed on the top row, the falling piece shows whole.
    falling->setY(ground);
    frame();
    EXPECT_EQ(pixel(310, ground - 55), 0xFF00FF00u);
}

// The frame check must see what the cache hides: a block moved without marking its place leaves the cache,
// and so the screen, showing it where it was, and only a whole drawing that passes the cache by shows it
// where it is. Each frame goes as in the game: the scene's renderer draws, the window is presented, the
// check compares.
TEST_F(FieldRendererTest, TheFrameCheckReportsACacheThatWasNotRepainted) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    platform::Application* app = platform::Application::create("frame check test", 640, 480, false, 0, 101);
    ASSERT_NE(app->getBackPainter(), nullptr);
    platform::FrameTimer::create();
    setenv(ui::FrameCheck::variable, "1", 1);
    ui::FrameCheck* check = ui::FrameCheck::startWhenAsked();
    unsetenv(ui::FrameCheck::variable);
    ASSERT_NE(check, nullptr);
    check->onStart();

    addBackdrop();
    const SmartPtr<Block> red = block(300, 200, 20, 20, 0xFFFF0000u);
    renderer->addFieldItem(red.get());
    const SmartPtr<ui::GameNode> root = new ui::GameNode();
    root->addChild(renderer);
    const SmartPtr<ui::SceneRenderer> scene = new ui::SceneRenderer(root.get());
    const auto frame = [&] {
        scene->onFrame(16);
        app->onFrame(16);
        check->onFrame(16);
    };
    ::testing::internal::CaptureStderr();
    frame();
    frame();
    red->setX(340);
    frame();
    frame();
    // Marked at last: the cache is repainted and the frames agree again.
    renderer->invalidate(Rect(300, 200, 60, 20));
    frame();
    platform::FrameTimer::destroy();
    const std::string told = ::testing::internal::GetCapturedStderr();
    platform::closeApplicationDisplay();
    platform::Application::destroy();

    // Told once while it lasts, at the frame it began, within the old place and the new.
    EXPECT_NE(
        told.find("frame check: frame 3 (no scene): the back buffer differs from a whole drawing within "
                  "(300, 200) 60 x 20\n"),
        std::string::npos)
        << told;
    EXPECT_EQ(told.find("frame check: frame 4"), std::string::npos) << told;
    EXPECT_NE(told.find("frame check: 2 of 5 frames differed\n"), std::string::npos) << told;
}

bool albumShown = false;

TEST_F(FieldRendererTest, WhileTheProgressMapOrTheAlbumCoverTheBoardNothingIsDrawn) {
    testsupport::TempDir dir;
    ui::SceneManager* scenes = ui::SceneManager::create();
    ui::DialogManager::create(dir.write("dialogs.xml", R"(<dialogs><Node id="dialogs">
        <Dialog id="DIALOG_PROGRESS" width="10" height="10"/></Node></dialogs>)"));
    SmartPtr<ui::Scene> scene = new ui::Scene();
    ui::RegisterScene("PLAY", scene.get());
    scenes->changeScene("PLAY");
    scenes->onFrame(16);
    ASSERT_EQ(scenes->currentScene(), scene.get());
    scene->showDialog(scene->createDialog(game::ids::dialogProgress));

    addBackdrop();
    const SmartPtr<Block> red = block(300, 200, 20, 20, 0xFFFF0000u);
    renderer->addFieldItem(red.get());
    frame();
    EXPECT_EQ(pixel(5, 5), black);
    // Queued sprites still enter their layers, and the cache waits to be repainted.
    EXPECT_EQ(renderer->fieldCount(), 1);
    EXPECT_TRUE(renderer->isLeftDirty() || renderer->isRightDirty());

    scene->closeDialog(scene->findDialog(game::ids::dialogProgress));
    FieldRenderer::setAlbumBlockingHook([] { return albumShown; });
    albumShown = true;
    frame();
    EXPECT_EQ(pixel(5, 5), black);
    albumShown = false;
    frame();
    EXPECT_EQ(pixel(5, 5), backdropColour);
    EXPECT_EQ(pixel(310, 210), 0xFFFF0000u);
    FieldRenderer::setAlbumBlockingHook(nullptr);
    ui::DialogManager::destroy();
    ui::SceneManager::destroy();
}

} // namespace
