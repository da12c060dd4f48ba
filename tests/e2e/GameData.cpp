#include "GameData.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
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
    if (scenes.hasChild("DIALOG_YESNO")) {
        kernel::NodeValue& question = scenes.getNode("DIALOG_YESNO");
        if (kernel::NodeValue* no = findComponent(question, "BUTTON_NO")) {
            expected.noButtonImage =
                resourceFile(runTree, *resources, textOf(*no, "section"), textOf(*no, "image"));
            expected.noButtonX =
                (gameWidth - question.getValue("width").asInt()) / 2 + no->getValue("x").asInt();
        }
    }
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

} // namespace e2e
