// The dialog file media/properties/dialogs.xml: every declaration builds as the game builds it, and names
// only resources and texts that are there when it is built.
#include "ContentCheck.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/UiIds.h"
#include "game/foundation/GameIds.h"

#include <functional>

namespace content {
namespace {

using kernel::SmartPtr;
using kernel::Value;

using Declarations = BuiltDeclarations;

// A tag that no class is registered under builds nothing, anywhere in the tree.
TEST_F(Declarations, EveryTagNamesARegisteredClass) {
    std::vector<std::string> found;
    const std::function<void(Value&, const std::string&)> visit = [&](Value& value, const std::string& path) {
        if (value.isNode()) {
            const std::string& type = value.typeName();
            if (!kernel::ObjectFactory::instance()->hasCreator(type) && !isGameClass(type)) {
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
        if (name != ui::DialogManager::dialogsNodeName) {
            const SmartPtr<kernel::Object> made = dialogs->createObject(name);
            EXPECT_NE(made, nullptr) << name << " (" << declaration->typeName() << ") builds nothing";
            continue;
        }
        for (const auto& [inner, child] : declaration->asNode().namedChildren()) {
            if (child->isNode() && canBuild(child->typeName())) {
                dialog(inner);
            }
        }
    }
}

// Images and fonts are fetched when a declaration is built (a dialog's frame at its first painting), and a
// resource whose group is not loaded yet is simply missing: each must be declared, of its class, in a group
// that is in by then. Sounds are fetched when played, texts from the settings.
class ResourceNames {
public:
    ResourceNames(const Resources& resources, const Settings& settings, const Manifest& manifest,
                  const kernel::ValueDocument& dialogs)
        : resources(resources), settings(settings), manifest(manifest), dialogs(dialogs) {}

    std::vector<std::string> found;

    void checkAll() {
        for (const auto& [name, child] : dialogs.namedChildren()) {
            if (name == ui::DialogManager::dialogsNodeName) {
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
        Groups built = scene ? startUpGroups() : frontEndGroups();
        // The album reads its turning strips itself at the first turn each way; the chapter map and the
        // pause read their pictures themselves before their parts are built; only a play scene
        // opens the pause, a level's end and the end of the VIB game, once the groups the selection scene
        // requests for play are in.
        if (name == game::ids::dialogAlbum) {
            built.insert(game::ids::groupAlbumPictures);
        }
        // The album and the help read their own sections as they are made; the album's pages are made
        // inside the album.
        for (const char* inAlbum :
             {game::ids::dialogAlbum, game::ids::dialogToc, game::ids::dialogStatistics,
              game::ids::dialogHighscores, game::ids::dialogCollectables, game::ids::dialogCredits}) {
            if (name == inAlbum) {
                built.insert(game::ids::groupAlbum);
            }
        }
        if (name == game::ids::dialogHelp) {
            built.insert(game::ids::groupHelp);
        }
        if (name == game::ids::dialogProgress) {
            built.insert(game::ids::groupSceneProgress);
        }
        if (name == game::ids::dialogPause) {
            built.insert(game::ids::groupScenePause);
        }
        if (name == game::ids::dialogGameEnd || name == game::ids::dialogLevelEnd) {
            built.insert(game::ids::groupScenePlay);
        }
        // The comic is opened by the loading scene once "strip" is loaded with the front end's groups, and
        // by the new player's dialog after it has waited for that group.
        if (name == game::ids::dialogStrip) {
            built.insert(game::ids::groupStrip);
        }
        // A scene's background and "scenecomponents" come with its first entry: the loading scene's at
        // once, the selection scene's after loading, a play scene's after its own groups were loaded.
        Groups entered = built;
        if (name == game::ids::sceneSelection) {
            entered = frontEndGroups();
        } else if (scene && name != game::ids::sceneLoading) {
            entered.clear();
        }
        kernel::NodeValue& node = declaration.asNode();
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
        const bool early = name == ui::ids::defaultFullScreenHandler || name == game::ids::defaultToolTip;
        visit(declaration.asNode(), name, early ? startUpGroups() : Groups{}, Groups{});
    }

    void visit(kernel::NodeValue& node, const std::string& path, const Groups& built, const Groups& entered) {
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

    void checkKeys(kernel::NodeValue& node, const std::string& path, const Groups& groups) {
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
            expectFrames(path, section, key(node, "image"), std::to_string(buttonFrames), "");
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

    void checkPainterImages(kernel::NodeValue& painter, const std::string& path, const Groups& groups) {
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
    const kernel::ValueDocument& dialogs;
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
} // namespace content
