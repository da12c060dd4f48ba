#include "game/foundation/GameUtilities.h"

#include "engine/kernel/PropertyStore.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Modifier.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/Random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

using kernel::WideString;

class GroupDigitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        kernel::PropertyStore::create()->stringRef("STRING_GROUPING_DIGIT").assign(1, ',');
    }
    void TearDown() override { kernel::PropertyStore::destroy(); }
};

TEST_F(GroupDigitsTest, SeparatesGroupsOfThreeWithTheStoredText) {
    EXPECT_EQ(game::groupDigits(0), u"0");
    EXPECT_EQ(game::groupDigits(999), u"999");
    EXPECT_EQ(game::groupDigits(1000), u"1,000");
    EXPECT_EQ(game::groupDigits(1234567), u"1,234,567");
    EXPECT_EQ(game::groupDigits(4294967295U), u"4,294,967,295");
    kernel::PropertyStore::instance()->stringRef("STRING_GROUPING_DIGIT") = "'_";
    EXPECT_EQ(game::groupDigits(1234567), u"1'_234'_567") << "a longer separator reads forwards";
    EXPECT_EQ(game::groupDigits(123456, ""), u"123456");
}

TEST(GameUtilitiesTest, TextToNumbersStopAtTheFirstNonDigitAndClamp) {
    EXPECT_EQ(game::StringToInt("  -42abc"), -42);
    EXPECT_EQ(game::StringToInt("+7"), 7);
    EXPECT_EQ(game::StringToInt("x12"), 0);
    EXPECT_EQ(game::StringToInt(""), 0);
    EXPECT_EQ(game::StringToInt("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(game::StringToInt("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(game::StringToInt64(" 12345678901"), 12345678901LL);
    EXPECT_EQ(game::StringToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(game::StringToInt64("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(game::StringToInt64("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

TEST(GameUtilitiesTest, NumbersAndBytesBecomeText) {
    EXPECT_EQ(game::intToWideString(-305), u"-305");
    EXPECT_EQ(game::intToString(2147483647), "2147483647");
    char expected[16];
    std::snprintf(expected, sizeof expected, "%.0f", 2.5);
    EXPECT_EQ(game::narrow(game::floatToWideString(2.5f, 0)), expected);
    EXPECT_EQ(game::floatToWideString(3.14159f, 2), u"3.14");
    EXPECT_EQ(game::widen("\x80z\xff"), (WideString{u'\xFF80', u'z', u'\xFFFF'}));
    EXPECT_EQ(game::narrow(game::widen("\x80z\xff")), "\x80z\xff");
}

TEST(GameUtilitiesTest, PropertiesReadEmptyWithoutAStoreAndInsertMissingKeys) {
    EXPECT_EQ(game::propertyString("GAME_NAME"), "");
    kernel::PropertyStore* store = kernel::PropertyStore::create();
    store->doubleRef("CFG_DARKFACTOR") = 0.25;
    EXPECT_FLOAT_EQ(game::propertyFloat("CFG_DARKFACTOR"), 0.25f);
    EXPECT_EQ(game::propertyInt("CFG_MISSING"), 0);
    store->intRef("CFG_MISSING") = 5;
    EXPECT_EQ(game::propertyInt("CFG_MISSING"), 5);
    kernel::PropertyStore::destroy();
}

// Every unit is 10 pixels wide; the record lists the texts in the order they were shown.
class FixedWidthDisplay {
public:
    int show(const WideString& text) {
        shown.push_back(game::narrow(text));
        return static_cast<int>(text.size()) * 10;
    }
    std::vector<std::string> shown;
};

std::vector<std::string> fit(const std::string& text, int maxWidth) {
    FixedWidthDisplay display;
    game::fitText(text, maxWidth, [&display](const WideString& t) { return display.show(t); });
    return display.shown;
}

TEST(GameUtilitiesTest, FitTextShortensWithDotsOnlyWhenTooWide) {
    EXPECT_EQ(fit("abc", 30), std::vector<std::string>{"abc"});
    EXPECT_EQ(fit("abcdef", 55), (std::vector<std::string>{"abcdef", "a...", "ab...", "abc...", "ab..."}));
    EXPECT_EQ(fit("abcdef", 35), (std::vector<std::string>{"abcdef", "a...", "..."}));
}

TEST(GameUtilitiesTest, FitTextEndsWithTheTextOnAnOddDisplay) {
    int calls = 0;
    game::fitText("abcd", 30, [&calls](const WideString& t) {
        ++calls;
        return t.find(u'.') == WideString::npos ? 100 : 0;
    });
    EXPECT_EQ(calls, 5);
}

TEST(GameUtilitiesTest, AnchorChangeKeepsTheImageInPlace) {
    kernel::SmartPtr<ui::Sprite> sprite = new ui::Sprite(10, 20, 31, 41);
    game::setAnchorKeepPosition(sprite.get(), ui::Sprite::Center);
    EXPECT_EQ(sprite->getX(), 25);
    EXPECT_EQ(sprite->getY(), 40);
    game::setAnchorKeepPosition(sprite.get(), ui::Sprite::TopLeft);
    EXPECT_EQ(sprite->getX(), 10);
    EXPECT_EQ(sprite->getY(), 20);
}

class ScatterTest : public ::testing::Test {
protected:
    void SetUp() override {
        game::Random::create();
        node->setPosition(100, 50);
    }
    void TearDown() override { game::Random::destroy(); }
    std::vector<ui::PositionModifier*> moves() const {
        std::vector<ui::PositionModifier*> result;
        for (ui::Modifier* modifier : node->getModifierList().items()) {
            EXPECT_TRUE(modifier->hasFlag(ui::Modifier::blocking));
            result.push_back(static_cast<ui::PositionModifier*>(modifier));
        }
        return result;
    }
    kernel::SmartPtr<ui::GameNode> node = new ui::GameNode();
};

TEST_F(ScatterTest, JumpsToOffsetsWithinRangeAndReturnsEachTime) {
    game::scatterNode(node.get(), 300, 10, 3, false);
    const std::vector<ui::PositionModifier*> list = moves();
    ASSERT_EQ(list.size(), 3U);
    for (const ui::PositionModifier* move : list) {
        EXPECT_GE(move->getFromX(), 95);
        EXPECT_LT(move->getFromX(), 105);
        EXPECT_GE(move->getFromY(), 45);
        EXPECT_LT(move->getFromY(), 55);
    }
    for (int frame = 0; frame < 10 && !node->getModifierList().empty(); ++frame) {
        node->update(100);
    }
    EXPECT_TRUE(node->getModifierList().empty());
    EXPECT_EQ(node->getX(), 100);
    EXPECT_EQ(node->getY(), 50);
}

TEST_F(ScatterTest, OutAndBackStartsFromTheRestingPlaceAndZeroesAddNothing) {
    game::scatterNode(node.get(), 100, 20, 2, true);
    const std::vector<ui::PositionModifier*> list = moves();
    ASSERT_EQ(list.size(), 4U);
    EXPECT_EQ(list[0]->getFromX(), 100);
    EXPECT_EQ(list[2]->getFromY(), 50);
    node->removeAllModifiers();
    game::scatterNode(node.get(), 100, 0, 2, true);
    game::scatterNode(node.get(), 100, 20, 0, false);
    EXPECT_TRUE(node->getModifierList().empty());
}

} // namespace
