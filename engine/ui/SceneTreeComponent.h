#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"
#include "engine/ui/GameNode.h"

namespace ui {

// What the per-frame passes over a scene's tree (update, paint, clean-up) share: the counted root they
// walk. It has no class record of its own, so each pass still reports itself as a direct scene component.
class SceneTreeComponent : public platform::SceneComponent {
public:
    explicit SceneTreeComponent(GameNode* root) : root(root) {}

protected:
    kernel::SmartPtr<GameNode> root;
};

} // namespace ui
