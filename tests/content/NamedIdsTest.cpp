// The ids the code names (engine/kernel/NamedId.h, engine/ui/UiIds.h, game/foundation/GameIds.h): each is in
// the data as what the code takes it for.
#include "ContentCheck.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/ui/Button.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Label.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/ToolTip.h"
#include "engine/ui/ToolTipLabel.h"
#include "engine/ui/UiIds.h"
#include "game/foundation/GameIds.h"
#if PIBBLES_CONTENT_WITH_GAME
#include "game/foundation/PibbleScene.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/LoadingScene.h"
#include "game/play/PlayScene.h"
#include "game/play/PlaySceneAction.h"
#include "game/play/PlaySceneRelax.h"
#include "game/play/PlaySceneVIB.h"
#endif

#include <algorithm>
#include <iostream>
#include <set>

namespace content {
namespace {

using kernel::IdKind;
using kernel::NamedId;
using kernel::SmartPtr;

class NamedIds : public BuiltDeclarations {
protected:
    void check(const NamedId& named) {
        const std::string id = named.id;
        const std::string section = named.section != nullptr ? named.section : "";
        switch (named.kind) {
        case IdKind::String:
        case IdKind::Text:
            checkSetting(id, named.kind == IdKind::String ? "String" : "Text");
            break;
        case IdKind::Integer:
            checkSetting(id, "Integer");
            break;
        case IdKind::Double:
            checkSetting(id, "Double");
            break;
        case IdKind::Group:
            if (!resources.groupCounts.contains(id)) {
                found.push_back("group \"" + id + "\" is not declared");
            }
            break;
        case IdKind::Image:
            checkResource(id, section, "Image");
            break;
        case IdKind::Font:
            checkResource(id, section, "Font");
            break;
        case IdKind::Sound:
            checkResource(id, section, "Sound");
            break;
        case IdKind::Scene:
        case IdKind::Dialog:
            checkDialog(id, named.kind == IdKind::Scene);
            break;
        case IdKind::Declaration:
            checkDeclaration(id);
            break;
        case IdKind::Sprite:
            checkComponent(id, section, ui::Sprite::classInfo, "Sprite");
            break;
        case IdKind::Label:
            checkComponent(id, section, ui::Label::classInfo, "Label");
            break;
        case IdKind::Button:
            checkComponent(id, section, ui::Button::classInfo, "Button");
            break;
        }
    }

    void checkDeclaration(const std::string& id) {
        const SmartPtr<kernel::Object> made =
            dialogs->getDocument().hasChild(id) ? dialogs->createObject(id) : nullptr;
        if (made == nullptr) {
            found.push_back(id + ": no top-level declaration that builds");
        }
    }

    void checkSetting(const std::string& id, const std::string& type) {
        kernel::Value* value = settings.find(id);
        if (value == nullptr) {
            found.push_back(id + ": no setting");
        } else if (value->typeName() != type || text(*value).empty()) {
            found.push_back(id + ": a " + value->typeName() + " \"" + text(*value) + "\", not a " + type);
        }
    }

    void checkResource(const std::string& id, const std::string& group, const std::string& type) {
        const DeclaredResource* resource = resources.find(group, id);
        if (resource == nullptr) {
            found.push_back(id + ": no resource in group \"" + group + "\"");
        } else if (resource->type != type) {
            found.push_back(id + ": a " + resource->type + ", not a " + type);
        }
    }

    // A scene fills the game's area and has a background to draw there.
    void checkDialog(const std::string& id, bool scene) {
        const kernel::NodeValue& declaration = dialogs->findDeclaration(id);
        if (&declaration == &kernel::DUMMY_NODE()) {
            found.push_back(id + ": not declared in \"dialogs\"");
            return;
        }
        if (scene && !declaration.hasChild("scenebackground")) {
            found.push_back(id + ": a scene without a background");
        }
        if (!canBuild(declaration.typeName())) {
            return;
        }
        const ui::Dialog* made = dialog(id);
        if (made == nullptr) {
            found.push_back(id + ": builds no dialog");
        } else if (scene && (!made->isKindOf(ui::Scene::classInfo) || made->getWidth() != 640 ||
                             made->getHeight() != 480)) {
            found.push_back(id + ": no scene of 640 x 480");
        } else if (made->getWidth() <= 0 || made->getHeight() <= 0) {
            found.push_back(id + ": a dialog without a size");
        }
    }

    void checkComponent(const std::string& id, const std::string& owner, const kernel::ClassInfo& kind,
                        const std::string& kindName) {
        if (!canBuild(dialogs->findDeclaration(owner).typeName())) {
            return;
        }
        ui::Dialog* made = dialog(owner);
        ui::GameNode* component = made != nullptr ? made->findComponent(id) : nullptr;
        // A scene's "scenecomponents" are made at its first entry, by the engine's part of the loading (the
        // game's part needs what the game loads before it enters the scene).
        if (component == nullptr && made != nullptr && made->isKindOf(ui::Scene::classInfo) &&
            entered.insert(owner).second) {
            static_cast<ui::Scene*>(made)->ui::Scene::load();
            component = made->findComponent(id);
        }
        if (component == nullptr) {
            found.push_back(owner + " has no component " + id);
        } else if (!component->isKindOf(kind)) {
            found.push_back(owner + " " + id + ": not a " + kindName);
        }
    }

    const Settings settings;
    const Resources resources;
    std::vector<std::string> found;
    std::set<std::string> entered;
};

TEST_F(NamedIds, AreThereAsWhatTheCodeTakesThemFor) {
    for (const NamedId& named : namedIds()) {
        check(named);
    }
    // An awaited dialog is held to its kind from the day it is declared.
    for (const NamedId& named : awaitedIds()) {
        if (&dialogs->findDeclaration(named.id) != &kernel::DUMMY_NODE()) {
            check(named);
        } else {
            std::cout << "[ content  ] " << named.id << " is awaited: not declared yet\n";
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The pibbles' pictures are named by colour and part, the collectable pibbles' by number and part, the
// party bursts and the particles by colour; the art manifest makes each in the frames the code cuts it
// into.
TEST_F(NamedIds, EveryPibblePictureIsThereInItsFrames) {
    using namespace game::ids;
    const Manifest manifest;
    const auto framed = [&](const std::string& id, const char* group, int frames, int width, int height,
                            const std::string& orientation) {
        checkResource(id, group, "Image");
        const DeclaredResource* resource = resources.find(group, id);
        const ManifestEntry* entry =
            resource != nullptr ? manifest.maker(kernel::normaliseResourcePath(resource->file)) : nullptr;
        if (entry == nullptr) {
            found.push_back(id + ": not made by " + manifestFile);
            return;
        }
        const std::string made = (entry->get("frames").empty() ? "1" : entry->get("frames")) + " frames of " +
                                 entry->get("width") + " x " + entry->get("height") + " " +
                                 (entry->get("orientation").empty() ? "vertical" : entry->get("orientation"));
        const std::string wanted = std::to_string(frames) + " frames of " + std::to_string(width) + " x " +
                                   std::to_string(height) + " " + orientation;
        if (made != wanted) {
            found.push_back(id + ": " + made + ", not " + wanted);
        }
    };
    const auto pibble = [&](const std::string& id, int frames) {
        framed(id, groupPibbles, frames, pibbleFrameWidth, pibbleFrameHeight, "vertical");
    };
    for (const char* prefix : pibbleColourPrefixes) {
        for (const PibbleStrip& part : pibbleColourParts) {
            pibble(std::string(prefix) + part.name, part.frames);
        }
    }
    for (int number = 1; number <= collectableCount; ++number) {
        for (const char* part : pibbleCollectableParts) {
            pibble(pibbleCollectablePrefix + std::to_string(number) + part, 1);
        }
    }
    for (const PibbleStrip& part : pibbleSharedParts) {
        pibble(part.name, part.frames);
    }
    for (int colour = 1; colour <= partyColours; ++colour) {
        pibble(pibblePartyMatchPrefix + std::to_string(colour), pibblePartyMatchFrames);
    }
    framed(imageSparkle, groupScenePlay, 14, 24, 24, "horizontal");
    for (int colour = 1; colour <= particleColours; ++colour) {
        checkResource(imageParticlePrefix + std::to_string(colour), groupScenePlay, "Image");
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// Every play scene has the parts the play scene finds by name; the sounds, fonts and signs it names by
// family are there.
TEST_F(NamedIds, ThePlayScenesHaveTheirPartsSoundsFontsAndSigns) {
    using namespace game::ids;
    for (const char* scene : playScenes) {
        for (const char* label : {labelDebugInfo, labelDebugInfoShadow, labelScoreValue, labelLevelValue}) {
            check({label, scene, IdKind::Label});
        }
        for (const char* button : {buttonHint, buttonPause, buttonMenu}) {
            check({button, scene, IdKind::Button});
        }
        for (const char* sprite : {hintBlock, spriteTimeBar, spriteTimeBarDark}) {
            check({sprite, scene, IdKind::Sprite});
        }
    }
    for (const char* sound : playSounds) {
        check({sound, groupGameSounds, IdKind::Sound});
    }
    for (const char* font : floaterFonts) {
        check({font, groupScenePlay, IdKind::Font});
    }
    for (int step = 1; step <= comboFloaters; ++step) {
        checkResource(floaterComboPrefix + std::to_string(step), groupScenePlay, "Image");
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

TEST_F(NamedIds, TheDefaultDeclarationsHaveTheirParts) {
    const SmartPtr<kernel::Object> tip = dialogs->createObject(game::ids::defaultToolTip);
    ASSERT_TRUE(tip != nullptr && tip->isKindOf(ui::ToolTip::classInfo));
    const ui::Sprite* renderer = static_cast<ui::ToolTip*>(tip.get())->getRenderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(renderer->isKindOf(ui::ToolTipLabel::classInfo));

    const SmartPtr<kernel::Object> made = dialogs->createObject(ui::ids::defaultFullScreenHandler);
    ASSERT_TRUE(made != nullptr && made->isKindOf(ui::FullScreenHandler::classInfo));
    const auto* handler = static_cast<ui::FullScreenHandler*>(made.get());
    EXPECT_NE(handler->getButtonMinimize(), nullptr);
    EXPECT_NE(handler->getButtonRestore(), nullptr);
    EXPECT_NE(handler->getButtonQuit(), nullptr);
}

#if PIBBLES_CONTENT_WITH_GAME
// The code takes every scene for one of the game's, the first for the loading scene and the boxes for the
// game's own dialogs: a declaration of a plainer class would build and show nothing that works.
TEST_F(NamedIds, ScenesAndBoxesAreOfTheGamesClasses) {
    for (const char* scene : game::ids::scenes) {
        const ui::Dialog* made = dialog(scene);
        ASSERT_NE(made, nullptr) << scene;
        EXPECT_TRUE(made->isKindOf(game::PibbleScene::classInfo)) << scene;
    }
    EXPECT_TRUE(dialog(game::ids::sceneLoading)->isKindOf(game::LoadingScene::classInfo));
    // The modes are told apart by their exact classes.
    EXPECT_EQ(dialog(game::ids::scenePlayVib)->getClassInfo(), &game::PlaySceneVIB::classInfo);
    EXPECT_EQ(dialog(game::ids::scenePlayAction)->getClassInfo(), &game::PlaySceneAction::classInfo);
    EXPECT_EQ(dialog(game::ids::scenePlayRelax)->getClassInfo(), &game::PlaySceneRelax::classInfo);
    for (const char* box : {game::ids::dialogMessage, game::ids::dialogYesNo}) {
        const ui::Dialog* made = dialog(box);
        ASSERT_NE(made, nullptr) << box;
        EXPECT_TRUE(made->isKindOf(game::DialogPibble::classInfo)) << box;
    }
}
#endif

} // namespace
} // namespace content
