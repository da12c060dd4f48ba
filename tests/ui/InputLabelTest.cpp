#include "engine/ui/InputLabel.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/ui/Label.h"
#include "host/Window.h"

#include "TextResources.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kernel::SmartPtr;
using kernel::WideString;
using ui::InputLabel;

// The field's text starts at screen x 10; with the "small" font index i lies under x 10 + 4i + 2.
int xOf(unsigned index) {
    return 10 + 4 * static_cast<int>(index) + 2;
}

enum Op { Type, Tap, KeyDown, KeyUp, Press, ShiftPress, DoubleClick, Move, Release };

struct Step {
    Op op;
    unsigned value = 0;
    WideString typed = u"";
};

void apply(InputLabel& field, const Step& step) {
    switch (step.op) {
    case Type:
        for (const char16_t c : step.typed) {
            field.onChar(c);
        }
        break;
    case Tap:
        field.onKeyDown(step.value);
        field.onKeyUp(step.value);
        break;
    case KeyDown:
        field.onKeyDown(step.value);
        break;
    case KeyUp:
        field.onKeyUp(step.value);
        break;
    case Press:
    case ShiftPress:
    case DoubleClick:
        field.onLeftButtonDown(xOf(step.value), 8, step.op == ShiftPress ? host::MK_SHIFT : 0,
                               step.op == DoubleClick);
        break;
    case Move:
        field.onMouseMove(xOf(step.value), 8, host::MK_LBUTTON);
        break;
    case Release:
        field.onLeftButtonUp(xOf(step.value), 8, 0);
        break;
    }
}

void countCall(void* receiver, ui::GameNode*) {
    ++*static_cast<int*>(receiver);
}

class InputLabelTest : public ::testing::Test {
protected:
    SmartPtr<InputLabel> make(const std::string& keys) {
        return resources.make<InputLabel>(R"(<InputLabel id="w" x="10" y="4" width="100" height="12" )" +
                                          keys +
                                          R"(><Label id="label" font="small" section="text"/></InputLabel>)");
    }

    testsupport::TextResources resources;
};

TEST_F(InputLabelTest, EditingSequences) {
    struct Row {
        const char* name;
        WideString start;
        std::vector<Step> steps;
        WideString text;
        unsigned cursor, selectionStart, selectionEnd;
    };
    // clang-format off
    const std::vector<Row> rows{
        {"type", u"", {{Type, 0, u"abc"}}, u"abc", 3, 3, 3},
        {"backspace", u"abc", {{Type, 0, u"\b"}}, u"ab", 2, 2, 2},
        {"home then type", u"abc", {{Tap, host::VK_HOME}, {Type, 0, u"x"}}, u"xabc", 1, 1, 1},
        {"delete at the end", u"abc", {{Tap, host::VK_HOME}, {Tap, host::VK_END}, {Tap, host::VK_DELETE}}, u"abc", 3, 3, 3},
        {"left left delete", u"abcd", {{Tap, host::VK_LEFT}, {Tap, host::VK_LEFT}, {Tap, host::VK_DELETE}}, u"abd", 2, 2, 2},
        {"arrows stop at the ends", u"ab", {{Tap, host::VK_RIGHT}, {Tap, host::VK_HOME}, {Tap, host::VK_LEFT}}, u"ab", 0, 0, 0},
        {"drag selects", u"abcdef", {{Press, 4}, {Move, 1}, {Release, 1}}, u"abcdef", 1, 1, 4},
        {"type over a drag", u"abcdef", {{Press, 1}, {Move, 4}, {Release, 4}, {Type, 0, u"x"}}, u"axef", 2, 2, 2},
        {"backspace, reversed", u"abcdef", {{Press, 4}, {Move, 1}, {Type, 0, u"\b"}}, u"aef", 1, 1, 1},
        {"delete, reversed", u"abcdef", {{Press, 4}, {Move, 1}, {Tap, host::VK_DELETE}}, u"aef", 1, 1, 1},
        {"shift click", u"abcdef", {{Press, 1}, {Release, 1}, {ShiftPress, 4}, {Release, 4}}, u"abcdef", 4, 1, 4},
        {"shift arrows", u"abcdef", {{KeyDown, host::VK_SHIFT}, {Tap, host::VK_LEFT}, {Tap, host::VK_LEFT},
                                     {KeyUp, host::VK_SHIFT}, {Type, 0, u"\b"}}, u"abcd", 4, 4, 4},
        {"word without comma", u"ab, cd", {{DoubleClick, 1}, {Release, 1}}, u"ab, cd", 2, 0, 2},
        {"type over a word", u"ab cd.", {{DoubleClick, 4}, {Release, 4}, {Type, 0, u"x"}}, u"ab x.", 4, 4, 4},
        {"no glyph, no control", u"ab", {{Type, 0, u",\r\x1b"}}, u"ab", 2, 2, 2},
    };
    // clang-format on
    for (const Row& row : rows) {
        SmartPtr<InputLabel> field = make("");
        ASSERT_TRUE(field) << row.name;
        field->setText(row.start, true);
        field->setFocused(true);
        for (const Step& step : row.steps) {
            apply(*field, step);
        }
        EXPECT_EQ(field->getText(), row.text) << row.name;
        EXPECT_EQ(field->getInnerLabel()->getText(), row.text) << row.name;
        EXPECT_EQ(field->getCursor(), row.cursor) << row.name;
        EXPECT_EQ(field->getSelectionStart(), row.selectionStart) << row.name;
        EXPECT_EQ(field->getSelectionEnd(), row.selectionEnd) << row.name;
    }
}

TEST_F(InputLabelTest, MaximumLength) {
    for (const auto& [keys, taken] : {std::pair{R"(maxlength="8")", 8u}, std::pair{"", 12u}}) {
        SmartPtr<InputLabel> field = make(keys);
        field->setFocused(true);
        for (int i = 0; i < 12; ++i) {
            field->onChar(u'a');
        }
        EXPECT_EQ(field->getText().size(), taken) << keys;
    }
}

TEST_F(InputLabelTest, FocusKeysAndCallbacks) {
    SmartPtr<InputLabel> field = make(R"(text="ab" cursorimage="pic" section="text" durationon="300")");
    ASSERT_TRUE(field && field->getCursorSprite());
    EXPECT_EQ(field->getInnerLabel()->getText(), u"ab");
    EXPECT_FALSE(field->getCursorSprite()->isVisible());
    EXPECT_FALSE(field->onChar(u'c')) << "keys are not taken before the focus";

    int changes = 0;
    int enters = 0;
    kernel::ListenerGroup group;
    ui::bindCallback(field.get(), &changes, countCall, group);
    field->bindKeyAction(InputLabel::EnterAction, &enters, countCall);
    EXPECT_TRUE(field->onLeftButtonDown(xOf(2), 8, 0, false));
    EXPECT_TRUE(field->getCursorSprite()->isVisible());
    EXPECT_TRUE(field->onChar(u'c'));
    EXPECT_EQ(changes, 1);

    EXPECT_TRUE(field->onKeyUp(host::VK_RETURN));
    EXPECT_FALSE(field->onKeyUp(host::VK_RETURN)) << "a second Enter is not taken";
    EXPECT_EQ(enters, 1);
    EXPECT_FALSE(field->isFocused());
    EXPECT_TRUE(field->getCursorSprite()->isSuspended());

    field->setFocused(true);
    EXPECT_FALSE(field->onLeftButtonDown(200, 8, 0, false)) << "a click outside is not taken";
    EXPECT_FALSE(field->isFocused());

    field->kill();
    EXPECT_TRUE(group.getMembers().empty()) << "a killed field leaves its group before it is freed";
}

// The player-name dialog turns a lone blank back into an empty text from its change handler.
TEST_F(InputLabelTest, ChangeHandlerThatClearsTheTextLeavesTheCursorInside) {
    SmartPtr<InputLabel> field = make("");
    kernel::ListenerGroup group;
    ui::bindCallback(
        field.get(), nullptr,
        [](void*, ui::GameNode* sender) {
            auto* changed = static_cast<InputLabel*>(sender);
            if (changed->getText() == u" ") {
                changed->setText(u"", true);
            }
        },
        group);
    field->setFocused(true);
    field->onChar(u' ');
    field->onChar(u'a');
    EXPECT_EQ(field->getText(), u"a");
    EXPECT_EQ(field->getCursor(), 1u);
}

TEST_F(InputLabelTest, PaintsTheSelectionBehindTheTextAndPlacesTheCursor) {
    SmartPtr<InputLabel> field = make(R"(text="abcd" cursorimage="pic" section="text")");
    field->onLeftButtonDown(xOf(1), 8, 0, false);
    field->onMouseMove(xOf(3), 8, host::MK_LBUTTON);
    SmartPtr<graphics::MemoryImage32> screen = graphics::createImage32(64, 32);
    SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    field->paintTree(*painter);
    const auto pixel = [&](int x, int y) { return screen->pixels32()[y * 64 + x]; };
    EXPECT_NE(pixel(17, 10), 0u) << "inside the selection, between the offsets of indices 1 and 3";
    EXPECT_EQ(pixel(12, 10), 0u) << "before the selection";
    EXPECT_EQ(field->getCursorSprite()->getX(), 13) << "the width of the first three characters";
}

} // namespace
