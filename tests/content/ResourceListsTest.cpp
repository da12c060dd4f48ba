// The resource lists: media/properties/resources.xml and the album's media/properties/albumpictures.
#include "ContentCheck.h"

#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/VectorValue.h"
#include "game/frontend/AlbumPictures.h"

#include <set>

namespace content {
namespace {

using kernel::SmartPtr;
using kernel::Value;

const std::set<std::string> resourceTypes = {"Image", "Font", "Sound", "Xmlfile"};

// The album's pictures and the frames of its turning sheet, as the manifest makes them.
constexpr int albumPages = 34;
constexpr int creditsCollages = 4;
constexpr int turnFrames = 16;

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
    // The album's file holds the album's pictures alone, loaded only when the album asks for them: its
    // pages' pictures and each turning strip in a section of its own.
    const std::vector<SmartPtr<Value>>& albumSections =
        resources.albumDocument->getVector("Sections").children();
    std::set<std::string> names;
    for (const SmartPtr<Value>& section : albumSections) {
        ASSERT_TRUE(section->isNode());
        names.insert(key(section->asNode(), "name"));
        EXPECT_FALSE(section->asNode().getValue("auto").asBool());
    }
    EXPECT_EQ(names,
              (std::set<std::string>{game::ids::groupAlbumPictures, game::AlbumPictures::forwardStripSection,
                                     game::AlbumPictures::backwardStripSection}))
        << game::ids::albumPicturesFile;
    EXPECT_EQ(albumSections.size(), names.size());
}

// The album asks for its pictures by a prefix and a number: every number it can ask for is there, and its
// picture is made at the size the album lays it out at.
TEST(ResourceLists, AlbumPicturesHoldEveryNumber) {
    const Resources resources;
    const Manifest manifest;
    std::vector<std::string> found;
    const auto expect = [&](const std::string& id, int width, int height, int frames,
                            const std::string& group = game::ids::groupAlbumPictures) {
        const DeclaredResource* resource = resources.find(group, id);
        if (resource == nullptr || resource->type != "Image") {
            found.push_back(id + ": no picture in " + group);
            return;
        }
        const ManifestEntry* maker = manifest.maker(kernel::normaliseResourcePath(resource->file));
        if (maker == nullptr || maker->get("width") != std::to_string(width) ||
            maker->get("height") != std::to_string(height) ||
            (frames > 1 && maker->get("frames") != std::to_string(frames))) {
            found.push_back(id + ": not made as " + std::to_string(frames) + " frame(s) of " +
                            std::to_string(width) + " x " + std::to_string(height));
        }
    };
    expect("ALBUM_TURN_FORWARD", 480, 340, turnFrames, game::AlbumPictures::forwardStripSection);
    expect("ALBUM_TURN_BACKWARD", 480, 340, turnFrames, game::AlbumPictures::backwardStripSection);
    for (int n = 1; n <= game::ids::collectableCount; ++n) {
        const std::string photo = game::ids::collectablePicturePrefix + std::to_string(n);
        expect(photo, 150, 170, 1);
        expect(photo + game::ids::collectablePictureLightSuffix, 150, 170, 1);
    }
    for (int n = 1; n <= albumPages; ++n) {
        expect(game::ids::albumLeftPagePrefix + std::to_string(n), 200, 310, 1);
    }
    for (int n = 1; n <= creditsCollages; ++n) {
        expect(game::ids::creditsLeftPagePrefix + std::to_string(n), 200, 310, 1);
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The play scenes' groups are loaded only once a mode is chosen, but the visitor's typed code works in the
// menu too: its picture is also declared, as the same file, in a group the front end loads, which makes
// the two declarations one resource.
TEST(ResourceLists, TheVisitorIsLoadedWithTheFrontEnd) {
    const Resources resources;
    const DeclaredResource* inPlay = resources.find(game::ids::groupPibbles, game::ids::pibbleVisitor);
    ASSERT_NE(inPlay, nullptr);
    std::vector<std::string> alsoIn;
    for (const std::string& group : frontEndGroups()) {
        const DeclaredResource* early = resources.find(group, game::ids::pibbleVisitor);
        if (early != nullptr && early->type == inPlay->type && early->file == inPlay->file &&
            early->mask == inPlay->mask) {
            alsoIn.push_back(group);
        }
    }
    EXPECT_EQ(alsoIn.size(), 1u) << joined(alsoIn);
}

// The score floaters' fonts are drawn only in play: they load with the play scenes' group once a mode is
// chosen, and no group loaded before holds them too.
TEST(ResourceLists, TheFloatersFontsLoadWithPlay) {
    const Resources resources;
    for (const char* font : game::ids::floaterFonts) {
        SCOPED_TRACE(font);
        const DeclaredResource* inPlay = resources.find(game::ids::groupScenePlay, font);
        ASSERT_NE(inPlay, nullptr);
        EXPECT_EQ(inPlay->type, "Font");
        for (const std::string& group : frontEndGroups()) {
            EXPECT_EQ(resources.find(group, font), nullptr) << group;
        }
    }
}

// Each declaration makes a resource of a registered resource class, as the manager makes them.
TEST(ResourceLists, EveryDeclarationMakesAResource) {
    const Resources resources;
    std::vector<SmartPtr<Value>> sections;
    for (const SmartPtr<kernel::ValueDocument>& file : resources.definitionFiles()) {
        const std::vector<SmartPtr<Value>>& declared = file->getVector("Sections").children();
        sections.insert(sections.end(), declared.begin(), declared.end());
    }
    for (const SmartPtr<Value>& section : sections) {
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
