// The formats that the data hands to the code: the restricted integer format and the local-time text.
#include "game/foundation/GameUtilities.h"

#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

namespace {

struct FormatCase {
    const char* format;
    std::initializer_list<std::int32_t> values;
    const char* expected;
};

TEST(DataFormatsTest, IntegerFormatFillsOnlyItsOwnConversions) {
    const FormatCase cases[] = {
        {"%d h %d min", {1, 59}, "1 h 59 min"},
        {"%d h %d min", {0, 0}, "0 h 0 min"},
        {"%d%%", {-7}, "-7%"},
        // Missing values read as 0; values left over are not shown.
        {"%d:%d:%d", {3}, "3:0:0"},
        {"%d", {1, 2, 3}, "1"},
        // Anything else after a "%" is printed as written and takes no value.
        {"%s and %d", {5}, "%s and 5"},
        {"%5d|%ld|%x|%n|%d", {9}, "%5d|%ld|%x|%n|9"},
        {"100%", {}, "100%"},
        {"%", {}, "%"},
        {"", {4}, ""},
        {"%d", {std::numeric_limits<std::int32_t>::min()}, "-2147483648"},
    };
    for (const FormatCase& row : cases) {
        EXPECT_EQ(game::formatIntegers(row.format, row.values), row.expected) << row.format;
    }
}

class LocalTimeTest : public ::testing::Test {
protected:
    void SetUp() override { ::tzset(); }
    void TearDown() override {
        zone.reset();
        ::tzset();
    }
    std::optional<testsupport::ScopedEnv> zone{std::in_place, "TZ", "UTC"};
};

TEST_F(LocalTimeTest, FollowsTheFormatsRulesInLocalTime) {
    // 1 March 2021, 13:05:09 UTC.
    constexpr std::int64_t moment = 1614603909;
    EXPECT_EQ(game::localTimeText(moment, "%d %b %Y, %H:%M"), "01 Mar 2021, 13:05");
    EXPECT_EQ(game::localTimeText(moment, "%Y-%m-%d %%"), "2021-03-01 %");
    EXPECT_EQ(game::localTimeText(0, "%Y"), "1970");
}

// strftime reports 0 both for an empty result and for one that does not fit; either gives the empty
// text, never what happened to be in the buffer.
TEST_F(LocalTimeTest, AnImpossibleMomentOrTextGivesTheEmptyText) {
    EXPECT_EQ(game::localTimeText(std::numeric_limits<std::int64_t>::max(), "%Y"), "");
    EXPECT_EQ(game::localTimeText(0, ""), "");
    EXPECT_EQ(game::localTimeText(0, std::string(255, 'x')), std::string(255, 'x'));
    EXPECT_EQ(game::localTimeText(0, std::string(256, 'x')), "");
    EXPECT_EQ(game::localTimeText(0, std::string(200, 'x') + "%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y"), "");
}

} // namespace
