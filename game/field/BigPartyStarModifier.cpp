#include "game/field/BigPartyStarModifier.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/VisibilityModifier.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

namespace game {

namespace {

constexpr int starSpacing = 160;
constexpr int starStagger = 260;
constexpr int flightTime = 300;
constexpr int shrinkTime = 300;
constexpr int landedSize = 30;
constexpr int flightRange = 250;
// The star lands this far above the pibble's feet, on its head.
constexpr int headHeight = 80;
constexpr int middleTop = 240;
constexpr int middleLow = 168;
constexpr int middleHigh = 312;

graphics::ImageBase* starImage() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(ids::imageBigPartyStar, ids::groupScenePlay) : nullptr;
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

// Over everything the scene shows; without a scene, over the field.
ui::GameNode* starParent(PlayField* field) {
    ui::Scene* scene = currentScene();
    if (scene != nullptr && scene->getRootNode() != nullptr) {
        return scene->getRootNode();
    }
    return field;
}

} // namespace

BigPartyStarModifier::BigPartyStarModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::partyStars, 0, Counting::effect, false) {}

int BigPartyStarModifier::startY(int i, int pibbleY) {
    const int b = pibbleY - headHeight;
    bool fromBelow = b < middleTop;
    if (i == 1 && b > middleLow && b < middleHigh) {
        fromBelow = !fromBelow;
    }
    return fromBelow ? pibbleY + flightRange : pibbleY - flightRange;
}

void BigPartyStarModifier::update(std::uint32_t /*elapsed*/) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    if (phase == starting) {
        addType(bit, *pibble);
        // Without a place for the stars nothing would ever end the animation.
        phase = launchStars() ? runningOn : finishing;
    } else if (phase == runningOn && *landed) {
        phase = finishing;
    } else if (phase == finishing) {
        removeType(bit, *pibble);
        finish();
    }
}

bool BigPartyStarModifier::launchStars() {
    ui::GameNode* parent = starParent(liveField());
    if (parent == nullptr) {
        return false;
    }
    const int px = pibble->getAbsoluteX();
    const int py = pibble->getAbsoluteY();
    graphics::ImageBase* image = starImage();
    for (int i = 0; i < starCount; ++i) {
        const kernel::SmartPtr<ui::Sprite> star = new ui::Sprite((i + 1) * starSpacing, startY(i, py), image);
        star->setAnchor(ui::Sprite::Center);
        star->setVisible(false);
        star->addModifier(new ui::DelayModifier(i * starStagger));
        star->addModifier(new ui::VisibilityModifier(true));
        star->addModifier(
                new ui::MoveModifier(star->getX(), star->getY(), px, py - headHeight, flightTime, true))
            ->addFlags(ui::Modifier::blocking);
        ui::Modifier* shrink = star->addModifier(
            new ui::ResizeModifier(star->getWidth(), star->getHeight(), landedSize, landedSize, shrinkTime));
        if (i + 1 < starCount) {
            shrink->addFlags(ui::Modifier::killNode);
        } else {
            shrink->addFlags(ui::Modifier::blocking);
            star->addModifier(new ui::CallbackModifier(nullptr, [flag = landed](void*, ui::GameNode* node) {
                *flag = true;
                if (node != nullptr) {
                    node->kill();
                }
            }));
        }
        parent->addChild(star.get());
    }
    return true;
}

} // namespace game
