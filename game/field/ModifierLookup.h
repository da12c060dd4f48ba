#pragma once
// Finding a node's modifiers by their class.

#include "engine/ui/GameNode.h"
#include "engine/ui/Modifier.h"

namespace game {

// The node's first modifier of the kind (running or waiting its turn); null when none.
template <class Kind> Kind* firstModifierOf(const ui::GameNode& node) {
    for (ui::Modifier* modifier : node.getModifierList().items()) {
        if (modifier->isKindOf(Kind::classInfo)) {
            return static_cast<Kind*>(modifier);
        }
    }
    return nullptr;
}

template <class Kind, class Use> void eachModifierOf(const ui::GameNode& node, Use use) {
    for (ui::Modifier* modifier : node.getModifierList().items()) {
        if (modifier->isKindOf(Kind::classInfo)) {
            use(*static_cast<Kind*>(modifier));
        }
    }
}

} // namespace game
