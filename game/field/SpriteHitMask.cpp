#include "game/field/SpriteHitMask.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"
#include "game/field/HitMask.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("SpriteHitMask", SpriteHitMask::createInstance);

std::string textOf(kernel::NodeValue& settings, const char* key) {
    return kernel::narrowString(settings.getValue(key).text());
}

} // namespace

kernel::Object* SpriteHitMask::createInstance(kernel::Value& settings) {
    return new SpriteHitMask(settings.asNode());
}

SpriteHitMask::SpriteHitMask(kernel::NodeValue& settings) : ui::Sprite(settings) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (!settings.hasChild("hitmask") || resources == nullptr) {
        return;
    }
    kernel::Object* found = resources->getResource(textOf(settings, "hitmask"), textOf(settings, "section"));
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        setHitMask(static_cast<graphics::ImageBase*>(found));
    }
}

SpriteHitMask::~SpriteHitMask() = default;

void SpriteHitMask::setHitMask(graphics::ImageBase* mask) {
    hitMask = mask;
}

bool SpriteHitMask::containsPoint(int px, int py) const {
    if (!ui::Sprite::containsPoint(px, py)) {
        return false;
    }
    if (!hitMask) {
        return true;
    }
    return maskAllows(*hitMask, px + getAnchorPoint().getRoundedX() - getAbsoluteX(),
                      py + getAnchorPoint().getRoundedY() - getAbsoluteY());
}

} // namespace game
