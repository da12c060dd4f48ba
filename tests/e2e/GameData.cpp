#include "GameData.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/VectorValue.h"

namespace e2e {

namespace fs = std::filesystem;

void fail(const std::string& reason) {
    throw Failure{reason};
}

namespace {

kernel::SmartPtr<kernel::ValueDocument> readDocument(const fs::path& file) {
    if (!fs::exists(file)) {
        throw Skip{"the run tree has no " + file.string()};
    }
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(file.string()));
    document->load();
    return document;
}

std::string textOf(kernel::NodeValue& node, const std::string& key) {
    return kernel::narrowString(node.getValue(key).text());
}

kernel::NodeValue* findComponent(kernel::NodeValue& scene, const std::string& name) {
    kernel::VectorValue& components = scene.getVector("components");
    for (std::int32_t i = 0; i < components.childCount(); ++i) {
        if (textOf(components.nodeAt(i), "name") == name) {
            return &components.nodeAt(i);
        }
    }
    return nullptr;
}

// The file of a declared resource, which must already be in the run tree (generated media included).
fs::path resourceFile(const fs::path& runTree, kernel::ValueDocument& resources, const std::string& section,
                      const std::string& id) {
    kernel::VectorValue& sections = resources.getVector("Sections");
    for (std::int32_t i = 0; i < sections.childCount(); ++i) {
        kernel::NodeValue& group = sections.nodeAt(i);
        if (textOf(group, "name") == section && group.hasChild(id)) {
            const fs::path file = runTree / textOf(group.getNode(id), "file");
            if (!fs::exists(file)) {
                throw Skip{"the generated media lack " + file.string() + " (" + id + ")"};
            }
            return file;
        }
    }
    throw Skip{"media/properties/resources.xml declares no \"" + id + "\" in section \"" + section + "\""};
}

} // namespace

Expectations readExpectations(const fs::path& runTree) {
    if (!fs::exists(runTree / "pibbles")) {
        throw Skip{"the game is not built into " + runTree.string()};
    }
    Expectations expected;
    expected.title = textOf(*readDocument(runTree / "media/properties/default.xml"), "GAME_NAME");
    const auto dialogs = readDocument(runTree / "media/properties/dialogs.xml");
    const auto resources = readDocument(runTree / "media/properties/resources.xml");
    kernel::NodeValue& scenes = dialogs->getNode("dialogs");
    kernel::NodeValue& loading = scenes.getNode("SCENE_LOADING");
    kernel::NodeValue* bar = findComponent(loading, "SPRITE_LOADINGBAR");
    if (loading.typeName() != "LoadingScene" || bar == nullptr) {
        throw Skip{"dialogs.xml declares no LoadingScene \"SCENE_LOADING\" with a \"SPRITE_LOADINGBAR\""};
    }
    if (bar->hasChild("anchorpoint") && textOf(*bar, "anchorpoint") != "topleft") {
        fail("the loading bar grows from the left, so it must keep its top-left anchor");
    }
    expected.bar = {bar->getValue("x").asInt(), bar->getValue("y").asInt(), bar->getValue("width").asInt(),
                    bar->getValue("height").asInt()};
    expected.barImage = resourceFile(runTree, *resources, textOf(*bar, "section"), textOf(*bar, "image"));
    kernel::NodeValue& selection = scenes.getNode("SCENE_SELECTION");
    if (!selection.hasChild("scenebackground")) {
        throw Skip{"dialogs.xml declares no \"SCENE_SELECTION\" with a background"};
    }
    expected.selectionBackground =
        resourceFile(runTree, *resources, textOf(selection, "section"), textOf(selection, "scenebackground"));
    return expected;
}

kernel::SmartPtr<graphics::MemoryImage32> loadPicture(const fs::path& file) {
    kernel::SmartPtr<graphics::MemoryImage32> image(file.extension() == ".png"
                                                        ? graphics::loadPngImage(file.string())
                                                        : graphics::loadJpegImage(file.string()));
    if (!image) {
        fail("cannot decode " + file.string());
    }
    return image;
}

fs::path vibLevelFile(const fs::path& runTree, int chapter, int level) {
    const auto catalogue = readDocument(runTree / "media/properties/levels.xml");
    const kernel::VectorValue& levels = catalogue->getVector("levels");
    for (std::int32_t i = 0; i < levels.childCount(); ++i) {
        kernel::NodeValue& entry = levels.nodeAt(i);
        if (entry.getValue("chapterNr").asInt() == chapter && entry.getValue("levelNr").asInt() == level) {
            return runTree / "media/levels" / textOf(entry, "levelFile");
        }
    }
    fail("levels.xml names no file for VIB chapter " + std::to_string(chapter) + " level " +
         std::to_string(level));
}

// --- Declarations.

Declarations::Declarations(fs::path runTree)
    : runTree(std::move(runTree)), dialogs(readDocument(this->runTree / "media/properties/dialogs.xml")) {
    // The album's pictures are listed apart, in the same format.
    for (const char* list : {"media/properties/resources.xml", "media/properties/albumpictures"}) {
        resourceLists.push_back(readDocument(this->runTree / list));
    }
}

kernel::NodeValue& Declarations::declaration(const std::string& name) const {
    kernel::NodeValue& all = dialogs->getNode("dialogs");
    if (!all.hasChild(name)) {
        fail("dialogs.xml declares no \"" + name + "\"");
    }
    return all.getNode(name);
}

kernel::NodeValue& Declarations::component(const std::string& declarationName,
                                           const std::string& name) const {
    kernel::NodeValue* found = findComponent(declaration(declarationName), name);
    if (found == nullptr) {
        fail("\"" + declarationName + "\" in dialogs.xml has no component \"" + name + "\"");
    }
    return *found;
}

fs::path Declarations::resourceFile(const std::string& section, const std::string& id) const {
    for (const kernel::SmartPtr<kernel::ValueDocument>& list : resourceLists) {
        kernel::VectorValue& sections = list->getVector("Sections");
        for (std::int32_t i = 0; i < sections.childCount(); ++i) {
            kernel::NodeValue& group = sections.nodeAt(i);
            if (textOf(group, "name") == section && group.hasChild(id)) {
                return runTree / textOf(group.getNode(id), "file");
            }
        }
    }
    fail("no resource list declares \"" + id + "\" in section \"" + section + "\"");
}

const Picture& Declarations::picture(const std::string& declarationName, const std::string& componentName) {
    const std::string key = componentName + " of " + declarationName;
    if (const auto known = pictures.find(key); known != pictures.end()) {
        return known->second;
    }
    kernel::NodeValue& node = component(declarationName, componentName);
    if (!node.hasChild("image")) {
        fail(key + " is declared without a picture");
    }
    Picture picture{key, loadPicture(resourceFile(textOf(node, "section"), textOf(node, "image")))};
    const std::string type = node.typeName();
    picture.frames = type == "Button" || type == "TextButton" ? Picture::buttonFrames : 1;
    return pictures.emplace(key, std::move(picture)).first->second;
}

const Picture& Declarations::resource(const std::string& section, const std::string& id) {
    const std::string key = id + " of section " + section;
    if (const auto known = pictures.find(key); known != pictures.end()) {
        return known->second;
    }
    return pictures.emplace(key, Picture{key, loadPicture(resourceFile(section, id))}).first->second;
}

Point Declarations::place(const std::string& declarationName, const std::string& componentName) const {
    kernel::NodeValue& node = component(declarationName, componentName);
    return {node.getValue("x").asInt(), node.getValue("y").asInt()};
}

Point Declarations::origin(const std::string& declarationName) const {
    kernel::NodeValue& node = declaration(declarationName);
    return {node.getValue("x").asInt(), node.getValue("y").asInt()};
}

} // namespace e2e
