#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace kernel;

namespace {

ScalarValue scalar(const char* text) {
    return ScalarValue("s", "String", text);
}

} // namespace

TEST(SettingsTree, IntegerReaderTakesHexAfterHashAndClampsDecimals) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        // clang-format off
        {"#ff", 255}, {"#", 0}, {"#FF000000", static_cast<std::int32_t>(0xFF000000u)},
        {"#FF112233", static_cast<std::int32_t>(0xFF112233u)}, {"12abc", 12}, {"", 0}, {"abc", 0},
        {"  -7", -7}, {"+5", 5}, {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"99999999999999999999", std::numeric_limits<std::int32_t>::max()},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scalar(c.text).asInt(), c.expected) << '"' << c.text << '"';
    }
}

TEST(SettingsTree, BooleanIsFalseOnlyForEmptyAndExactFalse) {
    for (const char* text : {"", "false"}) {
        EXPECT_FALSE(scalar(text).asBool()) << text;
    }
    for (const char* text : {"False", "FALSE", "0", "no", "true"}) {
        EXPECT_TRUE(scalar(text).asBool()) << text;
    }
}

TEST(SettingsTree, FloatingReadersFollowTheCNotation) {
    EXPECT_DOUBLE_EQ(scalar("1.5").asDouble(), 1.5);
    EXPECT_DOUBLE_EQ(scalar(" -2.25e1xyz").asDouble(), -22.5);
    EXPECT_DOUBLE_EQ(scalar("+3").asDouble(), 3.0);
    EXPECT_DOUBLE_EQ(scalar("0x1p3").asDouble(), 8.0);
    EXPECT_EQ(scalar("abc").asDouble(), 0.0);
    EXPECT_EQ(scalar("+-1").asDouble(), 0.0);
    EXPECT_TRUE(std::isinf(scalar("1e999").asDouble()));
    EXPECT_EQ(scalar("1e-999").asDouble(), 0.0);
    EXPECT_FLOAT_EQ(scalar("0.1").asFloat(), 0.1f);
    EXPECT_TRUE(std::isinf(scalar("1e50").asFloat()));
}

TEST(SettingsTree, SetChildReplacesByNameAndMovesToTheEnd) {
    SmartPtr<NodeValue> node(new NodeValue("n", "Node"));
    node->setChild(new ScalarValue("a", 1, Typing::Typed));
    node->setChild(new ScalarValue("b", 2, Typing::Typed));
    node->setChild(new ScalarValue("attr", "x", Typing::Untyped));
    node->setChild(new ScalarValue("a", 3, Typing::Typed));
    ASSERT_EQ(node->childCount(), 2);
    EXPECT_EQ(node->at(0)->name(), "b");
    EXPECT_EQ(node->valueAt(1).asInt(), 3);
    EXPECT_EQ(node->getValue("attr").text(), u"x");
    EXPECT_TRUE(node->hasChild("attr"));

    // Setting a child again under its own name must keep it alive while it is taken out and put back.
    Value* b = node->findChild("b");
    node->setChild(b);
    ASSERT_EQ(node->childCount(), 2);
    EXPECT_EQ(node->at(1), b);
    EXPECT_EQ(b->referenceCount(), 2);
    EXPECT_EQ(node->getValue("b").asInt(), 2);
}

TEST(SettingsTree, WrongKindsAndMissingNamesGiveFallbacks) {
    SmartPtr<NodeValue> node(new NodeValue("n", "Node"));
    node->setChild(new ScalarValue("s", 5, Typing::Typed));
    node->setChild(new NodeValue("inner", "Node"));
    EXPECT_EQ(&node->getNode("s"), &DUMMY_NODE());
    EXPECT_EQ(&node->getVector("inner"), &DUMMY_VECTOR());
    EXPECT_EQ(&node->getValue("inner"), &DUMMY_VALUE());
    EXPECT_EQ(&node->getValue("missing"), &DUMMY_VALUE());
    EXPECT_EQ(node->findChild("missing"), nullptr);
    EXPECT_EQ(node->at(-1), nullptr);
    EXPECT_EQ(node->at(2), nullptr);
    EXPECT_EQ(&node->nodeAt(0), &DUMMY_NODE());
    EXPECT_EQ(&node->nodeAt(1), node->findChild("inner"));
}

TEST(SettingsTree, FallbacksIgnoreEveryWriteAndOutliveTheirHolders) {
    {
        SmartPtr<Value> refused = DUMMY_NODE().setChild(new ScalarValue("x", 1, Typing::Typed));
        EXPECT_TRUE(refused);
        DUMMY_NODE().addBoolean("b", true, Typing::Typed);
        DUMMY_NODE().addBoolean(true);
        DUMMY_VECTOR().append(new ScalarValue("y", 1, Typing::Typed));
        DUMMY_VECTOR().addBoolean(false);
        DUMMY_VALUE().setInt(5);
        DUMMY_VALUE().setText(std::string("text"));
        DUMMY_VALUE().setText(WideString(u"wide"));
        SmartPtr<Value> taken[] = {&DUMMY_ABSTRACT(), &DUMMY_VALUE(), &DUMMY_NODE(), &DUMMY_VECTOR()};
    }
    EXPECT_EQ(DUMMY_NODE().childCount(), 0);
    EXPECT_TRUE(DUMMY_NODE().namedChildren().empty());
    EXPECT_EQ(DUMMY_VECTOR().childCount(), 0);
    EXPECT_TRUE(DUMMY_VALUE().text().empty());
    EXPECT_EQ(DUMMY_VALUE().asInt(), 0);
    EXPECT_FALSE(DUMMY_VALUE().asBool());
    EXPECT_EQ(DUMMY_ABSTRACT().name(), "DUMMY_ABSTRACT");
    EXPECT_EQ(DUMMY_NODE().name(), "DUMMY_NODE");
}

TEST(SettingsTree, WideningKeepsHighBytesAsSignedUnits) {
    std::string bytes;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        bytes.push_back(static_cast<char>(byte));
    }
    const WideString wide = widenString(bytes);
    ASSERT_EQ(wide.size(), bytes.size());
    EXPECT_EQ(wide.front(), 0xFF80);
    EXPECT_EQ(wide.back(), 0xFFFF);
    EXPECT_EQ(narrowString(wide), bytes);
    const ScalarValue value("s", "String", bytes);
    EXPECT_EQ(value.text(), wide);
    EXPECT_EQ(value.toString(), bytes);
    EXPECT_EQ(ScalarValue("w", WideString(u"\u0141\u20AC"), kernel::Typing::Typed).asString(), "A\xAC");
}
