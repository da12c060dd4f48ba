#include "ContentCheck.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/UiIds.h"
#include "game/foundation/GameIds.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace content {

namespace fs = std::filesystem;
using kernel::SmartPtr;
using kernel::Value;

namespace {

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

template <class List> void append(std::vector<kernel::NamedId>& all, const List& list) {
    all.insert(all.end(), std::begin(list), std::end(list));
}

} // namespace

bool isGameClass(const std::string& type) {
    return !PIBBLES_CONTENT_WITH_GAME && kGameClasses.contains(type);
}

std::vector<kernel::NamedId> namedIds() {
    std::vector<kernel::NamedId> all;
    append(all, kernel::ids::named);
    append(all, ui::ids::named);
    append(all, game::ids::named);
    return all;
}

std::vector<kernel::NamedId> awaitedIds() {
    return {std::begin(game::ids::awaited), std::end(game::ids::awaited)};
}

std::set<std::string> startUpGroups() {
    return {std::begin(game::ids::startUpGroups), std::end(game::ids::startUpGroups)};
}

std::set<std::string> frontEndGroups() {
    std::set<std::string> groups = startUpGroups();
    groups.insert(std::begin(game::ids::frontEndGroups), std::end(game::ids::frontEndGroups));
    return groups;
}

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

SmartPtr<kernel::ValueDocument> loadDocument(const std::string& relative) {
    SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(sourcePath(relative));
    document->load();
    return document;
}

std::string text(Value& value) {
    return value.isScalar() ? kernel::narrowString(value.asScalar().text()) : std::string();
}

std::string key(const kernel::NodeValue& node, const char* name) {
    return kernel::narrowString(node.getValue(name).text());
}

bool startsWith(const std::string& value, const std::string& prefix) {
    return value.compare(0, prefix.size(), prefix) == 0;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += "\n  " + line;
    }
    return all;
}

Value* Settings::find(const std::string& id) const {
    if (Value* value = texts->findChild(id)) {
        return value;
    }
    return defaults->findChild(id);
}

bool Settings::isText(const std::string& id) const {
    Value* value = find(id);
    return value != nullptr && value->typeName() == "Text" && !text(*value).empty();
}

Resources::Resources() {
    for (const SmartPtr<Value>& section : document->getVector("Sections").children()) {
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
                members[resource.name()] = {resource.typeName(), key(resource, "file"), key(resource, "mask"),
                                            key(resource, "format")};
            }
        }
    }
}

const DeclaredResource* Resources::find(const std::string& group, const std::string& id) const {
    const auto inGroup = groups.find(group);
    if (inGroup == groups.end()) {
        return nullptr;
    }
    const auto found = inGroup->second.find(id);
    return found == inGroup->second.end() ? nullptr : &found->second;
}

std::string ManifestEntry::get(const std::string& name) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? std::string() : found->second;
}

Manifest::Manifest() {
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

void Manifest::addOutput(const std::string& file, const ManifestEntry& entry) {
    if (!outputs.emplace(file, &entry).second) {
        problems.push_back(kManifest + std::string(": ") + file + " is made by two entries");
    }
}

const ManifestEntry* Manifest::maker(const std::string& runPath) const {
    if (!startsWith(runPath, "media/")) {
        return nullptr;
    }
    const auto found = outputs.find(runPath.substr(6));
    return found == outputs.end() ? nullptr : found->second;
}

bool isProvided(const std::string& runPath, const Manifest& manifest) {
    return manifest.maker(runPath) != nullptr || fs::is_regular_file(sourcePath(runPath));
}

void BuiltDeclarations::SetUp() {
    kernel::PropertyStore::create();
    SmartPtr<kernel::ValueDocument> settings = new kernel::ValueDocument();
    settings->addFile(sourcePath(kDefaultSettings));
    settings->addFile(sourcePath(kTexts));
    settings->load();
    kernel::ObjectFactory::instance()->createChildren(*settings);
    settings->clearAll();
    ui::SceneManager::create();
    dialogs = ui::DialogManager::create(sourcePath(kDialogs));
}

void BuiltDeclarations::TearDown() {
    built.clear();
    ui::DialogManager::destroy();
    ui::SceneManager::destroy();
    kernel::PropertyStore::destroy();
}

bool BuiltDeclarations::canBuild(const std::string& type) {
    if (isGameClass(type)) {
        std::cout << "[ content  ] " << type << " is the game's: not built without the game\n";
        return false;
    }
    return true;
}

ui::Dialog* BuiltDeclarations::dialog(const std::string& name) {
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

} // namespace content
