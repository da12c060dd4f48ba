#pragma once
// The content check: the game's authored data (media/properties, locale/properties and the art manifest
// media/mkmedia.xml) is read as the program reads it, and every id, class, component, resource and file that
// the code asks for must be there with the right type. A lookup of the running game never fails loudly (a
// typo gives 0, an empty text or an invisible sprite), so this is where such a typo is found. What the
// suites share: the files, readers of them, and the declarations built as the game builds them.

#include "engine/kernel/NamedId.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/UiIds.h"
#include "game/foundation/GameIds.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#ifndef PIBBLES_CONTENT_WITH_GAME
#define PIBBLES_CONTENT_WITH_GAME 0
#endif
#ifndef PIBBLES_RUN_DIR
#define PIBBLES_RUN_DIR PIBBLES_SOURCE_DIR "/build/run"
#endif

namespace content {

using kernel::SmartPtr;
using kernel::Value;

inline constexpr const char* defaultSettingsFile = "media/properties/default.xml";
inline constexpr const char* textsFile = "locale/properties/text.xml";
inline constexpr const char* dialogsFile = "media/properties/dialogs.xml";
inline constexpr const char* resourcesFile = "media/properties/resources.xml";
inline constexpr const char* manifestFile = "media/mkmedia.xml";
// The rules of the VIB levels the build makes (tools/mklevels).
inline constexpr const char* levelRulesFile = "media/levelrules.xml";
// The host reads the window's icon from here.
inline constexpr const char* iconFile = "media/icon.bmp";
inline constexpr int buttonFrames = 4;

// The game's registered classes. Built without the game's libraries, declarations of these classes are
// left out of the checks that build objects (and said so); with them, every one must build.
inline const std::set<std::string> gameClasses = {
    "PibbleScene",    "LoadingScene",         "PlayScene",           "PlaySceneAction",
    "PlaySceneRelax", "PlaySceneVIB",         "SelectionScene",      "SpriteHitMask",
    "SpriteLabel",    "PibbleHighscoreEntry", "PibblePlayer",        "PibbleDialogPainter",
    "DialogAlbum",    "DialogAlbumPage",      "DialogPibble",        "DialogCollectables",
    "DialogCredits",  "DialogGameEnd",        "DialogHelp",          "DialogHighscores",
    "DialogHint",     "DialogHowToPlay",      "DialogLevelEnd",      "DialogMenu",
    "DialogPause",    "DialogProfile",        "DialogProfileCreate", "DialogProgress",
    "DialogSettings", "DialogStatistics",     "DialogStrip",         "DialogTOC"};

// The ids every layer's code names (the engine's and the game's lists), and those whose declarations come
// later with the code that opens them.
inline std::vector<kernel::NamedId> namedIds() {
    std::vector<kernel::NamedId> all;
    using List = std::span<const kernel::NamedId>;
    for (const List list : {List(kernel::ids::named), List(ui::ids::named), List(game::ids::named)}) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

inline std::vector<kernel::NamedId> awaitedIds() {
    return {std::begin(game::ids::awaited), std::end(game::ids::awaited)};
}

// Loaded before the first scene is made; loaded by the time the loading scene lets the player on.
inline std::set<std::string> startUpGroups() {
    return {std::begin(game::ids::startUpGroups), std::end(game::ids::startUpGroups)};
}

inline std::set<std::string> frontEndGroups() {
    std::set<std::string> groups = startUpGroups();
    groups.insert(std::begin(game::ids::frontEndGroups), std::end(game::ids::frontEndGroups));
    return groups;
}

// A class of the game's while the game's libraries are not linked in.
inline bool isGameClass(const std::string& type) {
    return !PIBBLES_CONTENT_WITH_GAME && gameClasses.contains(type);
}

inline std::string sourcePath(const std::string& relative) {
    return std::string(PIBBLES_SOURCE_DIR) + "/" + relative;
}

// A file of the runnable tree the build assembles: where the files the build makes are found.
inline std::string runPath(const std::string& relative) {
    return std::string(PIBBLES_RUN_DIR) + "/" + relative;
}

inline bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}
// Parses the file as the program's XML library does; an empty result means it parsed.
inline std::string parseProblem(const std::string& relative, TiXmlDocument& document) {
    std::string text;
    if (!readFile(sourcePath(relative), text)) {
        return relative + ": cannot be read";
    }
    document.Parse(text.c_str());
    if (document.Error()) {
        return relative + ":" + std::to_string(document.ErrorRow()) + ": " + document.ErrorDesc();
    }
    if (document.RootElement() == nullptr) {
        return relative + ": no root element";
    }
    return {};
}

inline SmartPtr<kernel::ValueDocument> loadDocument(const std::string& relative) {
    SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(sourcePath(relative));
    document->load();
    return document;
}

inline std::string text(Value& value) {
    return value.isScalar() ? kernel::narrowString(value.asScalar().text()) : std::string();
}

inline std::string key(const kernel::NodeValue& node, const char* name) {
    return kernel::narrowString(node.getValue(name).text());
}

inline bool startsWith(const std::string& value, const std::string& prefix) {
    return value.compare(0, prefix.size(), prefix) == 0;
}

inline std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += "\n  " + line;
    }
    return all;
}

// The two start-up settings files.
struct Settings {
    kernel::SmartPtr<kernel::ValueDocument> defaults = loadDocument(defaultSettingsFile);
    kernel::SmartPtr<kernel::ValueDocument> texts = loadDocument(textsFile);

    // The value as the start-up's one document holds it: the later file wins.
    Value* find(const std::string& id) const {
        if (Value* value = texts->findChild(id)) {
            return value;
        }
        return defaults->findChild(id);
    }
    bool isText(const std::string& id) const {
        Value* value = find(id);
        return value != nullptr && value->typeName() == "Text" && !text(*value).empty();
    }
};

struct DeclaredResource {
    std::string type;
    std::string file;
    std::string mask;
    std::string format;
};

// The resource lists: resources.xml, read at start-up, and the album's pictures, read once the start-up
// groups are loaded. Their groups are held together, as the resource manager holds them.
struct Resources {
    kernel::SmartPtr<kernel::ValueDocument> document = loadDocument(resourcesFile);
    kernel::SmartPtr<kernel::ValueDocument> albumDocument = loadDocument(game::ids::albumPicturesFile);
    // Group name -> resource id -> declaration.
    std::map<std::string, std::map<std::string, DeclaredResource>> groups;
    std::map<std::string, int> groupCounts;

    Resources() {
        for (const kernel::SmartPtr<kernel::ValueDocument>& file : definitionFiles()) {
            readSections(*file);
        }
    }
    std::vector<kernel::SmartPtr<kernel::ValueDocument>> definitionFiles() const {
        return {document, albumDocument};
    }
    const DeclaredResource* find(const std::string& group, const std::string& id) const {
        const auto inGroup = groups.find(group);
        if (inGroup == groups.end()) {
            return nullptr;
        }
        const auto found = inGroup->second.find(id);
        return found == inGroup->second.end() ? nullptr : &found->second;
    }

private:
    void readSections(kernel::ValueDocument& file) {
        for (const SmartPtr<Value>& section : file.getVector("Sections").children()) {
            if (!section->isNode()) {
                continue;
            }
            kernel::NodeValue& node = section->asNode();
            const std::string name = key(node, "name");
            ++groupCounts[name];
            std::map<std::string, DeclaredResource>& members = groups[name];
            for (const SmartPtr<Value>& child : node.children()) {
                if (child->isNode()) {
                    kernel::NodeValue& resource = child->asNode();
                    members[resource.name()] = {resource.typeName(), key(resource, "file"),
                                                key(resource, "mask"), key(resource, "format")};
                }
            }
        }
    }
};

struct ManifestEntry {
    std::string element;
    std::map<std::string, std::string> attributes;

    std::string get(const std::string& name) const {
        const auto found = attributes.find(name);
        return found == attributes.end() ? std::string() : found->second;
    }
};

// The art manifest.
struct Manifest {
    std::vector<ManifestEntry> entries;
    // Generated file (relative to media/) -> the entry that makes it.
    std::map<std::string, const ManifestEntry*> outputs;
    std::vector<std::string> problems;

    // The outputs point into the entries, so a manifest is never copied.
    Manifest(const Manifest&) = delete;
    Manifest& operator=(const Manifest&) = delete;
    Manifest() {
        TiXmlDocument document;
        const std::string problem = parseProblem(manifestFile, document);
        if (!problem.empty()) {
            problems.push_back(problem);
            return;
        }
        for (const TiXmlElement* element = document.RootElement()->FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            ManifestEntry entry;
            entry.element = element->Value();
            for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
                 attribute = attribute->Next()) {
                entry.attributes[attribute->Name()] = attribute->Value();
            }
            entries.push_back(entry);
        }
        for (const ManifestEntry& entry : entries) {
            const std::string file = entry.get("file");
            if (entry.element == "font") {
                addOutput(file + ".png", entry);
                addOutput(file + ".xml", entry);
            } else {
                addOutput(file, entry);
            }
        }
    }

    // The entry that makes the file a resource or a setting names ("media/..." from the working directory).
    const ManifestEntry* maker(const std::string& runPath) const {
        if (!startsWith(runPath, "media/")) {
            return nullptr;
        }
        const auto found = outputs.find(runPath.substr(6));
        return found == outputs.end() ? nullptr : found->second;
    }

private:
    void addOutput(const std::string& file, const ManifestEntry& entry) {
        if (!outputs.emplace(file, &entry).second) {
            problems.push_back(manifestFile + std::string(": ") + file + " is made by two entries");
        }
    }
};

// A file the program opens: authored in the source tree, or made by the generator.
inline bool isProvided(const std::string& runPath, const Manifest& manifest) {
    return manifest.maker(runPath) != nullptr || std::filesystem::is_regular_file(sourcePath(runPath));
}

// The declarations of media/properties/dialogs.xml as written, and what the pictures they name are made of.
class Authored : public ::testing::Test {
protected:
    // A declaration of "dialogs", or the fallback node (and a failure).
    kernel::NodeValue& declaration(const std::string& dialog) {
        kernel::NodeValue& dialogs = declarations->getNode("dialogs");
        if (!dialogs.hasChild(dialog)) {
            ADD_FAILURE() << dialog << " is not declared";
            return kernel::DUMMY_NODE();
        }
        return dialogs.getNode(dialog);
    }
    // A dialog's declared component by its name, or the fallback node (and a failure).
    kernel::NodeValue& component(const std::string& dialog, const std::string& name) {
        const kernel::NodeValue& dialogs = declarations->getNode("dialogs");
        if (dialogs.hasChild(dialog)) {
            for (const SmartPtr<Value>& part : dialogs.getNode(dialog).getVector("components").children()) {
                if (part->isNode() && key(part->asNode(), "name") == name) {
                    return part->asNode();
                }
            }
        }
        ADD_FAILURE() << dialog << " declares no " << name;
        return kernel::DUMMY_NODE();
    }
    // The manifest entry that makes the picture a component shows, or null (and a failure).
    const ManifestEntry* pictureOf(const kernel::NodeValue& part) {
        const DeclaredResource* resource = resources.find(key(part, "section"), key(part, "image"));
        const ManifestEntry* entry =
            resource != nullptr ? manifest.maker(kernel::normaliseResourcePath(resource->file)) : nullptr;
        EXPECT_NE(entry, nullptr) << key(part, "name") << ": no picture the manifest makes";
        return entry;
    }
    const ManifestEntry* pictureOf(const std::string& group, const std::string& id) {
        const DeclaredResource* resource = resources.find(group, id);
        EXPECT_NE(resource, nullptr) << id << ": no resource in " << group;
        EXPECT_TRUE(resource == nullptr || resource->type == "Image") << id;
        const ManifestEntry* entry =
            resource != nullptr ? manifest.maker(kernel::normaliseResourcePath(resource->file)) : nullptr;
        EXPECT_TRUE(resource == nullptr || entry != nullptr) << id << ": no picture the manifest makes";
        return entry;
    }
    static int number(const ManifestEntry& entry, const std::string& name) {
        return std::atoi(entry.get(name).c_str());
    }

    SmartPtr<kernel::ValueDocument> declarations = loadDocument(dialogsFile);
    const Resources resources;
    const Manifest manifest;
};

// The settings in the property store and the dialog file read, as at start-up.
class BuiltDeclarations : public ::testing::Test {
protected:
    void SetUp() override {
        kernel::PropertyStore::create();
        SmartPtr<kernel::ValueDocument> settings = new kernel::ValueDocument();
        settings->addFile(sourcePath(defaultSettingsFile));
        settings->addFile(sourcePath(textsFile));
        settings->load();
        kernel::ObjectFactory::instance()->createChildren(*settings);
        settings->clearAll();
        ui::SceneManager::create();
        dialogs = ui::DialogManager::create(sourcePath(dialogsFile));
    }
    void TearDown() override {
        built.clear();
        ui::DialogManager::destroy();
        ui::SceneManager::destroy();
        kernel::PropertyStore::destroy();
    }

    // False (and said so) for a game class while the game's libraries are not linked in.
    static bool canBuild(const std::string& type) {
        if (isGameClass(type)) {
            std::cout << "[ content  ] " << type << " is the game's: not built without the game\n";
            return false;
        }
        return true;
    }
    // A scene or dialog of "dialogs", built once and kept; null (and a failure) when it builds no dialog.
    ui::Dialog* dialog(const std::string& name) {
        auto found = built.find(name);
        if (found == built.end()) {
            found = built.emplace(name, dialogs->createDialog(name)).first;
            EXPECT_NE(found->second, nullptr) << name << " builds nothing";
        }
        kernel::Object* made = found->second.get();
        if (made == nullptr) {
            return nullptr;
        }
        EXPECT_TRUE(made->isKindOf(ui::Dialog::classInfo)) << name << " is no dialog";
        return made->isKindOf(ui::Dialog::classInfo) ? static_cast<ui::Dialog*>(made) : nullptr;
    }

    ui::DialogManager* dialogs = nullptr;
    std::map<std::string, kernel::SmartPtr<kernel::Object>> built;
};

} // namespace content
