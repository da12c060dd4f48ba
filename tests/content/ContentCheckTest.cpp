// The content check: the game's authored data (media/properties, locale/properties and the art manifest
// media/mkmedia.xml) is read as the program reads it, and every id, class, component, resource and file that
// the code asks for must be there with the right type. A lookup of the running game never fails loudly (a
// typo gives 0, an empty text or an invisible sprite), so this is where such a typo is found.
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Button.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Label.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/ToolTip.h"
#include "engine/ui/ToolTipLabel.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#ifndef PIBBLES_CONTENT_WITH_GAME
#define PIBBLES_CONTENT_WITH_GAME 0
#endif

namespace {

namespace fs = std::filesystem;

using kernel::NodeValue;
using kernel::SmartPtr;
using kernel::Value;
using kernel::ValueDocument;

// ---------------------------------------------------------------------------------------------------------
// What the code asks for.

constexpr const char* kDefaultSettings = "media/properties/default.xml";
constexpr const char* kTexts = "locale/properties/text.xml";
constexpr const char* kDialogs = "media/properties/dialogs.xml";
constexpr const char* kResources = "media/properties/resources.xml";
constexpr const char* kManifest = "media/mkmedia.xml";
// The host reads the window's icon from here.
constexpr const char* kIcon = "media/icon.bmp";

// Plain strings of the start-up and the loading scene.
const std::vector<std::string> kStrings = {"GAME_NAME", "GAME_ID", "STRING_GROUPING_DIGIT", "MUSIC_LOADING",
                                           "MUSIC_SELECTION"};
// Texts the code shows by id (texts that declarations name are checked with the declarations).
const std::vector<std::string> kTextIds = {"TEXT_LOAD_TRANSITION", "TEXT_LOAD_FINISHED",
                                           "TEXT_FULLSCREEN_TXT", "TEXT_FULLSCREEN_HDR"};

// Every group the code requests or looks resources up in.
const std::vector<std::string> kRequestedGroups = {
    "preloading", "sceneload", "dialogs",   "buttons",    "sounds",        "sceneselection", "strip",
    "gamesounds", "pibbles",   "sceneplay", "scenepause", "sceneprogress", "backgrounds",    "albumpictures"};
// Loaded before the first scene is made.
const std::set<std::string> kStartUpGroups = {"preloading", "sceneload"};
// Loaded by the time the loading scene lets the player on: the selection scene and the dialogs of the front
// end are built after these.
const std::set<std::string> kFrontEndGroups = {"preloading", "sceneload", "dialogs",
                                               "buttons",    "sounds",    "sceneselection"};
// Dialogs that are opened only after a group of their own was requested.
const std::map<std::string, std::set<std::string>> kDialogOwnGroups = {{"DIALOG_STRIP", {"strip"}}};

// The scenes the start-up makes, with the classes each may be declared as: a scene whose own class has not
// been written yet is the game's plain scene with a background.
const std::map<std::string, std::set<std::string>> kScenes = {
    {"SCENE_LOADING", {"LoadingScene"}},
    {"SCENE_SELECTION", {"SelectionScene", "PibbleScene"}},
    {"SCENE_PLAY_VIB", {"PlaySceneVIB", "PibbleScene"}},
    {"SCENE_PLAY_RELAX", {"PlaySceneRelax", "PibbleScene"}},
    {"SCENE_PLAY_ACTION", {"PlaySceneAction", "PibbleScene"}},
};

struct Component {
    const char* name;
    const kernel::ClassInfo* kind;
};

// The components each declaration must hold, and what the code takes them for.
const std::map<std::string, std::vector<Component>> kComponents = {
    {"SCENE_LOADING",
     {{"SPRITE_LOGOANIM", &ui::Sprite::classInfo},
      {"SPRITE_LOADINGBAR", &ui::Sprite::classInfo},
      {"LABEL_INFO", &ui::Label::classInfo},
      {"LABEL_INFO_BLUR", &ui::Label::classInfo}}},
    {"DIALOG_YESNO",
     {{"MESSAGE", &ui::Label::classInfo},
      {"HEADER", &ui::Label::classInfo},
      {"BUTTON_YES", &ui::Button::classInfo},
      {"BUTTON_NO", &ui::Button::classInfo}}},
    {"DIALOG_MESSAGE",
     {{"MESSAGE", &ui::Label::classInfo},
      {"HEADER", &ui::Label::classInfo},
      {"BUTTON_OK", &ui::Button::classInfo}}},
};

const std::map<std::string, std::string> kDialogClasses = {{"DIALOG_YESNO", "DialogPibble"},
                                                           {"DIALOG_MESSAGE", "DialogPibble"}};

// The game's registered classes. Built without the game's libraries, declarations of these classes are
// left out of the checks that build objects (and said so); with them, every one must build.
const std::set<std::string> kGameClasses = {
    "PibbleScene",    "LoadingScene",         "PlayScene",           "PlaySceneAction",
    "PlaySceneRelax", "PlaySceneVIB",         "SelectionScene",      "SpriteHitMask",
    "SpriteLabel",    "PibbleHighscoreEntry", "PibblePlayer",        "PibbleDialogPainter",
    "DialogAlbum",    "DialogAlbumPage",      "DialogPibble",        "DialogCollectables",
    "DialogCredits",  "DialogGameEnd",        "DialogHelp",          "DialogHighscores",
    "DialogHint",     "DialogHowToPlay",      "DialogLevelEnd",      "DialogMenu",
    "DialogPause",    "DialogProfile",        "DialogProfileCreate", "DialogProgress",
    "DialogSettings", "DialogStatistics",     "DialogStrip",         "DialogTOC"};

const std::set<std::string> kScalarTypes = {"Integer", "Double", "Float", "Boolean", "String", "Text"};
const std::set<std::string> kResourceTypes = {"Image", "Font", "Sound", "Xmlfile"};

// The art manifest's vocabulary.
const std::set<std::string> kImageKinds = {"background", "logo",      "bar",   "frame",
                                           "button",     "fshbutton", "panel", "icon"};
const std::set<std::string> kFrameParts = {"topleft", "top",        "topright", "left",       "center",
                                           "right",   "bottomleft", "bottom",   "bottomright"};
const std::set<std::string> kSoundKinds = {"jingle", "click", "over", "plop", "swoosh", "chime", "match"};
const std::set<std::string> kMusicKinds = {"loading", "selection", "game"};
constexpr int kButtonFrames = 4;

// ---------------------------------------------------------------------------------------------------------
// Reading.

std::string sourcePath(const std::string& relative) {
    return std::string(PIBBLES_SOURCE_DIR) + "/" + relative;
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Parses the file as the program's XML library does; an empty result means it parsed.
std::string parseProblem(const std::string& relative, TiXmlDocument& document) {
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

SmartPtr<ValueDocument> loadDocument(const std::string& relative) {
    SmartPtr<ValueDocument> document = new ValueDocument(sourcePath(relative));
    document->load();
    return document;
}

std::string text(Value& value) {
    return value.isScalar() ? kernel::narrowString(value.asScalar().text()) : std::string();
}

std::string key(const NodeValue& node, const char* name) {
    return kernel::narrowString(node.getValue(name).text());
}

bool startsWith(const std::string& value, const std::string& prefix) {
    return value.compare(0, prefix.size(), prefix) == 0;
}

// Every authored XML file: the settings, declarations and resource lists, the levels, and the manifest.
std::vector<std::string> authoredFiles() {
    std::vector<std::string> files;
    for (const char* folder : {"media/properties", "locale/properties", "media/levels"}) {
        const fs::path path = sourcePath(folder);
        if (!fs::is_directory(path)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
            if (entry.is_regular_file()) {
                files.push_back(std::string(folder) + "/" + entry.path().filename().string());
            }
        }
    }
    files.push_back(kManifest);
    std::sort(files.begin(), files.end());
    return files;
}

// Ids that one element gives twice to its children: the settings tree keeps only the last of them.
void findDuplicateIds(const TiXmlElement& parent, const std::string& where, std::vector<std::string>& found) {
    std::set<std::string> seen;
    for (const TiXmlElement* child = parent.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const char* id = child->Attribute("id");
        if (id != nullptr && !seen.insert(id).second) {
            found.push_back(where + ": id \"" + id + "\" given twice");
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// The two start-up settings files.

struct Settings {
    SmartPtr<ValueDocument> defaults = loadDocument(kDefaultSettings);
    SmartPtr<ValueDocument> texts = loadDocument(kTexts);

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

// ---------------------------------------------------------------------------------------------------------
// The resource lists and the manifest.

struct DeclaredResource {
    std::string type;
    std::string file;
    std::string mask;
    std::string format;
};

struct Resources {
    SmartPtr<ValueDocument> document = loadDocument(kResources);
    // Group name -> resource id -> declaration.
    std::map<std::string, std::map<std::string, DeclaredResource>> groups;
    std::map<std::string, int> groupCounts;

    Resources() {
        kernel::VectorValue& sections = document->getVector("Sections");
        for (const SmartPtr<Value>& section : sections.children()) {
            if (!section->isNode()) {
                continue;
            }
            NodeValue& node = section->asNode();
            const std::string name = key(node, "name");
            ++groupCounts[name];
            std::map<std::string, DeclaredResource>& members = groups[name];
            for (const SmartPtr<Value>& child : node.children()) {
                if (child->isNode()) {
                    NodeValue& resource = child->asNode();
                    members[resource.name()] = {resource.typeName(), key(resource, "file"),
                                                key(resource, "mask"), key(resource, "format")};
                }
            }
        }
    }

    const DeclaredResource* find(const std::string& group, const std::string& id) const {
        const auto inGroup = groups.find(group);
        if (inGroup == groups.end()) {
            return nullptr;
        }
        const auto found = inGroup->second.find(id);
        return found == inGroup->second.end() ? nullptr : &found->second;
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
        const std::string problem = parseProblem(kManifest, document);
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

    void addOutput(const std::string& file, const ManifestEntry& entry) {
        if (!outputs.emplace(file, &entry).second) {
            problems.push_back(kManifest + std::string(": ") + file + " is made by two entries");
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
};

// A file the program opens: authored in the source tree, or made by the generator.
bool isProvided(const std::string& runPath, const Manifest& manifest) {
    return manifest.maker(runPath) != nullptr || fs::is_regular_file(sourcePath(runPath));
}

bool isPositiveInteger(const std::string& value) {
    return !value.empty() && value.size() < 6 &&
           std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c) != 0; }) &&
           std::stoi(value) > 0;
}

bool isColour(const std::string& value) {
    return value.size() == 7 && value[0] == '#' &&
           std::all_of(value.begin() + 1, value.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

template <class Container> std::string joined(const Container& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += "\n  " + line;
    }
    return all;
}

// ---------------------------------------------------------------------------------------------------------
// Every file parses.

TEST(AuthoredFiles, ParseAndStayAscii) {
    for (const std::string& file : authoredFiles()) {
        TiXmlDocument document;
        EXPECT_EQ(parseProblem(file, document), "");
        std::string bytes;
        ASSERT_TRUE(readFile(sourcePath(file), bytes)) << file;
        const auto wide = std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
        EXPECT_EQ(wide, bytes.end()) << file << ": a byte beyond ASCII at offset " << (wide - bytes.begin());
    }
}

TEST(AuthoredFiles, NoIdIsGivenTwice) {
    std::vector<std::string> found;
    for (const char* file : {kDefaultSettings, kTexts, kDialogs, kResources}) {
        TiXmlDocument document;
        ASSERT_EQ(parseProblem(file, document), "");
        findDuplicateIds(*document.RootElement(), file, found);
        for (const TiXmlElement* top = document.RootElement()->FirstChildElement(); top;
             top = top->NextSiblingElement()) {
            const char* id = top->Attribute("id");
            const std::string where = std::string(file) + " " + (id ? id : top->Value());
            findDuplicateIds(*top, where, found);
            // The sections and the dialogs one level further down.
            for (const TiXmlElement* inner = top->FirstChildElement(); inner;
                 inner = inner->NextSiblingElement()) {
                const char* name = inner->Attribute("name");
                if (name != nullptr && std::string(inner->Value()) == "Section") {
                    findDuplicateIds(*inner, where + " " + name, found);
                }
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// ---------------------------------------------------------------------------------------------------------
// The start-up settings.

// A value that is not of a registered value type never reaches the property store, and the prefix of an id
// says which table its readers look in.
TEST(StartUpSettings, EveryValueHasTheTypeItsReadersExpect) {
    const Settings settings;
    std::vector<std::string> found;
    std::map<std::string, std::string> typeOf;
    for (const auto& [file, document] :
         {std::pair{kDefaultSettings, settings.defaults}, std::pair{kTexts, settings.texts}}) {
        for (const auto& [id, value] : document->namedChildren()) {
            const std::string& type = value->typeName();
            const std::string where = std::string(file) + " " + id + " (" + type + ")";
            if (id.empty()) {
                found.push_back(where + ": no id");
            }
            if (!kScalarTypes.contains(type) && type != "Vector" && type != "Node") {
                found.push_back(where + ": not a value type, so it is never stored");
            }
            if ((startsWith(id, "TEXT_") || startsWith(id, "TOOLTIP_")) && type != "Text") {
                found.push_back(where + ": a displayed text is a Text");
            }
            if ((startsWith(id, "STRING_") || startsWith(id, "MUSIC_") || startsWith(id, "GAME_")) &&
                type != "String") {
                found.push_back(where + ": read as a plain string, so a String");
            }
            if (startsWith(id, "CFG_") && (!kScalarTypes.contains(type) || type == "Text")) {
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

TEST(StartUpSettings, TheKeysTheCodeReadsArePresent) {
    const Settings settings;
    for (const std::string& id : kStrings) {
        Value* value = settings.find(id);
        ASSERT_NE(value, nullptr) << id;
        EXPECT_EQ(value->typeName(), "String") << id;
        EXPECT_FALSE(text(*value).empty()) << id;
    }
    EXPECT_EQ(text(*settings.find("GAME_NAME")), "Pibbles");
    // The registry path and the session record are built from it.
    const std::string gameId = text(*settings.find("GAME_ID"));
    EXPECT_EQ(gameId.find_first_of("\\/ "), std::string::npos) << gameId;
    // Narrowed to its low byte wherever it is shown: one ASCII character.
    EXPECT_EQ(text(*settings.find("STRING_GROUPING_DIGIT")).size(), 1u);
    for (const std::string& id : kTextIds) {
        EXPECT_TRUE(settings.isText(id)) << id;
    }
}

// The start-up's own path: both files into one document, every typed value into the property store.
TEST(StartUpSettings, ReachThePropertyStore) {
    kernel::PropertyStore* store = kernel::PropertyStore::create();
    {
        SmartPtr<ValueDocument> document = new ValueDocument();
        document->addFile(sourcePath(kDefaultSettings));
        document->addFile(sourcePath(kTexts));
        document->load();
        kernel::ObjectFactory::instance()->createChildren(*document);
        document->clearAll();
    }
    EXPECT_EQ(store->stringRef("GAME_NAME"), "Pibbles");
    for (const std::string& id : kStrings) {
        EXPECT_FALSE(store->stringRef(id).empty()) << id;
    }
    for (const std::string& id : kTextIds) {
        EXPECT_FALSE(kernel::PropertyStore::getText(id).empty()) << id;
    }
    kernel::PropertyStore::destroy();
}

// ---------------------------------------------------------------------------------------------------------
// The resource lists.

TEST(ResourceLists, DefaultsAndEveryRequestedGroupAreDeclared) {
    const Resources resources;
    ASSERT_TRUE(resources.document->hasChild("ResourceDefaults"));
    const NodeValue& defaults = resources.document->getNode("ResourceDefaults");
    ASSERT_TRUE(defaults.hasChild("oggtowav"));
    EXPECT_TRUE(defaults.getValue("oggtowav").asBool());
    for (const std::string& group : kRequestedGroups) {
        EXPECT_EQ(resources.groupCounts.count(group), 1u) << "group \"" << group << "\" is not declared";
    }
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
        NodeValue& node = section->asNode();
        const std::string name = key(node, "name");
        int declared = 0;
        for (const SmartPtr<Value>& child : node.children()) {
            if (!child->isNode()) {
                continue;
            }
            ++declared;
            EXPECT_TRUE(kResourceTypes.contains(child->typeName()))
                << name << " " << child->name() << ": no resource class " << child->typeName();
            EXPECT_FALSE(child->name().empty()) << name << ": a resource without an id";
            EXPECT_FALSE(key(child->asNode(), "file").empty() && key(child->asNode(), "mask").empty())
                << name << " " << child->name() << ": no file";
            if (child->typeName() == "Font") {
                EXPECT_FALSE(key(child->asNode(), "format").empty()) << name << " " << child->name();
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
                                    kManifest);
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
    for (const SmartPtr<ValueDocument>& document : {settings.defaults, settings.texts}) {
        for (const auto& [id, value] : document->namedChildren()) {
            if (!startsWith(id, "MUSIC_")) {
                continue;
            }
            ++tunes;
            const ManifestEntry* maker = manifest.maker(text(*value));
            ASSERT_NE(maker, nullptr) << id << ": " << text(*value) << " is not in " << kManifest;
            EXPECT_EQ(maker->element, "music") << id;
        }
    }
    EXPECT_GE(tunes, 2);
}

// ---------------------------------------------------------------------------------------------------------
// The art manifest.

TEST(ArtManifest, EntriesAreWellFormed) {
    const Manifest manifest;
    std::vector<std::string> found = manifest.problems;
    std::set<std::string> fonts;
    for (const ManifestEntry& entry : manifest.entries) {
        if (entry.element == "font") {
            fonts.insert(entry.get("file"));
        }
    }
    for (const ManifestEntry& entry : manifest.entries) {
        const std::string file = entry.get("file");
        const std::string kind = entry.get("kind");
        const std::string where = "<" + entry.element + " file=\"" + file + "\">";
        if (file.empty() || file.find("..") != std::string::npos || file.front() == '/') {
            found.push_back(where + ": needs a relative file below media/");
        }
        if (entry.element == "font") {
            if (!isPositiveInteger(entry.get("size"))) {
                found.push_back(where + ": size");
            }
            for (const char* colour : {"color", "outline"}) {
                if (!isColour(entry.get(colour))) {
                    found.push_back(where + ": " + colour + " is no #RRGGBB");
                }
            }
        } else if (entry.element == "image") {
            if (!kImageKinds.contains(kind)) {
                found.push_back(where + ": kind \"" + kind + "\"");
            }
            if (!isPositiveInteger(entry.get("width")) || !isPositiveInteger(entry.get("height"))) {
                found.push_back(where + ": width and height");
            }
            if (entry.attributes.contains("frames") && !isPositiveInteger(entry.get("frames"))) {
                found.push_back(where + ": frames");
            }
            if ((kind == "button" || kind == "fshbutton") &&
                entry.get("frames") != std::to_string(kButtonFrames)) {
                found.push_back(where + ": a button has four frames");
            }
            if (kind == "frame" && !kFrameParts.contains(entry.get("part"))) {
                found.push_back(where + ": a frame piece names its part");
            }
            if (entry.attributes.contains("orientation") && entry.get("orientation") != "horizontal" &&
                entry.get("orientation") != "vertical") {
                found.push_back(where + ": orientation is horizontal or vertical");
            }
            if (entry.attributes.contains("color") && !isColour(entry.get("color"))) {
                found.push_back(where + ": color is no #RRGGBB");
            }
            if (entry.attributes.contains("font") && !fonts.contains(entry.get("font"))) {
                found.push_back(where + ": no font entry " + entry.get("font"));
            }
            const std::string extension = kernel::fileExtensionLower(file);
            if (extension != "png" && extension != "jpg" && !(kind == "icon" && extension == "bmp")) {
                found.push_back(where + ": a picture is a PNG or a JPEG file");
            }
        } else if (entry.element == "sound") {
            const std::string extension = kernel::fileExtensionLower(file);
            if (!kSoundKinds.contains(kind) || (extension != "wav" && extension != "ogg")) {
                found.push_back(where + ": a sound is a WAV or an OGG file of a known kind");
            }
        } else if (entry.element == "music") {
            if (!kMusicKinds.contains(kind) || kernel::fileExtensionLower(file) != "ogg") {
                found.push_back(where + ": music is an OGG file of a known kind");
            }
        } else {
            found.push_back(where + ": the generator makes no such thing");
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// Nothing is generated that nobody loads.
TEST(ArtManifest, EveryEntryIsUsed) {
    const Manifest manifest;
    const Resources resources;
    const Settings settings;
    std::set<std::string> used = {kIcon};
    for (const auto& [group, members] : resources.groups) {
        for (const auto& [id, resource] : members) {
            for (const std::string& file : {resource.file, resource.mask, resource.format}) {
                used.insert(kernel::normaliseResourcePath(file));
            }
        }
    }
    for (const SmartPtr<ValueDocument>& document : {settings.defaults, settings.texts}) {
        for (const auto& [id, value] : document->namedChildren()) {
            if (startsWith(id, "MUSIC_")) {
                used.insert(text(*value));
            }
        }
    }
    // A font entry that only gives a picture's caption its look.
    for (const ManifestEntry& entry : manifest.entries) {
        if (entry.element == "image" && entry.attributes.contains("font")) {
            used.insert("media/" + entry.get("font") + ".png");
            used.insert("media/" + entry.get("font") + ".xml");
        }
    }
    ASSERT_NE(manifest.maker(kIcon), nullptr) << "the window's icon";
    for (const auto& [file, entry] : manifest.outputs) {
        EXPECT_TRUE(used.contains("media/" + file)) << file << " is generated but nothing names it";
    }
}

// ---------------------------------------------------------------------------------------------------------
// The declarations, built as the game builds them.

class Declarations : public ::testing::Test {
protected:
    void SetUp() override {
        kernel::PropertyStore::create();
        SmartPtr<ValueDocument> settings = new ValueDocument();
        settings->addFile(sourcePath(kDefaultSettings));
        settings->addFile(sourcePath(kTexts));
        settings->load();
        kernel::ObjectFactory::instance()->createChildren(*settings);
        settings->clearAll();
        ui::SceneManager::create();
        dialogs = ui::DialogManager::create(sourcePath(kDialogs));
    }
    void TearDown() override {
        ui::DialogManager::destroy();
        ui::SceneManager::destroy();
        kernel::PropertyStore::destroy();
    }

    // False (and said so) for a game class while the game's libraries are not linked in.
    static bool canBuild(const std::string& type) {
        if (!PIBBLES_CONTENT_WITH_GAME && kGameClasses.contains(type)) {
            std::cout << "[ content  ] " << type << " is the game's: not built without the game\n";
            return false;
        }
        return true;
    }

    ui::Dialog* buildDialog(const std::string& name, const std::string& type) {
        kernel::Object* made = dialogs->createDialog(name);
        held.push_back(made);
        EXPECT_NE(made, nullptr) << name << " (" << type << ") builds nothing";
        if (made == nullptr) {
            return nullptr;
        }
        EXPECT_TRUE(made->isKindOf(ui::Dialog::classInfo)) << name << " is no dialog";
        return made->isKindOf(ui::Dialog::classInfo) ? static_cast<ui::Dialog*>(made) : nullptr;
    }

    void expectComponents(const std::string& name, ui::Dialog& dialog) {
        for (const Component& component : kComponents.at(name)) {
            ui::GameNode* found = dialog.findComponent(component.name);
            ASSERT_NE(found, nullptr) << name << " has no component " << component.name;
            EXPECT_TRUE(found->isKindOf(*component.kind))
                << name << " " << component.name << " is of another kind";
        }
    }

    ui::DialogManager* dialogs = nullptr;
    std::vector<SmartPtr<kernel::Object>> held;
};

// A tag that no class is registered under builds nothing, anywhere in the tree.
TEST_F(Declarations, EveryTagNamesARegisteredClass) {
    std::vector<std::string> found;
    const std::function<void(Value&, const std::string&)> visit = [&](Value& value, const std::string& path) {
        if (value.isNode()) {
            const std::string& type = value.typeName();
            const bool known = kernel::ObjectFactory::instance()->hasCreator(type) ||
                               (!PIBBLES_CONTENT_WITH_GAME && kGameClasses.contains(type));
            if (!known) {
                found.push_back(path + ": no class \"" + type + "\"");
            }
            for (const auto& [name, child] : value.asNode().namedChildren()) {
                visit(*child, path + "/" + name);
            }
        } else if (value.isVector()) {
            int index = 0;
            for (const SmartPtr<Value>& child : value.asVector().children()) {
                visit(*child, path + "[" + std::to_string(index++) + "]");
            }
        }
    };
    for (const auto& [name, child] : dialogs->getDocument().namedChildren()) {
        visit(*child, name);
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// Every scene and dialog of "dialogs" is a dialog once built; every other top-level declaration (painters,
// the tool-tip, the full-screen handler) builds an object.
TEST_F(Declarations, EveryDeclarationBuilds) {
    for (const auto& [name, declaration] : dialogs->getDocument().namedChildren()) {
        if (!declaration->isNode() || !canBuild(declaration->typeName())) {
            continue;
        }
        if (name != "dialogs") {
            const SmartPtr<kernel::Object> made = dialogs->createObject(name);
            EXPECT_NE(made, nullptr) << name << " (" << declaration->typeName() << ") builds nothing";
            continue;
        }
        for (const auto& [inner, child] : declaration->asNode().namedChildren()) {
            if (child->isNode() && canBuild(child->typeName())) {
                buildDialog(inner, child->typeName());
            }
        }
    }
}

TEST_F(Declarations, TheScenesBuildWithTheirComponents) {
    for (const auto& [name, classes] : kScenes) {
        const NodeValue& declaration = dialogs->findDeclaration(name);
        ASSERT_NE(&declaration, &kernel::DUMMY_NODE()) << name << " is not declared in \"dialogs\"";
        const std::string& type = declaration.typeName();
        EXPECT_TRUE(classes.contains(type)) << name << " is declared as " << type;
        if (!canBuild(type)) {
            continue;
        }
        ui::Dialog* scene = buildDialog(name, type);
        ASSERT_NE(scene, nullptr);
        EXPECT_TRUE(scene->isKindOf(ui::Scene::classInfo)) << name << " is no scene";
        EXPECT_EQ(scene->getWidth(), 640) << name;
        EXPECT_EQ(scene->getHeight(), 480) << name;
        EXPECT_TRUE(declaration.hasChild("scenebackground")) << name << " has no background";
        if (kComponents.contains(name)) {
            expectComponents(name, *scene);
        }
    }
}

TEST_F(Declarations, TheBoxesBuildWithTheirComponents) {
    for (const auto& [name, type] : kDialogClasses) {
        const NodeValue& declaration = dialogs->findDeclaration(name);
        ASSERT_NE(&declaration, &kernel::DUMMY_NODE()) << name << " is not declared in \"dialogs\"";
        EXPECT_EQ(declaration.typeName(), type) << name;
        if (!canBuild(declaration.typeName())) {
            continue;
        }
        ui::Dialog* dialog = buildDialog(name, type);
        ASSERT_NE(dialog, nullptr);
        EXPECT_GT(dialog->getWidth(), 0) << name;
        EXPECT_GT(dialog->getHeight(), 0) << name;
        expectComponents(name, *dialog);
    }
}

TEST_F(Declarations, TheDefaultToolTipHasALabel) {
    ASSERT_TRUE(dialogs->getDocument().hasChild("DEFAULT_TOOLTIP"));
    const SmartPtr<kernel::Object> made = dialogs->createObject("DEFAULT_TOOLTIP");
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(made->isKindOf(ui::ToolTip::classInfo));
    const ui::Sprite* renderer = static_cast<ui::ToolTip*>(made.get())->getRenderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(renderer->isKindOf(ui::ToolTipLabel::classInfo));
}

TEST_F(Declarations, TheFullScreenHandlerHasItsThreeButtons) {
    ASSERT_TRUE(dialogs->getDocument().hasChild("DEFAULT_FSH"));
    const SmartPtr<kernel::Object> made = dialogs->createObject("DEFAULT_FSH");
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(made->isKindOf(ui::FullScreenHandler::classInfo));
    const auto* handler = static_cast<ui::FullScreenHandler*>(made.get());
    EXPECT_NE(handler->getButtonMinimize(), nullptr);
    EXPECT_NE(handler->getButtonRestore(), nullptr);
    EXPECT_NE(handler->getButtonQuit(), nullptr);
}

// Images and fonts are fetched when a declaration is built (a dialog's frame at its first painting), and a
// resource whose group is not loaded yet is simply missing: each must be declared, of its class, in a group
// that is in by then. Sounds are fetched when played, texts from the settings.
class ResourceNames {
public:
    ResourceNames(const Resources& resources, const Settings& settings, const Manifest& manifest,
                  const ValueDocument& dialogs)
        : resources(resources), settings(settings), manifest(manifest), dialogs(dialogs) {}

    std::vector<std::string> found;

    void checkAll() {
        for (const auto& [name, child] : dialogs.namedChildren()) {
            if (name == "dialogs") {
                for (const auto& [inner, declaration] : child->asNode().namedChildren()) {
                    checkDeclaration(inner, *declaration);
                }
            } else {
                checkTopLevel(name, *child);
            }
        }
    }

private:
    // Groups in by the time the declaration is built; empty: any declared group.
    using Groups = std::set<std::string>;

    void checkDeclaration(const std::string& name, Value& declaration) {
        if (!declaration.isNode()) {
            return;
        }
        const bool scene = startsWith(name, "SCENE_");
        Groups built = scene ? kStartUpGroups : kFrontEndGroups;
        if (const auto own = kDialogOwnGroups.find(name); own != kDialogOwnGroups.end()) {
            built.insert(own->second.begin(), own->second.end());
        }
        // A scene's background and "scenecomponents" come with its first entry.
        Groups entered = built;
        if (name == "SCENE_SELECTION") {
            entered = kFrontEndGroups;
        } else if (scene && name != "SCENE_LOADING") {
            entered.clear();
        }
        NodeValue& node = declaration.asNode();
        visit(node, name, built, entered);
        if (node.hasChild("scenebackground")) {
            expectResource(name + " scenebackground", key(node, "section"), key(node, "scenebackground"),
                           "Image", entered);
        }
    }

    void checkTopLevel(const std::string& name, Value& declaration) {
        if (!declaration.isNode()) {
            return;
        }
        // Built at start-up or by the first scene that is loaded.
        const bool early = name == "DEFAULT_FSH" || name == "DEFAULT_TOOLTIP";
        visit(declaration.asNode(), name, early ? kStartUpGroups : Groups{}, Groups{});
    }

    void visit(NodeValue& node, const std::string& path, const Groups& built, const Groups& entered) {
        checkKeys(node, path, built);
        for (const auto& [name, child] : node.namedChildren()) {
            const Groups& groups = name == "scenecomponents" ? entered : built;
            if (child->isNode()) {
                visit(child->asNode(), path + "/" + name, groups, entered);
            } else if (child->isVector()) {
                int index = 0;
                for (const SmartPtr<Value>& element : child->asVector().children()) {
                    if (element->isNode()) {
                        const std::string label = key(element->asNode(), "name");
                        visit(element->asNode(),
                              path + "/" + name + "[" + (label.empty() ? std::to_string(index) : label) + "]",
                              groups, entered);
                    }
                    ++index;
                }
            }
        }
    }

    void checkKeys(NodeValue& node, const std::string& path, const Groups& groups) {
        const std::string section = key(node, "section");
        for (const auto& [name, type] : {std::pair{"image", "Image"}, std::pair{"background", "Image"},
                                         std::pair{"hitmask", "Image"}, std::pair{"font", "Font"}}) {
            if (node.hasChild(name)) {
                expectResource(path + " " + name, section, key(node, name), type, groups);
            }
        }
        if (node.hasChild("image") && node.hasChild("framecount")) {
            const std::string orientation = !node.hasChild("horizontalframelayout")           ? ""
                                            : node.getValue("horizontalframelayout").asBool() ? "horizontal"
                                                                                              : "vertical";
            expectFrames(path, section, key(node, "image"), key(node, "framecount"), orientation);
        }
        if (node.typeName() == "Button" && node.hasChild("image")) {
            expectFrames(path, section, key(node, "image"), std::to_string(kButtonFrames), "");
        }
        for (const char* sound : {"clicksound", "oversound", "disabledsound"}) {
            if (node.hasChild(sound)) {
                expectResource(path + " " + sound, key(node, "soundsection"), key(node, sound), "Sound", {});
            }
        }
        for (const char* textKey : {"textid", "tooltip"}) {
            if (node.hasChild(textKey) && !settings.isText(key(node, textKey))) {
                found.push_back(path + " " + textKey + ": no Text \"" + key(node, textKey) + "\"");
            }
        }
        if (node.hasChild("painterid")) {
            const std::string painter = key(node, "painterid");
            Value* declaration = dialogs.findChild(painter);
            if (declaration == nullptr || !declaration->isNode()) {
                found.push_back(path + " painterid: no top-level declaration \"" + painter + "\"");
            } else {
                // The frame is drawn at the dialog's first painting, with the dialog's groups in.
                checkPainterImages(declaration->asNode(), path + " painter " + painter, groups);
            }
        }
        if (node.hasChild("images")) {
            checkPainterImages(node, path, {});
        }
    }

    void checkPainterImages(NodeValue& painter, const std::string& path, const Groups& groups) {
        const std::string section = key(painter, "section");
        for (const SmartPtr<Value>& image : painter.getVector("images").children()) {
            if (!text(*image).empty()) {
                expectResource(path + " images", section, text(*image), "Image", groups);
            }
        }
    }

    void expectResource(const std::string& where, const std::string& group, const std::string& id,
                        const std::string& type, const Groups& groups) {
        const DeclaredResource* resource = resources.find(group, id);
        if (resource == nullptr) {
            found.push_back(where + ": no resource \"" + id + "\" in group \"" + group + "\"");
        } else if (resource->type != type) {
            found.push_back(where + ": \"" + id + "\" is a " + resource->type + ", not a " + type);
        } else if (!groups.empty() && !groups.contains(group)) {
            found.push_back(where + ": group \"" + group + "\" is not loaded yet when this is built");
        }
    }

    // The frames a declaration cuts are the frames the picture is drawn with, laid out the same way: along
    // the sprite's declared layout, and one below the other for buttons and sprites that declare none.
    void expectFrames(const std::string& where, const std::string& group, const std::string& id,
                      const std::string& frames, const std::string& orientation) {
        const DeclaredResource* resource = resources.find(group, id);
        const ManifestEntry* picture =
            resource != nullptr ? manifest.maker(kernel::normaliseResourcePath(resource->file)) : nullptr;
        if (picture == nullptr) {
            return;
        }
        if (picture->get("frames") != frames) {
            found.push_back(where + ": cuts " + frames + " frames from a picture of \"" +
                            picture->get("frames") + "\"");
        }
        const std::string drawn = picture->get("orientation");
        const bool matches =
            orientation.empty() ? drawn.empty() || drawn == "vertical" : drawn == orientation;
        if (!matches) {
            found.push_back(where + ": cuts its frames " + (orientation.empty() ? "vertical" : orientation) +
                            " from a picture whose strip is \"" + drawn + "\"");
        }
    }

    const Resources& resources;
    const Settings& settings;
    const Manifest& manifest;
    const ValueDocument& dialogs;
};

TEST_F(Declarations, EveryNamedResourceAndTextIsThere) {
    const Resources resources;
    const Settings settings;
    const Manifest manifest;
    ResourceNames names(resources, settings, manifest, dialogs->getDocument());
    names.checkAll();
    EXPECT_TRUE(names.found.empty()) << joined(names.found);
}

} // namespace
