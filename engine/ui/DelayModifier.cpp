#include "engine/ui/DelayModifier.h"

#include "engine/ui/GameNode.h"

namespace ui {

DelayModifier::DelayModifier(int duration) : remaining(duration) {
    addFlags(blocking);
}

DelayModifier::DelayModifier(GameNode* awaited) : awaited(awaited) {
    addFlags(blocking);
}

DelayModifier::~DelayModifier() = default;

void DelayModifier::update(std::uint32_t elapsed) {
    if (awaited) {
        if (awaited->getModifierList().empty()) {
            finish();
        }
        return;
    }
    remaining -= static_cast<int>(elapsed);
    if (remaining < 1) {
        finish();
    }
}

} // namespace ui
