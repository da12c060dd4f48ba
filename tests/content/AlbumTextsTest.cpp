// The album's text lists in the start-up settings: the collectables' names, descriptions and conditions
// indexed by collectable id, and the credits, two entries a page.
#include "ContentCheck.h"

#include "engine/kernel/PropertyStore.h"
#include "game/foundation/GameIds.h"

namespace content {
namespace {

// Entries that are no text, or an empty one, show as blank pages.
std::vector<std::string> blankEntries(const char* list, const kernel::VectorValue& texts) {
    std::vector<std::string> found;
    for (std::int32_t index = 0; index < texts.childCount(); ++index) {
        Value* entry = texts.at(index);
        if (entry->typeName() != "Text" || text(*entry).empty()) {
            found.push_back(std::string(list) + "[" + std::to_string(index) + "]: no text");
        }
    }
    return found;
}

class AlbumTexts : public ::testing::Test {
protected:
    void SetUp() override {
        store = kernel::PropertyStore::create();
        const SmartPtr<kernel::ValueDocument> settings = new kernel::ValueDocument();
        settings->addFile(sourcePath(defaultSettingsFile));
        settings->addFile(sourcePath(textsFile));
        settings->load();
        kernel::ObjectFactory::instance()->createChildren(*settings);
        settings->clearAll();
    }
    void TearDown() override { kernel::PropertyStore::destroy(); }

    kernel::PropertyStore* store = nullptr;
};

// Entry 0 stands for no collectable; the ids run from 1 to 30.
TEST_F(AlbumTexts, EachCollectableHasANameADescriptionAndACondition) {
    std::vector<std::string> found;
    for (const char* list : game::ids::collectableTextLists) {
        const SmartPtr<kernel::VectorValue> texts = store->vectorRef(list);
        if (!texts) {
            found.push_back(std::string(list) + ": no Vector");
            continue;
        }
        EXPECT_EQ(texts->childCount(), game::ids::collectableCount + 1) << list;
        const std::vector<std::string> blanks = blankEntries(list, *texts);
        found.insert(found.end(), blanks.begin(), blanks.end());
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

TEST_F(AlbumTexts, TheCreditsFillWholePages) {
    const SmartPtr<kernel::VectorValue> credits = store->vectorRef(game::ids::creditsList);
    ASSERT_TRUE(credits);
    EXPECT_GT(credits->childCount(), 0);
    EXPECT_EQ(credits->childCount() % 2, 0) << "a header without a text";
    const std::vector<std::string> blanks = blankEntries(game::ids::creditsList, *credits);
    EXPECT_TRUE(blanks.empty()) << joined(blanks);
}

} // namespace
} // namespace content
