#include "engine/ui/SceneUpdater.h"

namespace ui {

void SceneUpdater::onFrame(std::uint32_t ms) {
    if (root) {
        root->updateTree(ms);
    }
}

} // namespace ui
