#include "game/frontend/Visitor.h"

#include "engine/graphics/ImageBase.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Path.h"
#include "engine/ui/PathModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/WidgetSupport.h"
#include "game/foundation/GameIds.h"

#include <array>
#include <utility>

namespace game {

namespace {

constexpr int centreX = 320;
constexpr int centreY = 240;
constexpr int flightMs = 2000;
constexpr int fadeMs = 300;
constexpr int stayMs = 4000;
constexpr int fadeOutDelayMs = 1700;

using Points = std::array<std::pair<int, int>, 8>;
constexpr Points flightIn = {
    {{0, 0}, {42, 9}, {22, 19}, {126, 38}, {66, 57}, {252, 96}, {132, 144}, {320, 240}}};
constexpr Points flightOut = {
    {{320, 240}, {388, 144}, {508, 96}, {514, 57}, {574, 38}, {598, 19}, {618, 9}, {640, 0}}};

ui::Modifier* along(const Points& points) {
    const kernel::SmartPtr<ui::Path> path = new ui::Path();
    for (const auto& [x, y] : points) {
        path->addPoint(x, y);
    }
    return new ui::PathModifier(path.get(), flightMs, false, 0);
}

ui::Modifier* killing(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::killNode);
    return modifier;
}

} // namespace

// The first three run together with the stay; the way out and its shrinking start after it, and the fade
// waits for its own delay.
kernel::SmartPtr<ui::Sprite> ShowVisitor(ui::Scene& scene) {
    graphics::ImageBase* picture = ui::findImage(ids::pibbleVisitor, ids::groupPibbles);
    ui::GameNode* root = scene.getRootNode();
    if (picture == nullptr || root == nullptr) {
        return nullptr;
    }
    const int width = picture->getWidth();
    const int height = picture->getHeight();
    const kernel::SmartPtr<ui::Sprite> visitor = new ui::Sprite(centreX, centreY, picture);
    visitor->setAnchor(ui::Sprite::Center);
    visitor->setAlpha(0);
    root->addChild(visitor.get());
    visitor->addModifier(along(flightIn));
    visitor->addModifier(new ui::FadeModifier(0, 255, fadeMs));
    visitor->addModifier(new ui::ResizeModifier(1, 1, 2 * width, 2 * height, flightMs));
    visitor->addModifier(new ui::DelayModifier(stayMs));
    visitor->addModifier(along(flightOut));
    visitor->addModifier(killing(new ui::ResizeModifier(2 * width, 2 * height, 1, 1, flightMs)));
    visitor->addModifier(new ui::DelayModifier(fadeOutDelayMs));
    visitor->addModifier(new ui::FadeModifier(255, 0, fadeMs));
    return visitor;
}

} // namespace game
