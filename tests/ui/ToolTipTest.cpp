#include "engine/ui/ToolTip.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/Application.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/ToolTipLabel.h"
#include "host/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using kernel::SmartPtr;
using ui::Sprite;

// Remembers where the tool-tip painted it and which text it was given.
class ProbeRenderer : public Sprite {
public:
    ProbeRenderer() : Sprite(0, 0, 50, 20) {}
    void paint(graphics::ImagePainter& painter) override {
        painted.emplace_back(painter.getOriginX(), painter.getOriginY());
    }
    void setToolTipText(const kernel::WideString& value) override { text = value; }
    std::vector<std::pair<int, int>> painted;
    kernel::WideString text;
};

SmartPtr<Sprite> tipped(int x, int y, const char16_t* text) {
    SmartPtr<Sprite> sprite = new Sprite(x, y, 40, 40);
    sprite->setToolTipText(text);
    return sprite;
}

class ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        platform::Application::create("tool-tip test", 640, 480, false, 0, 101);
        tip = new ui::ToolTip();
        tip->setRenderer(renderer.get());
        tip->setRoot(root.get());
        root->addChild(tipped(100, 100, u"near").get());
    }
    void TearDown() override {
        ui::SceneManager::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }
    // Where the renderer was painted in one frame, or (-1, -1).
    std::pair<int, int> frame(std::uint32_t ms) {
        renderer->painted.clear();
        tip->onFrame(ms);
        return renderer->painted.empty() ? std::pair(-1, -1) : renderer->painted.back();
    }

    SmartPtr<ProbeRenderer> renderer = new ProbeRenderer();
    SmartPtr<ui::GameNode> root = new ui::GameNode();
    SmartPtr<ui::ToolTip> tip;
};

TEST_F(ToolTipTest, ShowsAfterTheDelayStaysPutWithinTheNodeAndEndsAfterTheRemoveDelay) {
    tip->onMouseMove(110, 105, 0);
    EXPECT_EQ(frame(16), std::pair(-1, -1));
    EXPECT_EQ(renderer->text, u"near");
    EXPECT_EQ(frame(984), std::pair(-1, -1));
    tip->onMouseMove(120, 110, 0);
    EXPECT_EQ(frame(16), std::pair(120, 134)) << "due once 1000 ms have passed";
    tip->onMouseMove(125, 112, 0);
    EXPECT_EQ(frame(9984), std::pair(120, 134)) << "the last frame of the remove delay still paints";
    EXPECT_EQ(frame(16), std::pair(-1, -1));
    tip->onMouseMove(5, 5, 0);
    frame(16);
    EXPECT_EQ(tip->getShownNode(), nullptr);
}

TEST_F(ToolTipTest, PlacementKeepsTheTipOnScreen) {
    tip->setShowDelay(0);
    root->addChild(tipped(600, 440, u"corner").get());
    tip->onMouseMove(610, 470, 0);
    EXPECT_EQ(frame(16), std::pair(610 - 53 - 2, 457)) << "beside the pointer, then flipped to its left";
    root->addChild(tipped(600, 200, u"edge").get());
    tip->onMouseMove(630, 210, 0);
    EXPECT_EQ(frame(16), std::pair(640 - 53, 234));
}

// A tool-tip label's box reaches its padding beyond the label on every side; wherever the pointer rests, by
// any edge, the whole box stays inside the game, for paddings narrower and wider than the usual margin.
TEST_F(ToolTipTest, ALabelsWholeBoxStaysInsideTheGameWhereverThePointerRests) {
    tip->setShowDelay(0);
    const SmartPtr<Sprite> everywhere = tipped(0, 0, u"everywhere");
    everywhere->setSize(640, 480);
    root->addChild(everywhere.get());
    for (const int padding : {0, 3, 4, 9}) {
        const SmartPtr<kernel::NodeValue> settings(new kernel::NodeValue("renderer", "ToolTipLabel"));
        for (const auto& [key, value] : {std::pair("width", "120"), std::pair("height", "18")}) {
            settings->setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
        }
        settings->setChild(
            new kernel::ScalarValue("padding", std::to_string(padding), kernel::Typing::Untyped));
        const SmartPtr<kernel::Object> made = kernel::ObjectFactory::instance()->createObject(*settings);
        auto* label = static_cast<ui::ToolTipLabel*>(made.get());
        tip->setRenderer(label);
        for (const int x : {0, 2, 320, 600, 636, 639}) {
            for (const int y : {0, 2, 240, 450, 470, 479}) {
                tip->setRoot(nullptr);
                tip->setRoot(root.get());
                tip->onMouseMove(x, y, 0);
                tip->update(16);
                const int left = tip->getTipX() - padding;
                const int top = tip->getTipY() - padding;
                EXPECT_TRUE(left >= 0 && top >= 0 && left + label->getWidth() + 2 * padding <= 640 &&
                            top + label->getHeight() + 2 * padding <= 480)
                    << "padding " << padding << ", pointer (" << x << ", " << y << "): box at (" << left
                    << ", " << top << ")";
            }
        }
    }
}

TEST_F(ToolTipTest, AnOpenDialogHidesTheTipsOfEverythingBeforeIt) {
    SmartPtr<ui::Dialog> dialog = new ui::Dialog();
    dialog->addComponent(tipped(0, 0, u"inside").get());
    tip->onMouseMove(110, 105, 0);
    root->addChild(dialog.get());
    tip->findNodeAt(root.get());
    EXPECT_EQ(tip->getFoundNode(), nullptr);
    dialog->setPosition(100, 100);
    tip->findNodeAt(root.get());
    ASSERT_NE(tip->getFoundNode(), nullptr);
    EXPECT_EQ(*tip->getFoundNode()->getToolTipText(), u"inside");
}

// Installed in the manager, the tip hears the pointer through the scene's group and is painted in the same
// frame, over the scene, at the pointer at once with no show delay.
TEST_F(ToolTipTest, InstalledTipWithoutDelayAppearsAtThePointerInTheSceneFrame) {
    ui::SceneManager* manager = ui::SceneManager::create();
    ui::Scene* scene = new ui::Scene();
    ui::RegisterScene("A", scene);
    scene->addComponent(tipped(100, 100, u"scene").get());
    tip->setShowDelay(0);
    manager->setToolTip(tip.get());
    manager->changeScene("A");
    const auto& members = scene->listenerList().getMembers();
    EXPECT_NE(std::find(members.begin(), members.end(), tip.get()), members.end());
    SmartPtr<ui::Dialog> later = new ui::Dialog();
    EXPECT_EQ(later->getListedToolTip(), tip.get());

    manager->onFrame(16);
    EXPECT_EQ(tip->getRoot(), scene->getRootNode());
    renderer->painted.clear();
    scene->getInputDispatcher()->onAppEvent(host::WM_MOUSEMOVE, 0, host::MAKELPARAM(110, 105));
    manager->onFrame(16);
    // Painted by the scene's renderer, which may walk the frame twice (written down, then drawn).
    ASSERT_FALSE(renderer->painted.empty());
    for (const auto& at : renderer->painted) {
        EXPECT_EQ(at, std::pair(110, 129));
    }

    manager->setToolTip(nullptr);
    EXPECT_EQ(std::find(members.begin(), members.end(), tip.get()), members.end());
    EXPECT_EQ(tip->getRoot(), nullptr);
}

TEST(ToolTipLabel, DrawsItsBorderAndBoxAboutTheOriginAndShowsTheTipAsItsText) {
    const SmartPtr<kernel::NodeValue> settings(new kernel::NodeValue("renderer", "ToolTipLabel"));
    for (const auto& [key, value] :
         {std::pair("width", "10"), std::pair("height", "4"), std::pair("backgroundcolor", "#FFFF0000"),
          std::pair("bordercolor", "#FF0000FF"), std::pair("padding", "2")}) {
        settings->setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
    }
    const SmartPtr<kernel::Object> made = kernel::ObjectFactory::instance()->createObject(*settings);
    ASSERT_TRUE(made && made->isKindOf(ui::ToolTipLabel::classInfo));
    auto& label = static_cast<ui::ToolTipLabel&>(*made);
    label.setToolTipText(u"hint");
    EXPECT_EQ(label.getText(), u"hint");
    EXPECT_EQ(label.getToolTipText(), nullptr);

    const SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(20, 12);
    const SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    painter->setOrigin(5, 5);
    label.paint(*painter);
    const auto pixel = [&](int x, int y) { return image->pixels32()[image->pixelIndex(x, y)] & 0xFFFFFF; };
    EXPECT_EQ(pixel(16, 10), 0xFFu) << "border";
    EXPECT_EQ(pixel(4, 4), 0xFF0000u) << "box";
    EXPECT_EQ(pixel(2, 2), 0u);
}

} // namespace
