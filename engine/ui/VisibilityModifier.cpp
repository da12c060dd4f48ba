#include "engine/ui/VisibilityModifier.h"

#include "engine/ui/GameNode.h"

namespace ui {

void VisibilityModifier::update(std::uint32_t elapsed) {
    (void)elapsed;
    finish();
    if (node != nullptr) {
        node->setVisible(mode == show);
    }
}

} // namespace ui
