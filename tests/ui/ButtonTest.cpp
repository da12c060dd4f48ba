#include "engine/ui/Button.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Switch.h"
#include "engine/ui/TextButton.h"
#include "host/Window.h"

#include "SoundFiles.h"
#include "TestImages.h"
#include "TextResources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

namespace {

using kernel::SmartPtr;
using ui::Button;
using ui::Switch;
using ui::TextButton;

struct Fired {
    ui::GameNode* sender = nullptr;
    int count = 0;
};

void record(void* receiver, ui::GameNode* sender) {
    static_cast<Fired*>(receiver)->sender = sender;
    ++static_cast<Fired*>(receiver)->count;
}

// A step of a script: the input (m move, d drag with the button held, p press, 2 second press of a double
// click, r release) inside (+) or outside (-) the widget, then its state, frame, result (. for a move,
// which has none), the callbacks so far and the sound the step played, if any.
using Script = std::vector<std::string>;

// Points "x,y" followed by + for a hit or - for a miss.
std::string hitsOf(const ui::Sprite& widget, const std::string& points) {
    std::istringstream in(points);
    std::string seen;
    for (std::string point; in >> point;) {
        int x = 0;
        int y = 0;
        std::sscanf(point.c_str(), "%d,%d", &x, &y);
        if (!seen.empty()) {
            seen += ' ';
        }
        seen.append(point, 0, point.size() - 1);
        seen += widget.containsPoint(x, y) ? '+' : '-';
    }
    return seen;
}

// Widgets at (10, 20) with frames of 10 x 25 ("strip") or 10 x 20 ("tall"). The sound resources get fresh
// samples after each look, so a sample with a play start played since the last one.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ui::SoundSystem::create(44100, 32);
        wavFile = dir.write("tone.wav", testsupport::wav(testsupport::tone(200)));
        kernel::NodeValue declaration("w", "Node");
        declaration.setChild(new kernel::ScalarValue("name", "w", kernel::Typing::Untyped));
        SmartPtr<kernel::ResourceGroup> group(new kernel::ResourceGroup(declaration));
        // Blue lanes 128 and 129 at (1, 1) and (2, 1); the small mask covers 4 x 4 of a 10 x 25 frame.
        testsupport::Image32 mask = testsupport::filled32(10, 25, 0);
        mask->pixels32()[mask->pixelIndex(1, 1)] = 0xFFFFFF80;
        mask->pixels32()[mask->pixelIndex(2, 1)] = 0x81;
        const std::map<std::string, testsupport::Image32> images{
            {"strip", testsupport::filled32(10, 100, 0)},
            {"odd", testsupport::filled32(9, 102, 0)},
            {"tall", testsupport::filled32(10, 160, 0)},
            {"mask", mask},
            {"smallmask", testsupport::filled32(4, 4, 0xFF)}};
        for (const auto& [name, image] : images) {
            group->addResource(name, new testsupport::HeldResource(image.get()));
        }
        for (const char* name : {"click", "over", "disabled", "on", "off"}) {
            group->addResource(name, sounds[name] = new testsupport::HeldResource(nullptr));
        }
        kernel::ResourceManager::instance()->addGroup(group);
        played();
    }
    void TearDown() override { ui::SoundSystem::destroy(); }

    std::string played() {
        std::string names;
        for (const auto& [name, resource] : sounds) {
            const auto* sample = static_cast<ui::SoundSample*>(resource->get());
            if (sample != nullptr && sample->getLastPlayStart() != ui::SoundSample::PlayStart::None) {
                names += name;
            }
            SmartPtr<ui::SoundSample> fresh = new ui::SoundSample();
            fresh->load(wavFile, 0);
            resource->hold(fresh.get());
        }
        return names;
    }

    template <class T> SmartPtr<T> make(const std::string& element) { return text.make<T>(element); }

    template <class W> void run(W& widget, const Script& script) {
        ui::bindCallback(&widget, &fired, record, listeners);
        for (const std::string& step : script) {
            const int x = step[1] == '+' ? 12 : 0;
            const int y = step[1] == '+' ? 22 : 0;
            std::string taken = ".";
            if (step[0] == 'm' || step[0] == 'd') {
                widget.onMouseMove(x, y, step[0] == 'd' ? host::MK_LBUTTON : 0);
            } else if (step[0] == 'r') {
                taken = widget.onLeftButtonUp(x, y, 0) ? "1" : "0";
            } else {
                taken = widget.onLeftButtonDown(x, y, host::MK_LBUTTON, step[0] == '2') ? "1" : "0";
            }
            std::ostringstream seen;
            seen << step.substr(0, 2) << ' ' << widget.getState() << ' ' << widget.getCurrentFrame() << ' '
                 << taken << ' ' << fired.count;
            const std::string sound = played();
            seen << (sound.empty() ? "" : " ") << sound;
            EXPECT_EQ(seen.str(), step);
        }
        EXPECT_EQ(fired.sender, fired.count > 0 ? &widget : nullptr);
    }

    testsupport::TextResources text;
    testsupport::TempDir dir;
    std::string wavFile;
    std::map<std::string, SmartPtr<testsupport::HeldResource>> sounds;
    Fired fired;
    // Outlives the widgets bound to it, as a dialog's group does.
    kernel::ListenerGroup listeners;
};

TEST_F(ButtonTest, ButtonStateMachine) {
    SmartPtr<Button> button = make<Button>(R"(<Button id="w" x="10" y="20" image="strip" section="w"
        clicksound="click" oversound="over" disabledsound="disabled" soundsection="w"/>)");
    run(*button,
        {"m+ 1 1 . 0 over", "m+ 1 1 . 0", "p+ 2 2 1 0 click", "d- 1 1 . 0", "d+ 2 2 . 0", "r+ 0 0 1 1",
         "m+ 1 1 . 1 over", "p+ 2 2 1 1 click", "d- 1 1 . 1", "r- 0 0 0 1", "p- 0 0 0 1", "d+ 0 0 . 1",
         "r+ 1 1 0 1", "p+ 2 2 1 1 click", "r+ 0 0 1 2", "2+ 2 2 1 2 click", "r+ 0 0 1 3"});
    button->setEnabled(false);
    run(*button, {"m+ 1 3 . 3", "p+ 2 3 0 3 disabled", "r+ 1 3 0 3"});
    EXPECT_TRUE(static_cast<kernel::InputListener&>(*button).isEnabled()) << "the listener's flag is apart";
    button->setEnabled(true);
    EXPECT_EQ(button->getCurrentFrame(), 1);
    ui::SoundSystem::destroy();
    button->onLeftButtonDown(12, 22, host::MK_LBUTTON, false);
    EXPECT_EQ(played(), "") << "no sound while sound is down";
}

TEST_F(ButtonTest, SwitchStateMachine) {
    SmartPtr<Switch> toggle = make<Switch>(
        R"(<Switch id="w" x="10" y="20" image="tall" section="w" onsound="on" offsound="off" soundsection="w"/>)");
    run(*toggle, {"m+ 1 1 . 0", "p+ 2 2 1 0", "r+ 0 4 1 1 on", "p+ 2 6 1 1", "d- 1 5 . 1", "d+ 2 6 . 1",
                  "r+ 0 0 1 2 off", "p- 0 0 0 2", "d+ 0 0 . 2", "r+ 1 1 0 2"});
    toggle->setEnabled(false);
    run(*toggle, {"p+ 2 3 1 2", "r+ 1 3 0 2"});
}

TEST_F(ButtonTest, FramesAndHitTest) {
    const std::vector<std::tuple<std::string, int, std::string>> rows{
        {R"(<Button id="w" x="10" y="20" image="strip" section="w"/>)", 25,
         "10,20+ 19,44+ 20,30- 15,45- 9,30-"},
        {R"(<Button id="w" x="10" y="20" image="strip" section="w" hitmask="mask"/>)", 25, "12,21+ 11,21-"},
        // A point beyond a mask smaller than the frame misses.
        {R"(<Button id="w" x="10" y="20" image="strip" section="w" hitmask="smallmask"/>)", 25,
         "13,23+ 14,21- 11,24-"},
        // Anchor offset 4.5: the left edge 10 - 4.5 truncates to 5, and 2 - 4.5 to -2.
        {R"(<Button id="w" x="10" image="odd" section="w" anchorpoint="top"/>)", 25, "5,0+ 4,0-"},
        {R"(<Button id="w" x="2" image="odd" section="w" anchorpoint="top"/>)", 25, "-2,0+ -3,0-"},
        {R"(<Switch id="w" x="10" y="20" image="tall" section="w"/>)", 20, "10,39+ 10,40-"},
        {R"(<Button id="w" width="8" height="50"/>)", 12, "0,11+ 0,12-"},
    };
    for (const auto& [element, frameHeight, points] : rows) {
        SmartPtr<ui::Sprite> widget = make<ui::Sprite>(element);
        ASSERT_TRUE(widget) << element;
        EXPECT_EQ(widget->getHeight(), frameHeight) << element;
        EXPECT_EQ(widget->getFrameStepY(), frameHeight) << element;
        EXPECT_EQ(hitsOf(*widget, points), points) << element;
    }
}

TEST_F(ButtonTest, SwitchGroupKeepsOneChecked) {
    std::vector<SmartPtr<Switch>> group;
    for (const char* keys : {R"(x="0")", R"(x="20" checked="true")", R"(x="40" checked="true")"}) {
        group.push_back(make<Switch>(std::string(R"(<Switch id="w" y="20" image="tall" section="w" )") +
                                     R"(groupid="5" onsound="on" soundsection="w" )" + keys + "/>"));
        ui::bindCallback(group.back().get(), &fired, record, listeners);
    }
    SmartPtr<Switch> stranger = make<Switch>(R"(<Switch id="w" x="60" groupid="6" checked="true"/>)");
    const auto checks = [&] {
        return std::vector<bool>{group[0]->isChecked(), group[1]->isChecked(), group[2]->isChecked(),
                                 stranger->isChecked()};
    };
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, true, true})) << "the later declared one wins";
    for (const std::string sound : {"on", ""}) {
        EXPECT_TRUE(group[0]->onLeftButtonDown(2, 22, host::MK_LBUTTON, false));
        EXPECT_TRUE(group[0]->onLeftButtonUp(2, 22, 0));
        EXPECT_EQ(checks(), (std::vector<bool>{true, false, false, true}));
        EXPECT_EQ(fired.count, 1) << "only the clicked one reports, and only when it changes";
        EXPECT_EQ(fired.sender, group[0].get());
        EXPECT_EQ(played(), sound);
    }
    group.erase(group.begin());
    EXPECT_EQ(Switch::liveSwitches(), (std::vector<Switch*>{group[0].get(), group[1].get(), stranger.get()}));
}

TEST_F(ButtonTest, TextButtonLabelAndBox) {
    SmartPtr<TextButton> button = make<TextButton>(
        R"(<TextButton id="w" x="4" y="6" width="40" height="20" color="#808080" textcolor="#000001"
           highlightcolor="#000002" pressedcolor="#000003" disabledcolor="#000004">
           <Label id="label" font="small" section="text" text="ok"/></TextButton>)");
    ASSERT_TRUE(button && button->getLabel());
    ui::Label& label = *button->getLabel();
    EXPECT_EQ(button->getHeight(), 20);
    EXPECT_EQ(label.getParent(), button.get());
    // Centred, and lowered by the font's top pad of 2.
    EXPECT_EQ((std::vector<int>{label.getX(), label.getY(), label.getAnchor(), label.getAlignH(),
                                label.getAlignV()}),
              (std::vector<int>{20, 12, ui::Sprite::Center, 1, 1}));
    std::vector<std::uint32_t> colours{label.getColor()};
    button->onMouseMove(5, 7, 0);
    colours.push_back(label.getColor());
    button->onLeftButtonDown(5, 7, host::MK_LBUTTON, false);
    colours.push_back(label.getColor());
    button->setEnabled(false);
    colours.push_back(label.getColor());
    EXPECT_EQ(colours, (std::vector<std::uint32_t>{1, 2, 3, 4}));

    for (const auto& [colour, inner] : {std::pair{0x808080u, 0xFFFFFFu}, std::pair{0x808081u, 0u}}) {
        button->setColor(colour);
        testsupport::Image32 screen = testsupport::filled32(64, 64, 0x12345678);
        button->paint(*SmartPtr<graphics::ImagePainter>(screen->createPainter()));
        const auto at = [&](int x, int y) { return screen->pixels32()[screen->pixelIndex(x, y)]; };
        EXPECT_EQ(std::vector<std::uint32_t>(
                      {at(4, 6) & 0xFFFFFF, at(43, 25) & 0xFFFFFF, at(5, 7) & 0xFFFFFF, at(6, 8)}),
                  std::vector<std::uint32_t>({colour, colour, inner, 0x12345678}));
    }
}

TEST_F(ButtonTest, TextButtonWithoutBoxHeightOrLabel) {
    const std::vector<std::tuple<std::string, int, bool>> rows{
        {R"(><Label id="label" font="small" section="text" text="ok"/>)", 0, true},
        {R"(image="strip" section="w">)", 100, false},
        {R"(height="9"><NoSuchLabel id="label"/>)", 9, false},
    };
    for (const auto& [keys, height, hasLabel] : rows) {
        SmartPtr<TextButton> button =
            make<TextButton>(R"(<TextButton id="w" width="40" drawbox="false" )" + keys + "</TextButton>");
        ASSERT_TRUE(button) << keys;
        EXPECT_EQ(button->getHeight(), height) << keys;
        EXPECT_EQ(button->getLabel() != nullptr, hasLabel) << keys;
        testsupport::Image32 screen = testsupport::filled32(64, 64, 0);
        button->paint(*SmartPtr<graphics::ImagePainter>(screen->createPainter()));
        EXPECT_EQ(std::count(screen->pixels32(), screen->pixels32() + 64 * 64, 0u), 64 * 64) << keys;
    }
}

TEST_F(ButtonTest, BindingEnlistsOnceAndAKilledWidgetLeavesItsGroup) {
    SmartPtr<ui::Dialog> dialog = new ui::Dialog();
    kernel::ListenerGroup& group = dialog->listenerList();
    std::vector<ui::GameNode*> nodes;
    for (const char* name : {"gone", "kept", "plain"}) {
        const std::string type = name[0] == 'p' ? "Sprite" : "Button";
        SmartPtr<ui::Sprite> node = make<ui::Sprite>(
            "<" + type + R"( id="w" x="10" y="20" image="strip" section="w")" + " name=\"" + name + "\"/>");
        dialog->addComponent(node.get());
        nodes.push_back(node.get());
    }
    for (const char* name : {"gone", "kept", "gone", "plain"}) {
        EXPECT_EQ(dialog->bindCallback(name, &fired, record, group), dialog->findComponent(name));
    }
    EXPECT_EQ(dialog->bindCallback("none", &fired, record, group), nullptr);
    const auto listener = [&](int index) {
        return static_cast<kernel::InputListener*>(static_cast<Button*>(nodes[index]));
    };
    using Members = std::vector<kernel::InputListener*>;
    EXPECT_EQ(group.getMembers(), (Members{dialog.get(), listener(1), listener(0)})) << "once, at the back";

    dialog->removeComponent(nodes[0]);
    EXPECT_EQ(group.getMembers(), (Members{dialog.get(), listener(1)}));
    // The cleaner frees the killed button; serving the group afterwards must not reach it.
    dialog->removeDeadDescendants();
    for (kernel::InputListener* member : group.getMembers()) {
        member->onLeftButtonDown(12, 22, host::MK_LBUTTON, false);
        member->onLeftButtonUp(12, 22, 0);
    }
    EXPECT_EQ(fired.count, 1);
    EXPECT_EQ(fired.sender, nodes[1]);
    EXPECT_EQ(static_cast<ui::WidgetCallback*>(static_cast<Button*>(nodes[1]))->getClassInfo(),
              &Button::classInfo);
    // The dialog dies with "kept" still bound: it empties its group before its components die.
}

} // namespace
