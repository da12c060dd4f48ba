#include "game/field/LevelElementSprite.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/ResourceManager.h"
#include "game/foundation/GameIds.h"

namespace game {

LevelElementSprite::LevelElementSprite(const LevelFile::Element& element) : imageName(element.image) {
    setPosition(element.x, element.y);
    setAnchor(Bottom);
    if (!element.layer.empty()) {
        linkUnder = element.layer;
    }
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getLoadedResource(imageName, ids::groupElements) : nullptr;
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        setImage(static_cast<graphics::ImageBase*>(found));
    }
}

} // namespace game
