// The resource lists: media/properties/resources.xml.
#include "ContentCheck.h"

#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/VectorValue.h"

namespace content {
namespace {

using kernel::SmartPtr;
using kernel::Value;

const std::set<std::string> resourceTypes = {"Image", "Font", "Sound", "Xmlfile"};

TEST(ResourceLists, DefaultsAndEachGroupDeclaredOnce) {
    const Resources resources;
    ASSERT_TRUE(resources.document->hasChild("ResourceDefaults"));
    const kernel::NodeValue& defaults = resources.document->getNode("ResourceDefaults");
    ASSERT_TRUE(defaults.hasChild("oggtowav"));
    EXPECT_TRUE(defaults.getValue("oggtowav").asBool());
    for (const auto& [group, count] : resources.groupCounts) {
        EXPECT_FALSE(group.empty()) << "a section without a name";
        EXPECT_EQ(count, 1) << "group \"" << group << "\" is declared " << count << " times";
    }
    // Loaded only when the album asks for it.
    for (const SmartPtr<Value>& section : resources.document->getVector("Sections").children()) {
        if (section->isNode() && key(section->asNode(), "name") == "albumpictures") {
            EXPECT_FALSE(section->asNode().getValue("auto").asBool());
        }
    }
}

// Each declaration makes a resource of a registered resource class, as the manager makes them.
TEST(ResourceLists, EveryDeclarationMakesAResource) {
    const Resources resources;
    for (const SmartPtr<Value>& section : resources.document->getVector("Sections").children()) {
        ASSERT_TRUE(section->isNode()) << "an element of \"Sections\" that is no section";
        kernel::NodeValue& node = section->asNode();
        const std::string name = key(node, "name");
        int declared = 0;
        for (const SmartPtr<Value>& child : node.children()) {
            if (!child->isNode()) {
                continue;
            }
            ++declared;
            const std::string where = name + " " + child->name();
            EXPECT_TRUE(resourceTypes.contains(child->typeName()))
                << where << ": no resource class " << child->typeName();
            EXPECT_FALSE(child->name().empty()) << name << ": a resource without an id";
            EXPECT_FALSE(key(child->asNode(), "file").empty() && key(child->asNode(), "mask").empty())
                << where << ": no file";
            if (child->typeName() == "Font") {
                EXPECT_FALSE(key(child->asNode(), "format").empty()) << where;
            }
        }
        const SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(node);
        EXPECT_EQ(group->name(), name);
        EXPECT_EQ(static_cast<int>(group->resources().size()), declared) << name;
    }
}

TEST(ResourceLists, EveryFileIsAuthoredOrGenerated) {
    const Resources resources;
    const Manifest manifest;
    ASSERT_TRUE(manifest.problems.empty()) << joined(manifest.problems);
    std::vector<std::string> found;
    for (const auto& [group, members] : resources.groups) {
        for (const auto& [id, resource] : members) {
            for (const std::string& file : {resource.file, resource.mask, resource.format}) {
                const std::string path = kernel::normaliseResourcePath(file);
                if (!path.empty() && !isProvided(path, manifest)) {
                    found.push_back(group + " " + id + ": " + path + " is neither authored nor in " +
                                    manifestFile);
                }
            }
            const ManifestEntry* picture = manifest.maker(kernel::normaliseResourcePath(resource.file));
            if (resource.type == "Font" && picture != nullptr && picture->element != "font") {
                found.push_back(group + " " + id + ": a font's picture must come from a font entry");
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

TEST(ResourceLists, EveryMusicStringNamesAGeneratedFile) {
    const Settings settings;
    const Manifest manifest;
    int tunes = 0;
    for (const SmartPtr<kernel::ValueDocument>& document : {settings.defaults, settings.texts}) {
        for (const auto& [id, value] : document->namedChildren()) {
            if (!startsWith(id, "MUSIC_")) {
                continue;
            }
            ++tunes;
            const ManifestEntry* maker = manifest.maker(text(*value));
            ASSERT_NE(maker, nullptr) << id << ": " << text(*value) << " is not in " << manifestFile;
            EXPECT_EQ(maker->element, "music") << id;
        }
    }
    EXPECT_GE(tunes, 2);
}

} // namespace
} // namespace content
