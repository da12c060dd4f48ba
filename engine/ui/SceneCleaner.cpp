#include "engine/ui/SceneCleaner.h"

namespace ui {

void SceneCleaner::onFrame(std::uint32_t ms) {
    (void)ms;
    if (root) {
        root->removeDeadDescendants();
    }
}

} // namespace ui
