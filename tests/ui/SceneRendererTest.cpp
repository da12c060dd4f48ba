// The renderer draws a frame again only where it differs from the last one: whatever changed, the back
// buffer must hold exactly what drawing the whole tree gives.

#include "engine/ui/SceneRenderer.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"
#include "engine/kernel/Color.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/ToolTip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using kernel::SmartPtr;

// A picture whose colour and alpha change across it, drawn with its own alpha.
SmartPtr<graphics::MemoryImage32> picture(int width, int height, std::uint32_t seed, bool alpha) {
    SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(width, height);
    std::uint32_t* pixels = image->pixels32();
    for (int i = 0; i < width * height; ++i) {
        pixels[i] = (static_cast<std::uint32_t>(i * 5 + seed) & 0xFF) << 24 | (i * 2654435761u + seed) >> 8;
    }
    image->setAlphaMode(alpha);
    return image;
}

class SceneRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        app = platform::Application::create("renderer test", 640, 480, false, 0, 101);
        ASSERT_NE(app->getBackPainter(), nullptr);
        root->addChild(new ui::Sprite(0, 0, picture(640, 480, 1, false).get()));
        root->addChild(blended.get());
        root->addChild(faded.get());
        root->addChild(turned.get());
        faded->setAlpha(128);
        turned->setRotation(0.5f);
    }
    void TearDown() override {
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }

    std::vector<std::uint32_t> backBuffer() const {
        graphics::ImageBase& back = *app->getBackImage();
        std::vector<std::uint32_t> pixels(640 * 480);
        EXPECT_TRUE(back.lockForReading());
        for (int y = 0; y < 480; ++y) {
            std::memcpy(&pixels[y * 640],
                        static_cast<const std::uint32_t*>(back.getPixels()) + back.pixelIndex(0, y), 640 * 4);
        }
        back.unlock();
        return pixels;
    }
    // The whole tree drawn from scratch.
    std::vector<std::uint32_t> wholeDrawing() const {
        const SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(640, 480);
        const SmartPtr<graphics::ImagePainter> painter = image->createPainter();
        root->paintTree(*painter);
        return std::vector<std::uint32_t>(image->pixels32(), image->pixels32() + 640 * 480);
    }
    std::uint64_t backVersion() const { return app->getBackImage()->getContentVersion(); }

    platform::Application* app = nullptr;
    SmartPtr<ui::GameNode> root = new ui::GameNode();
    SmartPtr<ui::Sprite> blended = new ui::Sprite(100, 80, picture(60, 40, 2, true).get());
    SmartPtr<ui::Sprite> faded = new ui::Sprite(300, 200, picture(50, 50, 3, true).get());
    SmartPtr<ui::Sprite> turned = new ui::Sprite(450, 300, picture(40, 30, 4, true).get());
    SmartPtr<ui::SceneRenderer> renderer = new ui::SceneRenderer(root.get());
};

TEST_F(SceneRendererTest, AFrameDrawsOnlyWhatChangedAndTheBackBufferHoldsTheWholeDrawing) {
    // The 32-bit desktop of the dummy driver: these pixels compare as they are.
    ASSERT_EQ(app->getBytesPerPixel(), 4);
    renderer->onFrame(16);
    EXPECT_EQ(backBuffer(), wholeDrawing());
    const std::uint64_t drawn = backVersion();
    renderer->onFrame(16);
    EXPECT_EQ(backVersion(), drawn) << "a frame at rest draws nothing";

    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"a sprite moved", [&] { blended->setPosition(107, 83); }},
        {"an alpha changed", [&] { faded->setAlpha(200); }},
        {"a turned sprite turned further", [&] { turned->setRotation(0.9f); }},
        {"a picture drawn on",
         [&] {
             const SmartPtr<graphics::ImagePainter> painter = blended->getImage()->createPainter();
             painter->setColor(kernel::Color(0xFF20A040));
             painter->fillRect(5, 5, 10, 10);
         }},
        {"the back buffer drawn on past the renderer",
         [&] {
             app->getBackPainter()->setColor(kernel::Color(0xFFFFFFFF));
             app->getBackPainter()->fillRect(200, 100, 300, 200);
         }},
        {"a sprite hidden", [&] { faded->setVisible(false); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.what);
        change.change();
        renderer->onFrame(16);
        EXPECT_EQ(backBuffer(), wholeDrawing());
    }
}

// A sprite that counts how often the renderer walks to it.
class CountingSprite : public ui::Sprite {
public:
    using ui::Sprite::Sprite;
    void paint(graphics::ImagePainter& painter) override {
        ++paints;
        ui::Sprite::paint(painter);
    }
    int paints = 0;
};

// Play in full swing changes the whole picture every frame: once two frames in a row have differed
// everywhere, each further one is drawn in a single walk of the tree, and the back buffer still holds the
// whole drawing. When the picture comes to rest, frames are written down first again and draw nothing.
TEST_F(SceneRendererTest, WhileEveryFrameDiffersEverywhereEachIsDrawnInOneWalk) {
    ASSERT_EQ(app->getBytesPerPixel(), 4);
    // A picture a pixel wider than the screen, moved by a pixel, changes every pixel.
    const SmartPtr<CountingSprite> backdrop = new CountingSprite(0, 0, picture(641, 480, 9, false).get());
    root->addChild(backdrop.get());
    renderer->onFrame(16);
    renderer->onFrame(16);

    std::vector<int> walks;
    for (int frame = 0; frame < 6; ++frame) {
        backdrop->setX(frame % 2 == 0 ? -1 : 0);
        const int before = backdrop->paints;
        renderer->onFrame(16);
        walks.push_back(backdrop->paints - before);
        EXPECT_EQ(backBuffer(), wholeDrawing()) << "busy frame " << frame;
    }
    EXPECT_EQ(walks, (std::vector<int>{2, 2, 1, 1, 1, 1}));

    // At rest: the first frame is still drawn whole at once, the next ones draw nothing.
    walks.clear();
    std::uint64_t version = 0;
    for (int frame = 0; frame < 3; ++frame) {
        const int before = backdrop->paints;
        version = backVersion();
        renderer->onFrame(16);
        walks.push_back(backdrop->paints - before);
        EXPECT_EQ(backBuffer(), wholeDrawing()) << "frame at rest " << frame;
    }
    EXPECT_EQ(walks, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(backVersion(), version) << "a frame at rest draws nothing";
}

// A card: opaque within a soft border, in colours that vary.
SmartPtr<graphics::MemoryImage32> softCard(int width, int height, int border) {
    SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(width, height);
    std::uint32_t* pixels = image->pixels32();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int edge = std::min({x, y, width - 1 - x, height - 1 - y});
            const std::uint32_t alpha =
                edge >= border ? 0xFF : static_cast<std::uint32_t>(edge * 254 / border);
            pixels[y * width + x] =
                alpha << 24 | (static_cast<std::uint32_t>(x * 7 + y * 13) * 2654435761u >> 8);
        }
    }
    image->setAlphaMode(true);
    return image;
}

// Opaque and half-clear pixels mixed in every row, so that every way of pairing a row's pixels shows.
SmartPtr<graphics::MemoryImage32> mixed(int width, int height) {
    SmartPtr<graphics::MemoryImage32> image = picture(width, height, 13, true);
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = (i % 3 == 0 ? 0x80000000u : 0xFF000000u) | (image->pixels32()[i] & 0xFFFFFF);
    }
    return image;
}

// A glow pulses under an opaque card, with pictures over the card whose rows the blits take in pairs; as
// they move, the area drawn again starts and ends at odd distances from where the card's rows and theirs
// start. Every frame is still the whole drawing, whatever the pulse's alpha (full alpha pairs the glow's
// rows too).
TEST_F(SceneRendererTest, AChangedAreaThatWouldSplitAPairOfPixelsStillGivesTheWholeDrawing) {
    ASSERT_EQ(app->getBytesPerPixel(), 4);
    const SmartPtr<ui::Sprite> glow = new ui::Sprite(202, 121, picture(217, 221, 7, true).get());
    const SmartPtr<ui::Sprite> card = new ui::Sprite(229, 139, softCard(163, 151, 6).get());
    const SmartPtr<ui::Sprite> overLeft = new ui::Sprite(220, 260, picture(31, 20, 11, true).get());
    const SmartPtr<ui::Sprite> overRight = new ui::Sprite(383, 150, mixed(24, 30).get());
    for (ui::Sprite* sprite : {glow.get(), card.get(), overLeft.get(), overRight.get()}) {
        root->addChild(sprite);
    }
    renderer->onFrame(16);
    ASSERT_EQ(backBuffer(), wholeDrawing());

    const int alphas[] = {240, 200, 150, 128, 170, 255, 220, 255, 130};
    for (int round = 0; round < 2; ++round) {
        for (const int alpha : alphas) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", alpha " << alpha);
            glow->setAlpha(alpha);
            renderer->onFrame(16);
            EXPECT_EQ(backBuffer(), wholeDrawing());
        }
        glow->setX(203);
        overRight->setX(384);
        renderer->onFrame(16);
        EXPECT_EQ(backBuffer(), wholeDrawing());
    }
    // Moves over the card's opaque middle and its soft right side, then of the card itself.
    const std::function<void()> changes[] = {
        [&] { overRight->setY(170); },
        [&] { overLeft->setX(301); },
        [&] { overRight->setPosition(377, 171); },
        [&] { card->setAlpha(250); },
        [&] { card->setX(230); },
    };
    for (const auto& change : changes) {
        change();
        renderer->onFrame(16);
        EXPECT_EQ(backBuffer(), wholeDrawing());
    }
}

// The frame timer rests only while the renderer draws nothing: frames at rest tell it so, and the first
// frame that draws again ends the rest at once.
TEST_F(SceneRendererTest, FramesAtRestLetTheFrameTimerRestUntilOneDraws) {
    platform::FrameTimer* timer = platform::FrameTimer::create();
    renderer->onFrame(16);
    for (int frame = 0; frame < platform::FrameTimer::restAfterFrames; ++frame) {
        EXPECT_FALSE(timer->isResting());
        renderer->onFrame(16);
    }
    EXPECT_TRUE(timer->isResting());
    faded->setAlpha(90);
    renderer->onFrame(16);
    EXPECT_FALSE(timer->isResting());
    EXPECT_EQ(backBuffer(), wholeDrawing());
    platform::FrameTimer::destroy();
}

// The manager's tool-tip is part of the frame: a tip at rest over a scene at rest draws nothing, and the
// back buffer holds the scene with the tip over it, also once the tip has gone.
TEST_F(SceneRendererTest, AToolTipAtRestDrawsNothingAndLeavesTheWholeDrawing) {
    ui::SceneManager::create();
    const SmartPtr<ui::ToolTip> tip = new ui::ToolTip();
    tip->setRenderer(new ui::Sprite(0, 0, picture(30, 20, 5, true).get()));
    tip->setShowDelay(0);
    tip->setRemoveDelay(100);
    ui::SceneManager::instance()->setToolTip(tip.get());
    tip->setRoot(root.get());
    blended->setToolTipText(u"tip");
    tip->onMouseMove(110, 90, 0);
    const auto wholeWithTip = [&] {
        const SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(640, 480);
        const SmartPtr<graphics::ImagePainter> painter = image->createPainter();
        root->paintTree(*painter);
        tip->paintShown(*painter);
        return std::vector<std::uint32_t>(image->pixels32(), image->pixels32() + 640 * 480);
    };
    const auto frame = [&] {
        tip->update(16);
        renderer->onFrame(16);
    };
    frame();
    ASSERT_TRUE(tip->isTipShown());
    EXPECT_EQ(backBuffer(), wholeWithTip());
    const std::uint64_t drawn = backVersion();
    frame();
    EXPECT_EQ(backVersion(), drawn) << "a tip at rest draws nothing";
    for (int ms = 32; ms <= 112; ms += 16) {
        frame();
    }
    EXPECT_FALSE(tip->isTipShown());
    EXPECT_EQ(backBuffer(), wholeDrawing());
    ui::SceneManager::instance()->setToolTip(nullptr);
    ui::SceneManager::destroy();
}

// The back buffer's pixels as bytes, and the whole tree drawn from scratch in an image of its depth.
std::vector<std::uint8_t> screenBytes(graphics::ImageBase& back) {
    const int bytes = back.getPixelFormat()->bytesPerPixel;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(back.getWidth()) * back.getHeight() * bytes);
    EXPECT_TRUE(back.lockForReading());
    for (int y = 0; y < back.getHeight(); ++y) {
        std::memcpy(&pixels[static_cast<std::size_t>(y) * back.getWidth() * bytes],
                    static_cast<const std::uint8_t*>(back.getPixels()) +
                        static_cast<std::ptrdiff_t>(back.pixelIndex(0, y)) * bytes,
                    static_cast<std::size_t>(back.getWidth()) * bytes);
    }
    back.unlock();
    return pixels;
}

std::vector<std::uint8_t> wholeDrawingAt(ui::GameNode& root, int bytesPerPixel) {
    const SmartPtr<graphics::ImageBase> image =
        bytesPerPixel == 2 ? SmartPtr<graphics::ImageBase>(graphics::createImage16(640, 480))
                           : SmartPtr<graphics::ImageBase>(graphics::createImage32(640, 480));
    const SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    root.paintTree(*painter);
    return screenBytes(*image);
}

host::IDirectDrawSurface7* backSurface(platform::Application& app) {
    graphics::ImageBase* back = app.getBackImage();
    if (back->getClassInfo() == &graphics::Screen32::classInfo) {
        return static_cast<graphics::Screen32*>(back)->getSurface();
    }
    if (back->getClassInfo() == &graphics::Screen16::classInfo) {
        return static_cast<graphics::Screen16*>(back)->getSurface();
    }
    return nullptr;
}

// A dialog drawn into one picture, whose small shine pulses: the dialog draws its picture again only around
// the shine and tells the picture so, and the screen is drawn again only there too, not over the whole
// dialog. Every frame is still the whole drawing, at both depths.
TEST_F(SceneRendererTest, ADialogWhosePartPulsesIsDrawnAgainOnScreenOnlyThere) {
    for (const int depth : {4, 2}) {
        SCOPED_TRACE(testing::Message() << depth << " bytes per pixel");
        platform::closeApplicationDisplay();
        platform::Application::destroy();
        // 16 bits are drawn full screen only.
        app = platform::Application::create("renderer test", 640, 480, depth == 2, depth, 101);
        ASSERT_NE(app->getBackPainter(), nullptr);
        ASSERT_EQ(app->getBytesPerPixel(), depth);
        const SmartPtr<ui::GameNode> scene = new ui::GameNode();
        scene->addChild(new ui::Sprite(0, 0, picture(640, 480, 1, false).get()));
        const SmartPtr<ui::Dialog> dialog = new ui::Dialog();
        dialog->setSurfaceImage(picture(401, 301, 21, false).get());
        dialog->setUseBuffer(true);
        dialog->setPosition(117, 91);
        const SmartPtr<ui::Sprite> card = new ui::Sprite(31, 21, softCard(120, 90, 5).get());
        const SmartPtr<ui::Sprite> shine = new ui::Sprite(61, 37, picture(37, 23, 22, true).get());
        dialog->addComponent(card.get());
        dialog->addComponent(shine.get());
        scene->addChild(dialog.get());
        const SmartPtr<ui::SceneRenderer> painting = new ui::SceneRenderer(scene.get());
        painting->onFrame(16);
        painting->onFrame(16);
        ASSERT_EQ(screenBytes(*app->getBackImage()), wholeDrawingAt(*scene, depth));
        host::IDirectDrawSurface7* surface = backSurface(*app);
        ASSERT_NE(surface, nullptr);

        // The shine on screen, a few pixels wider for the blits that take neighbouring pixels together.
        const int shineX = 117 + dialog->getContentNode()->getX() + 61;
        const int shineY = 91 + dialog->getContentNode()->getY() + 37;
        const int alphas[] = {240, 200, 150, 128, 170, 255, 0, 90};
        for (const int alpha : alphas) {
            SCOPED_TRACE(testing::Message() << "alpha " << alpha);
            (void)surface->takeWrittenArea();
            shine->setAlpha(alpha);
            painting->onFrame(16);
            const host::RECT written = surface->takeWrittenArea();
            ASSERT_LT(written.left, written.right);
            EXPECT_GE(written.left, shineX - 8);
            EXPECT_LE(written.right, shineX + 37 + 8);
            EXPECT_GE(written.top, shineY);
            EXPECT_LE(written.bottom, shineY + 23);
            EXPECT_EQ(screenBytes(*app->getBackImage()), wholeDrawingAt(*scene, depth));
        }
        // The dialog moved: drawn again whole, and still the whole drawing.
        dialog->setPosition(118, 90);
        painting->onFrame(16);
        EXPECT_EQ(screenBytes(*app->getBackImage()), wholeDrawingAt(*scene, depth));
    }
}

} // namespace
