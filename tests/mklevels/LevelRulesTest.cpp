// The level rules as the designer writes them: every broken or incomplete file is refused with a message
// that names the file, the line and the knob, and the knobs of a level come from the right place.
#include "tools/mklevels/LevelRules.h"
#include "tools/mklevels/LevelPlan.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using mklevels::LevelPlan;
using mklevels::LevelRules;

constexpr const char* header = R"(<LevelRules><Defaults rows="7" columns="8" colours="5" moves="2" vibs="4" )"
                               R"(background="BG_MEADOW" basetime="60" pervib="10" />)";

struct BrokenRules {
    const char* what;
    std::string text;
    // Every piece must be in the message.
    std::vector<std::string> told;
};

TEST(LevelRules, BrokenFilesAreRefusedWithWhereAndWhy) {
    const std::string tail = "</LevelRules>";
    const std::vector<BrokenRules> cases = {
        {"not XML", "<LevelRules><Chapter number=\"1\"></LevelRules>", {"levelrules.xml:"}},
        {"empty", "", {"levelrules.xml"}},
        {"another document", "<Levels />", {"is no <LevelRules> document"}},
        {"unknown element", std::string(header) + "<Chapters number=\"1\" />" + tail, {":1:", "<Chapters>"}},
        {"misspelt knob",
         std::string(header) + "\n<Chapter number=\"1\" vibz=\"3\" />" + tail,
         {":2:", "<Chapter>", "\"vibz\""}},
        {"a word for a number",
         std::string(header) + "<Chapter number=\"1\" rows=\"seven\" />" + tail,
         {"\"rows\" is \"seven\""}},
        {"a broken range",
         std::string(header) + "<Chapter number=\"1\" vibs=\"3..\" />" + tail,
         {"\"vibs\""}},
        {"too many rows",
         std::string(header) + "<Chapter number=\"1\" rows=\"5..12\" />" + tail,
         {"\"rows\"", "outside 3 to 9"}},
        {"eight colours",
         std::string(header) + "<Chapter number=\"1\" colours=\"8\" />" + tail,
         {"\"colours\""}},
        {"a range for one level",
         std::string(header) + "<Level chapter=\"1\" number=\"2\" vibs=\"3..4\" />" + tail,
         {"a single level takes one value"}},
        {"a chapter twice",
         std::string(header) + "<Chapter number=\"2\" /><Chapter number=\"2\" />" + tail,
         {"chapter 2 is given twice"}},
        {"a chapter without its number",
         std::string(header) + "<Chapter vibs=\"3\" />" + tail,
         {"\"number\""}},
        {"an unknown shape",
         std::string(header) + "<Chapter number=\"1\" shape=\"full blob\" />" + tail,
         {"shape \"blob\""}},
        {"a size on a mask",
         std::string(header) +
             "<Chapter number=\"1\" shape=\"star:2\" /><Shape name=\"star\"><Row cells=\"###\" />" +
             "</Shape>" + tail,
         {"shape \"star:2\""}},
        {"a crooked mask",
         std::string(header) + "<Shape name=\"cup\"><Row cells=\"#..#\" /><Row cells=\"###\" /></Shape>" +
             tail,
         {"<Row>", "\"cells\" is \"###\""}},
        {"a mask named like a shape",
         std::string(header) + "<Shape name=\"arch\"><Row cells=\"#\" /></Shape>" + tail,
         {"\"arch\""}},
        {"symmetric maybe",
         std::string(header) + "<Chapter number=\"1\" symmetric=\"maybe\" />" + tail,
         {"not yes or no"}},
        {"a background that breaks the level file",
         std::string(header) + "<Chapter number=\"1\" background=\"BG--&quot;X\" />" + tail,
         {"no resource id"}},
        {"a chance of nothing", "<LevelRules minchance=\"0\" />", {"\"minchance\""}},
    };
    const testsupport::TempDir dir;
    for (const BrokenRules& broken : cases) {
        LevelRules rules;
        std::string error;
        const std::string path = dir.write("levelrules.xml", broken.text);
        EXPECT_FALSE(mklevels::readLevelRules(path, rules, error)) << broken.what;
        for (const std::string& piece : broken.told) {
            EXPECT_NE(error.find(piece), std::string::npos) << broken.what << ": " << error;
        }
    }
    LevelRules rules;
    std::string error;
    EXPECT_FALSE(mklevels::readLevelRules(dir.file("missing.xml"), rules, error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
}

TEST(LevelRules, RangesGrowEvenlyOverTheChapter) {
    const mklevels::Growth growing{4, 10};
    std::vector<int> values;
    for (int level = 1; level <= 7; ++level) {
        values.push_back(growing.at(level, 7));
    }
    EXPECT_EQ(values, (std::vector<int>{4, 5, 6, 7, 8, 9, 10}));
    // Halves round away from zero, both ways; levels past the last keep the last value.
    EXPECT_EQ((mklevels::Growth{0, 1}.at(4, 7)), 1);
    EXPECT_EQ((mklevels::Growth{3, 2}.at(4, 7)), 2);
    EXPECT_EQ((mklevels::Growth{3, 2}.at(3, 7)), 3);
    EXPECT_EQ((mklevels::Growth{5, 9}.at(12, 7)), 9);
    EXPECT_EQ((mklevels::Growth{5, 9}.at(3, 1)), 5);
}

class LevelPlanTest : public ::testing::Test {
protected:
    bool plan(const std::string& body, int chapter, int level, LevelPlan& result, std::string& error) {
        LevelRules rules;
        const std::string path =
            dir.write("levelrules.xml", "<LevelRules levels=\"3\">" + body + "</LevelRules>");
        return mklevels::readLevelRules(path, rules, error) &&
               mklevels::planLevel(rules, chapter, level, result, error);
    }

    testsupport::TempDir dir;
};

// A level's own knobs win over its chapter's, the chapter's over the defaults; lists are cycled by level.
TEST_F(LevelPlanTest, EachKnobComesFromTheMostParticularPlace) {
    const std::string body =
        R"(<Defaults rows="7" columns="8" colours="4" moves="3" vibs="2" background="BG_A BG_B" basetime="50"
                     pervib="10" perlock="5" symmetric="yes" />
           <Chapter number="2" colours="5..7" vibs="6..10" chained="0..2" shape="full arch corners:1" />
           <Level chapter="2" number="3" vibs="20" time="99" symmetric="no" />)";
    LevelPlan result;
    std::string error;
    ASSERT_TRUE(plan(body, 2, 2, result, error)) << error;
    EXPECT_EQ(result.rows, 7);
    EXPECT_EQ(result.colours, 6);
    EXPECT_EQ(result.vibs, 8);
    EXPECT_EQ(result.chained, 1);
    EXPECT_EQ(result.shape, "arch");
    EXPECT_EQ(result.background, "BG_B");
    EXPECT_TRUE(result.symmetric);
    // 50 + 10 x 8 + 5 x 1, to the nearest 5 seconds.
    EXPECT_EQ(result.seconds, 135);

    ASSERT_TRUE(plan(body, 2, 3, result, error)) << error;
    EXPECT_EQ(result.vibs, 20);
    EXPECT_EQ(result.colours, 7);
    EXPECT_EQ(result.seconds, 99);
    EXPECT_EQ(result.shape, "corners:1");
    EXPECT_EQ(result.background, "BG_A");
    EXPECT_FALSE(result.symmetric);
}

TEST_F(LevelPlanTest, AnIncompleteLevelIsToldWhatItLacks) {
    LevelPlan result;
    std::string error;
    const std::string complete = R"(rows="7" columns="8" colours="5" moves="2" vibs="4" background="BG_A" )";
    EXPECT_FALSE(plan("<Chapter number=\"1\" rows=\"7\" />", 2, 1, result, error));
    EXPECT_NE(error.find("no <Chapter number=\"2\">"), std::string::npos) << error;
    EXPECT_FALSE(plan("<Chapter number=\"1\" rows=\"7\" columns=\"8\" />", 1, 1, result, error));
    EXPECT_NE(error.find("chapter 1 level 1 has no \"colours\""), std::string::npos) << error;
    EXPECT_FALSE(plan("<Chapter number=\"1\" " + complete + "/>", 1, 1, result, error));
    EXPECT_NE(error.find("gets 0 seconds"), std::string::npos) << error;
    EXPECT_FALSE(
        plan("<Chapter number=\"1\" " + complete + "time=\"60\" vibchained=\"3\" vibstubborn=\"2\" />", 1, 1,
             result, error));
    EXPECT_NE(error.find("5 of its VIBs are stubborn or chained, but it has only 4"), std::string::npos)
        << error;
    EXPECT_FALSE(
        plan(R"(<Chapter number="1" rows="7" columns="8" colours="5" moves="2" vibs="4" time="60" />)", 1, 1,
             result, error));
    EXPECT_NE(error.find("no \"background\""), std::string::npos) << error;
}

} // namespace
