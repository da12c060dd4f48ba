// The start-up settings: media/properties/default.xml, then locale/properties/text.xml.
#include "ContentCheck.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "game/foundation/GameIds.h"

namespace content {
namespace {

const std::set<std::string> scalarTypes = {"Integer", "Double", "Float", "Boolean", "String", "Text"};

// A value that is not of a registered value type never reaches the property store, and the prefix of an id
// says which table its readers look in.
TEST(StartUpSettings, EveryValueHasTheTypeItsReadersExpect) {
    const Settings settings;
    std::vector<std::string> found;
    std::map<std::string, std::string> typeOf;
    for (const auto& [file, document] :
         {std::pair{defaultSettingsFile, settings.defaults}, std::pair{textsFile, settings.texts}}) {
        for (const auto& [id, value] : document->namedChildren()) {
            const std::string& type = value->typeName();
            const std::string where = std::string(file) + " " + id + " (" + type + ")";
            if (id.empty()) {
                found.push_back(where + ": no id");
            }
            if (!scalarTypes.contains(type) && type != "Vector" && type != "Node") {
                found.push_back(where + ": not a value type, so it is never stored");
            }
            if ((startsWith(id, "TEXT_") || startsWith(id, "TOOLTIP_")) && type != "Text") {
                found.push_back(where + ": a displayed text is a Text");
            }
            if ((startsWith(id, "STRING_") || startsWith(id, "MUSIC_") || startsWith(id, "GAME_")) &&
                type != "String") {
                found.push_back(where + ": read as a plain string, so a String");
            }
            if (startsWith(id, "CFG_") && (!scalarTypes.contains(type) || type == "Text")) {
                found.push_back(where + ": a tuning value is a number (or a String)");
            }
            const auto [earlier, fresh] = typeOf.emplace(id, type);
            if (!fresh && earlier->second != type) {
                found.push_back(where + ": the other file declares it as " + earlier->second);
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The start-up's own path, both files into one document and every typed value into the property store,
// gives every string and text the code reads; some values are used in ways that bound them.
TEST(StartUpSettings, ReachThePropertyStoreWithWhatTheCodeReads) {
    kernel::PropertyStore* store = kernel::PropertyStore::create();
    {
        kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument();
        document->addFile(sourcePath(defaultSettingsFile));
        document->addFile(sourcePath(textsFile));
        document->load();
        kernel::ObjectFactory::instance()->createChildren(*document);
        document->clearAll();
    }
    int read = 0;
    for (const kernel::NamedId& named : namedIds()) {
        if (named.kind == kernel::IdKind::String) {
            EXPECT_FALSE(store->stringRef(named.id).empty()) << named.id;
        } else if (named.kind == kernel::IdKind::Text) {
            EXPECT_FALSE(kernel::PropertyStore::getText(named.id).empty()) << named.id;
        } else {
            continue;
        }
        ++read;
    }
    EXPECT_GE(read, 2);
    EXPECT_EQ(store->stringRef(kernel::ids::gameName), "Pibbles");
    // The registry path and the session record are built from it.
    const std::string gameId = store->stringRef(game::ids::gameId);
    EXPECT_EQ(gameId.find_first_of("\\/ "), std::string::npos) << gameId;
    // Narrowed to its low byte wherever it is shown: one ASCII character.
    EXPECT_EQ(store->stringRef(game::ids::groupingDigit).size(), 1u);
    kernel::PropertyStore::destroy();
}

} // namespace
} // namespace content
