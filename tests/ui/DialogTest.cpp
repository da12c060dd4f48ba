#include "engine/ui/Dialog.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/DialogPainter.h"

#include "ResourceFolder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

namespace {

using graphics::ImageBase;
using graphics::MemoryImage32;
using kernel::SmartPtr;
using ui::Dialog;

// One colour per frame cell, in the painter's row order.
constexpr std::array<std::uint32_t, 9> cellColours{0xFF110000u, 0xFF220000u, 0xFF330000u,
                                                   0xFF440000u, 0xFF550000u, 0xFF660000u,
                                                   0xFF770000u, 0xFF880000u, 0xFF990000u};

SmartPtr<MemoryImage32> filledImage(int width, int height, std::uint32_t colour) {
    SmartPtr<MemoryImage32> image = testsupport::filled32(width, height, colour);
    image->setAlphaMode(true);
    return image;
}

std::uint32_t pixelAt(const ImageBase& image, int x, int y) {
    return static_cast<const std::uint32_t*>(image.getPixels())[image.pixelIndex(x, y)];
}

// Corners 2 x 2, edges 3 long and 2 thick, centre 3 x 3: every size tiles into known bands.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        kernel::ResourceManager* manager = kernel::ResourceManager::create();
        SmartPtr<kernel::NodeValue> declaration(new kernel::NodeValue("frame", "Node"));
        declaration->setChild(new kernel::ScalarValue("name", "frame", kernel::Typing::Untyped));
        SmartPtr<kernel::ResourceGroup> group(new kernel::ResourceGroup(*declaration));
        const std::array<const char*, 9> names{"tl", "t", "tr", "l", "c", "r", "bl", "b", "br"};
        for (int cell = 0; cell < 9; ++cell) {
            const int width = cell % 3 == 1 ? 3 : 2;
            const int height = cell / 3 == 1 ? 3 : 2;
            pieces[cell] = filledImage(width, height, cellColours[cell]);
            group->addResource(names[cell], new testsupport::HeldResource(pieces[cell].get()));
        }
        background = filledImage(10, 9, 0xFF0000FFu);
        group->addResource("bg", new testsupport::HeldResource(background.get()));
        manager->addGroup(group);
    }
    void TearDown() override { kernel::ResourceManager::destroy(); }

    SmartPtr<Dialog> dialogFromXml(const std::string& id, const std::string& xml) {
        return testsupport::declared<Dialog>(dir, "dialogs.xml", xml, id);
    }

    static void paint(Dialog& dialog) {
        SmartPtr<MemoryImage32> screen = graphics::createImage32(64, 64);
        SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
        dialog.paint(*painter);
    }

    testsupport::TempDir dir;
    std::array<SmartPtr<MemoryImage32>, 9> pieces;
    SmartPtr<MemoryImage32> background;
};

// The fixture's frame, with or without its centre image.
std::string painterXml(const std::string& attributes = "", bool centreImage = true) {
    std::string images;
    for (const char* name : {"tl", "t", "tr", "l", centreImage ? "c" : "", "r", "bl", "b", "br"}) {
        images += std::string(R"(<String value=")") + name + R"("/>)";
    }
    return R"(<DialogPainter id="painter" section="frame" )" + attributes + R"(><Vector id="images">)" +
           images + "</Vector></DialogPainter>";
}

const std::string framedXml =
    R"(<dialogs><Dialog id="framed" width="10" height="9" autoenlarge="false" background="bg" )"
    R"(section="frame">)" +
    painterXml() + R"(</Dialog><Dialog id="enlarged" minwidth="20" minheight="15">)" + painterXml() +
    "</Dialog></dialogs>";

// Later pieces cover earlier ones, so each pixel shows the cell of its band whatever the size.
void expectFrame(const Dialog& dialog, int width, int height) {
    const ImageBase* image = dialog.getImage();
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->getWidth(), width);
    ASSERT_EQ(image->getHeight(), height);
    EXPECT_TRUE(image->getAlphaMode());
    const auto band = [](int v, int size) { return v < 2 ? 0 : (v >= size - 2 ? 2 : 1); };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(pixelAt(*image, x, y), cellColours[band(y, height) * 3 + band(x, width)])
                << width << "x" << height << " at " << x << "," << y;
        }
    }
}

TEST_F(DialogTest, FrameTilesTheNineImagesAtEverySize) {
    SmartPtr<Dialog> dialog = dialogFromXml("framed", framedXml);
    ASSERT_TRUE(dialog && dialog->getPainter());
    EXPECT_EQ(dialog->getWidth(), 10);
    dialog->setSize(-3, -2);
    paint(*dialog);
    EXPECT_EQ(dialog->getImage(), nullptr) << "a negative size makes no buffer";
    for (const auto& [width, height] : {std::pair{10, 9}, std::pair{5, 4}, std::pair{13, 17}}) {
        dialog->setSize(width, height);
        paint(*dialog);
        expectFrame(*dialog, width, height);
    }
    // The background resource is shared: the frame never lands in it.
    EXPECT_EQ(pixelAt(*background, 0, 0), 0xFF0000FFu);
    for (const auto& piece : pieces) {
        EXPECT_TRUE(piece->getAlphaMode());
    }
}

TEST_F(DialogTest, EnlargedSizeIsSnappedToWholeTilesAndSoftEdgesKeepTheirAlpha) {
    pieces[0]->pixels32()[0] = 0x40123456u;
    SmartPtr<Dialog> dialog = dialogFromXml("enlarged", framedXml);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->getWidth(), 22);
    EXPECT_EQ(dialog->getHeight(), 16);
    paint(*dialog);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 0, 0), 0x40123456u);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 21, 15), cellColours[8]);
}

// A painter of the fixture's frame, declared with the attributes, paints a 7 x 7 buffer of the colour: the
// centre is the 3 x 3 square from (2, 2). Without the centre image the centre is filled with a colour.
class DialogPainterTest : public DialogTest {
protected:
    SmartPtr<MemoryImage32> painted(const std::string& attributes, std::uint32_t fill,
                                    bool centreImage = true) {
        SmartPtr<ui::DialogPainter> framer = testsupport::declared<ui::DialogPainter>(
            dir, "painter.xml", "<p>" + painterXml(attributes, centreImage) + "</p>", "painter");
        EXPECT_TRUE(framer);
        SmartPtr<MemoryImage32> buffer = testsupport::filled32(7, 7, fill);
        framer->paint(*SmartPtr<graphics::ImagePainter>(buffer->createPainter()));
        EXPECT_FALSE(framer->isChanged());
        return buffer;
    }
};

// Colour 0x80123456 over a buffer whose alpha is below it (0x40) and above it (0xC0).
TEST_F(DialogPainterTest, CentreColourTakesTheBufferAlphaBySettings) {
    const struct {
        const char* attributes;
        std::uint32_t overLow;
        std::uint32_t overHigh;
    } cases[] = {
        {"", 0x80123456u, 0x80123456u},
        {R"(adjustalpha="false")", 0x40123456u, 0xC0123456u},
        {R"(adjustalpha="false" usemaxalpha="true" initalpha="true")", 0x40123456u, 0xC0123456u},
        {R"(usemaxalpha="true")", 0x80123456u, 0xC0123456u},
        {R"(usemaxalpha="true" initalpha="true")", 0x80123456u, 0x80123456u},
    };
    for (const auto& c : cases) {
        for (const auto& [fill, expected] :
             {std::pair{0x40AABBCCu, c.overLow}, std::pair{0xC0AABBCCu, c.overHigh}}) {
            SCOPED_TRACE(std::string(c.attributes) + " over " + std::to_string(fill >> 24));
            const SmartPtr<MemoryImage32> buffer =
                painted(std::string(c.attributes) + R"( centercolor="#80123456")", fill, false);
            for (int y = 2; y < 5; ++y) {
                for (int x = 2; x < 5; ++x) {
                    EXPECT_EQ(pixelAt(*buffer, x, y), expected) << x << "," << y;
                }
            }
            EXPECT_EQ(testsupport::count(*buffer, expected), 9);
        }
    }
}

// The top-left corner's first pixel has alpha 0, the top-right corner's 0xC0; the left edge and the centre
// have no alpha of their own. The buffer's alpha is 0x80.
TEST_F(DialogPainterTest, PiecesSetTheBufferAlphaBySettings) {
    pieces[0]->pixels32()[0] = 0x00123456u;
    pieces[2]->pixels32()[0] = 0xC0123456u;
    pieces[3]->setAlphaMode(false);
    pieces[4]->setAlphaMode(false);
    const struct {
        const char* attributes;
        std::uint32_t topLeft;
        std::uint32_t topRight;
        std::uint32_t leftEdge;
    } cases[] = {
        {"", 0x00123456u, 0xC0123456u, 0x80440000u},
        {R"(usemaxalpha="true")", 0x80123456u, 0xC0123456u, 0x80440000u},
        {R"(initalpha="true")", 0x00123456u, 0xC0123456u, 0x00440000u},
        {R"(initalpha="true" usemaxalpha="true")", 0x00123456u, 0xC0123456u, 0x00440000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        const SmartPtr<MemoryImage32> buffer = painted(c.attributes, 0x80AABBCCu);
        EXPECT_EQ(pixelAt(*buffer, 0, 0), c.topLeft);
        EXPECT_EQ(pixelAt(*buffer, 5, 0), c.topRight);
        EXPECT_EQ(pixelAt(*buffer, 0, 3), c.leftEdge);
        EXPECT_EQ(pixelAt(*buffer, 3, 3), 0xFF550000u) << "a centre without alpha of its own is opaque";
    }
    // Without adjustalpha every piece blends by its own alpha and the buffer's alpha stays as it was.
    for (const char* attributes : {R"(adjustalpha="false")", R"(adjustalpha="false" initalpha="true")"}) {
        SCOPED_TRACE(attributes);
        const SmartPtr<MemoryImage32> buffer = painted(attributes, 0x80AABBCCu);
        EXPECT_EQ(pixelAt(*buffer, 0, 0), 0x80AABBCCu);
        EXPECT_NE(pixelAt(*buffer, 3, 3) & 0xFFFFFFu, 0xAABBCCu);
        for (int i = 0; i < 49; ++i) {
            ASSERT_EQ(buffer->pixels32()[i] >> 24, 0x80u) << i;
        }
    }
    EXPECT_FALSE(pieces[4]->getAlphaMode());
    EXPECT_TRUE(pieces[0]->getAlphaMode());
}

TEST_F(DialogTest, BufferHoldsTheComponentsAndFollowsTheirChanges) {
    SmartPtr<Dialog> dialog(new Dialog());
    dialog->setSurfaceImage(filledImage(8, 8, 0xFF0000FFu).get());
    dialog->setUseBuffer(true);
    EXPECT_FALSE(dialog->getContentNode()->isVisible());
    SmartPtr<MemoryImage32> green = filledImage(1, 1, 0xFF00FF00u);
    green->setAlphaMode(false);
    SmartPtr<ui::Sprite> dot(new ui::Sprite(3, 3, green.get()));
    dialog->addComponent(dot.get());
    paint(*dialog);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 2, 3), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 3, 3), 0xFF00FF00u);
    SmartPtr<MemoryImage32> red = filledImage(1, 1, 0xFFFF0000u);
    red->setAlphaMode(false);
    dot->setImage(red.get());
    const SmartPtr<ImageBase> buffer = dialog->getImage();
    const std::uint64_t version = buffer->getContentVersion();
    paint(*dialog);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 3, 3), 0xFFFF0000u);
    // Drawn again in place, its change told by its version; the rest of it is the surface again.
    EXPECT_EQ(dialog->getImage(), buffer.get());
    EXPECT_NE(buffer->getContentVersion(), version);
    dot->setPosition(5, 6);
    dot->setImage(green.get());
    paint(*dialog);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 3, 3), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 5, 6), 0xFF00FF00u);
    // A surface of another size makes a buffer of its own.
    dialog->setSurfaceImage(filledImage(12, 10, 0xFF00FFFFu).get());
    paint(*dialog);
    EXPECT_NE(dialog->getImage(), buffer.get());
    EXPECT_EQ(dialog->getImage()->getWidth(), 12);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 11, 9), 0xFF00FFFFu);
    EXPECT_EQ(pixelAt(*dialog->getImage(), 5, 6), 0xFF00FF00u);
}

// Colours and alphas that vary from pixel to pixel, opaque and half-clear pixels mixed in every row.
SmartPtr<MemoryImage32> patterned(int width, int height, std::uint32_t seed) {
    SmartPtr<MemoryImage32> image = graphics::createImage32(width, height);
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t alpha = i % 3 == 0 ? 0x80u : 0xFFu;
        image->pixels32()[i] = alpha << 24 | ((static_cast<std::uint32_t>(i) + seed) * 2654435761u >> 8);
    }
    image->setAlphaMode(true);
    return image;
}

// A change of a component draws the buffer again only where the components' drawing differs, in place; the
// buffer then holds what drawing every component over the surface gives, also where the area drawn again
// cuts a component's rows at an odd distance from their start.
TEST_F(DialogTest, AChangedComponentDrawsTheBufferAgainWhereItDiffersAndItHoldsTheWholeDrawing) {
    SmartPtr<Dialog> dialog(new Dialog());
    const SmartPtr<MemoryImage32> surface = patterned(121, 91, 1);
    surface->setAlphaMode(false);
    dialog->setSurfaceImage(surface.get());
    dialog->setUseBuffer(true);
    const SmartPtr<ui::Sprite> card(new ui::Sprite(11, 9, patterned(61, 47, 2).get()));
    const SmartPtr<ui::Sprite> shine(new ui::Sprite(40, 30, patterned(17, 13, 3).get()));
    const SmartPtr<ui::Sprite> label(new ui::Sprite(3, 70, patterned(101, 15, 4).get()));
    for (ui::Sprite* sprite : {card.get(), shine.get(), label.get()}) {
        dialog->addComponent(sprite);
    }
    const auto wholeDrawing = [&] {
        SmartPtr<MemoryImage32> image = graphics::createImage32(121, 91);
        const SmartPtr<graphics::ImagePainter> painter = image->createPainter();
        painter->copyPixels(*surface, 0, 0, 0, 0, 121, 91);
        painter->moveOrigin(dialog->getContentNode()->getX(), dialog->getContentNode()->getY());
        for (ui::Sprite* sprite : {card.get(), shine.get(), label.get()}) {
            sprite->paint(*painter);
        }
        return std::vector<std::uint32_t>(image->pixels32(), image->pixels32() + 121 * 91);
    };
    const auto buffer = [&] {
        const MemoryImage32& image = static_cast<const MemoryImage32&>(*dialog->getImage());
        return std::vector<std::uint32_t>(image.pixels32(), image.pixels32() + 121 * 91);
    };
    paint(*dialog);
    ASSERT_EQ(buffer(), wholeDrawing());
    const SmartPtr<ImageBase> first = dialog->getImage();

    const std::function<void()> changes[] = {
        [&] { shine->setAlpha(200); },
        [&] { shine->setAlpha(130); },
        [&] { shine->setAlpha(255); },
        [&] {
            shine->setPosition(43, 31);
            shine->setAlpha(250);
        },
        [&] { label->setAlpha(90); },
        [&] {
            card->setPosition(12, 10);
            card->setAlpha(254);
        },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(testing::Message() << "change " << i);
        const std::uint64_t version = first->getContentVersion();
        changes[i]();
        paint(*dialog);
        EXPECT_EQ(dialog->getImage(), first.get());
        EXPECT_NE(first->getContentVersion(), version);
        EXPECT_EQ(buffer(), wholeDrawing());
    }
    // The surface drawn on: the buffer is built again whole.
    surface->lock();
    surface->pixels32()[5] = 0xFF123456u;
    surface->unlock();
    dialog->setSurfaceImage(nullptr);
    dialog->setSurfaceImage(surface.get());
    paint(*dialog);
    EXPECT_EQ(buffer(), wholeDrawing());
}

// A 16-bit screen draws a converted copy of the buffer: a buffer drawn again in place must not be shown from
// the copy made before.
TEST_F(DialogTest, ABufferDrawnAgainInPlaceShowsItsChangeOnA16BitScreen) {
    SmartPtr<Dialog> dialog(new Dialog());
    dialog->setSurfaceImage(filledImage(40, 30, 0xFF0000FFu).get());
    dialog->setUseBuffer(true);
    SmartPtr<MemoryImage32> green = filledImage(10, 10, 0xFF00FF00u);
    green->setAlphaMode(false);
    SmartPtr<ui::Sprite> dot(new ui::Sprite(5, 5, green.get()));
    dialog->addComponent(dot.get());
    const SmartPtr<graphics::MemoryImage> screen = graphics::createImage16(40, 30);
    const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    const auto shown = [&](int x, int y) {
        dialog->paint(*painter);
        return screen->pixels16()[screen->pixelIndex(x, y)];
    };
    EXPECT_EQ(shown(7, 7), 0x07E0);
    SmartPtr<MemoryImage32> red = filledImage(10, 10, 0xFFFF0000u);
    red->setAlphaMode(false);
    dot->setImage(red.get());
    EXPECT_EQ(shown(7, 7), 0xF800);
    dot->setAlpha(0);
    EXPECT_EQ(shown(7, 7), 0x001F);
}

TEST_F(DialogTest, MovableDialogDragsPastThreePixelsWithItsGroupInactive) {
    SmartPtr<Dialog> dialog(new Dialog());
    dialog->setMovable(true);
    dialog->setPosition(10, 10);
    dialog->setSize(50, 40);
    kernel::ListenerGroup& group = dialog->listenerList();
    EXPECT_FALSE(group.isActive());
    dialog->activate();
    EXPECT_FALSE(dialog->onLeftButtonDown(5, 5, 0, false));
    ASSERT_TRUE(dialog->onLeftButtonDown(20, 20, 0, false));
    dialog->onMouseMove(23, 17, 0);
    EXPECT_TRUE(group.isActive());
    dialog->onMouseMove(24, 20, 0);
    EXPECT_FALSE(group.isActive());
    dialog->onMouseMove(30, 25, 0);
    EXPECT_EQ(dialog->getX(), 20);
    EXPECT_EQ(dialog->getY(), 15);
    EXPECT_TRUE(dialog->onLeftButtonUp(30, 25, 0));
    EXPECT_TRUE(group.isActive());
    dialog->deactivate();
    EXPECT_FALSE(group.isActive());
}

// Stands for a button: takes a press inside its box and counts the release that follows it.
class ButtonProbe : public kernel::InputListener {
public:
    bool onLeftButtonDown(int, int, std::uint32_t, bool) override { return pressed = true; }
    bool onLeftButtonUp(int, int, std::uint32_t) override {
        clicks += pressed ? 1 : 0;
        pressed = false;
        return true;
    }
    bool pressed = false;
    int clicks = 0;
};

TEST_F(DialogTest, StillClickReachesAButtonOfAFixedDialogOnlyWhileShown) {
    SmartPtr<Dialog> dialog(new Dialog());
    dialog->setSize(50, 40);
    ButtonProbe button;
    dialog->listenerList().add(&button, false);
    SmartPtr<platform::InputDispatcher> dispatcher(new platform::InputDispatcher());
    dispatcher->addListener(&dialog->listenerList(), true);
    dispatcher->onLeftDown(20, 20, 0, false);
    dispatcher->onLeftUp(20, 20, 0);
    EXPECT_EQ(button.clicks, 0);
    dialog->activate();
    dispatcher->onLeftDown(20, 20, 0, false);
    dispatcher->onLeftUp(20, 20, 0);
    EXPECT_EQ(button.clicks, 1);
    dispatcher->removeListener(&dialog->listenerList());
    dialog->listenerList().remove(&button);
}

TEST_F(DialogTest, ComponentsAreFoundByNameThroughLivePanels) {
    SmartPtr<Dialog> dialog = dialogFromXml("d", R"(<dialogs><Dialog id="d"><Vector id="components">
        <Sprite name="ok"/><NoSuchWidget name="odd"/>
        <Panel name="inner"><Vector id="components"><Sprite name="deep"/></Vector></Panel>
        <Panel name="gone"><Vector id="components"><Sprite name="hidden"/></Vector></Panel>
      </Vector><String id="painter" value="not a node"/></Dialog></dialogs>)");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->getPainter(), nullptr);
    ASSERT_NE(dialog->findComponent("ok"), nullptr);
    EXPECT_EQ(dialog->findComponent("odd"), nullptr);
    ui::GameNode* deep = dialog->findComponent("deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->getParent()->getParent(), dialog->findComponent("inner"));
    ui::GameNode* gone = dialog->findComponent("gone");
    ASSERT_NE(dialog->findComponent("hidden"), nullptr);
    dialog->removeComponent(gone);
    EXPECT_EQ(dialog->findComponent("hidden"), nullptr);
    EXPECT_EQ(dialog->findComponent("gone"), gone);
}

} // namespace
