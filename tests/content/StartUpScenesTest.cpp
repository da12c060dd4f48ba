// The scenes as start-up builds them before the first frame, with only the start-up groups in, from the
// generated pictures and fonts: building them reads nothing of a later group and draws no font that waits
// for its first drawing; a play scene's top bar gets its letters at the scene's first entry, from the groups
// the selection scene asks for before play.
#include "BuiltArt.h"

#if PIBBLES_CONTENT_WITH_GAME

#include "engine/graphics/FontResource.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Scene.h"
#include "game/foundation/GameIds.h"

#include <map>
#include <string>

namespace content {
namespace {

namespace ids = game::ids;

class StartUpScenes : public BuiltArt {
protected:
    bool loadedAtSetUp(const std::string& group) const override { return startUpGroups().contains(group); }
};

TEST_F(StartUpScenes, ReadNothingLaterAndThePlayScenesTopBarComesWithThePlayGroups) {
    std::map<std::string, ui::Scene*> scenes;
    for (const char* name : ids::scenes) {
        ui::Dialog* scene = build(name);
        ASSERT_TRUE(scene != nullptr && scene->isKindOf(ui::Scene::classInfo)) << name;
        scenes[name] = static_cast<ui::Scene*>(scene);
    }
    kernel::ResourceManager& manager = *kernel::ResourceManager::instance();
    for (const auto& [group, members] : resources.groups) {
        for (const auto& [id, declaration] : members) {
            kernel::Resource* resource = manager.findResource(id, group);
            if (resource == nullptr) {
                continue;
            }
            if (!startUpGroups().contains(group)) {
                EXPECT_FALSE(resource->isLoaded()) << id << " of " << group << " read to build the scenes";
            } else if (resource->isKindOf(graphics::Font::classInfo) &&
                       static_cast<graphics::Font*>(resource)->isOnDemand()) {
                const graphics::BitmapFont* font = static_cast<graphics::Font*>(resource)->getFont();
                EXPECT_TRUE(font != nullptr && font->isCharsetPending())
                    << id << " of " << group << " drawn while the scenes were built";
            }
        }
    }
    loadPictures(ids::groupScenePlay);
    for (const char* play : ids::playScenes) {
        SCOPED_TRACE(play);
        ui::Scene* scene = scenes.at(play);
        scene->load();
        for (const char* name :
             {"LABEL_SCORE_CAPTION", ids::labelScoreValue, "LABEL_LEVEL_CAPTION", ids::labelLevelValue}) {
            const auto* label = scene->findComponentAs<ui::Label>(name);
            ASSERT_NE(label, nullptr) << name;
            EXPECT_NE(label->getFont(), nullptr) << name;
            EXPECT_NE(label->getImage(), nullptr) << name << " shows no text";
        }
    }
}

} // namespace
} // namespace content

#endif
