// The collectables' rules (media/properties/collectables.xml): all thirty, each once in the album, carried
// by a pibble of the colour its pictures are drawn in, earned by conditions the game knows.
#include "ContentCheck.h"

#include <set>

namespace content {
namespace {

constexpr const char* collectablesFile = "media/properties/collectables.xml";
constexpr int collectableCount = 30;

const std::set<std::string> conditionKeys = {
    "numPibblesRemoved",  "numStubbornRemoved",  "numMatches5",         "numMatches6",
    "numMatches7",        "hoursPlayed",         "reachedRelaxLevel",   "reachedActionLevel",
    "comboPerformed",     "percentageCompleted", "collectablesClaimed", "finishedGameWithoutHint",
    "completedVIBNormal", "completedVIBHard",    "playedDuringNight",   "matchedTwoStubborns"};
const std::set<std::string> entryKeys = {"pibbleid", "colorid", "albumorderid"};

TEST(Collectables, AllThirtyAreEarnedByKnownConditions) {
    const SmartPtr<kernel::ValueDocument> rules = loadDocument(collectablesFile);
    kernel::Value* list = rules->findChild("collectables");
    ASSERT_TRUE(list != nullptr && list->isVector()) << "no Vector \"collectables\"";
    std::set<int> ids;
    std::set<int> places;
    std::vector<std::string> found;
    for (const SmartPtr<Value>& value : list->asVector().children()) {
        ASSERT_TRUE(value->isNode());
        const kernel::NodeValue& entry = value->asNode();
        const int id = entry.getValue("pibbleid").asInt();
        const std::string where = "collectable " + std::to_string(id);
        ids.insert(id);
        places.insert(entry.getValue("albumorderid").asInt());
        // The pictures of collectable n are drawn in colour (n - 1) mod 7 + 1.
        if (entry.getValue("colorid").asInt() != (id - 1) % 7 + 1) {
            found.push_back(where + ": carried by a pibble of another colour than its pictures");
        }
        for (const SmartPtr<Value>& key : entry.children()) {
            if (!entryKeys.contains(key->name()) && !conditionKeys.contains(key->name())) {
                found.push_back(where + ": unknown condition \"" + key->name() + "\"");
            }
        }
        const int combo = entry.getValue("comboPerformed").asInt();
        if (entry.hasChild("comboPerformed") && (combo < 0 || combo > 19)) {
            found.push_back(where + ": no combo flag " + std::to_string(combo));
        }
        const std::string flag = text(entry.getValue("finishedGameWithoutHint"));
        if (entry.hasChild("finishedGameWithoutHint") && flag != "true" && flag != "false") {
            found.push_back(where + ": \"" + flag + "\" is no truth value");
        }
    }
    EXPECT_EQ(list->asVector().childCount(), collectableCount);
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(collectableCount));
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), collectableCount);
    EXPECT_EQ(places.size(), static_cast<std::size_t>(collectableCount));
    EXPECT_EQ(*places.begin(), 1);
    EXPECT_EQ(*places.rbegin(), collectableCount);
    EXPECT_TRUE(found.empty()) << joined(found);
}

} // namespace
} // namespace content
