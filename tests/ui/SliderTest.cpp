#include "engine/ui/Slider.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/ui/Button.h"
#include "engine/ui/ScrollPanel.h"

#include "ResourceFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using kernel::SmartPtr;
using ui::ScrollPanel;
using ui::Slider;

void countFire(void* count, ui::GameNode*) {
    ++*static_cast<int*>(count);
}

// Without images a button cuts its four frames from its declared size: a knob declared 40 high is 10 high.
const std::string knob = R"(<Button id="button" width="10" height="40"/>)";
const std::string steps =
    R"(<Button id="decbutton" width="16" height="64"/><Button id="incbutton" width="16" height="64"/>)";

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override { parent->setPosition(100, 200); }

    // The declaration with the id "made", built through the factory; null when it makes nothing of the kind.
    template <class T> SmartPtr<T> build(const std::string& xml) {
        std::string name = "w";
        name += std::to_string(files++);
        name += ".xml";
        std::string document = "<w>";
        document += xml;
        document += "</w>";
        return testsupport::declared<T>(dir, name, document, "made");
    }
    // A 110 x 110 slider at (50, 20) inside a node at (100, 200), so its screen position is (150, 220).
    SmartPtr<Slider> slider(const std::string& attributes, const std::string& children = knob) {
        SmartPtr<Slider> made = build<Slider>(R"(<Slider id="made" x="50" y="20" width="110" height="110" )" +
                                              attributes + ">" + children + "</Slider>");
        parent->addChild(made.get());
        return made;
    }

    testsupport::TempDir dir;
    int files = 0;
    int fired = 0;
    SmartPtr<ui::GameNode> parent{new ui::GameNode()};
};

struct Placement {
    const char* attributes;
    float value;
    int x, y;
};

// The knob holder's place: truncated, mirrored below the minimum, beyond the end above the maximum, at the
// start for a range of zero width; the offsets replace the corner keys.
TEST_F(SliderTest, ValueMapsOntoTheTrack) {
    const Placement rows[] = {
        {"", 0.0f, 0, 0},
        {"", 1.0f, 100, 0},
        {"", 0.257f, 25, 0},
        {"", 2.0f, 200, 0},
        {"", -0.5f, 50, 0},
        {R"(minvalue="10" maxvalue="20")", 15.0f, 50, 0},
        {R"(vertical="true")", 0.75f, 0, 75},
        {R"(minvalue="5" maxvalue="5")", 7.0f, 0, 0},
        {R"(offset1="4" minx="30" maxx="40")", 0.5f, 50, 2},
        {R"(minx="20" maxx="60" maxy="40")", 0.5f, 40, 20},
    };
    for (const Placement& row : rows) {
        SmartPtr<Slider> made = slider(row.attributes);
        made->setValue(row.value);
        EXPECT_EQ(made->getKnobHolder()->getX(), row.x) << row.attributes << " " << row.value;
        EXPECT_EQ(made->getKnobHolder()->getY(), row.y) << row.attributes << " " << row.value;
    }
}

struct Event {
    enum Kind { Down, Move, Up, Increment, Decrement } kind;
    int x = 0, y = 0;
};

struct Drag {
    const char* attributes;
    std::string children;
    float start;
    std::vector<Event> events;
    float value;
    int holderX;
    int fires;
};

// A move reaches every member; a press or a release only the members up to the one that takes it.
bool deliver(kernel::InputListener& member, const Event& event) {
    switch (event.kind) {
    case Event::Down:
        return member.onLeftButtonDown(event.x, event.y, 1, false);
    case Event::Up:
        return member.onLeftButtonUp(event.x, event.y, 0);
    default:
        member.onMouseMove(event.x, event.y, 1);
        return false;
    }
}

TEST_F(SliderTest, PointerAndStepsSetTheValue) {
    using enum Event::Kind;
    const std::string wideKnob = R"(<Button id="button" width="110" height="40"/>)";
    const Drag rows[] = {
        // Grabbed at the knob's middle, the knob stays under the pointer and follows it.
        {"", knob, 0.0f, {{Down, 155, 225}, {Move, 205, 225}}, 0.5f, 50, 2},
        // A press on the track jumps the knob to the pointer; release does not fire and ends the drag.
        {"", knob, 0.0f, {{Down, 190, 225}, {Up, 300, 300}, {Move, 230, 225}}, 0.4f, 40, 1},
        {"", knob, 0.0f, {{Down, 155, 225}, {Move, 900, 0}}, 1.0f, 100, 2},
        {"", knob, 0.5f, {{Down, 205, 225}, {Move, 0, 225}}, 0.0f, 0, 2},
        // A knob as wide as the slider leaves a track of zero length.
        {"", wideKnob, 0.3f, {{Down, 200, 225}, {Move, 0, 0}}, 0.0f, 0, 2},
        {R"(enabled="false")", knob, 0.5f, {{Down, 155, 225}, {Move, 205, 225}}, 0.5f, 50, 0},
        {"", knob, 0.5f, {{Down, 149, 225}, {Move, 205, 225}}, 0.5f, 50, 0},
        {"", knob, 0.95f, {{Increment}}, 1.0f, 100, 1},
        {"", knob, 0.05f, {{Decrement}}, 0.0f, 0, 1},
        // The decrement button hangs left of the slider's start, centred on its height: (134..149, 267..282).
        {"", knob + steps, 0.5f, {{Down, 140, 270}, {Up, 140, 270}}, 0.4f, 40, 1},
    };
    for (const Drag& row : rows) {
        SCOPED_TRACE(std::string(row.attributes) + " from " + std::to_string(row.start));
        SmartPtr<Slider> made = slider(row.attributes, row.children);
        kernel::ListenerGroup group;
        ui::bindCallback(made.get(), &fired, countFire, group);
        made->setValue(row.start);
        fired = 0;
        for (const Event& event : row.events) {
            if (event.kind == Event::Increment || event.kind == Event::Decrement) {
                event.kind == Event::Increment ? made->increment() : made->decrement();
                continue;
            }
            for (kernel::InputListener* member : group.getMembers()) {
                if (deliver(*member, event)) {
                    break;
                }
            }
        }
        EXPECT_FLOAT_EQ(made->getValue(), row.value);
        EXPECT_EQ(made->getKnobHolder()->getX(), row.holderX);
        EXPECT_EQ(fired, row.fires);
    }
}

TEST_F(SliderTest, KnoblessDeclarationIsRefusedAndKilledSliderLeavesItsGroup) {
    EXPECT_EQ(build<Slider>(R"(<Slider id="made" width="50"/>)"), nullptr);
    SmartPtr<Slider> made = slider("", knob + steps);
    kernel::ListenerGroup group;
    ui::bindCallback(made.get(), nullptr, nullptr, group);
    const std::vector<kernel::InputListener*> expected{made.get(), made->getIncrementButton(),
                                                       made->getDecrementButton()};
    EXPECT_EQ(group.getMembers(), expected);
    made->kill();
    EXPECT_TRUE(group.getMembers().empty());
}

struct Layout {
    std::string bars;
    int componentY;
    int width, height, contentHeight, contentY, barX, barY;
};

// A bar on an axis replaces the declared size on that axis by the bar's with its step buttons; on an axis
// without a bar the panel grows to hold a component. Half a scroll moves the content by half the overflow.
TEST_F(SliderTest, ScrollPanelLaysOutGrowsAndScrolls) {
    const std::string vertical = R"(<Slider id="scrollbar_vertical" vertical="true" width="20" height=")";
    const Layout rows[] = {
        {vertical + "200\">" + knob + "</Slider>", 300, 320, 200, 350, -75, 300, 0},
        {vertical + "200\">" + knob + "</Slider>", 100, 320, 200, 200, 0, 300, 0},
        {"", 300, 300, 350, 350, 0, 0, 0},
        {vertical + "100\">" + knob + steps + "</Slider>", 300, 320, 132, 350, -109, 300, 16},
        {R"(<Slider id="scrollbar_horizontal" width="100" height="20">)" + knob + steps + "</Slider>", 300,
         132, 370, 350, 0, 16, 350},
    };
    for (const Layout& row : rows) {
        SCOPED_TRACE(row.bars);
        SmartPtr<ScrollPanel> panel = build<ScrollPanel>(
            R"(<ScrollPanel id="made" width="300" height="150">)" + row.bars + "</ScrollPanel>");
        ASSERT_NE(panel, nullptr);
        panel->addComponent(new ui::Sprite(0, row.componentY, 100, 50));
        panel->setVerticalScroll(0.5f);
        EXPECT_EQ(panel->getWidth(), row.width);
        EXPECT_EQ(panel->getHeight(), row.height);
        EXPECT_EQ(panel->getContentPanel()->getHeight(), row.contentHeight);
        EXPECT_EQ(panel->getContentPanel()->getY(), row.contentY);
        if (const Slider* bar =
                panel->getVerticalBar() ? panel->getVerticalBar() : panel->getHorizontalBar()) {
            EXPECT_EQ(bar->getX(), row.barX);
            EXPECT_EQ(bar->getY(), row.barY);
        }
    }
}

// "components" go beside the content panel and grow nothing; "panelcomponents" go into it and grow it (and
// the panel, which has no bars); declarations that make no node are skipped.
TEST_F(SliderTest, ScrollPanelBuildsBothComponentLists) {
    SmartPtr<ScrollPanel> panel = build<ScrollPanel>(R"(<ScrollPanel id="made" width="30" height="20">
        <Vector id="components"><Sprite name="beside" width="90" height="90"/></Vector>
        <Vector id="panelcomponents"><Sprite name="inside" x="5" width="50" height="60"/><String value="x"/>
          <NoSuchWidget name="odd"/><ModifierFrame name="frame"/></Vector></ScrollPanel>)");
    ASSERT_NE(panel, nullptr);
    ui::Panel* content = panel->getContentPanel();
    ui::GameNode* beside = panel->findComponent("beside");
    ASSERT_NE(beside, nullptr);
    EXPECT_EQ(beside->getParent(), panel->getContentNode());
    ASSERT_NE(content->findComponent("inside"), nullptr);
    EXPECT_EQ(content->findComponent("beside"), nullptr);
    EXPECT_EQ(content->getContentNode()->getFirstChild()->getNextSibling(), nullptr);
    EXPECT_EQ(content->getWidth(), 55);
    EXPECT_EQ(content->getHeight(), 60);
    EXPECT_EQ(panel->getWidth(), 55);
    EXPECT_EQ(panel->getHeight(), 60);
}

// The 40-pixel picture widens the window left of the bar to 40. Dragging the bound bar to its end scrolls the
// content by the whole overflow, and only the window shows it, wherever the panel is drawn.
TEST_F(SliderTest, ScrollPanelClipsContentToItsWindow) {
    SmartPtr<ScrollPanel> panel = build<ScrollPanel>(
        R"(<ScrollPanel id="made" x="4" y="6" width="30" height="20"><Slider id="scrollbar_vertical"
        vertical="true" width="5" height="20"><Button id="button" width="5" height="16"/></Slider></ScrollPanel>)");
    SmartPtr<graphics::MemoryImage32> picture = graphics::createImage32(40, 60);
    std::fill(picture->pixels32(), picture->pixels32() + 40 * 60, 0xFF00FF00u);
    panel->addComponent(new ui::Sprite(0, 0, picture.get()));
    parent->addChild(panel.get());
    kernel::ListenerGroup group;
    panel->bindScrollbars(group);
    Slider* bar = panel->getVerticalBar();
    bar->onLeftButtonDown(146, 207, 1, false);
    bar->onMouseMove(146, 400, 1);
    EXPECT_EQ(panel->getContentPanel()->getY(), -40);

    SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(50, 50);
    SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    panel->paintTree(*painter);
    const auto covered = [&](int x, int y) { return screen->pixels32()[y * 50 + x] != 0; };
    EXPECT_TRUE(covered(4, 6) && covered(43, 25));
    EXPECT_FALSE(covered(3, 6) || covered(4, 5) || covered(44, 10) || covered(10, 26));
    panel->kill();
    EXPECT_TRUE(group.getMembers().empty());
}

} // namespace
