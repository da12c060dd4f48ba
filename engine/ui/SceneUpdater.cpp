#include "engine/ui/SceneUpdater.h"

namespace ui {

SceneUpdater::SceneUpdater(GameNode* root) : root(root) {}

void SceneUpdater::onFrame(std::uint32_t ms) {
    if (root) {
        root->updateTree(ms);
    }
}

} // namespace ui
